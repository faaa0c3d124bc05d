#pragma once
// The main window's side of the configuration console: makes the one console window, keeps and
// forgets it, and serves it as its ConsoleHost (the recorder sessions, the shared message boxes,
// the skin bitmaps and the audio output of the main window).
#include "console/configview.h"
#include "console/consolehost.h"

#include <QPointer>

class MainWindow;
class RecorderSession;

class ConfigViewAdapter : public ConsoleHost
{
public:
    explicit ConfigViewAdapter(MainWindow* hub);
    ~ConfigViewAdapter() override;

    // Creates the window when none is open and shows it; an open one is left as it is.
    void exeConfigView();
    ConfigView* GetConfigView() const { return m_view; }
    RemoteConsole* Console() const;
    int RecorderIndex() const;

    // ConsoleHost
    bool RecorderExists(int recorder) const override;
    void StartConnect(int recorder, int option) override;
    void SendMousePos(int recorder, int x, int y, int button, int extra) override;
    void RequestConsoleData(int recorder, int value) override;
    void SendConsoleMode(int recorder, int mode) override;
    QImage GetChannelImage(int recorder, int channel) const override;
    QByteArray ConsoleLayoutText(int recorder, int size) const override;
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override;
    void ShowModalMessage(const QString& title, const QString& text) override;
    QPixmap LoadDeviceImage(const QString& name, int folder, int recorder) const override;
    void StartAudioOutput() override;
    void StopAudioOutput() override;
    QString ProgramDirectory() const override;
    void CloseConfigView(int slot) override;

private:
    // The recorder at an index of the recorder hub, or null.
    RecorderSession* Device(int recorder) const;

    MainWindow* m_hub;
    QPointer<ConfigView> m_view;
};
