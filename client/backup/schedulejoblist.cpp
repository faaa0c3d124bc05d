#include "backup/schedulejoblist.h"

#include "backup/backupclock.h"
#include "backup/backupitem.h"
#include "backup/backuplog.h"
#include "backup/formatbackupsize.h"
#include "backup/jobrules.h"
#include "backup/listmodel.h"
#include "backup/schedulebackupsession.h"

#include <algorithm>

namespace {

constexpr int kChannels = 16;
constexpr int kLastRequestNumber = 100;
constexpr qint64 kLongestCatchUpSeconds = 86400;

} // namespace

ScheduleJobList::ScheduleJobList(ListModel& model, ScheduleBackupSession& session, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_session(session)
{
    m_silence.setSingleShot(true);
    m_silence.setInterval(kSilenceLimitMs);
    connect(&m_silence, &QTimer::timeout, this, &ScheduleJobList::OnDownloadSilent);
    m_wakeup.setSingleShot(true);
    // A job starts in the second it is due: the wake-up must not be moved by timer coalescing.
    m_wakeup.setTimerType(Qt::PreciseTimer);
    connect(&m_wakeup, &QTimer::timeout, this, &ScheduleJobList::OnWakeupTimer);
}

ScheduleJobList::~ScheduleJobList() = default;

void ScheduleJobList::SetupModel()
{
    const int centred = Qt::AlignCenter;
    JobRules::SetupColumns(m_model, {
                                        {"Channel", Qt::AlignLeft},
                                        {"Week", centred},
                                        {"Begin Time", centred},
                                        {"End Time", centred},
                                        {"Date", centred},
                                        {"Start Time", centred},
                                        {"Backup Size", Qt::AlignRight},
                                        {"Status", Qt::AlignRight},
                                    });
}

void ScheduleJobList::SetDestination(const QString& folder, int deviceIndex)
{
    m_folder = folder;
    m_deviceIndex = deviceIndex;
}

void ScheduleJobList::SetState(int row, BackupItem* item, int state, const QString& text)
{
    JobRules::SetState(m_model, row, ColStatus, *item, state, text);
}

bool ScheduleJobList::AddJobs(int dayMask, quint32 channelMask, int begin, int end, int downloadStart,
                              const std::function<bool()>& confirmOverlap)
{
    m_scratchBegin = begin;
    m_scratchEnd = end;
    m_scratchDownload = downloadStart;
    return JobRules::AddJobs(
        m_model, dayMask, channelMask, begin, end, kChannels, confirmOverlap, [this](int row) { RemoveRow(row); },
        [this, dayMask](int channel) { AddJobRow(channel, dayMask); });
}

void ScheduleJobList::AddJobRow(int channel, int weekDays)
{
    if (channel < 0 || channel >= kChannels)
        return;
    const int row = m_model.AppendRow();
    BackupItem* item = m_model.Item(row);
    if (!item)
        return;
    JobRules::FillJobRow(m_model, row, *item, channel, weekDays, m_scratchBegin, m_scratchEnd,
                         m_session.CameraTitle(channel));
    m_model.SetText(row, ColDate, QStringLiteral("-"));
    m_model.SetText(row, ColStartTime, BackupClock::HmsText(m_scratchDownload));
    m_model.SetText(row, ColSize, QStringLiteral("-"));
    item->downloadStart = m_scratchDownload;
    SetState(row, item, int(m_running ? JobState::Wait : JobState::Stop));
    WakeSoon();
}

int ScheduleJobList::RowOf(const BackupItem* item) const
{
    for (int row = 0; row < m_model.rowCount(); ++row) {
        if (m_model.Item(row) == item)
            return row;
    }
    return -1;
}

bool ScheduleJobList::InCurrent(const BackupItem* item) const
{
    return m_busy && std::find(m_current.rows.begin(), m_current.rows.end(), item) != m_current.rows.end();
}

bool ScheduleJobList::IsQueued(const BackupItem* item) const
{
    if (InCurrent(item))
        return true;
    for (const Download& download : m_queue) {
        if (std::find(download.rows.begin(), download.rows.end(), item) != download.rows.end())
            return true;
    }
    return false;
}

void ScheduleJobList::OnWakeupTimer()
{
    if (!m_running) {
        m_wakeup.stop();
        return;
    }
    const QDateTime reading = m_clock ? m_clock() : QDateTime::currentDateTime();
    const QDateTime now = reading.addMSecs(-reading.time().msec());
    const qint64 gap = m_lastCheck.isValid() ? m_lastCheck.secsTo(now) : 0;
    if (!m_lastCheck.isValid() || gap <= 0 || gap > kLongestCatchUpSeconds) {
        // First look, or the clock was set back or jumped far: only the present second counts.
        if (gap != 0 || !m_lastCheck.isValid())
            CheckSecond(now);
    } else {
        for (qint64 s = 1; s <= gap; ++s)
            CheckSecond(m_lastCheck.addSecs(s));
    }
    m_lastCheck = now;
    if (!m_busy)
        StartNextDownload();
    ArmWakeup(reading);
}

bool ScheduleJobList::IsDue(const BackupItem& item, int weekBit, int hms)
{
    return item.state == JobState::Wait && (item.weekDays & weekBit) && item.downloadStart == hms;
}

bool ScheduleJobList::HasWaitingRow() const
{
    for (int row = 0; row < m_model.rowCount(); ++row) {
        const BackupItem* item = m_model.Item(row);
        if (item && item->state == JobState::Wait)
            return true;
    }
    return false;
}

void ScheduleJobList::ArmWakeup(const QDateTime& now)
{
    if (!m_running || !HasWaitingRow() || !now.isValid()) {
        m_wakeup.stop();
        // The next look, when a job waits again, is a first look: seconds passed over while
        // nothing waited are not caught up on for a job added since.
        m_lastCheck = QDateTime();
        return;
    }
    // The seconds after the last look, as the next look's catch-up will walk them.
    const int longest = kLongestWakeupMs / 1000;
    int second = 1;
    for (; second < longest; ++second) {
        const QDateTime moment = m_lastCheck.addSecs(second);
        const int weekBit = 1 << (moment.date().dayOfWeek() % 7);
        const int hms = BackupClock::ToHms(moment.time());
        bool due = false;
        for (int row = 0; row < m_model.rowCount() && !due; ++row) {
            const BackupItem* item = m_model.Item(row);
            due = item && IsDue(*item, weekBit, hms);
        }
        if (due)
            break;
    }
    const qint64 wait = now.msecsTo(m_lastCheck.addSecs(second));
    m_wakeup.start(int(qBound<qint64>(0, wait, kLongestWakeupMs)));
}

void ScheduleJobList::WakeSoon()
{
    if (m_running && (!m_wakeup.isActive() || m_wakeup.remainingTime() > 1000))
        m_wakeup.start(1000);
}

void ScheduleJobList::CheckSecond(const QDateTime& moment)
{
    const int weekBit = 1 << (moment.date().dayOfWeek() % 7);
    const int hms = BackupClock::ToHms(moment.time());
    const int yesterday = BackupClock::ToYmd(moment.date().addDays(-1));
    std::vector<Download> due;
    for (int row = 0; row < m_model.rowCount(); ++row) {
        BackupItem* item = m_model.Item(row);
        if (!item || !IsDue(*item, weekBit, hms) || IsQueued(item))
            continue;
        qCDebug(lcBackup) << "Backup Channel" << row << item->channel;
        auto group = std::find_if(due.begin(), due.end(),
                                  [&](const Download& d) { return d.begin == item->begin && d.end == item->end; });
        if (group == due.end()) {
            due.push_back(Download{0, yesterday, item->begin, item->end, {}});
            group = due.end() - 1;
        }
        group->channelMask |= quint16(1u << item->channel);
        group->rows.push_back(item);
    }
    for (Download& download : due)
        m_queue.push_back(std::move(download));
}

QString ScheduleJobList::FailureStatus(const ModuleRecord::WriteFailure& failure)
{
    return JobRules::FailureStatus(failure.diskFull);
}

void ScheduleJobList::StepRequestNumber()
{
    m_requestNumber = m_requestNumber >= kLastRequestNumber ? 0 : m_requestNumber + 1;
}

void ScheduleJobList::StartNextDownload()
{
    while (!m_busy && m_running && !m_queue.empty()) {
        Download next = std::move(m_queue.front());
        m_queue.pop_front();
        next.channelMask = 0;
        std::vector<BackupItem*> rows;
        for (BackupItem* item : next.rows) {
            const int row = RowOf(item);
            if (row >= 0 && item->state == JobState::Wait) {
                rows.push_back(item);
                next.channelMask |= quint16(1u << item->channel);
            }
        }
        if (rows.empty())
            continue;
        next.rows = std::move(rows);
        m_current = std::move(next);
        StepRequestNumber();
        m_busy = true;
        m_recording.fill(false);
        m_session.SendBackupPlaybackCtrl(m_requestNumber, m_current.channelMask, m_current.date, m_current.begin,
                                         FrameBuffer());
        m_silence.start();
    }
}

bool ScheduleJobList::RecordFrame(int channel, int size, int frameType, int date, int time, bool key,
                                  char frameByte, char sequence, qint64* recordedKb)
{
    if (!m_recording[size_t(channel)]) {
        m_writer.StartRecord(channel, date, time, m_folder, m_deviceIndex, ModuleRecord::ScheduleData);
        m_recording[size_t(channel)] = true;
    }
    const qint64 bytes = m_writer.OnRecordData(channel, date, time, quint8(frameByte), frameType, FrameBuffer(),
                                               size, quint8(sequence), key ? 1 : 0);
    *recordedKb = bytes / 1024;
    if (!m_writer.Failed(channel))
        return true;
    EndDownload();
    return false;
}

void ScheduleJobList::OnRecvPlaybackVideo(int channel, int size, int frameType, int date, int time,
                                          int requestNumber, bool key, char frameByte, char sequence)
{
    if (!m_busy || requestNumber != m_requestNumber)
        return;
    if (channel < 0 || channel >= kChannels || size < 0 || size > kFrameBufferSize)
        return;
    m_silence.start();
    if (time > m_current.end) {
        EndDownload();
        return;
    }
    if (time < m_current.begin)
        return;
    const bool endMark = size == 4;
    qint64 recordedKb = 0;
    if (!endMark) {
        if (!(m_current.channelMask & (1u << channel)))
            return;
        if (!RecordFrame(channel, size, frameType, date, time, key, frameByte, sequence, &recordedKb))
            return;
    }
    const std::vector<BackupItem*> rows = m_current.rows;
    for (BackupItem* item : rows) {
        const int row = RowOf(item);
        if (row < 0 || (item->state != JobState::Wait && item->state != JobState::Downloading))
            continue;
        if (!endMark && item->channel != channel)
            continue;
        if (item->state == JobState::Wait) {
            item->startDate = date;
            m_model.SetText(row, ColDate, BackupClock::YmdText(date));
            SetState(row, item, int(JobState::Downloading));
        }
        if (endMark)
            continue;
        m_model.SetText(row, ColSize, FormatBackupSize(recordedKb, true));
        if (recordedKb > kFileLimitKb) {
            // The file is full: this row is done and a fresh copy takes the rest of the window
            // into a new recording.
            if (!m_writer.StopRecord(channel)) {
                EndDownload();
                return;
            }
            SetState(row, item, int(JobState::Complete));
            m_recording[size_t(channel)] = false;
            m_scratchBegin = item->begin;
            m_scratchEnd = item->end;
            m_scratchDownload = item->downloadStart;
            AddJobRow(channel, item->weekDays);
            if (BackupItem* fresh = m_model.Item(m_model.rowCount() - 1))
                m_current.rows.push_back(fresh);
        }
    }
}

void ScheduleJobList::EndDownload()
{
    if (!m_busy)
        return;
    m_silence.stop();
    StepRequestNumber();
    std::array<bool, kChannels> wrote{};
    ModuleRecord::WriteFailure failure;
    for (int channel = 0; channel < kChannels; ++channel) {
        wrote[size_t(channel)] = m_recording[size_t(channel)] && m_writer.State(channel) == 2;
        if (!m_writer.StopRecord(channel) && !failure.IsSet())
            failure = m_writer.Failure(channel);
    }
    const std::vector<BackupItem*> rows = m_current.rows;
    for (BackupItem* item : rows) {
        const int row = RowOf(item);
        if (row < 0 || (item->state != JobState::Wait && item->state != JobState::Downloading))
            continue;
        if (m_writer.Failed(item->channel))
            SetState(row, item, int(JobState::Failed), FailureStatus(m_writer.Failure(item->channel)));
        else if (failure.IsSet())
            SetState(row, item, int(JobState::Failed), QStringLiteral("Stopped"));
        else
            SetState(row, item, int(JobState::Complete),
                     wrote[size_t(item->channel)] ? QStringLiteral("Complete") : QStringLiteral("No data"));
        m_scratchBegin = item->begin;
        m_scratchEnd = item->end;
        m_scratchDownload = item->downloadStart;
        AddJobRow(item->channel, item->weekDays);
    }
    m_busy = false;
    m_recording.fill(false);
    m_current = Download();
    m_session.SendBackupPlaybackStop(FrameBuffer());
    if (failure.IsSet())
        m_session.ShowFailure(ModuleRecord::FailureText(
            QStringLiteral("The schedule backup of ") + m_session.RecorderName(), failure));
    StartNextDownload();
}

void ScheduleJobList::OnConnectionLost()
{
    EndDownload();
}

void ScheduleJobList::OnDownloadSilent()
{
    qCDebug(lcBackup) << "schedule download got no frame for" << kSilenceLimitMs << "ms";
    EndDownload();
}

void ScheduleJobList::Start()
{
    m_running = true;
    m_lastCheck = QDateTime();
    for (int row = 0; row < m_model.rowCount(); ++row) {
        BackupItem* item = m_model.Item(row);
        if (item && item->state == JobState::Stop)
            SetState(row, item, int(JobState::Wait));
    }
    if (HasWaitingRow())
        WakeSoon();
}

void ScheduleJobList::Stop()
{
    m_running = false;
    m_wakeup.stop();
    m_silence.stop();
    m_queue.clear();
    // The writers go first: the last second they write decides whether a row is complete.
    ModuleRecord::WriteFailure failure;
    for (int channel = 0; channel < kChannels; ++channel) {
        if (!m_writer.StopRecord(channel) && !failure.IsSet())
            failure = m_writer.Failure(channel);
    }
    for (int row = 0; row < m_model.rowCount(); ++row) {
        BackupItem* item = m_model.Item(row);
        if (!item)
            continue;
        if (item->state == JobState::Downloading && m_writer.Failed(item->channel))
            SetState(row, item, int(JobState::Failed), FailureStatus(m_writer.Failure(item->channel)));
        else if (item->state == JobState::Downloading)
            SetState(row, item, int(JobState::Complete));
        else if (item->state == JobState::Wait)
            SetState(row, item, int(JobState::Stop));
    }
    m_recording.fill(false);
    m_session.SendBackupPlaybackStop(FrameBuffer());
    if (failure.IsSet())
        m_session.ShowFailure(ModuleRecord::FailureText(
            QStringLiteral("The schedule backup of ") + m_session.RecorderName(), failure));
    if (m_busy)
        StepRequestNumber();
    m_busy = false;
    m_current = Download();
}

char* ScheduleJobList::FrameBuffer()
{
    if (m_frameBuffer.empty())
        m_frameBuffer.assign(size_t(kFrameBufferSize), 0);
    return m_frameBuffer.data();
}

void ScheduleJobList::Reset()
{
    m_model.Clear();
    m_queue.clear();
    m_current = Download();
    m_recording.fill(false);
    m_busy = false;
    m_running = true;
    m_lastCheck = QDateTime();
    m_wakeup.stop(); // no row waits
}

void ScheduleJobList::RemoveRow(int row)
{
    BackupItem* item = m_model.Item(row);
    if (!item)
        return;
    if ((item->state == JobState::Wait || item->state == JobState::Downloading) && InCurrent(item))
        m_recording[size_t(item->channel)] = false;
    for (Download& download : m_queue)
        download.rows.erase(std::remove(download.rows.begin(), download.rows.end(), item), download.rows.end());
    m_current.rows.erase(std::remove(m_current.rows.begin(), m_current.rows.end(), item), m_current.rows.end());
    m_model.removeRows(row, 1);
}

void ScheduleJobList::RemoveCompleteRows()
{
    JobRules::RemoveRowsIn(m_model, JobState::Complete, [this](int row) { RemoveRow(row); });
}

void ScheduleJobList::RemoveAllRows()
{
    while (m_model.rowCount() > 0)
        RemoveRow(0);
}
