#include "shell/recordertable.h"

#include <QDebug>

#include "session/moduledevice.h"
#include "shell/shelllog.h"

bool RecorderTable::AddDevice(int index, CModuleDevice* device)
{
    if (!IsIndex(index) || !device) {
        qCWarning(lcShell) << "RecorderTable::AddDevice: bad recorder index" << index << "or no session";
        return false;
    }
    return m_slots.Add(index, device);
}

bool RecorderTable::RemoveDevice(int index)
{
    if (!IsIndex(index)) {
        qCWarning(lcShell) << "RecorderTable::RemoveDevice: bad recorder index" << index;
        return false;
    }
    return m_slots.Remove(index);
}

int RecorderTable::FindDeviceByName(const QString& name) const
{
    if (name.isEmpty())
        return -1;
    return m_slots.FindIndex([&name](const CModuleDevice& device) { return device.GetDvrName() == name; });
}

bool RecorderTable::IsAnyDeviceConnected() const
{
    return m_slots.FindIndex([](const CModuleDevice& device) { return device.IsLoggedIn(); }) >= 0;
}

void RecorderTable::StopAllAudio() const
{
    m_slots.ForEach([](CModuleDevice& device) {
        device.StopLiveAudio();
        device.StopPlaybackAudio();
    });
}
