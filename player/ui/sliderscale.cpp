#include "ui/sliderscale.h"

#include <algorithm>

SliderScale::SliderScale(int minimum, int maximum, int length, int thumb, int firstMargin, int lastMargin)
    : m_minimum(minimum)
    , m_maximum(maximum)
    , m_length(length)
    , m_thumb(thumb)
    , m_first(firstMargin)
    , m_last(lastMargin)
    , m_end(length - lastMargin - thumb - firstMargin)
{}

int SliderScale::PixelOf(int position) const
{
    const int range = m_maximum - m_minimum;
    const int offset = range == 0 ? 0 : static_cast<int>(double(position - m_minimum) / range * m_end);
    return m_first + offset + m_thumb / 2;
}

int SliderScale::PositionOf(int pixel) const
{
    if (m_end == 0)
        return m_minimum;
    return static_cast<int>(m_minimum + double(pixel - m_thumb / 2 - m_first) / m_end * (m_maximum - m_minimum));
}

int SliderScale::ClampPixel(int pixel) const
{
    const int low = m_first + m_thumb / 2;
    const int high = std::max(low, m_length - m_last - m_thumb / 2);
    return std::clamp(pixel, low, high);
}
