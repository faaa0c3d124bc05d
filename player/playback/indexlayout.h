#pragma once
// The two index file layouts a tile reads and their per-minute table.
//
// 512-byte layout (first word not 1): flags word at 0, first-data entry position at 8, 24 minute
// masks of 64 bits from 24; from 512 one 16-byte entry per second of the day. In the client
// recording layout an entry is the 64-bit offset of the second's frame block at 0 (0 = empty)
// and the same offset at 8..15 with flag bits in the top three bits; on recorder backup media it
// is two time words (both 0 = empty), a 32-bit block offset at 8 and a packed data file number
// at 12.
//
// 224-byte layout (first word 1): first-data entry position at 8 (0 = none), 24 minute masks
// from 16; from 224 one 36-byte entry per second: bit 0 of byte 0 = data, 64-bit offset of the
// second's first frame record at 20.
//
// Every value taken from a file is clamped to the day: a first-data position outside the entry
// area, minute minuteSlots outside 0..1439 and seconds outside 0..86399 are never used.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

struct MinuteSlot
{
    bool present = false;
    qint64 offset = -1; // index file position of the minute's first entry, -1 none
};

struct MinuteTable
{
    static constexpr int kMinutes = 24 * 60;
    std::array<MinuteSlot, kMinutes> minuteSlots;
};

// What a tile learns from an index header.
struct IndexInfo
{
    bool layout512 = true;
    quint32 flags = 0;
    qint64 firstDataPos = 0; // position of the first entry with data
    qint64 lastEntryPos = 0; // position of the last whole entry in the file
    int firstSecond = 0;
    int lastSecond = 0;
    int entryCount = 0; // 224-byte layout: entries the file holds
    QString firstTime;  // hhmmss
    QString lastTime;
    MinuteTable minutes;

    bool KeyStep() const { return layout512 && (flags & 0x200u); }
    bool FieldFlag() const { return layout512 && (flags & 0x400u); }
    bool LargeBlock() const { return layout512 && (flags & 0x30000000u) == 0x30000000u; }
};

// One index entry as the entry parser sees it.
struct IndexEntry
{
    bool hasData = false;
    qint64 offset = -1;  // data file offset of the frame block or first frame record
    int fileNumber = -1; // recorder backup media: data file number; -1 otherwise
};

class IndexLayout
{
public:
    static constexpr int kHeader512 = 512;
    static constexpr int kEntry512 = 16;
    static constexpr int kHeader224 = 224;
    static constexpr int kEntry224 = 36;
    static constexpr int kSecondsPerDay = 86400;

    // The layout by the header's first word: true for the 512-byte layout.
    static bool Is512Layout(quint32 firstWord) { return firstWord != 1; }

    // Builds the table and times from the header bytes (512 or 224 of them, by layout) and the
    // index file's length; false when the header is short or the file holds no whole entry.
    static bool Parse(const QByteArray& header, qint64 fileLength, IndexInfo& info);

    // Entry parsers; a short or damaged entry has no data.
    static IndexEntry ParseEntry16(const QByteArray& entry, bool clientLayout);
    static IndexEntry ParseEntry36(const QByteArray& entry);

    // "%02d%02d%02d" of a second of the day.
    static QString TimeText(int secondOfDay);
    // Second of the day of a time text "hhmmss" or "hh:mm:ss"; hour 24 counts as 23:59:00 (the
    // seconds given are kept within the minute); -1 when it is not a time.
    static int SecondOfText(const QString& text);
};
