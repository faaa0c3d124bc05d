#include "backup/formatbackupsize.h"

QString FormatBackupSize(qint64 value, bool kilobytes)
{
    const char* small = kilobytes ? "KB" : "MB";
    const char* large = kilobytes ? "MB" : "GB";
    if (value <= 0)
        return QStringLiteral("0 %1").arg(QLatin1String(small));
    if (value < 1024)
        return QStringLiteral("%1 %2").arg(value).arg(QLatin1String(small));
    return QString::asprintf("%.2f %s", double(value) / 1024.0, large);
}
