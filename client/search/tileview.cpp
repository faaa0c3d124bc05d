#include "search/tileview.h"

#include <algorithm>

#include "session/playbackmode.h"

QString TileView::ZoomText(double zoom)
{
    return QString::asprintf("%0.1f", zoom);
}

double TileView::WheelZoom(double zoom, int delta)
{
    const int steps = delta / 8 / 15;
    const double next = steps < 1 ? zoom - kZoomStep : zoom + kZoomStep;
    return std::clamp(next, kMinZoom, kMaxZoom);
}

QRect TileView::ShownPart(const QSize& picture, double zoom, QPoint& pan)
{
    if (IsUnzoomed(zoom) || zoom <= 0.0) {
        pan = QPoint(0, 0);
        return QRect(QPoint(0, 0), picture);
    }
    const double fw = picture.width() / zoom;
    const double fh = picture.height() / zoom;
    const int maxX = int(picture.width() - fw);
    const int maxY = int(picture.height() - fh);
    pan.setX(std::clamp(pan.x(), 0, std::max(maxX, 0)));
    pan.setY(std::clamp(pan.y(), 0, std::max(maxY, 0)));
    return QRect(pan.x(), pan.y(), int(fw), int(fh));
}

QPoint TileView::Pan(const QPoint& pan, const QPoint& last, const QPoint& now)
{
    return QPoint(std::max(pan.x() + last.x() - now.x(), 0), std::max(pan.y() + last.y() - now.y(), 0));
}

QRect TileView::CellRect(const QSize& tile, int columns, int rows, int column, int row)
{
    if (columns <= 0 || rows <= 0)
        return QRect();
    const int cellW = tile.width() / columns;
    const int cellH = tile.height() / rows;
    const int w = cellW + (column == columns - 1 ? tile.width() - cellW * columns : 0);
    const int h = cellH + (row == rows - 1 ? tile.height() - cellH * rows : 0);
    return QRect(cellW * column, cellH * row, w, h);
}

QRect TileView::AreaRect(const QSize& tile, int columns, int rows, int endColumn, int endRow, int startColumn,
                         int startRow)
{
    if (columns <= 0 || rows <= 0)
        return QRect();
    const int cellW = tile.width() / columns;
    const int cellH = tile.height() / rows;
    return QRect(cellW * startColumn, cellH * startRow, (endColumn - startColumn) * cellW,
                 (endRow - startRow) * cellH);
}

QString TileView::SpeedCaption(int playMode, int speedStep)
{
    if (speedStep <= 0)
        return QString();
    switch (PlaybackMode(playMode)) {
    case PlaybackMode::Forward: return QStringLiteral(">");
    case PlaybackMode::Backward: return QStringLiteral("<");
    case PlaybackMode::Stop: return QStringLiteral("||");
    case PlaybackMode::FastForward: return QString::asprintf("x%d >>", speedStep);
    case PlaybackMode::FastBackward: return QString::asprintf("x%d <<", speedStep);
    default: return QString();
    }
}

int TileView::GridSide(int cellCount)
{
    int side = 0;
    while ((side + 1) * (side + 1) <= cellCount)
        ++side;
    return side;
}

QSize TileView::WholeCellSize(const QSize& area, int cellCount)
{
    const int side = GridSide(cellCount);
    int w = area.width();
    int h = area.height();
    if (side > 0 && w > 0 && h > 0) {
        w = w / side * side;
        h = h / side * side;
    }
    return QSize(std::max(w, 0), std::max(h, 0));
}
