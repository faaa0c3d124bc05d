// The recording layouts as the tiles read them, from bytes written out by hand: the INI reader,
// the day list, the packed file numbers, word reversal, both index headers with their minute
// tables, both entry kinds, frame blocks and 104-byte frame records, damaged bytes included.
#include "playback/frameblock.h"
#include "playback/framerecord.h"
#include "playback/indexlayout.h"
#include "playback/profileini.h"
#include "playback/recordermedia.h"
#include "support/mediabytes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

// A 56-byte frame header as the recorder media table lays it out.
QByteArray MediaHeader(quint32 mark, quint32 length, quint32 flags, quint32 kind, quint32 data, quint32 key,
                       quint32 keyWord, quint32 timeWord, quint32 dateWord)
{
    QByteArray h(56, '\0');
    U32(h, 0, mark);
    U32(h, 4, length << 9);
    U32(h, 8, flags);
    U32(h, 16, kind);
    U32(h, 20, data);
    U32(h, 28, key);
    U32(h, 36, keyWord);
    U32(h, 44, timeWord);
    U32(h, 48, dateWord);
    return h;
}

} // namespace

TEST(ProfileIni, ReadsSectionsAndKeysWithoutCaseAndKeepsRawValues)
{
    ProfileIni ini;
    ini.Parse("; recorder\r\n[dvr_info]\r\nName = Gate \\\\north\\ \r\nip=10.0.0.7\r\nCAM00=\"Door\"\r\n"
              "name=second\r\n[OTHER]\r\nIP=1.1.1.1\r\nbroken line\r\n");
    EXPECT_EQ(ini.Value("DVR_INFO", "NAME"), QString("Gate \\\\north\\"));
    EXPECT_EQ(ini.Value("Dvr_Info", "IP"), QString("10.0.0.7"));
    EXPECT_EQ(ini.Value("DVR_INFO", "cam00"), QString("\"Door\""));
    EXPECT_EQ(ini.Value("OTHER", "ip"), QString("1.1.1.1"));
    EXPECT_EQ(ini.Value("DVR_INFO", "CAM01", "@@@"), QString("@@@"));
}

TEST(RecorderMedia, DayListMustBeEightDigits)
{
    QTemporaryDir dir;
    const struct
    {
        QByteArray bytes;
        QString day;
    } cases[] = {
        {"20261210", "20261210"},
        {"20261210\r\n20261211", "20261210"},
        {"2026121", ""},
        {"../x/yyy", ""},
        {"2026-12-", ""},
        {QByteArray("2026\0"
                    "210",
                    8),
         ""},
    };
    for (const auto& c : cases) {
        Write(dir.filePath("day.lst"), c.bytes);
        EXPECT_EQ(RecorderMedia::ReadDayList(dir.filePath("day.lst")), c.day) << c.bytes.toHex().constData();
    }
    EXPECT_EQ(RecorderMedia::ReadDayList(dir.filePath("missing.lst")), QString());
}

TEST(RecorderMedia, DvrInfoTitlesAndDefaults)
{
    QTemporaryDir dir;
    Write(dir.filePath("DvrInfo.ini"), "[DVR_INFO]\nNAME=Yard\nIP=@@@\nCAM00=Gate\nCAM02=@@@\n");
    DvrInfo info = RecorderMedia::ReadDvrInfo(dir.filePath("DvrInfo.ini"), 0);
    EXPECT_EQ(info.name, QString("Yard"));
    EXPECT_EQ(info.address, QString());
    EXPECT_EQ(RecorderMedia::CameraTitleOrDefault(info, 0), QString("Gate"));
    info = RecorderMedia::ReadDvrInfo(dir.filePath("DvrInfo.ini"), 2);
    EXPECT_EQ(RecorderMedia::CameraTitleOrDefault(info, 2), QString("CAM-03"));
    info = RecorderMedia::ReadDvrInfo(dir.filePath("DvrInfo.ini"), 5);
    EXPECT_EQ(RecorderMedia::CameraTitleOrDefault(info, 5), QString("CAM-06"));
    info = RecorderMedia::ReadDvrInfo(dir.filePath("none.ini"), 1);
    EXPECT_TRUE(info.name.isEmpty());
    EXPECT_EQ(RecorderMedia::CameraTitleOrDefault(info, 1), QString("CAM-02"));
}

TEST(RecorderMedia, PackedFileNumbers)
{
    const struct
    {
        quint32 packed;
        int number;
    } cases[] = {
        {0x00000000u, 0},       {0x01000100u, 33}, // bits 8..22 = 1, bits 24..28 = 1
        {0x00000100u, 32},                         // 1 << 5
        {0x01000000u, 1},                          // low five bits only
        {0x1F7FFF00u, 0xFFFFF},                    // every bit of both fields
        {0xE08000FFu, 0},                          // bits outside both fields are ignored
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecorderMedia::UnpackFileNumber(c.packed), c.number) << std::hex << c.packed;
    EXPECT_EQ(RecorderMedia::StreamName3(33, ".005"), QString("stream_033.005"));
    EXPECT_EQ(RecorderMedia::StreamName6(33, ".005_hd"), QString("stream_000033.005_hd"));
}

TEST(RecorderMedia, SwapDwordBytesReversesWholeWordsWithinCapacity)
{
    quint8 b[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    SwapDwordBytes(b, 6, 10); // six bytes round up to two words
    const quint8 want[10] = {4, 3, 2, 1, 8, 7, 6, 5, 9, 10};
    EXPECT_EQ(0, memcmp(b, want, 10));
    SwapDwordBytes(b, 10, 10); // three words would pass the end: only two are swapped
    const quint8 back[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(0, memcmp(b, back, 10));
    SwapDwordBytes(b, 0, 10);
    SwapDwordBytes(b, -4, 10);
    EXPECT_EQ(0, memcmp(b, back, 10));
}

TEST(IndexLayout, Header512MinuteTableAndTimes)
{
    QByteArray h(512, '\0');
    U32(h, 0, 0x23000003u | 0x200u);
    U32(h, 8, (10 * 3600 + 27 * 60 + 30 + 32) * 16); // first data at 10:27:30
    U64(h, 24 + 8 * 10, (quint64(1) << 27) | (quint64(1) << 33));
    U64(h, 24 + 8 * 23, quint64(1) << 59);
    IndexInfo info;
    const qint64 length = 512 + 16 * (10 * 3600 + 33 * 60 + 5 + 1); // last second 10:33:05
    ASSERT_TRUE(IndexLayout::Parse(h, length, info));
    EXPECT_TRUE(info.layout512);
    EXPECT_TRUE(info.KeyStep());
    EXPECT_FALSE(info.FieldFlag());
    EXPECT_FALSE(info.LargeBlock());
    EXPECT_EQ(info.firstTime, QString("102730"));
    EXPECT_EQ(info.lastTime, QString("103305"));
    EXPECT_EQ(info.lastEntryPos, length - 16);
    const auto& s = info.minutes.minuteSlots;
    // The minute in which recording began starts at its first data, the others at their own.
    EXPECT_TRUE(s[10 * 60 + 27].present);
    EXPECT_EQ(s[10 * 60 + 27].offset, (10 * 3600 + 27 * 60 + 30 + 32) * 16);
    EXPECT_EQ(s[10 * 60 + 33].offset, 512 + 960 * (10 * 60 + 33));
    EXPECT_EQ(s[23 * 60 + 59].offset, 512 + 960 * (23 * 60 + 59));
    EXPECT_FALSE(s[10 * 60 + 28].present);
    EXPECT_EQ(s[10 * 60 + 28].offset, -1);
}

TEST(IndexLayout, Index528BytesHoldsSecondZero)
{
    QByteArray h(512, '\0');
    U32(h, 8, 512);
    IndexInfo info;
    ASSERT_TRUE(IndexLayout::Parse(h, 528, info));
    EXPECT_EQ(info.firstSecond, 0);
    EXPECT_EQ(info.lastSecond, 0);
    EXPECT_EQ(info.lastEntryPos, 512);
    EXPECT_FALSE(IndexLayout::Parse(h, 527, info)); // no whole entry
    EXPECT_FALSE(IndexLayout::Parse(h.left(300), 528, info));
}

TEST(IndexLayout, FlagsWordBits)
{
    const struct
    {
        quint32 flags;
        bool keyStep, field, large;
    } cases[] = {
        {0x0u, false, false, false},       {0x200u, true, false, false},       {0x400u, false, true, false},
        {0x30000000u, false, false, true}, {0x20000000u, false, false, false},
    };
    for (const auto& c : cases) {
        QByteArray h(512, '\0');
        U32(h, 0, c.flags);
        IndexInfo info;
        ASSERT_TRUE(IndexLayout::Parse(h, 528, info));
        EXPECT_EQ(info.KeyStep(), c.keyStep) << c.flags;
        EXPECT_EQ(info.FieldFlag(), c.field) << c.flags;
        EXPECT_EQ(info.LargeBlock(), c.large) << c.flags;
    }
}

TEST(IndexLayout, FirstDataPositionOutsideTheDayIsClamped)
{
    for (quint32 bad : {0u, 100u, 513u, 0xFFFFFFF0u}) {
        QByteArray h(512, '\0');
        U32(h, 8, bad);
        U64(h, 24, 1);
        IndexInfo info;
        ASSERT_TRUE(IndexLayout::Parse(h, 512 + 16 * 100, info));
        EXPECT_EQ(info.firstDataPos, 512) << bad;
        EXPECT_EQ(info.firstSecond, 0) << bad;
        EXPECT_EQ(info.minutes.minuteSlots[0].offset, 512) << bad;
    }
}

TEST(IndexLayout, Header224MarksTheFirstDataMinute)
{
    QByteArray h(224, '\0');
    U32(h, 0, 1);
    const quint32 first = 224 + 36 * (8 * 3600 + 5 * 60 + 10); // 08:05:10
    U32(h, 8, first);
    U64(h, 16 + 8 * 9, 1); // 09:00 in the masks
    IndexInfo info;
    ASSERT_TRUE(IndexLayout::Parse(h, 224 + 36 * 40000, info));
    EXPECT_FALSE(info.layout512);
    EXPECT_EQ(info.firstSecond, 8 * 3600 + 5 * 60 + 10);
    EXPECT_EQ(info.entryCount, 40000);
    EXPECT_TRUE(info.minutes.minuteSlots[8 * 60 + 5].present);
    EXPECT_EQ(info.minutes.minuteSlots[8 * 60 + 5].offset, first);
    EXPECT_EQ(info.minutes.minuteSlots[9 * 60].offset, 224 + 2160 * 540);
    EXPECT_FALSE(info.KeyStep());
}

TEST(IndexLayout, Header224WithoutOrWithBadFirstDataMarksNothing)
{
    for (quint32 bad : {0u, 225u, 0x7FFFFFFFu}) {
        QByteArray h(224, '\0');
        U32(h, 0, 1);
        U32(h, 8, bad);
        IndexInfo info;
        ASSERT_TRUE(IndexLayout::Parse(h, 224 + 36 * 10, info));
        int present = 0;
        for (const auto& s : info.minutes.minuteSlots)
            present += s.present;
        EXPECT_EQ(present, 0) << bad;
    }
}

TEST(IndexLayout, Entries)
{
    // Client writer: offset at 0, low word at 8, high word with the flag bit at 12.
    QByteArray client(16, '\0');
    U64(client, 0, 0x123456789ull);
    U32(client, 8, 0x23456789u);
    U32(client, 12, 0x80000001u);
    IndexEntry e = IndexLayout::ParseEntry16(client, true);
    EXPECT_TRUE(e.hasData);
    EXPECT_EQ(e.offset, 0x123456789ll);
    EXPECT_EQ(e.fileNumber, -1);

    // Recorder media: two time words, a 32-bit offset, the packed file number.
    QByteArray media(16, '\0');
    U32(media, 0, 0x11);
    U32(media, 8, 0x4000);
    U32(media, 12, 0x01000100u);
    e = IndexLayout::ParseEntry16(media, false);
    EXPECT_TRUE(e.hasData);
    EXPECT_EQ(e.offset, 0x4000);
    EXPECT_EQ(e.fileNumber, 33);

    QByteArray empty(16, '\0');
    U32(empty, 8, 0x4000);
    EXPECT_FALSE(IndexLayout::ParseEntry16(empty, false).hasData);
    EXPECT_FALSE(IndexLayout::ParseEntry16(client.left(10), true).hasData);

    QByteArray e36(36, '\0');
    e36[0] = 1;
    U64(e36, 20, 0x10000);
    EXPECT_EQ(IndexLayout::ParseEntry36(e36).offset, 0x10000);
    e36[0] = 2;
    EXPECT_FALSE(IndexLayout::ParseEntry36(e36).hasData);
    e36[0] = 1;
    U64(e36, 20, quint64(-5));
    EXPECT_FALSE(IndexLayout::ParseEntry36(e36).hasData);
}

TEST(IndexLayout, TimeTexts)
{
    const struct
    {
        const char* text;
        int second;
    } cases[] = {{"000000", 0},  {"103015", 37815}, {"10:30:15", 37815}, {"240000", 86340}, {"235959", 86399},
                 {"250000", -1}, {"126000", -1},    {"12345", -1},       {"abcdef", -1},    {"", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(IndexLayout::SecondOfText(c.text), c.second) << c.text;
    EXPECT_EQ(IndexLayout::TimeText(37815), QString("103015"));
}

TEST(FrameBlock, MediaHeadersStrideAndKeys)
{
    QByteArray bytes;
    // 56 bytes apart until a header carries the 336-byte flag, then 336 apart.
    bytes += MediaHeader(511, 1000, 0, 0x50 | 2, 0x1000, 0x1000, 1000, (37815u << 10) | (10u << 27),
                         (2026u << 4) | 12);
    bytes += MediaHeader(511, 200, 0x1000000u, 0x50, 0x2000, 0x1000, 1000, 37815u << 10, 0);
    QByteArray third = MediaHeader(511, 300, 0x8000000u, 0x0, 0x3000, 0x3000, 0x2000000u | 300, 0, 0);
    third.resize(336);
    bytes += QByteArray(280, '\0') + third;
    bytes += MediaHeader(0x1234, 1, 0, 0, 0, 0, 0, 0, 0); // ends the block
    const FrameBlock block = FrameBlock::Parse(bytes, false);
    ASSERT_EQ(block.Count(), 3);
    EXPECT_EQ(block.Mark(), 511u);
    EXPECT_EQ(block.Header(0).dataLength, 1000);
    EXPECT_EQ(block.Header(0).date, 20261210);
    EXPECT_EQ(block.Header(0).time, 103015);
    EXPECT_TRUE(block.Header(0).key);
    EXPECT_FALSE(block.Header(1).key);
    EXPECT_EQ(block.Header(1).dataLength, 200);
    EXPECT_TRUE(block.Header(2).key); // bit 25 of word 36 marks a key frame on recorder media
    EXPECT_FALSE(block.Header(2).paced);
    EXPECT_TRUE(block.FieldMarked());
    EXPECT_EQ(block.KeyCount(), 2);
    EXPECT_EQ(block.KeyList()[1], 2);
    EXPECT_EQ(block.KeyListPosition(1), 0);
}

TEST(FrameBlock, ClientWordsAreTheWritersNotKeyOrFieldMarks)
{
    QByteArray h(336, '\0');
    U32(h, 0, 511);
    U32(h, 4, (500u << 9) | 2);
    U32(h, 8, 0x01000000u | 0x08000000u); // stream kind 4 or 5
    U32(h, 16, 0x50);                     // not a key frame
    U64(h, 20, 0x100000010ull);           // past 4 GiB
    U64(h, 28, quint64(-1));
    U32(h, 36, 0x02000000u); // the writer's marker-byte flag
    const FrameBlock block = FrameBlock::Parse(h, true);
    ASSERT_EQ(block.Count(), 1);
    EXPECT_FALSE(block.Header(0).key);
    EXPECT_EQ(block.Header(0).fieldBit, 0);
    EXPECT_FALSE(block.FieldMarked());
    EXPECT_EQ(block.Header(0).dataOffset, 0x100000010ll);
    EXPECT_EQ(block.Header(0).keyOffset, -1);
    EXPECT_EQ(block.Header(0).dataLength, 500);
}

TEST(FrameBlock, DamagedBlocks)
{
    EXPECT_EQ(FrameBlock::Parse(QByteArray(), false).Count(), 0);
    EXPECT_EQ(FrameBlock::Parse(QByteArray(55, '\x01'), false).Count(), 0);
    // 497 blocks step one frame at a time; a length beyond a frame record's room is no frame.
    QByteArray b = MediaHeader(497, 0x7FFFFF, 0x7FFFFF, 0x52, 0, 0, 0xFFFFFF, 0, 0);
    const FrameBlock block = FrameBlock::Parse(b, false);
    ASSERT_EQ(block.Count(), 1);
    EXPECT_TRUE(block.Stepped());
    EXPECT_EQ(block.Header(0).dataLength, 0);
    EXPECT_EQ(block.Header(0).keyLength, 0);
    // Never more than 40 headers, even from more bytes.
    QByteArray many;
    for (int i = 0; i < 60; ++i)
        many += MediaHeader(511, 10, 0, 0x52, 0, 0, 0, 0, 0);
    EXPECT_EQ(FrameBlock::Parse(many, false).Count(), 40);
}

TEST(FrameRecord, Fields)
{
    QByteArray r(104, '\0');
    U32(r, 12, 1700000000u);
    U32(r, 20, 0x00123456u);
    U32(r, 28, 0x10000000u | (25u << 2) | 1u);
    U64(r, 44, quint64(-1));
    U64(r, 52, 0x100);
    U64(r, 60, 0x2000);
    U64(r, 76, 0x3000);
    U64(r, 92, quint64(37815) * 4096);
    U32(r, 100, 20261210);
    FrameRecord rec;
    ASSERT_TRUE(FrameRecord::Parse(r, rec));
    EXPECT_EQ(rec.PayloadLength(), 0x23456);
    EXPECT_TRUE(rec.HeaderOnly());
    EXPECT_EQ(rec.FramesPerSecond(), 25);
    EXPECT_EQ(rec.FrameType(), 1);
    EXPECT_LT(rec.more, 0);
    EXPECT_EQ(rec.previous, 0x100);
    EXPECT_EQ(rec.nextKey, 0x2000);
    EXPECT_EQ(rec.next, 0x3000);
    EXPECT_EQ(rec.SecondOfDay(), 37815);
    EXPECT_EQ(rec.Date(), 20261210);
    EXPECT_FALSE(FrameRecord::Parse(r.left(103), rec));
}
