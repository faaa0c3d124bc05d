#include "session/slotreceivebuffers.h"

#include "net/modulenetwork.h"

namespace {

// A frame is handed on only once as many bytes as it holds have been written into its buffer, so
// frame buffers are not cleared: only the pages frames reach take memory, and a recorder whose
// channels are only watched live never touches its playback buffers.
void Make(std::unique_ptr<char[]>& buffer, int size, bool cleared)
{
    if (!buffer)
        buffer.reset(cleared ? new char[size_t(size)]() : new char[size_t(size)]);
}

} // namespace

void SlotReceiveBuffers::Allocate(int slot)
{
    if (!Valid(slot))
        return;
    const size_t s = size_t(slot);
    Make(m_index[s], kIndexBufferSize, true);
    Make(m_dataBelow6[s], kFrameBufferSize, false);
    Make(m_headerBelow6[s], kBlockBufferSize, true);
    Make(m_data6Up[s], kFrameBufferSize, false);
    Make(m_header6Up[s], kBlockBufferSize, true);
}

void SlotReceiveBuffers::Register(CModuleNetwork* network, int slot) const
{
    if (!network || !Valid(slot))
        return;
    network->SetFrameBuffers(slot, HeaderBelow6(slot), DataBelow6(slot), Header6Up(slot), Data6Up(slot));
}

void SlotReceiveBuffers::Release(int slot, CModuleNetwork* playback, CModuleNetwork* live)
{
    if (!Valid(slot))
        return;
    // Both connections forget the buffers first (the playback connection usually stays up), so
    // nothing is written into them once they are freed.
    for (CModuleNetwork* network : {playback, live}) {
        if (network)
            network->SetFrameBuffers(slot, nullptr, nullptr, nullptr, nullptr);
    }
    const size_t s = size_t(slot);
    m_dataBelow6[s].reset();
    m_headerBelow6[s].reset();
    m_data6Up[s].reset();
    m_header6Up[s].reset();
    // The connections were told to drop the index buffers with all others before the teardown.
    m_index[s].reset();
}

void SlotReceiveBuffers::HandOver(std::vector<std::unique_ptr<char[]>>& keep)
{
    for (Set* set : {&m_index, &m_dataBelow6, &m_headerBelow6, &m_data6Up, &m_header6Up}) {
        for (auto& buffer : *set) {
            if (buffer)
                keep.push_back(std::move(buffer));
        }
    }
}

void SlotReceiveBuffers::Free()
{
    for (Set* set : {&m_index, &m_dataBelow6, &m_headerBelow6, &m_data6Up, &m_header6Up}) {
        for (auto& buffer : *set)
            buffer.reset();
    }
}
