#include "search/calendarmonth.h"

int CalendarMonth::WeekdayOfNewYear(int year)
{
    const int y = year;
    return (y + (y - 1) / 4 - (y - 1) / 100 + (y - 1) / 400) % 7;
}

bool CalendarMonth::IsLeapYear(int year)
{
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int CalendarMonth::DaysInMonth(int year, int month)
{
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && IsLeapYear(year))
        return 29;
    return kDays[month - 1];
}

int CalendarMonth::WeekdayOfFirst(int year, int month)
{
    int weekday = WeekdayOfNewYear(year);
    for (int m = 1; m < month && m <= 12; ++m)
        weekday = (weekday + DaysInMonth(year, m)) % 7;
    return weekday;
}

int CalendarMonth::ButtonOfDay(int year, int month, int day)
{
    if (day < 1 || day > DaysInMonth(year, month))
        return -1;
    return WeekdayOfFirst(year, month) + day - 1;
}

void CalendarMonth::PreviousMonth(int& year, int& month)
{
    if (--month < 1) {
        month = 12;
        --year;
    }
}

void CalendarMonth::NextMonth(int& year, int& month)
{
    if (++month > 12) {
        month = 1;
        ++year;
    }
}

int CalendarMonth::TimeOfMinute(int minute)
{
    if (minute >= kMinutesPerDay)
        return 235959;
    if (minute < 0)
        minute = 0;
    return (minute / 60) * 10000 + (minute % 60) * 100;
}

QString CalendarMonth::MinuteText(int minute)
{
    return QString::asprintf("%02d:%02d", minute / 60, minute % 60);
}

QString CalendarMonth::MonthText(int year, int month)
{
    return QString::asprintf("%02d - %04d", month, year);
}
