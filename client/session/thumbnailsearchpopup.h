#pragma once
// What a recorder session asks of the program's one thumbnail (drill-down) search pop-up: it is
// handed a search, given every fetched picture and told when the recorder is lost. The pop-up
// lives in a higher layer; the main window makes it and installs it here.
#include <QImage>
#include <QString>

class ThumbnailSearchPopup
{
public:
    virtual ~ThumbnailSearchPopup() = default;

    // On the user-interface thread: a new search of a channel on a day (date YYYYMMDD, time
    // HHMMSS to return to). The pop-up shows itself.
    virtual void SetSearchInfo(int deviceIndex, int channel, int date, int time) = 0;
    // On the session's search thread: one fetched picture (a null image for a notice without
    // picture) of `channel` (+ 16 for playback) at "hh:mm:ss". Returns the next step: a time
    // HHMMSS to fetch, -1 when the level is complete or the pop-up is idle, -999 when nothing is
    // to be done, or -15, -115, -25, -125 to keep playing in mode 16, 32, 256, 512.
    virtual int SetCameoImage(int deviceIndex, int channel, const QString& timeText, const QImage& picture) = 0;

    // On the user-interface thread: the recorder's connection dropped while it searched; the
    // pop-up forgets the recorder and closes.
    virtual void OnRecorderLost() = 0;

    // Read by the session: the play mode (2 stop, 16, 32, 256, 512), the searched channel,
    // whether played frames are recorded, and the fast-mode speed code (2 to 8).
    virtual int GetPlayState() const = 0;
    virtual int GetChannel() const = 0;
    virtual bool GetRecordFlag() const = 0;
    virtual int GetSpeedCode() const = 0;

    static ThumbnailSearchPopup* Instance();
    static void Install(ThumbnailSearchPopup* popup);
};
