#include "session/sessionbuffers.h"

#include <utility>

#include "net/modulenetwork.h"

void SessionBuffers::AllocateSession()
{
    for (auto [buffer, size] :
         {std::pair{&m_liveFrame, kLiveFrameBufferSize}, std::pair{&m_liveAudio, kLiveAudioBufferSize},
          std::pair{&m_console, kConsoleBufferSize}, std::pair{&m_list, kListBufferSize}}) {
        if (!*buffer)
            buffer->reset(new char[size_t(size)]());
    }
}

void SessionBuffers::FreeSession()
{
    m_liveFrame.reset();
    m_liveAudio.reset();
    m_console.reset();
    m_list.reset();
}

void SessionBuffers::AllocateSlots(int channelCount, CModuleNetwork* live, CModuleNetwork* playback)
{
    for (int slot = 0; slot <= channelCount; ++slot) {
        m_slots.Allocate(slot);
        m_slots.Register(live, slot);
        if (playback && playback->IsConnected())
            m_slots.Register(playback, slot);
    }
}

void SessionBuffers::AllocateSlotsFor(int channelCount, CModuleNetwork* network)
{
    for (int slot = 0; slot <= channelCount; ++slot) {
        m_slots.Allocate(slot);
        m_slots.Register(network, slot);
    }
}

void SessionBuffers::ReleaseSlot(int slot, CModuleNetwork* playback, CModuleNetwork* live)
{
    m_slots.Release(slot, playback, live);
}

void SessionBuffers::HandOver(std::vector<std::unique_ptr<char[]>>& keep)
{
    for (std::unique_ptr<char[]>* buffer : {&m_liveFrame, &m_liveAudio, &m_console, &m_list}) {
        if (*buffer)
            keep.push_back(std::move(*buffer));
    }
    m_slots.HandOver(keep);
}

void SessionBuffers::FreeAll()
{
    FreeSession();
    m_slots.Free();
}
