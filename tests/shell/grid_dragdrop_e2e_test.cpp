// End to end: the main window in a program directory whose site book holds one recorder (the
// recorder simulator sending live video). The operator drags the recorder from the site book onto
// a live window's grid, a camera onto another cell, and one cell onto another; takes a snapshot of
// a cell, finds it in the recorder's archive and opens it from the tree; and keeps the grid as a
// favorite.
#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImageReader>
#include <QLineEdit>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>
#include <memory>

#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/liveview.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_dvrsim.h"
#include "shell/support/live_stream.h"
#include "shell/support/mainwin_fixture.h"
#include "sitebook/caddfolderdialog.h"
#include "sitebook/csnapshow.h"
#include "sitebook/sitebooktreewidget.h"

namespace {

// The centre of a laid-out cell in grid coordinates.
QPoint CellCentre(const CCameo* grid, int cell)
{
    const int n = int(std::sqrt(double(grid->GetSplit())));
    const CameoCell c = grid->GetCell(cell);
    const int w = grid->width() / n;
    const int h = grid->height() / n;
    return QPoint(c.column * w + w / 2, c.row * h + h / 2);
}

// A drag entering the grid, moving over it and dropped at the point, as the toolkit delivers
// them. The grid takes the mime data's ownership from the caller.
void DragOnto(CCameo* grid, QPoint at, QMimeData* data)
{
    std::unique_ptr<QMimeData> owned(data);
    const Qt::DropActions actions = Qt::MoveAction;
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);
    ASSERT_TRUE(enter.isAccepted()) << "the grid takes the drag";
    QDragMoveEvent move(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &move);
    QDropEvent drop(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &drop);
}

// Runs act once on the next visible top-level widget of type T (a modal dialog's own loop).
template <class T>
void OnNextTopLevel(std::function<void(T*)> act)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* found = qobject_cast<T*>(w);
            if (found && found->isVisible()) {
                timer->stop();
                timer->deleteLater();
                act(found);
                return;
            }
        }
    });
    timer->start(20);
}

QTreeWidgetItem* ChildOfKind(QTreeWidgetItem* parent, const QString& kind, const QString& name = QString())
{
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        const SiteBook* record = SiteBook::FromItem(parent->child(i));
        if (record && record->kind == kind && (name.isEmpty() || record->name == name))
            return parent->child(i);
    }
    return nullptr;
}

class GridDragDropEndToEnd : public MainWinTest
{};

TEST_F(GridDragDropEndToEnd, DragsSnapshotAndFavoriteAsAnOperatorWorksTheGrid)
{
    const QString stream = MakeLiveStream(programDir.path());
    ASSERT_FALSE(stream.isEmpty()) << "ffmpeg could not make the test stream";
    GridDvrSim sim({QStringLiteral("--channels"), QStringLiteral("4"), QStringLiteral("--video"), stream,
                    QStringLiteral("--fps"), QStringLiteral("15"), QStringLiteral("--titles"),
                    QStringLiteral("Gate,Dock,Yard,Lane")});
    const QString error = sim.Start();
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    WriteFile(QStringLiteral("sitebook.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n"
              "    <device name=\"Yard DVR\" addr=\"127.0.0.1\" port=\""
                  + QByteArray::number(sim.Port()) + "\" id=\"admin\" password=\"1234\"/>\n</zent>\n");
    StartHub();
    ASSERT_TRUE(hub);
    hub->resize(1200, 900);
    hub->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(hub.get()));
    SiteBookTreeWidget* tree = hub->GetSiteBookTree();
    CModuleDevice* recorder = tree->FindDeviceByName(QStringLiteral("Yard DVR"));
    ASSERT_NE(recorder, nullptr);
    const int r = recorder->GetDeviceIndex();

    hub->exeLiveView();
    auto* view = qobject_cast<LiveView*>(hub->LiveViewSlots()->Window(0));
    ASSERT_NE(view, nullptr);
    CCameo* grid = view->GetCameo();
    ASSERT_EQ(grid->GetSplit(), 16);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->width() > 100 && grid->CellAt(5, 5) == 0; }, 5000));

    // The recorder dragged from the tree onto cell 0: it connects and fills cells 0 to 3.
    auto cellsShowPictures = [&] {
        for (int cell = 0; cell < 4; ++cell) {
            const CameoCell c = grid->GetCell(cell);
            if (c.recorder != r || c.channel != cell || c.picture.width() <= 16 || c.osdDate <= 0)
                return false;
        }
        return true;
    };
    WatchBoxes([&] {
        DragOnto(grid, CellCentre(grid, 0), tree->DragData(recorder));
        EXPECT_TRUE(QTest::qWaitFor(cellsShowPictures, 60000)) << "the recorder's cells never showed pictures";
    });
    ASSERT_TRUE(recorder->IsLoggedIn());

    // A camera of the recorder dragged onto cell 9 leaves cell 2 and shows in cell 9.
    QTreeWidgetItem* camera = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (int i = 0; i < recorder->childCount() && !camera; ++i) {
                const SiteBook* record = SiteBook::FromItem(recorder->child(i));
                if (record && record->kind == QLatin1String("camera") && record->channel == 2)
                    camera = recorder->child(i);
            }
            return camera != nullptr;
        },
        10000))
        << "the recorder's camera items";
    DragOnto(grid, CellCentre(grid, 9), tree->DragData(camera));
    EXPECT_FALSE(grid->GetCell(2).IsBound());
    EXPECT_EQ(grid->GetCell(9).recorder, r);
    EXPECT_EQ(grid->GetCell(9).channel, 2);
    EXPECT_EQ(grid->GetSelectedCell(), 9);

    // Cell 9 dragged onto cell 6: the two change places.
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, CellCentre(grid, 9));
    auto* own = new QMimeData;
    own->setData(grid->GetDragMimeType(), QByteArray());
    DragOnto(grid, CellCentre(grid, 6), own);
    EXPECT_EQ(grid->GetCell(6).channel, 2);
    EXPECT_FALSE(grid->GetCell(9).IsBound());
    EXPECT_EQ(grid->GetSelectedCell(), 6);
    EXPECT_EQ(recorder->GetCameoRoute(2)->liveCell.load(), 6) << "the route follows the camera";

    // A snapshot of cell 1: a JPEG under the recorder's day folder, listed in its archive.
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, CellCentre(grid, 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetCell(1).osdDate > 0; }, 10000));
    QString written;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            written = grid->TakeSnapshot();
            return !written.isEmpty();
        },
        10000));
    EXPECT_TRUE(written.startsWith(programDir.path() + QStringLiteral("/backup/SnapShot/Yard DVR/")))
        << written.toStdString();
    EXPECT_TRUE(written.endsWith(QStringLiteral("_Dock.jpg"))) << written.toStdString();
    // The user is told where it went.
    EXPECT_TRUE(hub->statusBar()->isVisible());
    EXPECT_EQ(hub->statusBar()->currentMessage(), QStringLiteral("Snapshot saved to ") + written);
    QImageReader reader(written);
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    EXPECT_EQ(reader.size(), QSize(352, 240));

    QTreeWidgetItem* archive = ChildOfKind(recorder, QStringLiteral("archive"));
    ASSERT_NE(archive, nullptr);
    QTreeWidgetItem* snapshots = ChildOfKind(archive, QStringLiteral("archiveBackup"), QStringLiteral("SnapShot"));
    ASSERT_NE(snapshots, nullptr);
    ASSERT_EQ(snapshots->childCount(), 1);
    QTreeWidgetItem* shot = ChildOfKind(snapshots->child(0), QStringLiteral("archiveSnapshot"));
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(SiteBook::FromItem(shot)->path, written);

    // Double-clicking the snapshot in the tree shows it at 960 x 540 until Close.
    tree->expandAll();
    tree->scrollToItem(shot);
    QSize shown;
    OnNextTopLevel<CSnapShow>([&shown](CSnapShow* viewer) {
        shown = viewer->PictureLabel()->pixmap(Qt::ReturnByValue).size();
        QTest::mouseClick(viewer->CloseButton(), Qt::LeftButton);
    });
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualItemRect(shot).center());
    EXPECT_EQ(shown, QSize(960, 540));

    // "Add Favorite" keeps the grid's layout and cameras in favorites.xml under the name asked.
    OnNextTopLevel<CAddFolderDialog>([](CAddFolderDialog* dialog) {
        dialog->findChild<QLineEdit*>()->setText(QStringLiteral("Yard view"));
        dialog->onOKButtonClicked();
    });
    grid->GetAction(CCameo::ActionId::AddFavorite)->trigger();
    const QByteArray favorites = ReadFile(QStringLiteral("favorites.xml"));
    EXPECT_TRUE(favorites.contains("name=\"Yard view\"")) << favorites.constData();
    EXPECT_TRUE(favorites.contains("cameomode=\"1601\"")) << favorites.constData();
    EXPECT_TRUE(favorites.contains("favoritesdevice=\"Yard DVR;Yard DVR;;Yard DVR;;;Yard DVR;;"))
        << favorites.constData();
    EXPECT_TRUE(favorites.contains("favoriteschannel=\"0;1;-1;3;-1;-1;2;-1;")) << favorites.constData();
}

} // namespace
