// Archive items follow the client recording folders on disk.
#include <QDir>
#include <QFile>

#include "session/support/session_fixture.h"

namespace {

void Touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

QStringList ChildTexts(const QTreeWidgetItem* item)
{
    QStringList texts;
    for (int i = 0; item && i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

} // namespace

TEST_F(SessionTest, ConstructionMakesTheRecordingFolders)
{
    AddRecorder("folders", 1);
    for (const char* kind : {"EventData", "ScheduleData", "Record_Live", "Record_Search"})
        EXPECT_TRUE(QFileInfo(ProgramDir() + "/backup/" + kind).isDir()) << kind;
}

TEST_F(SessionTest, ArchiveItemsListRecordedDaysAndVideoFiles)
{
    CModuleDevice* device = AddRecorder("Front", 1);
    const QString live = ProgramDir() + "/backup/Record_Live/Front/20240107/";
    Touch(live + "h120000.001");
    Touch(live + "ih120000.001");
    Touch(live + "a0120000.001");
    Touch(live + "h120000.mp4");
    Touch(live + "h130000.avi");
    Touch(ProgramDir() + "/backup/Record_Live/Front/20240106/h080000.002");
    Touch(ProgramDir() + "/backup/SnapShot/Front/20240107/snap1.jpg");

    auto* archive = new QTreeWidgetItem(device);
    archive->setText(0, "Archive");
    device->UpdateArchiveItems(archive, 0);

    EXPECT_EQ(ChildTexts(archive), (QStringList{"BackupData", "EventData", "ScheduleData", "Record_Live",
                                                "Record_Search", "SnapShot"}));
    QTreeWidgetItem* liveKind = device->GetArchiveKindItem("Record_Live");
    ASSERT_TRUE(liveKind);
    EXPECT_EQ(SiteBook::FromItem(liveKind)->kind, "archiveBackup");
    EXPECT_EQ(ChildTexts(liveKind), (QStringList{"20240106", "20240107"}));
    QTreeWidgetItem* day = liveKind->child(1);
    const SiteBook* dayRecord = SiteBook::FromItem(day);
    ASSERT_TRUE(dayRecord);
    EXPECT_EQ(dayRecord->kind, "archiveFolder");
    EXPECT_EQ(dayRecord->path, ProgramDir() + "/backup/Record_Live/Front/20240107");
    EXPECT_EQ(ChildTexts(day), QStringList{"h120000.001"});
    const SiteBook* file = SiteBook::FromItem(day->child(0));
    ASSERT_TRUE(file);
    EXPECT_EQ(file->kind, "archiveData");
    EXPECT_EQ(file->path, live + "h120000.001");

    QTreeWidgetItem* snaps = device->GetArchiveKindItem("SnapShot");
    ASSERT_TRUE(snaps);
    ASSERT_EQ(snaps->childCount(), 1);
    EXPECT_EQ(SiteBook::FromItem(snaps->child(0))->kind, "archiveFolder_SnapShot");
    ASSERT_EQ(snaps->child(0)->childCount(), 1);
    EXPECT_EQ(SiteBook::FromItem(snaps->child(0)->child(0))->kind, "archiveSnapshot");
    EXPECT_EQ(device->GetArchiveKindItem("EventData")->childCount(), 0) << "a missing folder lists nothing";

    // Rebuilding one kind keeps its item and replaces its children.
    Touch(ProgramDir() + "/backup/Record_Live/Front/20240108/h000000.001");
    device->UpdateArchiveItems(nullptr, 2);
    EXPECT_EQ(device->GetArchiveKindItem("Record_Live"), liveKind);
    EXPECT_EQ(ChildTexts(liveKind), (QStringList{"20240106", "20240107", "20240108"}));
    EXPECT_EQ(archive->childCount(), 6);
}

TEST_F(SessionTest, RecorderNameBecomesOneSafePathComponent)
{
    CModuleDevice* device = AddRecorder("../up/and\\away", 1);
    const QString folder = device->RecordingFolder("Record_Live");
    const QString prefix = ProgramDir() + "/backup/Record_Live/";
    ASSERT_TRUE(folder.startsWith(prefix));
    const QString component = folder.mid(prefix.size());
    EXPECT_FALSE(component.isEmpty());
    EXPECT_FALSE(component.contains('/'));
    EXPECT_FALSE(component.contains('\\'));
    EXPECT_NE(component, "..");
    EXPECT_NE(component, ".");

    RecordOf(device)->name = "..";
    const QString dots =
        device->RecordingFolder("SnapShot").mid(QString(ProgramDir() + "/backup/SnapShot/").size());
    EXPECT_NE(dots, "..");
    EXPECT_FALSE(dots.contains('/'));
}
