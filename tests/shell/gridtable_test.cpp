// The grid table on its own (slots 0 to 49, one grid per slot, the lowest free slot, bad
// indices), and the picture hand-off through it: a grid leaves the table only after every
// hand-off already inside it has finished.
#include <QMutexLocker>
#include <QTest>
#include <atomic>
#include <chrono>
#include <climits>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "common/media/moduledecoder.h"
#include "session/moduledevice.h"
#include "shell/ccameo.h"
#include "shell/clientsessionhub.h"
#include "shell/gridtable.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_online_fixture.h"

namespace {

// Grids that are only stored and compared, never called, so distinct addresses will do.
CCameo* FakeCameo(int n)
{
    static char storage[8];
    return reinterpret_cast<CCameo*>(&storage[n]);
}

// Waits without running the event loop (the user-interface thread must not paint while the test
// holds a grid up); true once the condition holds, false after the limit.
bool WaitWithoutEvents(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace

TEST(GridTableTest, GridsTakeSlotsAndAFreedSlotIsTheLowestFree)
{
    GridTable table;
    EXPECT_EQ(table.GetFreeCameoIndex(), 0);
    EXPECT_TRUE(table.AddCameo(0, FakeCameo(0)));
    EXPECT_TRUE(table.AddCameo(1, FakeCameo(1)));
    EXPECT_EQ(table.GetFreeCameoIndex(), 2);
    EXPECT_EQ(table.GetCameo(1), FakeCameo(1));

    EXPECT_TRUE(table.RemoveCameo(0));
    EXPECT_FALSE(table.RemoveCameo(0)) << "removed once";
    EXPECT_EQ(table.GetCameo(0), nullptr);
    EXPECT_EQ(table.GetFreeCameoIndex(), 0);
}

TEST(GridTableTest, ATakenSlotKeepsTheFirstGrid)
{
    GridTable table;
    ASSERT_TRUE(table.AddCameo(7, FakeCameo(0)));
    EXPECT_FALSE(table.AddCameo(7, FakeCameo(1)));
    EXPECT_EQ(table.GetCameo(7), FakeCameo(0));
    EXPECT_FALSE(table.AddCameo(3, nullptr)) << "no grid";
    EXPECT_EQ(table.GetCameo(3), nullptr);
}

TEST(GridTableTest, FullTableHasNoFreeIndexUntilASlotIsFreed)
{
    GridTable table;
    for (int i = 0; i < GridTable::kSlots; ++i)
        ASSERT_TRUE(table.AddCameo(i, FakeCameo(i % 8)));
    EXPECT_EQ(table.GetFreeCameoIndex(), -1);
    EXPECT_TRUE(table.RemoveCameo(49));
    EXPECT_EQ(table.GetFreeCameoIndex(), 49);
}

TEST(GridTableTest, EveryOperationRefusesAnIndexOutsideTheSlots)
{
    GridTable table;
    ASSERT_TRUE(table.AddCameo(0, FakeCameo(0)));
    for (int bad : {-1, -50, 50, 51, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(table.GetCameo(bad), nullptr);
        EXPECT_FALSE(table.AddCameo(bad, FakeCameo(1)));
        EXPECT_FALSE(table.RemoveCameo(bad));
        // A grid index that is no slot reaches no grid (the stored one is not a real grid).
        table.CountCameoFrame(0, 0, bad, 0, false, false);
    }
    // Neither does a negative cell of a registered grid.
    table.CountCameoFrame(0, 0, 0, -1, false, false);
    EXPECT_EQ(table.GetFreeCameoIndex(), 1);
    EXPECT_EQ(table.GetCameo(0), FakeCameo(0));
}

class GridTableOnlineTest : public GridOnlineTest
{};

// A decode thread stopped in the middle of a hand-off (on the decoder's picture lock, which the
// test holds) keeps the grid's removal waiting; once the removal returns, no hand-off reaches
// the grid any more.
TEST_F(GridTableOnlineTest, RemovalWaitsForTheHandOffsInsideTheGrid)
{
    using namespace std::chrono_literals;
    CModuleDevice* rec = LoggedInRecorder("Depot");
    ASSERT_NE(rec, nullptr);
    const int r = rec->GetDeviceIndex();
    CModuleDecoder* decoder = rec->GetLiveDecoder(1);
    ASSERT_NE(decoder, nullptr);
    CCameo* grid = ShownGrid(CameoKind::Live, 16, 4, QSize(400, 300));
    grid->SetCameoChannel(1, r, 0);
    grid->hide(); // no paint may wait for the cells while a hand-off holds them
    const int g = grid->GetCameoIndex();
    Counted(grid, 0);

    std::atomic<bool> stop{false};
    std::atomic<bool> removed{false};
    std::thread decodeThread;
    std::thread remover;
    {
        QMutexLocker picture(decoder->GetPictureLock());
        // A live grid only tries its cells, so the thread tries until a hand-off is inside.
        decodeThread = std::thread([&] {
            while (!stop)
                hub->Sessions()->CountCameoFrame(r, 1, g, 0, 0, 0);
        });
        // The redraw thread takes the cells for a moment too; a hand-off waiting for the
        // picture lock keeps them for good.
        const auto handOffInside = [grid] {
            if (!grid->GetCellsLock()->tryLock(500))
                return true;
            grid->GetCellsLock()->unlock();
            return false;
        };
        ASSERT_TRUE(WaitWithoutEvents(handOffInside, 5s));
        remover = std::thread([&] {
            hub->Sessions()->RemoveCameo(g);
            removed = true;
        });
        EXPECT_FALSE(WaitWithoutEvents([&] { return removed.load(); }, 300ms))
            << "the removal waits for the hand-off inside the grid";
        stop = true;
    }
    decodeThread.join();
    remover.join();
    EXPECT_TRUE(removed);
    EXPECT_EQ(hub->Sessions()->GetCameo(g), nullptr);

    const int before = Counted(grid, 0);
    EXPECT_GT(before, 0) << "the hand-offs before the removal reached the cell";
    hub->Sessions()->CountCameoFrame(r, 1, g, 0, 0, 0);
    EXPECT_EQ(Counted(grid, 0), 0) << "no hand-off reaches a grid that left the table";
}
