#pragma once
// Remembers the book files whose last read failed (bad XML, or a file that exists but could not
// be opened), so that what was (not) read from them is never written back over them.
#include <QSet>
#include <QString>

class BookFileGuard
{
public:
    // A read of the file failed: saves to it are refused from now on.
    void MarkFailed(const QString& path);
    // The file was read whole, or the user chose to overwrite it: saves are allowed again.
    void Release(const QString& path);
    bool IsProtected(const QString& path) const;
    // True the first time it is asked for a protected file (until its next failed read): the
    // user is told once that edits are not being written to it, not at every edit.
    bool FirstRefusal(const QString& path);

private:
    static QString Key(const QString& path);

    QSet<QString> m_failed;
    QSet<QString> m_told;
};
