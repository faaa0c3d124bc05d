#include "console/consolearea.h"

#include "console/consolelog.h"

#include <cmath>

namespace {

// value x scale / divisor rounded to the nearest integer, halves upward; a divisor of 0 (a
// recorder that reported no resolution) leaves the value as it is.
int Scaled(int value, int scale, int divisor)
{
    if (divisor == 0)
        return value;
    return int(std::floor(double(value) * scale / divisor + 0.5));
}

} // namespace

ConsoleArea::ConsoleArea(int originX, int originY, int width, int height, int resolutionWidth,
                         int resolutionHeight)
{
    SetOrigin(originX, originY);
    SetSize(width, height);
    SetResolution(resolutionWidth, resolutionHeight);
}

void ConsoleArea::SetOrigin(int x, int y)
{
    m_originX = x;
    m_originY = y;
    qCDebug(lcConsole) << "config ===== mouse pos  x : " << x << " , y : " << y;
}

void ConsoleArea::SetSize(int width, int height)
{
    m_width = width;
    m_height = height;
    qCDebug(lcConsole) << "config ===== width : " << width << " , height : " << height;
}

void ConsoleArea::SetResolution(int width, int height)
{
    m_resolutionWidth = width;
    m_resolutionHeight = height;
    if (Wide())
        m_originY = 0;
    qCDebug(lcConsole) << "config ===== resolution x : " << width << " , y : " << height;
}

QRect ConsoleArea::ToWindow(int x, int y, int width, int height) const
{
    // Element values are bounded by the layout reader, so these sums stay far from overflow.
    x -= m_originX;
    y -= m_originY;
    if (Wide()) {
        if (m_width > m_resolutionWidth)
            return QRect(x, y, width, height);
        // The whole screen width (or the area's, when the area is the narrower) fills the frame.
        const int across = m_width == m_resolutionWidth ? m_resolutionWidth : m_width;
        const QRect r(Scaled(x, kFrameWidth, across), Scaled(y, kFrameHeight, m_resolutionHeight),
                      Scaled(width, kFrameWidth, across), Scaled(height, kFrameHeight, m_resolutionHeight));
        qCDebug(lcConsole) << "x : " << r.x() << "  y : " << r.y();
        return r;
    }
    if (Centred()) {
        x += (kFrameWidth - m_width) / 2;
        y += (kFrameHeight - m_height) / 2;
    }
    return QRect(x, y, width, height);
}

QPoint ConsoleArea::ToRecorder(const QPoint& point) const
{
    if (Wide()) {
        if (m_width > m_resolutionWidth)
            return QPoint(0, 0);
        return QPoint(int(qint64(point.x()) * m_width / kFrameWidth + m_originX),
                      int(qint64(point.y()) * m_resolutionHeight / kFrameHeight + m_originY));
    }
    if (Centred())
        return QPoint(m_originX - (kFrameWidth - m_width) / 2 + point.x(),
                      point.y() - (kFrameHeight - m_height) / 2 + m_originY);
    return QPoint(m_originX + point.x(), m_originY + point.y());
}

QRect ConsoleArea::BackgroundRect() const
{
    if (Wide())
        return QRect(0, 0, kFrameWidth, kFrameHeight);
    const QPoint at = Centred() ? QPoint((kFrameWidth - m_width) / 2, (kFrameHeight - m_height) / 2) : QPoint();
    // A screen larger than the frame shows only the part that falls inside it.
    return QRect(at, QSize(m_resolutionWidth, m_resolutionHeight)) & QRect(0, 0, kFrameWidth, kFrameHeight);
}

bool ConsoleArea::Showable() const
{
    const auto within = [](int side) { return side >= 0 && side <= kMaxScreenSide; };
    return within(m_width) && within(m_height) && within(m_resolutionWidth) && within(m_resolutionHeight);
}
