#include "backup/recordminutemaps.h"

#include "backup/backuplog.h"

namespace {

quint16 U16(const char* data, int offset)
{
    const auto* b = reinterpret_cast<const quint8*>(data) + offset;
    return quint16(b[0] | (b[1] << 8));
}

bool IsExtendedList(const char* data, int length)
{
    if (length < RecordMinuteMaps::kEventListStart + 4)
        return false;
    const auto* b = reinterpret_cast<const quint8*>(data) + RecordMinuteMaps::kEventListStart;
    return b[0] == 0xA5 && b[1] == 0xA5 && b[2] == 0x55 && b[3] == 0xAA;
}

} // namespace

RecordMinuteMaps::RecordMinuteMaps() = default;

void RecordMinuteMaps::Clear()
{
    for (auto& row : m_maps)
        row.fill(0);
}

void RecordMinuteMaps::MarkChannels(quint16 mask, quint16 permitted, int minute, quint8 bit)
{
    const quint16 marked = mask & permitted;
    for (int ch = 0; ch < 16; ++ch) {
        if (marked & (1u << ch))
            m_maps[size_t(ch)][size_t(minute)] |= bit;
    }
}

void RecordMinuteMaps::ApplyTimeList(const char* data, int length, quint16 permitted)
{
    if (!data)
        return;
    for (int offset = 0, minute = 0; offset + 2 <= length; offset += 2, minute = (minute + 1) % kMinutes)
        MarkChannels(U16(data, offset), permitted, minute, kRecorded);
}

void RecordMinuteMaps::ApplyEventList(const char* data, int length, quint16 permitted)
{
    if (!data)
        return;
    const bool extended = IsExtendedList(data, length);
    const int start = extended ? kExtendedListStart : kEventListStart;
    const int entrySize = extended ? kExtendedEntrySize : kEntrySize;
    const int maskOffset = extended ? 12 : 4;
    for (int offset = start; offset + entrySize <= length; offset += entrySize) {
        const int hour = quint8(data[offset]);
        const int minuteOfHour = quint8(data[offset + 1]);
        if (hour >= 24 || minuteOfHour >= 60) {
            qCDebug(lcBackup) << "event entry at" << offset << "outside the day:" << hour << minuteOfHour;
            continue;
        }
        const int minute = hour * 60 + minuteOfHour;
        const int at = offset + maskOffset;
        MarkChannels(U16(data, at), permitted, minute, kEventFirst);
        MarkChannels(U16(data, at + 2), permitted, minute, kEventSecond);
        if (extended)
            MarkChannels(U16(data, at + 6), permitted, minute, kEventThird);
    }
}

void RecordMinuteMaps::ApplyAudioList(const char* data, int length)
{
    if (!data)
        return;
    for (int offset = 0, minute = 0; offset + 2 <= length; offset += 2, minute = (minute + 1) % kMinutes) {
        if (data[offset] != 0 || data[offset + 1] != 0)
            m_maps[kAudioRow][size_t(minute)] |= kRecorded;
    }
}

quint8 RecordMinuteMaps::At(int row, int minute) const
{
    if (row < 0 || row >= kRows || minute < 0 || minute >= kMinutes)
        return 0;
    return m_maps[size_t(row)][size_t(minute)];
}

bool RecordMinuteMaps::HasEvent(int row, int minute) const
{
    return (At(row, minute) & (kEventFirst | kEventSecond | kEventThird)) != 0;
}
