// The connection lifecycle of a recorder session: connect and login with their one time limit,
// the disconnect, what a completed login was asked for (its connect purpose), the e-map and
// remote playback preparations and the box that waits on the recorder.
#include "session/moduledevice.h"

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
    m_connect.purpose = purpose;
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
    QTimer::singleShot(kConnectBoxDelayMs, this, &CModuleDevice::timerOnConnect);
}

void CModuleDevice::CopyPermissions(const SiteBook& record)
{
    m_masks.live = quint32(record.permissionLive);
    m_masks.search = quint32(record.permissionSearch);
    m_masks.backup = quint32(record.permissionBackup);
    m_masks.ptz = quint32(record.permissionPtz);
    m_masks.config = record.permissionConfig ? 1 : 0;
}

void CModuleDevice::timerOnConnect()
{
    if (m_deviceIndex < 0)
        return;
    // An attempt is under way from its connect until its login or its end: a repeated request
    // (the automatic connect asks every few seconds) neither starts another nor gives it more
    // time, so connect plus login keep one time limit.
    if (IsLoggedIn() || m_connect.connecting || m_connect.loginDeadline->isActive()) {
        qCDebug(lcSession) << GetDvrName() << "connect already done or under way";
        return;
    }
    const SiteBook* record = Record();
    if (!record) {
        qCWarning(lcSession) << "timerOnConnect: the item carries no entry record";
        m_connect.result = ConnectResult::Failed;
        return;
    }
    CopyPermissions(*record);
    m_connect.disconnectAsked = false;
    const bool tls = record->use_ssl != 0;
    CreateNetworkModules(*record, tls);

    bool ok = false;
    const int port = record->port.trimmed().toInt(&ok, 10);
    if (!ok)
        qCDebug(lcSession) << GetDvrName() << "port is not a number:" << record->port;
    for (CModuleNetwork* network : {m_liveNetwork.get(), m_playbackNetwork.get()}) {
        network->SetConnectInfo(record->addr, ok ? port : 0, record->id, record->password, tls);
        network->SetRecorderName(record->name);
    }
    m_connect.tls = tls;
    OnConnectThread();
}

void CModuleDevice::CreateNetworkModules(const SiteBook& record, bool tls)
{
    const int inert = record.kind.toInt();
    if (!m_playbackNetwork) {
        m_playbackNetwork = std::make_unique<CModuleNetwork>(inert, m_deviceIndex, tls);
        CModuleNetwork* p = m_playbackNetwork.get();
        connect(p, &CModuleNetwork::SetNetworkState, this, &CModuleDevice::OnNetworkStateS);
        ConnectMediaIntake(p, true);
    }
    if (!m_liveNetwork) {
        m_liveNetwork = std::make_unique<CModuleNetwork>(inert, m_deviceIndex, tls);
        CModuleNetwork* l = m_liveNetwork.get();
        connect(l, &CModuleNetwork::SetNetworkState, this, &CModuleDevice::OnNetworkState);
        connect(l, &CModuleNetwork::SetUsageNetwork, this, &CModuleDevice::OnUsageNetwork);
        ConnectMediaIntake(l, false);
        ConnectListIntake(l);
    }
}

void CModuleDevice::OnConnectThread()
{
    if (!m_playbackNetwork || !m_liveNetwork || m_connect.connecting || m_connect.loginDeadline->isActive())
        return;
    m_connect.connecting = true;
    m_connect.loginDeadline->start(m_connect.loginTimeLimitMs);
    m_playbackNetwork->OnConnect();
    // The live connection follows half a second later, driven by a timer of the session (which
    // goes with the session), so no nested event loop runs inside this handler.
    m_connect.liveConnectTimer->start(kLiveConnectDelayMs);
}

void CModuleDevice::OnLiveConnectDue()
{
    if (!m_connect.connecting || !m_liveNetwork)
        return;
    QPointer<CModuleDevice> self(this);
    const bool started = m_liveNetwork->OnConnect();
    if (!self)
        return;
    // A connect under way ends in OnLiveConnectEnded, through the live connection's state.
    if (!started)
        OnLiveConnectEnded(false);
}

void CModuleDevice::OnLiveConnectEnded(bool connected)
{
    if (!m_connect.connecting)
        return;
    m_connect.connecting = false;
    if (connected) {
        m_connect.result = ConnectResult::Done;
    } else {
        m_connect.loginDeadline->stop();
        QPointer<CModuleDevice> self(this);
        ReportConnectFailure();
        if (!self)
            return;
        m_connect.result = ConnectResult::Failed;
    }
    emit finished();
}

bool CModuleDevice::AwaitsCertificateAnswer() const
{
    for (const CModuleNetwork* network : {m_liveNetwork.get(), m_playbackNetwork.get()}) {
        if (network && network->AwaitsCertificateAnswer())
            return true;
    }
    return false;
}

void CModuleDevice::OnCertificateAnswered()
{
    // The time the user took over a changed certificate is not the recorder's: its time limit
    // starts again with the answer.
    if (m_connect.loginDeadline->isActive() && AwaitsCertificateAnswer())
        m_connect.loginDeadline->start(m_connect.loginTimeLimitMs);
}

void CModuleDevice::OnLoginDeadline()
{
    if (IsLoggedIn())
        return;
    // The login waits for the user's answer about a changed certificate, which restarts the
    // time limit once given.
    if (AwaitsCertificateAnswer()) {
        m_connect.loginDeadline->start(m_connect.loginTimeLimitMs);
        return;
    }
    qCDebug(lcSession) << GetDvrName() << "no login within" << m_connect.loginTimeLimitMs
                       << "ms: the connect is given up";
    // Half-open connections are aborted by the disconnect, which reports no login failure for
    // them; the attempt ends as a failed connect instead.
    QPointer<CModuleDevice> self(this);
    Disconnect();
    if (!self)
        return;
    ReportConnectFailure();
    m_connect.result = ConnectResult::Failed;
}

void CModuleDevice::PlaceNextFavoriteCell()
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->ContinueFavorite();
}

void CModuleDevice::ReportConnectFailure()
{
    SessionHub* hub = SessionHub::Instance();
    switch (m_connect.purpose) {
    case ConnectPurpose::Favorite: PlaceNextFavoriteCell(); break;
    case ConnectPurpose::EmapRefresh: RefreshActiveEmap(); break;
    case ConnectPurpose::Account: SetAccountState(-1); break;
    case ConnectPurpose::Firmware: SetFirmwareState(-1); break;
    case ConnectPurpose::Silent: qCDebug(lcSession) << GetDvrName() << "connect fail"; break;
    default:
        if (hub) {
            hub->ShowMessageBox(QString(), QStringLiteral("Connect fail"), QString());
            hub->ShowMessageBox(QString(), QString(), QStringLiteral("stop"));
        }
        break;
    }
}

bool CModuleDevice::Disconnect()
{
    m_connect.disconnectAsked = true;
    m_playbackGrid = -1;
    for (ChannelState& channel : m_channels)
        channel.route.Reset();
    // A live connect still waiting for its turn is called off.
    if (m_connect.liveConnectTimer)
        m_connect.liveConnectTimer->stop();
    if (m_connect.loginDeadline)
        m_connect.loginDeadline->stop();
    m_connect.connecting = false;

    QPointer<CModuleDevice> self(this);
    bool result = false;
    if (m_liveNetwork) {
        if (!m_liveNetwork->IsConnected()) {
            // Socket up but not logged in: logging out does not apply, the connection is
            // aborted. A deliberate close is no login failure.
            m_socketConnected = 0;
            m_liveNetwork->Abort();
        }
        if (!self)
            return false;
        result = m_liveNetwork ? m_liveNetwork->Disconnect() : false;
    }
    if (!self)
        return result;
    if (m_playbackNetwork) {
        if (!m_playbackNetwork->IsConnected())
            m_playbackNetwork->Abort();
        if (m_playbackNetwork)
            m_playbackNetwork->Disconnect();
    }
    return result;
}

void CModuleDevice::OnConnectionOption(ConnectPurpose purpose)
{
    switch (purpose) {
    case ConnectPurpose::Live:
    case ConnectPurpose::CellLive: StartLiveOnAllChannels(); break;
    case ConnectPurpose::RemoteConfig: AskForRemoteConfig(); break;
    case ConnectPurpose::Playback:
    case ConnectPurpose::CellPlayback: PrepareRemotePlayback(purpose); break;
    case ConnectPurpose::Favorite: PlaceNextFavoriteCell(); break;
    case ConnectPurpose::EmapOpen: OpenEmapOnActiveWindow(); break;
    case ConnectPurpose::EmapRefresh: RefreshActiveEmap(); break;
    case ConnectPurpose::Account:
        if (!GetLoginOption()) {
            SetAccountState(-2);
        } else {
            SetAccountState(1);
            m_liveNetwork->RequestConfigFile(0);
        }
        break;
    case ConnectPurpose::Firmware:
        if (!GetLoginOption())
            SetFirmwareState(-2);
        else
            m_firmware.Start(m_deviceIndex, m_liveNetwork && m_liveNetwork->IsFirmwareToolModel());
        break;
    default: break;
    }
}

void CModuleDevice::OpenEmapOnActiveWindow()
{
    EmapWindow* window = EmapWindow::Active();
    if (!window)
        return;
    window->openEmap(m_emapPath);
    const quint32 live = m_masks.live.load();
    const int channels = std::min(GetChannelCount(), kChannels);
    for (int ch = 0; ch < channels; ++ch) {
        if (!Bit(live, ch) || m_channels[size_t(ch)].emapX <= -1.0f || m_channels[size_t(ch)].emapY <= -1.0f)
            continue;
        SiteBook* record = SiteBook::FromItem(GetCameraItem(ch));
        if (!record)
            continue;
        record->posX = m_channels[size_t(ch)].emapX;
        record->posY = m_channels[size_t(ch)].emapY;
        window->createDeviceCamera(*record, ch, false);
        // The window may have gone with the last icon's tile (a closing program).
        if (EmapWindow::Active() != window)
            return;
    }
}

void CModuleDevice::RefreshActiveEmap()
{
    if (EmapWindow* window = EmapWindow::Active())
        window->refreshCameras();
}

void CModuleDevice::StartLiveOnAllChannels()
{
    const int n = LiveChannelCount();
    for (int ch = 0; ch < n; ++ch)
        m_channels[ch].liveWanted = 1;
    OnLiveStart(0);
}

void CModuleDevice::AskForRemoteConfig()
{
    SessionHub* hub = SessionHub::Instance();
    if (hub)
        hub->ShowMessageBox(QStringLiteral("Remote Configuration"),
                            QStringLiteral("Information Loading\nPress CLOSE or ESC to cancel"), QString());
    if (!GetLoginOption()) {
        if (hub)
            hub->ShowMessageBox(QString(), QStringLiteral("Don't have permision."), QStringLiteral("stop"));
        RefuseRemoteConsole();
    } else if (m_liveNetwork->IsFirmware328() && m_masks.config.load() == 1) {
        // Compared as one version number: 4.05 is later than 3.28. The console starts once this
        // recorder's settings file has arrived (SetRecvConfig), with its restart permission.
        m_liveNetwork->RequestConfigFile(99);
    } else {
        if (hub)
            hub->ShowMessageBox(QString(), QStringLiteral("Not Support"), QStringLiteral("stop"));
        RefuseRemoteConsole();
    }
}

RemoteConsole* CModuleDevice::ShowingConsole() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub && ConsoleShowsThisRecorder() ? hub->GetConfigView() : nullptr;
}

void CModuleDevice::RefuseRemoteConsole()
{
    // A refused console must not stay in console mode on the recorder.
    if (RemoteConsole* console = ShowingConsole())
        console->stopRemoteConsole();
}

QByteArray CModuleDevice::GetConsoleLayout(int size) const
{
    if (!m_consoleBuffer || size <= 0)
        return QByteArray();
    const char* text = m_consoleBuffer.get();
    const int most = std::min(size, int(kConsoleBufferSize));
    const void* end = std::memchr(text, 0, size_t(most));
    return QByteArray(text, end ? int(static_cast<const char*>(end) - text) : most);
}

void CModuleDevice::SettleRecorderWait()
{
    if (!m_recorderWait->IsWaiting())
        return;
    m_recorderWait->Settle();
    SessionHub* hub = SessionHub::Instance();
    if (hub && hub->MessageTitle() == QLatin1String("Remote Playback"))
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
}

void CModuleDevice::OnRecorderWaitEnded(int why)
{
    // The box that waited gets a message and its Close button; the window behind it is usable
    // again once it is closed.
    SessionHub* hub = SessionHub::Instance();
    if (!hub)
        return;
    const QString text = RecorderWait::End(why) == RecorderWait::End::Refused
                             ? QStringLiteral("%1 sent a record list that cannot be read.").arg(GetDvrName())
                             : QStringLiteral("%1 did not answer within %2 seconds.")
                                   .arg(GetDvrName())
                                   .arg(RecorderWait::kLimitMs / 1000);
    const QString title = hub->MessageTitle().isEmpty() ? QStringLiteral("Remote Playback") : hub->MessageTitle();
    qCDebug(lcSession) << text;
    hub->ShowMessageBox(title, text, QStringLiteral("stop"));
}

void CModuleDevice::PrepareRemotePlayback(ConnectPurpose purpose)
{
    SessionHub* hub = SessionHub::Instance();
    if (hub)
        hub->ShowMessageBox(QStringLiteral("Remote Playback"), QStringLiteral("Information Loading"), QString());
    const int n = LiveChannelCount();
    quint32 search = m_masks.search.load();
    for (int ch = 0; ch < n; ++ch) {
        if (!m_liveNetwork->GetLoginMaskBit(2, ch))
            search &= ~(1u << ch);
    }
    m_masks.search = search;
    if (search == 0) {
        if (hub) {
            hub->ShowMessageBox(QString(), QStringLiteral("No Playback permission."), QStringLiteral("stop"));
            hub->OnDeviceDisconnected(m_deviceIndex, 1);
        }
        return;
    }
    if (purpose == ConnectPurpose::Playback) {
        // Neither a mode nor a speed until the playback window asks for one.
        m_playback.mode = PlaybackMode(-1);
        m_playback.speed = -1;
    }
    m_liveNetwork->SendConsoleLock(0);
    m_recorderWait->Arm();
}

void CModuleDevice::SetFirmwareState(int code)
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->SetFirmwareState(m_deviceIndex, code);
}

void CModuleDevice::SetAccountState(int code)
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->SetAccountManagerState(m_deviceIndex, code);
}
