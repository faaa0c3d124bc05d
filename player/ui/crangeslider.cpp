#include "ui/crangeslider.h"

#include <QMouseEvent>
#include <QPainter>

CRangeSlider::CRangeSlider(QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
}

void CRangeSlider::Announce(const RangeModel::Changes& changes)
{
    for (const int which : changes)
        emit rangeChanged(which, 0);
    update();
}

void CRangeSlider::SetMinMax(double a, double b)
{
    Announce(m_model.SetMinMax(a, b));
}

void CRangeSlider::SetRange(double left, double right)
{
    Announce(m_model.SetRange(left, right));
}

void CRangeSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int a = Arrow();
    const int h = height();
    const int left = m_model.LeftPixel(Track());
    const int right = m_model.RightPixel(Track());
    painter.fillRect(rect(), palette().mid());
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.fillRect(QRect(QPoint(left + a + 1, 1), QPoint(right + a - 1, h - 2)), Qt::white);
    auto thumb = [&](int x, bool pointsRight, bool grabbed) {
        const QRect box(x, 0, a, h);
        painter.fillRect(box, palette().button());
        painter.setPen(Qt::black);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        if (!grabbed) {
            painter.setPen(palette().light().color());
            painter.drawLine(box.left() + 1, box.top() + 1, box.right() - 1, box.top() + 1);
            painter.drawLine(box.left() + 1, box.top() + 1, box.left() + 1, box.bottom() - 1);
            painter.setPen(palette().dark().color());
            painter.drawLine(box.right() - 1, box.top() + 1, box.right() - 1, box.bottom() - 1);
            painter.drawLine(box.left() + 1, box.bottom() - 1, box.right() - 1, box.bottom() - 1);
        }
        painter.setBrush(Qt::black);
        painter.setPen(Qt::NoPen);
        const QPolygon arrow = pointsRight
                                   ? QPolygon({QPoint(x + a / 3, h / 3), QPoint(x + a / 3, 2 * h / 3),
                                               QPoint(x + 2 * a / 3, h / 2)})
                                   : QPolygon({QPoint(x + 2 * a / 3, h / 3), QPoint(x + 2 * a / 3, 2 * h / 3),
                                               QPoint(x + a / 3, h / 2)});
        painter.drawPolygon(arrow);
    };
    thumb(left, true, m_dragging && m_grabbed == RangeModel::Part::Left);
    thumb(right + a, false, m_dragging && m_grabbed == RangeModel::Part::Right);
    if (hasFocus()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(QPoint(left + a + 4, 4), QPoint(right + a - 4, h - 5)));
    }
}

void CRangeSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setFocus();
    update();
    if (m_dragging)
        return;
    const int a = Arrow();
    const int x = event->pos().x();
    const int left = m_model.LeftPixel(Track());
    const int right = m_model.RightPixel(Track());
    if (x >= left && x < left + a) {
        m_grabbed = RangeModel::Part::Left;
        m_grabOffset = x - (left + a / 2);
    } else if (x >= right + a && x < right + 2 * a) {
        m_grabbed = RangeModel::Part::Right;
        m_grabOffset = x - (right + a + a / 2);
    } else if (x >= left + a && x < right + a) {
        m_grabbed = RangeModel::Part::Middle;
        m_grabOffset = x - (left + right + 2 * a) / 2;
    } else {
        return;
    }
    m_dragging = true;
    grabMouse();
}

void CRangeSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    emit rangeChanging(m_model.Drag(m_grabbed, event->pos().x() - m_grabOffset, Arrow(), Track()));
    update();
}

void CRangeSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int grabbed = static_cast<int>(m_grabbed);
    if (m_dragging)
        releaseMouse();
    m_dragging = false;
    update();
    emit rangeChanged(2, grabbed);
}
