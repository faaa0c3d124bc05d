#pragma once
// A slider of the configuration console that never moves by itself: presses, releases and wheel
// turns go on to the window that holds it, which forwards them to the recorder.
#include <QSlider>

class imageSlider : public QSlider
{
    Q_OBJECT

public:
    explicit imageSlider(QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};
