#pragma once
// A slider drawn from a channel bitmap (and an optional active channel for the part before the
// thumb) and a thumb bitmap, with optional transparency. Reports moves while dragging and when
// a move is finished.
#include <QPixmap>
#include <QWidget>

class CSkinSlider : public QWidget
{
    Q_OBJECT
public:
    // The colour of the bitmap's pixel at (x, y) stands for the transparent colour.
    static constexpr quint32 kPixelColour = 0xFF000000;

    explicit CSkinSlider(int id, QWidget* parent = nullptr);

    bool LoadChannelBitmaps(int channelId, int activeChannelId, bool transparent, quint32 colour, int x, int y);
    bool LoadThumbBitmaps(int thumbId, int pressedThumbId, bool transparent, quint32 colour, int x, int y);
    void SetLimits(int minimum, int maximum, bool redraw = true);
    void SetPosition(int value);
    void SetMargins(int left, int top, int right, int bottom);
    void SetFocusFrame(bool draw, bool redraw = true);

    int Position() const { return m_position; }
    int Minimum() const { return m_minimum; }
    int Maximum() const { return m_maximum; }
    int ResetPosition() const { return m_reset; }
    bool IsDragging() const { return m_dragging; }

signals:
    void sliderMoving(int id, int position);
    void sliderMoved(int id, int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int TrackLength() const;
    int ThumbSize() const;
    int PixelOf(int position) const;
    int PositionOf(int pixel) const;
    void MoveTo(int coordinate);

    int m_id;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_position = 0;
    int m_page = 20;
    int m_reset = -1;
    bool m_positionSet = false;
    int m_marginLeft = 0, m_marginTop = 0, m_marginRight = 0, m_marginBottom = 0;
    int m_dragOffset = 0;
    bool m_dragging = false;
    bool m_drawFocus = true;
    QPixmap m_channel, m_activeChannel, m_thumb, m_pressedThumb;
};
