#include "backup/devicebackupsession.h"

#include "session/moduledevice.h"
#include "session/sessionhub.h"

CModuleDevice* DeviceBackupSession::Device() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetDevice(m_deviceIndex) : nullptr;
}

QString DeviceBackupSession::CameraTitle(int channel) const
{
    CModuleDevice* device = Device();
    return device ? device->GetCameraTitle(channel) : QString();
}

void DeviceBackupSession::StartLive(int channel)
{
    if (CModuleDevice* device = Device()) {
        device->SetLiveWanted(channel, true);
        device->OnLiveStart(2);
    }
}

void DeviceBackupSession::StopLive(int channel)
{
    if (CModuleDevice* device = Device())
        device->OnLiveStop(channel);
}

void DeviceBackupSession::ClearEventRecordMarks()
{
    if (CModuleDevice* device = Device()) {
        for (int ch = 0; ch < CModuleDevice::kChannels; ++ch)
            device->SetEventRecordMark(ch, false);
    }
}

void DeviceBackupSession::SendBackupPlaybackCtrl(int requestNumber, quint16 channelMask, int date, int begin,
                                                 char* buffer)
{
    if (CModuleDevice* device = Device())
        device->SendBackupPlaybackCtrl(requestNumber, channelMask, date, begin, buffer);
}

void DeviceBackupSession::SendBackupPlaybackStop(char* buffer)
{
    if (CModuleDevice* device = Device())
        device->SendBackupPlaybackStop(buffer);
}
