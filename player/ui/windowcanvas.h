#pragma once
// The grid window's picture as the display threads see it: the stand-in for the window's device
// context and the screen's primary surface. Drawing threads write into it under its lock; the
// window paints it on the user-interface thread, woken by the change callback.
#include <QImage>
#include <QMutex>
#include <atomic>
#include <functional>

class QPainter;

class WindowCanvas
{
public:
    WindowCanvas();

    // The callback runs on the drawing thread after each change; the window turns it into a
    // queued repaint. It is not called again until the window has taken the change.
    void SetChangeCallback(std::function<void()> callback);
    void Resize(int width, int height);
    QSize Size() const;
    // Draws under the lock; the callback may draw anywhere in the canvas.
    void Paint(const std::function<void(QPainter&)>& draw);
    // Hands the canvas's own image to draw into under the lock (for writing pixels straight into
    // it); the callback tells whether it changed anything.
    bool Draw(const std::function<bool(QImage&)>& draw);
    // Copies an image 1:1 to a position of the canvas.
    void Put(const QPoint& at, const QImage& image);
    void Fill(const QColor& colour);
    // The window paints the canvas; also re-arms the change callback.
    void PaintOnto(QPainter& painter);
    QImage Copy() const;
    // The primary surface is lost (the screen mode changed); the next present restores it.
    void MarkLost() { m_lost = true; }
    bool TakeLost() { return m_lost.exchange(false); }

private:
    void Changed();

    mutable QMutex m_lock;
    QImage m_image;
    std::function<void()> m_callback;
    std::atomic<bool> m_changePending{false};
    std::atomic<bool> m_lost{false};
};
