// The video engine and the grid together: H.264 frames that a tile's player hands to the engine
// reach the grid's window through the tile display, pixel for pixel as ffmpeg decodes them.
#include "../engine/h264fixture.h"
#include "engine/hplivecontrol.h"
#include "ui/cameodisplay.h"
#include "ui/cameodisplayhost.h"
#include "ui/cameogrid.h"
#include "ui/gridlivecontrolhost.h"
#include "ui/windowcanvas.h"

#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

class PlayingDisplayHost : public CameoDisplayHost
{
public:
    void SetCurrentTile(int tile) override { currentTile = tile; }
    bool IsTilePlaying(int) const override { return true; }
    bool ShowCurrentFrame(int) override { return false; }
    std::optional<OsdPlayerText> PlayerText(int) const override { return OsdPlayerText{}; }
    bool CaptureForExport(int, int, const uint8_t*, int, int, int, int, int) override { return false; }
    bool HoldsPresenting() const override { return false; }
    bool IsDirectDraw() const override { return false; }
    std::atomic<int> currentTile{-1};
};

// The picture area away from the OSD's texts and glyph.
const QRect kClearArea(20, 60, 296, 110);

bool MatchesReference(const QImage& shown, const QImage& reference)
{
    for (int y = kClearArea.top(); y <= kClearArea.bottom(); ++y) {
        for (int x = kClearArea.left(); x <= kClearArea.right(); ++x) {
            if ((shown.pixel(x, y) & 0xFFFFFF) != (reference.pixel(x, y) & 0xFFFFFF)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TEST(EngineTilesTest, QueuedH264FramesAppearOnTheirTileAsFfmpegDecodesThem)
{
    const h264fixture::Stream stream = h264fixture::Make("gridtiles", "smptebars", 336, 224, 4, 2);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    // The engine always ends by showing the last frame once its queue is empty.
    const int frameBytes = 336 * 224 * 3;
    const QByteArray bgra = h264fixture::ToBgra(
        stream.rgb.mid((stream.units.size() - 1) * frameBytes, frameBytes));
    const QImage reference(reinterpret_cast<const uchar*>(bgra.constData()), 336, 224, QImage::Format_RGB32);

    CameoGrid grid;
    grid.Update(3, [](CameoItem& item) {
        item.assigned = 1;
        item.fileTile = 1;
        item.sourceId = kFileSourceId;
        item.channel = 3;
    });
    grid.SelectCameo(3, true, false);
    grid.Layout(336, 224, 0, false, false, false);
    WindowCanvas canvas;
    canvas.Resize(336, 224);
    PlayingDisplayHost displayHost;
    CameoDisplay display(&grid, &displayHost, &canvas);
    bool closing = false;
    GridLiveControlHost liveHost(
        &grid, [&closing] { return closing; }, [] { return -1; });
    HPLiveControl engine(&liveHost, &display);
    ASSERT_EQ(engine.Init(), 0);

    for (int i = 0; i < stream.units.size(); ++i) {
        const QByteArray frame = QByteArray(104, '\0') + stream.units[i];
        engine.AddLiveData(kFileServerId, 3, reinterpret_cast<const uint8_t*>(frame.constData()), frame.size(),
                           i % 2 == 0 ? 1 : 0, 3, 0, 0, 20261210, 101500 + i, 1, 0, 5, 33);
    }
    const bool matched = QTest::qWaitFor([&] { return MatchesReference(canvas.Copy(), reference); }, 30000);
    EXPECT_TRUE(matched);
    if (!matched) {
        canvas.Copy().save(QStringLiteral(ZENT_BINARY_DIR "/enginetiles_shown.png"));
        reference.save(QStringLiteral(ZENT_BINARY_DIR "/enginetiles_reference.png"));
    }
    EXPECT_EQ(displayHost.currentTile, 3);
    closing = true;
    EXPECT_TRUE(engine.Shutdown());
}
