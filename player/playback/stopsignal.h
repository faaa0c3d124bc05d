#pragma once
// The stop flag of a tile's worker threads: raised by an operation, polled by the workers, and
// waited on by their pauses, so that a stop ends a pause at once instead of after it.
#include <atomic>
#include <condition_variable>
#include <mutex>

class StopSignal
{
public:
    void Raise();
    void Clear();
    bool IsRaised() const { return m_raised.load(); }
    // Waits up to ms milliseconds; true when the signal is (or becomes) raised.
    bool WaitFor(int ms);

private:
    std::atomic<bool> m_raised{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
};
