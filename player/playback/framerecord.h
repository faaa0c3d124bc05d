#pragma once
// The 104-byte header of a frame record in a data file indexed by the 224-byte layout.
//
//   12  32 bits  time of the frame, seconds since 1970 (used when the day time at 92 is 0)
//   20  32 bits  low 20 bits: payload length after the header; above 0xFFFFF: carries audio
//   28  32 bits  bit 28 header-only record; bits 2..6 frames per second; low two bits frame type
//   44  64 bits  negative: no further record
//   52  64 bits  offset of the previous record
//   60  64 bits  offset of the next key record (negative: the end)
//   76  64 bits  offset of the next record (negative: the end)
//   92  64 bits  time of the frame as seconds of the day x 4096
//  100  32 bits  date yyyymmdd (0 when the recorder left it out)
#include <QByteArray>
#include <QtGlobal>

struct FrameRecord
{
    static constexpr int kSize = 104;

    quint32 epochTime = 0;
    quint32 lengthWord = 0;
    quint32 flagsWord = 0;
    qint64 more = 0;
    qint64 previous = -1;
    qint64 nextKey = -1;
    qint64 next = -1;
    qint64 dayTime = 0;
    int date = 0;

    int PayloadLength() const { return int(lengthWord & 0xFFFFFu); }
    bool HeaderOnly() const { return flagsWord & 0x10000000u; }
    int FramesPerSecond() const { return int((flagsWord >> 2) & 0x1Fu); }
    int FrameType() const { return int(flagsWord & 3u); }
    // Second of the day from the day time, else from the epoch time in local time; -1 none.
    int SecondOfDay() const;
    // yyyymmdd: the date word, else the epoch time's local date; 0 none.
    int Date() const;

    // False for fewer than 104 bytes.
    static bool Parse(const QByteArray& bytes, FrameRecord& record);
};
