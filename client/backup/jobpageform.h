#pragma once
// The form the event and schedule backup pages share: "1. Select Channel" with 16 channel
// buttons and "All", "2. Select Day" with the seven days and "All", "3. Select Time" with the
// begin and end of the daily window, "Add", the job table and the Start/Stop button.
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <array>
#include <functional>

class QLabel;
class QPushButton;
class QTableView;
class QTimeEdit;
class QWidget;
class ListModel;

class JobPageForm
{
public:
    // Builds the widgets into `page` (890 x 740) with the table on `model`; the column widths
    // come in order.
    JobPageForm(QWidget* page, ListModel* model, const QVector<int>& columnWidths);

    std::array<QPushButton*, 16> channelButtons{};
    QPushButton* channelAll = nullptr;
    std::array<QPushButton*, 7> dayButtons{};
    QPushButton* weekAll = nullptr;
    QTimeEdit* beginEdit = nullptr;
    QTimeEdit* endEdit = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* startButton = nullptr;
    QTableView* table = nullptr;

    // Checks every enabled button of the group when none is checked, else unchecks them all.
    static void ToggleAll(QPushButton* const* buttons, int count);
    int DayMask() const;
    quint32 ChannelMask() const;
    int BeginTime() const;
    int EndTime() const;
    // Unchecks every button; channel buttons at or above the count are disabled.
    void ResetButtons(int channelCount);
    // False, with what to mend shown in the program's message box titled `title`, when the
    // chosen days, channels and times cannot make a job.
    bool CheckNewJob(const QString& title) const;
    // "Delete overlapped item?" in a box titled `title` over `page`; `answer`, when set, is asked
    // instead.
    static bool AskOverlap(QWidget* page, const QString& title, const std::function<bool()>& answer);
};
