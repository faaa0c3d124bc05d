#pragma once
// Names of what the player is asked to open: a path split into folder and name (at the last
// "\" or "/"), an index file name turned into its data file name, and the entries of a
// "file.lst" list with the two names each entry may have on disk.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <functional>

struct SplitPath
{
    QString folder; // up to and including the last separator; empty when there is none
    QString name;   // the rest
};

// What a list opens: the existing files of its first entries, as many as the tiles show, and how
// many entries after them were left unopened.
struct ListFiles
{
    QStringList paths;
    int skipped = 0;
};

struct FileListEntry
{
    QString name; // begins with "x" or "s"
    QChar digit;  // one hexadecimal digit as written
};

class OpenPath
{
public:
    static SplitPath Split(const QString& path);
    // "ix…" and "is…" (any case) lose their first character: an index file opens its data file.
    static QString DataName(const QString& name);
    static bool IsFileList(const QString& name);
    // The entries of a list's text, in order. Reading stops at a NUL byte.
    static QVector<FileListEntry> ParseList(const QByteArray& text);
    // The names tried for an entry, first N.d, then N.(d+1) in three digits. Empty for an entry
    // whose name is not a plain file name in the list's own folder.
    static QStringList Candidates(const FileListEntry& entry);
    // The list's entries resolved in `folder` (ending in a separator) with `exists`: at most
    // `limit` files, found in order; the entries after the last one taken are counted as
    // skipped, not looked up. Looking up ends early (nothing taken) once `stop` is set.
    static ListFiles ResolveList(const QByteArray& text, const QString& folder,
                                 const std::function<bool(const QString&)>& exists, int limit,
                                 const std::atomic<bool>* stop = nullptr);
};
