#include "search/stylesheetloader.h"

#include <QDir>
#include <QFile>
#include <QWidget>

#include "session/sessionhub.h"

QString StyleSheetPath(const QString& programDirectory, const QString& name)
{
    return programDirectory + QStringLiteral("/qss/") + name.toLower() + QStringLiteral(".qss");
}

void loadStyleSheet(QWidget* widget, const QString& name)
{
    if (!widget)
        return;
    const SessionHub* hub = SessionHub::Instance();
    QFile file(StyleSheetPath(hub ? hub->ProgramDirectory() : QDir::currentPath(), name));
    QString sheet;
    if (file.open(QIODevice::ReadOnly))
        sheet = QString::fromLatin1(file.readAll());
    widget->setStyleSheet(sheet);
}
