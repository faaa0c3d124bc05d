#include "backup/devicebackupsession.h"

#include "net/hubservices.h"
#include "session/recordersession.h"
#include "session/sessionhub.h"

RecorderSession* DeviceBackupSession::Device() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetDevice(m_deviceIndex) : nullptr;
}

QString DeviceBackupSession::CameraTitle(int channel) const
{
    RecorderSession* device = Device();
    return device ? device->GetCameraTitle(channel) : QString();
}

QString DeviceBackupSession::RecorderName() const
{
    RecorderSession* device = Device();
    return device ? device->GetDvrName() : QString();
}

void DeviceBackupSession::ShowFailure(const QString& text)
{
    if (HubServices* hub = HubServices::Instance())
        hub->ShowMessageBox(QStringLiteral("Schedule Backup"), text, QStringLiteral("stop"));
}

void DeviceBackupSession::ShowEventFailure(const QString& text)
{
    if (HubServices* hub = HubServices::Instance())
        hub->ShowMessageBox(QStringLiteral("Event Backup"), text, QStringLiteral("stop"));
}

void DeviceBackupSession::StartLive(int channel)
{
    if (RecorderSession* device = Device()) {
        device->SetLiveWanted(channel, true);
        device->OnLiveStart(2);
    }
}

void DeviceBackupSession::StopLive(int channel)
{
    if (RecorderSession* device = Device())
        device->OnLiveStop(channel);
}

void DeviceBackupSession::ClearEventRecordMarks()
{
    if (RecorderSession* device = Device()) {
        for (int ch = 0; ch < RecorderSession::kChannels; ++ch)
            device->SetEventRecordMark(ch, false);
    }
}

void DeviceBackupSession::SendBackupPlaybackCtrl(int requestNumber, quint16 channelMask, int date, int begin,
                                                 char* buffer)
{
    if (RecorderSession* device = Device())
        device->SendBackupPlaybackCtrl(requestNumber, channelMask, date, begin, buffer);
}

void DeviceBackupSession::SendBackupPlaybackStop(char* buffer)
{
    if (RecorderSession* device = Device())
        device->SendBackupPlaybackStop(buffer);
}
