#pragma once
// Where the client keeps what it stores locally: one folder of the program directory holds the
// recordings, backups and snapshots of every recorder, each kind in a folder of its own and each
// recorder in a folder named after it. Every writer and the site book's archive items build their
// paths here, so that a snapshot lands where the archive list looks for it.
#include <QString>

#include "common/media/modulerecord.h"

namespace ArchiveFolders {

// The program directory's archive folder.
inline const QString& BackupFolderName()
{
    static const QString name = QStringLiteral("backup");
    return name;
}

// The archive kind of snapshots.
inline const QString& SnapshotKind()
{
    static const QString kind = QStringLiteral("SnapShot");
    return kind;
}

// programDirectory/backup/kind/recorder, the recorder name reduced to one safe path component.
inline QString RecorderFolder(const QString& programDirectory, const QString& kind, const QString& recorderName)
{
    return programDirectory + QLatin1Char('/') + BackupFolderName() + QLatin1Char('/') + kind + QLatin1Char('/')
           + ModuleRecord::SafePathComponent(recorderName);
}

} // namespace ArchiveFolders
