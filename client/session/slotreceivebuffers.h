#pragma once
// The receive buffers of a session's channel slots (16 channels and the search slot): per slot an
// index buffer and two pairs of frame-header and frame-data buffers (one pair for requests of
// kinds below 6, one for kinds 6 and up). They are made at login, handed to both connections,
// and freed at the disconnect once both connections have forgotten them.
#include <QtGlobal>

#include <array>
#include <memory>
#include <vector>

class CModuleNetwork;

class SlotReceiveBuffers
{
public:
    static constexpr int kSlots = 17;
    static constexpr int kIndexBufferSize = 1024;
    static constexpr int kFrameBufferSize = 524288;
    static constexpr int kBlockBufferSize = 16384;

    // Makes the slot's buffers that do not exist yet.
    void Allocate(int slot);
    // Hands the slot's header and data buffers to a connection.
    void Register(CModuleNetwork* network, int slot) const;
    // Both connections forget the slot's buffers, then they are freed.
    void Release(int slot, CModuleNetwork* playback, CModuleNetwork* live);
    // Moves every buffer into `keep` (for connections that go later than their session).
    void HandOver(std::vector<std::unique_ptr<char[]>>& keep);
    void Free();

    // The buffers of a slot; null for a slot out of range or not allocated.
    char* Index(int slot) const { return Get(m_index, slot); }
    char* HeaderBelow6(int slot) const { return Get(m_headerBelow6, slot); }
    char* DataBelow6(int slot) const { return Get(m_dataBelow6, slot); }
    char* Header6Up(int slot) const { return Get(m_header6Up, slot); }
    char* Data6Up(int slot) const { return Get(m_data6Up, slot); }

private:
    using Set = std::array<std::unique_ptr<char[]>, kSlots>;
    static bool Valid(int slot) { return slot >= 0 && slot < kSlots; }
    static char* Get(const Set& set, int slot) { return Valid(slot) ? set[size_t(slot)].get() : nullptr; }

    Set m_index;
    Set m_headerBelow6;
    Set m_dataBelow6;
    Set m_header6Up;
    Set m_data6Up;
};
