#pragma once
// The slider of the control bar, the time search bar and the main dialog's play slider: it
// reports a press (the selected tiles pause), seeks while dragged and on release, and whether
// the mouse is over it. Keys are ignored.
#include <QSlider>

class CTimeSlider : public QSlider
{
    Q_OBJECT
public:
    explicit CTimeSlider(QWidget* parent = nullptr);
    bool IsDragging() const { return m_dragging; }

signals:
    void pauseRequested();
    void seekRequested();
    void hoverChanged(bool inside);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_dragging = false;
    bool m_hover = false;
};
