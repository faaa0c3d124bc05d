#pragma once
// The playback start dialog of the remote playback window: the first and last recorded time, a
// date and a time to play from, and the way to the record calendar. Results: 1 OK (the date and
// time are stored in the recorder's session), 0 Cancel, 2 "Calendar".
#include "widgets/cpopupdialog.h"

class QDateEdit;
class QLabel;
class QPushButton;
class QTimeEdit;

class SearchInfo : public CPopupDialog
{
    Q_OBJECT

public:
    enum Result { Cancelled = 0, Chosen = 1, Calendar = 2 };

    SearchInfo(QWidget* parent, int device, const QString& firstText, const QString& lastText, int lastDate,
               int lastTime);

    int GetDate() const { return m_date; }
    int GetTime() const { return m_time; }
    QDateEdit* DateEdit() const { return m_dateEdit; }
    QTimeEdit* TimeEdit() const { return m_timeEdit; }
    QPushButton* OkButton() const { return m_okButton; }
    QPushButton* CancelButton() const { return m_cancelButton; }
    QPushButton* CalendarButton() const { return m_calendarButton; }

public slots:
    void onOKButtonClicked();
    void onCancelButtonClicked();
    void onCalendarButtonClicked();

private:
    int m_date = 0;
    int m_time = 0;
    int m_device = -1;
    QLabel* m_firstLabel = nullptr;
    QLabel* m_lastLabel = nullptr;
    QDateEdit* m_dateEdit = nullptr;
    QTimeEdit* m_timeEdit = nullptr;
    QPushButton* m_calendarButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
