#include <gtest/gtest.h>

#include "search/calendarmonth.h"
#include "search/playbackstart.h"

namespace {

struct NewYearCase
{
    int year;
    int weekday; // 0 = Sunday
};

class NewYearWeekday : public ::testing::TestWithParam<NewYearCase>
{};

TEST_P(NewYearWeekday, FallsOnTheCalendarDay)
{
    EXPECT_EQ(CalendarMonth::WeekdayOfNewYear(GetParam().year), GetParam().weekday);
}

// Weekdays looked up in a printed calendar.
INSTANTIATE_TEST_SUITE_P(Years, NewYearWeekday,
                         ::testing::Values(NewYearCase{2024, 1}, NewYearCase{2000, 6}, NewYearCase{1900, 1},
                                           NewYearCase{2100, 5}, NewYearCase{2026, 4}, NewYearCase{2023, 0}));

struct MonthCase
{
    int year;
    int month;
    int days;
    int firstButton;
};

class MonthLayout : public ::testing::TestWithParam<MonthCase>
{};

TEST_P(MonthLayout, HasItsDaysFromItsWeekday)
{
    const MonthCase& c = GetParam();
    EXPECT_EQ(CalendarMonth::DaysInMonth(c.year, c.month), c.days);
    EXPECT_EQ(CalendarMonth::ButtonOfDay(c.year, c.month, 1), c.firstButton);
    EXPECT_EQ(CalendarMonth::ButtonOfDay(c.year, c.month, c.days), c.firstButton + c.days - 1);
    EXPECT_EQ(CalendarMonth::ButtonOfDay(c.year, c.month, c.days + 1), -1);
    EXPECT_EQ(CalendarMonth::ButtonOfDay(c.year, c.month, 0), -1);
}

INSTANTIATE_TEST_SUITE_P(Months, MonthLayout,
                         ::testing::Values(MonthCase{2000, 2, 29, 2},  // Tuesday 1 February 2000
                                           MonthCase{2024, 2, 29, 4},  // Thursday
                                           MonthCase{1900, 2, 28, 4},  // Thursday
                                           MonthCase{2100, 2, 28, 1},  // Monday
                                           MonthCase{2024, 1, 31, 1},  // Monday: second column
                                           MonthCase{2026, 2, 28, 0},  // Sunday
                                           MonthCase{2025, 11, 30, 6}, // Saturday
                                           MonthCase{2024, 12, 31, 0}));

TEST(CalendarMonth, MonthOutsideTheYearHasNoDays)
{
    EXPECT_EQ(CalendarMonth::DaysInMonth(2024, 0), 0);
    EXPECT_EQ(CalendarMonth::DaysInMonth(2024, 13), 0);
}

TEST(CalendarMonth, StepsCarryTheYear)
{
    int year = 2024;
    int month = 12;
    CalendarMonth::NextMonth(year, month);
    EXPECT_EQ(year, 2025);
    EXPECT_EQ(month, 1);
    CalendarMonth::PreviousMonth(year, month);
    EXPECT_EQ(year, 2024);
    EXPECT_EQ(month, 12);
    month = 5;
    CalendarMonth::PreviousMonth(year, month);
    EXPECT_EQ(month, 4);
}

struct MinuteCase
{
    int minute;
    int time;
    const char* text;
};

class SliderMinute : public ::testing::TestWithParam<MinuteCase>
{};

TEST_P(SliderMinute, GivesTimeAndLabel)
{
    EXPECT_EQ(CalendarMonth::TimeOfMinute(GetParam().minute), GetParam().time);
    EXPECT_EQ(CalendarMonth::MinuteText(GetParam().minute), QLatin1String(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Minutes, SliderMinute,
                         ::testing::Values(MinuteCase{0, 0, "00:00"}, MinuteCase{61, 10100, "01:01"},
                                           MinuteCase{1439, 235900, "23:59"}, MinuteCase{1440, 235959, "24:00"}));

TEST(CalendarMonth, MonthLabel)
{
    EXPECT_EQ(CalendarMonth::MonthText(2024, 3), QStringLiteral("03 - 2024"));
}

struct PresetCase
{
    int lastTime;
    int hour;
    int minute;
};

class TimePreset : public ::testing::TestWithParam<PresetCase>
{};

TEST_P(TimePreset, StandsTenMinutesBeforeTheLastRecording)
{
    const QTime t = PlaybackStart::PresetTime(GetParam().lastTime);
    EXPECT_EQ(t, QTime(GetParam().hour, GetParam().minute, 0)) << t.toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Times, TimePreset,
                         ::testing::Values(PresetCase{530, 0, 0},     // 00:05:30
                                           PresetCase{100530, 9, 55}, // 10:05:30
                                           PresetCase{101530, 10, 5}, PresetCase{235959, 23, 49},
                                           PresetCase{930, 0, 0}, PresetCase{1000, 0, 0}));

TEST(PlaybackStart, RecordTimeTextIsMonthDayYear)
{
    EXPECT_EQ(PlaybackStart::RecordTimeText(QStringLiteral("First Record Time : "), 20240131, 83007),
              QStringLiteral("First Record Time : 01/31/2024 08:30:07"));
}

TEST(PlaybackStart, EditValues)
{
    EXPECT_EQ(PlaybackStart::DateValue(QDate(2026, 2, 3)), 20260203);
    EXPECT_EQ(PlaybackStart::TimeValue(QTime(9, 5, 7)), 90507);
    EXPECT_EQ(PlaybackStart::DateOf(20240229), QDate(2024, 2, 29));
    EXPECT_FALSE(PlaybackStart::DateOf(-1).isValid());
}

} // namespace
