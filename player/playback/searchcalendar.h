#pragma once
// The calendar of the recorder search face: the list of recorded days a recorder reported, the
// shown month with its 42 day cells (six rows of seven, Sunday first), the chosen day and the
// time text of a slider position. Widget-free; both search dialogs draw from it.
#include <array>

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

class SearchCalendar
{
public:
    static constexpr int kCells = 42;

    // `capacity`: how many recorded days the list holds (further days are not taken).
    explicit SearchCalendar(int capacity);

    static int DaysInMonth(int year, int month);
    // Weekday (0 = Sunday) of the first day of the month.
    static int FirstWeekday(int year, int month);
    // "%02d:%02d:00" for slider position 0..480 (three minutes a step; 480 reads "24:00:00").
    static QString MarkerTimeText(int position);

    void FillCalendar(int year, int month);
    void PreviousMonth();
    void NextMonth();
    int Year() const { return m_year; }
    int Month() const { return m_month; }
    QString MonthText() const;
    // Cell text: "[d]" for a recorded day, "d" for another day, empty outside the month.
    const std::array<QString, kCells>& Cells() const { return m_cells; }
    // The day a cell shows on its button (brackets removed) and whether it is enabled.
    QString ButtonText(int cell) const;
    bool ButtonEnabled(int cell) const;

    // A day-list reply: line breaks removed, cut into eight-character pieces; every piece of
    // eight digits naming a real date is a day; new days are appended up to the capacity. The
    // calendar then shows the month of the list's first day. Returns the days added.
    int OnDayList(const QByteArray& text);
    void ClearDays();
    const QStringList& Days() const { return m_days; }
    bool HasDay(const QString& yyyymmdd) const { return m_daySet.contains(yyyymmdd); }

    // Chooses the day shown in an enabled cell; false for an empty or disabled cell.
    bool ChooseCell(int cell);
    void ClearChosenDay();
    QString ChosenDay() const { return m_chosen; } // "yyyymmdd", empty when none
    int ChosenCell() const;

private:
    int m_capacity;
    QStringList m_days;
    QSet<QString> m_daySet;
    std::array<QString, kCells> m_cells{};
    int m_year = 0;
    int m_month = 0;
    QString m_chosen;
};
