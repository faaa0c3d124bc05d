#pragma once
// Size and free space of the volume that holds a folder. The settings object asks it before the
// live recorder opens a new recording; tests give a fake volume.
#include <QString>
#include <QtGlobal>

class VolumeSpace
{
public:
    virtual ~VolumeSpace() = default;
    // False when the volume cannot be queried (the caller then treats the disk as not full).
    virtual bool Query(const QString& folder, quint64& totalBytes, quint64& freeBytes) const = 0;
};

// The real volume through QStorageInfo.
class StorageVolumeSpace : public VolumeSpace
{
public:
    bool Query(const QString& folder, quint64& totalBytes, quint64& freeBytes) const override;
};
