#include <gtest/gtest.h>

#include <array>

#include "search/timelinemodel.h"

namespace {

using Table = std::array<quint8, TimelineModel::kMinutes>;

Table DayWith(std::initializer_list<std::pair<int, quint8>> minutes)
{
    Table table{};
    for (const auto& [minute, value] : minutes)
        table[size_t(minute)] = value;
    return table;
}

// A model at a second with a drag begun at view x.
TimelineModel DragFrom(int second, int x)
{
    TimelineModel model;
    model.SetCurrentSecond(second);
    int pressed = 0;
    EXPECT_EQ(model.Press(x, 40, pressed), TimelineModel::PressResult::DragStarted);
    return model;
}

TEST(TimelineModel, DragLeftGoesForwardAMinuteAPixel)
{
    TimelineModel model = DragFrom(3600, 500);
    EXPECT_TRUE(model.Move(497));
    EXPECT_EQ(model.CurrentSecond(), 3600 + 180);
    int second = 0;
    EXPECT_TRUE(model.Release(497, 40, second));
    EXPECT_EQ(second, 3780);
}

TEST(TimelineModel, DragStopsAtTheDayEnds)
{
    TimelineModel late = DragFrom(86000, 500);
    late.Move(480);
    EXPECT_EQ(late.CurrentSecond(), 86400);
    TimelineModel early = DragFrom(60, 500);
    early.Move(510);
    EXPECT_EQ(early.CurrentSecond(), 0);
}

TEST(TimelineModel, DragTickSendsOnlyWhatMoved)
{
    TimelineModel model = DragFrom(0, 100);
    int second = -1;
    EXPECT_FALSE(model.TakeDragTick(second));
    model.Move(98);
    EXPECT_TRUE(model.TakeDragTick(second));
    EXPECT_EQ(second, 120);
    EXPECT_FALSE(model.TakeDragTick(second));
}

struct WheelCase
{
    TimelineModel::WheelSpeed speed;
    int delta;
    int moved;
};

class WheelStep : public ::testing::TestWithParam<WheelCase>
{};

TEST_P(WheelStep, MovesBySpeed)
{
    TimelineModel model;
    model.SetCurrentSecond(7200);
    model.SetWheelSpeed(GetParam().speed);
    bool started = false;
    model.Wheel(GetParam().delta, started);
    EXPECT_TRUE(started);
    EXPECT_EQ(model.CurrentSecond(), 7200 + GetParam().moved);
}

INSTANTIATE_TEST_SUITE_P(Notches, WheelStep,
                         ::testing::Values(WheelCase{TimelineModel::WheelSpeed::Second, 120, 1},
                                           WheelCase{TimelineModel::WheelSpeed::Minute, 120, 60},
                                           WheelCase{TimelineModel::WheelSpeed::Minute, -240, -120},
                                           WheelCase{TimelineModel::WheelSpeed::Second, 60, 0}));

TEST(TimelineModel, WheelDragEndsOnceIdleSoProgressMovesTheCursorAgain)
{
    TimelineModel model;
    bool started = false;
    model.Wheel(120, started);
    EXPECT_FALSE(model.SetCurrentSecond(500)) << "held while the wheel seek runs";
    int second = 0;
    EXPECT_TRUE(model.TakeDragTick(second));
    EXPECT_TRUE(model.EndIdleWheelDrag());
    EXPECT_TRUE(model.SetCurrentSecond(500));
    EXPECT_EQ(model.CurrentSecond(), 500);
}

struct OffsetCase
{
    int second;
    int offset;
};

class ViewOffset : public ::testing::TestWithParam<OffsetCase>
{};

TEST_P(ViewOffset, KeepsTheCursorInTheMiddleButNearTheEnds)
{
    TimelineModel model;
    model.SetCurrentSecond(GetParam().second);
    EXPECT_EQ(model.ViewOffset(), GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(Seconds, ViewOffset,
                         ::testing::Values(OffsetCase{23 * 3600 + 59 * 60, 481}, OffsetCase{10 * 60, 0},
                                           OffsetCase{12 * 3600, 240}, OffsetCase{86400, 481},
                                           OffsetCase{961 * 60, 481}, OffsetCase{600 * 60, 120}));

TEST(TimelineModel, OneRecordingGivesOneThumbnailOfItsBlock)
{
    TimelineModel model;
    const Table day = DayWith({{13 * 60 + 30, 1}});
    model.SetMinuteTable(day.data());
    model.BuildMarks();
    EXPECT_EQ(model.UsedThumbnailSlots(), 1);
    EXPECT_EQ(model.ThumbnailSecond(0), (13 * 60 + 30) * 60);
    EXPECT_EQ(model.EventSecond(0), -1);
}

TEST(TimelineModel, ThumbnailsTakeTheFirstRecordingOfEveryTwoHours)
{
    Table day{};
    for (int m = 30; m < TimelineModel::kMinutes; ++m)
        day[size_t(m)] = 1;
    TimelineModel model;
    model.SetMinuteTable(day.data());
    model.BuildMarks();
    EXPECT_EQ(model.UsedThumbnailSlots(), 12);
    EXPECT_EQ(model.ThumbnailSecond(0), 30 * 60);
    EXPECT_EQ(model.ThumbnailSecond(1), 120 * 60);
    EXPECT_EQ(model.ThumbnailSecond(11), 1320 * 60);
}

TEST(TimelineModel, EventsTakeTheFirstEventOfEveryTenMinutes)
{
    TimelineModel model;
    const Table day = DayWith({{3, 1}, {5, 3}, {7, 2}, {10, 2}, {25, 5}, {1439, 2}});
    model.SetMinuteTable(day.data());
    model.BuildMarks();
    EXPECT_EQ(model.EventSecond(0), 5 * 60);
    EXPECT_EQ(model.EventSecond(1), 10 * 60);
    EXPECT_EQ(model.EventSecond(2), 25 * 60);
    EXPECT_EQ(model.EventSecond(3), 1439 * 60);
    EXPECT_EQ(model.EventSecond(4), -1);
}

TEST(TimelineModel, ClickOnAThumbnailJumpsToItsTime)
{
    TimelineModel model;
    const Table day = DayWith({{100, 1}});
    model.SetMinuteTable(day.data());
    model.BuildMarks();
    model.SetCurrentSecond(0); // view offset 0: the thumbnail stands at x 100 to 210
    int second = 0;
    model.Press(150, 40, second);
    EXPECT_TRUE(model.Release(150, 40, second));
    EXPECT_EQ(second, 6000);
}

TEST(TimelineModel, ClickElsewhereWithoutMovingSendsNothing)
{
    TimelineModel model;
    const Table day = DayWith({{100, 1}});
    model.SetMinuteTable(day.data());
    model.BuildMarks();
    int second = -7;
    model.Press(600, 40, second);
    EXPECT_FALSE(model.Release(600, 40, second));
    model.Press(150, 90, second); // below the thumbnails
    EXPECT_FALSE(model.Release(150, 90, second));
}

TEST(TimelineModel, OutsideProgressWaitsForTheJumpToBeTaken)
{
    TimelineModel model = DragFrom(0, 100);
    model.Move(90);
    int second = 0;
    ASSERT_TRUE(model.Release(90, 40, second));
    EXPECT_FALSE(model.SetCurrentSecond(5));
    model.ClearHold();
    EXPECT_TRUE(model.SetCurrentSecond(5));
}

TEST(TimelineModel, EventMarkerPressOpensTheStrip)
{
    TimelineModel model;
    // Event minutes 200 to 203 and 205: the strip takes those of the ten minutes from 200.
    const Table day = DayWith({{200, 2}, {201, 2}, {202, 2}, {203, 2}, {205, 4}, {212, 2}});
    model.SetMinuteTable(day.data());
    model.BuildMarks();
    ASSERT_TRUE(model.MarkerVisible(0));
    const int left = model.MarkerLeft(0);
    EXPECT_EQ(left, 199);
    int second = 0;
    EXPECT_EQ(model.Press(left + 2, 83, second), TimelineModel::PressResult::EventStrip);
    EXPECT_EQ(model.GetMode(), TimelineModel::Mode::EventStrip);
    const int expected[] = {12000, 12060, 12120, 12180, 12300, -1};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(model.StripSecond(i), expected[i]) << i;
    // A strip picture with a second plays it; an empty one does nothing.
    EXPECT_EQ(model.Press(10 + 95 * 1 + 5, 30, second), TimelineModel::PressResult::StripJump);
    EXPECT_EQ(second, 12060);
    EXPECT_EQ(model.Press(10 + 95 * 7 + 5, 30, second), TimelineModel::PressResult::Nothing);
}

TEST(TimelineModel, EventStripStopsAtTheDaysLastSecond)
{
    TimelineModel model;
    Table day{};
    for (int m = 1435; m < TimelineModel::kMinutes; ++m)
        day[size_t(m)] = 2;
    model.SetMinuteTable(day.data());
    model.EnterEventStrip(1435 * 60);
    for (int i = 0; i < TimelineModel::kStripSlots; ++i) {
        const int second = model.StripSecond(i);
        EXPECT_LE(second, TimelineModel::kLastSecond) << i;
        EXPECT_EQ(second, i < 5 ? (1435 + i) * 60 : -1) << i;
    }
}

TEST(TimelineModel, TableLookupsStayInsideTheDay)
{
    TimelineModel model;
    const Table day = DayWith({{0, 3}, {1439, 3}});
    model.SetMinuteTable(day.data());
    EXPECT_FALSE(model.IsRecordedMinute(-1));
    EXPECT_FALSE(model.IsEventMinute(1440));
    EXPECT_TRUE(model.IsEventMinute(1439));
    EXPECT_EQ(model.ThumbnailSecond(24), -1);
    EXPECT_EQ(model.EventSecond(150), -1);
    EXPECT_EQ(model.StripSecond(-1), -1);
}

} // namespace
