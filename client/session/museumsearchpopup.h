#pragma once
// What a recorder session asks of the program's one museum (area) search pop-up: it is handed a
// search, told the day's latest recorded time, given every searched picture with whether the
// museum scheduler found change inside the drawn area, and told when the recorder is lost. The
// pop-up lives in a higher layer; the main window makes it and installs it here.
#include <QImage>
#include <QString>
#include <QtGlobal>

class MuseumSearchPopup
{
public:
    virtual ~MuseumSearchPopup() = default;

    // On the user-interface thread: a new search of a channel (date YYYYMMDD, time HHMMSS to
    // return to) with the three grid arguments: resolution class (0, 1, 2), grid family (-1
    // while the live connection is down) and video-format bit. The pop-up shows itself.
    virtual void SetSearchInfo(int deviceIndex, int channel, int date, int time, int resolutionClass,
                               int gridFamily, int videoFormatBit) = 0;
    // On the user-interface thread: the latest recorded time (HHMMSS) of the searched day.
    virtual void SetLatestTime(int hhmmss) = 0;

    // On the session's search thread: a byte of the channel kept before every picture.
    virtual void SetStreamFlag(quint8 flag) = 0;
    virtual quint8 GetStreamFlag() const = 0;
    // On the session's search thread: one searched picture (a null image for a notice without
    // picture) of `channel` (+ 16 for playback) at "hh:mm:ss"; `match` = the museum scheduler
    // found change inside the area in this frame. Returns the next step: a time HHMMSS to fetch,
    // -15, -115, -25, -125 to keep playing in mode 16, 32, 256, 512, or another negative value
    // for no further step.
    virtual int SetCameoImage(int deviceIndex, int channel, const QString& timeText, const QImage& picture,
                              bool match) = 0;

    // On the user-interface thread: the recorder's connection dropped while it searched; the
    // pop-up forgets the recorder and closes.
    virtual void OnRecorderLost() = 0;

    // Read by the session: the play mode (2 stop, 16, 32, 256, 512), the searched channel,
    // whether played frames are recorded, and the fast-mode speed code (2 to 8).
    virtual int GetPlayState() const = 0;
    virtual int GetChannel() const = 0;
    virtual bool GetRecordFlag() const = 0;
    virtual int GetSpeedCode() const = 0;

    static MuseumSearchPopup* Instance();
    static void Install(MuseumSearchPopup* popup);
};
