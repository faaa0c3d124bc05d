#include "backup/eventjoblist.h"

#include "backup/backupclock.h"
#include "backup/backupitem.h"
#include "backup/eventbackupsession.h"
#include "backup/formatbackupsize.h"
#include "backup/jobrules.h"
#include "backup/listmodel.h"

namespace {

constexpr int kChannels = 16;

bool ValidChannel(int channel)
{
    return channel >= 0 && channel < kChannels;
}

} // namespace

EventJobList::EventJobList(ListModel& model, EventBackupSession& session)
    : m_model(model)
    , m_session(session)
{}

void EventJobList::SetupModel()
{
    const int centred = Qt::AlignCenter;
    JobRules::SetupColumns(m_model, {
                                        {"Channel", Qt::AlignLeft},
                                        {"Week", centred},
                                        {"Begin Time", centred},
                                        {"End Time", centred},
                                        {"Start Date / Time", centred},
                                        {"Backup Size", Qt::AlignRight},
                                        {"Status", Qt::AlignRight},
                                    });
}

bool EventJobList::IsArmed(const BackupItem* item) const
{
    return item && (item->state == JobState::Wait || item->state == JobState::Downloading);
}

void EventJobList::SetState(int row, BackupItem* item, int state, const QString& text)
{
    JobRules::SetState(m_model, row, ColStatus, *item, state, text);
}

bool EventJobList::AddJobs(int dayMask, quint32 channelMask, int begin, int end,
                           const std::function<bool()>& confirmOverlap)
{
    m_scratchBegin = begin;
    m_scratchEnd = end;
    return JobRules::AddJobs(
        m_model, dayMask, channelMask, begin, end, kChannels, confirmOverlap, [this](int row) { RemoveRow(row); },
        [this, dayMask](int channel) { AddJobRow(channel, dayMask); });
}

bool EventJobList::AddJobRow(int channel, int weekDays)
{
    if (!ValidChannel(channel))
        return false;
    if (m_model.rowCount() > kMaxRows) {
        int complete = -1;
        for (int row = 0; row < m_model.rowCount() && complete < 0; ++row) {
            if (const BackupItem* item = m_model.Item(row); item && item->state == JobState::Complete)
                complete = row;
        }
        if (complete < 0)
            return false;
        m_model.removeRows(complete, 1);
    }
    const int row = m_model.AppendRow();
    BackupItem* item = m_model.Item(row);
    if (!item)
        return false;
    JobRules::FillJobRow(m_model, row, *item, channel, weekDays, m_scratchBegin, m_scratchEnd,
                         m_session.CameraTitle(channel));
    m_model.SetText(row, ColStart, QStringLiteral("-"));
    m_model.SetText(row, ColSize, QStringLiteral("-"));
    if (m_running) {
        SetState(row, item, int(JobState::Wait));
        ArmChannel(channel);
    } else {
        SetState(row, item, int(JobState::Stop));
    }
    return true;
}

void EventJobList::ArmChannel(int channel)
{
    if (!ValidChannel(channel) || m_liveStarted[size_t(channel)])
        return;
    m_liveStarted[size_t(channel)] = true;
    m_session.StartLive(channel);
}

void EventJobList::ReleaseChannel(int channel, int leaving)
{
    if (!ValidChannel(channel) || !m_liveStarted[size_t(channel)])
        return;
    for (int row = 0; row < m_model.rowCount(); ++row) {
        const BackupItem* item = m_model.Item(row);
        if (row != leaving && IsArmed(item) && item->channel == channel)
            return;
    }
    m_liveStarted[size_t(channel)] = false;
    m_session.StopLive(channel);
}

bool EventJobList::IsBackupTime(int channel, int time, int weekDay) const
{
    if (weekDay < 0 || weekDay > 6)
        return false;
    for (int row = 0; row < m_model.rowCount(); ++row) {
        const BackupItem* item = m_model.Item(row);
        if (IsArmed(item) && item->channel == channel && (item->weekDays & (1 << weekDay)) && item->begin <= time
            && time <= item->end)
            return true;
    }
    return false;
}

int EventJobList::FindReportRow(int channel, int time, int weekDay, qint64 size) const
{
    if (weekDay < 0 || weekDay > 6)
        return -1;
    auto matches = [&](const BackupItem* item, JobState state) {
        return item && item->state == state && item->channel == channel && (item->weekDays & (1 << weekDay))
               && (size == -1 || (item->begin <= time && time <= item->end));
    };
    // The row that is recording takes the report before any row still waiting, so that an end
    // report closes what was recorded.
    for (JobState state : {JobState::Downloading, JobState::Wait}) {
        for (int row = 0; row < m_model.rowCount(); ++row) {
            if (matches(m_model.Item(row), state))
                return row;
        }
    }
    return -1;
}

void EventJobList::OnEventResult(int channel, int date, int time, int weekDay, qint64 size)
{
    const int row = FindReportRow(channel, time, weekDay, size);
    if (row < 0)
        return;
    BackupItem* item = m_model.Item(row);
    if (size == -1) {
        SetState(row, item, int(JobState::Complete));
        m_scratchBegin = item->begin;
        m_scratchEnd = item->end;
        const int weekDays = item->weekDays;
        AddJobRow(channel, weekDays);
        return;
    }
    if (item->state == JobState::Wait) {
        item->startDate = date;
        m_model.SetText(row, ColStart,
                        BackupClock::YmdText(date) + QStringLiteral("  ") + BackupClock::HmsText(time));
        SetState(row, item, int(JobState::Downloading));
    }
    m_model.SetText(row, ColSize, FormatBackupSize(size / 1024, true));
}

bool EventJobList::OnWriteFailure(int channel, int time, int weekDay, const ModuleRecord::WriteFailure& failure)
{
    if (!m_running)
        return false;
    const int failed = FindReportRow(channel, time, weekDay, -1);
    if (BackupItem* item = m_model.Item(failed))
        SetState(failed, item, int(JobState::Failed), JobRules::FailureStatus(failure.diskFull));
    // The disk that refused this channel holds the others too: every recording row ends, and
    // none of them is shown complete.
    for (int row = 0; row < m_model.rowCount(); ++row) {
        BackupItem* item = m_model.Item(row);
        if (item && item->state == JobState::Downloading)
            SetState(row, item, int(JobState::Failed), QStringLiteral("Stopped"));
    }
    Stop();
    m_session.ShowEventFailure(ModuleRecord::FailureText(
        QStringLiteral("The event backup of %1 camera %2").arg(m_session.RecorderName()).arg(channel + 1),
        failure));
    return true;
}

void EventJobList::Start()
{
    m_running = true;
    for (int row = 0; row < m_model.rowCount(); ++row) {
        BackupItem* item = m_model.Item(row);
        if (item && item->state == JobState::Stop) {
            ArmChannel(item->channel);
            SetState(row, item, int(JobState::Wait));
        }
    }
}

void EventJobList::Stop()
{
    m_running = false;
    for (int channel = 0; channel < kChannels; ++channel) {
        if (m_liveStarted[size_t(channel)]) {
            m_liveStarted[size_t(channel)] = false;
            m_session.StopLive(channel);
        }
    }
    for (int row = 0; row < m_model.rowCount(); ++row) {
        BackupItem* item = m_model.Item(row);
        if (!item)
            continue;
        if (item->state == JobState::Downloading)
            SetState(row, item, int(JobState::Complete));
        else if (item->state == JobState::Wait)
            SetState(row, item, int(JobState::Stop));
    }
}

void EventJobList::RemoveRow(int row)
{
    const BackupItem* item = m_model.Item(row);
    if (!item)
        return;
    if (IsArmed(item))
        ReleaseChannel(item->channel, row);
    m_model.removeRows(row, 1);
}

void EventJobList::RemoveCompleteRows()
{
    JobRules::RemoveRowsIn(m_model, JobState::Complete, [this](int row) { m_model.removeRows(row, 1); });
}

void EventJobList::RemoveAllRows()
{
    while (m_model.rowCount() > 0)
        RemoveRow(0);
}

void EventJobList::Reset()
{
    m_model.Clear();
    m_liveStarted.fill(false);
    m_session.ClearEventRecordMarks();
}

bool EventJobList::IsLiveStarted(int channel) const
{
    return ValidChannel(channel) && m_liveStarted[size_t(channel)];
}
