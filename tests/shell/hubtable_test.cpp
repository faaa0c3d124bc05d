// The hub: how session items take and free their slots of its recorder table, the recorder
// index checks of its forwarders, and the shared settings it starts with. The tables on their
// own are in recordertable_test.cpp and gridtable_test.cpp.
#include <QDir>
#include <QTemporaryDir>
#include <climits>
#include <memory>
#include <vector>

#include "session/moduledevice.h"
#include "session/support/moduledevice_testaccess.h"
#include "shell/childwindowslots.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "shell/support/shell_hubfixture.h"

TEST_F(ShellHubTest, FreshHubHasEveryTableEmpty)
{
    EXPECT_EQ(hub->Sessions()->GetFreeDeviceIndex(), 0);
    EXPECT_EQ(hub->Sessions()->GetFreeCameoIndex(), 0);
    EXPECT_EQ(hub->Sessions()->GetDevice(0), nullptr);
    EXPECT_EQ(hub->Sessions()->GetCameo(0), nullptr);
    EXPECT_FALSE(hub->Sessions()->IsAnyDeviceConnected());
    EXPECT_FALSE(hub->Messages().IsOpen());
    EXPECT_EQ(hub->Sessions()->GetActiveCameoIndex(), 0);
    EXPECT_EQ(hub->GetProcessorLoad(), 0);
    for (int f = 0; f < OsdFlags::kCount; ++f)
        EXPECT_EQ(hub->Settings().GetOsdFlag(OsdFlags::kAll[f]), 1) << "flag " << f;
    EXPECT_EQ(hub->windowTitle(), QStringLiteral("ZENT"));
}

TEST_F(ShellHubTest, HubIsReachableWhileItLives)
{
    EXPECT_EQ(g_pMainWindow, hub.get());
    ASSERT_NE(hub->Sessions(), nullptr);
    EXPECT_EQ(HubServices::Instance(), static_cast<HubServices*>(hub->Sessions()));
    hub.reset();
    EXPECT_EQ(g_pMainWindow, nullptr);
    EXPECT_EQ(HubServices::Instance(), nullptr);
}

TEST(ShellHubDirectory, ProgramDirectoryIsTheWorkingDirectoryAtStart)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    auto hub = std::make_unique<MainWindow>();
    QDir::setCurrent(before);

    // Taken at start: going back to the old working directory does not change it.
    EXPECT_EQ(QDir(hub->ProgramDirectory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_FALSE(hub->ProgramDirectory().endsWith(QLatin1Char('/')));
}

TEST_F(ShellHubTest, RecorderTakesTheLowestFreeSlotAndFreesItWhenDestroyed)
{
    CModuleDevice* a = AddRecorder("A");
    CModuleDevice* b = AddRecorder("B");
    CModuleDevice* c = AddRecorder("C");
    EXPECT_EQ(a->GetDeviceIndex(), 0);
    EXPECT_EQ(b->GetDeviceIndex(), 1);
    EXPECT_EQ(c->GetDeviceIndex(), 2);
    EXPECT_EQ(hub->Sessions()->GetDevice(1), b);

    DeleteRecorder(b);
    EXPECT_EQ(hub->Sessions()->GetDevice(1), nullptr);
    EXPECT_EQ(hub->Sessions()->GetFreeDeviceIndex(), 1);

    CModuleDevice* d = AddRecorder("D");
    EXPECT_EQ(d->GetDeviceIndex(), 1);
    EXPECT_EQ(hub->Sessions()->GetFreeDeviceIndex(), 3);
}

TEST_F(ShellHubTest, FolderTakesNoSlot)
{
    CModuleDevice* a = AddRecorder("A");
    {
        CModuleDevice folder(nullptr, -1);
        EXPECT_EQ(folder.GetDeviceIndex(), -1);
        EXPECT_EQ(hub->Sessions()->GetFreeDeviceIndex(), 1);
    }
    // The folder's end leaves the recorder in slot 0 alone.
    EXPECT_EQ(hub->Sessions()->GetDevice(0), a);
}

class ShellBadDeviceIndex : public ShellHubTest, public ::testing::WithParamInterface<int>
{};

TEST_P(ShellBadDeviceIndex, IsRefusedAndLeavesTheTableAlone)
{
    const int bad = GetParam();
    CModuleDevice* a = AddRecorder("A");
    ASSERT_EQ(a->GetDeviceIndex(), 0);
    EXPECT_EQ(hub->Sessions()->GetDevice(bad), nullptr);
    EXPECT_FALSE(hub->Sessions()->AddDevice(bad, a));
    EXPECT_FALSE(hub->Sessions()->RemoveDevice(bad));
    EXPECT_EQ(hub->Sessions()->GetFreeDeviceIndex(), 1);
    EXPECT_EQ(hub->Sessions()->GetDevice(0), a);
    // The forwarders that take a recorder index ignore it too.
    hub->Sessions()->OnDeviceConnected(bad, 0);
    hub->Sessions()->OnDeviceDisconnected(bad, 0);
    hub->Sessions()->ClearDeviceCells(bad, -1, 0);
    EXPECT_EQ(hub->Sessions()->GetDevice(0), a);
}

INSTANTIATE_TEST_SUITE_P(Indices, ShellBadDeviceIndex,
                         ::testing::Values(-1, -2, -9999, 9999, 10000, INT_MIN, INT_MAX));

TEST_F(ShellHubTest, FindDeviceByNameSkipsFreedSlots)
{
    CModuleDevice* first = AddRecorder("Gate");
    AddRecorder("Gate");
    DeleteRecorder(first);
    EXPECT_EQ(hub->Sessions()->FindDeviceByName("Gate"), 1);
}

TEST_F(ShellHubTest, AnyDeviceConnectedFollowsTheLoggedInFlags)
{
    CModuleDevice* a = AddRecorder("A");
    CModuleDevice* b = AddRecorder("B");
    EXPECT_FALSE(hub->Sessions()->IsAnyDeviceConnected());
    CModuleDeviceTestAccess::SetLoggedIn(*b, true);
    EXPECT_TRUE(hub->Sessions()->IsAnyDeviceConnected());
    CModuleDeviceTestAccess::SetLoggedIn(*b, false);
    CModuleDeviceTestAccess::SetLoggedIn(*a, true);
    EXPECT_TRUE(hub->Sessions()->IsAnyDeviceConnected());
    // A logged-in recorder that has left the table no longer counts.
    ASSERT_TRUE(hub->Sessions()->RemoveDevice(a->GetDeviceIndex()));
    EXPECT_FALSE(hub->Sessions()->IsAnyDeviceConnected());
    ASSERT_TRUE(hub->Sessions()->AddDevice(0, a));
}

TEST_F(ShellHubTest, FullRecorderTableGivesMinusOne)
{
    std::vector<std::unique_ptr<CModuleDevice>> devices;
    devices.reserve(RecorderTable::kSlots);
    for (int i = 0; i < RecorderTable::kSlots; ++i)
        devices.push_back(std::make_unique<CModuleDevice>(nullptr, 0));
    EXPECT_EQ(devices.front()->GetDeviceIndex(), 0);
    EXPECT_EQ(devices.back()->GetDeviceIndex(), 9998);
    EXPECT_EQ(hub->Sessions()->GetFreeDeviceIndex(), -1);

    {
        // One more recorder stays unregistered and its end frees nobody's slot.
        CModuleDevice extra(nullptr, 0);
        EXPECT_EQ(extra.GetDeviceIndex(), -1);
    }
    EXPECT_EQ(hub->Sessions()->GetFreeDeviceIndex(), -1);
    EXPECT_EQ(hub->Sessions()->GetDevice(9998), devices.back().get());

    devices[4321].reset();
    EXPECT_EQ(hub->Sessions()->GetFreeDeviceIndex(), 4321);
}

TEST_F(ShellHubTest, EmapWindowLookupChecksItsIndex)
{
    for (int i : {-1, 0, 1, 2, INT_MAX}) {
        EXPECT_EQ(hub->EmapViewSlots()->Window(i), nullptr) << i;
        EXPECT_FALSE(hub->EmapViewSlots()->IsPopup(i)) << i;
    }
    EXPECT_EQ(hub->Sessions()->ConsoleDeviceIndex(), -1) << "no configuration console shows a recorder";
}

TEST_F(ShellHubTest, OsdFlagsOutsideTheSixAreIgnored)
{
    hub->Settings().SetOsdFlag(OsdFlag::Event, 0);
    hub->Settings().SetOsdFlag(static_cast<OsdFlag>(-1), 0);
    hub->Settings().SetOsdFlag(static_cast<OsdFlag>(OsdFlags::kCount), 0);
    EXPECT_EQ(hub->Settings().GetOsdFlag(OsdFlag::Event), 0);
    EXPECT_EQ(hub->Settings().GetOsdFlag(OsdFlag::Time), 1);
    EXPECT_EQ(hub->Settings().GetOsdFlag(OsdFlag::CameoNumber), 1);
    EXPECT_EQ(hub->Settings().GetOsdFlag(static_cast<OsdFlag>(-1)), 0);
}
