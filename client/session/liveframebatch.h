#pragma once
// The live frames of one read of a recorder's connection. The reader announces where a read
// begins and ends; the frames received in between are staged in their channels' queues and
// handed on together when the read ends, one wake per channel. The reader thus drains what the
// connection holds before any decode thread competes with it, and a channel that was held up
// (a stalled machine, a burst from the network) shows its whole backlog at once, so that the
// catch-up rule of its queue can skip to the newest key frame. Outside a read a frame goes to
// its queue at once.
//
// Belongs to the thread that reads the connection (the user-interface thread).
#include <vector>

#include "session/liveframerecord.h"

class LiveFrameQueue;

class LiveFrameBatch
{
public:
    // A read begins (true) or ends (false). At its end every queue that staged frames publishes
    // them. A read whose end never came ends with the next one.
    void SetReading(bool reading);
    bool Reading() const { return m_reading; }
    // The record joins `queue`: staged while a read is open, appended at once otherwise. Returns
    // a spare record for the caller's next frame (null when the queue keeps none).
    LiveFrameRecordPtr Append(LiveFrameQueue& queue, LiveFrameRecordPtr record);

private:
    bool m_reading = false;
    // The queues holding staged frames, in the order of their first frame of the read.
    std::vector<LiveFrameQueue*> m_staged;
};
