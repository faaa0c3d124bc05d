#pragma once
// Names of what the player is asked to open: a path split into folder and name (at the last
// "\" or "/"), an index file name turned into its data file name, and the entries of a
// "file.lst" list with the two names each entry may have on disk.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

struct SplitPath
{
    QString folder; // up to and including the last separator; empty when there is none
    QString name;   // the rest
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
};
