// Settings file reading, lazy re-reading, and disk recycling on a temporary tree with a fake volume.
#include "playback/cclientsetup.h"
#include "playback/oldestrecording.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A volume whose free space grows by what the test deletes from the backup folder.
class FakeVolume : public VolumeSpace
{
public:
    bool Query(const QString&, quint64& total, quint64& freeBytes) const override
    {
        ++queries;
        if (!ok)
            return false;
        total = this->total;
        freeBytes = this->freeBytes + Deleted();
        return true;
    }
    quint64 Deleted() const
    {
        quint64 sum = 0;
        for (const auto& f : tracked) {
            if (!QFileInfo::exists(f.first))
                sum += f.second;
        }
        return sum;
    }
    bool ok = true;
    quint64 total = 0;
    quint64 freeBytes = 0;
    mutable int queries = 0;
    QVector<QPair<QString, quint64>> tracked;
};

void WriteFile(const QString& path, const QByteArray& bytes, qint64 msecs = 0)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    if (msecs != 0) {
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::fromMSecsSinceEpoch(msecs), QFileDevice::FileModificationTime));
    }
}

class ClientSetupTest : public ::testing::Test
{
protected:
    QString Program() const { return dir.path() + QStringLiteral("/prog/"); }
    QTemporaryDir dir;
    FakeVolume volume;
};

TEST_F(ClientSetupTest, NoSettingsFileKeepsInitialValuesAndMakesNoFolder)
{
    CClientSetup setup(&volume);
    setup.Init(dir.path() + QStringLiteral("/prog"));
    EXPECT_EQ(setup.GetBackupFolder(), Program() + QStringLiteral("Backup/"));
    EXPECT_FALSE(QFileInfo::exists(Program() + QStringLiteral("Backup"))); // made by what writes into it
    EXPECT_EQ(setup.DiskOverwrite(), 1);
    EXPECT_EQ(setup.DiskUse(), 90);
    EXPECT_EQ(setup.DiskFullWarning(), 1);
    EXPECT_EQ(setup.DisplayValue(QStringLiteral("Color")), 16777215);
    EXPECT_EQ(setup.DisplayValue(QStringLiteral("Seq Time")), 0);
}

TEST_F(ClientSetupTest, BackupPathGetsItsSlashAndKeysKeepHeldValues)
{
    struct Case
    {
        const char* path;
        const char* expected;
    };
    const Case cases[] = {{"/data/Rec", "/data/Rec/"}, {"/data/Rec/", "/data/Rec/"}};
    for (const Case& c : cases) {
        WriteFile(Program() + QStringLiteral("ClientSetup.ini"),
                  QByteArray("Camera Name=0\nColor=255\n[Backup Setup]\nBackup Path=") + c.path
                      + "\nDisk Use=70\n");
        CClientSetup setup(&volume);
        setup.Init(Program());
        EXPECT_EQ(setup.GetBackupFolder(), QString::fromLatin1(c.expected));
        EXPECT_EQ(setup.DiskUse(), 70);
        EXPECT_EQ(setup.DiskOverwrite(), 1); // missing key keeps the held value
        EXPECT_EQ(setup.DisplayValue(QStringLiteral("Camera Name")), 0);
        EXPECT_EQ(setup.DisplayValue(QStringLiteral("Color")), 255);
        EXPECT_FALSE(QFileInfo::exists(QString::fromLatin1(c.expected))); // named folder is not created
    }
}

TEST_F(ClientSetupTest, EditedFileTakesEffectAtNextUseAndUnchangedFileIsNotReread)
{
    const QString ini = Program() + QStringLiteral("ClientSetup.ini");
    WriteFile(ini, "[Backup Setup]\nBackup Path=/one\n", 1000000000000);
    CClientSetup setup(&volume);
    setup.Init(Program());
    EXPECT_EQ(setup.GetBackupFolder(), QStringLiteral("/one/"));
    // Same last-write time: the new content is not read.
    WriteFile(ini, "[Backup Setup]\nBackup Path=/two\n", 1000000000000);
    EXPECT_EQ(setup.GetBackupFolder(), QStringLiteral("/one/"));
    WriteFile(ini, "[Backup Setup]\nBackup Path=/three\n", 1000000005000);
    EXPECT_EQ(setup.GetBackupFolder(), QStringLiteral("/three/"));
}

TEST_F(ClientSetupTest, DiskFullRules)
{
    struct Case
    {
        const char* ini;
        quint64 total, freeBytes, needed;
        bool full;
        int recycle;
    };
    const quint64 G = 1000000000;
    const Case cases[] = {
        {"", 100 * G, 1900000000, 20971520, true, 0},  // overwrite: fixed 2 GB reserve
        {"", 100 * G, 2020000000, 20971520, true, 0},  // 1.999 GB would stay: full
        {"", 100 * G, 2100000000, 20971520, false, 0}, // 2.079 GB would stay
        {"", 100 * G, 3 * G, 20971520, false, 0},
        {"", 100 * G, 10, 20, true, 0},                      // fewer free than needed
        {"Disk Overwrite=0\n", 100 * G, 5 * G, 0, true, -1}, // 95 % used, limit 90
        {"Disk Overwrite=0\nDisk Full Warning=0\n", 100 * G, 5 * G, 0, true, 0},
        {"Disk Overwrite=0\n", 100 * G, 20 * G, 0, false, 0},
        {"Disk Overwrite=0\n", 100, 10, 50, true, -1}, // needed above free: no underflow
        {"Disk Overwrite=0\n", 0, 0, 10, false, 0},    // empty volume: no division by zero
    };
    for (const Case& c : cases) {
        QTemporaryDir local;
        WriteFile(local.path() + QStringLiteral("/ClientSetup.ini"), QByteArray("[Backup Setup]\n") + c.ini);
        FakeVolume v;
        v.total = c.total;
        v.freeBytes = c.freeBytes;
        CClientSetup setup(&v);
        setup.Init(local.path());
        EXPECT_EQ(setup.IsDiskFull(c.needed), c.full) << c.ini << c.freeBytes;
        EXPECT_EQ(setup.RecycleDiskSpace(c.needed), c.recycle) << c.ini << c.freeBytes;
    }
    FakeVolume failing;
    failing.ok = false;
    CClientSetup setup(&failing);
    setup.Init(dir.path());
    EXPECT_FALSE(setup.IsDiskFull(CClientSetup::kRecordingReserve));
}

TEST_F(ClientSetupTest, RecyclingDeletesOldestOwnRecordingsWithTheirIndexes)
{
    CClientSetup setup(&volume);
    setup.Init(Program());
    const QString backup = setup.GetBackupFolder();
    const qint64 t = 1600000000000;
    const quint64 M = 100000000;
    // Oldest first: x in a nested day folder, then s, then a newer x.
    WriteFile(backup + QStringLiteral("Live/20200101/x080000.002"), "a", t);
    WriteFile(backup + QStringLiteral("Live/20200101/ix080000.002"), "i", t);
    WriteFile(backup + QStringLiteral("s090000.001"), "b", t + 1000); // its index is missing
    WriteFile(backup + QStringLiteral("Live/x100000.003"), "c", t + 2000);
    WriteFile(backup + QStringLiteral("Live/ix100000.003"), "i", t + 2000);
    // Never touched: client recordings, client audio, capital letters, older than all.
    const QStringList kept = {QStringLiteral("h080000.001"), QStringLiteral("a0080000.001"),
                              QStringLiteral("ah080000.001"), QStringLiteral("X080000.001"),
                              QStringLiteral("ih080000.001")};
    for (const QString& name : kept)
        WriteFile(backup + name, "k", t - 100000);
    volume.total = 1000 * M;
    volume.freeBytes = 19 * M; // 1.9 GB free
    volume.tracked = {{backup + QStringLiteral("Live/20200101/x080000.002"), M},
                      {backup + QStringLiteral("s090000.001"), 2 * M}};
    // Deleting the first two recordings frees 300 MB: 2.2 GB free − 20 MB > 2 GB.
    EXPECT_EQ(setup.RecycleDiskSpace(CClientSetup::kRecordingReserve), 0);
    EXPECT_FALSE(QFileInfo::exists(backup + QStringLiteral("Live/20200101/x080000.002")));
    EXPECT_FALSE(QFileInfo::exists(backup + QStringLiteral("Live/20200101/ix080000.002")));
    EXPECT_FALSE(QFileInfo::exists(backup + QStringLiteral("s090000.001")));
    EXPECT_TRUE(QFileInfo::exists(backup + QStringLiteral("Live/x100000.003")));
    for (const QString& name : kept)
        EXPECT_TRUE(QFileInfo::exists(backup + name)) << name.toStdString();

    // Still short: everything of ours goes, then it stops with nothing left to delete.
    volume.tracked.clear();
    volume.freeBytes = 19 * M;
    EXPECT_EQ(setup.RecycleDiskSpace(CClientSetup::kRecordingReserve), 0);
    EXPECT_FALSE(QFileInfo::exists(backup + QStringLiteral("Live/x100000.003")));
    EXPECT_FALSE(QFileInfo::exists(backup + QStringLiteral("Live/ix100000.003")));
    for (const QString& name : kept)
        EXPECT_TRUE(QFileInfo::exists(backup + name)) << name.toStdString();
}

TEST_F(ClientSetupTest, OldestSearchFollowsNoSymbolicLink)
{
    QTemporaryDir outside;
    WriteFile(outside.path() + QStringLiteral("/x000000.001"), "o", 1000);
    const QString backup = dir.path() + QStringLiteral("/b/");
    QDir().mkpath(backup);
    ASSERT_TRUE(QFile::link(outside.path(), backup + QStringLiteral("linked")));
    ASSERT_TRUE(
        QFile::link(outside.path() + QStringLiteral("/x000000.001"), backup + QStringLiteral("x000001.001")));
    OldestRecording record;
    OldestRecordingFinder::FindOldestRecording(backup, record);
    EXPECT_FALSE(record.Found());
}

TEST(OldestRecordingNames, OnlyWriterDataFilesCount)
{
    EXPECT_TRUE(OldestRecordingFinder::IsWriterDataFile(QStringLiteral("x080000.002")));
    EXPECT_TRUE(OldestRecordingFinder::IsWriterDataFile(QStringLiteral("s235959.016")));
    for (const char* name : {"h080000.002", "a0080000.01", "ix080000.002", "x08000.0002", "x080000.02",
                             "X080000.002", "x08a000.002", "x080000.0021"})
        EXPECT_FALSE(OldestRecordingFinder::IsWriterDataFile(QString::fromLatin1(name))) << name;
}

} // namespace
