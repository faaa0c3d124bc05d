// Grids with recorders behind the recorder simulator: a favorite opened recorder by recorder
// (one that cannot be reached still lets the next one come), the page rotation of a live grid
// passing over pages without an online recorder, and the live output of the selected cell.
#include <QAction>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/ccameo.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_dvrsim.h"
#include "shell/support/grid_fixture.h"

namespace {

class GridSimTest : public GridTest
{
protected:
    // A recorder whose entry points at a simulator of four channels; not connected.
    CModuleDevice* SimRecorder(const QString& name, const QStringList& options = {})
    {
        auto sim = std::make_unique<GridDvrSim>(QStringList{QStringLiteral("--channels"), QStringLiteral("4")}
                                                + options);
        const QString error = sim->Start();
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        if (!error.isEmpty())
            return nullptr;
        CModuleDevice* device = Entry(name, sim->Port());
        m_sims.push_back(std::move(sim));
        return device;
    }

    // A recorder whose entry points at a port where nothing listens.
    CModuleDevice* UnreachableRecorder(const QString& name)
    {
        QTcpServer server;
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        const int port = server.serverPort();
        server.close();
        return Entry(name, port);
    }

    CModuleDevice* LoggedIn(CModuleDevice* device)
    {
        if (!device)
            return nullptr;
        device->StartConnect(ConnectPurpose::Connect);
        EXPECT_TRUE(QTest::qWaitFor([device] { return device->IsLoggedIn(); }, 15000)) << "login";
        return device->IsLoggedIn() ? device : nullptr;
    }

private:
    CModuleDevice* Entry(const QString& name, int port)
    {
        CModuleDevice* device = AddRecorder(name);
        SiteBook* record = SiteBook::FromItem(device);
        record->kind = QStringLiteral("device");
        record->addr = QStringLiteral("127.0.0.1");
        record->port = QString::number(port);
        record->id = QStringLiteral("admin");
        record->password = QStringLiteral("1234");
        return device;
    }

    // Stopped after the recorders (the fixture's TearDown) have gone.
    std::vector<std::unique_ptr<GridDvrSim>> m_sims;
};

// Watches the recorders of a favorite while it opens: when each was asked to connect for it and
// when its login completed or its connect failed (the moment its session hands on to the grid's
// OnFavoriteNext). It runs on a timer, so it goes on inside the modal loop of the "Favorites"
// message box.
class FavoriteWatcher
{
public:
    explicit FavoriteWatcher(std::vector<CModuleDevice*> devices)
        : m_devices(std::move(devices))
    {
        m_asked.assign(m_devices.size(), -1);
        m_settled.assign(m_devices.size(), -1);
        m_loggedIn.assign(m_devices.size(), false);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
        m_timer.start(5);
    }

    struct Report
    {
        CModuleDevice* device;
        bool loggedIn;
        int askedTick;   // the watcher's tick at which it was seen asked to connect
        int settledTick; // the tick at which its login or failure was seen
    };
    // The recorders in the order they were asked to connect.
    std::vector<Report> Reports() const
    {
        std::vector<Report> reports;
        for (size_t i = 0; i < m_devices.size(); ++i)
            if (m_asked[i] >= 0)
                reports.push_back({m_devices[i], m_loggedIn[i], m_asked[i], m_settled[i]});
        std::stable_sort(reports.begin(), reports.end(),
                         [](const Report& x, const Report& y) { return x.askedTick < y.askedTick; });
        return reports;
    }

private:
    void Tick()
    {
        ++m_tick;
        for (size_t i = 0; i < m_devices.size(); ++i) {
            CModuleDevice* device = m_devices[i];
            if (m_asked[i] < 0 && device->GetConnectPurpose() == ConnectPurpose::Favorite)
                m_asked[i] = m_tick;
            if (m_asked[i] >= 0 && m_settled[i] < 0
                && (device->IsLoggedIn() || device->GetConnectResult() == ConnectResult::Failed)) {
                m_settled[i] = m_tick;
                m_loggedIn[i] = device->IsLoggedIn();
            }
        }
    }

    std::vector<CModuleDevice*> m_devices;
    std::vector<int> m_asked;
    std::vector<int> m_settled;
    std::vector<bool> m_loggedIn;
    int m_tick = 0;
    QTimer m_timer;
};

} // namespace

TEST_F(GridSimTest, FavoriteOpensRecorderByRecorderAndAFailedConnectStillAdvances)
{
    CModuleDevice* a = SimRecorder("Alpha");
    CModuleDevice* b = UnreachableRecorder("Bravo");
    CModuleDevice* c = SimRecorder("Charlie");
    ASSERT_TRUE(a && b && c);
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    FavoriteWatcher watcher({a, b, c});

    grid->OpenFavorite(904, QStringLiteral("Alpha;;Bravo;;;Charlie"), QStringLiteral("1;-1;0;-1;-1;2"));
    EXPECT_EQ(grid->GetSplit(), 9);
    EXPECT_EQ(grid->GetSelectedCell(), 4);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return grid->GetFavoriteCursor() == CCameo::kFavoritePositions && !hub->Messages().IsOpen(); },
        60000))
        << "cursor " << grid->GetFavoriteCursor();

    const auto reports = watcher.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].device, a);
    EXPECT_EQ(reports[1].device, b);
    EXPECT_EQ(reports[2].device, c);
    EXPECT_TRUE(reports[0].loggedIn);
    EXPECT_FALSE(reports[1].loggedIn) << "the unreachable recorder";
    EXPECT_TRUE(reports[2].loggedIn);
    for (size_t i = 1; i < reports.size(); ++i)
        EXPECT_GE(reports[i].askedTick, reports[i - 1].settledTick)
            << "recorder " << i << " asked before the one before it had logged in or failed";

    struct Placed
    {
        int cell;
        CModuleDevice* device;
        int channel;
    };
    for (const Placed& p : {Placed{0, a, 1}, Placed{2, b, 0}, Placed{5, c, 2}}) {
        const CameoCell cell = grid->GetCell(p.cell);
        EXPECT_EQ(cell.recorder, p.device->GetDeviceIndex()) << "cell " << p.cell;
        EXPECT_EQ(cell.channel, p.channel) << "cell " << p.cell;
    }
    for (int i : {1, 3, 4, 6, 8, 63})
        EXPECT_FALSE(grid->GetCell(i).IsBound()) << "cell " << i;
    EXPECT_EQ(hub->Sessions()->MessageTitle(), QStringLiteral("Favorites"));
    EXPECT_EQ(hub->Messages().MessageOption(), QStringLiteral("auto"));
    // No recorder after the last one placed: the page is laid out again from the selected cell,
    // whose page starts at cell 0.
    EXPECT_EQ(grid->GetSplit(), 9);
    EXPECT_EQ(grid->GetFirstCell(), 0);
    EXPECT_EQ(grid->GetSelectedCell(), 0);
    EXPECT_EQ(a->GetCameoRoute(1)->liveCell.load(), 0) << "the shown cell is routed";
    EXPECT_EQ(c->GetCameoRoute(2)->liveCell.load(), 5);
}

TEST_F(GridSimTest, LiveRotationPassesOverPagesWithoutAnOnlineRecorder)
{
    CModuleDevice* a = LoggedIn(SimRecorder("Alpha"));
    CModuleDevice* offline = AddRecorder("Offline");
    ASSERT_NE(a, nullptr);
    CCameo* grid = NewGrid(CameoKind::Live, 64, 4);
    grid->SetCameoChannel(0, a->GetDeviceIndex(), 0);
    grid->SetCameoChannel(1, a->GetDeviceIndex(), 12);
    grid->SetCameoChannel(0, offline->GetDeviceIndex(), 5);

    grid->OnSequenceAction15();
    grid->OnSeqenceActionTimer();
    EXPECT_EQ(grid->GetFirstCell(), 12) << "pages 4 and 8 have no online recorder";
    EXPECT_TRUE(grid->IsSequenceOn());
    EXPECT_EQ(grid->GetCell(12).liveStarted, 1);
    EXPECT_EQ(grid->GetCell(0).liveStarted, 0);
    EXPECT_TRUE(a->IsLiveWanted(1));
    EXPECT_FALSE(a->IsLiveWanted(0)) << "the channel that left the page is stopped";

    grid->OnSeqenceActionTimer();
    EXPECT_EQ(grid->GetFirstCell(), 0) << "round past the last page";
    EXPECT_TRUE(a->IsLiveWanted(0));
    EXPECT_FALSE(a->IsLiveWanted(1));
    EXPECT_TRUE(grid->IsSequenceOn());

    a->Disconnect();
    ASSERT_TRUE(QTest::qWaitFor([a] { return !a->IsLoggedIn(); }, 10000));
    grid->OnSeqenceActionTimer();
    EXPECT_FALSE(grid->IsSequenceOn()) << "no recorder online any more";
    EXPECT_FALSE(grid->IsSequenceTimerActive());
}

TEST_F(GridSimTest, LiveOutputSelectsTheSelectedCellsChannel)
{
    QTemporaryDir logDir;
    ASSERT_TRUE(logDir.isValid());
    const QString logPath = logDir.filePath(QStringLiteral("dvrsim.log"));
    CModuleDevice* a = LoggedIn(SimRecorder("Alpha", {QStringLiteral("--log"), logPath}));
    ASSERT_NE(a, nullptr);
    CCameo* grid = NewGrid(CameoKind::Live, 16, 4);
    grid->OnSplitMode(2, 1, false);
    grid->SetCameoChannel(3, a->GetDeviceIndex(), -1);
    grid->GetAction(CCameo::ActionId::LiveOutput)->trigger();

    // The simulator logs each received message: 0xBE with the channel at byte 12, then 0xBC.
    std::vector<QJsonObject> sent;
    const auto readLog = [&] {
        sent.clear();
        QFile file(logPath);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            const int cmd = o.value(QStringLiteral("cmd")).toInt(-1);
            if (cmd == 0xBE || cmd == 0xBC)
                sent.push_back(o);
        }
        return sent.size() >= 2;
    };
    ASSERT_TRUE(QTest::qWaitFor(readLog, 10000));
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].value(QStringLiteral("cmd")).toInt(), 0xBE);
    EXPECT_EQ(sent[0].value(QStringLiteral("hex")).toString().mid(24, 2), QStringLiteral("03"));
    EXPECT_EQ(sent[1].value(QStringLiteral("cmd")).toInt(), 0xBC);
}
