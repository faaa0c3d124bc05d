#pragma once
// What the schedule backup jobs need of their recorder's session: camera titles and the backup
// playback requests on its live connection. The page's session adapter implements it over
// RecorderSession; tests implement it with a recorder of the calls.
#include <QString>
#include <QtGlobal>

class ScheduleBackupSession
{
public:
    virtual ~ScheduleBackupSession() = default;
    virtual QString CameraTitle(int channel) const = 0;
    virtual QString RecorderName() const = 0;
    // Tells the user that a download stopped (a file that could not be written).
    virtual void ShowFailure(const QString& text) = 0;
    // Plays `date` from `begin` (HHMMSS) for the channels of the mask; every frame carries
    // `requestNumber` and is assembled in `buffer`.
    virtual void SendBackupPlaybackCtrl(int requestNumber, quint16 channelMask, int date, int begin,
                                        char* buffer) = 0;
    virtual void SendBackupPlaybackStop(char* buffer) = 0;
};
