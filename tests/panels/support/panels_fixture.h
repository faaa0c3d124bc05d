#pragma once
// Panel tests against a logged-in recorder: a fake hub (recorder table, the real health window
// and network status dialog of this library), a recorder session logged in to a simulator of its
// own, and the messages the simulator received read back as bytes.
#include <QByteArray>
#include <QList>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "harness/dvrsimprocess.h"
#include "panels/support/panels_messages.h"
#include "session/support/session_fixture_on.h"
#include "support/boxwatcher.h"
#include "support/fakepanelshub.h"
#include "support/fakesessionhub.h"

class healthCheck;

// The session hub of the panel tests: the health windows it makes are this library's own, and a
// session's network status opens modally, as the main window does both.
class PanelsTestHub : public FakeSessionHub
{
public:
    PanelsTestHub();
    ~PanelsTestHub() override;
    HealthCheckView* CreateHealthCheck() override;
    void ShowNetworkStatus(int deviceIndex) override;

private:
    std::vector<std::unique_ptr<healthCheck>> m_windows;
};

class PanelsOnlineTest : public SessionTestOn<PanelsTestHub>
{
protected:
    // A recorder session logged in to a simulator of four channels started with the options;
    // null (with a test failure) when it did not log in.
    CModuleDevice* LoggedInRecorder(const QString& name, const QStringList& options = {});
    // The simulator of a recorder made by LoggedInRecorder, in the same order.
    const DvrSimProcess* Simulator(int made) const;
    // A recorder whose entry record points at a port on which nothing listens.
    CModuleDevice* AddRecorder(const QString& name);

    FakePanelsHub panelsHub;

private:
    std::vector<const DvrSimProcess*> m_sims;
};
