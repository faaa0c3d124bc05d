#pragma once
// The session object of one recorder and at once its site book tree item. Folder items of the
// site book are CModuleDevice objects too (any kind other than 0): they take no hub slot, build
// no session machinery and never connect.
//
// A recorder's session owns its two connections (the playback connection, opened first, and the
// live connection, opened 500 ms later), the decoders and receive buffers made at login, the
// recording writers, the per-channel routes of the grids, and the queue of playback frame
// requests that a 10 ms timer sends in batches. Everything here runs on the user-interface
// thread; the flags that worker threads read are atomics.
#include <QElapsedTimer>
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
#include <deque>
#include <memory>

#include "session/cameoroute.h"
#include "session/liveframerecord.h"
#include "session/moduleplayback.h"
#include "session/playbackhost.h"
#include "net/requestbuilder.h"

class CModuleDecoder;
class CModulePlayback;
class CModuleNetwork;
class CQThreadHelper;
class ModuleRecord;
class NetConnect;
class QTimer;
class SiteBook;
struct _NetStream;
struct _SEND_BACKUP_CAPA;
class SearchView;

class CModuleDevice : public QObject, public QTreeWidgetItem, public PlaybackHost
{
    Q_OBJECT

public:
    static constexpr int kChannels = 16;
    static constexpr int kSlots = 17;            // 16 channels and the search slot
    static constexpr int kMinutesPerDay = 1440;
    static constexpr int kBatchEntries = 999;    // entries of one frame request batch
    static constexpr int kBatchEntrySize = 24;
    static constexpr int kBatchPieceSize = 32768;
    static constexpr int kSecondBufferSize = 2376;
    // A batch whose replies have not all come after this long is given up, so that one lost
    // reply cannot stop playback for good.
    static constexpr int kFrameReplyTimeoutMs = 5000;
    static constexpr int kLiveConnectDelayMs = 500;
    static constexpr int kConnectBoxDelayMs = 100;

    // Receive buffer sizes (the engine never writes more into them).
    static constexpr int kIndexBufferSize = 1024;
    static constexpr int kFrameBufferSize = 524288;
    static constexpr int kBlockBufferSize = 16384;
    static constexpr int kLiveFrameBufferSize = 524288;
    static constexpr int kLiveAudioBufferSize = 2000;
    static constexpr int kListBufferSize = 524288;
    static constexpr int kConsoleBufferSize = 524288;

    // Connect purposes (values of 1000 and more connect silently after the value less 500 ms).
    enum ConnectPurpose {
        PurposeConnect = 0,
        PurposeLive = 1,
        PurposeRemoteConfig = 2,
        PurposePlayback = 3,
        PurposeFavorite = 4,
        PurposeEmapOpen = 5,
        PurposeEmapRefresh = 6,
        PurposeAccount = 7,
        PurposeFirmware = 8,
        PurposeSilent = 9,
        PurposeCellLive = 11,
        PurposeCellPlayback = 13,
        PurposeDelayed = 1000
    };

    // Connect result.
    enum ConnectResult { ConnectNone = 0, ConnectFailed = 1, ConnectDone = 2 };

    // One queued playback frame request.
    struct PlaybackRequest
    {
        int channel = 0;
        int frameByte = 0;    // negative: a single request answered at once by the network module
        qint64 offset = 0;
        int size = 0;
        int kind = 0;         // 0 playback frame, 1 search frame; others are dropped unsent
        int unused = 0;
        int requestNumber = 0;
    };

    // kind 0: a recorder, which takes the lowest free slot of the hub's recorder table;
    // any other kind: a folder, device index -1.
    CModuleDevice(QTreeWidgetItem* parent, int kind);
    ~CModuleDevice() override;

    // ---- identity and entry record
    QString GetDvrName() const;
    QString GetDvrAddr() const;
    int GetStreamQuality() const;
    int GetDeviceIndex() const { return m_deviceIndex; }
    int GetServerId() const { return m_serverId; }
    void SetServerId(int id) { m_serverId = id; }

    // ---- state
    // True from the first status reply after login until the connection goes down.
    bool IsLoggedIn() const { return m_loggedIn.load() != 0; }
    bool IsSocketConnected() const { return m_socketConnected.load() != 0; }
    int GetConnectResult() const { return m_connectResult; }
    int GetConnectPurpose() const { return m_connectPurpose; }
    bool IsConnecting() const { return m_connecting; }
    CModuleNetwork* GetLiveNetwork() const { return m_liveNetwork.get(); }
    CModuleNetwork* GetPlaybackNetwork() const { return m_playbackNetwork.get(); }

    // ---- status queries (channels 0-based)
    bool GetLoginOption() const;
    bool GetChannelActive(int ch) const;
    QString GetCameraTitle(int ch) const;
    int GetChannelFps(int ch) const;
    QImage GetChannelImage(int ch) const;
    int GetAlarmOutCount() const;
    int GetModelCode() const;
    int GetModelType() const;
    int GetChannelCount(int grid);
    bool GetMotionState(int ch) const;
    bool GetSensorState(int ch) const;
    bool GetVideoLoss(int ch) const;
    bool GetRelayState(int n) const;
    bool IsPtzChannel(int ch) const;
    int GetScrMode(int i) const;
    static int DayOfWeek(int date);

    // ---- routes written by the grids, read by the decode threads
    CameoRoute* GetCameoRoute(int ch);
    int GetPlaybackGrid() const { return m_playbackGrid.load(); }
    void SetPlaybackGrid(int grid) { m_playbackGrid.store(grid); }

    // ---- per-channel flags the grids and backup pages set
    bool IsLiveWanted(int ch) const;
    void SetLiveWanted(int ch, bool wanted);
    bool IsLiveShown(int ch) const;
    int GetLiveCounter(int ch) const;
    bool IsEventRecordMarked(int ch) const;
    void SetEventRecordMark(int ch, bool on);
    void SetEventRecordStart(int ch, int first, int second);
    int GetLiveAudioChannel() const { return m_liveAudioChannel; }
    // Set by the remote playback window while it plays this recorder; login and disconnect clear it.
    bool IsPlaybackActive() const { return m_playbackActive.load() != 0; }
    void SetPlaybackActive(bool on) { m_playbackActive.store(on ? 1 : 0); }
    quint32 GetLiveMask() const { return m_maskLive.load(); }
    quint32 GetSearchMask() const { return m_maskSearch.load(); }
    quint32 GetBackupMask() const { return m_maskBackup.load(); }
    quint32 GetPtzMask() const { return m_maskPtz.load(); }
    bool GetConfigPermission() const { return m_maskConfig.load() != 0; }
    CModuleDecoder* GetLiveDecoder(int ch) const;
    CModuleDecoder* GetPlaybackDecoder(int ch) const;
    CModuleDecoder* GetSearchDecoder() const { return m_searchDecoder.get(); }
    QTreeWidgetItem* GetCameraItem(int ch) const;
    const quint8* GetMinuteTable(int slot) const;

    // ---- connection
    void StartConnect(int option);
    bool Disconnect();
    void OnConnectionOption(int purpose);

    // ---- live
    bool OnLiveStart(int mode);
    bool OnLiveStop(int ch);
    bool StartLiveAudio(int ch);
    bool StopLiveAudio();

    // ---- recording folders and archive items
    void StartSearchRecord(int ch, int a, int b);
    void StartEventRecord(int ch);
    void UpdateArchiveItems(QTreeWidgetItem* archiveParent, int kind);
    void UpdateArchiveFolder(const QString& kind, QTreeWidgetItem* archiveParent);
    void AddArchiveFiles(const QString& folderPath, const QString& kind, const QString& folderName,
                         QTreeWidgetItem* folderItem);
    QTreeWidgetItem* GetArchiveKindItem(const QString& kind) const;
    // The recorder's folder inside one of the client recording folders: program directory +
    // "/backup/" + kind + "/" + the recorder name as one safe path component.
    QString RecordingFolder(const QString& kind) const;

    // ---- small operations
    void SendTalkAudio(const char* pcm, int bytes);
    void SendCameraTitle(int ch, const QString& title);
    void SendBackupCapaRequest(int a, int b, int c, int d, int e);
    void LoadSiteBookInfo();
    void UpdateSiteBookItem(QTreeWidgetItem* item);
    void ResetSessionInfo();
    static void DeleteItemTree(QTreeWidgetItem* item);
    void SetScrMode(int ch, int mode);
    QString GetEmapPath() const { return m_emapPath; }
    float GetEmapCameraX(int ch) const;
    float GetEmapCameraY(int ch) const;
    float GetCameraOwnX(int ch) const;
    float GetCameraOwnY(int ch) const;
    QString GetCameraEmapPath(int ch) const;

    // ---- playback frame requests, sent in batches by timerSendPlayback
    // The request kind comes back with the reply: it is the request number of the entry's tag
    // (request number x 1000 + channel, plus 100 for frame data). A negative file number asks for
    // an end notice that the network module answers at once.
    void QueueFrameData(int ch, int file, qint64 offset, int size, int requestKind);
    void QueueFrameHeader(int ch, int file, qint64 offset, int size, int requestKind);
    // A reply to a batched request has come (the playback intake calls it once per reply).
    void LowerFrameRequestCount();
    int GetFrameRequestsInFlight() const { return m_requestsInFlight.load(); }
    int GetQueuedRequestCount() const;
    int GetPlaybackSequence() const { return m_playbackSeq.load(); }

    // Set when the recorder has logged in (first status reply), cleared when it disconnects.
    // Read by the hub and by worker threads; IsLoggedIn() is the usual way to read it.
    std::atomic<quint8> m_loggedIn{0};

    // requests and lists --------------------------------------------------------------------
    // Backup windows and the health check.
    void ShowEventBackup();
    void ShowRemoteCDBackup();
    void ShowScheduleBackup();
    void ShowHealthCheck(bool quiet);

    // Record lists and index. A time list of storage slot 0 remembers the day and clears the
    // 17 minute maps; each reply asks for the next slot, list and channel by itself.
    void SendTimeRecList(int day, int slot);
    void SendEventRecList(int day, int slot);
    void SendIntraIndexRequest(int day, int channel, int slot, int kind, int flag);
    void GetIntraIndex(int channel);
    int GetListDay() const { return m_searchDate; }
    // First minute (HHMM, 9999 none) holding a key frame: from the day's index scan, or from the
    // channel's own index.
    int GetFirstScanMinute(int ch) const { return ValidChannel(ch) ? m_firstMinuteScan[size_t(ch)] : 9999; }
    int GetFirstIndexMinute(int ch) const { return ValidChannel(ch) ? m_firstMinuteOwn[size_t(ch)] : 9999; }
    bool IsStartTogether() const { return m_startTogether; }

    // Camera, relay and live output.
    void SendUccControl(int channel, int code, int speed, int preset);
    void SendPtzControl(int channel, int command, int value, int value2);
    void SendRelayControl(int relay, int on);
    void SetLiveOutputChannel(int channel);
    void SendLiveOutput();

    // Configuration, firmware, recorder media backup and talk-back.
    void SetConfigData();
    void SetFirmwareData();
    void SendCDMediaCheck(int mediaKind);
    void SendCDBackupPrepare(int value, int mediaKind);
    void SendCDBackupStart(int a, int b, int c, int d, int e, int f, int g);
    void SendCDListBackupStart(const QVector<RequestBuilder::ListBackupEntry>& list, int value);
    void SendCDBackupStop(int mediaKind);
    void SendCDBackupClose();
    void SendCDMediaErase(int mediaKind);
    void SendTalkStart();
    void SendTalkStop();
    void SendBackupPlaybackCtrl(int value, int start, int end, char* channelList);
    void SendBackupPlaybackStop(char* channelList);

    // Remote playback control: 2 pause/stop, 16 forward, 32 fast forward, 256 backward, 512 fast
    // backward; the fast modes step their speed 2 to 8.
    void SendPlaybackCtrlExtSec(int mode, int speed, int date, int time);
    void SendPlaybackCtrlStopSec();
    void SetPlaybackCtrl(int mode);
    void ResendPlaybackCtrl();
    bool RequestPlayback(int time, int mode);
    bool StartPlaybackAudio(int channel);
    bool StopPlaybackAudio();
    void SetPlaybackVisible(int channel, bool visible);
    void SetPlaybackView(SearchView* view);
    SearchView* GetPlaybackView() const { return m_playbackView; }
    int GetPlaybackMode() const { return m_playbackMode; }
    int GetPlaybackSpeed() const { return m_playbackSpeed; }

    // Searches (each needs its search pop-up).
    void SetMuseumSearch(int channel, int date, int time);
    void SetThumnailSearch(int channel, int date, int time);
    void SetQuickSearch(int channel, int date, int time);

    // Local recording: index 0-15 live recording of a channel, 16-31 recording of its playback.
    void ToggleRecord(int index);
    bool IsRecordMarked(int index) const;

    // Console and e-map forwarders.
    void SendConsoleMode(int value);
    void RequestConsoleData(int value);
    void SendMousePos(int x, int y, int button, int flag);
    void SetCameraEmapPath(const QString& path, int camera);
    void SetEmapPath(const QString& path);
    void SetEmapDevicePos(int camera, float x, float y);
    void SetEmapCameraPos(int camera, float x, float y);

public slots:
    void SetRecvConfig();
    void OnTimerStatus();
    void OnRecvTimeRecList(int slot, int size);
    void OnRecvEventRecList(int slot, int size);
    void OnRecvAudioRecList(int slot, int size);
    void OnRecvIntraIndex(int slot, int channel, int size, int kind);
    void OnRecvBackupCapa(_SEND_BACKUP_CAPA* message);
    void OnRecvBurningRate(char a, char b, char c, char d);
    void OnRecvCDMedia(short a, short b);
    void OnRecvEraseResult(char result);
    void OnRecvGuiData(int a, int b, int c, int d, int e, int f, int g);
    void OnRecvAsyncEvent();
    void OnRecvConsoleLockCanceled();

private:
    enum SearchSchedulerKind { SchedulerMuseum, SchedulerThumbnail, SchedulerQuick };
    void ConnectListIntake(CModuleNetwork* live);
    bool LiveReady() const;
    bool ConsoleShowsThisRecorder() const;
    bool SearchModeOn() const;
    CModulePlayback* SearchScheduler(int kind) const;
    int LiveChannelCount() const;
    void ResetChannelRequests(int mode);
    char* PlaybackBuffer() const;
    void StartIndexSearch(int channel);
    // Keeps where a search starts and ends every search recording before it does.
    void RememberSearchStart(int channel, int date, int time);
    void LastReceived(bool live, int ch, int& date, int& time) const;
    bool ListSlotValid(int slot, const char* what) const;
    void MarkMinuteMasks(const char* list, int size, bool audio);
    static int FirstRecordedMinute(const char* index, int size);

    static constexpr std::array<int, kChannels> NoMinutes()
    {
        std::array<int, kChannels> minutes{};
        for (int& m : minutes)
            m = 9999;
        return minutes;
    }
    std::array<int, kChannels> m_firstMinuteScan = NoMinutes();
    std::array<int, kChannels> m_firstMinuteOwn = NoMinutes();
    bool m_startTogether = false;
    int m_singlePlaybackChannel = -2;
    int m_lastPlaybackTime = -1;
    SearchView* m_playbackView = nullptr;
    // Made at login once the health dialog exists; the status requests need it.
    QPointer<QWidget> m_healthCheckWindow;
    int m_savedSearchChannel = -1;
    int m_savedSearchDate = 0;
    int m_savedSearchTime = 0;

signals:
    void usageData(qlonglong);
    void OnAddPlaybackData(_NetStream*);
    void SetPlaybackInfo(int);
    void NextFrameData(int);
    void SendFrameEvent();
    void OnPlaybackData(_NetStream*);
    void OnConnected_CDBackup(QString, int);
    void OnAddBackupCapa(int, int, int);
    void OnAddBackupCapaAll(int, int, int);
    void OnSetCDMedia(short, short);
    void OnEraseResult(char);
    void OnBurningRate(char, char, char, char);
    void OnEventResult(int, int, int, int, qlonglong);
    void finished();

public slots:
    void OnUsageNetwork(qlonglong bytes);
    void timerOnConnect();
    void OnConnectThread();
    void OnNetworkState(int state);
    void OnNetworkStateS(int state);
    void OnNextFrameData(int ch);
    void GetIntraHeader(int a, int b, int c, qlonglong offset, int size, int d, bool e);
    void timerPlayback01();
    void timerSendPlayback();

private slots:
    void OnLiveConnectDue();
    void OnFirmwareOutputCheck();

private:
    SiteBook* Record() const;
    bool Connected() const;
    bool ValidChannel(int ch) const { return ch >= 0 && ch < kChannels; }
    void CreateNetworkModules(const SiteBook& record, bool tls);
    void ReportConnectFailure();
    // The grid opening a favorite (named in the hub) places its next recorder's cells; posted so
    // that it never runs inside this session's own connect or receive path.
    void PlaceNextFavoriteCell();
    void OnLoggedIn();
    void OnStatusRefreshed();
    void OnDisconnected();
    void ReportLoginFailure();
    void AllocateSlotBuffers(int slot);
    void RegisterSlotBuffers(CModuleNetwork* network, int slot);
    void ReleaseSlotBuffers(int slot);
    void DeleteChannelItems();
    void StartFirmwarePreparation();
    void FinishFirmware(int code);
    void SetFirmwareState(int code);
    void SetAccountState(int code);
    static QImage BlackPicture();
    QTreeWidgetItem* NewRecordItem(QTreeWidgetItem* parent, const QString& kind, const QString& name,
                                   const QString& path, const QString& icon);
    int WriteBatchEntries(const PlaybackRequest& r, int at);

    // Identity.
    int m_deviceIndex = -1;
    int m_serverId = 0;
    QTreeWidgetItem* m_parentItem = nullptr;

    // Live frame marker and per-channel last frame values.
    int m_liveFrameMarker = -1;
    std::array<std::atomic<int>, kChannels> m_lastFrame;

    // Network status settings.
    QString m_sessionText;
    qint64 m_usage = 0;
    qint64 m_limitSlider = 36;
    bool m_limitOn = false;
    bool m_warningOn = false;

    std::atomic<quint8> m_playbackInfo{0};
    QString m_firstRecordText;
    QString m_lastRecordText;

    // Search pacing timers; the first drives timerPlayback01.
    std::array<QTimer*, kSlots> m_searchTimers{};
    std::array<std::atomic<quint8>, kSlots> m_nextSearchFrame;

    // Per-channel recording marks and the backup pages' byte.
    std::array<std::atomic<quint8>, kChannels> m_liveRecordMark;
    std::array<std::atomic<quint8>, kChannels> m_searchRecordMark;
    std::array<std::atomic<quint8>, kChannels> m_eventRecordMark;
    quint8 m_backupInUse = 0;

    // Recording writers: live and backup data, search, event.
    std::unique_ptr<ModuleRecord> m_recordLive;
    std::unique_ptr<ModuleRecord> m_recordSearch;
    std::unique_ptr<ModuleRecord> m_recordEvent;

    QTimer* m_sendPlaybackTimer = nullptr;
    QTimer* m_statusTimer = nullptr;

    std::array<std::atomic<int>, kChannels> m_liveCounter;
    std::array<std::atomic<quint8>, kChannels> m_liveShown;
    mutable QMutex m_imageLock;
    std::array<QImage, kChannels> m_lastPicture;

    // Session threads (started at login by the session thread procedures) and their run flags.
    std::array<std::unique_ptr<CQThreadHelper>, kChannels> m_liveThreads;
    QMutex m_liveQueueLock;
    std::array<std::atomic<quint8>, kChannels> m_liveRun;
    std::array<std::unique_ptr<CQThreadHelper>, kSlots> m_searchThreads;
    QMutex m_playbackQueueLock;
    std::array<std::atomic<quint8>, kSlots> m_searchRun;
    std::unique_ptr<CQThreadHelper> m_liveAudioThread;
    QMutex m_liveAudioLock;
    std::atomic<quint8> m_liveAudioRun{0};
    std::unique_ptr<CQThreadHelper> m_playbackAudioThread;
    QMutex m_playbackAudioLock;
    std::atomic<quint16> m_playbackAudioRun{0};

    // Playback frame requests.
    std::atomic<int> m_requestsInFlight{0};
    std::deque<PlaybackRequest> m_requests;
    QElapsedTimer m_batchClock;

    // Decoders, made at login.
    std::array<std::unique_ptr<CModuleDecoder>, kChannels> m_liveDecoders;
    std::array<std::unique_ptr<CModuleDecoder>, kChannels> m_playbackDecoders;
    std::unique_ptr<CModuleDecoder> m_searchDecoder;

    // Connections, made at the first connect and kept for the life of the session.
    std::unique_ptr<CModuleNetwork> m_liveNetwork;
    std::unique_ptr<CModuleNetwork> m_playbackNetwork;

    std::array<std::atomic<quint8>, kChannels> m_liveWanted;
    std::array<std::atomic<quint8>, kChannels> m_hasPicture;
    std::array<std::atomic<quint8>, kChannels> m_liveDrop;
    std::array<int, kChannels> m_eventStartFirst{};
    std::array<int, kChannels> m_eventStartSecond{};
    std::array<std::atomic<int>, kChannels> m_streamCode;

    // Rates: 16 live (asked at live start), 16 further, 17 search slots.
    std::array<std::atomic<int>, kChannels + kChannels + kSlots> m_rates;

    // Archive items.
    QTreeWidgetItem* m_archiveParent = nullptr;
    std::array<QTreeWidgetItem*, 6> m_archiveKindItems{};

    // Channel items made at login (and their e-map twins); the e-map folder item.
    std::array<QTreeWidgetItem*, kChannels> m_cameraItems{};
    std::array<QTreeWidgetItem*, kChannels> m_emapCameraItems{};
    QTreeWidgetItem* m_emapItem = nullptr;

    // Buffers made at login and released at the disconnect, once both connections have dropped
    // the pointers they were handed.
    std::unique_ptr<char[]> m_liveFrameBuffer;
    std::unique_ptr<char[]> m_liveAudioBuffer;
    std::unique_ptr<char[]> m_listBuffer;
    std::unique_ptr<char[]> m_consoleBuffer;
    std::array<std::unique_ptr<char[]>, kSlots> m_indexBuffers;
    std::array<std::unique_ptr<char[]>, kSlots> m_frameBufferA;
    std::array<std::unique_ptr<char[]>, kSlots> m_blockBufferA;
    std::array<std::unique_ptr<char[]>, kSlots> m_frameBufferB;
    std::array<std::unique_ptr<char[]>, kSlots> m_blockBufferB;

    int m_batchMarker = 0;
    int m_searchDate = 0;
    quint8 m_flag40 = 0;
    int m_connectResult = ConnectNone;

    std::array<std::unique_ptr<quint8[]>, kSlots> m_minuteTables;
    std::atomic<int> m_playbackSeq{1};

    std::atomic<quint8> m_socketConnected{0};
    std::atomic<int> m_channelCount{0};

    int m_searchDay = 0;
    int m_searchChannel = 0;
    int m_connectPurpose = 0;
    int m_rememberedGrid = -1;

    std::array<int, 4> m_playbackInfoValues{};
    std::atomic<int> m_playbackMode{0};   // read by the search threads
    std::atomic<int> m_playbackSpeed{0};

    std::array<CameoRoute, kChannels> m_routes;
    std::atomic<int> m_playbackGrid{-1};

    std::atomic<quint8> m_playbackActive{0};
    std::array<std::atomic<quint8>, kChannels> m_liveThreadBytes;

    QIcon m_iconCamera;
    QIcon m_iconCameraOff;
    QIcon m_iconCameraLoss;
    QIcon m_iconCameraEvent;
    QIcon m_iconDvrDisable;
    QIcon m_iconDvr;

    int m_liveAudioChannel = -1;
    int m_playbackAudioChannel = -1;

    std::unique_ptr<char[]> m_batchBuffer;
    std::unique_ptr<char[]> m_secondBuffer;

    std::array<int, kSlots> m_scrModes{};

    std::array<float, kChannels> m_emapX{};
    std::array<float, kChannels> m_emapY{};
    QString m_emapPath;
    std::array<float, kChannels> m_ownX{};
    std::array<float, kChannels> m_ownY{};
    std::array<QString, kChannels> m_cameraEmapPath;

    std::atomic<quint8> m_museumMode{0};
    std::atomic<quint8> m_thumbnailMode{0};
    std::atomic<quint8> m_quickMode{0};
    int m_stepCode = 0;

    mutable QMutex m_requestLock;

    std::atomic<quint32> m_maskLive{0};
    std::atomic<quint32> m_maskSearch{0};
    std::atomic<quint32> m_maskBackup{0};
    std::atomic<quint32> m_maskPtz{0};
    std::atomic<quint8> m_maskConfig{0};

    std::array<QString, 5> m_statusTexts;

    QThread m_connectThread;
    std::unique_ptr<NetConnect> m_connectWorker;

    // Connect sequence: the live connection is connected by a timer 500 ms after the playback
    // one, so the receive path is never run from a nested event loop of ours.
    QTimer* m_liveConnectTimer = nullptr;
    bool m_connecting = false;
    // The current connect runs inside TLS.
    bool m_tlsConnect = false;
    // Depth of the session's handlers running inside a signal of its own connections; a session
    // destroyed there hands its connections to deleteLater.
    int m_networkSlotDepth = 0;

    // Firmware preparation, driven by a timer while it waits for the tool's output.
    QTimer* m_firmwareTimer = nullptr;
    int m_firmwareAttempts = 0;
    QString m_firmwareOutput;

    // media pipeline ------------------------------------------------------------------------
public:
    // A queue whose consumer stalls (a decoder stuck, a thread not started) never holds more
    // than this many records: the oldest goes first. The live drop rule keeps a running
    // channel far below it.
    static constexpr int kQueueBound = 1024;
    static constexpr int kAudioBufferSize = 9000;
    static constexpr int kAudioFlushBytes = 4000;
    static constexpr int kSearchAudioFlushBytes = 8000;
    static constexpr int kSearchAudioOutSize = 20000;

    // The playback tag that follows `current`: 1 to 100, and after a stop (999) or any value
    // above 100 it starts again at 1.
    static int NextPlaybackTag(int current);
    // Appends a record to a channel's live queue as the live intake does (tests feed floods).
    void AppendLiveRecord(LiveFrameRecordPtr record);
    // Takes the first record of a channel's live queue, as its live thread does; null when empty.
    LiveFrameRecordPtr TakeLiveRecord(int ch);
    int GetLiveQueueCount(int ch) const;
    int GetPlaybackQueueCount(int slot) const;
    int GetLiveAudioQueueCount() const;
    int GetPlaybackAudioQueueCount() const;
    bool IsLiveDropping(int ch) const { return ValidChannel(ch) && m_liveDrop[ch].load() != 0; }
    bool IsLiveThreadRunning(int ch) const { return ValidChannel(ch) && m_liveRun[ch].load() != 0; }
    int GetPlaybackRateState() const { return m_rateState.load(); }
    int GetDecodedFrames(int ch) const { return ValidChannel(ch) ? m_decodedFrames[ch].load() : 0; }
    int GetSkippedForLoad(int ch) const { return ValidChannel(ch) ? m_loadSkipped[ch].load() : 0; }
    CModulePlayback* GetPlayback(int slot) const;
    void SetPlaybackTag(int tag) { m_playbackSeq.store(tag); }
    void SetPlaybackMode(int mode, int speed) { m_playbackMode = mode; m_playbackSpeed = speed; }
    void SetPlaybackDate(int date, int time) { m_playDate = date; m_playTime = time; }
    void SetRecordedRange(int firstDate, int firstTime, int lastDate, int lastTime);
    void SetPlaybackAudioChannel(int ch) { m_playbackAudioChannel = ch; }
    void SetLiveFrameRate(int ch, int fps);
    // The last picture the session stored for a channel (the first one after connecting).
    QImage GetLastPicture(int ch) const;

    // PlaybackHost: what the channel schedulers ask of their session.
    bool IsRecorderRegistered(int recorderIndex) const override;
    bool IsPlaybackEnabled() const override;
    int GetChannelCount() const override;
    int GetAudioChannel() const override;
    int GetPlaybackFps(int slot) const override;
    int GetSpeedCode(int kind) const override;
    void EnterThumbnailMode() override;
    void SendIntraIndexRequest(int date, int channel, int kind) override;
    void SendIntraHeaderRequest(int channel, int file, qint64 offset, int size, int kind) override;
    bool SendFrameListRequest(int channel, int file, qint64 offset, int size, int requestKind) override;
    void OnSetFrameData(const PlaybackFrame& frame) override;

    // Worker procedures (CQThreadHelper): the pointer is the session, the value the channel.
    static void THREAD_LIVE(void* session, int channel);
    static void THREAD_LIVE_AUDIO(void* session, int unused);
    static void THREAD_SEARCH(void* session, int index);
    static void THREAD_PLAYBACK_AUDIO(void* session, int unused);

public slots:
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
    void ConnectMediaIntake(CModuleNetwork* network, bool playbackConnection);
    void StartMediaThreads();
    void StopMediaThreads();
    void CreateSchedulers();
    void DeleteSchedulers();
    bool ChannelTakesPart(int ch) const;
    CModulePlayback* SchedulerForKind(int channel, int kind) const;
    void DeliverLivePicture(int ch, CModuleDecoder* decoder, bool decodeOnly, bool recordFlag);
    void StoreFirstPicture(int ch, CModuleDecoder* decoder);
    void DeliverSearchNotice(int index, bool picture);
    void AppendPlaybackRecord(int slot, LiveFrameRecordPtr record);
    int ProcessorLoad() const;

    std::array<std::deque<LiveFrameRecordPtr>, kChannels> m_liveQueues;
    std::deque<LiveFrameRecordPtr> m_liveAudioQueue;
    std::array<std::deque<LiveFrameRecordPtr>, kSlots> m_playbackQueues;
    std::deque<LiveFrameRecordPtr> m_playbackAudioQueue;
    std::array<int, kChannels> m_prevTick{};
    std::array<std::atomic<int>, kChannels> m_decodedFrames{};
    std::array<std::atomic<int>, kChannels> m_loadSkipped{};
    std::array<std::atomic<int>, kSlots> m_lastSecond{};
    std::array<int, kSlots> m_pacingDelay{};
    std::array<std::atomic<int>, kSlots> m_lastPlayDate{};
    std::array<std::atomic<int>, kSlots> m_lastPlayTime{};
    std::array<std::atomic<quint8>, kSlots> m_stepDone{};
    std::array<std::unique_ptr<CModulePlayback>, kSlots> m_schedulers;
    std::atomic<int> m_rateState{0};
    std::atomic<int> m_playDate{-1};
    std::atomic<int> m_playTime{-1};
    std::array<int, 4> m_recordedRange{{0, 0, 0, 0}};
};
