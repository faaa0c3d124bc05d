#pragma once
// The quick search's 24-hour time line: the day picture (one pixel a minute) with record marks,
// key-frame thumbnails and event marks, shown 960 pixels at a time around the cursor, dragged and
// wheeled to seek; or, after a click on an event mark, the strip of that event's pictures.
// The state and arithmetic live in TimelineModel; this class draws it and signals.
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

#include <array>

#include "search/timelinemodel.h"

class SearchTimeline : public QLabel
{
    Q_OBJECT

public:
    static constexpr int kDragTickMs = 66;

    explicit SearchTimeline(QWidget* parent = nullptr);

    TimelineModel& Model() { return m_model; }
    const TimelineModel& Model() const { return m_model; }

    void ResetTimeline();
    // From outside (playback progress); ignored while a drag or a hold runs.
    void SetCurrentSecond(int second);
    void SetMinuteTable(const quint8* table);
    void SetThumbnail(int slot, const QImage& picture);
    void SetStripPicture(int slot, const QImage& picture);
    QImage ThumbnailPicture(int slot) const;
    // Paints the day picture again from the table and the thumbnails, then the view.
    void RedrawBase();
    void RedrawView();
    void DrawEventStrip();
    void LeaveEventStrip();
    // The shown 960 x 110 picture.
    QImage ShownPicture() const { return m_shown; }
    QWidget* Marker(int mark) const;

signals:
    void SetMoveTime(int, bool);
    void SetDragTime(int);
    void OnMousePress();
    void GetEventThumbnail();

public slots:
    void OnThumbTimer();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void PlaceMarkers();
    void HideMarkers();

    TimelineModel m_model;
    QImage m_base;
    QImage m_shown;
    std::array<QImage, TimelineModel::kThumbnailSlots> m_thumbnails;
    std::array<QImage, TimelineModel::kStripSlots> m_strip;
    std::array<QWidget*, TimelineModel::kEventMarks> m_markers{};
    QTimer m_thumbTimer;
};
