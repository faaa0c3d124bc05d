#include "playback/stopsignal.h"

#include <chrono>

void StopSignal::Raise()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_raised = true;
    }
    m_changed.notify_all();
}

void StopSignal::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_raised = false;
}

bool StopSignal::WaitFor(int ms)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (ms > 0)
        m_changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_raised.load(); });
    return m_raised;
}
