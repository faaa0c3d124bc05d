// The recorder table on its own: slots 0 to 9998 checked as unsigned indices, one session per
// slot, the lowest free slot, the first exact name, and the logged-in flags of the sessions in
// it. The sessions here belong to no hub, so only this table holds them.
#include <climits>
#include <memory>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "session/moduledevice.h"
#include "session/recordertable.h"
#include "session/support/moduledevice_testaccess.h"
#include "support/named_recorders.h"

namespace {

class RecorderTableTest : public ::testing::Test
{
protected:
    // A recorder session item whose entry record carries the name; in no table yet.
    CModuleDevice* Recorder(const QString& name) { return m_recorders.Add(name); }

    // Registered in the lowest free slot, as a session registers itself.
    CModuleDevice* Registered(const QString& name)
    {
        CModuleDevice* device = Recorder(name);
        EXPECT_TRUE(table.AddDevice(table.GetFreeDeviceIndex(), device));
        return device;
    }

    RecorderTable table;

private:
    NamedRecorders m_recorders;
};

} // namespace

TEST_F(RecorderTableTest, EveryOperationRefusesAnIndexOutsideTheSlots)
{
    CModuleDevice* a = Registered("A");
    CModuleDevice* b = Recorder("B");
    for (int bad : {-1, -2, -9999, 9999, 10000, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(table.GetDevice(bad), nullptr);
        EXPECT_FALSE(table.AddDevice(bad, b));
        EXPECT_FALSE(table.RemoveDevice(bad));
    }
    EXPECT_EQ(table.GetDevice(0), a);
    EXPECT_EQ(table.GetFreeDeviceIndex(), 1);
    EXPECT_EQ(table.FindDeviceByName("B"), -1) << "no refused call left the session anywhere";
}

TEST_F(RecorderTableTest, FirstAndLastSlotsAreUsable)
{
    CModuleDevice* first = Recorder("First");
    CModuleDevice* last = Recorder("Last");
    ASSERT_TRUE(table.AddDevice(0, first));
    ASSERT_TRUE(table.AddDevice(RecorderTable::kSlots - 1, last));
    EXPECT_EQ(table.GetDevice(RecorderTable::kSlots - 1), last);
    EXPECT_EQ(table.FindDeviceByName("Last"), RecorderTable::kSlots - 1);
    EXPECT_TRUE(table.RemoveDevice(RecorderTable::kSlots - 1));
    EXPECT_EQ(table.GetDevice(RecorderTable::kSlots - 1), nullptr);
}

TEST_F(RecorderTableTest, ATakenSlotKeepsItsSessionAndAFreeOneIsRemovedOnce)
{
    CModuleDevice* a = Registered("A");
    CModuleDevice* other = Recorder("Other");
    EXPECT_FALSE(table.AddDevice(0, other));
    EXPECT_EQ(table.GetDevice(0), a);
    EXPECT_FALSE(table.AddDevice(1, nullptr)) << "no session";
    EXPECT_EQ(table.GetFreeDeviceIndex(), 1);

    EXPECT_TRUE(table.RemoveDevice(0));
    EXPECT_FALSE(table.RemoveDevice(0));
    EXPECT_EQ(table.GetDevice(0), nullptr);
    EXPECT_EQ(table.GetFreeDeviceIndex(), 0);
}

TEST_F(RecorderTableTest, FullTableHasNoFreeIndexUntilASlotIsFreed)
{
    CModuleDevice* any = Recorder("Any");
    for (int i = 0; i < RecorderTable::kSlots; ++i)
        ASSERT_TRUE(table.AddDevice(i, any));
    EXPECT_EQ(table.GetFreeDeviceIndex(), -1);
    ASSERT_TRUE(table.RemoveDevice(4321));
    EXPECT_EQ(table.GetFreeDeviceIndex(), 4321);
}

struct FindCase
{
    const char* what;
    std::vector<QString> names; // registered from slot 0 on
    QString query;
    int expected;
};

void PrintTo(const FindCase& c, std::ostream* out)
{
    *out << c.what;
}

class RecorderTableFind : public RecorderTableTest, public ::testing::WithParamInterface<FindCase>
{};

TEST_P(RecorderTableFind, FindsTheFirstExactName)
{
    const FindCase& c = GetParam();
    for (const QString& n : c.names)
        Registered(n);
    EXPECT_EQ(table.FindDeviceByName(c.query), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecorderTableFind,
    ::testing::Values(FindCase{"no recorders", {}, "Lobby", -1},
                      FindCase{"single match", {"Lobby", "Gate"}, "Gate", 1},
                      FindCase{"two equal names give the lower index", {"Yard", "Gate", "Gate"}, "Gate", 1},
                      FindCase{"no match", {"Lobby", "Gate"}, "Garage", -1},
                      FindCase{"case matters", {"Lobby"}, "lobby", -1},
                      FindCase{"no partial match", {"Lobby 2"}, "Lobby", -1},
                      FindCase{"empty name never matches", {"", "Lobby"}, "", -1}),
    [](const ::testing::TestParamInfo<FindCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(RecorderTableTest, FreedSlotsAreNotSearched)
{
    Registered("Gate");
    Registered("Gate");
    ASSERT_TRUE(table.RemoveDevice(0));
    EXPECT_EQ(table.FindDeviceByName("Gate"), 1);
}

TEST_F(RecorderTableTest, AnyDeviceConnectedFollowsTheLoggedInFlagsOfRegisteredSessions)
{
    CModuleDevice* a = Registered("A");
    CModuleDevice* b = Registered("B");
    EXPECT_FALSE(table.IsAnyDeviceConnected());
    CModuleDeviceTestAccess::SetLoggedIn(*b, true);
    EXPECT_TRUE(table.IsAnyDeviceConnected());
    CModuleDeviceTestAccess::SetLoggedIn(*b, false);
    CModuleDeviceTestAccess::SetLoggedIn(*a, true);
    EXPECT_TRUE(table.IsAnyDeviceConnected());
    ASSERT_TRUE(table.RemoveDevice(0));
    EXPECT_FALSE(table.IsAnyDeviceConnected()) << "a session that left the table no longer counts";
    CModuleDeviceTestAccess::SetLoggedIn(*a, false);
}
