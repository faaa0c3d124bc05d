#pragma once
// What a recorder session asks of the program's one quick search pop-up: it is handed a search,
// told when the channel's day index is in, and given the pictures it shows. The pop-up lives in
// a higher layer; the main window makes it and installs it here.
#include <QImage>
#include <QString>

class QuickSearchPopup
{
public:
    virtual ~QuickSearchPopup() = default;

    // On the user-interface thread: a new quick search of a channel (date YYYYMMDD, time HHMMSS
    // to return to); the pop-up shows itself.
    virtual void SetSearchInfo(int deviceIndex, int channel, int date, int time) = 0;
    // On the user-interface thread: the searched channel's minute table and index are in.
    virtual void OnFinishInfo() = 0;
    // On any thread: one decoded picture (a copy) of `channel` (+ 16 for playback) at "hh:mm:ss".
    // The pop-up takes it over on its own thread.
    virtual void SetCameoImage(int deviceIndex, int channel, const QString& timeText, const QImage& picture) = 0;
    // The searched channel and whether its played frames are recorded.
    virtual int GetChannel() const = 0;
    virtual bool GetRecordFlag() const = 0;

    static QuickSearchPopup* Instance();
    static void Install(QuickSearchPopup* popup);
};
