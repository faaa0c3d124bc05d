// What the session does as its connections change state: the login (decoders, buffers, tree
// items, permissions and the grid waiting for the recorder), the status refresh, the disconnect
// that closes it all again, and a refused login.
#include "session/moduledevice.h"

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
#include "session/sessiondefaults.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"
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

// Live pictures are converted only when a grid shows them, at the size of its cell; their
// readers (grids, the last-picture slot) all read under the picture lock.
std::unique_ptr<CModuleDecoder> OpenedDecoder(bool convertOnDemand = false)
{
    auto decoder = std::make_unique<CModuleDecoder>();
    decoder->OpenDecoder();
    decoder->SetConvertOnDemand(convertOnDemand);
    return decoder;
}

} // namespace

// =============================================================================================
// Network state handling

void CModuleDevice::OnNetworkState(int state)
{
    if (m_deviceIndex < 0)
        return;
    NetworkSlotGuard inSlot(this, m_connect.networkSlotDepth);
    switch (NetState(state)) {
    case NetState::ConnectFailed: OnLiveConnectEnded(false); break;
    case NetState::SocketConnected:
        m_socketConnected = 1;
        OnLiveConnectEnded(true);
        break;
    case NetState::LoggedIn: OnLoggedIn(); break;
    case NetState::StatusRefreshed: OnStatusRefreshed(); break;
    case NetState::Disconnected: OnDisconnected(); break;
    default: break;
    }
}

void CModuleDevice::CreateBackupHosts()
{
    // At every later login the event backup stops (its jobs must be armed again); the schedule
    // backup is left as it is.
    if (m_eventBackupHost)
        m_eventBackupHost->StopBackup();
    BackupHostFactory* factory = BackupHostFactory::Instance();
    if (!factory)
        return;
    if (!m_eventBackupHost)
        m_eventBackupHost = factory->CreateEventHost(*this);
    if (!m_scheduleBackupHost)
        m_scheduleBackupHost = factory->CreateScheduleHost(*this);
    if (!m_remoteCDBackupHost)
        m_remoteCDBackupHost = factory->CreateRemoteCDHost(*this,
                                                           m_liveNetwork && m_liveNetwork->IsFurtherCapable());
}

void CModuleDevice::OnLoggedIn()
{
    m_connect.loginDeadline->stop();
    const ConnectPurpose purpose = m_connect.purpose;
    ShowLoginMessage(purpose);
    // The audio threads start with the session threads below.
    m_playback.active = 0;
    StartRequestPacing();
    m_health.Create(GetDvrName(), m_liveNetwork.get());
    const int n = std::clamp(m_liveNetwork->GetChannelCount(), 0, int(kChannels));
    m_channelCount = n;
    OpenChannelDecoders(n);
    const quint32 live = KeepGrantedPermissions();
    BuildChannelItems(n, live);
    m_lastPictures.Reset(n);
    AllocateReceiveBuffers(n);
    CreateSchedulers();
    AllocateSessionBuffers();
    MarkLoggedIn();
    CreateBackupHosts();
    StartMediaThreads();
    WantPermittedChannels(n, live);

    // Live start at one frame per second, then what the connect was asked for.
    QPointer<CModuleDevice> self(this);
    OnLiveStart(1);
    OnConnectionOption(purpose);
    if (!self)
        return;
    HandRecorderToWaitingGrid(n, purpose);
    if (!self)
        return;
    if (SessionHub* hub = SessionHub::Instance())
        hub->OnDeviceConnected(m_deviceIndex, 0);
}

void CModuleDevice::ShowLoginMessage(ConnectPurpose purpose)
{
    SessionHub* hub = SessionHub::Instance();
    if (purpose == ConnectPurpose::Favorite || purpose == ConnectPurpose::EmapRefresh || !hub)
        return;
    hub->ShowMessageBox(QString(), QStringLiteral("Login success"), QString());
    if (purpose == ConnectPurpose::Connect || purpose == ConnectPurpose::Live)
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("auto"));
    else if (purpose == ConnectPurpose::Silent)
        qCDebug(lcSession) << GetDvrName() << "connect success";
    else
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
}

void CModuleDevice::StartRequestPacing()
{
    m_batcher->ResetInFlight();
    m_search.museumMode = 0;
    m_search.thumbnailMode = 0;
    m_search.quickMode = 0;
    m_searchStepTimer->stop();
    m_sendPlaybackTimer->stop();
    m_requestPacing = true;
    SetPlaybackActive(m_playback.active.load() != 0);
}

void CModuleDevice::SetPlaybackActive(bool on)
{
    m_playback.active.store(on ? 1 : 0);
    if (!m_sendPlaybackTimer || !m_searchStepTimer)
        return;
    if (!on || !m_requestPacing) {
        // What was asked for the playback that ended is not sent later.
        if (m_batcher)
            m_batcher->TakeBatch([] { return false; });
        m_searchStepTimer->stop();
        m_sendPlaybackTimer->stop();
        return;
    }
    if (!m_searchStepTimer->isActive())
        m_searchStepTimer->start(kTimerIntervalMs);
    if (!m_sendPlaybackTimer->isActive())
        m_sendPlaybackTimer->start(kTimerIntervalMs);
}

void CModuleDevice::OpenChannelDecoders(int channelCount)
{
    // The live and search threads start with the session threads.
    for (int ch = 0; ch < channelCount; ++ch) {
        m_channels[ch].liveWanted = 0;
        m_channels[ch].liveQueue.StopDropping();
        if (!m_channels[ch].liveDecoder)
            m_channels[ch].liveDecoder = OpenedDecoder(true);
        if (!m_channels[ch].playbackDecoder)
            m_channels[ch].playbackDecoder = OpenedDecoder();
        m_channels[ch].liveRecordMark = 0;
        m_channels[ch].searchRecordMark = 0;
        m_channels[ch].eventRecordMark = 0;
    }
    if (!m_searchDecoder)
        m_searchDecoder = OpenedDecoder();
}

quint32 CModuleDevice::KeepGrantedPermissions()
{
    // Only what the recorder grants in its login reply stays.
    quint32 live = m_masks.live.load(), ptz = m_masks.ptz.load(), search = m_masks.search.load(),
            backup = m_masks.backup.load();
    for (int ch = 0; ch < kChannels; ++ch) {
        const quint32 bit = 1u << ch;
        if (!m_liveNetwork->GetLoginMaskBit(0, ch))
            live &= ~bit;
        if (!m_liveNetwork->GetLoginMaskBit(1, ch))
            ptz &= ~bit;
        if (!m_liveNetwork->GetLoginMaskBit(2, ch)) {
            search &= ~bit;
            backup &= ~bit;
        }
    }
    m_masks.live = live;
    m_masks.ptz = ptz;
    m_masks.search = search;
    m_masks.backup = backup;
    m_masks.config = (m_masks.config.load() == 1 && (m_liveNetwork->GetLoginLevel() & 0x10) != 0) ? 1 : 0;
    return live;
}

void CModuleDevice::BuildChannelItems(int channelCount, quint32 liveMask)
{
    CModuleNetwork* network = m_liveNetwork.get();
    m_treeItems->BuildChannelItems(
        this, m_deviceIndex, channelCount, liveMask, [this](int ch) { return GetCameraTitle(ch); },
        [network](int ch) {
            SessionTreeItems::ChannelStatus status;
            status.videoLoss = network->IsVideoLoss(ch);
            status.active = network->IsChannelActive(ch);
            return status;
        });
}

void CModuleDevice::AllocateReceiveBuffers(int channelCount)
{
    // The playback schedulers are made after them. They are handed to both connections: the
    // playback connection keeps running while the live one reconnects, and it was told to drop
    // them when they were released.
    for (int slot = 0; slot <= channelCount; ++slot) {
        m_slotBuffers->Allocate(slot);
        RegisterSlotBuffers(m_liveNetwork.get(), slot);
        if (m_playbackNetwork && m_playbackNetwork->IsConnected())
            RegisterSlotBuffers(m_playbackNetwork.get(), slot);
    }
}

void CModuleDevice::AllocateSessionBuffers()
{
    for (auto [buffer, size] :
         {std::pair{&m_liveFrameBuffer, kLiveFrameBufferSize}, std::pair{&m_liveAudioBuffer, kLiveAudioBufferSize},
          std::pair{&m_consoleBuffer, kConsoleBufferSize}, std::pair{&m_listBuffer, kListBufferSize}}) {
        if (!*buffer)
            buffer->reset(new char[size_t(size)]());
    }
}

void CModuleDevice::FreeSessionBuffers()
{
    m_liveFrameBuffer.reset();
    m_liveAudioBuffer.reset();
    m_consoleBuffer.reset();
    m_listBuffer.reset();
}

void CModuleDevice::MarkLoggedIn()
{
    m_loggedIn = 1;
    m_socketConnected = 0;
    m_liveAudioChannel = -1;
    m_treeItems->SetRecorderIcon(this, true);
}

void CModuleDevice::WantPermittedChannels(int channelCount, quint32 liveMask)
{
    for (int ch = 0; ch < channelCount; ++ch) {
        const bool permitted = Bit(liveMask, ch);
        m_channels[ch].liveWanted = permitted ? 1 : 0;
        m_channels[ch].hasPicture = permitted ? 0 : 1;
    }
}

void CModuleDevice::HandRecorderToWaitingGrid(int channelCount, ConnectPurpose purpose)
{
    if (m_connect.rememberedGrid == -1)
        return;
    const int gridIndex = m_connect.rememberedGrid;
    m_connect.rememberedGrid = -1;
    if (SessionHub* hub = SessionHub::Instance())
        hub->GridTakesRecorder(gridIndex, channelCount, m_deviceIndex, purpose == ConnectPurpose::CellLive);
}

void CModuleDevice::OnStatusRefreshed()
{
    if (!m_liveNetwork)
        return;
    CModuleNetwork* network = m_liveNetwork.get();
    m_treeItems->UpdateChannelIcons(m_channelCount.load(), m_masks.live.load(), [network](int ch) {
        SessionTreeItems::ChannelStatus status;
        status.videoLoss = network->IsVideoLoss(ch);
        status.active = network->IsChannelActive(ch);
        status.motion = network->IsMotion(ch);
        return status;
    });
    m_health.Feed(m_liveNetwork.get(), m_channelCount.load(), m_masks.live.load());
}

void CModuleDevice::OnDisconnected()
{
    // The attempt has ended one way or another; its time limit no longer applies, and nothing
    // waits for an answer any more (the loss has its own message).
    m_connect.loginDeadline->stop();
    m_recorderWait->Settle();
    SessionHub* hub = SessionHub::Instance();
    const bool loggedIn = IsLoggedIn();
    if (!loggedIn)
        qCDebug(lcSession) << GetDvrName() << "login fail";

    if (m_socketConnected.load()) {
        m_socketConnected = 0;
        ReportLoginFailure();
    } else if (loggedIn) {
        if (RemoteConsole* console = ShowingConsole())
            console->OnDisconnected();
        if (m_connect.purpose == ConnectPurpose::Account)
            SetAccountState(3);
        else if (m_connect.purpose == ConnectPurpose::Firmware)
            SetFirmwareState(4);
    }
    if (!loggedIn)
        return;

    m_loggedIn = 0;
    m_socketConnected = 0;
    if (m_scheduleBackupHost)
        m_scheduleBackupHost->OnConnectionLost();
    m_liveAudio.thread->RequestStop();
    m_playbackAudio.thread->RequestStop();
    CloseSearchBoxes();
    m_playbackGrid = -1;
    // The buffers go below: neither connection may write into them any more (the live one forgot
    // them with its disconnect, the playback one may still be up).
    for (CModuleNetwork* network : {m_playbackNetwork.get(), m_liveNetwork.get()}) {
        if (network)
            network->DropBuffers();
    }
    CloseChannels();
    CloseSearchSlot();
    FreeSessionBuffers();
    // Channel items are left alone while the whole window goes.
    if (!hub || !hub->IsClosing())
        m_treeItems->DeleteChannelItems();

    m_treeItems->SetRecorderIcon(this, false);
    m_playback.active = 0;
    m_liveAudioChannel = -1;
    qCDebug(lcSession) << "disconnect 2";
    if (hub)
        hub->OnDeviceDisconnected(m_deviceIndex, 0);
    if (hub && !m_connect.disconnectAsked && !hub->IsClosing())
        hub->ReportConnectionLost(m_deviceIndex, GetDvrName());
    qCDebug(lcSession) << "disconnect 3";
}

void CModuleDevice::CloseSearchBoxes()
{
    // A search of this recorder ends with its connection: its progress box closes and the
    // museum and thumbnail pop-ups forget the recorder and close.
    SessionHub* hub = SessionHub::Instance();
    const struct
    {
        std::atomic<quint8>* flag;
        const char* title;
        SearchState::Popup popup;
    } searches[] = {{&m_search.museumMode, "Museum Search", SearchState::Popup::Museum},
                    {&m_search.thumbnailMode, "Thumbnail Search", SearchState::Popup::Thumbnail},
                    {&m_search.quickMode, "Time Search", SearchState::Popup::Quick}};
    for (const auto& s : searches) {
        if (!s.flag->load())
            continue;
        if (hub && hub->MessageTitle() == QLatin1String(s.title))
            hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
        *s.flag = 0;
        if (s.popup == SearchState::Popup::Museum && MuseumSearchPopup::Instance())
            MuseumSearchPopup::Instance()->OnRecorderLost();
        else if (s.popup == SearchState::Popup::Thumbnail && ThumbnailSearchPopup::Instance())
            ThumbnailSearchPopup::Instance()->OnRecorderLost();
    }
}

void CModuleDevice::CloseChannels()
{
    // Threads are told to stop and joined before their decoders go.
    for (int ch = 0; ch < kChannels; ++ch) {
        m_channels[ch].liveWanted = 0;
        m_channels[ch].route.Reset();
        m_lastPictures.Store(ch, LastPictures::Placeholder());
        m_channels[ch].liveQueue.StopDropping();
        m_channels[ch].liveThread->RequestStop();
        m_slots[ch].searchThread->RequestStop();
        ReleaseSlotBuffers(ch);
        m_channels[ch].liveThread->Wait();
        CloseDecoder(m_channels[ch].liveDecoder);
        m_slots[ch].searchThread->Wait();
        CloseDecoder(m_channels[ch].playbackDecoder);
        m_channels[ch].liveRecordMark = 0;
        m_channels[ch].searchRecordMark = 0;
        m_channels[ch].eventRecordMark = 0;
    }
}

void CModuleDevice::CloseSearchSlot()
{
    CloseDecoder(m_searchDecoder);
    m_slots[kChannels].searchThread->RequestStop();
    ReleaseSlotBuffers(kChannels);
    m_slots[kChannels].searchThread->Wait();
}

void CModuleDevice::ReportLoginFailure()
{
    const bool loginReplied = m_liveNetwork && m_liveNetwork->GetLoginDone();
    if (!loginReplied && m_connect.tls && !(m_liveNetwork && m_liveNetwork->IsTlsHandshakeDone())) {
        // Under TLS the socket counts as connected before the handshake: a connection that ends
        // before its handshake completed, or whose certificate was refused, never reached the
        // recorder (not one we trust), so it is a failed connect.
        qCDebug(lcSession) << GetDvrName() << "TLS connection ended before a certificate we trust";
        ReportConnectFailure();
        m_connect.result = ConnectResult::Failed;
        return;
    }
    if (m_connect.purpose == ConnectPurpose::Account) {
        SetAccountState(-1);
        return;
    }
    if (m_connect.purpose == ConnectPurpose::Firmware) {
        SetFirmwareState(-1);
        return;
    }
    // No login reply at all: the recorder took the connection but serves no more clients. A
    // recorder whose model the client does not serve is dropped after its model information.
    const QString text = !loginReplied                          ? QStringLiteral("Connection full")
                         : m_liveNetwork->GetModelCheck() == -2 ? QStringLiteral("Not Support")
                                                                : QStringLiteral("Login fail");
    if (SessionHub* hub = SessionHub::Instance()) {
        hub->ShowMessageBox(QString(), text, QString());
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("stop"));
    }
}

void CModuleDevice::OnNetworkStateS(int state)
{
    if (m_deviceIndex < 0 || NetState(state) != NetState::LoggedIn || !m_playbackNetwork)
        return;
    NetworkSlotGuard inSlot(this, m_connect.networkSlotDepth);
    const int n = std::clamp(m_playbackNetwork->GetChannelCount(), 0, int(kChannels));
    for (int slot = 0; slot <= n; ++slot) {
        m_slotBuffers->Allocate(slot);
        RegisterSlotBuffers(m_playbackNetwork.get(), slot);
    }
}

void CModuleDevice::RegisterSlotBuffers(CModuleNetwork* network, int slot)
{
    m_slotBuffers->Register(network, slot);
}

void CModuleDevice::ReleaseSlotBuffers(int slot)
{
    m_slotBuffers->Release(slot, m_playbackNetwork.get(), m_liveNetwork.get());
}
