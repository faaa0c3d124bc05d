#include "shell/cameozoom.h"

#include <algorithm>

QString CameoZoom::Text(float zoom)
{
    return QString::asprintf("%0.1f", double(zoom));
}

float CameoZoom::Wheel(float zoom, int delta)
{
    const int steps = delta / 8 / 15;
    const float next = steps >= 1 ? zoom + kStep : zoom - kStep;
    return std::clamp(next, kMin, kMax);
}

QPoint CameoZoom::Pan(QPoint pan, QPoint previous, QPoint now)
{
    const int x = std::max(0, pan.x() + previous.x() - now.x());
    const int y = std::max(0, pan.y() + previous.y() - now.y());
    return QPoint(x, y);
}

QString CameoZoom::ZoomInText(float zoom)
{
    if (IsMost(zoom))
        return QStringLiteral("Zoom In");
    return QString::asprintf("Zoom In\tx%0.1f", double(zoom + kStep));
}

QString CameoZoom::ZoomOutText(float zoom)
{
    if (IsWhole(zoom))
        return QStringLiteral("Zoom Out");
    return QString::asprintf("Zoom Out\tx%0.1f", double(zoom - kStep));
}
