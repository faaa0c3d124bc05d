#include "widgets/imagescrollbar.h"

#include <QMouseEvent>

imageScrollBar::imageScrollBar(QWidget* parent)
    : QScrollBar(parent)
{}

void imageScrollBar::mousePressEvent(QMouseEvent* event)
{
    event->ignore();
}

void imageScrollBar::mouseReleaseEvent(QMouseEvent* event)
{
    event->ignore();
}
