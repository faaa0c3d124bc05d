#pragma once
// Geometry of the split layouts: which tile goes into which cell of the grid window, and which tile
// a re-pressed layout button starts from. Widget-free.
#include <QRect>
#include <QVector>
#include <array>

// A tile's rectangle in the grid window's client pixels; right and bottom are exclusive for
// drawing but count as inside for hit tests (a point on a shared edge hits the first tile).
struct CameoRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool IsSet() const { return right != 0 || bottom != 0; }
    bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    QRect ToQRect() const { return QRect(left, top, Width(), Height()); }
    bool operator==(const CameoRect& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

struct CameoPlacement
{
    std::array<CameoRect, 16> rects{};
    std::array<bool, 16> visible{};
    // Cells of the 36-, 49- and 64-cell layouts that no tile ends up in; drawn as empty cells.
    QVector<CameoRect> spareCells;
};

class CameoLayout
{
public:
    static constexpr int kSingle = 0;
    static constexpr int kSixteen = 7;
    static constexpr int kLastCode = 11;

    // Number of cells the layout shows (1, 4, 6, 7, 9, 10, 13, 16, 25, 36, 49, 64), 0 for a bad code.
    static int CellCount(int code);
    // Tiles of one group of the layout, the unit a start tile is rounded to.
    static int GroupSize(int code);
    // Rectangles and visible flags of the layout at the given client size.
    static CameoPlacement Place(int code, int start, int width, int height);
    // Start tile after the same layout button was pressed again.
    static int RepressStart(int code, int start, const std::array<bool, 16>& assigned);
    // A start tile brought into 0..15 and onto the layout's group boundary.
    static int NormaliseStart(int code, int start);
};
