#include "playback/volumespace.h"

#include <QStorageInfo>

bool StorageVolumeSpace::Query(const QString& folder, quint64& totalBytes, quint64& freeBytes) const
{
    QStorageInfo info(folder);
    if (!info.isValid() || !info.isReady() || info.bytesTotal() <= 0)
        return false;
    totalBytes = quint64(info.bytesTotal());
    freeBytes = quint64(qMax<qint64>(0, info.bytesFree()));
    return true;
}
