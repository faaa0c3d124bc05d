#pragma once
// The month arithmetic of the record calendar: where the days of a month fall among its 42 day
// buttons (6 rows of 7, Sunday first), and how a minute of the day maps to the chosen time.
#include <QString>

class CalendarMonth
{
public:
    static constexpr int kButtons = 42;
    static constexpr int kMinutesPerDay = 1440;

    // Weekday of 1 January of the year, 0 = Sunday.
    static int WeekdayOfNewYear(int year);
    static bool IsLeapYear(int year);
    // 28 to 31; 0 for a month outside 1 to 12.
    static int DaysInMonth(int year, int month);
    // Weekday of the first of the month, 0 = Sunday; also the button of day 1.
    static int WeekdayOfFirst(int year, int month);
    // The button (0 to 41) that shows the day, -1 for a day outside the month.
    static int ButtonOfDay(int year, int month, int day);

    // The month before and after, with the year carried.
    static void PreviousMonth(int& year, int& month);
    static void NextMonth(int& year, int& month);

    // The time (HHMMSS) chosen with the slider at a minute of the day; minute 1440 is the last
    // second of the day, 235959.
    static int TimeOfMinute(int minute);
    // "%02d:%02d" of the minute's hour and minute ("24:00" for minute 1440).
    static QString MinuteText(int minute);
    // "%02d - %04d" (month, year).
    static QString MonthText(int year, int month);
};
