#pragma once
// The player's hub: the socket engine's configuration, the map and list of recorder clients
// and the 2-second housekeeping timer that polls the status of logged-in recorders. The player
// opens no recorder connection, so its map stays empty and every lookup yields none.
#include <memory>
#include <vector>

#include <QObject>
#include <QTimer>

#include "playback/socketengine.h"

class HPNetServer;
class HubHost;

class HPNetwork : public QObject
{
    Q_OBJECT
public:
    static constexpr int kHousekeepingMs = 2000;

    explicit HPNetwork(HubHost& host, QObject* parent = nullptr);
    ~HPNetwork() override;

    // Configures the socket engine (256 peers and its three callbacks). The housekeeping timer
    // runs only while the map holds a client, so an empty hub does no idle work.
    void Init();
    bool HousekeepingActive() const { return m_timer.isActive(); }
    HPNetServer* GetServer(int recorderId) const;
    // The client of a recorder entering the map (none does in this program).
    HPNetServer* AddServer(int recorderId, const QString& name);
    // Takes the client out of list and map and disconnects it.
    void RemoveServer(HPNetServer* server);
    bool HasServers() const { return !m_servers.empty(); }
    int ServerCount() const { return int(m_servers.size()); }
    HPNetServer* ServerAt(int i) const;

    SocketEngine& Engine() { return m_engine; }
    HubHost& Host() { return m_host; }
    // One housekeeping tick: the status poll to every connected, logged-in client.
    void OnHousekeeping();

private:
    HPNetServer* ByPeer(int peer) const;

    HubHost& m_host;
    SocketEngine m_engine;
    std::vector<std::unique_ptr<HPNetServer>> m_servers;
    QTimer m_timer;
};
