// The remote playback window and the quick search against the recorder simulator's recorded
// days, driven the way an operator drives them: the recorder is opened for playback, the start
// dialog answered, and the playback asked for on the wire shows in the window's grid.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QWheelEvent>

#include "search/ccameomuseum.h"
#include "search/searchinfo.h"
#include "search/searchmuseum.h"
#include "search/searchtime.h"
#include "search/searchtimeline.h"
#include "search/searchview.h"
#include "search/support/recorded_day.h"
#include "session/moduleplayback.h"
#include "session/support/moduledevice_testaccess.h"
#include "shell/childwindowslots.h"
#include "shell/support/grid_online_fixture.h"

namespace {

// Two recorded days, 08:00:00 to 11:59:59 each, of a real H.264 stream.
QStringList RecordedDays()
{
    return RecordedDayOptions(QStringLiteral("080000"), QStringLiteral("115959"), 15, 2);
}

class RemotePlayback : public GridOnlineTest
{
protected:
    SearchView* OpenOn(RecorderSession* device, int date, int time)
    {
        return OpenRemoteSearch(*hub, device, date, time);
    }

    // The playback controls the simulator received that start a stream.
    QList<QJsonObject> Streams(int made = 0) const
    {
        QList<QJsonObject> starts;
        for (const QJsonObject& e : Simulator(made)->Events(QStringLiteral("playback"))) {
            if (e.value(QStringLiteral("a")).toInt() == 2)
                starts << e;
        }
        return starts;
    }

    // The first cell of the window's grid holds a decoded recorded picture.
    static bool ShowsPicture(SearchView* view)
    {
        auto* grid = qobject_cast<CCameo*>(view->GetGrid());
        const QImage picture = grid ? grid->GetCell(0).picture : QImage();
        if (picture.isNull() || picture.width() <= 10)
            return false;
        for (int y = 0; y < picture.height(); y += 7)
            for (int x = 0; x < picture.width(); x += 7)
                if (picture.pixelColor(x, y).value() > 40)
                    return true;
        return false;
    }
};

TEST_F(RemotePlayback, StartDialogPicksTheTimeAndTheDayPlays)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Lobby"), RecordedDays());
    ASSERT_TRUE(device);
    QDate shownDate;
    QTime shownTime;
    QTimer operatorHand;
    QObject::connect(&operatorHand, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* info = qobject_cast<SearchInfo*>(w);
            if (!info || !info->isVisible() || shownDate.isValid())
                continue;
            shownDate = info->DateEdit()->date();
            shownTime = info->TimeEdit()->time();
            info->OkButton()->click();
        }
    });
    operatorHand.start(20);
    SearchView* view = OpenOn(device, -1, -1);
    ASSERT_TRUE(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->IsPlaybackStarted(); }, 30000));
    EXPECT_EQ(shownDate, QDate(2024, 2, 5)) << "the last recorded day";
    EXPECT_EQ(shownTime, QTime(11, 49, 0)) << "ten minutes before the last recording";
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Search - Lobby"));
    EXPECT_TRUE(device->IsPlaybackActive());

    const QList<QJsonObject> streams = Streams();
    ASSERT_FALSE(streams.isEmpty());
    EXPECT_EQ(streams.last().value(QStringLiteral("date")).toInt(), 20240205);
    EXPECT_EQ(streams.last().value(QStringLiteral("time")).toInt(), 114900);
    EXPECT_EQ(streams.last().value(QStringLiteral("mode")).toInt(), 16);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ShowsPicture(view); }, 15000)) << "pictures reach the grid";

    // The playback bar's pause reaches the recorder through the window.
    view->SetPlaybackControl(int(PlaybackMode::Stop));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const auto all = Simulator(0)->Events(QStringLiteral("playback"));
            return !all.isEmpty() && all.last().value(QStringLiteral("mode")).toInt() == 2;
        },
        10000));
}

TEST_F(RemotePlayback, ChosenDayLoadsWithoutAsking)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Gate"), RecordedDays());
    ASSERT_TRUE(device);
    bool asked = false;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* info = qobject_cast<SearchInfo*>(w); info && info->isVisible()) {
                asked = true;
                info->CancelButton()->click();
            }
        }
    });
    watcher.start(20);
    SearchView* view = OpenOn(device, 20240204, 90000);
    ASSERT_TRUE(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->IsPlaybackStarted(); }, 30000));
    EXPECT_FALSE(asked);
    const QList<QJsonObject> streams = Streams();
    ASSERT_FALSE(streams.isEmpty());
    EXPECT_EQ(streams.last().value(QStringLiteral("date")).toInt(), 20240204);
    EXPECT_EQ(streams.last().value(QStringLiteral("time")).toInt(), 90000);
}

// "Select Date" on a playing cell offers the date again and plays from the one chosen, even
// after a day was chosen once (the window was opened on a date).
TEST_F(RemotePlayback, SelectDateOffersTheDateAndPlaysFromIt)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Hall"), RecordedDays());
    ASSERT_TRUE(device);
    SearchView* view = OpenOn(device, 20240204, 90000);
    ASSERT_TRUE(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->IsPlaybackStarted(); }, 30000));
    auto* grid = qobject_cast<CCameo*>(view->GetGrid());
    ASSERT_TRUE(grid);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetCell(0).osdDate == 20240204; }, 15000));

    int offered = 0;
    QTimer operatorHand;
    QObject::connect(&operatorHand, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* info = qobject_cast<SearchInfo*>(w);
            if (!info || !info->isVisible())
                continue;
            ++offered;
            info->DateEdit()->setDate(QDate(2024, 2, 5));
            info->TimeEdit()->setTime(QTime(10, 30, 0));
            info->OkButton()->click();
        }
    });
    operatorHand.start(20);
    const int streamsBefore = Streams().size();
    std::unique_ptr<QMenu> menu = grid->PrepareContextMenu();
    QAction* selectDate = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->text() == QLatin1String("Select Date"))
            selectDate = action;
    }
    ASSERT_TRUE(selectDate);
    ASSERT_TRUE(selectDate->isEnabled());
    selectDate->trigger();

    ASSERT_TRUE(QTest::qWaitFor([&] { return offered > 0; }, 30000)) << "no date box";
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QList<QJsonObject> streams = Streams();
            return streams.size() > streamsBefore
                   && streams.last().value(QStringLiteral("date")).toInt() == 20240205;
        },
        30000));
    EXPECT_EQ(Streams().last().value(QStringLiteral("time")).toInt(), 103000);
    // The grid shows the chosen day's pictures.
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid->GetCell(0).osdDate == 20240205; }, 15000));
    EXPECT_EQ(offered, 1);
    operatorHand.stop();
}

TEST_F(RemotePlayback, QuickSearchShowsTheDayAndSeeksWhereTheWheelPoints)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Dock"), RecordedDays());
    ASSERT_TRUE(device);
    SearchView* view = OpenOn(device, 20240205, 90000);
    ASSERT_TRUE(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->IsPlaybackStarted(); }, 30000));

    SearchTime* quick = hub->GetSearchTime();
    ASSERT_TRUE(quick);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        for (MessageDlg* box : BoxWatcher::LiveBoxes()) {
            if (box->isVisible() && box->windowTitle() == QLatin1String("Quick Search"))
                box->done(0);
        }
    });
    device->SetQuickSearch(0, 20240205, 90000);
    EXPECT_TRUE(quick->isVisible());
    EXPECT_EQ(quick->GetDateText(), QStringLiteral("02/05/2024"));
    // Recorded 08:00 to 12:00: the first minute of the 08:00 and 10:00 blocks give thumbnails.
    ASSERT_TRUE(QTest::qWaitFor([&] { return quick->Timeline()->Model().UsedThumbnailSlots() == 2; }, 30000));
    EXPECT_EQ(quick->Timeline()->Model().ThumbnailSecond(0), 8 * 3600);
    EXPECT_EQ(quick->Timeline()->Model().ThumbnailSecond(1), 10 * 3600);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !quick->IsWalking(); }, 30000));
    for (int slot = 0; slot < 2; ++slot)
        EXPECT_GT(quick->Timeline()->ThumbnailPicture(slot).width(), 10)
            << "slot " << slot << " has its key frame";

    // A wheel turn at "1 min" moves the line and seeks there through the quick search.
    quick->WheelSpeedCombo()->setCurrentIndex(1);
    quick->Timeline()->Model().ClearHold();
    const int before = quick->Timeline()->Model().CurrentSecond();
    QWheelEvent wheel(QPointF(400, 40), quick->Timeline()->mapToGlobal(QPoint(400, 40)), QPoint(),
                      QPoint(0, 120 * 5), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(quick->Timeline(), &wheel);
    EXPECT_EQ(quick->Timeline()->Model().CurrentSecond(), before + 300);
    const int target = before + 300;
    const QString targetText = QString::asprintf("%02d:%02d", target / 3600, (target / 60) % 60);
    EXPECT_TRUE(QTest::qWaitFor([&] { return quick->GetTimeText().startsWith(targetText); }, 15000))
        << quick->GetTimeText().toStdString() << " for " << targetText.toStdString();
    EXPECT_TRUE(quick->Tile()->IsPlaying());
    closer.stop();
}

TEST_F(RemotePlayback, MuseumSearchFromThePlaybackGridArmsTheAreaAndHandsPlaybackBack)
{
    CModuleDevice* device = LoggedInRecorder(QStringLiteral("Dock"), RecordedDays());
    ASSERT_TRUE(device);
    SearchView* view = OpenOn(device, 20240205, 90000);
    ASSERT_TRUE(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->IsPlaybackStarted(); }, 30000));
    auto* grid = qobject_cast<CCameo*>(view->GetGrid());
    ASSERT_TRUE(grid);

    SearchMuseum* museum = hub->GetSearchMuseum();
    ASSERT_TRUE(museum);
    // The operator cancels every progress box at once.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        for (MessageDlg* box : BoxWatcher::LiveBoxes()) {
            if (box->isVisible() && box->windowTitle().startsWith(QLatin1String("Museum Search")))
                box->done(0);
        }
    });
    closer.start(5);

    // The grid's "Museum Search" entry on the selected first cell.
    grid->museumSearchAction();
    ASSERT_TRUE(museum->isVisible());
    EXPECT_TRUE(device->IsMuseumMode());
    EXPECT_EQ(museum->GetChannel(), 0);
    EXPECT_EQ(museum->GetDateText(), QStringLiteral("02/05/2024"));
    ASSERT_GT(museum->Grid().Columns(), 0);
    EXPECT_EQ(museum->Tile()->geometry(), museum->Grid().TileRect());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !museum->IsBusy(); }, 30000));

    // Cells (1, 1) to (3, 2) dragged over the picture.
    const int cellWidth = museum->Grid().CellWidth();
    const int cellHeight = museum->Grid().CellHeight();
    auto tileMouse = [&](QEvent::Type type, int column, int row) {
        const QPoint pos(column * cellWidth + cellWidth / 2, row * cellHeight + cellHeight / 2);
        QMouseEvent event(type, pos, museum->Tile()->mapToGlobal(pos), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(museum->Tile(), &event);
    };
    tileMouse(QEvent::MouseButtonPress, 1, 1);
    tileMouse(QEvent::MouseMove, 3, 2);
    tileMouse(QEvent::MouseButtonRelease, 3, 2);
    EXPECT_EQ(museum->Grid().Area(), (MuseumArea{1, 1, 4, 3}));

    const QTime start = museum->StartEdit()->time();
    museum->SearchButton()->click();
    CModulePlayback* scheduler = CModuleDeviceTestAccess::GetMuseumScheduler(*device);
    ASSERT_TRUE(scheduler);
    EXPECT_TRUE(scheduler->IsMuseumRequest()) << "a logged-in recorder has a grid family";
    // A request made before the day's index has arrived waits for it; the index then starts the
    // walk at the time asked for.
    const int asked = start.hour() * 10000 + start.minute() * 100 + start.second();
    EXPECT_TRUE(QTest::qWaitFor([&] { return scheduler->GetTime() == asked; }, 30000))
        << "the walk starts at " << scheduler->GetTime() << ", not " << asked;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !museum->IsBusy(); }, 30000));

    // Close: the museum search is left and the window's playback goes on where it was.
    const int streamsBefore = Streams().size();
    museum->CloseButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !museum->isVisible(); }, 30000));
    EXPECT_FALSE(device->IsMuseumMode());
    EXPECT_FALSE(scheduler->IsMuseumRequest());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Streams().size() > streamsBefore; }, 30000));
    EXPECT_EQ(Streams().last().value(QStringLiteral("time")).toInt(), museum->GetReturnTime());
    closer.stop();
}

} // namespace
