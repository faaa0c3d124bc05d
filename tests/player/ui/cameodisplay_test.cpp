#include "support/displayfakes.h"
#include "ui/cameodisplay.h"

#include "engine/hplivecontrol.h"
#include "ui/cameodisplayhost.h"
#include "ui/cameogrid.h"
#include "ui/windowcanvas.h"

#include <QDir>
#include <QPainter>
#include <QtTest/QTest>
#include <gtest/gtest.h>
#include <map>
#include <thread>

namespace {

class FakeDisplayHost : public CameoDisplayHost
{
public:
    void SetCurrentTile(int tile) override { currentTile = tile; }
    bool IsTilePlaying(int tile) const override { return playing.count(tile) != 0; }
    bool ShowCurrentFrame(int tile) override
    {
        ++shownAgain[tile];
        return hasData;
    }
    std::optional<OsdPlayerText> PlayerText(int) const override
    {
        OsdPlayerText text;
        text.recorderName = QStringLiteral("Yard");
        text.cameraText = QStringLiteral("CAM 3");
        return text;
    }
    bool CaptureForExport(int tile, int, const uint8_t*, int, int, int, int, int) override
    {
        if (captureTile == tile) {
            ++captured;
            return true;
        }
        return false;
    }
    bool MayCaptureForExport(int tile, int) const override { return captureTile == tile; }
    bool HoldsPresenting() const override { return false; }
    bool IsDirectDraw() const override { return directDraw; }

    std::atomic<int> currentTile{-1};
    std::map<int, bool> playing;
    std::map<int, int> shownAgain;
    bool hasData = true;
    int captureTile = -1;
    int captured = 0;
    std::atomic<bool> directDraw{false};
};

LiveFrame Frame(int width, int height, int mark)
{
    LiveFrame frame;
    frame.serverId = kFileServerId;
    frame.width = width;
    frame.height = height;
    frame.mark = mark;
    frame.date = 20261210;
    frame.time = 93015;
    return frame;
}

QRgb Rgb(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

class CameoDisplayTest : public ::testing::Test
{
protected:
    CameoDisplayTest()
        : display(&grid, &host, &canvas)
    {
        canvas.Resize(400, 300);
        grid.Layout(400, 300, 1, false, false, false);
        FileTile(1);
    }

    void FileTile(int tile)
    {
        grid.Update(tile, [tile](CameoItem& item) {
            item.assigned = 1;
            item.fileTile = 1;
            item.sourceId = kFileSourceId;
            item.channel = tile;
        });
    }

    // Shows tile 1 a picture at time and mark, scaled once into the destination or handed whole
    // (a solid colour), through the given road; expected becomes what the tile must then show:
    // the picture with the tile's OSD painted over it.
    void ShowPictureWithOsd(QImage& expected, bool scaledPicture, int seed, int time, int mark, int road);

    CameoGrid grid;
    FakeDisplayHost host;
    WindowCanvas canvas;
    CameoDisplay display;
    const QRgb red = qRgb(220, 20, 20);
};

// Where two pictures first differ ("" when they are the same).
std::string FirstDifference(const QImage& shown, const QImage& expected)
{
    if (shown.size() != expected.size() || shown.format() != expected.format()) {
        return "size or layout";
    }
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) != expected.pixel(x, y)) {
                return QStringLiteral("%1,%2: %3 not %4")
                    .arg(x)
                    .arg(y)
                    .arg(shown.pixel(x, y), 8, 16)
                    .arg(expected.pixel(x, y), 8, 16)
                    .toStdString();
            }
        }
    }
    return std::string();
}

// A decoded picture that scales into any rectangle as a pattern of its own seed.
class PatternPicture : public TilePicture
{
public:
    PatternPicture(int width, int height, int seed)
        : m_width(width)
        , m_height(height)
        , m_seed(seed)
    {}
    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    bool ScaleInto(const QRect&, uint8_t* out, int width, int height, int stride) override
    {
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<QRgb*>(out + size_t(y) * size_t(stride));
            for (int x = 0; x < width; ++x) {
                const int v = (x * 5 + y * 11 + m_seed * 37) % 256;
                row[x] = (x + y + m_seed) % 7 == 0 ? qRgb(255, 255, 255) : qRgb(v, 255 - v, (v * 3) % 256);
            }
        }
        return true;
    }
    const uint8_t* Whole() override { return nullptr; }

private:
    int m_width;
    int m_height;
    int m_seed;
};

} // namespace

TEST_F(CameoDisplayTest, ComposedTileReachesTheWindowAtItsRectangle)
{
    const std::vector<uint8_t> picture = SolidPicture(336, 224, red);
    LiveFrame frame = Frame(336, 224, 5);
    EXPECT_EQ(display.DisplayFrame(1, frame, picture.data(), 0, 1), 0);
    const QImage shown = canvas.Copy();
    EXPECT_EQ(Rgb(shown, 300, 80), red & 0xFFFFFF);                             // tile 1: top right quarter
    EXPECT_EQ(Rgb(shown, 100, 80), 0u);                                         // tile 0 untouched
    EXPECT_EQ(Rgb(shown, 300, 220), 0u);                                        // tile 3 untouched
    EXPECT_EQ(Rgb(shown, 200, 75), OsdPainter::kBorderColour.rgb() & 0xFFFFFF); // left border of tile 1
    EXPECT_EQ(host.currentTile, -1); // only the single layout moves the current tile
}

TEST_F(CameoDisplayTest, SingleLayoutMakesTheShownTileCurrent)
{
    grid.SelectCameo(1, true, false);
    grid.Layout(400, 300, 0, false, false, false);
    const std::vector<uint8_t> picture = SolidPicture(336, 224, red);
    LiveFrame frame = Frame(336, 224, 5);
    display.DisplayFrame(1, frame, picture.data(), 0, 1);
    EXPECT_EQ(host.currentTile, 1);
    EXPECT_EQ(Rgb(canvas.Copy(), 200, 150), red & 0xFFFFFF);
}

TEST_F(CameoDisplayTest, TilesOutsideTheLayoutOrWaitingForARecorderDrawNothing)
{
    const std::vector<uint8_t> picture = SolidPicture(336, 224, red);
    LiveFrame frame = Frame(336, 224, 5);
    FileTile(9); // not in the 4-split from tile 0
    display.DisplayFrame(9, frame, picture.data(), 0, 1);
    grid.Update(2, [](CameoItem& item) {
        item.assigned = 1;
        item.serverId = 4; // a live pair of a recorder client, which this program never has
        item.camera = 0;
    });
    display.DisplayFrame(2, frame, picture.data(), 0, 1);
    display.DisplayFrame(16, frame, picture.data(), 0, 1);
    display.DisplayFrame(-3, frame, picture.data(), 0, 1);
    const QImage shown = canvas.Copy();
    for (const QPoint& point : {QPoint(100, 80), QPoint(100, 220), QPoint(300, 80), QPoint(300, 220)}) {
        EXPECT_EQ(Rgb(shown, point.x(), point.y()), 0u) << point.x() << "," << point.y();
    }
}

TEST_F(CameoDisplayTest, PicturesOfImpossibleSizesAreRefused)
{
    const std::vector<uint8_t> small = SolidPicture(16, 16, red);
    LiveFrame wide = Frame(4000, 16, 5);
    display.DisplayFrame(1, wide, small.data(), 0, 1);
    LiveFrame empty = Frame(0, 0, 5);
    display.DisplayFrame(1, empty, small.data(), 0, 1);
    LiveFrame noPicture = Frame(336, 224, 5);
    display.DisplayFrame(1, noPicture, nullptr, 0, 1);
    EXPECT_EQ(Rgb(canvas.Copy(), 300, 80), 0u);
}

TEST_F(CameoDisplayTest, DoubleWidthFrameIsReducedInMultiTileLayout)
{
    const std::vector<uint8_t> picture = SolidPicture(672, 576, red);
    LiveFrame frame = Frame(672, 576, 5);
    display.DisplayFrame(1, frame, picture.data(), 0, 1);
    EXPECT_EQ(frame.width, 336);
    EXPECT_EQ(frame.height, 272);
}

TEST_F(CameoDisplayTest, ZoomedPanBeyondThePictureIsPulledBackIntoTheTile)
{
    grid.Update(1, [](CameoItem& item) {
        item.zoom = 2.0f;
        item.panX = 500;
        item.panY = 10;
    });
    const std::vector<uint8_t> picture = SolidPicture(336, 224, red);
    LiveFrame frame = Frame(336, 224, 5);
    display.DisplayFrame(1, frame, picture.data(), 0, 1);
    EXPECT_EQ(grid.View(1).item.panX, 168);
    EXPECT_EQ(grid.View(1).item.panY, 10);
}

TEST_F(CameoDisplayTest, ExportCaptureTakesThePictureInsteadOfTheScreen)
{
    host.captureTile = 1;
    const std::vector<uint8_t> picture = SolidPicture(336, 224, red);
    LiveFrame frame = Frame(336, 224, 5);
    display.DisplayFrame(1, frame, picture.data(), 0, 1);
    EXPECT_EQ(host.captured, 1);
    EXPECT_EQ(Rgb(canvas.Copy(), 300, 80), 0u);
}

TEST_F(CameoDisplayTest, RedrawAsksPlayingTilesToShowAgainAndBlanksTheRest)
{
    const std::vector<uint8_t> picture = SolidPicture(336, 224, red);
    LiveFrame frame = Frame(336, 224, 5);
    display.DisplayFrame(1, frame, picture.data(), 0, 1);
    host.playing[1] = true;
    display.RedrawCameo(1);
    EXPECT_EQ(host.shownAgain[1], 1);
    EXPECT_EQ(Rgb(canvas.Copy(), 300, 80), red & 0xFFFFFF); // the player redraws, not the blank
    host.hasData = false;
    display.RedrawCameo(1);
    EXPECT_EQ(Rgb(canvas.Copy(), 300, 80), 0u);
    display.RedrawAll(); // tiles outside the layout are skipped
    EXPECT_EQ(host.shownAgain.count(9), 0u);
    EXPECT_FALSE(display.IsDrawing(1));
}

TEST_F(CameoDisplayTest, FrontRoadReachesTheWindowThroughThePresentLoop)
{
    ASSERT_EQ(display.CreateFront(400, 300), 0);
    host.directDraw = true;
    display.StartPresenting();
    const std::vector<uint8_t> picture = SolidPicture(336, 224, red);
    LiveFrame frame = Frame(336, 224, 5);
    display.DisplayFrame(1, frame, picture.data(), 1, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Rgb(canvas.Copy(), 300, 80) == (red & 0xFFFFFF); }, 20000));
    EXPECT_EQ(Rgb(canvas.Copy(), 100, 80), 0u);
    display.StopPresenting();
}

TEST_F(CameoDisplayTest, EngineOsdOptionsBecomeTheStyle)
{
    OsdOptions options;
    options.showDate = 0;
    options.showTileNumber = 0;
    options.textColour = 0x00FF80;
    display.SetOsdOptions(options);
    const OsdStyle style = display.GetOsdStyle();
    EXPECT_FALSE(style.showDate);
    EXPECT_FALSE(style.showTileNumber);
    EXPECT_TRUE(style.showTime);
    EXPECT_EQ(style.textColour & 0xFFFFFF, qRgb(0, 255, 128) & 0xFFFFFF);
}

TEST_F(CameoDisplayTest, LargeGridsShowSpareCellsAsEmptyBorderedCells)
{
    grid.Layout(600, 600, 9, false, false, false);
    display.ClearWindow();
    const QImage shown = canvas.Copy();
    // Cell 0 (0..100) is spare from start 0 in the 36-cell grid: its border is drawn.
    EXPECT_EQ(Rgb(shown, 0, 50), OsdPainter::kBorderColour.rgb() & 0xFFFFFF);
    EXPECT_EQ(Rgb(shown, 50, 50), 0u);
}

// Grabs of a few layouts with their OSD, for looking at (written into the build folder).
TEST_F(CameoDisplayTest, GrabsOfLayoutsAreWritten)
{
    const QString folder = QStringLiteral(ZENT_BINARY_DIR "/grabs/player_tiles");
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::vector<uint8_t> picture = SolidPicture(704, 480, qRgb(40, 90, 60));
    for (int code : {0, 1, 2, 6, 7}) {
        canvas.Resize(704, 480);
        grid.Layout(704, 480, code, false, false, false);
        display.ClearWindow();
        for (int tile = 0; tile < kCameoCount; ++tile) {
            FileTile(tile);
            LiveFrame frame = Frame(704, 480, tile % 10 == 9 ? kMarkNoData : tile % 9);
            display.DisplayFrame(tile, frame, picture.data(), 0, 1);
        }
        EXPECT_TRUE(canvas.Copy().save(QStringLiteral("%1/layout%2.png").arg(folder).arg(code)));
    }
}

// Players' threads, the present loop and user-interface redraws all drawing at once, on both roads.
TEST_F(CameoDisplayTest, DrawersOnManyThreadsShareTheWindowSafely)
{
    grid.Layout(400, 300, 7, false, false, false);
    for (int tile = 0; tile < kCameoCount; ++tile) {
        FileTile(tile);
    }
    ASSERT_EQ(display.CreateFront(400, 300), 0);
    host.directDraw = true;
    display.StartPresenting();
    const std::vector<uint8_t> picture = SolidPicture(352, 240, red);
    std::vector<std::thread> players;
    for (int worker = 0; worker < 4; ++worker) {
        players.emplace_back([&, worker] {
            for (int n = 0; n < 40; ++n) {
                for (int tile = worker; tile < kCameoCount; tile += 4) {
                    LiveFrame frame = Frame(352, 240, n % 9);
                    display.DisplayFrame(tile, frame, picture.data(), (n + tile) % 2, 1);
                }
            }
        });
    }
    for (int n = 0; n < 10; ++n) {
        display.RedrawAll();
        grid.SetPan(n % 16, n, n);
    }
    for (std::thread& player : players) {
        player.join();
    }
    display.StopPresenting();
    // Every tile ends with a picture on the composed road.
    for (int tile = 0; tile < kCameoCount; ++tile) {
        LiveFrame frame = Frame(352, 240, 5);
        display.DisplayFrame(tile, frame, picture.data(), 0, 1);
    }
    const QImage shown = canvas.Copy();
    for (int tile = 0; tile < kCameoCount; ++tile) {
        CameoRect rect;
        ASSERT_TRUE(grid.GetCameoRect(tile, &rect));
        EXPECT_EQ(Rgb(shown, rect.left + rect.Width() / 2, rect.top + rect.Height() / 2), red & 0xFFFFFF) << tile;
    }
}

void CameoDisplayTest::ShowPictureWithOsd(QImage& expected, bool scaledPicture, int seed, int time, int mark,
                                          int road)
{
    const QRect tile = grid.View(1).rect.ToQRect();
    LiveFrame frame = Frame(336, 224, mark);
    frame.time = time;
    if (scaledPicture) {
        PatternPicture picture(336, 224, seed);
        uint8_t* at = expected.bits() + size_t(tile.top()) * size_t(expected.bytesPerLine())
                      + size_t(tile.left()) * 4;
        picture.ScaleInto(QRect(0, 0, 336, 224), at, tile.width(), tile.height(), expected.bytesPerLine());
        display.DisplayPicture(1, frame, picture, road, 1);
    } else {
        const QRgb colour = qRgb(40 * seed % 256, 90, 200);
        const std::vector<uint8_t> picture = SolidPicture(336, 224, colour);
        QPainter(&expected).fillRect(tile, QColor(colour));
        display.DisplayFrame(1, frame, picture.data(), road, 1);
    }
    OsdContent content;
    content.tile = 1;
    content.rect = QRect(QPoint(0, 0), tile.size());
    content.selected = grid.View(1).selected;
    content.multiTile = true;
    content.layoutCode = 1;
    content.mark = mark;
    content.date = frame.date;
    content.time = time;
    content.fileTile = true;
    content.player = host.PlayerText(1);
    OsdPainter osd;
    osd.SetOptions(display.GetOsdStyle());
    QPainter painter(&expected);
    painter.setClipRect(tile);
    painter.translate(tile.topLeft());
    osd.DrawOsd(painter, content);
}

// Each shown picture reaches the window with its tile's OSD painted over it, pixel for pixel, on
// both composed roads (scaled straight into the window, or composed and copied), while the OSD
// stays, changes with the time, the play state and the selection.
TEST_F(CameoDisplayTest, WindowShowsEachPictureWithItsOsdPaintedOver)
{
    struct Step
    {
        const char* name;
        int time;
        int mark;
        bool select;
    };
    const Step steps[] = {{"first", 93015, 5, false},       {"same second", 93015, 5, false},
                          {"next second", 93016, 5, false}, {"paused", 93016, 4, false},
                          {"selected", 93016, 4, true},     {"selected, next second", 93017, 4, true}};
    int seed = 0;
    for (const bool scaledIntoWindow : {true, false}) {
        for (const Step& step : steps) {
            SCOPED_TRACE(step.name);
            SCOPED_TRACE(scaledIntoWindow ? "scaled into the window" : "composed and copied");
            if (step.select) {
                grid.SelectCameo(1, true, false);
            }
            ++seed;
            QImage expected = canvas.Copy();
            ShowPictureWithOsd(expected, scaledIntoWindow, seed, step.time, step.mark, 0);
            EXPECT_EQ(FirstDifference(canvas.Copy(), expected), "");
        }
        grid.SelectCameo(1, false, false);
    }
}

// On the DirectDraw road each picture reaches the composition with the tile's OSD over it, pixel
// for pixel as painting it gives, and the OSD is drawn afresh only when what it shows changes:
// pictures with the same texts reuse the overlay.
TEST_F(CameoDisplayTest, FrontRoadLaysTheOsdOverEachPictureAndDrawsItOnlyWhenItChanges)
{
    ASSERT_EQ(display.CreateFront(400, 300), 0);
    struct Step
    {
        const char* name;
        bool scaledPicture; // through DisplayPicture (scaled once, copied 1:1), else DisplayFrame
        int time;
        int mark;
        bool select;
        int renders; // the OSD drawn so far
    };
    const Step steps[] = {
        {"first", false, 93015, 5, false, 1},
        {"same texts", false, 93015, 5, false, 1},
        {"same texts, scaled picture", true, 93015, 5, false, 1},
        {"same texts again", true, 93015, 5, false, 1},
        {"next second", true, 93016, 5, false, 2},
        {"same second", false, 93016, 5, false, 2},
        {"paused", false, 93016, 4, false, 3},
        {"selected", true, 93016, 4, true, 4},
        {"selected, same texts", false, 93016, 4, true, 4},
    };
    const DirectSurface& composition = display.Front().Display()->Composition();
    int seed = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        if (step.select) {
            grid.SelectCameo(1, true, false);
        }
        ++seed;
        QImage expected = composition.Image().copy();
        ShowPictureWithOsd(expected, step.scaledPicture, seed, step.time, step.mark, 1);
        EXPECT_EQ(FirstDifference(composition.Image(), expected), "");
        EXPECT_EQ(display.OsdRenders(1), step.renders);
    }
    grid.SelectCameo(1, false, false);
}
