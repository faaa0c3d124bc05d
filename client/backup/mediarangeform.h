#pragma once
// The controls both remote media pages share: "1. Select Channel" with 16 channel buttons and
// "All", "2. Select Start" and "3. Select Finish" with their date and time edits, and the status
// line ("Status : " and a text).
#include <QString>
#include <QtGlobal>

#include <array>

class QDateEdit;
class QLabel;
class QPushButton;
class QTimeEdit;
class QWidget;

struct MediaRange
{
    int startDate = 0; // YYYYMMDD
    int startTime = 0; // HHMMSS
    int finishDate = 0;
    int finishTime = 0;

    // The finish lies strictly after the start.
    bool IsForward() const
    {
        return finishDate > startDate || (finishDate == startDate && finishTime > startTime);
    }
};

class MediaRangeForm
{
public:
    explicit MediaRangeForm(QWidget* page);

    quint32 ChannelMask() const;
    MediaRange Range() const;
    void SetRange(const MediaRange& range);
    void SetEnabled(bool enabled);
    void UncheckChannels();
    // Checks all 16 buttons when none is checked, else unchecks them all.
    void ToggleAll();
    void SetStatus(const QString& text);
    QString Status() const;

    std::array<QPushButton*, 16> channelButtons{};
    QPushButton* allButton = nullptr;
    QDateEdit* startDate = nullptr;
    QTimeEdit* startTime = nullptr;
    QDateEdit* finishDate = nullptr;
    QTimeEdit* finishTime = nullptr;
    QLabel* status = nullptr;
};
