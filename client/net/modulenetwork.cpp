#include "net/modulenetwork.h"
#include "net/filetransfer.h"

#include "net/hubservices.h"
#include "net/netlog.h"
#include "net/nettypemirel.h"
#include "net/transferkind.h"

#include <QDebug>
#include <QFile>

#include <limits>

namespace {
const char kSetupName[] = "conf/setup.ini";
const char kFirmwareName[] = "dvr_upgrade_auto.zip";
} // namespace

CModuleNetwork::CModuleNetwork(int inert, int recorderIndex, bool tls)
    : QWidget(nullptr)
    , m_inert(inert)
    , m_recorderIndex(recorderIndex)
    , m_tls(tls)
{
    if (m_inert != 0)
        return;
    m_engine = new CNetTypeMirel(this, tls);
    m_engine->GetFileTransfer()->SetRecorderIndex(recorderIndex);
    CNetTypeMirel* e = m_engine;
    connect(e, &CNetTypeMirel::OnNetState, this, &CModuleNetwork::OnNetworkState);
    connect(e, &CNetTypeMirel::OnNetLiveVideo, this, &CModuleNetwork::OnNetLiveVideo);
    connect(e, &CNetTypeMirel::OnNetLiveAudio, this, &CModuleNetwork::OnNetLiveAudio);
    connect(e, &CNetTypeMirel::OnNetPlaybackDataInfo, this, &CModuleNetwork::OnNetPlaybackDataInfo);
    connect(e, &CNetTypeMirel::OnNetPlaybackVideo, this, &CModuleNetwork::OnNetPlaybackVideo);
    connect(e, &CNetTypeMirel::OnNetPlaybackAudio, this, &CModuleNetwork::OnNetPlaybackAudio);
    connect(e, &CNetTypeMirel::OnNetGuiData, this, &CModuleNetwork::OnNetGuiData);
    connect(e, &CNetTypeMirel::OnNetConsoleLockCanceled, this, &CModuleNetwork::OnNetConsoleLockCanceled);
    connect(e, &CNetTypeMirel::OnNetAsyncEvent, this, &CModuleNetwork::OnNetAsyncEvent);
    connect(e, &CNetTypeMirel::OnNetTimeRecList, this, &CModuleNetwork::OnNetTimeRecList);
    connect(e, &CNetTypeMirel::OnNetEventRecList, this, &CModuleNetwork::OnNetEventRecList);
    connect(e, &CNetTypeMirel::OnNetAudioRecList, this, &CModuleNetwork::OnNetAudioRecList);
    connect(e, &CNetTypeMirel::OnNetListRefused, this, &CModuleNetwork::SetRecvListRefused);
    connect(e, &CNetTypeMirel::OnNetBackupCapa, this, &CModuleNetwork::OnNetBackupCapa);
    connect(e, &CNetTypeMirel::OnNetIntraIndex, this, &CModuleNetwork::OnNetIntraIndex);
    connect(e, &CNetTypeMirel::OnNetIntraHeader, this, &CModuleNetwork::OnNetIntraHeader);
    connect(e, &CNetTypeMirel::OnNetFrameHeader, this, &CModuleNetwork::OnNetFrameHeader);
    connect(e, &CNetTypeMirel::OnNetFrameData, this, &CModuleNetwork::OnNetFrameData);
    connect(e, &CNetTypeMirel::OnNetCDMedia, this, &CModuleNetwork::OnNetCDMedia);
    connect(e, &CNetTypeMirel::OnNetEraseResult, this, &CModuleNetwork::OnNetEraseResult);
    connect(e, &CNetTypeMirel::OnNetBurningResult, this, &CModuleNetwork::OnNetBurningResult);
    connect(e, &CNetTypeMirel::OnConfigDataResult, this, &CModuleNetwork::OnConfigDataResult);
}

CModuleNetwork::~CModuleNetwork()
{
    // The engine goes first, cut off from the module: its disconnect while being destroyed must
    // not reach a module (or a session) that is itself being destroyed.
    if (m_engine) {
        m_engine->disconnect(this);
        delete m_engine;
        m_engine = nullptr;
    }
}

bool CModuleNetwork::CanSend() const
{
    return m_connected && m_engine;
}

bool CModuleNetwork::CanSendLive() const
{
    return m_connected && m_inert == 0 && m_engine;
}

// ---------------------------------------------------------------------------------------------
// Network state and connection

void CModuleNetwork::OnNetworkState(int state)
{
    if (state == 1) {
        if (m_inert == 0 && m_engine) {
            m_loginSent = true;
            m_engine->SendLogin(false);
        }
    } else if (state == 2) {
        m_connected = true;
    } else if (state == -1) {
        m_connected = false;
    }
    emit SetNetworkState(state);
}

void CModuleNetwork::OnUsageNetwork(qlonglong bytes)
{
    emit SetUsageNetwork(bytes);
}

void CModuleNetwork::SetConnectInfo(QString host, int port, QString user, QString password, bool tls)
{
    m_host = host;
    m_port = port;
    m_user = user;
    m_password = password;
    m_tls = tls;
}

void CModuleNetwork::SetRecorderName(const QString& name)
{
    if (m_engine)
        m_engine->SetRecorderName(name);
}

bool CModuleNetwork::OnConnect()
{
    if (m_inert != 0 || !m_engine)
        return false;
    return m_engine->OnConnect(m_host, m_port, m_user, m_password, m_tls);
}

bool CModuleNetwork::Disconnect()
{
    if (!m_connected)
        return false;
    if (m_inert != 0)
        return true;
    if (!m_engine)
        return false;
    m_engine->Disconnect();
    m_connected = false;
    return true;
}

bool CModuleNetwork::Abort()
{
    m_connected = false;
    if (m_inert != 0 || !m_engine)
        return false;
    if (m_engine->GetNetState() == -1) {
        // A connect still under way is called off too.
        m_engine->CancelConnect();
        return false;
    }
    m_engine->Disconnect();
    return true;
}

int CModuleNetwork::GetNetState() const
{
    return m_engine ? m_engine->GetNetState() : -1;
}

void CModuleNetwork::DropBuffers()
{
    if (m_engine)
        m_engine->DropBuffers();
}

// ---------------------------------------------------------------------------------------------
// Live, playback and console requests

void CModuleNetwork::SendLiveStart(int channel, int rate, int mode, char* buffer, bool audio)
{
    if (CanSendLive())
        m_engine->SendLiveStart(channel, rate, mode, buffer, audio);
}

void CModuleNetwork::SendLiveStop(int channel)
{
    if (CanSendLive())
        m_engine->SendLiveStop(channel);
}

void CModuleNetwork::SendLiveAudioStart(int channel, char* buffer)
{
    if (CanSendLive())
        m_engine->SendLiveAudioStart(channel, buffer);
}

void CModuleNetwork::SendLiveAudioStop()
{
    if (CanSendLive())
        m_engine->SendLiveAudioStop();
}

void CModuleNetwork::SendPlaybackRate(int value)
{
    if (CanSendLive())
        m_engine->SendPlaybackRate(value);
}

void CModuleNetwork::SendPlaybackCtrlExt(quint8 requestType, quint8 tag, quint16 playMode, quint8 speed,
                                         quint8 audioChannel, quint16 channelMask, int date, int time,
                                         quint8 frameRate, char* buffer, quint8 keyFramesOnly)
{
    if (CanSendLive())
        m_engine->SendPlaybackCtrlExt(requestType, tag, playMode, speed, audioChannel, channelMask, date, time,
                                      frameRate, buffer, keyFramesOnly);
}

void CModuleNetwork::SendConsoleLock(int lockCode)
{
    if (CanSendLive())
        m_engine->SendConsoleLock(lockCode);
}

void CModuleNetwork::SendConsoleLockState(bool locked)
{
    if (CanSend())
        m_engine->SendConsoleLock(locked ? 2 : 1);
}

void CModuleNetwork::SendConsoleDataRequest(int value, char* buffer)
{
    if (CanSendLive())
        m_engine->SendConsoleDataRequest(value, buffer);
}

// ---------------------------------------------------------------------------------------------
// Lists and index

void CModuleNetwork::SendTimeRecList(int date, int storageSlot, char* buffer)
{
    if (!CanSend())
        return;
    if (m_engine->GetStorageState(storageSlot) != 0)
        m_engine->SendTimeRecList(date, storageSlot, buffer);
    else
        emit SetRecvTimeRecList(storageSlot, 0);
}

void CModuleNetwork::SendEventRecList(int date, int storageSlot, char* buffer)
{
    if (!CanSend())
        return;
    if (m_engine->GetStorageState(storageSlot) != 0)
        m_engine->SendEventRecList(date, storageSlot, buffer);
    else
        emit SetRecvEventRecList(storageSlot, 0);
}

void CModuleNetwork::SendAudioRecList(int date, int storageSlot, char* buffer)
{
    if (!CanSend())
        return;
    if (m_engine->GetStorageState(storageSlot) != 0)
        m_engine->SendAudioRecList(date, storageSlot, buffer);
    else
        emit SetRecvAudioRecList(storageSlot, 0);
}

void CModuleNetwork::SendIntraHeaderRequest(int value, int slot, int channel, int offset, int size, char* buffer,
                                            quint8 stream)
{
    if (!CanSend())
        return;
    if (m_engine->GetStorageState(channel) != 0)
        m_engine->SendIntraHeaderRequest(value, slot, channel, offset, size, buffer, stream);
    else
        emit SetRecvIntraHeader(channel, slot, 0, 0, stream);
}

void CModuleNetwork::SendIntraIndexRequest(int date, int slot, int channel, char* buffer, int kind, quint8 stream)
{
    if (!CanSend())
        return;
    if (m_engine->GetStorageState(channel) != 0)
        m_engine->SendIntraIndexRequest(date, slot, channel, buffer, kind, stream);
    else
        emit SetRecvIntraIndex(channel, slot, 0, kind);
}

// ---------------------------------------------------------------------------------------------
// Frames

void CModuleNetwork::SendFrameRequest(int slot, int frameByte, int low, int high, int size, char* buffer, int kind)
{
    if (!CanSend())
        return;
    if (frameByte < 0) {
        emit SetRecvFrameData(slot, 0, 0, kind);
        return;
    }
    if (size == -1) {
        emit SetRecvFrameData(slot, -1, 0, kind);
        return;
    }
    const qint64 offset = (static_cast<qint64>(high) << 32) | static_cast<quint32>(low);
    m_engine->SendFrameRequest(slot, frameByte, offset, size, buffer);
}

bool CModuleNetwork::SendFrameListRequest(int count, const char* entries)
{
    if (!CanSend())
        return false;
    m_engine->SendFrameListRequest(count, entries);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Other requests

void CModuleNetwork::SendBackupCapaRequest(int startDate, int startTime, int finishDate, int finishTime,
                                           quint16 channelMask, quint16 audioFlag)
{
    if (CanSend())
        m_engine->SendBackupCapaRequest(startDate, startTime, finishDate, finishTime, channelMask, audioFlag);
}

void CModuleNetwork::SendPTZControl(quint8 channel, quint8 code, quint8 speed, int preset)
{
    if (!CanSend())
        return;
    qCDebug(lcNet) << "PTZ control" << channel << code << speed << preset;
    m_engine->SendPtzControl(channel, code, speed, preset);
}

void CModuleNetwork::SendRelayControl(int relay, int state)
{
    if (CanSend())
        m_engine->SendRelayControl(relay, state);
}

void CModuleNetwork::SendMousePos(int x, int y, int button, int flag)
{
    if (CanSend())
        m_engine->SendMousePos(QPoint(x, y), button, static_cast<quint8>(flag));
}

void CModuleNetwork::SendConsoleMode(quint8 mode)
{
    if (CanSend())
        m_engine->SendConsoleMode(mode);
}

void CModuleNetwork::SendCameraTitle(int channel, QString title)
{
    if (CanSend())
        m_engine->SendCameraTitle(channel, title);
}

void CModuleNetwork::SendTalkStart()
{
    if (CanSend())
        m_engine->SendTalkStart();
}

void CModuleNetwork::SendTalkStop()
{
    if (CanSend())
        m_engine->SendTalkStop();
}

void CModuleNetwork::SendTalkAudio(char* data, int length)
{
    if (CanSend())
        m_engine->SendTalkAudio(data, length);
}

void CModuleNetwork::SendLiveOutput()
{
    if (!CanSend())
        return;
    qCDebug(lcNet) << "LIVE_OUTPUT ------------------------------------------------";
    m_engine->SendLiveOutput();
}

void CModuleNetwork::SetLiveOutputChannel(quint8 channel)
{
    if (!CanSend())
        return;
    qCDebug(lcNet) << "SET_LIVE_OUTPUT_CHANNEL ------------------------------------" << channel;
    m_engine->SetLiveOutputChannel(channel);
}

void CModuleNetwork::SendCDMediaCheck(quint8 mediaKind)
{
    if (CanSend())
        m_engine->SendCDMediaCheck(mediaKind);
}

void CModuleNetwork::SendCDMediaErase(quint8 mediaKind)
{
    if (CanSend())
        m_engine->SendCDMediaErase(mediaKind);
}

void CModuleNetwork::SendCDBackupPrepare(quint8 discNumber, quint8 mediaKind)
{
    if (CanSend())
        m_engine->SendCDBackupPrepare(discNumber, mediaKind);
}

void CModuleNetwork::SendCDBackupStart(int startDate, int startTime, int finishDate, int finishTime,
                                       quint16 channelMask, quint16 audioFlag, quint8 mediaKind)
{
    if (CanSend())
        m_engine->SendCDBackupStart(startDate, startTime, finishDate, finishTime, channelMask, audioFlag,
                                    mediaKind);
}

void CModuleNetwork::SendCDBackupStop(quint8 mediaKind)
{
    if (CanSend())
        m_engine->SendCDBackupStop(mediaKind);
}

void CModuleNetwork::SendCDBackupClose()
{
    if (CanSend())
        m_engine->SendCDBackupClose();
}

void CModuleNetwork::SendCDListBackupStart(const QVector<RequestBuilder::ListBackupEntry>& list, quint8 mediaKind)
{
    if (CanSend())
        m_engine->SendCDListBackupStart(list, mediaKind);
}

// ---------------------------------------------------------------------------------------------
// Settings and firmware transfer

int CModuleNetwork::UploadSize(const QString& path)
{
    if (path.isEmpty())
        return -1;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcNet) << "cannot open" << path << "for upload:" << file.errorString();
        return -1;
    }
    if (file.size() > std::numeric_limits<int>::max()) {
        qCWarning(lcNet) << path << "is too large to upload:" << file.size();
        return -1;
    }
    return static_cast<int>(file.size());
}

void CModuleNetwork::RequestConfigFile(int kind)
{
    if (!CanSend())
        return;
    const TransferKind transfer = ToTransferKind(kind);
    if (transfer != TransferKind::AccountDownload && transfer != TransferKind::ConsoleDownload) {
        qCWarning(lcNet) << "settings file request of unknown kind" << kind;
        return;
    }
    // The old copy goes first, so that a failed download never leaves a stale file behind.
    if (HubServices* hub = HubServices::Instance())
        QFile::remove(hub->ProgramDirectory()
                      + (transfer == TransferKind::AccountDownload ? "/download.ini" : "/config.ini"));
    m_engine->SendFileBegin(kind, kSetupName, 0);
}

void CModuleNetwork::SetConfigData()
{
    if (!CanSend())
        return;
    HubServices* hub = HubServices::Instance();
    const int size = hub ? UploadSize(hub->ProgramDirectory() + "/download.ini") : -1;
    if (size < 0) {
        qCWarning(lcNet) << "settings upload: no readable download.ini; nothing sent";
        if (hub)
            hub->SetAccountManagerState(m_recorderIndex, -1);
        return;
    }
    m_engine->SendFileBegin(TransferKindValue(TransferKind::SettingsUpload), kSetupName, size);
}

void CModuleNetwork::SetFirmwareData()
{
    if (!CanSend())
        return;
    HubServices* hub = HubServices::Instance();
    const QString path = hub ? hub->FirmwarePath() : QString();
    qCDebug(lcNet) << "firmware" << path;
    const int size = UploadSize(path);
    if (size < 0) {
        qCWarning(lcNet) << "firmware upload: no readable package; nothing sent";
        if (hub)
            hub->SetFirmwareState(m_recorderIndex, -3);
        return;
    }
    m_engine->SendFileBegin(TransferKindValue(TransferKind::FirmwareUpload), kFirmwareName, size);
}

void CModuleNetwork::SetFrameBuffers(int slot, char* header, char* data, char* header2, char* data2)
{
    if (m_engine)
        m_engine->SetFrameBuffers(slot, header, data, header2, data2);
}

void CModuleNetwork::SetSecondStream(quint8 selection)
{
    if (m_engine)
        m_engine->SetSecondStream(selection);
}

// ---------------------------------------------------------------------------------------------
// Accessors

int CModuleNetwork::GetChannelCount() const
{
    return m_engine ? m_engine->GetChannelCount() : 0;
}

int CModuleNetwork::GetModelCode() const
{
    return CanSend() ? m_engine->GetModelCode() : -1;
}

int CModuleNetwork::GetModelType() const
{
    return CanSend() ? m_engine->GetModelClass() : -1;
}

int CModuleNetwork::GetModelGroup() const
{
    if (!CanSend())
        return -1;
    const int code = m_engine->GetModelCode();
    if (code == 13)
        return 1;
    if (code >= 15 && code <= 17)
        return 2;
    return 0;
}

int CModuleNetwork::GetRelayOutputCount() const
{
    return CanSend() ? m_engine->GetRelayOutputCount() : -1;
}

int CModuleNetwork::GetModelTypeIndex() const
{
    return m_engine ? m_engine->GetModelTypeIndex() : 0;
}

bool CModuleNetwork::IsExtendedAudio() const
{
    return m_engine && m_engine->IsExtendedAudio();
}

bool CModuleNetwork::IsFeatureBit16() const
{
    return m_engine && m_engine->IsFeatureBit16();
}

quint8 CModuleNetwork::GetSecondStream() const
{
    return m_engine ? m_engine->GetSecondStream() : 0;
}

QString CModuleNetwork::GetVersionText() const
{
    return CanSend() ? m_engine->GetVersionText() : QString();
}

QString CModuleNetwork::GetMacText() const
{
    return CanSend() ? m_engine->GetMacText() : QString();
}

QString CModuleNetwork::GetDiskText() const
{
    return CanSend() ? m_engine->GetDiskText() : QString();
}

int CModuleNetwork::GetStorageState(int index) const
{
    return CanSend() ? int(m_engine->GetStorageState(index)) : 0;
}

bool CModuleNetwork::IsDiskArray() const
{
    return CanSend() && m_engine->GetDiskInfoFlag();
}

int CModuleNetwork::GetArrayType() const
{
    return CanSend() ? m_engine->GetArrayType() : 0;
}

QString CModuleNetwork::GetCameraTitle(int channel) const
{
    return CanSend() ? m_engine->GetCameraTitle(channel) : QString();
}

int CModuleNetwork::GetCameraKind(int channel) const
{
    return m_engine ? m_engine->GetCameraKind(channel) : 0;
}

bool CModuleNetwork::IsPresent(int channel) const
{
    return m_engine && m_engine->IsPresent(channel);
}

bool CModuleNetwork::IsMaskA(int channel) const
{
    return m_engine && m_engine->IsMaskA(channel);
}

bool CModuleNetwork::IsMotion(int channel) const
{
    return m_engine && m_engine->IsMotion(channel);
}

bool CModuleNetwork::IsSensor(int channel) const
{
    return m_engine && m_engine->IsSensor(channel);
}

bool CModuleNetwork::IsVideoLoss(int channel) const
{
    return m_engine && m_engine->IsVideoLoss(channel);
}

bool CModuleNetwork::IsRelayOn(int relay) const
{
    return m_engine && m_engine->IsRelayOn(relay);
}

bool CModuleNetwork::IsChannelActive(int channel) const
{
    return m_engine && m_engine->IsChannelActive(channel);
}

bool CModuleNetwork::IsPtzChannel(int channel) const
{
    return m_engine && m_engine->IsPtzChannel(channel);
}

bool CModuleNetwork::GetLoginOption() const
{
    return m_engine && m_engine->GetLoginOption();
}

int CModuleNetwork::GetLoginLevel() const
{
    return m_engine ? m_engine->GetLoginLevel() : 0;
}

bool CModuleNetwork::GetLoginMaskBit(int index, int channel) const
{
    if (index < 0 || index > 2)
        return false;
    return m_engine && m_engine->GetLoginMaskBit(index, channel);
}

int CModuleNetwork::GetExtendedStatus(int index) const
{
    return m_engine ? m_engine->GetExtendedStatus(index) : -1;
}

int CModuleNetwork::GetFirmwareMajor() const
{
    return m_engine ? m_engine->GetFirmwareMajor() : 0;
}

int CModuleNetwork::GetFirmwareMinor() const
{
    return m_engine ? m_engine->GetFirmwareMinor() : 0;
}

bool CModuleNetwork::IsFirmware328() const
{
    // One version number: 4.05 is later than 3.28 although its minor part is smaller.
    if (!m_engine)
        return false;
    return m_engine->GetFirmwareMajor() * 100 + m_engine->GetFirmwareMinor() >= 328;
}

int CModuleNetwork::GetRawModelCode() const
{
    return CanSend() ? m_engine->GetRawModelCode() : -1;
}

bool CModuleNetwork::IsFurtherCapable() const
{
    return m_engine && m_engine->IsFurtherCapable();
}

bool CModuleNetwork::IsFirmwareToolModel() const
{
    return m_engine && m_engine->IsFirmwareToolModel();
}

bool CModuleNetwork::GetLoginDone() const
{
    return m_engine && m_engine->GetLoginDone();
}

int CModuleNetwork::GetModelCheck() const
{
    return m_engine ? m_engine->GetModelCheck() : 0;
}

bool CModuleNetwork::IsTlsHandshakeDone() const
{
    return m_engine && m_engine->IsTlsHandshakeDone();
}

bool CModuleNetwork::AwaitsCertificateAnswer() const
{
    return m_engine && m_engine->AwaitsCertificateAnswer();
}

// ---------------------------------------------------------------------------------------------
// Relays: arguments pass unchanged

void CModuleNetwork::OnNetLiveVideo(int a, int b, int c, int d, int e, int f, bool g, int h, int i)
{
    emit SetRecvLiveVideo(a, b, c, d, e, f, g, h, i);
}

void CModuleNetwork::OnNetLiveAudio(int a, int b, int c, int d, int e, int f)
{
    emit SetRecvLiveAudio(a, b, c, d, e, f);
}

void CModuleNetwork::OnNetPlaybackDataInfo(int a, int b, int c, int d, int e, int* f)
{
    emit SetRecvPlaybackInfo(a, b, c, d, e, f);
}

void CModuleNetwork::OnNetPlaybackVideo(int a, int b, int c, int d, int e, int f, bool g, char h, char i)
{
    emit SetRecvPlaybackVideo(a, b, c, d, e, f, g, h, i);
}

void CModuleNetwork::OnNetPlaybackAudio(int a, int b, int c, int d, int e)
{
    emit SetRecvPlaybackAudio(a, b, c, d, e);
}

void CModuleNetwork::OnNetGuiData(int a, int b, int c, int d, int e, int f, int g)
{
    emit SetRecvGuiData(a, b, c, d, e, f, g);
}

void CModuleNetwork::OnNetConsoleLockCanceled()
{
    emit SetRecvConsoleLockCanceled();
}

void CModuleNetwork::OnNetAsyncEvent()
{
    emit SetRecvAsyncEvent();
}

void CModuleNetwork::OnNetTimeRecList(int a, int b)
{
    emit SetRecvTimeRecList(a, b);
}

void CModuleNetwork::OnNetEventRecList(int a, int b)
{
    emit SetRecvEventRecList(a, b);
}

void CModuleNetwork::OnNetAudioRecList(int a, int b)
{
    emit SetRecvAudioRecList(a, b);
}

void CModuleNetwork::OnNetBackupCapa(_SEND_BACKUP_CAPA* capa)
{
    emit SetRecvBackupCapa(capa);
}

void CModuleNetwork::OnNetIntraIndex(int a, int b, int c, int d)
{
    emit SetRecvIntraIndex(a, b, c, d);
}

void CModuleNetwork::OnNetIntraHeader(int a, int b, int c, int d, int e)
{
    emit SetRecvIntraHeader(a, b, c, d, e);
}

void CModuleNetwork::OnNetFrameHeader(int a, int b, int c, int d)
{
    emit SetRecvFrameHeader(a, b, c, d);
}

void CModuleNetwork::OnNetFrameData(int a, int b, int c, int d)
{
    emit SetRecvFrameData(a, b, c, d);
}

void CModuleNetwork::OnNetCDMedia(short a, short b)
{
    emit SetRecvCDMedia(a, b);
}

void CModuleNetwork::OnNetEraseResult(char a)
{
    emit SetRecvEraseResult(a);
}

void CModuleNetwork::OnNetBurningResult(char a, char b, char c, char d)
{
    emit SetRecvBurningRate(a, b, c, d);
}

void CModuleNetwork::OnConfigDataResult()
{
    emit SetRecvConfig();
}
