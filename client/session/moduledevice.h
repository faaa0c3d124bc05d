#pragma once
// The session object of one recorder and at once its site book tree item. Folder items of the
// site book are CModuleDevice objects too (any kind other than 0): they take no hub slot, build
// no session machinery and never connect.
//
// This class is the session's face: every operation the rest of the client asks of a recorder,
// each a short forward to the parts behind it. Per channel a ChannelState and per playback slot
// a PlaybackSlot hold the queues, rates, flags, decoders and threads (running LiveDecodeWorker
// and SearchWorker); the workers below each hold one concern and the state it uses.
//
// A recorder's session owns its two connections (the playback connection, opened first, and the
// live connection, opened 500 ms later), the decoders and receive buffers made at login, the
// recording writers and the per-channel routes of the grids. Everything here runs on the
// user-interface thread except the session threads' procedures (THREAD_...); the flags those
// threads read are atomics.
#include <QTreeWidgetItem>

#include <array>
#include <atomic>
#include <memory>

#include "session/channelstate.h"
#include "session/firmwarepreparation.h"
#include "session/mediaintake.h"
#include "session/playbackhost.h"
#include "session/playbackslot.h"
#include "session/playbackstate.h"
#include "session/recordersession.h"
#include "session/recordinfo.h"
#include "session/recordlistintake.h"
#include "session/requestpacing.h"
#include "session/searchcontrol.h"
#include "session/searchstate.h"
#include "session/sessionbuffers.h"
#include "session/sessionhealth.h"
#include "session/sessionlink.h"
#include "session/sessionlogin.h"

class CModuleNetwork;
class CModulePlayback;
class SessionRecording;
class SessionTreeItems;
class SiteBook;
struct _NetStream;
struct _SEND_BACKUP_CAPA;

// The workers' small interfaces are implemented privately: their calls are the session's own
// methods of the same names.
class CModuleDevice : public RecorderSession,
                      public QTreeWidgetItem,
                      public PlaybackHost,
                      private RequestPacingHost,
                      private RecordListHost,
                      private MediaIntakeHost,
                      private SessionLinkHost,
                      private SessionLoginHost
{
    Q_OBJECT

public:
    static constexpr int kSlots = 17; // 16 channels and the search slot
    static constexpr int kMinutesPerDay = 1440;

    // kind 0: a recorder, which takes the lowest free slot of the hub's recorder table;
    // any other kind: a folder, device index -1.
    CModuleDevice(QTreeWidgetItem* parent, int kind);
    ~CModuleDevice() override;

    // ---- identity and entry record
    QString GetDvrName() const override;
    QString GetDvrAddr() const override;
    int GetStreamQuality() const;
    int GetDeviceIndex() const override { return m_deviceIndex; }
    int GetServerId() const { return m_serverId; }
    void SetServerId(int serverId) { m_serverId = serverId; }

    // ---- state
    bool IsLoggedIn() const override { return m_login.loggedIn.load() != 0; }
    bool IsSocketConnected() const { return m_login.socketConnected.load() != 0; }
    ConnectResult GetConnectResult() const { return m_link.sequence.result; }
    ConnectPurpose GetConnectPurpose() const { return m_link.sequence.purpose; }
    CModuleNetwork* GetLiveNetwork() const override { return m_link.liveNetwork.get(); }
    QString GetFirmwareVersion() const override;
    CModuleNetwork* GetPlaybackNetwork() const { return m_link.playbackNetwork.get(); }

    LiveFigures GetLiveFigures(int ch) const override;

    // ---- status queries (channels 0-based)
    bool GetLoginOption() const override;
    bool GetChannelActive(int ch) const override;
    QString GetCameraTitle(int ch) const override;
    int GetChannelFps(int ch) const override;
    QImage GetChannelImage(int ch) const override;
    QByteArray GetConsoleLayout(int size) const override;
    int GetAlarmOutCount() const override;
    int GetModelCode() const override;
    int GetModelType() const override;
    int GetChannelCount(int grid) override;
    bool GetMotionState(int ch) const override;
    bool GetSensorState(int ch) const override;
    bool GetVideoLoss(int ch) const override;
    int GetLiveFrameDate(int ch) const override;
    int GetLiveFrameTime(int ch) const override;
    bool GetRelayState(int relay) const override;
    bool IsPtzChannel(int ch) const override;
    EventBackupHost* GetEventBackupHost() const override;
    ScheduleBackupHost* GetScheduleBackupHost() const override;
    RemoteCDBackupHost* GetRemoteCDBackupHost() const override;
    int GetScrMode(int slot) const override;
    static int DayOfWeek(int date);

    // ---- routes written by the grids, read by the decode threads
    CameoRoute* GetCameoRoute(int ch) override;
    int GetPlaybackGrid() const override { return m_playbackGrid.load(); }
    void SetPlaybackGrid(int grid) override { m_playbackGrid.store(grid); }

    // ---- per-channel flags the grids and backup pages set
    bool IsLiveWanted(int ch) const override;
    void SetLiveWanted(int ch, bool wanted) override;
    bool IsLiveShown(int ch) const;
    int GetLiveCounter(int ch) const;
    bool IsEventRecordMarked(int ch) const override;
    void SetEventRecordMark(int ch, bool on) override;
    int GetLiveAudioChannel() const override { return m_liveAudioChannel; }
    bool IsPlaybackActive() const override { return m_playback.active.load() != 0; }
    // The request timers run only while playback is active: an idle session polls nothing.
    void SetPlaybackActive(bool on) override;
    quint32 GetLiveMask() const override { return m_link.masks.live.load(); }
    quint32 GetSearchMask() const override { return m_link.masks.search.load(); }
    CModuleDecoder* GetLiveDecoder(int ch) const override;
    CModuleDecoder* GetPlaybackDecoder(int ch) const override;
    CModuleDecoder* GetSearchDecoder() const { return m_media.searchDecoder.get(); }
    QTreeWidgetItem* GetCameraItem(int ch) const override;
    const quint8* GetMinuteTable(int slot) const override;

    // ---- connection
    void StartConnect(int option) override;
    void StartConnect(ConnectPurpose purpose) { StartConnect(int(purpose)); }
    bool Disconnect() override;
    void OnConnectionOption(ConnectPurpose purpose) override;

    // ---- live
    bool OnLiveStart(int mode) override;
    bool OnLiveStop(int ch) override;
    bool StartLiveAudio(int ch) override;
    bool StopLiveAudio() override;

    // ---- recording folders and archive items
    void StartSearchRecord(int ch, int date, int time) override;
    void StartEventRecord(int ch);
    void UpdateArchiveItems(QTreeWidgetItem* archiveParent, int kind) override;
    void UpdateArchiveFolder(const QString& kind, QTreeWidgetItem* archiveParent);
    void AddArchiveFiles(const QString& folderPath, const QString& kind, const QString& folderName,
                         QTreeWidgetItem* folderItem);
    QTreeWidgetItem* GetArchiveKindItem(const QString& kind) const;
    // The recorder's folder inside one of the client recording folders: program directory +
    // "/backup/" + kind + "/" + the recorder name as one safe path component.
    QString RecordingFolder(const QString& kind) const;

    // ---- small operations
    void SendTalkAudio(const char* pcm, int bytes) override;
    void SendCameraTitle(int ch, const QString& title);
    void SendBackupCapaRequest(int startDate, int startTime, int finishDate, int finishTime,
                               int channelMask) override;
    void LoadSiteBookInfo() override;
    void UpdateSiteBookItem(QTreeWidgetItem* item);
    void ResetSessionInfo();
    static void DeleteItemTree(QTreeWidgetItem* item);
    void SetScrMode(int slot, int mode) override;
    QString GetEmapPath() const override { return m_emapPath; }
    float GetEmapCameraX(int ch) const;
    float GetEmapCameraY(int ch) const;
    float GetCameraOwnX(int ch) const override;
    float GetCameraOwnY(int ch) const override;
    QString GetCameraEmapPath(int ch) const override;

    // ---- playback frame requests, sent in batches by timerSendPlayback
    // The request number comes back with the reply: it is the request number of the entry's tag
    // (request number x 1000 + channel, plus 100 for frame data). A negative file number asks for
    // an end notice that the network module answers at once.
    void QueueFrameData(int ch, int file, qint64 offset, int size, int requestNumber) override;
    void QueueFrameHeader(int ch, int file, qint64 offset, int size, int requestNumber) override;

    // requests and lists --------------------------------------------------------------------
    // Backup windows and the health check.
    void ShowEventBackup() override;
    void ShowRemoteCDBackup() override;
    void ShowScheduleBackup() override;
    void ShowHealthCheck(bool quiet) override;
    HealthCheckView* GetHealthCheck() const override { return m_health.View(); }
    void ShowNetworkStatus() override;

    NetworkUsage& GetNetworkUsage() override { return m_networkUsage; }

    int GetFirstRecordDate() const override { return m_recordInfo.range[0]; }
    int GetFirstRecordTime() const override { return m_recordInfo.range[1]; }
    int GetLastRecordDate() const override { return m_recordInfo.range[2]; }
    int GetLastRecordTime() const override { return m_recordInfo.range[3]; }
    QVector<int> GetRecordDays() const override { return m_recordInfo.days; }
    QString GetEarliestRecordText() const override { return m_recordInfo.earliestText; }

    void SendTimeRecList(int day, int slot) override;
    void SendEventRecList(int day, int slot);
    void SendIntraIndexRequest(int day, int channel, int slot, int kind, int flag);
    void GetIntraIndex(int channel) override;

    void SendUccControl(int channel, int code, int speed, int preset) override;
    void SendPtzControl(int channel, int command, int value, int value2) override;
    void SendRelayControl(int relay, int on) override;
    void SetLiveOutputChannel(int channel) override;
    void SendLiveOutput() override;

    void SetConfigData() override;
    void SetFirmwareData() override;
    void SendCDMediaCheck(int mediaKind) override;
    void SendCDBackupPrepare(int discNumber, int mediaKind) override;
    void SendCDBackupStart(int startDate, int startTime, int finishDate, int finishTime, int channelBits,
                           int audioFlag, int mediaKind) override;
    void SendCDListBackupStart(const QVector<RequestBuilder::ListBackupEntry>& list, int mediaKind) override;
    void SendCDBackupStop(int mediaKind) override;
    void SendCDBackupClose() override;
    void SendCDMediaErase(int mediaKind) override;
    void SendTalkStart() override;
    void SendTalkStop() override;
    void SendBackupPlaybackCtrl(int requestNumber, quint16 channelMask, int date, int time,
                                char* receiveBuffer) override;
    void SendBackupPlaybackStop(char* receiveBuffer) override;

    // Remote playback control; the fast modes step their speed 2 to 8.
    void SendPlaybackCtrlExtSec(PlaybackMode mode, int speed, int date, int time) override;
    void SendPlaybackCtrlStopSec();
    void SetPlaybackCtrl(PlaybackMode mode) override;
    void ResendPlaybackCtrl() override;
    bool RequestPlayback(int time, int mode) override;
    bool StartPlaybackAudio(int channel) override;
    bool StopPlaybackAudio() override;
    void SetPlaybackVisible(int channel, bool visible) override;
    void SetPlaybackView(PlaybackView* view) override;
    PlaybackView* GetPlaybackView() const override { return m_playback.view; }

    // ---- the recorded range, the record days and the chosen play start
    bool HasRecordDay(int date) const override;
    void ChoosePlayStart(int date, int time) override;
    void ClearPlayStart() override;
    int GetPlayDate() const override { return m_playback.playDate.load(); }
    int GetPlayTime() const override { return m_playback.playTime.load(); }
    int GetTimeListDate() const override { return m_playback.timeListDate; }
    void SetTimeListDate(int date) override { m_playback.timeListDate = date; }
    int GetPlayRequestState() const override { return m_playback.requestState; }
    PlaybackMode GetPlaybackMode() const override { return m_playback.mode.load(); }
    int GetPlaybackDate() const override { return m_playback.playDate.load(); }
    int GetPlaybackTime() const override { return m_playback.playTime.load(); }
    int GetChannelPlayTime(int ch) const override;
    int GetPlaybackSpeed() const override { return m_playback.speed; }
    PlaybackMode GetChannelPlaybackState(int channel) const override;

    void SetMuseumSearch(int channel, int date, int time) override;
    void SetThumnailSearch(int channel, int date, int time) override;
    void SetQuickSearch(int channel, int date, int time) override;
    void SetSearchRequest(int channel, int date, int time) override;
    void SetQuickMode(bool on) override { m_search.quickMode = on ? 1 : 0; }
    void SetMuseumArea(int gridFamily, int x1, int y1, int x2, int y2) override;
    void LeaveMuseumSearch() override;
    void LeaveThumbnailSearch() override;
    bool IsMuseumMode() const override { return m_search.museumMode.load() != 0; }
    bool IsThumbnailMode() const override { return m_search.thumbnailMode.load() != 0; }
    int GetRecorderKind() const override;

    void ToggleRecord(int index) override;
    bool IsRecordMarked(int index) const override;

    // Console and e-map forwarders.
    void SendConsoleMode(int value) override;
    void RequestConsoleData(int value) override;
    void SendMousePos(int x, int y, int button, int flag) override;
    void SetCameraEmapPath(const QString& path, int camera) override;
    void SetEmapPath(const QString& path) override;
    void SetEmapDevicePos(int camera, float x, float y) override;
    void SetEmapCameraPos(int camera, float x, float y) override;

    // media pipeline ------------------------------------------------------------------------
    bool IsRecorderRegistered(int recorderIndex) const override;
    bool IsPlaybackEnabled() const override;
    int GetChannelCount() const override;
    int GetAudioChannel() const override;
    int GetPlaybackFps(int slot) const override;
    int GetSpeedCode(SchedulerKind kind) const override;
    void EnterThumbnailMode() override;
    void SendIntraIndexRequest(int date, int channel, SchedulerKind kind) override;
    void SendIntraHeaderRequest(int channel, int file, qint64 offset, int size, int kind) override;
    bool SendFrameListRequest(int channel, int file, qint64 offset, int size, int requestKind) override;
    void OnSetFrameData(const PlaybackFrame& frame) override;

    // Worker procedures (CQThreadHelper): the pointer is the session, the value the channel.
    static void THREAD_LIVE(void* session, int channel);
    static void THREAD_LIVE_AUDIO(void* session, int unused);
    static void THREAD_SEARCH(void* session, int index);
    static void THREAD_PLAYBACK_AUDIO(void* session, int unused);

signals:
    void OnAddPlaybackData(_NetStream*);
    void SetPlaybackInfo(int);
    void NextFrameData(int);
    void SendFrameEvent();
    void OnPlaybackData(_NetStream*);
    void finished();

public slots:
    void OnUsageNetwork(qlonglong bytes);
    // The playback information answer (0x97): a health answer (-999), the recording time texts
    // only (-888), or the recorded range with its day count.
    void OnRecvPlaybackInfo(int firstDate, int firstTime, int lastDate, int lastTime, int dayCount, int* days);
    void timerOnConnect();
    void OnConnectThread();
    void OnNetworkState(int state);
    void OnNetworkStateS(int state);
    void OnNextFrameData(int ch);
    // Forwards to the live module's index-header request: the request value, the index buffer's
    // slot, the index file, the low 32 bits of the offset, the size and the stream selection.
    void GetIntraHeader(int value, int slot, int indexFile, qlonglong offset, int size, int stream, bool unused);
    void timerPlayback01() override;
    void timerSendPlayback() override;

    void SetRecvConfig();
    void OnTimerStatus();
    void OnRecvTimeRecList(int slot, int size);
    void OnRecvEventRecList(int slot, int size);
    void OnRecvAudioRecList(int slot, int size);
    void OnRecvIntraIndex(int slot, int channel, int size, int kind);
    void OnRecvBackupCapa(_SEND_BACKUP_CAPA* message);
    void OnRecvBurningRate(char state, char percent, char discs, char discIndex);
    void OnRecvCDMedia(short state, short freeMegabytes);
    void OnRecvEraseResult(char result);
    // The console layout (`layoutSize` bytes) is in the console buffer; the six words follow it
    // in the reply (offsets 20, 22, 24, 26, 32 and 34).
    void OnRecvGuiData(int layoutSize, int word20, int word22, int word24, int word26, int word32, int word34);
    void OnRecvAsyncEvent();
    void OnRecvConsoleLockCanceled();

    void OnRecvLiveVideo(int channel, int size, int kind, int date, int time, int frameType, bool decodeOnly,
                         int tick, int sequence);
    void OnRecvLiveAudio(int channel, int size, int kind, int date, int time, int tick);
    void OnRecvPlaybackVideoSec(int channel, int size, int kind, int date, int time, int tag, bool decodeOnly,
                                char frameType, char sequence);
    void OnRecvPlaybackAudioSec(int size, int kind, int date, int time, int tag);
    void OnRecvPlaybackVideo(int channel, int size, int kind, int date, int time, int tag, bool decodeOnly,
                             char frameType, char sequence);
    void OnRecvFrameHeader(int channel, int size, int streamKind, int kind);
    void OnRecvFrameData(int channel, int size, int streamKind, int kind);
    void OnRecvIntraHeader(int slot, int channel, int value, int size, int kind);

private:
    friend class CModuleDeviceTestAccess;

    void BuildRecorderMachinery();
    void StopSessionThreadsAndDecoders();
    void ReleaseConnectionsAndBuffers();
    SiteBook* Record() const;
    bool Connected() const;
    bool ValidChannel(int ch) const { return ch >= 0 && ch < kChannels; }
    CModulePlayback* GetPlayback(int slot) const;
    void WireConnection(CModuleNetwork* network, bool playbackConnection) override;
    void ConnectEnded() override;
    bool LiveReady() const;
    int LiveChannelCount() const override;
    void ResetChannelRequests(PlaybackMode mode);

    // Per channel and per playback slot (the channels and the search slot).
    ChannelStates m_channels;
    PlaybackSlots m_slots;
    static_assert(std::tuple_size<ChannelStates>::value == kChannels
                  && std::tuple_size<PlaybackSlots>::value == kSlots);

    int m_deviceIndex = -1;
    int m_serverId = 0;
    // The playback grid of the whole session (each channel's route holds its cell there).
    std::atomic<int> m_playbackGrid{-1};
    int m_liveAudioChannel = -1;

    SessionBuffers m_buffers;
    SearchState m_search;
    PlaybackState m_playback;
    SessionHealth m_health;
    RecordInfo m_recordInfo;
    NetworkUsage m_networkUsage;
    FirmwarePreparation m_firmware;
    QString m_emapPath;
    std::unique_ptr<SessionRecording> m_recording;
    // Site book items of the session, and the e-map places of its cameras.
    std::unique_ptr<SessionTreeItems> m_treeItems;

    // The workers, one concern each, each given what it uses (their headers say what).
    SessionLink m_link{*this, *this, m_channels, m_playback, m_lists, m_emapPath};
    SessionLogin m_login;
    MediaIntake m_media;
    RecordListIntake m_lists{*this, m_channels, m_slots, m_search, m_playback, m_link, m_buffers.Slots()};
    SearchControl m_searches{m_channels, m_slots, m_search, *this, m_deviceIndex};
    std::unique_ptr<RequestPacing> m_pacing; // none for a folder
};
