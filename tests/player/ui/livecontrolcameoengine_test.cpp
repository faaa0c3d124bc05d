#include "ui/livecontrolcameoengine.h"

#include "engine/hplivecontrol.h"
#include "support/displayfakes.h"
#include "ui/cameodisplay.h"
#include "ui/cameogrid.h"
#include "ui/gridlivecontrolhost.h"
#include "ui/windowcanvas.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class EngineWiringTest : public ::testing::Test
{
protected:
    EngineWiringTest()
        : liveHost(
            &grid, [this] { return closing; }, [] { return -1; })
        , display(&grid, &displayHost, &canvas)
        , engine(&liveHost, &display)
        , cameoEngine(&engine, false)
    {
        canvas.Resize(400, 400);
        grid.Layout(400, 400, 1, false, false, false);
        grid.Update(1, [](CameoItem& item) {
            item.assigned = 1;
            item.fileTile = 1;
            item.sourceId = kFileSourceId;
            item.channel = 1;
            item.restart = 1;
        });
    }

    bool closing = false;
    CameoGrid grid;
    QuietDisplayHost displayHost;
    WindowCanvas canvas;
    GridLiveControlHost liveHost;
    CameoDisplay display;
    HPLiveControl engine;
    LiveControlCameoEngine cameoEngine;
};

} // namespace

TEST_F(EngineWiringTest, EngineSeesTheGridsTiles)
{
    EXPECT_EQ(liveHost.FindCameo(kFileServerId, 1, true), 1);
    EXPECT_EQ(liveHost.FindCameo(kFileServerId, 2, true), -1);
    EXPECT_TRUE(liveHost.IsTileShown(1));
    EXPECT_FALSE(liveHost.IsTileShown(0)); // visible but empty
    EXPECT_FALSE(liveHost.IsTileShown(9)); // not in the layout
    EXPECT_TRUE(liveHost.IsRestartPending(1));
    liveHost.ClearRestart(1);
    EXPECT_FALSE(liveHost.IsRestartPending(1));
    EXPECT_EQ(liveHost.LayoutCode(), 1);
    EXPECT_FALSE(liveHost.IsClosing());
    closing = true;
    EXPECT_TRUE(liveHost.IsClosing());
    EXPECT_EQ(liveHost.ExportCaptureMode(), -1);
}

TEST_F(EngineWiringTest, LastPictureIsTheTilesBufferAtTheLastFramesSize)
{
    uint8_t* buffer = engine.GetFrameBuffer(1);
    ASSERT_NE(buffer, nullptr);
    const std::vector<uint8_t> solid = SolidPicture(8, 6, qRgb(30, 20, 10));
    std::copy(solid.begin(), solid.end(), buffer);
    LiveFrame frame;
    frame.width = 8;
    frame.height = 6;
    frame.date = 20261210;
    frame.time = 120000;
    engine.SetLastFrame(1, &frame);
    QImage picture;
    int date = 0;
    int time = 0;
    ASSERT_TRUE(cameoEngine.LastPicture(1, &picture, &date, &time));
    EXPECT_EQ(picture.size(), QSize(8, 6));
    EXPECT_EQ(picture.pixel(7, 5) & 0xFFFFFF, qRgb(30, 20, 10) & 0xFFFFFF);
    EXPECT_EQ(date, 20261210);
    EXPECT_EQ(time, 120000);
    EXPECT_FALSE(cameoEngine.LastPicture(16, &picture, &date, &time));
    cameoEngine.ClearLastFrame(1);
    ASSERT_TRUE(cameoEngine.LastPicture(1, &picture, &date, &time));
    EXPECT_EQ(picture.size(), QSize(336, 224)); // a cleared slot has the default size
}

TEST_F(EngineWiringTest, EngineDrawsThroughTheGridsDisplay)
{
    uint8_t* buffer = engine.GetFrameBuffer(1);
    ASSERT_NE(buffer, nullptr);
    const std::vector<uint8_t> solid = SolidPicture(336, 224, qRgb(200, 0, 0));
    std::copy(solid.begin(), solid.end(), buffer);
    LiveFrame frame;
    frame.serverId = kFileServerId;
    frame.camera = 1;
    frame.mark = 4;
    engine.DisplayFrame(1, frame, buffer, 0, 0);
    EXPECT_EQ(canvas.Copy().pixel(300, 100) & 0xFFFFFF, qRgb(200, 0, 0) & 0xFFFFFF);
    cameoEngine.RedrawCameo(1); // the player has nothing to show again: the tile goes blank
    EXPECT_EQ(canvas.Copy().pixel(300, 100) & 0xFFFFFF, 0u);
}
