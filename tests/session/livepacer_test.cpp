// The pacing of a live channel: the wait before each frame, and how a backlog left by a held
// thread drains. The decisions are taken on queue contents, never on the wall clock.
#include <QMutex>

#include <gtest/gtest.h>

#include "session/liveframequeue.h"
#include "session/livepacer.h"

namespace {

struct PaceCase
{
    const char* name;
    int delay;
    qint64 sinceLast;
    qint64 queued; // ms of video queued behind the frame
    int wait;
};

// A live frame arriving `delay` ms after the one before it.
LiveFrameRecordPtr FrameAfter(int delay)
{
    auto record = std::make_unique<LiveFrameRecord>();
    record->delay = delay;
    return record;
}

} // namespace

TEST(LivePacerTest, FramesAreReleasedTheirDelayAfterThePreviousOne)
{
    const PaceCase cases[] = {
        {"a full delay to go", 40, 0, 0, 40},
        {"part of the delay gone", 40, 30, 60, 10},
        {"due now", 40, 40, 0, 0},
        {"late: no wait", 40, 100, 0, -60},
        {"never more than a second", 5000, 0, 0, 1000},
        {"a tenth of a second queued is within the window", 200, 0, 100, 200},
        {"just over a tenth of a second queued", 200, 0, 101, 0},
        {"a second queued", 33, 0, 1000, 0},
        {"a long delay, but far behind", 5000, 0, 14000, 0},
    };
    for (const PaceCase& c : cases)
        EXPECT_EQ(LivePacer::WaitFor(c.delay, c.sinceLast, c.queued), c.wait) << c.name;
    LivePacer pacer;
    EXPECT_EQ(pacer.NextWait(500, 0), 0) << "the first frame goes at once";
}

struct HeldCase
{
    const char* name;
    int frameMs; // the recorder's time between frames
};

// The live thread held for a second: the frames of that second are queued when it runs again. Taking them as the live loop does, only the
// part beyond the window is released at once; pacing resumes with the queue within the window.
TEST(LivePacerTest, ABacklogFromAHeldThreadDrainsBackToTheWindow)
{
    const HeldCase cases[] = {{"30 fps", 33}, {"15 fps", 66}, {"5 fps", 200}};
    const int heldMs = 1000;
    for (const HeldCase& c : cases) {
        QMutex lock;
        LiveFrameQueue queue(lock, "live", LiveFrameQueue::kLiveByteBound);
        for (int covered = 0; covered < heldMs; covered += c.frameMs)
            queue.Append(FrameAfter(c.frameMs));
        const qint64 backlog = queue.QueuedMs();
        ASSERT_GT(backlog, LivePacer::kWindowMs) << c.name;

        // As if every frame were released the moment before the next is taken.
        int releasedAtOnceMs = 0;
        int wait = 0;
        while (LiveFrameRecordPtr r = queue.TakeFirst()) {
            wait = LivePacer::WaitFor(r->delay, 0, queue.QueuedMs());
            if (wait >= 1)
                break;
            releasedAtOnceMs += r->delay;
        }
        EXPECT_GE(wait, 1) << c.name << ": pacing resumes";
        EXPECT_LE(queue.QueuedMs(), LivePacer::kWindowMs) << c.name;
        // Only what lay beyond the window went at once (the frame that brought the queue back
        // within it may overshoot by its own delay).
        EXPECT_LE(releasedAtOnceMs, backlog - LivePacer::kWindowMs + c.frameMs) << c.name;
        EXPECT_LE(queue.QueuedMs(), 200) << c.name << ": live again within a fifth of a second";
        EXPECT_GT(queue.QueuedMs(), LivePacer::kWindowMs - 2 * c.frameMs)
            << c.name << ": nothing more was skipped";
    }
}
