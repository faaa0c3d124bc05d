#pragma once
// What a recorder session asks of the remote playback window that plays it (its playback view).
// The window lives in a higher layer; it implements this and registers itself with
// CModuleDevice::SetPlaybackView. Every call comes on the user-interface thread.
#include <QString>

class PlaybackView
{
public:
    virtual ~PlaybackView() = default;

    // The recorder's playback information has arrived; `dateChosen` is true when the session
    // already holds a play date or time to load.
    virtual void SetPlaybackInfo(int deviceIndex, bool dateChosen) = 0;
    // All minute lists of the requested day have arrived while the record calendar was open.
    virtual void NotifyTimeList() = 0;
    // True while the record calendar waits for the day's minute lists.
    virtual bool IsCalendarOpen() const = 0;
    // The first played frame: the view is marked started once and titled after the recorder.
    virtual bool IsPlaybackStarted() const = 0;
    virtual void MarkPlaybackStarted(const QString& recorderName) = 0;
};
