#pragma once
// Base of the client's small pop-ups: a frameless dialog that stays on top, paints its own title
// bar at the top of its client area and is moved by dragging it with the left mouse button.
#include <QDialog>

class CPopupDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CPopupDialog(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_pressX = 0;
    int m_pressY = 0;
    bool m_dragging = false;
};
