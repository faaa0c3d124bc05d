// The main dialog's arithmetic: hit test of the frameless surface, the 8:5 limit, the layout of
// its parts, the split codes, play groups and request numbers.
#include <QStringList>

#include <gtest/gtest.h>

#include "ui/playgroups.h"
#include "ui/splitmodes.h"
#include "ui/viewergeometry.h"

TEST(PlayerViewerGeometry, HitTestOfTheFrame)
{
    const QSize size(800, 600);
    struct Case
    {
        int x, y;
        FrameHit hit;
    };
    const Case cases[] = {
        {2, 5, FrameHit::TopLeft},         {1, 300, FrameHit::Left},       {1, 595, FrameHit::BottomLeft},
        {5, 1, FrameHit::TopLeft},         {400, 2, FrameHit::Top},        {795, 1, FrameHit::TopRight},
        {798, 300, FrameHit::Right},       {798, 5, FrameHit::TopRight},   {400, 598, FrameHit::Bottom},
        {798, 598, FrameHit::BottomRight}, {5, 598, FrameHit::BottomLeft}, {400, 300, FrameHit::Caption},
        {3, 3, FrameHit::Caption},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ViewerGeometry::HitTest({c.x, c.y}, size, false), c.hit) << c.x << "," << c.y;
    EXPECT_EQ(ViewerGeometry::HitTest({1, 1}, size, true), FrameHit::Caption);
}

TEST(PlayerViewerGeometry, MaximumKeepsEightToFive)
{
    EXPECT_EQ(ViewerGeometry::MaximumSize({1920, 1080}), QSize(1728, 1080));
    EXPECT_EQ(ViewerGeometry::MaximumSize({1280, 1024}), QSize(1280, 800));
    EXPECT_EQ(ViewerGeometry::MaximumSize({1600, 1000}), QSize(1600, 1000));
}

TEST(PlayerViewerGeometry, LayoutFollowsTheWindowSize)
{
    const ViewerRects r = ViewerGeometry::Layout({800, 600});
    EXPECT_EQ(r.grid, QRect(18, 18, 569, 468));
    EXPECT_EQ(r.close, QPoint(773, 10));
    EXPECT_EQ(r.minimise, QPoint(753, 10));
    EXPECT_EQ(r.tree, QRect(624, 93, 141, 304));
    EXPECT_EQ(r.img, QPoint(620, 432));
    EXPECT_EQ(r.play, QPoint(669, 432));
    EXPECT_EQ(r.etc, QPoint(719, 432));
    EXPECT_EQ(r.layoutButtons[0], QPoint(629, 482));
    EXPECT_EQ(r.layoutButtons[5], QPoint(717, 523));
    EXPECT_EQ(r.controlBar, QPoint(55, 527));
    EXPECT_EQ(r.playSlider, QRect(16, 488, 572, 21));
    const ViewerRects big = ViewerGeometry::Layout({1728, 1080});
    EXPECT_EQ(big.grid, QRect(18, 18, 1497, 948));
    EXPECT_EQ(big.controlBar, QPoint(519, 1007));
}

TEST(PlayerSplitModes, CodesTilesAndButtons)
{
    const int tiles[] = {1, 4, 6, 7, 9, 10, 13, 16, 25, 36, 49, 64};
    for (int code = 0; code < 12; ++code)
        EXPECT_EQ(SplitModes::TileCount(code), tiles[code]);
    EXPECT_EQ(SplitModes::TileCount(12), 1);
    EXPECT_EQ(SplitModes::TileCount(-1), 1);
    EXPECT_EQ(SplitModes::CodeOfButton(1010, LayoutOwner::MainDialog), 4);
    EXPECT_EQ(SplitModes::CodeOfButton(1011, LayoutOwner::FullScreenBar), 7);
    EXPECT_EQ(SplitModes::CodeOfButton(1016, LayoutOwner::MainDialog), -1);
    EXPECT_EQ(SplitModes::CodeOfButton(1016, LayoutOwner::FullScreenBar), 11);
    EXPECT_EQ(SplitModes::CodeOfButton(1019, LayoutOwner::FullScreenBar), 9);
    EXPECT_EQ(SplitModes::ButtonOfCode(8), -1);
    EXPECT_EQ(SplitModes::ButtonOfCode(1), 1009);
}

namespace {
struct GroupTiles : PlayGroupTiles
{
    bool playing[16] = {};
    bool open[16] = {};
    int group[16];
    GroupTiles() { std::fill(std::begin(group), std::end(group), -1); }
    bool IsPlaying(int t) const override { return playing[t]; }
    bool IsOpen(int t) const override { return open[t]; }
    int PlayGroup(int t) const override { return group[t]; }
    void SetPlayGroup(int t, int g) override { group[t] = g; }
};
} // namespace

TEST(PlayerPlayGroups, NewGroupSkipsHeldNumbersAndEnds)
{
    PlayGroups groups;
    GroupTiles tiles;
    tiles.playing[0] = tiles.open[0] = true;
    tiles.playing[5] = tiles.open[5] = true;
    tiles.group[5] = 1;
    EXPECT_EQ(groups.NewPlayGroup({0}, tiles), 2);
    tiles.group[0] = 2;
    // Re-grouping tile 0 frees it from group 2; group 3 is free.
    EXPECT_EQ(groups.NewPlayGroup({0}, tiles), 3);
    EXPECT_EQ(tiles.group[0], -1);

    // All sixteen numbers held by playing tiles that are not selected: the search still ends.
    for (int t = 0; t < 16; ++t) {
        tiles.playing[t] = tiles.open[t] = true;
        tiles.group[t] = t;
    }
    const int g = groups.NewPlayGroup({}, tiles);
    EXPECT_GE(g, 0);
    EXPECT_LT(g, 16);
}

TEST(PlayerPlayGroups, VideoBehindItsSoundSkipsTheTilesOfItsGroupThatPlay)
{
    //                      tile: 0  1  2  3  4   5   6 ..
    const int groups[16] = {3, 3, 3, 5, -1, -1, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3};
    const bool plays[16] = {true, true, false, true, true, true, true, false};
    auto groupOf = [&](int t) { return groups[t]; };
    auto playing = [&](int t) { return plays[t]; };
    const struct
    {
        int tile;
        QVector<int> targets;
    } cases[] = {
        {0, {0, 1, 6}},           // tile 2 of the group does not play, tile 3 is in another group
        {3, {3}},       {4, {4}}, // no group: only the tile itself, not tile 5 (also without a group)
        {2, {0, 1, 6}},           // a tile that stopped playing asks for the others only
        {-1, {}},       {16, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlayGroups::SkipTargets(c.tile, groupOf, playing), c.targets) << c.tile;
}

TEST(PlayerPlayGroups, SlowestTileDrivesTheTimeBar)
{
    PlayGroups groups;
    GroupTiles tiles;
    tiles.playing[1] = tiles.playing[2] = true;
    QStringList shown;
    auto show = [&](int time) { shown << PlayGroups::TimeText(time); };
    EXPECT_TRUE(groups.UpdateGroupTime(4, 120005, 1, 1, false, tiles, 4, 2, show));
    EXPECT_TRUE(shown.isEmpty()); // tile 1 is not the bar's tile
    EXPECT_TRUE(groups.UpdateGroupTime(4, 120003, 2, 1, false, tiles, 4, 2, show));
    EXPECT_EQ(shown, QStringList({"12:00:03"}));
    EXPECT_EQ(PlayGroups::BarPosition(120003), 240);
    EXPECT_FALSE(groups.UpdateGroupTime(4, 120006, 2, 1, false, tiles, 4, 2, show));
    EXPECT_EQ(shown.size(), 1);
    EXPECT_FALSE(groups.UpdateGroupTime(4, 120006, 2, 1, true, tiles, 4, 2, show)); // forced
    EXPECT_EQ(shown.size(), 2);
    // Reverse play: the larger time is the slower one.
    EXPECT_TRUE(groups.UpdateGroupTime(4, 120006, 2, -1, false, tiles, 4, 2, show));
    EXPECT_FALSE(groups.UpdateGroupTime(-1, 1, 2, 1, false, tiles, 4, 2, show));
    EXPECT_FALSE(groups.UpdateGroupTime(4, 1, 16, 1, false, tiles, 4, 2, show));
}

TEST(PlayerPlayGroups, RequestNumbersWrapAfter9999)
{
    PlayGroups groups;
    int last = 0;
    for (int i = 0; i < 9999; ++i)
        last = groups.GetNextRequestId();
    EXPECT_EQ(last, 9999);
    EXPECT_EQ(groups.GetNextRequestId(), 0);
    EXPECT_EQ(groups.GetNextRequestId(), 1);
}
