#include "session/moduledevice.h"

#include <QDate>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <vector>

#include "net/modulenetwork.h"
#include "common/media/mulaw.h"
#include "platform/process.h"
#include "common/media/moduledecoder.h"
#include "common/media/modulerecord.h"
#include "session/netconnect.h"
#include "session/qthreadhelper.h"
#include "session/sessionhub.h"
#include "session/sitebook.h"

namespace {

constexpr int kDefaultRate = 15;
constexpr int kTimerIntervalMs = 10;
constexpr int kFirmwareWaitMs = 1000;
constexpr int kFirmwareAttempts = 31;
constexpr int kTalkBlock = 320;
constexpr float kOwnDefaultX = 0.452077f;
constexpr float kOwnDefaultY = 0.262222f;

// The six archive kinds, in the order of the kind items.
const char* const kArchiveKinds[6] = {"BackupData", "EventData", "ScheduleData",
                                      "Record_Live", "Record_Search", "SnapShot"};

int ArchiveKindIndex(const QString& kind)
{
    for (int i = 0; i < 6; ++i) {
        if (kind == QLatin1String(kArchiveKinds[i]))
            return i;
    }
    return -1;
}

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

bool Bit(quint32 mask, int ch)
{
    return ch >= 0 && ch < 32 && ((mask >> ch) & 1u) != 0;
}

void PutLe32(char* p, quint32 v)
{
    p[0] = char(v & 0xFF);
    p[1] = char((v >> 8) & 0xFF);
    p[2] = char((v >> 16) & 0xFF);
    p[3] = char((v >> 24) & 0xFF);
}

} // namespace

// =============================================================================================
// Construction and destruction

CModuleDevice::CModuleDevice(QTreeWidgetItem* parent, int kind)
    : QObject(nullptr)
    , QTreeWidgetItem(parent, 0)
    , m_parentItem(parent)
{
    for (int ch = 0; ch < kChannels; ++ch) {
        m_lastFrame[ch] = -1;
        m_liveRecordMark[ch] = 0;
        m_searchRecordMark[ch] = 0;
        m_eventRecordMark[ch] = 0;
        m_liveCounter[ch] = 0;
        m_liveShown[ch] = 0;
        m_liveRun[ch] = 0;
        m_liveWanted[ch] = 0;
        m_hasPicture[ch] = 0;
        m_liveDrop[ch] = 0;
        m_streamCode[ch] = 0;
        m_liveThreadBytes[ch] = 0;
        m_emapX[ch] = -1.0f;
        m_emapY[ch] = -1.0f;
        m_ownX[ch] = kOwnDefaultX;
        m_ownY[ch] = kOwnDefaultY;
    }
    for (int s = 0; s < kSlots; ++s) {
        m_nextSearchFrame[s] = 0;
        m_searchRun[s] = 0;
    }
    for (auto& rate : m_rates)
        rate = kDefaultRate;

    m_iconCamera = QIcon(QStringLiteral(":/res/Resource/Camera.png"));
    m_iconCameraOff = QIcon(QStringLiteral(":/res/Resource/Camera_off.png"));
    m_iconCameraLoss = QIcon(QStringLiteral(":/res/Resource/Camera_loss.png"));
    m_iconCameraEvent = QIcon(QStringLiteral(":/res/Resource/Camera_event.png"));
    m_iconDvrDisable = QIcon(QStringLiteral(":/res/Resource/DVRDisable.png"));
    m_iconDvr = QIcon(QStringLiteral(":/res/Resource/DVR.png"));

    // Recording writers; the first makes the client recording folders, the second its own.
    m_recordLive = std::make_unique<ModuleRecord>();
    m_recordSearch = std::make_unique<ModuleRecord>();
    m_recordEvent = std::make_unique<ModuleRecord>();
    if (SessionHub* hub = SessionHub::Instance()) {
        const QString base = hub->ProgramDirectory() + QStringLiteral("/backup");
        ModuleRecord::MakePath(base);
        ModuleRecord::MakePath(base + QStringLiteral("/EventData"));
        ModuleRecord::MakePath(base + QStringLiteral("/ScheduleData"));
        ModuleRecord::MakePath(base + QStringLiteral("/Record_Live"));
        ModuleRecord::MakePath(base + QStringLiteral("/Record_Search"));
    }
    // A writer reports a started recording from whichever thread writes; the archive items are
    // rebuilt on the user-interface thread, and not at all once the session is gone.
    auto refresh = [this](int recorderIndex, int archiveKind) {
        QMetaObject::invokeMethod(
            this,
            [this, recorderIndex, archiveKind] {
                if (recorderIndex == m_deviceIndex)
                    UpdateArchiveItems(nullptr, archiveKind);
            },
            Qt::QueuedConnection);
    };
    m_recordLive->SetArchiveRefresh(refresh);
    m_recordSearch->SetArchiveRefresh(refresh);
    m_recordEvent->SetArchiveRefresh(refresh);

    m_connectWorker = std::make_unique<NetConnect>(this);

    if (kind == 0) {
        for (int s = 0; s < kSlots; ++s) {
            m_minuteTables[s].reset(new quint8[kMinutesPerDay]());
            m_searchTimers[s] = new QTimer(this);
            m_searchThreads[s] = std::make_unique<CQThreadHelper>();
        }
        for (int ch = 0; ch < kChannels; ++ch)
            m_liveThreads[ch] = std::make_unique<CQThreadHelper>();
        m_liveAudioThread = std::make_unique<CQThreadHelper>();
        m_playbackAudioThread = std::make_unique<CQThreadHelper>();

        if (SessionHub* hub = SessionHub::Instance()) {
            const int index = hub->GetFreeDeviceIndex();
            if (index < 0)
                qWarning() << "CModuleDevice: recorder table full, the recorder stays unregistered";
            else if (hub->AddDevice(index, this))
                m_deviceIndex = index;
        } else {
            qWarning() << "CModuleDevice: no main window to register with";
        }

        m_sendPlaybackTimer = new QTimer(this);
        connect(m_sendPlaybackTimer, &QTimer::timeout, this, &CModuleDevice::timerSendPlayback);
        m_batchBuffer.reset(new char[kBatchEntries * kBatchEntrySize]());
        m_secondBuffer.reset(new char[kSecondBufferSize]());
        connect(m_searchTimers[0], &QTimer::timeout, this, &CModuleDevice::timerPlayback01);
        // The status timer's slot (the periodic status requests) comes with the session requests.
        m_statusTimer = new QTimer(this);

        m_liveConnectTimer = new QTimer(this);
        m_liveConnectTimer->setSingleShot(true);
        connect(m_liveConnectTimer, &QTimer::timeout, this, &CModuleDevice::OnLiveConnectDue);
        m_firmwareTimer = new QTimer(this);
        m_firmwareTimer->setSingleShot(true);
        connect(m_firmwareTimer, &QTimer::timeout, this, &CModuleDevice::OnFirmwareOutputCheck);

        for (int ch = 0; ch < kChannels; ++ch)
            m_lastPicture[ch] = BlackPicture();
    }

    connect(this, &CModuleDevice::NextFrameData, this, &CModuleDevice::OnNextFrameData);
    m_connectWorker->moveToThread(&m_connectThread);
    connect(&m_connectThread, &QThread::started, m_connectWorker.get(), &NetConnect::OnConnect);
    connect(m_connectWorker.get(), &NetConnect::finished, &m_connectThread, &QThread::quit);
}

CModuleDevice::~CModuleDevice()
{
    if (m_deviceIndex < 0) {
        // Folders (and a recorder that found no slot) own no session machinery.
        if (m_liveConnectTimer)
            m_liveConnectTimer->stop();
        return;
    }

    if (IsLoggedIn())
        Disconnect();
    m_liveConnectTimer->stop();
    m_firmwareTimer->stop();
    m_connecting = false;

    for (auto& run : m_liveRun)
        run = 0;
    for (int s = 0; s < kSlots; ++s)
        m_searchRun[s] = 0;
    m_liveAudioRun = 0;
    m_playbackAudioRun = 0;
    m_sendPlaybackTimer->stop();
    m_statusTimer->stop();

    for (int n = 0; n < kSlots; ++n) {
        if (n < kChannels) {
            if (m_liveThreads[n])
                m_liveThreads[n]->WaitThread();
            m_rates[n] = kDefaultRate;
        }
        if (m_searchTimers[n])
            m_searchTimers[n]->stop();
        if (m_searchThreads[n])
            m_searchThreads[n]->WaitThread();
        m_rates[2 * kChannels + n] = kDefaultRate;
        if (n < kChannels) {
            if (m_liveDecoders[n])
                m_liveDecoders[n]->CloseDecoder();
            m_liveDecoders[n].reset();
            if (m_playbackDecoders[n])
                m_playbackDecoders[n]->CloseDecoder();
            m_playbackDecoders[n].reset();
        }
    }
    if (m_searchDecoder)
        m_searchDecoder->CloseDecoder();
    m_searchDecoder.reset();

    {
        QMutexLocker lock(&m_requestLock);
        m_requests.clear();
    }

    if (m_liveAudioThread)
        m_liveAudioThread->WaitThread();
    if (m_playbackAudioThread)
        m_playbackAudioThread->WaitThread();

    // The connections go before every buffer they were handed; nothing of theirs may reach the
    // session while it is being destroyed.
    for (CModuleNetwork* network : {m_liveNetwork.get(), m_playbackNetwork.get()}) {
        if (network)
            QObject::disconnect(network, nullptr, this, nullptr);
    }
    if (m_networkSlotDepth > 0) {
        // Destroyed from inside a signal of one of its connections: the engine is still inside
        // its socket's notification and must not be deleted under it. The connections go a
        // little later, and every buffer they were handed stays alive until both are gone.
        auto kept = std::make_shared<std::vector<std::unique_ptr<char[]>>>();
        auto keep = [&kept](std::unique_ptr<char[]>& buffer) {
            if (buffer)
                kept->push_back(std::move(buffer));
        };
        keep(m_liveFrameBuffer);
        keep(m_liveAudioBuffer);
        keep(m_consoleBuffer);
        keep(m_listBuffer);
        for (int s = 0; s < kSlots; ++s) {
            keep(m_indexBuffers[s]);
            keep(m_frameBufferA[s]);
            keep(m_blockBufferA[s]);
            keep(m_frameBufferB[s]);
            keep(m_blockBufferB[s]);
        }
        for (std::unique_ptr<CModuleNetwork>* network : {&m_liveNetwork, &m_playbackNetwork}) {
            if (CModuleNetwork* n = network->release()) {
                QObject::connect(n, &QObject::destroyed, [kept] {});
                n->deleteLater();
            }
        }
    }
    m_liveNetwork.reset();
    m_playbackNetwork.reset();

    m_liveFrameBuffer.reset();
    m_liveAudioBuffer.reset();
    m_consoleBuffer.reset();
    m_listBuffer.reset();
    for (int s = 0; s < kSlots; ++s) {
        m_indexBuffers[s].reset();
        m_frameBufferA[s].reset();
        m_blockBufferA[s].reset();
        m_frameBufferB[s].reset();
        m_blockBufferB[s].reset();
        m_minuteTables[s].reset();
    }
    m_archiveParent = nullptr;
    m_archiveKindItems.fill(nullptr);

    m_recordLive.reset();
    m_recordSearch.reset();
    m_recordEvent.reset();
    m_batchBuffer.reset();
    m_secondBuffer.reset();

    if (SessionHub* hub = SessionHub::Instance())
        hub->RemoveDevice(m_deviceIndex);
    m_deviceIndex = -1;

    m_cameraItems.fill(nullptr);
    m_emapCameraItems.fill(nullptr);
    while (childCount() > 0)
        DeleteItemTree(child(0));
}

// =============================================================================================
// Identity, entry record and status queries

SiteBook* CModuleDevice::Record() const
{
    return SiteBook::FromItem(this);
}

bool CModuleDevice::Connected() const
{
    return m_liveNetwork && IsLoggedIn();
}

QString CModuleDevice::GetDvrName() const
{
    const SiteBook* record = Record();
    return record ? record->name : QString();
}

QString CModuleDevice::GetDvrAddr() const
{
    const SiteBook* record = Record();
    return record ? record->addr : QString();
}

int CModuleDevice::GetStreamQuality() const
{
    const SiteBook* record = Record();
    return record ? record->quality : 1;
}

bool CModuleDevice::GetLoginOption() const
{
    return m_liveNetwork && m_liveNetwork->GetLoginOption();
}

bool CModuleDevice::GetChannelActive(int ch) const
{
    if (!Connected() || ch < 0)
        return false;
    if (ch >= kChannels) {
        // The playback stream's scheduler (index = channel count) answers here once the remote
        // playback scheduler exists; until then no channel beyond 15 is active.
        return false;
    }
    if (!Bit(m_maskLive.load(), ch))
        return false;
    return m_liveNetwork->IsChannelActive(ch);
}

QString CModuleDevice::GetCameraTitle(int ch) const
{
    return m_liveNetwork ? m_liveNetwork->GetCameraTitle(ch) : QString();
}

int CModuleDevice::GetChannelFps(int ch) const
{
    if (ch == m_channelCount.load() + kChannels)
        return 30;
    if (ch < 0 || ch >= int(m_rates.size())) {
        qDebug() << "GetChannelFps: no rate for" << ch;
        return kDefaultRate;
    }
    return m_rates[size_t(ch)].load();
}

QImage CModuleDevice::GetChannelImage(int ch) const
{
    if (!ValidChannel(ch))
        return QImage();
    QMutexLocker lock(&m_imageLock);
    return m_lastPicture[size_t(ch)].copy();
}

int CModuleDevice::GetAlarmOutCount() const
{
    return Connected() ? std::max(0, m_liveNetwork->GetRelayOutputCount()) : 0;
}

int CModuleDevice::GetModelCode() const
{
    if (!Connected())
        return -1;
    return m_liveNetwork->GetRawModelCode();
}

int CModuleDevice::GetModelType() const
{
    return Connected() ? m_liveNetwork->GetModelTypeIndex() : -1;
}

int CModuleDevice::GetChannelCount(int grid)
{
    if (IsLoggedIn() && m_liveNetwork) {
        m_rememberedGrid = -1;
        return m_liveNetwork->GetChannelCount();
    }
    m_rememberedGrid = grid;
    return -1;
}

bool CModuleDevice::GetMotionState(int ch) const
{
    return Connected() && Bit(m_maskLive.load(), ch) && m_liveNetwork->IsMotion(ch);
}

bool CModuleDevice::GetSensorState(int ch) const
{
    return Connected() && Bit(m_maskLive.load(), ch) && m_liveNetwork->IsSensor(ch);
}

bool CModuleDevice::GetVideoLoss(int ch) const
{
    return Connected() && Bit(m_maskLive.load(), ch) && m_liveNetwork->IsVideoLoss(ch);
}

bool CModuleDevice::GetRelayState(int n) const
{
    return Connected() && Bit(m_maskLive.load(), n) && m_liveNetwork->IsRelayOn(n);
}

bool CModuleDevice::IsPtzChannel(int ch) const
{
    return Connected() && Bit(m_maskPtz.load(), ch) && m_liveNetwork->IsPtzChannel(ch);
}

int CModuleDevice::GetScrMode(int i) const
{
    if (i < 0 || i >= kSlots) {
        qDebug() << "ScrMode error 2" << i;
        return 16;
    }
    return m_scrModes[size_t(i)];
}

void CModuleDevice::SetScrMode(int ch, int mode)
{
    if (ch < 0 || ch >= kSlots) {
        qDebug() << "ScrMode error 1" << ch;
        return;
    }
    m_scrModes[size_t(ch)] = mode;
}

int CModuleDevice::DayOfWeek(int date)
{
    const QDate day(date / 10000, (date / 100) % 100, date % 100);
    if (!day.isValid()) {
        qDebug() << "DayOfWeek: not a date" << date;
        return 0;
    }
    return day.dayOfWeek() % 7; // Qt counts Monday 1 .. Sunday 7
}

CameoRoute* CModuleDevice::GetCameoRoute(int ch)
{
    return ValidChannel(ch) ? &m_routes[size_t(ch)] : nullptr;
}

bool CModuleDevice::IsLiveWanted(int ch) const
{
    return ValidChannel(ch) && m_liveWanted[size_t(ch)].load() == 1;
}

void CModuleDevice::SetLiveWanted(int ch, bool wanted)
{
    if (ValidChannel(ch))
        m_liveWanted[size_t(ch)] = wanted ? 1 : 0;
}

bool CModuleDevice::IsLiveShown(int ch) const
{
    return ValidChannel(ch) && m_liveShown[size_t(ch)].load() == 1;
}

int CModuleDevice::GetLiveCounter(int ch) const
{
    return ValidChannel(ch) ? m_liveCounter[size_t(ch)].load() : 0;
}

bool CModuleDevice::IsEventRecordMarked(int ch) const
{
    return ValidChannel(ch) && m_eventRecordMark[size_t(ch)].load() == 1;
}

void CModuleDevice::SetEventRecordMark(int ch, bool on)
{
    if (ValidChannel(ch))
        m_eventRecordMark[size_t(ch)] = on ? 1 : 0;
}

void CModuleDevice::SetEventRecordStart(int ch, int first, int second)
{
    if (!ValidChannel(ch))
        return;
    m_eventStartFirst[size_t(ch)] = first;
    m_eventStartSecond[size_t(ch)] = second;
}

CModuleDecoder* CModuleDevice::GetLiveDecoder(int ch) const
{
    return ValidChannel(ch) ? m_liveDecoders[size_t(ch)].get() : nullptr;
}

CModuleDecoder* CModuleDevice::GetPlaybackDecoder(int ch) const
{
    return ValidChannel(ch) ? m_playbackDecoders[size_t(ch)].get() : nullptr;
}

QTreeWidgetItem* CModuleDevice::GetCameraItem(int ch) const
{
    return ValidChannel(ch) ? m_cameraItems[size_t(ch)] : nullptr;
}

const quint8* CModuleDevice::GetMinuteTable(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return nullptr;
    return m_minuteTables[size_t(slot)].get();
}

float CModuleDevice::GetEmapCameraX(int ch) const
{
    return ValidChannel(ch) ? m_emapX[size_t(ch)] : -1.0f;
}

float CModuleDevice::GetEmapCameraY(int ch) const
{
    return ValidChannel(ch) ? m_emapY[size_t(ch)] : -1.0f;
}

float CModuleDevice::GetCameraOwnX(int ch) const
{
    return ValidChannel(ch) ? m_ownX[size_t(ch)] : kOwnDefaultX;
}

float CModuleDevice::GetCameraOwnY(int ch) const
{
    return ValidChannel(ch) ? m_ownY[size_t(ch)] : kOwnDefaultY;
}

QString CModuleDevice::GetCameraEmapPath(int ch) const
{
    return ValidChannel(ch) ? m_cameraEmapPath[size_t(ch)] : QString();
}

QImage CModuleDevice::BlackPicture()
{
    QImage picture(10, 10, QImage::Format_RGB888);
    picture.fill(Qt::black);
    return picture;
}

// =============================================================================================
// Small operations

void CModuleDevice::OnUsageNetwork(qlonglong bytes)
{
    m_usage = bytes;
    emit usageData(bytes);
}

void CModuleDevice::OnNextFrameData(int /*ch*/)
{
    // Nothing emits NextFrameData; the slot has no effect.
}

void CModuleDevice::GetIntraHeader(int a, int b, int c, qlonglong offset, int size, int d, bool e)
{
    if (!m_liveNetwork)
        return;
    if (b < 0 || b >= kSlots || !m_indexBuffers[size_t(b)]) {
        qDebug() << "GetIntraHeader: no index buffer for entry" << b;
        return;
    }
    // The network module's index-header request takes the stream selection as its last value;
    // the flag e has no field in it.
    Q_UNUSED(e)
    m_liveNetwork->SendIntraHeaderRequest(a, b, c, int(quint32(quint64(offset) & 0xFFFFFFFFu)), size,
                                          m_indexBuffers[size_t(b)].get(), quint8(d));
}

void CModuleDevice::SendTalkAudio(const char* pcm, int bytes)
{
    if (!m_liveNetwork || !pcm || bytes < 2)
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
            m_liveNetwork->SendTalkAudio(encoded.data() + at, kTalkBlock);
    } else {
        m_liveNetwork->SendTalkAudio(encoded.data(), samples);
    }
}

void CModuleDevice::SendCameraTitle(int ch, const QString& title)
{
    if (m_liveNetwork)
        m_liveNetwork->SendCameraTitle(ch, title);
}

void CModuleDevice::SendBackupCapaRequest(int a, int b, int c, int d, int e)
{
    if (m_liveNetwork)
        m_liveNetwork->SendBackupCapaRequest(a, b, c, d, quint16(e), quint16(-1));
}

void CModuleDevice::LoadSiteBookInfo()
{
    const SiteBook* record = Record();
    if (!record) {
        qWarning() << "LoadSiteBookInfo: the item carries no entry record";
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
            m_ownX[n] = kOwnDefaultX;
            m_ownY[n] = kOwnDefaultY;
        } else {
            const QStringList xy = own.split(QLatin1Char(';'));
            m_ownX[n] = xy.value(0).toFloat();
            m_ownY[n] = xy.value(1).toFloat();
        }
        m_cameraEmapPath[n] = record->emapCameraPath[n];
        m_emapX[n] = 2 * n < valueCount ? positions.at(2 * n).toFloat() : -1.0f;
        m_emapY[n] = 2 * n + 1 < valueCount ? positions.at(2 * n + 1).toFloat() : -1.0f;
    }
    ResetSessionInfo();
}

void CModuleDevice::UpdateSiteBookItem(QTreeWidgetItem* item)
{
    m_emapItem = item;
    SiteBook* record = SiteBook::FromItem(item);
    if (!record) {
        qWarning() << "UpdateSiteBookItem: the item carries no entry record";
        return;
    }
    record->index = m_deviceIndex;
    record->emapPath = m_emapPath;
    SiteBook::SetOnItem(item, record);
}

void CModuleDevice::ResetSessionInfo()
{
    m_sessionText.clear();
    m_usage = 0;
    m_limitSlider = 36;
    m_limitOn = false;
    m_warningOn = false;
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
// Connection

void CModuleDevice::StartConnect(int option)
{
    if (m_deviceIndex < 0)
        return;
    const int purpose = option < PurposeDelayed ? option : int(PurposeSilent);
    m_connectPurpose = purpose;
    if (IsLoggedIn()) {
        if (purpose != PurposeSilent)
            OnConnectionOption(purpose);
        return;
    }
    if (option >= PurposeDelayed) {
        QTimer::singleShot(option - 500, this, &CModuleDevice::timerOnConnect);
        return;
    }
    if (purpose != PurposeFavorite && purpose != PurposeEmapRefresh && purpose != PurposeAccount
        && purpose != PurposeFirmware) {
        if (SessionHub* hub = SessionHub::Instance())
            hub->ShowMessageBox(QStringLiteral("DVR Connection"), QStringLiteral("Network Connecting..."), QString());
    }
    QTimer::singleShot(kConnectBoxDelayMs, this, &CModuleDevice::timerOnConnect);
}

void CModuleDevice::timerOnConnect()
{
    if (m_deviceIndex < 0)
        return;
    if (IsLoggedIn() || m_connecting) {
        qDebug() << GetDvrName() << "connect already done or under way";
        return;
    }
    const SiteBook* record = Record();
    if (!record) {
        qWarning() << "timerOnConnect: the item carries no entry record";
        m_connectResult = ConnectFailed;
        return;
    }
    m_maskLive = quint32(record->permissionLive);
    m_maskSearch = quint32(record->permissionSearch);
    m_maskBackup = quint32(record->permissionBackup);
    m_maskPtz = quint32(record->permissionPtz);
    m_maskConfig = record->permissionConfig ? 1 : 0;
    const bool tls = record->use_ssl != 0;
    m_playbackInfo = 0;

    CreateNetworkModules(*record, tls);

    bool ok = false;
    const int port = record->port.trimmed().toInt(&ok, 10);
    if (!ok)
        qDebug() << GetDvrName() << "port is not a number:" << record->port;
    m_liveNetwork->SetConnectInfo(record->addr, ok ? port : 0, record->id, record->password, tls);
    m_playbackNetwork->SetConnectInfo(record->addr, ok ? port : 0, record->id, record->password, tls);
    m_tlsConnect = tls;
    OnConnectThread();
}

void CModuleDevice::CreateNetworkModules(const SiteBook& record, bool tls)
{
    const int inert = record.kind.toInt();
    if (!m_playbackNetwork) {
        m_playbackNetwork = std::make_unique<CModuleNetwork>(inert, m_deviceIndex, tls);
        CModuleNetwork* p = m_playbackNetwork.get();
        connect(p, &CModuleNetwork::SetNetworkState, this, &CModuleDevice::OnNetworkStateS);
        ConnectMediaIntake(p, true); // media pipeline
        // The playback intake (frame header, frame data, playback video and audio) is wired
        // here together with its slots.
    }
    if (!m_liveNetwork) {
        m_liveNetwork = std::make_unique<CModuleNetwork>(inert, m_deviceIndex, tls);
        CModuleNetwork* l = m_liveNetwork.get();
        connect(l, &CModuleNetwork::SetNetworkState, this, &CModuleDevice::OnNetworkState);
        connect(l, &CModuleNetwork::SetUsageNetwork, this, &CModuleDevice::OnUsageNetwork);
        ConnectMediaIntake(l, false); // media pipeline
        ConnectListIntake(l); // requests and lists
        // The live, playback, list, index, frame, backup media and settings intake is wired
        // here together with its slots.
    }
}

void CModuleDevice::OnConnectThread()
{
    if (!m_playbackNetwork || !m_liveNetwork || m_connecting)
        return;
    m_connecting = true;
    m_playbackNetwork->OnConnect();
    // The live connection follows half a second later, driven by a timer of the session (which
    // goes with the session), so no nested event loop runs inside this handler.
    m_liveConnectTimer->start(kLiveConnectDelayMs);
}

void CModuleDevice::OnLiveConnectDue()
{
    if (!m_connecting || !m_liveNetwork)
        return;
    QPointer<CModuleDevice> self(this);
    const bool ok = m_liveNetwork->OnConnect();
    if (!self)
        return;
    m_connecting = false;
    if (ok) {
        m_connectResult = ConnectDone;
    } else {
        ReportConnectFailure();
        m_connectResult = ConnectFailed;
    }
    emit finished();
}

void CModuleDevice::PlaceNextFavoriteCell()
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->ContinueFavorite();
}

void CModuleDevice::ReportConnectFailure()
{
    SessionHub* hub = SessionHub::Instance();
    switch (m_connectPurpose) {
    case PurposeFavorite:
        PlaceNextFavoriteCell();
        break;
    case PurposeEmapRefresh:
        // The active e-map window refreshes its cameras once the e-map window exists.
        break;
    case PurposeAccount:
        SetAccountState(-1);
        break;
    case PurposeFirmware:
        SetFirmwareState(-1);
        break;
    case PurposeSilent:
        qDebug() << GetDvrName() << "connect fail";
        break;
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
    m_playbackGrid = -1;
    for (int ch = 0; ch < kChannels; ++ch) {
        m_routes[ch].Reset();
        m_lastFrame[ch] = -1;
    }
    // A live connect still waiting for its turn is called off.
    if (m_liveConnectTimer)
        m_liveConnectTimer->stop();
    m_connecting = false;

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
    if (!self)
        return result;
    m_playbackInfo = 0;
    return result;
}

void CModuleDevice::OnConnectionOption(int purpose)
{
    QThread::msleep(100);
    SessionHub* hub = SessionHub::Instance();
    switch (purpose) {
    case PurposeLive:
    case PurposeCellLive: {
        const int n = m_liveNetwork ? std::min(m_liveNetwork->GetChannelCount(), int(kChannels)) : 0;
        for (int ch = 0; ch < n; ++ch)
            m_liveWanted[ch] = 1;
        OnLiveStart(0);
        break;
    }
    case PurposeRemoteConfig:
        if (hub)
            hub->ShowMessageBox(QStringLiteral("Remote Configuration"),
                                QStringLiteral("Information Loading\nPress CLOSE or ESC to cancel"), QString());
        if (!m_liveNetwork || !m_liveNetwork->GetLoginOption()) {
            if (hub) {
                hub->ShowMessageBox(QString(), QStringLiteral("Don't have permision."), QStringLiteral("stop"));
            }
        } else if (m_liveNetwork->IsFirmware328() && m_maskConfig.load() == 1) {
            // Compared as one version number: 4.05 is later than 3.28.
            m_liveNetwork->RequestConfigFile(99);
        } else if (hub) {
            hub->ShowMessageBox(QString(), QStringLiteral("Not Support"), QStringLiteral("stop"));
        }
        // A configuration console showing this recorder leaves console mode here
        // (ConfigView::stopRemoteConsole) once the console window exists.
        break;
    case PurposePlayback:
    case PurposeCellPlayback: {
        if (hub)
            hub->ShowMessageBox(QStringLiteral("Remote Playback"), QStringLiteral("Information Loading"), QString());
        const int n = m_liveNetwork ? std::min(m_liveNetwork->GetChannelCount(), int(kChannels)) : 0;
        quint32 search = m_maskSearch.load();
        for (int ch = 0; ch < n; ++ch) {
            if (!m_liveNetwork->GetLoginMaskBit(2, ch))
                search &= ~(1u << ch);
        }
        m_maskSearch = search;
        if (search == 0) {
            if (hub) {
                hub->ShowMessageBox(QString(), QStringLiteral("No Playback permission."), QStringLiteral("stop"));
                hub->OnDeviceDisconnected(m_deviceIndex, 1);
            }
        } else {
            if (purpose == PurposePlayback) {
                m_playbackMode = -1;
                m_playbackSpeed = -1;
            }
            m_liveNetwork->SendConsoleLock(0);
        }
        break;
    }
    case PurposeFavorite:
        PlaceNextFavoriteCell();
        break;
    case PurposeEmapOpen:
        // The active e-map window opens this recorder's map and places its cameras
        // (EmapView::openEmap, EmapView::createDeviceCamera) once the e-map window exists.
        break;
    case PurposeEmapRefresh:
        // The active e-map window refreshes its cameras once the e-map window exists.
        break;
    case PurposeAccount:
        if (!m_liveNetwork || !m_liveNetwork->GetLoginOption()) {
            SetAccountState(-2);
        } else {
            SetAccountState(1);
            m_liveNetwork->RequestConfigFile(0);
        }
        break;
    case PurposeFirmware:
        if (!m_liveNetwork || !m_liveNetwork->GetLoginOption())
            SetFirmwareState(-2);
        else
            StartFirmwarePreparation();
        break;
    default:
        break;
    }
}

void CModuleDevice::SetFirmwareState(int code)
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->SetFirmwareState(code);
}

void CModuleDevice::SetAccountState(int code)
{
    if (SessionHub* hub = SessionHub::Instance())
        hub->SetAccountManagerState(code);
}

// ---------------------------------------------------------------------------------------------
// Firmware preparation: the firmware tool turns the chosen file into the recorder's package.

void CModuleDevice::StartFirmwarePreparation()
{
    SessionHub* hub = SessionHub::Instance();
    if (!hub)
        return;
    // Only recorders whose model takes the package through the firmware tool need it converted;
    // every other recorder takes the chosen file as it is.
    const bool toolModel = m_liveNetwork && m_liveNetwork->IsFirmwareToolModel();
    if (!toolModel) {
        SetFirmwareState(2);
        return;
    }
    SetFirmwareState(1);
    const QString dir = hub->ProgramDirectory();
    m_firmwareOutput = dir + QStringLiteral("/TempUpgrade/dvr_upgrade_auto.zip");
    const QStringList arguments{hub->FirmwarePath(), dir};
    qDebug() << "Firmware tool:" << dir + QStringLiteral("/Firmware.exe") << arguments;
    qDebug() << "Firmware output:" << m_firmwareOutput;
    QFile::remove(m_firmwareOutput);
    const int result = platform::Process::Execute(QStringLiteral("Firmware.exe"), arguments, dir);
    hub->SetFirmwarePath(m_firmwareOutput);
    if (result == platform::Process::kNotStarted) {
        FinishFirmware(-3);
        return;
    }
    m_firmwareAttempts = 0;
    OnFirmwareOutputCheck();
}

void CModuleDevice::OnFirmwareOutputCheck()
{
    // The firmware manager's cancel flag is read here once the hub keeps it.
    QFile output(m_firmwareOutput);
    if (output.open(QIODevice::ReadOnly) && output.size() > 0) {
        output.close();
        FinishFirmware(2);
        return;
    }
    if (++m_firmwareAttempts >= kFirmwareAttempts) {
        FinishFirmware(-3);
        return;
    }
    m_firmwareTimer->start(kFirmwareWaitMs);
}

void CModuleDevice::FinishFirmware(int code)
{
    m_firmwareTimer->stop();
    SetFirmwareState(code);
}

// =============================================================================================
// Network state handling

void CModuleDevice::OnNetworkState(int state)
{
    if (m_deviceIndex < 0)
        return;
    NetworkSlotGuard inSlot(this, m_networkSlotDepth);
    switch (state) {
    case 1:
        m_socketConnected = 1;
        break;
    case 2:
        OnLoggedIn();
        break;
    case 3:
        OnStatusRefreshed();
        break;
    case -1:
        OnDisconnected();
        break;
    default:
        break;
    }
}

void CModuleDevice::OnLoggedIn()
{
    SessionHub* hub = SessionHub::Instance();
    const int purpose = m_connectPurpose;

    // 1. Message box.
    if (purpose != PurposeFavorite && purpose != PurposeEmapRefresh && hub) {
        hub->ShowMessageBox(QString(), QStringLiteral("Login success"), QString());
        if (purpose == PurposeConnect || purpose == PurposeLive)
            hub->ShowMessageBox(QString(), QString(), QStringLiteral("auto"));
        else if (purpose == PurposeSilent)
            qDebug() << GetDvrName() << "connect success";
        else
            hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
    }

    // 2. The audio threads (THREAD_LIVE_AUDIO, THREAD_PLAYBACK_AUDIO) start here together with
    // the session thread procedures.
    m_playbackActive = 0;

    // 3. Request pacing.
    m_requestsInFlight = 0;
    m_museumMode = 0;
    m_thumbnailMode = 0;
    m_quickMode = 0;
    m_searchTimers[0]->stop();
    m_searchTimers[0]->start(kTimerIntervalMs);
    m_sendPlaybackTimer->stop();
    m_sendPlaybackTimer->start(kTimerIntervalMs);

    // 4. The hidden health check dialog is made and named here once it exists.

    // 5. Channel count; the event, schedule and remote media backup hosts are made here once
    // they exist.
    const int n = std::clamp(m_liveNetwork->GetChannelCount(), 0, int(kChannels));
    m_channelCount = n;

    // 6, 7. Decoders (the live and search threads start with the session thread procedures).
    for (int ch = 0; ch < n; ++ch) {
        m_liveWanted[ch] = 0;
        m_liveDrop[ch] = 0;
        if (!m_liveDecoders[ch]) {
            m_liveDecoders[ch] = std::make_unique<CModuleDecoder>();
            m_liveDecoders[ch]->OpenDecoder();
        }
        if (!m_playbackDecoders[ch]) {
            m_playbackDecoders[ch] = std::make_unique<CModuleDecoder>();
            m_playbackDecoders[ch]->OpenDecoder();
        }
        m_liveRecordMark[ch] = 0;
        m_searchRecordMark[ch] = 0;
        m_eventRecordMark[ch] = 0;
        m_streamCode[ch] = 0;
    }
    if (!m_searchDecoder) {
        m_searchDecoder = std::make_unique<CModuleDecoder>();
        m_searchDecoder->OpenDecoder();
    }

    // 8. Permissions: keep only what the recorder grants in its login reply.
    quint32 live = m_maskLive.load(), ptz = m_maskPtz.load(), search = m_maskSearch.load(),
            backup = m_maskBackup.load();
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
    m_maskLive = live;
    m_maskPtz = ptz;
    m_maskSearch = search;
    m_maskBackup = backup;
    m_maskConfig = (m_maskConfig.load() == 1 && (m_liveNetwork->GetLoginLevel() & 0x10) != 0) ? 1 : 0;

    // 9. Channel items.
    const int recorderIndex = m_deviceIndex;
    for (int ch = 0; ch < n; ++ch) {
        if (Bit(live, ch)) {
            const QString title = GetCameraTitle(ch);
            if (!m_cameraItems[ch]) {
                QTreeWidgetItem* item = NewRecordItem(this, QStringLiteral("camera"), title, QString(), QString());
                SiteBook* record = SiteBook::FromItem(item);
                record->index = recorderIndex;
                record->channel = ch;
                m_cameraItems[ch] = item;
            }
            if (m_emapItem && !m_emapCameraItems[ch]) {
                QTreeWidgetItem* item = NewRecordItem(m_emapItem, QStringLiteral("cameraEmap"), title, QString(),
                                                      QStringLiteral(":/res/Resource/5.png"));
                SiteBook* record = SiteBook::FromItem(item);
                record->index = recorderIndex;
                record->channel = ch;
                m_emapCameraItems[ch] = item;
            }
            const QIcon& icon = m_liveNetwork->IsVideoLoss(ch)        ? m_iconCameraLoss
                                : m_liveNetwork->IsChannelActive(ch) ? m_iconCamera
                                                                     : m_iconCameraOff;
            m_cameraItems[ch]->setIcon(0, icon);
        }
    }
    {
        QMutexLocker lock(&m_imageLock);
        for (int ch = 0; ch < n; ++ch)
            m_lastPicture[ch] = BlackPicture();
    }

    // 10. Receive buffers (the playback schedulers are made here once they exist). They are
    // handed to both connections: the playback connection keeps running while the live one
    // reconnects, and it was told to drop them when they were released.
    for (int slot = 0; slot <= n; ++slot) {
        AllocateSlotBuffers(slot);
        RegisterSlotBuffers(m_liveNetwork.get(), slot);
        if (m_playbackNetwork && m_playbackNetwork->IsConnected())
            RegisterSlotBuffers(m_playbackNetwork.get(), slot);
    }

    CreateSchedulers(); // media pipeline

    // 11. Session buffers.
    if (!m_liveFrameBuffer)
        m_liveFrameBuffer.reset(new char[kLiveFrameBufferSize]());
    if (!m_liveAudioBuffer)
        m_liveAudioBuffer.reset(new char[kLiveAudioBufferSize]());
    if (!m_consoleBuffer)
        m_consoleBuffer.reset(new char[kConsoleBufferSize]());
    if (!m_listBuffer)
        m_listBuffer.reset(new char[kListBufferSize]());

    // 12. Logged in.
    m_loggedIn = 1;
    m_socketConnected = 0;
    m_liveAudioChannel = -1;
    setIcon(0, m_iconDvr);

    StartMediaThreads(); // media pipeline

    // 13. Wanted channels.
    for (int ch = 0; ch < n; ++ch) {
        const bool permitted = Bit(live, ch);
        m_liveWanted[ch] = permitted ? 1 : 0;
        m_hasPicture[ch] = permitted ? 0 : 1;
    }

    // 14. Live start at one frame per second, then what the connect was asked for.
    QPointer<CModuleDevice> self(this);
    OnLiveStart(1);
    OnConnectionOption(purpose);
    if (!self)
        return;

    // 15. The grid that asked for the channel count before the login takes the recorder.
    if (m_rememberedGrid != -1) {
        const int gridIndex = m_rememberedGrid;
        m_rememberedGrid = -1;
        if (SessionHub* hub = SessionHub::Instance())
            hub->GridTakesRecorder(gridIndex, n, m_deviceIndex, purpose == PurposeCellLive);
        if (!self)
            return;
    }

    // 16.
    if (SessionHub* h = SessionHub::Instance())
        h->OnDeviceConnected(m_deviceIndex, 0);
}

void CModuleDevice::OnStatusRefreshed()
{
    if (!m_liveNetwork)
        return;
    const int n = m_channelCount.load();
    const quint32 live = m_maskLive.load();
    for (int ch = 0; ch < n; ++ch) {
        m_streamCode[ch] = m_liveNetwork->GetCameraKind(ch);
        QTreeWidgetItem* item = m_cameraItems[ch];
        if (!Bit(live, ch) || !item)
            continue;
        const bool active = m_liveNetwork->IsChannelActive(ch);
        const QIcon& icon = m_liveNetwork->IsVideoLoss(ch)                 ? m_iconCameraLoss
                            : (active && m_liveNetwork->IsMotion(ch)) ? m_iconCameraEvent
                            : active                                     ? m_iconCamera
                                                                         : m_iconCameraOff;
        item->setIcon(0, icon);
    }
    // The health record (motion, sensor, relay, status, video loss, storage, chipset and fan
    // values) goes to the health check dialog here once it exists.
}

void CModuleDevice::OnDisconnected()
{
    SessionHub* hub = SessionHub::Instance();
    const bool loggedIn = IsLoggedIn();
    if (!loggedIn)
        qDebug() << GetDvrName() << "login fail";

    if (m_socketConnected.load()) {
        m_socketConnected = 0;
        ReportLoginFailure();
    } else if (loggedIn) {
        // A configuration console showing this recorder is told here (ConfigView::OnDisconnected)
        // once the console window exists.
        if (m_connectPurpose == PurposeAccount)
            SetAccountState(3);
        else if (m_connectPurpose == PurposeFirmware)
            SetFirmwareState(4);
    }
    if (!loggedIn)
        return;

    // 1.
    m_loggedIn = 0;
    m_socketConnected = 0;
    m_liveAudioRun = 0;
    m_playbackAudioRun = 0;

    // 2. Search progress boxes of this recorder close (the museum and thumbnail dialogs are
    // reset and cancelled here once they exist).
    const struct {
        std::atomic<quint8>* flag;
        const char* title;
    } searches[] = {{&m_museumMode, "Museum Search"}, {&m_thumbnailMode, "Thumbnail Search"}, {&m_quickMode, "Time Search"}};
    for (const auto& s : searches) {
        if (s.flag->load()) {
            if (hub && hub->MessageTitle() == QLatin1String(s.title))
                hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
            *s.flag = 0;
        }
    }

    // 3.
    m_playbackGrid = -1;
    // The buffers go below: neither connection may write into them any more (the live one forgot
    // them with its disconnect, the playback one may still be up).
    for (CModuleNetwork* network : {m_playbackNetwork.get(), m_liveNetwork.get()}) {
        if (network)
            network->DropBuffers();
    }

    // 4. Channels: threads are told to stop and joined before their decoders go.
    for (int ch = 0; ch < kChannels; ++ch) {
        m_liveWanted[ch] = 0;
        m_routes[ch].Reset();
        {
            QMutexLocker lock(&m_imageLock);
            m_lastPicture[ch] = BlackPicture();
        }
        m_liveDrop[ch] = 0;
        m_liveRun[ch] = 0;
        m_searchRun[ch] = 0;
        ReleaseSlotBuffers(ch);
        if (m_liveThreads[ch])
            m_liveThreads[ch]->WaitThread();
        if (m_liveDecoders[ch])
            m_liveDecoders[ch]->CloseDecoder();
        m_liveDecoders[ch].reset();
        if (m_searchThreads[ch])
            m_searchThreads[ch]->WaitThread();
        if (m_playbackDecoders[ch])
            m_playbackDecoders[ch]->CloseDecoder();
        m_playbackDecoders[ch].reset();
        m_liveRecordMark[ch] = 0;
        m_searchRecordMark[ch] = 0;
        m_eventRecordMark[ch] = 0;
    }

    // 5. The search slot.
    if (m_searchDecoder)
        m_searchDecoder->CloseDecoder();
    m_searchDecoder.reset();
    m_searchRun[kChannels] = 0;
    ReleaseSlotBuffers(kChannels);
    if (m_searchThreads[kChannels])
        m_searchThreads[kChannels]->WaitThread();

    // 6.
    m_liveFrameBuffer.reset();
    m_liveAudioBuffer.reset();
    m_consoleBuffer.reset();
    m_listBuffer.reset();

    // 7. Channel items (left alone while the whole window goes).
    if (!hub || !hub->IsClosing())
        DeleteChannelItems();

    // 8.
    setIcon(0, m_iconDvrDisable);
    m_playbackActive = 0;
    m_liveAudioChannel = -1;
    qDebug() << "disconnect 2";
    if (hub)
        hub->OnDeviceDisconnected(m_deviceIndex, 0);
    qDebug() << "disconnect 3";
}

void CModuleDevice::ReportLoginFailure()
{
    const bool loginReplied = m_liveNetwork && m_liveNetwork->GetLoginDone();
    if (!loginReplied && m_tlsConnect && !(m_liveNetwork && m_liveNetwork->IsTlsHandshakeDone())) {
        // Under TLS the socket counts as connected before the handshake: a connection that ends
        // before its handshake completed never reached the recorder, so it is a failed connect.
        qDebug() << GetDvrName() << "TLS connection ended during the handshake";
        ReportConnectFailure();
        m_connectResult = ConnectFailed;
        return;
    }
    if (m_connectPurpose == PurposeAccount) {
        SetAccountState(-1);
        return;
    }
    if (m_connectPurpose == PurposeFirmware) {
        SetFirmwareState(-1);
        return;
    }
    // No login reply at all: the recorder took the connection but serves no more clients. A
    // recorder whose model the client does not serve is dropped after its model information.
    const QString text = !loginReplied ? QStringLiteral("Connection full")
                         : m_liveNetwork->GetModelCheck() == -2 ? QStringLiteral("Not Support")
                                                                : QStringLiteral("Login fail");
    if (SessionHub* hub = SessionHub::Instance()) {
        hub->ShowMessageBox(QString(), text, QString());
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("stop"));
    }
}

void CModuleDevice::OnNetworkStateS(int state)
{
    if (m_deviceIndex < 0 || state != 2 || !m_playbackNetwork)
        return;
    NetworkSlotGuard inSlot(this, m_networkSlotDepth);
    const int n = std::clamp(m_playbackNetwork->GetChannelCount(), 0, int(kChannels));
    for (int slot = 0; slot <= n; ++slot) {
        AllocateSlotBuffers(slot);
        RegisterSlotBuffers(m_playbackNetwork.get(), slot);
    }
}

void CModuleDevice::AllocateSlotBuffers(int slot)
{
    if (slot < 0 || slot >= kSlots)
        return;
    if (!m_indexBuffers[slot])
        m_indexBuffers[slot].reset(new char[kIndexBufferSize]());
    if (!m_frameBufferA[slot])
        m_frameBufferA[slot].reset(new char[kFrameBufferSize]());
    if (!m_blockBufferA[slot])
        m_blockBufferA[slot].reset(new char[kBlockBufferSize]());
    if (!m_frameBufferB[slot])
        m_frameBufferB[slot].reset(new char[kFrameBufferSize]());
    if (!m_blockBufferB[slot])
        m_blockBufferB[slot].reset(new char[kBlockBufferSize]());
}

void CModuleDevice::RegisterSlotBuffers(CModuleNetwork* network, int slot)
{
    if (!network || slot < 0 || slot >= kSlots)
        return;
    network->SetFrameBuffers(slot, m_blockBufferA[slot].get(), m_frameBufferA[slot].get(),
                             m_blockBufferB[slot].get(), m_frameBufferB[slot].get());
}

void CModuleDevice::ReleaseSlotBuffers(int slot)
{
    if (slot < 0 || slot >= kSlots)
        return;
    // Both connections forget the buffers first (the playback connection usually stays up), so
    // nothing is written into them once they are freed.
    for (CModuleNetwork* network : {m_playbackNetwork.get(), m_liveNetwork.get()}) {
        if (network)
            network->SetFrameBuffers(slot, nullptr, nullptr, nullptr, nullptr);
    }
    m_frameBufferA[slot].reset();
    m_blockBufferA[slot].reset();
    m_frameBufferB[slot].reset();
    m_blockBufferB[slot].reset();
    // The connections were told to drop the index buffers with all others before the teardown.
    m_indexBuffers[slot].reset();
}

void CModuleDevice::DeleteChannelItems()
{
    // Only the items this session made: the site book's own children ("Archive", "Emap") and
    // everything under them belong to the site book.
    for (int ch = 0; ch < kChannels; ++ch) {
        DeleteItemTree(m_cameraItems[ch]);
        m_cameraItems[ch] = nullptr;
        DeleteItemTree(m_emapCameraItems[ch]);
        m_emapCameraItems[ch] = nullptr;
    }
}

QTreeWidgetItem* CModuleDevice::NewRecordItem(QTreeWidgetItem* parent, const QString& kind, const QString& name,
                                              const QString& path, const QString& icon)
{
    auto* record = new SiteBook();
    record->kind = kind;
    record->name = name;
    record->path = path;
    auto* item = new QTreeWidgetItem(parent, QTreeWidgetItem::Type);
    SiteBook::SetOnItem(item, record);
    item->setText(0, name);
    if (!icon.isEmpty())
        item->setIcon(0, QIcon(icon));
    return item;
}

// =============================================================================================
// Live

bool CModuleDevice::OnLiveStart(int mode)
{
    if (!IsLoggedIn() || !m_liveNetwork)
        return false;
    const int n = std::clamp(m_liveNetwork->GetChannelCount(), 0, int(kChannels));
    const SiteBook* record = Record();
    const int quality = record ? record->quality : 1;
    const quint32 live = m_maskLive.load();

    int shown = 0;
    for (int c = 0; c < kChannels; ++c) {
        if (c >= n || !Bit(live, c)) {
            m_liveWanted[c] = 0;
            m_liveShown[c] = 0;
        } else if (m_liveWanted[c].load() != 1) {
            m_liveShown[c] = 0;
        } else if (mode == 1) {
            m_liveShown[c] = 0;
            ++shown;
        } else if (m_routes[c].liveGrid.load() == -1 || m_routes[c].liveCell.load() == -1) {
            m_liveShown[c] = 0;
        } else {
            m_liveShown[c] = 1;
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
        if (m_liveWanted[c].load() != 1)
            continue;
        m_rates[c] = rate;
        m_liveCounter[c] = 0;
        m_liveNetwork->SendLiveStart(c, rate, code, m_liveFrameBuffer.get(), mode != 1);
        qDebug() << "---------------------> Live start" << c << shown << quality << rate << code;
    }
    return true;
}

bool CModuleDevice::OnLiveStop(int ch)
{
    qDebug() << "Live Stop" << ch;
    if (!IsLoggedIn() || !m_liveNetwork)
        return false;
    const int n = std::clamp(m_liveNetwork->GetChannelCount(), 0, int(kChannels));
    if (ch < 0 || ch >= n)
        return false;
    m_liveWanted[ch] = 0;
    m_liveThreadBytes[ch] = 0;
    m_liveCounter[ch] = 0;
    m_liveRecordMark[ch] = 0;
    m_liveNetwork->SendLiveStop(ch);
    qDebug() << "live status" << ch << m_liveWanted[ch].load();
    QThread::msleep(10);
    return true;
}

bool CModuleDevice::StartLiveAudio(int ch)
{
    if (!m_liveNetwork || !IsLoggedIn())
        return false;
    if (!ValidChannel(ch) || !m_liveAudioBuffer) {
        qDebug() << "StartLiveAudio: no channel" << ch;
        return false;
    }
    m_liveNetwork->SendLiveAudioStop();
    m_liveAudioChannel = -1;
    if (SessionHub* hub = SessionHub::Instance())
        hub->SetAudioDeviceIndex(m_deviceIndex);
    m_liveNetwork->SendLiveAudioStart(ch, m_liveAudioBuffer.get());
    m_liveAudioChannel = ch;
    return true;
}

bool CModuleDevice::StopLiveAudio()
{
    if (!m_liveNetwork || !IsLoggedIn())
        return false;
    m_liveNetwork->SendLiveAudioStop();
    m_liveAudioChannel = -1;
    return true;
}

// =============================================================================================
// Recording folders and archive items

QString CModuleDevice::RecordingFolder(const QString& kind) const
{
    const SessionHub* hub = SessionHub::Instance();
    const QString base = hub ? hub->ProgramDirectory() : QDir::currentPath();
    return base + QStringLiteral("/backup/") + kind + QLatin1Char('/')
           + ModuleRecord::SafePathComponent(GetDvrName());
}

void CModuleDevice::StartSearchRecord(int ch, int a, int b)
{
    if (!ValidChannel(ch))
        return;
    m_recordSearch->StartRecord(ch, a, b, RecordingFolder(QStringLiteral("Record_Search")) + QLatin1Char('/'),
                                m_deviceIndex, ModuleRecord::RecordSearch);
}

void CModuleDevice::StartEventRecord(int ch)
{
    if (!ValidChannel(ch) || m_eventRecordMark[ch].load() != 1)
        return;
    m_recordEvent->StartRecord(ch, m_eventStartFirst[ch], m_eventStartSecond[ch],
                               RecordingFolder(QStringLiteral("EventData")) + QLatin1Char('/'), m_deviceIndex,
                               ModuleRecord::EventData);
}

QTreeWidgetItem* CModuleDevice::GetArchiveKindItem(const QString& kind) const
{
    const int i = ArchiveKindIndex(kind);
    return i < 0 ? nullptr : m_archiveKindItems[size_t(i)];
}

void CModuleDevice::UpdateArchiveItems(QTreeWidgetItem* archiveParent, int kind)
{
    if (archiveParent && archiveParent != m_archiveParent) {
        // Kind items hang under the archive parent they were made for.
        m_archiveParent = archiveParent;
        m_archiveKindItems.fill(nullptr);
        for (int i = 0; i < archiveParent->childCount(); ++i) {
            QTreeWidgetItem* child = archiveParent->child(i);
            const SiteBook* record = SiteBook::FromItem(child);
            const int k = ArchiveKindIndex(child->text(0));
            if (record && record->kind == QLatin1String("archiveBackup") && k >= 0)
                m_archiveKindItems[size_t(k)] = child;
        }
    }
    QTreeWidgetItem* parent = m_archiveParent;
    if (!parent)
        return;
    static const char* const byKind[7] = {nullptr,          "BackupData", "Record_Live", "Record_Search",
                                          "SnapShot",       "EventData",  "ScheduleData"};
    if (kind == 0) {
        for (const char* name : kArchiveKinds)
            UpdateArchiveFolder(QLatin1String(name), parent);
    } else if (kind >= 1 && kind <= 6) {
        UpdateArchiveFolder(QLatin1String(byKind[kind]), parent);
    }
}

void CModuleDevice::UpdateArchiveFolder(const QString& kind, QTreeWidgetItem* archiveParent)
{
    const int k = ArchiveKindIndex(kind);
    if (k < 0 || !archiveParent)
        return;
    QTreeWidgetItem*& kindItem = m_archiveKindItems[size_t(k)];
    if (!kindItem) {
        kindItem = NewRecordItem(archiveParent, QStringLiteral("archiveBackup"), kind, QString(),
                                 QStringLiteral(":/res/Resource/4_Normal.png"));
    } else {
        SiteBook* record = SiteBook::FromItem(kindItem);
        if (record) {
            record->kind = QStringLiteral("archiveBackup");
            record->name = kind;
        }
        kindItem->setIcon(0, QIcon(QStringLiteral(":/res/Resource/4_Normal.png")));
        kindItem->setText(0, kind);
    }
    for (int i = kindItem->childCount() - 1; i >= 0; --i)
        DeleteItemTree(kindItem->child(i));

    const QString listed = RecordingFolder(kind);
    const bool snapshot = kind == QLatin1String("SnapShot");
    const QFileInfoList entries = QDir(listed).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                             QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        QTreeWidgetItem* folderItem =
            NewRecordItem(kindItem, snapshot ? QStringLiteral("archiveFolder_SnapShot") : QStringLiteral("archiveFolder"),
                          name, listed + QLatin1Char('/') + name, QStringLiteral(":/res/Resource/seldate.png"));
        AddArchiveFiles(entry.absoluteFilePath(), kind, name, folderItem);
    }
}

void CModuleDevice::AddArchiveFiles(const QString& folderPath, const QString& kind, const QString& folderName,
                                    QTreeWidgetItem* folderItem)
{
    Q_UNUSED(folderPath)
    if (!folderItem)
        return;
    const QString day = ModuleRecord::SafePathComponent(folderName);
    if (day != folderName) {
        qDebug() << "AddArchiveFiles: not a folder name" << folderName;
        return;
    }
    const QString folder = RecordingFolder(kind) + QLatin1Char('/') + day + QLatin1Char('/');
    const bool snapshot = kind == QLatin1String("SnapShot");
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        const QString name = file.fileName();
        if (snapshot) {
            NewRecordItem(folderItem, QStringLiteral("archiveSnapshot"), name, folder + name,
                          QStringLiteral(":/res/Resource/snap.png"));
            continue;
        }
        if (!name.startsWith(QLatin1Char('h')) || name.endsWith(QLatin1String(".mp4"))
            || name.endsWith(QLatin1String(".avi")))
            continue;
        NewRecordItem(folderItem, QStringLiteral("archiveData"), name, folder + name,
                      QStringLiteral(":/res/Resource/archive.png"));
    }
}

// =============================================================================================
// Playback frame requests

void CModuleDevice::QueueFrameData(int ch, int file, qint64 offset, int size, int requestKind)
{
    PlaybackRequest r;
    r.channel = ch;
    r.frameByte = file;
    r.offset = offset;
    r.size = size == 0 ? 1 : size;
    r.kind = 0;
    r.requestNumber = requestKind;
    QMutexLocker lock(&m_requestLock);
    m_requests.push_back(r);
}

void CModuleDevice::QueueFrameHeader(int ch, int file, qint64 offset, int size, int requestKind)
{
    PlaybackRequest r;
    r.channel = ch;
    r.frameByte = file;
    r.offset = offset;
    r.size = size;
    r.kind = 1;
    r.requestNumber = requestKind;
    QMutexLocker lock(&m_requestLock);
    m_requests.push_back(r);
}

void CModuleDevice::LowerFrameRequestCount()
{
    int n = m_requestsInFlight.load();
    while (n > 0 && !m_requestsInFlight.compare_exchange_weak(n, n - 1)) {
    }
}

int CModuleDevice::GetQueuedRequestCount() const
{
    QMutexLocker lock(&m_requestLock);
    return int(m_requests.size());
}

void CModuleDevice::timerPlayback01()
{
    if (m_deviceIndex < 0)
        return;
    const int n = std::min(m_channelCount.load(), int(kChannels));
    for (int ch = 0; ch <= n; ++ch) {
        if (m_nextSearchFrame[ch].load() != 1)
            continue;
        if (!m_playbackActive.load() || !IsLoggedIn())
            break;
        m_nextSearchFrame[ch] = 0;
        // The thumbnail scheduler (thumbnail search on), else the museum scheduler (museum
        // search on), acts on the search step code here once the remote playback scheduler
        // exists: -15, -115, -25, -125 or -2 fetch its next frame, 0 or more request playback.
    }
}

int CModuleDevice::WriteBatchEntries(const PlaybackRequest& r, int at)
{
    const quint32 tag = quint32(r.requestNumber * 1000 + r.channel + (r.kind == 0 ? 100 : 0));
    int written = 0;
    int start = 0;
    do {
        const int length = std::min(kBatchPieceSize, r.size - start);
        char* e = m_batchBuffer.get() + size_t(at + written) * kBatchEntrySize;
        PutLe32(e, tag);
        e[4] = char(r.frameByte & 0xFF);
        e[5] = char(length & 0xFF);
        e[6] = char((length >> 8) & 0xFF);
        e[7] = char((length >> 16) & 0xFF);
        const quint64 offset = quint64(r.offset + start);
        PutLe32(e + 8, quint32(offset & 0xFFFFFFFFu));
        PutLe32(e + 12, quint32(offset >> 32));
        PutLe32(e + 16, quint32(start));
        PutLe32(e + 20, quint32(r.size));
        ++written;
        start += kBatchPieceSize;
    } while (start < r.size);
    return written;
}

void CModuleDevice::timerSendPlayback()
{
    if (m_deviceIndex < 0 || !m_batchBuffer)
        return;
    if (m_requestsInFlight.load() > 0) {
        if (!m_batchClock.isValid() || m_batchClock.elapsed() < kFrameReplyTimeoutMs)
            return;
        qDebug() << GetDvrName() << "frame replies overdue:" << m_requestsInFlight.load()
                 << "given up after" << kFrameReplyTimeoutMs << "ms";
        m_requestsInFlight = 0;
    }

    std::vector<PlaybackRequest> singles;
    int entries = 0;
    int sent = 0;
    {
        QMutexLocker lock(&m_requestLock);
        while (!m_requests.empty()) {
            const PlaybackRequest r = m_requests.front();
            if (!IsLoggedIn() || !m_playbackActive.load()) {
                m_requests.pop_front();
                continue;
            }
            if ((r.kind != 0 && r.kind != 1) || r.channel < 0 || r.channel >= kSlots) {
                qDebug() << "playback request of kind" << r.kind << "for channel" << r.channel << "dropped";
                m_requests.pop_front();
                continue;
            }
            if (r.kind == 0 && r.frameByte < 0) {
                singles.push_back(r);
                m_requests.pop_front();
                continue;
            }
            if (r.size <= 0) {
                qDebug() << "playback request of" << r.size << "bytes dropped";
                m_requests.pop_front();
                continue;
            }
            const int pieces = (r.size + kBatchPieceSize - 1) / kBatchPieceSize;
            if (pieces > kBatchEntries) {
                qDebug() << "playback request of" << r.size << "bytes exceeds one batch; dropped";
                m_requests.pop_front();
                continue;
            }
            // What does not fit waits for the next tick.
            if (entries + pieces > kBatchEntries)
                break;
            entries += WriteBatchEntries(r, entries);
            ++sent;
            m_requests.pop_front();
        }
    }

    // Single requests are answered at once by the network module, which may call back into the
    // playback side: they go out without the request lock held.
    for (const PlaybackRequest& r : singles) {
        if (!m_liveNetwork)
            break;
        const quint64 offset = quint64(r.offset);
        m_liveNetwork->SendFrameRequest(r.channel, r.frameByte, int(quint32(offset & 0xFFFFFFFFu)),
                                        int(quint32(offset >> 32)), r.size, m_frameBufferA[size_t(r.channel)].get(),
                                        r.requestNumber);
    }

    if (entries > 0) {
        qDebug() << "SSF Count" << entries;
        if (m_liveNetwork && m_liveNetwork->SendFrameListRequest(entries, m_batchBuffer.get())) {
            // Only what went out is waited for.
            m_requestsInFlight = sent;
            m_batchClock.start();
        }
        m_batchMarker = 0;
    }
}
