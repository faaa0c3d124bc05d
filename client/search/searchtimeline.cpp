#include "search/searchtimeline.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

constexpr int kRecordTop = 77;
constexpr int kRecordBottom = 80;
constexpr int kCursorBottom = 80;

QImage BlackPicture(int w, int h)
{
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(Qt::black);
    return picture;
}

} // namespace

SearchTimeline::SearchTimeline(QWidget* parent)
    : QLabel(parent)
{
    setFixedSize(TimelineModel::kViewWidth, TimelineModel::kViewHeight);
    for (auto& marker : m_markers) {
        marker = new QWidget(this);
        marker->setFixedSize(TimelineModel::kMarkerWidth, TimelineModel::kMarkerHeight);
        marker->setStyleSheet(QStringLiteral("background-color: red; border: 1px solid white;"));
        // The time line takes the clicks on a marker.
        marker->setAttribute(Qt::WA_TransparentForMouseEvents);
        marker->hide();
    }
    m_thumbTimer.setInterval(kDragTickMs);
    connect(&m_thumbTimer, &QTimer::timeout, this, &SearchTimeline::OnThumbTimer);
    ResetTimeline();
}

void SearchTimeline::ResetTimeline()
{
    m_thumbTimer.stop();
    m_model.Reset();
    for (QImage& picture : m_thumbnails)
        picture = BlackPicture(10, 10);
    for (QImage& picture : m_strip)
        picture = BlackPicture(TimelineModel::kStripWidth, TimelineModel::kStripHeight);
    HideMarkers();
    RedrawBase();
}

QWidget* SearchTimeline::Marker(int mark) const
{
    return mark >= 0 && mark < TimelineModel::kEventMarks ? m_markers[size_t(mark)] : nullptr;
}

void SearchTimeline::SetCurrentSecond(int second)
{
    if (m_model.SetCurrentSecond(second) && m_model.GetMode() == TimelineModel::Mode::TimeLine)
        RedrawView();
}

void SearchTimeline::SetMinuteTable(const quint8* table)
{
    m_model.SetMinuteTable(table);
    m_model.BuildMarks();
}

void SearchTimeline::SetThumbnail(int slot, const QImage& picture)
{
    if (slot >= 0 && slot < TimelineModel::kThumbnailSlots)
        m_thumbnails[size_t(slot)] = picture;
}

void SearchTimeline::SetStripPicture(int slot, const QImage& picture)
{
    if (slot >= 0 && slot < TimelineModel::kStripSlots)
        m_strip[size_t(slot)] = picture;
}

QImage SearchTimeline::ThumbnailPicture(int slot) const
{
    return slot >= 0 && slot < TimelineModel::kThumbnailSlots ? m_thumbnails[size_t(slot)] : QImage();
}

void SearchTimeline::RedrawBase()
{
    m_base = QImage(QStringLiteral(":/res/Resource/timeline.png")).convertToFormat(QImage::Format_RGB32);
    if (m_base.isNull())
        m_base = BlackPicture(TimelineModel::kMinutes + 1, TimelineModel::kViewHeight);
    QPainter painter(&m_base);
    for (const bool events : {false, true}) {
        painter.setPen(events ? Qt::red : Qt::blue);
        for (int m = 0; m < TimelineModel::kMinutes; ++m) {
            if (events ? m_model.IsEventMinute(m) : m_model.IsRecordedMinute(m))
                painter.drawLine(m, kRecordTop, m, kRecordBottom);
        }
    }
    painter.setPen(Qt::white);
    for (int slot = 0; slot < TimelineModel::kThumbnailSlots; ++slot) {
        const int second = m_model.ThumbnailSecond(slot);
        if (second < 0)
            continue;
        const int minute = second / 60;
        painter.drawImage(
            minute, TimelineModel::kThumbTop,
            m_thumbnails[size_t(slot)].scaled(TimelineModel::kThumbWidth, TimelineModel::kThumbHeight));
        painter.drawRect(minute, TimelineModel::kThumbTop, TimelineModel::kThumbWidth - 1,
                         TimelineModel::kThumbHeight - 1);
    }
    painter.end();
    if (m_model.GetMode() == TimelineModel::Mode::TimeLine)
        RedrawView();
}

void SearchTimeline::RedrawView()
{
    QImage day = m_base;
    QPainter painter(&day);
    const int minute = m_model.CurrentSecond() / 60;
    painter.setPen(QPen(Qt::red, 2));
    painter.drawLine(minute, 0, minute, kCursorBottom);
    painter.end();
    m_shown = day.copy(m_model.ViewOffset(), 0, TimelineModel::kViewWidth, TimelineModel::kViewHeight);
    setPixmap(QPixmap::fromImage(m_shown));
    PlaceMarkers();
}

void SearchTimeline::PlaceMarkers()
{
    for (int mark = 0; mark < TimelineModel::kEventMarks; ++mark) {
        QWidget* marker = m_markers[size_t(mark)];
        if (!m_model.MarkerVisible(mark)) {
            marker->hide();
            continue;
        }
        marker->move(m_model.MarkerLeft(mark), TimelineModel::kMarkerTop);
        marker->show();
    }
}

void SearchTimeline::HideMarkers()
{
    for (QWidget* marker : m_markers)
        marker->hide();
}

void SearchTimeline::DrawEventStrip()
{
    QImage strip(TimelineModel::kViewWidth, TimelineModel::kViewHeight, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter painter(&strip);
    painter.setPen(Qt::black);
    for (int slot = 0; slot < TimelineModel::kStripSlots; ++slot) {
        const int second = m_model.StripSecond(slot);
        if (second < 0)
            continue;
        const int x = TimelineModel::kStripLeft + TimelineModel::kStripStep * slot;
        painter.drawImage(x, TimelineModel::kStripTop,
                          m_strip[size_t(slot)].scaled(TimelineModel::kStripWidth, TimelineModel::kStripHeight));
        painter.drawRect(x, TimelineModel::kStripTop, TimelineModel::kStripWidth - 1,
                         TimelineModel::kStripHeight - 1);
        painter.drawText(QRect(QPoint(x, 80), QPoint(x + 84, 109)), Qt::AlignCenter,
                         QString::asprintf("%02d:%02d:00", second / 3600, (second / 60) % 60));
    }
    painter.end();
    m_shown = strip;
    setPixmap(QPixmap::fromImage(m_shown));
    HideMarkers();
}

void SearchTimeline::LeaveEventStrip()
{
    m_model.LeaveEventStrip();
    RedrawView();
}

void SearchTimeline::OnThumbTimer()
{
    int second = 0;
    if (m_model.TakeDragTick(second)) {
        emit SetDragTime(second);
        return;
    }
    if (m_model.EndIdleWheelDrag())
        m_thumbTimer.stop();
}

void SearchTimeline::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    int second = 0;
    switch (m_model.Press(event->pos().x(), event->pos().y(), second)) {
    case TimelineModel::PressResult::EventStrip:
        for (QImage& picture : m_strip)
            picture = BlackPicture(TimelineModel::kStripWidth, TimelineModel::kStripHeight);
        DrawEventStrip();
        emit GetEventThumbnail();
        break;
    case TimelineModel::PressResult::DragStarted:
        m_thumbTimer.start();
        emit OnMousePress();
        break;
    case TimelineModel::PressResult::StripJump: emit SetMoveTime(second, false); break;
    case TimelineModel::PressResult::Nothing: break;
    }
}

void SearchTimeline::mouseMoveEvent(QMouseEvent* event)
{
    if (m_model.Move(event->pos().x()))
        RedrawView();
}

void SearchTimeline::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_model.GetMode() != TimelineModel::Mode::TimeLine)
        return;
    m_thumbTimer.stop();
    int second = 0;
    if (m_model.Release(event->pos().x(), event->pos().y(), second))
        emit SetMoveTime(second, true);
}

void SearchTimeline::wheelEvent(QWheelEvent* event)
{
    bool started = false;
    const bool changed = m_model.Wheel(event->angleDelta().y(), started);
    if (started) {
        m_thumbTimer.start();
        emit OnMousePress();
    }
    if (changed)
        RedrawView();
}
