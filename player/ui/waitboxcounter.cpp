#include "ui/waitboxcounter.h"

void WaitBoxCounter::Show(int steps, const QString& text, WaitBoxStyle style, int kind)
{
    m_text = text;
    m_style = style;
    m_kind = kind;
    m_total = steps;
    m_current = 0;
    m_shown = true;
}

bool WaitBoxCounter::Step(const QString& text)
{
    if (!text.isEmpty())
        m_text = text;
    ++m_current;
    if (m_current >= m_total || m_style == WaitBoxStyle::NoCancel) {
        const bool wasShown = m_shown;
        Close();
        return wasShown;
    }
    return false;
}

CancelAction WaitBoxCounter::Cancel()
{
    CancelAction action = CancelAction::None;
    const bool early = m_kind == 0;
    const bool search = m_kind == 1 || m_kind == 2;
    if (m_style == WaitBoxStyle::TileView)
        action = early ? CancelAction::CloseTileView
                       : (search ? CancelAction::ClearTileSearch : CancelAction::ResetTimeBar);
    else if (m_style == WaitBoxStyle::CalendarSearch)
        action = early ? CancelAction::HideCalendar
                       : (search ? CancelAction::ClearCalendarSearch : CancelAction::None);
    Close();
    return action;
}

void WaitBoxCounter::Close()
{
    m_text.clear();
    m_total = 0;
    m_current = 0;
    m_shown = false;
}
