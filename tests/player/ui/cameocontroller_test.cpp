#include "ui/cameocontroller.h"

#include "support/fakecameo.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CameoControllerTest : public ::testing::Test
{
protected:
    CameoControllerTest()
        : controller(&grid, &host, &engine)
    {
        controller.SetAfterLayout([this] { ++afterLayout; });
        controller.Layout(400, 400, 1, false, false, false); // 4-split, tiles 0..3, 200 x 200 each
        folder = dir.path() + "/";
        QFile file(folder + "h080510.003");
        file.open(QIODevice::WriteOnly);
        file.write("frames");
        QFile other(folder + "notes.txt");
        other.open(QIODevice::WriteOnly);
        other.write("x");
    }

    void LivePair(int tile, int server, int camera)
    {
        grid.Update(tile, [=](CameoItem& item) {
            item.assigned = 1;
            item.serverId = server;
            item.camera = camera;
            item.frameRate = 7;
        });
    }

    QTemporaryDir dir;
    QString folder;
    CameoGrid grid;
    FakeCameoHost host;
    FakeCameoEngine engine;
    CameoController controller;
    int afterLayout = 0;
};

QPoint CentreOf(int tile)
{
    return QPoint(100 + (tile % 2) * 200, 100 + (tile / 2) * 200);
}

} // namespace

TEST_F(CameoControllerTest, OpenFileMakesAFileTileAndHandsTheFileToThePlayer)
{
    EXPECT_EQ(controller.OpenFile(2, folder, "h080510.003"), 0);
    const CameoItem item = *grid.GetCameo(2);
    EXPECT_EQ(item.assigned, 1);
    EXPECT_EQ(item.fileTile, 1);
    EXPECT_EQ(item.sourceId, kFileSourceId);
    EXPECT_EQ(item.channel, 2);
    EXPECT_EQ(host.playbackTiles, std::vector<int>{2});
    EXPECT_EQ(host.players[2].calls, QStringList{QStringLiteral("open %1h080510.003 2").arg(folder)});
    EXPECT_EQ(grid.FindCameo(kFileSourceId, 2), 2);
}

TEST_F(CameoControllerTest, OpenFileThatFailsLeavesThePlayingTileAlone)
{
    ASSERT_EQ(controller.OpenFile(2, folder, "h080510.003"), 0);
    host.SetTilePlaying(2, true);
    host.players[2].calls.clear();
    EXPECT_EQ(controller.OpenFile(2, folder, "h999999.001"), -1); // missing
    EXPECT_EQ(controller.OpenFile(2, folder, "notes.txt"), -1);   // not a recording
    EXPECT_EQ(controller.OpenFile(16, folder, "h080510.003"), -1);
    EXPECT_EQ(controller.OpenFile(-1, folder, "h080510.003"), -1);
    EXPECT_TRUE(host.players[2].calls.isEmpty());
    EXPECT_EQ(grid.GetCameo(2)->fileTile, 1);
    EXPECT_TRUE(host.IsTilePlaying(2));
}

TEST_F(CameoControllerTest, ReopeningATileStopsItsPlayerFirst)
{
    ASSERT_EQ(controller.OpenFile(1, folder, "h080510.003"), 0);
    host.SetTilePlaying(1, true);
    grid.Update(1, [](CameoItem& item) { item.zoom = 2.0f; });
    ASSERT_EQ(controller.OpenFile(1, folder, "h080510.003"), 0);
    EXPECT_EQ(host.players[1].calls.mid(1, 2), (QStringList{"stop", "close"}));
    EXPECT_FALSE(host.IsTilePlaying(1));
    EXPECT_FLOAT_EQ(grid.GetCameo(1)->zoom, 1.0f);
    EXPECT_EQ(engine.settings[std::make_pair(1, 2)], 0);
    EXPECT_EQ(engine.settings[std::make_pair(1, 3)], 0);
    EXPECT_TRUE(engine.lastCleared.count(1));
}

TEST_F(CameoControllerTest, ClearingTheFirstSelectedTileSwitchesTheAudioButtonOff)
{
    ASSERT_EQ(controller.OpenFile(0, folder, "h080510.003"), 0);
    host.audioButton = true;
    controller.ClearCameo(0);
    EXPECT_FALSE(host.audioButton);
    EXPECT_EQ(grid.GetCameo(0)->assigned, 0);
    engine.cleared.clear();
    controller.ClearCameo(5); // empty: nothing to do
    EXPECT_TRUE(engine.cleared.empty());
}

TEST_F(CameoControllerTest, PlaybackSourceStartsAndStopsThePlayer)
{
    controller.SetCameoPlayback(3, kFileSourceId, 7, true);
    EXPECT_EQ(grid.GetCameo(3)->channel, 7);
    EXPECT_TRUE(host.IsTilePlaying(3));
    EXPECT_EQ(host.players[3].calls, (QStringList{"bind -999 7 3", "search"}));
    controller.SetCameoPlayback(3, kFileSourceId, 7, false);
    EXPECT_FALSE(host.IsTilePlaying(3));
    EXPECT_EQ(grid.GetCameo(3)->sourceId, kNoSourceId);
    EXPECT_EQ(host.players[3].calls.mid(2), (QStringList{"stop", "close"}));
}

TEST_F(CameoControllerTest, FrameRateIsAtLeastOneAndResetsTheStepEstimate)
{
    controller.SetFrameRate(4, 15); // unchanged
    EXPECT_TRUE(host.players[4].calls.isEmpty());
    controller.SetFrameRate(4, 0);
    EXPECT_EQ(grid.GetCameo(4)->frameRate, 1);
    EXPECT_EQ(host.players[4].calls, QStringList{"reset-steps"});
    controller.SetFrameRate(99, 5);
}

TEST_F(CameoControllerTest, AdjustValuesReachTheOwnDecoderAndRedrawTheTile)
{
    controller.SetAdjust(2, 1, 25);
    controller.SetAdjust(2, 2, -10);
    controller.SetAdjust(2, 3, 2);
    const CameoItem item = *grid.GetCameo(2);
    EXPECT_EQ(item.adjust1, 25);
    EXPECT_EQ(item.adjust2, -10);
    EXPECT_EQ(item.adjust3, 2);
    EXPECT_EQ(engine.settings[std::make_pair(2, 2)], 25);
    EXPECT_EQ(engine.settings[std::make_pair(2, 3)], -10);
    EXPECT_EQ(engine.filters[2], 2);
    EXPECT_EQ(engine.redecoded, (std::vector<int>{2, 2, 2}));
}

TEST_F(CameoControllerTest, LayoutDemotesQueuedFramesAndClearsPictures)
{
    const int demotedBefore = engine.demoted;
    controller.Layout(400, 400, 7, false, false, false);
    EXPECT_EQ(engine.demoted, demotedBefore + 1);
    EXPECT_EQ(engine.cleared.size(), 16u);
    EXPECT_EQ(afterLayout, 2);
}

TEST_F(CameoControllerTest, ClickSelectsShowsAdjustValuesAndRedrawsOldAndNewSelection)
{
    host.players[3].audioState = 2;
    grid.Update(3, [](CameoItem& item) { item.adjust1 = 9; });
    engine.redrawn.clear();
    EXPECT_EQ(controller.Press(CentreOf(3), SelectKeys::None), CameoPress::Drag);
    EXPECT_EQ(host.adjustShown, (std::array<int, 4>{15, 9, 0, 0}));
    EXPECT_TRUE(host.audioButton);
    ASSERT_EQ(engine.redrawn.size(), 1u);
    EXPECT_EQ(engine.redrawn[0], (std::vector<int>{0, 3}));
    EXPECT_EQ(host.timeBarTile, 3);
    host.players[1].playState = CameoPlayer::kNoData;
    controller.Press(CentreOf(1), SelectKeys::None);
    EXPECT_EQ(host.timeBarTile, 3); // a player without data does not move the time bar
}

TEST_F(CameoControllerTest, ShortDragShowsNoImageAndDroppingAFileTileIsRefused)
{
    ASSERT_EQ(controller.OpenFile(0, folder, "h080510.003"), 0);
    LivePair(1, 4, 2);
    ASSERT_EQ(controller.Press(CentreOf(0), SelectKeys::None), CameoPress::Drag);
    EXPECT_FALSE(controller.Move(CentreOf(0) + QPoint(20, -20)));
    EXPECT_TRUE(controller.Move(CentreOf(0) + QPoint(21, 0)));
    EXPECT_EQ(controller.Release(CentreOf(1)), CameoDrop::Refused);
    EXPECT_EQ(grid.GetCameo(0)->fileTile, 1);
    EXPECT_EQ(grid.GetCameo(1)->serverId, 4);
    EXPECT_FALSE(controller.IsDragging());
}

TEST_F(CameoControllerTest, DroppingSwapsLivePairsWithTheirSettings)
{
    LivePair(0, 4, 2);
    grid.Update(0, [](CameoItem& item) { item.adjust1 = 12; });
    LivePair(3, 5, 0);
    controller.Press(CentreOf(0), SelectKeys::None);
    controller.Move(CentreOf(3));
    EXPECT_EQ(controller.Release(CentreOf(3)), CameoDrop::Swapped);
    EXPECT_EQ(grid.GetCameo(3)->serverId, 4);
    EXPECT_EQ(grid.GetCameo(3)->camera, 2);
    EXPECT_EQ(grid.GetCameo(3)->adjust1, 12);
    EXPECT_EQ(grid.GetCameo(0)->serverId, 5);
    EXPECT_EQ(grid.GetCameo(0)->adjust1, 0);
    EXPECT_EQ(grid.GetFirstSelected(), 3);

    // Onto an empty tile the pair moves.
    controller.Press(CentreOf(3), SelectKeys::None);
    EXPECT_EQ(controller.Release(CentreOf(2)), CameoDrop::Swapped);
    EXPECT_EQ(grid.GetCameo(2)->serverId, 4);
    EXPECT_EQ(grid.GetCameo(3)->assigned, 0);
}

TEST_F(CameoControllerTest, PressOnAZoomedTilePansItAndPanStopsAtZero)
{
    grid.Update(1, [](CameoItem& item) {
        item.zoom = 2.0f;
        item.panX = 10;
        item.panY = 10;
    });
    EXPECT_EQ(controller.Press(CentreOf(1), SelectKeys::None), CameoPress::Pan);
    controller.Move(CentreOf(1) + QPoint(-30, 5));
    EXPECT_EQ(grid.GetCameo(1)->panX, 40);
    EXPECT_EQ(grid.GetCameo(1)->panY, 5);
    controller.Move(CentreOf(1) + QPoint(50, 50));
    EXPECT_EQ(grid.GetCameo(1)->panX, 0);
    EXPECT_EQ(grid.GetCameo(1)->panY, 0);
    EXPECT_EQ(controller.Release(CentreOf(1)), CameoDrop::Nothing);
}

TEST_F(CameoControllerTest, DoubleClickTogglesSingleViewAndBack)
{
    controller.ViewSingle(CentreOf(2));
    EXPECT_EQ(grid.LayoutCode(), 0);
    EXPECT_EQ(grid.StartTile(), 2);
    EXPECT_EQ(engine.redrawAll, 1);
    controller.ViewSingle(QPoint(10, 10));
    EXPECT_EQ(grid.LayoutCode(), 1);
    EXPECT_EQ(grid.StartTile(), 0);
    const int redraws = engine.redrawAll;
    controller.ViewSingle(QPoint(900, 900)); // outside every tile
    EXPECT_EQ(engine.redrawAll, redraws);
}

TEST_F(CameoControllerTest, MenuOffersOnlyZoomStepsTheGridTakes)
{
    grid.Update(0, [](CameoItem& item) { item.zoom = 2.9f; });
    CameoMenuState menu = controller.MenuState(CentreOf(0));
    EXPECT_TRUE(menu.onTile);
    EXPECT_EQ(menu.zoomIn.text, "ZOOM_IN     x3.0");
    EXPECT_TRUE(menu.zoomIn.enabled);
    EXPECT_EQ(menu.zoomOut.text, "ZOOM_OUT   x2.8");
    EXPECT_EQ(menu.viewSingle.text, "VIEW_SINGLE");
    controller.ZoomIn();
    menu = controller.MenuState(CentreOf(0));
    EXPECT_EQ(menu.zoomIn.text, "ZOOM_IN");
    EXPECT_FALSE(menu.zoomIn.enabled);
    grid.Update(0, [](CameoItem& item) { item.zoom = 1.0f; });
    menu = controller.MenuState(CentreOf(0));
    EXPECT_EQ(menu.zoomOut.text, "ZOOM_OUT");
    EXPECT_FALSE(menu.zoomOut.enabled);
}

TEST_F(CameoControllerTest, MenuGreysTileEntriesForSeveralTilesAndFollowsAudioAndDirectX)
{
    grid.SelectCameo(1, true, true);
    CameoMenuState menu = controller.MenuState(CentreOf(1));
    EXPECT_FALSE(menu.zoomIn.enabled);
    EXPECT_FALSE(menu.viewSingle.enabled);
    EXPECT_FALSE(menu.audioOut.enabled);
    EXPECT_TRUE(menu.useDirectX.checked);

    host.players[2].audioState = 2;
    engine.directDrawFailed = true;
    menu = controller.MenuState(CentreOf(2)); // not selected: becomes the only selection
    EXPECT_EQ(grid.GetFirstSelected(), 2);
    EXPECT_TRUE(menu.audioOut.enabled);
    EXPECT_TRUE(menu.audioOut.checked);
    EXPECT_FALSE(menu.useDirectX.enabled);
    EXPECT_FALSE(menu.useDirectX.checked);
    EXPECT_FALSE(menu.osdSetup.enabled); // the host has no OSD setup dialog
    EXPECT_FALSE(controller.MenuState(QPoint(900, 900)).onTile);
}

TEST_F(CameoControllerTest, AudioOutTogglesThePlayingTileOrTellsThereIsNoDevice)
{
    host.SetTilePlaying(0, true);
    host.players[0].audioState = 2;
    controller.AudioOut();
    host.players[0].audioState = 1;
    controller.AudioOut();
    host.players[0].audioState = 0;
    controller.AudioOut();
    host.audioDevice = false;
    controller.AudioOut();
    EXPECT_EQ(host.events, (QStringList{"audio off", "audio on", "NOTIFY:NO_AUDIO_DEVICE"}));
}

TEST_F(CameoControllerTest, UseDirectXTogglesUnlessTheFrontFailed)
{
    controller.ToggleDirectX();
    EXPECT_FALSE(engine.directDraw);
    controller.ToggleDirectX();
    EXPECT_TRUE(engine.directDraw);
    engine.directDrawFailed = true;
    controller.ToggleDirectX();
    EXPECT_TRUE(engine.directDraw);
}

TEST_F(CameoControllerTest, PrintAndSaveFillsTheStillFromTheLastPicture)
{
    ASSERT_EQ(controller.OpenFile(0, folder, "h080510.003"), 0);
    controller.PrintAndSave();
    EXPECT_TRUE(host.still.picture.isNull()); // no picture yet: no dialog
    engine.lastPicture = QImage(352, 240, QImage::Format_RGB32);
    grid.Update(0, [](CameoItem& item) {
        item.zoom = 1.5f;
        item.panX = 12;
    });
    controller.PrintAndSave();
    EXPECT_EQ(host.still.width, 352);
    EXPECT_EQ(host.still.height, 240);
    EXPECT_EQ(host.still.recorderName, "My PC");
    EXPECT_EQ(host.still.address, "0.0.0.0");
    EXPECT_EQ(host.still.cameraName, "Gate");
    EXPECT_EQ(host.still.dateTime, "12/10/2026 08:15:02");
    EXPECT_EQ(host.still.cameraNumber, "3");
    EXPECT_FLOAT_EQ(host.still.zoomY, 1.5f);
    EXPECT_EQ(host.still.panX, 12);
    EXPECT_EQ(host.still.imageFolder, "/opt/orvane/Image");
}

TEST_F(CameoControllerTest, FreezeHoldsLiveTilesAndLeavesFileTilesAlone)
{
    ASSERT_EQ(controller.OpenFile(0, folder, "h080510.003"), 0);
    LivePair(1, 4, 1);
    host.SetTilePlaying(1, true);
    host.players[1].playState = 6;
    grid.SelectCameo(0, true, false);
    grid.SelectCameo(1, true, true);
    host.players[0].calls.clear();
    controller.ToggleFreeze();
    EXPECT_EQ(host.players[1].calls, (QStringList{"show", "forward", "freeze"}));
    EXPECT_EQ(grid.GetCameo(1)->liveRecordState, 1);
    EXPECT_TRUE(host.players[0].calls.isEmpty());
    EXPECT_EQ(grid.GetCameo(0)->liveRecordState, 0);
    // Tile 0 still runs, so the toggle freezes again; once both are held it thaws.
    grid.Update(0, [](CameoItem& item) { item.liveRecordState = 1; });
    host.players[1].calls.clear();
    controller.ToggleFreeze();
    EXPECT_EQ(host.players[1].calls, (QStringList{"thaw", "show"}));
    EXPECT_EQ(grid.GetCameo(0)->liveRecordState, 0);
}

TEST_F(CameoControllerTest, SequencingStepsThroughGroupsOnlyWhileOn)
{
    grid.Update(5, [](CameoItem& item) { item.assigned = 1; });
    controller.SequenceStep();
    EXPECT_EQ(grid.StartTile(), 0);
    controller.SetSequencing(true);
    controller.SequenceStep();
    EXPECT_EQ(grid.StartTile(), 4);
    controller.Layout(800, 800, 11, false, false, false);
    const int redraws = engine.redrawAll;
    controller.SequenceStep(); // the 64-cell layout never steps
    EXPECT_EQ(engine.redrawAll, redraws);
}
