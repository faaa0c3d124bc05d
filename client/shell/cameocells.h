#pragma once
// The cells of one video grid as data: what each cell shows (its binding, its picture and the
// state of its display), where the current split places it, which cells are selected, their zoom
// and freeze. The grid widget draws them and its mouse code changes them; the sessions' decode
// threads read and write them under the grid's cells lock, which the caller holds for every call
// here. Widget-free: its rules are tested without a screen.
#include <QImage>
#include <QVector>

#include <array>
#include <vector>

#include "shell/cameocell.h"

class CameoCells
{
public:
    static constexpr int kCells = 64;
    static constexpr int kLayoutSide = 8; // a page is at most 8 x 8 cells

    CameoCells();

    // Unchecked, as an array: callers check the index first (IsCell).
    CameoCell& operator[](int cell) { return m_cells[size_t(cell)]; }
    const CameoCell& operator[](int cell) const { return m_cells[size_t(cell)]; }
    static bool IsCell(int cell) { return cell >= 0 && cell < kCells; }

    // Lays a page out: `split` cells from `first` on (wrapping past the last of `count`) go to
    // the columns and rows of a square page, row by row, and are shown; the other cells are left
    // for the caller to reset (listed in `hidden`). Every cell is unselected.
    void LayOut(int first, int split, int count, std::vector<int>* shown, std::vector<int>* hidden);
    // The cell laid out at (column, row), -1 when none or out of range.
    int LayoutCell(int column, int row) const;
    // The cell under a point of a grid of that size showing that split; -1 when none.
    int CellAt(int x, int y, int width, int height, int split) const;
    // The first cell of the page a split request shows: the same split again goes to the next
    // page (back to the first after the last); another split starts at the page of `first`.
    static int PageFirst(int first, int split, int shownSplit, int count, bool newSplit);

    // Selection: one selected cell, or the flags of the first `count` cells read and written.
    void SelectOnly(int cell);
    QVector<bool> Selection(int count) const;
    void SetSelection(const QVector<bool>& selected);

    // The display state of a cell that leaves the page: not shown, unselected, whole, no time,
    // not frozen, no event marks; the picture goes black unless it is kept (a local file's).
    void Reset(int cell, bool keepPicture, const QImage& blank);
    // The cell shows nothing any more and forgets what it showed.
    void Empty(int cell, const QImage& blank);
    // The binding is dropped, with the picture and display state of what it showed.
    void Unbind(int cell, const QImage& blank);
    // A recorder channel placed into the cell: remembered for "Restore Cameo", time unknown.
    void Place(int cell, int recorder, int channel);
    // The contents of two cells change places; each place keeps its column and row.
    void Swap(int cell, int otherCell);
    // The first of `count` cells bound to the recorder channel, -1 when none.
    int Find(int recorder, int channel, int count) const;

    // The zoom of a cell; the pan goes back to the top-left corner when asked.
    void SetZoom(int cell, float zoom, bool resetPan);
    // "Freeze" on the selected cells of `count`: each toggles while its recorder is online (a
    // cell of an offline recorder is never frozen).
    void FreezeSelected(int count, bool online);

private:
    std::array<CameoCell, kCells> m_cells;
    std::array<int, kCells> m_layout; // cell at (column, row), column x 8 + row
};
