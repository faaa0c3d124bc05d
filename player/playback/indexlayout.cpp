#include "playback/indexlayout.h"
#include "playback/playbacklog.h"
#include "playback/recordermedia.h"

#include <QtEndian>

#include <algorithm>

namespace {

quint32 Word(const QByteArray& b, int at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// The client writer keeps flag bits in the top three bits of the offset's high word.
constexpr quint64 kClientOffsetMask = (quint64(1) << 61) - 1;

void FillMinutes(const QByteArray& header, int maskAt, qint64 base, qint64 perMinute, qint64 firstData,
                 MinuteTable& table)
{
    for (int hour = 0; hour < 24; ++hour) {
        const quint64 mask = qFromLittleEndian<quint64>(header.constData() + maskAt + 8 * hour);
        for (int minute = 0; minute < 60; ++minute) {
            const int slot = hour * 60 + minute;
            const qint64 running = base + perMinute * slot;
            MinuteSlot& s = table.minuteSlots[slot];
            if (!(mask & (quint64(1) << minute))) {
                s = MinuteSlot();
                continue;
            }
            s.present = true;
            // The minute in which the recording began starts at its first entry with data.
            s.offset = running >= firstData ? running : firstData;
        }
    }
}

} // namespace

bool IndexLayout::Parse(const QByteArray& header, qint64 fileLength, IndexInfo& info)
{
    info = IndexInfo();
    if (header.size() < 4)
        return false;
    info.layout512 = Is512Layout(Word(header, 0));
    const int headerSize = info.layout512 ? kHeader512 : kHeader224;
    const int entrySize = info.layout512 ? kEntry512 : kEntry224;
    if (header.size() < headerSize || fileLength < headerSize + entrySize) {
        qCDebug(lcPlayerPlayback) << "index header or file too short" << header.size() << fileLength;
        return false;
    }
    info.flags = Word(header, 0);
    const qint64 entries = std::min<qint64>((fileLength - headerSize) / entrySize, kSecondsPerDay);
    info.entryCount = int(entries);
    info.lastEntryPos = headerSize + (entries - 1) * entrySize;
    info.lastSecond = int(entries - 1);

    qint64 firstData = Word(header, 8);
    if (info.layout512) {
        // Only a position on an entry of the day counts; anything else starts at second 0.
        if (firstData < kHeader512 || firstData > info.lastEntryPos || (firstData - kHeader512) % kEntry512)
            firstData = kHeader512;
        FillMinutes(header, 24, kHeader512, qint64(kEntry512) * 60, firstData, info.minutes);
    } else {
        // 0 means no data; a position off the entry grid or outside the file is none either.
        if (firstData < kHeader224 || firstData > info.lastEntryPos || (firstData - kHeader224) % kEntry224)
            firstData = 0;
        FillMinutes(header, 16, kHeader224, qint64(kEntry224) * 60, firstData ? firstData : kHeader224,
                    info.minutes);
        if (firstData) {
            const int slot = int((firstData - kHeader224) / (kEntry224 * 60));
            if (slot >= 0 && slot < MinuteTable::kMinutes)
                info.minutes.minuteSlots[slot] = MinuteSlot{true, firstData};
        }
    }
    info.firstDataPos = firstData ? firstData : qint64(kHeader224);
    info.firstSecond = int((info.firstDataPos - headerSize) / entrySize);
    info.firstSecond = std::clamp(info.firstSecond, 0, info.lastSecond);
    info.firstTime = TimeText(info.firstSecond);
    info.lastTime = TimeText(info.lastSecond);
    return true;
}

IndexEntry IndexLayout::ParseEntry16(const QByteArray& entry, bool clientLayout)
{
    IndexEntry e;
    if (entry.size() < kEntry512 || qFromLittleEndian<quint64>(entry.constData()) == 0)
        return e;
    e.hasData = true;
    if (clientLayout) {
        e.offset = qint64(qFromLittleEndian<quint64>(entry.constData() + 8) & kClientOffsetMask);
    } else {
        e.offset = Word(entry, 8);
        e.fileNumber = RecorderMedia::UnpackFileNumber(Word(entry, 12));
    }
    return e;
}

IndexEntry IndexLayout::ParseEntry36(const QByteArray& entry)
{
    IndexEntry e;
    if (entry.size() < kEntry224 || !(quint8(entry.at(0)) & 1))
        return e;
    const qint64 offset = qFromLittleEndian<qint64>(entry.constData() + 20);
    if (offset < 0)
        return e;
    e.hasData = true;
    e.offset = offset;
    return e;
}

QString IndexLayout::TimeText(int secondOfDay)
{
    const int s = std::clamp(secondOfDay, 0, kSecondsPerDay - 1);
    return QStringLiteral("%1%2%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

int IndexLayout::SecondOfText(const QString& text)
{
    QString digits = text;
    digits.remove(QLatin1Char(':'));
    if (digits.size() != 6)
        return -1;
    bool ok = false;
    const int value = digits.toInt(&ok);
    if (!ok || value < 0)
        return -1;
    int hour = value / 10000;
    int minute = value / 100 % 100;
    const int second = value % 100;
    if (hour == 24) {
        hour = 23;
        minute = 59;
    }
    if (hour > 23 || minute > 59 || second > 59)
        return -1;
    return hour * 3600 + minute * 60 + second;
}
