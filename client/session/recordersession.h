#pragma once
// A recorder session as the windows, panels and grids see it: every operation they ask of one
// recorder, and the replies they listen to. The session library implements it (CModuleDevice);
// only the code that makes sessions knows that class. Channels are 0-based; dates are YYYYMMDD
// and times HHMMSS.
#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>
#include <QVector>

#include "net/requestbuilder.h"
#include "session/connectpurpose.h"
#include "session/livefigures.h"
#include "session/networkusage.h"
#include "session/playbackmode.h"

class CModuleDecoder;
class EventBackupHost;
class HealthCheckView;
class PlaybackView;
class QTreeWidgetItem;
class RemoteCDBackupHost;
class ScheduleBackupHost;
struct CameoRoute;

class RecorderSession : public QObject
{
    Q_OBJECT

public:
    static constexpr int kChannels = 16;
    static constexpr int kMaxRecordDays = 1825;
    // The RequestPlayback mode that seeks through the quick search.
    static constexpr int kTimeLineSeek = 65535;

    ~RecorderSession() override = default;

    // ---- identity and state
    virtual QString GetDvrName() const = 0;
    virtual QString GetDvrAddr() const = 0;
    virtual int GetDeviceIndex() const = 0;
    // True from the first status reply after login until the connection goes down.
    virtual bool IsLoggedIn() const = 0;
    virtual LiveFigures GetLiveFigures(int ch) const = 0;

    // ---- status queries
    virtual bool GetChannelActive(int ch) const = 0;
    virtual QString GetCameraTitle(int ch) const = 0;
    virtual int GetChannelFps(int ch) const = 0;
    virtual QImage GetChannelImage(int ch) const = 0;
    // The console layout the session gathered: at most `size` bytes, up to its ending zero byte.
    virtual QByteArray GetConsoleLayout(int size) const = 0;
    virtual int GetAlarmOutCount() const = 0;
    virtual int GetModelCode() const = 0;
    virtual int GetModelType() const = 0;
    virtual int GetChannelCount() const = 0;
    // The recorder's channel count for a grid; -1 before the login, when the grid is remembered
    // and handed the recorder as soon as it logs in.
    virtual int GetChannelCount(int grid) = 0;
    virtual bool GetMotionState(int ch) const = 0;
    virtual bool GetSensorState(int ch) const = 0;
    virtual bool GetVideoLoss(int ch) const = 0;
    // Date and time of the channel's last live frame; -1 before the first.
    virtual int GetLiveFrameDate(int ch) const = 0;
    virtual int GetLiveFrameTime(int ch) const = 0;
    virtual bool GetRelayState(int relay) const = 0;
    virtual bool IsPtzChannel(int ch) const = 0;
    virtual int GetRecorderKind() const = 0;
    virtual EventBackupHost* GetEventBackupHost() const = 0;
    virtual ScheduleBackupHost* GetScheduleBackupHost() const = 0;
    virtual RemoteCDBackupHost* GetRemoteCDBackupHost() const = 0;

    // ---- routes written by the grids, read by the decode threads
    virtual CameoRoute* GetCameoRoute(int ch) = 0;
    virtual int GetPlaybackGrid() const = 0;
    virtual void SetPlaybackGrid(int grid) = 0;
    virtual void SetScrMode(int slot, int mode) = 0;

    // ---- per-channel flags the grids and backup pages set
    virtual bool IsLiveWanted(int ch) const = 0;
    virtual void SetLiveWanted(int ch, bool wanted) = 0;
    virtual bool IsEventRecordMarked(int ch) const = 0;
    virtual void SetEventRecordMark(int ch, bool on) = 0;
    virtual int GetLiveAudioChannel() const = 0;
    virtual int GetAudioChannel() const = 0;
    // Set by the remote playback window while it plays this recorder; login and disconnect
    // clear it. The request timers run only while playback is active.
    virtual bool IsPlaybackActive() const = 0;
    virtual void SetPlaybackActive(bool on) = 0;
    virtual quint32 GetLiveMask() const = 0;
    virtual quint32 GetSearchMask() const = 0;
    virtual CModuleDecoder* GetLiveDecoder(int ch) const = 0;
    virtual CModuleDecoder* GetPlaybackDecoder(int ch) const = 0;
    virtual QTreeWidgetItem* GetCameraItem(int ch) const = 0;
    virtual const quint8* GetMinuteTable(int slot) const = 0;

    // ---- connection
    // The option is a ConnectPurpose value, or kDelayedConnect and more for a silent connect
    // after (option - 500) ms.
    virtual void StartConnect(int option) = 0;
    void StartConnect(ConnectPurpose purpose) { StartConnect(int(purpose)); }
    virtual bool Disconnect() = 0;
    virtual void OnConnectionOption(ConnectPurpose purpose) = 0;
    virtual void LoadSiteBookInfo() = 0;

    // ---- live
    virtual bool OnLiveStart(int mode) = 0;
    virtual bool OnLiveStop(int ch) = 0;
    virtual bool StartLiveAudio(int ch) = 0;
    virtual bool StopLiveAudio() = 0;

    // ---- local recording and archive items
    // Arms the search recording of a channel from a date and time.
    virtual void StartSearchRecord(int ch, int date, int time) = 0;
    virtual void UpdateArchiveItems(QTreeWidgetItem* archiveParent, int kind) = 0;
    // Index 0-15 live recording of a channel, 16-31 recording of its playback.
    virtual void ToggleRecord(int index) = 0;
    virtual bool IsRecordMarked(int index) const = 0;

    // ---- backup windows, health check and network status
    virtual void ShowEventBackup() = 0;
    virtual void ShowRemoteCDBackup() = 0;
    virtual void ShowScheduleBackup() = 0;
    virtual void ShowHealthCheck(bool quiet) = 0;
    // The recorder's health window, made at the first login; null before.
    virtual HealthCheckView* GetHealthCheck() const = 0;
    // Opens the network status pop-up of this recorder modally.
    virtual void ShowNetworkStatus() = 0;
    virtual NetworkUsage& GetNetworkUsage() = 0;

    // ---- the recorded range and days of the last playback information answer
    virtual int GetFirstRecordDate() const = 0;
    virtual int GetFirstRecordTime() const = 0;
    virtual int GetLastRecordDate() const = 0;
    virtual int GetLastRecordTime() const = 0;
    virtual QVector<int> GetRecordDays() const = 0;
    virtual QString GetEarliestRecordText() const = 0;
    // True when the day is in the recorder's record-day list.
    virtual bool HasRecordDay(int date) const = 0;

    // ---- record lists and index
    virtual void SendTimeRecList(int day, int slot) = 0;
    virtual void GetIntraIndex(int channel) = 0;

    // ---- camera, relay, live output and talk-back
    virtual void SendUccControl(int channel, int code, int speed, int preset) = 0;
    virtual void SendPtzControl(int channel, int command, int value, int value2) = 0;
    virtual void SendRelayControl(int relay, int on) = 0;
    virtual void SetLiveOutputChannel(int channel) = 0;
    virtual void SendLiveOutput() = 0;
    virtual void SendTalkStart() = 0;
    virtual void SendTalkStop() = 0;
    virtual void SendTalkAudio(const char* pcm, int bytes) = 0;

    // ---- configuration, firmware and the recorder's own media backup
    virtual void SetConfigData() = 0;
    virtual void SetFirmwareData() = 0;
    // The backup capacity of a time range on the channels of the mask (bit i = channel i + 1).
    virtual void SendBackupCapaRequest(int startDate, int startTime, int finishDate, int finishTime,
                                       int channelMask) = 0;
    virtual void SendCDMediaCheck(int mediaKind) = 0;
    virtual void SendCDBackupPrepare(int discNumber, int mediaKind) = 0;
    // The audio flag is 0xFFFF with audio.
    virtual void SendCDBackupStart(int startDate, int startTime, int finishDate, int finishTime, int channelBits,
                                   int audioFlag, int mediaKind) = 0;
    virtual void SendCDListBackupStart(const QVector<RequestBuilder::ListBackupEntry>& list, int mediaKind) = 0;
    virtual void SendCDBackupStop(int mediaKind) = 0;
    virtual void SendCDBackupClose() = 0;
    virtual void SendCDMediaErase(int mediaKind) = 0;
    // A schedule backup download of the channels of the mask from a date and time, on the live
    // connection; every frame carries the request number and arrives in `receiveBuffer`.
    virtual void SendBackupPlaybackCtrl(int requestNumber, quint16 channelMask, int date, int time,
                                        char* receiveBuffer) = 0;
    virtual void SendBackupPlaybackStop(char* receiveBuffer) = 0;

    // ---- remote playback
    virtual void SetPlaybackCtrl(PlaybackMode mode) = 0;
    virtual void ResendPlaybackCtrl() = 0;
    // Plays from a time of the current date in a mode (a PlaybackMode code), or with -2, -3 or
    // -4 continues the thumbnail, museum or quick search; kTimeLineSeek seeks through the quick
    // search.
    virtual bool RequestPlayback(int time, int mode) = 0;
    virtual bool StartPlaybackAudio(int channel) = 0;
    virtual bool StopPlaybackAudio() = 0;
    virtual void SetPlaybackVisible(int channel, bool visible) = 0;
    virtual void SetPlaybackView(PlaybackView* view) = 0;
    virtual PlaybackView* GetPlaybackView() const = 0;
    // The chosen play date and time, -1 when none; the day is also kept for the time lists.
    virtual void ChoosePlayStart(int date, int time) = 0;
    // No play start: the playback window asks the operator when the information arrives.
    virtual void ClearPlayStart() = 0;
    virtual int GetPlayDate() const = 0;
    virtual int GetPlayTime() const = 0;
    virtual int GetTimeListDate() const = 0;
    virtual void SetTimeListDate(int date) = 0;
    virtual int GetPlayRequestState() const = 0;
    virtual PlaybackMode GetPlaybackMode() const = 0;
    // The current playback date and time; -1 when none.
    virtual int GetPlaybackDate() const = 0;
    virtual int GetPlaybackTime() const = 0;
    // The time of the last recorded second the channel's search thread went through.
    virtual int GetChannelPlayTime(int ch) const = 0;
    virtual int GetPlaybackSpeed() const = 0;
    // What the channel's playback scheduler is doing (Idle without a scheduler).
    virtual PlaybackMode GetChannelPlaybackState(int channel) const = 0;

    // ---- searches (each needs its search pop-up)
    virtual void SetMuseumSearch(int channel, int date, int time) = 0;
    virtual void SetThumnailSearch(int channel, int date, int time) = 0;
    virtual void SetQuickSearch(int channel, int date, int time) = 0;
    // The channel, date and time a search pop-up hands to the next search it opens.
    virtual void SetSearchRequest(int channel, int date, int time) = 0;
    virtual void SetQuickMode(bool on) = 0;
    // The museum search's drawn area: grid family and cells x1 .. x2-1, y1 .. y2-1; a grid
    // family of -1 clears it.
    virtual void SetMuseumArea(int gridFamily, int x1, int y1, int x2, int y2) = 0;
    // The museum and thumbnail pop-ups leave their search when they hide.
    virtual void LeaveMuseumSearch() = 0;
    virtual void LeaveThumbnailSearch() = 0;
    virtual bool IsMuseumMode() const = 0;
    virtual bool IsThumbnailMode() const = 0;

    // ---- console and e-map
    virtual void SendConsoleMode(int value) = 0;
    virtual void RequestConsoleData(int value) = 0;
    virtual void SendMousePos(int x, int y, int button, int flag) = 0;
    virtual QString GetEmapPath() const = 0;
    virtual void SetEmapPath(const QString& path) = 0;
    virtual QString GetCameraEmapPath(int ch) const = 0;
    virtual void SetCameraEmapPath(const QString& path, int camera) = 0;
    virtual float GetCameraOwnX(int ch) const = 0;
    virtual float GetCameraOwnY(int ch) const = 0;
    virtual void SetEmapDevicePos(int camera, float x, float y) = 0;
    virtual void SetEmapCameraPos(int camera, float x, float y) = 0;

signals:
    void usageData(qlonglong);
    void OnConnected_CDBackup(QString, int);
    void OnAddBackupCapa(int, int, int);
    void OnAddBackupCapaAll(int, int, int);
    void OnSetCDMedia(short, short);
    void OnEraseResult(char);
    void OnBurningRate(char, char, char, char);
    void OnEventResult(int, int, int, int, qlonglong);
    // The event recording of a channel stopped at a write that failed (channel, time, week day,
    // file, the system's reason, whether the disk is full).
    void OnEventWriteFailed(int, int, int, QString, QString, bool);
};
