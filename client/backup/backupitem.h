#pragma once
// One backup job of the event and schedule backup pages, hung on every cell of its table row.
// Seven 32-bit words; the pages fill the ones they use.
#include <QMetaType>
#include <QtGlobal>

// Row states of the backup job lists.
enum class JobState : qint32 {
    Wait = 0,
    Stop = 1,
    Downloading = 2,
    Complete = 3,
    // Ended by a write that failed (a full disk): never shown as complete.
    Failed = 4,
    Timeout = 9,
};

struct BackupItem
{
    qint32 weekDays = 0;      // bit 0 Sunday ... bit 6 Saturday
    qint32 startDate = 0;     // YYYYMMDD of the first recorded frame; 0 until then
    qint32 channel = 0;       // camera channel 0..15
    qint32 begin = 0;         // window start, HHMMSS
    qint32 end = 0;           // window end, HHMMSS
    qint32 downloadStart = 0; // schedule download time, HHMMSS
    JobState state = JobState::Wait;
};
static_assert(sizeof(BackupItem) == 28, "a backup job is seven 32-bit words");

Q_DECLARE_METATYPE(BackupItem*)
