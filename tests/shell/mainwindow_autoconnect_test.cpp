// The hub's auto-connect of the favorite marked "autoConnectOn", against the recorder simulator,
// and the side-panel forwarders that reach the active grid.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStatusBar>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

#include "common/media/moduledecoder.h"
#include "session/moduledevice.h"
#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/clientsessionhub.h"
#include "shell/liveview.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_dvrsim.h"
#include "shell/support/mainwin_fixture.h"
#include "shell/support/shell_hubfixture.h"
#include "widgets/messagedlg.h"

namespace {

class AutoConnectTest : public MainWinTest
{
protected:
    // A simulator of four channels that logs what it receives; its port, or 0.
    int StartSim(const QString& logName, const QStringList& options = {})
    {
        auto sim = std::make_unique<GridDvrSim>(QStringList{QStringLiteral("--channels"), QStringLiteral("4"),
                                                            QStringLiteral("--log"), LogPath(logName)}
                                                + options);
        const QString error = sim->Start();
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        if (!error.isEmpty())
            return 0;
        const int port = sim->Port();
        m_sims.push_back(std::move(sim));
        return port;
    }

    // A port on which nothing listens.
    static int DeadPort()
    {
        QTcpServer server;
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        return server.serverPort();
    }

    QString LogPath(const QString& name) const { return m_logs.filePath(name); }

    // The users of the logins that the simulator accepted.
    QStringList Logins(const QString& logName) const
    {
        QStringList users;
        QFile file(LogPath(logName));
        if (!file.open(QIODevice::ReadOnly))
            return users;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o.value(QStringLiteral("event")).toString() == QLatin1String("login")
                && o.value(QStringLiteral("ok")).toBool())
                users << o.value(QStringLiteral("user")).toString();
        }
        return users;
    }

    static QByteArray Device(const char* name, int port)
    {
        return QByteArray(" <device name=\"") + name + "\" addr=\"127.0.0.1\" port=\"" + QByteArray::number(port)
               + "\" id=\"admin\" password=\"1234\"/>\n";
    }

    static QByteArray Favorite(const char* name, const char* mode, const char* devices, const char* channels,
                               const char* kind = "favorites_item")
    {
        return QByteArray(" <") + kind + " name=\"" + name + "\" cameomode=\"400\" favoritesdevice=\"" + devices
               + "\" favoriteschannel=\"" + channels + "\" favoritesmode=\"" + mode + "\"/>\n";
    }

    void WriteBooks(const QByteArray& devices, const QByteArray& favorites)
    {
        const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n";
        WriteFile("sitebook.xml", head + devices + "</zent>\n");
        WriteFile("favorites.xml", head + favorites + "</zent>\n");
    }

    int LiveViewCount() const
    {
        int count = 0;
        for (int i = 0; i < MainWindow::kLiveViews; ++i)
            count += hub->LiveViewSlots()->Window(i) ? 1 : 0;
        return count;
    }

    CModuleDevice* Recorder(const char* name) const
    {
        return static_cast<CModuleDevice*>(
            hub->Sessions()->GetDevice(hub->Sessions()->FindDeviceByName(QString::fromLatin1(name))));
    }

    // One tick of the auto-connect. Returns 1 when it opened the favorite: a new live window, or
    // the grid laid out anew (a cell bound as a mark before the tick is cleared by the opening).
    // An automatic opening shows no message box at all: nothing the user did not start may
    // block the window.
    int Tick(BoxWatcher& watcher)
    {
        const int boxesBefore = Boxes(watcher);
        const int viewsBefore = LiveViewCount();
        CCameo* grid = ActiveGrid();
        if (grid)
            grid->SetCellChannel(kMarkCell, CCameo::kLocalRecorder, 0);
        hub->OnTimerAutoConnect();
        QTest::qWait(100);
        EXPECT_FALSE(hub->Messages().IsOpen());
        EXPECT_EQ(Boxes(watcher), boxesBefore) << "an automatic opening showed a box";
        const bool opened = LiveViewCount() > viewsBefore || (grid && !grid->GetCell(kMarkCell).IsBound());
        if (CCameo* now = ActiveGrid())
            now->ResetCell(kMarkCell);
        return opened ? 1 : 0;
    }

    static constexpr int kMarkCell = CCameo::kCells - 1;

    CCameo* ActiveGrid() const
    {
        auto* view = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(0));
        return view ? view->GetCameo() : nullptr;
    }

    static int Boxes(const BoxWatcher& watcher)
    {
        int count = 0;
        int lastId = 0;
        for (const BoxSample& s : watcher.Samples()) {
            if (s.id != lastId)
                ++count;
            lastId = s.id;
        }
        return count;
    }

    static BoxWatcher::Action CloseBoxes()
    {
        return [](MessageDlg* box, const BoxSample&) { box->done(0); };
    }

    void TearDown() override
    {
        MainWinTest::TearDown();
        m_sims.clear();
    }

private:
    QTemporaryDir m_logs;
    std::vector<std::unique_ptr<GridDvrSim>> m_sims;
};

} // namespace

TEST_F(AutoConnectTest, FavoriteMarkedForAutoConnectOpensInALiveWindow)
{
    const int port = StartSim(QStringLiteral("alpha.log"));
    ASSERT_GT(port, 0);
    WriteBooks(Device("Alpha", port), Favorite("Plain", "autoConnectOff", "Alpha", "1")
                                          + Favorite("Auto", "autoConnectOn", ";Alpha", "-1;2"));
    StartHub();
    ASSERT_EQ(LiveViewCount(), 0);
    CModuleDevice* alpha = Recorder("Alpha");
    ASSERT_NE(alpha, nullptr);
    EXPECT_FALSE(alpha->IsLoggedIn());

    BoxWatcher watcher(CloseBoxes());
    EXPECT_EQ(Tick(watcher), 1);
    ASSERT_EQ(LiveViewCount(), 1);
    auto* view = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(0));
    ASSERT_NE(view, nullptr);
    // The layout code 400 of the favorite: four cells from cell 0.
    EXPECT_EQ(view->GetCameo()->GetSplit(), 4);
    EXPECT_EQ(view->GetCameo()->GetFirstCell(), 0);
    // Its recorder was asked to connect for the favorite, and the recorder saw the login.
    EXPECT_EQ(alpha->GetConnectPurpose(), ConnectPurpose::Favorite);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Logins(QStringLiteral("alpha.log")).contains("admin"); }, 15000));
    ASSERT_TRUE(QTest::qWaitFor([alpha] { return alpha->IsLoggedIn(); }, 15000));

    // With its only recorder logged in, the favorite is not opened again.
    EXPECT_EQ(Tick(watcher), 0);
    EXPECT_EQ(Tick(watcher), 0);
    EXPECT_EQ(LiveViewCount(), 1);
}

TEST_F(AutoConnectTest, LoggedInRecordersStillGetTheFirstOpening)
{
    const int port = StartSim(QStringLiteral("bravo.log"));
    ASSERT_GT(port, 0);
    WriteBooks(Device("Bravo", port), Favorite("Auto", "autoConnectOn", "Bravo", "0"));
    StartHub();
    CModuleDevice* bravo = Recorder("Bravo");
    ASSERT_NE(bravo, nullptr);
    bravo->StartConnect(ConnectPurpose::Connect);
    ASSERT_TRUE(QTest::qWaitFor([bravo] { return bravo->IsLoggedIn(); }, 15000));

    BoxWatcher watcher(CloseBoxes());
    EXPECT_EQ(Tick(watcher), 1) << "opened once after start-up";
    EXPECT_EQ(LiveViewCount(), 1);
    ASSERT_TRUE(QTest::qWaitFor([bravo] { return bravo->IsLoggedIn(); }, 15000));
    EXPECT_EQ(Tick(watcher), 0) << "and not again";
    EXPECT_EQ(LiveViewCount(), 1);
}

TEST_F(AutoConnectTest, FavoriteIsOpenedAgainWhileARecorderIsNotLoggedIn)
{
    WriteBooks(Device("Gone", DeadPort()), Favorite("Auto", "autoConnectOn", "Gone", "0"));
    StartHub();
    CModuleDevice* gone = Recorder("Gone");
    ASSERT_NE(gone, nullptr);
    BoxWatcher watcher(CloseBoxes());
    EXPECT_EQ(Tick(watcher), 1);
    EXPECT_EQ(gone->GetConnectPurpose(), ConnectPurpose::Favorite);
    ASSERT_TRUE(QTest::qWaitFor([gone] { return gone->GetConnectResult() == ConnectResult::Failed; }, 15000));
    EXPECT_EQ(Tick(watcher), 1);
    EXPECT_FALSE(gone->IsLoggedIn());
}

TEST_F(AutoConnectTest, NothingOpensWithoutAFoundRecorderOrAMarkedFavorite)
{
    struct Case
    {
        const char* name;
        QByteArray favorites;
    };
    const Case cases[] = {
        {"no favorites", QByteArray()},
        {"not marked", Favorite("F", "autoConnectOff", "Known", "0")},
        {"mark is case-sensitive", Favorite("F", "autoconnecton", "Known", "0")},
        {"search favorite", Favorite("F", "autoConnectOn", "Known", "0", "favorites_item_search")},
        {"recorders not in the table", Favorite("F", "autoConnectOn", "Nobody;Else", "0;1")},
        {"empty and -1 names", Favorite("F", "autoConnectOn", ";-1;", "0;0;0")},
        {"only the first marked favorite counts",
         Favorite("F", "autoConnectOn", "Nobody", "0") + Favorite("G", "autoConnectOn", "Known", "0")},
        {"names past the 64th are not looked at",
         Favorite("F", "autoConnectOn", QByteArray(";").repeated(64) + "Known", "0")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBooks(Device("Known", DeadPort()), c.favorites);
        StartHub();
        BoxWatcher watcher(CloseBoxes());
        EXPECT_EQ(Tick(watcher), 0);
        EXPECT_EQ(LiveViewCount(), 0);
        CModuleDevice* known = Recorder("Known");
        ASSERT_NE(known, nullptr);
        EXPECT_NE(known->GetConnectPurpose(), ConnectPurpose::Favorite);
        StopHub();
    }
}

TEST_F(AutoConnectTest, NothingOpensWhileAMessageBoxIsOpen)
{
    WriteBooks(Device("Known", DeadPort()), Favorite("F", "autoConnectOn", "Known", "0"));
    StartHub();
    hub->Messages().MessageBoxOpened();
    hub->OnTimerAutoConnect();
    EXPECT_EQ(LiveViewCount(), 0);
    hub->Messages().MessageBoxClosed();
    BoxWatcher watcher(CloseBoxes());
    EXPECT_EQ(Tick(watcher), 1);
    EXPECT_EQ(LiveViewCount(), 1);
}

// A recorder that goes away by itself is reported on the status bar (nothing that blocks the
// window); one the user disconnects is not.
TEST_F(AutoConnectTest, LostRecorderIsReportedWithoutABox)
{
    const int flaky = StartSim(QStringLiteral("flaky.log"),
                               {QStringLiteral("--fail"), QStringLiteral("close-after-status")});
    const int steady = StartSim(QStringLiteral("steady.log"));
    ASSERT_GT(flaky, 0);
    ASSERT_GT(steady, 0);
    WriteBooks(Device("Flaky", flaky) + Device("Steady", steady), QByteArray());
    StartHub();
    BoxWatcher watcher(CloseBoxes());
    EXPECT_FALSE(hub->statusBar()->isVisibleTo(hub.get()));

    CModuleDevice* steadyRecorder = Recorder("Steady");
    steadyRecorder->StartConnect(ConnectPurpose::Silent);
    ASSERT_TRUE(QTest::qWaitFor([steadyRecorder] { return steadyRecorder->IsLoggedIn(); }, 15000));
    steadyRecorder->Disconnect();
    ASSERT_TRUE(QTest::qWaitFor([steadyRecorder] { return !steadyRecorder->IsLoggedIn(); }, 15000));
    QTest::qWait(100);
    EXPECT_TRUE(hub->statusBar()->currentMessage().isEmpty()) << "a disconnect the user asked for";

    Recorder("Flaky")->StartConnect(ConnectPurpose::Silent);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !hub->statusBar()->currentMessage().isEmpty(); }, 15000));
    EXPECT_TRUE(hub->statusBar()->currentMessage().startsWith(QStringLiteral("Connection to Flaky lost at ")))
        << qPrintable(hub->statusBar()->currentMessage());
    EXPECT_TRUE(hub->statusBar()->isVisibleTo(hub.get()));
    // Only the boxes of the connect the test asked for; none for the loss.
    for (const BoxSample& sample : watcher.Samples()) {
        EXPECT_TRUE(sample.text == QLatin1String("Network Connecting...")
                    || sample.text == QLatin1String("Login success"))
            << qPrintable(sample.title + "|" + sample.text);
    }
    hub->statusBar()->clearMessage();
    EXPECT_FALSE(hub->statusBar()->isVisibleTo(hub.get())) << "the bar goes with its last notice";
}

// ---------------------------------------------------------------------------------------------
// Side-panel forwarders

TEST_F(AutoConnectTest, ImageAdjustReachesTheActiveGrid)
{
    const int port = StartSim(QStringLiteral("adjust.log"));
    ASSERT_GT(port, 0);
    WriteBooks(Device("Depot", port), QByteArray());
    StartHub();
    CModuleDevice* depot = Recorder("Depot");
    ASSERT_NE(depot, nullptr);
    depot->StartConnect(ConnectPurpose::Connect);
    ASSERT_TRUE(QTest::qWaitFor([depot] { return depot->IsLoggedIn(); }, 15000));

    ASSERT_EQ(hub->exeLiveView(), 0);
    ASSERT_EQ(hub->exeLiveView(), 1);
    CCameo* first = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(0))->GetCameo();
    CCameo* second = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(1))->GetCameo();
    // Channel 2 in the selected cell 0 of the first grid, channel 1 in that of the second.
    first->SetCameoChannel(2, depot->GetDeviceIndex(), 0);
    second->SetCameoChannel(1, depot->GetDeviceIndex(), 0);

    hub->Sessions()->SetActiveCameoIndex(first->GetCameoIndex());
    hub->OnSetBrightness(30);
    hub->OnSetContrast(-20);
    EXPECT_EQ(depot->GetLiveDecoder(2)->GetBrightness(0), 30);
    EXPECT_EQ(depot->GetLiveDecoder(2)->GetContrast(0), -20);
    EXPECT_EQ(first->GetAdjustBrightness(), 30);
    EXPECT_EQ(depot->GetLiveDecoder(1)->GetBrightness(0), 0) << "the other grid is left alone";

    hub->Sessions()->SetActiveCameoIndex(second->GetCameoIndex());
    hub->OnSetBrightness(-10);
    EXPECT_EQ(depot->GetLiveDecoder(1)->GetBrightness(0), -10);
    EXPECT_EQ(depot->GetLiveDecoder(2)->GetBrightness(0), 30);

    // An active index without a grid reaches nobody.
    for (int index : {-1, 49, 50}) {
        hub->Sessions()->SetActiveCameoIndex(index);
        hub->OnSetBrightness(70);
        hub->OnSetContrast(70);
    }
    EXPECT_EQ(depot->GetLiveDecoder(1)->GetBrightness(0), -10);
    EXPECT_EQ(depot->GetLiveDecoder(2)->GetContrast(0), -20);
}

TEST_F(AutoConnectTest, SplitReachesTheActiveGrid)
{
    StartHub();
    ASSERT_EQ(hub->exeLiveView(), 0);
    ASSERT_EQ(hub->exeLiveView(), 1);
    CCameo* first = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(0))->GetCameo();
    CCameo* second = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(1))->GetCameo();
    const int secondSplit = second->GetSplit();
    hub->Sessions()->SetActiveCameoIndex(first->GetCameoIndex());
    hub->OnScrSplitMode(9);
    EXPECT_EQ(first->GetSplit(), 9);
    EXPECT_EQ(second->GetSplit(), secondSplit);
}
