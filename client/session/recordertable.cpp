#include "session/recordertable.h"

#include <QDebug>

#include "session/moduledevice.h"
#include "session/sessionlog.h"

RecorderSession* RecorderTable::GetDevice(int index) const
{
    return m_slots.Get(index);
}

bool RecorderTable::AddDevice(int index, CModuleDevice* device)
{
    if (!IsIndex(index) || !device) {
        qCWarning(lcSession) << "RecorderTable::AddDevice: bad recorder index" << index << "or no session";
        return false;
    }
    return m_slots.Add(index, device);
}

bool RecorderTable::RemoveDevice(int index)
{
    if (!IsIndex(index)) {
        qCWarning(lcSession) << "RecorderTable::RemoveDevice: bad recorder index" << index;
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
