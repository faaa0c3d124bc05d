#include "widgets/rangeslider.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace {

const QColor kHandleColor(0x35, 0x53, 0x7C);
const QColor kBandColor(0xA5, 0xD2, 0xFE);
const QColor kOutlineColor(0x33, 0x99, 0xFF);

void DrawOutline(QPainter& painter, int left, int right, int height)
{
    painter.drawLine(left, 1, right, 1);
    painter.drawLine(left, height - 1, right, height - 1);
    painter.drawLine(left, 1, left, height - 1);
    painter.drawLine(right, 1, right, height - 1);
}

} // namespace

RangeSlider::RangeSlider(QWidget* parent)
    : QLabel(parent)
{
    setFrameShape(QFrame::Box);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &RangeSlider::drawSlider, this, &RangeSlider::OnDrawSlider);
    emit drawSlider();
}

void RangeSlider::ComputeScale()
{
    const int span = m_maximum - m_minimum;
    const int pixels = width() - 2 * kHandleWidth;
    // An empty range or a slider too narrow for its handles has no scale: nothing moves.
    if (span <= 0 || pixels <= 0) {
        m_pixelsPerValue = 0;
        m_valuesPerPixel = 0;
        return;
    }
    m_pixelsPerValue = float(pixels) / float(span);
    m_valuesPerPixel = float(span) / float(pixels);
}

int RangeSlider::PositionOf(int value) const
{
    return int(float(value) * m_pixelsPerValue);
}

void RangeSlider::ComputePositions()
{
    m_lowPosition = PositionOf(m_low);
    m_highPosition = PositionOf(m_high);
}

void RangeSlider::ValuesFromPositions()
{
    m_low = int(float(m_lowPosition) * m_valuesPerPixel);
    m_high = int(float(m_highPosition) * m_valuesPerPixel);
}

void RangeSlider::SetRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    ComputeScale();
}

void RangeSlider::SetValue(int low, int high)
{
    m_low = low;
    m_high = high;
    ComputePositions();
    if (m_low == m_high)
        Separate();
    emit drawSlider();
}

void RangeSlider::Separate()
{
    if (m_high + 1 <= m_maximum)
        ++m_high;
    else if (m_low - 1 >= m_minimum)
        --m_low;
}

void RangeSlider::Announce()
{
    emit drawSlider();
    emit valueChanged(m_low, m_high);
}

void RangeSlider::OnDrawSlider()
{
    if (width() < 1 || height() < 1)
        return;
    QImage image(size(), QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    const int h = height();
    QPen fill(kHandleColor, 2 * h, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    painter.setPen(fill);
    painter.drawLine(m_lowPosition, 0, m_lowPosition + kHandleWidth, 0);
    painter.drawLine(m_highPosition + kHandleWidth, 0, m_highPosition + 2 * kHandleWidth, 0);
    fill.setColor(kBandColor);
    painter.setPen(fill);
    painter.drawLine(m_lowPosition + kHandleWidth, 0, m_highPosition + kHandleWidth, 0);
    painter.setPen(QPen(kOutlineColor, 2));
    DrawOutline(painter, m_lowPosition, m_lowPosition + kHandleWidth, h);
    DrawOutline(painter, m_highPosition + kHandleWidth, m_highPosition + 2 * kHandleWidth, h);
    painter.end();
    setPixmap(QPixmap::fromImage(image));
}

void RangeSlider::Page(int step)
{
    m_low += step;
    m_high += step;
    if (m_low == m_high)
        Separate();
    ComputePositions();
    Announce();
}

void RangeSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_moved = false;
    const int x = event->pos().x();
    if (x >= m_lowPosition && x <= m_lowPosition + kHandleWidth) {
        m_draggingLow = true;
        m_lastLowX = x;
    } else if (x >= m_highPosition + kHandleWidth && x <= m_highPosition + 2 * kHandleWidth) {
        m_draggingHigh = true;
        m_lastHighX = x;
    } else if (x >= m_lowPosition + kHandleWidth && x <= m_highPosition + kHandleWidth) {
        m_draggingBand = true;
        m_lastBandX = x;
    } else if (x < m_lowPosition) {
        if (m_low < 1)
            return;
        Page(m_low < 11 ? -m_low : -10);
    } else if (x > m_highPosition + 2 * kHandleWidth) {
        if (m_high >= kDayEnd)
            return;
        Page(m_high >= kDayEnd - 10 ? kDayEnd - m_high : 10);
    }
}

void RangeSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_draggingLow && !m_draggingHigh && !m_draggingBand)
        return;
    if (m_valuesPerPixel <= 0)
        return; // no scale to move on
    const int x = event->pos().x();
    const int right = width() - 2 * kHandleWidth;
    if (m_draggingLow) {
        m_lowPosition = std::min({std::max(m_lowPosition + x - m_lastLowX, 0), right, m_highPosition});
        m_lastLowX = x;
    } else if (m_draggingHigh) {
        m_highPosition = std::max(std::min(m_highPosition + x - m_lastHighX, right), std::max(m_lowPosition, 0));
        m_lastHighX = x;
    } else {
        const int dx = x - m_lastBandX;
        if (m_lowPosition + dx >= 0 && m_highPosition + dx + 2 * kHandleWidth <= width()) {
            m_lowPosition += dx;
            m_highPosition += dx;
        }
        m_lastBandX = x;
    }
    ValuesFromPositions();
    if (m_low == m_high) {
        if (m_draggingLow && m_low > m_minimum) {
            --m_low;
            m_lowPosition = PositionOf(m_low);
        } else if (m_draggingHigh && m_high < m_maximum) {
            ++m_high;
            m_highPosition = PositionOf(m_high);
        }
    }
    m_moved = true;
    Announce();
}

void RangeSlider::mouseReleaseEvent(QMouseEvent* /*event*/)
{
    if (!m_moved) {
        if (m_draggingLow) {
            m_low = std::max(m_low - 1, m_minimum);
            ComputePositions();
            Announce();
        } else if (m_draggingHigh) {
            m_high = std::min(m_high + 1, m_maximum);
            ComputePositions();
            Announce();
        }
    }
    m_draggingLow = m_draggingHigh = m_draggingBand = m_moved = false;
}

void RangeSlider::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Left) {
        if (m_low >= 1) {
            --m_low;
            --m_high;
        }
    } else if (event->key() == Qt::Key_Right) {
        if (m_high < kDayEnd) {
            ++m_low;
            ++m_high;
        }
    } else {
        QLabel::keyPressEvent(event);
        return;
    }
    ComputePositions();
    Announce();
}

void RangeSlider::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    ComputeScale();
    ComputePositions();
    emit drawSlider();
}
