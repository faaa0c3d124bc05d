#include "search/ccameosub.h"

#include <QMutexLocker>
#include <QPainter>

#include "search/searchlog.h"

CCameoSub::CCameoSub()
    : QLabel(nullptr)
    , m_canvas(size())
{
    if (!m_canvas.isNull()) {
        m_canvas.fill(Qt::black);
        QPainter painter(&m_canvas);
        Outline(painter, QRect(0, 0, width(), height()), Qt::gray);
    }
    connect(&m_refreshTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
    m_refreshTimer.start(kRefreshMs);
}

QRect CCameoSub::Band(int slot) const
{
    if (slot < 0)
        return QRect(0, 0, width(), height());
    return QRect(0, slot * kSlotHeight, width(), kSlotHeight);
}

void CCameoSub::Outline(QPainter& painter, const QRect& band, const QColor& colour) const
{
    painter.setOpacity(1.0);
    painter.setPen(colour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(band.x(), band.y(), band.width() - 2, band.height() - 2);
}

bool CCameoSub::CanvasReadyLocked()
{
    // A resize of a hidden strip reaches resizeEvent only when it is shown.
    if (!m_fixedCanvas && m_canvas.size() != size()) {
        m_canvas = QPixmap(size());
        if (!m_canvas.isNull())
            m_canvas.fill(Qt::black);
    }
    return !m_canvas.isNull();
}

void CCameoSub::ClearSlot(int slot)
{
    QMutexLocker locker(&m_lock);
    if (!CanvasReadyLocked())
        return;
    const QRect band = Band(slot);
    QPainter painter(&m_canvas);
    painter.fillRect(band, Qt::black);
    Outline(painter, band, Qt::gray);
}

void CCameoSub::SelectSlot(int slot)
{
    QMutexLocker locker(&m_lock);
    if (!CanvasReadyLocked())
        return;
    QPainter painter(&m_canvas);
    painter.setPen(Qt::gray);
    const int slotCount = height() / kSlotHeight;
    for (int i = 0; i < slotCount; ++i) {
        painter.setPen(i == slot ? Qt::red : Qt::gray);
        painter.drawRect(0, i * kSlotHeight, width() - 2, kSlotHeight - 2);
    }
}

void CCameoSub::SetSlotImage(const QImage& image, const QString& caption, bool selected, int slot)
{
    QMutexLocker locker(&m_lock);
    if (!CanvasReadyLocked())
        return;
    const QRect band = Band(slot);
    QPainter painter(&m_canvas);
    painter.drawImage(band.topLeft(), image);
    painter.setOpacity(0.5);
    painter.fillRect(QRect(0, band.y(), band.width(), kCaptionHeight), QColor(0, 0, 128));
    painter.setOpacity(1.0);
    QFont font(QStringLiteral("Lucida"), 9);
    font.setWeight(75);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, band.y() + 1, band.width(), kCaptionHeight), Qt::AlignCenter, caption);
    Outline(painter, band, selected ? Qt::red : Qt::gray);
}

void CCameoSub::EnableUpdate(bool on)
{
    m_refreshTimer.stop();
    if (on)
        m_refreshTimer.start(kRefreshMs);
}

void CCameoSub::SetCanvas(const QPixmap& canvas)
{
    QMutexLocker locker(&m_lock);
    m_canvas = canvas;
}

QPixmap CCameoSub::Canvas() const
{
    QMutexLocker locker(&m_lock);
    return m_canvas;
}

void CCameoSub::paintEvent(QPaintEvent* /*event*/)
{
    QMutexLocker locker(&m_lock);
    if (m_canvas.isNull()) {
        qCDebug(lcSearch) << "pixmap null";
        return;
    }
    QPainter painter(this);
    const int h = m_fixedCanvas ? m_canvas.height() : height();
    painter.drawPixmap(QRect(0, 0, width(), h), m_canvas);
}

void CCameoSub::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    QMutexLocker locker(&m_lock);
    if (m_fixedCanvas)
        return;
    m_canvas = QPixmap(size());
    if (!m_canvas.isNull())
        m_canvas.fill(Qt::black);
}
