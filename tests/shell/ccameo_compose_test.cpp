// Grid composition: the display texts of a cell by its state and the flags, the picture fitted
// or zoomed into its cell, and the composed back buffer (pictures in their cells, frames, texts).
#include <QPainter>
#include <QTest>
#include <algorithm>
#include <functional>
#include <vector>

#include "shell/cameocellpainter.h"
#include "shell/cameoosd.h"
#include "shell/cameoosdfitcache.h"
#include "shell/cameoosdoverlay.h"
#include "shell/ccameo.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_fixture.h"

namespace {

CameoOsdInput OnlineCell()
{
    CameoOsdInput in;
    in.source = CameoOsdInput::Source::Online;
    in.cell = 6;
    in.channel = 2;
    in.cellWidth = 200;
    in.osdDate = 20241225;
    in.osdTime = 130509;
    in.fps = 12;
    in.dvrName = QStringLiteral("Depot");
    in.cameraTitle = QStringLiteral("Gate");
    return in;
}

// Number of pixels in the rectangle whose colour is close to the given one.
int CountNear(const QImage& image, const QRect& area, QColor color, int tolerance = 40)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - color.red()) <= tolerance && qAbs(c.green() - color.green()) <= tolerance
                && qAbs(c.blue() - color.blue()) <= tolerance)
                ++n;
        }
    }
    return n;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Texts

TEST(CameoOsdTexts, TextsOfACellByStateAndFlags)
{
    struct Case
    {
        const char* name;
        std::function<void(CameoOsdInput&)> set;
        QString topLeft, topRight, bottomLeft, bottomRight, event, record;
        bool blank;
    };
    const QString dateTime = QStringLiteral("12/25/2024\n13:05:09\n");
    const std::vector<Case> cases = {
        {"unbound shows its number without a space",
         [](CameoOsdInput& in) { in.source = CameoOsdInput::Source::Unbound; }, "07", "\n\n", "", "", "", "",
         true},
        {"unbound with the number off",
         [](CameoOsdInput& in) {
             in.source = CameoOsdInput::Source::Unbound;
             in.flags.Set(OsdFlag::CameoNumber, 0);
         },
         "", "\n\n", "", "", "", "", true},
        {"an e-map tile never shows its number",
         [](CameoOsdInput& in) {
             in.source = CameoOsdInput::Source::Unbound;
             in.emap = true;
         },
         "", "\n\n", "", "", "", "", true},
        {"online live cell", [](CameoOsdInput&) {}, "07 Gate", dateTime, "Depot", "", "", "", false},
        {"camera name off keeps the number and its space",
         [](CameoOsdInput& in) { in.flags.Set(OsdFlag::CameraName, 0); }, "07 ", dateTime, "Depot", "", "", "",
         false},
        {"DVR name off", [](CameoOsdInput& in) { in.flags.Set(OsdFlag::DvrName, 0); }, "07 Gate", dateTime, "", "",
         "", "", false},
        {"a 120-pixel cell shows no date, time or frame rate",
         [](CameoOsdInput& in) {
             in.cellWidth = 120;
             in.fpsOsd = true;
         },
         "07 Gate", "\n\n", "Depot", "", "", "", false},
        {"a 121-pixel cell shows them",
         [](CameoOsdInput& in) {
             in.cellWidth = 121;
             in.fpsOsd = true;
         },
         "07 Gate", "12/25/2024\n13:05:09\nFPS - 12", "Depot", "", "", "", false},
        {"date off, time on",
         [](CameoOsdInput& in) {
             in.flags.Set(OsdFlag::Date, 0);
             in.fpsOsd = true;
         },
         "07 Gate", "13:05:09\nFPS - 12", "Depot", "", "", "", false},
        {"time off", [](CameoOsdInput& in) { in.flags.Set(OsdFlag::Time, 0); }, "07 Gate", "12/25/2024\n\n",
         "Depot", "", "", "", false},
        {"no picture date yet",
         [](CameoOsdInput& in) {
             in.osdDate = -1;
             in.fpsOsd = true;
         },
         "07 Gate", "\n\n", "Depot", "", "", "", false},
        {"frame rate 0 shows 1",
         [](CameoOsdInput& in) {
             in.fps = 0;
             in.fpsOsd = true;
         },
         "07 Gate", "12/25/2024\n13:05:09\nFPS - 01", "Depot", "", "", "", false},
        {"frame rate 45 shows 30",
         [](CameoOsdInput& in) {
             in.fps = 45;
             in.fpsOsd = true;
         },
         "07 Gate", "12/25/2024\n13:05:09\nFPS - 30", "Depot", "", "", "", false},
        {"sensor and motion",
         [](CameoOsdInput& in) {
             in.sensor = true;
             in.motion = true;
         },
         "07 Gate", dateTime, "Depot", "", "Sensor & Motion", "", false},
        {"motion alone", [](CameoOsdInput& in) { in.motion = true; }, "07 Gate", dateTime, "Depot", "", "Motion",
         "", false},
        {"video loss hides the events and blanks the picture",
         [](CameoOsdInput& in) {
             in.videoLoss = true;
             in.sensor = true;
             in.motion = true;
         },
         "07 Gate", dateTime, "Depot", "", "Video loss", "", true},
        {"event off",
         [](CameoOsdInput& in) {
             in.sensor = true;
             in.flags.Set(OsdFlag::Event, 0);
         },
         "07 Gate", dateTime, "Depot", "", "", "", false},
        {"frozen, with this channel's sound",
         [](CameoOsdInput& in) {
             in.frozen = true;
             in.audio = true;
             in.audioIsThisChannel = true;
         },
         "07 Gate - F\n((A))", dateTime, "Depot", "", "", "", false},
        {"sound of another channel", [](CameoOsdInput& in) { in.audio = true; }, "07 Gate\nA", dateTime, "Depot",
         "", "", "", false},
        {"pan, tilt and zoom camera", [](CameoOsdInput& in) { in.ptz = true; }, "07 Gate", dateTime, "Depot",
         "PTZ", "", "", false},
        {"recording", [](CameoOsdInput& in) { in.recording = true; }, "07 Gate", dateTime, "Depot", "", "", "REC",
         false},
        {"playback fast forward",
         [](CameoOsdInput& in) {
             in.kind = CameoKind::Playback;
             in.playbackState = PlaybackControl::FastForward;
             in.speed = 4;
             in.ptz = true;
         },
         "07 Gate", dateTime, "Depot", "x4 >>", "", "", false},
        {"playback fast backward",
         [](CameoOsdInput& in) {
             in.kind = CameoKind::Playback;
             in.playbackState = PlaybackControl::FastBackward;
             in.speed = 2;
         },
         "07 Gate", dateTime, "Depot", "x2 <<", "", "", false},
        {"playback pause",
         [](CameoOsdInput& in) {
             in.kind = CameoKind::Playback;
             in.playbackState = PlaybackControl::Pause;
         },
         "07 Gate", dateTime, "Depot", "||", "", "", false},
        {"local recording",
         [](CameoOsdInput& in) {
             in.source = CameoOsdInput::Source::Local;
             in.kind = CameoKind::Local;
             in.playbackState = PlaybackControl::Backward;
             in.fpsOsd = true;
             in.localDataFile = QStringLiteral("h20241225_13");
             in.flags.Set(OsdFlag::CameraName, 0);
             in.sensor = true;
         },
         "07 C03", "12/25/2024\n13:05:09\n", "h20241225_13", "<", "", "", false},
    };
    for (const Case& c : cases) {
        CameoOsdInput in = OnlineCell();
        c.set(in);
        const CameoOsdTexts t = CameoOsd::BuildTexts(in);
        EXPECT_EQ(t.topLeft, c.topLeft) << c.name;
        EXPECT_EQ(t.topRight, c.topRight) << c.name;
        EXPECT_EQ(t.bottomLeft, c.bottomLeft) << c.name;
        EXPECT_EQ(t.bottomRight, c.bottomRight) << c.name;
        EXPECT_EQ(t.event, c.event) << c.name;
        EXPECT_EQ(t.record, c.record) << c.name;
        EXPECT_EQ(t.blankPicture, c.blank) << c.name;
    }
}

// A long camera title or recorder name in a small cell stops before the date, time or state
// text of its row instead of running into it; texts that fit are left as they are.
TEST(CameoOsdTexts, LeftCornersMakeRoomForTheRightOnes)
{
    QFont font(QStringLiteral("DejaVu Sans"), 9, QFont::Bold);
    const QFontMetrics metrics(font);
    struct Case
    {
        const char* name;
        QString topLeft, topRight, bottomLeft, bottomRight;
        int width;
        bool cut;
    };
    const QString dateTime = QStringLiteral("12/25/2024\n13:05:09\n");
    const Case cases[] = {
        {"fits in a wide cell", "07 Gate", dateTime, "Depot", "x2 >>", 300, false},
        {"a 16-cell grid of the default window", "07 Loading dock north entrance", dateTime,
         "Warehouse recorder 12", "x8 >>", 150, true},
        {"nothing on the right", "07 Loading dock", "\n\n", "Depot", "", 150, false},
        {"longer than the cell itself", "07 Loading dock north entrance", "\n\n", "Depot", "", 150, true},
    };
    for (const Case& c : cases) {
        CameoOsdTexts t;
        t.topLeft = c.topLeft;
        t.topRight = c.topRight;
        t.bottomLeft = c.bottomLeft;
        t.bottomRight = c.bottomRight;
        CameoOsd::FitCorners(t, metrics, c.width);
        EXPECT_EQ(t.topLeft != c.topLeft, c.cut) << c.name << ": " << qPrintable(t.topLeft);
        const QString firstRight = c.topRight.section(QLatin1Char('\n'), 0, 0);
        const int rightWidth = firstRight.isEmpty() ? 0 : metrics.horizontalAdvance(firstRight) + 6;
        EXPECT_LE(metrics.horizontalAdvance(t.topLeft) + rightWidth, c.width) << c.name;
        const int bottomRight = c.bottomRight.isEmpty() ? 0 : metrics.horizontalAdvance(c.bottomRight) + 6;
        EXPECT_LE(metrics.horizontalAdvance(t.bottomLeft) + bottomRight, c.width) << c.name;
        if (c.cut) {
            EXPECT_TRUE(t.topLeft.startsWith(QStringLiteral("07 "))) << "the cell number stays";
        }
        EXPECT_EQ(t.topRight, c.topRight) << "the date and time keep their room";
    }
}

// The fit is kept per cell and measured again only when what it depends on changes; what it
// gives is always what fitting the texts anew gives.
TEST(CameoOsdTexts, FitIsMeasuredAgainOnlyWhenTextsWidthOrFontChange)
{
    QImage device(10, 10, QImage::Format_RGB32);
    QPainter painter(&device);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 9, QFont::Bold));
    CameoOsdFitCache cache;
    CameoOsdTexts t;
    t.topLeft = QStringLiteral("07 Loading dock north entrance");
    t.topRight = QStringLiteral("12/25/2024\n13:05:09\n");
    t.bottomLeft = QStringLiteral("Warehouse recorder 12");
    t.bottomRight = QStringLiteral("x8 >>");
    const auto fresh = [&](const CameoOsdTexts& texts, int width) {
        CameoOsdTexts f = texts;
        CameoOsd::FitCorners(f, painter.fontMetrics(), width);
        return f;
    };
    struct Step
    {
        const char* name;
        int cell;
        int width;
        std::function<void(CameoOsdTexts&)> change;
        bool measured;
    };
    const std::vector<Step> steps = {
        {"first fit of cell 3", 3, 150, [](CameoOsdTexts&) {}, true},
        {"same texts again", 3, 150, [](CameoOsdTexts&) {}, false},
        {"another cell", 4, 150, [](CameoOsdTexts&) {}, true},
        {"the time moves on", 3, 150,
         [](CameoOsdTexts& x) { x.topRight = QStringLiteral("12/25/2024\n13:05:10\n"); }, true},
        {"unchanged after it", 3, 150, [](CameoOsdTexts&) {}, false},
        {"the cell is wider", 3, 400, [](CameoOsdTexts&) {}, true},
        {"an event appears", 3, 400, [](CameoOsdTexts& x) { x.event = QStringLiteral("MOTION"); }, true},
        {"the record mark appears", 3, 400, [](CameoOsdTexts& x) { x.record = QStringLiteral("REC"); }, true},
        {"the bottom texts change", 3, 400,
         [](CameoOsdTexts& x) {
             x.bottomLeft = QStringLiteral("Gate");
             x.bottomRight = QStringLiteral("PTZ");
         },
         true},
        {"a cell out of range is never kept", 64, 400, [](CameoOsdTexts&) {}, true},
        {"nor the second time", 64, 400, [](CameoOsdTexts&) {}, true},
    };
    for (const Step& s : steps) {
        s.change(t);
        const int before = cache.Measured();
        const CameoOsdTexts got = cache.Fit(s.cell, t, painter, s.width);
        EXPECT_EQ(cache.Measured() - before, s.measured ? 1 : 0) << s.name;
        const CameoOsdTexts want = fresh(t, s.width);
        EXPECT_EQ(got.topLeft, want.topLeft) << s.name;
        EXPECT_EQ(got.topRight, want.topRight) << s.name;
        EXPECT_EQ(got.bottomLeft, want.bottomLeft) << s.name;
        EXPECT_EQ(got.bottomRight, want.bottomRight) << s.name;
        EXPECT_EQ(got.event, want.event) << s.name;
        EXPECT_EQ(got.record, want.record) << s.name;
    }
    EXPECT_NE(cache.Fit(3, t, painter, 150).topLeft, t.topLeft) << "a narrow cell still cuts the title";
    const int before = cache.Measured();
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 14, QFont::Bold));
    cache.Fit(3, t, painter, 150);
    EXPECT_EQ(cache.Measured() - before, 1) << "another font";
}

// The texts laid over a cell from the overlay's kept pictures look as the texts drawn directly
// (within the rounding of one blend), and are drawn again only when the texts, the font or the
// cell's size change: moving the cell reuses them.
TEST(CameoOsdTexts, OverlayIsDrawnAgainOnlyWhenTextsFontOrCellSizeChange)
{
    QImage picture(420, 320, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    CameoOsdOverlay overlay;
    CameoOsdTexts t;
    t.topLeft = QStringLiteral("07 Gate");
    t.topRight = QStringLiteral("12/25/2024\n13:05:09\n");
    t.bottomLeft = QStringLiteral("Depot");
    t.bottomRight = QStringLiteral("x8 >>");
    QFont font(QStringLiteral("DejaVu Sans"), 9, QFont::Bold);
    struct Step
    {
        const char* name;
        int cell;
        QRect rect;
        std::function<void(CameoOsdTexts&, QFont&)> change;
        bool rendered;
    };
    const auto none = [](CameoOsdTexts&, QFont&) {};
    const std::vector<Step> steps = {
        {"first composition of cell 3", 3, QRect(0, 0, 200, 150), none, true},
        {"the next one", 3, QRect(0, 0, 200, 150), none, false},
        {"another cell", 4, QRect(200, 0, 200, 150), none, true},
        {"cell 3 moved, same size", 3, QRect(200, 150, 200, 150), none, false},
        {"the time moves on", 3, QRect(200, 150, 200, 150),
         [](CameoOsdTexts& x, QFont&) { x.topRight = QStringLiteral("12/25/2024\n13:05:10\n"); }, true},
        {"an event over the middle", 3, QRect(200, 150, 200, 150),
         [](CameoOsdTexts& x, QFont&) { x.event = QStringLiteral("MOTION"); }, true},
        {"the record mark", 3, QRect(200, 150, 200, 150),
         [](CameoOsdTexts& x, QFont&) { x.record = QStringLiteral("REC"); }, true},
        {"the cell grows", 3, QRect(0, 0, 410, 310), none, true},
        {"another font", 3, QRect(0, 0, 410, 310), [](CameoOsdTexts&, QFont& f) { f.setPointSize(12); }, true},
        {"unchanged again", 3, QRect(0, 0, 410, 310), none, false},
        {"a cell out of range is drawn directly", 64, QRect(0, 0, 200, 150), none, false},
    };
    for (const Step& s : steps) {
        s.change(t, font);
        QImage laid = picture;
        QImage direct = picture;
        {
            QPainter painter(&laid);
            painter.setFont(font);
            const int before = overlay.Rendered();
            overlay.Draw(painter, s.cell, t, s.rect);
            EXPECT_EQ(overlay.Rendered() - before, s.rendered ? 1 : 0) << s.name;
        }
        {
            QPainter painter(&direct);
            painter.setFont(font);
            CameoCellPainter::DrawFittedTexts(painter, t, s.rect);
        }
        int worst = 0;
        int textPixels = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb a = laid.pixel(x, y);
                const QRgb b = direct.pixel(x, y);
                worst = std::max(
                    {worst, qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))});
                if (direct.pixel(x, y) != picture.pixel(x, y))
                    ++textPixels;
            }
        }
        EXPECT_GT(textPixels, 100) << s.name << ": the texts were drawn";
        EXPECT_LE(worst, 2) << s.name;
    }
}

TEST(CameoOsdTexts, ClampedFrameRateIsGivenBack)
{
    CameoOsdInput in = OnlineCell();
    in.fps = 45;
    EXPECT_EQ(CameoOsd::BuildTexts(in).fps, 30);
    in.fps = 0;
    EXPECT_EQ(CameoOsd::BuildTexts(in).fps, 1);
    in.source = CameoOsdInput::Source::Local;
    EXPECT_EQ(CameoOsd::BuildTexts(in).fps, -1) << "local cells show no frame rate";
}

// ---------------------------------------------------------------------------------------------
// Picture fitting and zoom

TEST(CameoOsdPicture, FittingByFormat)
{
    struct Case
    {
        int w, h, format;
        bool online;
        QSize size;
        QPoint offset;
    };
    const Case cases[] = {
        {400, 300, 0, true, {400, 300}, {0, 0}},  // 4:3 in a 4:3 cell
        {320, 180, 0, true, {240, 180}, {40, 0}}, // 4:3 in a wide cell: bars left and right
        {300, 300, 0, true, {300, 225}, {0, 37}}, // 4:3 in a square cell
        {300, 300, 5, true, {300, 162}, {0, 69}}, // 16:9 letterboxed with equal bars
        {320, 180, 7, true, {320, 180}, {0, 0}},  // 16:9 in a 16:9 cell
        {200, 300, 5, true, {200, 108}, {0, 96}}, // (200 / 16) x 9 = 108 fits
        {300, 300, 5, false, {300, 300}, {0, 0}}, // not an online recorder: fills the cell
    };
    const QImage picture = GridTest::Solid(704, 480, Qt::red);
    for (const Case& c : cases) {
        int panX = 13;
        int panY = 7;
        QPoint offset;
        const QImage out = CameoOsd::RenderPicture(picture, c.w, c.h, c.online, c.format, 1.0f, panX, panY,
                                                   offset);
        EXPECT_EQ(out.size(), c.size) << c.w << "x" << c.h << " format " << c.format;
        EXPECT_EQ(offset, c.offset) << c.w << "x" << c.h << " format " << c.format;
        EXPECT_EQ(panX, 0);
        EXPECT_EQ(panY, 0);
    }
}

// The aspect comes from the decoded picture's size: wide streams are 16:9, the recorders' D1 and
// CIF (whose pixels are not square) stay 4:3.
TEST(CameoOsdPicture, FormatFromThePictureSize)
{
    struct Case
    {
        QSize picture;
        int format;
    };
    const Case cases[] = {
        {{704, 480}, CameoOsd::kFourToThree},     {{720, 576}, CameoOsd::kFourToThree},
        {{352, 240}, CameoOsd::kFourToThree},     {{640, 480}, CameoOsd::kFourToThree},
        {{2592, 1944}, CameoOsd::kFourToThree},   {{1280, 720}, CameoOsd::kSixteenToNine},
        {{1920, 1080}, CameoOsd::kSixteenToNine}, {{1920, 1072}, CameoOsd::kSixteenToNine},
        {{4096, 2304}, CameoOsd::kSixteenToNine}, {{1400, 901}, CameoOsd::kFourToThree},
        {{1400, 900}, CameoOsd::kSixteenToNine},  {{0, 0}, CameoOsd::kFourToThree},
        {{1280, 0}, CameoOsd::kFourToThree},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CameoOsd::FormatCodeOf(c.picture), c.format) << c.picture.width() << "x" << c.picture.height();
}

TEST(CameoOsdPicture, ZoomShowsThePannedRegionClampedToThePicture)
{
    // Left half red, right half blue.
    QImage picture = GridTest::Solid(400, 300, Qt::red);
    for (int y = 0; y < 300; ++y)
        for (int x = 200; x < 400; ++x)
            picture.setPixelColor(x, y, Qt::blue);

    QPoint offset;
    int panX = 0;
    int panY = 0;
    QImage out = CameoOsd::RenderPicture(picture, 400, 300, false, 0, 2.0f, panX, panY, offset);
    EXPECT_EQ(out.size(), QSize(400, 300));
    EXPECT_EQ(offset, QPoint(0, 0));
    EXPECT_EQ(CountNear(out, QRect(0, 0, 400, 300), Qt::red), 400 * 300) << "the left quarter, enlarged";

    panX = 1000; // clamped to the last region
    panY = -50;
    out = CameoOsd::RenderPicture(picture, 400, 300, false, 0, 2.0f, panX, panY, offset);
    EXPECT_EQ(panX, 200);
    EXPECT_EQ(panY, 0);
    EXPECT_EQ(CountNear(out, QRect(0, 0, 400, 300), Qt::blue), 400 * 300);

    // An online 4:3 picture zoomed in a wide cell: the margins do not stay in view.
    panX = 0;
    panY = 0;
    out = CameoOsd::RenderPicture(GridTest::Solid(400, 300, Qt::green), 320, 180, true, 0, 2.0f, panX, panY,
                                  offset);
    EXPECT_EQ(panX, 66) << "the region starts at the picture, not in its margin";
    EXPECT_EQ(CountNear(out, QRect(0, 0, 4, 180), Qt::green), 4 * 180);
}

TEST(CameoOsdPicture, IntervalsBySplit)
{
    struct Case
    {
        int split, repaint, redraw;
    };
    const Case cases[] = {{1, 33, 33}, {4, 66, 66}, {9, 99, 120}, {16, 120, 250}, {13, 250, 250}, {64, 250, 250}};
    for (const Case& c : cases) {
        EXPECT_EQ(CameoOsd::RepaintInterval(c.split, false), c.repaint) << c.split;
        EXPECT_EQ(CameoOsd::RedrawInterval(c.split, false), c.redraw) << c.split;
        EXPECT_EQ(CameoOsd::RepaintInterval(c.split, true), 250);
        EXPECT_EQ(CameoOsd::RedrawInterval(c.split, true), 250);
    }
}

// ---------------------------------------------------------------------------------------------
// Composition into the back buffer

class GridComposeTest : public GridTest
{
protected:
    // A live grid without its redraw thread, so that only the test composes; split 4 in 400 x 300.
    CCameo* ShownGrid()
    {
        CCameo* grid = NewFreshGrid();
        grid->OnSplitMode(0, 4, false);
        grid->resize(400, 300);
        grid->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(grid));
        return grid;
    }
};

TEST_F(GridComposeTest, PictureIsDrawnInItsCellWithFramesAndSelection)
{
    CCameo* grid = ShownGrid();
    // A local recording in cell 1 (column 1, row 0) fills its 200 x 150 cell.
    grid->SetCellChannel(1, CCameo::kLocalRecorder, 0);
    PutPicture(grid, 1, Solid(352, 240, Qt::red));
    grid->OnDrawCameo(-1);
    const QImage buffer = grid->GetBackBuffer();
    ASSERT_EQ(buffer.size(), QSize(400, 300));

    EXPECT_GT(CountNear(buffer, QRect(210, 40, 180, 80), Qt::red), 180 * 80 * 9 / 10);
    EXPECT_EQ(CountNear(buffer, QRect(10, 160, 180, 120), Qt::red), 0) << "other cells stay blank";
    EXPECT_EQ(CountNear(buffer, QRect(20, 60, 160, 60), Qt::black, 0), 160 * 60);
    // Grey cell frame on the bottom edge of cell 1, cyan selection inside cell 0.
    EXPECT_EQ(buffer.pixelColor(300, 149), QColor(Qt::gray));
    EXPECT_EQ(buffer.pixelColor(100, 1), QColor(Qt::cyan));
    EXPECT_NE(buffer.pixelColor(300, 1), QColor(Qt::cyan)) << "cell 1 is not selected";
}

// The cell's edge and the selection frame, pixel by pixel (g grey, c cyan, . untouched), in a
// 12 x 10 cell at (1, 1) of a black picture.
TEST(CameoCellFrame, EdgeAndSelectionPixels)
{
    const char* const unselected[] = {
        "..............", ".gggggggggggg.", ".g..........g.", ".g..........g.", ".g..........g.", ".g..........g.",
        ".g..........g.", ".g..........g.", ".g..........g.", ".g..........g.", ".gggggggggggg.", "..............",
    };
    const char* const selected[] = {
        "..............", ".gggggggggggg.", ".gccccccccccg.", ".gccccccccccg.", ".gcc.....cccg.", ".gcc.....cccg.",
        ".gcc.....cccg.", ".gccccccccccg.", ".gccccccccccg.", ".gccccccccccg.", ".gggggggggggg.", "..............",
    };
    for (const bool isSelected : {false, true}) {
        QImage image(14, 12, QImage::Format_RGB32);
        image.fill(Qt::black);
        {
            QPainter painter(&image);
            CameoCellPainter::DrawFrame(painter, QRect(1, 1, 12, 10), isSelected);
        }
        const char* const* rows = isSelected ? selected : unselected;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const char want = rows[y][x];
                const QRgb pixel = image.pixel(x, y);
                const QRgb expected = want == 'g'   ? QColor(Qt::gray).rgb()
                                      : want == 'c' ? QColor(Qt::cyan).rgb()
                                                    : qRgb(0, 0, 0);
                EXPECT_EQ(pixel, expected) << "selected " << isSelected << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(GridComposeTest, CroppedPictureLosesItsBottomRows)
{
    CCameo* grid = ShownGrid();
    QImage picture = Solid(100, 108, Qt::red);
    for (int y = 100; y < 108; ++y)
        for (int x = 0; x < 100; ++x)
            picture.setPixelColor(x, y, Qt::blue);
    PutPicture(grid, 2, picture, true);
    const CameoCell c = grid->GetCell(2);
    EXPECT_EQ(c.picture.size(), QSize(100, 100));
    EXPECT_EQ(CountNear(c.picture, c.picture.rect(), Qt::blue), 0);
}

TEST_F(GridComposeTest, CellNumberShowsOnlyWhileItsFlagIsOn)
{
    CCameo* grid = ShownGrid();
    const QRect numberArea(4, 2, 40, 20); // top-left text of cell 0
    grid->OnDrawCameo(-1);
    const int withNumber = CountNear(grid->GetBackBuffer(), numberArea, Qt::white, 60);
    EXPECT_GT(withNumber, 10);

    hub->Settings().SetOsdFlag(OsdFlag::CameoNumber, 0);
    grid->OnDrawCameo(-1);
    EXPECT_EQ(CountNear(grid->GetBackBuffer(), numberArea, Qt::white, 60), 0);
}

TEST_F(GridComposeTest, LocalCellShowsItsChannelText)
{
    CCameo* grid = ShownGrid();
    hub->Settings().SetOsdFlag(OsdFlag::CameoNumber, 0);
    const QRect textArea(204, 2, 80, 20); // top-left text of cell 1
    grid->OnDrawCameo(-1);
    EXPECT_EQ(CountNear(grid->GetBackBuffer(), textArea, Qt::white, 60), 0) << "unbound: nothing";
    grid->SetCellChannel(1, CCameo::kLocalRecorder, 2);
    grid->OnDrawCameo(-1);
    EXPECT_GT(CountNear(grid->GetBackBuffer(), textArea, Qt::white, 60), 10) << "\"C03\"";
}

TEST_F(GridComposeTest, CompositionIsSkippedWhileTheCellsAreHeld)
{
    CCameo* grid = ShownGrid();
    grid->SetCellChannel(0, CCameo::kLocalRecorder, 0);
    PutPicture(grid, 0, Solid(50, 50, Qt::green));
    grid->RequestRedraw();
    {
        QMutexLocker lock(grid->GetCellsLock());
        grid->OnDrawCameo(-1); // returns at once instead of waiting
        EXPECT_FALSE(grid->IsRedrawRequested());
    }
    EXPECT_EQ(CountNear(grid->GetBackBuffer(), QRect(20, 20, 100, 100), Qt::green), 0);
    grid->OnDrawCameo(-1);
    EXPECT_GT(CountNear(grid->GetBackBuffer(), QRect(20, 20, 100, 100), Qt::green), 9000);
}

TEST_F(GridComposeTest, RedrawThreadComposesWhenAskedTo)
{
    CCameo* grid = NewGrid(CameoKind::Local, 16, 4);
    grid->resize(400, 300);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid));
    grid->SetCellChannel(3, CCameo::kLocalRecorder, 0);
    PutPicture(grid, 3, Solid(64, 48, Qt::yellow));
    grid->RequestRedraw();
    // Reading the back buffer holds the cells lock, and a composition that finds the cells held
    // is dropped until the next change asks again (as the next frame does in a live grid): so
    // the wait asks again each time it looks. Only the redraw thread composes here.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            if (CountNear(grid->GetBackBuffer(), QRect(220, 170, 160, 110), Qt::yellow) > 15000)
                return true;
            grid->RequestRedraw();
            return false;
        },
        5000));
}

TEST_F(GridComposeTest, WidgetPaintsTheBackBuffer)
{
    CCameo* grid = ShownGrid();
    grid->SetCellChannel(0, CCameo::kLocalRecorder, 0);
    PutPicture(grid, 0, Solid(40, 30, Qt::magenta));
    grid->OnDrawCameo(-1);
    const QImage shot = grid->grab().toImage();
    EXPECT_GT(CountNear(shot, QRect(20, 30, 160, 100), Qt::magenta), 15000);
}
