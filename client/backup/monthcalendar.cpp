#include "backup/monthcalendar.h"

namespace MonthCalendar {

bool IsLeapYear(int year)
{
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int DaysInMonth(int year, int month)
{
    static const int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && IsLeapYear(year))
        return 29;
    return kLengths[month - 1];
}

int FirstWeekday(int year, int month)
{
    const int y = year;
    int start = (y + (y - 1) / 4 - (y - 1) / 100 + (y - 1) / 400) % 7;
    for (int m = 1; m < month && m <= 12; ++m)
        start = (start + DaysInMonth(year, m)) % 7;
    return start;
}

} // namespace MonthCalendar
