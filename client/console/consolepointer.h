#pragma once
// The console's mouse rules, without the window: a press less than 500 ms after the last
// accepted one is ignored (and so is its release), a release is sent only for a button whose
// press was sent, and presses on a shutdown page's table buttons are refused without restart
// permission. The time comes from an injected clock so that the rules are tested without waits.
#include <QPoint>
#include <QRect>
#include <QVector>

#include <functional>

enum class PointerButton { Left, Right, Other };
enum class PressVerdict { Ignored, Refused, Send };

class ConsolePointer
{
public:
    static constexpr int kDebounceMs = 500;
    using Clock = std::function<qint64()>; // milliseconds

    explicit ConsolePointer(Clock clock);

    void SetRestartZones(const QVector<QRect>& zones, bool blocked);
    void ClearRestartZones();
    bool RestartBlocked() const { return m_restartBlocked; }
    int ZoneCount() const { return m_zones.size(); }

    // Whether the press is sent; a sent press opens its button's release. The button code of the
    // press message is given through `code` (1 left, 2 right).
    PressVerdict Press(const QPoint& at, PointerButton button, int* code);
    // Whether the release is sent (its button's press was).
    bool Release(PointerButton button);

private:
    bool InRestartZone(const QPoint& at) const;

    Clock m_clock;
    qint64 m_lastPress = 0;
    bool m_leftPressed = false;
    bool m_rightPressed = false;
    bool m_restartBlocked = false;
    QVector<QRect> m_zones;
};
