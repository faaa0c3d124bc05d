#include "widgets/rangeslider.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

RangeSlider::RangeSlider(QWidget* parent)
    : QLabel(parent)
{
    setFrameShape(QFrame::Box);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &RangeSlider::drawSlider, this, &RangeSlider::OnDrawSlider);
    emit drawSlider();
}

void RangeSlider::SetRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    const int track = width() - 2 * kHandleWidth;
    const int span = maximum - minimum;
    m_pixelsPerValue = span > 0 ? float(track) / float(span) : 0.0f;
    m_valuesPerPixel = track > 0 ? float(span) / float(track) : 0.0f;
}

void RangeSlider::SetValue(int low, int high)
{
    m_low = low;
    m_high = high;
    UpdatePositions();
    SeparateEqualValues();
    emit drawSlider();
}

void RangeSlider::UpdatePositions()
{
    m_lowPos = PositionOf(m_low);
    m_highPos = PositionOf(m_high);
}

void RangeSlider::SeparateEqualValues()
{
    if (m_low != m_high)
        return;
    if (m_high + 1 <= m_maximum)
        m_high += 1;
    else if (m_low - 1 >= m_minimum)
        m_low -= 1;
}

void RangeSlider::Announce()
{
    emit drawSlider();
    emit valueChanged(m_low, m_high);
}

void RangeSlider::Shift(int delta)
{
    m_low += delta;
    m_high += delta;
    SeparateEqualValues();
    UpdatePositions();
    Announce();
}

void RangeSlider::OnDrawSlider()
{
    const int w = std::max(width(), 1);
    const int h = std::max(height(), 1);
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(Qt::gray);
    QPainter painter(&image);
    QPen wide(QColor(0x35, 0x53, 0x7C), 2 * h, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    painter.setPen(wide);
    painter.drawLine(m_lowPos, 0, m_lowPos + kHandleWidth, 0);
    painter.drawLine(m_highPos + kHandleWidth, 0, m_highPos + 2 * kHandleWidth, 0);
    wide.setColor(QColor(0xA5, 0xD2, 0xFE));
    painter.setPen(wide);
    painter.drawLine(m_lowPos + kHandleWidth, 0, m_highPos + kHandleWidth, 0);
    painter.setPen(QPen(QColor(0x33, 0x99, 0xFF), 2));
    for (int left : {m_lowPos, m_highPos + kHandleWidth}) {
        const int right = left + kHandleWidth;
        painter.drawLine(left, 1, right, 1);
        painter.drawLine(left, h - 1, right, h - 1);
        painter.drawLine(left, 1, left, h - 1);
        painter.drawLine(right, 1, right, h - 1);
    }
    painter.end();
    setPixmap(QPixmap::fromImage(image));
}

void RangeSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_moved = false;
    const int x = event->pos().x();
    if (m_lowPos <= x && x <= m_lowPos + kHandleWidth) {
        m_dragLow = true;
        m_lastLowX = x;
    } else if (m_highPos + kHandleWidth <= x && x <= m_highPos + 2 * kHandleWidth) {
        m_dragHigh = true;
        m_lastHighX = x;
    } else if (m_lowPos + kHandleWidth <= x && x <= m_highPos + kHandleWidth) {
        m_dragBand = true;
        m_lastBandX = x;
    } else if (x < m_lowPos) {
        if (m_low < 1)
            return;
        Shift(m_low < kPageStep + 1 ? -m_low : -kPageStep);
    } else if (x > m_highPos + 2 * kHandleWidth) {
        if (m_high >= kDayEnd)
            return;
        Shift(m_high >= kDayEnd - kPageStep ? kDayEnd - m_high : kPageStep);
    }
}

void RangeSlider::mouseMoveEvent(QMouseEvent* event)
{
    const int x = event->pos().x();
    const int right = width() - 2 * kHandleWidth;
    if (m_dragLow) {
        m_lowPos = std::min({std::max(m_lowPos + x - m_lastLowX, 0), right, m_highPos});
        m_lastLowX = x;
    } else if (m_dragHigh) {
        m_highPos = std::max(std::min(std::max(m_highPos + x - m_lastHighX, 0), right), m_lowPos);
        m_lastHighX = x;
    } else if (m_dragBand) {
        const int delta = x - m_lastBandX;
        if (m_lowPos + delta >= 0 && m_highPos + delta + 2 * kHandleWidth <= width()) {
            m_lowPos += delta;
            m_highPos += delta;
        }
        m_lastBandX = x;
    } else {
        return;
    }
    m_low = ValueOf(m_lowPos);
    m_high = ValueOf(m_highPos);
    if (m_low == m_high) {
        if (m_dragLow && m_low > m_minimum) {
            m_low -= 1;
            m_lowPos = PositionOf(m_low);
        } else if (m_dragHigh && m_high < m_maximum) {
            m_high += 1;
            m_highPos = PositionOf(m_high);
        }
    }
    m_moved = true;
    Announce();
}

void RangeSlider::mouseReleaseEvent(QMouseEvent* /*event*/)
{
    if (!m_moved) {
        if (m_dragLow && m_low > m_minimum) {
            m_low -= 1;
            m_lowPos = PositionOf(m_low);
            Announce();
        } else if (m_dragHigh && m_high < m_maximum) {
            m_high += 1;
            m_highPos = PositionOf(m_high);
            Announce();
        }
    }
    m_dragLow = m_dragHigh = m_dragBand = m_moved = false;
}

void RangeSlider::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Left) {
        if (m_low >= 1)
            Shift(-1);
    } else if (event->key() == Qt::Key_Right) {
        if (m_high < kDayEnd)
            Shift(1);
    } else {
        QLabel::keyPressEvent(event);
    }
}
