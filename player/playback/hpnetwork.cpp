#include "playback/hpnetwork.h"

#include <algorithm>

#include "playback/hpnetserver.h"
#include "playback/hubhost.h"

HPNetwork::HPNetwork(HubHost& host, QObject* parent)
    : QObject(parent)
    , m_host(host)
{
    m_timer.setInterval(kHousekeepingMs);
    connect(&m_timer, &QTimer::timeout, this, &HPNetwork::OnHousekeeping);
}

HPNetwork::~HPNetwork()
{
    m_timer.stop();
    for (auto& server : m_servers)
        server->Disconnect();
}

void HPNetwork::Init()
{
    SocketEngine::Callbacks callbacks;
    callbacks.connectionState = [this](int peer, const QByteArray& message) {
        HPNetServer* server = ByPeer(peer);
        return server ? server->OnConnectionState(message) : -1;
    };
    callbacks.packet = [this](int peer, const QByteArray& packet) {
        HPNetServer* server = ByPeer(peer);
        return server ? server->OnPacket(packet) : -1;
    };
    callbacks.data = [this](int peer, const QByteArray& data) {
        HPNetServer* server = ByPeer(peer);
        return server ? server->OnData(data) : -1;
    };
    m_engine.Configure(SocketEngine::kDefaultPeers, std::move(callbacks));
}

HPNetServer* HPNetwork::GetServer(int recorderId) const
{
    for (const auto& server : m_servers) {
        if (server->RecorderId() == recorderId)
            return server.get();
    }
    return nullptr;
}

HPNetServer* HPNetwork::ServerAt(int i) const
{
    return i >= 0 && i < ServerCount() ? m_servers[size_t(i)].get() : nullptr;
}

HPNetServer* HPNetwork::AddServer(int recorderId, const QString& name)
{
    if (GetServer(recorderId))
        return nullptr;
    m_servers.push_back(std::make_unique<HPNetServer>(*this, recorderId, name));
    m_timer.start();
    return m_servers.back().get();
}

void HPNetwork::RemoveServer(HPNetServer* server)
{
    auto it = std::find_if(m_servers.begin(), m_servers.end(),
                           [server](const auto& s) { return s.get() == server; });
    if (it == m_servers.end())
        return;
    std::unique_ptr<HPNetServer> taken = std::move(*it);
    m_servers.erase(it);
    if (m_servers.empty())
        m_timer.stop();
    taken->Disconnect();
    m_host.RedrawAllTiles();
}

HPNetServer* HPNetwork::ByPeer(int peer) const
{
    if (peer <= 0)
        return nullptr;
    for (const auto& server : m_servers) {
        if (server->Peer() == peer)
            return server.get();
    }
    return nullptr;
}

void HPNetwork::OnHousekeeping()
{
    for (const auto& server : m_servers) {
        if (server->Connected() && server->LoginState() >= 1)
            server->ReqStatus();
    }
}
