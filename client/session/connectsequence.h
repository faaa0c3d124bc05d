#pragma once
// Where a recorder session's connect stands. The live connection is connected by a timer 500 ms
// after the playback one, so the receive path is never run from a nested event loop of ours;
// a login that never completes ends at its deadline.
#include <QThread>

#include <memory>

#include "session/connectpurpose.h"
#include "session/connectresult.h"

class NetConnect;
class QTimer;

struct ConnectSequence
{
    static constexpr int kLiveConnectDelayMs = 500;
    // A recorder that takes the connection but never completes the login would otherwise keep
    // the "Network Connecting..." box up for ever.
    static constexpr int kLoginTimeLimitMs = 10000;
    static constexpr int kConnectBoxDelayMs = 100;

    explicit ConnectSequence(int loginLimitMs);
    ~ConnectSequence();
    ConnectSequence(const ConnectSequence&) = delete;
    ConnectSequence& operator=(const ConnectSequence&) = delete;

    ConnectPurpose purpose = ConnectPurpose::Connect;
    ConnectResult result = ConnectResult::None;
    QTimer* liveConnectTimer = nullptr;
    QTimer* loginDeadline = nullptr;
    // Set by Disconnect until the next connect: a loss that follows was asked for.
    bool disconnectAsked = false;
    int loginTimeLimitMs;
    bool connecting = false;
    // The current connect runs inside TLS.
    bool tls = false;
    // Depth of the session's handlers running inside a signal of its own connections; a session
    // destroyed there hands its connections to deleteLater.
    int networkSlotDepth = 0;
    QThread thread;
    std::unique_ptr<NetConnect> worker;
    // The grid that asked for the channel count before the login.
    int rememberedGrid = -1;
};
