#pragma once
// The museum search dialog's view of a recorder session of the hub.
#include "search/museumrecorder.h"

class RecorderSession;

class SessionMuseumRecorder : public MuseumRecorder
{
public:
    void Bind(RecorderSession* device) { m_device = device; }

    QString RecorderName() const override;
    QString CameraName(int channel) const override;
    void RequestPlayback(int time) override;
    void SetArea(int gridFamily, int x1, int y1, int x2, int y2) override;
    void LeaveSearch() override;
    void SetSearchRequest(int channel, int date, int time) override;
    void StartSearchRecord(int channel, int date, int time) override;

private:
    RecorderSession* m_device = nullptr;
};
