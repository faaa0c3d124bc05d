#pragma once
// What the event and schedule backup pages share about their job rows: the texts of the
// channel and week columns, and when a new job overlaps one already listed.
#include <QString>
#include <QtGlobal>

#include <functional>
#include <initializer_list>

#include "backup/backupitem.h"

class ListModel;

namespace JobRules {

// "Ch - 01 (title)".
QString ChannelText(int channel, const QString& cameraTitle);
// The set days "Sun/Mon/..." (bit 0 Sunday).
QString WeekText(int weekDays);
// A listed job (waiting, stopped or running) conflicts with a new window [begin, end] on some
// of its days and channels when the two windows overlap or touch; a window lying strictly
// inside the listed one is allowed beside it.
bool Conflicts(const BackupItem& listed, int dayMask, quint32 channelMask, int begin, int end);
// Removes (through `removeRow`) every listed job that conflicts with the new window, once the
// operator has confirmed the first conflict; false, with nothing removed, when that is refused.
bool ClearConflicts(const ListModel& model, int dayMask, quint32 channelMask, int begin, int end,
                    const std::function<bool()>& confirmOverlap, const std::function<void(int row)>& removeRow);
// Adds the jobs of a new window [begin, end]: nothing when AddProblem finds one, or when the
// operator refuses to replace a conflicting job; else the conflicting jobs go through
// `removeRow` and each channel set in `channelMask` below `channels` through `addRow`. False
// when nothing was added.
bool AddJobs(const ListModel& model, int dayMask, quint32 channelMask, int begin, int end, int channels,
             const std::function<bool()>& confirmOverlap, const std::function<void(int row)>& removeRow,
             const std::function<void(int channel)>& addRow);
// One column of a job list: its header and alignment.
struct Column
{
    const char* header;
    int alignment;
};
// Gives the model its columns, in order.
void SetupColumns(ListModel& model, std::initializer_list<Column> columns);
// Fills what every job row starts with: the channel, week, begin and end columns (the first
// four of both lists) and the job's fields; the other columns are the list's own.
void FillJobRow(ListModel& model, int row, BackupItem& item, int channel, int weekDays, int begin, int end,
                const QString& cameraTitle);
// Every row whose state is `state`, from the first on, goes through `removeRow` (which removes
// that row from the model).
void RemoveRowsIn(const ListModel& model, JobState state, const std::function<void(int row)>& removeRow);

// What keeps a new job of (days, channels, begin, end) from being added, in words that say what
// to mend; empty when it can be added.
QString AddProblem(int dayMask, quint32 channelMask, int begin, int end);
// "Wait", "Stop", "Downloading", "Complete", "Failed", "Timeout".
QString StateText(int state);
// Puts a job into `state` and shows it in the row's status column: `text`, or the state's own
// text when `text` is empty.
void SetState(ListModel& model, int row, int statusColumn, BackupItem& item, int state, const QString& text);
// The status of a row whose recording stopped at a write that failed: "Disk full" or
// "Write failed".
QString FailureStatus(bool diskFull);

} // namespace JobRules
