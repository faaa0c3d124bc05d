#pragma once
// The list rules of the backup folder tree, free of widgets: which folders are backup roots,
// what a folder's children are (day folders, folders, recordings, index files), how an item's
// path of texts becomes a file system path, where a CD backup is copied to, and how many tiles
// a day folder's split shows.
#include <QString>
#include <QStringList>
#include <QVector>

enum class BackupItemKind {
    Folder = 0,
    File = 2,
    DayFolder = 3,
};

// Images of the tree's items.
enum class BackupItemImage {
    RemovableDrive = 0,
    FixedDrive = 1,
    CdDrive = 2,
    NetworkDrive = 3,
    Folder = 4,
    OpenFolder = 5,
    Openable = 6,
    Root = 8,
};

// Where a folder being listed lies.
enum class BackupListKind {
    BackupRoot = 0,   // a backup folder beside the program (its sub-folders are days)
    ClientBackup = 1, // under "ZENT_Backup"
    Drive = 2,        // under a drive of "My PC" or "NAS"
};

struct BackupEntry
{
    QString name;
    BackupItemKind kind = BackupItemKind::Folder;
    BackupItemImage image = BackupItemImage::Folder;
    bool expandable = false;
};

struct BackupPathContext
{
    QString programFolder; // ends in "/"
    QString backupFolder;  // the settings' backup folder, ends in "/"
    QString workingFolder; // where the backup roots were found, ends in "/"
    QString clientArchive; // what "ZENT_Backup" shows: the client's archive folder, ends in "/"
};

class BackupTreeRules
{
public:
    static constexpr int kMaxIndexFiles = 99;

    // Sub-folders of folder that hold a "day.lst", in listing order.
    static QStringList BackupRootFolders(const QString& folder);
    // The children of folder as the tree shows them.
    static QVector<BackupEntry> ListFolder(const QString& folder, BackupListKind kind, bool* listed = nullptr);
    // A data file name the tree lists: "s", "x" or "h" (not "hd_idx."), 9 to 12 characters, "."
    // as the eighth.
    static bool IsRecordingName(const QString& name);
    // "intra_idx.NNN" and "hd_idx.NNN" other than ".000".
    static bool IsIndexName(const QString& name);
    // Texts from the root down joined with "\" (none after a text ending in a separator).
    static QString JoinItemTexts(const QStringList& texts);
    // The file system path of an item's text path; dayFolder applies the "KRO_Backup" rule.
    static QString FolderForItemPath(const QString& itemPath, const BackupPathContext& context, bool dayFolder);
    // The client's archive folder ("backup" in the client's program directory) among the
    // directories the client may run in, in order of preference: the first that holds one;
    // with none, the first directory's (shown empty until the client writes it). Ends in "/".
    static QString ClientArchiveFolder(const QStringList& clientDirectories);
    // The kind of list for an item's text path; false for the bare "My PC" and "NAS" items.
    static bool ListKindForItemPath(const QString& itemPath, BackupListKind& kind);
    // The folder above a day folder ("…/20240131/" → "…/"); empty when the path does not end
    // in an eight-digit day folder.
    static QString FolderAboveDay(const QString& dayFolderPath);
    // The split for the number of tiles a day folder filled: 1, 4, 9, or -1 to keep it.
    static int SplitTilesForCount(int filled);
    // Names offered to the tiles when a day folder opens, in order.
    static QStringList DayFolderIndexNames();
};
