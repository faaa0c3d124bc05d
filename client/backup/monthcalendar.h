#pragma once
// The month arithmetic of the backup calendar: month lengths with leap years and the week day
// (0 Sunday) on which a month starts.
namespace MonthCalendar {

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
// Week day of the first of the month, 0 = Sunday.
int FirstWeekday(int year, int month);

} // namespace MonthCalendar
