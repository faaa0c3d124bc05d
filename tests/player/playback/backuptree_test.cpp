// The backup folder tree's list rules and the opener (day folders across tiles, CD copies into
// work folders of their own) with a fake main dialog and fake drives.
#include "playback/backupopener.h"
#include "playback/backuptreerules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void Touch(const QString& path, const QByteArray& bytes = "d")
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList Names(const QVector<BackupEntry>& entries)
{
    QStringList names;
    for (const BackupEntry& e : entries)
        names.append(e.name);
    return names;
}

TEST(BackupTreeRules, RootsNeedADayList)
{
    QTemporaryDir dir;
    Touch(dir.path() + QStringLiteral("/Rec/day.lst"));
    QDir().mkpath(dir.path() + QStringLiteral("/Other"));
    EXPECT_EQ(BackupTreeRules::BackupRootFolders(dir.path()), QStringList{QStringLiteral("Rec")});
}

TEST(BackupTreeRules, FolderListingFollowsTheNameRules)
{
    QTemporaryDir dir;
    const QString f = dir.path() + QLatin1Char('/');
    for (const char* name : {"h101010.001", "x080000.002", "s1.34567.1", "h1.001", "a101010.001", "hd_idx.000",
                             "hd_idx.001", "intra_idx.002", "intra_idx.000", "hd_idx.010", "stream", "notes.txt"})
        Touch(f + QString::fromLatin1(name));
    QDir().mkpath(f + QStringLiteral("AVI"));
    QDir().mkpath(f + QStringLiteral("20240131"));

    auto under = BackupTreeRules::ListFolder(f, BackupListKind::Drive);
    QStringList names = Names(under);
    EXPECT_TRUE(names.contains(QStringLiteral("AVI")));
    EXPECT_TRUE(names.contains(QStringLiteral("h101010.001")));
    EXPECT_TRUE(names.contains(QStringLiteral("x080000.002")));
    for (const char* hidden : {"h1.001", "a101010.001", "hd_idx.000", "intra_idx.000", "stream", "notes.txt"})
        EXPECT_FALSE(names.contains(QString::fromLatin1(hidden))) << hidden;
    // Index files come last, sorted by name.
    EXPECT_EQ(names.mid(names.size() - 3), (QStringList{QStringLiteral("hd_idx.001"), QStringLiteral("hd_idx.010"),
                                                        QStringLiteral("intra_idx.002")}));
    for (const BackupEntry& e : under) {
        if (e.name == QLatin1String("20240131")) {
            EXPECT_TRUE(e.expandable && e.kind == BackupItemKind::Folder);
        }
        if (e.name == QLatin1String("h101010.001")) {
            EXPECT_TRUE(e.kind == BackupItemKind::File && e.image == BackupItemImage::Openable);
        }
    }
    EXPECT_FALSE(
        Names(BackupTreeRules::ListFolder(f, BackupListKind::ClientBackup)).contains(QStringLiteral("AVI")));
    for (const BackupEntry& e : BackupTreeRules::ListFolder(f, BackupListKind::BackupRoot)) {
        if (e.name == QLatin1String("20240131")) {
            EXPECT_TRUE(e.kind == BackupItemKind::DayFolder && !e.expandable);
        }
    }
    bool listed = true;
    EXPECT_TRUE(
        BackupTreeRules::ListFolder(f + QStringLiteral("missing"), BackupListKind::Drive, &listed).isEmpty());
    EXPECT_FALSE(listed);
}

TEST(BackupTreeRules, ItemPathsBecomeFileSystemPaths)
{
    const BackupPathContext c{QStringLiteral("/opt/orvane/"), QStringLiteral("/srv/rec/"),
                              QStringLiteral("/work/"), QStringLiteral("/home/op/zent/backup/")};
    struct Case
    {
        QStringList texts;
        bool day;
        const char* expected;
    };
    const Case cases[] = {
        {{QStringLiteral("ZENT_Backup"), QStringLiteral("Live"), QStringLiteral("x.001")},
         false,
         "/home/op/zent/backup/Live/x.001"},
        {{QStringLiteral("My PC"), QStringLiteral("/"), QStringLiteral("data"), QStringLiteral("h.001")},
         false,
         "/data/h.001"},
        {{QStringLiteral("My PC"), QStringLiteral("/media/cd/"), QStringLiteral("20240131")},
         false,
         "/media/cd/20240131"},
        {{QStringLiteral("NAS"), QStringLiteral("/mnt/nas/"), QStringLiteral("a")}, false, "/mnt/nas/a"},
        {{QStringLiteral("KRO_Backup"), QStringLiteral("20240131")}, true, "/srv/rec/20240131"},
        {{QStringLiteral("KRO_Backup"), QStringLiteral("20240131")}, false, "/work/KRO_Backup/20240131"},
        {{QStringLiteral("Rec"), QStringLiteral("20240131")}, true, "/work/Rec/20240131"},
    };
    for (const Case& k : cases) {
        const QString path = BackupTreeRules::JoinItemTexts(k.texts);
        EXPECT_EQ(BackupTreeRules::FolderForItemPath(path, c, k.day), QString::fromLatin1(k.expected))
            << path.toStdString();
    }
    BackupListKind kind;
    EXPECT_FALSE(BackupTreeRules::ListKindForItemPath(QStringLiteral("My PC"), kind));
    EXPECT_TRUE(BackupTreeRules::ListKindForItemPath(QStringLiteral("My PC\\/"), kind));
    EXPECT_EQ(kind, BackupListKind::Drive);
    EXPECT_TRUE(BackupTreeRules::ListKindForItemPath(QStringLiteral("ZENT_Backup\\Live"), kind));
    EXPECT_EQ(kind, BackupListKind::ClientBackup);
    EXPECT_TRUE(BackupTreeRules::ListKindForItemPath(QStringLiteral("Rec"), kind));
    EXPECT_EQ(kind, BackupListKind::BackupRoot);
}

TEST(BackupTreeRules, DayFoldersSplitsAndShortPaths)
{
    EXPECT_EQ(BackupTreeRules::FolderAboveDay(QStringLiteral("/media/cd/KRO/20240131/")),
              QStringLiteral("/media/cd/KRO/"));
    EXPECT_EQ(BackupTreeRules::FolderAboveDay(QStringLiteral("/20240131")), QStringLiteral("/"));
    EXPECT_TRUE(BackupTreeRules::FolderAboveDay(QStringLiteral("/a/")).isEmpty());
    EXPECT_TRUE(BackupTreeRules::FolderAboveDay(QStringLiteral("x")).isEmpty());
    EXPECT_TRUE(BackupTreeRules::FolderAboveDay(QStringLiteral("/media/cd/2024013x/")).isEmpty());
    const int expected[] = {1, 1, 4, 4, 4, 9, 9, 9, 9, 9, -1, -1, -1, -1, -1, -1, -1};
    for (int n = 0; n <= 16; ++n)
        EXPECT_EQ(BackupTreeRules::SplitTilesForCount(n), expected[n]) << n;
    const QStringList names = BackupTreeRules::DayFolderIndexNames();
    ASSERT_EQ(names.size(), 32);
    EXPECT_EQ(names.first(), QStringLiteral("hd_idx.001"));
    EXPECT_EQ(names.at(16), QStringLiteral("intra_idx.001"));
    EXPECT_EQ(names.last(), QStringLiteral("intra_idx.016"));
}

class FakeHost : public BackupTreeHost
{
public:
    int SelectedTile() const override { return 0; }
    void CloseRemoteTile(int tile) override { log << QStringLiteral("close %1").arg(tile); }
    void StopPlayback() override { log << QStringLiteral("stop"); }
    bool OpenInTile(const QString& folder, const QString& name, int tile) override
    {
        const bool ok = QFileInfo::exists(folder + name);
        if (ok)
            opened << QStringLiteral("%1:%2%3").arg(tile).arg(folder, name);
        return ok;
    }
    void ResetAllTiles() override { log << QStringLiteral("reset"); }
    void SetSplitTiles(int tiles) override { split = tiles; }
    void RedrawTiles() override { ++redraws; }
    void ShowBuffering(bool show) override
    {
        log << (show ? QStringLiteral("buffering") : QStringLiteral("done"));
    }
    QStringList log;
    QStringList opened;
    int split = 0;
    int redraws = 0;
};

class FakeDrives : public BackupDrives
{
public:
    QVector<DriveInfo> Drives() const override { return {}; }
    DriveType TypeOf(const QString& path) const override
    {
        return !cd.isEmpty() && path.startsWith(cd) ? DriveType::Cdrom : DriveType::Fixed;
    }
    QString cd;
};

class BackupOpenerTest : public ::testing::Test
{
protected:
    QString Root() const { return dir.path() + QLatin1Char('/'); }
    void WaitIdle(BackupOpener& opener, QSignalSpy& idle)
    {
        if (opener.CopyRunning()) {
            ASSERT_TRUE(idle.wait(30000));
        }
    }
    QTemporaryDir dir;
    FakeHost host;
    FakeDrives drives;
};

TEST_F(BackupOpenerTest, DayFolderFillsTilesInOrderAndSetsTheSplit)
{
    const QString day = Root() + QStringLiteral("Rec/20240131/");
    for (const char* name : {"hd_idx.002", "hd_idx.007", "intra_idx.001", "hd_idx.000"})
        Touch(day + QString::fromLatin1(name));
    BackupOpener opener(host, drives, Root() + QStringLiteral("CD_DATA"));
    opener.OpenDayFolder(day);
    EXPECT_EQ(host.log, (QStringList{QStringLiteral("stop"), QStringLiteral("reset")}));
    EXPECT_EQ(host.opened,
              (QStringList{QStringLiteral("0:%1hd_idx.002").arg(day), QStringLiteral("1:%1hd_idx.007").arg(day),
                           QStringLiteral("2:%1intra_idx.001").arg(day)}));
    EXPECT_EQ(host.split, 4);

    FakeHost empty;
    BackupOpener second(empty, drives, Root() + QStringLiteral("CD_DATA"));
    second.OpenDayFolder(Root() + QStringLiteral("nothing/"));
    EXPECT_EQ(empty.split, 1);
    EXPECT_TRUE(empty.opened.isEmpty());
}

TEST_F(BackupOpenerTest, CdFilesAreCopiedIntoAWorkFolderOfTheirOwnAndReused)
{
    drives.cd = Root() + QStringLiteral("cd/");
    const QString day = drives.cd + QStringLiteral("KRO/20240131/");
    Touch(day + QStringLiteral("h080000.001"), "first");
    Touch(day + QStringLiteral("h090000.001"), "second");
    const QString cdData = Root() + QStringLiteral("CD_DATA/");
    Touch(cdData + QStringLiteral("20000101000000-1/old"));
    Touch(cdData + QStringLiteral("keep.txt"));
    BackupOpener opener(host, drives, cdData);
    EXPECT_FALSE(QFileInfo::exists(cdData + QStringLiteral("20000101000000-1")));
    EXPECT_TRUE(QFileInfo::exists(cdData + QStringLiteral("keep.txt"))); // not one of ours

    QSignalSpy idle(&opener, &BackupOpener::Idle);
    opener.OpenFile(day, QStringLiteral("h080000.001"), 3);
    EXPECT_TRUE(host.opened.isEmpty()); // not before the copy has ended
    WaitIdle(opener, idle);
    ASSERT_EQ(host.opened.size(), 1);
    const QString opened = host.opened.first().mid(2);
    EXPECT_TRUE(opened.startsWith(cdData));
    EXPECT_TRUE(opened.endsWith(QStringLiteral("/KRO/20240131/h080000.001")));
    EXPECT_EQ(host.log.first(), QStringLiteral("buffering"));
    EXPECT_TRUE(host.log.contains(QStringLiteral("done")));

    // A file of the same copy opens without a new copy.
    opener.OpenFile(day, QStringLiteral("h090000.001"), 4);
    EXPECT_FALSE(opener.CopyRunning());
    ASSERT_EQ(host.opened.size(), 2);
    EXPECT_EQ(QFileInfo(host.opened.at(1).mid(2)).absolutePath(), QFileInfo(opened).absolutePath());

    // A day folder is copied every time, into a new work folder; the first copy stays for the
    // tiles reading it.
    Touch(day + QStringLiteral("hd_idx.001"));
    idle.clear();
    opener.OpenDayFolder(day);
    WaitIdle(opener, idle);
    ASSERT_EQ(host.opened.size(), 3);
    EXPECT_NE(QFileInfo(host.opened.at(2).mid(2)).absolutePath(), QFileInfo(opened).absolutePath());
    EXPECT_TRUE(QFileInfo::exists(opened));
}

TEST_F(BackupOpenerTest, QueuedDropsGoToTheirTilesAfterTheCopy)
{
    drives.cd = Root() + QStringLiteral("cd/");
    const QString folder = drives.cd + QStringLiteral("clips/"); // not a day folder: copied itself
    Touch(folder + QStringLiteral("x080000.001"));
    Touch(Root() + QStringLiteral("local/h080000.001"));
    BackupOpener opener(host, drives, Root() + QStringLiteral("CD_DATA"));
    QSignalSpy idle(&opener, &BackupOpener::Idle);
    opener.OpenFile(folder, QStringLiteral("x080000.001"), 14);
    opener.OpenFile(Root() + QStringLiteral("local/"), QStringLiteral("h080000.001"), 15);
    opener.OpenFile(Root() + QStringLiteral("local/"), QStringLiteral("h080000.001"), 16); // no 17th tile
    WaitIdle(opener, idle);
    ASSERT_EQ(host.opened.size(), 2);
    EXPECT_TRUE(host.opened.at(0).startsWith(QStringLiteral("14:") + Root() + QStringLiteral("CD_DATA/")));
    EXPECT_TRUE(host.opened.at(0).endsWith(QStringLiteral("/clips/x080000.001")));
    EXPECT_EQ(host.opened.at(1), QStringLiteral("15:") + Root() + QStringLiteral("local/h080000.001"));
}

} // namespace

// "ZENT_Backup" shows the archive the client wrote into "backup" of the directory it runs in:
// the player's working folder when the client started it, else its own folder beside the
// client. Nothing is created to find it.
TEST(BackupTreeRules, TheClientsArchiveIsFoundWhereTheClientWroteIt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString client = dir.path() + QStringLiteral("/client/");
    const QString player = dir.path() + QStringLiteral("/player/");
    QDir().mkpath(player);
    QDir().mkpath(client);
    struct Case
    {
        const char* archiveIn; // "client", "player", "both" or "none"
        const char* expected;
    };
    const Case cases[] = {
        {"client", "client/backup/"},
        {"player", "player/backup/"},
        {"both", "client/backup/"},
        {"none", "client/backup/"},
    };
    for (const Case& k : cases) {
        const QString in = QString::fromLatin1(k.archiveIn);
        QDir(client + QStringLiteral("backup")).removeRecursively();
        QDir(player + QStringLiteral("backup")).removeRecursively();
        if (in == QLatin1String("client") || in == QLatin1String("both"))
            QDir().mkpath(client + QStringLiteral("backup/Record_Live"));
        if (in == QLatin1String("player") || in == QLatin1String("both"))
            QDir().mkpath(player + QStringLiteral("backup/Record_Live"));
        EXPECT_EQ(BackupTreeRules::ClientArchiveFolder({client, player}),
                  dir.path() + QLatin1Char('/') + QString::fromLatin1(k.expected))
            << k.archiveIn;
        if (in == QLatin1String("none")) {
            EXPECT_FALSE(QFileInfo::exists(client + QStringLiteral("backup")));
            EXPECT_FALSE(QFileInfo::exists(player + QStringLiteral("backup")));
        }
    }
    // A player started by hand: its working folder may be anywhere without an archive.
    QDir().mkpath(player + QStringLiteral("backup"));
    EXPECT_EQ(BackupTreeRules::ClientArchiveFolder({QString(), player}), player + QStringLiteral("backup/"));
}
