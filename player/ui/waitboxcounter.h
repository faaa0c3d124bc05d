#pragma once
// The counting behind the wait box: it opens with a number of steps and closes when that many
// steps were counted, at the first step in the style without Cancel, or on Cancel.
#include <QString>

enum class WaitBoxStyle {
    TileView = 0,       // Cancel acts on a tile's playback view
    CalendarSearch = 1, // Cancel acts on the calendar search dialog
    NoCancel = 2,       // no Cancel button; the first step closes the box
};

enum class CancelAction {
    None,
    CloseTileView,
    ClearTileSearch,
    ResetTimeBar,
    HideCalendar,
    ClearCalendarSearch,
};

class WaitBoxCounter
{
public:
    void Show(int steps, const QString& text, WaitBoxStyle style, int kind);
    // Counts one step; a non-empty text replaces the line first. True when the box closes now.
    bool Step(const QString& text);
    // What Cancel abandons for the box's style and kind; the box is closed.
    CancelAction Cancel();

    bool IsShown() const { return m_shown; }
    const QString& Text() const { return m_text; }
    int TotalSteps() const { return m_total; }
    int CurrentStep() const { return m_current; }
    WaitBoxStyle Style() const { return m_style; }

private:
    void Close();

    bool m_shown = false;
    QString m_text;
    int m_total = 0;
    int m_current = 0;
    WaitBoxStyle m_style = WaitBoxStyle::TileView;
    int m_kind = 0;
};
