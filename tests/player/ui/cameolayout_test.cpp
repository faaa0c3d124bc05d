#include "ui/cameolayout.h"

#include <gtest/gtest.h>

namespace {

std::array<bool, 16> AssignedOnly(std::initializer_list<int> tiles)
{
    std::array<bool, 16> assigned{};
    for (int tile : tiles) {
        assigned[tile] = true;
    }
    return assigned;
}

int VisibleCount(const CameoPlacement& placement)
{
    int count = 0;
    for (bool visible : placement.visible) {
        count += visible ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(CameoLayoutTest, EveryCodeShowsItsTileCount)
{
    struct Case
    {
        int code;
        int visible;
    };
    const Case cases[] = {{0, 1},  {1, 4}, {2, 6},  {3, 7},   {4, 9},   {5, 10}, {6, 13},
                          {7, 16}, {8, 0}, {9, 16}, {10, 16}, {11, 16}, {12, 0}, {-1, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(VisibleCount(CameoLayout::Place(c.code, 0, 640, 480)), c.visible) << "code " << c.code;
    }
}

TEST(CameoLayoutTest, NineSplitAt300PixelsUsesWholeHundreds)
{
    const CameoPlacement placement = CameoLayout::Place(4, 0, 300, 300);
    EXPECT_EQ(placement.rects[0], (CameoRect{0, 0, 100, 100}));
    EXPECT_EQ(placement.rects[1], (CameoRect{100, 0, 200, 100}));
    EXPECT_EQ(placement.rects[2], (CameoRect{200, 0, 300, 100}));
    EXPECT_EQ(placement.rects[8], (CameoRect{200, 200, 300, 300}));
}

TEST(CameoLayoutTest, SixSplitBigTileCoversTwoCellsRounded)
{
    const CameoPlacement placement = CameoLayout::Place(2, 0, 300, 300);
    EXPECT_EQ(placement.rects[0], (CameoRect{0, 0, 200, 200}));
    EXPECT_EQ(placement.rects[1], (CameoRect{200, 0, 300, 100}));
    EXPECT_EQ(placement.rects[2], (CameoRect{200, 100, 300, 200}));
    EXPECT_EQ(placement.rects[3], (CameoRect{0, 200, 100, 300}));
    EXPECT_EQ(placement.rects[5], (CameoRect{200, 200, 300, 300}));
    // Code 2 alone rounds its cell size: 200 / 3 = 66.67 becomes 67, the 9-split keeps 66.
    EXPECT_EQ(CameoLayout::Place(2, 0, 200, 200).rects[1].left, 134);
    EXPECT_EQ(CameoLayout::Place(4, 0, 200, 200).rects[1].left, 66);
}

TEST(CameoLayoutTest, TablesPlaceTilesFromTheStartWrapping)
{
    // Thirteen tiles from start 13: the big centre tile is tile 13, then the ring from tile 14 on.
    const CameoPlacement thirteen = CameoLayout::Place(6, 13, 400, 400);
    EXPECT_EQ(thirteen.rects[13], (CameoRect{100, 100, 300, 300}));
    EXPECT_EQ(thirteen.rects[14], (CameoRect{0, 0, 100, 100}));
    EXPECT_EQ(thirteen.rects[2], (CameoRect{0, 100, 100, 200}));
    EXPECT_EQ(thirteen.rects[6], (CameoRect{0, 300, 100, 400}));
    EXPECT_EQ(thirteen.rects[9], (CameoRect{300, 300, 400, 400}));
    const CameoPlacement seven = CameoLayout::Place(3, 0, 400, 400);
    EXPECT_EQ(seven.rects[2], (CameoRect{0, 200, 200, 400}));
    EXPECT_EQ(seven.rects[6], (CameoRect{300, 300, 400, 400}));
    const CameoPlacement ten = CameoLayout::Place(5, 0, 400, 400);
    EXPECT_EQ(ten.rects[1], (CameoRect{200, 0, 400, 200}));
    EXPECT_EQ(ten.rects[9], (CameoRect{300, 300, 400, 400}));
}

TEST(CameoLayoutTest, SingleFillsTheAreaWithTheStartTile)
{
    const CameoPlacement placement = CameoLayout::Place(0, 5, 704, 480);
    EXPECT_EQ(placement.rects[5], (CameoRect{0, 0, 704, 480}));
    EXPECT_FALSE(placement.visible[0]);
    EXPECT_TRUE(placement.visible[5]);
}

TEST(CameoLayoutTest, LargeGridsKeepSixteenTilesAndLeaveSpareCells)
{
    const CameoPlacement from12 = CameoLayout::Place(9, 12, 600, 600);
    // From start 12 the last sixteen of the 36 cells hold tiles 0..15 in order.
    EXPECT_EQ(from12.rects[0], (CameoRect{200, 300, 300, 400}));
    EXPECT_EQ(from12.rects[15], (CameoRect{500, 500, 600, 600}));
    EXPECT_EQ(from12.spareCells.size(), 20);
    EXPECT_EQ(CameoLayout::Place(10, 15, 700, 700).spareCells.size(), 33);
    EXPECT_EQ(CameoLayout::Place(11, 0, 800, 800).spareCells.size(), 48);
}

TEST(CameoLayoutTest, RepressedSingleStepsToNextAssignedTile)
{
    EXPECT_EQ(CameoLayout::RepressStart(0, 3, AssignedOnly({1, 7})), 7);
    EXPECT_EQ(CameoLayout::RepressStart(0, 15, AssignedOnly({1, 7})), 1);
    EXPECT_EQ(CameoLayout::RepressStart(0, 7, AssignedOnly({7})), 7);
    EXPECT_EQ(CameoLayout::RepressStart(0, 4, AssignedOnly({})), 4);
}

TEST(CameoLayoutTest, RepressedFourSplitWrapsAndTriesEachGroup)
{
    EXPECT_EQ(CameoLayout::RepressStart(1, 12, AssignedOnly({2})), 0);
    EXPECT_EQ(CameoLayout::RepressStart(1, 12, AssignedOnly({5})), 4);
    EXPECT_EQ(CameoLayout::RepressStart(1, 12, AssignedOnly({11})), 8);
    EXPECT_EQ(CameoLayout::RepressStart(1, 12, AssignedOnly({13})), 12);
    EXPECT_EQ(CameoLayout::RepressStart(1, 12, AssignedOnly({})), 12);
    // The six-split's second group from 12 wraps over 15 into tiles 0 and 1.
    EXPECT_EQ(CameoLayout::RepressStart(2, 6, AssignedOnly({1})), 12);
}

TEST(CameoLayoutTest, StartsAreWrappedAndRoundedToTheGroup)
{
    EXPECT_EQ(CameoLayout::NormaliseStart(1, 7), 4);
    EXPECT_EQ(CameoLayout::NormaliseStart(2, 13), 12);
    EXPECT_EQ(CameoLayout::NormaliseStart(6, 12), 0);
    EXPECT_EQ(CameoLayout::NormaliseStart(7, 9), 0);
    EXPECT_EQ(CameoLayout::NormaliseStart(0, 9), 9);
    EXPECT_EQ(CameoLayout::NormaliseStart(1, 18), 2);
}
