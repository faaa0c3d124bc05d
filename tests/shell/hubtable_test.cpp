// The hub's recorder and grid tables, and how session items take and free their slots.
#include <QDir>
#include <QTemporaryDir>
#include <climits>
#include <memory>
#include <vector>

#include "session/moduledevice.h"
#include "shell/childwindowslots.h"
#include "shell/mainwindow.h"
#include "shell/support/shell_hubfixture.h"

namespace {

// Grids are only stored and compared by the hub, never used, so distinct addresses will do.
CCameo* FakeCameo(int n)
{
    static char storage[8];
    return reinterpret_cast<CCameo*>(&storage[n]);
}

} // namespace

TEST_F(ShellHubTest, FreshHubHasEveryTableEmpty)
{
    EXPECT_EQ(hub->GetFreeDeviceIndex(), 0);
    EXPECT_EQ(hub->GetFreeCameoIndex(), 0);
    EXPECT_EQ(hub->GetDevice(0), nullptr);
    EXPECT_EQ(hub->GetCameo(0), nullptr);
    EXPECT_FALSE(hub->IsAnyDeviceConnected());
    EXPECT_FALSE(hub->IsMessageBoxOpen());
    EXPECT_EQ(hub->GetActiveCameoIndex(), 0);
    EXPECT_EQ(hub->GetProcessorLoad(), 0);
    for (int f = 0; f < OsdFlags::kCount; ++f)
        EXPECT_EQ(hub->Settings().GetOsdFlag(OsdFlags::kAll[f]), 1) << "flag " << f;
    EXPECT_EQ(hub->windowTitle(), QStringLiteral("ZENT"));
}

TEST_F(ShellHubTest, HubIsReachableWhileItLives)
{
    EXPECT_EQ(g_pMainWindow, hub.get());
    EXPECT_EQ(HubServices::Instance(), static_cast<HubServices*>(hub.get()));
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
    EXPECT_EQ(hub->GetDevice(1), b);

    DeleteRecorder(b);
    EXPECT_EQ(hub->GetDevice(1), nullptr);
    EXPECT_EQ(hub->GetFreeDeviceIndex(), 1);

    CModuleDevice* d = AddRecorder("D");
    EXPECT_EQ(d->GetDeviceIndex(), 1);
    EXPECT_EQ(hub->GetFreeDeviceIndex(), 3);
}

TEST_F(ShellHubTest, FolderTakesNoSlot)
{
    CModuleDevice* a = AddRecorder("A");
    {
        CModuleDevice folder(nullptr, -1);
        EXPECT_EQ(folder.GetDeviceIndex(), -1);
        EXPECT_EQ(hub->GetFreeDeviceIndex(), 1);
    }
    // The folder's end leaves the recorder in slot 0 alone.
    EXPECT_EQ(hub->GetDevice(0), a);
}

TEST_F(ShellHubTest, AddDeviceTwiceKeepsTheFirst)
{
    CModuleDevice* a = AddRecorder("A");
    CModuleDevice* other = AddRecorder("B");
    ASSERT_EQ(a->GetDeviceIndex(), 0);
    EXPECT_FALSE(hub->AddDevice(0, other));
    EXPECT_EQ(hub->GetDevice(0), a);
}

TEST_F(ShellHubTest, RemoveDeviceOnlyOnce)
{
    CModuleDevice* a = AddRecorder("A");
    ASSERT_EQ(a->GetDeviceIndex(), 0);
    EXPECT_TRUE(hub->RemoveDevice(0));
    EXPECT_FALSE(hub->RemoveDevice(0));
    EXPECT_EQ(hub->GetDevice(0), nullptr);
    EXPECT_EQ(hub->GetFreeDeviceIndex(), 0);
}

TEST_F(ShellHubTest, AddDeviceRefusesNoSession)
{
    EXPECT_FALSE(hub->AddDevice(5, nullptr));
    EXPECT_EQ(hub->GetFreeDeviceIndex(), 0);
    EXPECT_FALSE(hub->RemoveDevice(5));
}

class ShellBadDeviceIndex : public ShellHubTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(ShellBadDeviceIndex, IsRefusedAndLeavesTheTableAlone)
{
    const int bad = GetParam();
    CModuleDevice* a = AddRecorder("A");
    ASSERT_EQ(a->GetDeviceIndex(), 0);
    EXPECT_EQ(hub->GetDevice(bad), nullptr);
    EXPECT_FALSE(hub->AddDevice(bad, a));
    EXPECT_FALSE(hub->RemoveDevice(bad));
    EXPECT_EQ(hub->GetFreeDeviceIndex(), 1);
    EXPECT_EQ(hub->GetDevice(0), a);
    // The forwarders that take a recorder index ignore it too.
    hub->OnDeviceConnected(bad, 0);
    hub->OnDeviceDisconnected(bad, 0);
    hub->ClearDeviceCells(bad, -1, 0);
    EXPECT_EQ(hub->GetDevice(0), a);
}

INSTANTIATE_TEST_SUITE_P(Indices, ShellBadDeviceIndex,
                         ::testing::Values(-1, -2, -9999, 9999, 10000, INT_MIN, INT_MAX));

TEST_F(ShellHubTest, LastDeviceSlotIsUsable)
{
    CModuleDevice* a = AddRecorder("A");
    ASSERT_TRUE(hub->RemoveDevice(a->GetDeviceIndex()));
    EXPECT_TRUE(hub->AddDevice(9998, a));
    EXPECT_EQ(hub->GetDevice(9998), a);
    EXPECT_TRUE(hub->RemoveDevice(9998));
    ASSERT_TRUE(hub->AddDevice(0, a)); // so that its destructor finds its slot again
}

struct FindCase
{
    const char* what;
    std::vector<QString> names;
    QString query;
    int expected;
};

class ShellFindDevice : public ShellHubTest, public ::testing::WithParamInterface<FindCase>
{
};

TEST_P(ShellFindDevice, FindsTheFirstExactName)
{
    const FindCase& c = GetParam();
    for (const QString& n : c.names)
        AddRecorder(n);
    EXPECT_EQ(hub->FindDeviceByName(c.query), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShellFindDevice,
    ::testing::Values(FindCase{"no recorders", {}, "Lobby", -1},
                      FindCase{"single match", {"Lobby", "Gate"}, "Gate", 1},
                      FindCase{"two equal names give the lower index", {"Yard", "Gate", "Gate"}, "Gate", 1},
                      FindCase{"no match", {"Lobby", "Gate"}, "Garage", -1},
                      FindCase{"case matters", {"Lobby"}, "lobby", -1},
                      FindCase{"no partial match", {"Lobby 2"}, "Lobby", -1},
                      FindCase{"empty name never matches", {"", "Lobby"}, "", -1}),
    [](const ::testing::TestParamInfo<FindCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(ShellHubTest, FindDeviceByNameSkipsFreedSlots)
{
    CModuleDevice* first = AddRecorder("Gate");
    AddRecorder("Gate");
    DeleteRecorder(first);
    EXPECT_EQ(hub->FindDeviceByName("Gate"), 1);
}

TEST_F(ShellHubTest, AnyDeviceConnectedFollowsTheLoggedInFlags)
{
    CModuleDevice* a = AddRecorder("A");
    CModuleDevice* b = AddRecorder("B");
    EXPECT_FALSE(hub->IsAnyDeviceConnected());
    b->m_loggedIn = 1;
    EXPECT_TRUE(hub->IsAnyDeviceConnected());
    b->m_loggedIn = 0;
    a->m_loggedIn = 1;
    EXPECT_TRUE(hub->IsAnyDeviceConnected());
    // A logged-in recorder that has left the table no longer counts.
    ASSERT_TRUE(hub->RemoveDevice(a->GetDeviceIndex()));
    EXPECT_FALSE(hub->IsAnyDeviceConnected());
    ASSERT_TRUE(hub->AddDevice(0, a));
}

TEST_F(ShellHubTest, FullRecorderTableGivesMinusOne)
{
    std::vector<std::unique_ptr<CModuleDevice>> devices;
    devices.reserve(MainWindow::kDeviceSlots);
    for (int i = 0; i < MainWindow::kDeviceSlots; ++i)
        devices.push_back(std::make_unique<CModuleDevice>(nullptr, 0));
    EXPECT_EQ(devices.front()->GetDeviceIndex(), 0);
    EXPECT_EQ(devices.back()->GetDeviceIndex(), 9998);
    EXPECT_EQ(hub->GetFreeDeviceIndex(), -1);

    {
        // One more recorder stays unregistered and its end frees nobody's slot.
        CModuleDevice extra(nullptr, 0);
        EXPECT_EQ(extra.GetDeviceIndex(), -1);
    }
    EXPECT_EQ(hub->GetFreeDeviceIndex(), -1);
    EXPECT_EQ(hub->GetDevice(9998), devices.back().get());

    devices[4321].reset();
    EXPECT_EQ(hub->GetFreeDeviceIndex(), 4321);
}

TEST_F(ShellHubTest, GridTableAddRemoveAndFreeIndex)
{
    EXPECT_TRUE(hub->AddCameo(0, FakeCameo(0)));
    EXPECT_TRUE(hub->AddCameo(1, FakeCameo(1)));
    EXPECT_EQ(hub->GetFreeCameoIndex(), 2);
    EXPECT_EQ(hub->GetCameo(1), FakeCameo(1));

    EXPECT_TRUE(hub->RemoveCameo(0));
    EXPECT_FALSE(hub->RemoveCameo(0));
    EXPECT_EQ(hub->GetCameo(0), nullptr);
    EXPECT_EQ(hub->GetFreeCameoIndex(), 0);
}

TEST_F(ShellHubTest, AddCameoOnTakenSlotKeepsTheFirstGrid)
{
    ASSERT_TRUE(hub->AddCameo(7, FakeCameo(0)));
    EXPECT_FALSE(hub->AddCameo(7, FakeCameo(1)));
    EXPECT_EQ(hub->GetCameo(7), FakeCameo(0));
}

TEST_F(ShellHubTest, FullGridTableGivesMinusOne)
{
    for (int i = 0; i < MainWindow::kCameoSlots; ++i)
        ASSERT_TRUE(hub->AddCameo(i, FakeCameo(i % 8)));
    EXPECT_EQ(hub->GetFreeCameoIndex(), -1);
    EXPECT_TRUE(hub->RemoveCameo(49));
    EXPECT_EQ(hub->GetFreeCameoIndex(), 49);
}

class ShellBadCameoIndex : public ShellHubTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(ShellBadCameoIndex, IsRefusedAndLeavesTheTableAlone)
{
    const int bad = GetParam();
    ASSERT_TRUE(hub->AddCameo(0, FakeCameo(0)));
    EXPECT_EQ(hub->GetCameo(bad), nullptr);
    EXPECT_FALSE(hub->AddCameo(bad, FakeCameo(1)));
    EXPECT_FALSE(hub->RemoveCameo(bad));
    hub->CountCameoFrame(0, 0, bad, 0, 0, 0);
    EXPECT_EQ(hub->GetFreeCameoIndex(), 1);
    EXPECT_EQ(hub->GetCameo(0), FakeCameo(0));
}

INSTANTIATE_TEST_SUITE_P(Indices, ShellBadCameoIndex, ::testing::Values(-1, -50, 50, 51, INT_MIN, INT_MAX));

TEST_F(ShellHubTest, AddCameoRefusesNoGrid)
{
    EXPECT_FALSE(hub->AddCameo(3, nullptr));
    EXPECT_EQ(hub->GetCameo(3), nullptr);
    EXPECT_EQ(hub->GetFreeCameoIndex(), 0);
}

TEST_F(ShellHubTest, EmapWindowLookupChecksItsIndex)
{
    for (int i : {-1, 0, 1, 2, INT_MAX}) {
        EXPECT_EQ(hub->EmapViewSlots()->Window(i), nullptr) << i;
        EXPECT_FALSE(hub->IsEmapViewPopup(i)) << i;
    }
    EXPECT_EQ(hub->ConsoleDeviceIndex(), -1) << "no configuration console shows a recorder";
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
