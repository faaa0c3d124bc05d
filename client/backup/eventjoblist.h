#pragma once
// The jobs of an event backup page, without its widgets: rows of (channel, week days, daily
// window) in a ListModel, the per-frame question whether a live frame lies inside a job, the
// progress the session reports, and live video of every armed channel kept on while the page
// runs. The first write that fails stops the whole page: the row of that channel says "Disk
// full" or "Write failed", other recording rows "Stopped" (never "Complete"), and the user is
// told which recorder and which file.
#include <QString>
#include <QtGlobal>

#include <array>
#include <functional>

#include "common/media/modulerecord.h"

class EventBackupSession;
class ListModel;
struct BackupItem;

class EventJobList
{
public:
    enum Column { ColChannel, ColWeek, ColBegin, ColEnd, ColStart, ColSize, ColStatus, kColumns };
    // A full table drops new rows unless a complete one can make room.
    static constexpr int kMaxRows = 100;

    EventJobList(ListModel& model, EventBackupSession& session);

    // Sets up the model's columns (headers and alignments).
    void SetupModel();

    bool IsRunning() const { return m_running; }
    void SetRunning(bool running) { m_running = running; }

    // Adds one row per channel of `channelMask` (lowest first), each with the whole day mask.
    // Refused silently (false) without days, channels or a begin before the end. Rows that
    // overlap the new window are removed when `confirmOverlap` agrees; else nothing changes.
    bool AddJobs(int dayMask, quint32 channelMask, int begin, int end,
                 const std::function<bool()>& confirmOverlap);
    // Appends one row of the scratch window; false when the table is full.
    bool AddJobRow(int channel, int weekDays);

    bool IsBackupTime(int channel, int time, int weekDay) const;
    void OnEventResult(int channel, int date, int time, int weekDay, qint64 size);
    // The session's recording of `channel` stopped at a failed write. Stops the page (false when
    // it was not running: an earlier failure has stopped it already).
    bool OnWriteFailure(int channel, int time, int weekDay, const ModuleRecord::WriteFailure& failure);

    // Start arms every stopped row; Stop ends recording rows, stops waiting ones and live video.
    void Start();
    void Stop();

    void RemoveRow(int row);
    void RemoveCompleteRows();
    void RemoveAllRows();
    // Empties the list and the live state (the session's event marks too).
    void Reset();

    bool IsLiveStarted(int channel) const;

private:
    void ArmChannel(int channel);
    // Stops the channel's live video unless another armed row of it (other than `leaving`)
    // still wants it.
    void ReleaseChannel(int channel, int leaving);
    bool IsArmed(const BackupItem* item) const;
    void SetState(int row, BackupItem* item, int state, const QString& text = QString());
    int FindReportRow(int channel, int time, int weekDay, qint64 size) const;

    ListModel& m_model;
    EventBackupSession& m_session;
    bool m_running = false;
    std::array<bool, 16> m_liveStarted{};
    int m_scratchBegin = 0;
    int m_scratchEnd = 0;
};
