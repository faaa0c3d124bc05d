#pragma once
// The receive buffers of one recorder session: the four session buffers (live frame, live audio,
// record lists, console layout) and the channel slots' buffers. They are made at login, handed
// to the connections, and freed at the disconnect once the connections have forgotten them.
#include <memory>
#include <vector>

#include "session/slotreceivebuffers.h"

class CModuleNetwork;

class SessionBuffers
{
public:
    // Sizes the engine writes into at most.
    static constexpr int kLiveFrameBufferSize = 524288;
    static constexpr int kLiveAudioBufferSize = 2000;
    static constexpr int kListBufferSize = 524288;
    static constexpr int kConsoleBufferSize = 524288;

    // Makes the session buffers that do not exist yet.
    void AllocateSession();
    void FreeSession();
    // Makes the buffers of slots 0..`channelCount` and hands them to the live connection, and to
    // the playback connection while it is up (it keeps running while the live one reconnects).
    void AllocateSlots(int channelCount, CModuleNetwork* live, CModuleNetwork* playback);
    // Makes and hands the slots' buffers to one connection.
    void AllocateSlotsFor(int channelCount, CModuleNetwork* network);
    // Both connections forget the slot's buffers, then they are freed.
    void ReleaseSlot(int slot, CModuleNetwork* playback, CModuleNetwork* live);
    // Moves every buffer into `keep` (for connections that go later than their session).
    void HandOver(std::vector<std::unique_ptr<char[]>>& keep);
    void FreeAll();

    char* LiveFrame() const { return m_liveFrame.get(); }
    char* LiveAudio() const { return m_liveAudio.get(); }
    char* List() const { return m_list.get(); }
    char* Console() const { return m_console.get(); }
    // Where the remote playback's frames arrive (slot 0's data buffer of kinds 6 and up).
    char* PlaybackBuffer() const { return m_slots.Data6Up(0); }
    SlotReceiveBuffers& Slots() { return m_slots; }
    const SlotReceiveBuffers& Slots() const { return m_slots; }

private:
    std::unique_ptr<char[]> m_liveFrame;
    std::unique_ptr<char[]> m_liveAudio;
    std::unique_ptr<char[]> m_list;
    std::unique_ptr<char[]> m_console;
    SlotReceiveBuffers m_slots;
};
