#pragma once
// The state and arithmetic of the quick search's 24-hour time line, free of widgets: the current
// second of the day, the day's minute table, the thumbnail slots and event marks built from it,
// the 960-pixel view on the 1440-minute day, the drag and wheel steps, and the event strip.
// SearchTimeline draws it and turns its answers into signals.
#include <QtGlobal>

#include <array>

class TimelineModel
{
public:
    static constexpr int kSecondsPerDay = 86400;
    static constexpr int kLastSecond = kSecondsPerDay - 1;
    static constexpr int kMinutes = 1440;
    static constexpr int kThumbnailSlots = 24;
    static constexpr int kEventMarks = 150;
    static constexpr int kStripSlots = 10;
    static constexpr int kViewWidth = 960;
    static constexpr int kViewHeight = 110;
    static constexpr int kHalfView = 480;
    static constexpr int kLastOffset = 481;
    static constexpr int kNoDrag = -999;
    static constexpr int kThumbnailBlockMinutes = 120;
    static constexpr int kEventBlockMinutes = 10;
    // Geometry of the thumbnails on the day picture, the event marker boxes in the view and the
    // pictures of the event strip.
    static constexpr int kThumbTop = 5;
    static constexpr int kThumbWidth = 110;
    static constexpr int kThumbHeight = 70;
    static constexpr int kMarkerTop = 80;
    static constexpr int kMarkerWidth = 10;
    static constexpr int kMarkerHeight = 8;
    static constexpr int kStripLeft = 10;
    static constexpr int kStripStep = 95;
    static constexpr int kStripTop = 20;
    static constexpr int kStripWidth = 90;
    static constexpr int kStripHeight = 56;

    enum class Mode { TimeLine, EventStrip };
    enum class WheelSpeed { Second, Minute };

    // What a press did.
    enum class PressResult {
        Nothing,
        EventStrip, // an event marker was hit: the strip is filled, its pictures are wanted
        DragStarted,
        StripJump, // a strip picture with a second was hit: `second` is where to play
    };

    TimelineModel();

    // Second 0, offset 0, no drag, time-line mode, zeroed table, empty slots, marks and strip.
    void Reset();

    // The day's minute table (kMinutes bytes): bit 0 recorded, a value above 1 an event.
    void SetMinuteTable(const quint8* table);
    const std::array<quint8, kMinutes>& MinuteTable() const { return m_minutes; }
    bool IsRecordedMinute(int minute) const;
    bool IsEventMinute(int minute) const;
    // The first recorded minute of every two-hour block gives a thumbnail slot, the first event
    // minute of every ten-minute block an event mark.
    void BuildMarks();
    int ThumbnailSecond(int slot) const;
    int EventSecond(int mark) const;
    int StripSecond(int slot) const;
    int UsedThumbnailSlots() const;

    // The second of the day; a value from outside (playback progress) is ignored while a drag or
    // a hold runs. Clamped to 0..86400.
    int CurrentSecond() const { return m_current; }
    bool SetCurrentSecond(int second);
    // The first minute shown: the cursor's minute less half the view, within 0 and 481.
    int ViewOffset() const { return ViewOffsetOf(m_current / 60); }
    static int ViewOffsetOf(int minute);
    // The left edge of an event mark's box in view coordinates (one pixel left of its minute).
    int MarkerLeft(int mark) const;
    bool MarkerVisible(int mark) const;
    // The visible event mark at a view point, -1 for none.
    int MarkerAt(int x, int y) const;
    // The filled thumbnail slot at a day-picture point, -1 for none.
    int ThumbnailAt(int dayX, int y) const;
    // The strip picture with a second at a point, -1 for none.
    static int StripSlotAt(int x, int y);

    Mode GetMode() const { return m_mode; }
    void LeaveEventStrip() { m_mode = Mode::TimeLine; }
    // Fills the strip from an event second: that minute and the nine after it that are event
    // minutes, never beyond the day's last second.
    void EnterEventStrip(int eventSecond);

    PressResult Press(int x, int y, int& second);
    // A move while dragging: true when the second changed.
    bool Move(int x);
    // The drag timer's tick: true (with the second) when the second moved since the last tick.
    bool TakeDragTick(int& second);
    // The release: true with the second to play from when it is a jump (a click on a thumbnail,
    // or the end of a drag that moved).
    bool Release(int x, int y, int& second);
    // A wheel turn: `started` tells that it began a drag; true when the second changed.
    bool Wheel(int delta, bool& started);
    // A drag begun by the wheel has no release to end it: once a tick finds nothing new it ends
    // here (true), so that playback progress moves the cursor again.
    bool EndIdleWheelDrag();
    bool IsDragging() const { return m_lastSent != kNoDrag; }
    bool IsHeld() const { return m_hold; }
    void ClearHold() { m_hold = false; }

    WheelSpeed GetWheelSpeed() const { return m_wheelSpeed; }
    void SetWheelSpeed(WheelSpeed speed) { m_wheelSpeed = speed; }

private:
    void StartDrag(int x);
    static int ClampSecond(int second);

    int m_current = 0;
    std::array<quint8, kMinutes> m_minutes{};
    std::array<int, kThumbnailSlots> m_thumbnails{};
    std::array<int, kEventMarks> m_events{};
    std::array<int, kStripSlots> m_strip{};
    Mode m_mode = Mode::TimeLine;
    bool m_dragging = false;
    bool m_moved = false;
    bool m_hold = false;
    int m_pressSecond = 0;
    int m_lastX = 0;
    int m_lastSent = kNoDrag;
    WheelSpeed m_wheelSpeed = WheelSpeed::Second;
};
