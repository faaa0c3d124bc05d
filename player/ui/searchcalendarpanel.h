#pragma once
// The calendar part shared by the recorder search dialogs: 42 day buttons in six rows of seven,
// the month buttons "<<" and ">>" and the month text, drawn from a SearchCalendar.
#include <array>

#include <QWidget>

#include "playback/searchcalendar.h"

class CSkinButton;
class HPImageManager;
class QLabel;

class SearchCalendarPanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr QSize kSize{210, 176};

    SearchCalendarPanel(SearchCalendar& calendar, HPImageManager& images, const QString& skinFolder,
                        QWidget* parent = nullptr);

    // Shows the calendar's month: recorded days enabled in their normal look, other days
    // disabled in their inactive look, the chosen day selected.
    void Refresh();
    void ClearSelection();
    CSkinButton* DayButton(int cell) const { return m_days[size_t(cell)]; }
    CSkinButton* PreviousButton() const { return m_previous; }
    CSkinButton* NextButton() const { return m_next; }
    QString MonthText() const;

signals:
    void dayChosen(const QString& day);
    void monthChanging();

private:
    void OnDay(int cell);

    SearchCalendar& m_calendar;
    std::array<CSkinButton*, SearchCalendar::kCells> m_days{};
    CSkinButton* m_previous = nullptr;
    CSkinButton* m_next = nullptr;
    QLabel* m_month = nullptr;
};
