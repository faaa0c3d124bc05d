#include "shell/gridbuffers.h"

#include <QMutexLocker>
#include <QPainter>

#include <utility>

void GridBuffers::Resize(const QSize& size)
{
    m_back = size.isEmpty() ? QImage() : QImage(size, QImage::Format_RGB32);
    if (!m_back.isNull())
        m_back.fill(Qt::black);
    m_backDrawnAll = 0;
    QMutexLocker front(&m_frontLock);
    m_front = m_back.copy();
    m_frontDrawnAll = 0;
    m_dirty = m_front.rect();
}

bool GridBuffers::NeedsCell(int cell, quint64 version, bool all) const
{
    return all || cell < 0 || cell >= kCells || m_backDrawn[size_t(cell)] != version;
}

bool GridBuffers::Publish(const QRect& changed, quint64 allVersion)
{
    m_backDrawnAll = allVersion;
    {
        QMutexLocker front(&m_frontLock);
        m_back.swap(m_front);
        std::swap(m_backDrawn, m_frontDrawn);
        std::swap(m_backDrawnAll, m_frontDrawnAll);
        m_dirty |= changed;
    }
    return !m_fresh.exchange(true);
}

QRect GridBuffers::TakeDirty()
{
    if (!m_fresh.exchange(false))
        return QRect();
    QMutexLocker front(&m_frontLock);
    return std::exchange(m_dirty, QRect());
}

bool GridBuffers::DrawFront(QPainter& painter, const QRect& area, const QRect& grid) const
{
    QMutexLocker front(&m_frontLock);
    if (m_front.isNull())
        return false;
    if (grid.size() == m_front.size())
        painter.drawImage(area.topLeft(), m_front, area);
    else
        painter.drawImage(grid, m_front);
    return true;
}

QImage GridBuffers::FrontCopy() const
{
    QMutexLocker front(&m_frontLock);
    return m_front.copy();
}
