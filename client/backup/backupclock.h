#pragma once
// Times of day and dates as the backup pages carry them: HHMMSS and YYYYMMDD integers.
#include <QDate>
#include <QString>
#include <QTime>

namespace BackupClock {

inline int ToHms(const QTime& time)
{
    return time.hour() * 10000 + time.minute() * 100 + time.second();
}

inline int SecondOfDay(int hms)
{
    return (hms / 10000) * 3600 + (hms / 100 % 100) * 60 + hms % 100;
}

inline int HmsOfSecond(int second)
{
    return (second / 3600) * 10000 + (second / 60 % 60) * 100 + second % 60;
}

inline int ToYmd(const QDate& date)
{
    return date.year() * 10000 + date.month() * 100 + date.day();
}

inline QDate FromYmd(int ymd)
{
    return QDate(ymd / 10000, ymd / 100 % 100, ymd % 100);
}

// "HH:MM:SS" of an HHMMSS value.
inline QString HmsText(int hms)
{
    return QString::asprintf("%02d:%02d:%02d", hms / 10000, hms / 100 % 100, hms % 100);
}

// "YYYY/MM/DD" of a YYYYMMDD value.
inline QString YmdText(int ymd)
{
    return QString::asprintf("%04d/%02d/%02d", ymd / 10000, ymd / 100 % 100, ymd % 100);
}

} // namespace BackupClock
