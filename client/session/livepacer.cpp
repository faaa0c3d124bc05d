#include "session/livepacer.h"

#include <algorithm>

int LivePacer::WaitFor(int delayMs, qint64 sinceLastMs)
{
    return std::min(int(delayMs - (sinceLastMs + kEarlyMs)), kMaxWaitMs);
}

int LivePacer::NextWait(int delayMs) const
{
    return m_sinceLast.isValid() ? WaitFor(delayMs, m_sinceLast.elapsed()) : 0;
}
