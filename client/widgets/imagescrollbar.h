#pragma once
// A scroll bar of the configuration console that never moves by itself: presses and releases go
// on to the window that holds it.
#include <QScrollBar>

class imageScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit imageScrollBar(QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
