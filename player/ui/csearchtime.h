#pragma once
// The time search bar: a 24-hour bar for four tiles at a time with a marker that follows the
// current play group's time, the marker's time as text, page buttons between the four groups
// of four tiles and "Select Date", which leads to the calendar search over a recorder
// connection (the player has none, so it beeps).
#include <functional>

#include <QWidget>

#include "ui/timebarmodel.h"

class CTimeSlider;
class QLabel;
class QPushButton;

class CSearchTime : public QWidget
{
    Q_OBJECT
public:
    static constexpr QPoint kPlace{14, 635};
    static constexpr QSize kSize{716, 119};

    // `isPlaying` tells whether a tile plays (its play flag).
    CSearchTime(std::function<bool(int tile)> isPlaying, QWidget* parent = nullptr);

    void UpdateTimeBar();
    // A play group's time (hhmmss): the marker moves to its three-minute cell and the text shows
    // the time to the second. Left alone while the user drags the marker.
    void ShowGroupTime(int hhmmss);
    void ResetSelection();
    void OnSelectDate();
    // Opens the calendar search; false when there is no recorder to search (then the bar beeps).
    void SetCalendarSearch(std::function<bool()> open) { m_openCalendar = std::move(open); }
    void PageUp();
    void PageDown();
    // A tile's recording from a disk file lies in `count` cells from `firstCell`: they become
    // recorded (1) in the tile's file row, whose other cells are cleared.
    void MarkFileCells(int tile, int firstCell, int count);

    int CurrentGroup() const { return m_group; }
    int CurrentTile() const { return m_tile; }
    void SetCurrentGroup(int group) { m_group = group; }
    void SetCurrentTile(int tile) { m_tile = tile; }
    int MarkerPosition() const { return m_marker; }

    TimeBarModel& Model() { return m_model; }
    CTimeSlider* Slider() const { return m_slider; }
    QString TimeText() const;
    QString CaptionText() const;

signals:
    void beepRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<bool(int)> m_isPlaying;
    std::function<bool()> m_openCalendar;
    TimeBarModel m_model;
    CTimeSlider* m_slider = nullptr;
    QLabel* m_time = nullptr;
    QLabel* m_caption = nullptr;
    QPixmap m_groups;
    int m_group = -1;
    int m_tile = -1;
    int m_marker = 0;
};
