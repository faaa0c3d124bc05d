// The video engine as the tile players use it: frames taken or refused, the queued road through
// the display thread onto a fake tile display, last frames and the orderly stop.
#include "enginefakes.h"
#include "h264fixture.h"
#include "ownencoder.h"

#include "engine/hplivecontrol.h"

#include <gtest/gtest.h>

#include <QTest>

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace {

void Add(HPLiveControl& engine, const QByteArray& data, int length, int mark, int tile = 0, int type = 1,
         int codec = 1, int noDisplay = 0, int date = 20260101, int time = 120000)
{
    engine.AddLiveData(-999, tile, reinterpret_cast<const uint8_t*>(data.constData()), length, type, tile, 0, 0,
                       date, time, codec, noDisplay, mark, 33);
}

} // namespace

TEST(HPLiveControl, TakesFramesUpToTheRecordSize)
{
    FakeHost host;
    FakeDisplay display;
    HPLiveControl engine(&host, &display); // not started: frames stay queued
    const QByteArray big(kLiveFrameCapacity + 1, '\x01');
    struct Case
    {
        const char* what;
        int length;
        int mark;
        bool queued;
    };
    const Case cases[] = {
        {"exactly the record", kLiveFrameCapacity, 5, true},
        {"one byte over", kLiveFrameCapacity + 1, 5, false},
        {"empty with the no-data mark", 0, 99, true},
        {"empty otherwise", 0, 5, false},
        {"negative", -3, -1, false},
    };
    int expected = 0;
    for (const Case& c : cases) {
        Add(engine, big, c.length, c.mark);
        expected += c.queued ? 1 : 0;
        EXPECT_EQ(engine.QueuedFrames(), expected) << c.what;
    }
    host.closing = true;
    Add(engine, big, 100, 5);
    EXPECT_EQ(engine.QueuedFrames(), expected) << "a closing dialog takes nothing";
}

TEST(HPLiveControl, LastFrameSlotCopiesAndClears)
{
    FakeHost host;
    FakeDisplay display;
    HPLiveControl engine(&host, &display);
    LiveFrame frame;
    frame.serverId = -999;
    frame.camera = 3;
    frame.width = 720;
    frame.height = 480;
    frame.length = 4;
    std::memcpy(frame.Data(), "abcd", 4);
    engine.SetLastFrame(3, &frame);
    std::memcpy(frame.Data(), "zzzz", 4);
    const LiveFrame kept = engine.LastFrame(3);
    EXPECT_EQ(kept.width, 720);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(kept.Data()), 4), QByteArray("abcd"));
    engine.SetLastFrame(3, nullptr);
    const LiveFrame cleared = engine.LastFrame(3);
    EXPECT_EQ(cleared.serverId, -1);
    EXPECT_EQ(cleared.camera, -1);
    EXPECT_EQ(cleared.width, 336);
    EXPECT_EQ(cleared.height, 224);
    EXPECT_EQ(cleared.mark, -1);
    EXPECT_EQ(engine.LastFrame(16).width, 336) << "tiles outside 0..15 read as cleared";
    EXPECT_EQ(engine.GetFrameBuffer(16), nullptr);
    EXPECT_EQ(engine.GetFrameBuffer(-1), nullptr);
}

TEST(HPLiveControl, DirectDrawOnlyWhenCreatedAndWanted)
{
    FakeHost host;
    HPLiveControl engine(&host, nullptr);
    EXPECT_EQ(engine.IsDirectDraw(), 0);
    engine.SetUseDirectDraw(1);
    EXPECT_EQ(engine.IsDirectDraw(), 1);
    engine.SetDirectXWanted(0);
    EXPECT_EQ(engine.IsDirectDraw(), 0);
}

TEST(HPLiveControl, QueuedH264ReachesTheTileDisplay)
{
    const auto stream = h264fixture::Make("queued", "testsrc2", 320, 240, 3, 3);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    FakeHost host;
    FakeDisplay display;
    HPLiveControl engine(&host, &display);
    ASSERT_EQ(engine.Init(), 0);
    const int frameBytes = 320 * 240 * 3;
    for (int i = 0; i < stream.units.size(); ++i)
        Add(engine, QByteArray(104, '\0') + stream.units[i], 104 + stream.units[i].size(), 5, 2, i == 0 ? 1 : 0, 1,
            0, 20260101, 120000 + i);
    // An empty frame with the no-data mark is shown too ("No Data" over the picture).
    Add(engine, QByteArray(), 0, 99, 2, 2);
    // Frames may be batched; the last one always arrives once the queue is empty.
    ASSERT_TRUE(display.WaitForMark(99));
    const auto frames = display.Frames();
    ASSERT_EQ(frames.back().mark, 99);
    const ShownFrame* last = nullptr;
    for (const ShownFrame& frame : frames) {
        EXPECT_EQ(frame.tile, 2);
        EXPECT_EQ(frame.width, 320);
        EXPECT_EQ(frame.height, 240);
        if (frame.mark != 99)
            last = &frame;
    }
    ASSERT_NE(last, nullptr);
    const int index = last->time - 120000;
    EXPECT_TRUE(last->picture == h264fixture::ToBgra(stream.rgb.mid(index * frameBytes, frameBytes)));
    EXPECT_EQ(engine.LastFrame(2).mark, 99);
    EXPECT_TRUE(engine.Shutdown());
    EXPECT_TRUE(engine.IsDisplayStopped());
    EXPECT_EQ(engine.Pool().InUseCount(), 0);
}

// A tile's 14 MB picture buffer is made when the tile first shows a picture, once: clearing the
// pictures of tiles that never played (as every change of layout does) makes none.
TEST(HPLiveControl, PictureBufferIsMadeOnlyWhenATileFirstShowsAPicture)
{
    const auto stream = h264fixture::Make("lazy", "testsrc2", 320, 240, 3, 3);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    FakeHost host;
    FakeDisplay display;
    HPLiveControl engine(&host, &display);
    ASSERT_EQ(engine.Init(), 0);
    const auto madeBuffers = [&engine] {
        std::vector<int> tiles;
        for (int tile = 0; tile < kEngineTiles; ++tile) {
            if (engine.HasFrameBuffer(tile))
                tiles.push_back(tile);
        }
        return tiles;
    };
    EXPECT_EQ(madeBuffers(), std::vector<int>{}) << "after start-up";
    for (int tile = 0; tile < kEngineTiles; ++tile)
        engine.ClearFrameBuffer(tile);
    EXPECT_EQ(madeBuffers(), std::vector<int>{}) << "after clearing every tile";
    EXPECT_FALSE(engine.HasFrameBuffer(-1));
    EXPECT_FALSE(engine.HasFrameBuffer(kEngineTiles));

    Add(engine, QByteArray(104, '\0') + stream.units[0], 104 + stream.units[0].size(), 5, 7, 1);
    ASSERT_TRUE(display.WaitFor(1));
    EXPECT_EQ(madeBuffers(), std::vector<int>{7}) << "after tile 7 showed a picture";
    const uint8_t* made = engine.GetFrameBuffer(7);
    ASSERT_NE(made, nullptr);

    // Later pictures go into the same buffer; clearing keeps it.
    for (int i = 1; i < stream.units.size(); ++i)
        Add(engine, QByteArray(104, '\0') + stream.units[i], 104 + stream.units[i].size(), 5, 7, 0);
    Add(engine, QByteArray(), 0, 99, 7, 2);
    ASSERT_TRUE(display.WaitForMark(99));
    engine.ClearFrameBuffer(7);
    EXPECT_EQ(engine.GetFrameBuffer(7), made);
    EXPECT_EQ(made[0], 0) << "cleared";
    EXPECT_EQ(madeBuffers(), std::vector<int>{7});
    EXPECT_TRUE(engine.Shutdown());
}

TEST(HPLiveControl, RedrawsStopWithTheDisplayThread)
{
    FakeHost host;
    FakeDisplay display;
    HPLiveControl engine(&host, &display);
    engine.Init();
    engine.RedrawCameos({1, 17, 4});
    EXPECT_EQ(display.redrawn, (std::vector<int>{1, 4}));
    engine.Shutdown();
    engine.RedrawAll();
    EXPECT_EQ(display.redrawn.size(), 2u);
}

TEST(HPLiveControl, OwnDecoderFramesShowAs32BitPictures)
{
    // A 336 x 224 key picture of the own decoder, every luma block at 90, chroma neutral.
    OwnEncoder encoder;
    encoder.PictureHeader(true, 2, 0);
    for (int mb = 0; mb < 21 * 14; ++mb) {
        encoder.KeyMacroblock(0, 0);
        for (int j = 0; j < 4; ++j)
            encoder.Dc(90);
        encoder.Dc(128);
        encoder.Dc(128);
    }
    encoder.EndCode();
    const QByteArray frame = encoder.Frame(1);
    FakeHost host;
    FakeDisplay display;
    HPLiveControl engine(&host, &display);
    ASSERT_EQ(engine.Init(), 0);
    Add(engine, frame, frame.size(), 5, 4, 1, 0);
    ASSERT_TRUE(display.WaitFor(1));
    const ShownFrame shown = display.Frames().front();
    EXPECT_EQ(shown.tile, 4);
    EXPECT_EQ(shown.width, 336);
    EXPECT_EQ(shown.height, 224);
    ASSERT_EQ(shown.picture.size(), 336 * 224 * 4);
    // Blue, green, red, then the routine's fourth byte.
    EXPECT_EQ(shown.picture.mid(0, 4).toHex(), QByteArray("5a5a5a00"));
    EXPECT_EQ(shown.picture.mid(336 * 224 * 4 - 4).toHex(), QByteArray("5a5a5a00"));
    EXPECT_TRUE(engine.Shutdown());
}

namespace {

// A tile display that holds the display thread inside DisplayFrame until released.
class BlockingDisplay : public TileDisplay
{
public:
    int DisplayFrame(int, LiveFrame&, const uint8_t*, int, int) override
    {
        std::unique_lock<std::mutex> guard(lock);
        entered = true;
        changed.notify_all();
        changed.wait(guard, [this] { return released; });
        return 0;
    }
    void RedrawCameos(const std::vector<int>&) override {}
    bool WaitEntered()
    {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(60), [this] { return entered; });
    }
    void Release()
    {
        std::lock_guard<std::mutex> guard(lock);
        released = true;
        changed.notify_all();
    }
    std::mutex lock;
    std::condition_variable changed;
    bool entered = false;
    bool released = false;
};

} // namespace

TEST(HPLiveControl, ShutdownGivesUpOnAHungDisplayThread)
{
    FakeHost host;
    BlockingDisplay display;
    auto engine = std::make_unique<HPLiveControl>(&host, &display);
    ASSERT_EQ(engine->Init(), 0);
    // A no-data frame is shown without decoding (frame type 2).
    Add(*engine, QByteArray(), 0, 99, 1, 2);
    ASSERT_TRUE(display.WaitEntered());
    EXPECT_FALSE(engine->Shutdown(50)) << "the thread hangs in the display";
    EXPECT_FALSE(engine->IsDisplayStopped());
    // Once the display lets go, the thread ends on its own and marks the display stopped.
    display.Release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return engine->IsDisplayStopped(); }, 60000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return engine->Shutdown(0); }, 60000));
    engine.reset();
}
