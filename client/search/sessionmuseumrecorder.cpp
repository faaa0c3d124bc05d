#include "search/sessionmuseumrecorder.h"

#include "session/playbackmode.h"
#include "session/recordersession.h"

QString SessionMuseumRecorder::RecorderName() const
{
    return m_device ? m_device->GetDvrName() : QString();
}

QString SessionMuseumRecorder::CameraName(int channel) const
{
    return m_device ? m_device->GetCameraTitle(channel) : QString();
}

void SessionMuseumRecorder::RequestPlayback(int time)
{
    if (m_device)
        m_device->RequestPlayback(time, int(PlaybackMode::Forward));
}

void SessionMuseumRecorder::SetArea(int gridFamily, int x1, int y1, int x2, int y2)
{
    if (m_device)
        m_device->SetMuseumArea(gridFamily, x1, y1, x2, y2);
}

void SessionMuseumRecorder::LeaveSearch()
{
    if (m_device)
        m_device->LeaveMuseumSearch();
}

void SessionMuseumRecorder::SetSearchRequest(int channel, int date, int time)
{
    if (m_device)
        m_device->SetSearchRequest(channel, date, time);
}

void SessionMuseumRecorder::StartSearchRecord(int channel, int date, int time)
{
    if (m_device)
        m_device->StartSearchRecord(channel, date, time);
}
