#include "session/livepacer.h"

#include <algorithm>

int LivePacer::WaitFor(int delayMs, qint64 sinceLastMs, qint64 queuedMs)
{
    if (Lagging(queuedMs))
        return 0;
    return int(std::min<qint64>(delayMs - sinceLastMs, kMaxWaitMs));
}

int LivePacer::NextWait(int delayMs, qint64 queuedMs) const
{
    return m_sinceLast.isValid() ? WaitFor(delayMs, m_sinceLast.elapsed(), queuedMs) : 0;
}
