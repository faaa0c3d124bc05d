#pragma once
// The level meter of the talk-back microphone: a black outline and a red bar as long as the level.
#include <QWidget>

class RenderArea : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMaxBar = 180;

    explicit RenderArea(QWidget* parent = nullptr);

    void setLevel(double level);
    double Level() const { return m_level; }
    // The bar's width for a level in an area of the width: at most kMaxBar pixels.
    static int BarWidth(int areaWidth, double level);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_level = 0.0;
};
