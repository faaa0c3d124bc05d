#include "playback/hpitemcamera.h"

HPItemCamera::HPItemCamera(int cameraIndex, QString name)
    : HPItemCommon(kCamera, std::move(name))
    , m_camera(cameraIndex)
{}

void HPItemCamera::ResetEvent()
{
    m_event = QStringLiteral("NONE");
    m_eventFlag = false;
}

void HPItemCamera::SetEvent(const QString& text)
{
    m_event = text.left(4);
    m_eventFlag = true;
}
