#pragma once
// The two-thumb range slider's values: outer bounds, the selected range, normalising and the
// drag rules of each thumb and of the middle band.
#include <QVector>

class RangeModel
{
public:
    enum class Part { Left = 0, Right = 1, Middle = 2 };
    // Normalising reports which value it moved: 0 left, 1 right (the changed message's wParam).
    using Changes = QVector<int>;

    double Minimum() const { return m_min; }
    double Maximum() const { return m_max; }
    double Left() const { return m_left; }
    double Right() const { return m_right; }

    Changes SetMinMax(double a, double b);
    Changes SetRange(double left, double right);
    // Drag of a part to track coordinate c (mouse − grab offset), with arrow size a and track
    // length t. Returns the changing message's wParam.
    int Drag(Part part, double c, int arrow, int track);
    // The left and right pixel of the range on a track of length t.
    int LeftPixel(int track) const;
    int RightPixel(int track) const;

private:
    Changes Normalise();

    double m_min = 0.0;
    double m_max = 1.0;
    double m_left = 0.0;
    double m_right = 1.0;
    double m_maxWidth = -1.0;
};
