#include "panels/networkusage.h"

#include <algorithm>

qint64 NetworkUsageSize::LimitKB(int position)
{
    const qint64 p = std::clamp(position, 0, kLastPosition);
    if (p <= 10)
        return p * 1024;
    if (p <= 24)
        return (p - 9) * 10240;
    if (p <= 31)
        return (p - 21) * 51200;
    return (p - 30) * 524288;
}

QString NetworkUsageSize::Text(qint64 value, Unit unit)
{
    if (unit == Unit::MB) {
        if (value >= 1024)
            return QString::asprintf("%.2f GB", double(value) / 1024.0);
        return value > 0 ? QString::asprintf("%lld MB", value) : QStringLiteral("0 MB");
    }
    if (value >= 1024 * 1024)
        return QString::asprintf("%.1f GB", double(value) / 1024.0 / 1024.0);
    if (value >= 1024)
        return QString::asprintf("%lld MB", value / 1024);
    return value > 0 ? QString::asprintf("%lld KB", value) : QStringLiteral("0 KB");
}
