// The widget-free pieces of the remote backup page: size texts, the capacity reply, the day's
// record lists, the calendar and the time range.
#include <QByteArray>
#include <QDate>
#include <QList>

#include <gtest/gtest.h>

#include "backup/backupcapacity.h"
#include "backup/backuptimerange.h"
#include "backup/formatbackupsize.h"
#include "backup/monthcalendar.h"
#include "backup/recordminutemaps.h"
#include "net/sendbackupcapa.h"

namespace {

TEST(FormatBackupSize, KilobytesAndMegabytes)
{
    const struct
    {
        qint64 value;
        bool kb;
        const char* text;
    } cases[] = {
        {-5, true, "0 KB"},       {0, true, "0 KB"},        {1, true, "1 KB"},  {1023, true, "1023 KB"},
        {1024, true, "1.00 MB"},  {1536, true, "1.50 MB"},  {0, false, "0 MB"}, {700, false, "700 MB"},
        {1024, false, "1.00 GB"}, {5120, false, "5.00 GB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatBackupSize(c.value, c.kb).toStdString(), c.text) << c.value << " " << c.kb;
}

// A capacity reply written out byte by byte: 12-byte header (length big-endian, 00 A1, command
// 0x4A, status, sub-code, 24-bit total little-endian), channel mask at 12, sizes from 16.
QByteArray CapacityReply(int total, quint16 mask, const QList<qint32>& sizes)
{
    QByteArray bytes(int(sizeof(_SEND_BACKUP_CAPA)), '\0');
    const int length = total - 4;
    bytes[0] = char(length >> 24);
    bytes[1] = char(length >> 16);
    bytes[2] = char(length >> 8);
    bytes[3] = char(length);
    bytes[4] = '\x00';
    bytes[5] = '\xA1';
    bytes[6] = '\x4A';
    bytes[9] = char(total & 0xFF);
    bytes[10] = char((total >> 8) & 0xFF);
    bytes[11] = char((total >> 16) & 0xFF);
    bytes[12] = char(mask & 0xFF);
    bytes[13] = char(mask >> 8);
    for (int i = 0; i < sizes.size() && 16 + 4 * i + 4 <= bytes.size(); ++i) {
        const qint32 v = sizes[i];
        for (int b = 0; b < 4; ++b)
            bytes[16 + 4 * i + b] = char((v >> (8 * b)) & 0xFF);
    }
    return bytes;
}

struct Entry
{
    int channel;
    qint32 size;
    bool audio;
};

void ExpectEntries(const QVector<CapacityEntry>& got, const std::vector<Entry>& want, const char* label)
{
    ASSERT_EQ(size_t(got.size()), want.size()) << label;
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[int(i)].channel, want[i].channel) << label << " entry " << i;
        EXPECT_EQ(got[int(i)].sizeMb, want[i].size) << label << " entry " << i;
        EXPECT_EQ(got[int(i)].audio, want[i].audio) << label << " entry " << i;
    }
}

TEST(BackupCapacity, EntriesFollowTheMaskThenAudio)
{
    const QByteArray reply = CapacityReply(28, 0x0005, {5, 7, 1});
    const auto* record = reinterpret_cast<const _SEND_BACKUP_CAPA*>(reply.constData());
    ExpectEntries(BackupCapacity::Parse(record, reply.size(), 4), {{0, 5, false}, {2, 7, false}, {4, 1, true}},
                  "three entries");
}

// The count of entries is what the message holds beyond its 16 leading bytes; nothing past it
// is read, even when the buffer holds more.
TEST(BackupCapacity, ReadsOnlyTheEntriesTheMessageHolds)
{
    const QByteArray reply = CapacityReply(24, 0x0005, {5, 7, 99});
    const auto* record = reinterpret_cast<const _SEND_BACKUP_CAPA*>(reply.constData());
    ExpectEntries(BackupCapacity::Parse(record, reply.size(), 4), {{0, 5, false}, {2, 7, false}}, "two of three");
    ExpectEntries(BackupCapacity::Parse(record, 20, 4), {{0, 5, false}}, "received length cuts");
    const QByteArray shortReply = CapacityReply(14, 0x0005, {5});
    ExpectEntries(BackupCapacity::Parse(reinterpret_cast<const _SEND_BACKUP_CAPA*>(shortReply.constData()),
                                        shortReply.size(), 4),
                  {}, "header only");
    EXPECT_TRUE(BackupCapacity::Parse(nullptr, 100, 4).isEmpty());
}

TEST(BackupCapacity, ChannelCountIsHeldToSixteen)
{
    QList<qint32> sizes;
    for (int i = 0; i < 17; ++i)
        sizes << i + 1;
    const QByteArray reply = CapacityReply(0xFFFFFF, 0xFFFF, sizes);
    const auto* record = reinterpret_cast<const _SEND_BACKUP_CAPA*>(reply.constData());
    const QVector<CapacityEntry> entries = BackupCapacity::Parse(record, reply.size(), 40);
    ASSERT_EQ(entries.size(), 17);
    EXPECT_EQ(entries[15].channel, 15);
    EXPECT_EQ(entries[16].channel, 16);
    EXPECT_TRUE(entries[16].audio);
    EXPECT_EQ(entries[16].sizeMb, 17);
}

void PutU16(QByteArray& bytes, int offset, quint16 value)
{
    bytes[offset] = char(value & 0xFF);
    bytes[offset + 1] = char(value >> 8);
}

TEST(RecordMinuteMaps, TimeListMarksPermittedChannelsAndWraps)
{
    QByteArray list(2 * 1441, '\0');
    PutU16(list, 0, 0x0001);        // 00:00 channel 1
    PutU16(list, 2, 0x0002);        // 00:01 channel 2 (not permitted)
    PutU16(list, 2 * 600, 0x8000);  // 10:00 channel 16
    PutU16(list, 2 * 1440, 0x0004); // the 1441st word wraps to 00:00, channel 3
    RecordMinuteMaps maps;
    maps.ApplyTimeList(list.constData(), list.size(), quint16(~0x0002));
    EXPECT_EQ(maps.At(0, 0), RecordMinuteMaps::kRecorded);
    EXPECT_EQ(maps.At(1, 1), 0);
    EXPECT_EQ(maps.At(15, 600), RecordMinuteMaps::kRecorded);
    EXPECT_EQ(maps.At(2, 0), RecordMinuteMaps::kRecorded);
    maps.Clear();
    EXPECT_EQ(maps.At(0, 0), 0);
}

// Short event list: 96 bytes of hour words, then 10-byte entries (hour, minute, two bytes, first
// mask at 4, second mask at 6).
TEST(RecordMinuteMaps, ShortEventListReadsEveryEntryInTheDay)
{
    QByteArray list(96 + 4 * 10, '\0');
    const struct
    {
        quint8 hour, minute;
        quint16 first, second;
    } entries[] = {{1, 30, 0x0003, 0x0000}, {24, 0, 0x0001, 0}, {2, 60, 0x0001, 0}, {23, 59, 0x0000, 0x0001}};
    for (int i = 0; i < 4; ++i) {
        const int at = 96 + 10 * i;
        list[at] = char(entries[i].hour);
        list[at + 1] = char(entries[i].minute);
        PutU16(list, at + 4, entries[i].first);
        PutU16(list, at + 6, entries[i].second);
    }
    RecordMinuteMaps maps;
    maps.ApplyEventList(list.constData(), list.size(), 0xFFFF);
    EXPECT_EQ(maps.At(0, 90), RecordMinuteMaps::kEventFirst);
    EXPECT_EQ(maps.At(1, 90), RecordMinuteMaps::kEventFirst);
    // The last entry ends exactly at the reply's end and is read.
    EXPECT_EQ(maps.At(0, 1439), RecordMinuteMaps::kEventSecond);
    // Entries outside the day mark nothing (neither 24:00 nor 02:60 lands anywhere).
    int marked = 0;
    for (int row = 0; row < RecordMinuteMaps::kRows; ++row)
        for (int m = 0; m < RecordMinuteMaps::kMinutes; ++m)
            marked += maps.At(row, m) ? 1 : 0;
    EXPECT_EQ(marked, 3);
}

// Extended list: A5 A5 55 AA at 96, 20-byte entries from 104 with masks at 12, 14 and 18.
TEST(RecordMinuteMaps, ExtendedEventListHasAThirdMask)
{
    QByteArray list(104 + 20, '\0');
    list[96] = '\xA5';
    list[97] = '\xA5';
    list[98] = '\x55';
    list[99] = '\xAA';
    list[104] = 12;
    list[105] = 5;
    PutU16(list, 104 + 12, 0x0001);
    PutU16(list, 104 + 14, 0x0002);
    PutU16(list, 104 + 18, 0x0004);
    RecordMinuteMaps maps;
    maps.ApplyEventList(list.constData(), list.size(), 0xFFFF);
    const int minute = 12 * 60 + 5;
    EXPECT_EQ(maps.At(0, minute), RecordMinuteMaps::kEventFirst);
    EXPECT_EQ(maps.At(1, minute), RecordMinuteMaps::kEventSecond);
    EXPECT_EQ(maps.At(2, minute), RecordMinuteMaps::kEventThird);
    EXPECT_TRUE(maps.HasEvent(2, minute));
    EXPECT_FALSE(maps.HasEvent(3, minute));
}

// A reply too short to hold the marker is not taken for an extended list because of bytes
// left in the buffer by an earlier, longer reply.
TEST(RecordMinuteMaps, MarkerIsOnlyReadInsideTheReply)
{
    QByteArray buffer(200, '\0');
    buffer[96] = '\xA5';
    buffer[97] = '\xA5';
    buffer[98] = '\x55';
    buffer[99] = '\xAA';
    // A stale extended entry that would mark 03:04 on channel 1.
    buffer[104] = 3;
    buffer[105] = 4;
    PutU16(buffer, 104 + 12, 0x0001);
    RecordMinuteMaps maps;
    maps.ApplyEventList(buffer.constData(), 98, 0xFFFF);
    EXPECT_EQ(maps.At(0, 3 * 60 + 4), 0);
}

TEST(RecordMinuteMaps, AudioListMarksMinutesWithSound)
{
    QByteArray list(2 * 1440, '\0');
    list[2 * 5 + 1] = 1;
    list[2 * 7] = 1;
    RecordMinuteMaps maps;
    maps.ApplyAudioList(list.constData(), list.size());
    EXPECT_EQ(maps.At(RecordMinuteMaps::kAudioRow, 5), RecordMinuteMaps::kRecorded);
    EXPECT_EQ(maps.At(RecordMinuteMaps::kAudioRow, 7), RecordMinuteMaps::kRecorded);
    EXPECT_EQ(maps.At(RecordMinuteMaps::kAudioRow, 6), 0);
}

TEST(MonthCalendar, LengthsAndFirstWeekdays)
{
    const struct
    {
        int year, month, days;
    } lengths[] = {{2024, 2, 29}, {2023, 2, 28}, {1900, 2, 28}, {2000, 2, 29}, {2026, 12, 31}, {2026, 4, 30}};
    for (const auto& c : lengths)
        EXPECT_EQ(MonthCalendar::DaysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
    for (int year : {1999, 2000, 2024, 2026, 2100}) {
        for (int month = 1; month <= 12; ++month)
            EXPECT_EQ(MonthCalendar::FirstWeekday(year, month), QDate(year, month, 1).dayOfWeek() % 7)
                << year << "-" << month;
    }
}

TEST(BackupTimeRange, AtLeastOneMinuteAndTheDayEnd)
{
    const struct
    {
        int low, high, begin, end;
        const char* lowText;
        const char* highText;
    } cases[] = {
        {0, 60, 0, 10000, "00:00", "01:00"},
        {30, 30, 3000, 3100, "00:30", "00:31"},
        {1440, 1440, 235900, 235959, "23:59", "24:00"},
        {600, 1440, 100000, 235959, "10:00", "24:00"},
        {61, 59, 5900, 10100, "00:59", "01:01"},
    };
    for (const auto& c : cases) {
        const BackupTimeRange r = BackupTimeRange::FromMinutes(c.low, c.high);
        EXPECT_EQ(r.beginHms, c.begin) << c.low << "-" << c.high;
        EXPECT_EQ(r.endHms, c.end) << c.low << "-" << c.high;
        EXPECT_EQ(r.lowText.toStdString(), c.lowText);
        EXPECT_EQ(r.highText.toStdString(), c.highText);
    }
}

// Progress is a percentage of the range, not a fraction.
TEST(BackupTimeRange, DownloadPercent)
{
    const struct
    {
        int time, begin, end;
        double percent;
    } cases[] = {
        {30, 0, 100, 50.0},           {0, 0, 100, 0.0},           {13000, 10000, 20000, 50.0},
        {20000, 10000, 20000, 100.0}, {235959, 0, 235959, 100.0}, {500, 500, 500, 0.0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(DownloadPercent(c.time, c.begin, c.end), c.percent) << c.time;
}

} // namespace
