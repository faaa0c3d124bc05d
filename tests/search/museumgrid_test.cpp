#include <gtest/gtest.h>

#include "search/museumgrid.h"

namespace {

struct GridCase
{
    const char* name;
    MuseumGridCaps caps;
    int resolutionClass;
    int gridFamily;
    int videoFormatBit;
    int columns;
    int rows;
};

TEST(MuseumGrid, SizeFollowsCapabilitiesThenFamilyThenClass)
{
    const GridCase cases[] = {
        {"fine grid wins", {true, 1, 1}, 2, 1, 1, 45, 30},
        {"family 1 pal", {}, 0, 1, 1, 30, 18},
        {"family 1 ntsc", {}, 0, 1, 0, 30, 15},
        {"family 1 small", {false, 1, 0}, 0, 1, 1, 10, 7},
        {"family 2", {false, 1, 1}, 0, 2, 1, 32, 24},
        {"class 0 pal", {}, 0, -1, 1, 22, 18},
        {"class 0 ntsc", {}, 0, 5, 0, 22, 15},
        {"class 1", {}, 1, -1, 0, 20, 11},
        {"class 2", {}, 2, -1, 0, 30, 17},
        {"wide grid", {false, 0, 1}, 2, -1, 0, 23, 15},
    };
    for (const GridCase& c : cases) {
        MuseumGrid grid;
        grid.Configure(c.caps, c.resolutionClass, c.gridFamily, c.videoFormatBit);
        EXPECT_EQ(grid.Columns(), c.columns) << c.name;
        EXPECT_EQ(grid.Rows(), c.rows) << c.name;
    }
}

TEST(MuseumGrid, UnknownClassKeepsThePreviousSize)
{
    MuseumGrid grid;
    grid.Configure({}, 1, -1, 0);
    grid.Configure({}, 7, -1, 0);
    EXPECT_EQ(grid.Columns(), 20);
    EXPECT_EQ(grid.Rows(), 11);
}

TEST(MuseumGrid, FineGridCellsAndTile)
{
    MuseumGrid grid;
    grid.Configure({true, 0, 0}, 0, 0, 0);
    EXPECT_EQ(grid.CellWidth(), 21);
    EXPECT_EQ(grid.CellHeight(), 18);
    EXPECT_EQ(grid.TileRect(), QRect(10, 30, 945, 540));
}

TEST(MuseumGrid, PositionsMapToCellsAndPastTheLastWholeCellToNone)
{
    MuseumGrid grid;
    grid.Configure({true, 0, 0}, 0, 0, 0); // 21 x 18 pixel cells, 45 x 30
    struct Case
    {
        QPoint pos;
        std::optional<QPoint> cell;
    };
    const Case cases[] = {
        {{10, 30}, QPoint(0, 0)},     {{30, 47}, QPoint(0, 0)},  {{31, 48}, QPoint(1, 1)},
        {{954, 569}, QPoint(44, 29)}, {{955, 40}, std::nullopt}, // column 45 does not exist
        {{970, 40}, std::nullopt},    {{40, 570}, std::nullopt}, // row 30 does not exist
        {{40, 589}, std::nullopt},    {{9, 40}, std::nullopt},   {{40, 29}, std::nullopt},
        {{971, 40}, std::nullopt},    {{40, 590}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(grid.CellAt(c.pos), c.cell) << c.pos.x() << "," << c.pos.y();
}

TEST(MuseumGrid, NoGridNoCell)
{
    MuseumGrid grid;
    EXPECT_EQ(grid.CellAt(QPoint(100, 100)), std::nullopt);
    EXPECT_EQ(grid.CellWidth(), 0);
}

TEST(MuseumGrid, DragSpansAnchorAndCellInclusive)
{
    MuseumGrid grid;
    grid.Configure({true, 0, 0}, 0, 0, 0);
    grid.ResetArea(-1);
    EXPECT_FALSE(grid.Area().IsSet());
    grid.BeginDrag(QPoint(5, 3));
    EXPECT_EQ(grid.Area(), (MuseumArea{5, 3, 6, 4}));
    grid.DragTo(QPoint(2, 1));
    EXPECT_EQ(grid.Area(), (MuseumArea{2, 1, 6, 4}));
    grid.DragTo(QPoint(7, 2));
    EXPECT_EQ(grid.Area(), (MuseumArea{5, 2, 8, 4}));
    grid.EndDrag();
    grid.DragTo(QPoint(0, 0)); // released: moves no longer change the area
    EXPECT_EQ(grid.Area(), (MuseumArea{5, 2, 8, 4}));
    EXPECT_TRUE(grid.Area().IsSet());
    grid.ResetArea(0);
    EXPECT_FALSE(grid.Area().IsSet());
}

} // namespace
