#pragma once
// The session object of one recorder and at once its site book tree item. Folder items of the
// site book are CModuleDevice objects too (any kind other than 0): they take no hub slot, build
// no session machinery and never connect.
//
// This class is the session's face: every operation the rest of the client asks of a recorder.
// The work sits in small parts behind it: the live frame queues, threads and decode workers
// (LiveFrameQueue, SessionThread, LivePacer, LiveDecodeWorker), the playback frame request
// batcher (PlaybackRequestBatcher), the connections' receive buffers (SlotReceiveBuffers), and
// the items it keeps in the site book tree (SessionTreeItems).
//
// A recorder's session owns its two connections (the playback connection, opened first, and the
// live connection, opened 500 ms later), the decoders and receive buffers made at login, the
// recording writers and the per-channel routes of the grids. Everything here runs on the
// user-interface thread except the session threads' procedures (THREAD_...); the flags those
// threads read are atomics.
#include <QIcon>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>
#include <QTreeWidgetItem>
#include <QVector>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "net/requestbuilder.h"
#include "session/cameoroute.h"
#include "session/channelstate.h"
#include "session/connectpurpose.h"
#include "session/connectresult.h"
#include "session/healthcheckview.h"
#include "session/lastpictures.h"
#include "session/liveframequeue.h"
#include "session/liveframerecord.h"
#include "session/playbackhost.h"
#include "session/playbackmode.h"
#include "session/playbackrequestbatcher.h"
#include "session/playbackslot.h"
#include "session/playbackview.h"
#include "session/recordersession.h"
#include "session/schedulerkind.h"

class CModuleDecoder;
class EventBackupHost;
class ScheduleBackupHost;
class RemoteCDBackupHost;
class CModulePlayback;
class CModuleNetwork;
class LiveDecodeWorker;
class ModuleRecord;
class NetConnect;
class QTimer;
class RecorderWait;
class RemoteConsole;
class SessionThread;
class SessionTreeItems;
class SiteBook;
class SlotReceiveBuffers;
class SoundGatherer;
struct _NetStream;
struct _SEND_BACKUP_CAPA;

class CModuleDevice : public RecorderSession, public QTreeWidgetItem, public PlaybackHost
{
    Q_OBJECT

public:
    static constexpr int kSlots = 17; // 16 channels and the search slot
    static constexpr int kMinutesPerDay = 1440;
    static constexpr int kLiveConnectDelayMs = 500;
    // A recorder that takes the connection but never completes the login would otherwise keep
    // the "Network Connecting..." box up for ever.
    static constexpr int kLoginTimeLimitMs = 10000;
    static constexpr int kConnectBoxDelayMs = 100;

    // Session buffers made at login (the engine never writes more into them).
    static constexpr int kLiveFrameBufferSize = 524288;
    static constexpr int kLiveAudioBufferSize = 2000;
    static constexpr int kListBufferSize = 524288;
    static constexpr int kConsoleBufferSize = 524288;

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
    // True from the first status reply after login until the connection goes down.
    bool IsLoggedIn() const override { return m_loggedIn.load() != 0; }
    bool IsSocketConnected() const { return m_socketConnected.load() != 0; }
    ConnectResult GetConnectResult() const { return m_connectResult; }
    ConnectPurpose GetConnectPurpose() const { return m_connectPurpose; }
    CModuleNetwork* GetLiveNetwork() const { return m_liveNetwork.get(); }
    CModuleNetwork* GetPlaybackNetwork() const { return m_playbackNetwork.get(); }

    LiveFigures GetLiveFigures(int ch) const override;

    // ---- status queries (channels 0-based)
    bool GetLoginOption() const;
    bool GetChannelActive(int ch) const override;
    QString GetCameraTitle(int ch) const override;
    int GetChannelFps(int ch) const override;
    QImage GetChannelImage(int ch) const override;
    // The console layout the session gathered: at most `size` bytes, up to its ending zero byte.
    QByteArray GetConsoleLayout(int size) const override;
    int GetAlarmOutCount() const override;
    int GetModelCode() const override;
    int GetModelType() const override;
    int GetChannelCount(int grid) override;
    bool GetMotionState(int ch) const override;
    bool GetSensorState(int ch) const override;
    bool GetVideoLoss(int ch) const override;
    // Date (YYYYMMDD) and time (HHMMSS) of the channel's last live frame; -1 before the first.
    int GetLiveFrameDate(int ch) const override;
    int GetLiveFrameTime(int ch) const override;
    bool GetRelayState(int relay) const override;
    bool IsPtzChannel(int ch) const override;
    EventBackupHost* GetEventBackupHost() const override { return m_eventBackupHost.get(); }
    ScheduleBackupHost* GetScheduleBackupHost() const override { return m_scheduleBackupHost.get(); }
    RemoteCDBackupHost* GetRemoteCDBackupHost() const override { return m_remoteCDBackupHost.get(); }
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
    void SetEventRecordStart(int ch, int date, int time);
    int GetLiveAudioChannel() const override { return m_liveAudioChannel; }
    // Set by the remote playback window while it plays this recorder; login and disconnect clear it.
    bool IsPlaybackActive() const override { return m_playbackActive.load() != 0; }
    // The request timers run only while playback is active: an idle session polls nothing.
    void SetPlaybackActive(bool on) override;
    quint32 GetLiveMask() const override { return m_maskLive.load(); }
    quint32 GetSearchMask() const override { return m_maskSearch.load(); }
    quint32 GetBackupMask() const { return m_maskBackup.load(); }
    quint32 GetPtzMask() const { return m_maskPtz.load(); }
    bool GetConfigPermission() const { return m_maskConfig.load() != 0; }
    CModuleDecoder* GetLiveDecoder(int ch) const override;
    CModuleDecoder* GetPlaybackDecoder(int ch) const override;
    CModuleDecoder* GetSearchDecoder() const { return m_searchDecoder.get(); }
    QTreeWidgetItem* GetCameraItem(int ch) const override;
    const quint8* GetMinuteTable(int slot) const override;

    // ---- connection
    // The option is a ConnectPurpose value, or kDelayedConnect and more for a silent connect
    // after (option - 500) ms.
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
    // Arms the search recording of a channel from date (YYYYMMDD) and time (HHMMSS).
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
    // The backup capacity of a time range on the channels of the mask (bit i = channel i + 1).
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
    // The recorder's health window, made at the first login; null before.
    HealthCheckView* GetHealthCheck() const override { return m_healthCheckWindow ? m_healthCheck : nullptr; }
    // Opens the network status pop-up of this recorder modally.
    void ShowNetworkStatus() override;

    NetworkUsage& GetNetworkUsage() override { return m_networkUsage; }

    // The recorded range and days of the last playback information answer, and the two texts of
    // the earliest and latest recording time that the health window shows.
    int GetFirstRecordDate() const override { return m_recordRange[0]; }
    int GetFirstRecordTime() const override { return m_recordRange[1]; }
    int GetLastRecordDate() const override { return m_recordRange[2]; }
    int GetLastRecordTime() const override { return m_recordRange[3]; }
    QVector<int> GetRecordDays() const override { return m_recordDays; }
    QString GetEarliestRecordText() const override { return m_earliestRecordText; }
    QString GetLatestRecordText() const { return m_latestRecordText; }

    // Record lists and index. A time list of storage slot 0 remembers the day and clears the
    // 17 minute maps; each reply asks for the next slot, list and channel by itself.
    void SendTimeRecList(int day, int slot) override;
    void SendEventRecList(int day, int slot);
    void SendIntraIndexRequest(int day, int channel, int slot, int kind, int flag);
    void GetIntraIndex(int channel) override;

    // Camera, relay and live output.
    void SendUccControl(int channel, int code, int speed, int preset) override;
    void SendPtzControl(int channel, int command, int value, int value2) override;
    void SendRelayControl(int relay, int on) override;
    void SetLiveOutputChannel(int channel) override;
    void SendLiveOutput() override;

    // Configuration, firmware, recorder media backup and talk-back.
    void SetConfigData() override;
    void SetFirmwareData() override;
    void SendCDMediaCheck(int mediaKind) override;
    void SendCDBackupPrepare(int discNumber, int mediaKind) override;
    // Starts the recorder's own media backup of a time range; the audio flag is 0xFFFF with audio.
    void SendCDBackupStart(int startDate, int startTime, int finishDate, int finishTime, int channelBits,
                           int audioFlag, int mediaKind) override;
    void SendCDListBackupStart(const QVector<RequestBuilder::ListBackupEntry>& list, int mediaKind) override;
    void SendCDBackupStop(int mediaKind) override;
    void SendCDBackupClose() override;
    void SendCDMediaErase(int mediaKind) override;
    void SendTalkStart() override;
    void SendTalkStop() override;
    // A schedule backup download of the channels of the mask from date and time, on the live
    // connection; every frame carries the request number and arrives in `receiveBuffer`.
    void SendBackupPlaybackCtrl(int requestNumber, quint16 channelMask, int date, int time,
                                char* receiveBuffer) override;
    void SendBackupPlaybackStop(char* receiveBuffer) override;

    // Remote playback control; the fast modes step their speed 2 to 8.
    void SendPlaybackCtrlExtSec(PlaybackMode mode, int speed, int date, int time);
    void SendPlaybackCtrlStopSec();
    void SetPlaybackCtrl(PlaybackMode mode) override;
    void ResendPlaybackCtrl() override;
    // Plays from a time (HHMMSS) of the current date in a mode (a PlaybackMode code), or with
    // -2, -3 or -4 continues the thumbnail, museum or quick search; the mode kTimeLineSeek seeks
    // through the quick search.
    bool RequestPlayback(int time, int mode) override;
    bool StartPlaybackAudio(int channel) override;
    bool StopPlaybackAudio() override;
    void SetPlaybackVisible(int channel, bool visible) override;
    void SetPlaybackView(PlaybackView* view) override;
    PlaybackView* GetPlaybackView() const override { return m_playbackView; }

    // ---- the recorded range, the record days and the chosen play start
    // True when the day (YYYYMMDD) is in the recorder's record-day list.
    bool HasRecordDay(int date) const override;
    int GetRecordDayCount() const { return m_recordDayCount; }
    // The chosen play date (YYYYMMDD) and time (HHMMSS), -1 when none; the play-request state
    // becomes 2 and the day is also kept for the time-list requests.
    void ChoosePlayStart(int date, int time) override;
    // No play start: the playback window asks the operator when the information arrives.
    void ClearPlayStart() override;
    int GetPlayDate() const override { return m_playDate.load(); }
    int GetPlayTime() const override { return m_playTime.load(); }
    int GetTimeListDate() const override { return m_timeListDate; }
    void SetTimeListDate(int date) override { m_timeListDate = date; }
    int GetPlayRequestState() const override { return m_playRequestState; }
    PlaybackMode GetPlaybackMode() const override { return m_playbackMode.load(); }
    // The current playback date (YYYYMMDD) and time (HHMMSS); -1 when none.
    int GetPlaybackDate() const override { return m_playDate.load(); }
    int GetPlaybackTime() const override { return m_playTime.load(); }
    // The time (HHMMSS) of the last recorded second the channel's search thread went through;
    // 0 for a channel out of range.
    int GetChannelPlayTime(int ch) const override
    {
        return ch >= 0 && ch < kSlots ? m_slots[size_t(ch)].lastPlayTime.load() : 0;
    }
    int GetPlaybackSpeed() const override { return m_playbackSpeed; }
    // What the channel's playback scheduler is doing (Idle without a scheduler).
    PlaybackMode GetChannelPlaybackState(int channel) const override;

    // Searches (each needs its search pop-up).
    void SetMuseumSearch(int channel, int date, int time) override;
    void SetThumnailSearch(int channel, int date, int time) override;
    void SetQuickSearch(int channel, int date, int time) override;
    // The channel, date and time a search pop-up hands to the next search it opens
    // (RequestPlayback -2, -3, -4).
    void SetSearchRequest(int channel, int date, int time) override;
    void SetQuickMode(bool on) override { m_quickMode = on ? 1 : 0; }
    // The museum search's drawn area on the museum scheduler: grid family and cells x1 .. x2-1,
    // y1 .. y2-1; a grid family of -1 clears it (no frame is tested any more).
    void SetMuseumArea(int gridFamily, int x1, int y1, int x2, int y2) override;
    // The museum and thumbnail pop-ups leave their search when they hide.
    void LeaveMuseumSearch() override;
    void LeaveThumbnailSearch() override;
    bool IsMuseumMode() const override { return m_museumMode.load() != 0; }
    bool IsThumbnailMode() const override { return m_thumbnailMode.load() != 0; }
    bool IsQuickMode() const { return m_quickMode.load() != 0; }
    int GetRecorderKind() const override;

    // Local recording: index 0-15 live recording of a channel, 16-31 recording of its playback.
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
    static constexpr int kAudioBufferSize = 9000;
    static constexpr int kAudioFlushBytes = 4000;
    static constexpr int kSearchAudioFlushBytes = 8000;

    // PlaybackHost: what the channel schedulers ask of their session.
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
    void timerPlayback01();
    void timerSendPlayback();

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

private slots:
    void OnLiveConnectDue();
    void OnLiveConnectEnded(bool connected);
    void OnLoginDeadline();
    // A box waiting on this recorder saw no answer within the limit, or a reply it cannot read.
    void OnRecorderWaitEnded(int why);
    // A question about a changed certificate was answered (for this recorder or another).
    void OnCertificateAnswered();
    void OnFirmwareOutputCheck();

private:
    friend class CModuleDeviceTestAccess;
    // The search threads' work, on the session's playback slots.
    friend class SearchWorker;

    // The search pop-ups, each with a scheduler of its own.
    enum class SearchPopup { Museum, Thumbnail, Quick };

    // ---- construction, identity and small helpers (moduledevice.cpp)
    void MakeRecordingFolders() const;
    void BuildRecorderMachinery();
    void StopSessionThreadsAndDecoders();
    void ReleaseConnectionsAndBuffers();
    SiteBook* Record() const;
    bool Connected() const;
    bool ValidChannel(int ch) const { return ch >= 0 && ch < kChannels; }

    // ---- connection (moduledevice.cpp)
    void CopyPermissions(const SiteBook& record);
    void CreateNetworkModules(const SiteBook& record, bool tls);
    // A connection's changed certificate waits for the user's answer.
    bool AwaitsCertificateAnswer() const;
    void ReportConnectFailure();
    // The grid opening a favorite (named in the hub) places its next recorder's cells; posted so
    // that it never runs inside this session's own connect or receive path.
    void PlaceNextFavoriteCell();
    void StartLiveOnAllChannels();
    // Connect purposes 5 and 6: the active e-map window shows this recorder.
    void OpenEmapOnActiveWindow();
    void RefreshActiveEmap();
    void AskForRemoteConfig();
    void PrepareRemotePlayback(ConnectPurpose purpose);
    void StartFirmwarePreparation();
    void FinishFirmware(int code);
    void SetFirmwareState(int code);
    void SetAccountState(int code);

    // ---- network state (moduledevice.cpp)
    void OnLoggedIn();
    void ShowLoginMessage(ConnectPurpose purpose);
    void StartRequestPacing();
    void WakeRequestPacing();
    void OpenChannelDecoders(int channelCount);
    quint32 KeepGrantedPermissions();
    void BuildChannelItems(int channelCount, quint32 liveMask);
    void AllocateReceiveBuffers(int channelCount);
    void AllocateSessionBuffers();
    void MarkLoggedIn();
    void WantPermittedChannels(int channelCount, quint32 liveMask);
    void HandRecorderToWaitingGrid(int channelCount, ConnectPurpose purpose);
    void OnStatusRefreshed();
    void OnDisconnected();
    void CloseSearchBoxes();
    void CloseChannels();
    void CloseSearchSlot();
    void FreeSessionBuffers();
    void ReportLoginFailure();
    void RegisterSlotBuffers(CModuleNetwork* network, int slot);
    void ReleaseSlotBuffers(int slot);

    // ---- media pipeline (moduledevice_media.cpp)
    static int NextPlaybackTag(int current);
    void ConnectMediaIntake(CModuleNetwork* network, bool playbackConnection);
    void StartMediaThreads();
    void CreateSchedulers();
    CModulePlayback* GetPlayback(int slot) const;
    bool ChannelTakesPart(int ch) const;
    // Whether a live recording or a running event backup needs the channel's live video.
    bool LiveNeededByRecording(int ch) const;
    CModulePlayback* SchedulerForKind(int channel, int kind) const;
    // The step timer goes on with the museum or thumbnail search.
    void ActOnSearchStep();
    bool SearchRecordOn(int channel, bool museum, bool thumbnail) const;
    static bool IsPlayCode(int step);
    static PlaybackMode PlayCodeMode(int step);
    // Delays that mark a frame queued while a search pop-up walks rather than plays.
    static constexpr int kMuseumWalkDelay = -222;
    static constexpr int kThumbnailWalkDelay = -111;
    // The search step after a decode-only frame: the next frame of the batch.
    static constexpr int kStepNextFrame = -2;
    // The first played frame closes the loading notice and titles the playback view.
    void MarkPlaybackViewStarted();
    void ShowQuickSearchFrame(const PlaybackFrame& frame);
    static QString TimeText(int time)
    {
        return QString::asprintf("%02d:%02d:%02d", time / 10000, (time / 100) % 100, time % 100);
    }
    void AppendPlaybackRecord(int slot, LiveFrameRecordPtr record);
    void QueueSecondMarkers(int count, int kind, int date, int time, int tag);
    void ThrottlePlaybackStream(int count, bool searching);
    int ProcessorLoad() const;
    void SendSingleFrameRequests(const std::vector<PlaybackRequestBatcher::Request>& singles);

    // ---- requests (moduledevice_requests.cpp)
    void ConnectListIntake(CModuleNetwork* live);
    bool LiveReady() const;
    bool ConsoleShowsThisRecorder() const;
    // The open console window when it shows this logged-in recorder, else null.
    RemoteConsole* ShowingConsole() const;
    void RefuseRemoteConsole();
    bool SearchModeOn() const;
    CModulePlayback* SearchScheduler(SearchPopup popup) const;
    // The search's scheduler, made on first use; null without its pop-up or a hub slot.
    CModulePlayback* MakeSearchScheduler(SearchPopup popup);
    void ClearSearchSteps();
    // The size of the channel's last played picture (none before the first).
    QSize ChannelPictureSize(int channel);
    int LiveChannelCount() const;
    void ResetChannelRequests(PlaybackMode mode);
    char* PlaybackBuffer() const;
    void StartIndexSearch(int channel);
    // Keeps where a search starts and ends every search recording before it does.
    void RememberSearchStart(int channel, int date, int time);
    void LastReceived(bool live, int ch, int& date, int& time) const;
    // Ends a channel's recording whose writer failed (a full disk) and tells the user which
    // file; called on the writing thread.
    void EndFailedRecording(bool live, int ch);
    bool ListSlotValid(int slot, const char* what) const;
    void MarkMinuteMasks(const char* list, int size, bool audio);
    void MarkEventMinutes(const char* list, int size);
    static int FirstRecordedMinute(const char* index, int size);
    void ScanNextIndex(int slot, int channel, const char* buffer, int bytes);
    // The index request whose answer is awaited (channel -1: none).
    void AwaitIndex(int channel, int kind);
    struct AwaitedIndex
    {
        int channel = -1;
        int kind = 0;
    };
    AwaitedIndex m_awaitedIndex;
    // The scheduler whose index block is awaited (channel -1: none).
    struct AwaitedHeader
    {
        int channel = -1;
        CModulePlayback* scheduler = nullptr;
    };
    AwaitedHeader m_awaitedHeader;
    void FinishIndexChain(int channel, bool thumbnail, bool museum, bool quick, int kind);

    // Per channel and per playback slot (the channels and the search slot).
    std::array<ChannelState, kChannels> m_channels;
    std::array<PlaybackSlot, kSlots> m_slots;

    // Identity.
    int m_deviceIndex = -1;
    int m_serverId = 0;

    // Set when the recorder has logged in (first status reply), cleared when it disconnects;
    // read by the hub and by the session threads.
    std::atomic<quint8> m_loggedIn{0};
    std::atomic<quint8> m_socketConnected{0};
    std::atomic<int> m_channelCount{0};

    // Connect sequence: the live connection is connected by a timer 500 ms after the playback
    // one, so the receive path is never run from a nested event loop of ours.
    ConnectPurpose m_connectPurpose = ConnectPurpose::Connect;
    ConnectResult m_connectResult = ConnectResult::None;
    QTimer* m_liveConnectTimer = nullptr;
    QTimer* m_loginDeadline = nullptr;
    // Set by Disconnect until the next connect: a loss that follows was asked for.
    bool m_disconnectAsked = false;
    int m_loginTimeLimitMs = kLoginTimeLimitMs;
    bool m_connecting = false;
    // The current connect runs inside TLS.
    bool m_tlsConnect = false;
    // Depth of the session's handlers running inside a signal of its own connections; a session
    // destroyed there hands its connections to deleteLater.
    int m_networkSlotDepth = 0;
    QThread m_connectThread;
    std::unique_ptr<NetConnect> m_connectWorker;
    // The grid that asked for the channel count before the login.
    int m_rememberedGrid = -1;

    // Permission masks copied from the entry record at each connect (bit n = channel n).
    std::atomic<quint32> m_maskLive{0};
    std::atomic<quint32> m_maskSearch{0};
    std::atomic<quint32> m_maskBackup{0};
    std::atomic<quint32> m_maskPtz{0};
    std::atomic<quint8> m_maskConfig{0};

    // Connections, made at the first connect and kept for the life of the session.
    std::unique_ptr<CModuleNetwork> m_liveNetwork;
    std::unique_ptr<CModuleNetwork> m_playbackNetwork;

    // The playback grid of the whole session (each channel's route holds its cell there).
    std::atomic<int> m_playbackGrid{-1};
    int m_liveAudioChannel = -1;
    // Rates: 16 live (asked at live start), 16 further, 17 search slots.
    std::array<std::atomic<int>, kChannels + kChannels + kSlots> m_rates;

    // The recording writers: live and backup data, search, event.
    std::unique_ptr<ModuleRecord> m_recordLive;
    std::unique_ptr<ModuleRecord> m_recordSearch;
    std::unique_ptr<ModuleRecord> m_recordEvent;

    // The quick search's decoder, made at login.
    std::unique_ptr<CModuleDecoder> m_searchDecoder;
    LastPictures m_lastPictures;

    // Buffers made at login and released at the disconnect, once both connections have dropped
    // the pointers they were handed.
    std::unique_ptr<char[]> m_liveFrameBuffer;
    std::unique_ptr<char[]> m_liveAudioBuffer;
    std::unique_ptr<char[]> m_listBuffer;
    std::unique_ptr<char[]> m_consoleBuffer;
    std::unique_ptr<SlotReceiveBuffers> m_slotBuffers;

    // Live pipeline: per channel a queue (the live queue lock guards all 16); the live audio
    // queue and thread.
    QMutex m_liveQueueLock;
    std::array<LiveFrameQueue, kChannels> m_liveQueues;
    QMutex m_liveAudioLock;
    LiveFrameQueue m_liveAudioQueue;
    std::unique_ptr<SessionThread> m_liveAudioThread;

    // Playback pipeline: per channel and search slot a queue (the playback queue lock guards all
    // 17); the playback audio queue and thread.
    QMutex m_playbackQueueLock;
    std::array<LiveFrameQueue, kSlots> m_playbackQueues;
    // The quick search pop-up's scheduler, made at its first search.
    std::unique_ptr<CModulePlayback> m_quickScheduler;
    std::unique_ptr<CModulePlayback> m_museumScheduler;
    std::unique_ptr<CModulePlayback> m_thumbnailScheduler;
    // What the museum or thumbnail pop-up answered to the last searched picture: the time to
    // fetch next (0 or more), a play code (-15, -115, -25, -125), -2 after a decode-only frame.
    std::atomic<int> m_searchStep{-1};
    QMutex m_playbackAudioLock;
    LiveFrameQueue m_playbackAudioQueue;
    std::unique_ptr<SessionThread> m_playbackAudioThread;
    std::atomic<int> m_rateState{0};

    // Remote playback: play mode, speed, tag, current date and time, recorded range, audio.
    std::atomic<quint8> m_playbackActive{0};
    std::atomic<PlaybackMode> m_playbackMode{PlaybackMode::Idle}; // read by the search threads
    std::atomic<int> m_playbackSpeed{0};
    std::atomic<int> m_playbackSeq{1};
    std::atomic<int> m_playDate{-1};
    std::atomic<int> m_playTime{-1};
    std::array<int, 4> m_recordedRange{{0, 0, 0, 0}};
    int m_playbackAudioChannel = -1;
    PlaybackView* m_playbackView = nullptr;
    int m_recordDayCount = 0;
    int m_timeListDate = -1;
    int m_playRequestState = 0;

    // Playback frame requests and the timers: the 10 ms batch timer, the search step timer and
    // the status timer.
    std::unique_ptr<PlaybackRequestBatcher> m_batcher;
    QTimer* m_sendPlaybackTimer = nullptr;
    QTimer* m_searchStepTimer = nullptr;
    bool m_requestPacing = false; // logged in: the request timers may run
    QTimer* m_statusTimer = nullptr;
    // The wait of the box that stands while the recorder answers the playback information, the
    // day's lists and index, and the first played picture.
    RecorderWait* m_recorderWait = nullptr;
    // The wait settled: the "Remote Playback" box closes when it is the session's own.
    void SettleRecorderWait();

    // Searches, record lists and the index scan.
    std::atomic<quint8> m_museumMode{0};
    std::atomic<quint8> m_thumbnailMode{0};
    std::atomic<quint8> m_quickMode{0};
    // While the museum search's day index is on its way, a play request waits for it: the
    // index's arrival starts the search at the time asked for (-1: none asked).
    bool m_museumIndexAwaited = false;
    int m_museumAwaitedTime = -1;
    int m_savedSearchChannel = -1;
    int m_savedSearchDate = 0;
    int m_savedSearchTime = 0;
    int m_searchDate = 0;
    int m_searchDay = 0;
    int m_searchChannel = 0;
    // The slot's minute map, made when a list first marks a minute of it.
    quint8* WritableMinuteTable(int slot);
    bool m_startTogether = false;
    // Made at the first login through the hub; the status requests need it.
    QPointer<QWidget> m_healthCheckWindow;
    HealthCheckView* m_healthCheck = nullptr;
    void CreateHealthCheck();
    void FeedHealthCheck();
    void ShowHealthAnswer();
    void BuildRecordTexts(int firstDate, int firstTime, int lastDate, int lastTime);
    QString m_earliestRecordText;
    QString m_latestRecordText;
    std::array<int, 4> m_recordRange{{-1, -1, -1, -1}};
    QVector<int> m_recordDays;
    NetworkUsage m_networkUsage;
    // The event and schedule backup windows, made at the first login and kept.
    std::unique_ptr<EventBackupHost> m_eventBackupHost;
    std::unique_ptr<ScheduleBackupHost> m_scheduleBackupHost;
    std::unique_ptr<RemoteCDBackupHost> m_remoteCDBackupHost;
    void CreateBackupHosts();
    void FeedEventBackup(int channel, int date, int time, int frameType, int kind, const char* data, int size,
                         bool decodeOnly);
    // The event record mark of a channel whose recording failed: nothing more is written until
    // the page clears the marks.
    static constexpr quint8 kEventRecordFailed = 2;
    void ReportEventFailure(int channel, int time, int weekDay);

    // Site book items of the session, and the e-map places of its cameras.
    std::unique_ptr<SessionTreeItems> m_treeItems;
    QString m_emapPath;

    // Firmware preparation, driven by a timer while it waits for the tool's output.
    QTimer* m_firmwareTimer = nullptr;
    int m_firmwareAttempts = 0;
    QString m_firmwareOutput;
};
