// End to end: a program directory whose site book has a recorder with a map and one camera
// placed on it. The main window starts there; the operator opens the recorder's e-map from the
// site book's menu; the recorder logs in and its placed camera appears; a camera dragged from
// the site book is dropped on the map, opened as a live tile, and its place is in sitebook.xml
// after the program closes.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "emap/emapcamera.h"
#include "emap/emaptile.h"
#include "emap/emapview.h"
#include "emap/support/emap_drop.h"
#include "session/cameoroute.h"
#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/childwindowslots.h"
#include "shell/clientsessionhub.h"
#include "shell/emapcameo.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_dvrsim.h"
#include "shell/support/mainwin_fixture.h"
#include "sitebook/caddfolderdialog.h"
#include "sitebook/sitebooktreewidget.h"
#include "sitebook/support/sitebook_modal.h"

namespace {

// Sixteen recorder-map positions, camera 1 at the middle of the map, the others not placed.
QByteArray PositionsWithCameraOneInTheMiddle()
{
    QByteArray text;
    for (int ch = 0; ch < 16; ++ch)
        text += ch == 1 ? "0.500000;0.500000;" : "-1.000000;-1.000000;";
    return text;
}

// The action of that text in the menu or one of its submenus.
QAction* MenuAction(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
        if (QMenu* sub = action->menu())
            if (QAction* found = MenuAction(sub, text))
                return found;
    }
    return nullptr;
}

class EmapWindowTest : public MainWinTest
{};

} // namespace

TEST_F(EmapWindowTest, OpenMapDropCameraViewItAndKeepItsPlace)
{
    GridDvrSim sim({QStringLiteral("--channels"), QStringLiteral("4"), QStringLiteral("--titles"),
                    QStringLiteral("Front,Back,Side,Roof")});
    const QString error = sim.Start();
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();

    QImage map(320, 240, QImage::Format_RGB32);
    map.fill(QColor(200, 220, 240));
    ASSERT_TRUE(map.save(Path(QStringLiteral("yard.png"))));
    WriteFile(QStringLiteral("sitebook.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n"
              "    <device name=\"Yard DVR\" addr=\"127.0.0.1\" port=\""
                  + QByteArray::number(sim.Port()) + "\" id=\"admin\" password=\"1234\" emapPath=\""
                  + Path(QStringLiteral("yard.png")).toUtf8() + "\" emapPos=\""
                  + PositionsWithCameraOneInTheMiddle() + "\"/>\n</zent>\n");
    StartHub();
    ASSERT_TRUE(hub);
    hub->show();
    const int recorder = hub->Sessions()->FindDeviceByName(QStringLiteral("Yard DVR"));
    ASSERT_GE(recorder, 0);
    auto* device = static_cast<CModuleDevice*>(hub->Sessions()->GetDevice(recorder));

    // The site book's menu on the recorder: "Quick Menu", "eMap".
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(hub.get()));
    const QPoint onRecorder = tree->visualItemRect(device).center();
    std::unique_ptr<QMenu> menu = tree->PrepareContextMenu(onRecorder);
    QAction* emapAction = MenuAction(menu.get(), QStringLiteral("eMap"));
    ASSERT_NE(emapAction, nullptr);

    EmapView* view = nullptr;
    WatchBoxes([&] {
        emapAction->trigger();
        menu.reset();
        view = hub->GetEmapView(0);
        ASSERT_NE(view, nullptr) << "the e-map window opened";
        // Once logged in the session opens the recorder's map and places camera 1 (slot 1).
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return view->GetCamera(1) && !view->GetCamera(1)->isHidden() && device->GetCameraItem(0); },
            30000))
            << "the placed camera never appeared";
    });
    ASSERT_TRUE(device->IsLoggedIn());
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Emap - Yard DVR"));
    EXPECT_TRUE(view->Shows(recorder, -1));
    EXPECT_EQ(view->GetCamera(1)->toolTip(), QStringLiteral("Yard DVR:Back"));
    EXPECT_EQ(view->GetMapPath(), Path(QStringLiteral("yard.png")));

    // The window gets the size the stored fractions are checked against.
    QMdiSubWindow* sub = hub->EmapViewSlots()->SubWindow(0);
    ASSERT_NE(sub, nullptr);
    sub->resize(sub->size() - view->size() + QSize(400, 300));
    ASSERT_EQ(view->size(), QSize(400, 300));
    EXPECT_EQ(view->GetCamera(1)->pos(), QPoint(200, 150)) << "the placed camera follows the window";

    // Camera 0 dragged from the site book onto the map.
    const SiteBook* camera = SiteBook::FromItem(device->GetCameraItem(0));
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->kind, QStringLiteral("camera"));
    ASSERT_TRUE(DropSiteBookRecord(view, *camera, QPoint(117, 218)));
    EmapCamera* icon = view->GetCamera(0);
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->isHidden());
    EXPECT_EQ(icon->GetChannel(), 0);
    EXPECT_TRUE(
        SiteBook::FromItem(device)->emapPos.startsWith(QStringLiteral("0.250000;0.666667;0.500000;0.500000;")))
        << SiteBook::FromItem(device)->emapPos.toStdString();

    // A double click opens its live tile: an e-map grid bound to the channel, by the e-map route.
    QTest::mouseDClick(icon, Qt::LeftButton);
    ASSERT_TRUE(icon->IsTileShown());
    auto* tile = qobject_cast<emapCameo*>(icon->GetTile()->Widget());
    ASSERT_NE(tile, nullptr);
    EXPECT_TRUE(tile->isVisible());
    EXPECT_EQ(tile->ShownRecorder(), recorder);
    EXPECT_EQ(tile->ShownChannel(), 0);
    EXPECT_EQ(device->GetCameoRoute(0)->emapGrid.load(), tile->GetCameoIndex());
    EXPECT_TRUE(QTest::qWaitFor([&] { return sim.Messages(0x87).size() > 0; }, 30000))
        << "live video of the channel was asked for";

    // "Save eMap": the map with both cameras becomes an entry of the e-map book.
    auto driver = OnNextDialog<CAddFolderDialog>([](CAddFolderDialog* dialog) {
        dialog->setName(QStringLiteral("Yard plan"));
        dialog->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    });
    view->saveMapImage();
    EXPECT_TRUE(driver->Done());
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Emap - Yard plan"));
    const QByteArray entries = ReadFile(QStringLiteral("emap.xml"));
    EXPECT_TRUE(entries.contains("name=\"Yard plan\" favoritesdevice=\"Yard DVR;Yard DVR;;;;;;;;;;;;;;;\" "
                                 "favoriteschannel=\"0;1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;\" emapPath=\""
                                 + Path(QStringLiteral("yard.png")).toUtf8()
                                 + "\" emapPos=\"0.250000;0.666667;0.500000;0.500000;-1;-1;"))
        << entries.constData();

    StopHub();
    const QByteArray book = ReadFile(QStringLiteral("sitebook.xml"));
    EXPECT_TRUE(book.contains("emapPos=\"0.250000;0.666667;0.500000;0.500000;-1.000000;-1.000000;"))
        << book.constData();
}

TEST_F(EmapWindowTest, EntryPlacesItsCamerasAsTheirRecordersConnect)
{
    GridDvrSim sim({QStringLiteral("--channels"), QStringLiteral("4"), QStringLiteral("--titles"),
                    QStringLiteral("Front,Back,Side,Roof")});
    const QString error = sim.Start();
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    WriteFile(QStringLiteral("sitebook.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n"
              "    <device name=\"Yard DVR\" addr=\"127.0.0.1\" port=\""
                  + QByteArray::number(sim.Port())
                  + "\" id=\"admin\" password=\"1234\"/>\n"
                    "    <device name=\"Gone DVR\" addr=\"127.0.0.1\" port=\"1\" id=\"admin\" password=\"1\"/>\n"
                    "</zent>\n");
    // Camera 2 and camera 0 of the simulator, a camera of a recorder no longer in the site book,
    // and one with a channel the window has no slot for.
    WriteFile(
        QStringLiteral("emap.xml"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n"
        "    <emap_item name=\"Ground floor\" favoritesdevice=\"Yard DVR;Nobody;Yard DVR;Yard DVR;;;;;;;;;;;;;\" "
        "favoriteschannel=\"2;1;0;20;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;\" emapPath=\"\" "
        "emapPos=\"0.250000;0.500000;0.1;0.1;0.750000;0.250000;0.5;0.5;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;"
        "-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;-1;\"/>\n</zent>\n");
    StartHub();
    ASSERT_TRUE(hub);
    hub->show();
    QTreeWidgetItem* entry = hub->GetSiteBookTree()->GetEmapRoot()->child(0);
    const SiteBook* record = SiteBook::FromItem(entry);
    ASSERT_NE(record, nullptr);

    EmapView* view = nullptr;
    WatchBoxes([&] {
        hub->GetSiteBookTree()->openEmapItem(record->name, record->emapPath, record->emapPos,
                                             record->favoritesdevice, record->favoriteschannel, record->index);
        view = hub->GetEmapView(0);
        ASSERT_NE(view, nullptr);
        EXPECT_TRUE(QTest::qWaitFor([&] { return view->VisibleCameras().size() == 2; }, 30000))
            << "the entry's two cameras never appeared";
        // The chain ends by letting the shared box close on its own.
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return hub->Messages().MessageOption() == QLatin1String("auto"); }, 30000));
    });
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Emap - Ground floor"));
    const QList<EmapCamera*> icons = view->VisibleCameras();
    ASSERT_EQ(icons.size(), 2);
    EXPECT_EQ(icons[0]->GetChannel(), 2);
    EXPECT_EQ(icons[0]->toolTip(), QStringLiteral("Yard DVR:Side"));
    EXPECT_EQ(icons[1]->GetChannel(), 0);
    EXPECT_EQ(icons[1]->toolTip(), QStringLiteral("Yard DVR:Front"));
    EXPECT_EQ(icons[0]->pos(), QPoint(int(view->width() * 0.25f), int(view->height() * 0.5f)));
    EXPECT_EQ(icons[1]->pos(), QPoint(int(view->width() * 0.75f), int(view->height() * 0.25f)));
    EXPECT_FALSE(icons[0]->IsDeviceCamera()) << "moves go to the entry, not to the recorder";
}
