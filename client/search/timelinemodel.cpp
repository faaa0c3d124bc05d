#include "search/timelinemodel.h"

#include <algorithm>

TimelineModel::TimelineModel()
{
    Reset();
}

void TimelineModel::Reset()
{
    m_current = 0;
    m_minutes.fill(0);
    m_thumbnails.fill(-1);
    m_events.fill(-1);
    m_strip.fill(-1);
    m_mode = Mode::TimeLine;
    m_dragging = false;
    m_moved = false;
    m_hold = false;
    m_pressSecond = 0;
    m_lastX = 0;
    m_lastSent = kNoDrag;
}

void TimelineModel::SetMinuteTable(const quint8* table)
{
    if (table)
        std::copy(table, table + kMinutes, m_minutes.begin());
    else
        m_minutes.fill(0);
}

bool TimelineModel::IsRecordedMinute(int minute) const
{
    return minute >= 0 && minute < kMinutes && m_minutes[size_t(minute)] != 0;
}

bool TimelineModel::IsEventMinute(int minute) const
{
    return minute >= 0 && minute < kMinutes && m_minutes[size_t(minute)] > 1;
}

void TimelineModel::BuildMarks()
{
    m_thumbnails.fill(-1);
    m_events.fill(-1);
    size_t slot = 0;
    for (int m = 0; m < kMinutes && slot < m_thumbnails.size();) {
        if (IsRecordedMinute(m)) {
            m_thumbnails[slot++] = m * 60;
            m = (m / kThumbnailBlockMinutes + 1) * kThumbnailBlockMinutes;
        } else {
            ++m;
        }
    }
    size_t mark = 0;
    for (int m = 0; m < kMinutes && mark < m_events.size();) {
        if (IsEventMinute(m)) {
            m_events[mark++] = m * 60;
            m = (m / kEventBlockMinutes + 1) * kEventBlockMinutes;
        } else {
            ++m;
        }
    }
}

int TimelineModel::ThumbnailSecond(int slot) const
{
    return slot >= 0 && slot < kThumbnailSlots ? m_thumbnails[size_t(slot)] : -1;
}

int TimelineModel::EventSecond(int mark) const
{
    return mark >= 0 && mark < kEventMarks ? m_events[size_t(mark)] : -1;
}

int TimelineModel::StripSecond(int slot) const
{
    return slot >= 0 && slot < kStripSlots ? m_strip[size_t(slot)] : -1;
}

int TimelineModel::UsedThumbnailSlots() const
{
    return int(std::count_if(m_thumbnails.begin(), m_thumbnails.end(), [](int s) { return s >= 0; }));
}

int TimelineModel::ClampSecond(int second)
{
    return std::clamp(second, 0, kSecondsPerDay);
}

bool TimelineModel::SetCurrentSecond(int second)
{
    if (m_dragging || m_lastSent != kNoDrag || m_hold)
        return false;
    m_current = ClampSecond(second);
    return true;
}

int TimelineModel::ViewOffsetOf(int minute)
{
    return std::clamp(minute - kHalfView, 0, kLastOffset);
}

int TimelineModel::MarkerLeft(int mark) const
{
    const int second = EventSecond(mark);
    return second < 0 ? -1 : second / 60 - 1 - ViewOffset();
}

bool TimelineModel::MarkerVisible(int mark) const
{
    if (EventSecond(mark) < 0)
        return false;
    const int left = MarkerLeft(mark);
    return left + kMarkerWidth > 0 && left < kViewWidth;
}

int TimelineModel::MarkerAt(int x, int y) const
{
    if (y < kMarkerTop || y > kMarkerTop + kMarkerHeight)
        return -1;
    for (int mark = 0; mark < kEventMarks; ++mark) {
        if (!MarkerVisible(mark))
            continue;
        const int left = MarkerLeft(mark);
        if (x >= left && x <= left + kMarkerWidth)
            return mark;
    }
    return -1;
}

int TimelineModel::ThumbnailAt(int dayX, int y) const
{
    if (y < kThumbTop || y > kThumbTop + kThumbHeight)
        return -1;
    for (int slot = 0; slot < kThumbnailSlots; ++slot) {
        const int second = m_thumbnails[size_t(slot)];
        if (second < 0)
            continue;
        const int minute = second / 60;
        if (dayX >= minute && dayX <= minute + kThumbWidth)
            return slot;
    }
    return -1;
}

int TimelineModel::StripSlotAt(int x, int y)
{
    if (y < kStripTop || y > kStripTop + kStripHeight)
        return -1;
    for (int slot = 0; slot < kStripSlots; ++slot) {
        const int left = kStripLeft + kStripStep * slot;
        if (x >= left && x <= left + kStripWidth)
            return slot;
    }
    return -1;
}

void TimelineModel::EnterEventStrip(int eventSecond)
{
    m_mode = Mode::EventStrip;
    m_strip.fill(-1);
    size_t filled = 0;
    for (int k = 0; k < kStripSlots; ++k) {
        const int second = eventSecond + 60 * k;
        // The strip ends with the day: a mark in the last minutes has fewer pictures.
        if (second > kLastSecond)
            break;
        if (IsEventMinute(second / 60))
            m_strip[filled++] = second;
    }
}

void TimelineModel::StartDrag(int x)
{
    m_dragging = true;
    m_moved = false;
    m_pressSecond = m_current;
    m_lastX = x;
    m_lastSent = m_current;
}

TimelineModel::PressResult TimelineModel::Press(int x, int y, int& second)
{
    if (m_mode == Mode::EventStrip) {
        const int slot = StripSlotAt(x, y);
        second = StripSecond(slot);
        return second >= 0 ? PressResult::StripJump : PressResult::Nothing;
    }
    const int mark = MarkerAt(x, y);
    if (mark >= 0) {
        second = EventSecond(mark);
        EnterEventStrip(second);
        return PressResult::EventStrip;
    }
    StartDrag(x);
    second = m_current;
    return PressResult::DragStarted;
}

bool TimelineModel::Move(int x)
{
    if (!m_dragging || m_mode != Mode::TimeLine)
        return false;
    const int before = m_current;
    m_current = ClampSecond(m_current + (m_lastX - x) * 60);
    m_lastX = x;
    if (m_current != before)
        m_moved = true;
    return m_current != before;
}

bool TimelineModel::TakeDragTick(int& second)
{
    if (m_lastSent == kNoDrag || m_current == m_lastSent)
        return false;
    m_lastSent = m_current;
    second = m_current;
    return true;
}

bool TimelineModel::Release(int x, int y, int& second)
{
    if (m_mode != Mode::TimeLine)
        return false;
    const bool wasDragging = m_dragging;
    m_lastSent = kNoDrag;
    m_dragging = false;
    bool jump = false;
    if (wasDragging && m_current == m_pressSecond) {
        const int slot = ThumbnailAt(x + ViewOffset(), y);
        if (slot >= 0) {
            second = ThumbnailSecond(slot);
            jump = true;
        }
    } else if (wasDragging && m_moved) {
        second = m_current;
        jump = true;
    }
    m_moved = false;
    m_hold = jump;
    return jump;
}

bool TimelineModel::Wheel(int delta, bool& started)
{
    started = false;
    if (m_mode != Mode::TimeLine)
        return false;
    if (m_lastSent == kNoDrag) {
        m_pressSecond = m_current;
        m_lastSent = m_current;
        started = true;
    }
    const int steps = delta / 8 / 15;
    const int before = m_current;
    m_current = ClampSecond(m_current + (m_wheelSpeed == WheelSpeed::Minute ? steps * 60 : steps));
    return m_current != before;
}

bool TimelineModel::EndIdleWheelDrag()
{
    if (m_dragging || m_lastSent == kNoDrag || m_current != m_lastSent)
        return false;
    m_lastSent = kNoDrag;
    return true;
}
