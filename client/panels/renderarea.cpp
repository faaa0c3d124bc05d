#include "panels/renderarea.h"

#include <QPainter>

#include <algorithm>

RenderArea::RenderArea(QWidget* parent)
    : QWidget(parent)
{
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setMinimumSize(kMaxBar, 10);
}

void RenderArea::setLevel(double level)
{
    m_level = level;
    update();
}

int RenderArea::BarWidth(int areaWidth, double level)
{
    return std::min(int(areaWidth * level), kMaxBar);
}

void RenderArea::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_level == 0.0)
        return;
    painter.fillRect(QRect(0, 0, BarWidth(width(), m_level), height()), Qt::red);
}
