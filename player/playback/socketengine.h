#pragma once
// The recorder-client side's small socket engine: a table of peers (one stream each) that
// sends framed requests. Engine and peer records carry their magic words and a peer its own
// index; a record without them is refused. The player registers no peer (it opens no
// recorder connection), so every send it makes returns -1.
#include <functional>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QMutex>

class SocketEngine
{
public:
    static constexpr quint32 kEngineMagic = 0x69676E65; // "engi"
    static constexpr quint32 kPeerMagic = 0x72656570;   // "peer"
    static constexpr int kDefaultPeers = 256;
    static constexpr int kClosePeer = 5;

    // One connected stream as the engine sees it.
    class PeerSocket
    {
    public:
        virtual ~PeerSocket() = default;
        // Whether a write would not block now (tested with a zero time-out).
        virtual bool Writable() = 0;
        // Bytes written, or -1 on a send error.
        virtual qint64 Write(const QByteArray& bytes) = 0;
    };

    struct Callbacks
    {
        std::function<int(int peer, const QByteArray&)> connectionState;
        std::function<int(int peer, const QByteArray&)> packet;
        std::function<int(int peer, const QByteArray&)> data;
    };

    // Fills the configuration; until then the engine record has no magic and refuses sends.
    void Configure(int maxPeers, Callbacks callbacks);
    bool Configured() const { return m_magic == kEngineMagic; }
    int MaxPeers() const { return m_maxPeers; }
    // Where the 8-byte control packets go (the engine's own datagram port).
    void SetControlChannel(std::function<qint64(const QByteArray&)> channel) { m_control = std::move(channel); }

    // Registers a stream under index 1..maxPeers-1; 0 when the table is full or not configured.
    int AddPeer(std::unique_ptr<PeerSocket> socket);
    bool HasPeer(int peer) const;

    // Frames and sends: -1 for an unknown or closed peer or a frame that cannot be framed
    // (shorter than 12 or longer than 65,536 bytes), 0 when the stream is not writable, else
    // the bytes sent. A send error closes the peer.
    qint64 Send(int peer, const QByteArray& frame, const QByteArray& second = QByteArray());
    // Sends the close control packet (up to four attempts) and forgets the peer.
    void ClosePeer(int peer);

    // The engine's callbacks, as the stream reader calls them.
    int DeliverConnectionState(int peer, const QByteArray& message) const;
    int DeliverPacket(int peer, const QByteArray& packet) const;

private:
    struct Peer
    {
        quint32 magic = kPeerMagic;
        int index = 0;
        std::unique_ptr<PeerSocket> socket;
        QMutex lock;
    };
    Peer* Lookup(int peer) const;

    quint32 m_magic = 0;
    int m_maxPeers = 0;
    Callbacks m_callbacks;
    std::function<qint64(const QByteArray&)> m_control;
    std::vector<std::unique_ptr<Peer>> m_peers;
};
