#include "museumgrid.h"

#include <algorithm>

void MuseumGrid::Configure(const MuseumGridCaps& caps, int resolutionClass, int gridFamily, int videoFormatBit)
{
    if (caps.fineGrid) {
        m_columns = 45;
        m_rows = 30;
        return;
    }
    if (gridFamily == 1) {
        m_columns = 30;
        m_rows = videoFormatBit == 1 ? 18 : 15;
        if (caps.smallGrid == 1) {
            m_columns = 10;
            m_rows = 7;
        }
        return;
    }
    if (gridFamily == 2) {
        m_columns = 32;
        m_rows = 24;
        return;
    }
    switch (resolutionClass) {
    case 0:
        m_columns = 22;
        m_rows = videoFormatBit == 1 ? 18 : 15;
        break;
    case 1:
        m_columns = 20;
        m_rows = 11;
        break;
    case 2:
        m_columns = 30;
        m_rows = 17;
        break;
    default: break; // an unknown class keeps the size of the previous search
    }
    if (caps.wideGrid == 1) {
        m_columns = 23;
        m_rows = 15;
    }
}

QRect MuseumGrid::TileRect() const
{
    return QRect(kTileX, kTileY, CellWidth() * m_columns, CellHeight() * m_rows);
}

std::optional<QPoint> MuseumGrid::CellAt(QPoint dialogPos) const
{
    if (m_columns <= 0 || m_rows <= 0)
        return std::nullopt;
    const int x = dialogPos.x();
    const int y = dialogPos.y();
    if (x < kTileX || x > kTileX + kPictureWidth || y < kTileY || y > kTileY + kPictureHeight)
        return std::nullopt;
    const int column = (x - kTileX) / CellWidth();
    const int row = (y - kTileY) / CellHeight();
    // The strip between the last whole cell and the picture's edge is no cell.
    if (column >= m_columns || row >= m_rows)
        return std::nullopt;
    return QPoint(column, row);
}

void MuseumGrid::ResetArea(int value)
{
    m_dragging = false;
    m_area = MuseumArea{value, value, value, value};
    m_anchor = QPoint(value, value);
}

void MuseumGrid::BeginDrag(QPoint cell)
{
    m_anchor = cell;
    m_area = MuseumArea{cell.x(), cell.y(), cell.x() + 1, cell.y() + 1};
    m_dragging = true;
}

void MuseumGrid::DragTo(QPoint cell)
{
    if (!m_dragging)
        return;
    m_area = MuseumArea{std::min(m_anchor.x(), cell.x()), std::min(m_anchor.y(), cell.y()),
                        std::max(m_anchor.x(), cell.x()) + 1, std::max(m_anchor.y(), cell.y()) + 1};
}
