#pragma once
// A two-thumb range slider drawn in the system's colours: a left and a right thumb and the
// band between them, each draggable; reports changes while dragging and when a drag ends.
#include <QWidget>

#include "ui/rangemodel.h"

class CRangeSlider : public QWidget
{
    Q_OBJECT
public:
    explicit CRangeSlider(QWidget* parent = nullptr);

    void SetMinMax(double a, double b);
    void SetRange(double left, double right);
    double Left() const { return m_model.Left(); }
    double Right() const { return m_model.Right(); }
    double Minimum() const { return m_model.Minimum(); }
    double Maximum() const { return m_model.Maximum(); }

signals:
    void rangeChanging(int part);
    void rangeChanged(int which, int grabbed);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int Arrow() const { return height() * 3 / 4; }
    int Track() const { return width() - 2 * Arrow(); }
    void Announce(const RangeModel::Changes& changes);

    RangeModel m_model;
    bool m_dragging = false;
    RangeModel::Part m_grabbed = RangeModel::Part::Left;
    int m_grabOffset = 0;
};
