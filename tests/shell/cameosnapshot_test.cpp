// Snapshots of a cell: the stamped texts, the picture's size, the folder and file, and pictures
// that are not taken.
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/support/fulldisk.h"
#include "shell/cameosnapshot.h"

namespace {

QFont TestFont()
{
    return QFont(QStringLiteral("DejaVu Sans"), 9, QFont::Bold);
}

CameoSnapshot::Cell Cell(int width, int height)
{
    CameoSnapshot::Cell cell;
    cell.cell = 2;
    cell.cameraTitle = QStringLiteral("Gate");
    cell.recorderName = QStringLiteral("Yard DVR");
    cell.osdDate = 20240305;
    cell.osdTime = 71502;
    cell.picture = QImage(width, height, QImage::Format_RGB32);
    cell.picture.fill(QColor(40, 90, 160));
    return cell;
}

int CountWhite(const QImage& image, const QRect& area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += QColor(image.pixel(x, y)).lightness() > 230 ? 1 : 0;
    return n;
}

TEST(CameoSnapshot, TextsOfDateTimeAndCell)
{
    EXPECT_EQ(CameoSnapshot::DateText(20240305), QLatin1String("03/05/2024"));
    EXPECT_EQ(CameoSnapshot::TimeText(71502), QLatin1String("07:15:02"));
    EXPECT_EQ(CameoSnapshot::DateFolder(20240305), QLatin1String("20240305"));
    EXPECT_EQ(CameoSnapshot::FilePrefix(71502), QLatin1String("071502_"));
    EXPECT_EQ(CameoSnapshot::TimeText(235959), QLatin1String("23:59:59"));
    EXPECT_EQ(CameoSnapshot::CameraText(0, QStringLiteral("Gate")), QLatin1String("01 Gate"));
    EXPECT_EQ(CameoSnapshot::CameraText(15, QStringLiteral("")), QLatin1String("16 "));
}

TEST(CameoSnapshot, EventText)
{
    struct Case
    {
        bool loss, sensor, motion;
        const char* text;
    };
    const Case cases[] = {{true, false, true, "Video loss"},      {true, true, true, "Video loss"},
                          {false, true, true, "Sensor & Motion"}, {false, false, true, "Motion"},
                          {false, true, false, "Sensor"},         {false, false, false, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(CameoSnapshot::EventText(c.loss, c.sensor, c.motion), QLatin1String(c.text)) << c.text;
}

TEST(CameoSnapshot, AFieldPictureIsStretchedToTwiceItsHeight)
{
    struct Case
    {
        QSize in, out;
    };
    const Case cases[] = {{QSize(704, 240), QSize(704, 480)},
                          {QSize(704, 480), QSize(704, 480)},
                          {QSize(704, 352), QSize(704, 352)},
                          {QSize(1000, 400), QSize(1000, 800)}};
    for (const Case& c : cases)
        EXPECT_EQ(CameoSnapshot::Render(Cell(c.in.width(), c.in.height()), TestFont()).size(), c.out)
            << c.in.width() << "x" << c.in.height();
}

TEST(CameoSnapshot, TheTextsAreBurnedIntoTheCorners)
{
    const CameoSnapshot::Cell cell = Cell(704, 480);
    const QImage shot = CameoSnapshot::Render(cell, TestFont());
    // The plain blue picture has no white; the texts bring it into the top corners and the
    // bottom-left corner, and the middle stays plain without an event.
    EXPECT_GT(CountWhite(shot, QRect(0, 0, 120, 30)), 20) << "camera text";
    EXPECT_GT(CountWhite(shot, QRect(704 - 120, 0, 120, 50)), 20) << "date and time";
    EXPECT_GT(CountWhite(shot, QRect(0, 480 - 30, 120, 30)), 20) << "recorder name";
    EXPECT_EQ(CountWhite(shot, QRect(300, 200, 100, 80)), 0) << "no event";
    CameoSnapshot::Cell motion = cell;
    motion.motion = true;
    EXPECT_GT(CountWhite(CameoSnapshot::Render(motion, TestFont()), QRect(300, 200, 100, 80)), 5) << "event";
}

TEST(CameoSnapshot, SavesAJpegUnderTheRecordersDayFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = CameoSnapshot::Save(dir.path(), Cell(704, 240), TestFont());
    EXPECT_EQ(path, dir.path() + QStringLiteral("/backup/SnapShot/Yard DVR/20240305/071502_Gate.jpg"));
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    EXPECT_EQ(reader.size(), QSize(704, 480));
}

// Recorder names and camera titles of 200 CJK characters (600 bytes in UTF-8): the folder and
// the file are still made, each name within the 255 bytes a file name may have, and two
// recorders whose names differ only at the end get folders of their own.
TEST(CameoSnapshot, LongCjkNamesStillGiveAFolderAndAFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString common(199, QChar(0x76E3)); // 監
    QStringList paths;
    for (const QChar last : {QChar(0x8996), QChar(0x9332)}) { // 視, 録
        CameoSnapshot::Cell cell = Cell(704, 480);
        cell.recorderName = common + last;
        cell.cameraTitle = common + last;
        const QString path = CameoSnapshot::Save(dir.path(), cell, TestFont());
        ASSERT_FALSE(path.isEmpty());
        EXPECT_TRUE(QFileInfo(path).isFile());
        for (const QString& part : path.mid(dir.path().size() + 1).split(QLatin1Char('/')))
            EXPECT_LE(part.toUtf8().size(), 255) << part.toStdString();
        EXPECT_TRUE(QFileInfo(path).fileName().startsWith(QStringLiteral("071502_") + QString(10, QChar(0x76E3))));
        EXPECT_TRUE(path.endsWith(QStringLiteral(".jpg")));
        paths << path;
    }
    EXPECT_NE(QFileInfo(paths[0]).dir().absolutePath(), QFileInfo(paths[1]).dir().absolutePath());
    EXPECT_EQ(
        QDir(dir.path() + QStringLiteral("/backup/SnapShot")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(),
        2);
}

// A file system that takes no more bytes: no truncated JPEG under the snapshot's name, nothing
// left beside it, and the reason for the user.
TEST(CameoSnapshot, AFailedWriteLeavesNoFileAndSaysWhy)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const CameoSnapshot::Cell cell = Cell(704, 240);
    const QString target = CameoSnapshot::FilePath(dir.path(), cell);
    QString path;
    QString error;
    {
        recordtest::FileSizeLimit limit(256);
        ASSERT_TRUE(limit.IsSet());
        path = CameoSnapshot::Save(dir.path(), cell, TestFont(), &error);
    }
    EXPECT_TRUE(path.isEmpty());
    EXPECT_EQ(error, QStringLiteral("The snapshot %1 could not be written (File too large).")
                         .arg(QDir::toNativeSeparators(target)));
    EXPECT_TRUE(QDir(QFileInfo(target).path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    // Written whole, it says nothing.
    error.clear();
    EXPECT_EQ(CameoSnapshot::Save(dir.path(), cell, TestFont(), &error), target);
    EXPECT_TRUE(error.isEmpty());
}

TEST(CameoSnapshot, NamesFromTheRecorderBecomeOnePathComponent)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    CameoSnapshot::Cell cell = Cell(320, 240);
    cell.recorderName = QStringLiteral("../../etc");
    cell.cameraTitle = QStringLiteral("a/b\\c:d");
    const QString path = CameoSnapshot::Save(dir.path(), cell, TestFont());
    ASSERT_FALSE(path.isEmpty());
    const QString snapshots = dir.path() + QStringLiteral("/backup/SnapShot/");
    EXPECT_TRUE(path.startsWith(snapshots)) << path.toStdString();
    // Below the snapshot folder: exactly recorder, day and file.
    EXPECT_EQ(path.mid(snapshots.size()).count(QLatin1Char('/')), 2) << path.toStdString();
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(QFileInfo(path).fileName(), QLatin1String("071502_a_b_c_d.jpg"));
}

TEST(CameoSnapshot, NothingIsWrittenWithoutPictureOrWithoutARealDateAndTime)
{
    struct Case
    {
        const char* what;
        int date, time;
        bool picture;
    };
    const Case cases[] = {{"no date yet", -1, -1, true},
                          {"date 0", 0, 71502, true},
                          {"month 13", 20241305, 71502, true},
                          {"minute 61", 20240305, 76102, true},
                          {"null picture", 20240305, 71502, false}};
    for (const Case& c : cases) {
        QTemporaryDir dir;
        CameoSnapshot::Cell cell = Cell(320, 240);
        cell.osdDate = c.date;
        cell.osdTime = c.time;
        if (!c.picture)
            cell.picture = QImage();
        EXPECT_FALSE(CameoSnapshot::CanTake(cell)) << c.what;
        EXPECT_TRUE(CameoSnapshot::Save(dir.path(), cell, TestFont()).isEmpty()) << c.what;
        EXPECT_FALSE(QDir(dir.path() + QStringLiteral("/backup")).exists()) << c.what;
    }
}

} // namespace
