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
    if (path.isEmpty())
        return;
    m_failed.insert(Key(path));
    m_told.remove(Key(path));
}

bool BookFileGuard::FirstRefusal(const QString& path)
{
    if (!IsProtected(path) || m_told.contains(Key(path)))
        return false;
    m_told.insert(Key(path));
    return true;
}

void BookFileGuard::Release(const QString& path)
{
    if (path.isEmpty())
        return;
    m_failed.remove(Key(path));
    m_told.remove(Key(path));
}

bool BookFileGuard::IsProtected(const QString& path) const
{
    return !path.isEmpty() && m_failed.contains(Key(path));
}
