#pragma once
// CModuleNetwork: one connection of a recorder session. A widget that is never shown; it owns
// the connection's protocol engine, keeps the connect data, knows whether the connection is
// logged in, refuses every request while it is not, and relays each OnNet... signal of its engine
// unchanged as a SetRecv... signal to the session.
//
// An inert module (non-zero inert value) builds no engine: it refuses every request and never
// connects, but still passes network states on.
#include "net/requestbuilder.h"
#include "net/sendbackupcapa.h"

#include <QPoint>
#include <QString>
#include <QVector>
#include <QWidget>
#include <QtGlobal>

class CNetTypeMirel;

class CModuleNetwork : public QWidget
{
    Q_OBJECT
public:
    CModuleNetwork(int inert, int recorderIndex, bool tls);
    ~CModuleNetwork() override;

    int GetRecorderIndex() const { return m_recorderIndex; }
    bool IsInert() const { return m_inert != 0; }
    bool IsConnected() const { return m_connected; }
    bool IsLoginSent() const { return m_loginSent; }

    // Connection.
    void SetConnectInfo(QString host, int port, QString user, QString password, bool tls);
    // The recorder's name, for what the user is told about this connection.
    void SetRecorderName(const QString& name);
    bool OnConnect();
    // Logs out of a logged-in connection; one that is not logged in is left alone (false).
    bool Disconnect();
    // Closes the connection whatever its state, a socket that is up but not logged in included
    // (a connect given up, a login that never completes). False when there was nothing to close.
    bool Abort();
    // The engine's connection state: -1 down, 1 socket connected, 2 logged in.
    int GetNetState() const;
    // Forgets every buffer handed to the engine (the engine also does so on each disconnect).
    void DropBuffers();

    // Live video, audio, playback and console; refused while not logged in (and when inert).
    void SendLiveStart(int channel, int rate, int mode, char* buffer, bool audio);
    void SendLiveStop(int channel);
    void SendLiveAudioStart(int channel, char* buffer);
    void SendLiveAudioStop();
    void SendPlaybackRate(int value);
    // The extended playback control (fields: RequestBuilder::PlaybackCtrlExt).
    void SendPlaybackCtrlExt(quint8 requestType, quint8 tag, quint16 playMode, quint8 speed, quint8 audioChannel,
                             quint16 channelMask, int date, int time, quint8 frameRate, char* buffer,
                             quint8 keyFramesOnly);
    void SendConsoleLock(int lockCode);
    void SendConsoleLockState(bool locked);
    void SendConsoleDataRequest(int value, char* buffer);

    // Record lists and index: a storage slot that holds nothing is answered at once with size 0.
    void SendTimeRecList(int date, int storageSlot, char* buffer);
    void SendEventRecList(int date, int storageSlot, char* buffer);
    void SendAudioRecList(int date, int storageSlot, char* buffer);
    void SendIntraHeaderRequest(int value, int slot, int channel, int offset, int size, char* buffer,
                                quint8 stream);
    void SendIntraIndexRequest(int date, int slot, int channel, char* buffer, int kind, quint8 stream);

    // Frames: `frameByte` goes out as each piece's kind byte; a negative one, or a size of -1,
    // is answered at once. The recorder offset is high << 32 | low.
    void SendFrameRequest(int slot, int frameByte, int low, int high, int size, char* buffer, int kind);
    bool SendFrameListRequest(int count, const char* entries);

    // Recorder-side media backup and the backup capacity; see RequestBuilder for the fields.
    void SendBackupCapaRequest(int startDate, int startTime, int finishDate, int finishTime, quint16 channelMask,
                               quint16 audioFlag);
    void SendPTZControl(quint8 channel, quint8 code, quint8 speed, int preset);
    void SendRelayControl(int relay, int state);
    void SendMousePos(int x, int y, int button, int flag);
    void SendConsoleMode(quint8 mode);
    void SendCameraTitle(int channel, QString title);
    void SendTalkStart();
    void SendTalkStop();
    void SendTalkAudio(char* data, int length);
    void SendLiveOutput();
    void SetLiveOutputChannel(quint8 channel);
    void SendCDMediaCheck(quint8 mediaKind);
    void SendCDMediaErase(quint8 mediaKind);
    void SendCDBackupPrepare(quint8 discNumber, quint8 mediaKind);
    void SendCDBackupStart(int startDate, int startTime, int finishDate, int finishTime, quint16 channelMask,
                           quint16 audioFlag, quint8 mediaKind);
    void SendCDBackupStop(quint8 mediaKind);
    void SendCDBackupClose();
    void SendCDListBackupStart(const QVector<RequestBuilder::ListBackupEntry>& list, quint8 mediaKind);

    // Settings and firmware transfer.
    // A TransferKind: AccountDownload (for the account manager) or ConsoleDownload.
    void RequestConfigFile(int kind);
    void SetConfigData();   // uploads download.ini
    void SetFirmwareData(); // uploads the hub's firmware package

    void SetFrameBuffers(int slot, char* header, char* data, char* header2, char* data2);
    void SetSecondStream(quint8 selection);

    // Accessors. Those documented "-1/empty when not connected" return that while the
    // connection is not logged in; the others read the engine as it is.
    int GetChannelCount() const;
    int GetModelCode() const;        // -1 when not connected
    int GetModelType() const;        // the model class; -1 when not connected
    int GetModelGroup() const;       // 1 for code 13, 2 for 15 to 17, else 0; -1 when not connected
    int GetRelayOutputCount() const; // -1 when not connected
    int GetModelTypeIndex() const;
    bool IsExtendedAudio() const;
    bool IsFeatureBit16() const;
    quint8 GetSecondStream() const;
    QString GetVersionText() const; // empty when not connected
    QString GetMacText() const;     // empty when not connected
    QString GetDiskText() const;    // empty when not connected
    // The disk state of a storage slot 0..14 (0 when not connected), whether the disk information
    // described a disk array, and that array's level value.
    int GetStorageState(int index) const;
    bool IsDiskArray() const;
    int GetArrayType() const;
    // The address of the next (or present) connect.
    QString GetHost() const { return m_host; }
    QString GetCameraTitle(int channel) const; // empty when not connected
    int GetCameraKind(int channel) const;
    bool IsPresent(int channel) const;
    bool IsMaskA(int channel) const;
    bool IsMotion(int channel) const;
    bool IsSensor(int channel) const;
    bool IsVideoLoss(int channel) const;
    bool IsRelayOn(int relay) const;
    bool IsChannelActive(int channel) const;
    bool IsPtzChannel(int channel) const;
    bool GetLoginOption() const;
    int GetLoginLevel() const;
    bool GetLoginMaskBit(int index, int channel) const; // index 0..2
    int GetExtendedStatus(int index) const;             // index 0..2
    int GetFirmwareMajor() const;
    int GetFirmwareMinor() const;
    // Firmware 3.28 or later, compared as major * 100 + minor.
    bool IsFirmware328() const;
    // The raw model code byte of the model information; -1 when not connected.
    int GetRawModelCode() const;
    // Firmware 3.44 or later with feature bit 20.
    bool IsFurtherCapable() const;
    // The recorder takes firmware only through the firmware tool.
    bool IsFirmwareToolModel() const;

    // What became of the last connection attempt; readable after the disconnect.
    // A login reply (accepted or refused) arrived.
    bool GetLoginDone() const;
    // 0 no model information, 1 accepted, -2 the recorder's model class is refused.
    int GetModelCheck() const;
    // The TLS handshake completed with a certificate we accept (false for plain TCP).
    bool IsTlsHandshakeDone() const;
    // The recorder's changed certificate waits for the user's answer; the login has not gone out.
    bool AwaitsCertificateAnswer() const;

signals:
    void SetUsageNetwork(qlonglong);
    void OnNetState(int);
    void OnNetRecvData(char*, int);
    void SetNetworkState(int);
    void SetRecvLiveVideo(int, int, int, int, int, int, bool, int, int);
    void SetRecvLiveAudio(int, int, int, int, int, int);
    void SetRecvPlaybackInfo(int, int, int, int, int, int*);
    void SetRecvPlaybackVideo(int, int, int, int, int, int, bool, char, char);
    void SetRecvPlaybackAudio(int, int, int, int, int);
    void SetRecvGuiData(int, int, int, int, int, int, int);
    void SetRecvConsoleLockCanceled();
    void SetRecvAsyncEvent();
    void SetRecvTimeRecList(int, int);
    void SetRecvEventRecList(int, int);
    void SetRecvAudioRecList(int, int);
    // A list or index reply that cannot be read arrived (the list kind byte).
    void SetRecvListRefused(int);
    void SetRecvBackupCapa(_SEND_BACKUP_CAPA*);
    void SetRecvIntraIndex(int, int, int, int);
    void SetRecvIntraHeader(int, int, int, int, int);
    void SetRecvFrameHeader(int, int, int, int);
    void SetRecvFrameData(int, int, int, int);
    void SetRecvCDMedia(short, short);
    void SetRecvEraseResult(char);
    void SetRecvBurningRate(char, char, char, char);
    void SetRecvConfig();

public slots:
    void OnNetworkState(int state);
    void OnUsageNetwork(qlonglong bytes);
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
    void OnNetBackupCapa(_SEND_BACKUP_CAPA*);
    void OnNetIntraIndex(int, int, int, int);
    void OnNetIntraHeader(int, int, int, int, int);
    void OnNetFrameHeader(int, int, int, int);
    void OnNetFrameData(int, int, int, int);
    void OnNetCDMedia(short, short);
    void OnNetEraseResult(char);
    void OnNetBurningResult(char, char, char, char);
    void OnConfigDataResult();

private:
    // A request may go out: logged in and an engine to send it.
    bool CanSend() const;
    // Live requests are further refused by an inert module.
    bool CanSendLive() const;
    // The size of a local file to upload, or -1 when it cannot be read or is too large.
    static int UploadSize(const QString& path);

    CNetTypeMirel* m_engine = nullptr;
    int m_inert = 0;
    int m_recorderIndex = -1;
    bool m_connected = false;
    bool m_loginSent = false;
    QString m_host;
    int m_port = 0;
    QString m_user;
    QString m_password;
    bool m_tls = false;
};
