#include "ui/cameolayout.h"

namespace {

struct Cell
{
    int column;
    int row;
    int span;
};

// clang-format off
const Cell kSix[] = {{0, 0, 2}, {2, 0, 1}, {2, 1, 1}, {0, 2, 1}, {1, 2, 1}, {2, 2, 1}};
const Cell kSeven[] = {{0, 0, 2}, {2, 0, 2}, {0, 2, 2}, {2, 2, 1}, {3, 2, 1}, {2, 3, 1}, {3, 3, 1}};
const Cell kTen[] = {{0, 0, 2}, {2, 0, 2}, {0, 2, 1}, {1, 2, 1}, {2, 2, 1}, {3, 2, 1},
                     {0, 3, 1}, {1, 3, 1}, {2, 3, 1}, {3, 3, 1}};
const Cell kThirteen[] = {{1, 1, 2}, {0, 0, 1}, {1, 0, 1}, {2, 0, 1}, {3, 0, 1}, {0, 1, 1}, {3, 1, 1},
                          {0, 2, 1}, {3, 2, 1}, {0, 3, 1}, {1, 3, 1}, {2, 3, 1}, {3, 3, 1}};
// clang-format on

int Wrap(int tile)
{
    return ((tile % 16) + 16) % 16;
}

// The cell size is the client size times the single-precision fraction, truncated toward zero.
int CellSize(int extent, int divisions, bool rounded)
{
    const float fraction = 1.0f / static_cast<float>(divisions);
    const float size = static_cast<float>(extent) * fraction;
    return static_cast<int>(rounded ? size + 0.5f : size);
}

int Divisions(int code)
{
    switch (code) {
    case 1: return 2;
    case 2:
    case 4: return 3;
    case 3:
    case 5:
    case 6:
    case 7: return 4;
    case 9: return 6;
    case 10: return 7;
    case 11: return 8;
    default: return 1;
    }
}

} // namespace

int CameoLayout::CellCount(int code)
{
    static const int counts[] = {1, 4, 6, 7, 9, 10, 13, 16, 25, 36, 49, 64};
    return code >= 0 && code <= kLastCode ? counts[code] : 0;
}

int CameoLayout::GroupSize(int code)
{
    static const int groups[] = {1, 4, 6, 7, 9, 10, 13, 16};
    return code >= 0 && code <= kSixteen ? groups[code] : 16;
}

CameoPlacement CameoLayout::Place(int code, int start, int width, int height)
{
    CameoPlacement placement;
    start = Wrap(start);
    const int divisions = Divisions(code);
    const bool rounded = code == 2;
    const int cellWidth = CellSize(width, divisions, rounded);
    const int cellHeight = CellSize(height, divisions, rounded);
    auto put = [&](int k, const Cell& cell) {
        const int tile = Wrap(start + k);
        CameoRect& rect = placement.rects[tile];
        rect.left = cellWidth * cell.column;
        rect.top = cellHeight * cell.row;
        rect.right = cellWidth * (cell.column + cell.span);
        rect.bottom = cellHeight * (cell.row + cell.span);
        placement.visible[tile] = true;
    };
    auto putTable = [&](const Cell* cells, int count) {
        for (int k = 0; k < count; ++k) {
            put(k, cells[k]);
        }
    };
    auto putRowMajor = [&](int columns, int first) {
        for (int k = 0; k < columns * columns; ++k) {
            put(first + k, Cell{k % columns, k / columns, 1});
        }
    };

    switch (code) {
    case 0: {
        CameoRect& rect = placement.rects[start];
        rect = CameoRect{0, 0, width, height};
        placement.visible[start] = true;
        break;
    }
    case 1:
    case 4:
    case 7: putRowMajor(divisions, 0); break;
    case 2: putTable(kSix, 6); break;
    case 3: putTable(kSeven, 7); break;
    case 5: putTable(kTen, 10); break;
    case 6: putTable(kThirteen, 13); break;
    case 9:
    case 10:
    case 11: {
        // Cell k belongs to tile (start + k) mod 16; a tile met again later moves to the later cell,
        // and the cell it leaves stays empty.
        const int cells = divisions * divisions;
        std::array<int, 16> lastCell{};
        lastCell.fill(-1);
        for (int k = 0; k < cells; ++k) {
            lastCell[Wrap(start + k)] = k;
        }
        for (int k = 0; k < cells; ++k) {
            const Cell cell{k % divisions, k / divisions, 1};
            if (lastCell[Wrap(start + k)] == k) {
                put(k, cell);
            } else {
                placement.spareCells.append(CameoRect{cellWidth * cell.column, cellHeight * cell.row,
                                                      cellWidth * (cell.column + 1), cellHeight * (cell.row + 1)});
            }
        }
        break;
    }
    default: break;
    }
    return placement;
}

int CameoLayout::RepressStart(int code, int start, const std::array<bool, 16>& assigned)
{
    start = Wrap(start);
    if (code == 0) {
        for (int step = 1; step <= 16; ++step) {
            const int tile = Wrap(start + step);
            if (assigned[tile]) {
                return tile;
            }
        }
        return start;
    }
    if (code >= 1 && code <= 6) {
        static const int tries[] = {4, 2, 2, 1, 1, 1};
        const int group = GroupSize(code);
        for (int n = 1; n <= tries[code - 1]; ++n) {
            const int candidate = Wrap(start + n * group);
            for (int k = 0; k < group; ++k) {
                if (assigned[Wrap(candidate + k)]) {
                    return candidate;
                }
            }
        }
        return start;
    }
    // The 36- and 49-cell layouts switch between starting at tile 0 and showing the sixteen tiles
    // in order in their last sixteen cells; the 64-cell layout shows every tile four times.
    if (code == 9) {
        return start == 0 ? Wrap(-20) : 0;
    }
    if (code == 10) {
        return start == 0 ? Wrap(-33) : 0;
    }
    return 0;
}

int CameoLayout::NormaliseStart(int code, int start)
{
    if (start < 0 || start > 15) {
        return Wrap(start);
    }
    if (code >= 0 && code <= 6) {
        const int group = GroupSize(code);
        return start - start % group;
    }
    if (code >= 9 && code <= 10) {
        return start;
    }
    return 0;
}
