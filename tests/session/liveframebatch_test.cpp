// The frames of one read of the recorder's connection: appended at once outside a read, staged
// within one and handed to every channel's queue when it ends.
#include <QMutex>

#include <gtest/gtest.h>

#include <string>

#include "session/liveframebatch.h"
#include "session/liveframequeue.h"

namespace {

LiveFrameRecordPtr Record(int sequence)
{
    auto record = std::make_unique<LiveFrameRecord>();
    record->sequence = sequence;
    return record;
}

int Reachable(QMutex& lock, const LiveFrameQueue& queue)
{
    QMutexLocker held(&lock);
    return queue.CountHeld();
}

std::string TakeAll(LiveFrameQueue& queue)
{
    std::string out;
    while (LiveFrameRecordPtr r = queue.TakeFirst())
        out += (out.empty() ? "" : " ") + std::to_string(r->sequence);
    return out;
}

struct BatchCase
{
    const char* name;
    // One step a letter: 'r' a read begins, 'e' it ends, 'a' or 'b' a frame for queue A or B.
    const char* steps;
    // Frames the consumers can take after each step, as "A/B" counts, one entry a step.
    const char* reachable;
    const char* takenA; // everything queue A then holds, in order
    const char* takenB;
};

} // namespace

TEST(LiveFrameBatchTest, FramesOfAReadReachTheirQueuesWhenItEnds)
{
    const BatchCase cases[] = {
        {"outside a read a frame goes at once", "aab", "1/0 2/0 2/1", "1 2", "3"},
        {"within a read nothing goes before its end", "raabe", "0/0 0/0 0/0 0/0 2/1", "2 3", "4"},
        {"two reads, each handed on at its end", "raeraabe", "0/0 0/0 1/0 1/0 1/0 1/0 1/0 3/1", "2 5 6", "7"},
        {"a read whose end never came ends with the next one", "rarbe", "0/0 0/0 0/0 0/0 1/1", "2", "4"},
        {"a read without frames hands on nothing", "reae", "0/0 0/0 1/0 1/0", "3", ""},
    };
    for (const BatchCase& c : cases) {
        QMutex lockA;
        QMutex lockB;
        LiveFrameQueue a(lockA, "a");
        LiveFrameQueue b(lockB, "b");
        LiveFrameBatch batch;
        std::string reachable;
        int step = 0;
        for (const char* p = c.steps; *p; ++p) {
            ++step;
            if (*p == 'r' || *p == 'e')
                batch.SetReading(*p == 'r');
            else
                batch.Append(*p == 'a' ? a : b, Record(step));
            reachable += (reachable.empty() ? "" : " ") + std::to_string(Reachable(lockA, a)) + "/"
                         + std::to_string(Reachable(lockB, b));
        }
        EXPECT_EQ(reachable, c.reachable) << c.name;
        EXPECT_FALSE(batch.Reading()) << c.name;
        EXPECT_EQ(TakeAll(a), c.takenA) << c.name;
        EXPECT_EQ(TakeAll(b), c.takenB) << c.name;
    }
}

TEST(LiveFrameBatchTest, AFrameTakesTheQueuesSpareInAReadAndOutsideOne)
{
    QMutex lock;
    LiveFrameQueue queue(lock, "live");
    LiveFrameBatch batch;
    for (const bool reading : {false, true}) {
        queue.Append(Record(1));
        auto finished = std::make_unique<LiveFrameRecord>();
        LiveFrameRecord* kept = finished.get();
        ASSERT_TRUE(queue.TakeFirstWaiting([] { return false; }, std::move(finished)));
        batch.SetReading(reading);
        LiveFrameRecordPtr spare = batch.Append(queue, Record(2));
        EXPECT_EQ(spare.get(), kept) << (reading ? "in a read" : "outside a read");
        batch.SetReading(false);
        queue.Drain();
    }
}
