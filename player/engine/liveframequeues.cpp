#include "engine/liveframequeues.h"

#include "engine/poolliveframe.h"

void LiveFrameQueues::Hold(LiveFrame* frame, uint32_t now)
{
    if (!frame)
        return;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_hold.push_back(frame);
    }
    MoveHeldFrames(now);
}

int LiveFrameQueues::HoldTime(const LiveFrame& frame)
{
    // 900 ms for a recorder camera with its delay flag; the player has no recorder clients.
    (void)frame;
    return 0;
}

void LiveFrameQueues::MoveHeldFrames(uint32_t now)
{
    bool moved = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        for (auto it = m_hold.begin(); it != m_hold.end();) {
            LiveFrame* frame = *it;
            const bool waiting = int32_t(frame->arrival + uint32_t(HoldTime(*frame)) - now) > 0 && frame->mark < 0;
            if (waiting) {
                ++it;
                continue;
            }
            m_display.push_back(frame);
            it = m_hold.erase(it);
            moved = true;
        }
    }
    if (moved)
        m_ready.notify_all();
}

LiveFrame* LiveFrameQueues::Take()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_display.empty())
        return nullptr;
    LiveFrame* frame = m_display.front();
    m_display.pop_front();
    return frame;
}

LiveFrame* LiveFrameQueues::WaitAndTake()
{
    std::unique_lock<std::mutex> lock(m_lock);
    m_ready.wait(lock, [this] { return m_stopped || m_woken || !m_display.empty(); });
    m_woken = false;
    if (m_display.empty())
        return nullptr;
    LiveFrame* frame = m_display.front();
    m_display.pop_front();
    return frame;
}

void LiveFrameQueues::Stop()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stopped = true;
    }
    m_ready.notify_all();
}

void LiveFrameQueues::WakeUp()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_woken = true;
    }
    m_ready.notify_all();
}

bool LiveFrameQueues::IsStopped() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_stopped;
}

int LiveFrameQueues::DisplayCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return int(m_display.size());
}

int LiveFrameQueues::HoldCount() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return int(m_hold.size());
}

void LiveFrameQueues::Demote()
{
    std::lock_guard<std::mutex> guard(m_lock);
    for (LiveFrame* frame : m_hold)
        frame->frameType = 0;
    for (LiveFrame* frame : m_display)
        frame->frameType = 0;
}

void LiveFrameQueues::Drain(pool_LiveFrame& pool)
{
    std::deque<LiveFrame*> frames;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        frames.swap(m_hold);
        frames.insert(frames.end(), m_display.begin(), m_display.end());
        m_display.clear();
    }
    for (LiveFrame* frame : frames)
        pool.GiveBack(frame);
}
