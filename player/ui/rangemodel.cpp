#include "ui/rangemodel.h"

#include <algorithm>
#include <cmath>

RangeModel::Changes RangeModel::SetMinMax(double a, double b)
{
    m_min = std::min(a, b);
    m_max = std::max(a, b);
    return Normalise();
}

RangeModel::Changes RangeModel::SetRange(double left, double right)
{
    m_left = left;
    m_right = right;
    return Normalise();
}

RangeModel::Changes RangeModel::Normalise()
{
    Changes changes;
    if (m_left > m_max) {
        m_left = m_max;
        changes << 0;
    }
    if (m_left < m_min) {
        m_left = m_min;
        changes << 0;
        if (m_right < m_left) {
            m_right = m_left;
            changes << 1;
        }
    }
    if (m_right > m_max) {
        m_right = m_max;
        changes << 1;
        if (m_left > m_right) {
            m_left = m_right;
            changes << 0;
        }
    }
    return changes;
}

int RangeModel::Drag(Part part, double c, int arrow, int track)
{
    const double span = m_max - m_min;
    const double t = track > 0 ? track : 1;
    const double a = arrow;
    switch (part) {
    case Part::Left:
        m_left = std::max(m_min, std::min(m_right, m_min + (c - a / 2) / t * span));
        if (m_maxWidth >= 0 && m_right - m_left > m_maxWidth)
            m_left = m_right - m_maxWidth;
        return 0;
    case Part::Right: {
        const double before = m_right;
        m_right = std::min(m_max, std::max(m_left, m_min + (c - 3 * a / 2) / t * span));
        if (m_maxWidth >= 0 && m_right - m_left > m_maxWidth)
            m_right = m_left + m_maxWidth;
        return m_right != before || m_right >= m_max ? 1 : 0;
    }
    case Part::Middle: {
        const double d = (c - a) / t * span;
        const double w = m_right - m_left;
        m_left = m_min + d - w / 2;
        m_right = m_min + d + w / 2;
        if (m_left <= m_min) {
            m_left = m_min;
            m_right = m_min + w;
        }
        if (m_right >= m_max) {
            m_right = m_max;
            m_left = m_max - w;
        }
        return 2;
    }
    }
    return 0;
}

int RangeModel::LeftPixel(int track) const
{
    const double span = m_max - m_min;
    return span == 0 ? 0 : static_cast<int>(std::trunc(track * (m_left - m_min) / span + 0.5));
}

int RangeModel::RightPixel(int track) const
{
    const double span = m_max - m_min;
    return span == 0 ? 0 : static_cast<int>(std::trunc(track * (m_right - m_min) / span + 0.5));
}
