// The video engine and the grid together: H.264 frames that a tile's player hands to the engine
// reach the grid's window through the tile display, pixel for pixel as ffmpeg decodes them.
#include "../engine/h264fixture.h"
#include "engine/hplivecontrol.h"
#include "ui/cameodisplay.h"
#include "ui/cameodisplayhost.h"
#include "ui/cameogrid.h"
#include "ui/gridlivecontrolhost.h"
#include "ui/tilesourcerect.h"
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
    bool MayCaptureForExport(int, int) const override { return false; }
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

namespace {

// Stands between the engine and the tile display and counts every conversion of the pictures
// that pass: scaled ones with their sizes, and whole ones.
class ConversionCounter : public TileDisplay
{
public:
    explicit ConversionCounter(TileDisplay& display)
        : m_display(display)
    {}

    struct Counted : TilePicture
    {
        Counted(TilePicture& inner, ConversionCounter& counter)
            : inner(inner)
            , counter(counter)
        {}
        int Width() const override { return inner.Width(); }
        int Height() const override { return inner.Height(); }
        bool ScaleInto(const QRect& source, uint8_t* out, int width, int height, int stride) override
        {
            std::lock_guard<std::mutex> guard(counter.lock);
            counter.scaledSizes.push_back(QSize(width, height));
            return inner.ScaleInto(source, out, width, height, stride);
        }
        const uint8_t* Whole() override
        {
            ++counter.wholes;
            return inner.Whole();
        }
        TilePicture& inner;
        ConversionCounter& counter;
    };

    int DisplayFrame(int tile, LiveFrame& frame, const uint8_t* picture, int useDirectDraw,
                     int fromDecoder) override
    {
        ++converted;
        return m_display.DisplayFrame(tile, frame, picture, useDirectDraw, fromDecoder);
    }
    int DisplayPicture(int tile, LiveFrame& frame, TilePicture& picture, int useDirectDraw,
                       int fromDecoder) override
    {
        ++kept;
        Counted counted(picture, *this);
        return m_display.DisplayPicture(tile, frame, counted, useDirectDraw, fromDecoder);
    }
    void RedrawCameos(const std::vector<int>& tiles) override { m_display.RedrawCameos(tiles); }

    std::vector<QSize> ScaledSizes()
    {
        std::lock_guard<std::mutex> guard(lock);
        return scaledSizes;
    }

    std::atomic<int> converted{0}; // shown from a whole 32-bit picture
    std::atomic<int> kept{0};      // shown from the decoder's picture
    std::atomic<int> wholes{0};
    std::mutex lock;
    std::vector<QSize> scaledSizes;

private:
    TileDisplay& m_display;
};

// Mean difference per colour component over the picture area of a tile.
double MeanDifference(const QImage& shown, const QRect& tile, const QImage& expected)
{
    const QRect area = QRect(QPoint(0, 0), tile.size()).adjusted(8, 30, -8, -30);
    double sum = 0;
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb a = shown.pixel(tile.left() + x, tile.top() + y);
            const QRgb b = expected.pixel(x, y);
            sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
            count += 3;
        }
    }
    return count ? sum / count : 255;
}

} // namespace

// A picture is converted once, at the size of the tile that shows it, for every layout; the
// whole 32-bit picture is made only when the tile's picture buffer is read, and then holds what
// ffmpeg decodes.
TEST(EngineTilesTest, PicturesAreConvertedOnceAtTheirTilesSize)
{
    const h264fixture::Stream stream = h264fixture::Make("oncetiles", "smptebars", 352, 240, 2, 1);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const int frameBytes = 352 * 240 * 3;
    const QByteArray bgra = h264fixture::ToBgra(
        stream.rgb.mid((stream.units.size() - 1) * frameBytes, frameBytes));
    const QImage reference(reinterpret_cast<const uchar*>(bgra.constData()), 352, 240, QImage::Format_RGB32);

    struct Case
    {
        int layoutCode;
        int tile;
    };
    for (const Case& c : {Case{0, 0}, Case{1, 2}, Case{7, 9}}) {
        SCOPED_TRACE(c.layoutCode);
        CameoGrid grid;
        grid.Layout(704, 480, c.layoutCode, false, false, false);
        grid.Update(c.tile, [&c](CameoItem& item) {
            item.assigned = 1;
            item.fileTile = 1;
            item.sourceId = kFileSourceId;
            item.channel = c.tile;
        });
        CameoRect rect;
        ASSERT_TRUE(grid.GetCameoRect(c.tile, &rect));
        const QRect target = rect.ToQRect();
        WindowCanvas canvas;
        canvas.Resize(704, 480);
        PlayingDisplayHost displayHost;
        CameoDisplay display(&grid, &displayHost, &canvas);
        ConversionCounter counter(display);
        bool closing = false;
        GridLiveControlHost liveHost(
            &grid, [&closing] { return closing; }, [] { return -1; });
        HPLiveControl engine(&liveHost, &counter);
        ASSERT_EQ(engine.Init(), 0);
        for (int i = 0; i < stream.units.size(); ++i) {
            const QByteArray frame = QByteArray(104, '\0') + stream.units[i];
            engine.AddLiveData(kFileServerId, c.tile, reinterpret_cast<const uint8_t*>(frame.constData()),
                               frame.size(), 1, c.tile, 0, 0, 20261210, 101500 + i, 1, 0, 5, 33);
        }
        // The smptebars picture, cropped as the tile shows it, scaled to the tile.
        int panX = 0;
        int panY = 0;
        const QRect source = TileSourceRect::Compute(352, 240, 1.0f, &panX, &panY);
        const QImage expected = reference.copy(source).scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const bool shown = QTest::qWaitFor(
            [&] {
                return counter.kept.load() == stream.units.size()
                       && MeanDifference(canvas.Copy(), target, expected) < 6;
            },
            30000);
        EXPECT_TRUE(shown) << "shown " << counter.kept.load() << ", difference "
                           << MeanDifference(canvas.Copy(), target, expected);
        EXPECT_EQ(counter.converted.load(), 0);
        EXPECT_EQ(counter.wholes.load(), 0);
        const std::vector<QSize> sizes = counter.ScaledSizes();
        EXPECT_EQ(int(sizes.size()), counter.kept.load());
        for (const QSize& size : sizes)
            EXPECT_EQ(size, target.size());
        // Read, the buffer holds the last picture whole, byte for byte as ffmpeg decodes it.
        const uint8_t* buffer = engine.GetFrameBuffer(c.tile);
        ASSERT_NE(buffer, nullptr);
        EXPECT_TRUE(QByteArray(reinterpret_cast<const char*>(buffer), bgra.size()) == bgra);
        closing = true;
        EXPECT_TRUE(engine.Shutdown());
    }
}
