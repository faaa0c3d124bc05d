#include "ui/cskinslider.h"
#include "ui/skinbitmaps.h"
#include "ui/sliderscale.h"

#include <QBitmap>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

QPixmap Masked(const QPixmap& source, bool transparent, quint32 colour, int x, int y)
{
    if (source.isNull() || !transparent)
        return source;
    const QImage image = source.toImage();
    const QRgb key = colour == CSkinSlider::kPixelColour && image.valid(x, y) ? image.pixel(x, y) : QRgb(colour);
    QPixmap masked = source;
    masked.setMask(QBitmap::fromImage(image.createMaskFromColor(key, Qt::MaskInColor)));
    return masked;
}

} // namespace

CSkinSlider::CSkinSlider(int id, QWidget* parent)
    : QWidget(parent)
    , m_id(id)
{
    setFocusPolicy(Qt::StrongFocus);
}

bool CSkinSlider::LoadChannelBitmaps(int channelId, int activeChannelId, bool transparent, quint32 colour, int x,
                                     int y)
{
    m_channel = m_activeChannel = QPixmap();
    if (channelId == 0)
        return true;
    const QPixmap channel = SkinBitmaps::Load(channelId);
    const QPixmap active = activeChannelId ? SkinBitmaps::Load(activeChannelId) : QPixmap();
    if (channel.isNull() || (activeChannelId && active.isNull()))
        return false;
    m_channel = Masked(channel, transparent, colour, x, y);
    m_activeChannel = Masked(active, transparent, colour, x, y);
    resize(m_channel.size());
    update();
    return true;
}

bool CSkinSlider::LoadThumbBitmaps(int thumbId, int pressedThumbId, bool transparent, quint32 colour, int x, int y)
{
    m_thumb = m_pressedThumb = QPixmap();
    if (thumbId == 0)
        return true;
    const QPixmap thumb = SkinBitmaps::Load(thumbId);
    const QPixmap pressed = pressedThumbId ? SkinBitmaps::Load(pressedThumbId) : QPixmap();
    if (thumb.isNull() || (pressedThumbId && pressed.isNull()))
        return false;
    m_thumb = Masked(thumb, transparent, colour, x, y);
    m_pressedThumb = Masked(pressed, transparent, colour, x, y);
    update();
    return true;
}

void CSkinSlider::SetLimits(int minimum, int maximum, bool redraw)
{
    m_minimum = minimum;
    m_maximum = maximum;
    if (m_reset >= 0)
        m_reset = qBound(qMin(minimum, maximum), m_reset, qMax(minimum, maximum));
    if (redraw)
        update();
}

void CSkinSlider::SetPosition(int value)
{
    m_position = qMax(qMin(value, m_maximum), m_minimum);
    if (!m_positionSet) {
        m_positionSet = true;
        m_reset = m_position;
    }
    update();
}

void CSkinSlider::SetMargins(int left, int top, int right, int bottom)
{
    m_marginLeft = left;
    m_marginTop = top;
    m_marginRight = right;
    m_marginBottom = bottom;
    update();
}

void CSkinSlider::SetFocusFrame(bool draw, bool redraw)
{
    m_drawFocus = draw;
    if (redraw)
        update();
}

int CSkinSlider::TrackLength() const
{
    return m_channel.isNull() ? width() : m_channel.width();
}

int CSkinSlider::ThumbSize() const
{
    return m_thumb.isNull() ? 0 : m_thumb.width();
}

int CSkinSlider::PixelOf(int position) const
{
    return SliderScale(m_minimum, m_maximum, TrackLength(), ThumbSize(), m_marginLeft, m_marginRight)
        .PixelOf(position);
}

int CSkinSlider::PositionOf(int pixel) const
{
    return SliderScale(m_minimum, m_maximum, TrackLength(), ThumbSize(), m_marginLeft, m_marginRight)
        .PositionOf(pixel);
}

void CSkinSlider::MoveTo(int coordinate)
{
    const SliderScale scale(m_minimum, m_maximum, TrackLength(), ThumbSize(), m_marginLeft, m_marginRight);
    const int c = scale.ClampPixel(coordinate - m_dragOffset);
    if (c == scale.PixelOf(m_position))
        return;
    m_position = qBound(qMin(m_minimum, m_maximum), scale.PositionOf(c), qMax(m_minimum, m_maximum));
    update();
    emit sliderMoving(m_id, m_position);
}

void CSkinSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int split = PixelOf(m_position);
    if (!m_channel.isNull()) {
        if (!m_activeChannel.isNull() && isEnabled()) {
            painter.drawPixmap(QPoint(0, 0), m_activeChannel, QRect(0, 0, split, m_activeChannel.height()));
            painter.drawPixmap(QPoint(split, 0), m_channel,
                               QRect(split, 0, m_channel.width() - split, m_channel.height()));
        } else {
            painter.drawPixmap(0, 0, m_channel);
        }
    }
    if (!m_thumb.isNull() && isEnabled()) {
        const QPixmap& thumb = m_dragging && !m_pressedThumb.isNull() ? m_pressedThumb : m_thumb;
        painter.drawPixmap(split - thumb.width() / 2, m_marginTop, thumb);
    }
    if (m_drawFocus && hasFocus() && isEnabled()) {
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void CSkinSlider::mousePressEvent(QMouseEvent* event)
{
    if (!isEnabled())
        return;
    if (event->button() == Qt::RightButton) {
        if (m_reset >= 0) {
            SetPosition(m_reset);
            emit sliderMoving(m_id, m_position);
            emit sliderMoved(m_id, m_position);
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    setFocus();
    m_dragging = true;
    const int centre = PixelOf(m_position);
    const int distance = event->pos().x() - centre;
    m_dragOffset = qAbs(distance) > ThumbSize() / 2 ? 0 : distance;
    MoveTo(event->pos().x());
}

void CSkinSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (isEnabled() && m_dragging)
        MoveTo(event->pos().x());
}

void CSkinSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (!isEnabled() || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    update();
    // Also without a drag before it, so that the parent always hears of the release.
    emit sliderMoved(m_id, m_position);
}

void CSkinSlider::keyPressEvent(QKeyEvent* event)
{
    if (!isEnabled()) {
        QWidget::keyPressEvent(event);
        return;
    }
    int next = m_position;
    switch (event->key()) {
    case Qt::Key_PageUp: next -= m_page; break;
    case Qt::Key_PageDown: next += m_page; break;
    case Qt::Key_End: next = m_maximum; break;
    case Qt::Key_Home: next = m_minimum; break;
    case Qt::Key_Left:
    case Qt::Key_Up: next -= 1; break;
    case Qt::Key_Right:
    case Qt::Key_Down: next += 1; break;
    default: QWidget::keyPressEvent(event); return;
    }
    m_position = qMax(qMin(next, m_maximum), m_minimum);
    update();
    emit sliderMoved(m_id, m_position);
}

void CSkinSlider::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void CSkinSlider::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}
