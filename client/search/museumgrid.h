#pragma once
// The area grid of the museum search, free of widgets: its size from what the recorder reported
// at login and the three grid arguments of the search, the cell size on the 960 x 559 picture,
// the mapping of a dialog position to a cell and the area the operator drags out.
#include <QPoint>
#include <QRect>

#include <optional>

// What the recorder's live connection reported at login about its motion grid.
struct MuseumGridCaps
{
    bool fineGrid = false; // 45 x 30 cells
    int smallGrid = 0;     // 1: 10 x 7 cells in grid family 1
    int wideGrid = 0;      // 1: 23 x 15 cells for the other families
};

// Selected cells: columns x1 .. x2-1, rows y1 .. y2-1. -1 after a search is opened, 0 when
// cleared; an area counts only when x2 and y2 are above 0.
struct MuseumArea
{
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;

    bool IsSet() const { return x2 > 0 && y2 > 0; }
    bool operator==(const MuseumArea& other) const
    {
        return x1 == other.x1 && y1 == other.y1 && x2 == other.x2 && y2 == other.y2;
    }
};

class MuseumGrid
{
public:
    static constexpr int kPictureWidth = 960;
    static constexpr int kPictureHeight = 559;
    static constexpr int kTileX = 10;
    static constexpr int kTileY = 30;

    void Configure(const MuseumGridCaps& caps, int resolutionClass, int gridFamily, int videoFormatBit);

    int Columns() const { return m_columns; }
    int Rows() const { return m_rows; }
    int CellWidth() const { return m_columns > 0 ? kPictureWidth / m_columns : 0; }
    int CellHeight() const { return m_rows > 0 ? kPictureHeight / m_rows : 0; }
    // The tile covers whole cells only.
    QRect TileRect() const;

    // The cell under a dialog position; none outside the tile or past the last whole cell.
    std::optional<QPoint> CellAt(QPoint dialogPos) const;

    // The area that follows the operator's drag.
    void ResetArea(int value); // every coordinate and the anchor to value (-1 or 0)
    void BeginDrag(QPoint cell);
    void DragTo(QPoint cell);
    void EndDrag() { m_dragging = false; }
    bool IsDragging() const { return m_dragging; }
    MuseumArea Area() const { return m_area; }

private:
    int m_columns = 0;
    int m_rows = 0;
    MuseumArea m_area;
    QPoint m_anchor;
    bool m_dragging = false;
};
