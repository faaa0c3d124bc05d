#include "panels/ptztour.h"

void PtzTour::Begin(int first, int last)
{
    m_first = first;
    m_last = last;
    m_position = first;
}

void PtzTour::End()
{
    m_first = 0;
    m_last = 0;
    m_position = -1;
}

int PtzTour::Due()
{
    if (!Running())
        return -1;
    if (m_position > m_last)
        m_position = m_first;
    return m_position;
}
