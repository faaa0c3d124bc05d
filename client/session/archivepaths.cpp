#include "session/archivepaths.h"

#include <QLatin1Char>
#include <QLatin1String>

#include "common/media/modulerecord.h"

QString ArchivePaths::BackupRoot(const QString& programDirectory)
{
    return programDirectory + QLatin1Char('/') + QLatin1String(kBackupFolder);
}

QString ArchivePaths::KindFolder(const QString& programDirectory, const QString& kind)
{
    return BackupRoot(programDirectory) + QLatin1Char('/') + kind;
}

QString ArchivePaths::RecorderFolder(const QString& programDirectory, const QString& kind,
                                     const QString& recorderName)
{
    return KindFolder(programDirectory, kind) + QLatin1Char('/') + ModuleRecord::SafePathComponent(recorderName);
}
