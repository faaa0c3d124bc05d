#include "panels/support/panels_fixture.h"

#include <QTest>

#include "panels/cmodulenetworkstatus.h"
#include "panels/healthcheck.h"
#include "session/moduledevice.h"

PanelsTestHub::PanelsTestHub() = default;
PanelsTestHub::~PanelsTestHub() = default;

HealthCheckView* PanelsTestHub::CreateHealthCheck()
{
    auto window = std::make_unique<healthCheck>();
    window->setWindowFlags(Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    window->hide();
    m_windows.push_back(std::move(window));
    return m_windows.back().get();
}

void PanelsTestHub::ShowNetworkStatus(int deviceIndex)
{
    if (!GetDevice(deviceIndex))
        return;
    CModuleNetworkStatus status;
    status.SetDevice(deviceIndex);
    status.exec();
}

CModuleDevice* PanelsOnlineTest::LoggedInRecorder(const QString& name, const QStringList& options)
{
    SessionDvrSim* sim = StartSim(QStringList{QStringLiteral("--channels"), QStringLiteral("4")} + options);
    if (!sim)
        return nullptr;
    m_sims.push_back(sim);
    CModuleDevice* device = SessionFixtureBase::AddRecorder(name, sim->Port());
    device->StartConnect(ConnectPurpose::Connect);
    EXPECT_TRUE(QTest::qWaitFor([device] { return device->IsLoggedIn(); }, 15000)) << "login";
    return device->IsLoggedIn() ? device : nullptr;
}

const DvrSimProcess* PanelsOnlineTest::Simulator(int made) const
{
    return made >= 0 && made < int(m_sims.size()) ? m_sims[size_t(made)] : nullptr;
}

CModuleDevice* PanelsOnlineTest::AddRecorder(const QString& name)
{
    return SessionFixtureBase::AddRecorder(name, ClosedPort());
}
