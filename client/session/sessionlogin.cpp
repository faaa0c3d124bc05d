#include "session/sessionlogin.h"

#include <QDebug>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <atomic>

#include "common/media/moduledecoder.h"
#include "net/modulenetwork.h"
#include "session/backuphosts.h"
#include "session/mediaintake.h"
#include "session/museumsearchpopup.h"
#include "session/playbackstate.h"
#include "session/recorderwait.h"
#include "session/recordlistintake.h"
#include "session/remoteconsole.h"
#include "session/requestpacing.h"
#include "session/searchstate.h"
#include "session/sessionbuffers.h"
#include "session/sessiondefaults.h"
#include "session/sessionhealth.h"
#include "session/sessionhub.h"
#include "session/sessionlink.h"
#include "session/sessionlog.h"
#include "session/sessionrecording.h"
#include "session/sessionthread.h"
#include "session/sessiontreeitems.h"
#include "session/thumbnailsearchpopup.h"

using namespace SessionDefaults;

namespace {

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

void SessionLogin::OnLoggedIn()
{
    m_s.link.sequence.loginDeadline->stop();
    const ConnectPurpose purpose = m_s.link.sequence.purpose;
    ShowLoginMessage(purpose);
    // The audio threads start with the session threads below.
    m_s.playback.active = 0;
    StartRequestPacing();
    m_s.health.Create(m_s.host.GetDvrName(), m_s.link.liveNetwork.get());
    const int n = std::clamp(m_s.link.liveNetwork->GetChannelCount(), 0, int(kSessionChannels));
    channelCount = n;
    OpenChannelDecoders(n);
    const quint32 live = KeepGrantedPermissions();
    BuildChannelItems(n, live);
    m_s.media.lastPictures.Reset(n);
    // The playback schedulers are made after the slot buffers. They are handed to both
    // connections: the playback connection keeps running while the live one reconnects, and it
    // was told to drop them when they were released.
    m_s.buffers.AllocateSlots(n, m_s.link.liveNetwork.get(), m_s.link.playbackNetwork.get());
    m_s.media.CreateSchedulers();
    m_s.buffers.AllocateSession();
    MarkLoggedIn();
    m_s.recording.CreateBackupHosts(m_s.link.liveNetwork && m_s.link.liveNetwork->IsFurtherCapable());
    m_s.media.StartMediaThreads();
    WantPermittedChannels(n, live);

    // Live start at one frame per second, then what the connect was asked for.
    QPointer<QObject> self(&m_s.object);
    m_s.host.OnLiveStart(1);
    m_s.host.OnConnectionOption(purpose);
    if (!self)
        return;
    HandRecorderToWaitingGrid(n, purpose);
    if (!self)
        return;
    if (SessionHub* hub = SessionHub::Instance())
        hub->OnDeviceConnected(m_s.host.GetDeviceIndex(), 0);
}

void SessionLogin::ShowLoginMessage(ConnectPurpose purpose)
{
    SessionHub* hub = SessionHub::Instance();
    if (purpose == ConnectPurpose::Favorite || purpose == ConnectPurpose::EmapRefresh || !hub)
        return;
    hub->ShowMessageBox(QString(), QStringLiteral("Login success"), QString());
    if (purpose == ConnectPurpose::Connect || purpose == ConnectPurpose::Live)
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("auto"));
    else if (purpose == ConnectPurpose::Silent)
        qCDebug(lcSession) << m_s.host.GetDvrName() << "connect success";
    else
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
}

void SessionLogin::StartRequestPacing()
{
    m_s.search.museumMode = 0;
    m_s.search.thumbnailMode = 0;
    m_s.search.quickMode = 0;
    m_s.pacing->Start(m_s.playback.active.load() != 0);
}

void SessionLogin::OpenChannelDecoders(int channels)
{
    // The live and search threads start with the session threads.
    for (int ch = 0; ch < channels; ++ch) {
        m_s.channels[ch].liveWanted = 0;
        m_s.channels[ch].liveQueue.StopDropping();
        if (!m_s.channels[ch].liveDecoder)
            m_s.channels[ch].liveDecoder = OpenedDecoder(true);
        if (!m_s.channels[ch].playbackDecoder)
            m_s.channels[ch].playbackDecoder = OpenedDecoder();
        m_s.channels[ch].liveRecordMark = 0;
        m_s.channels[ch].searchRecordMark = 0;
        m_s.channels[ch].eventRecordMark = 0;
    }
    if (!m_s.media.searchDecoder)
        m_s.media.searchDecoder = OpenedDecoder();
}

quint32 SessionLogin::KeepGrantedPermissions()
{
    // Only what the recorder grants in its login reply stays.
    quint32 live = m_s.link.masks.live.load(), ptz = m_s.link.masks.ptz.load(),
            search = m_s.link.masks.search.load(), backup = m_s.link.masks.backup.load();
    for (int ch = 0; ch < kSessionChannels; ++ch) {
        const quint32 bit = 1u << ch;
        if (!m_s.link.liveNetwork->GetLoginMaskBit(0, ch))
            live &= ~bit;
        if (!m_s.link.liveNetwork->GetLoginMaskBit(1, ch))
            ptz &= ~bit;
        if (!m_s.link.liveNetwork->GetLoginMaskBit(2, ch)) {
            search &= ~bit;
            backup &= ~bit;
        }
    }
    m_s.link.masks.live = live;
    m_s.link.masks.ptz = ptz;
    m_s.link.masks.search = search;
    m_s.link.masks.backup = backup;
    m_s.link.masks.config = (m_s.link.masks.config.load() == 1
                             && (m_s.link.liveNetwork->GetLoginLevel() & 0x10) != 0)
                                ? 1
                                : 0;
    return live;
}

void SessionLogin::BuildChannelItems(int channels, quint32 liveMask)
{
    CModuleNetwork* network = m_s.link.liveNetwork.get();
    m_s.treeItems.BuildChannelItems(
        &m_s.item, m_s.host.GetDeviceIndex(), channels, liveMask,
        [this](int ch) { return m_s.host.GetCameraTitle(ch); },
        [network](int ch) {
            SessionTreeItems::ChannelStatus status;
            status.videoLoss = network->IsVideoLoss(ch);
            status.active = network->IsChannelActive(ch);
            return status;
        });
}

void SessionLogin::MarkLoggedIn()
{
    loggedIn = 1;
    socketConnected = 0;
    m_s.liveAudioChannel = -1;
    m_s.treeItems.SetRecorderIcon(&m_s.item, true);
}

void SessionLogin::WantPermittedChannels(int channels, quint32 liveMask)
{
    for (int ch = 0; ch < channels; ++ch) {
        const bool permitted = Bit(liveMask, ch);
        m_s.channels[ch].liveWanted = permitted ? 1 : 0;
        m_s.channels[ch].hasPicture = permitted ? 0 : 1;
    }
}

void SessionLogin::HandRecorderToWaitingGrid(int channels, ConnectPurpose purpose)
{
    if (m_s.link.sequence.rememberedGrid == -1)
        return;
    const int gridIndex = m_s.link.sequence.rememberedGrid;
    m_s.link.sequence.rememberedGrid = -1;
    if (SessionHub* hub = SessionHub::Instance())
        hub->GridTakesRecorder(gridIndex, channels, m_s.host.GetDeviceIndex(),
                               purpose == ConnectPurpose::CellLive);
}

void SessionLogin::OnStatusRefreshed()
{
    if (!m_s.link.liveNetwork)
        return;
    CModuleNetwork* network = m_s.link.liveNetwork.get();
    m_s.treeItems.UpdateChannelIcons(channelCount.load(), m_s.link.masks.live.load(), [network](int ch) {
        SessionTreeItems::ChannelStatus status;
        status.videoLoss = network->IsVideoLoss(ch);
        status.active = network->IsChannelActive(ch);
        status.motion = network->IsMotion(ch);
        return status;
    });
    m_s.health.Feed(m_s.link.liveNetwork.get(), channelCount.load(), m_s.link.masks.live.load());
}

void SessionLogin::OnDisconnected()
{
    // The attempt has ended one way or another; its time limit no longer applies, and nothing
    // waits for an answer any more (the loss has its own message).
    m_s.link.sequence.loginDeadline->stop();
    m_s.lists.recorderWait->Settle();
    SessionHub* hub = SessionHub::Instance();
    const bool wasLoggedIn = loggedIn.load() != 0;
    if (!wasLoggedIn)
        qCDebug(lcSession) << m_s.host.GetDvrName() << "login fail";

    if (socketConnected.load()) {
        socketConnected = 0;
        ReportLoginFailure();
    } else if (wasLoggedIn) {
        if (RemoteConsole* console = m_s.link.ShowingConsole())
            console->OnDisconnected();
        if (m_s.link.sequence.purpose == ConnectPurpose::Account)
            m_s.link.SetAccountState(3);
        else if (m_s.link.sequence.purpose == ConnectPurpose::Firmware)
            m_s.link.SetFirmwareState(4);
    }
    if (!wasLoggedIn)
        return;

    loggedIn = 0;
    socketConnected = 0;
    if (ScheduleBackupHost* schedule = m_s.recording.ScheduleHost())
        schedule->OnConnectionLost();
    m_s.media.liveAudio.thread->RequestStop();
    m_s.media.playbackAudio.thread->RequestStop();
    CloseSearchBoxes();
    m_s.playbackGrid = -1;
    // The buffers go below: neither connection may write into them any more (the live one forgot
    // them with its disconnect, the playback one may still be up).
    for (CModuleNetwork* network : {m_s.link.playbackNetwork.get(), m_s.link.liveNetwork.get()}) {
        if (network)
            network->DropBuffers();
    }
    CloseChannels();
    CloseSearchSlot();
    m_s.buffers.FreeSession();
    // Channel items are left alone while the whole window goes.
    if (!hub || !hub->IsClosing())
        m_s.treeItems.DeleteChannelItems();

    m_s.treeItems.SetRecorderIcon(&m_s.item, false);
    m_s.playback.active = 0;
    m_s.liveAudioChannel = -1;
    qCDebug(lcSession) << "disconnect 2";
    if (hub)
        hub->OnDeviceDisconnected(m_s.host.GetDeviceIndex(), 0);
    if (hub && !m_s.link.sequence.disconnectAsked && !hub->IsClosing())
        hub->ReportConnectionLost(m_s.host.GetDeviceIndex(), m_s.host.GetDvrName());
    qCDebug(lcSession) << "disconnect 3";
}

void SessionLogin::CloseSearchBoxes()
{
    // A search of this recorder ends with its connection: its progress box closes and the
    // museum and thumbnail pop-ups forget the recorder and close.
    SessionHub* hub = SessionHub::Instance();
    const struct
    {
        std::atomic<quint8>* flag;
        const char* title;
        SearchState::Popup popup;
    } searches[] = {{&m_s.search.museumMode, "Museum Search", SearchState::Popup::Museum},
                    {&m_s.search.thumbnailMode, "Thumbnail Search", SearchState::Popup::Thumbnail},
                    {&m_s.search.quickMode, "Time Search", SearchState::Popup::Quick}};
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

void SessionLogin::CloseChannels()
{
    // Threads are told to stop and joined before their decoders go.
    for (int ch = 0; ch < kSessionChannels; ++ch) {
        m_s.channels[ch].liveWanted = 0;
        m_s.channels[ch].route.Reset();
        m_s.media.lastPictures.Store(ch, LastPictures::Placeholder());
        m_s.channels[ch].liveQueue.StopDropping();
        m_s.channels[ch].liveThread->RequestStop();
        m_s.playbackSlots[ch].searchThread->RequestStop();
        m_s.buffers.ReleaseSlot(ch, m_s.link.playbackNetwork.get(), m_s.link.liveNetwork.get());
        m_s.channels[ch].liveThread->Wait();
        CloseDecoder(m_s.channels[ch].liveDecoder);
        m_s.playbackSlots[ch].searchThread->Wait();
        CloseDecoder(m_s.channels[ch].playbackDecoder);
        m_s.channels[ch].liveRecordMark = 0;
        m_s.channels[ch].searchRecordMark = 0;
        m_s.channels[ch].eventRecordMark = 0;
    }
}

void SessionLogin::CloseSearchSlot()
{
    CloseDecoder(m_s.media.searchDecoder);
    m_s.playbackSlots[kSessionChannels].searchThread->RequestStop();
    m_s.buffers.ReleaseSlot(kSessionChannels, m_s.link.playbackNetwork.get(), m_s.link.liveNetwork.get());
    m_s.playbackSlots[kSessionChannels].searchThread->Wait();
}

void SessionLogin::ReportLoginFailure()
{
    const bool loginReplied = m_s.link.liveNetwork && m_s.link.liveNetwork->GetLoginDone();
    if (!loginReplied && m_s.link.sequence.tls
        && !(m_s.link.liveNetwork && m_s.link.liveNetwork->IsTlsHandshakeDone())) {
        // Under TLS the socket counts as connected before the handshake: a connection that ends
        // before its handshake completed, or whose certificate was refused, never reached the
        // recorder (not one we trust), so it is a failed connect.
        qCDebug(lcSession) << m_s.host.GetDvrName() << "TLS connection ended before a certificate we trust";
        m_s.link.ReportConnectFailure();
        m_s.link.sequence.result = ConnectResult::Failed;
        return;
    }
    if (m_s.link.sequence.purpose == ConnectPurpose::Account) {
        m_s.link.SetAccountState(-1);
        return;
    }
    if (m_s.link.sequence.purpose == ConnectPurpose::Firmware) {
        m_s.link.SetFirmwareState(-1);
        return;
    }
    // No login reply at all: the recorder took the connection but serves no more clients. A
    // recorder whose model the client does not serve is dropped after its model information.
    const QString text = !loginReplied                                 ? QStringLiteral("Connection full")
                         : m_s.link.liveNetwork->GetModelCheck() == -2 ? QStringLiteral("Not Support")
                                                                       : QStringLiteral("Login fail");
    if (SessionHub* hub = SessionHub::Instance()) {
        hub->ShowMessageBox(QString(), text, QString());
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("stop"));
    }
}
