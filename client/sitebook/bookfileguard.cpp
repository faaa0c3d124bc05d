#include "sitebook/bookfileguard.h"

#include <QDir>
#include <QFileInfo>

QString BookFileGuard::Key(const QString& path)
{
    // The same file may be named relative or absolute, with "./" parts or through a link.
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

void BookFileGuard::MarkFailed(const QString& path)
{
    if (!path.isEmpty())
        m_failed.insert(Key(path));
}

void BookFileGuard::Release(const QString& path)
{
    if (!path.isEmpty())
        m_failed.remove(Key(path));
}

bool BookFileGuard::IsProtected(const QString& path) const
{
    return !path.isEmpty() && m_failed.contains(Key(path));
}
