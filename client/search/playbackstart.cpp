#include "search/playbackstart.h"

QString PlaybackStart::RecordTimeText(const QString& prefix, int date, int time)
{
    return prefix
           + QString::asprintf("%02d/%02d/%04d %02d:%02d:%02d", (date / 100) % 100, date % 100, date / 10000,
                               time / 10000, (time / 100) % 100, time % 100);
}

QTime PlaybackStart::PresetTime(int lastTime)
{
    int hour = lastTime / 10000;
    int minute = (lastTime / 100) % 100;
    if (minute < 10) {
        minute += 50;
        --hour;
    } else {
        minute -= 10;
    }
    if (hour < 0)
        return QTime(0, 0, 0);
    return QTime(hour, minute, 0);
}

QDate PlaybackStart::DateOf(int date)
{
    return QDate(date / 10000, (date / 100) % 100, date % 100);
}

int PlaybackStart::DateValue(const QDate& date)
{
    return date.year() * 10000 + date.month() * 100 + date.day();
}

int PlaybackStart::TimeValue(const QTime& time)
{
    return time.hour() * 10000 + time.minute() * 100 + time.second();
}
