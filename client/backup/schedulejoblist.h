#pragma once
// The jobs of a schedule backup page, without its widgets: rows of (channel, week days, daily
// window, download start) in a ListModel. Once a second the page asks it to look at the clock;
// every job whose download start has come on one of its days fetches the previous day's window
// from the recorder and writes it in the client recording layout (kind 6).
//
// The list wakes itself to look at the clock: at the next second a waiting job falls due, at
// the latest kLongestWakeupMs after the last look (so that a clock set forward is noticed soon),
// and not at all while no job waits. Seconds are never skipped: a check covers every second
// since the previous one, so a wake-up that comes late misses no job. Jobs that fall due while a download runs wait their turn;
// jobs due at the same time are fetched together when they share a window, one request per
// window otherwise. A download ends with the first frame past its window, after
// kSilenceLimitMs without a frame, when the connection drops, or at the first write that fails
// (its rows say "Disk full" or "Write failed", the others of that download "Stopped", and the
// user is told which file).
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>
#include <QtGlobal>

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "common/media/modulerecord.h"

class ListModel;
class ScheduleBackupSession;
struct BackupItem;

class ScheduleJobList : public QObject
{
    Q_OBJECT
public:
    enum Column { ColChannel, ColWeek, ColBegin, ColEnd, ColDate, ColStartTime, ColSize, ColStatus, kColumns };
    static constexpr int kFrameBufferSize = 6220800;
    static constexpr int kSilenceLimitMs = 30000;
    // A recording file is closed and a new one started past this many kilobytes.
    static constexpr qint64 kFileLimitKb = 1048576;
    // The longest time between two looks at the clock while a job waits.
    static constexpr int kLongestWakeupMs = 10000;

    using Clock = std::function<QDateTime()>;

    ScheduleJobList(ListModel& model, ScheduleBackupSession& session, QObject* parent = nullptr);
    ~ScheduleJobList() override;

    void SetupModel();
    void SetClock(Clock clock) { m_clock = std::move(clock); }
    // Where downloads are written (the folder ends with "/"), and the recorder's slot.
    void SetDestination(const QString& folder, int deviceIndex);

    bool IsRunning() const { return m_running; }
    bool IsBusy() const { return m_busy; }
    int RequestNumber() const { return m_requestNumber; }
    // Where the recorder's backup frames are received; made with the first download or stop
    // request, so that a recorder whose page never downloads keeps no such buffer.
    char* FrameBuffer();
    bool HasFrameBuffer() const { return !m_frameBuffer.empty(); }

    bool AddJobs(int dayMask, quint32 channelMask, int begin, int end, int downloadStart,
                 const std::function<bool()>& confirmOverlap);
    void AddJobRow(int channel, int weekDays);

    // The look at the clock; the list's own wake-up timer calls it.
    void OnWakeupTimer();
    // Milliseconds until the next look, or -1 while none is due (no job waits).
    int NextWakeupMs() const { return m_wakeup.isActive() ? m_wakeup.interval() : -1; }
    void OnRecvPlaybackVideo(int channel, int size, int frameType, int date, int time, int requestNumber, bool key,
                             char frameByte, char sequence);
    // The recorder's connection went down: a running download ends with what it wrote.
    void OnConnectionLost();
    // No frame came for kSilenceLimitMs: the download ends.
    void OnDownloadSilent();

    void Start();
    void Stop();
    // The page's running state as a freshly armed page has it (rows removed, running).
    void Reset();

    void RemoveRow(int row);
    void RemoveCompleteRows();
    void RemoveAllRows();

private:
    struct Download
    {
        quint16 channelMask = 0;
        int date = 0; // the day fetched
        int begin = 0;
        int end = 0;
        std::vector<BackupItem*> rows;
    };

    void CheckSecond(const QDateTime& moment);
    // A waiting row whose download start is this second of one of its week days.
    static bool IsDue(const BackupItem& item, int weekBit, int hms);
    bool HasWaitingRow() const;
    // After a look at `now`: the next look at the first second a waiting job falls due, at most
    // kLongestWakeupMs away; none while no job waits.
    void ArmWakeup(const QDateTime& now);
    // Rows waiting again or anew: the next look comes within a second.
    void WakeSoon();
    bool IsQueued(const BackupItem* item) const;
    void StartNextDownload();
    void EndDownload();
    void StepRequestNumber();
    static QString FailureStatus(const ModuleRecord::WriteFailure& failure);
    int RowOf(const BackupItem* item) const;
    bool InCurrent(const BackupItem* item) const;
    void SetState(int row, BackupItem* item, int state, const QString& text = QString());
    // False when the write failed: the download has ended then.
    bool RecordFrame(int channel, int size, int frameType, int date, int time, bool key, char frameByte,
                     char sequence, qint64* recordedKb);

    ListModel& m_model;
    ScheduleBackupSession& m_session;
    Clock m_clock;
    QString m_folder;
    int m_deviceIndex = -1;
    bool m_running = false;
    bool m_busy = false;
    int m_requestNumber = 0;
    std::array<bool, 16> m_recording{};
    int m_scratchBegin = 0;
    int m_scratchEnd = 0;
    int m_scratchDownload = 0;
    QDateTime m_lastCheck;
    std::deque<Download> m_queue;
    Download m_current;
    ModuleRecord m_writer;
    std::vector<char> m_frameBuffer;
    QTimer m_silence;
    QTimer m_wakeup;
};
