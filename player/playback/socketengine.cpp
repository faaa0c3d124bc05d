#include "playback/socketengine.h"

#include "playback/recorderrequest.h"

void SocketEngine::Configure(int maxPeers, Callbacks callbacks)
{
    m_maxPeers = qBound(1, maxPeers, 65535);
    m_callbacks = std::move(callbacks);
    m_peers.clear();
    m_peers.resize(size_t(m_maxPeers));
    m_magic = kEngineMagic;
}

int SocketEngine::AddPeer(std::unique_ptr<PeerSocket> socket)
{
    if (!Configured() || !socket)
        return 0;
    for (int i = 1; i < m_maxPeers; ++i) {
        if (!m_peers[size_t(i)]) {
            auto peer = std::make_unique<Peer>();
            peer->index = i;
            peer->socket = std::move(socket);
            m_peers[size_t(i)] = std::move(peer);
            return i;
        }
    }
    return 0;
}

SocketEngine::Peer* SocketEngine::Lookup(int peer) const
{
    if (m_magic != kEngineMagic || peer < 0 || peer >= m_maxPeers)
        return nullptr;
    Peer* record = m_peers[size_t(peer)].get();
    if (!record || record->magic != kPeerMagic || record->index != peer)
        return nullptr;
    return record;
}

bool SocketEngine::HasPeer(int peer) const
{
    return Lookup(peer) != nullptr;
}

qint64 SocketEngine::Send(int peer, const QByteArray& frame, const QByteArray& second)
{
    Peer* record = Lookup(peer);
    if (!record)
        return -1;
    // A frame longer than the stream allows is refused rather than cut: a cut frame would
    // announce a length its bytes do not have.
    const auto framed = RecorderRequest::Framed(frame);
    if (!framed)
        return -1;
    qint64 sent = 0;
    {
        QMutexLocker locker(&record->lock);
        if (!record->socket->Writable())
            return 0;
        sent = record->socket->Write(*framed);
        if (sent >= 0 && !second.isEmpty()) {
            const qint64 more = record->socket->Write(second);
            sent = more < 0 ? -1 : sent + more;
        }
    }
    if (sent < 0) {
        ClosePeer(peer);
        return -1;
    }
    return sent;
}

void SocketEngine::ClosePeer(int peer)
{
    if (!Lookup(peer))
        return;
    if (m_control) {
        const QByteArray packet = RecorderRequest::ControlPacket(kClosePeer, peer);
        for (int attempt = 0; attempt < 4 && m_control(packet) <= 0; ++attempt) {
        }
    }
    m_peers[size_t(peer)].reset();
}

int SocketEngine::DeliverConnectionState(int peer, const QByteArray& message) const
{
    return m_callbacks.connectionState ? m_callbacks.connectionState(peer, message) : -1;
}

int SocketEngine::DeliverPacket(int peer, const QByteArray& packet) const
{
    return m_callbacks.packet ? m_callbacks.packet(peer, packet) : -1;
}
