#pragma once
// A file that stands for a full disk: the path becomes a link to /dev/full, where every write
// fails with "No space left on device" from the kernel itself.
#include <QFile>
#include <QString>

namespace recordtest {

inline bool MakeDiskFull(const QString& path)
{
    QFile::remove(path);
    return QFile::link(QStringLiteral("/dev/full"), path);
}

} // namespace recordtest
