#include <gtest/gtest.h>

#include "search/backupplayercommand.h"
#include "search/snapshotfile.h"
#include "search/tileview.h"

namespace {

TEST(TileView, ZoomedPanIsBroughtBackInsideThePicture)
{
    QPoint pan(500, 300);
    const QRect part = TileView::ShownPart(QSize(704, 480), 2.0, pan);
    EXPECT_EQ(part, QRect(352, 240, 352, 240));
    EXPECT_EQ(pan, QPoint(352, 240));
}

TEST(TileView, UnzoomedShowsEverythingAndForgetsThePan)
{
    QPoint pan(40, 20);
    EXPECT_EQ(TileView::ShownPart(QSize(704, 480), 1.0, pan), QRect(0, 0, 704, 480));
    EXPECT_EQ(pan, QPoint(0, 0));
}

TEST(TileView, NegativePanBecomesZero)
{
    QPoint pan(-5, -9);
    TileView::ShownPart(QSize(704, 480), 1.5, pan);
    EXPECT_EQ(pan, QPoint(0, 0));
}

TEST(TileView, PanFollowsTheDragBackwardsNeverBelowZero)
{
    EXPECT_EQ(TileView::Pan(QPoint(10, 10), QPoint(100, 100), QPoint(90, 95)), QPoint(20, 15));
    EXPECT_EQ(TileView::Pan(QPoint(10, 10), QPoint(100, 100), QPoint(130, 100)), QPoint(0, 10));
}

struct CellCase
{
    int columns;
    int rows;
    int column;
    int row;
    QRect rect;
};

class GridCell : public ::testing::TestWithParam<CellCase>
{};

TEST_P(GridCell, LastColumnAndRowTakeTheRest)
{
    const CellCase& c = GetParam();
    EXPECT_EQ(TileView::CellRect(QSize(945, 540), c.columns, c.rows, c.column, c.row), c.rect);
}

INSTANTIATE_TEST_SUITE_P(Grids, GridCell,
                         ::testing::Values(CellCase{45, 30, 0, 0, QRect(0, 0, 21, 18)},
                                           CellCase{45, 30, 44, 29, QRect(924, 522, 21, 18)},
                                           CellCase{44, 30, 43, 0, QRect(903, 0, 42, 18)},
                                           CellCase{44, 30, 42, 1, QRect(882, 18, 21, 18)},
                                           CellCase{44, 31, 0, 30, QRect(0, 510, 21, 30)}));

TEST(TileView, AreaCoversItsCellsUpToTheEnds)
{
    EXPECT_EQ(TileView::AreaRect(QSize(945, 540), 45, 30, 4, 3, 1, 1), QRect(21, 18, 63, 36));
    EXPECT_TRUE(TileView::AreaRect(QSize(945, 540), 0, 30, 4, 3, 1, 1).isNull());
}

struct CaptionCase
{
    int mode;
    int step;
    const char* caption;
};

class SpeedCaption : public ::testing::TestWithParam<CaptionCase>
{};

TEST_P(SpeedCaption, ByPlayMode)
{
    EXPECT_EQ(TileView::SpeedCaption(GetParam().mode, GetParam().step), QLatin1String(GetParam().caption));
}

INSTANTIATE_TEST_SUITE_P(Modes, SpeedCaption,
                         ::testing::Values(CaptionCase{16, 1, ">"}, CaptionCase{256, 1, "<"},
                                           CaptionCase{2, 1, "||"}, CaptionCase{32, 4, "x4 >>"},
                                           CaptionCase{512, 8, "x8 <<"}, CaptionCase{32, 0, ""},
                                           CaptionCase{16, -1, ""}, CaptionCase{65535, 3, ""}));

TEST(TileView, WheelZoomStaysWithinItsBounds)
{
    EXPECT_EQ(TileView::ZoomText(TileView::WheelZoom(1.0, 120)), QStringLiteral("1.1"));
    EXPECT_EQ(TileView::ZoomText(TileView::WheelZoom(1.0, -120)), QStringLiteral("1.0"));
    EXPECT_EQ(TileView::ZoomText(TileView::WheelZoom(3.0, 120)), QStringLiteral("3.0"));
    // Less than one notch counts as a turn down.
    EXPECT_EQ(TileView::ZoomText(TileView::WheelZoom(2.0, 60)), QStringLiteral("1.9"));
}

TEST(TileView, GridTakesWholeCells)
{
    EXPECT_EQ(TileView::WholeCellSize(QSize(621, 461), 16), QSize(620, 460));
    EXPECT_EQ(TileView::WholeCellSize(QSize(621, 461), 9), QSize(621, 459));
    EXPECT_EQ(TileView::WholeCellSize(QSize(-5, 100), 16), QSize(0, 100));
    EXPECT_EQ(TileView::WholeCellSize(QSize(301, 200), 0), QSize(301, 200));
}

TEST(TileView, GridSideIsTheWholeSquareRoot)
{
    EXPECT_EQ(TileView::GridSide(16), 4);
    EXPECT_EQ(TileView::GridSide(15), 3);
    EXPECT_EQ(TileView::GridSide(0), 0);
}

TEST(SnapshotFile, LandsInTheDayFolderOfTheRecorder)
{
    SnapshotFile::Moment m;
    ASSERT_TRUE(SnapshotFile::ParseMoment(QStringLiteral("02/03/2026"), QStringLiteral("09:05:07"), m));
    EXPECT_EQ(SnapshotFile::DayFolder(QStringLiteral("/prog"), QStringLiteral("Lobby"), m),
              QStringLiteral("/prog/backup/SnapShot/Lobby/20260203"));
    EXPECT_EQ(SnapshotFile::FileName(m, QStringLiteral("CAM1")), QStringLiteral("090507_CAM1.jpg"));
    EXPECT_EQ(SnapshotFile::StampText(m), QStringLiteral("02/03/2026\n09:05:07"));
}

TEST(SnapshotFile, NamesFromTheRecorderAreOnePathComponent)
{
    SnapshotFile::Moment m;
    ASSERT_TRUE(SnapshotFile::ParseMoment(QStringLiteral("12/31/2025"), QStringLiteral("23:59:59"), m));
    EXPECT_EQ(SnapshotFile::DayFolder(QStringLiteral("/p"), QStringLiteral("../../etc"), m),
              QStringLiteral("/p/backup/SnapShot/.._.._etc/20251231"));
    EXPECT_EQ(SnapshotFile::FileName(m, QStringLiteral("a/b")), QStringLiteral("235959_a_b.jpg"));
    EXPECT_EQ(SnapshotFile::FileName(m, QStringLiteral("..")), QStringLiteral("235959__.jpg"));
}

TEST(SnapshotFile, TextsThatAreNoTimeAreRefused)
{
    SnapshotFile::Moment m;
    EXPECT_FALSE(SnapshotFile::ParseMoment(QString(), QStringLiteral("09:05:07"), m));
    EXPECT_FALSE(SnapshotFile::ParseMoment(QStringLiteral("02/03/2026"), QStringLiteral("09:05"), m));
    EXPECT_FALSE(SnapshotFile::ParseMoment(QStringLiteral("xx/03/2026"), QStringLiteral("09:05:07"), m));
}

TEST(SnapshotFile, WidePicturesAreSavedTwiceAsHigh)
{
    EXPECT_EQ(SnapshotFile::SavedSize(QSize(704, 240)), QSize(704, 480));
    EXPECT_EQ(SnapshotFile::SavedSize(QSize(704, 480)), QSize(704, 480));
    EXPECT_EQ(SnapshotFile::SavedSize(QSize(704, 352)), QSize(704, 352));
}

TEST(BackupPlayerCommand, QuotesThePathWithBackslashes)
{
    EXPECT_EQ(BackupPlayerCommand::CommandLine(QStringLiteral("/home/op/zent"),
                                               QStringLiteral("/home/op/zent/backup/Record_Live/a b/x.dat")),
              QStringLiteral("/home/op/zent/Orvane.exe \"\\home\\op\\zent\\backup\\Record_Live\\a b\\x.dat\""));
}

} // namespace
