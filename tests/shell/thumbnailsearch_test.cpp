// The thumbnail search pop-up as the main window builds it, opened by a recorder session and fed
// its pictures from another thread the way the session's search thread does: every picture
// comes back with its own time and the pop-up's answer is the next time asked for.
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include "search/ccameomuseum.h"
#include "search/searchthumnail.h"
#include "search/searchtime.h"
#include "session/thumbnailsearchpopup.h"
#include "shell/support/grid_fixture.h"

namespace {

constexpr int kChannel = 2;
constexpr int kDate = 20240205;
constexpr int kStartTime = 90000;
constexpr int kWaitMs = 5000;

QString TimeText(int hhmmss)
{
    return QString::asprintf("%02d:%02d:%02d", hhmmss / 10000, (hhmmss / 100) % 100, hhmmss % 100);
}

// Every picture the recorder returns is of one colour, told apart by its time.
QColor ColourOf(int hhmmss)
{
    return QColor((hhmmss / 10000) * 10, ((hhmmss / 100) % 100) * 4, 40 + (hhmmss % 100) * 3);
}

QImage PictureAt(int hhmmss)
{
    QImage picture(352, 240, QImage::Format_RGB32);
    picture.fill(ColourOf(hhmmss));
    return picture;
}

bool Near(QColor actual, QColor expected, int tolerance = 3)
{
    return std::abs(actual.red() - expected.red()) <= tolerance
           && std::abs(actual.green() - expected.green()) <= tolerance
           && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

class ThumbnailSearch : public GridTest
{
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        dialog = dynamic_cast<SearchThumnail*>(ThumbnailSearchPopup::Instance());
        ASSERT_TRUE(dialog) << "the main window builds the one thumbnail search";
        device = AddRecorder(QStringLiteral("Lobby"));
        closer = std::make_unique<BoxWatcher>([](MessageDlg* box, const BoxSample&) { box->done(0); });
        device->SetThumnailSearch(kChannel, kDate, kStartTime);
        ASSERT_TRUE(dialog->isVisible());
    }

    void TearDown() override
    {
        dialog->hide();
        closer.reset();
        GridTest::TearDown();
    }

    // The session's search thread: asks for `first`, and while the answer is a time hands the
    // picture of the time `answer` gives for it (the asked time itself by default). Returns
    // every answer, the last one being the first that is no time, or all of them after `most`.
    std::vector<int> Feed(int first, const std::function<int(int asked)>& answer = {}, int most = 40)
    {
        std::vector<int> answers;
        std::thread searchThread([&] {
            int asked = first;
            for (int n = 0; n < most && asked >= 0; ++n) {
                const int time = answer ? answer(asked) : asked;
                asked = dialog->SetCameoImage(device->GetDeviceIndex(), kChannel + 16, TimeText(time),
                                              PictureAt(time));
                answers.push_back(asked);
            }
        });
        searchThread.join();
        // What the search thread handed over reaches the widgets before the operator acts.
        QCoreApplication::sendPostedEvents(dialog, QEvent::MetaCall);
        return answers;
    }

    // Fills the level being searched from its first time until it is complete.
    void FillLevel()
    {
        const std::vector<int> answers = Feed(dialog->GetNextRequest());
        ASSERT_FALSE(answers.empty());
        ASSERT_EQ(answers.back(), -1);
        WaitForBox(QStringLiteral("Search completed."), QStringLiteral("auto"));
    }

    void WaitForBox(const QString& text, const QString& option)
    {
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return hub->Messages().MessageText() == text && hub->Messages().MessageOption() == option; },
            kWaitMs))
            << hub->Messages().MessageText().toStdString() << " / "
            << hub->Messages().MessageOption().toStdString();
    }

    // Waits until the queued thumbnails have been painted (the last one filled is drawn).
    void WaitForPainting(int level, int slot)
    {
        const QColor expected = ColourOf(TimeOfCaption(dialog->GetCaption(level, slot)));
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return Near(dialog->ColumnImage(level).pixelColor(80, slot * 120 + 70), expected); }, kWaitMs));
    }

    static int TimeOfCaption(const QString& caption)
    {
        return caption.left(2).toInt() * 10000 + caption.mid(3, 2).toInt() * 100 + caption.mid(6, 2).toInt();
    }

    static QPoint SlotPoint(int slot) { return QPoint(80, slot * 120 + 60); }

    void DoubleClickSlot(int slot)
    {
        QLabel* label = dialog->ColumnLabel(dialog->GetLevelOnScreen());
        QTest::mouseDClick(label, Qt::LeftButton, Qt::NoModifier, SlotPoint(slot));
    }

    void PressSlot(int slot, Qt::MouseButton button = Qt::LeftButton)
    {
        QLabel* label = dialog->ColumnLabel(dialog->GetLevelOnScreen());
        QTest::mousePress(label, button, Qt::NoModifier, SlotPoint(slot));
    }

    QPushButton* Button(const QString& name) const { return dialog->findChild<QPushButton*>(name); }
    QString LevelTexts() const
    {
        return Button(QStringLiteral("levelPrev"))->text() + QLatin1Char(' ')
               + dialog->findChild<QLabel*>(QStringLiteral("levelName"))->text() + QLatin1Char(' ')
               + Button(QStringLiteral("levelNext"))->text();
    }

    SearchThumnail* dialog = nullptr;
    RecorderSession* device = nullptr;
    std::unique_ptr<BoxWatcher> closer;
};

TEST_F(ThumbnailSearch, OpeningShowsTheDayAtTheHoursLevel)
{
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Thumbnail Search"));
    EXPECT_EQ(dialog->GetDateText(), QStringLiteral("02/05/2024"));
    EXPECT_EQ(dialog->GetReturnTime(), kStartTime);
    EXPECT_EQ(dialog->GetChannel(), kChannel);
    EXPECT_EQ(dialog->GetLevelSearched(), 0);
    EXPECT_EQ(dialog->GetLevelOnScreen(), 0);
    EXPECT_EQ(LevelTexts(), QStringLiteral("- 1hour 10min"));
    EXPECT_FALSE(Button(QStringLiteral("levelPrev"))->isEnabled());
    EXPECT_FALSE(Button(QStringLiteral("X"))->isVisible());
    EXPECT_FALSE(Button(QStringLiteral(">"))->isEnabled());
    EXPECT_EQ(hub->Sessions()->MessageTitle(), QStringLiteral("Thumbnail Search"));
    for (int level = 0; level < ThumbnailLevels::kLevelCount; ++level) {
        EXPECT_EQ(dialog->ColumnArea(level)->isVisible(), level == 0) << level;
        EXPECT_EQ(dialog->ColumnImage(level).height(), ThumbnailLevels::SlotCount(level) * 120) << level;
    }
    EXPECT_EQ(dialog->ColumnImage(0).pixelColor(80, 60), QColor(Qt::black)) << "an empty slot is black";
}

TEST_F(ThumbnailSearch, HoursFillTwentyFourSlotsAndTheClampedPictureCompletes)
{
    const std::vector<int> answers = Feed(0);
    ASSERT_EQ(answers.size(), 25u);
    for (int hour = 0; hour < 23; ++hour)
        EXPECT_EQ(answers[size_t(hour)], (hour + 1) * 10000) << hour;
    EXPECT_EQ(answers[23], 235959) << "the hour after 23:00:00 is clamped";
    EXPECT_EQ(answers[24], -1) << "the picture for 23:59:59 completes the level";
    EXPECT_EQ(dialog->GetSlotsReceived(), 24);
    EXPECT_EQ(dialog->GetCaption(0, 23), QStringLiteral("23:00:00"));
    WaitForBox(QStringLiteral("Search completed."), QStringLiteral("auto"));
    EXPECT_TRUE(dialog->IsLevelDone(0));
    WaitForPainting(0, 23);
    // 23:59:59 is drawn nowhere: not in the column, and not in the big picture.
    const QImage column = dialog->ColumnImage(0);
    const QColor clamped = ColourOf(235959);
    for (int y = 0; y < column.height(); y += 7)
        ASSERT_FALSE(Near(column.pixelColor(80, y), clamped, 1)) << y;
    EXPECT_EQ(dialog->GetTimeText(), QStringLiteral("00:00:00")) << "the big picture is the level's first";
}

TEST_F(ThumbnailSearch, PicturesReachTheWidgetsOnlyOnTheirOwnThread)
{
    int answer = 0;
    std::thread searchThread([&] {
        answer = dialog->SetCameoImage(device->GetDeviceIndex(), kChannel + 16, QStringLiteral("00:00:00"),
                                       PictureAt(0));
    });
    searchThread.join();
    EXPECT_EQ(answer, 10000);
    EXPECT_EQ(dialog->GetCaption(0, 0), QStringLiteral("00:00:00")) << "the step is taken at once";
    EXPECT_EQ(dialog->ColumnImage(0).pixelColor(80, 60), QColor(Qt::black)) << "the painting waits";
    EXPECT_TRUE(dialog->GetTimeText().isEmpty());
    WaitForPainting(0, 0);
    EXPECT_EQ(dialog->GetTimeText(), QStringLiteral("00:00:00"));
    EXPECT_TRUE(dialog->Tile()->IsPlaying());
}

TEST_F(ThumbnailSearch, ANoticeWithoutPictureKeepsItsTimeAndABlackSlot)
{
    Feed(0, {}, 1);
    int answer = 0;
    std::thread searchThread([&] {
        answer = dialog->SetCameoImage(device->GetDeviceIndex(), kChannel + 16, QStringLiteral("01:00:00"),
                                       QImage());
    });
    searchThread.join();
    EXPECT_EQ(answer, 20000);
    EXPECT_EQ(dialog->GetCaption(0, 1), QStringLiteral("01:00:00"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return dialog->ColumnImage(0).pixelColor(4, 123) != QColor(Qt::black); }, kWaitMs))
        << "the band is drawn";
    EXPECT_EQ(dialog->ColumnImage(0).pixelColor(80, 180), QColor(Qt::black));
    PressSlot(1);
    EXPECT_EQ(dialog->GetTimeText(), QStringLiteral("01:00:00")) << "the slot can be chosen";
}

TEST_F(ThumbnailSearch, TheStepStartsFromThePicturesOwnTime)
{
    const std::vector<int> answers = Feed(
        0, [](int asked) { return asked == 10000 ? 10007 : asked; }, 2);
    EXPECT_EQ(answers, (std::vector<int>{10000, 20000}));
    EXPECT_EQ(dialog->GetCaption(0, 1), QStringLiteral("01:00:07"));
}

TEST_F(ThumbnailSearch, DoubleClicksDrillDownFromTheChosenSlots)
{
    struct Case
    {
        std::vector<int> path; // the slot double-clicked at each level from the hours on
        int level;
        std::vector<int> captions; // of the deepest level
        const char* texts;
    };
    const Case cases[] = {
        {{10, 5},
         2,
         {105000, 105100, 105200, 105300, 105400, 105500, 105600, 105700, 105800, 105900},
         "10min 1min 10sec"},
        {{10, 2, 5}, 3, {102500, 102510, 102520, 102530, 102540, 102550}, "1min 10sec 1sec"},
        {{10, 2, 5, 0},
         4,
         {102500, 102501, 102502, 102503, 102504, 102505, 102506, 102507, 102508, 102509},
         "10sec 1sec -"},
    };
    for (const Case& c : cases) {
        device->SetThumnailSearch(kChannel, kDate, kStartTime);
        ASSERT_NO_FATAL_FAILURE(FillLevel());
        for (int slot : c.path) {
            const int above = dialog->GetLevelOnScreen();
            const QString caption = dialog->GetCaption(above, slot);
            DoubleClickSlot(slot);
            ASSERT_EQ(dialog->GetLevelSearched(), above + 1) << caption.toStdString();
            EXPECT_EQ(dialog->GetNextRequest(), TimeOfCaption(caption));
            EXPECT_EQ(dialog->GetChosenSlot(above), slot);
            ASSERT_NO_FATAL_FAILURE(FillLevel());
        }
        EXPECT_EQ(dialog->GetLevelOnScreen(), c.level);
        EXPECT_TRUE(dialog->ColumnArea(c.level)->isVisible());
        for (int slot = 0; slot < ThumbnailLevels::SlotCount(c.level); ++slot)
            EXPECT_EQ(dialog->GetCaption(c.level, slot), TimeText(c.captions[size_t(slot)])) << c.level << slot;
        EXPECT_EQ(LevelTexts(), QLatin1String(c.texts));
        EXPECT_EQ(Button(QStringLiteral("levelNext"))->isEnabled(), c.level < 4);
    }
}

TEST_F(ThumbnailSearch, SlotsWithoutThumbnailCannotBeOpenedOrPicked)
{
    Feed(0, {}, 3);
    ASSERT_EQ(dialog->GetSlotsReceived(), 3);
    WaitForPainting(0, 2);
    const QImage before = dialog->ColumnImage(0);
    DoubleClickSlot(5);
    PressSlot(5);
    EXPECT_EQ(dialog->GetLevelSearched(), 0);
    EXPECT_EQ(dialog->GetLevelOnScreen(), 0);
    EXPECT_EQ(dialog->GetNextRequest(), 30000) << "the level's own search goes on";
    EXPECT_EQ(dialog->ColumnImage(0), before) << "no highlight on an empty slot";
    EXPECT_FALSE(Button(QStringLiteral(">"))->isEnabled());
    // Nothing beyond the seconds: opening a second shows it and completes at once.
    Feed(30000);
    WaitForBox(QStringLiteral("Search completed."), QStringLiteral("auto"));
    for (int slot : {10, 2, 5, 0}) {
        DoubleClickSlot(slot);
        ASSERT_NO_FATAL_FAILURE(FillLevel());
    }
    ASSERT_EQ(dialog->GetLevelOnScreen(), 4);
    DoubleClickSlot(3);
    EXPECT_EQ(dialog->GetLevelOnScreen(), 4) << "there is no sixth column";
    EXPECT_EQ(dialog->GetNextRequest(), 102503);
    const std::vector<int> answers = Feed(102503);
    EXPECT_EQ(answers, std::vector<int>{-1});
    WaitForBox(QStringLiteral("Search completed."), QStringLiteral("auto"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->GetTimeText() == QLatin1String("10:25:03"); }, kWaitMs));
    EXPECT_EQ(LevelTexts(), QStringLiteral("10sec 1sec -"));
}

TEST_F(ThumbnailSearch, RightClickAndLevelButtonsMoveBetweenLevels)
{
    FillLevel();
    DoubleClickSlot(7);
    FillLevel();
    DoubleClickSlot(3);
    FillLevel();
    ASSERT_EQ(dialog->GetLevelOnScreen(), 2);
    const int searched = dialog->GetLevelSearched();
    PressSlot(0, Qt::RightButton);
    EXPECT_EQ(dialog->GetLevelOnScreen(), 1);
    EXPECT_TRUE(dialog->ColumnArea(1)->isVisible());
    EXPECT_FALSE(dialog->ColumnArea(2)->isVisible());
    EXPECT_EQ(LevelTexts(), QStringLiteral("1hour 10min 1min"));
    EXPECT_EQ(dialog->GetLevelSearched(), searched) << "going up searches nothing";
    QTest::mouseClick(Button(QStringLiteral("levelPrev")), Qt::LeftButton);
    EXPECT_EQ(LevelTexts(), QStringLiteral("- 1hour 10min"));
    PressSlot(0, Qt::RightButton);
    EXPECT_EQ(dialog->GetLevelOnScreen(), 0) << "nothing above the hours";
    // Next reopens the level below from the slot chosen in it.
    QTest::mouseClick(Button(QStringLiteral("levelNext")), Qt::LeftButton);
    EXPECT_EQ(dialog->GetLevelOnScreen(), 1);
    EXPECT_EQ(dialog->GetLevelSearched(), 1);
    EXPECT_EQ(dialog->GetNextRequest(), 70000);
    EXPECT_TRUE(dialog->GetCaption(1, 0).isEmpty()) << "the reopened level starts empty";
    EXPECT_TRUE(dialog->GetCaption(2, 0).isEmpty()) << "and so does every level below it";
}

TEST_F(ThumbnailSearch, ColumnsShowTheThumbnailsWithTheirCaptionsAndTheChosenFrame)
{
    Feed(0, {}, 5);
    WaitForPainting(0, 4);
    const QColor navy(0, 0, 128);
    const QColor grey(Qt::gray);
    const QColor red(Qt::red);
    QImage column = dialog->ColumnImage(0);
    for (int slot = 0; slot < 5; ++slot) {
        const int y = slot * 120;
        const QColor picture = ColourOf(slot * 10000);
        const QColor band((picture.red() + navy.red()) / 2, (picture.green() + navy.green()) / 2,
                          (picture.blue() + navy.blue()) / 2);
        EXPECT_TRUE(Near(column.pixelColor(4, y + 3), band))
            << slot << " " << column.pixelColor(4, y + 3).name().toStdString();
        EXPECT_TRUE(Near(column.pixelColor(80, y + 60), picture)) << slot;
        EXPECT_EQ(column.pixelColor(0, y + 60), slot == 0 ? red : grey) << slot;
        int white = 0;
        for (int x = 40; x < 120; ++x)
            for (int row = y + 2; row < y + 16; ++row)
                white += column.pixelColor(x, row) == QColor(Qt::white) ? 1 : 0;
        EXPECT_GT(white, 10) << "the caption is written in the band of slot " << slot;
    }
    EXPECT_EQ(column.pixelColor(80, 5 * 120 + 60), QColor(Qt::black));
    EXPECT_EQ(column.pixelColor(0, 5 * 120 + 60), grey);

    PressSlot(3);
    column = dialog->ColumnImage(0);
    EXPECT_EQ(column.pixelColor(0, 3 * 120 + 60), red) << "the chosen slot";
    EXPECT_EQ(column.pixelColor(0, 60), grey) << "the earlier highlight is gone";
    EXPECT_EQ(column.pixelColor(158, 3 * 120 + 60), red);
    EXPECT_EQ(dialog->GetChosenSlot(0), 3);
    EXPECT_EQ(dialog->GetTimeText(), QStringLiteral("03:00:00"));
    EXPECT_TRUE(dialog->Tile()->IsPlaying());
    EXPECT_TRUE(Button(QStringLiteral(">"))->isEnabled());
    EXPECT_TRUE(Button(QStringLiteral("X"))->isVisible());
}

TEST_F(ThumbnailSearch, PlayRowPlaysFromTheShownTimeAndAnswersWithPlayCodes)
{
    Feed(0, {}, 4);
    PressSlot(2);
    struct Case
    {
        const char* button;
        int mode;
        int speed;
        int code;
    };
    const Case cases[] = {
        {">>", 32, 2, -115}, {">>", 32, 3, -115}, {"<<", 512, 2, -125}, {"<<", 512, 3, -125},
        {"<", 256, 1, -25},  {">", 16, 1, -15},   {"||", 2, 1, -999},
    };
    for (const Case& c : cases) {
        QTest::mouseClick(Button(QLatin1String(c.button)), Qt::LeftButton);
        EXPECT_EQ(dialog->GetPlayState(), c.mode) << c.button;
        EXPECT_EQ(dialog->GetSpeedCode(), c.speed) << c.button;
        EXPECT_EQ(dialog->GetLevelSearched(), ThumbnailLevels::kPlaying) << c.button;
        EXPECT_EQ(Feed(
                      20000, [](int) { return 20005; }, 1),
                  std::vector<int>{c.code})
            << c.button;
    }
    // The fast speed steps 2 .. 8 and wraps.
    for (int step : {2, 3, 4, 5, 6, 7, 8, 2}) {
        QTest::mouseClick(Button(QStringLiteral(">>")), Qt::LeftButton);
        EXPECT_EQ(dialog->GetSpeedCode(), step);
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog->GetTimeText() == QLatin1String("02:00:05"); }, kWaitMs))
        << "the big picture follows the playing";
    QTest::mouseClick(Button(QStringLiteral("X")), Qt::LeftButton);
    EXPECT_FALSE(Button(QStringLiteral(">"))->isEnabled());
    EXPECT_FALSE(Button(QStringLiteral("X"))->isVisible());
    EXPECT_EQ(dialog->GetSpeedCode(), 1);
}

TEST_F(ThumbnailSearch, RecordingLastsOnlyWhilePlayingForward)
{
    Feed(0, {}, 4);
    PressSlot(1);
    QTest::mouseClick(Button(QStringLiteral(">")), Qt::LeftButton);
    dialog->OnRecord();
    EXPECT_TRUE(dialog->GetRecordFlag());
    Feed(10000, {}, 1);
    EXPECT_TRUE(dialog->GetRecordFlag()) << "kept while playing forward";
    QTest::mouseClick(Button(QStringLiteral(">>")), Qt::LeftButton);
    EXPECT_FALSE(dialog->GetRecordFlag());
    QTest::mouseClick(Button(QStringLiteral(">")), Qt::LeftButton);
    dialog->OnRecord();
    DoubleClickSlot(1);
    Feed(dialog->GetNextRequest(), {}, 1);
    EXPECT_FALSE(dialog->GetRecordFlag()) << "a thumbnail search is no playing";
}

TEST_F(ThumbnailSearch, GotoAndCloseHandBackTheirTimeOnceTheRecorderHasStopped)
{
    struct Case
    {
        const char* button;
        int handBack;
    };
    for (const Case& c : {Case{"Goto", 20000}, Case{"Close", kStartTime}}) {
        device->SetThumnailSearch(kChannel, kDate, kStartTime);
        Feed(0, {}, 4);
        PressSlot(2);
        QTest::mouseClick(Button(QStringLiteral(">")), Qt::LeftButton);
        QTest::mouseClick(Button(QLatin1String(c.button)), Qt::LeftButton);
        EXPECT_EQ(dialog->GetPlayState(), 2) << "the recorder is stopped first";
        EXPECT_TRUE(dialog->isVisible()) << c.button;
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, kWaitMs)) << c.button;
        EXPECT_EQ(dialog->GetLastHandBack(), c.handBack) << c.button;
        EXPECT_EQ(dialog->GetReturnTime(), -1);
        EXPECT_FALSE(device->IsThumbnailMode()) << c.button;
        EXPECT_EQ(Feed(30000, {}, 1), std::vector<int>{-1}) << "a late picture finds the dialog idle";
    }
}

TEST_F(ThumbnailSearch, SwitchingSearchesHandsBackTheirCodes)
{
    Feed(0, {}, 12);
    PressSlot(11);
    dialog->Tile()->museumSearchAction();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, kWaitMs));
    EXPECT_EQ(dialog->GetLastHandBack(), -3);

    device->SetThumnailSearch(kChannel, kDate, kStartTime);
    Feed(0, {}, 12);
    PressSlot(11);
    dialog->Tile()->quickSearchAction();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, kWaitMs));
    EXPECT_EQ(dialog->GetLastHandBack(), -4);
    // The recorder opens the quick search on the stored channel, day and time.
    SearchTime* quick = hub->GetSearchTime();
    ASSERT_TRUE(QTest::qWaitFor([&] { return quick->isVisible(); }, kWaitMs));
    EXPECT_EQ(quick->GetChannel(), kChannel);
    EXPECT_EQ(quick->GetDateText(), QStringLiteral("02/05/2024"));
    EXPECT_EQ(quick->GetTimeText(), QStringLiteral("11:00:00"));
    quick->hide();
}

TEST_F(ThumbnailSearch, TheProgressOfASilentRecorderCanBeCancelled)
{
    closer.reset();
    bool seen = false;
    bool cancellable = false;
    BoxWatcher watcher([&](MessageDlg* box, const BoxSample& sample) {
        if (sample.title != QLatin1String("Thumbnail Search") || !sample.visible || seen)
            return;
        seen = true;
        cancellable = sample.buttonEnabled;
        auto* button = box->findChild<QPushButton*>(QStringLiteral("closeButton"));
        if (button && cancellable)
            button->click();
        else
            box->done(0); // the box would otherwise hold the test, as it holds the operator
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen; }, kWaitMs));
    EXPECT_TRUE(cancellable) << "no picture ever comes: the operator must be able to close the box";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hub->Messages().IsOpen(); }, kWaitMs));
    QTest::mouseClick(Button(QStringLiteral("Close")), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, kWaitMs));
    EXPECT_EQ(dialog->GetLastHandBack(), kStartTime);
}

TEST_F(ThumbnailSearch, ALostRecorderClosesAtOnceAndIsForgotten)
{
    Feed(0, {}, 3);
    dialog->OnRecorderLost();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->GetDeviceIndex(), -1);
    EXPECT_EQ(dialog->GetLastHandBack(), -1) << "nothing is handed to a recorder that is gone";
    EXPECT_EQ(Feed(30000, {}, 1), std::vector<int>{-999});
}

} // namespace
