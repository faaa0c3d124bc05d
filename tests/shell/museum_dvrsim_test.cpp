// The museum search as an operator runs it: a remote playback window plays the simulator's day
// with motion in a known area, the cell's menu opens "Museum Search", the area is dragged over
// the picture, a range searched, and the matches listed and played.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimeEdit>

#include "search/ccameomuseum.h"
#include "search/ccameosub.h"
#include "search/searchmuseum.h"
#include "search/searchview.h"
#include "search/support/recorded_day.h"
#include "shell/ccameo.h"
#include "shell/support/grid_online_fixture.h"

namespace {

class MuseumOperator : public GridOnlineTest
{
protected:
    // Drags the area from cell `from` to cell `to` over the tile, as the mouse does.
    static void DragArea(SearchMuseum* museum, QPoint from, QPoint to)
    {
        const int w = museum->Grid().CellWidth();
        const int h = museum->Grid().CellHeight();
        const auto send = [&](QEvent::Type type, QPoint cell) {
            const QPoint pos(cell.x() * w + w / 2, cell.y() * h + h / 2);
            QMouseEvent event(type, pos, museum->Tile()->mapToGlobal(pos), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(museum->Tile(), &event);
        };
        send(QEvent::MouseButtonPress, from);
        send(QEvent::MouseMove, to);
        send(QEvent::MouseButtonRelease, to);
    }
};

} // namespace

TEST_F(MuseumOperator, MotionInTheAreaIsFoundListedAndPlayed)
{
    // Motion in columns 5..9, rows 4..7 of the 22 x 15 grid of a 352 x 240 picture, in seconds
    // 20 to 29 of every minute.
    RecorderSession* device = LoggedInRecorder(
        QStringLiteral("Atrium"), RecordedDayOptions(QStringLiteral("090000"), QStringLiteral("105959"), 10, 1,
                                                     {QStringLiteral("--motion-cells"), QStringLiteral("5,4,10,8"),
                                                      QStringLiteral("--motion-grid"), QStringLiteral("22x15")}));
    ASSERT_TRUE(device);
    SearchView* view = OpenRemoteSearch(*hub, device, 20240205, 100000);
    ASSERT_TRUE(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->IsPlaybackStarted(); }, 30000));
    auto* grid = qobject_cast<CCameo*>(view->GetGrid());
    ASSERT_TRUE(grid);

    SearchMuseum* museum = hub->GetSearchMuseum();
    ASSERT_TRUE(museum);
    grid->museumSearchAction();
    ASSERT_TRUE(museum->isVisible());
    ASSERT_EQ(museum->Grid().Columns(), 22);
    ASSERT_EQ(museum->Grid().Rows(), 15);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !museum->IsBusy(); }, 30000)) << "the opening picture";

    // A wrong range is refused.
    museum->StartEdit()->setTime(QTime(10, 2, 0));
    museum->EndEdit()->setTime(QTime(10, 1, 0));
    DragArea(museum, {6, 5}, {8, 6});
    museum->SearchButton()->click();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return hub->Messages().MessageText() == QLatin1String("Please check the time."); }, 5000));
    EXPECT_EQ(museum->HitCount(), 0);

    // 10:00:15 to 10:02:35 over part of the motion.
    museum->StartEdit()->setTime(QTime(10, 0, 15));
    museum->EndEdit()->setTime(QTime(10, 2, 35));
    museum->SearchButton()->click();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return hub->Messages().MessageText() == QLatin1String("Search completed."); }, 90000))
        << hub->Messages().MessageText().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !museum->IsBusy(); }, 10000));
    ASSERT_EQ(museum->HitCount(), 3);
    EXPECT_EQ(museum->HitTime(0), 100020);
    EXPECT_EQ(museum->HitTime(1), 100120);
    EXPECT_EQ(museum->HitTime(2), 100220);
    EXPECT_FALSE(museum->LastThumbnail().isNull()) << "each match's picture goes to the list";

    // Picking the second match plays from its time.
    const QRect list = museum->MatchList()->geometry();
    ASSERT_TRUE(museum->OnSelectCameo(list.x() + 40, list.y() + 120 + 60));
    EXPECT_TRUE(museum->IsShowingMatch());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return museum->GetCurrentTimeText().startsWith(QLatin1String("10:01:2")); }, 30000))
        << museum->GetCurrentTimeText().toStdString();

    // Close hands the recorder back to the playback window.
    museum->CloseButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !museum->isVisible(); }, 10000));
    EXPECT_FALSE(device->IsMuseumMode());
}
