// The operator's hand on a grid: selection by mouse with Ctrl and Shift, single view by double
// click, wheel and menu zoom with pan, the cell drag's payload and picture, and the right-button
// menu's entries, texts and states for each grid kind.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "session/moduledevice.h"
#include "shell/cameozoom.h"
#include "shell/ccameo.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "shell/osdsetup.h"
#include "shell/support/grid_online_fixture.h"
#include "sitebook/caddfolderdialog.h"
#include "sitebook/sitebooktreewidget.h"

namespace {

// A 400 x 400 grid of split 16: cell i sits at column i % 4, row i / 4, 100 pixels each.
QPoint Centre(int cell)
{
    return QPoint(cell % 4 * 100 + 50, cell / 4 * 100 + 50);
}

std::vector<int> Selected(const CCameo* grid)
{
    std::vector<int> cells;
    for (int i = 0; i < grid->GetCellCount(); ++i)
        if (grid->GetCell(i).selected)
            cells.push_back(i);
    return cells;
}

void Wheel(CCameo* grid, QPoint at, int delta)
{
    QWheelEvent event(at, grid->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid, &event);
}

void Move(CCameo* grid, QPoint to)
{
    QMouseEvent event(QEvent::MouseMove, to, grid->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &event);
}

// The menu as the operator reads it: entries by text, "-" for a separator, submenus by title.
QStringList Entries(QMenu& menu)
{
    QStringList out;
    for (QAction* action : menu.actions())
        out << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return out;
}

QAction* Find(QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

class GridInteractionTest : public GridOnlineTest
{
protected:
    CCameo* Grid(CameoKind kind = CameoKind::Live, int cells = 64)
    {
        return ShownGrid(kind, cells, 16, QSize(400, 400));
    }
    // Cameras of an online recorder in the cells: the composition shows an empty or offline
    // cell whole, which would undo a zoom at once.
    void ShowOnlineCameras(CCameo* grid, std::initializer_list<int> cells)
    {
        CModuleDevice* rec = LoggedInRecorder(QStringLiteral("Zoom"));
        ASSERT_NE(rec, nullptr);
        int channel = 0;
        for (int cell : cells)
            grid->SetCameoChannel(channel++, rec->GetDeviceIndex(), cell);
    }
};

TEST_F(GridInteractionTest, ClicksSelectWithCtrlAndShift)
{
    CCameo* grid = Grid();
    struct Step
    {
        int cell;
        Qt::KeyboardModifiers modifiers;
        std::vector<int> selected;
        int current;
    };
    const Step steps[] = {
        {5, Qt::NoModifier, {5}, 5},
        {9, Qt::ControlModifier, {5, 9}, 9},
        {2, Qt::ControlModifier, {2, 5, 9}, 2},
        {2, Qt::NoModifier, {2, 5, 9}, 2},   // a plain click on the current cell keeps them all
        {5, Qt::ControlModifier, {2, 9}, 2}, // taken out: the first one left becomes current
        {6, Qt::ShiftModifier, {2, 3, 4, 5, 6}, 6},
        {1, Qt::ShiftModifier, {1, 2, 3, 4, 5, 6}, 1},
        {1, Qt::ControlModifier, {2, 3, 4, 5, 6}, 2},
        {12, Qt::NoModifier, {12}, 12},
        {12, Qt::ControlModifier, {12}, 12}, // the only selected cell stays
    };
    for (const Step& s : steps) {
        QTest::mouseClick(grid, Qt::LeftButton, s.modifiers, Centre(s.cell));
        EXPECT_EQ(Selected(grid), s.selected) << "click on " << s.cell;
        EXPECT_EQ(grid->GetSelectedCell(), s.current) << "click on " << s.cell;
        EXPECT_FALSE(grid->IsPressed()) << "released";
    }
    EXPECT_EQ(hub->Sessions()->GetActiveCameoIndex(), grid->GetCameoIndex());
}

TEST_F(GridInteractionTest, DoubleClickTogglesSingleViewOfThatCell)
{
    CCameo* grid = Grid();
    QTest::mouseDClick(grid, Qt::LeftButton, Qt::NoModifier, Centre(6));
    EXPECT_EQ(grid->GetSplit(), 1);
    EXPECT_EQ(grid->GetPrevSplit(), 16);
    EXPECT_EQ(grid->GetSelectedCell(), 6);
    EXPECT_EQ(grid->GetLayoutCell(0, 0), 6);
    EXPECT_EQ(Selected(grid), std::vector<int>{6});

    QTest::mouseDClick(grid, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    EXPECT_EQ(grid->GetSplit(), 16);
    EXPECT_EQ(grid->GetLayoutCell(2, 1), 6) << "back to the page of cell 6";

    grid->GetAction(CCameo::ActionId::ViewSingle)->trigger();
    EXPECT_EQ(grid->GetSplit(), 1);
    grid->GetAction(CCameo::ActionId::ViewMulti)->trigger();
    EXPECT_EQ(grid->GetSplit(), 16);
}

TEST_F(GridInteractionTest, WheelZoomsOnlyTheCurrentCellBetweenOneAndThree)
{
    CCameo* grid = Grid();
    ShowOnlineCameras(grid, {3, 7});
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, Centre(3));
    Wheel(grid, Centre(7), 120);
    EXPECT_EQ(CameoZoom::Text(grid->GetCell(7).zoom), QLatin1String("1.0")) << "not the current cell";
    EXPECT_EQ(CameoZoom::Text(grid->GetCell(3).zoom), QLatin1String("1.0"));
    for (int i = 0; i < 25; ++i)
        Wheel(grid, Centre(3), 120);
    EXPECT_EQ(CameoZoom::Text(grid->GetCell(3).zoom), QLatin1String("3.0"));
    Wheel(grid, Centre(3), 60);
    EXPECT_EQ(CameoZoom::Text(grid->GetCell(3).zoom), QLatin1String("2.9")) << "half a notch zooms out";
    for (int i = 0; i < 25; ++i)
        Wheel(grid, Centre(3), -120);
    EXPECT_EQ(CameoZoom::Text(grid->GetCell(3).zoom), QLatin1String("1.0"));
}

TEST_F(GridInteractionTest, ZoomedCellPansAndZoomingBackToOneResetsThePan)
{
    CCameo* grid = Grid();
    ShowOnlineCameras(grid, {5});
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, Centre(5));
    for (int i = 0; i < 10; ++i)
        grid->zoomInAction();
    EXPECT_EQ(CameoZoom::Text(grid->GetCell(5).zoom), QLatin1String("2.0"));

    QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, Centre(5));
    Move(grid, Centre(5) - QPoint(20, 10));
    EXPECT_EQ(grid->GetCell(5).panX, 20);
    EXPECT_EQ(grid->GetCell(5).panY, 10);
    Move(grid, Centre(5) + QPoint(30, 30));
    EXPECT_EQ(grid->GetCell(5).panX, 0) << "never negative";
    EXPECT_EQ(grid->GetCell(5).panY, 0);
    Move(grid, Centre(5) - QPoint(0, 15));
    EXPECT_EQ(grid->GetCell(5).panY, 45);
    QTest::mouseRelease(grid, Qt::LeftButton, Qt::NoModifier, Centre(5));
    EXPECT_FALSE(grid->IsPressed());

    grid->zoomOutAction();
    EXPECT_EQ(grid->GetCell(5).panY, 45) << "the pan stays while zoomed";
    for (int i = 0; i < 9; ++i)
        grid->zoomOutAction();
    EXPECT_EQ(CameoZoom::Text(grid->GetCell(5).zoom), QLatin1String("1.0"));
    EXPECT_EQ(grid->GetCell(5).panX, 0);
    EXPECT_EQ(grid->GetCell(5).panY, 0);
}

TEST_F(GridInteractionTest, WhatTheMouseChangesIsComposed)
{
    CCameo* grid = Grid();
    ASSERT_TRUE(QTest::qWaitFor([grid] { return !grid->IsRedrawRequested(); }, 5000)) << "the first composition";
    const std::function<void()> steps[] = {
        [grid] { QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, Centre(5)); },
        [grid] { grid->zoomInAction(); },
        [grid] { Wheel(grid, Centre(5), -120); },
        [grid] { grid->freezeAction(); },
    };
    for (const auto& step : steps) {
        step();
        // The redraw thread is woken for it: the request does not stay pending (which would
        // also keep every later picture from waking the thread).
        EXPECT_TRUE(QTest::qWaitFor([grid] { return !grid->IsRedrawRequested(); }, 5000));
    }
    const QImage composed = grid->GetBackBuffer();
    EXPECT_EQ(QColor(composed.pixel(102, 102)), QColor(Qt::cyan)) << "the selection frame of cell 5";
}

TEST_F(GridInteractionTest, ACellDragCarriesOnlyTheGridsOwnFormatAndAFramedPicture)
{
    CCameo* grid = Grid();
    ASSERT_TRUE(QTest::qWaitFor([grid] { return !grid->IsRedrawRequested(); }, 5000)) << "the first composition";
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, Centre(4));
    // The click's composition shows the unbound cell blank: it must be over before the picture
    // is put there, or it would blank the picture the drag is to carry.
    ASSERT_TRUE(QTest::qWaitFor([grid] { return !grid->IsRedrawRequested(); }, 5000)) << "the click's composition";
    PutPicture(grid, 4, Solid(352, 240, Qt::blue));
    std::unique_ptr<QMimeData> data(grid->CellDragData());
    EXPECT_EQ(data->formats(), QStringList{QStringLiteral("application/cameodrag_%1").arg(grid->GetCameoIndex())});
    EXPECT_TRUE(data->data(data->formats().first()).isEmpty());

    const QImage pixmap = grid->CellDragPixmap().toImage();
    EXPECT_EQ(pixmap.size(), QSize(50, 50)) << "half a 100 x 100 cell";
    EXPECT_EQ(QColor(pixmap.pixel(0, 0)), QColor(Qt::white));
    EXPECT_EQ(QColor(pixmap.pixel(48, 48)), QColor(Qt::white));
    EXPECT_EQ(QColor(pixmap.pixel(25, 25)), QColor(Qt::blue));
}

TEST_F(GridInteractionTest, MenuEntriesForEachGridKind)
{
    struct Case
    {
        const char* what;
        CameoKind kind;
        bool emap;
        QStringList entries;
    };
    const Case cases[] = {
        {"live", CameoKind::Live, false,
         QStringList{"Popup Mode",  "View Single", "-",      "Zoom In\tx1.1", "Zoom Out",     "-",
                     "Audio Out",   "-",           "Freeze", "Record",        "Rotation",     "-",
                     "OSD Setup",   "Snap Shot",   "-",      "Close Cameo",   "Add Favorite", "-",
                     "UCC Control", "Live Output"}},
        {"playback", CameoKind::Playback, false,
         QStringList{"Popup Mode",
                     "View Single",
                     "-",
                     "Zoom In\tx1.1",
                     "Zoom Out",
                     "-",
                     "Audio Out",
                     "-",
                     "Record",
                     "Rotation",
                     "-",
                     "OSD Setup",
                     "Snap Shot",
                     "-",
                     "Add Favorite",
                     "-",
                     "Quick Search",
                     "Museum Search",
                     "Thumbnail Search",
                     "-",
                     "Select Date"}},
        {"local files", CameoKind::Local, false,
         QStringList{"Popup Mode", "View Single", "-", "-", "OSD Setup", "MP4 Convert"}},
        {"e-map tile", CameoKind::Live, true,
         QStringList{"View x 1/4", "View x 1", "View x 4", "-", "Zoom In\tx1.1", "Zoom Out", "-", "Audio Out", "-",
                     "Freeze", "-", "OSD Setup", "Snap Shot"}},
    };
    for (const Case& c : cases) {
        CCameo* grid = c.emap ? NewEmapTile() : Grid(c.kind, 16);
        std::unique_ptr<QMenu> menu = grid->PrepareContextMenu();
        // A menu drops a leading or doubled separator when it shows; compare what it holds.
        EXPECT_EQ(Entries(*menu), c.entries) << c.what;
    }
}

TEST_F(GridInteractionTest, MenuOfAnEmptyCellGreysTheCellActions)
{
    CCameo* grid = Grid();
    std::unique_ptr<QMenu> menu = grid->PrepareContextMenu();
    for (const char* text : {"Zoom In\tx1.1", "Zoom Out", "Freeze", "Snap Shot", "Close Cameo", "Record",
                             "Audio Out", "UCC Control", "Live Output"}) {
        QAction* action = Find(*menu, QLatin1String(text));
        ASSERT_NE(action, nullptr) << text;
        EXPECT_FALSE(action->isEnabled()) << text;
    }
    for (const char* text : {"OSD Setup", "Add Favorite", "View Single", "Popup Mode"}) {
        QAction* action = Find(*menu, QLatin1String(text));
        ASSERT_NE(action, nullptr) << text;
        EXPECT_TRUE(action->isEnabled()) << text;
    }
    EXPECT_FALSE(grid->IsCloseMode());
}

TEST_F(GridInteractionTest, CloseKeepsWhatTheCellShowedAndRestoreBringsItBack)
{
    CModuleDevice* rec = AddRecorder(QStringLiteral("Yard"));
    const int r = rec->GetDeviceIndex();
    CCameo* grid = Grid();
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, Centre(2));
    grid->SetCameoChannel(3, r, -1);

    std::unique_ptr<QMenu> menu = grid->PrepareContextMenu();
    ASSERT_NE(Find(*menu, QStringLiteral("Close Cameo")), nullptr);
    EXPECT_TRUE(Find(*menu, QStringLiteral("Close Cameo"))->isEnabled());
    EXPECT_TRUE(grid->IsCloseMode());
    ASSERT_NE(Find(*menu, QStringLiteral("Zoom In\tx1.1")), nullptr);
    EXPECT_TRUE(Find(*menu, QStringLiteral("Zoom In\tx1.1"))->isEnabled());
    Find(*menu, QStringLiteral("Close Cameo"))->trigger();
    EXPECT_FALSE(grid->GetCell(2).IsBound());
    EXPECT_EQ(grid->GetCell(2).rememberedRecorder, r);
    EXPECT_EQ(grid->GetCell(2).rememberedChannel, 3);

    menu = grid->PrepareContextMenu();
    QAction* restore = Find(*menu, QStringLiteral("Restore Cameo"));
    ASSERT_NE(restore, nullptr);
    EXPECT_TRUE(restore->isEnabled());
    EXPECT_FALSE(grid->IsCloseMode());
    restore->trigger();
    EXPECT_EQ(grid->GetCell(2).recorder, r);
    EXPECT_EQ(grid->GetCell(2).channel, 3);
}

TEST_F(GridInteractionTest, MenuZoomTextsFollowTheCellsZoom)
{
    // Online: the composition shows an offline cell whole, which would undo the zoom.
    CModuleDevice* rec = LoggedInRecorder(QStringLiteral("Yard"));
    ASSERT_NE(rec, nullptr);
    CCameo* grid = Grid();
    grid->SetCameoChannel(0, rec->GetDeviceIndex(), 0);
    for (int i = 0; i < 20; ++i)
        grid->zoomInAction();
    std::unique_ptr<QMenu> menu = grid->PrepareContextMenu();
    ASSERT_NE(Find(*menu, QStringLiteral("Zoom In")), nullptr);
    EXPECT_FALSE(Find(*menu, QStringLiteral("Zoom In"))->isEnabled()) << "at 3.0";
    ASSERT_NE(Find(*menu, QStringLiteral("Zoom Out\tx2.9")), nullptr);
    EXPECT_TRUE(Find(*menu, QStringLiteral("Zoom Out\tx2.9"))->isEnabled());
}

TEST_F(GridInteractionTest, EmapTileSizes)
{
    CCameo* tile = NewEmapTile();
    const std::pair<CCameo::ActionId, QSize> cases[] = {{CCameo::ActionId::EmapScr1, QSize(80, 60)},
                                                        {CCameo::ActionId::EmapScr3, QSize(320, 240)},
                                                        {CCameo::ActionId::EmapScr2, QSize(160, 120)}};
    for (const auto& c : cases) {
        tile->GetAction(c.first)->trigger();
        EXPECT_EQ(tile->size(), c.second);
    }
}

TEST_F(GridInteractionTest, AnEmapTileMovesWithTheMouseAndSnapsBackInsideItsMap)
{
    QWidget map;
    map.resize(400, 300);
    CCameo* tile = NewEmapTile();
    tile->setParent(&map);
    tile->setGeometry(10, 10, 160, 120);
    map.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&map));
    struct Case
    {
        QPoint by;    // how far the pointer moves while the button is held
        QPoint after; // where the tile rests once released
    };
    const Case cases[] = {{QPoint(50, 40), QPoint(60, 50)},
                          {QPoint(500, 400), QPoint(240, 180)},
                          {QPoint(-600, -20), QPoint(0, 160)},
                          {QPoint(30, -500), QPoint(30, 0)}};
    for (const Case& c : cases) {
        const QPoint start(20, 20);
        QTest::mousePress(tile, Qt::LeftButton, Qt::NoModifier, start);
        Move(tile, start + c.by);
        QTest::mouseRelease(tile, Qt::LeftButton, Qt::NoModifier, start + c.by);
        EXPECT_EQ(tile->pos(), c.after) << c.by.x() << "," << c.by.y();
    }
    EXPECT_EQ(tile->GetCell(0).zoom, 1.0f) << "a whole-picture tile moves instead of zooming or selecting";
    tile->setParent(nullptr);
}

TEST_F(GridInteractionTest, SelectDateAsksTheWindowForADate)
{
    CCameo* grid = Grid(CameoKind::Playback, 16);
    int asked = 0;
    QObject::connect(grid, &CCameo::OnSelectDate, [&asked] { ++asked; });
    grid->GetAction(CCameo::ActionId::SelectDate)->trigger();
    EXPECT_EQ(asked, 1);
}

// Runs act once on the next visible top-level widget of type T (a modal dialog's own loop).
template <class T>
void OnNextTopLevel(std::function<void(T*)> act)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<T*>(w);
            if (dialog && dialog->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(dialog);
                return;
            }
        }
    });
    timer->start(10);
}

TEST_F(GridInteractionTest, OsdSetupWritesTheHubsFlagsAndTheGridsFrameRate)
{
    CCameo* live = Grid();
    CCameo* other = Grid();
    OsdSetup prepared;
    live->PrepareOsdSetup(prepared);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(prepared.Box(i)->isChecked()) << "hub flag " << i << " starts on";
    EXPECT_FALSE(prepared.Box(OsdSetup::kFrameRate)->isChecked()) << "the grid's frame rate starts off";
    EXPECT_TRUE(prepared.Box(OsdSetup::kFrameRate)->isEnabled());

    OnNextTopLevel<OsdSetup>([](OsdSetup* dialog) {
        dialog->Box(1)->setChecked(false); // Camera Name
        dialog->Box(4)->setChecked(false); // Event
        dialog->Box(OsdSetup::kFrameRate)->setChecked(true);
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    });
    live->GetAction(CCameo::ActionId::OsdSetup)->trigger();
    const OsdFlags& flags = hub->Settings().GetOsdFlags();
    EXPECT_TRUE(flags.IsOn(OsdFlag::DvrName));
    EXPECT_FALSE(flags.IsOn(OsdFlag::CameraName));
    EXPECT_FALSE(flags.IsOn(OsdFlag::Event));
    EXPECT_TRUE(flags.IsOn(OsdFlag::CameoNumber));
    EXPECT_TRUE(live->GetFpsOsd());
    EXPECT_FALSE(other->GetFpsOsd()) << "the frame rate belongs to one grid";

    OnNextTopLevel<OsdSetup>([](OsdSetup* dialog) {
        dialog->Box(0)->setChecked(false);
        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    });
    live->GetAction(CCameo::ActionId::OsdSetup)->trigger();
    EXPECT_TRUE(hub->Settings().GetOsdFlags().IsOn(OsdFlag::DvrName)) << "cancel changes nothing";
}

TEST_F(GridInteractionTest, FrameRateBoxIsGreyAndKeptOutsideLiveGrids)
{
    for (CameoKind kind : {CameoKind::Playback, CameoKind::Local}) {
        CCameo* grid = Grid(kind, 16);
        OsdSetup dialog;
        grid->PrepareOsdSetup(dialog);
        dialog.show();
        EXPECT_FALSE(dialog.Box(OsdSetup::kFrameRate)->isEnabled());
        QTest::mouseClick(dialog.Box(OsdSetup::kFrameRate), Qt::LeftButton);
        EXPECT_FALSE(dialog.Box(OsdSetup::kFrameRate)->isChecked()) << "a grey box does not change";
        QTest::mouseClick(dialog.Box(0), Qt::LeftButton);
        dialog.onOKButtonClicked();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        grid->ApplyOsdSetup(dialog);
        EXPECT_FALSE(grid->GetFpsOsd());
        EXPECT_FALSE(hub->Settings().GetOsdFlags().IsOn(OsdFlag::DvrName)) << "the other boxes still count";
        hub->Settings().SetOsdFlag(OsdFlag::DvrName, 1);
    }
}

TEST_F(GridInteractionTest, APlaybackGridsFavoriteIsASearchOfItsRecorder)
{
    CModuleDevice* rec = AddRecorder(QStringLiteral("Yard"));
    CCameo* grid = Grid(CameoKind::Playback, 16);
    grid->OnConnectDevice(4, rec->GetDeviceIndex());
    ASSERT_EQ(grid->GetPlaybackRecorder(), rec->GetDeviceIndex());
    OnNextTopLevel<CAddFolderDialog>([](CAddFolderDialog* dialog) {
        dialog->findChild<QLineEdit*>()->setText(QStringLiteral("Night search"));
        dialog->onOKButtonClicked();
    });
    grid->GetAction(CCameo::ActionId::AddFavorite)->trigger();
    QTreeWidgetItem* favorites = hub->GetSiteBookTree()->GetFavoritesRoot();
    ASSERT_EQ(favorites->childCount(), 1);
    const SiteBook* record = SiteBook::FromItem(favorites->child(0));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->kind, QLatin1String("favorites_item_search"));
    EXPECT_EQ(record->name, QLatin1String("Night search"));
    EXPECT_EQ(record->cameomode, QLatin1String("400"));
    EXPECT_EQ(record->favoritesdevice, QLatin1String("Yard"));
    // A recorder that has not played yet has no position: -1 for both, as the format prints it.
    EXPECT_EQ(record->favoriteschannel, QLatin1String("-0000001;-00001;"));
}

} // namespace
