#pragma once
// The event and schedule backup pages' way to their recorder: the session object found in the
// hub's recorder table by the page's device index at every call (null while none is there).
#include "backup/eventbackupsession.h"
#include "backup/schedulebackupsession.h"

class RecorderSession;

class DeviceBackupSession : public EventBackupSession, public ScheduleBackupSession
{
public:
    void SetDeviceIndex(int deviceIndex) { m_deviceIndex = deviceIndex; }
    int GetDeviceIndex() const { return m_deviceIndex; }

    QString CameraTitle(int channel) const override;
    void StartLive(int channel) override;
    void StopLive(int channel) override;
    void ClearEventRecordMarks() override;
    QString RecorderName() const override;
    void ShowFailure(const QString& text) override;
    void ShowEventFailure(const QString& text) override;
    void SendBackupPlaybackCtrl(int requestNumber, quint16 channelMask, int date, int begin,
                                char* buffer) override;
    void SendBackupPlaybackStop(char* buffer) override;

private:
    RecorderSession* Device() const;

    int m_deviceIndex = -1;
};
