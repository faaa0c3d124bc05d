#include "ui/cameogrid.h"

#include <gtest/gtest.h>

namespace {

void Assign(CameoGrid& grid, std::initializer_list<int> tiles)
{
    for (int tile : tiles) {
        grid.Update(tile, [](CameoItem& item) { item.assigned = 1; });
    }
}

QVector<int> Selected(const CameoGrid& grid)
{
    QVector<int> list;
    grid.GetSelectedCameos(list);
    return list;
}

} // namespace

TEST(CameoGridTest, StartsWithSixteenSplitAndTileZeroSelected)
{
    CameoGrid grid;
    EXPECT_EQ(grid.LayoutCode(), 7);
    EXPECT_EQ(grid.GetFirstSelected(), 0);
    EXPECT_EQ(grid.GetCameo(15)->index, 15);
    EXPECT_EQ(grid.GetCameo(3)->frameRate, 15);
    EXPECT_FALSE(grid.GetCameo(16).has_value());
    EXPECT_FALSE(grid.GetCameo(-1).has_value());
    // No rectangle before the first layout.
    EXPECT_FALSE(grid.GetCameoRect(0, nullptr));
}

TEST(CameoGridTest, TileNumbersOutsideTheGridAreIgnored)
{
    CameoGrid grid;
    grid.SelectCameo(16, true, false);
    grid.SelectByClick(-1, SelectKeys::None);
    EXPECT_EQ(Selected(grid), QVector<int>{0});
    EXPECT_FALSE(grid.Update(16, [](CameoItem&) { FAIL(); }));
    EXPECT_FALSE(grid.IsSelected(99));
}

TEST(CameoGridTest, ClicksSelectAloneToggleWithControlAndRunWithShift)
{
    CameoGrid grid;
    grid.SelectByClick(3, SelectKeys::None);
    EXPECT_EQ(Selected(grid), QVector<int>{3});
    grid.SelectByClick(9, SelectKeys::Control);
    EXPECT_EQ(Selected(grid), (QVector<int>{3, 9}));
    grid.SelectByClick(3, SelectKeys::Control);
    EXPECT_EQ(Selected(grid), QVector<int>{9});
    grid.SelectByClick(5, SelectKeys::Shift);
    EXPECT_EQ(Selected(grid), (QVector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(grid.GetFirstSelected(), 0);
}

TEST(CameoGridTest, SelectAllTogglesBetweenAllVisibleAndTheFirst)
{
    CameoGrid grid;
    grid.SelectCameo(6, true, false);
    grid.Layout(400, 400, 1, false, false, false); // tiles 4..7
    grid.SelectAll();
    EXPECT_EQ(Selected(grid), (QVector<int>{4, 5, 6, 7}));
    grid.SelectAll();
    EXPECT_EQ(Selected(grid), QVector<int>{4});
}

TEST(CameoGridTest, PointsHitTheFirstTileWithInclusiveEdges)
{
    CameoGrid grid;
    grid.Layout(400, 400, 1, false, false, false);
    EXPECT_EQ(grid.CameoFromPoint(10, 10), 0);
    EXPECT_EQ(grid.CameoFromPoint(200, 10), 0); // shared edge
    EXPECT_EQ(grid.CameoFromPoint(201, 10), 1);
    EXPECT_EQ(grid.CameoFromPoint(399, 399), 3);
    EXPECT_EQ(grid.CameoFromPoint(401, 10), -1);
    CameoRect rect;
    EXPECT_TRUE(grid.GetCameoRect(3, &rect));
    EXPECT_EQ(rect, (CameoRect{200, 200, 400, 400}));
    EXPECT_FALSE(grid.GetCameoRect(4, &rect)); // not in the layout
}

TEST(CameoGridTest, LayoutStartsFromTheLowestSelectedTileRounded)
{
    CameoGrid grid;
    grid.SelectCameo(7, true, false);
    grid.SelectCameo(13, true, true);
    grid.Layout(640, 480, 1, false, false, false);
    EXPECT_EQ(grid.StartTile(), 4);
    EXPECT_TRUE(grid.View(7).item.visible);
    EXPECT_FALSE(grid.View(13).item.visible);
}

TEST(CameoGridTest, ViewSingleAndBackRestoresTheMultiTileStart)
{
    CameoGrid grid;
    grid.SelectCameo(9, true, false);
    grid.Layout(640, 480, 1, false, false, false); // 4-split from 8
    grid.SelectCameo(10, true, false);
    grid.Layout(640, 480, 0, false, true, false); // view single on tile 10
    EXPECT_EQ(grid.StartTile(), 10);
    EXPECT_EQ(grid.PreviousLayoutCode(), 1);
    EXPECT_FALSE(grid.IsMultiTile());
    grid.Layout(640, 480, grid.PreviousLayoutCode(), false, true, false);
    EXPECT_EQ(grid.LayoutCode(), 1);
    EXPECT_EQ(grid.StartTile(), 8);
}

TEST(CameoGridTest, RepressSelectsTheNewStartAlone)
{
    CameoGrid grid;
    Assign(grid, {2, 6});
    grid.SelectCameo(2, true, false);
    grid.Layout(640, 480, 0, false, false, false);
    grid.Layout(640, 480, 0, true, false, false);
    EXPECT_EQ(grid.StartTile(), 6);
    EXPECT_EQ(Selected(grid), QVector<int>{6});
    grid.Layout(640, 480, 0, true, false, false);
    EXPECT_EQ(grid.StartTile(), 2);
}

TEST(CameoGridTest, UnchangedLayoutClearsNoPicturesButAChangeRestartsLiveTiles)
{
    CameoGrid grid;
    grid.Update(1, [](CameoItem& item) {
        item.streaming = 1;
        item.restart = 0;
    });
    grid.Update(2, [](CameoItem& item) {
        item.fileTile = 1;
        item.restart = 0;
    });
    const CameoLayoutChange first = grid.Layout(640, 480, 7, false, false, false);
    EXPECT_FALSE(first.changed); // same code and start as at construction
    EXPECT_TRUE(first.clearPictures.isEmpty());
    const CameoLayoutChange second = grid.Layout(640, 480, 1, false, false, false);
    EXPECT_TRUE(second.changed);
    EXPECT_FALSE(second.clearPictures.contains(1));
    EXPECT_TRUE(second.clearPictures.contains(2));
    EXPECT_EQ(grid.View(1).item.restart, 1);
    EXPECT_EQ(grid.View(2).item.restart, 0);
}

TEST(CameoGridTest, ZoomStopsAtThreeAndNeverGoesBelowOne)
{
    CameoGrid grid;
    grid.SelectCameo(4, true, false);
    EXPECT_EQ(grid.ZoomOut(), -1);
    int steps = 0;
    while (grid.ZoomIn() == 4) {
        ++steps;
    }
    EXPECT_EQ(steps, 20);
    EXPECT_FLOAT_EQ(grid.View(4).item.zoom, 3.0f);
    steps = 0;
    while (grid.ZoomOut() == 4) {
        ++steps;
    }
    EXPECT_EQ(steps, 20);
    EXPECT_FLOAT_EQ(grid.View(4).item.zoom, 1.0f);
}

TEST(CameoGridTest, PanNeverGoesNegative)
{
    CameoGrid grid;
    grid.SetPan(3, -5, 40);
    EXPECT_EQ(grid.View(3).item.panX, 0);
    EXPECT_EQ(grid.View(3).item.panY, 40);
}

TEST(CameoGridTest, FindsFileTilesBySourceAndLiveTilesByCamera)
{
    CameoGrid grid;
    grid.Update(5, [](CameoItem& item) {
        item.fileTile = 1;
        item.sourceId = kFileSourceId;
        item.channel = 5;
    });
    grid.Update(6, [](CameoItem& item) {
        item.sourceId = kFileSourceId;
        item.channel = 6; // a playback pair that is not a file tile
    });
    EXPECT_EQ(grid.FindCameo(kFileSourceId, 5), 5);
    EXPECT_EQ(grid.FindCameo(kFileSourceId, 6), -1);
    EXPECT_EQ(grid.FindLiveCameo(-1, -1), -1);
}

TEST(CameoGridTest, ResetTileStaysInTheLayout)
{
    CameoGrid grid;
    grid.Layout(400, 400, 1, false, false, false);
    grid.Update(2, [](CameoItem& item) {
        item.assigned = 1;
        item.zoom = 2.0f;
    });
    grid.ResetCameo(2);
    EXPECT_EQ(grid.GetCameo(2)->assigned, 0);
    EXPECT_FLOAT_EQ(grid.GetCameo(2)->zoom, 1.0f);
    EXPECT_EQ(grid.GetCameo(2)->visible, 1);
    EXPECT_EQ(grid.CameoFromPoint(100, 300), 2);
}
