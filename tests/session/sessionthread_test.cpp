// A session worker thread waits on its queue: records wake it, and a stop request ends even a
// long pause at once (a test that hangs here has lost a wake).
#include <QMutex>
#include <QSemaphore>

#include <gtest/gtest.h>

#include "session/liveframequeue.h"
#include "session/sessionthread.h"

namespace {

struct Consumer
{
    QMutex lock;
    LiveFrameQueue queue{lock, "test"};
    SessionThread thread{queue};
    QSemaphore taken;
    QSemaphore paused;
    int pauseMs = 0;

    static void Loop(void* owner, int)
    {
        auto* self = static_cast<Consumer*>(owner);
        while (self->thread.ShouldRun()) {
            LiveFrameRecordPtr r = self->thread.NextRecord();
            if (!r)
                continue;
            self->taken.release();
            if (self->pauseMs > 0) {
                self->paused.release();
                self->thread.SleepWhileRunning(self->pauseMs);
            }
        }
    }
};

LiveFrameRecordPtr Record()
{
    return std::make_unique<LiveFrameRecord>();
}

} // namespace

TEST(SessionThreadTest, RecordsWakeTheLoopAndAStopEndsItsWait)
{
    Consumer c;
    ASSERT_TRUE(c.thread.Start(&Consumer::Loop, &c, 0));
    for (int i = 0; i < 5; ++i)
        c.queue.Append(Record());
    c.taken.acquire(5);
    // Now waiting on an empty queue.
    c.thread.RequestStop();
    c.thread.Wait();
    EXPECT_FALSE(c.thread.ShouldRun());
    EXPECT_EQ(c.queue.Count(), 0);
}

TEST(SessionThreadTest, AStopEndsALongPause)
{
    Consumer c;
    c.pauseMs = 3600 * 1000;
    ASSERT_TRUE(c.thread.Start(&Consumer::Loop, &c, 0));
    c.queue.Append(Record());
    c.paused.acquire();
    c.queue.Append(Record()); // wakes the pause, which goes on: the loop is still to run
    c.thread.RequestStop();
    c.thread.Wait();
    EXPECT_EQ(c.taken.available(), 1) << "the second record was never taken";
}
