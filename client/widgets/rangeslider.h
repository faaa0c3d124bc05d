#pragma once
// A two-handle range slider that draws itself: a low handle, a high handle and the band between
// them, over a range of values (minutes of a day for its users). The handles are 10 pixels wide
// each, so the scale spans the width less 20 pixels.
#include <QLabel>

class RangeSlider : public QLabel
{
    Q_OBJECT

public:
    static constexpr int kHandleWidth = 10;
    // Paging and the arrow keys stop at the last minute of a day, whatever the maximum.
    static constexpr int kDayEnd = 1440;

    explicit RangeSlider(QWidget* parent = nullptr);

    // Computes the scale from the present width (and again whenever the width changes).
    void SetRange(int minimum, int maximum);
    // Equal values are moved one apart; emits drawSlider() only.
    void SetValue(int low, int high);

    int GetMinimum() const { return m_minimum; }
    int GetMaximum() const { return m_maximum; }
    int GetLow() const { return m_low; }
    int GetHigh() const { return m_high; }
    int GetLowPosition() const { return m_lowPosition; }
    int GetHighPosition() const { return m_highPosition; }

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
    void resizeEvent(QResizeEvent* event) override;

private:
    void ComputeScale();
    void ComputePositions();
    void ValuesFromPositions();
    int PositionOf(int value) const;
    // Equal values after a step: high up by one when it can, else low down by one.
    void Separate();
    void Announce();
    void Page(int step);

    int m_minimum = 0;
    int m_maximum = 0;
    int m_low = 0;
    int m_high = 0;
    int m_lowPosition = 0;
    int m_highPosition = 0;
    float m_pixelsPerValue = 0;
    float m_valuesPerPixel = 0;
    int m_lastLowX = 0;
    int m_lastHighX = 0;
    int m_lastBandX = 0;
    bool m_draggingLow = false;
    bool m_draggingHigh = false;
    bool m_draggingBand = false;
    bool m_moved = false;
};
