// The live frame queue on its own: the count bound, the order it keeps and the backlog drop rule
// with its two thresholds (start above three times the larger of the rate and 15, stop below
// the rate).
#include <QByteArray>
#include <QMutex>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

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
    int queued;       // records in the queue when the frame arrives
    bool wasDropping; // the rule's state before the frame
    bool predicted;
    bool admitted;
    bool dropping; // the rule's state after the frame
};

void PrintTo(const DropCase& c, std::ostream* os)
{
    *os << c.name;
}

class LiveDropRuleTest : public ::testing::TestWithParam<DropCase>
{};

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

INSTANTIATE_TEST_SUITE_P(Cases, LiveDropRuleTest,
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
                         [](const ::testing::TestParamInfo<DropCase>& info) {
                             return std::string(info.param.name);
                         });

namespace {

// A live frame of `bytes` payload bytes: 'K' a key frame, 'P' a predicted one.
LiveFrameRecordPtr Frame(char type, int bytes, int sequence)
{
    auto record = std::make_unique<LiveFrameRecord>();
    record->frameType = type == 'K' ? 1 : 0;
    record->size = bytes;
    record->sequence = sequence;
    return record;
}

// The queued frames as "K1 P2 ...", taking them.
std::string TakeAll(LiveFrameQueue& queue)
{
    std::string out;
    while (LiveFrameRecordPtr r = queue.TakeFirst())
        out += (out.empty() ? "" : " ") + std::string(r->frameType == 1 ? "K" : "P") + std::to_string(r->sequence);
    return out;
}

struct ByteBoundCase
{
    const char* name;
    const char* frames; // "K30 P10 ...": type and size; sequence numbers count from 1
    const char* kept;   // what the queue then holds, in order
};

void AppendAll(LiveFrameQueue& queue, const char* frames)
{
    int sequence = 0;
    for (const char* p = frames; *p;) {
        while (*p == ' ')
            ++p;
        if (!*p)
            break;
        const char type = *p++;
        queue.Append(Frame(type, std::atoi(p), ++sequence));
        while (*p && *p != ' ')
            ++p;
    }
}

} // namespace

// A queue bounded at 100 bytes.
TEST(LiveFrameQueueTest, ByteBoundDropsWholeGroupsOfPictures)
{
    const ByteBoundCase cases[] = {
        {"fits", "K30 P10 P10 K30 P10", "K1 P2 P3 K4 P5"},
        {"oldest group goes, the next key frame stays", "K30 P10 P10 K30 P10 P20", "K4 P5 P6"},
        {"two groups go when one is not enough", "K20 P10 K20 P10 K20 P10 P60", "K5 P6 P7"},
        {"no key frame left: the predicted frame goes too, and those after it", "K60 P30 P20 P5", ""},
        {"... until the next key frame", "K60 P30 P20 P5 K10 P5", "K5 P6"},
        {"a key frame that does not fit empties the queue and stays", "K60 P30 K20 P1", "K3 P4"},
    };
    for (const ByteBoundCase& c : cases) {
        QMutex lock;
        LiveFrameQueue queue(lock, "test", 100);
        AppendAll(queue, c.frames);
        EXPECT_LE(queue.Bytes(), 100) << c.name;
        EXPECT_EQ(TakeAll(queue), c.kept) << c.name;
        EXPECT_EQ(queue.Bytes(), 0) << c.name;
    }
}

TEST(LiveFrameQueueTest, BytesFollowTakesAndDrains)
{
    QMutex lock;
    LiveFrameQueue queue(lock, "test", LiveFrameQueue::kLiveByteBound);
    queue.Append(Frame('K', 500000, 1));
    queue.Append(Frame('P', 20000, 2));
    EXPECT_EQ(queue.Bytes(), 520000);
    queue.TakeFirst();
    EXPECT_EQ(queue.Bytes(), 20000);
    queue.Drain();
    EXPECT_EQ(queue.Bytes(), 0);
    // A flood of large key frames stays within the bound (in the field: 16 channels of these
    // grew to gigabytes while the decoders stalled).
    for (int i = 0; i < 200; ++i)
        queue.Append(Frame('K', 400000, i));
    EXPECT_LE(queue.Bytes(), LiveFrameQueue::kLiveByteBound);
    EXPECT_GT(queue.Bytes(), LiveFrameQueue::kLiveByteBound - 400000);
}

TEST(LiveFrameQueueTest, QueueWithoutByteBoundKeepsCountingOnly)
{
    QMutex lock;
    LiveFrameQueue queue(lock, "playback");
    for (int i = 0; i < 40; ++i)
        queue.Append(Frame('P', 1000000, i));
    EXPECT_EQ(queue.Count(), 40);
}

TEST(LiveFrameQueueTest, QueuedTimeIsTheSumOfTheQueuedDelays)
{
    QMutex lock;
    LiveFrameQueue queue(lock, "live");
    const int delays[] = {0, 33, 40, -111, 27};
    for (int delay : delays) {
        LiveFrameRecordPtr record = Record(delay);
        record->delay = delay;
        queue.Append(std::move(record));
    }
    EXPECT_EQ(queue.QueuedMs(), 100) << "a playback mark in the delay covers no time";
    queue.TakeFirst();
    queue.TakeFirst();
    EXPECT_EQ(queue.QueuedMs(), 67);
    queue.Drain();
    EXPECT_EQ(queue.QueuedMs(), 0);
}

TEST(LiveFrameQueueTest, AWaitingConsumerIsWokenByAnAppend)
{
    QMutex lock;
    LiveFrameQueue queue(lock, "live");
    std::atomic<bool> stop{false};
    LiveFrameRecordPtr taken;
    std::thread consumer([&] { taken = queue.TakeFirstWaiting([&] { return stop.load(); }); });
    queue.Append(Record(42));
    consumer.join();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->sequence, 42);
}

TEST(LiveFrameQueueTest, AWaitingConsumerIsWokenToStop)
{
    QMutex lock;
    LiveFrameQueue queue(lock, "live");
    std::atomic<bool> stop{false};
    std::atomic<bool> returned{false};
    LiveFrameRecordPtr taken = Record(1);
    std::thread consumer([&] {
        taken = queue.TakeFirstWaiting([&] { return stop.load(); });
        returned = true;
    });
    stop = true;
    queue.WakeConsumer();
    consumer.join();
    EXPECT_TRUE(returned.load());
    EXPECT_EQ(taken, nullptr) << "nothing was queued";
}

TEST(LiveFrameQueueTest, AWaitEndsWhenItsConditionHoldsAfterAnAppend)
{
    QMutex lock;
    LiveFrameQueue queue(lock, "live");
    std::thread producer([&] {
        for (int i = 0; i < 3; ++i) {
            LiveFrameRecordPtr record = Record(i);
            record->delay = 300;
            queue.Append(std::move(record));
        }
    });
    // A deadline far beyond any test run: only the appends can end the wait.
    queue.WaitUntil(QDeadlineTimer(std::chrono::hours(1)), [&] { return queue.QueuedMsHeld() > 500; });
    producer.join();
    EXPECT_EQ(queue.QueuedMs(), 900);
}

// The records a consumer has finished with come back to the producer for its next frames, so a
// steady stream allocates nothing: the take that hands one back and the append that takes one
// each hold the lock once.
TEST(LiveFrameQueueTest, FinishedRecordsComeBackToTheProducerWithTheirMemory)
{
    QMutex lock;
    LiveFrameQueue queue(lock, "live", LiveFrameQueue::kLiveByteBound);
    const QByteArray frame(5000, 'k');
    auto first = std::make_unique<LiveFrameRecord>();
    first->frameType = 1;
    first->CopyPayload(frame.constData(), frame.size());
    const char* memory = first->payload.get();
    EXPECT_EQ(queue.AppendTakingSpare(std::move(first)), nullptr) << "nothing to reuse yet";

    qint64 queuedMs = -1;
    LiveFrameRecordPtr taken = queue.TakeFirstWaiting([] { return false; }, nullptr, &queuedMs);
    ASSERT_TRUE(taken);
    EXPECT_EQ(queuedMs, 0);
    auto second = std::make_unique<LiveFrameRecord>();
    second->delay = 40;
    queue.Append(std::move(second));
    LiveFrameRecordPtr next = queue.TakeFirstWaiting([] { return false; }, std::move(taken), &queuedMs);
    ASSERT_TRUE(next);
    EXPECT_EQ(next->delay, 40);

    // The finished first record is the spare; recycled, it keeps its memory and forgets the rest.
    LiveFrameRecordPtr spare = queue.AppendTakingSpare(std::move(next));
    ASSERT_TRUE(spare);
    EXPECT_EQ(spare->payload.get(), memory);
    spare->Recycle();
    EXPECT_EQ(spare->frameType, 0);
    EXPECT_EQ(spare->size, 0);
    EXPECT_FALSE(spare->HasPayload());
    spare->CopyPayload(frame.constData(), 1200);
    EXPECT_EQ(spare->payload.get(), memory) << "a smaller frame fits the memory it has";
    EXPECT_EQ(QByteArray(spare->payload.get() + 1200, 16), QByteArray(16, '\0'));
    spare->CopyPayload(frame.constData(), frame.size());
    EXPECT_EQ(spare->payload.get(), memory);
    const QByteArray larger(9000, 'L');
    spare->CopyPayload(larger.constData(), larger.size());
    EXPECT_EQ(QByteArray(spare->payload.get(), larger.size()), larger) << "a larger frame gets memory of its size";
    EXPECT_GE(spare->capacity, larger.size() + 16);
}

TEST(LiveFrameQueueTest, OnlyAFewSmallEnoughSparesAreKeptAndADrainLetsThemGo)
{
    QMutex lock;
    LiveFrameQueue queue(lock, "live");
    const QByteArray small(100, 's');
    const QByteArray huge(LiveFrameQueue::kSpareCapacityLimit + 1, 'h');
    auto handBack = [&](const QByteArray& payload) {
        auto record = std::make_unique<LiveFrameRecord>();
        record->CopyPayload(payload.constData(), payload.size());
        queue.Append(Record(0));
        EXPECT_TRUE(queue.TakeFirstWaiting([] { return false; }, std::move(record)));
    };
    handBack(huge);
    for (int i = 0; i < LiveFrameQueue::kSpares + 3; ++i)
        handBack(small);
    int spares = 0;
    while (LiveFrameRecordPtr spare = queue.AppendTakingSpare(Record(1))) {
        EXPECT_LE(spare->capacity, LiveFrameQueue::kSpareCapacityLimit) << "a record this large is freed";
        ++spares;
    }
    EXPECT_EQ(spares, LiveFrameQueue::kSpares);

    handBack(small);
    queue.Drain();
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(queue.AppendTakingSpare(Record(2)), nullptr) << "the drain let the spare go";
    EXPECT_EQ(queue.Count(), 1);
}

struct CatchUpCase
{
    const char* name;
    int catchUpMs;      // 0: the queue never skips
    const char* frames; // one letter a frame, each 100 ms after the one before
    const char* taken;  // the frame the consumer takes next
    const char* rest;   // what stays queued behind it
    int skipped;
};

// A channel held up skips to its newest queued key frame, and only when it is further behind
// than its catch-up time: a predicted frame is never taken without the frames it refers to.
TEST(LiveFrameQueueTest, AChannelFarBehindSkipsToItsNewestKeyFrame)
{
    const CatchUpCase cases[] = {
        {"at the limit: nothing skipped", 300, "KPP", "K1", "P2 P3", 0},
        {"behind, with a later key frame", 300, "KPPKP", "K4", "P5", 3},
        {"behind, two later key frames: the newest", 300, "KPKPPK", "K6", "", 5},
        {"behind, but no later key frame to start from", 300, "KPPPP", "K1", "P2 P3 P4 P5", 0},
        {"behind, the front predicted frames have no key frame after them", 300, "PPPPP", "P1", "P2 P3 P4 P5", 0},
        {"a queue that does not catch up", 0, "KPPKP", "K1", "P2 P3 K4 P5", 0},
    };
    for (const CatchUpCase& c : cases) {
        QMutex lock;
        LiveFrameQueue queue(lock, "live", LiveFrameQueue::kLiveByteBound);
        queue.SetCatchUp(c.catchUpMs);
        int sequence = 0;
        for (const char* p = c.frames; *p; ++p) {
            LiveFrameRecordPtr frame = Frame(*p, 1000, ++sequence);
            frame->delay = 100;
            queue.Append(std::move(frame));
        }
        LiveFrameRecordPtr taken = queue.TakeFirstWaiting([] { return false; });
        ASSERT_TRUE(taken) << c.name;
        EXPECT_EQ(std::string(taken->frameType == 1 ? "K" : "P") + std::to_string(taken->sequence), c.taken)
            << c.name;
        EXPECT_EQ(TakeAll(queue), c.rest) << c.name;
        EXPECT_EQ(queue.SkippedToCatchUp(), c.skipped) << c.name;
        EXPECT_EQ(queue.Bytes(), 0) << c.name << ": skipped frames leave the byte count";
    }
}

struct WakeCase
{
    const char* name;
    qint64 wakeAboveMs;
    int wakes; // sent by three appends of 100 ms each
};

// A consumer pausing until more than 250 ms of video is queued: with the threshold given, only
// the append that gets there wakes it; a plain pause is woken by none. A wake whose condition
// cannot hold yet would only put the consumer back to sleep.
TEST(LiveFrameQueueTest, AppendsWakeAWaitingConsumerOnlyWhenItsWaitMayEnd)
{
    const WakeCase cases[] = {
        {"any record wakes", LiveFrameQueue::kWakeOnAnyRecord, 3},
        {"only the append past 250 ms", 250, 1},
        {"a pause: no append wakes", LiveFrameQueue::kWakeOnNoRecord, 0},
    };
    for (const WakeCase& c : cases) {
        QMutex lock;
        LiveFrameQueue queue(lock, "live");
        const bool pause = c.wakeAboveMs == LiveFrameQueue::kWakeOnNoRecord;
        std::atomic<bool> release{false};
        std::atomic<bool> finished{false};
        std::thread consumer([&] {
            queue.WaitUntil(
                QDeadlineTimer(std::chrono::hours(1)),
                [&] { return release.load() || (!pause && queue.QueuedMsHeld() > 250); }, c.wakeAboveMs);
            finished = true;
        });
        while (!queue.ConsumerWaits())
            std::this_thread::yield();
        const int before = queue.WakesSent();
        for (int i = 0; i < 3; ++i) {
            LiveFrameRecordPtr record = Record(i);
            record->delay = 100;
            queue.Append(std::move(record));
        }
        const int woken = queue.WakesSent() - before;
        if (!pause) {
            // The last wake ends the wait (a generous limit: only a lost wake exceeds it).
            QDeadlineTimer limit(std::chrono::minutes(1));
            while (!finished && !limit.hasExpired())
                std::this_thread::yield();
        }
        EXPECT_EQ(finished.load(), !pause) << c.name;
        release = true;
        queue.WakeConsumer();
        consumer.join();
        EXPECT_EQ(woken, c.wakes) << c.name;
    }
}
