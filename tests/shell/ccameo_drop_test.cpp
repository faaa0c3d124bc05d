// Drops onto a grid, sent as the toolkit delivers them: cameras and favorites from the site book,
// a grid's own cells, and payloads that are malformed or come from elsewhere.
#include <QApplication>
#include <QDataStream>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

#include "session/moduledevice.h"
#include "shell/ccameo.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_online_fixture.h"
#include "shell/support/sitebook_drag_bytes.h"

namespace {

const QLatin1String kItem("application/x-qabstractitemmodeldatalist");

QPoint Centre(int cell)
{
    return QPoint(cell % 4 * 100 + 50, cell / 4 * 100 + 50);
}

// Delivers a drag of the payload entering at the point and, when the grid takes it, its drop
// there, as the toolkit does: a drop goes only to the widget that took the drag. True when the
// grid accepted the drop.
bool Drop(CCameo* grid, QPoint at, const QString& format, const QByteArray& payload,
          Qt::DropAction* action = nullptr)
{
    QMimeData data;
    data.setData(format, payload);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &drop);
    if (action)
        *action = drop.dropAction();
    return drop.isAccepted();
}

// Whether a drag of that format entering the grid is taken; it leaves again.
bool Enters(CCameo* grid, const QString& format)
{
    QMimeData data;
    data.setData(format, QByteArray("x"));
    QDragEnterEvent event(QPoint(10, 10), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &event);
    QDragLeaveEvent leave;
    QApplication::sendEvent(grid, &leave);
    return event.isAccepted();
}

QByteArray Camera(int recorder, int channel)
{
    DragRecordFields f;
    f.kind = QStringLiteral("camera");
    f.name = QStringLiteral("Gate");
    f.index = recorder;
    f.channel = channel;
    return DragRecordBytes(f);
}

class GridDropTest : public GridOnlineTest
{
protected:
    CCameo* Grid(CameoKind kind = CameoKind::Live)
    {
        return ShownGrid(kind, kind == CameoKind::Live ? 64 : 16, 16, QSize(400, 400));
    }
    QString OwnCell(const CCameo* grid) const { return grid->GetDragMimeType(); }
};

TEST_F(GridDropTest, DragsEnteringByFormatAndGridKind)
{
    CCameo* live = Grid();
    CCameo* local = Grid(CameoKind::Local);
    CCameo* tile = NewEmapTile();
    EXPECT_TRUE(Enters(live, kItem));
    EXPECT_TRUE(Enters(live, OwnCell(live)));
    EXPECT_FALSE(Enters(live, OwnCell(local))) << "another grid's cell";
    EXPECT_FALSE(Enters(live, QStringLiteral("application/filedrag")));
    EXPECT_TRUE(Enters(local, QStringLiteral("application/filedrag")));
    EXPECT_FALSE(Enters(live, QStringLiteral("text/uri-list")));
    EXPECT_FALSE(Enters(tile, kItem)) << "the e-map tile takes nothing";
    EXPECT_FALSE(Enters(tile, OwnCell(tile)));
}

TEST_F(GridDropTest, ACameraLeavesItsFirstCellInEveryLiveGridAndLandsInTheDropCell)
{
    CModuleDevice* rec = AddRecorder(QStringLiteral("Yard"));
    const int r = rec->GetDeviceIndex();
    CCameo* first = Grid();
    CCameo* second = Grid();
    first->SetCameoChannel(2, r, 0);
    first->SetCameoChannel(2, r, 3); // the same camera in a later cell stays
    second->SetCameoChannel(1, r, 7);

    Qt::DropAction action = Qt::IgnoreAction;
    EXPECT_TRUE(Drop(second, Centre(5), kItem, Camera(r, 2), &action));
    EXPECT_EQ(action, Qt::CopyAction);
    EXPECT_FALSE(first->GetCell(0).IsBound()) << "the lowest cell that showed the camera";
    EXPECT_EQ(first->GetCell(3).channel, 2);
    EXPECT_EQ(second->GetCell(5).recorder, r);
    EXPECT_EQ(second->GetCell(5).channel, 2);
    EXPECT_EQ(second->GetCell(7).channel, 1) << "other cameras stay";
    EXPECT_EQ(second->GetSelectedCell(), 5);
    EXPECT_TRUE(second->GetCell(5).selected);
    EXPECT_FALSE(second->GetCell(0).selected) << "the previous current cell is unselected";
}

TEST_F(GridDropTest, MalformedOrForeignItemPayloadsChangeNothing)
{
    CModuleDevice* rec = AddRecorder(QStringLiteral("Yard"));
    const int r = rec->GetDeviceIndex();
    CCameo* grid = Grid();
    const QByteArray good = Camera(r, 2);
    // What another item view's model writes under the same type.
    QByteArray modelData;
    {
        QDataStream out(&modelData, QIODevice::WriteOnly);
        out << qint32(0) << qint32(0) << qint32(1) << qint32(0) << QVariant(QStringLiteral("row text"));
    }
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"cut short", good.left(good.size() - 4)},
        {"an item model's own data", modelData},
        {"recorder index out of the table", Camera(12000, 2)},
        {"channel 16", Camera(r, 16)},
        {"channel -7", Camera(r, -7)},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(Drop(grid, Centre(5), kItem, c.second)) << c.first;
        EXPECT_FALSE(grid->GetCell(5).IsBound()) << c.first;
        EXPECT_EQ(grid->GetSelectedCell(), 0) << c.first;
    }
    EXPECT_TRUE(Drop(grid, Centre(5), kItem, good));
    EXPECT_EQ(grid->GetCell(5).channel, 2);
}

TEST_F(GridDropTest, OtherKindsOnlyMoveTheCurrentCell)
{
    CCameo* grid = Grid();
    DragRecordFields folder;
    folder.kind = QStringLiteral("folder");
    folder.name = QStringLiteral("North");
    EXPECT_TRUE(Drop(grid, Centre(9), kItem, DragRecordBytes(folder)));
    EXPECT_EQ(grid->GetSelectedCell(), 9);
    EXPECT_FALSE(grid->GetCell(9).IsBound());
    EXPECT_FALSE(Drop(grid, QPoint(-20, -20), kItem, DragRecordBytes(folder))) << "outside every cell";
    EXPECT_EQ(grid->GetSelectedCell(), 9);
}

TEST_F(GridDropTest, AFavoriteOpensItsLayoutWithItsFirstCellCurrent)
{
    // The favorite's recorder is known: the grid waits for it to connect, its layout open.
    AddRecorder(QStringLiteral("Yard"));
    CCameo* grid = Grid();
    DragRecordFields favorite;
    favorite.kind = QStringLiteral("favorites_item");
    favorite.cameomode = QStringLiteral("1604");
    favorite.favoritesdevice = QStringLiteral(";;;;;Yard;");
    favorite.favoriteschannel = QStringLiteral("-1;-1;-1;-1;-1;0;");
    grid->OnSplitMode(0, 4, false);
    EXPECT_FALSE(Drop(grid, Centre(0), kItem, DragRecordBytes(favorite))) << "not taken as a move";
    EXPECT_EQ(grid->GetSplit(), 16);
    EXPECT_EQ(grid->GetFavoriteCursor(), 5);
    EXPECT_EQ(grid->GetSelectedCell(), 4);
    std::vector<int> selected;
    for (int i = 0; i < grid->GetCellCount(); ++i)
        if (grid->GetCell(i).selected)
            selected.push_back(i);
    EXPECT_EQ(selected, std::vector<int>{4});

    for (const char* bad : {"1500", "sixteen", "-1"}) {
        favorite.cameomode = QLatin1String(bad);
        grid->OnSplitMode(0, 4, false);
        Drop(grid, Centre(0), kItem, DragRecordBytes(favorite));
        EXPECT_EQ(grid->GetSplit(), 4) << bad;
    }

    CCameo* playback = Grid(CameoKind::Playback);
    favorite.cameomode = QStringLiteral("400");
    playback->OnSplitMode(0, 9, false);
    EXPECT_FALSE(Drop(playback, Centre(0), kItem, DragRecordBytes(favorite)));
    EXPECT_EQ(playback->GetSplit(), 9) << "a live favorite on a playback grid is refused";
}

TEST_F(GridDropTest, OwnCellsSwapOnlyOntoAnotherShownCell)
{
    CModuleDevice* a = AddRecorder(QStringLiteral("A"));
    CModuleDevice* b = AddRecorder(QStringLiteral("B"));
    CCameo* grid = Grid();
    grid->SetCameoChannel(0, a->GetDeviceIndex(), 2);
    grid->SetCameoChannel(1, b->GetDeviceIndex(), 7);
    QTest::mouseClick(grid, Qt::LeftButton, Qt::NoModifier, Centre(2));

    EXPECT_FALSE(Drop(grid, Centre(2), OwnCell(grid), QByteArray())) << "onto itself";
    EXPECT_EQ(grid->GetCell(2).recorder, a->GetDeviceIndex());
    CCameo* other = Grid();
    EXPECT_FALSE(Drop(grid, Centre(7), OwnCell(other), QByteArray())) << "another grid's cell";
    EXPECT_EQ(grid->GetCell(7).recorder, b->GetDeviceIndex());

    EXPECT_FALSE(Drop(grid, Centre(7), OwnCell(grid), QByteArray())) << "not marked accepted";
    EXPECT_EQ(grid->GetCell(7).recorder, a->GetDeviceIndex());
    EXPECT_EQ(grid->GetCell(7).channel, 0);
    EXPECT_EQ(grid->GetCell(2).recorder, b->GetDeviceIndex());
    EXPECT_EQ(grid->GetCell(2).channel, 1);
    EXPECT_EQ(grid->GetCell(7).column, 3) << "each place keeps its column and row";
    EXPECT_EQ(grid->GetCell(7).row, 1);
    EXPECT_EQ(grid->GetSelectedCell(), 7);
    EXPECT_TRUE(grid->GetCell(7).selected);
    EXPECT_FALSE(grid->GetCell(2).selected);
    EXPECT_FALSE(grid->GetCell(7).pressed);
    EXPECT_FALSE(grid->IsPressed());
}

TEST_F(GridDropTest, FileDropsAreReadOnlyOnLocalGrids)
{
    CCameo* local = Grid(CameoKind::Local);
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out << QStringLiteral("/rec/Yard/20240305/h071502.001") << QStringLiteral("h071502.001");
    }
    Drop(local, Centre(6), QStringLiteral("application/filedrag"), payload);
    EXPECT_EQ(local->GetSelectedCell(), 6) << "the drop cell becomes current";
    QByteArray bad;
    {
        QDataStream out(&bad, QIODevice::WriteOnly);
        out << QStringLiteral("/x") << QStringLiteral("a name longer than the path");
    }
    EXPECT_FALSE(Drop(local, Centre(3), QStringLiteral("application/filedrag"), bad));
    EXPECT_EQ(local->GetSelectedCell(), 6);
    CCameo* live = Grid();
    EXPECT_FALSE(Drop(live, Centre(6), QStringLiteral("application/filedrag"), payload));
    EXPECT_EQ(live->GetSelectedCell(), 0);
}

} // namespace
