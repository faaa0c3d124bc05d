// The tile players' frame sink over the video engine: queued frames reach the engine's queue
// with their values, a shown frame becomes the tile's last frame and is drawn on its tile, and a
// pause marks the last frame with the play state.
#include "playback/livecontrolframesink.h"

#include "engine/hplivecontrol.h"
#include "engine/livecontrolhost.h"
#include "engine/tiledisplay.h"

#include <QByteArray>

#include <gtest/gtest.h>

namespace {

class Host : public LiveControlHost
{
public:
    bool IsClosing() const override { return false; }
    int LayoutCode() const override { return 0; }
    int FindCameo(int, int, bool) const override { return 0; }
    bool IsTileShown(int) const override { return true; }
    bool IsRestartPending(int) const override { return false; }
    void ClearRestart(int) override {}
    bool IsStreaming(int) const override { return false; }
    int ExportCaptureMode() const override { return -1; }
};

class Display : public TileDisplay
{
public:
    int DisplayFrame(int tile, LiveFrame& frame, const uint8_t*, int, int) override
    {
        tiles.push_back(tile);
        marks.push_back(frame.mark);
        return 0;
    }
    void RedrawCameos(const std::vector<int>& list) override { redrawn += int(list.size()); }

    std::vector<int> tiles;
    std::vector<int> marks;
    int redrawn = 0;
};

} // namespace

TEST(LiveControlFrameSink, QueuesShowsAndMarksFrames)
{
    Host host;
    Display display;
    HPLiveControl engine(&host, &display); // not started: queued frames stay in the queue
    LiveControlFrameSink sink(engine);

    QByteArray record(104 + 20, '\x05');
    QueuedFrame q;
    q.data = reinterpret_cast<const quint8*>(record.constData());
    q.length = record.size();
    q.tile = 4;
    q.camera = 4;
    q.playState = 5;
    sink.AddLiveData(q);
    EXPECT_EQ(engine.QueuedFrames(), 1);
    q.length = 0; // refused by the engine unless marked as no data
    sink.AddLiveData(q);
    EXPECT_EQ(engine.QueuedFrames(), 1);

    QByteArray frame("\x00\x00\x00\x01\x65\x88\x84\x00", 8);
    sink.DecodeFrame(2, reinterpret_cast<quint8*>(frame.data()), frame.size(), 1, 0);
    ShownFrame shown;
    shown.tile = 2;
    shown.width = 352;
    shown.height = 240;
    shown.date = 20261210;
    shown.time = 80510;
    shown.playState = 5;
    sink.DisplayFrame(shown);
    ASSERT_EQ(display.tiles.size(), 1u);
    EXPECT_EQ(display.tiles[0], 2);
    const LiveFrame last = engine.LastFrame(2);
    EXPECT_EQ(last.length, 8);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(last.Data()), 8),
              QByteArray("\x00\x00\x00\x01\x65\x88\x84\x00", 8));
    EXPECT_EQ(last.serverId, -999);
    EXPECT_EQ(last.width, 352);
    EXPECT_EQ(last.time, 80510);
    EXPECT_EQ(last.mark, 5);

    sink.SetPlayState(2, 4);
    EXPECT_EQ(engine.LastFrame(2).mark, 4);
    EXPECT_EQ(engine.LastFrame(2).length, 8);

    // Tiles outside 0..15 and frames without data are not taken.
    EXPECT_LT(sink.DecodeFrame(16, reinterpret_cast<quint8*>(frame.data()), frame.size(), 1, 0), 0);
    EXPECT_LT(sink.DecodeFrame(1, nullptr, 8, 1, 0), 0);
    shown.tile = 7; // nothing decoded there yet
    sink.DisplayFrame(shown);
    EXPECT_EQ(display.tiles.size(), 1u);
}
