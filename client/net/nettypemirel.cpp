#include "net/nettypemirel.h"

#include "common/media/mulaw.h"
#include "net/commandcode.h"
#include "net/filetransfer.h"
#include "net/hubservices.h"
#include "net/listkind.h"
#include "net/netlog.h"
#include "net/netrecvthread.h"
#include "net/recordermessageheader.h"
#include "net/requestbuilder.h"

#include <QAbstractSocket>
#include <QDebug>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {

using H = RecorderMessageHeader;

constexpr quint32 kTagLpcm = 0x6C70636Du; // 'lpcm' as a four-character constant
constexpr quint32 kTagUlaw = 0x756C6177u; // 'ulaw'

// Text of a zero-terminated field of at most `limit` bytes inside the message.
QString FieldText(const char* message, int from, int limit)
{
    if (limit <= 0)
        return QString();
    const char* end = static_cast<const char*>(std::memchr(message + from, 0, size_t(limit)));
    const int n = end ? int(end - (message + from)) : limit;
    return QString::fromUtf8(message + from, n);
}

bool PieceFits(qint64 offset, qint64 length, qint64 size)
{
    return offset >= 0 && length >= 0 && size >= 0 && offset + length <= size;
}

} // namespace

CNetTypeMirel::CNetTypeMirel(QObject* parent, bool tls)
    : QObject(parent)
    , m_recvBuffer(new char[kRecvBufferSize]())
{
    m_cameraMap.fill(-1);
    m_aliveTimer = new QTimer(this);
    connect(m_aliveTimer, &QTimer::timeout, this, &CNetTypeMirel::timerAliveEvent);
    m_fileTransfer = new FileTransfer([this](char* data, int length) { SendRaw(data, length); }, this);
    connect(m_fileTransfer, &FileTransfer::OnConfigDataResult, this, &CNetTypeMirel::OnConfigDataResult);
    m_thread = new NetRecvThread(this, tls);
    m_thread->start(QThread::InheritPriority);
    m_thread->WaitUntilRunning(100);
}

CNetTypeMirel::~CNetTypeMirel()
{
    m_aliveTimer->stop();
    m_thread->ClearRunningFlag();
    if (m_netState != -1)
        m_thread->Disconnect(5000);
    delete m_thread;
    m_thread = nullptr;
}

void CNetTypeMirel::SetKeepAliveInterval(int milliseconds)
{
    m_keepAliveMs = std::max(1, milliseconds);
    if (m_aliveTimer->isActive())
        m_aliveTimer->start(m_keepAliveMs);
}

// ---------------------------------------------------------------------------------------------
// Connection

bool CNetTypeMirel::OnConnect(QString host, int port, QString user, QString password, bool tls)
{
    if (m_netState != -1)
        return false;
    if (port <= 0 || port > 65535) {
        qCDebug(lcNet) << "CNetTypeMirel::OnConnect: port out of range" << port;
        return false;
    }
    m_host = host;
    m_port = port;
    m_user = user;
    m_password = password;
    m_loginOutstanding = false;
    m_tlsHandshakeDone = false;
    m_modelCheck = 0;
    m_loginDone = false;
    if (m_thread->IsTls() != tls)
        ReplaceThread(tls);
    m_thread->SetHost(host, quint16(port));
    return m_thread->Connect();
}

void CNetTypeMirel::ReplaceThread(bool tls)
{
    NetRecvThread* old = m_thread;
    old->Disconnect(5000);
    if (QAbstractSocket* socket = old->Socket())
        socket->disconnect(old); // nothing of the old socket reaches the engine any more
    old->ClearRunningFlag();
    old->quit();
    old->wait();
    // Deleted once control is back in the event loop, in case a signal of its socket is on the
    // stack that led here.
    old->deleteLater();
    m_thread = new NetRecvThread(this, tls);
    m_thread->start(QThread::InheritPriority);
    m_thread->WaitUntilRunning(1000);
}

void CNetTypeMirel::Disconnect()
{
    m_thread->CancelConnect();
    if (m_netState != -1)
        m_thread->Disconnect(5000);
}

void CNetTypeMirel::CancelConnect()
{
    m_thread->CancelConnect();
}

bool CNetTypeMirel::IsConnecting() const
{
    return m_thread && m_thread->IsConnecting();
}

void CNetTypeMirel::OnConnectFailed()
{
    m_netState = -1;
    emit OnNetState(kConnectFailedState);
}

void CNetTypeMirel::OnSocketConnected()
{
    m_netState = 1;
    m_liveRequested.fill(false);
    m_secondFlag.fill(false);
    m_loginOutstanding = false;
    emit OnNetState(1);
}

void CNetTypeMirel::OnSocketDisconnected()
{
    m_liveRequested.fill(false);
    m_secondFlag.fill(false);
    m_aliveTimer->stop();
    m_netState = -1;
    m_loginOutstanding = false;
    // The caller's buffers may be freed once it has seen the disconnect; nothing received after
    // a reconnect may reach them before they are handed in again.
    DropBuffers();
    emit OnNetState(-1);
}

bool CNetTypeMirel::AwaitsCertificateAnswer() const
{
    return m_thread && m_thread->AwaitsCertificateAnswer();
}

void CNetTypeMirel::OnCertificateAccepted()
{
    m_tlsHandshakeDone = true;
}

void CNetTypeMirel::Send(const QByteArray& request)
{
    if (request.isEmpty())
        return;
    QByteArray copy(request);
    SendRaw(copy.data(), copy.size());
}

void CNetTypeMirel::SendRaw(char* data, int length)
{
    if (m_thread)
        m_thread->NetSendData(data, length);
}

void CNetTypeMirel::StartKeepAlive()
{
    m_receivedSinceTick = false;
    m_silentTicks = 0;
    m_aliveTimer->start(m_keepAliveMs);
}

void CNetTypeMirel::SendPoll()
{
    if (!m_extendedKeepAlive) {
        m_extStatus.fill(-1);
        Send(RequestBuilder::StatusPoll());
    } else {
        Send(RequestBuilder::ExtendedStatusPoll());
    }
}

void CNetTypeMirel::timerAliveEvent()
{
    m_silentTicks = m_receivedSinceTick ? 0 : m_silentTicks + 1;
    m_receivedSinceTick = false;
    if (m_silentTicks >= kSilentPollsAllowed) {
        qCDebug(lcNet) << "CNetTypeMirel: nothing received for" << m_silentTicks << "poll periods from" << m_host;
        m_aliveTimer->stop();
        m_thread->Abort("the recorder stopped answering");
        return;
    }
    m_recvBytes = 0;
    m_sentBytes = 0;
    SendPoll();
}

// ---------------------------------------------------------------------------------------------
// Requests

bool CNetTypeMirel::SendLogin(bool silent)
{
    // Under TLS the socket thread sends the login once the certificate is accepted; the state-1
    // path must not repeat it while it is unanswered.
    if (m_loginOutstanding) {
        qCDebug(lcNet) << "CNetTypeMirel::SendLogin: a login is already out on this connection";
        return true;
    }
    const QByteArray request = RequestBuilder::Login(m_user, m_password, silent);
    if (request.isEmpty())
        return false;
    // The password must not reach a peer whose certificate has not been accepted.
    if (m_thread->IsTls() && !m_tlsHandshakeDone) {
        qCDebug(lcNet) << "the login to" << m_host << "waits for the recorder's certificate";
        return true;
    }
    m_loginDone = false;
    if (m_netState != -1)
        m_loginOutstanding = true;
    Send(request);
    return true;
}

void CNetTypeMirel::SendLiveStart(int channel, int rate, int mode, char* buffer, bool audio)
{
    if (channel < 0 || channel >= kMaxChannels) {
        qCDebug(lcNet) << "CNetTypeMirel::SendLiveStart: channel out of range" << channel;
        return;
    }
    if (!m_present[size_t(channel)])
        return;
    LiveChannel& live = m_live[size_t(channel)];
    live.target = buffer;
    if (live.assembly.size() < kLiveFrameBufferSize)
        live.assembly = QByteArray(kLiveFrameBufferSize, '\0');
    live.received = 0;
    live.frameId = -1;
    live.firstFrame = 0;
    m_liveRequested[size_t(channel)] = true;
    Send(RequestBuilder::LiveStart(channel, rate, mode, audio, m_directRate, m_streamKind));
}

void CNetTypeMirel::SendLiveStop(int channel)
{
    if (channel < 0 || channel >= kMaxChannels) {
        qCDebug(lcNet) << "CNetTypeMirel::SendLiveStop: channel out of range" << channel;
        return;
    }
    LiveChannel& live = m_live[size_t(channel)];
    m_liveRequested[size_t(channel)] = false;
    live.frameId = -1;
    live.firstFrame = -1;
    live.received = 0;
    live.assembly = QByteArray();
    Send(RequestBuilder::LiveStop(channel));
}

void CNetTypeMirel::SendPtzInfoRequest(int channel)
{
    Send(RequestBuilder::PtzInfoRequest(channel));
}

void CNetTypeMirel::SendPtzControl(quint8 channel, quint8 code, quint8 speed, int preset)
{
    Send(RequestBuilder::PtzControl(channel, code, speed, preset));
}

void CNetTypeMirel::SendFileBegin(int kind, const char* name, int size)
{
    m_fileTransfer->SendFileBegin(kind, name, size);
}

void CNetTypeMirel::SendFileEnd(int kind)
{
    m_fileTransfer->SendFileEnd(kind);
}

void CNetTypeMirel::SendFileStat(int kind, quint16 crc, int size)
{
    m_fileTransfer->SendFileStat(kind, crc, size);
}

void CNetTypeMirel::SendReqFileData(int kind, int offset, int size)
{
    m_fileTransfer->SendReqFileData(kind, offset, size);
}

void CNetTypeMirel::SetConfigAction()
{
    m_fileTransfer->SendConfigAction();
}

void CNetTypeMirel::SetFirmwareAction()
{
    m_fileTransfer->SendConfigAction();
}

void CNetTypeMirel::SendTimeRecList(int date, int storageSlot, char* buffer)
{
    m_listBuffer = buffer;
    Send(RequestBuilder::TimeRecList(date, storageSlot));
}

void CNetTypeMirel::SendEventRecList(int date, int storageSlot, char* buffer)
{
    m_listBuffer = buffer;
    Send(RequestBuilder::EventRecList(date, storageSlot, m_eventListCapa));
}

void CNetTypeMirel::SendAudioRecList(int date, int storageSlot, char* buffer)
{
    m_listBuffer = buffer;
    Send(RequestBuilder::AudioRecList(date, storageSlot));
}

void CNetTypeMirel::SendIntraHeaderRequest(int value, int slot, int channel, int offset, int size, char* buffer,
                                           quint8 stream)
{
    if (slot < 0 || slot >= kSlots) {
        qCDebug(lcNet) << "CNetTypeMirel::SendIntraHeaderRequest: slot out of range" << slot;
        return;
    }
    m_slots[size_t(slot)].index = buffer;
    m_slots[size_t(slot)].indexFits = true;
    Send(RequestBuilder::IntraHeaderRequest(value, slot, channel, offset, size, stream, m_dualStream,
                                            m_secondStream, m_channelCount));
}

void CNetTypeMirel::SendIntraIndexRequest(int date, int slot, int channel, char* buffer, int kind, quint8 stream)
{
    if (slot < 0 || slot >= kSlots) {
        qCDebug(lcNet) << "CNetTypeMirel::SendIntraIndexRequest: slot out of range" << slot;
        return;
    }
    m_slots[size_t(slot)].index = buffer;
    m_slots[size_t(slot)].indexFits = true;
    if (kind == 6 && !m_dualStream) {
        emit OnNetIntraIndex(channel, slot, 0, 6);
        return;
    }
    Send(RequestBuilder::IntraIndexRequest(date, slot, channel, stream, m_dualStream, m_secondStream,
                                           m_channelCount));
}

void CNetTypeMirel::SendRelayControl(int relay, int state)
{
    if (relay >= 0 && relay < kMaxChannels)
        m_relay[size_t(relay)] = (state == 1);
    Send(RequestBuilder::RelayControl(relay, state));
}

void CNetTypeMirel::SendTalkAudio(char* data, int length)
{
    Send(RequestBuilder::TalkAudio(data, length));
}

void CNetTypeMirel::SendCDMediaCheck(quint8 mediaKind)
{
    Send(RequestBuilder::CDMediaCheck(mediaKind));
}

void CNetTypeMirel::SendCDBackupPrepare(quint8 discNumber, quint8 mediaKind)
{
    Send(RequestBuilder::CDBackupPrepare(discNumber, mediaKind));
}

void CNetTypeMirel::SendCDBackupStop(quint8 mediaKind)
{
    Send(RequestBuilder::CDBackupStop(mediaKind));
}

void CNetTypeMirel::SendCDBackupClose()
{
    Send(RequestBuilder::CDBackupClose());
}

void CNetTypeMirel::SendLiveAudioStart(int channel, char* buffer)
{
    if (channel < 0 || channel >= kMaxChannels) {
        qCDebug(lcNet) << "CNetTypeMirel::SendLiveAudioStart: channel out of range" << channel;
        return;
    }
    const int entry = m_cameraMap[size_t(channel)];
    m_liveAudioBuffer = buffer;
    m_audioChannel = entry;
    Send(RequestBuilder::LiveAudioStart(entry));
}

void CNetTypeMirel::SendLiveAudioStop()
{
    if (m_audioChannel == -1)
        return;
    const int current = m_audioChannel;
    m_audioChannel = -1;
    Send(RequestBuilder::LiveAudioStop(current));
}

void CNetTypeMirel::SendTalkStart()
{
    Send(RequestBuilder::TalkStart());
}

void CNetTypeMirel::SendTalkStop()
{
    Send(RequestBuilder::TalkStop());
}

void CNetTypeMirel::SendBackupCapaRequest(int startDate, int startTime, int finishDate, int finishTime,
                                          quint16 channelMask, quint16 audioFlag)
{
    Send(RequestBuilder::BackupCapaRequest(startDate, startTime, finishDate, finishTime, channelMask, audioFlag));
}

void CNetTypeMirel::SendCDBackupStart(int startDate, int startTime, int finishDate, int finishTime,
                                      quint16 channelMask, quint16 audioFlag, quint8 mediaKind)
{
    Send(RequestBuilder::CDBackupStart(startDate, startTime, finishDate, finishTime, channelMask, audioFlag,
                                       mediaKind));
}

void CNetTypeMirel::SendCDMediaErase(quint8 mediaKind)
{
    Send(RequestBuilder::CDMediaErase(mediaKind));
}

void CNetTypeMirel::SendFrameRequest(int slot, int kind, qint64 offset, int size, char* buffer)
{
    if (slot < 0 || slot >= kSlots) {
        qCDebug(lcNet) << "CNetTypeMirel::SendFrameRequest: slot out of range" << slot;
        return;
    }
    FrameSlot& s = m_slots[size_t(slot)];
    if (kind < 6)
        s.data = buffer;
    else
        s.data2 = buffer;
    const QList<QByteArray> requests = RequestBuilder::FrameRequest(slot, quint8(kind), offset, size);
    for (const QByteArray& request : requests)
        Send(request);
}

void CNetTypeMirel::SendFrameListRequest(int count, const char* entries)
{
    const QList<QByteArray> requests = RequestBuilder::FrameListRequest(entries, count);
    for (const QByteArray& request : requests)
        Send(request);
}

void CNetTypeMirel::SendPlaybackRate(int value)
{
    Send(RequestBuilder::PlaybackRate(value));
}

void CNetTypeMirel::SendPlaybackCtrlExt(quint8 requestType, quint8 tag, quint16 playMode, quint8 speed,
                                        quint8 audioChannel, quint16 channelMask, int date, int time,
                                        quint8 frameRate, char* buffer, quint8 keyFramesOnly)
{
    m_playbackBuffer = buffer;
    m_playbackReceived = 0;
    // The key-frames-only value asks for the 36-byte form; without it the request is 32 bytes.
    const bool longForm = keyFramesOnly != 0;
    Send(RequestBuilder::PlaybackCtrlExt(requestType, tag, playMode, speed, audioChannel, channelMask, date, time,
                                         frameRate, longForm));
}

void CNetTypeMirel::SendConsoleLock(int lockCode)
{
    Send(RequestBuilder::ConsoleLock(lockCode));
}

void CNetTypeMirel::SendMousePos(QPoint p, int button, quint8 flag)
{
    Send(RequestBuilder::MousePos(p.x(), p.y(), button, flag));
}

void CNetTypeMirel::SendCameraTitle(int channel, QString title)
{
    Send(RequestBuilder::CameraTitle(channel, title));
}

void CNetTypeMirel::SendConsoleMode(quint8 mode)
{
    Send(RequestBuilder::ConsoleMode(mode));
}

void CNetTypeMirel::SendConsoleDataRequest(int, char* buffer)
{
    m_consoleBuffer = buffer;
    Send(RequestBuilder::ConsoleDataRequest());
}

void CNetTypeMirel::SendLiveOutput()
{
    Send(RequestBuilder::LiveOutput());
}

void CNetTypeMirel::SetLiveOutputChannel(quint8 channel)
{
    Send(RequestBuilder::LiveOutputChannel(channel));
}

void CNetTypeMirel::SendCDListBackupStart(const QVector<RequestBuilder::ListBackupEntry>& list, quint8 mediaKind)
{
    Send(RequestBuilder::CDListBackupStart(list, mediaKind));
}

void CNetTypeMirel::SetFrameBuffers(int slot, char* header, char* data, char* header2, char* data2)
{
    if (slot < 0 || slot >= kSlots) {
        qCDebug(lcNet) << "CNetTypeMirel::SetFrameBuffers: slot out of range" << slot;
        return;
    }
    FrameSlot& s = m_slots[size_t(slot)];
    s.header = header;
    s.data = data;
    s.header2 = header2;
    s.data2 = data2;
}

void CNetTypeMirel::DropBuffers()
{
    m_listBuffer = nullptr;
    m_liveAudioBuffer = nullptr;
    m_playbackBuffer = nullptr;
    m_playbackReceived = 0;
    m_consoleBuffer = nullptr;
    for (LiveChannel& live : m_live) {
        live.target = nullptr;
        live.received = 0;
    }
    for (FrameSlot& s : m_slots) {
        s.header = s.data = s.header2 = s.data2 = s.index = nullptr;
        s.headerReceived = 0;
        s.dataReceived = 0;
    }
}

void CNetTypeMirel::SetSecondStream(quint8 selection)
{
    m_secondStream = m_dualStream ? selection : 0;
}

// ---------------------------------------------------------------------------------------------
// Accessors

namespace {
bool ValidChannel(int channel)
{
    return channel >= 0 && channel < CNetTypeMirel::kMaxChannels;
}
} // namespace

QString CNetTypeMirel::GetCameraTitle(int channel) const
{
    return ValidChannel(channel) ? m_titles[size_t(channel)] : QString();
}

bool CNetTypeMirel::IsPtzChannel(int channel) const
{
    return ValidChannel(channel) && (m_ptzMask >> channel) & 1;
}

int CNetTypeMirel::GetCameraMap(int channel) const
{
    return ValidChannel(channel) ? m_cameraMap[size_t(channel)] : -1;
}

int CNetTypeMirel::GetCameraKind(int channel) const
{
    return ValidChannel(channel) ? m_cameraKind[size_t(channel)] : 0;
}

bool CNetTypeMirel::IsSecondFlag(int channel) const
{
    return ValidChannel(channel) && m_secondFlag[size_t(channel)];
}

bool CNetTypeMirel::IsLiveRequested(int channel) const
{
    return ValidChannel(channel) && m_liveRequested[size_t(channel)];
}

bool CNetTypeMirel::IsPresent(int channel) const
{
    return ValidChannel(channel) && m_present[size_t(channel)];
}

bool CNetTypeMirel::IsMotion(int channel) const
{
    return ValidChannel(channel) && m_motion[size_t(channel)];
}

bool CNetTypeMirel::IsSensor(int channel) const
{
    return ValidChannel(channel) && m_sensor[size_t(channel)];
}

bool CNetTypeMirel::IsVideoLoss(int channel) const
{
    return ValidChannel(channel) && m_videoLoss[size_t(channel)];
}

bool CNetTypeMirel::IsMaskA(int channel) const
{
    return ValidChannel(channel) && m_maskA[size_t(channel)];
}

bool CNetTypeMirel::IsMaskB(int channel) const
{
    return ValidChannel(channel) && m_maskB[size_t(channel)];
}

bool CNetTypeMirel::IsChannelActive(int channel) const
{
    return IsMaskB(GetCameraMap(channel));
}

bool CNetTypeMirel::IsRelayOn(int relay) const
{
    return ValidChannel(relay) && m_relay[size_t(relay)];
}

qint16 CNetTypeMirel::GetLoginMask(int index) const
{
    return (index >= 0 && index < 4) ? m_loginMasks[size_t(index)] : qint16(0);
}

bool CNetTypeMirel::GetLoginMaskBit(int index, int channel) const
{
    return ValidChannel(channel) && (quint16(GetLoginMask(index)) >> channel) & 1;
}

int CNetTypeMirel::GetExtendedStatus(int index) const
{
    return (index >= 0 && index < 3) ? m_extStatus[size_t(index)] : -1;
}

quint8 CNetTypeMirel::GetStorageState(int index) const
{
    return (index >= 0 && index < kDiskStates) ? m_diskState[size_t(index)] : quint8(0);
}

QByteArray CNetTypeMirel::GetRecorderValues() const
{
    return QByteArray(m_recorderValues.data(), int(m_recorderValues.size()));
}

// ---------------------------------------------------------------------------------------------
// Dispatch

void CNetTypeMirel::OnRecvData(char* message, int total)
{
    if (!message || total < H::kSize || total > kRecvBufferSize) {
        qCDebug(lcNet) << "CNetTypeMirel::OnRecvData: message length out of range" << total;
        return;
    }
    m_receivedSinceTick = true;
    const CommandCode command = ToCommandCode(H::ReadCommand(message));
    // Media frames count only what their handler takes in.
    if (command != CommandCode::MediaFrame)
        m_recvBytes += total;

    switch (command) {
    case CommandCode::LoginReply: OnLoginReply(message, total); break;
    // Carries nothing. (It used to pause the user-interface thread for 5 ms, so that a burst of
    // them froze the window.)
    case CommandCode::PauseNotice: break;
    case CommandCode::PtzInfo: OnPtzInfo(message, total); break;
    case CommandCode::FileBegin:
    case CommandCode::FileEnd:
    case CommandCode::FileStat:
    case CommandCode::FileDataRequest:
    case CommandCode::FileData: m_fileTransfer->OnRecvMessage(message, total); break;
    case CommandCode::CommandResult: OnCommandResult(message, total); break;
    case CommandCode::ModelInfo: OnModelInfo(message, total); break;
    case CommandCode::ListRequest: OnList(message, total, false); break;
    case CommandCode::ListData: OnList(message, total, true); break;
    case CommandCode::Status: OnStatus(message, total); break;
    case CommandCode::MediaFrame: m_recvBytes += OnFrame(message, total); break;
    case CommandCode::AsyncEvent: emit OnNetAsyncEvent(); break;
    case CommandCode::CameraTitles: OnCameraTitles(message, total); break;
    case CommandCode::MediaState: OnMediaState(message, total); break;
    case CommandCode::BurningResult: OnBurningResult(message, total); break;
    case CommandCode::DiskInfoRequest: m_diskText = QStringLiteral("Unknown"); break;
    case CommandCode::BackupCapa: OnBackupCapa(message, total); break;
    case CommandCode::DiskInfo: OnDiskInfo(message, total); break;
    case CommandCode::EraseResult: emit OnNetEraseResult(char(H::ReadStatus(message))); break;
    case CommandCode::FrameReply: OnFrameReply(message, total); break;
    case CommandCode::CameraMap: OnCameraMap(message, total); break;
    case CommandCode::UpgradeInfo: OnUpgradeInfo(message, total); break;
    case CommandCode::PlaybackInfo: OnPlaybackInfo(message, total); break;
    case CommandCode::CameraKinds: OnCameraKinds(message, total); break;
    case CommandCode::ConfigField: qCDebug(lcNet) << "config field" << FieldText(message, 12, total - 12); break;
    case CommandCode::ConfigUpdate: qCDebug(lcNet) << "config update" << FieldText(message, 12, total - 12); break;
    case CommandCode::ConsoleLockCanceled: emit OnNetConsoleLockCanceled(); break;
    case CommandCode::ConsoleDataRequest: OnConsoleNotSupported(); break;
    case CommandCode::ConsoleData: OnConsoleData(message, total); break;
    case CommandCode::ExtendedStatus: OnExtendedStatus(message, total); break;
    case CommandCode::RecorderValues: OnRecorderValues(message, total); break;
    default: break;
    }
}

void CNetTypeMirel::OnCommandResult(const char* message, int total)
{
    if (total > 12)
        qCDebug(lcNet) << "result" << H::U8(message, 12) << H::ReadStatus(message);
}

void CNetTypeMirel::OnBurningResult(const char* message, int total)
{
    if (total < 16) {
        qCDebug(lcNet) << "CNetTypeMirel: burning result too short" << total;
        return;
    }
    emit OnNetBurningResult(message[12], message[13], message[14], message[15]);
}

void CNetTypeMirel::OnBackupCapa(char* message, int total)
{
    if (total < 16) {
        qCDebug(lcNet) << "CNetTypeMirel: backup capacity reply too short" << total;
        return;
    }
    emit OnNetBackupCapa(reinterpret_cast<_SEND_BACKUP_CAPA*>(message));
}

void CNetTypeMirel::OnUpgradeInfo(const char* message, int total)
{
    if (total < 28) {
        qCDebug(lcNet) << "CNetTypeMirel: upgrade information too short" << total;
        return;
    }
    qCDebug(lcNet) << ">>IMAGE DATE TIME :"
                   << QString::asprintf("%d %d", H::S32(message, 12), H::S32(message, 16));
    qCDebug(lcNet) << "UPGRADE DATE TIME :"
                   << QString::asprintf("%d %d", H::S32(message, 20), H::S32(message, 24));
}

void CNetTypeMirel::OnConsoleNotSupported()
{
    if (HubServices* hub = HubServices::Instance()) {
        hub->ShowMessageBox(QString(), QStringLiteral("Not Support"), QString());
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("stop"));
    }
}

// ---------------------------------------------------------------------------------------------
// Login chain

void CNetTypeMirel::OnLoginReply(const char* message, int total)
{
    m_loginDone = true;
    m_loginOutstanding = false;
    const quint8 status = H::ReadStatus(message);
    if (status != 0) {
        // A refused login closes the connection, so that the caller sees the failure.
        qCDebug(lcNet) << "CNetTypeMirel: login refused, status" << status;
        Disconnect();
        return;
    }
    if (total < 30) {
        qCDebug(lcNet) << "CNetTypeMirel: login reply too short" << total;
        Disconnect();
        return;
    }
    const quint8 flags = H::U8(message, 20);
    m_loginOption = (flags & 0x04) != 0;
    m_loginLevel = (flags & 0x08) ? int(H::S8(message, 21)) : int(H::S8(message, 20));
    for (int i = 0; i < 4; ++i)
        m_loginMasks[size_t(i)] = H::S16(message, 22 + 2 * i);
    Send(RequestBuilder::ModelInfoRequest());
}

void CNetTypeMirel::OnModelInfo(char* message, int total)
{
    if (total < 100) {
        qCDebug(lcNet) << "CNetTypeMirel: model information too short" << total;
        return;
    }
    if (!TakeModelClass(message)) {
        m_modelCheck = kModelRefused;
        Disconnect();
        return;
    }
    m_modelCheck = 1;
    m_channelCount = std::min<int>(H::U8(message, 14), kMaxChannels);
    m_secondCount = H::U8(message, 15);
    m_sessionCount = H::U8(message, 25);
    m_subModelLetter = H::U8(message, 26);
    m_subModel = H::S32(message, 28);
    m_engineFlag36 = (H::U8(message, 36) & 0x04) != 0;
    m_firmwareMajor = H::U8(message, 41);
    m_firmwareMinor = H::U8(message, 42);
    m_relayCount = H::U8(message, 43);
    m_featureWord = H::U32(message, 44);
    m_sessionValue = H::U8(message, 98);
    TakeFirmwareCapabilities(message);
    TakeModelType(message);
    TakeModelTexts(message);
    m_ptzMask = 0;
    Send(RequestBuilder::CameraTitleRequest());
}

bool CNetTypeMirel::TakeModelClass(char* message)
{
    // The raw code byte packs a model class in its upper bits; 0xFF carries both in bytes 72, 73.
    const int raw = H::U8(message, 12);
    int modelClass = 0;
    int code = raw;
    if (raw == 0xFF) {
        modelClass = H::S8(message, 72);
        code = H::U8(message, 73);
    } else if (raw < 0x20) {
        modelClass = 1;
        code = raw - 0x10;
    } else if (raw < 0x60) {
        code = raw - (raw & 0xF0);
    } else if (raw < 0x70) {
        modelClass = 6;
        code = raw - 0x60;
    } else if (raw < 0x80) {
        modelClass = 7;
        code = raw - 0x70;
    } else if (raw < 0xA0) {
        code = raw - (raw & 0xF0);
    } else if (raw < 0xB0) {
        modelClass = 10;
        code = raw - 0xA0;
    }
    message[12] = char(code);
    if (modelClass != 1 && modelClass != 6 && modelClass != 7 && modelClass != 10) {
        qCDebug(lcNet) << "CNetTypeMirel: model code" << Qt::hex << raw << "has no accepted class";
        return false;
    }
    m_rawModelCode = raw;
    m_modelClass = modelClass;
    m_modelCode = code;
    return true;
}

void CNetTypeMirel::TakeFirmwareCapabilities(const char* message)
{
    const int firmware = m_firmwareMajor * 100 + m_firmwareMinor;
    const bool bit20 = (m_featureWord >> 20) & 1;
    m_extendedKeepAlive = firmware >= 330;
    m_dualStream = firmware >= 331;
    m_secondStream = m_dualStream ? 1 : 0;
    m_directRate = firmware >= 341;
    m_eventListCapa = firmware >= 342 && bit20;
    m_furtherCapa = firmware >= 344 && bit20;
    m_extendedAudio = H::U8(message, 99) == 3;
}

void CNetTypeMirel::TakeModelType(const char* message)
{
    const bool bit20 = (m_featureWord >> 20) & 1;
    const bool bit7 = (m_featureWord >> 7) & 1;
    m_modelTypeIndex = 0;
    m_streamKind = 0;
    m_modelFlag = false;
    m_featureFlag = false;
    m_code13Flag = false;
    switch (m_modelCode) {
    case 6:
        m_extendedAudio = true;
        m_modelTypeIndex = 0;
        break;
    case 7:
        m_extendedAudio = true;
        m_modelTypeIndex = 1;
        break;
    case 8: {
        const int sub = m_subModel;
        m_modelTypeIndex = 5;
        if (sub == 1641 || sub == 841 || sub == 1642 || sub == 842 || sub == 1621 || sub == 821 || sub == 421)
            m_modelTypeIndex = 4;
        else if (sub == 422 || sub == 822)
            m_modelTypeIndex = 2;
        if (sub == 1642 || sub == 422 || sub == 822 || sub == 842)
            m_modelFlag = true;
        if (bit20) {
            m_featureFlag = true;
            if (bit7)
                m_streamKind = 3;
        }
        break;
    }
    case 9: m_modelTypeIndex = 1; break;
    case 11:
        m_extendedAudio = true;
        m_modelTypeIndex = (m_subModelLetter == ' ') ? 2 : 1;
        break;
    case 13:
        m_streamKind = 1;
        m_modelTypeIndex = 6;
        m_code13Flag = H::U8(message, 28) > 100;
        break;
    case 15:
        m_streamKind = 2;
        m_modelTypeIndex = 6;
        break;
    case 16:
    case 17:
        m_streamKind = 3;
        m_modelTypeIndex = 6;
        m_secondFlag.fill(true);
        break;
    default: break;
    }
    if (bit20 && m_streamKind == 0)
        m_streamKind = 1;
    m_featureBit16 = (m_featureWord >> 16) & 1;
}

void CNetTypeMirel::TakeModelTexts(const char* message)
{
    m_versionText = QString::asprintf("%d.%02d.%02d.%02d", H::U8(message, 16), H::U8(message, 17),
                                      H::U8(message, 18), H::U8(message, 71));
    m_macText = QString::asprintf("%02X:%02X:%02X:%02X:%02X:%02X", H::U8(message, 92), H::U8(message, 93),
                                  H::U8(message, 94), H::U8(message, 95), H::U8(message, 96), H::U8(message, 97));
}

void CNetTypeMirel::OnCameraTitles(const char* message, int total)
{
    for (int n = 0; n < m_channelCount; ++n) {
        const int at = 12 + 16 * n;
        if (at + 16 > total) {
            qCDebug(lcNet) << "CNetTypeMirel: camera titles end after" << n << "records";
            break;
        }
        m_titles[size_t(n)] = FieldText(message, at, 15);
    }
    for (int n = 0; n < kMaxChannels; ++n) {
        m_live[size_t(n)].firstFrame = -1;
        m_liveRequested[size_t(n)] = false;
        m_cameraKind[size_t(n)] = 0;
    }
    SendPtzInfoRequest(0);
}

void CNetTypeMirel::OnPtzInfo(char* message, int total)
{
    if (total < 14) {
        qCDebug(lcNet) << "CNetTypeMirel: PTZ information too short" << total;
        return;
    }
    const int channel = H::U8(message, 12);
    if (channel >= kMaxChannels) {
        qCDebug(lcNet) << "CNetTypeMirel: PTZ information for channel" << channel << "dropped";
        return;
    }
    const int length = std::clamp<int>(H::S8(message, 13), 0, total - 14);
    const QString text = FieldText(message, 14, length);
    if (text != QLatin1String("NONE"))
        m_ptzMask |= quint16(1u << channel);
    if (channel + 1 < m_channelCount)
        SendPtzInfoRequest(channel + 1);
    else
        Send(RequestBuilder::PtzListEnd());
}

void CNetTypeMirel::OnCameraMap(const char* message, int total)
{
    const bool identity = H::ReadStatus(message) != 0;
    for (int n = 0; n < kMaxChannels; ++n) {
        if (identity || 12 + n >= total)
            m_cameraMap[size_t(n)] = n;
        else
            m_cameraMap[size_t(n)] = H::S8(message, 12 + n);
    }
    Send(RequestBuilder::CameraKindRequest());
}

void CNetTypeMirel::OnCameraKinds(const char* message, int total)
{
    if (total < 13) {
        qCDebug(lcNet) << "CNetTypeMirel: camera kinds too short" << total;
        return;
    }
    const int count = std::min<int>(H::U8(message, 12), kMaxChannels);
    for (int n = 0; n < count && 16 + n < total; ++n) {
        const int kind = H::U8(message, 16 + n);
        m_cameraKind[size_t(n)] = kind;
        if (m_secondFlag[size_t(n)] && kind != 6)
            m_secondFlag[size_t(n)] = false;
    }
    SendPoll();
}

void CNetTypeMirel::OnExtendedStatus(const char* message, int total)
{
    if (total < 30) {
        qCDebug(lcNet) << "CNetTypeMirel: extended status too short" << total;
        return;
    }
    m_extStatus[0] = H::S8(message, 24);
    m_extStatus[1] = H::S8(message, 25);
    m_extStatus[2] = H::S16(message, 28);
    Send(RequestBuilder::StatusPoll());
}

void CNetTypeMirel::OnStatus(const char* message, int total)
{
    if (total >= 34) {
        const quint16 event = H::U16(message, 12);
        const quint16 motion = H::U16(message, 14);
        const quint16 sensor = H::U16(message, 16);
        const quint16 relay = H::U16(message, 22);
        const quint16 present = H::U16(message, 24);
        const quint16 video = H::U16(message, 26);
        const quint16 maskA = H::U16(message, 28);
        const quint16 maskB = H::U16(message, 32);
        for (int n = 0; n < m_channelCount; ++n) {
            const size_t i = size_t(n);
            const auto bit = [n](quint16 mask) { return ((mask >> n) & 1) != 0; };
            m_relay[i] = bit(relay);
            m_present[i] = bit(present);
            if (!m_present[i]) {
                m_motion[i] = m_sensor[i] = m_videoLoss[i] = m_maskA[i] = m_maskB[i] = false;
                m_liveRequested[i] = false;
                continue;
            }
            if (event == 0) {
                m_motion[i] = bit(motion);
                m_sensor[i] = bit(sensor);
            }
            m_videoLoss[i] = !bit(video);
            m_maskA[i] = bit(maskA);
            m_maskB[i] = bit(maskB);
        }
        if (total >= 56 && !m_diskInfoFlag) {
            static const quint8 kMap[4] = {0, 3, 1, 2};
            for (int i = 0; i < 10; ++i) {
                const quint8 code = H::U8(message, 44 + i);
                m_diskState[size_t(i)] = code < 4 ? kMap[code] : 0;
            }
        }
    } else {
        qCDebug(lcNet) << "CNetTypeMirel: status too short for the channel masks" << total;
    }
    if (m_netState == 2) {
        emit OnNetState(3);
        return;
    }
    m_netState = 2;
    StartKeepAlive();
    emit OnNetState(2);
    m_diskInfoFlag = false;
    Send(RequestBuilder::DiskInfoRequest());
}

void CNetTypeMirel::OnDiskInfo(const char* message, int total)
{
    if (total < 25) {
        qCDebug(lcNet) << "CNetTypeMirel: disk information too short" << total;
        return;
    }
    const qint64 capacity = H::U32(message, 12);
    const qint64 used = H::U32(message, 16);
    const quint8 mode = H::U8(message, 20);
    const int limit = H::U8(message, 21);
    const int arrayType = H::U8(message, 23);
    const int arrayState = H::U8(message, 24);
    int count = (total - 27) / 12;
    if (limit != 0 && count > limit)
        count = limit;

    QString text;
    if (used == 0)
        text = QStringLiteral("0.00 GB");
    else if (used < 1000)
        text = QString::asprintf("%d.00 GB", int(used));
    else
        text = QString::asprintf("%.2f TB", double(used) / 1000.0);
    if (used == 0 || capacity == 0) {
        text += QStringLiteral(" (0%)");
    } else {
        // Compared as a fraction first: a recorder can report more used than capacity, by far.
        const double percent = double(used) / double(capacity) * 100.0;
        text += percent >= 99.5 ? QStringLiteral(" (100%)") : QString::asprintf(" (%d%%)", int(percent + 0.5));
    }
    m_diskText = count < 1 ? QStringLiteral("HDD recognition error") : text;

    if (mode == 0x7F) {
        m_diskInfoFlag = true;
        m_arrayType = arrayType;
        if (arrayState != 0 && (arrayType == 0 || arrayType == 1 || arrayType == 5)) {
            m_diskState.fill(0);
            m_diskState[0] = arrayState == 4 ? 2 : arrayState == 1 ? 1 : 3;
        }
    } else {
        for (int i = 0; i < kDiskStates; ++i) {
            const int at = 28 + 12 * i;
            quint8 state = 0;
            if (i < count && at + 9 <= total && H::U16(message, at) != 0) {
                switch (H::U8(message, at + 8)) {
                case 0: state = 2; break;
                case 1: state = 1; break;
                case 2: state = 3; break;
                default: state = 0; break;
                }
            }
            m_diskState[size_t(i)] = state;
        }
    }
    emit OnNetState(3);
}

void CNetTypeMirel::OnRecorderValues(const char* message, int total)
{
    if (total < 32) {
        qCDebug(lcNet) << "CNetTypeMirel: recorder values too short" << total;
        return;
    }
    std::memcpy(m_recorderValues.data(), message + 12, m_recorderValues.size());
}

// ---------------------------------------------------------------------------------------------
// Media

qint64 CNetTypeMirel::OnFrame(char* message, int total)
{
    if (total < 40) {
        qCDebug(lcNet) << "CNetTypeMirel: frame message too short" << total;
        return 0;
    }
    switch (H::U8(message, 36)) {
    case 0:
        if ((H::U8(message, 12) & 0x50) == 0x50) {
            OnLiveAudio(message, total);
            return total;
        }
        return OnLiveVideo(message, total);
    case 1: OnPlaybackFrame(message, total); return total;
    default: return 0;
    }
}

void CNetTypeMirel::OnLiveAudio(const char* message, int total)
{
    const int channel = H::S8(message, 14);
    if (channel != m_audioChannel || !m_liveAudioBuffer)
        return;
    if (!ValidChannel(channel)) {
        qCDebug(lcNet) << "CNetTypeMirel: live audio channel out of range" << channel;
        return;
    }
    const qint64 frameSize = H::S32(message, 16);
    int from = 0;
    qint64 length = 0;
    int codec = 0;
    const bool tagged = total >= 48 && H::U32(message, 40) == 0x00A00100u && frameSize != 344;
    if (tagged) {
        const quint32 tag = H::U32(message, 44);
        if (tag == kTagLpcm)
            codec = 0;
        else if (tag == kTagUlaw)
            codec = 1;
        else {
            qCDebug(lcNet) << "CNetTypeMirel: live audio with unknown tag" << Qt::hex << tag;
            return;
        }
        from = 64;
        length = frameSize - 24;
    } else if (frameSize == 344) {
        from = 64;
        length = 320;
        codec = 2;
    } else if (frameSize > 1024) {
        from = 68;
        length = 1024;
        codec = m_extendedAudio ? 0 : 1;
    } else {
        from = 56;
        length = 512;
        codec = 0;
    }
    if (length < 0 || length > kLiveAudioBufferSize || from + length > total) {
        qCDebug(lcNet) << "CNetTypeMirel: live audio block of" << length << "bytes at" << from
                       << "does not fit the message of" << total << "or the audio buffer";
        return;
    }
    std::memcpy(m_liveAudioBuffer, message + from, size_t(length));
    if (codec != 2 && m_modelTypeIndex != 0 && m_modelTypeIndex != 2 && m_modelTypeIndex != 4)
        SwapWords(m_liveAudioBuffer, int(length)); // whole words stay inside the 2000 bytes
    emit OnNetLiveAudio(m_cameraMap[size_t(channel)], int(length), codec, H::S32(message, 28), H::S32(message, 24),
                        H::S32(message, 32));
}

int CNetTypeMirel::OnLiveVideo(const char* message, int total)
{
    const int channel = H::S8(message, 14);
    if (!ValidChannel(channel) || channel >= std::max(m_channelCount, 1)) {
        qCDebug(lcNet) << "CNetTypeMirel: live video channel out of range" << channel;
        return 0;
    }
    LiveChannel& live = m_live[size_t(channel)];
    if (!m_liveRequested[size_t(channel)]) {
        live.firstFrame = -1;
        return 0;
    }
    const qint64 size = H::S32(message, 16);
    const qint64 offset = H::S32(message, 20);
    const qint64 length = total - 40;
    if (offset != live.received || !PieceFits(offset, length, size)) {
        qCDebug(lcNet) << "CNetTypeMirel: live piece at" << offset << "of" << length << "bytes, frame" << size
                       << ", expected offset" << live.received << "- reassembly restarts";
        live.received = 0;
        return 0;
    }
    live.received = int(offset + length);
    if (size <= live.assembly.size())
        std::memcpy(live.assembly.data() + offset, message + 40, size_t(length));
    if (offset + length != size)
        return 0;
    live.received = 0;
    if (size > live.assembly.size() || !live.target) {
        qCDebug(lcNet) << "CNetTypeMirel: live frame of" << size << "bytes on channel" << channel
                       << "exceeds the frame buffer or has no buffer, dropped";
        return 0;
    }

    const int type = H::U8(message, 15) + ((H::U8(message, 39) & 0x10) ? 10 : 0);
    const bool decodeOnly = (H::U8(message, 39) & 0x01) != 0;
    const int frameId = H::U8(message, 13);
    const int sequence = H::S8(message, 38);
    if (type == 1) {
        live.frameId = frameId;
        live.sequence = sequence;
    } else if (type == 0) {
        if (frameId != live.frameId) {
            live.frameId = -1;
            return 0;
        }
        if (m_streamKind == 2 || m_streamKind == 3) {
            if (sequence == 0) {
                live.sequence = 0;
            } else if (sequence == live.sequence + 1) {
                live.sequence = sequence;
            } else {
                live.frameId = -1;
                return 0;
            }
        }
    } else {
        return 0;
    }

    if (live.firstFrame == 0 || decodeOnly)
        live.firstFrame = 1;
    else if (live.firstFrame != 1)
        return 0;
    std::memcpy(live.target, live.assembly.constData(), size_t(size));
    emit OnNetLiveVideo(channel, int(size), m_streamKind, H::S32(message, 28), H::S32(message, 24), type,
                        decodeOnly, H::S32(message, 32), sequence);
    return int(size);
}

void CNetTypeMirel::OnPlaybackFrame(const char* message, int total)
{
    const int channel = H::S8(message, 14);
    const qint64 size = H::S32(message, 16);
    const qint64 offset = H::S32(message, 20);
    const qint64 length = total - 40;
    const int valueA = H::S32(message, 28);
    const int valueB = H::S32(message, 24);
    const int playbackValue = H::S8(message, 37);
    if (size == 4) {
        emit OnNetPlaybackVideo(channel, 4, m_streamKind, valueA, valueB, playbackValue, false, 0, 0);
        return;
    }
    if (!m_playbackBuffer) {
        qCDebug(lcNet) << "CNetTypeMirel: playback frame without a playback buffer dropped";
        return;
    }
    if (offset != m_playbackReceived || !PieceFits(offset, length, size)) {
        qCDebug(lcNet) << "CNetTypeMirel: playback piece at" << offset << "of" << length << "bytes, frame" << size
                       << ", expected offset" << m_playbackReceived;
        m_playbackReceived = 0;
        return;
    }
    m_playbackReceived = int(offset + length);
    if (offset + length <= kPlaybackBufferSize)
        std::memcpy(m_playbackBuffer + offset, message + 40, size_t(length));
    if (offset + length != size)
        return;
    m_playbackReceived = 0;
    if (size > kPlaybackBufferSize) {
        qCDebug(lcNet) << "CNetTypeMirel: playback frame of" << size << "bytes exceeds the buffer";
        return;
    }
    if (channel < 0 || channel > m_channelCount || channel >= kSlots) {
        qCDebug(lcNet) << "CNetTypeMirel: playback channel out of range" << channel;
        return;
    }
    if (channel == m_channelCount) {
        emit OnNetPlaybackAudio(int(size), m_streamKind, valueA, valueB, playbackValue);
        return;
    }
    const int baseType = H::U8(message, 15);
    const int type = baseType + ((H::U8(message, 39) & 0x10) ? 10 : 0);
    const int frameId = H::U8(message, 13);
    if (baseType == 1) {
        m_playbackFrameId = frameId;
    } else if (baseType == 0 && frameId != m_playbackFrameId) {
        return;
    }
    emit OnNetPlaybackVideo(channel, int(size), m_streamKind, valueA, valueB, playbackValue,
                            (H::U8(message, 39) & 0x01) != 0, char(type), char(H::S8(message, 38)));
}

// ---------------------------------------------------------------------------------------------
// Lists and index

void CNetTypeMirel::OnList(const char* message, int total, bool withData)
{
    if (total < 28) {
        qCDebug(lcNet) << "CNetTypeMirel: list message too short" << total;
        return;
    }
    const int channel = H::S32(message, 12);
    const ListKind kind = static_cast<ListKind>(H::U8(message, 16));
    const bool failed = withData && H::ReadStatus(message) != 0;
    if (failed)
        qCDebug(lcNet) << "_SEND_INFO_FILE error" << H::ReadStatus(message) << H::ReadSubCode(message)
                       << H::U8(message, 17) << qint64(channel) - 10;
    if (kind == ListKind::IntraIndex) {
        OnIndexList(message, total, withData, failed);
        return;
    }
    void (CNetTypeMirel::*signal)(int, int) = nullptr;
    switch (kind) {
    case ListKind::TimeList: signal = &CNetTypeMirel::OnNetTimeRecList; break;
    case ListKind::EventList:
    case ListKind::ExtendedEventList: signal = &CNetTypeMirel::OnNetEventRecList; break;
    case ListKind::AudioList: signal = &CNetTypeMirel::OnNetAudioRecList; break;
    default: return;
    }
    if (!m_listBuffer) {
        qCDebug(lcNet) << "CNetTypeMirel: list piece without a list buffer dropped";
        return;
    }
    if (!withData || failed) {
        emit(this->*signal)(channel, 0);
        return;
    }
    const qint64 size = H::S32(message, 20);
    const qint64 offset = H::S32(message, 24);
    const qint64 length = total - 28;
    if (!PieceFits(offset, length, size)) {
        qCDebug(lcNet) << "CNetTypeMirel: list piece at" << offset << "of" << length << "bytes outside the list of"
                       << size << "dropped";
        emit OnNetListRefused(int(kind));
        return;
    }
    if (size <= kListBufferSize)
        std::memcpy(m_listBuffer + offset, message + 28, size_t(length));
    if (offset + length != size)
        return;
    if (size > kListBufferSize) {
        qCDebug(lcNet) << "CNetTypeMirel: list of" << size << "bytes exceeds the list buffer";
        emit OnNetListRefused(int(kind));
        emit(this->*signal)(channel, 0);
        return;
    }
    emit(this->*signal)(channel, int(size));
}

void CNetTypeMirel::OnIndexList(const char* message, int total, bool withData, bool failed)
{
    const int channel = H::S32(message, 12);
    const int sub = H::ReadSubCode(message);
    int stream = 0;
    int slot = sub;
    if (sub >= 220) {
        stream = 6;
        slot = sub - 220;
    } else if (sub >= 200) {
        stream = 2;
        slot = sub - 200;
    } else if (sub >= 100) {
        stream = 1;
        slot = sub - 100;
    }
    if (slot > m_channelCount)
        slot -= m_channelCount + 1;
    if (slot < 0 || slot >= kSlots || slot > m_channelCount) {
        qCDebug(lcNet) << "CNetTypeMirel: index reply for slot" << slot << "dropped";
        return;
    }
    FrameSlot& s = m_slots[size_t(slot)];
    if (!s.index) {
        qCDebug(lcNet) << "CNetTypeMirel: index reply without an index buffer dropped";
        return;
    }
    const bool header = channel >= 10;
    if (!withData || failed) {
        if (failed)
            qCDebug(lcNet) << (header ? "intra header error" : "intra index error");
        if (header)
            emit OnNetIntraHeader(channel - 10, slot, 0, 0, stream);
        else
            emit OnNetIntraIndex(channel, slot, 0, stream);
        return;
    }
    const qint64 size = H::S32(message, 20);
    const qint64 offset = H::S32(message, 24);
    const qint64 length = total - 28;
    if (!PieceFits(offset, length, size)) {
        qCDebug(lcNet) << "CNetTypeMirel: index piece at" << offset << "of" << length
                       << "bytes outside the index of" << size << "dropped";
        emit OnNetListRefused(int(ListKind::IntraIndex));
        return;
    }
    const int limit = header ? 960 : 512;
    const bool fits = offset + length <= limit;
    if (fits)
        std::memcpy(s.index + offset, message + 28, size_t(length));
    if (offset + length != size)
        return;
    if (header)
        emit OnNetIntraHeader(channel - 10, slot, 0, fits ? int(size) : 960, stream);
    else
        emit OnNetIntraIndex(channel, slot, int(std::min<qint64>(size, 512)), stream);
}

void CNetTypeMirel::OnFrameReply(const char* message, int total)
{
    if (total < 16) {
        qCDebug(lcNet) << "CNetTypeMirel: frame reply too short" << total;
        return;
    }
    int code = H::S32(message, 12);
    int kind = 0;
    if (code >= 8000) {
        kind = 7;
        code -= 8000;
    } else if (code >= 1000) {
        kind = code / 1000;
        code -= kind * 1000;
    }
    if (code < 0) {
        qCDebug(lcNet) << "CNetTypeMirel: frame reply with channel code" << code << "dropped";
        return;
    }
    const bool isData = code >= 100;
    const int slot = isData ? code - 100 : code;
    if (slot >= kSlots || slot > m_channelCount) {
        qCDebug(lcNet) << "CNetTypeMirel: frame reply for slot" << slot << "dropped";
        return;
    }
    FrameSlot& s = m_slots[size_t(slot)];
    const quint8 status = H::ReadStatus(message);
    const int sub = H::ReadSubCode(message);
    if (status != 0) {
        qCDebug(lcNet) << "error ------------ " << status;
        if (sub >= 200) {
            if (isData)
                emit OnNetFrameData(slot, 0, m_streamKind, kind);
            else
                emit OnNetFrameHeader(slot, 0, m_streamKind, kind);
        }
        return;
    }
    if (sub != 200)
        return;
    if (total < 36) {
        qCDebug(lcNet) << "CNetTypeMirel: frame piece too short" << total;
        return;
    }
    const qint64 offset = H::S32(message, 28);
    const qint64 size = H::S32(message, 32);
    const qint64 length = total - 36;
    const char* piece = message + 36;

    if (!isData) {
        if (kind >= 6) {
            if (!s.header2 || length > kFrameHeaderBufferSize) {
                qCDebug(lcNet) << "CNetTypeMirel: frame header piece of" << length << "bytes without room dropped";
                return;
            }
            std::memcpy(s.header2, piece, size_t(length));
            emit OnNetFrameHeader(slot, int(length), m_streamKind, kind);
            return;
        }
        if (size == 0) {
            emit OnNetFrameHeader(slot, 0, m_streamKind, kind);
            return;
        }
        if (!s.header || !PieceFits(offset, length, size)) {
            qCDebug(lcNet) << "CNetTypeMirel: frame header piece at" << offset << "of" << length << "bytes, header"
                           << size << "dropped";
            return;
        }
        if (offset == 0)
            s.headerReceived = 0;
        if (offset + length < kFrameHeaderBufferSize) {
            std::memcpy(s.header + offset, piece, size_t(length));
            s.headerReceived += int(length);
        }
        if (offset + length != size)
            return;
        // An incomplete header is reported as such, never with its announced size.
        emit OnNetFrameHeader(slot, s.headerReceived == size ? int(size) : 0, m_streamKind, kind);
        return;
    }

    char* target = kind < 6 ? s.data : s.data2;
    if (!target || !PieceFits(offset, length, size)) {
        qCDebug(lcNet) << "CNetTypeMirel: frame data piece at" << offset << "of" << length << "bytes, frame"
                       << size << "dropped";
        return;
    }
    if (offset == 0)
        s.dataReceived = 0;
    if (offset + length < kFrameDataBufferSize) {
        std::memcpy(target + offset, piece, size_t(length));
        s.dataReceived += int(length);
    }
    if (offset + length != size)
        return;
    emit OnNetFrameData(slot, s.dataReceived == size ? int(size) : 0, m_streamKind, kind);
}

void CNetTypeMirel::OnPlaybackInfo(char* message, int total)
{
    if (total < 32) {
        qCDebug(lcNet) << "CNetTypeMirel: playback information too short" << total;
        return;
    }
    int count = std::min((total - 32) / 4, kPlaybackInfoMaxDays);
    // The day list is padded with -1 up to the largest count a recorder may report.
    for (int i = 0; i < kPlaybackInfoMaxDays; ++i)
        m_playbackDays[size_t(i)] = i < count ? H::S32(message, 32 + 4 * i) : -1;
    const int sub = H::ReadSubCode(message);
    if (sub == 1)
        count = -999;
    else if (sub == 2)
        count = -888;
    emit OnNetPlaybackDataInfo(H::S32(message, 12), H::S32(message, 16), H::S32(message, 20), H::S32(message, 24),
                               count, m_playbackDays.data());
}

void CNetTypeMirel::OnConsoleData(const char* message, int total)
{
    if (total < 40) {
        qCDebug(lcNet) << "CNetTypeMirel: console data too short" << total;
        return;
    }
    if (!m_consoleBuffer) {
        qCDebug(lcNet) << "CNetTypeMirel: console data without a console buffer dropped";
        return;
    }
    const qint64 whole = H::S32(message, 12);
    const qint64 offset = H::S32(message, 16);
    const qint64 length = total - 40;
    if (!PieceFits(offset, length, whole) || offset + length > kConsoleBufferSize) {
        qCDebug(lcNet) << "CNetTypeMirel: console piece at" << offset << "of" << length
                       << "bytes outside the data of" << whole << "dropped";
        return;
    }
    std::memcpy(m_consoleBuffer + offset, message + 40, size_t(length));
    if (offset + length != whole)
        return;
    emit OnNetGuiData(int(whole), H::U16(message, 20), H::U16(message, 22), H::U16(message, 24),
                      H::U16(message, 26), H::U16(message, 32), H::U16(message, 34));
}

void CNetTypeMirel::OnMediaState(const char* message, int total)
{
    if (total < 16) {
        qCDebug(lcNet) << "CNetTypeMirel: media state too short" << total;
        return;
    }
    short first = H::S16(message, 12);
    short second = H::S16(message, 14);
    if (total != 16) {
        second = 0;
        if (first == 0) {
            first = -1;
        } else if (first > 1) {
            second = first;
            first = 32;
        }
    }
    emit OnNetCDMedia(first, second);
}
