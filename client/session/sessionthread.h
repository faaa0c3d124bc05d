#pragma once
// A session worker thread together with the run flag its loop watches and the queue it consumes.
// Start raises the flag and starts the procedure (after an earlier run has ended); the loop runs
// while the flag stays up; the owner lowers it and then waits. Start and Wait belong to the
// thread that made the object.
//
// The loop never polls: it waits on its queue, which wakes it when a record arrives, and its
// timed pauses wait on the same queue. RequestStop wakes it, so a stopped loop ends at once.
#include <atomic>
#include <functional>
#include <memory>

#include "session/liveframequeue.h"
#include "session/qthreadhelper.h"

class SessionThread
{
public:
    explicit SessionThread(LiveFrameQueue& queue)
        : m_queue(queue)
    {}

    // False (and the flag down) when the thread could not start.
    bool Start(CQThreadHelper::ThreadProc procedure, void* owner, int value);
    void RequestStop();
    void Wait()
    {
        if (m_thread)
            m_thread->WaitThread();
    }
    // The loop's condition: true until the owner asks it to stop.
    bool ShouldRun() const { return m_run.load() != 0; }
    // The next record of the thread's queue, waiting for one; null once the owner asks the loop
    // to stop and nothing is queued.
    LiveFrameRecordPtr NextRecord() const;
    // The same, handing back the record the loop has finished with (kept for reuse) and
    // telling the video time still queued behind the one returned, all under one lock.
    LiveFrameRecordPtr NextRecord(LiveFrameRecordPtr finished, qint64& queuedMsAfter) const;
    // Pauses `ms`, returning early once the owner asks the loop to stop.
    void SleepWhileRunning(int ms) const;
    // Pauses `ms`, returning early on a stop or once the records queued cover more than
    // `queuedMs` (checked under the queue's lock as records arrive; others do not wake it).
    void SleepUnlessQueuedOver(int ms, qint64 queuedMs) const;

private:
    LiveFrameQueue& m_queue;
    // Made at the first start: a recorder owns 35 of these from the moment it enters the site
    // book, and most of them never run.
    std::unique_ptr<CQThreadHelper> m_thread;
    std::atomic<quint8> m_run{0};
};
