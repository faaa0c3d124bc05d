#pragma once
// A ConsoleHost that records every call the console window makes, serves a layout text and
// channel pictures set by the test, and a program directory of its own.
#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <QTemporaryDir>

#include "console/consolehost.h"

class FakeConsoleHost : public ConsoleHost
{
public:
    FakeConsoleHost();

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

    // Writes config.ini of the program directory with csReboot = value (none when empty).
    void WriteSettings(const QString& reboot) const;

    int recorder = 4;         // the one recorder that exists
    QByteArray layout;        // the session's console buffer
    QImage channelPicture;    // the last picture of every channel
    QStringList calls;        // "mouse x y button extra", "data 0", "mode 1", "connect 2", ...
    QStringList boxes;        // "title|text|option" of the shared box
    QStringList modal;        // "title|text" of fixed boxes
    QStringList skinRequests; // "name folder recorder"
    int closed = 0;

private:
    QTemporaryDir m_dir;
};
