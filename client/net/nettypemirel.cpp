#include "net/nettypemirel.h"

#include "net/mirelfields.h"

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

} // namespace

using mirelfields::FieldText;
using mirelfields::ValidChannel;

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
    // Pieces are written in order from the frame's start before it is read, so the buffer needs
    // no clearing; left untouched, only the pages a frame reaches take memory.
    if (live.assembly.size() < kLiveFrameBufferSize)
        live.assembly = QByteArray(kLiveFrameBufferSize, Qt::Uninitialized);
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
