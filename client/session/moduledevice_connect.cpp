// The connection lifecycle of a recorder session: connect and login with their one time limit,
// the disconnect, what a completed login was asked for (its connect purpose), the e-map and
// remote playback preparations and the box that waits on the recorder.
#include "session/moduledevice.h"
#include "session/playbackview.h"
#include "session/sessionlink.h"

#include <QDebug>
#include <QDir>
#include <QTimer>

#include <algorithm>
#include <cstring>

#include "common/media/moduledecoder.h"
#include "net/certificatetrust.h"
#include "net/modulenetwork.h"
#include "session/emapwindow.h"
#include "session/netconnect.h"
#include "session/recorderwait.h"
#include "session/remoteconsole.h"
#include "session/sessiondefaults.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"
#include "session/sitebook.h"

using namespace SessionDefaults;

namespace {

// Purposes whose connect shows no "Network Connecting..." box.
bool ConnectsQuietly(ConnectPurpose purpose)
{
    return purpose == ConnectPurpose::Favorite || purpose == ConnectPurpose::EmapRefresh
           || purpose == ConnectPurpose::Account || purpose == ConnectPurpose::Firmware;
}

} // namespace

// =============================================================================================
// Connection

void CModuleDevice::StartConnect(int option)
{
    if (m_deviceIndex < 0)
        return;
    const ConnectPurpose purpose = option < kDelayedConnect ? ConnectPurpose(option) : ConnectPurpose::Silent;
    m_link.sequence.purpose = purpose;
    if (IsLoggedIn()) {
        if (purpose != ConnectPurpose::Silent)
            OnConnectionOption(purpose);
        return;
    }
    if (option >= kDelayedConnect) {
        QTimer::singleShot(option - 500, this, &CModuleDevice::timerOnConnect);
        return;
    }
    if (!ConnectsQuietly(purpose)) {
        if (SessionHub* hub = SessionHub::Instance())
            hub->ShowMessageBox(QStringLiteral("DVR Connection"), QStringLiteral("Network Connecting..."),
                                QString());
    }
    QTimer::singleShot(ConnectSequence::kConnectBoxDelayMs, this, &CModuleDevice::timerOnConnect);
}

void CModuleDevice::timerOnConnect()
{
    if (m_deviceIndex < 0)
        return;
    // An attempt is under way from its connect until its login or its end: a repeated request
    // (the automatic connect asks every few seconds) neither starts another nor gives it more
    // time, so connect plus login keep one time limit.
    if (IsLoggedIn() || m_link.sequence.connecting || m_link.sequence.loginDeadline->isActive()) {
        qCDebug(lcSession) << GetDvrName() << "connect already done or under way";
        return;
    }
    const SiteBook* record = Record();
    if (!record) {
        qCWarning(lcSession) << "timerOnConnect: the item carries no entry record";
        m_link.sequence.result = ConnectResult::Failed;
        return;
    }
    m_link.CopyPermissions(*record);
    m_link.sequence.disconnectAsked = false;
    const bool tls = record->use_ssl != 0;
    m_link.CreateNetworkModules(*record, tls);

    bool ok = false;
    const int port = record->port.trimmed().toInt(&ok, 10);
    if (!ok)
        qCDebug(lcSession) << GetDvrName() << "port is not a number:" << record->port;
    for (CModuleNetwork* network : {m_link.liveNetwork.get(), m_link.playbackNetwork.get()}) {
        network->SetConnectInfo(record->addr, ok ? port : 0, record->id, record->password, tls);
        network->SetRecorderName(record->name);
    }
    m_link.sequence.tls = tls;
    OnConnectThread();
}

void CModuleDevice::OnConnectThread()
{
    if (!m_link.playbackNetwork || !m_link.liveNetwork || m_link.sequence.connecting
        || m_link.sequence.loginDeadline->isActive())
        return;
    m_link.sequence.connecting = true;
    m_link.sequence.loginDeadline->start(m_link.sequence.loginTimeLimitMs);
    m_link.playbackNetwork->OnConnect();
    // The live connection follows half a second later, driven by a timer of the session (which
    // goes with the session), so no nested event loop runs inside this handler.
    m_link.sequence.liveConnectTimer->start(ConnectSequence::kLiveConnectDelayMs);
}

bool CModuleDevice::Disconnect()
{
    m_link.sequence.disconnectAsked = true;
    m_playbackGrid = -1;
    for (ChannelState& channel : m_channels)
        channel.route.Reset();
    // A live connect still waiting for its turn is called off.
    if (m_link.sequence.liveConnectTimer)
        m_link.sequence.liveConnectTimer->stop();
    if (m_link.sequence.loginDeadline)
        m_link.sequence.loginDeadline->stop();
    m_link.sequence.connecting = false;

    QPointer<CModuleDevice> self(this);
    bool result = false;
    if (m_link.liveNetwork) {
        if (!m_link.liveNetwork->IsConnected()) {
            // Socket up but not logged in: logging out does not apply, the connection is
            // aborted. A deliberate close is no login failure.
            m_login.socketConnected = 0;
            m_link.liveNetwork->Abort();
        }
        if (!self)
            return false;
        result = m_link.liveNetwork ? m_link.liveNetwork->Disconnect() : false;
    }
    if (!self)
        return result;
    if (m_link.playbackNetwork) {
        if (!m_link.playbackNetwork->IsConnected())
            m_link.playbackNetwork->Abort();
        if (m_link.playbackNetwork)
            m_link.playbackNetwork->Disconnect();
    }
    return result;
}

void CModuleDevice::OnConnectionOption(ConnectPurpose purpose)
{
    switch (purpose) {
    case ConnectPurpose::Live:
    case ConnectPurpose::CellLive: m_link.StartLiveOnAllChannels(); break;
    case ConnectPurpose::RemoteConfig: m_link.AskForRemoteConfig(); break;
    case ConnectPurpose::Playback:
    case ConnectPurpose::CellPlayback: m_link.PrepareRemotePlayback(purpose); break;
    case ConnectPurpose::Favorite: m_link.PlaceNextFavoriteCell(); break;
    case ConnectPurpose::EmapOpen: m_link.OpenEmapOnActiveWindow(); break;
    case ConnectPurpose::EmapRefresh: m_link.RefreshActiveEmap(); break;
    case ConnectPurpose::Account:
        if (!GetLoginOption()) {
            m_link.SetAccountState(-2);
        } else {
            m_link.SetAccountState(1);
            m_link.liveNetwork->RequestConfigFile(0);
        }
        break;
    case ConnectPurpose::Firmware:
        if (!GetLoginOption())
            m_link.SetFirmwareState(-2);
        else
            m_firmware.Start(m_deviceIndex, m_link.liveNetwork && m_link.liveNetwork->IsFirmwareToolModel());
        break;
    default: break;
    }
}

QByteArray CModuleDevice::GetConsoleLayout(int size) const
{
    if (!m_buffers.Console() || size <= 0)
        return QByteArray();
    const char* text = m_buffers.Console();
    const int most = std::min(size, int(SessionBuffers::kConsoleBufferSize));
    const void* end = std::memchr(text, 0, size_t(most));
    return QByteArray(text, end ? int(static_cast<const char*>(end) - text) : most);
}

void CModuleDevice::ConnectEnded()
{
    emit finished();
}
