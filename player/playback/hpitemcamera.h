#pragma once
// A camera of a recorder in the site tree: its index, its last event text and its state.
#include "playback/hpitemcommon.h"

class HPItemCamera : public HPItemCommon
{
public:
    explicit HPItemCamera(int cameraIndex, QString name = QStringLiteral("Camera"));

    int CameraIndex() const { return m_camera; }
    bool Matches(int key) const override { return key == m_camera; }
    QString Serialise() const { return QStringLiteral("CAMERAINDEX\t%1").arg(m_camera); }

    void ResetEvent();
    void SetEvent(const QString& text);
    const QString& EventText() const { return m_event; }
    bool HasEvent() const { return m_eventFlag; }

    bool connected = false;
    bool streaming = false;
    bool enabled = true;
    bool hiddenByRecorder = false;
    // 4 when connected, enabled and not hidden by its recorder, else 5.
    int Image() const override { return connected && enabled && !hiddenByRecorder ? 4 : 5; }

private:
    int m_camera;
    QString m_event{QStringLiteral("NONE")};
    bool m_eventFlag = false;
};
