#pragma once
// The engine's hold and display queues under one lock. Frames wait in the hold queue until due
// and then in the display queue for the display thread, which sleeps on the queue while it is
// empty instead of polling it.
#include "engine/liveframe.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

class pool_LiveFrame;

class LiveFrameQueues
{
public:
    // Appends to the hold queue and moves what is due.
    void Hold(LiveFrame* frame, uint32_t now);
    // Moves due frames from the hold queue to the display queue, in order. A frame is held only
    // for a recorder whose camera asks for a delay; the player's file frames are due at once.
    void MoveHeldFrames(uint32_t now);

    // The first frame of the display queue, or null.
    LiveFrame* Take();
    // Waits until a frame is queued, stop is called or wakeUp is; then Take().
    LiveFrame* WaitAndTake();
    // Ends every wait (and later waits return at once).
    void Stop();
    void WakeUp();
    bool IsStopped() const;

    int DisplayCount() const;
    int HoldCount() const;
    // Every queued frame becomes a delta frame.
    void Demote();
    // Gives every queued frame back to the pool.
    void Drain(pool_LiveFrame& pool);

private:
    static int HoldTime(const LiveFrame& frame);

    mutable std::mutex m_lock;
    std::condition_variable m_ready;
    std::deque<LiveFrame*> m_hold;
    std::deque<LiveFrame*> m_display;
    bool m_stopped = false;
    bool m_woken = false;
};
