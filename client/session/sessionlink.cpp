#include "session/sessionlink.h"

#include <QDebug>
#include <QPointer>
#include <QTimer>

#include <algorithm>

#include "net/modulenetwork.h"
#include "session/connectsequence.h"
#include "session/emapwindow.h"
#include "session/playbackstate.h"
#include "session/recorderwait.h"
#include "session/recordlistintake.h"
#include "session/remoteconsole.h"
#include "session/sessiondefaults.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"
#include "session/sitebook.h"

using namespace SessionDefaults;

SessionLink::SessionLink(SessionLinkHost& host, QObject& session, ChannelStates& channels, PlaybackState& playback,
                         RecordListIntake& lists, const QString& emapPath)
    : m_host(host)
    , m_session(session)
    , m_channels(channels)
    , m_playback(playback)
    , m_lists(lists)
    , m_emapPath(emapPath)
{}

SessionLink::~SessionLink() = default;

void SessionLink::CopyPermissions(const SiteBook& record)
{
    masks.live = quint32(record.permissionLive);
    masks.search = quint32(record.permissionSearch);
    masks.backup = quint32(record.permissionBackup);
    masks.ptz = quint32(record.permissionPtz);
    masks.config = record.permissionConfig ? 1 : 0;
}

void SessionLink::CreateNetworkModules(const SiteBook& record, bool tls)
{
    const int inert = record.kind.toInt();
    if (!playbackNetwork) {
        playbackNetwork = std::make_unique<CModuleNetwork>(inert, m_host.GetDeviceIndex(), tls);
        CModuleNetwork* p = playbackNetwork.get();
        m_host.WireConnection(p, true);
    }
    if (!liveNetwork) {
        liveNetwork = std::make_unique<CModuleNetwork>(inert, m_host.GetDeviceIndex(), tls);
        CModuleNetwork* l = liveNetwork.get();
        m_host.WireConnection(l, false);
    }
}

bool SessionLink::AwaitsCertificateAnswer() const
{
    for (const CModuleNetwork* network : {liveNetwork.get(), playbackNetwork.get()}) {
        if (network && network->AwaitsCertificateAnswer())
            return true;
    }
    return false;
}

void SessionLink::ReportConnectFailure()
{
    SessionHub* hub = SessionHub::Instance();
    switch (sequence.purpose) {
    case ConnectPurpose::Favorite: PlaceNextFavoriteCell(); break;
    case ConnectPurpose::EmapRefresh: RefreshActiveEmap(); break;
    case ConnectPurpose::Account: SetAccountState(-1); break;
    case ConnectPurpose::Firmware: SetFirmwareState(-1); break;
    case ConnectPurpose::Silent: qCDebug(lcSession) << m_host.GetDvrName() << "connect fail"; break;
    default:
        if (hub) {
            hub->ShowMessageBox(QString(), QStringLiteral("Connect fail"), QString());
            hub->ShowMessageBox(QString(), QString(), QStringLiteral("stop"));
        }
        break;
    }
}

void SessionLink::PlaceNextFavoriteCell()
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->ContinueFavorite();
}

void SessionLink::StartLiveOnAllChannels()
{
    const int n = m_host.LiveChannelCount();
    for (int ch = 0; ch < n; ++ch)
        m_channels[ch].liveWanted = 1;
    m_host.OnLiveStart(0);
}

void SessionLink::OpenEmapOnActiveWindow()
{
    EmapWindow* window = EmapWindow::Active();
    if (!window)
        return;
    window->openEmap(m_emapPath);
    const quint32 live = masks.live.load();
    const int channels = std::min(m_host.GetChannelCount(), kSessionChannels);
    for (int ch = 0; ch < channels; ++ch) {
        if (!Bit(live, ch) || m_channels[size_t(ch)].emapX <= -1.0f || m_channels[size_t(ch)].emapY <= -1.0f)
            continue;
        SiteBook* record = SiteBook::FromItem(m_host.GetCameraItem(ch));
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

void SessionLink::RefreshActiveEmap()
{
    if (EmapWindow* window = EmapWindow::Active())
        window->refreshCameras();
}

void SessionLink::AskForRemoteConfig()
{
    SessionHub* hub = SessionHub::Instance();
    if (hub)
        hub->ShowMessageBox(QStringLiteral("Remote Configuration"),
                            QStringLiteral("Information Loading\nPress CLOSE or ESC to cancel"), QString());
    if (!m_host.GetLoginOption()) {
        if (hub)
            hub->ShowMessageBox(QString(), QStringLiteral("Don't have permision."), QStringLiteral("stop"));
        RefuseRemoteConsole();
    } else if (liveNetwork->IsFirmware328() && masks.config.load() == 1) {
        // Compared as one version number: 4.05 is later than 3.28. The console starts once this
        // recorder's settings file has arrived (SetRecvConfig), with its restart permission.
        liveNetwork->RequestConfigFile(99);
    } else {
        if (hub)
            hub->ShowMessageBox(QString(), RemoteConfigRefusal(), QStringLiteral("stop"));
        RefuseRemoteConsole();
    }
}

QString SessionLink::RemoteConfigRefusal() const
{
    // Only an old recorder lacks the console; otherwise say which of the two rights is missing.
    if (!liveNetwork->IsFirmware328())
        return QStringLiteral("Not Support");
    if ((liveNetwork->GetLoginLevel() & 0x10) == 0)
        return QStringLiteral("The recorder supports remote configuration, but this login has no right to it "
                              "(its level lacks bit 0x10).\nLog in with an account that may configure the "
                              "recorder.");
    return QStringLiteral("Remote configuration is not permitted for this recorder in the site book.");
}

void SessionLink::PrepareRemotePlayback(ConnectPurpose purpose)
{
    SessionHub* hub = SessionHub::Instance();
    if (hub)
        hub->ShowMessageBox(QStringLiteral("Remote Playback"), QStringLiteral("Information Loading"), QString());
    const int n = m_host.LiveChannelCount();
    quint32 search = masks.search.load();
    for (int ch = 0; ch < n; ++ch) {
        if (!liveNetwork->GetLoginMaskBit(2, ch))
            search &= ~(1u << ch);
    }
    masks.search = search;
    if (search == 0) {
        if (hub) {
            hub->ShowMessageBox(QString(), QStringLiteral("No Playback permission."), QStringLiteral("stop"));
            hub->OnDeviceDisconnected(m_host.GetDeviceIndex(), 1);
        }
        return;
    }
    if (purpose == ConnectPurpose::Playback) {
        // Neither a mode nor a speed until the playback window asks for one.
        m_playback.mode = PlaybackMode(-1);
        m_playback.speed = -1;
    }
    liveNetwork->SendConsoleLock(0);
    m_lists.recorderWait->Arm();
}

void SessionLink::SetFirmwareState(int code)
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->SetFirmwareState(m_host.GetDeviceIndex(), code);
}

void SessionLink::SetAccountState(int code)
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->SetAccountManagerState(m_host.GetDeviceIndex(), code);
}

RemoteConsole* SessionLink::ShowingConsole() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub && ConsoleShowsThisRecorder() ? hub->GetConfigView() : nullptr;
}

void SessionLink::RefuseRemoteConsole()
{
    // A refused console must not stay in console mode on the recorder.
    if (RemoteConsole* console = ShowingConsole())
        console->stopRemoteConsole();
}

bool SessionLink::ConsoleShowsThisRecorder() const
{
    const SessionHub* hub = SessionHub::Instance();
    return m_host.IsLoggedIn() && hub && m_host.GetDeviceIndex() >= 0
           && hub->ConsoleDeviceIndex() == m_host.GetDeviceIndex();
}

void SessionLink::OnLiveConnectDue()
{
    if (!sequence.connecting || !liveNetwork)
        return;
    QPointer<QObject> self(&m_session);
    const bool started = liveNetwork->OnConnect();
    if (!self)
        return;
    // A connect under way ends in OnLiveConnectEnded, through the live connection's state.
    if (!started)
        OnLiveConnectEnded(false);
}

void SessionLink::OnLiveConnectEnded(bool connected)
{
    if (!sequence.connecting)
        return;
    sequence.connecting = false;
    if (connected) {
        sequence.result = ConnectResult::Done;
    } else {
        sequence.loginDeadline->stop();
        QPointer<QObject> self(&m_session);
        ReportConnectFailure();
        if (!self)
            return;
        sequence.result = ConnectResult::Failed;
    }
    m_host.ConnectEnded();
}

void SessionLink::OnCertificateAnswered()
{
    // The time the user took over a changed certificate is not the recorder's: its time limit
    // starts again with the answer.
    if (sequence.loginDeadline->isActive() && AwaitsCertificateAnswer())
        sequence.loginDeadline->start(sequence.loginTimeLimitMs);
}

void SessionLink::OnLoginDeadline()
{
    if (m_host.IsLoggedIn())
        return;
    // The login waits for the user's answer about a changed certificate, which restarts the
    // time limit once given.
    if (AwaitsCertificateAnswer()) {
        sequence.loginDeadline->start(sequence.loginTimeLimitMs);
        return;
    }
    qCDebug(lcSession) << m_host.GetDvrName() << "no login within" << sequence.loginTimeLimitMs
                       << "ms: the connect is given up";
    // Half-open connections are aborted by the disconnect, which reports no login failure for
    // them; the attempt ends as a failed connect instead.
    QPointer<QObject> self(&m_session);
    m_host.Disconnect();
    if (!self)
        return;
    ReportConnectFailure();
    sequence.result = ConnectResult::Failed;
}
