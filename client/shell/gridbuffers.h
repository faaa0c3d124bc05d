#pragma once
// The two pictures of a whole grid: the composing thread draws the cells that changed into the
// back one, then the two change places (nothing is copied) and the screen draws the front one
// as it is, only where it changed. Each remembers the version of every cell it holds, so a cell
// is drawn again into a buffer only when it changed since that buffer last showed it.
// Widget-free; the composing side is one thread at a time (the grid's cells lock).
#include <QImage>
#include <QMutex>
#include <QRect>

#include <array>
#include <atomic>

class QPainter;

class GridBuffers
{
public:
    static constexpr int kCells = 64;

    // Both pictures black at `size` (none when empty); every cell to be drawn again.
    void Resize(const QSize& size);
    bool IsNull() const { return m_back.isNull(); }

    // Composing side.
    QImage& Back() { return m_back; }
    // The back buffer holds an older version of the cell (or everything is to be drawn again).
    bool NeedsCell(int cell, quint64 version, bool all) const;
    void MarkCell(int cell, quint64 version) { m_backDrawn[size_t(cell)] = version; }
    // The back buffer holds everything drawn for `allVersion`.
    bool HoldsAll(quint64 allVersion) const { return m_backDrawnAll == allVersion; }
    // The back buffer becomes the front one; `changed` is added to what the screen has to
    // redraw. True when the screen had taken everything before: a repaint is to be asked for.
    bool Publish(const QRect& changed, quint64 allVersion);

    // Window side: what changed since the last call (empty when nothing was published).
    QRect TakeDirty();
    // Draws the front picture's `area` at its place, or the whole picture scaled into `grid`
    // when the grid has another size. False when there is no picture (nothing drawn).
    bool DrawFront(QPainter& painter, const QRect& area, const QRect& grid) const;
    QImage FrontCopy() const;

private:
    QImage m_back;
    mutable QMutex m_frontLock;
    QImage m_front;
    QRect m_dirty; // front lock
    std::atomic<bool> m_fresh{false};
    std::array<quint64, kCells> m_backDrawn{};
    std::array<quint64, kCells> m_frontDrawn{};
    quint64 m_backDrawnAll = 0;
    quint64 m_frontDrawnAll = 0;
};
