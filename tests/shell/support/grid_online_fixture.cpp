#include "shell/support/grid_online_fixture.h"

#include <QTest>

#include "session/moduledevice.h"
#include "session/sitebook.h"

CModuleDevice* GridOnlineTest::LoggedInRecorder(const QString& name, const QStringList& options)
{
    auto sim = std::make_unique<GridDvrSim>(QStringList{QStringLiteral("--channels"), QStringLiteral("4")}
                                            + options);
    const QString error = sim->Start();
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    if (!error.isEmpty())
        return nullptr;
    CModuleDevice* device = AddRecorder(name);
    SiteBook* record = SiteBook::FromItem(device);
    record->kind = QStringLiteral("device");
    record->addr = QStringLiteral("127.0.0.1");
    record->port = QString::number(sim->Port());
    record->id = QStringLiteral("admin");
    record->password = QStringLiteral("1234");
    m_sims.push_back(std::move(sim));
    device->StartConnect(ConnectPurpose::Connect);
    EXPECT_TRUE(QTest::qWaitFor([device] { return device->IsLoggedIn(); }, 15000)) << "login";
    return device->IsLoggedIn() ? device : nullptr;
}

GridDvrSim* GridOnlineTest::Simulator(int made) const
{
    return made >= 0 && made < int(m_sims.size()) ? m_sims[size_t(made)].get() : nullptr;
}

CCameo* GridOnlineTest::ShownGrid(CameoKind kind, int cells, int split, QSize size)
{
    return Show(NewGrid(kind, cells, split), size);
}

CCameo* GridOnlineTest::ShownFreshGrid(int split, QSize size)
{
    CCameo* grid = NewFreshGrid();
    grid->OnSplitMode(0, split, false);
    return Show(grid, size);
}

CCameo* GridOnlineTest::Show(CCameo* grid, QSize size)
{
    grid->resize(size);
    grid->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(grid));
    return grid;
}

int GridOnlineTest::Counted(CCameo* grid, int cell)
{
    grid->OnFPSTimer();
    return grid->GetCellFps(cell);
}
