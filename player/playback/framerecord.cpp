#include "playback/framerecord.h"

#include <QDateTime>
#include <QtEndian>

int FrameRecord::SecondOfDay() const
{
    if (dayTime > 0) {
        const qint64 second = dayTime >> 12;
        return second < 86400 ? int(second) : 86399;
    }
    if (epochTime == 0)
        return -1;
    const QTime t = QDateTime::fromSecsSinceEpoch(epochTime).time();
    return t.hour() * 3600 + t.minute() * 60 + t.second();
}

int FrameRecord::Date() const
{
    if (date > 0 || dayTime > 0)
        return date;
    if (epochTime == 0)
        return 0;
    const QDate d = QDateTime::fromSecsSinceEpoch(epochTime).date();
    return d.year() * 10000 + d.month() * 100 + d.day();
}

bool FrameRecord::Parse(const QByteArray& bytes, FrameRecord& record)
{
    if (bytes.size() < kSize)
        return false;
    const char* r = bytes.constData();
    record.epochTime = qFromLittleEndian<quint32>(r + 12);
    record.lengthWord = qFromLittleEndian<quint32>(r + 20);
    record.flagsWord = qFromLittleEndian<quint32>(r + 28);
    record.more = qFromLittleEndian<qint64>(r + 44);
    record.previous = qFromLittleEndian<qint64>(r + 52);
    record.nextKey = qFromLittleEndian<qint64>(r + 60);
    record.next = qFromLittleEndian<qint64>(r + 76);
    record.dayTime = qFromLittleEndian<qint64>(r + 92);
    const qint32 date = qFromLittleEndian<qint32>(r + 100);
    record.date = date > 0 && date < 100000000 ? date : 0;
    return true;
}
