#include "shell/gridtable.h"

#include <QDebug>
#include <QReadLocker>
#include <QWriteLocker>

#include "shell/ccameo.h"
#include "session/recordertable.h"
#include "shell/shelllog.h"

CCameo* GridTable::GetCameo(int index) const
{
    QReadLocker lock(&m_lock);
    return m_slots.Get(index);
}

bool GridTable::AddCameo(int index, CCameo* cameo)
{
    if (!IsIndex(index) || !cameo) {
        qCWarning(lcShell) << "GridTable::AddCameo: bad grid index" << index << "or no grid";
        return false;
    }
    QWriteLocker lock(&m_lock);
    return m_slots.Add(index, cameo);
}

bool GridTable::RemoveCameo(int index)
{
    if (!IsIndex(index)) {
        qCWarning(lcShell) << "GridTable::RemoveCameo: bad grid index" << index;
        return false;
    }
    // Waits for every hand-off in progress: afterwards no decode thread can reach the grid.
    QWriteLocker lock(&m_lock);
    return m_slots.Remove(index);
}

int GridTable::GetFreeCameoIndex() const
{
    QReadLocker lock(&m_lock);
    return m_slots.FreeIndex();
}

void GridTable::CountCameoFrame(int deviceIndex, int channel, int cameoIndex, int cellIndex, bool keep, bool crop)
{
    if (cellIndex < 0 || !IsIndex(cameoIndex))
        return;
    // Held across the hand-off, so the grid cannot be destroyed while a decode thread is in it.
    QReadLocker lock(&m_lock);
    if (CCameo* cameo = m_slots.Get(cameoIndex))
        cameo->OnChannelFrame(deviceIndex, channel, cellIndex, keep, crop);
}

void GridTable::ClearDeviceCells(int deviceIndex, int channel)
{
    if (!RecorderTable::IsIndex(deviceIndex) || channel < -1 || channel >= kChannels)
        return;
    QReadLocker lock(&m_lock);
    m_slots.ForEach([deviceIndex, channel](CCameo& cameo) {
        if (channel >= 0) {
            cameo.ClearDeviceChannel(deviceIndex, channel);
            return;
        }
        for (int ch = 0; ch < kChannels; ++ch)
            cameo.ClearDeviceChannel(deviceIndex, ch);
    });
}

void GridTable::DisconnectRecorder(int deviceIndex, bool playbackGridsOnly)
{
    if (!RecorderTable::IsIndex(deviceIndex))
        return;
    QReadLocker lock(&m_lock);
    m_slots.ForEach([deviceIndex, playbackGridsOnly](CCameo& cameo) {
        if (!playbackGridsOnly || cameo.GetKind() == CameoKind::Playback)
            cameo.SetDisconnectCameo(deviceIndex);
    });
}
