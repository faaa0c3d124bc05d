// The museum search dialog driven offscreen on the main window hub: a stand-in recorder records
// what the dialog asks of it, the searched pictures come from a worker thread as they come from
// the session's search thread, and the shared message box runs as it does in the program.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QTimeEdit>

#include "search/ccameomuseum.h"
#include "search/ccameosub.h"
#include "search/museumrecorder.h"
#include "search/searchmuseum.h"
#include "session/moduleplayback.h"
#include "session/support/moduledevice_testaccess.h"
#include "shell/support/grid_fixture.h"

namespace {

constexpr int kDevice = 7;
constexpr int kChannel = 2;
constexpr int kDate = 20240205;
constexpr int kWaitMs = 10000;
const auto kWorkerWait = std::chrono::seconds(30);

class RecordingRecorder : public MuseumRecorder
{
public:
    QString RecorderName() const override { return QStringLiteral("Lobby"); }
    QString CameraName(int channel) const override { return QStringLiteral("Cam %1").arg(channel + 1); }
    void RequestPlayback(int time) override { playbacks.push_back(time); }
    void SetArea(int gridFamily, int x1, int y1, int x2, int y2) override
    {
        areas.push_back({gridFamily, x1, y1, x2, y2});
    }
    void LeaveSearch() override { ++leaves; }
    void SetSearchRequest(int channel, int date, int time) override
    {
        searchRequests.push_back({channel, date, time});
    }
    void StartSearchRecord(int channel, int date, int time) override { records.push_back({channel, date, time}); }

    std::vector<int> playbacks;
    std::vector<std::array<int, 5>> areas;
    std::vector<std::array<int, 3>> searchRequests;
    std::vector<std::array<int, 3>> records;
    int leaves = 0;
};

QImage Picture(QColor colour)
{
    QImage picture(704, 480, QImage::Format_RGB888);
    picture.fill(colour);
    return picture;
}

// The colour of the n-th picture of a walk.
QColor WalkColour(int n)
{
    return QColor(0, 40 * (n % 6), 200);
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The centre of a cell in dialog coordinates.
QPoint CellCentre(const SearchMuseum& dialog, int column, int row)
{
    const MuseumGrid& grid = dialog.Grid();
    return QPoint(MuseumGrid::kTileX + column * grid.CellWidth() + grid.CellWidth() / 2,
                  MuseumGrid::kTileY + row * grid.CellHeight() + grid.CellHeight() / 2);
}

class MuseumSearch : public GridTest
{
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        dialog = hub->GetSearchMuseum();
        ASSERT_TRUE(dialog);
        ASSERT_EQ(MuseumSearchPopup::Instance(), dialog);
        dialog->SetRecorder(&recorder);
        // Every box closes as soon as it is seen, except the progress box while a test holds it.
        watcher = std::make_unique<BoxWatcher>([this](MessageDlg* box, const BoxSample& sample) {
            if (onBox)
                onBox(sample);
            if (holdSearching.load() && sample.text.startsWith(QLatin1String("Searching...")))
                return;
            box->done(0);
        });
    }

    void TearDown() override
    {
        holdSearching = false;
        dialog->SetRecorder(&recorder);
        dialog->hide();
        dialog->SetRecorder(nullptr);
        watcher.reset();
        GridTest::TearDown();
    }

    // Opens a search as the session does and hands over the first picture at the start time;
    // `family` -1 and class 0 with format bit 0 give the 22 x 15 grid.
    void Open(int time = 100000, int resolutionClass = 0, int family = -1, int formatBit = 0)
    {
        dialog->SetSearchInfo(kDevice, kChannel, kDate, time, resolutionClass, family, formatBit);
        dialog->SetLatestTime(235959);
        EXPECT_EQ(dialog->SetCameoImage(kDevice, kChannel + 16, MuseumSearchRun::TimeText(time), Picture(Qt::gray),
                                        false),
                  MuseumSearchRun::kFinished);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog->IsBusy(); }, kWaitMs));
    }

    // Drags over the tile, as the operator does, from one cell to another.
    void DragCells(QPoint from, QPoint to)
    {
        CCameoMuseum* tile = dialog->Tile();
        const QPoint origin(MuseumGrid::kTileX, MuseumGrid::kTileY);
        SendMouse(tile, QEvent::MouseButtonPress, CellCentre(*dialog, from.x(), from.y()) - origin,
                  Qt::LeftButton);
        SendMouse(tile, QEvent::MouseMove, CellCentre(*dialog, to.x(), to.y()) - origin, Qt::LeftButton);
        SendMouse(tile, QEvent::MouseButtonRelease, CellCentre(*dialog, to.x(), to.y()) - origin, Qt::LeftButton);
    }

    // Runs the searched pictures on a worker thread once the progress box is open, as the
    // session's search thread does; returns what the dialog answered to each.
    struct Picked
    {
        const char* time;
        bool match;
    };
    std::vector<int> Walk(const std::vector<Picked>& pictures, std::function<void(int)> afterEach = {})
    {
        std::promise<void> boxOpen;
        std::atomic<bool> boxSeen{false};
        onBox = [&](const BoxSample& sample) {
            if (sample.text.startsWith(QLatin1String("Searching...")) && !boxSeen.exchange(true))
                boxOpen.set_value();
            if (alsoOnBox)
                alsoOnBox(sample);
        };
        std::vector<int> answers;
        std::atomic<bool> done{false};
        std::thread worker([&] {
            if (boxOpen.get_future().wait_for(kWorkerWait) == std::future_status::ready) {
                for (size_t i = 0; i < pictures.size(); ++i) {
                    answers.push_back(dialog->SetCameoImage(kDevice, kChannel + 16,
                                                            QString::fromLatin1(pictures[i].time),
                                                            Picture(WalkColour(int(i))), pictures[i].match));
                    if (afterEach)
                        afterEach(int(i));
                }
            }
            done = true;
        });
        EXPECT_TRUE(QTest::qWaitFor([&] { return done.load() && !dialog->IsBusy(); }, 3 * kWaitMs));
        worker.join();
        onBox = {};
        alsoOnBox = {};
        return answers;
    }

    SearchMuseum* dialog = nullptr;
    RecordingRecorder recorder;
    std::unique_ptr<BoxWatcher> watcher;
    std::function<void(const BoxSample&)> onBox;
    // What a walk's test looks for in the box besides its opening.
    std::function<void(const BoxSample&)> alsoOnBox;
    std::atomic<bool> holdSearching{true};
};

TEST_F(MuseumSearch, SearchInfoSizesTheTileToWholeCells)
{
    struct Case
    {
        int resolutionClass;
        int family;
        int formatBit;
        int columns;
        int rows;
        QRect tile;
    };
    const Case cases[] = {
        {0, -1, 0, 22, 15, QRect(10, 30, 43 * 22, 37 * 15)}, {0, -1, 1, 22, 18, QRect(10, 30, 43 * 22, 31 * 18)},
        {1, -1, 0, 20, 11, QRect(10, 30, 48 * 20, 50 * 11)}, {2, 5, 0, 30, 17, QRect(10, 30, 32 * 30, 32 * 17)},
        {2, 1, 1, 30, 18, QRect(10, 30, 32 * 30, 31 * 18)},  {0, 1, 0, 30, 15, QRect(10, 30, 32 * 30, 37 * 15)},
        {0, 2, 0, 32, 24, QRect(10, 30, 30 * 32, 23 * 24)},
    };
    for (const Case& c : cases) {
        Open(100000, c.resolutionClass, c.family, c.formatBit);
        EXPECT_EQ(dialog->Grid().Columns(), c.columns) << c.family << " " << c.resolutionClass;
        EXPECT_EQ(dialog->Grid().Rows(), c.rows) << c.family << " " << c.resolutionClass;
        EXPECT_EQ(dialog->Tile()->geometry(), c.tile) << c.family << " " << c.resolutionClass;
        EXPECT_FALSE(dialog->Grid().Area().IsSet());
    }
    EXPECT_EQ(dialog->size(), QSize(1170, 643));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Museum Search"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->GetDateText(), QStringLiteral("02/05/2024"));
    ASSERT_FALSE(recorder.areas.empty());
    EXPECT_EQ(recorder.areas.front()[0], -1) << "a new search clears the scheduler's area";
}

TEST_F(MuseumSearch, EndEditorProposesThreeMinutesLaterWithinTheDay)
{
    struct Case
    {
        int start;
        QTime end;
    };
    const Case cases[] = {{235830, QTime(23, 59, 59)}, {105810, QTime(11, 1, 10)}, {90000, QTime(9, 3, 0)}};
    for (const Case& c : cases) {
        Open(c.start);
        EXPECT_EQ(dialog->StartEdit()->time(), QTime(c.start / 10000, c.start / 100 % 100, c.start % 100));
        EXPECT_EQ(dialog->EndEdit()->time(), c.end) << c.start;
        EXPECT_EQ(dialog->StartEdit()->displayFormat(), QStringLiteral("HH:mm:ss"));
    }
}

TEST_F(MuseumSearch, DraggedAreaReachesTheSchedulerWhenSearchIsPressed)
{
    Open(100000);
    DragCells(QPoint(5, 3), QPoint(2, 1));
    EXPECT_EQ(dialog->Grid().Area(), (MuseumArea{2, 1, 6, 4}));
    EXPECT_FALSE(dialog->Grid().IsDragging()) << "the release on the tile ends the drag";

    recorder.playbacks.clear();
    dialog->SearchButton()->click();
    ASSERT_FALSE(recorder.areas.empty());
    EXPECT_EQ(recorder.areas.back(), (std::array<int, 5>{-1, 2, 1, 6, 4}));
    EXPECT_EQ(recorder.playbacks, std::vector<int>{100000});
    EXPECT_TRUE(dialog->IsBusy());
    EXPECT_EQ(dialog->GetViewState(), SearchMuseum::ViewState::Searching);
    EXPECT_EQ(hub->Sessions()->MessageTitle(), QStringLiteral("Museum Search"));
    EXPECT_EQ(hub->Messages().MessageText(), QStringLiteral("Searching..."));
    // Busy: a second press and Close do nothing.
    dialog->SearchButton()->click();
    dialog->CloseButton()->click();
    EXPECT_EQ(recorder.playbacks.size(), 1u);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(MuseumSearch, PressesOutsideWholeCellsStartNoArea)
{
    Open(100000); // 22 x 15: cells of 43 x 37, whole cells end at x 956 and y 585
    struct Case
    {
        QPoint pos;
        bool cell;
    };
    const Case cases[] = {
        {{10, 30}, true},    {{955, 584}, true}, {{956, 100}, false}, {{969, 100}, false},
        {{100, 585}, false}, {{9, 100}, false},  {{100, 29}, false},  {{971, 100}, false},
    };
    for (const Case& c : cases) {
        SendMouse(dialog, QEvent::MouseButtonPress, c.pos, Qt::LeftButton);
        EXPECT_EQ(dialog->Grid().IsDragging(), c.cell) << c.pos.x() << "," << c.pos.y();
        SendMouse(dialog, QEvent::MouseButtonRelease, c.pos, Qt::LeftButton);
    }
}

TEST_F(MuseumSearch, RightClickClearsTheAreaAndSearchAsksForOne)
{
    Open(100000);
    DragCells(QPoint(1, 1), QPoint(3, 2));
    ASSERT_TRUE(dialog->Grid().Area().IsSet());
    // Over the picture ...
    SendMouse(dialog->Tile(), QEvent::MouseButtonPress, QPoint(50, 50), Qt::RightButton);
    EXPECT_EQ(dialog->Grid().Area(), (MuseumArea{0, 0, 0, 0}));
    // ... and beside it.
    DragCells(QPoint(1, 1), QPoint(3, 2));
    SendMouse(dialog, QEvent::MouseButtonPress, QPoint(1000, 620), Qt::RightButton);
    EXPECT_EQ(dialog->Grid().Area(), (MuseumArea{0, 0, 0, 0}));

    recorder.playbacks.clear();
    dialog->SearchButton()->click();
    EXPECT_EQ(hub->Sessions()->MessageTitle(), QStringLiteral("Museum Search "));
    EXPECT_EQ(hub->Messages().MessageText(), QStringLiteral("Please select the area."));
    EXPECT_EQ(hub->Messages().MessageOption(), QStringLiteral("stop"));
    EXPECT_TRUE(recorder.playbacks.empty());
    EXPECT_FALSE(dialog->IsBusy());
}

TEST_F(MuseumSearch, EndNotAfterStartIsRefusedBeforeTheArea)
{
    struct Case
    {
        const char* name;
        QTime start;
        QTime end;
        int latest;
    };
    const Case cases[] = {
        {"equal", QTime(10, 0, 0), QTime(10, 0, 0), 235959},
        {"earlier", QTime(10, 0, 0), QTime(9, 59, 59), 235959},
        {"cut to the latest recording", QTime(10, 2, 0), QTime(10, 5, 0), 100100},
    };
    for (const Case& c : cases) {
        Open(100000);
        dialog->SetLatestTime(c.latest);
        dialog->StartEdit()->setTime(c.start);
        dialog->EndEdit()->setTime(c.end);
        recorder.playbacks.clear();
        dialog->SearchButton()->click();
        EXPECT_EQ(hub->Sessions()->MessageTitle(), QStringLiteral("Museum Search ")) << c.name;
        EXPECT_EQ(hub->Messages().MessageText(), QStringLiteral("Please check the time.")) << c.name;
        EXPECT_EQ(hub->Messages().MessageOption(), QStringLiteral("stop")) << c.name;
        EXPECT_TRUE(recorder.playbacks.empty()) << c.name;
        ASSERT_TRUE(QTest::qWaitFor([this] { return !hub->Messages().IsOpen(); }, kWaitMs));
    }
}

TEST_F(MuseumSearch, WalkFromAnotherThreadListsMatchesAndEndsAtTheEndTime)
{
    Open(100000);
    DragCells(QPoint(2, 1), QPoint(5, 3));
    dialog->SearchButton()->click();

    // Hold the walk once until the box shows the progress of the last step.
    std::promise<void> progressShown;
    std::atomic<bool> progressSeen{false};
    const std::vector<Picked> pictures = {
        {"10:00:00", false}, {"10:00:01", true}, {"10:00:11", true},  {"10:00:21", false},
        {"10:00:22", true},  {"10:00:55", true}, {"10:02:59", false}, {"10:03:00", false},
    };
    std::future<void> progressFuture = progressShown.get_future();
    alsoOnBox = [&](const BoxSample& sample) {
        if (sample.text == QLatin1String("Searching... (99%)") && !progressSeen.exchange(true))
            progressShown.set_value();
    };
    const std::vector<int> answers = Walk(pictures, [&](int index) {
        if (index == 6)
            progressFuture.wait_for(kWorkerWait);
    });
    EXPECT_TRUE(progressSeen.load()) << "the box showed \"Searching... (99%)\"";
    EXPECT_EQ(answers, (std::vector<int>{100001, 100011, 100021, 100022, 100032, 100105, 100300,
                                         MuseumSearchRun::kFinished}));
    ASSERT_EQ(dialog->HitCount(), 4);
    const int hits[] = {100001, 100011, 100022, 100055};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(dialog->HitTime(i), hits[i]) << i;

    // The strip grew a slot per match and the list widened at the fourth.
    EXPECT_EQ(dialog->Strip()->size(), QSize(160, 4 * 120));
    EXPECT_EQ(dialog->MatchList()->geometry(), QRect(979, 30, 180, 602));
    EXPECT_EQ(dialog->LastThumbnail().size(), QSize(160, 120));
    EXPECT_EQ(dialog->LastThumbnail().pixelColor(80, 60), WalkColour(5));
    const QImage strip = dialog->Strip()->Canvas().toImage();
    EXPECT_EQ(strip.pixelColor(80, 60), WalkColour(1)) << "the first slot holds the first match";
    EXPECT_EQ(strip.pixelColor(80, 3 * 120 + 60), WalkColour(5)) << "the fourth slot holds its picture";
    EXPECT_EQ(strip.pixelColor(80, 4 * 120 + 60), QColor(Qt::black)) << "no fifth slot";

    EXPECT_EQ(hub->Messages().MessageText(), QStringLiteral("Search completed."));
    EXPECT_FALSE(dialog->IsMessageTimerActive());
    ASSERT_FALSE(recorder.areas.empty());
    EXPECT_EQ(recorder.areas.back()[0], -1) << "the finished search clears the scheduler's area";
}

TEST_F(MuseumSearch, ClosingTheProgressBoxStopsAtTheNextPicture)
{
    Open(100000);
    DragCells(QPoint(2, 1), QPoint(5, 3));
    dialog->SearchButton()->click();
    holdSearching = true;
    // After the first picture the box is closed; the walk ends with the next one.
    const std::vector<int> answers = Walk({{"10:00:00", true}, {"10:00:10", true}}, [this](int index) {
        if (index != 0)
            return;
        holdSearching = false;
        // The watcher closes the box on the user-interface thread.
        const auto deadline = std::chrono::steady_clock::now() + kWorkerWait;
        while (hub->Messages().IsOpen() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    });
    EXPECT_EQ(answers, (std::vector<int>{100010, MuseumSearchRun::kFinished}));
    EXPECT_EQ(dialog->HitCount(), 1);
    EXPECT_FALSE(dialog->IsBusy());
}

class MuseumSearchWithHits : public MuseumSearch
{
protected:
    void SetUp() override
    {
        MuseumSearch::SetUp();
        Open(100000);
        DragCells(QPoint(2, 1), QPoint(5, 3));
        dialog->SearchButton()->click();
        Walk({{"10:00:00", true}, {"10:00:10", false}, {"10:00:11", true}, {"10:03:00", false}});
        ASSERT_EQ(dialog->HitCount(), 2);
        recorder.playbacks.clear();
    }

    // Picks the match in a slot by clicking into the list.
    void ClickSlot(int slot)
    {
        SendMouse(dialog, QEvent::MouseButtonPress, QPoint(1000, 30 + slot * 120 + 60), Qt::LeftButton);
        SendMouse(dialog, QEvent::MouseButtonRelease, QPoint(1000, 30 + slot * 120 + 60), Qt::LeftButton);
    }

    // Picks the second match and lets its picture arrive.
    void ShowSecondMatch()
    {
        ClickSlot(1);
        ASSERT_EQ(recorder.playbacks, std::vector<int>{100011});
        EXPECT_EQ(
            dialog->SetCameoImage(kDevice, kChannel + 16, QStringLiteral("10:00:11"), Picture(Qt::green), false),
            MuseumSearchRun::kFinished);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog->IsBusy(); }, kWaitMs));
        recorder.playbacks.clear();
    }
};

TEST_F(MuseumSearchWithHits, PickingAMatchPlaysItsTime)
{
    ShowSecondMatch();
    EXPECT_TRUE(dialog->IsShowingMatch());
    EXPECT_FALSE(dialog->SearchButton()->isEnabled());
    for (auto which : {SearchMuseum::PlayButton::FastBackward, SearchMuseum::PlayButton::Exit})
        EXPECT_TRUE(dialog->PlayRowButton(which)->isEnabled());
    EXPECT_EQ(dialog->GetCurrentTimeText(), QStringLiteral("10:00:11"));
    EXPECT_TRUE(dialog->Tile()->IsPlaying()) << "the grid is not drawn over a shown match";
    EXPECT_EQ(dialog->Tile()->GetTimeText(), QStringLiteral("10:00:11"));
    const QImage strip = dialog->Strip()->Canvas().toImage();
    EXPECT_EQ(strip.pixelColor(0, 120), QColor(Qt::red)) << "the picked slot is framed in red";
    EXPECT_EQ(strip.pixelColor(0, 0), QColor(Qt::gray));
}

TEST_F(MuseumSearchWithHits, PicksBelowTheLastMatchOrWhileBusyDoNothing)
{
    ClickSlot(2); // inside the list, below the two matches
    ClickSlot(4);
    EXPECT_TRUE(recorder.playbacks.empty());
    EXPECT_FALSE(dialog->IsShowingMatch());
    ClickSlot(0);
    EXPECT_EQ(recorder.playbacks, std::vector<int>{100000});
    ClickSlot(1); // busy until the picture arrives
    EXPECT_EQ(recorder.playbacks, std::vector<int>{100000});
}

TEST_F(MuseumSearchWithHits, PlayButtonsSetModeSpeedAndTheSearchThreadsCode)
{
    ShowSecondMatch();
    using B = SearchMuseum::PlayButton;
    struct Case
    {
        B button;
        PlaybackMode mode;
        int speed;
        int code;
        bool requests;
    };
    // clang-format off
    const Case cases[] = {
        {B::FastForward,  PlaybackMode::FastForward,  2, -115, true},
        {B::FastForward,  PlaybackMode::FastForward,  3, -115, true},
        {B::FastForward,  PlaybackMode::FastForward,  4, -115, true},
        {B::FastForward,  PlaybackMode::FastForward,  5, -115, true},
        {B::FastForward,  PlaybackMode::FastForward,  6, -115, true},
        {B::FastForward,  PlaybackMode::FastForward,  7, -115, true},
        {B::FastForward,  PlaybackMode::FastForward,  8, -115, true},
        {B::FastForward,  PlaybackMode::FastForward,  2, -115, true}, // wraps from 9 to 2
        {B::FastBackward, PlaybackMode::FastBackward, 2, -125, true},
        {B::FastBackward, PlaybackMode::FastBackward, 3, -125, true},
        {B::Backward,     PlaybackMode::Backward,     1, -25,  true},
        {B::Forward,      PlaybackMode::Forward,      1, -15,  true},
        {B::Pause,        PlaybackMode::Stop,         1, -999, false},
        {B::FastBackward, PlaybackMode::FastBackward, 2, -125, true},
    };
    // clang-format on
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        recorder.playbacks.clear();
        dialog->PlayRowButton(c.button)->click();
        EXPECT_EQ(dialog->GetPlayMode(), c.mode) << i;
        EXPECT_EQ(dialog->GetPlayState(), int(c.mode)) << i;
        EXPECT_EQ(dialog->GetSpeedStep(), c.speed) << i;
        EXPECT_EQ(recorder.playbacks, c.requests ? std::vector<int>{100011} : std::vector<int>{}) << i;
        std::thread worker([&] {
            EXPECT_EQ(dialog->SetCameoImage(kDevice, kChannel + 16, QStringLiteral("10:00:11"), Picture(Qt::green),
                                            false),
                      c.code)
                << i;
        });
        worker.join();
    }

    dialog->PlayRowButton(B::Exit)->click();
    EXPECT_FALSE(dialog->IsShowingMatch());
    EXPECT_TRUE(dialog->SearchButton()->isEnabled());
    EXPECT_FALSE(dialog->PlayRowButton(B::Forward)->isEnabled());
    EXPECT_EQ(dialog->GetSpeedStep(), 1);
}

TEST_F(MuseumSearchWithHits, PlayingPicturesMoveTheShownTime)
{
    ShowSecondMatch();
    dialog->PlayRowButton(SearchMuseum::PlayButton::Forward)->click();
    std::thread worker([&] {
        EXPECT_EQ(
            dialog->SetCameoImage(kDevice, kChannel + 16, QStringLiteral("10:00:12"), Picture(Qt::blue), false),
            -15);
    });
    worker.join();
    ASSERT_TRUE(
        QTest::qWaitFor([this] { return dialog->GetCurrentTimeText() == QLatin1String("10:00:12"); }, kWaitMs));
    // Another recorder's picture is nothing to this dialog.
    EXPECT_EQ(
        dialog->SetCameoImage(kDevice + 1, kChannel + 16, QStringLiteral("11:00:00"), Picture(Qt::red), false),
        -999);
}

TEST_F(MuseumSearchWithHits, RecordTogglesLocalRecordingOfThePlayedPicture)
{
    ShowSecondMatch();
    dialog->PlayRowButton(SearchMuseum::PlayButton::Forward)->click();
    dialog->OnRecord();
    EXPECT_TRUE(dialog->GetRecordFlag());
    EXPECT_EQ(dialog->Tile()->m_recordMark, 1);
    ASSERT_EQ(recorder.records.size(), 1u);
    EXPECT_EQ(recorder.records[0], (std::array<int, 3>{kChannel, kDate, 100011}));
    // Fast play ends recording.
    dialog->PlayRowButton(SearchMuseum::PlayButton::FastForward)->click();
    EXPECT_FALSE(dialog->GetRecordFlag());
    EXPECT_EQ(dialog->Tile()->m_recordMark, 0);
    dialog->OnRecord();
    EXPECT_TRUE(dialog->GetRecordFlag());
    EXPECT_EQ(dialog->Tile()->m_recordMark, 0) << "no mark while playing fast";
    dialog->OnRecord();
    EXPECT_FALSE(dialog->GetRecordFlag());
    EXPECT_EQ(recorder.records.size(), 2u);
}

TEST_F(MuseumSearchWithHits, GotoHandsBackTheShownTimeAfterTheStop)
{
    ShowSecondMatch();
    dialog->PlayRowButton(SearchMuseum::PlayButton::Forward)->click();
    recorder.playbacks.clear();
    dialog->GotoButton()->click();
    EXPECT_EQ(dialog->GetPlayMode(), PlaybackMode::Stop);
    EXPECT_TRUE(dialog->isVisible()) << "the recorder has a moment to take the stop";
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog->isVisible(); }, kWaitMs));
    EXPECT_EQ(recorder.leaves, 1);
    EXPECT_EQ(recorder.playbacks, std::vector<int>{100011});
    EXPECT_EQ(dialog->GetReturnTime(), 100011);
}

TEST_F(MuseumSearch, CloseHandsBackTheTimeTheSearchOpenedAt)
{
    Open(93000);
    recorder.playbacks.clear();
    dialog->CloseButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog->isVisible(); }, kWaitMs));
    EXPECT_EQ(recorder.leaves, 1);
    EXPECT_EQ(recorder.playbacks, std::vector<int>{93000});
}

TEST_F(MuseumSearch, SwitchingSearchesStoresTheRequestAndReturnsItsCode)
{
    struct Case
    {
        void (SearchMuseum::*action)();
        int code;
        int storedTime;
    };
    const Case cases[] = {{&SearchMuseum::OnThumbSearch, -2, 93000}, {&SearchMuseum::OnQuickSearch, -4, 93000}};
    for (const Case& c : cases) {
        Open(93000);
        recorder.playbacks.clear();
        recorder.searchRequests.clear();
        (dialog->*c.action)();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog->isVisible(); }, kWaitMs));
        EXPECT_EQ(recorder.searchRequests, (std::vector<std::array<int, 3>>{{kChannel, kDate, c.storedTime}}));
        EXPECT_EQ(recorder.playbacks, std::vector<int>{c.code});
    }
}

TEST_F(MuseumSearch, LostRecorderClosesAtOnceEvenWhileSearching)
{
    Open(100000);
    DragCells(QPoint(2, 1), QPoint(5, 3));
    dialog->SearchButton()->click();
    ASSERT_TRUE(dialog->IsBusy());
    recorder.playbacks.clear();
    dialog->OnRecorderLost();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(recorder.playbacks.empty()) << "nothing is asked of a lost recorder";
    EXPECT_EQ(dialog->SetCameoImage(kDevice, kChannel + 16, QStringLiteral("10:00:00"), Picture(Qt::red), true),
              -999);
}

TEST_F(MuseumSearch, ProgressBoxClosedBeforeAnyPictureEndsTheWait)
{
    // The box that the dialog opens with is closed at once; no picture ever comes.
    holdSearching = false;
    dialog->SetSearchInfo(kDevice, kChannel, kDate, 100000, 0, -1, 0);
    ASSERT_TRUE(dialog->IsBusy());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog->IsBusy(); }, kWaitMs));
    EXPECT_FALSE(dialog->IsMessageTimerActive());

    // Without a recorder a search asks for nothing and ends when its box is closed.
    dialog->SetRecorder(nullptr); // the hub has no recorder at this index
    dialog->SetLatestTime(235959);
    DragCells(QPoint(2, 1), QPoint(5, 3));
    recorder.playbacks.clear();
    dialog->SearchButton()->click();
    EXPECT_EQ(hub->Messages().MessageText(), QStringLiteral("Searching..."));
    EXPECT_FALSE(dialog->IsBusy());
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog->IsMessageTimerActive(); }, kWaitMs));
    EXPECT_TRUE(recorder.playbacks.empty());
    dialog->CloseButton()->click();
    EXPECT_FALSE(dialog->isVisible()) << "without a recorder Close hides at once";
}

TEST_F(MuseumSearch, StreamFlagIsKeptForTheScheduler)
{
    std::thread worker([this] { dialog->SetStreamFlag(0x5A); });
    worker.join();
    EXPECT_EQ(dialog->GetStreamFlag(), 0x5A);
}

// The dialog against a real recorder session of the hub (not connected, so its grid family is -1).
TEST_F(MuseumSearch, SessionOpensTheDialogAndItsSearchArmsTheMuseumScheduler)
{
    dialog->SetRecorder(nullptr);
    CModuleDevice* device = AddRecorder(QStringLiteral("Lobby"));
    CModuleDeviceTestAccess::PrepareListIntake(*device, 4);
    device->SetMuseumSearch(1, kDate, 100000);
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_TRUE(device->IsMuseumMode());
    // No live connection and no picture yet: grid family -1, resolution class 0, format bit 0.
    EXPECT_EQ(dialog->Grid().Columns(), 22);
    EXPECT_EQ(dialog->Grid().Rows(), 15);
    EXPECT_EQ(dialog->GetChannel(), 1);
    EXPECT_EQ(dialog->GetDateText(), QStringLiteral("02/05/2024"));
    EXPECT_EQ(dialog->SetCameoImage(device->GetDeviceIndex(), 1 + 16, QStringLiteral("10:00:00"),
                                    Picture(Qt::gray), false),
              MuseumSearchRun::kFinished);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog->IsBusy(); }, kWaitMs));

    dialog->SetLatestTime(235959);
    DragCells(QPoint(2, 1), QPoint(5, 3));
    dialog->SearchButton()->click();
    CModulePlayback* museum = CModuleDeviceTestAccess::GetMuseumScheduler(*device);
    ASSERT_TRUE(museum);
    // The day's index has not come yet: the request waits for it, and the arrival of the index
    // from the last storage slot starts the walk at the time asked for.
    ASSERT_GE(device->GetDeviceIndex(), 0);
    constexpr int kLastStorageSlot = 8;
    device->OnRecvIntraIndex(kLastStorageSlot, 1, 0, 2);
    EXPECT_EQ(museum->GetTime(), 100000) << "the walk asks for the start";

    // The end of the range finishes the search and clears the area.
    std::thread worker([&] {
        EXPECT_EQ(dialog->SetCameoImage(device->GetDeviceIndex(), 1 + 16, QStringLiteral("10:03:00"),
                                        Picture(Qt::gray), false),
                  MuseumSearchRun::kFinished);
    });
    worker.join();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog->IsBusy(); }, kWaitMs));
    EXPECT_FALSE(museum->IsMuseumRequest());
    EXPECT_EQ(hub->Messages().MessageText(), QStringLiteral("Search completed."));

    dialog->CloseButton()->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog->isVisible(); }, kWaitMs));
    EXPECT_FALSE(device->IsMuseumMode()) << "hiding leaves the museum search";
}

} // namespace
