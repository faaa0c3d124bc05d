#include "playback/backupdrives.h"

#include <QStorageInfo>

namespace {

QString WithSlash(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace

DriveType SystemBackupDrives::Classify(const QByteArray& fileSystemType, const QString& mountRoot)
{
    for (const char* hidden : {"/proc", "/sys", "/dev", "/snap", "/boot"}) {
        const QString prefix = QString::fromLatin1(hidden);
        if (mountRoot == prefix || mountRoot.startsWith(prefix + QLatin1Char('/')))
            return DriveType::Unknown;
    }
    if (mountRoot.startsWith(QLatin1String("/run/")) && !mountRoot.startsWith(QLatin1String("/run/media/")))
        return DriveType::Unknown;
    const QByteArray fs = fileSystemType.toLower();
    if (fs == "iso9660" || fs == "udf")
        return DriveType::Cdrom;
    if (fs.startsWith("nfs") || fs == "cifs" || fs.startsWith("smb") || fs == "fuse.sshfs" || fs == "9p")
        return DriveType::Network;
    if (fs == "tmpfs" || fs == "ramfs")
        return DriveType::Ram;
    if (fs == "squashfs" || fs == "proc" || fs == "sysfs" || fs == "devtmpfs" || fs == "cgroup2")
        return DriveType::Unknown;
    if (mountRoot.startsWith(QLatin1String("/media/")) || mountRoot.startsWith(QLatin1String("/run/media/")))
        return DriveType::Removable;
    return DriveType::Fixed;
}

QVector<DriveInfo> SystemBackupDrives::Drives() const
{
    QVector<DriveInfo> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid())
            continue;
        const DriveType type = Classify(volume.fileSystemType(), volume.rootPath());
        if (type != DriveType::Unknown)
            drives.append({WithSlash(volume.rootPath()), type});
    }
    return drives;
}

DriveType SystemBackupDrives::TypeOf(const QString& path) const
{
    const QStorageInfo volume(path);
    if (!volume.isValid())
        return DriveType::Unknown;
    return Classify(volume.fileSystemType(), volume.rootPath());
}
