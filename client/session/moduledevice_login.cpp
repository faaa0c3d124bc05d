// What the session does as its connections change state: the login (decoders, buffers, tree
// items, permissions and the grid waiting for the recorder), the status refresh, the disconnect
// that closes it all again, and a refused login.
#include "session/moduledevice.h"
#include "session/playbackview.h"

#include <QDate>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <vector>

#include "common/media/moduledecoder.h"
#include "common/media/modulerecord.h"
#include "common/media/mulaw.h"
#include "net/certificatetrust.h"
#include "net/modulenetwork.h"
#include "platform/process.h"
#include "session/archivepaths.h"
#include "session/backuphosts.h"
#include "session/emapwindow.h"
#include "session/livedecodeworker.h"
#include "session/livepacer.h"
#include "session/moduleplayback.h"
#include "session/museumsearchpopup.h"
#include "session/netconnect.h"
#include "session/recorderwait.h"
#include "session/remoteconsole.h"
#include "session/requestpacing.h"
#include "session/sessiondefaults.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"
#include "session/sessionrecording.h"
#include "session/sessionthread.h"
#include "session/sessiontreeitems.h"
#include "session/sitebook.h"
#include "session/slotreceivebuffers.h"
#include "session/thumbnailsearchpopup.h"

using namespace SessionDefaults;

namespace {

// The connection states the network modules report.
enum class NetState {
    ConnectFailed = -2,
    Disconnected = -1,
    SocketConnected = 1,
    LoggedIn = 2,
    StatusRefreshed = 3
};

// Counts the session's handlers running inside a signal of one of its connections.
// The session may be destroyed inside the handler: the count is only lowered while it exists.
struct NetworkSlotGuard
{
    NetworkSlotGuard(QObject* owner, int& depth)
        : m_owner(owner)
        , m_depth(&depth)
    {
        ++*m_depth;
    }
    ~NetworkSlotGuard()
    {
        if (m_owner)
            --*m_depth;
    }
    QPointer<QObject> m_owner;
    int* m_depth;
};

} // namespace

// =============================================================================================
// Network state handling

void CModuleDevice::OnNetworkState(int state)
{
    if (m_deviceIndex < 0)
        return;
    NetworkSlotGuard inSlot(this, m_link.sequence.networkSlotDepth);
    switch (NetState(state)) {
    case NetState::ConnectFailed: m_link.OnLiveConnectEnded(false); break;
    case NetState::SocketConnected:
        m_login.socketConnected = 1;
        m_link.OnLiveConnectEnded(true);
        break;
    case NetState::LoggedIn: m_login.OnLoggedIn(); break;
    case NetState::StatusRefreshed: m_login.OnStatusRefreshed(); break;
    case NetState::Disconnected: m_login.OnDisconnected(); break;
    default: break;
    }
}

void CModuleDevice::SetPlaybackActive(bool on)
{
    m_playback.active.store(on ? 1 : 0);
    if (m_pacing)
        m_pacing->SetPlaybackActive(on);
}

void CModuleDevice::OnNetworkStateS(int state)
{
    if (m_deviceIndex < 0 || NetState(state) != NetState::LoggedIn || !m_link.playbackNetwork)
        return;
    NetworkSlotGuard inSlot(this, m_link.sequence.networkSlotDepth);
    const int n = std::clamp(m_link.playbackNetwork->GetChannelCount(), 0, int(kChannels));
    m_buffers.AllocateSlotsFor(n, m_link.playbackNetwork.get());
}
