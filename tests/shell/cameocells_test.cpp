// The cells of a grid as data, without a widget or a screen: a page's layout and the cells left
// off it, the point-to-cell map, the next page of a split, selection, binding, swap, zoom and
// freeze.
#include <QImage>
#include <vector>

#include <gtest/gtest.h>

#include "shell/cameocells.h"

namespace {

QImage Blank()
{
    QImage blank(10, 10, QImage::Format_RGB888);
    blank.fill(Qt::black);
    return blank;
}

} // namespace

TEST(CameoCells, PageIsLaidOutRowByRowFromItsFirstCellAndWraps)
{
    CameoCells cells;
    std::vector<int> shown;
    std::vector<int> hidden;
    // Four of six cells from cell 4: 4, 5, 0, 1 on a 2 x 2 page; 2 and 3 are left off.
    cells.LayOut(4, 4, 6, &shown, &hidden);
    EXPECT_EQ(shown, (std::vector<int>{4, 5, 0, 1}));
    EXPECT_EQ(hidden, (std::vector<int>{2, 3}));
    struct Place
    {
        int column, row, cell;
    };
    const Place places[] = {{0, 0, 4},  {1, 0, 5},  {0, 1, 0},  {1, 1, 1},
                            {2, 0, -1}, {0, 2, -1}, {8, 0, -1}, {-1, 0, -1}};
    for (const Place& p : places)
        EXPECT_EQ(cells.LayoutCell(p.column, p.row), p.cell) << p.column << "," << p.row;
    for (int cell : shown) {
        EXPECT_TRUE(cells[cell].active) << cell;
        EXPECT_EQ(cells.LayoutCell(cells[cell].column, cells[cell].row), cell);
    }
    // A split that is not a square uses the largest square side: 5 cells on a 2 x 2 grid.
    shown.clear();
    hidden.clear();
    cells.LayOut(0, 5, 6, &shown, &hidden);
    EXPECT_EQ(shown.size(), 5u);
    EXPECT_EQ(cells[4].column, 0);
    EXPECT_EQ(cells[4].row, 2) << "row 2 lies outside the page and is not drawn";
}

TEST(CameoCells, PointsMapToTheCellsOfThePage)
{
    CameoCells cells;
    cells.LayOut(0, 4, 16, nullptr, nullptr);
    struct Case
    {
        int x, y, width, height, split, cell;
    };
    const Case cases[] = {
        {10, 10, 400, 300, 4, 0},   {210, 10, 400, 300, 4, 1},  {10, 160, 400, 300, 4, 2},
        {399, 299, 400, 300, 4, 3}, {400, 10, 400, 300, 4, -1}, {-1, 10, 400, 300, 4, -1},
        {10, 10, 1, 1, 4, -1},      {10, 10, 400, 300, 0, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cells.CellAt(c.x, c.y, c.width, c.height, c.split), c.cell) << c.x << "," << c.y;
}

TEST(CameoCells, SameSplitAgainShowsTheNextPage)
{
    struct Case
    {
        int first, split, shown, count;
        bool newSplit;
        int page;
    };
    const Case cases[] = {
        {0, 4, 4, 16, false, 4},                           // the next page
        {12, 4, 4, 16, false, 0},                          // after the last page, the first
        {5, 4, 4, 16, false, 8},                           // pages start at multiples of the split
        {5, 4, 9, 16, false, 4},                           // another split: the page of the first cell
        {0, 9, 4, 16, false, 0},   {0, 4, 4, 16, true, 0}, // a new layout keeps the page
        {7, 16, 16, 16, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CameoCells::PageFirst(c.first, c.split, c.shown, c.count, c.newSplit), c.page)
            << c.first << " " << c.split << " " << c.shown;
}

TEST(CameoCells, SelectionBindingAndSwap)
{
    CameoCells cells;
    cells.LayOut(0, 4, 4, nullptr, nullptr);
    cells.SelectOnly(2);
    EXPECT_EQ(cells.Selection(4), (QVector<bool>{false, false, true, false}));
    cells.SetSelection({true, false, true, false});
    EXPECT_TRUE(cells[0].selected && cells[2].selected && !cells[1].selected);

    cells[1].recorder = 7;
    cells[1].channel = 3;
    cells.Place(1, 7, 3);
    EXPECT_EQ(cells[1].rememberedRecorder, 7);
    EXPECT_EQ(cells[1].osdDate, -1) << "the time of a new binding is unknown";
    EXPECT_EQ(cells.Find(7, 3, 4), 1);
    EXPECT_EQ(cells.Find(7, 3, 1), -1) << "only the cells in use are looked at";

    // The contents move; the places stay.
    cells.Swap(1, 2);
    EXPECT_EQ(cells.Find(7, 3, 4), 2);
    EXPECT_EQ(cells[2].column, 0);
    EXPECT_EQ(cells[2].row, 1);
    EXPECT_EQ(cells[1].column, 1);
    EXPECT_EQ(cells[1].row, 0);

    const QImage blank = Blank();
    cells.Unbind(2, blank);
    EXPECT_FALSE(cells[2].IsBound());
    EXPECT_EQ(cells[2].rememberedRecorder, 7) << "kept for Restore Cameo";
    cells.Empty(2, blank);
    EXPECT_EQ(cells[2].rememberedRecorder, -1);
    EXPECT_EQ(cells[2].picture.cacheKey(), blank.cacheKey());
}

TEST(CameoCells, ZoomFreezeAndResetOfACellLeavingThePage)
{
    CameoCells cells;
    const QImage blank = Blank();
    cells[0].panX = 30;
    cells[0].panY = 40;
    cells.SetZoom(0, 2.0f, false);
    EXPECT_EQ(cells[0].panX, 30);
    cells.SetZoom(0, 1.0f, true);
    EXPECT_EQ(cells[0].panX, 0);
    EXPECT_EQ(cells[0].panY, 0);

    cells.SelectOnly(0);
    cells.FreezeSelected(4, true);
    EXPECT_TRUE(cells[0].frozen);
    EXPECT_FALSE(cells[1].frozen) << "not selected";
    cells.FreezeSelected(4, true);
    EXPECT_FALSE(cells[0].frozen) << "a second Freeze lets it go";
    cells.FreezeSelected(4, true);
    cells.FreezeSelected(4, false);
    EXPECT_FALSE(cells[0].frozen) << "an offline recorder's cell is never frozen";

    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (bool keep : {true, false}) {
        cells[3].picture = picture;
        cells[3].active = 1;
        cells[3].zoom = 2.0f;
        cells.Reset(3, keep, blank);
        EXPECT_FALSE(cells[3].active);
        EXPECT_EQ(cells[3].zoom, 1.0f);
        EXPECT_EQ(cells[3].picture.cacheKey(), keep ? picture.cacheKey() : blank.cacheKey());
    }
}
