#pragma once
// A main window hub in a fresh program directory (its shared message box calls are kept, not
// shown), a site book tree, recorders of the simulator in it, and H.264 footage for the
// simulator made by ffmpeg.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "harness/dvrsimprocess.h"
#include "shell/mainwindow.h"
#include "sitebook/sitebooktreewidget.h"

class CModuleDevice;
class SiteBookTreeWidget;

class BackupTestHub : public MainWindow
{
public:
    void ShowMessageBox(const QString& title, const QString& text, const QString& option) override
    {
        boxCalls << title + QLatin1Char('|') + text + QLatin1Char('|') + option;
    }
    QStringList boxCalls;
};

class BackupFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The simulator with H.264 footage (160 x 120, 10 frames a second) and the options given.
    DvrSimProcess* StartSim(const QStringList& options);
    // A site book recorder named `name` pointing at the simulator.
    CModuleDevice* AddSimRecorder(const QString& name, int port);
    // Connects the recorder and waits for its login on both connections.
    bool Connect(CModuleDevice* device, DvrSimProcess* sim);
    static bool WaitFor(const std::function<bool()>& condition, int limitMs = 20000);
    QString ProgramPath(const QString& relative) const;

    QTemporaryDir programDir;
    QString previousDir;
    std::unique_ptr<BackupTestHub> hub;
    std::unique_ptr<SiteBookTreeWidget> tree;
    std::vector<std::unique_ptr<DvrSimProcess>> sims;
};

// ffprobe's description of the first stream of a file ("codec_name=h264", "width=160", ...).
QStringList ProbeStream(const QString& path);
