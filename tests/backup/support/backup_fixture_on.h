#pragma once
// A hub of the test's choice in a fresh program directory (its shared message box calls are
// kept, not shown), the backup windows' factory the sessions make their windows with, recorders
// of the simulator, and H.264 footage for the simulator made by ffmpeg.
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "backup/backupwindowfactory.h"
#include "harness/dvrsimprocess.h"
#include "support/named_recorders.h"
#include "support/programdirectory.h"

class RecorderSession;
class SiteBook;

class BackupFixtureBase : public ::testing::Test
{
protected:
    BackupFixtureBase();
    ~BackupFixtureBase() override;

    // The simulator with H.264 footage (160 x 120, 10 frames a second) and the options given.
    DvrSimProcess* StartSim(const QStringList& options);
    // A site book recorder named `name` pointing at the simulator.
    RecorderSession* AddSimRecorder(const QString& name, int port);
    // The site book record of a recorder added here.
    static const SiteBook* RecordOf(RecorderSession* device);
    // Connects the recorder and waits for its login on both connections.
    bool Connect(RecorderSession* device, DvrSimProcess* sim);
    static bool WaitFor(const std::function<bool()>& condition, int limitMs = 20000);
    QString ProgramPath(const QString& relative) const;

    bool EnterProgramDirectory();
    // Makes the sessions' backup windows from now on, as the program does.
    void InstallWindowFactory();
    void DropRecorders();
    void StopSimsAndLeave();

    ProgramDirectory programDir;
    std::vector<std::unique_ptr<DvrSimProcess>> sims;

private:
    BackupWindowFactory m_windows;
    BackupHostFactory* m_previousWindows = nullptr;
    NamedRecorders m_recorders;
};

template <class Hub>
class BackupFixtureOn : public BackupFixtureBase
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnterProgramDirectory());
        hub = std::make_unique<Hub>();
        InstallWindowFactory();
    }
    void TearDown() override
    {
        DropRecorders();
        hub.reset();
        StopSimsAndLeave();
    }

    std::unique_ptr<Hub> hub;
};

// ffprobe's description of the first stream of a file ("codec_name=h264", "width=160", ...).
QStringList ProbeStream(const QString& path);
