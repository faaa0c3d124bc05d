#include "session/sessionthread.h"

#include <QDeadlineTimer>

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

void SessionThread::RequestStop()
{
    m_run = 0;
    // Taken after the flag is down: a loop about to wait sees the flag, one already waiting
    // gets the wake.
    m_queue.WakeConsumer();
}

LiveFrameRecordPtr SessionThread::NextRecord() const
{
    return m_queue.TakeFirstWaiting([this] { return !ShouldRun(); });
}

LiveFrameRecordPtr SessionThread::NextRecord(LiveFrameRecordPtr finished, qint64& queuedMsAfter) const
{
    return m_queue.TakeFirstWaiting([this] { return !ShouldRun(); }, std::move(finished), &queuedMsAfter);
}

void SessionThread::SleepWhileRunning(int ms) const
{
    if (ms <= 0)
        return;
    m_queue.WaitUntil(
        QDeadlineTimer(ms, Qt::PreciseTimer), [this] { return !ShouldRun(); }, LiveFrameQueue::kWakeOnNoRecord);
}

void SessionThread::SleepUnlessQueuedOver(int ms, qint64 queuedMs) const
{
    if (ms <= 0)
        return;
    m_queue.WaitUntil(
        QDeadlineTimer(ms, Qt::PreciseTimer),
        [this, queuedMs] { return !ShouldRun() || m_queue.QueuedMsHeld() > queuedMs; }, queuedMs);
}
