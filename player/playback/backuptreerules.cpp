#include "playback/backuptreerules.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

namespace {

const QLatin1String kClientRoot("ZENT_Backup");
const QLatin1String kMyPc("My PC");
const QLatin1String kNas("NAS");
const QLatin1String kKroBackup("KRO_Backup");

bool EndsInSeparator(const QString& text)
{
    return text.endsWith(QLatin1Char('\\')) || text.endsWith(QLatin1Char('/'));
}

QString ToFileSystem(QString path)
{
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

bool StartsWithRoot(const QString& path, const QLatin1String& root)
{
    return path.startsWith(root)
           && (path.size() == root.size() || path.at(root.size()) == QLatin1Char('\\')
               || path.at(root.size()) == QLatin1Char('/'));
}

} // namespace

QStringList BackupTreeRules::BackupRootFolders(const QString& folder)
{
    QStringList roots;
    QDirIterator it(folder, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        if (QFileInfo(it.filePath() + QStringLiteral("/day.lst")).isFile())
            roots.append(it.fileName());
    }
    return roots;
}

bool BackupTreeRules::IsRecordingName(const QString& name)
{
    if (name.size() < 9 || name.size() > 12 || name.at(7) != QLatin1Char('.'))
        return false;
    if (name.startsWith(QLatin1String("hd_idx.")))
        return false;
    const QChar first = name.at(0);
    return first == QLatin1Char('s') || first == QLatin1Char('x') || first == QLatin1Char('h');
}

bool BackupTreeRules::IsIndexName(const QString& name)
{
    if (name == QLatin1String("intra_idx.000") || name == QLatin1String("hd_idx.000"))
        return false;
    return name.startsWith(QLatin1String("intra_idx.")) || name.startsWith(QLatin1String("hd_idx."));
}

QVector<BackupEntry> BackupTreeRules::ListFolder(const QString& folder, BackupListKind kind, bool* listed)
{
    QVector<BackupEntry> entries;
    QStringList indexes;
    const QDir dir(folder);
    if (listed)
        *listed = dir.exists() && dir.isReadable();
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (name == QLatin1String("stream"))
            continue;
        const QFileInfo info = it.fileInfo();
        if (info.isDir()) {
            if (kind == BackupListKind::ClientBackup
                && (name == QLatin1String("AVI") || name == QLatin1String("IMAGE") || name == QLatin1String("LOG")
                    || name == QLatin1String("CONFIG")))
                continue;
            BackupEntry e;
            e.name = name;
            if (kind == BackupListKind::BackupRoot) {
                e.kind = BackupItemKind::DayFolder;
                e.image = BackupItemImage::Openable;
            } else {
                e.expandable = true;
            }
            entries.append(e);
        } else if (IsRecordingName(name)) {
            entries.append({name, BackupItemKind::File, BackupItemImage::Openable, false});
        } else if (IsIndexName(name) && indexes.size() < kMaxIndexFiles) {
            indexes.append(name);
        }
    }
    std::sort(indexes.begin(), indexes.end());
    for (const QString& name : indexes)
        entries.append({name, BackupItemKind::File, BackupItemImage::Openable, false});
    return entries;
}

QString BackupTreeRules::JoinItemTexts(const QStringList& texts)
{
    QString path;
    for (const QString& text : texts) {
        if (!path.isEmpty() && !EndsInSeparator(path))
            path += QLatin1Char('\\');
        path += text;
    }
    return path;
}

QString BackupTreeRules::FolderForItemPath(const QString& itemPath, const BackupPathContext& context,
                                           bool dayFolder)
{
    if (StartsWithRoot(itemPath, kClientRoot)) {
        QString archive = context.clientArchive;
        if (archive.endsWith(QLatin1Char('/')))
            archive.chop(1);
        return ToFileSystem(archive + itemPath.mid(kClientRoot.size()));
    }
    if (StartsWithRoot(itemPath, kMyPc))
        return ToFileSystem(itemPath.mid(kMyPc.size() + 1));
    if (StartsWithRoot(itemPath, kNas))
        return ToFileSystem(itemPath.mid(kNas.size() + 1));
    if (dayFolder && StartsWithRoot(itemPath, kKroBackup))
        return ToFileSystem(context.backupFolder + itemPath.mid(kKroBackup.size() + 1));
    return ToFileSystem(context.workingFolder + itemPath);
}

QString BackupTreeRules::ClientArchiveFolder(const QStringList& clientDirectories)
{
    // The client names its archive folder in lower case; on this file system "Backup" would be
    // another folder.
    const auto archiveOf = [](const QString& directory) {
        return QDir(directory).filePath(QStringLiteral("backup")) + QLatin1Char('/');
    };
    for (const QString& directory : clientDirectories) {
        if (!directory.isEmpty() && QFileInfo(archiveOf(directory)).isDir())
            return archiveOf(directory);
    }
    for (const QString& directory : clientDirectories) {
        if (!directory.isEmpty())
            return archiveOf(directory);
    }
    return QString();
}

bool BackupTreeRules::ListKindForItemPath(const QString& itemPath, BackupListKind& kind)
{
    if (StartsWithRoot(itemPath, kClientRoot)) {
        kind = BackupListKind::ClientBackup;
        return true;
    }
    if (StartsWithRoot(itemPath, kMyPc) || StartsWithRoot(itemPath, kNas)) {
        kind = BackupListKind::Drive;
        return itemPath != kMyPc && itemPath != kNas;
    }
    kind = BackupListKind::BackupRoot;
    return true;
}

QString BackupTreeRules::FolderAboveDay(const QString& dayFolderPath)
{
    QString path = dayFolderPath;
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    const QString day = path.mid(slash + 1);
    if (day.size() != 8)
        return QString();
    for (QChar c : day) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return QString();
    }
    return path.left(slash + 1);
}

int BackupTreeRules::SplitTilesForCount(int filled)
{
    if (filled <= 1)
        return 1;
    if (filled <= 4)
        return 4;
    if (filled <= 9)
        return 9;
    return -1;
}

QStringList BackupTreeRules::DayFolderIndexNames()
{
    QStringList names;
    for (const char* stem : {"hd_idx.%1", "intra_idx.%1"}) {
        for (int channel = 1; channel <= 16; ++channel)
            names.append(QString::fromLatin1(stem).arg(channel, 3, 10, QLatin1Char('0')));
    }
    return names;
}
