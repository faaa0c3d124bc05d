#include "widgets/imageslider.h"

#include <QMouseEvent>
#include <QWheelEvent>

imageSlider::imageSlider(QWidget* parent)
    : QSlider(parent)
{}

void imageSlider::mousePressEvent(QMouseEvent* event)
{
    event->ignore();
}

void imageSlider::mouseReleaseEvent(QMouseEvent* event)
{
    event->ignore();
}

void imageSlider::wheelEvent(QWheelEvent* event)
{
    event->ignore();
}
