#include "platform/driveroot.h"

#include <QDir>
#include <QStandardPaths>
#include <QStringList>

namespace platform {

DriveRoot::DriveRoot(const QString& root)
    : m_root(QDir::cleanPath(root))
{}

DriveRoot DriveRoot::Default()
{
    return DriveRoot(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                     + QStringLiteral("/drives"));
}

QString DriveRoot::Map(const QString& drivePath) const
{
    if (drivePath.size() < 2 || !drivePath.at(0).isLetter() || drivePath.at(1) != QLatin1Char(':'))
        return QString();
    QString rest = drivePath.mid(2);
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString mapped = m_root + QLatin1Char('/') + drivePath.at(0).toLower();
    for (const QString& part : parts) {
        if (part == QLatin1String(".."))
            return QString();
        if (part == QLatin1String("."))
            continue;
        mapped += QLatin1Char('/') + part;
    }
    return mapped;
}

} // namespace platform
