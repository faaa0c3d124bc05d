// The display thread's rules on one thread with a fake decoder and clock: frame dropping under a
// long queue, the batch rule, hidden tiles, decoding errors and sizes.
#include "enginefakes.h"

#include "engine/displayloop.h"
#include "engine/liveframequeues.h"
#include "engine/poolliveframe.h"

#include <gtest/gtest.h>

#include <map>

namespace {

class FakeTarget : public DisplayLoopTarget
{
public:
    int DecodeQueued(int tile, LiveFrame& frame, int fieldMode) override
    {
        decoded.push_back({tile, frame.date});
        fieldModes.push_back(fieldMode);
        auto it = results.find(frame.date);
        return it != results.end() ? it->second : 352240;
    }
    void KeepLastFrame(int tile, const LiveFrame& frame) override { kept[tile] = frame.date; }
    void Show(int tile, LiveFrame& frame) override { shown.push_back({tile, frame.date}); }
    int LastWidth(int tile) const override { return lastWidth[size_t(tile)]; }
    int LastHeight(int tile) const override { return lastHeight[size_t(tile)]; }
    void SetLastSize(int tile, int width, int height) override
    {
        lastWidth[size_t(tile)] = width;
        lastHeight[size_t(tile)] = height;
    }

    std::map<int, int> results; // by frame number (the date field): a decoder result
    std::vector<std::pair<int, int>> decoded, shown;
    std::vector<int> fieldModes;
    std::map<int, int> kept;
    std::array<int, 16> lastWidth{}, lastHeight{};
};

struct LoopFixture : ::testing::Test
{
    LoopFixture()
        : pool(0)
        , loop(queues, pool, host, clock, target)
    {}

    // A frame numbered n (carried in its date) for tile.
    void Queue(int n, int tile, int type, FrameCodec codec = FrameCodec::H264, int keyGroup = 0)
    {
        LiveFrame* frame = pool.Take();
        ASSERT_NE(frame, nullptr);
        frame->serverId = -999;
        frame->camera = tile;
        frame->date = n;
        frame->frameType = uint8_t(type);
        frame->codec = codec;
        frame->keyGroup = keyGroup;
        frame->mark = 5;
        frame->length = 200;
        queues.Hold(frame, clock.Now());
    }

    // Steps until the queue is empty (no waiting), the clock moving on by stepMs per frame.
    void Drain(uint32_t stepMs)
    {
        while (queues.DisplayCount() > 0) {
            loop.Step(false);
            clock.now += stepMs;
        }
    }

    std::vector<int> Numbers(const std::vector<std::pair<int, int>>& frames)
    {
        std::vector<int> numbers;
        for (const auto& frame : frames)
            numbers.push_back(frame.second);
        return numbers;
    }

    FakeHost host;
    FakeClock clock;
    FakeTarget target;
    LiveFrameQueues queues;
    pool_LiveFrame pool;
    DisplayLoop loop;
};

} // namespace

TEST_F(LoopFixture, LongQueueDropsDeltaFramesUpToTheNextKeyFrame)
{
    // 70 frames: key 0, deltas 1..39, key 40, deltas 41..69. Frame 0 leaves 69 waiting (over 64):
    // the tile drops its deltas until frame 40; frames after it decode again.
    for (int n = 0; n < 70; ++n)
        Queue(n, 0, n % 40 == 0 ? 1 : 0);
    Drain(100);
    std::vector<int> expected{0};
    for (int n = 40; n < 70; ++n)
        expected.push_back(n);
    EXPECT_EQ(Numbers(target.decoded), expected);
    EXPECT_EQ(pool.InUseCount(), 0) << "every record went back to the pool";
}

TEST_F(LoopFixture, KeyFramesOfAnotherGroupAndShortQueuesAreNotDropped)
{
    // 64 waiting is not above the limit: nothing is dropped.
    for (int n = 0; n < 65; ++n)
        Queue(n, 1, n == 0 ? 1 : 0);
    Drain(100);
    EXPECT_EQ(target.decoded.size(), 65u);
    // A delta of another key group than the remembered one passes even while skipping.
    target.decoded.clear();
    for (int n = 0; n < 70; ++n)
        Queue(100 + n, 2, n == 0 ? 1 : 0, FrameCodec::H264, n == 5 ? 7 : 0);
    Drain(100);
    EXPECT_EQ(Numbers(target.decoded), (std::vector<int>{100, 105}));
}

TEST_F(LoopFixture, BatchRuleShowsNothingWhileMoreThan32Wait)
{
    // 40 frames of one tile with the clock moving 100 ms per frame: frames are shown once at most
    // 32 wait, one per pass, and the last one when the queue empties.
    for (int n = 0; n < 40; ++n)
        Queue(n, 3, 1);
    Drain(100);
    loop.Step(false);
    std::vector<int> expected;
    for (int n = 7; n < 40; ++n)
        expected.push_back(n);
    EXPECT_EQ(Numbers(target.shown), expected);
    EXPECT_EQ(target.decoded.size(), 40u) << "every frame is decoded, even when not shown";
}

TEST_F(LoopFixture, PendingFrameOfTheSecondTileIsShownWhenTheQueueEmpties)
{
    // Two tiles stepped together on a still clock: the first frame is shown at once, the second
    // falls within the same millisecond and waits; the empty queue shows it.
    Queue(1, 0, 1);
    Queue(2, 1, 1);
    loop.Step(false);
    loop.Step(false);
    EXPECT_EQ(Numbers(target.shown), (std::vector<int>{1}));
    loop.Step(false);
    EXPECT_EQ(Numbers(target.shown), (std::vector<int>{1, 2}));
    EXPECT_EQ(pool.InUseCount(), 0);
}

TEST_F(LoopFixture, WaitGrowsWithTheQueue)
{
    // 20 waiting: wait = 10 ms. A pass 10 ms after the last show shows nothing, 11 ms does.
    for (int n = 0; n < 22; ++n)
        Queue(n, 4, 1);
    loop.Step(false); // frame 0, 21 waiting: shown (the last show was 100 ms ago)
    clock.now += 11;
    loop.Step(false); // frame 1, 20 waiting: 11 > 10, shown
    clock.now += 10;
    loop.Step(false); // frame 2, 19 waiting: wait 9, 10 > 9, shown
    clock.now += 8;
    loop.Step(false); // frame 3, 18 waiting: wait 8, 8 is not more: pending
    EXPECT_EQ(Numbers(target.shown), (std::vector<int>{0, 1, 2}));
}

TEST_F(LoopFixture, HiddenTilesDecodeOnlyH264)
{
    host.shown[5] = false;
    Queue(1, 5, 1, FrameCodec::H264);
    Queue(2, 5, 1, FrameCodec::Own);
    Drain(100);
    loop.Step(false);
    EXPECT_EQ(Numbers(target.decoded), (std::vector<int>{1}));
    EXPECT_TRUE(target.shown.empty());
    EXPECT_EQ(target.kept[5], 1);
    EXPECT_EQ(pool.InUseCount(), 0);
}

TEST_F(LoopFixture, DecoderResults)
{
    target.SetLastSize(6, 336, 224);
    target.results[2] = 999; // size kept
    target.results[3] = -4;  // error: the tile skips
    Queue(1, 6, 1);          // 352 x 240
    Queue(2, 6, 0);
    Queue(3, 6, 0);
    Queue(4, 6, 0); // dropped: same key group while skipping
    Queue(5, 6, 1); // a key frame ends the skip
    Queue(6, 6, 2); // not decoded: shown at the last size
    Drain(100);
    loop.Step(false);
    EXPECT_EQ(Numbers(target.decoded), (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(Numbers(target.shown), (std::vector<int>{1, 2, 5, 6}));
    EXPECT_EQ(target.lastWidth[6], 352);
    EXPECT_EQ(target.lastHeight[6], 240);
}

TEST_F(LoopFixture, NoDisplayKeepsButDoesNotShow)
{
    LiveFrame* frame = pool.Take();
    frame->serverId = -999;
    frame->camera = 7;
    frame->date = 9;
    frame->frameType = 1;
    frame->codec = FrameCodec::H264;
    frame->noDisplay = 1;
    frame->length = 100;
    queues.Hold(frame, clock.Now());
    Drain(100);
    loop.Step(false);
    EXPECT_EQ(target.kept[7], 9);
    EXPECT_TRUE(target.shown.empty());
}

TEST_F(LoopFixture, RestartTakesOnlyAKeyFrameOfTheOwnDecoder)
{
    host.restart[8] = true;
    Queue(1, 8, 0, FrameCodec::Own);
    Queue(2, 8, 0, FrameCodec::H264); // H.264 ignores the flag
    Queue(3, 8, 1, FrameCodec::Own);  // clears it
    Queue(4, 8, 0, FrameCodec::Own);
    Drain(100);
    EXPECT_EQ(Numbers(target.decoded), (std::vector<int>{2, 3, 4}));
    EXPECT_FALSE(host.restart[8]);
}

TEST_F(LoopFixture, FieldModeOnlyInTheSingleLayout)
{
    // A frame asking for its field mode gets it only while one tile is shown.
    for (int layout : {0, 2}) {
        host.layout = layout;
        LiveFrame* frame = pool.Take();
        frame->serverId = -999;
        frame->camera = 9;
        frame->fieldHint = 1;
        frame->frameType = 1;
        queues.Hold(frame, clock.Now());
        loop.Step(false);
    }
    EXPECT_EQ(target.fieldModes, (std::vector<int>{1, 0}));
}

TEST_F(LoopFixture, UnknownSourcesAreDropped)
{
    Queue(1, 40, 1); // no tile plays camera 40
    LiveFrame* recorder = pool.Take();
    recorder->serverId = 3; // a recorder without a client
    recorder->camera = 1;
    queues.Hold(recorder, clock.Now());
    Drain(100);
    loop.Step(false);
    EXPECT_TRUE(target.decoded.empty());
    EXPECT_EQ(pool.InUseCount(), 0);
}
