#pragma once
// The record calendar: a month of 42 day buttons of which only the recorded days can be picked,
// and for the picked day the minute table of 16 cameras and audio with a time slider. OK stores
// the picked day and time in the recorder's session as its play start.
#include <QImage>
#include <QVector>

#include <array>
#include <memory>

#include "widgets/cpopupdialog.h"

class QLabel;
class QPushButton;
class QSlider;

class searchCalendar : public CPopupDialog
{
    Q_OBJECT

public:
    static constexpr int kRows = 17; // cameras 1 to 16, then audio
    static constexpr int kMinutes = 1440;
    static constexpr int kTableWidth = 483;
    static constexpr int kTableHeight = 233;

    explicit searchCalendar(QWidget* parent = nullptr);
    ~searchCalendar() override;

    // Fills the month; a negative device keeps the current one.
    void SetCalendar(int year, int month, int device);

    int GetYear() const { return m_year; }
    int GetMonth() const { return m_month; }
    int GetDay() const { return m_day; }
    int GetTime() const { return m_time; }
    QPushButton* DayButton(int n) const;
    QPushButton* OkButton() const { return m_okButton; }
    QSlider* TimeSlider() const { return m_slider; }
    QLabel* MonthLabel() const { return m_monthLabel; }
    QLabel* TimeLabel() const { return m_timeLabel; }
    // The last drawn minute table picture.
    QImage TablePicture() const { return m_tablePicture; }
    // The minute table's byte of a row and minute (0 once the table is freed).
    quint8 TableValue(int row, int minute) const;

signals:
    void dateSetText(QString);
    void timeSetText(QString);
    void OnCalendar(int, int);
    void getTimeList(int);
    void OnDrawTimeList(int);

public slots:
    void onOKButtonClicked();
    void onCancelButtonClicked();
    void onDatePrevButtonClicked();
    void onDateNextButtonClicked();
    void ChangeTimeSlider(int minute);
    void SetDrawTimeList(int x);
    void SetTimeList();
    void OnSelectDate(int n);

private:
    void BuildWidgets();
    void ZeroTable();
    void FreeTable();
    int PickedDate() const;
    class RecorderSession* Device() const;

    int m_year = 0;
    int m_month = 0;
    int m_day = 0;
    int m_time = 0;
    int m_device = -1;
    std::unique_ptr<quint8[]> m_table;
    std::array<QPushButton*, 42> m_dayButtons{};
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QLabel* m_monthLabel = nullptr;
    QLabel* m_timeLabel = nullptr;
    QLabel* m_tableLabel = nullptr;
    QSlider* m_slider = nullptr;
    QImage m_tablePicture;
};
