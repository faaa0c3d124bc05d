// Grid cells: the grid table, kinds, binding with the route written into the recorder's session,
// clearing, disconnecting, swapping, resetting, pages of a split and bad indices.
#include <QSignalSpy>
#include <QTest>

#include "session/cameoroute.h"
#include "session/moduledevice.h"
#include "shell/ccameo.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_fixture.h"

namespace {

struct RouteValues
{
    int liveGrid, liveCell, emapGrid, emapCell, playbackCell;
};

RouteValues Read(CModuleDevice* device, int channel)
{
    const CameoRoute* r = device->GetCameoRoute(channel);
    return {r->liveGrid.load(), r->liveCell.load(), r->emapGrid.load(), r->emapCell.load(),
            r->playbackCell.load()};
}

bool IsUnrouted(CModuleDevice* device, int channel)
{
    const RouteValues v = Read(device, channel);
    return v.liveGrid == -1 && v.liveCell == -1 && v.emapGrid == -1 && v.emapCell == -1 && v.playbackCell == -1;
}

} // namespace

TEST_F(GridTest, GridTakesTheFirstFreeSlotAndLeavesTheTableWhenDestroyed)
{
    CCameo* a = NewFreshGrid();
    CCameo* b = NewFreshGrid();
    EXPECT_EQ(a->GetCameoIndex(), 0);
    EXPECT_EQ(b->GetCameoIndex(), 1);
    EXPECT_EQ(hub->Sessions()->GetCameo(0), a);
    EXPECT_EQ(b->GetDragMimeType(), QStringLiteral("application/cameodrag_1"));

    DeleteGrid(a);
    EXPECT_EQ(hub->Sessions()->GetCameo(0), nullptr);
    CCameo* c = NewFreshGrid();
    EXPECT_EQ(c->GetCameoIndex(), 0);
}

TEST_F(GridTest, GridBuiltWithAFullTableWorksButWritesNoRoute)
{
    for (int i = 0; i < MainWindow::kCameoSlots; ++i)
        NewFreshGrid();
    CModuleDevice* rec = AddRecorder("R");
    CCameo* extra = NewGrid(CameoKind::Live, 16);
    EXPECT_EQ(extra->GetCameoIndex(), -1);
    EXPECT_EQ(extra->GetSplit(), 16);

    extra->SetCellChannel(2, rec->GetDeviceIndex(), 4);
    EXPECT_EQ(extra->GetCell(2).channel, 4);
    EXPECT_TRUE(IsUnrouted(rec, 4)) << "an unregistered grid must not claim a route";
}

TEST_F(GridTest, InitCameoSetsKindCellsAndSplitOnce)
{
    struct Case
    {
        CameoKind kind;
        int cells, split;
        int wantCells, wantSplit;
    };
    const Case cases[] = {
        {CameoKind::Live, 64, -1, 64, 64}, {CameoKind::Playback, 16, -1, 16, 16}, {CameoKind::Local, 1, -1, 1, 1},
        {CameoKind::Live, 1, -1, 1, 1},    {CameoKind::Live, 64, 16, 64, 16},
    };
    for (const Case& c : cases) {
        CCameo* grid = NewGrid(c.kind, c.cells, c.split);
        EXPECT_EQ(grid->GetKind(), c.kind);
        EXPECT_EQ(grid->GetCellCount(), c.wantCells);
        EXPECT_EQ(grid->GetSplit(), c.wantSplit);
        EXPECT_TRUE(grid->IsRedrawThreadRunning());
        grid->InitCameo((int(c.kind) + 1) % 3, 4, -1); // a second call changes nothing
        EXPECT_EQ(grid->GetKind(), c.kind);
        EXPECT_EQ(grid->GetCellCount(), c.wantCells);
        DeleteGrid(grid);
    }
}

TEST_F(GridTest, InitCameoIgnoresBadArguments)
{
    struct Case
    {
        int kind, cells, split;
    };
    const Case cases[] = {{3, 16, -1}, {-1, 16, -1}, {0, 0, -1}, {0, 65, -1},
                          {0, 16, 17}, {0, 16, 0},   {1, 16, 17}};
    for (const Case& c : cases) {
        CCameo* grid = NewFreshGrid();
        grid->InitCameo(c.kind, c.cells, c.split);
        EXPECT_EQ(grid->GetKind(), CameoKind::Live);
        EXPECT_EQ(grid->GetCellCount(), 16);
        EXPECT_FALSE(grid->IsRedrawThreadRunning());
        DeleteGrid(grid);
    }
}

TEST_F(GridTest, BindingWritesTheRouteOfTheGridKind)
{
    CModuleDevice* rec = AddRecorder("R");
    const int r = rec->GetDeviceIndex();

    CCameo* live = NewGrid(CameoKind::Live, 64, 16);
    live->SetCellChannel(5, r, 3);
    EXPECT_EQ(live->GetCell(5).recorder, r);
    EXPECT_EQ(live->GetCell(5).channel, 3);
    RouteValues v = Read(rec, 3);
    EXPECT_EQ(v.liveGrid, live->GetCameoIndex());
    EXPECT_EQ(v.liveCell, 5);
    EXPECT_EQ(v.emapGrid, -1);

    CCameo* tile = NewEmapTile();
    tile->SetCellChannel(0, r, 3);
    v = Read(rec, 3);
    EXPECT_EQ(v.emapGrid, tile->GetCameoIndex());
    EXPECT_EQ(v.emapCell, 0);
    EXPECT_EQ(v.liveGrid, live->GetCameoIndex()) << "the e-map tile keeps the live route";

    CCameo* playback = NewGrid(CameoKind::Playback, 16);
    playback->SetCellChannel(7, r, 2);
    EXPECT_EQ(rec->GetPlaybackGrid(), playback->GetCameoIndex());
    EXPECT_EQ(Read(rec, 2).playbackCell, 7);
    EXPECT_EQ(Read(rec, 2).liveGrid, -1);

    CCameo* local = NewGrid(CameoKind::Local, 16);
    local->SetCellChannel(1, r, 9);
    EXPECT_EQ(local->GetCell(1).channel, 9);
    EXPECT_TRUE(IsUnrouted(rec, 9)) << "local-file grids route nothing";
}

TEST_F(GridTest, BindingARecorderThatIsNotInTheHubStoresOnlyTheCell)
{
    CModuleDevice* rec = AddRecorder("R");
    CCameo* grid = NewGrid(CameoKind::Live, 16);
    grid->SetCellChannel(0, rec->GetDeviceIndex() + 5, 1);
    EXPECT_EQ(grid->GetCell(0).recorder, rec->GetDeviceIndex() + 5);
    EXPECT_TRUE(IsUnrouted(rec, 1));
}

TEST_F(GridTest, BadIndicesAreIgnored)
{
    CModuleDevice* rec = AddRecorder("R");
    const int r = rec->GetDeviceIndex();
    CCameo* grid = NewGrid(CameoKind::Live, 16, 4);
    grid->SetCellChannel(1, r, 2);

    struct Bind
    {
        int cell, recorder, channel;
    };
    const Bind binds[] = {{-1, r, 0}, {64, r, 0}, {1, r, 16}, {1, r, -2}, {1, 9999, 0}, {1, -5, 3}, {1, r, -1}};
    for (const Bind& b : binds)
        grid->SetCellChannel(b.cell, b.recorder, b.channel);
    EXPECT_EQ(grid->GetCell(1).recorder, r);
    EXPECT_EQ(grid->GetCell(1).channel, 2);
    EXPECT_EQ(Read(rec, 2).liveCell, 1);

    grid->SetCameoChannel(16, r, 1);
    grid->SetCameoChannel(0, r, 16); // beyond the cell count
    grid->SetCameoChannel(0, 12000, 1);
    EXPECT_EQ(grid->GetCell(1).channel, 2);
    EXPECT_FALSE(grid->GetCell(16).IsBound());

    grid->OnSwapCameo(1, 64);
    grid->OnSwapCameo(-1, 1);
    grid->OnSwapCameo(1, 16);
    EXPECT_EQ(grid->GetCell(1).channel, 2);

    grid->ResetCell(16);
    grid->ResetCell(-2);
    EXPECT_EQ(grid->GetCell(1).active, 1);

    grid->ClearDeviceChannel(r, 16);
    grid->ClearDeviceChannel(-1, 2);
    grid->SetDisconnectCameo(-3);
    grid->SetDisconnectCameo(9999);
    EXPECT_TRUE(grid->GetCell(1).IsBound());

    grid->OnSplitMode(16, 4, false); // first cell beyond the cell count
    grid->OnSplitMode(0, 0, false);
    grid->OnSplitMode(0, 17, false);
    grid->OnSplitMode(-5, 4, false);
    EXPECT_EQ(grid->GetSplit(), 4);
    EXPECT_EQ(grid->GetFirstCell(), 0);

    hub->Sessions()->CountCameoFrame(r, 2, grid->GetCameoIndex(), 64, 0, 0);
    hub->Sessions()->CountCameoFrame(r, 2, 50, 1, 0, 0);
    hub->Sessions()->CountCameoFrame(r, 2, -1, 1, 0, 0);
    grid->OnChannelFrame(r, 2, -1, false, false);
    grid->OnChannelFrame(r, 40, 1, false, false);
    grid->OnDrawCameo(64);
    grid->OnDrawCameo(-7);
    hub->Sessions()->ClearDeviceCells(r, 16, 0);
    hub->Sessions()->ClearDeviceCells(-1, 2, 0);
    hub->Sessions()->OnDeviceDisconnected(-1, 0);
    {
        QMutexLocker lock(grid->GetCellsLock());
        grid->SetCameoImage(Solid(4, 4, Qt::red), 64, false);
        grid->SetCameoImage(Solid(4, 4, Qt::red), -1, false);
    }
    EXPECT_EQ(grid->GetCell(1).channel, 2);
    EXPECT_EQ(grid->GetCell(1).recorder, r);
}

TEST_F(GridTest, RebindingACellRemembersThePairAndResetsTheDisplay)
{
    CModuleDevice* rec = AddRecorder("R");
    const int r = rec->GetDeviceIndex();
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    hub->Sessions()->SetActiveCameoIndex(-1);

    grid->SetCameoChannel(6, r, 3);
    CameoCell c = grid->GetCell(3);
    EXPECT_EQ(c.recorder, r);
    EXPECT_EQ(c.channel, 6);
    EXPECT_EQ(c.rememberedRecorder, r);
    EXPECT_EQ(c.rememberedChannel, 6);
    EXPECT_EQ(c.osdDate, -1);
    EXPECT_EQ(c.osdTime, -1);
    EXPECT_EQ(c.liveStarted, 1) << "a live grid asks the existing recorder for the channel";
    EXPECT_EQ(hub->Sessions()->GetActiveCameoIndex(), grid->GetCameoIndex());
    EXPECT_EQ(grid->GetAdjustFrameRate(), 15) << "an offline recorder gives the panel defaults";
    EXPECT_TRUE(rec->IsLiveWanted(6));

    // Cell -1 is the selected cell (the first cell of the page).
    grid->SetCameoChannel(2, r, -1);
    EXPECT_EQ(grid->GetSelectedCell(), 0);
    EXPECT_EQ(grid->GetCell(0).channel, 2);

    CCameo* playback = NewGrid(CameoKind::Playback, 16);
    playback->SetCameoChannel(1, r, 0);
    EXPECT_EQ(playback->GetCell(0).liveStarted, 0);
}

TEST_F(GridTest, ClearingAChannelEmptiesTheFirstLiveCellThatShowsIt)
{
    CModuleDevice* rec = AddRecorder("R");
    CModuleDevice* other = AddRecorder("O");
    const int r = rec->GetDeviceIndex();
    CCameo* live = NewGrid(CameoKind::Live, 64, 16);
    CCameo* tile = NewEmapTile();
    CCameo* playback = NewGrid(CameoKind::Playback, 16);
    live->SetCameoChannel(2, r, 1);
    live->SetCameoChannel(2, r, 4);
    live->SetCameoChannel(2, other->GetDeviceIndex(), 5);
    tile->SetCellChannel(0, r, 2);
    playback->SetCellChannel(0, r, 2);

    hub->Sessions()->ClearDeviceCells(r, 2, 0);
    EXPECT_FALSE(live->GetCell(1).IsBound());
    EXPECT_EQ(live->GetCell(1).rememberedRecorder, -1);
    EXPECT_EQ(live->GetCell(1).liveStarted, 0);
    EXPECT_TRUE(live->GetCell(4).IsBound()) << "only the first cell of the pair is cleared";
    EXPECT_TRUE(live->GetCell(5).IsBound());
    EXPECT_TRUE(tile->GetCell(0).IsBound()) << "e-map tiles keep their camera";
    EXPECT_TRUE(playback->GetCell(0).IsBound());
    EXPECT_EQ(Read(rec, 2).liveCell, 4) << "the route names the cell that still shows the channel";

    // Channel -1 clears every channel of the recorder.
    live->SetCameoChannel(7, r, 8);
    hub->Sessions()->ClearDeviceCells(r, -1, 0);
    EXPECT_FALSE(live->GetCell(4).IsBound());
    EXPECT_FALSE(live->GetCell(8).IsBound());
    EXPECT_TRUE(live->GetCell(5).IsBound());
    EXPECT_EQ(Read(rec, 7).liveGrid, -1) << "no route is left to an emptied cell";
}

TEST_F(GridTest, DisconnectEmptiesEveryCellOfTheRecorderInMatchingGrids)
{
    CModuleDevice* rec = AddRecorder("R");
    CModuleDevice* other = AddRecorder("O");
    const int r = rec->GetDeviceIndex();
    CCameo* live = NewGrid(CameoKind::Live, 64, 16);
    CCameo* playback = NewGrid(CameoKind::Playback, 16);
    live->SetCameoChannel(0, r, 0);
    live->SetCameoChannel(3, r, 1);
    live->SetCameoChannel(0, other->GetDeviceIndex(), 2);
    playback->OnConnectDevice(4, r);
    playback->SetCellChannel(0, r, 0);
    EXPECT_EQ(playback->GetPlaybackRecorder(), r);

    // Kind 1 reaches remote-playback grids only.
    hub->Sessions()->OnDeviceDisconnected(r, 1);
    EXPECT_TRUE(live->GetCell(0).IsBound());
    EXPECT_FALSE(playback->GetCell(0).IsBound());
    EXPECT_EQ(playback->GetPlaybackRecorder(), -1);

    hub->Sessions()->OnDeviceDisconnected(r, 0);
    EXPECT_FALSE(live->GetCell(0).IsBound());
    EXPECT_FALSE(live->GetCell(3).IsBound());
    EXPECT_EQ(live->GetCell(3).rememberedChannel, -1);
    EXPECT_TRUE(live->GetCell(2).IsBound());
}

TEST_F(GridTest, PlaybackGridSplitFollowsTheChannelCount)
{
    CModuleDevice* rec = AddRecorder("R");
    struct Case
    {
        int channels, split;
    };
    const Case cases[] = {{8, 9}, {12, 16}, {4, 4}, {16, 16}, {1, 1}};
    for (const Case& c : cases) {
        CCameo* grid = NewGrid(CameoKind::Playback, 16);
        grid->OnConnectDevice(c.channels, rec->GetDeviceIndex());
        EXPECT_EQ(grid->GetSplit(), c.split) << c.channels << " channels";
        EXPECT_EQ(grid->GetCellCount(), c.split);
        DeleteGrid(grid);
    }
}

TEST_F(GridTest, SwappingKeepsEachPlaceAndMovesTheContents)
{
    CModuleDevice* rec = AddRecorder("R");
    const int r = rec->GetDeviceIndex();
    CCameo* grid = NewGrid(CameoKind::Live, 16, 4);
    grid->SetCameoChannel(1, r, 0);
    grid->SetCameoChannel(2, r, 3);
    PutPicture(grid, 3, Solid(8, 8, Qt::blue));
    const CameoCell before0 = grid->GetCell(0);
    const CameoCell before3 = grid->GetCell(3);

    grid->OnSwapCameo(0, 3);
    const CameoCell after0 = grid->GetCell(0);
    const CameoCell after3 = grid->GetCell(3);
    EXPECT_EQ(after0.channel, 2);
    EXPECT_EQ(after3.channel, 1);
    EXPECT_EQ(after0.picture.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(after0.column, before0.column);
    EXPECT_EQ(after0.row, before0.row);
    EXPECT_EQ(after3.column, before3.column);
    EXPECT_EQ(after3.row, before3.row);
    EXPECT_EQ(after0.selected, before3.selected);
}

TEST_F(GridTest, ResetKeepsTheBindingAndClearsTheDisplay)
{
    CModuleDevice* rec = AddRecorder("R");
    CCameo* grid = NewGrid(CameoKind::Live, 16, 4);
    grid->SetCameoChannel(1, rec->GetDeviceIndex(), 2);
    PutPicture(grid, 2, Solid(8, 8, Qt::green));

    grid->ResetCell(2);
    CameoCell c = grid->GetCell(2);
    EXPECT_EQ(c.active, 0);
    EXPECT_EQ(c.selected, 0);
    EXPECT_EQ(c.column, 0);
    EXPECT_EQ(c.row, 0);
    EXPECT_EQ(c.osdDate, 0);
    EXPECT_FLOAT_EQ(c.zoom, 1.0f);
    EXPECT_EQ(c.picture.size(), QSize(10, 10)) << "the blank picture";
    EXPECT_EQ(c.picture.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(c.channel, 1);
    EXPECT_EQ(c.liveStarted, 1) << "resetting one cell keeps its live request";

    grid->ResetCell(-1);
    EXPECT_EQ(grid->GetCell(2).liveStarted, 0);
    EXPECT_EQ(grid->GetCell(0).active, 0);
    EXPECT_EQ(grid->GetCell(2).channel, 1);
}

TEST_F(GridTest, CloseAllEmptiesCellsAndKeepsWhatTheyShowed)
{
    CModuleDevice* rec = AddRecorder("R");
    CCameo* grid = NewGrid(CameoKind::Live, 16, 4);
    grid->SetCameoChannel(5, rec->GetDeviceIndex(), 1);
    grid->CloseAllCameo();
    const CameoCell c = grid->GetCell(1);
    EXPECT_FALSE(c.IsBound());
    EXPECT_EQ(c.rememberedRecorder, rec->GetDeviceIndex());
    EXPECT_EQ(c.rememberedChannel, 5);
    EXPECT_EQ(Read(rec, 5).liveGrid, -1);
}

TEST_F(GridTest, SplitShowsConsecutiveCellsFromTheRoundedFirstCell)
{
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    grid->OnSplitMode(10, 4, false);
    EXPECT_EQ(grid->GetFirstCell(), 8);
    EXPECT_EQ(grid->GetSelectedCell(), 8);
    EXPECT_EQ(grid->GetLayoutCell(0, 0), 8);
    EXPECT_EQ(grid->GetLayoutCell(1, 0), 9);
    EXPECT_EQ(grid->GetLayoutCell(0, 1), 10);
    EXPECT_EQ(grid->GetLayoutCell(1, 1), 11);
    EXPECT_EQ(grid->GetLayoutCell(2, 0), -1);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(grid->GetCell(i).active, i >= 8 && i <= 11 ? 1 : 0) << "cell " << i;
    EXPECT_EQ(grid->GetCell(8).selected, 1);
    EXPECT_EQ(grid->GetCell(11).column, 1);
    EXPECT_EQ(grid->GetCell(11).row, 1);

    // The split already shown moves to the next page, and from the last page back to cell 0.
    grid->OnSplitMode(-1, 4, false);
    EXPECT_EQ(grid->GetFirstCell(), 12);
    grid->OnSplitMode(60, 4, false);
    EXPECT_EQ(grid->GetFirstCell(), 0);
}

TEST_F(GridTest, PagesWrapAroundTheCellCount)
{
    CCameo* grid = NewGrid(CameoKind::Playback, 16, 9);
    EXPECT_EQ(grid->GetFirstCell(), 0);
    grid->OnSplitMode(-1, 9, false);
    EXPECT_EQ(grid->GetFirstCell(), 9);
    const int shown[] = {9, 10, 11, 12, 13, 14, 15, 0, 1};
    int k = 0;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(grid->GetLayoutCell(column, row), shown[k++]);
    }
    EXPECT_EQ(grid->GetCell(2).active, 0);

    CCameo* tile = NewEmapTile();
    tile->OnSplitMode(0, 9, false);
    EXPECT_EQ(tile->GetSplit(), 1) << "a split larger than the cell count changes nothing";
}

TEST_F(GridTest, RepaintTimerFollowsTheSplit)
{
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    // The timer only delays a repaint that waits: once the compositions made so far are on the
    // screen nothing runs.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !grid->IsRepaintTimerActive(); }, 10000));
    struct Case
    {
        int split, interval;
    };
    const Case cases[] = {{1, 33}, {4, 66}, {9, 99}, {16, 120}, {25, 250}, {36, 250}, {64, 250}};
    for (const Case& c : cases) {
        grid->OnSplitMode(0, c.split, false);
        EXPECT_EQ(grid->GetRepaintInterval(), c.interval) << "split " << c.split;
    }
    CCameo* tile = NewEmapTile();
    EXPECT_EQ(tile->GetRepaintInterval(), 250);
}

TEST_F(GridTest, RedrawThreadPacesBySplit)
{
    CCameo* grid = NewGrid(CameoKind::Live, 64, 16);
    struct Case
    {
        int split, interval;
    };
    const Case cases[] = {{1, 33}, {4, 66}, {9, 120}, {16, 250}, {4, 66}};
    for (const Case& c : cases) {
        grid->OnSplitMode(0, c.split, false);
        EXPECT_TRUE(QTest::qWaitFor([&] { return grid->GetRedrawInterval() == c.interval; }, 5000))
            << "split " << c.split << " interval " << grid->GetRedrawInterval();
    }
    CCameo* tile = NewEmapTile();
    EXPECT_EQ(tile->GetRedrawInterval(), 250);
}

TEST_F(GridTest, CellAtUsesTheLayoutAndRefusesPointsOutside)
{
    CCameo* grid = NewGrid(CameoKind::Live, 16, 4);
    grid->resize(400, 300);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid));
    EXPECT_EQ(grid->CellAt(10, 10), 0);
    EXPECT_EQ(grid->CellAt(250, 10), 1);
    EXPECT_EQ(grid->CellAt(10, 200), 2);
    EXPECT_EQ(grid->CellAt(399, 299), 3);
    EXPECT_EQ(grid->CellAt(400, 10), -1);
    EXPECT_EQ(grid->CellAt(10, 300), -1);
    EXPECT_EQ(grid->CellAt(-1, 10), -1);
    grid->OnSplitMode(4, 4, false); // the split shown: the next page, cells 8 to 11
    EXPECT_EQ(grid->CellAt(250, 200), 11);
}

TEST_F(GridTest, FrameRateTimerTakesTheCountOfTheLastSecond)
{
    CModuleDevice* rec = AddRecorder("R");
    CCameo* grid = NewGrid(CameoKind::Live, 16, 4);
    grid->resize(400, 300);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid));
    grid->SetCameoChannel(3, rec->GetDeviceIndex(), 1);
    EXPECT_EQ(HandOffLiveUntilCounted(grid, rec->GetDeviceIndex(), 3, 1, true), 1);
    grid->OnFPSTimer();
    EXPECT_EQ(grid->GetCellFps(1), 0);
}
