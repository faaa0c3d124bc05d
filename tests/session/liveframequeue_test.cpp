// The live frame queue on its own: the count bound, the order it keeps and the backlog drop rule
// with its two thresholds (start above three times the larger of the rate and 15, stop below
// the rate).
#include <QMutex>

#include <gtest/gtest.h>

#include "session/liveframequeue.h"

namespace {

LiveFrameRecordPtr Record(int sequence)
{
    auto record = std::make_unique<LiveFrameRecord>();
    record->sequence = sequence;
    return record;
}

void Fill(LiveFrameQueue& queue, int count)
{
    for (int i = 0; i < count; ++i)
        queue.Append(Record(i));
}

} // namespace

TEST(LiveFrameQueueTest, FullQueueLosesItsOldestRecords)
{
    QMutex lock;
    LiveFrameQueue queue(lock, "test");
    Fill(queue, LiveFrameQueue::kBound + 3);
    EXPECT_EQ(queue.Count(), LiveFrameQueue::kBound);
    LiveFrameRecordPtr first = queue.TakeFirst();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->sequence, 3) << "records 0 to 2 went first";
    queue.Drain();
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(queue.TakeFirst(), nullptr);
}

TEST(LiveFrameQueueTest, QueuesOfOneSetShareTheirLock)
{
    QMutex lock;
    auto queues = MakeLiveFrameQueues<3>(lock, "set");
    queues[1].Append(Record(7));
    {
        QMutexLocker held(&lock);
        EXPECT_EQ(queues[0].CountHeld() + queues[1].CountHeld() + queues[2].CountHeld(), 1);
        EXPECT_FALSE(lock.tryLock()) << "the set's lock is the one held";
    }
    EXPECT_EQ(queues[1].TakeFirst()->sequence, 7);
}

struct DropCase
{
    const char* name;
    int rate;
    int queued;        // records in the queue when the frame arrives
    bool wasDropping;  // the rule's state before the frame
    bool predicted;
    bool admitted;
    bool dropping;     // the rule's state after the frame
};

void PrintTo(const DropCase& c, std::ostream* os)
{
    *os << c.name;
}

class LiveDropRuleTest : public ::testing::TestWithParam<DropCase> {};

TEST_P(LiveDropRuleTest, AdmitsOrDrops)
{
    const DropCase& c = GetParam();
    QMutex lock;
    LiveFrameQueue queue(lock, "live");
    if (c.wasDropping) {
        Fill(queue, 3 * std::max(c.rate, 15) + 1);
        ASSERT_FALSE(queue.Admit(c.rate, true)) << "the backlog starts the drop";
        ASSERT_TRUE(queue.IsDropping());
        while (queue.Count() > c.queued)
            queue.TakeFirst();
    } else {
        Fill(queue, c.queued);
    }
    EXPECT_EQ(queue.Admit(c.rate, c.predicted), c.admitted);
    EXPECT_EQ(queue.IsDropping(), c.dropping);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LiveDropRuleTest,
    ::testing::Values(
        // Rate 5: the threshold is 3 x 15 = 45 (the rate counts as at least 15).
        DropCase{"AtTheThresholdNothingDrops", 5, 45, false, true, true, false},
        DropCase{"AboveTheThresholdPredictedFramesDrop", 5, 46, false, true, false, true},
        DropCase{"KeyFramesPassWhileDropping", 5, 46, false, false, true, true},
        // Rate 30: the threshold is 90.
        DropCase{"HighRateRaisesTheThreshold", 30, 60, false, true, true, false},
        DropCase{"HighRateAboveItsThreshold", 30, 91, false, true, false, true},
        // Once dropping, it goes on down to the rate and stops below it.
        DropCase{"DroppingGoesOnAtTheRate", 10, 10, true, true, false, true},
        DropCase{"DroppingStopsBelowTheRate", 10, 9, true, true, true, false}),
    [](const ::testing::TestParamInfo<DropCase>& info) { return std::string(info.param.name); });
