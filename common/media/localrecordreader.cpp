#include "common/media/localrecordreader.h"
#include "common/commonlog.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

namespace {

quint32 Word(const char* record, int index)
{
    return qFromLittleEndian<quint32>(record + 4 * index);
}

// The offset bytes 8..15 carry the writer's flag in the top bits of the high word.
constexpr quint64 kOffsetMask = (quint64(1) << 61) - 1;

// Reads exactly size bytes at pos of an open file; empty when the read falls short.
QByteArray ReadAt(QFile& file, qint64 pos, qint64 size)
{
    if (pos < 0 || size <= 0 || !file.seek(pos))
        return {};
    QByteArray bytes = file.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}

} // namespace

bool LocalMinuteTable::IsPresent(int hour, int minute) const
{
    if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60)
        return false;
    return minutes[hour * 60 + minute].present;
}

bool LocalMinuteTable::FirstPresent(int& hour, int& minute) const
{
    for (int i = 0; i < kMinutes; ++i) {
        if (minutes[i].present && minutes[i].offset > 0) {
            hour = i / 60;
            minute = i % 60;
            return true;
        }
    }
    return false;
}

int LocalRecordReader::ChannelOfDataFile(const QString& fileName)
{
    if (fileName.size() < 4 || !fileName.startsWith(QLatin1Char('h')) || fileName.contains(QLatin1Char('/'))
        || fileName.contains(QLatin1Char('\\')))
        return -1;
    const QStringRef digits = fileName.rightRef(3);
    for (const QChar c : digits) {
        if (!c.isDigit())
            return -1;
    }
    const int channel = digits.toInt() - 1;
    return channel >= 0 ? channel : -1;
}

void LocalRecordReader::SetFiles(const QString& folder, const QString& dataFile)
{
    m_folder = folder;
    m_dataFile = dataFile;
}

QString LocalRecordReader::DataPath() const
{
    return QDir(m_folder).filePath(m_dataFile);
}

QString LocalRecordReader::IndexPath() const
{
    return QDir(m_folder).filePath(IndexFileName(m_dataFile));
}

bool LocalRecordReader::ReadHeader(QByteArray& header) const
{
    QFile index(IndexPath());
    if (!index.open(QIODevice::ReadOnly)) {
        qCDebug(lcMedia) << "LocalRecordReader: cannot open" << index.fileName() << index.errorString();
        return false;
    }
    if (index.size() <= kHeaderSize)
        return false;
    QByteArray bytes = ReadAt(index, 0, kHeaderSize);
    if (bytes.isEmpty())
        return false;
    header = bytes;
    return true;
}

bool LocalRecordReader::BuildMinuteTable(const QByteArray& header, int tag, LocalMinuteTable& table)
{
    if (header.size() != kHeaderSize)
        return false;
    const char* h = header.constData();
    table = LocalMinuteTable();
    table.firstEntryPos = Word(h, 2);
    const qint64 firstSecond = table.firstEntryPos >= kHeaderSize
                                   ? (table.firstEntryPos - kHeaderSize) / kEntrySize
                                   : 0;
    const int firstSecondInMinute = int(firstSecond % 60);
    for (int hour = 0; hour < 24; ++hour) {
        const quint64 mask = qFromLittleEndian<quint64>(h + 24 + 8 * hour);
        for (int minute = 0; minute < 60; ++minute) {
            LocalMinute& m = table.minutes[hour * 60 + minute];
            if (!(mask & (quint64(1) << minute)))
                continue;
            m.present = true;
            m.tag = quint8(tag & 0xFF);
            // Each second's entry has one place, whatever the first-entry position says.
            m.offset = kHeaderSize + qint64(kEntrySize) * 60 * (hour * 60 + minute);
            const int time = (hour * 100 + minute) * 100 + firstSecondInMinute;
            if (table.firstTime < 0)
                table.firstTime = time;
            if (time > table.lastTime)
                table.lastTime = time;
        }
    }
    return true;
}

qint64 LocalRecordReader::EntryOffset(const QByteArray& entry)
{
    if (entry.size() != kEntrySize || qFromLittleEndian<quint64>(entry.constData()) == 0)
        return -1;
    const quint64 offset = qFromLittleEndian<quint64>(entry.constData() + 8) & kOffsetMask;
    return qint64(offset);
}

qint64 LocalRecordReader::ReadEntry(const LocalMinuteTable& table, int hour, int minute, int second) const
{
    if (!table.IsPresent(hour, minute) || second < 0 || second >= 60)
        return -1;
    const qint64 pos = table.minutes[hour * 60 + minute].offset + qint64(kEntrySize) * second;
    // A recording's index holds zeros before its first second; older writers left other bytes.
    if (pos < table.firstEntryPos)
        return -1;
    QFile index(IndexPath());
    if (!index.open(QIODevice::ReadOnly) || pos + kEntrySize > index.size())
        return -1;
    return EntryOffset(ReadAt(index, pos, kEntrySize));
}

QByteArray LocalRecordReader::ReadRecords(qint64 offset) const
{
    QFile data(DataPath());
    if (offset < 0 || !data.open(QIODevice::ReadOnly) || offset >= data.size())
        return {};
    return ReadAt(data, offset, qMin<qint64>(kSecondBlockSize, data.size() - offset));
}

QVector<LocalFrameEntry> LocalRecordReader::ParseRecords(const QByteArray& records)
{
    QVector<LocalFrameEntry> entries;
    const int count = qMin(int(records.size() / kRecordSize), kRecordsPerSecond);
    for (int i = 0; i < count; ++i) {
        const char* r = records.constData() + i * kRecordSize;
        if (Word(r, 0) != quint32(kMarker))
            break;
        LocalFrameEntry e;
        e.size = int((Word(r, 1) >> 9) + (Word(r, 2) & 0x7FFFFF));
        e.frameType = int((Word(r, 4) >> 1) & 3);
        e.key = e.frameType == 1;
        e.dataOffset = qint64(qFromLittleEndian<quint64>(r + 20));
        e.kept[0] = Word(r, 7);
        e.kept[1] = Word(r, 8);
        e.kept[2] = Word(r, 9) & 0xFFFFFF;
        e.timeStamp = qFromLittleEndian<quint64>(r + 44);
        const quint32 low = Word(r, 11);
        const quint32 high = Word(r, 12);
        const int day = int(low >> 27);
        const int secondOfDay = int((low >> 10) & 0x1FFFF);
        const int year = int((high >> 4) & 0xFFF);
        const int month = int(high & 0xF);
        e.date = year * 10000 + month * 100 + day;
        e.time = secondOfDay / 3600 * 10000 + secondOfDay / 60 % 60 * 100 + secondOfDay % 60;
        entries.append(e);
    }
    return entries;
}

QByteArray LocalRecordReader::ReadFrame(const LocalFrameEntry& entry) const
{
    QFile data;
    return ReadFrame(entry, data);
}

QByteArray LocalRecordReader::ReadFrame(const LocalFrameEntry& entry, QFile& data) const
{
    if (entry.dataOffset < 0 || entry.size <= 0 || entry.size > kMaxFrameSize)
        return {};
    const QString path = DataPath();
    if (!data.isOpen() || data.fileName() != path) {
        data.close();
        data.setFileName(path);
        if (!data.open(QIODevice::ReadOnly))
            return {};
    }
    // The size is asked of the open file each time: a recording still being written grows.
    if (entry.dataOffset > data.size() - entry.size)
        return {};
    return ReadAt(data, entry.dataOffset, entry.size);
}
