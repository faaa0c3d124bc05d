#pragma once
// The skinned panels' tooltips: dark blue tips with the skin's light text that wake after a
// short delay of their own rather than the desktop's.
#include <QColor>
#include <initializer_list>

class QWidget;

class SkinTooltip
{
public:
    static constexpr int kWakeUpDelayMs = 200;
    static QColor Background() { return QColor(35, 56, 85); }
    static QColor Text() { return QColor(212, 230, 255); }

    // Gives the tips of `panel` the skin's colours and each of `tools` the delay. The style that
    // carries the delay belongs to the panel.
    static void Apply(QWidget* panel, std::initializer_list<QWidget*> tools);
    // Gives each of `tools` the delay only (the owner keeps the colours it sets itself); the style
    // that carries it belongs to `owner`, one for all its tools.
    static void SetDelay(QWidget* owner, std::initializer_list<QWidget*> tools);
};
