#pragma once
// CNetTypeMirel: the recorder protocol engine of one connection. It owns the connection's
// socket thread, connects, runs the login chain (model, camera titles, PTZ channels, camera map,
// camera kinds, first status), keeps the connection alive with a status poll every 10 seconds,
// dispatches every received message by command code and hands the results up as OnNet...
// signals. All of it runs on the thread that built the engine (the user-interface thread).
//
// Buffers handed in by callers (live start, lists, index, frame requests, playback, console,
// live audio) are raw pointers kept until the reply has been signalled; every one of them is
// forgotten when the connection goes down (and on DropBuffers), so a caller may free its buffers
// once it has seen state -1 and hands them in again after the next login. The engine never writes
// more into them than the capacities below; a caller must hand in at least that many bytes:
//
//   live frame buffer (SendLiveStart)            kLiveFrameBufferSize    524 288
//   live audio buffer (SendLiveAudioStart)       kLiveAudioBufferSize      2 000
//   list buffer (time, event, audio lists)       kListBufferSize         524 288
//   index buffer per slot (index and header)     kIndexBufferSize          1 024
//   frame header buffers per slot (both kinds)   kFrameHeaderBufferSize   16 384
//   frame data buffers per slot (both kinds)     kFrameDataBufferSize    524 288
//   playback buffer (SendPlaybackCtrlExt)        kPlaybackBufferSize     524 288
//   console data buffer (SendConsoleDataRequest) kConsoleBufferSize      524 288
//
// Live frames are assembled in a buffer of the engine per channel and copied whole into the
// caller's live frame buffer just before OnNetLiveVideo, so one caller buffer may serve all
// channels. Every length, offset, channel and slot of a reply is checked against the message and
// these capacities; a bad piece is dropped with a debug line.
//
// Signals are delivered while the socket is still inside its own notification: a receiver must
// not destroy the engine synchronously from one of them (use deleteLater).
#include "net/requestbuilder.h"
#include "net/sendbackupcapa.h"

#include <QByteArray>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <array>
#include <memory>

class NetRecvThread;
class FileTransfer;
class QTimer;

class CNetTypeMirel : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRecvBufferSize = 40960;
    static constexpr int kMinFrameLength = 8;                   // length field of a bare header
    static constexpr int kMaxFrameLength = kRecvBufferSize - 4; // 40956
    static constexpr int kMaxChannels = 16;
    static constexpr int kSlots = 17; // channels + the extra slot
    static constexpr int kDiskStates = 15;
    static constexpr int kLiveFrameBufferSize = 524288;
    static constexpr int kLiveAudioBufferSize = 2000;
    static constexpr int kListBufferSize = 524288;
    static constexpr int kIndexBufferSize = 1024;
    static constexpr int kFrameHeaderBufferSize = 16384;
    static constexpr int kFrameDataBufferSize = 524288;
    static constexpr int kPlaybackBufferSize = 524288;
    static constexpr int kConsoleBufferSize = 524288;
    static constexpr int kPlaybackInfoMaxDays = 1825;
    static constexpr int kKeepAliveIntervalMs = 10000;
    // A logged-in recorder from which nothing at all has come for this many poll periods is
    // gone (stopped, or its cable pulled): the connection is closed as if it had closed it.
    static constexpr int kSilentPollsAllowed = 3;
    static constexpr int kModelRefused = -2;
    // The state reported (OnNetState) when a connect ends without a connection; the state
    // itself stays -1.
    static constexpr int kConnectFailedState = -2;

    CNetTypeMirel(QObject* parent, bool tls);
    ~CNetTypeMirel() override;

    // Connection. OnConnect acts only while disconnected (state -1) and returns at once: true
    // when the connect has started, which then ends in state 1 (connected) or in the report
    // kConnectFailedState (refused, unreachable, or no answer within 3000 ms).
    bool OnConnect(QString host, int port, QString user, QString password, bool tls);
    void Disconnect();
    // Calls off a connect under way (no report); IsConnecting tells whether one is.
    void CancelConnect();
    bool IsConnecting() const;
    // The dispatcher: one whole framed message of `total` bytes (length field included).
    void OnRecvData(char* message, int total);

    // The recorder's name as the user knows it, for what the user is told about this
    // connection (empty: the address names it).
    void SetRecorderName(const QString& name) { m_recorderName = name; }
    QString RecorderName() const { return m_recorderName; }

    // Tests shorten the 10-second poll; the kind of poll is what matters to them.
    void SetKeepAliveInterval(int milliseconds);
    int KeepAliveInterval() const { return m_keepAliveMs; }

    // Requests (bytes from RequestBuilder, sent synchronously through the socket thread). A request
    // made while disconnected is dropped, but its effect on the engine's state still happens.
    //
    // The login: false when user and password do not fit the login area. Under TLS it goes out
    // only once the recorder's certificate has been accepted: the socket thread asks for it
    // then, and the state-1 path, which asks before the handshake, is not heard. While a login of
    // this connection is unanswered a second one is not sent.
    bool SendLogin(bool silent);
    void SendLiveStart(int channel, int rate, int mode, char* buffer, bool audio);
    void SendLiveStop(int channel);
    void SendPtzInfoRequest(int channel);
    void SendPtzControl(quint8 channel, quint8 code, quint8 speed, int preset);
    void SendFileBegin(int kind, const char* name, int size);
    // The settings and firmware transfer of this connection (its reports name the recorder).
    FileTransfer* GetFileTransfer() const { return m_fileTransfer; }
    void SendFileEnd(int kind);
    void SendFileStat(int kind, quint16 crc, int size);
    void SendReqFileData(int kind, int offset, int size);
    // A list of a day (YYYYMMDD) from one storage slot.
    void SendTimeRecList(int date, int storageSlot, char* buffer);
    void SendEventRecList(int date, int storageSlot, char* buffer);
    void SendAudioRecList(int date, int storageSlot, char* buffer);
    void SendIntraHeaderRequest(int value, int slot, int channel, int offset, int size, char* buffer,
                                quint8 stream);
    void SendIntraIndexRequest(int date, int slot, int channel, char* buffer, int kind, quint8 stream);
    void SendRelayControl(int relay, int state);
    void SendTalkAudio(char* data, int length);
    // Recorder-side media backup; see RequestBuilder for the fields.
    void SendCDMediaCheck(quint8 mediaKind);
    void SendCDBackupPrepare(quint8 discNumber, quint8 mediaKind);
    void SendCDBackupStop(quint8 mediaKind);
    void SendCDBackupClose();
    void SendLiveAudioStart(int channel, char* buffer);
    void SendLiveAudioStop();
    void SendTalkStart();
    void SendTalkStop();
    void SendBackupCapaRequest(int startDate, int startTime, int finishDate, int finishTime, quint16 channelMask,
                               quint16 audioFlag);
    void SendCDBackupStart(int startDate, int startTime, int finishDate, int finishTime, quint16 channelMask,
                           quint16 audioFlag, quint8 mediaKind);
    void SendCDMediaErase(quint8 mediaKind);
    void SendFrameRequest(int slot, int kind, qint64 offset, int size, char* buffer);
    void SendFrameListRequest(int count, const char* entries);
    void SendPlaybackRate(int value);
    // The extended playback control (fields: RequestBuilder::PlaybackCtrlExt). A non-zero
    // `keyFramesOnly` also asks for the long form of the request.
    void SendPlaybackCtrlExt(quint8 requestType, quint8 tag, quint16 playMode, quint8 speed, quint8 audioChannel,
                             quint16 channelMask, int date, int time, quint8 frameRate, char* buffer,
                             quint8 keyFramesOnly);
    void SendConsoleLock(int lockCode);
    void SendMousePos(QPoint p, int button, quint8 flag);
    void SendCameraTitle(int channel, QString title);
    void SendConsoleMode(quint8 mode);
    void SendConsoleDataRequest(int value, char* buffer);
    void SendLiveOutput();
    void SetLiveOutputChannel(quint8 channel);
    // At most 63 entries; a longer list is not sent.
    void SendCDListBackupStart(const QVector<RequestBuilder::ListBackupEntry>& list, quint8 mediaKind);
    void SetFrameBuffers(int slot, char* header, char* data, char* header2, char* data2);
    void SetSecondStream(quint8 selection);
    // Forgets every buffer a caller handed in (list, live audio, playback, console, each
    // channel's live frame buffer, each slot's index, header and data buffers), so a reply that
    // arrives later writes nothing. Done on every disconnect as well.
    void DropBuffers();

    // Accessors.
    int GetNetState() const { return m_netState; }
    int GetChannelCount() const { return m_channelCount; }
    int GetModelCode() const { return m_modelCode; }
    int GetRawModelCode() const { return m_rawModelCode; }
    int GetModelClass() const { return m_modelClass; }
    int GetModelTypeIndex() const { return m_modelTypeIndex; }
    int GetStreamKind() const { return m_streamKind; }
    int GetRelayOutputCount() const { return m_relayCount; }
    int GetSecondCount() const { return m_secondCount; }
    int GetSessionCount() const { return m_sessionCount; }
    int GetSessionValue() const { return m_sessionValue; }
    bool IsExtendedAudio() const { return m_extendedAudio; }
    bool IsFeatureBit16() const { return m_featureBit16; }
    bool IsExtendedKeepAlive() const { return m_extendedKeepAlive; }
    bool IsDualStream() const { return m_dualStream; }
    bool IsDirectRate() const { return m_directRate; }
    bool IsEventListCapable() const { return m_eventListCapa; }
    // Firmware 3.44 or later with feature bit 20.
    bool IsFurtherCapable() const { return m_furtherCapa; }
    // Models that take a firmware package only after the firmware tool has converted it
    // (sub-models 1642, 422, 822 and 842 of model code 8).
    bool IsFirmwareToolModel() const { return m_modelFlag; }
    // The model check of the last model information reply of this connection attempt:
    // 0 no reply yet, 1 accepted, kModelRefused when the model class is not one the client serves
    // (the engine then closes the connection). Kept after the disconnect, cleared by OnConnect.
    int GetModelCheck() const { return m_modelCheck; }
    // A TLS connection whose handshake completed in this connection attempt with a certificate
    // we accept (new, known, or confirmed by the user); a refused certificate fails the handshake.
    // Kept after the disconnect, cleared by OnConnect. Always false for plain TCP.
    bool IsTlsHandshakeDone() const { return m_tlsHandshakeDone; }
    // Under TLS: the recorder's changed certificate waits for the user's answer.
    bool AwaitsCertificateAnswer() const;
    quint8 GetSecondStream() const { return m_secondStream; }
    int GetFirmwareMajor() const { return m_firmwareMajor; }
    int GetFirmwareMinor() const { return m_firmwareMinor; }
    quint32 GetFeatureWord() const { return m_featureWord; }
    QString GetVersionText() const { return m_versionText; }
    QString GetMacText() const { return m_macText; }
    QString GetDiskText() const { return m_diskText; }
    QString GetCameraTitle(int channel) const;
    bool IsPtzChannel(int channel) const;
    int GetCameraMap(int channel) const;
    int GetCameraKind(int channel) const;
    bool IsSecondFlag(int channel) const;
    bool IsLiveRequested(int channel) const;
    bool IsPresent(int channel) const;
    bool IsMotion(int channel) const;
    bool IsSensor(int channel) const;
    bool IsVideoLoss(int channel) const;
    bool IsMaskA(int channel) const;
    bool IsMaskB(int channel) const;
    // Mask B of the channel's camera map entry.
    bool IsChannelActive(int channel) const;
    bool IsRelayOn(int relay) const;
    bool GetLoginDone() const { return m_loginDone; }
    bool GetLoginOption() const { return m_loginOption; }
    int GetLoginLevel() const { return m_loginLevel; }
    qint16 GetLoginMask(int index) const;
    bool GetLoginMaskBit(int index, int channel) const;
    int GetExtendedStatus(int index) const;
    // Storage state per storage slot (the disk state bytes); 0 outside 0..14.
    quint8 GetStorageState(int index) const;
    int GetArrayType() const { return m_arrayType; }
    bool GetDiskInfoFlag() const { return m_diskInfoFlag; }
    QByteArray GetRecorderValues() const;
    qint64 GetRecvBytes() const { return m_recvBytes; }
    qint64 GetSentBytes() const { return m_sentBytes; }
    int GetCurrentAudioChannel() const { return m_audioChannel; }

    // The connection's socket thread (replaced when OnConnect asks for the other socket kind).
    NetRecvThread* Thread() const { return m_thread; }

    // Used by the socket thread.
    char* RecvBuffer() { return m_recvBuffer.get(); }
    void AddSentBytes(qint64 bytes) { m_sentBytes += bytes; }
    void OnSocketConnected();
    void OnSocketDisconnected();
    void OnConnectFailed();
    // Under TLS: the handshake is done and the recorder's certificate accepted.
    void OnCertificateAccepted();

signals:
    void OnConnectResult(bool);
    void OnUsageNetwork(qlonglong);
    void OnNetState(int);
    void OnNetRecvData(char*, int);
    void OnNetLiveVideo(int, int, int, int, int, int, bool, int, int);
    void OnNetLiveAudio(int, int, int, int, int, int);
    void OnNetPlaybackDataInfo(int, int, int, int, int, int*);
    void OnNetPlaybackVideo(int, int, int, int, int, int, bool, char, char);
    void OnNetPlaybackAudio(int, int, int, int, int);
    void OnNetGuiData(int, int, int, int, int, int, int);
    void OnNetConsoleLockCanceled();
    void OnNetAsyncEvent();
    void OnNetTimeRecList(int, int);
    void OnNetEventRecList(int, int);
    void OnNetAudioRecList(int, int);
    // A list or index reply that cannot be read (a piece outside its list, or a list larger than
    // the list buffer): whoever waits for it stops waiting. The list kind byte.
    void OnNetListRefused(int);
    void OnNetBackupCapa(_SEND_BACKUP_CAPA*);
    void OnNetIntraIndex(int, int, int, int);
    void OnNetIntraHeader(int, int, int, int, int);
    void OnNetFrameHeader(int, int, int, int);
    void OnNetFrameData(int, int, int, int);
    void OnNetSendData(char*, int, int);
    void OnNetCDMedia(short, short);
    void OnNetEraseResult(char);
    void OnNetBurningResult(char, char, char, char);
    void OnConfigDataResult();

public slots:
    void timerAliveEvent();
    void SetConfigAction();
    void SetFirmwareAction();

private:
    struct LiveChannel
    {
        QByteArray assembly;    // the engine's own frame buffer of this channel
        char* target = nullptr; // the caller's buffer
        int received = 0;
        int frameId = -1;
        int sequence = 0;
        int firstFrame = -1;
    };
    struct FrameSlot
    {
        char* header = nullptr;
        char* data = nullptr;
        char* header2 = nullptr;
        char* data2 = nullptr;
        char* index = nullptr;
        int headerReceived = 0;
        int dataReceived = 0;
        bool headerFits = true;
        bool indexFits = true;
    };

    void Send(const QByteArray& request);
    void SendRaw(char* data, int length);
    void ReplaceThread(bool tls);
    void StartKeepAlive();
    void SendPoll();

    // Login chain and status.
    void OnLoginReply(const char* message, int total);
    void OnModelInfo(char* message, int total);
    void OnCameraTitles(const char* message, int total);
    void OnPtzInfo(char* message, int total);
    void OnCameraMap(const char* message, int total);
    void OnCameraKinds(const char* message, int total);
    void OnExtendedStatus(const char* message, int total);
    void OnStatus(const char* message, int total);
    void OnDiskInfo(const char* message, int total);
    void OnRecorderValues(const char* message, int total);
    // Model information, in the order of its derivation.
    bool TakeModelClass(char* message);
    void TakeFirmwareCapabilities(const char* message);
    void TakeModelType(const char* message);
    void TakeModelTexts(const char* message);
    // Replies that only report.
    void OnCommandResult(const char* message, int total);
    void OnBurningResult(const char* message, int total);
    void OnBackupCapa(char* message, int total);
    void OnUpgradeInfo(const char* message, int total);
    void OnConsoleNotSupported();
    // Media and lists.
    qint64 OnFrame(char* message, int total);
    void OnLiveAudio(const char* message, int total);
    int OnLiveVideo(const char* message, int total);
    void OnPlaybackFrame(const char* message, int total);
    void OnList(const char* message, int total, bool withData);
    void OnIndexList(const char* message, int total, bool withData, bool failed);
    void OnFrameReply(const char* message, int total);
    void OnPlaybackInfo(char* message, int total);
    void OnConsoleData(const char* message, int total);
    void OnMediaState(const char* message, int total);
    void ClearChannelTables();

    // Connection.
    int m_netState = -1;
    QString m_host;
    QString m_user;
    QString m_password;
    QString m_recorderName;
    int m_port = 0;
    NetRecvThread* m_thread = nullptr;
    QTimer* m_aliveTimer = nullptr;
    int m_keepAliveMs = kKeepAliveIntervalMs;
    bool m_receivedSinceTick = false;
    int m_silentTicks = 0;
    std::unique_ptr<char[]> m_recvBuffer;
    bool m_loginOutstanding = false; // a login went out on this connection, no reply yet
    bool m_tlsHandshakeDone = false;
    int m_modelCheck = 0;
    FileTransfer* m_fileTransfer = nullptr;

    // Byte counters (cleared on every keep-alive tick).
    qint64 m_recvBytes = 0;
    qint64 m_sentBytes = 0;

    // Login reply.
    bool m_loginDone = false;
    bool m_loginOption = false;
    int m_loginLevel = 0;
    std::array<qint16, 4> m_loginMasks{};

    // Model information.
    int m_rawModelCode = -1;
    int m_modelCode = -1;
    int m_modelClass = -1;
    int m_channelCount = 0;
    int m_secondCount = 0;
    int m_sessionCount = 0;
    int m_sessionValue = 0;
    int m_subModel = 0;
    int m_subModelLetter = 0;
    bool m_engineFlag36 = false;
    int m_firmwareMajor = 0;
    int m_firmwareMinor = 0;
    int m_relayCount = 0;
    quint32 m_featureWord = 0;
    bool m_extendedKeepAlive = false;
    bool m_dualStream = false;
    bool m_directRate = false;
    bool m_eventListCapa = false;
    bool m_furtherCapa = false;
    bool m_extendedAudio = false;
    int m_modelTypeIndex = 0;
    int m_streamKind = 0;
    bool m_modelFlag = false;
    bool m_featureFlag = false;
    bool m_code13Flag = false;
    bool m_featureBit16 = false;
    quint8 m_secondStream = 0;
    QString m_versionText;
    QString m_macText;

    // Per channel.
    std::array<QString, kMaxChannels> m_titles;
    quint16 m_ptzMask = 0;
    std::array<int, kMaxChannels> m_cameraMap{};
    std::array<int, kMaxChannels> m_cameraKind{};
    std::array<bool, kMaxChannels> m_liveRequested{};
    std::array<bool, kMaxChannels> m_secondFlag{};
    std::array<bool, kMaxChannels> m_present{};
    std::array<bool, kMaxChannels> m_motion{};
    std::array<bool, kMaxChannels> m_sensor{};
    std::array<bool, kMaxChannels> m_videoLoss{};
    std::array<bool, kMaxChannels> m_maskA{};
    std::array<bool, kMaxChannels> m_maskB{};
    std::array<bool, kMaxChannels> m_relay{};
    std::array<LiveChannel, kMaxChannels> m_live;

    // Storage.
    std::array<quint8, kDiskStates> m_diskState{};
    bool m_diskInfoFlag = false;
    int m_arrayType = 0;
    QString m_diskText;
    std::array<int, 3> m_extStatus{{-1, -1, -1}};
    std::array<char, 20> m_recorderValues{};
    std::array<int, kPlaybackInfoMaxDays> m_playbackDays{};

    // Reply targets.
    char* m_listBuffer = nullptr;
    char* m_liveAudioBuffer = nullptr;
    int m_audioChannel = -1;
    char* m_playbackBuffer = nullptr;
    int m_playbackReceived = 0;
    int m_playbackFrameId = -1;
    char* m_consoleBuffer = nullptr;
    std::array<FrameSlot, kSlots> m_slots;
};
