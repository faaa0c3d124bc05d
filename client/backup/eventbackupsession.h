#pragma once
// What the event backup jobs need of their recorder's session: camera titles, and live video of
// a channel switched on (wanted, started in backup mode) or off, and the user told when a
// recording could not be written. The page's session adapter
// implements it over RecorderSession; tests implement it with a recorder of the calls.
#include <QString>

class EventBackupSession
{
public:
    virtual ~EventBackupSession() = default;
    virtual QString CameraTitle(int channel) const = 0;
    virtual QString RecorderName() const = 0;
    // Tells the user that the event backup stopped (a file that could not be written).
    virtual void ShowEventFailure(const QString& text) = 0;
    virtual void StartLive(int channel) = 0;
    virtual void StopLive(int channel) = 0;
    // Forgets which channels' event recordings are running.
    virtual void ClearEventRecordMarks() = 0;
};
