#pragma once
// A two-handle range slider drawn by itself: the low handle, the band and the high handle along
// a framed label. Values and pixels convert by the width less the 20 pixels of the two handles;
// every conversion truncates. Paging and the arrow keys keep to the 1440 minutes of a day.
#include <QLabel>

class RangeSlider : public QLabel
{
    Q_OBJECT
public:
    static constexpr int kHandleWidth = 10;
    static constexpr int kDayEnd = 1440;
    static constexpr int kPageStep = 10;

    explicit RangeSlider(QWidget* parent = nullptr);

    // The scale comes from the present width: give the slider its final width first.
    void SetRange(int minimum, int maximum);
    void SetValue(int low, int high);
    int GetLow() const { return m_low; }
    int GetHigh() const { return m_high; }
    int GetLowPos() const { return m_lowPos; }
    int GetHighPos() const { return m_highPos; }

signals:
    void valueChanged(int low, int high);
    void drawSlider();

public slots:
    void OnDrawSlider();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int PositionOf(int value) const { return int(value * m_pixelsPerValue); }
    int ValueOf(int position) const { return int(position * m_valuesPerPixel); }
    void UpdatePositions();
    void SeparateEqualValues();
    void Shift(int delta);
    void Announce();

    int m_minimum = 0;
    int m_maximum = 0;
    int m_low = 0;
    int m_high = 0;
    int m_lowPos = 0;
    int m_highPos = 0;
    float m_pixelsPerValue = 0.0f;
    float m_valuesPerPixel = 0.0f;
    int m_lastLowX = 0;
    int m_lastHighX = 0;
    int m_lastBandX = 0;
    bool m_dragLow = false;
    bool m_dragHigh = false;
    bool m_dragBand = false;
    bool m_moved = false;
};
