// Reader of the client recording layout: recordings written by the project's writer from
// ffmpeg-made H.264 read back frame for frame, and hand-made index and data files for the
// entry rules (offset bits, empty entries, fixed positions) and damaged frame records.
#include "common/media/localrecordreader.h"
#include "common/media/modulerecord.h"
#include "common/support/decoder_streams.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

void PutU32(QByteArray& b, int at, quint32 v)
{
    qToLittleEndian<quint32>(v, b.data() + at);
}

void PutU64(QByteArray& b, int at, quint64 v)
{
    qToLittleEndian<quint64>(v, b.data() + at);
}

// An index header: first-entry position at 8, minute masks of 64 bits per hour from 24.
QByteArray Header(quint32 firstEntryPos, std::initializer_list<std::pair<int, int>> minutes)
{
    QByteArray h(512, '\0');
    PutU32(h, 0, 0x23000003);
    PutU32(h, 8, firstEntryPos);
    for (const auto& [hour, minute] : minutes) {
        PutU32(h, 16, qFromLittleEndian<quint32>(h.constData() + 16) | (1u << hour));
        const quint64 mask = qFromLittleEndian<quint64>(h.constData() + 24 + 8 * hour);
        PutU64(h, 24 + 8 * hour, mask | (quint64(1) << minute));
    }
    return h;
}

// A 16-byte entry as the writer lays it out: offset, low word, high word with bit 31 set.
QByteArray Entry(quint64 offset)
{
    QByteArray e(16, '\0');
    PutU64(e, 0, offset);
    PutU32(e, 8, quint32(offset));
    PutU32(e, 12, quint32(offset >> 32) | 0x80000000u);
    return e;
}

// A 336-byte frame record: marker, size in word 1 bits 9-31, frame type in word 4 bits 1-2,
// data offset at 20, time stamp at 44 (second of day bits 10-26, day 27-31, month 32-35,
// year 36-63).
QByteArray Record(quint32 size, int frameType, quint64 dataOffset, int year, int month, int day, int second)
{
    QByteArray r(336, '\0');
    PutU32(r, 0, 511);
    PutU32(r, 4, size << 9);
    PutU32(r, 8, 0x01000000u);
    PutU32(r, 16, 0x50u | (quint32(frameType) << 1));
    PutU64(r, 20, dataOffset);
    PutU64(r, 28, 0);
    const quint64 stamp = (quint64(year) << 36) | (quint64(month) << 32) | (quint64(day) << 27)
                          | (quint64(second) << 10);
    PutU64(r, 44, stamp);
    return r;
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class LocalRecordReaderTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_tmp.isValid()); }

    // Writes a hand-made recording "h101500.002" and points the reader at it.
    void Make(const QByteArray& index, const QByteArray& data)
    {
        ASSERT_TRUE(WriteFile(m_tmp.filePath("ih101500.002"), index));
        ASSERT_TRUE(WriteFile(m_tmp.filePath("h101500.002"), data));
        m_reader.SetFiles(m_tmp.path(), "h101500.002");
    }

    LocalMinuteTable Table() const
    {
        QByteArray header;
        LocalMinuteTable table;
        EXPECT_TRUE(m_reader.ReadHeader(header));
        EXPECT_TRUE(LocalRecordReader::BuildMinuteTable(header, -1, table));
        return table;
    }

    QTemporaryDir m_tmp;
    LocalRecordReader m_reader;
};

TEST(LocalRecordNames, ChannelOfDataFile)
{
    struct Case
    {
        const char* name;
        int channel;
    };
    const Case cases[] = {
        {"h101500.004", 3},   {"h000000.001", 0},   {"h235959.016", 15},
        {"ih101500.004", -1}, {"a0101500.004", -1}, {"h101500.000", -1},
        {"h101500.0x4", -1},  {"h04", -1},          {"", -1},
        {"h../x.004", -1},    {"H101500.004", -1},  {"h1015\\0.004", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LocalRecordReader::ChannelOfDataFile(c.name), c.channel) << c.name;
    EXPECT_EQ(LocalRecordReader::IndexFileName("h101500.004"), "ih101500.004");
}

TEST(LocalRecordEntries, OffsetFromBytes8To15WithFlagBitsCleared)
{
    struct Case
    {
        const char* what;
        QByteArray entry;
        qint64 offset;
    };
    QByteArray highBits(16, '\0');
    PutU64(highBits, 0, 7);
    PutU32(highBits, 8, 0x1000);
    PutU32(highBits, 12, 0xE0000002u); // bits 29-31 are flags, 1 is part of the offset
    QByteArray firstZero(16, '\0');
    PutU32(firstZero, 8, 0x1000);
    PutU32(firstZero, 12, 0x80000000u);
    QByteArray bytes0To7Differ(16, '\0');
    PutU64(bytes0To7Differ, 0, 0x5555);
    PutU32(bytes0To7Differ, 8, 0x2000);
    PutU32(bytes0To7Differ, 12, 0x80000000u);
    const Case cases[] = {
        {"writer entry", Entry(0x1234), 0x1234},
        {"offset above 4 GB", Entry(0x100000010ull), 0x100000010ll},
        {"top three bits are flags", highBits, 0x200001000ll},
        {"first 8 bytes zero is empty", firstZero, -1},
        {"all zero", QByteArray(16, '\0'), -1},
        {"bytes 8..15 win over 0..7", bytes0To7Differ, 0x2000},
        {"short", QByteArray(8, '\1'), -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LocalRecordReader::EntryOffset(c.entry), c.offset) << c.what;
}

TEST_F(LocalRecordReaderTest, MinuteTableAndFixedEntryPositions)
{
    // First written second 10:15:07 (position (36907 + 32) x 16); minutes 10:15 and 10:17.
    const int first = 10 * 3600 + 15 * 60 + 7;
    QByteArray index = Header((first + 32) * 16, {{10, 15}, {10, 17}});
    index.append(QByteArray(16 * (10 * 3600 + 17 * 60 + 30), '\0'));
    // Garbage where no entry can be (before the first entry), a real entry at 10:15:07 and one
    // at 10:17:02; 10:15:08 holds only a flagged high word (empty).
    index.replace(512 + 16 * (first - 1), 16, Entry(99));
    index.replace(512 + 16 * first, 16, Entry(0x40));
    QByteArray flagsOnly(16, '\0');
    PutU32(flagsOnly, 12, 0x80000000u);
    index.replace(512 + 16 * (first + 1), 16, flagsOnly);
    index.replace(512 + 16 * (10 * 3600 + 17 * 60 + 2), 16, Entry(0x80));
    Make(index, QByteArray(0x100, '\0'));

    const LocalMinuteTable table = Table();
    EXPECT_EQ(table.firstTime, 101507);
    EXPECT_EQ(table.lastTime, 101707);
    int hour = -1;
    int minute = -1;
    ASSERT_TRUE(table.FirstPresent(hour, minute));
    EXPECT_EQ(hour, 10);
    EXPECT_EQ(minute, 15);
    EXPECT_EQ(table.minutes[10 * 60 + 15].offset, 512 + 960 * (10 * 60 + 15));
    EXPECT_FALSE(table.IsPresent(10, 16));
    EXPECT_FALSE(table.IsPresent(24, 0));

    struct Case
    {
        int hour, minute, second;
        qint64 offset;
    };
    const Case cases[] = {
        {10, 15, 6, -1},                     // before the first entry: empty whatever it holds
        {10, 15, 7, 0x40},                   // the first entry, at 512 + 16 x second
        {10, 15, 8, -1},                     // first 8 bytes zero
        {10, 16, 0, -1},                     // minute not in the masks
        {10, 17, 2, 0x80}, {10, 17, 31, -1}, // past the end of the index file
        {10, 17, 60, -1},  {9, 0, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m_reader.ReadEntry(table, c.hour, c.minute, c.second), c.offset)
            << c.hour << ":" << c.minute << ":" << c.second;
}

TEST_F(LocalRecordReaderTest, HeaderOfFiveHundredTwelveBytesOrLessOpensNothing)
{
    for (int size : {0, 100, 512}) {
        Make(QByteArray(size, '\0'), QByteArray());
        QByteArray header("kept");
        EXPECT_FALSE(m_reader.ReadHeader(header)) << size;
        EXPECT_EQ(header, "kept");
    }
    Make(QByteArray(513, '\0'), QByteArray());
    QByteArray header;
    EXPECT_TRUE(m_reader.ReadHeader(header));
    EXPECT_EQ(header.size(), 512);

    m_reader.SetFiles(m_tmp.path(), "h999999.001");
    EXPECT_FALSE(m_reader.ReadHeader(header));
    EXPECT_FALSE(QFile::exists(m_tmp.filePath("ih999999.001"))) << "reading must not create the index";

    LocalMinuteTable table;
    EXPECT_FALSE(LocalRecordReader::BuildMinuteTable(QByteArray(511, '\0'), -1, table));
    EXPECT_FALSE(LocalRecordReader::BuildMinuteTable(QByteArray(513, '\0'), -1, table));
}

TEST_F(LocalRecordReaderTest, RecordsStopAtTheFirstRecordWithoutMarker)
{
    QByteArray data(400, 'x');
    QByteArray block = Record(100, 1, 0, 2026, 12, 10, 10 * 3600 + 15 * 60 + 7)
                       + Record(50, 2, 100, 2026, 12, 10, 10 * 3600 + 15 * 60 + 7) + QByteArray(336, '\0')
                       + Record(60, 2, 150, 2026, 12, 10, 10 * 3600 + 15 * 60 + 7);
    data.append(block);
    Make(Header(512, {{0, 0}}) + QByteArray(16, '\0'), data);

    const QVector<LocalFrameEntry> frames = LocalRecordReader::ParseRecords(m_reader.ReadRecords(400));
    ASSERT_EQ(frames.size(), 2);
    EXPECT_EQ(frames[0].size, 100);
    EXPECT_TRUE(frames[0].key);
    EXPECT_EQ(frames[0].frameType, 1);
    EXPECT_EQ(frames[0].dataOffset, 0);
    EXPECT_EQ(frames[0].date, 20261210);
    EXPECT_EQ(frames[0].time, 101507);
    EXPECT_EQ(frames[1].size, 50);
    EXPECT_FALSE(frames[1].key);
    EXPECT_EQ(frames[1].dataOffset, 100);

    // Near the end of the file fewer bytes are read; at or past it nothing.
    EXPECT_EQ(m_reader.ReadRecords(400 + 336 * 3).size(), 336);
    EXPECT_TRUE(m_reader.ReadRecords(data.size()).isEmpty());
    EXPECT_TRUE(m_reader.ReadRecords(-1).isEmpty());
    EXPECT_EQ(LocalRecordReader::ParseRecords(QByteArray(335, '\0')).size(), 0);
}

TEST_F(LocalRecordReaderTest, BadFrameRecordsReadNothing)
{
    QByteArray data(1000, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i);
    Make(Header(512, {{0, 0}}) + QByteArray(16, '\0'), data);

    struct Case
    {
        const char* what;
        qint64 offset;
        int size;
        bool read;
    };
    const Case cases[] = {
        {"inside", 10, 90, true},
        {"up to the last byte", 900, 100, true},
        {"one byte past the end", 901, 100, false},
        {"offset at the end", 1000, 1, false},
        {"negative offset", -5, 10, false},
        {"zero size", 10, 0, false},
        {"negative size", 10, -4, false},
        {"above the size cap", 0, 8 * 1024 * 1024 + 1, false},
        {"offset near the 64-bit limit", 0x7FFFFFFFFFFFFF00ll, 0x200, false},
    };
    QFile kept; // one file kept open over every read, as a playing cell keeps it
    for (const Case& c : cases) {
        LocalFrameEntry e;
        e.dataOffset = c.offset;
        e.size = c.size;
        for (const QByteArray& frame : {m_reader.ReadFrame(e), m_reader.ReadFrame(e, kept)}) {
            if (c.read)
                EXPECT_EQ(frame, data.mid(int(c.offset), c.size)) << c.what;
            else
                EXPECT_TRUE(frame.isEmpty()) << c.what;
        }
    }
}

// A data file kept open between reads still sees the bytes written after it was opened, and is
// opened afresh on the next recording.
TEST_F(LocalRecordReaderTest, AFileKeptOpenFollowsAGrowingRecordingAndTheNextOne)
{
    const QByteArray first(100, 'a');
    Make(Header(512, {{0, 0}}) + QByteArray(16, '\0'), first);
    QFile kept;
    LocalFrameEntry e;
    e.dataOffset = 90;
    e.size = 20;
    EXPECT_TRUE(m_reader.ReadFrame(e, kept).isEmpty()) << "past the end";
    ASSERT_TRUE(kept.isOpen());
    {
        QFile grow(m_tmp.filePath("h101500.002"));
        ASSERT_TRUE(grow.open(QIODevice::Append));
        ASSERT_EQ(grow.write(QByteArray(50, 'b')), 50);
    }
    EXPECT_EQ(m_reader.ReadFrame(e, kept), QByteArray(10, 'a') + QByteArray(10, 'b'));

    ASSERT_TRUE(WriteFile(m_tmp.filePath("h101600.002"), QByteArray(200, 'c')));
    m_reader.SetFiles(m_tmp.path(), "h101600.002");
    EXPECT_EQ(m_reader.ReadFrame(e, kept), QByteArray(20, 'c'));
    EXPECT_EQ(kept.fileName(), m_reader.DataPath());
}

// A recording the writer made from ffmpeg's H.264 reads back: every second's frames in order,
// their bytes, key flags, dates and times.
TEST(LocalRecordWrittenByWriter, ReadsBackEveryFrame)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(160, 120, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const int date = 20261210;
    const int start = 235957; // runs up to the last second of the day
    {
        ModuleRecord writer;
        ASSERT_TRUE(writer.StartRecord(1, date, start, tmp.path(), 0, ModuleRecord::RecordLive));
        for (int i = 0; i < stream.frames.size(); ++i) {
            const QByteArray& f = stream.frames[i];
            const int time = start + i / 10; // ten frames a second
            ASSERT_GT(writer.OnRecordData(1, date, time, i % 10 == 0 ? 1 : 2, 2, f.constData(), f.size(), 1, 0),
                      0);
        }
    }
    LocalRecordReader reader;
    reader.SetFiles(tmp.path() + "/20261210", "h235957.002");
    EXPECT_EQ(LocalRecordReader::ChannelOfDataFile("h235957.002"), 1);
    QByteArray header;
    ASSERT_TRUE(reader.ReadHeader(header));
    LocalMinuteTable table;
    ASSERT_TRUE(LocalRecordReader::BuildMinuteTable(header, -1, table));
    EXPECT_EQ(table.firstTime, 235957);
    int hour = -1;
    int minute = -1;
    ASSERT_TRUE(table.FirstPresent(hour, minute));
    EXPECT_EQ(hour, 23);
    EXPECT_EQ(minute, 59);

    int frame = 0;
    for (int second = 56; second < 60; ++second) {
        const qint64 offset = reader.ReadEntry(table, 23, 59, second);
        if (second == 56) {
            EXPECT_EQ(offset, -1);
            continue;
        }
        ASSERT_GE(offset, 0) << second;
        const QVector<LocalFrameEntry> frames = LocalRecordReader::ParseRecords(reader.ReadRecords(offset));
        ASSERT_EQ(frames.size(), 10) << second;
        for (int i = 0; i < frames.size(); ++i, ++frame) {
            EXPECT_EQ(frames[i].key, i == 0);
            EXPECT_EQ(frames[i].date, date);
            EXPECT_EQ(frames[i].time, 235900 + second);
            EXPECT_EQ(reader.ReadFrame(frames[i]), stream.frames[frame]) << "frame " << frame;
        }
    }
    EXPECT_EQ(frame, 30);
}

} // namespace
