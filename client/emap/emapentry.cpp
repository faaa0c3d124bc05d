#include "emap/emapentry.h"

#include <QStringList>
#include <algorithm>

QString EmapEntry::PositionText(float x, float y)
{
    return QString::asprintf("%f;%f;", double(x), double(y));
}

EmapEntry::Lists EmapEntry::Build(const Positions& positions)
{
    Lists lists;
    for (const Position& p : positions) {
        if (p.IsPlaced()) {
            lists.devices += p.recorderName + QLatin1Char(';');
            lists.channels += QString::asprintf("%d;", p.channel);
            lists.positions += PositionText(p.x, p.y);
        } else {
            lists.devices += QLatin1Char(';');
            lists.channels += QLatin1String("-1;");
            lists.positions += QLatin1String("-1;-1;");
        }
    }
    return lists;
}

EmapEntry::Positions EmapEntry::Parse(const QString& devices, const QString& channels, const QString& positions)
{
    const QStringList names = devices.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    const QStringList numbers = channels.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    const QStringList coordinates = positions.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    Positions out;
    for (int i = 0; i < kPositions; ++i) {
        Position& p = out[size_t(i)];
        bool channelOk = false;
        const int channel = numbers.value(i).toInt(&channelOk);
        bool xOk = false;
        bool yOk = false;
        const float x = coordinates.value(2 * i).toFloat(&xOk);
        const float y = coordinates.value(2 * i + 1).toFloat(&yOk);
        if (!channelOk || channel < 0 || channel >= kPositions || !xOk || !yOk)
            continue;
        p.recorderName = names.value(i);
        p.channel = channel;
        p.x = x;
        p.y = y;
    }
    return out;
}

QPointF EmapEntry::DropFraction(const QPoint& point, const QSize& window)
{
    const double width = std::max(1, window.width());
    const double height = std::max(1, window.height());
    return {(point.x() - kDropOffsetX) / width, (point.y() - kDropOffsetY) / height};
}

QPoint EmapEntry::ClampRelease(const QPoint& topLeft, const QSize& window, const QSize& icon)
{
    const int maxX = std::max(1, window.width() - icon.width());
    const int maxY = std::max(1, window.height() - icon.height());
    return {std::clamp(topLeft.x(), 1, maxX), std::clamp(topLeft.y(), 1, maxY)};
}
