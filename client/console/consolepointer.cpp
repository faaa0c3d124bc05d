#include "console/consolepointer.h"

ConsolePointer::ConsolePointer(Clock clock)
    : m_clock(std::move(clock))
    , m_lastPress(m_clock())
{}

void ConsolePointer::SetRestartZones(const QVector<QRect>& zones, bool blocked)
{
    m_zones = zones;
    m_restartBlocked = blocked;
}

void ConsolePointer::ClearRestartZones()
{
    m_zones.clear();
    m_restartBlocked = false;
}

bool ConsolePointer::InRestartZone(const QPoint& at) const
{
    for (const QRect& z : m_zones)
        if (at.x() >= z.x() && at.x() <= z.x() + z.width() && at.y() >= z.y() && at.y() <= z.y() + z.height())
            return true;
    return false;
}

PressVerdict ConsolePointer::Press(const QPoint& at, PointerButton button, int* code)
{
    const qint64 now = m_clock();
    if (now - m_lastPress < kDebounceMs)
        return PressVerdict::Ignored;
    if (m_restartBlocked && InRestartZone(at))
        return PressVerdict::Refused;
    if (button == PointerButton::Other)
        return PressVerdict::Ignored;
    (button == PointerButton::Left ? m_leftPressed : m_rightPressed) = true;
    m_lastPress = now;
    if (code)
        *code = button == PointerButton::Left ? 1 : 2;
    return PressVerdict::Send;
}

bool ConsolePointer::Release(PointerButton button)
{
    bool* pressed = button == PointerButton::Left    ? &m_leftPressed
                    : button == PointerButton::Right ? &m_rightPressed
                                                     : nullptr;
    if (!pressed || !*pressed)
        return false;
    *pressed = false;
    return true;
}
