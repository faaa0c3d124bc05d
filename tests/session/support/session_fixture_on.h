#pragma once
// Session tests: the recorder simulator as a child process and a fixture that builds sessions in
// a temporary program directory around a hub of the test's choice, which records what the
// sessions ask of it (the session suite's fake, or the real main window in the shell suite).
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "harness/dvrsimprocess.h"
#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "support/boxcall.h"
#include "support/named_recorders.h"
#include "support/programdirectory.h"

// dvrsim started with the test's options; ready once it prints "LISTENING <port>"; stopped by
// its own process id.
class SessionDvrSim : public DvrSimProcess
{
public:
    explicit SessionDvrSim(const QStringList& options)
        : DvrSimProcess(options)
    {}
};

// What the fixture does whatever the hub: the program directory, simulators and sessions.
class SessionFixtureBase : public ::testing::Test
{
protected:
    // Starts a simulator; fails the test when it does not come up.
    SessionDvrSim* StartSim(const QStringList& options);
    // A recorder session whose entry record points at the port.
    CModuleDevice* AddRecorder(const QString& name, int port, int useSsl = 0);
    void DeleteRecorder(CModuleDevice* device);
    SiteBook* RecordOf(CModuleDevice* device);

    // Runs the event loop until the condition holds (false after the safety limit).
    static bool WaitFor(const std::function<bool()>& condition, int limitMs = 15000);
    // Connects with the purpose and waits for the login.
    bool ConnectAndLogin(CModuleDevice* device, int purpose = 0);

    // A port on which nothing listens.
    static int ClosedPort();

    QString ProgramDir() const { return m_programDir.Path(); }

    // The hub takes the working directory at start as its program directory.
    bool EnterProgramDirectory();
    void DropSessions();
    void StopSimsAndLeave();

private:
    ProgramDirectory m_programDir;
    std::vector<std::unique_ptr<SessionDvrSim>> m_sims;
    NamedRecorders m_recorders;
};

template <class Hub>
class SessionTestOn : public SessionFixtureBase
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnterProgramDirectory());
        hub = std::make_unique<Hub>();
        // The machine is busy with the other tests; above 70 % a hub decodes only the key frames
        // of live video, and tests that count frames would then depend on what else runs. The
        // rule has tests of its own (which give the hub their own readings): here the processor
        // reads idle.
        hub->ReadIdleProcessor();
        // Only what the sessions ask of the box counts, not what the hub reported while starting.
        hub->boxCalls.clear();
    }

    void TearDown() override
    {
        DropSessions();
        hub.reset();
        StopSimsAndLeave();
    }

    std::unique_ptr<Hub> hub;
};

// The hex text of bytes, lower case, as the simulator logs them.
QString Hex(const QByteArray& bytes);
// Bytes from a hex text with optional blanks.
QByteArray FromHex(const char* text);
