#pragma once
// The arithmetic of the search dialogs' playback tile, free of widgets: the part of the picture
// that the digital zoom shows, the museum grid's cells, the zoom steps and the speed caption.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

class TileView
{
public:
    static constexpr double kMinZoom = 1.0;
    static constexpr double kMaxZoom = 3.0;
    static constexpr double kZoomStep = 0.1;

    // The zoom factor as the menu prints it ("%0.1f").
    static QString ZoomText(double zoom);
    static bool IsUnzoomed(double zoom) { return ZoomText(zoom) == QLatin1String("1.0"); }
    static bool IsFullZoom(double zoom) { return ZoomText(zoom) == QLatin1String("3.0"); }
    // One wheel turn: fewer than one step (delta / 8 / 15) zooms out, else in; within 1.0..3.0.
    static double WheelZoom(double zoom, int delta);

    // The part of a picture shown at a zoom; the pan offset is brought within the picture (never
    // below 0, never past the far edge) and reset to (0, 0) when unzoomed.
    static QRect ShownPart(const QSize& picture, double zoom, QPoint& pan);
    // A pan drag from `last` to `now`: the offset grows by the way back, each coordinate kept at
    // 0 or more.
    static QPoint Pan(const QPoint& pan, const QPoint& last, const QPoint& now);

    // The outline of a grid cell on a tile of `tile` size: the last column and row take what the
    // division leaves over.
    static QRect CellRect(const QSize& tile, int columns, int rows, int column, int row);
    // The cells from (start column, start row) up to the end column and row (exclusive).
    static QRect AreaRect(const QSize& tile, int columns, int rows, int endColumn, int endRow, int startColumn,
                          int startRow);

    // The side of a square grid of that many cells (whole square root).
    static int GridSide(int cellCount);
    // The largest size within `area` whose width and height are whole multiples of the side of
    // a square grid of `cellCount` cells; negative sides become 0.
    static QSize WholeCellSize(const QSize& area, int cellCount);

    // ">", "<", "||", "x%d >>", "x%d <<" by play mode; empty for other modes or a step of 0 or
    // below.
    static QString SpeedCaption(int playMode, int speedStep);
};
