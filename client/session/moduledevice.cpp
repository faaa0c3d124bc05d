#include "session/moduledevice.h"
#include "session/mediaintake.h"
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

constexpr int kTalkBlock = 320;

} // namespace

// =============================================================================================
// Construction and destruction

CModuleDevice::CModuleDevice(QTreeWidgetItem* parent, int kind)
    : RecorderSession()
    , QTreeWidgetItem(parent, 0)
    , m_recording(std::make_unique<SessionRecording>(
          *this, m_channels, m_slots, [this](const QString& kind) { return RecordingFolder(kind); }))
    , m_treeItems(
          std::make_unique<SessionTreeItems>([this](const QString& kind) { return RecordingFolder(kind); }))
    , m_login({*this, *this, *this, m_link, m_media, m_lists, *m_recording, *m_treeItems, m_pacing, m_buffers,
               m_health, m_channels, m_slots, m_search, m_playback, m_playbackGrid, m_liveAudioChannel})
    , m_media({*this,
               *this,
               {&THREAD_LIVE, &THREAD_SEARCH, &THREAD_LIVE_AUDIO, &THREAD_PLAYBACK_AUDIO, this},
               m_channels,
               m_slots,
               m_search,
               m_playback,
               m_link,
               *m_recording,
               m_playbackGrid,
               m_login.channelCount})
{
    for (int ch = 0; ch < kChannels; ++ch) {
        m_channels[ch].liveRecordMark = 0;
        m_channels[ch].searchRecordMark = 0;
        m_channels[ch].eventRecordMark = 0;
        m_channels[ch].liveCounter = 0;
        m_channels[ch].liveShown = 0;
        m_channels[ch].liveWanted = 0;
        m_channels[ch].hasPicture = 0;
        m_channels[ch].liveFrameDate = -1;
        m_channels[ch].liveFrameTime = -1;
        m_channels[ch].emapX = -1.0f;
        m_channels[ch].emapY = -1.0f;
        m_channels[ch].ownX = kOwnDefaultX;
        m_channels[ch].ownY = kOwnDefaultY;
    }
    for (PlaybackSlot& slot : m_slots)
        slot.nextSearchFrame = 0;

    m_link.sequence.worker = std::make_unique<NetConnect>(this, [this] { OnConnectThread(); });
    if (kind == 0)
        BuildRecorderMachinery();

    connect(this, &CModuleDevice::NextFrameData, this, &CModuleDevice::OnNextFrameData);
    m_link.sequence.worker->moveToThread(&m_link.sequence.thread);
    connect(&m_link.sequence.thread, &QThread::started, m_link.sequence.worker.get(), &NetConnect::OnConnect);
    connect(m_link.sequence.worker.get(), &NetConnect::finished, &m_link.sequence.thread, &QThread::quit);
}

void CModuleDevice::BuildRecorderMachinery()
{
    for (int s = 0; s < kSlots; ++s) {
        m_slots[s].searchThread = std::make_unique<SessionThread>(m_slots[size_t(s)].queue);
    }
    m_media.liveAudio.thread = std::make_unique<SessionThread>(m_media.liveAudio.queue);
    m_media.playbackAudio.thread = std::make_unique<SessionThread>(m_media.playbackAudio.queue);

    if (SessionHub* hub = SessionHub::Instance()) {
        const int index = hub->GetFreeDeviceIndex();
        if (index < 0)
            qCWarning(lcSession) << "CModuleDevice: recorder table full, the recorder stays unregistered";
        else if (hub->AddDevice(index, this))
            m_deviceIndex = index;
    } else {
        qCWarning(lcSession) << "CModuleDevice: no main window to register with";
    }
    for (int ch = 0; ch < kChannels; ++ch) {
        m_channels[ch].liveThread = std::make_unique<SessionThread>(m_channels[size_t(ch)].liveQueue);
        m_channels[ch].liveWorker = std::make_unique<LiveDecodeWorker>(ch, m_channels[size_t(ch)].route,
                                                                       m_media.lastPictures);
        m_channels[size_t(ch)].liveQueue.SetCatchUp(LivePacer::kCatchUpMs);
    }
    m_pacing = std::make_unique<RequestPacing>(*this, static_cast<RequestPacingHost&>(*this), m_buffers.Slots());
    m_lists.recorderWait = new RecorderWait(this);
    connect(m_lists.recorderWait, &RecorderWait::ended, this,
            [this](RecorderWait::End why) { m_lists.OnRecorderWaitEnded(int(why)); });

    m_link.sequence.liveConnectTimer = new QTimer(this);
    m_link.sequence.liveConnectTimer->setSingleShot(true);
    connect(m_link.sequence.liveConnectTimer, &QTimer::timeout, this, [this] { m_link.OnLiveConnectDue(); });
    m_link.sequence.loginDeadline = new QTimer(this);
    m_link.sequence.loginDeadline->setSingleShot(true);
    connect(m_link.sequence.loginDeadline, &QTimer::timeout, this, [this] { m_link.OnLoginDeadline(); });
    connect(CertificateTrust::Instance(), &CertificateTrust::Answered, this,
            [this] { m_link.OnCertificateAnswered(); });

    m_media.lastPictures.Reset();
}

CModuleDevice::~CModuleDevice()
{
    if (m_deviceIndex < 0) {
        // Folders (and a recorder that found no slot) own no session machinery.
        if (m_link.sequence.liveConnectTimer)
            m_link.sequence.liveConnectTimer->stop();
        return;
    }

    if (IsLoggedIn())
        Disconnect();
    m_link.sequence.liveConnectTimer->stop();
    m_link.sequence.loginDeadline->stop();
    m_firmware.Stop();
    m_link.sequence.connecting = false;

    StopSessionThreadsAndDecoders();
    ReleaseConnectionsAndBuffers();
    m_treeItems->ForgetArchive();

    m_recording->Release();

    if (SessionHub* hub = SessionHub::Instance())
        hub->RemoveDevice(m_deviceIndex);
    m_deviceIndex = -1;

    m_treeItems->ForgetChannelItems();
    while (childCount() > 0)
        DeleteItemTree(child(0));
}

void CModuleDevice::StopSessionThreadsAndDecoders()
{
    for (ChannelState& channel : m_channels)
        channel.liveThread->RequestStop();
    for (PlaybackSlot& slot : m_slots)
        slot.searchThread->RequestStop();
    m_media.liveAudio.thread->RequestStop();
    m_media.playbackAudio.thread->RequestStop();
    m_pacing->Stop();

    for (int n = 0; n < kSlots; ++n) {
        if (n < kChannels) {
            m_channels[n].liveThread->Wait();
            m_channels[n].liveRate = kDefaultRate;
        }
        m_slots[n].searchThread->Wait();
        m_slots[n].rate = kDefaultRate;
        if (n < kChannels) {
            CloseDecoder(m_channels[n].liveDecoder);
            CloseDecoder(m_channels[n].playbackDecoder);
        }
    }
    CloseDecoder(m_media.searchDecoder);
    m_pacing->Batcher().Clear();
    m_media.liveAudio.thread->Wait();
    m_media.playbackAudio.thread->Wait();
}

void CModuleDevice::ReleaseConnectionsAndBuffers()
{
    // The connections go before every buffer they were handed; nothing of theirs may reach the
    // session while it is being destroyed.
    for (CModuleNetwork* network : {m_link.liveNetwork.get(), m_link.playbackNetwork.get()}) {
        if (network)
            QObject::disconnect(network, nullptr, this, nullptr);
    }
    if (m_link.sequence.networkSlotDepth > 0) {
        // Destroyed from inside a signal of one of its connections: the engine is still inside
        // its socket's notification and must not be deleted under it. The connections go a
        // little later, and every buffer they were handed stays alive until both are gone.
        auto kept = std::make_shared<std::vector<std::unique_ptr<char[]>>>();
        m_buffers.HandOver(*kept);
        for (std::unique_ptr<CModuleNetwork>* network : {&m_link.liveNetwork, &m_link.playbackNetwork}) {
            if (CModuleNetwork* n = network->release()) {
                QObject::connect(n, &QObject::destroyed, [kept] {});
                n->deleteLater();
            }
        }
    }
    m_link.liveNetwork.reset();
    m_link.playbackNetwork.reset();
    m_buffers.FreeAll();
    for (PlaybackSlot& slot : m_slots)
        slot.minuteTable.reset();
}

// =============================================================================================
// Small operations

void CModuleDevice::OnUsageNetwork(qlonglong bytes)
{
    emit usageData(bytes);
}

void CModuleDevice::OnNextFrameData(int /*ch*/)
{
    // Nothing emits NextFrameData; the slot has no effect.
}

void CModuleDevice::GetIntraHeader(int value, int slot, int indexFile, qlonglong offset, int size, int stream,
                                   bool unused)
{
    if (!m_link.liveNetwork)
        return;
    char* indexBuffer = m_buffers.Slots().Index(slot);
    if (!indexBuffer) {
        qCDebug(lcSession) << "GetIntraHeader: no index buffer for entry" << slot;
        return;
    }
    // The network module's index-header request takes the stream selection as its last value;
    // the last flag has no field in it.
    Q_UNUSED(unused)
    m_link.liveNetwork->SendIntraHeaderRequest(value, slot, indexFile, int(quint32(quint64(offset) & 0xFFFFFFFFu)),
                                               size, indexBuffer, quint8(stream));
}

void CModuleDevice::SendTalkAudio(const char* pcm, int bytes)
{
    if (!m_link.liveNetwork || !pcm || bytes < 2)
        return;
    const int samples = bytes / 2;
    QByteArray encoded(samples, Qt::Uninitialized);
    for (int i = 0; i < samples; ++i) {
        const qint16 s = qint16(quint16(quint8(pcm[2 * i])) | (quint16(quint8(pcm[2 * i + 1])) << 8));
        const int doubled = std::clamp(int(s) * 2, -32768, 32767);
        encoded[i] = char(LinearToMuLaw(doubled));
    }
    if (samples >= kTalkBlock) {
        for (int at = 0; at + kTalkBlock <= samples; at += kTalkBlock)
            m_link.liveNetwork->SendTalkAudio(encoded.data() + at, kTalkBlock);
    } else {
        m_link.liveNetwork->SendTalkAudio(encoded.data(), samples);
    }
}

void CModuleDevice::SendCameraTitle(int ch, const QString& title)
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendCameraTitle(ch, title);
}

void CModuleDevice::SendBackupCapaRequest(int startDate, int startTime, int finishDate, int finishTime,
                                          int channelMask)
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendBackupCapaRequest(startDate, startTime, finishDate, finishTime,
                                                  quint16(channelMask), quint16(-1));
}

void CModuleDevice::LoadSiteBookInfo()
{
    const SiteBook* record = Record();
    if (!record) {
        qCWarning(lcSession) << "LoadSiteBookInfo: the item carries no entry record";
        ResetSessionInfo();
        return;
    }
    m_emapPath = record->emapPath;
    const QStringList positions = record->emapPos.split(QLatin1Char(';'));
    // A trailing empty element (after the last ";") is not a value.
    int valueCount = positions.size();
    if (valueCount > 0 && positions.last().isEmpty())
        --valueCount;
    for (int n = 0; n < kChannels; ++n) {
        const QString own = record->emapCameraPos[n];
        if (own.isEmpty()) {
            m_channels[n].ownX = kOwnDefaultX;
            m_channels[n].ownY = kOwnDefaultY;
        } else {
            const QStringList xy = own.split(QLatin1Char(';'));
            m_channels[n].ownX = xy.value(0).toFloat();
            m_channels[n].ownY = xy.value(1).toFloat();
        }
        m_channels[n].cameraEmapPath = record->emapCameraPath[n];
        m_channels[n].emapX = 2 * n < valueCount ? positions.at(2 * n).toFloat() : -1.0f;
        m_channels[n].emapY = 2 * n + 1 < valueCount ? positions.at(2 * n + 1).toFloat() : -1.0f;
    }
    ResetSessionInfo();
}

void CModuleDevice::UpdateSiteBookItem(QTreeWidgetItem* item)
{
    m_treeItems->SetEmapItem(item);
    SiteBook* record = SiteBook::FromItem(item);
    if (!record) {
        qCWarning(lcSession) << "UpdateSiteBookItem: the item carries no entry record";
        return;
    }
    record->index = m_deviceIndex;
    record->emapPath = m_emapPath;
    SiteBook::SetOnItem(item, record);
}

void CModuleDevice::ResetSessionInfo()
{
    m_networkUsage = NetworkUsage();
}

void CModuleDevice::DeleteItemTree(QTreeWidgetItem* item)
{
    if (!item)
        return;
    // A session object takes care of its own children and record.
    if (auto* device = dynamic_cast<CModuleDevice*>(item)) {
        delete device;
        return;
    }
    for (int i = item->childCount() - 1; i >= 0; --i)
        DeleteItemTree(item->child(i));
    // Plain items carry a record that goes with them; typed items of the site book own theirs.
    if (item->type() == QTreeWidgetItem::Type)
        delete SiteBook::FromItem(item);
    delete item;
}

// =============================================================================================
// Live

bool CModuleDevice::OnLiveStart(int mode)
{
    if (!IsLoggedIn() || !m_link.liveNetwork)
        return false;
    const int n = LiveChannelCount();
    const SiteBook* record = Record();
    const int quality = record ? record->quality : 1;
    const quint32 live = m_link.masks.live.load();

    int shown = 0;
    for (int c = 0; c < kChannels; ++c) {
        if (c >= n || !Bit(live, c)) {
            m_channels[c].liveWanted = 0;
            m_channels[c].liveShown = 0;
        } else if (m_channels[c].liveWanted.load() != 1) {
            m_channels[c].liveShown = 0;
        } else if (mode == 1) {
            m_channels[c].liveShown = 0;
            ++shown;
        } else if (m_channels[c].route.liveGrid.load() == -1 || m_channels[c].route.liveCell.load() == -1) {
            m_channels[c].liveShown = 0;
        } else {
            m_channels[c].liveShown = 1;
            ++shown;
        }
    }

    int rate = 0;
    int code = 0;
    if (mode == 1) {
        rate = 1;
        code = 4;
    } else if (shown <= 1) {
        rate = 30;
        code = quality == 2 ? 6 : 9;
    } else if (shown <= 4) {
        rate = 15;
        code = quality == 2 ? 5 : 8;
    } else {
        rate = 5;
        code = quality == 2 ? 4 : 5;
    }

    for (int c = 0; c < n; ++c) {
        if (m_channels[c].liveWanted.load() != 1)
            continue;
        m_channels[c].liveRate = rate;
        m_channels[c].liveCounter = 0;
        m_link.liveNetwork->SendLiveStart(c, rate, code, m_buffers.LiveFrame(), mode != 1);
        qCDebug(lcSession) << "---------------------> Live start" << c << shown << quality << rate << code;
    }
    return true;
}

bool CModuleDevice::OnLiveStop(int ch)
{
    qCDebug(lcSession) << "Live Stop" << ch;
    if (!IsLoggedIn() || !m_link.liveNetwork)
        return false;
    if (ch < 0 || ch >= LiveChannelCount())
        return false;
    m_channels[ch].liveWanted = 0;
    m_channels[ch].liveCounter = 0;
    m_channels[ch].liveRecordMark = 0;
    m_link.liveNetwork->SendLiveStop(ch);
    qCDebug(lcSession) << "live status" << ch << m_channels[ch].liveWanted.load();
    return true;
}

bool CModuleDevice::StartLiveAudio(int ch)
{
    if (!m_link.liveNetwork || !IsLoggedIn())
        return false;
    if (!ValidChannel(ch) || !m_buffers.LiveAudio()) {
        qCDebug(lcSession) << "StartLiveAudio: no channel" << ch;
        return false;
    }
    m_link.liveNetwork->SendLiveAudioStop();
    m_liveAudioChannel = -1;
    if (SessionHub* hub = SessionHub::Instance())
        hub->SetAudioDeviceIndex(m_deviceIndex);
    m_link.liveNetwork->SendLiveAudioStart(ch, m_buffers.LiveAudio());
    m_liveAudioChannel = ch;
    return true;
}

bool CModuleDevice::StopLiveAudio()
{
    if (!m_link.liveNetwork || !IsLoggedIn())
        return false;
    m_link.liveNetwork->SendLiveAudioStop();
    m_liveAudioChannel = -1;
    return true;
}

// =============================================================================================
// Recording folders and archive items

QString CModuleDevice::RecordingFolder(const QString& kind) const
{
    const SessionHub* hub = SessionHub::Instance();
    const QString base = hub ? hub->ProgramDirectory() : QDir::currentPath();
    return ArchivePaths::RecorderFolder(base, kind, GetDvrName());
}

void CModuleDevice::StartSearchRecord(int ch, int date, int time)
{
    m_recording->StartSearchRecord(ch, date, time);
}

void CModuleDevice::StartEventRecord(int ch)
{
    m_recording->StartEventRecord(ch);
}

QTreeWidgetItem* CModuleDevice::GetArchiveKindItem(const QString& kind) const
{
    return m_treeItems->ArchiveKindItem(kind);
}

void CModuleDevice::UpdateArchiveItems(QTreeWidgetItem* archiveParent, int kind)
{
    m_treeItems->UpdateArchiveItems(archiveParent, kind);
}

void CModuleDevice::UpdateArchiveFolder(const QString& kind, QTreeWidgetItem* archiveParent)
{
    m_treeItems->UpdateArchiveFolder(kind, archiveParent);
}

void CModuleDevice::AddArchiveFiles(const QString& folderPath, const QString& kind, const QString& folderName,
                                    QTreeWidgetItem* folderItem)
{
    // The folder is found again from the kind and the day folder's name, which is checked to
    // be one path component.
    Q_UNUSED(folderPath)
    m_treeItems->AddArchiveFiles(kind, folderName, folderItem);
}

// =============================================================================================
// Playback frame requests

void CModuleDevice::QueueFrameData(int ch, int file, qint64 offset, int size, int requestNumber)
{
    PlaybackRequestBatcher::Request r;
    r.channel = ch;
    r.frameByte = file;
    r.offset = offset;
    r.size = size == 0 ? 1 : size;
    r.kind = int(PlaybackRequestBatcher::Kind::FrameData);
    r.requestNumber = requestNumber;
    if (m_pacing)
        m_pacing->Queue(r, m_playback.active.load() != 0);
}

void CModuleDevice::QueueFrameHeader(int ch, int file, qint64 offset, int size, int requestNumber)
{
    PlaybackRequestBatcher::Request r;
    r.channel = ch;
    r.frameByte = file;
    r.offset = offset;
    r.size = size;
    r.kind = int(PlaybackRequestBatcher::Kind::FrameHeader);
    r.requestNumber = requestNumber;
    if (m_pacing)
        m_pacing->Queue(r, m_playback.active.load() != 0);
}

void CModuleDevice::timerPlayback01()
{
    if (m_deviceIndex < 0)
        return;
    const int n = std::min(m_login.channelCount.load(), int(kChannels));
    for (int ch = 0; ch <= n; ++ch) {
        if (m_slots[ch].nextSearchFrame.load() != 1)
            continue;
        if (!m_playback.active.load() || !IsLoggedIn())
            break;
        m_slots[ch].nextSearchFrame = 0;
        m_media.ActOnSearchStep();
    }
}

void CModuleDevice::timerSendPlayback()
{
    if (m_deviceIndex >= 0 && m_pacing)
        m_pacing->SendTurn();
}
