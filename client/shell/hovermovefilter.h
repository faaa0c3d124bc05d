#pragma once
// Passes every pointer movement over the watched window (hover moves arrive even when no button
// is held) to the handler it is given: the main window uses it in full screen to show and hide
// the menu bar. Nothing is consumed.
#include <QObject>

#include <functional>

class HoverMoveFilter : public QObject
{
    Q_OBJECT

public:
    // Called with the pointer's position and the one before it.
    using MoveHandler = std::function<void(int x, int y, int oldX, int oldY)>;

    explicit HoverMoveFilter(MoveHandler onMove, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MoveHandler m_onMove;
};
