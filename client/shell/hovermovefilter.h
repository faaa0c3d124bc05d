#pragma once
// Passes every pointer movement over the watched window (hover moves arrive even when no button
// is held) to the hub, which uses it in full screen to show and hide the menu bar. Nothing is
// consumed.
#include <QObject>

class HoverMoveFilter : public QObject
{
    Q_OBJECT

public:
    explicit HoverMoveFilter(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
