#include "session/slotreceivebuffers.h"

#include "net/modulenetwork.h"

namespace {

void Make(std::unique_ptr<char[]>& buffer, int size)
{
    if (!buffer)
        buffer.reset(new char[size_t(size)]());
}

} // namespace

void SlotReceiveBuffers::Allocate(int slot)
{
    if (!Valid(slot))
        return;
    const size_t s = size_t(slot);
    Make(m_index[s], kIndexBufferSize);
    Make(m_dataBelow6[s], kFrameBufferSize);
    Make(m_headerBelow6[s], kBlockBufferSize);
    Make(m_data6Up[s], kFrameBufferSize);
    Make(m_header6Up[s], kBlockBufferSize);
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
