#pragma once
// What the configuration console reaches of the rest of the client: the session object of the
// recorder it shows (looked up by the recorder's index on every call, so a recorder removed in
// the meantime simply receives nothing), the shared message boxes, the skin bitmaps, the audio
// output and the program directory. The shell implements it with an adapter over the main
// window; tests use a fake.
#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QString>

class ConsoleHost
{
public:
    virtual ~ConsoleHost() = default;

    // The recorder's session object.
    virtual bool RecorderExists(int recorder) const = 0;
    virtual void StartConnect(int recorder, int option) = 0;
    virtual void SendMousePos(int recorder, int x, int y, int button, int extra) = 0;
    virtual void RequestConsoleData(int recorder, int value) = 0;
    virtual void SendConsoleMode(int recorder, int mode) = 0;
    virtual QImage GetChannelImage(int recorder, int channel) const = 0;
    // The layout text the session gathered (at most `size` bytes, up to its ending zero byte).
    virtual QByteArray ConsoleLayoutText(int recorder, int size) const = 0;

    // The main window's shared message box (title, text, option word).
    virtual void ShowMessageBox(const QString& title, const QString& text, const QString& option) = 0;
    // A fixed modal message box.
    virtual void ShowModalMessage(const QString& title, const QString& text) = 0;
    // A console skin bitmap of the recorder's model (folder 0 the skin's base, 1 its "bin").
    virtual QPixmap LoadDeviceImage(const QString& name, int folder, int recorder) const = 0;
    virtual void StartAudioOutput() = 0;
    virtual void StopAudioOutput() = 0;
    virtual QString ProgramDirectory() const = 0;
    // The window is closing: the main window forgets it.
    virtual void CloseConfigView(int slot) = 0;
};
