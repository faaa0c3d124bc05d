#include "widgets/stylesheetfile.h"

#include <QDir>
#include <QFile>

QString ReadPanelStyleSheet(const QString& name)
{
    QFile file(QDir::currentPath() + QStringLiteral("/qss/") + name.toLower() + QStringLiteral(".qss"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.readAll());
}
