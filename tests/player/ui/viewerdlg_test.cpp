// The main dialog under the offscreen platform: start-up, layout on resize, split layouts with
// the play slider, panels, the control bar's box and full screen keeping the layout.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include "support/viewerhome.h"
#include "ui/cbackuptree.h"
#include "ui/cdlgadjust.h"
#include "ui/cdlgalarm.h"
#include "ui/cfullscreenctrldlg.h"
#include "ui/cfullscreendlg.h"
#include "ui/cmsgdlg.h"
#include "ui/cpassworddlg.h"
#include "ui/csearchcontrol.h"
#include "ui/csearchtime.h"
#include "ui/cskinbutton.h"
#include "ui/cskinmenu.h"
#include "ui/cskinslider.h"
#include "ui/ctimeslider.h"
#include "ui/cviewerdlg.h"
#include "ui/hpcameo.h"
#include "ui/hpmessagebox.h"
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
        const ViewerEnvironment env = TestViewerEnvironment(m_home);
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
    EXPECT_TRUE(m_dialog->Button(1049)->IsChecked()); // the PLAY panel
    EXPECT_TRUE(m_dialog->Button(1048)->isEnabled());
    EXPECT_TRUE(m_dialog->Button(1050)->isEnabled());
    EXPECT_TRUE(m_dialog->Button(1179)->isEnabled()); // the export dialog of a tile
    EXPECT_TRUE(QDir(m_home.filePath("drives/c/Player/CD_DATA")).exists());
    EXPECT_EQ(m_dialog->Button(1017)->toolTip(), "Full Screen");
}

// Every tip of the dialog's own controls wakes after the skin's 200 ms, not the desktop's delay.
TEST_F(ViewerDialogTest, TipsOfTheDialogsControlsWakeAfterTheSkinsDelay)
{
    const int desktopDelay = m_dialog->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, m_dialog.get());
    ASSERT_NE(desktopDelay, 200) << "the test cannot tell the delays apart";
    int tipped = 0;
    for (CSkinButton* button : m_dialog->findChildren<CSkinButton*>()) {
        if (button->toolTip().isEmpty() || button->parent() != m_dialog.get())
            continue;
        ++tipped;
        EXPECT_EQ(button->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, button), 200)
            << button->toolTip().toStdString();
    }
    EXPECT_GT(tipped, 0);
    EXPECT_EQ(m_dialog->Button(1017)->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr,
                                                         m_dialog->Button(1017)),
              200)
        << "Full Screen";
    CSkinSlider* volume = m_dialog->VolumeSlider();
    ASSERT_TRUE(volume);
    EXPECT_EQ(volume->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, volume), 200);
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

// A list of 90,000 entries is read and looked up off the window thread: the hand-over returns
// before it is opened, sixteen of its files are tried and the rest are reported as not opened.
TEST_F(ViewerDialogTest, LongListOpensOffTheWindowThreadAndReportsWhatItSkipped)
{
    const QString folder = m_home.filePath("lists/");
    ASSERT_TRUE(QDir().mkpath(folder));
    QByteArray text;
    for (int i = 0; i < 90000; ++i)
        text += QStringLiteral("x%1 1\r\n").arg(i, 6, 10, QLatin1Char('0')).toLatin1();
    QFile list(folder + "file.lst");
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(text);
    list.close();
    for (int i = 0; i < 20; ++i) {
        QFile empty(folder + QStringLiteral("x%1.1").arg(i, 6, 10, QLatin1Char('0')));
        ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    }
    QSignalSpy opened(m_dialog.get(), &CViewerDlg::handedOverPathOpened);
    EXPECT_EQ(m_dialog->OpenHandedOverPath(folder + "file.lst"), 0);
    EXPECT_EQ(opened.count(), 0); // nothing of the list was done on this thread yet
    ASSERT_TRUE(opened.wait(120000) || opened.count() == 1);
    ASSERT_TRUE(m_dialog->MessageBox()->IsActive());
    EXPECT_EQ(m_dialog->MessageBox()->Request().firstLine, "Not opened: 89984 entries");
    EXPECT_EQ(m_dialog->MessageBox()->Request().secondLine, "Tiles show 16 at most.");
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

// The three buttons of the lower right corner show the image adjust panel, the layout buttons
// and the tools popup, one at a time, each placed in the corner.
TEST_F(ViewerDialogTest, PanelButtonsShowTheirPanels)
{
    struct Case
    {
        int button;
        bool adjust, layouts, tools;
    };
    const Case cases[] = {{1048, true, false, false}, {1050, false, false, true}, {1049, false, true, false}};
    for (const Case& c : cases) {
        QTest::mouseClick(m_dialog->Button(c.button), Qt::LeftButton);
        EXPECT_TRUE(m_dialog->Button(c.button)->IsChecked()) << c.button;
        EXPECT_EQ(m_dialog->AdjustPanel()->isVisible(), c.adjust) << c.button;
        EXPECT_EQ(m_dialog->ToolsPopup()->isVisible(), c.tools) << c.button;
        EXPECT_EQ(m_dialog->Button(1011)->isVisible(), c.layouts) << c.button;
    }
    EXPECT_EQ(m_dialog->AdjustPanel()->pos(), QPoint(800 - 177, 600 - 128));
    EXPECT_EQ(m_dialog->ToolsPopup()->geometry(), QRect(800 - 177, 600 - 128, 140, 100));
    EXPECT_TRUE(m_dialog->ToolsPopup()->AviButton()->isEnabled());
    EXPECT_TRUE(m_dialog->ToolsPopup()->PrintButton()->isEnabled());
}

// Moving the adjust panel's sliders sets the selected tiles' values, the frame rate only when
// the thumb is let go; selecting a tile brings its values back into the panel.
TEST_F(ViewerDialogTest, AdjustPanelActsOnTheSelectedTiles)
{
    m_dialog->Tiles().SelectOnly(3);
    CDlgAdjust* panel = m_dialog->AdjustPanel();
    panel->OnSliderMoving(1069, 20);
    panel->OnSliderMoving(1071, -10);
    panel->OnSliderMoving(1070, 7);
    EXPECT_EQ(m_dialog->Grid()->GetCameo(3)->adjust1, 20);
    EXPECT_EQ(m_dialog->Grid()->GetCameo(3)->adjust2, -10);
    EXPECT_EQ(m_dialog->Grid()->GetCameo(3)->frameRate, 15);
    EXPECT_EQ(m_dialog->Grid()->GetCameo(2)->adjust1, 0);
    panel->OnSliderMoved(1070, 7);
    EXPECT_EQ(m_dialog->Grid()->GetCameo(3)->frameRate, 7);

    // Another tile selected by a click fills the panel with its values, and back.
    const QPoint other = m_dialog->Grid()->rect().topLeft() + QPoint(10, 10);
    QTest::mouseClick(m_dialog->Grid(), Qt::LeftButton, {}, other);
    EXPECT_EQ(panel->Slider(AdjustSlider::Brightness)->Position(), 0);
    CameoRect rect;
    ASSERT_TRUE(m_dialog->Grid()->GetCameoRect(3, &rect));
    QTest::mouseClick(m_dialog->Grid(), Qt::LeftButton, {}, QPoint(rect.left + 5, rect.top + 5));
    EXPECT_EQ(panel->Slider(AdjustSlider::Brightness)->Position(), 20);
    EXPECT_EQ(panel->Slider(AdjustSlider::FrameRate)->Position(), 7);
}

// The backup folder tree of the dialog lists "My PC" with the drives under it.
TEST_F(ViewerDialogTest, BackupTreeListsMyPc)
{
    CBackupTree* tree = m_dialog->BackupTree();
    ASSERT_NE(tree, nullptr);
    QStringList roots;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        roots << tree->topLevelItem(i)->text(0);
    EXPECT_TRUE(roots.contains(QStringLiteral("My PC"))) << roots.join(", ").toStdString();
}

// The grid's context menu is a skinned menu; its last entry asks for the administrator
// password, whose dialog accepts the default password of a new account file.
TEST_F(ViewerDialogTest, ContextMenuAsksForTheAdministratorPassword)
{
    m_dialog->show();
    QTest::mouseClick(m_dialog->Grid(), Qt::RightButton, {}, QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_dialog->Grid()->ContextMenu() != nullptr; }, 10000));
    QMenu* menu = m_dialog->Grid()->ContextMenu();
    EXPECT_TRUE(CSkinMenu::IsSkinMenu(menu));
    QAction* password = nullptr;
    for (QAction* action : menu->actions()) {
        if (CSkinMenu::CommandOf(action) == HPCameo::kPasswordCommand)
            password = action;
    }
    ASSERT_NE(password, nullptr);
    bool accepted = false;
    QTimer::singleShot(0, [&accepted] {
        auto* prompt = qobject_cast<CPasswordDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(prompt, nullptr);
        prompt->edit()->setText(QStringLiteral("4619"));
        prompt->OnOk();
        accepted = prompt->result() == QDialog::Accepted;
    });
    menu->close();
    password->trigger();
    EXPECT_TRUE(accepted);
    QFile account(m_dialog->AccountFile());
    ASSERT_TRUE(account.open(QIODevice::ReadOnly));
    EXPECT_TRUE(account.readAll().contains("4619"));
}

// Every tile of the starting layout is drawn (its number at least) without any click: the
// dialog's last layout at start-up must not leave the grid black.
TEST_F(ViewerDialogTest, StartingTilesAreDrawnWithTheirNumbers)
{
    HPCameo* grid = m_dialog->Grid();
    auto drawn = [grid](int tile) {
        CameoRect rect;
        if (!grid->GetCameoRect(tile, &rect) || !rect.IsSet())
            return false;
        const QImage picture = grid->grab().toImage().convertToFormat(QImage::Format_RGB32).copy(rect.ToQRect());
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (qGray(picture.pixel(x, y)) > 64)
                    return true;
        return false;
    };
    for (int tile = 0; tile < m_dialog->GetSplitCount(); ++tile)
        EXPECT_TRUE(QTest::qWaitFor([&] { return drawn(tile); }, 10000)) << "tile " << tile << " stays black";
}

// The dialog as built and after a resize shows every tile at its place: the frames between
// the tiles are there, not a black grid until the next click.
TEST_F(ViewerDialogTest, ResizingRedrawsEveryTile)
{
    m_dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_dialog.get()));
    auto framed = [this] {
        CameoRect second;
        if (!m_dialog->Grid()->GetCameoRect(1, &second))
            return false;
        const QPoint onFrame(second.left, (second.top + second.bottom) / 2);
        return QTest::qWaitFor(
            [&] { return QColor(m_dialog->Grid()->grab().toImage().pixel(onFrame)) != QColor(Qt::black); }, 10000);
    };
    EXPECT_TRUE(framed()) << "before the resize";
    m_dialog->setMaximumSize(QSize(4000, 4000));
    m_dialog->resize(1200, 750);
    EXPECT_TRUE(framed()) << "the frame between tiles 1 and 2 is black after the resize";
}

namespace {

// What the main dialog holds at the moment it is first shown.
class ShownState : public QObject
{
public:
    explicit ShownState(CViewerDlg& dialog, const QTemporaryDir& home)
        : m_dialog(dialog)
        , m_home(home)
    {
        dialog.installEventFilter(this);
    }

    bool seen = false;
    bool carriedFolder = false;
    QString exitText;
    int tiles = 0;
    bool layoutButton = false;
    bool calendarSearch = false;
    bool initialised = true;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_dialog && event->type() == QEvent::Show && !seen) {
            seen = true;
            carriedFolder = QDir(m_home.filePath("drives/c/Player/CD_DATA")).exists();
            exitText = m_dialog.Language().GetText(QStringLiteral("EXIT"));
            tiles = m_dialog.Grid() ? m_dialog.GetSplitCount() : 0;
            layoutButton = m_dialog.Button(1009) != nullptr;
            calendarSearch = m_dialog.CalendarSearch() != nullptr;
            initialised = m_dialog.IsInitialised();
        }
        return false;
    }

private:
    CViewerDlg& m_dialog;
    const QTemporaryDir& m_home;
};

} // namespace

// The start-up shows the dialog only once everything is made (the carried files' folder, the
// language table, the grid in its four-tile layout, the skinned buttons, the calendar search),
// and the dialog counts as initialised only after that, last.
TEST(ViewerDialogStartUp, ShownOnceEverythingIsMadeAndInitialisedLast)
{
    SkinBitmaps::Init();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    CViewerDlg dialog(TestViewerEnvironment(home));
    ShownState atShow(dialog, home);
    EXPECT_FALSE(dialog.IsInitialised());
    EXPECT_TRUE(dialog.OnInitDialog());
    ASSERT_TRUE(atShow.seen);
    EXPECT_TRUE(atShow.carriedFolder);
    EXPECT_FALSE(atShow.exitText.isEmpty());
    EXPECT_EQ(atShow.tiles, 4);
    EXPECT_TRUE(atShow.layoutButton);
    EXPECT_TRUE(atShow.calendarSearch);
    EXPECT_FALSE(atShow.initialised);
    EXPECT_TRUE(dialog.IsInitialised());
}
