// The site book's recorder actions against the recorder simulator: connect, disconnect, delete,
// the menu of a connected recorder and the camera title rights.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <QTest>
#include <QTimer>

#include <utility>

#include "session/backuphosts.h"
#include "sitebook/caddfolderdialog.h"
#include "sitebook/support/sitebook_dvrsim.h"
#include "sitebook/support/sitebook_menufixture.h"
#include "sitebook/support/sitebook_recorderfixture.h"

namespace {

using SiteBookRecorderTest = SiteBookRecorderTestOn<SiteBookMenuTest>;

const QString kConnectedMenu = QStringLiteral(
    "Quick Menu{Live,Search,eMap},Health Check,Network Status|Disconnect|Event Backup,Schedule Backup,Remote CD Backup|"
    "Property,Delete|Load SiteBook,Save SiteBook|Account Manager,Firmware Manager");
const QString kDisconnectedMenu = QStringLiteral(
    "Quick Menu{Live,Search,eMap},Connect|Property,Delete|Load SiteBook,Save SiteBook|"
    "Account Manager,Firmware Manager");

TEST_F(SiteBookRecorderTest, ConnectAndDisconnectFromTheMenu)
{
    SiteBookDvrSim* sim = StartSim({"--user", "admin", "--password", "1234"});
    ASSERT_TRUE(sim);
    CModuleDevice* gate = AddSimRecorder(QStringLiteral("gate"), sim->Port());
    EXPECT_EQ(MenuAt(gate), kDisconnectedMenu);

    PointAt(gate);
    tree->connectDevice();
    ASSERT_TRUE(WaitFor([gate] { return gate->IsLoggedIn(); }));
    EXPECT_TRUE(hub->boxCalls.contains(QStringLiteral("DVR Connection|Network Connecting...|")));
    const QList<QJsonObject> logins = sim->Events(QStringLiteral("login"));
    ASSERT_FALSE(logins.isEmpty());
    for (const QJsonObject& login : logins) {
        EXPECT_EQ(login.value(QStringLiteral("user")).toString(), QStringLiteral("admin"));
        EXPECT_TRUE(login.value(QStringLiteral("ok")).toBool());
    }
    EXPECT_FALSE(sim->Messages(0x01).isEmpty());

    // Connected: the menu offers what needs a session, and loading another site book is off.
    EXPECT_EQ(MenuAt(gate), kConnectedMenu);
    std::unique_ptr<QMenu> menu = tree->PrepareContextMenu(EmptyPoint());
    ASSERT_TRUE(LoadAction(menu.get()));
    EXPECT_FALSE(LoadAction(menu.get())->isEnabled());

    const int connections = sim->Events(QStringLiteral("connect")).size();
    EXPECT_EQ(connections, 2);
    PointAt(gate);
    tree->disconnectDevice();
    EXPECT_TRUE(WaitFor([&] { return sim->Events(QStringLiteral("disconnect")).size() >= connections; }));
    EXPECT_TRUE(WaitFor([gate] { return !gate->IsLoggedIn(); }));
    EXPECT_EQ(MenuAt(gate), kDisconnectedMenu);
    menu = tree->PrepareContextMenu(EmptyPoint());
    EXPECT_TRUE(LoadAction(menu.get())->isEnabled());
}

TEST_F(SiteBookRecorderTest, DeletingAConnectedRecorderEndsItsSession)
{
    SiteBookDvrSim* sim = StartSim();
    ASSERT_TRUE(sim);
    CModuleDevice* folder = AddFolder(QStringLiteral("site"));
    CModuleDevice* gate = AddSimRecorder(QStringLiteral("gate"), sim->Port(), folder);
    AddRecorder(QStringLiteral("kept"), folder);
    const int slot = gate->GetDeviceIndex();
    PointAt(gate);
    tree->connectDevice();
    ASSERT_TRUE(WaitFor([gate] { return gate->IsLoggedIn(); }));
    const int connections = sim->Events(QStringLiteral("connect")).size();
    ASSERT_EQ(connections, 2);

    PointAt(gate);
    {
        auto answer = AnswerNextQuestion(QMessageBox::Yes);
        tree->delItem();
        EXPECT_TRUE(answer->Done());
    }
    EXPECT_TRUE(WaitFor([&] { return sim->Events(QStringLiteral("disconnect")).size() >= connections; }));
    EXPECT_EQ(hub->GetDevice(slot), nullptr);
    EXPECT_FALSE(hub->IsAnyDeviceConnected());
    EXPECT_EQ(ChildNames(folder), QStringList({"kept"}));
    EXPECT_EQ(SiteBookOnDisk(), QStringList({"folder site", "  device kept ||||1|0"}));
}

TEST_F(SiteBookRecorderTest, CameraTitleNeedsTheConfigurationRight)
{
    const struct
    {
        QStringList options;
        bool permitted;
    } cases[] = {
        {{"--channels", "2"}, false},
        {{"--channels", "2", "--option-flag", "--level", "0x10"}, true},
    };
    for (const auto& c : cases) {
        SiteBookDvrSim* sim = StartSim(c.options);
        ASSERT_TRUE(sim);
        const QString name = c.permitted ? QStringLiteral("admin") : QStringLiteral("viewer");
        CModuleDevice* gate = AddSimRecorder(name, sim->Port());
        PointAt(gate);
        tree->connectDevice();
        ASSERT_TRUE(WaitFor([gate] { return gate->IsLoggedIn() && gate->GetCameraItem(1); })) << c.permitted;
        ASSERT_EQ(gate->GetLoginOption(), c.permitted);
        QTreeWidgetItem* camera = gate->GetCameraItem(1);
        ASSERT_EQ(KindOf(camera), QStringLiteral("camera"));
        ASSERT_EQ(SiteBook::FromItem(camera)->channel, 1);
        hub->boxCalls.clear();

        PointAt(camera);
        // The property action runs its dialog modally: a dialog that opened has been answered
        // by the time the action returns.
        auto answer = OnNextDialog<CAddFolderDialog>([](CAddFolderDialog* d) {
            d->findChild<QLineEdit*>(QStringLiteral("edit"))->setText(QStringLiteral("Door"));
            d->onOKButtonClicked();
        });
        tree->property();
        EXPECT_EQ(answer->Done(), c.permitted);
        if (c.permitted) {
            EXPECT_TRUE(hub->boxCalls.isEmpty());
            EXPECT_EQ(SiteBook::FromItem(camera)->name, QStringLiteral("Door"));
            ASSERT_TRUE(WaitFor([&] { return !sim->Messages(0x9C).isEmpty(); }));
            // The title travels as text in the request.
            EXPECT_TRUE(sim->Messages(0x9C)
                            .first()
                            .value(QStringLiteral("hex"))
                            .toString()
                            .contains(QStringLiteral("446f6f72")));
            EXPECT_TRUE(BookExists("sitebook.xml"));
        } else {
            EXPECT_EQ(hub->boxCalls, QStringList({"Sitebook|No permission.|stop"}));
            EXPECT_NE(SiteBook::FromItem(camera)->name, QStringLiteral("Door"));
            EXPECT_TRUE(sim->Messages(0x9C).isEmpty());
        }
        gate->Disconnect();
    }
}

// A changed quality of a connected recorder sends the playback control again: a stopped playback
// is stopped once more on the playback connection.
TEST_F(SiteBookRecorderTest, QualityChangeOfAConnectedRecorderResendsThePlaybackControl)
{
    SiteBookDvrSim* sim = nullptr;
    CModuleDevice* gate = ConnectedRecorder(&sim, {"--channels", "2"});
    ASSERT_TRUE(gate);
    gate->SetPlaybackCtrl(PlaybackMode::Stop);
    ASSERT_TRUE(WaitFor([&] { return sim->Events(QStringLiteral("playback")).size() == 1; }));

    PointAt(gate);
    {
        auto answer = AnswerRecorder({"gate", "127.0.0.1", QString::number(sim->Port()), "admin", "1234", 2});
        tree->property();
    }
    ASSERT_TRUE(WaitFor([&] { return sim->Events(QStringLiteral("playback")).size() == 2; }));
    const QJsonObject resent = sim->Events(QStringLiteral("playback")).last();
    EXPECT_EQ(resent.value(QStringLiteral("a")).toInt(), 0);
    EXPECT_EQ(resent.value(QStringLiteral("mode")).toInt(), 2);
    EXPECT_EQ(resent.value(QStringLiteral("mask")).toInt(), 0xFFFF);
}

// A new address or port of a connected recorder cannot reach its open connection: the user is
// told that it takes effect at the next connection. An edit that keeps them says nothing.
TEST_F(SiteBookRecorderTest, AddressChangeOfAConnectedRecorderIsExplained)
{
    SiteBookDvrSim* sim = nullptr;
    CModuleDevice* gate = ConnectedRecorder(&sim, {"--channels", "1"});
    ASSERT_TRUE(gate);
    PointAt(gate);
    {
        MessageBoxCatcher boxes;
        auto answer = AnswerRecorder({"gate", "127.0.0.1", QString::number(sim->Port()), "admin", "1234", 1});
        tree->property();
        EXPECT_TRUE(boxes.Seen().isEmpty());
    }
    {
        MessageBoxCatcher boxes;
        auto answer = AnswerRecorder({"gate", "10.1.2.3", QString::number(sim->Port()), "admin", "1234", 1});
        tree->property();
        EXPECT_EQ(boxes.Seen(),
                  QStringList({"SiteBook|gate stays connected to its old address; the new address and "
                               "port take effect at its next connection."}));
    }
    EXPECT_TRUE(gate->IsLoggedIn());
    EXPECT_EQ(SiteBook::FromItem(gate)->addr, QStringLiteral("10.1.2.3"));
}

// Backup windows that only write down the titles they were shown with.
class TitleRecordingHosts : public BackupHostFactory
{
public:
    TitleRecordingHosts() { BackupHostFactory::Install(this); }
    ~TitleRecordingHosts() override
    {
        if (BackupHostFactory::Instance() == this)
            BackupHostFactory::Install(nullptr);
    }
    TitleRecordingHosts(const TitleRecordingHosts&) = delete;
    TitleRecordingHosts& operator=(const TitleRecordingHosts&) = delete;

    std::unique_ptr<EventBackupHost> CreateEventHost(RecorderSession&) override
    {
        return std::make_unique<Event>(shown);
    }
    std::unique_ptr<ScheduleBackupHost> CreateScheduleHost(RecorderSession&) override
    {
        return std::make_unique<Schedule>(shown);
    }
    std::unique_ptr<RemoteCDBackupHost> CreateRemoteCDHost(RecorderSession&, bool) override
    {
        return std::make_unique<RemoteCD>(shown);
    }

    // "kind|title" of each window shown.
    QStringList shown;

private:
    struct Event : EventBackupHost
    {
        explicit Event(QStringList& log)
            : shown(log)
        {}
        bool IsBackupTime(int, int, int) const override { return false; }
        bool IsRunning() const override { return false; }
        bool NeedsLive(int) const override { return false; }
        void StopBackup() override {}
        void ShowWindow(const QString& title) override { shown << QStringLiteral("event|") + title; }
        QStringList& shown;
    };
    struct Schedule : ScheduleBackupHost
    {
        explicit Schedule(QStringList& log)
            : shown(log)
        {}
        void OnRecvPlaybackVideo(int, int, int, int, int, int, bool, char, char) override {}
        void OnConnectionLost() override {}
        void ShowWindow(const QString& title) override { shown << QStringLiteral("schedule|") + title; }
        QStringList& shown;
    };
    struct RemoteCD : RemoteCDBackupHost
    {
        explicit RemoteCD(QStringList& log)
            : shown(log)
        {}
        void ShowWindow(const QString& title) override { shown << QStringLiteral("cd|") + title; }
        QStringList& shown;
    };
};

// The backup entries of a connected recorder's menu ask its session for the matching window,
// titled with the recorder's name.
TEST_F(SiteBookRecorderTest, BackupEntriesReachTheSessionsBackupWindows)
{
    TitleRecordingHosts hosts;
    SiteBookDvrSim* sim = nullptr;
    CModuleDevice* gate = ConnectedRecorder(&sim);
    ASSERT_TRUE(gate);
    for (const BackupEntry& c : kGateBackupEntries) {
        hosts.shown.clear();
        QAction* action = MenuEntry(gate, QLatin1String(c.entry));
        ASSERT_TRUE(action) << c.entry;
        action->trigger();
        EXPECT_EQ(hosts.shown, QStringList({QLatin1String(c.host) + QLatin1Char('|') + QLatin1String(c.title)}))
            << c.entry;
    }
}

// A changed quality of a connected recorder restarts its live video at once.
TEST_F(SiteBookRecorderTest, QualityChangeOfAConnectedRecorderRestartsLive)
{
    SiteBookDvrSim* sim = StartSim({"--channels", "2"});
    ASSERT_TRUE(sim);
    CModuleDevice* gate = AddSimRecorder(QStringLiteral("gate"), sim->Port());
    PointAt(gate);
    tree->connectDevice();
    ASSERT_TRUE(WaitFor([gate] { return gate->IsLoggedIn(); }));
    WaitFor([&] { return sim->Messages(0x87).size() >= 2; }, 3000);
    const int before = sim->Messages(0x87).size();

    PointAt(gate);
    {
        auto answer = AnswerRecorder({"gate", "127.0.0.1", QString::number(sim->Port()), "admin", "1234", 2});
        tree->property();
    }
    EXPECT_EQ(SiteBook::FromItem(gate)->quality, 2);
    // One live start per channel follows the change.
    EXPECT_TRUE(WaitFor([&] { return int(sim->Messages(0x87).size()) >= before + 2; }));
    EXPECT_TRUE(SiteBookOnDisk().join(QString()).contains(QStringLiteral("|2|0")));
}

} // namespace

namespace {

// "Live" of the quick menu asks the main window for a live window of the recorder.
TEST_F(SiteBookRecorderTest, LiveFromTheMenuAsksTheHubForTheRecordersLiveWindow)
{
    CModuleDevice* gate = AddRecorder(QStringLiteral("gate"));
    PointAt(gate);
    tree->liveStartAct();
    EXPECT_EQ(hub->opened, QStringList({QStringLiteral("live %1").arg(gate->GetDeviceIndex())}));
}

// A connected recorder's menu asks its session for the network status pop-up of that recorder.
TEST_F(SiteBookRecorderTest, NetworkStatusEntryAsksForThePopUpOfTheRecorder)
{
    SiteBookDvrSim* sim = nullptr;
    CModuleDevice* gate = ConnectedRecorder(&sim);
    ASSERT_TRUE(gate);
    QAction* action = EnabledMenuEntry(gate, QStringLiteral("Network Status"));
    ASSERT_TRUE(action);
    action->trigger();
    EXPECT_EQ(hub->networkStatusAsked, std::vector<int>({gate->GetDeviceIndex()}));
}

} // namespace
