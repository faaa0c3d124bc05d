// The main dialog under the offscreen platform: start-up, layout on resize, split layouts with
// the play slider, panels, the control bar's box and full screen keeping the layout.
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "ui/cfullscreenctrldlg.h"
#include "ui/cfullscreendlg.h"
#include "ui/cmsgdlg.h"
#include "ui/csearchcontrol.h"
#include "ui/csearchtime.h"
#include "ui/cskinbutton.h"
#include "ui/ctimeslider.h"
#include "ui/cviewerdlg.h"
#include "ui/hpcameo.h"
#include "ui/skinbitmaps.h"
#include "ui/viewertiles.h"

namespace {

class ViewerDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SkinBitmaps::Init();
        ASSERT_TRUE(m_home.isValid());
        ViewerEnvironment env;
        env.programPath = m_home.filePath("orvane");
        env.programFolder = m_home.path() + "/";
        env.drives = platform::DriveRoot(m_home.filePath("drives"));
        env.dataFolder = m_home.filePath("data");
        env.registerFileTypes = false;
        env.askOnExit = false;
        m_dialog = std::make_unique<CViewerDlg>(env);
        m_dialog->OnInitDialog();
    }

    QTemporaryDir m_home;
    std::unique_ptr<CViewerDlg> m_dialog;
};

} // namespace

TEST_F(ViewerDialogTest, StartsWithFourTilesAndTheControlBar)
{
    EXPECT_TRUE(m_dialog->IsInitialised());
    EXPECT_EQ(m_dialog->windowTitle(), "Orvane");
    EXPECT_EQ(m_dialog->size(), QSize(800, 600));
    EXPECT_EQ(m_dialog->GetSplitCount(), 4);
    EXPECT_TRUE(m_dialog->Button(1009)->IsChecked());
    EXPECT_FALSE(m_dialog->Button(1008)->IsChecked());
    EXPECT_EQ(m_dialog->Grid()->geometry(), QRect(18, 18, 569, 468));
    EXPECT_EQ(m_dialog->ControlBar()->geometry(), QRect(55, 527, 490, 47));
    EXPECT_TRUE(m_dialog->ControlBar()->isVisible());
    EXPECT_FALSE(m_dialog->PlaySlider()->isVisible());
    EXPECT_FALSE(m_dialog->TimeBar()->isVisible());
    EXPECT_TRUE(m_dialog->Button(1049)->IsChecked());  // the PLAY panel
    EXPECT_FALSE(m_dialog->Button(1048)->isEnabled()); // panels still to come are grey
    EXPECT_TRUE(QDir(m_home.filePath("drives/c/Player/CD_DATA")).exists());
    EXPECT_EQ(m_dialog->Button(1017)->toolTip(), "Full Screen");
}

TEST_F(ViewerDialogTest, ResizingLaysTheControlsOut)
{
    m_dialog->setMaximumSize(QSize(4000, 4000));
    m_dialog->resize(1200, 750);
    QApplication::processEvents();
    EXPECT_EQ(m_dialog->Grid()->geometry(), QRect(18, 18, 969, 618));
    EXPECT_EQ(m_dialog->ControlBar()->pos(), QPoint(255, 677));
    EXPECT_EQ(m_dialog->Button(1000)->pos(), QPoint(1173, 10));
    EXPECT_EQ(m_dialog->Button(1011)->pos(), QPoint(1029, 673));
}

TEST_F(ViewerDialogTest, OneTileLayoutShowsThePlaySlider)
{
    m_dialog->Tiles().SelectOnly(2);
    QTest::mouseClick(m_dialog->Button(1008), Qt::LeftButton);
    EXPECT_EQ(m_dialog->GetSplitCount(), 1);
    EXPECT_TRUE(m_dialog->Button(1008)->IsChecked());
    EXPECT_FALSE(m_dialog->Button(1009)->IsChecked());
    EXPECT_TRUE(m_dialog->PlaySlider()->isVisible());
    EXPECT_EQ(m_dialog->CurrentTile(), 2);
    EXPECT_EQ(m_dialog->PlaySlider()->maximum(), 0); // nothing open in the tile
    QTest::mouseClick(m_dialog->Button(1010), Qt::LeftButton);
    EXPECT_EQ(m_dialog->GetSplitCount(), 9);
    EXPECT_FALSE(m_dialog->PlaySlider()->isVisible());
    EXPECT_EQ(m_dialog->CurrentTile(), -1);
}

TEST_F(ViewerDialogTest, SelectAllSelectsEveryTileShown)
{
    QTest::mouseClick(m_dialog->Button(1016), Qt::LeftButton);
    EXPECT_EQ(m_dialog->SelectedCameos(), QVector<int>({0, 1, 2, 3}));
    QTest::mouseClick(m_dialog->Button(1011), Qt::LeftButton);
    QTest::mouseClick(m_dialog->Button(1016), Qt::LeftButton);
    EXPECT_EQ(m_dialog->SelectedCameos().size(), 16);
}

TEST_F(ViewerDialogTest, PlayButtonsOnTilesWithoutRecordingsCloseTheirBox)
{
    m_dialog->Tiles().SelectAll();
    for (int press = 0; press < 5; ++press)
        QTest::mouseClick(m_dialog->ControlBar()->Button(1104), Qt::LeftButton);
    EXPECT_FALSE(m_dialog->WaitBox()->isVisible());
    EXPECT_TRUE(m_dialog->ControlBar()->isEnabled());
    EXPECT_TRUE(m_dialog->Grid()->isEnabled());
    EXPECT_TRUE(m_dialog->ControlBar()->Button(1104)->isEnabled());
}

TEST_F(ViewerDialogTest, ControlBarSliderShowsThreeMinuteSteps)
{
    CTimeSlider* slider = m_dialog->ControlBar()->Slider();
    slider->setValue(479);
    EXPECT_EQ(m_dialog->ControlBar()->TimeText(), "23:57:00");
    slider->setValue(480);
    EXPECT_EQ(m_dialog->ControlBar()->TimeText(), "24:00:00");
}

TEST_F(ViewerDialogTest, TimeBarDrawsItsColumnsAndMarker)
{
    CSearchTime* bar = m_dialog->TimeBar();
    EXPECT_EQ(bar->CaptionText(), "Not Select");
    bar->Model().SetCell(TimeBarModel::Source::File, 0, 100, 1);
    bar->Slider()->setValue(240);
    bar->UpdateTimeBar();
    EXPECT_EQ(bar->TimeText(), "12:00:00");
    const QImage image = bar->grab().toImage();
    // Tile 0 does not play: its recorded minutes stay grey; the marker is green.
    EXPECT_EQ(QColor(image.pixel(188 + 100, 30)), QColor(100, 100, 100));
    EXPECT_EQ(QColor(image.pixel(188 + 240, 24)), QColor(0, 255, 0));
    EXPECT_EQ(QColor(image.pixel(2, 2)), QColor(189, 189, 189));
}

TEST_F(ViewerDialogTest, FullScreenKeepsTheLayoutCode)
{
    QTest::mouseClick(m_dialog->Button(1010), Qt::LeftButton); // nine tiles
    bool checked = false;
    QTimer::singleShot(0, m_dialog.get(), [&] {
        auto* full = m_dialog->findChild<CFullScreenDlg*>();
        ASSERT_NE(full, nullptr);
        EXPECT_EQ(m_dialog->Grid()->parentWidget(), full);
        EXPECT_EQ(m_dialog->GetSplitCount(), 9);
        QTest::mouseClick(full->Bar()->Button(1011), Qt::LeftButton); // "16"
        EXPECT_EQ(m_dialog->GetSplitCount(), 16);
        EXPECT_EQ(full->Bar()->Button(1140)->text(), "Hide");
        QTest::mouseClick(full->Bar()->Button(1140), Qt::LeftButton);
        EXPECT_FALSE(full->Bar()->isVisible());
        QTest::mousePress(m_dialog->Grid(), Qt::RightButton, {}, QPoint(10, 10));
        EXPECT_TRUE(full->Bar()->isVisible());
        if (const char* shot = getenv("ORVANE_SCREENSHOT")) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(full));
            EXPECT_TRUE(QTest::qWaitForWindowExposed(full->Bar()));
            QTest::qWait(300); // let the real window server draw before the picture is taken
            QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(shot));
        }
        checked = true;
        QTest::mouseClick(full->Bar()->Button(1000), Qt::LeftButton); // Exit
    });
    m_dialog->OnFullScreen();
    EXPECT_TRUE(checked);
    EXPECT_EQ(m_dialog->Grid()->parentWidget(), m_dialog.get());
    EXPECT_EQ(m_dialog->Grid()->geometry(), QRect(18, 18, 569, 468));
    EXPECT_EQ(m_dialog->GetSplitCount(), 16);
    EXPECT_TRUE(m_dialog->Button(1011)->IsChecked());
}

TEST_F(ViewerDialogTest, HandedOverPathThatDoesNotExistOpensNothing)
{
    EXPECT_EQ(m_dialog->OpenHandedOverPath(m_home.filePath("missing/h120000.001")), 0);
    for (int t = 0; t < 16; ++t)
        EXPECT_FALSE(m_dialog->PlayFlag(t));
}

TEST_F(ViewerDialogTest, CloseWithoutAskingRemovesTheCarriedFiles)
{
    QDir().mkpath(m_home.filePath("drives/c/Player/CD_DATA/copy"));
    m_dialog->CloseWithoutAsking();
    EXPECT_FALSE(QDir(m_home.filePath("drives/c/Player/CD_DATA")).exists());
    EXPECT_TRUE(QDir(m_home.filePath("drives/c/Player")).exists());
    EXPECT_FALSE(m_dialog->isVisible());
}

TEST_F(ViewerDialogTest, DroppedFilesThatAreNoRecordingsOpenNothing)
{
    auto drop = [this](const QStringList& paths, const QPoint& at) { m_dialog->OnDropFiles(paths, at); };
    QFile readme(m_home.filePath("readme.txt"));
    ASSERT_TRUE(readme.open(QIODevice::WriteOnly));
    readme.close();
    // Over tile 2 (the lower left quarter of the grid).
    drop({m_home.filePath("readme.txt")}, QPoint(60, 400));
    EXPECT_EQ(m_dialog->SelectedCameos(), QVector<int>({0}));
    // A recording name selects the tile under the cursor; a file that is not there opens nothing.
    drop({m_home.filePath("h120000.001"), m_home.filePath("h130000.001")}, QPoint(60, 400));
    EXPECT_EQ(m_dialog->SelectedCameos(), QVector<int>({2}));
    EXPECT_FALSE(m_dialog->PlayFlag(2));
    // Outside the grid nothing happens.
    drop({m_home.filePath("h120000.001")}, QPoint(700, 100));
    EXPECT_EQ(m_dialog->SelectedCameos(), QVector<int>({2}));
}
