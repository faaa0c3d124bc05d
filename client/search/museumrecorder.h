#pragma once
// What the museum search dialog asks of the recorder it searches: the names it shows, playback
// from a time on the museum scheduler, the drawn area that scheduler tests frames against,
// leaving the search, the channel, date and time handed to the next search, and local recording
// of what is played. The recorder's session provides it; a test may stand in for it.
#include <QString>

class MuseumRecorder
{
public:
    virtual ~MuseumRecorder() = default;

    virtual QString RecorderName() const = 0;
    virtual QString CameraName(int channel) const = 0;
    // A time HHMMSS to play from, or -2 / -4 to open the thumbnail or quick search with what
    // SetSearchRequest stored.
    virtual void RequestPlayback(int time) = 0;
    // Cells x1 .. x2-1, y1 .. y2-1 of the grid family; a family of -1 clears the area.
    virtual void SetArea(int gridFamily, int x1, int y1, int x2, int y2) = 0;
    virtual void LeaveSearch() = 0;
    virtual void SetSearchRequest(int channel, int date, int time) = 0;
    virtual void StartSearchRecord(int channel, int date, int time) = 0;
};
