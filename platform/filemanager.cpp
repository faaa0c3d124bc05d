#include "platform/filemanager.h"

#include "platform/platformlog.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform {

QString FileManager::FolderToOpen(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() ? info.absoluteFilePath() : info.absolutePath();
}

bool FileManager::Reveal(const QString& path)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        qCDebug(lcPlatform) << "no xdg-open to show" << path;
        return false;
    }
    return QProcess::startDetached(opener, {FolderToOpen(path)});
}

} // namespace platform
