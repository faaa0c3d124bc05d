#include "session/sessionthread.h"

#include <QThread>

#include <algorithm>

namespace {
constexpr int kSleepStepMs = 20;
}

bool SessionThread::Start(CQThreadHelper::ThreadProc procedure, void* owner, int value)
{
    if (ShouldRun())
        return true;
    // A loop told to stop may still be draining its queue: it ends before the next run starts.
    Wait();
    if (!m_thread)
        m_thread = std::make_unique<CQThreadHelper>();
    m_run = 1;
    if (m_thread->StartThread(procedure, owner, value))
        return true;
    m_run = 0;
    return false;
}

void SessionThread::SleepWhileRunning(int ms) const
{
    while (ms > 0 && ShouldRun()) {
        const int step = std::min(ms, kSleepStepMs);
        QThread::msleep(ulong(step));
        ms -= step;
    }
}
