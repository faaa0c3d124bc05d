#include "backup/localrecordingreader.h"

#include <QFile>
#include <QtEndian>

namespace {

quint32 U32(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}

quint64 U64(const char* p)
{
    return qFromLittleEndian<quint64>(p);
}

// The offset of an index entry sits in bytes 8..15; the top three bits there are flags.
constexpr quint64 kEntryOffsetMask = (quint64(1) << 61) - 1;

int DateOf(quint64 timestamp)
{
    const quint32 low = quint32(timestamp);
    const quint32 high = quint32(timestamp >> 32);
    return int((high >> 4) & 0xFFF) * 10000 + int(high & 0xF) * 100 + int(low >> 27);
}

int TimeOf(quint64 timestamp)
{
    const int second = int((quint32(timestamp) >> 10) & 0x1FFFF);
    return (second / 3600) * 10000 + ((second / 60) % 60) * 100 + second % 60;
}

QByteArray ReadAt(const QString& path, qint64 offset, qint64 length)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || offset < 0 || offset >= file.size() || length <= 0)
        return QByteArray();
    if (!file.seek(offset))
        return QByteArray();
    return file.read(qMin(length, file.size() - offset));
}

} // namespace

bool LocalRecordingReader::Open(const QString& folder, const QString& fileName)
{
    if (!fileName.startsWith(QLatin1Char('h')))
        return false;
    const QString indexPath = folder + QLatin1Char('i') + fileName;
    QFile index(indexPath);
    if (!index.open(QIODevice::ReadOnly) || index.size() <= kHeaderSize)
        return false;
    const QByteArray header = index.read(kHeaderSize);
    if (header.size() != kHeaderSize)
        return false;
    m_indexPath = indexPath;
    m_dataPath = folder + fileName;
    bool numeric = false;
    const int named = fileName.right(3).toInt(&numeric);
    m_channel = numeric ? named - 1 : -1;
    BuildMinuteTable(header);
    return true;
}

void LocalRecordingReader::BuildMinuteTable(const QByteArray& header)
{
    m_startTime = m_endTime = m_firstSecond = -1;
    m_minutes.fill(Minute{});
    const qint64 firstEntry = U32(header.constData() + 8);
    const int firstSeconds = int(((firstEntry - kHeaderSize) / kEntrySize) % 60);
    for (int hour = 0; hour < 24; ++hour) {
        const quint64 mask = U64(header.constData() + 24 + 8 * hour);
        for (int minute = 0; minute < 60; ++minute) {
            if (!(mask & (quint64(1) << minute)))
                continue;
            Minute& m = m_minutes[size_t(hour * 60 + minute)];
            m.present = true;
            // Every second has its entry at its own place, also in a minute that began before
            // the first written entry: its earlier seconds are empty entries, not the first one.
            m.offset = kHeaderSize + qint64(60 * kEntrySize) * (hour * 60 + minute);
            const int time = (hour * 100 + minute) * 100 + firstSeconds;
            if (m_startTime < 0)
                m_startTime = time;
            m_endTime = qMax(m_endTime, time);
            if (m_firstSecond < 0 && m.offset > 0)
                m_firstSecond = (hour * 60 + minute) * 60;
        }
    }
}

bool LocalRecordingReader::MinutePresent(int minuteOfDay) const
{
    return minuteOfDay >= 0 && minuteOfDay < kMinutesPerDay && m_minutes[size_t(minuteOfDay)].present;
}

qint64 LocalRecordingReader::EntryOffset(int secondOfDay) const
{
    const Minute& m = m_minutes[size_t(secondOfDay / 60)];
    const QByteArray entry = ReadAt(m_indexPath, m.offset + kEntrySize * (secondOfDay % 60), kEntrySize);
    if (entry.size() != kEntrySize)
        return -1;
    // A second's block follows its frames, so it never starts the data file: 0 is an empty entry.
    const qint64 offset = qint64(U64(entry.constData() + 8) & kEntryOffsetMask);
    return offset > 0 ? offset : -1;
}

QVector<LocalRecordingReader::Record> LocalRecordingReader::ReadRecords(qint64 offset) const
{
    QVector<Record> records;
    const QByteArray block = ReadAt(m_dataPath, offset, qint64(kRecordSize) * kRecordsPerSecond);
    for (int i = 0; (i + 1) * kRecordSize <= block.size(); ++i) {
        const char* r = block.constData() + i * kRecordSize;
        if (U32(r) != kRecordMarker)
            break;
        Record record;
        record.size = qint64(U32(r + 4) >> 9) + (U32(r + 8) & 0x7FFFFF);
        record.frameType = int((U32(r + 16) >> 1) & 3);
        record.dataOffset = qint64(U64(r + 20) & kEntryOffsetMask);
        record.timestamp = U64(r + 44);
        records.append(record);
    }
    return records;
}

QVector<LocalRecordingReader::Frame> LocalRecordingReader::ReadSecond(int secondOfDay) const
{
    QVector<Frame> frames;
    if (secondOfDay < 0 || secondOfDay >= kSecondsPerDay || !MinutePresent(secondOfDay / 60))
        return frames;
    const qint64 offset = EntryOffset(secondOfDay);
    if (offset < 0)
        return frames;
    const QVector<Record> records = ReadRecords(offset);
    int keyIndex = -1;
    for (int i = 0; i < records.size(); ++i) {
        if (records[i].frameType == 1)
            keyIndex = i;
    }
    QFile data(m_dataPath);
    if (!data.open(QIODevice::ReadOnly))
        return frames;
    for (int i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        // A frame that runs past the end of the data file is dropped.
        if (r.size <= 0 || r.dataOffset + r.size > data.size() || !data.seek(r.dataOffset))
            continue;
        Frame frame;
        frame.data = data.read(r.size);
        if (frame.data.size() != r.size)
            continue;
        frame.key = i == keyIndex;
        frame.timestamp = r.timestamp;
        frame.date = DateOf(r.timestamp);
        frame.time = TimeOf(r.timestamp);
        frames.append(frame);
    }
    return frames;
}
