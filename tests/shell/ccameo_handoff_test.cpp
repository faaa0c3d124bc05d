// The picture hand-off from the sessions' decode threads through the hub's grid table: which
// frames reach a cell, a busy cells lock, and grids destroyed while a worker hands pictures on.
#include <QTest>
#include <QThread>
#include <atomic>
#include <thread>

#include "session/moduledevice.h"
#include "shell/ccameo.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_fixture.h"

namespace {

class GridHandoffTest : public GridTest
{
protected:
    CCameo* ShownGrid(CameoKind kind, int cells, int split)
    {
        CCameo* grid = NewGrid(kind, cells, split);
        grid->resize(400, 300);
        grid->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(grid));
        return grid;
    }
    // Frames the cell counted since the last call.
    static int Counted(CCameo* grid, int cell)
    {
        grid->OnFPSTimer();
        return grid->GetCellFps(cell);
    }
};

} // namespace

TEST_F(GridHandoffTest, LiveFrameReachesOnlyTheShownCellBoundToItsChannel)
{
    CModuleDevice* rec = AddRecorder("R");
    CModuleDevice* other = AddRecorder("O");
    const int r = rec->GetDeviceIndex();
    CCameo* grid = ShownGrid(CameoKind::Live, 16, 4);
    const int g = grid->GetCameoIndex();
    grid->SetCameoChannel(3, r, 1);
    grid->SetCameoChannel(3, r, 5); // bound, but not on the page

    // Each wrong frame is handed on many times, so a pass of the redraw thread cannot hide
    // that it would have been counted.
    for (int i = 0; i < 50; ++i) {
        hub->Sessions()->CountCameoFrame(r, 4, g, 1, 0, 0);
        hub->Sessions()->CountCameoFrame(other->GetDeviceIndex(), 3, g, 1, 0, 0);
        hub->Sessions()->CountCameoFrame(r, 19, g, 1, 0, 0); // a playback frame
        hub->Sessions()->CountCameoFrame(r, 3, g, 5, 0, 0);
    }
    EXPECT_EQ(Counted(grid, 1), 0);
    EXPECT_EQ(Counted(grid, 5), 0);
    EXPECT_TRUE(grid->GetCell(1).IsBound());
    EXPECT_TRUE(grid->GetCell(5).IsBound());

    // The matching frame is counted; the recorder is not logged in, so the cell turns blank
    // and unbound at this picture.
    EXPECT_EQ(HandOffLiveUntilCounted(grid, r, 3, 1), 1);
    const CameoCell c = grid->GetCell(1);
    EXPECT_FALSE(c.IsBound());
    EXPECT_EQ(c.picture.size(), QSize(10, 10));
    EXPECT_EQ(c.rememberedChannel, 3) << "what the cell showed can still be restored";
}

TEST_F(GridHandoffTest, PlaybackFrameOfChannelThreeArrivesAsNineteen)
{
    CModuleDevice* rec = AddRecorder("R");
    const int r = rec->GetDeviceIndex();
    CCameo* grid = ShownGrid(CameoKind::Playback, 16, 4);
    grid->SetCameoChannel(3, r, 2);

    hub->Sessions()->CountCameoFrame(r, 3, grid->GetCameoIndex(), 2, 0, 0);
    EXPECT_TRUE(grid->GetCell(2).IsBound()) << "live channel numbers do not reach a playback grid";
    hub->Sessions()->CountCameoFrame(r, 18, grid->GetCameoIndex(), 2, 0, 0);
    EXPECT_TRUE(grid->GetCell(2).IsBound()) << "channel 2 is not the cell's";
    hub->Sessions()->CountCameoFrame(r, 19, grid->GetCameoIndex(), 2, 0, 0);
    EXPECT_FALSE(grid->GetCell(2).IsBound()) << "reached the cell (and found the recorder offline)";
}

TEST_F(GridHandoffTest, BusyCellsLeaveALiveFrameToTheNextComposition)
{
    CModuleDevice* rec = AddRecorder("R");
    const int r = rec->GetDeviceIndex();
    CCameo* grid = ShownGrid(CameoKind::Live, 16, 4);
    grid->SetCameoChannel(0, r, 0);
    grid->SetCameoChannel(1, r, 1);
    {
        // The hand-off returns at once while the cells are held: a decode thread never waits.
        QMutexLocker lock(grid->GetCellsLock());
        hub->Sessions()->CountCameoFrame(r, 0, grid->GetCameoIndex(), 0, 0, 0);
    }
    EXPECT_EQ(Counted(grid, 0), 0) << "not counted as a frame the cell took";
    // The next live frame may be a second away (key frames only): the composition takes this
    // one's picture instead. The recorder is not logged in, so the cell turns blank and unbound
    // once it has; the cell whose frame never came stays as it was.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !grid->GetCell(0).IsBound(); }, 10000))
        << "the picture of a frame that found the cells busy was never taken";
    EXPECT_TRUE(grid->GetCell(1).IsBound());
}

TEST_F(GridHandoffTest, BusyCellsMakeAPlaybackFrameWait)
{
    CModuleDevice* rec = AddRecorder("R");
    const int r = rec->GetDeviceIndex();
    CCameo* grid = ShownGrid(CameoKind::Playback, 16, 4);
    grid->SetCameoChannel(1, r, 0);
    std::atomic<bool> calling{false};
    std::thread worker;
    {
        QMutexLocker lock(grid->GetCellsLock());
        worker = std::thread([&] {
            calling = true;
            hub->Sessions()->CountCameoFrame(r, 17, grid->GetCameoIndex(), 0, 0, 0);
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return calling.load(); }, 5000));
        QThread::msleep(50); // let the worker reach the lock
    }
    worker.join();
    EXPECT_FALSE(grid->GetCell(0).IsBound()) << "the frame waited for the lock instead of being dropped";
}

TEST_F(GridHandoffTest, LocalFileGridTakesItsCellDecoderPicture)
{
    CCameo* grid = ShownGrid(CameoKind::Local, 16, 4);
    // The blank picture of the grid, until the cell's own decoder's picture replaces it (an
    // open decoder that has decoded nothing shows its own black placeholder).
    const qint64 blank = grid->GetCell(0).picture.cacheKey();
    hub->Sessions()->CountCameoFrame(CCameo::kLocalRecorder, 0, grid->GetCameoIndex(), 0, 0, 0);
    EXPECT_EQ(grid->GetCell(0).picture.cacheKey(), blank) << "an unbound cell stays blank";
    grid->SetCellChannel(0, CCameo::kLocalRecorder, 0);
    // Like a live one, a local hand-off skips a picture while the redraw thread holds the
    // cells; the cell's thread keeps handing pictures on.
    const auto handedOn = [&] {
        hub->Sessions()->CountCameoFrame(CCameo::kLocalRecorder, 0, grid->GetCameoIndex(), 0, 0, 0);
        return grid->GetCell(0).picture.cacheKey() != blank;
    };
    EXPECT_TRUE(QTest::qWaitFor(handedOn, 5000));
    EXPECT_EQ(grid->GetCell(0).picture.size(), QSize(10, 10));
}

// A worker hands pictures to a grid index while the user-interface thread destroys the grid and
// builds a new one in the same slot: no hand-off may touch the destroyed grid.
TEST_F(GridHandoffTest, GridDestroyedWhileAWorkerHandsPicturesOn)
{
    CModuleDevice* rec = AddRecorder("R");
    const int r = rec->GetDeviceIndex();
    struct Case
    {
        CameoKind kind;
        int recorder;
        int channel;
    };
    const Case cases[] = {
        {CameoKind::Local, CCameo::kLocalRecorder, 0},
        {CameoKind::Playback, r, 16},
        {CameoKind::Live, r, 0},
    };
    for (const Case& c : cases) {
        CCameo* grid = ShownGrid(c.kind, 16, 4);
        const int g = grid->GetCameoIndex();
        const qint64 blank = grid->GetCell(0).picture.cacheKey();
        if (c.kind != CameoKind::Local)
            grid->SetCameoChannel(c.channel % 16, c.recorder, 0);
        else
            for (int cell = 0; cell < 4; ++cell)
                grid->SetCellChannel(cell, c.recorder, 0);

        std::atomic<bool> stop{false};
        std::atomic<long> calls{0};
        std::thread worker([&] {
            while (!stop) {
                for (int cell = 0; cell < 4; ++cell)
                    hub->Sessions()->CountCameoFrame(c.recorder, c.channel, g, cell, 0, 0);
                ++calls;
            }
        });
        // A live or local hand-off skips a picture while the redraw thread holds the cells, so
        // the worker's reaching the grid is waited for, not a number of hand-offs.
        const auto reached = [&] {
            const CameoCell cell = grid->GetCell(0);
            return c.kind == CameoKind::Local ? cell.picture.cacheKey() != blank : !cell.IsBound();
        };
        ASSERT_TRUE(QTest::qWaitFor(reached, 30000)) << "the worker reached the grid";

        DeleteGrid(grid);
        EXPECT_EQ(hub->Sessions()->GetCameo(g), nullptr);
        const long after = calls.load();
        // The worker goes on handing pictures to the slot while it is empty.
        ASSERT_TRUE(QTest::qWaitFor([&] { return calls.load() > after + 500; }, 30000));

        // The slot is taken again; the same worker's pictures now go to the new grid.
        CCameo* next = ShownGrid(CameoKind::Local, 16, 4);
        EXPECT_EQ(next->GetCameoIndex(), g);
        const qint64 nextBlank = next->GetCell(1).picture.cacheKey();
        next->SetCellChannel(1, CCameo::kLocalRecorder, 0);
        EXPECT_TRUE(QTest::qWaitFor([&] { return next->GetCell(1).picture.cacheKey() != nextBlank; }, 30000));
        stop = true;
        worker.join();
        DeleteGrid(next);
    }
}
