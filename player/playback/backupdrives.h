#pragma once
// The drives the backup folder tree shows under "My PC", and the kind of drive that holds a
// path (a CD backup is copied to a work folder before it is opened). On this platform a drive is
// a mounted volume; its kind comes from the file system type and the mount place.
#include <QString>
#include <QVector>

enum class DriveType {
    Unknown,
    Removable,
    Fixed,
    Cdrom,
    Network,
    Ram,
};

struct DriveInfo
{
    QString root; // ends in "/"
    DriveType type = DriveType::Unknown;
};

class BackupDrives
{
public:
    virtual ~BackupDrives() = default;
    virtual QVector<DriveInfo> Drives() const = 0;
    virtual DriveType TypeOf(const QString& path) const = 0;
};

class SystemBackupDrives : public BackupDrives
{
public:
    QVector<DriveInfo> Drives() const override;
    DriveType TypeOf(const QString& path) const override;
    // The kind for a file system type and mount place; Unknown for system mounts not shown.
    static DriveType Classify(const QByteArray& fileSystemType, const QString& mountRoot);
};
