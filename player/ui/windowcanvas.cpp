#include "ui/windowcanvas.h"

#include <QPainter>

WindowCanvas::WindowCanvas()
{
    Resize(1, 1);
}

void WindowCanvas::SetChangeCallback(std::function<void()> callback)
{
    QMutexLocker locker(&m_lock);
    m_callback = std::move(callback);
}

void WindowCanvas::Resize(int width, int height)
{
    {
        QMutexLocker locker(&m_lock);
        const QSize size(std::max(1, width), std::max(1, height));
        if (m_image.size() == size) {
            return;
        }
        QImage resized(size, QImage::Format_RGB32);
        resized.fill(Qt::black);
        m_image = resized;
    }
    Changed();
}

QSize WindowCanvas::Size() const
{
    QMutexLocker locker(&m_lock);
    return m_image.size();
}

void WindowCanvas::Paint(const std::function<void(QPainter&)>& draw)
{
    {
        QMutexLocker locker(&m_lock);
        QPainter painter(&m_image);
        draw(painter);
    }
    Changed();
}

bool WindowCanvas::Draw(const std::function<bool(QImage&)>& draw)
{
    bool changed = false;
    {
        QMutexLocker locker(&m_lock);
        changed = draw(m_image);
    }
    if (changed) {
        Changed();
    }
    return changed;
}

void WindowCanvas::Put(const QPoint& at, const QImage& image)
{
    Paint([&](QPainter& painter) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(at, image);
    });
}

void WindowCanvas::Fill(const QColor& colour)
{
    {
        QMutexLocker locker(&m_lock);
        m_image.fill(colour);
    }
    Changed();
}

void WindowCanvas::PaintOnto(QPainter& painter)
{
    m_changePending = false;
    QMutexLocker locker(&m_lock);
    painter.drawImage(0, 0, m_image);
}

QImage WindowCanvas::Copy() const
{
    QMutexLocker locker(&m_lock);
    return m_image.copy();
}

void WindowCanvas::Changed()
{
    if (m_changePending.exchange(true)) {
        return;
    }
    std::function<void()> callback;
    {
        QMutexLocker locker(&m_lock);
        callback = m_callback;
    }
    if (callback) {
        callback();
    } else {
        m_changePending = false;
    }
}
