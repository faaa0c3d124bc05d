#include "ui/ctimeslider.h"

#include <QKeyEvent>
#include <QMouseEvent>

CTimeSlider::CTimeSlider(QWidget* parent)
    : QSlider(Qt::Horizontal, parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void CTimeSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        emit pauseRequested();
    }
    QSlider::mousePressEvent(event);
}

void CTimeSlider::mouseMoveEvent(QMouseEvent* event)
{
    QSlider::mouseMoveEvent(event);
    if (m_dragging)
        emit seekRequested();
}

void CTimeSlider::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasDragging = m_dragging;
    m_dragging = false;
    if (wasDragging)
        emit seekRequested();
    QSlider::mouseReleaseEvent(event);
}

void CTimeSlider::keyPressEvent(QKeyEvent* event)
{
    event->accept();
}

void CTimeSlider::enterEvent(QEvent* event)
{
    m_hover = true;
    emit hoverChanged(true);
    QSlider::enterEvent(event);
}

void CTimeSlider::leaveEvent(QEvent* event)
{
    m_hover = false;
    emit hoverChanged(false);
    QSlider::leaveEvent(event);
}
