#include "console/vdaoverlay.h"

#include <QPainter>
#include <QPen>

#include <algorithm>

namespace {

// No recorder has a grid larger than this; larger values are not drawn.
constexpr int kMaxRows = 256;

} // namespace

void VdaOverlay::Set(int columns, int rows, int rowBytes, const QByteArray& mask)
{
    m_columns = columns;
    m_rows = std::clamp(rows, 0, kMaxRows);
    m_rowBytes = rowBytes;
    m_mask = mask;
}

bool VdaOverlay::Bit(int row, int column) const
{
    const int word = m_rowBytes == 4 ? 4 : 8;
    if (column >= word * 8)
        return false;
    const qint64 at = qint64(row) * word;
    if (at + word > m_mask.size())
        return false;
    quint64 bits = 0;
    for (int i = 0; i < word; ++i)
        bits |= quint64(quint8(m_mask[int(at) + i])) << (8 * i);
    return (bits >> column) & 1;
}

QVector<QRectF> VdaOverlay::Cells(const QSizeF& area) const
{
    QVector<QRectF> cells;
    if (IsEmpty())
        return cells;
    const float cellWidth = float(area.width()) / m_columns;
    const float cellHeight = float(area.height()) / m_rows;
    const int columns = std::min(m_columns, 64);
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (Bit(r, c))
                cells.push_back(QRectF(c * cellWidth + 2, r * cellHeight + 2, cellWidth - 4, cellHeight - 4));
    return cells;
}

void VdaOverlay::Draw(QImage& picture) const
{
    const QVector<QRectF> cells = Cells(picture.size());
    if (cells.isEmpty())
        return;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Qt::red, 4));
    painter.drawRects(cells);
}
