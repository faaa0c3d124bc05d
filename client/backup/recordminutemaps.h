#pragma once
// What a recorder holds on one day, minute by minute: 17 rows of 1440 marks (channels 1-16,
// then audio), filled from the recorder's time, event and audio lists. Only channels the user
// may back up are marked.
#include <QtGlobal>

#include <array>

class RecordMinuteMaps
{
public:
    static constexpr int kRows = 17;
    static constexpr int kAudioRow = 16;
    static constexpr int kMinutes = 1440;

    // Marks of one minute.
    static constexpr quint8 kRecorded = 1;
    static constexpr quint8 kEventFirst = 2;
    static constexpr quint8 kEventSecond = 4;
    static constexpr quint8 kEventThird = 16;

    // Event list layouts: the short one of 10-byte entries from byte 96, the extended one (marked
    // A5 A5 55 AA at byte 96) of 20-byte entries from byte 104.
    static constexpr int kEventListStart = 96;
    static constexpr int kExtendedListStart = 104;
    static constexpr int kEntrySize = 10;
    static constexpr int kExtendedEntrySize = 20;

    RecordMinuteMaps();

    void Clear();
    // One 16-bit little-endian channel mask per minute from 00:00.
    void ApplyTimeList(const char* data, int length, quint16 permitted);
    void ApplyEventList(const char* data, int length, quint16 permitted);
    // One 16-bit value per minute; any non-zero value means sound was recorded.
    void ApplyAudioList(const char* data, int length);

    quint8 At(int row, int minute) const;
    bool HasEvent(int row, int minute) const;

private:
    void MarkChannels(quint16 mask, quint16 permitted, int minute, quint8 bit);

    std::array<std::array<quint8, kMinutes>, kRows> m_maps{};
};
