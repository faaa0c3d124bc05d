#include "playback/searchcalendar.h"

#include <QDate>

#include <gtest/gtest.h>

namespace {

TEST(SearchCalendar, MonthLengthsFollowTheLeapYearRule)
{
    const struct
    {
        int year, month, days;
    } cases[] = {{2000, 2, 29}, {2024, 2, 29},  {1900, 2, 28}, {2100, 2, 28}, {2026, 2, 28},
                 {2026, 4, 30}, {2026, 12, 31}, {2026, 0, 0},  {2026, 13, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(SearchCalendar::DaysInMonth(c.year, c.month), c.days) << c.year << "-" << c.month;
}

TEST(SearchCalendar, FirstWeekdayAgreesWithTheCalendarForTwoCenturies)
{
    for (int year = 1900; year <= 2100; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const int expected = QDate(year, month, 1).dayOfWeek() % 7; // Sunday = 0
            ASSERT_EQ(SearchCalendar::FirstWeekday(year, month), expected) << year << "-" << month;
        }
    }
}

TEST(SearchCalendar, CellsStartOnTheFirstWeekdayAndMayUseTheSixthRow)
{
    SearchCalendar calendar(1095);
    calendar.FillCalendar(2026, 2); // 1 February 2026 is a Sunday
    EXPECT_EQ(calendar.Cells()[0], "1");
    EXPECT_EQ(calendar.Cells()[27], "28");
    EXPECT_TRUE(calendar.Cells()[28].isEmpty());
    calendar.FillCalendar(2026, 5); // a Friday, 31 days
    EXPECT_TRUE(calendar.Cells()[4].isEmpty());
    EXPECT_EQ(calendar.Cells()[5], "1");
    EXPECT_EQ(calendar.Cells()[35], "31");
    EXPECT_EQ(calendar.MonthText(), "2026 - 05");
}

TEST(SearchCalendar, DayListMarksRecordedDaysAndTakesEachDayOnce)
{
    SearchCalendar calendar(1095);
    EXPECT_EQ(calendar.OnDayList("20260503\r\n20260517\n20260503xxxxxxxx2026130120260229"), 2);
    EXPECT_EQ(calendar.Days(), (QStringList{"20260503", "20260517"}));
    EXPECT_EQ(calendar.Year(), 2026);
    EXPECT_EQ(calendar.Month(), 5);
    EXPECT_EQ(calendar.Cells()[7], "[3]");
    EXPECT_TRUE(calendar.ButtonEnabled(7));
    EXPECT_EQ(calendar.ButtonText(7), "3");
    EXPECT_FALSE(calendar.ButtonEnabled(8));
    EXPECT_EQ(calendar.ButtonText(8), "4");
    EXPECT_EQ(calendar.OnDayList("20260517"), 0); // already held

    SearchCalendar small(2);
    EXPECT_EQ(small.OnDayList("202601012026010220260103"), 2);
    EXPECT_FALSE(small.HasDay("20260103"));
}

TEST(SearchCalendar, MonthButtonsCrossTheYear)
{
    SearchCalendar calendar(10);
    calendar.FillCalendar(2026, 1);
    calendar.PreviousMonth();
    EXPECT_EQ(calendar.MonthText(), "2025 - 12");
    calendar.NextMonth();
    calendar.NextMonth();
    EXPECT_EQ(calendar.MonthText(), "2026 - 02");
    calendar.FillCalendar(2026, 12);
    calendar.NextMonth();
    EXPECT_EQ(calendar.MonthText(), "2027 - 01");
}

TEST(SearchCalendar, OnlyRecordedDaysCanBeChosen)
{
    SearchCalendar calendar(10);
    calendar.OnDayList("20260503");
    EXPECT_FALSE(calendar.ChooseCell(8));
    EXPECT_TRUE(calendar.ChosenDay().isEmpty());
    EXPECT_TRUE(calendar.ChooseCell(7));
    EXPECT_EQ(calendar.ChosenDay(), "20260503");
    EXPECT_EQ(calendar.ChosenCell(), 7);
    calendar.NextMonth();
    EXPECT_EQ(calendar.ChosenCell(), -1);
}

TEST(SearchCalendar, MarkerTimeTextCountsThreeMinutesAStep)
{
    const std::pair<int, const char*> cases[] = {
        {0, "00:00:00"}, {1, "00:03:00"}, {20, "01:00:00"}, {479, "23:57:00"}, {480, "24:00:00"}};
    for (const auto& [position, text] : cases)
        EXPECT_EQ(SearchCalendar::MarkerTimeText(position), text) << position;
}

} // namespace
