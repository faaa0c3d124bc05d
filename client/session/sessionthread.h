#pragma once
// A session worker thread together with the run flag its loop watches. Start raises the flag and
// starts the procedure (after an earlier run has ended); the loop runs while the flag stays up;
// the owner lowers it and then waits. Start and Wait belong to the thread that made the object.
#include <atomic>
#include <memory>

#include "session/qthreadhelper.h"

class SessionThread
{
public:
    // False (and the flag down) when the thread could not start.
    bool Start(CQThreadHelper::ThreadProc procedure, void* owner, int value);
    void RequestStop() { m_run = 0; }
    void Wait()
    {
        if (m_thread)
            m_thread->WaitThread();
    }
    // The loop's condition: true until the owner asks it to stop.
    bool ShouldRun() const { return m_run.load() != 0; }
    // Sleeps `ms` in small steps, returning early once the owner asks the loop to stop.
    void SleepWhileRunning(int ms) const;

private:
    // Made at the first start: a recorder owns 35 of these from the moment it enters the site
    // book, and most of them never run.
    std::unique_ptr<CQThreadHelper> m_thread;
    std::atomic<quint8> m_run{0};
};
