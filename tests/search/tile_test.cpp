// The search dialogs' playback tile and the museum search's match strip, drawn offscreen and read
// back from their canvases.
#include <memory>

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QMenu>
#include <QProcess>
#include <QTest>

#include "search/ccameomuseum.h"
#include "search/ccameosub.h"
#include "search/tileview.h"
#include "session/moduledevice.h"
#include "support/fakesessionhub.h"
#include "support/named_recorders.h"
#include "support/programdirectory.h"

namespace {

QImage Solid(int w, int h, QColor colour)
{
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

bool Near(QColor a, QColor b, int tolerance = 40)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance;
}

QColor At(const QPixmap& canvas, int x, int y)
{
    return canvas.toImage().pixelColor(x, y);
}

struct Tile
{
    CCameoMuseum tile;
    explicit Tile(QSize size) { tile.resize(size); }

    void Play(const QImage& picture, int mode = 16, int step = 1, const QString& time = QStringLiteral("09:05:07"))
    {
        tile.SetCameoInfo(picture, 0, 0, 0, 0, 0, 0, QStringLiteral("02/03/2026"), time, QStringLiteral("Lobby"),
                          QStringLiteral("CAM1"), mode, step, true);
    }
};

TEST(CCameoMuseum, ZoomMenuStopsAtItsBounds)
{
    Tile t(QSize(320, 240));
    EXPECT_EQ(t.tile.BuildContextMenu(), nullptr) << "no menu while nothing plays";
    t.Play(Solid(704, 480, Qt::blue));
    std::unique_ptr<QMenu> menu(t.tile.BuildContextMenu());
    ASSERT_TRUE(menu);
    EXPECT_TRUE(t.tile.Action("Zoom In")->isEnabled());
    EXPECT_EQ(t.tile.Action("Zoom In")->text(), QStringLiteral("Zoom In\tx1.1"));
    EXPECT_FALSE(t.tile.Action("Zoom Out")->isEnabled());
    EXPECT_EQ(t.tile.Action("Zoom Out")->text(), QStringLiteral("Zoom Out"));
    for (int i = 0; i < 25; ++i)
        t.tile.zoomInAction();
    menu.reset(t.tile.BuildContextMenu());
    EXPECT_EQ(TileView::ZoomText(t.tile.GetZoom()), QStringLiteral("3.0"));
    EXPECT_FALSE(t.tile.Action("Zoom In")->isEnabled());
    EXPECT_EQ(t.tile.Action("Zoom Out")->text(), QStringLiteral("Zoom Out\tx2.9"));
}

TEST(CCameoMuseum, MenuOffersTheOtherTwoSearches)
{
    const struct
    {
        CCameoMuseum::SearchKind kind;
        QStringList entries;
    } cases[] = {
        {CCameoMuseum::SearchKind::Quick, {"Museum Search", "Thumbnail Search"}},
        {CCameoMuseum::SearchKind::Museum, {"Quick Search", "Thumbnail Search"}},
        {CCameoMuseum::SearchKind::Thumbnail, {"Quick Search", "Museum Search"}},
    };
    for (const auto& c : cases) {
        Tile t(QSize(320, 240));
        t.tile.m_searchKind = c.kind;
        t.Play(Solid(704, 480, Qt::blue));
        std::unique_ptr<QMenu> menu(t.tile.BuildContextMenu());
        QStringList texts;
        for (QAction* a : menu->actions()) {
            if (!a->isSeparator())
                texts << a->text().section(QLatin1Char('\t'), 0, 0);
        }
        EXPECT_EQ(texts, QStringList({"Zoom In", "Zoom Out", "Record", "Snap Shot"}) + c.entries);
    }
}

TEST(CCameoMuseum, DragPansOnlyWhenZoomed)
{
    Tile t(QSize(352, 240));
    t.tile.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.tile));
    t.Play(Solid(704, 480, Qt::blue));
    QTest::mousePress(&t.tile, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    QTest::mouseMove(&t.tile, QPoint(150, 150));
    EXPECT_EQ(t.tile.GetPan(), QPoint(0, 0));
    QTest::mouseRelease(&t.tile, Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
    for (int i = 0; i < 10; ++i)
        t.tile.zoomInAction(); // 2.0
    QTest::mousePress(&t.tile, Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
    QMouseEvent move(QEvent::MouseMove, QPointF(150, 170), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&t.tile, &move);
    EXPECT_EQ(t.tile.GetPan(), QPoint(50, 30));
    // Back to 1.0 the offset goes too.
    for (int i = 0; i < 10; ++i)
        t.tile.zoomOutAction();
    EXPECT_EQ(t.tile.GetPan(), QPoint(0, 0));
}

TEST(CCameoMuseum, StopFallsBackToTheWholePicture)
{
    Tile t(QSize(320, 240));
    t.Play(Solid(704, 480, Qt::blue));
    t.tile.zoomInAction();
    t.tile.SetCameoInfo(Solid(704, 480, Qt::blue), 0, 0, 0, 0, 0, 0, QString(), QString(), QString(), QString(), 2,
                        0, false);
    EXPECT_EQ(TileView::ZoomText(t.tile.GetZoom()), QStringLiteral("1.0"));
}

TEST(CCameoMuseum, GridAndAreaAreDrawnOnlyWhileNotPlaying)
{
    // Cells of 21 x 18 on 945 x 540; the area covers cells (1, 1) to (3, 2).
    Tile t(QSize(945, 540));
    t.tile.SetCameoInfo(Solid(945, 540, Qt::black), 45, 30, 4, 3, 1, 1, QString(), QString(), QString(), QString(),
                        16, 1, false);
    QPixmap canvas = t.tile.Canvas();
    EXPECT_TRUE(At(canvas, 210, 185).green() > 100) << "cell outline at half opacity";
    EXPECT_TRUE(At(canvas, 30, 25).blue() > 40 && At(canvas, 30, 25).red() < 20) << "area";
    EXPECT_TRUE(Near(At(canvas, 300, 300), Qt::black, 10)) << "outside the area";

    t.tile.SetCameoInfo(Solid(945, 540, Qt::black), 45, 30, 4, 3, 1, 1, QString(), QString(), QString(), QString(),
                        16, 1, true);
    canvas = t.tile.Canvas();
    EXPECT_TRUE(Near(At(canvas, 210, 185), Qt::black, 10)) << "no grid while playing";
    EXPECT_TRUE(Near(At(canvas, 30, 25), Qt::black, 10));
}

TEST(CCameoMuseum, EmptyTimeTextLeavesOnlyTheFrame)
{
    Tile with(QSize(320, 240));
    Tile without(QSize(320, 240));
    with.tile.m_recordMark = 1;
    without.tile.m_recordMark = 1;
    with.Play(Solid(320, 240, Qt::black), 32, 4);
    without.Play(Solid(320, 240, Qt::black), 32, 4, QString());
    const QImage a = with.tile.Canvas().toImage();
    const QImage b = without.tile.Canvas().toImage();
    int lit = 0;
    int red = 0;
    int drawnWithout = 0;
    for (int y = 2; y < 236; ++y) {
        for (int x = 2; x < 316; ++x) {
            drawnWithout += !Near(b.pixelColor(x, y), Qt::black, 5);
            const QColor d = a.pixelColor(x, y);
            lit += d.lightness() > 128;
            red += d.red() > 150 && d.green() < 80;
        }
    }
    EXPECT_EQ(drawnWithout, 0) << "no text, caption or REC without a time";
    EXPECT_GT(lit, 20) << "texts in white";
    EXPECT_GT(red, 5) << "REC in red";
    EXPECT_TRUE(Near(b.pixelColor(0, 0), Qt::gray, 40)) << "the frame stays";
    EXPECT_TRUE(Near(b.pixelColor(318, 100), Qt::gray, 40));
}

// A snapshot is written under the program directory, in the folder of the recorder's name.
class TileSnapshot : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(programDir.Enter());
        hub = std::make_unique<FakeSessionHub>();
    }
    void TearDown() override
    {
        recorders.Clear();
        hub.reset();
        programDir.Leave();
    }
    CModuleDevice* AddRecorder(const QString& name) { return recorders.Add(name); }

    ProgramDirectory programDir;
    std::unique_ptr<FakeSessionHub> hub;
    NamedRecorders recorders;
};

TEST_F(TileSnapshot, WidePictureIsSavedTwiceAsHighInTheRecordersDayFolder)
{
    RecorderSession* device = AddRecorder(QStringLiteral("Lobby"));
    Tile t(QSize(320, 240));
    t.tile.m_deviceIndex = device->GetDeviceIndex();
    t.Play(Solid(704, 240, QColor(20, 120, 40)));
    const QString path = t.tile.TakeSnapshot();
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(path, QDir::currentPath() + QStringLiteral("/backup/SnapShot/Lobby/20260203/090507_CAM1.jpg"));
    QImageReader reader(path);
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    EXPECT_EQ(reader.size(), QSize(704, 480));
    // The stamp is written in white at the top right over the green picture.
    const QImage saved(path);
    int white = 0;
    for (int y = 4; y < 40; ++y)
        for (int x = 600; x < 700; ++x)
            white += saved.pixelColor(x, y).lightness() > 200;
    EXPECT_GT(white, 20);
}

TEST_F(TileSnapshot, SquarePictureKeepsItsSizeAndNothingWithoutRecorder)
{
    RecorderSession* device = AddRecorder(QStringLiteral("Gate"));
    Tile t(QSize(320, 240));
    t.Play(Solid(704, 480, Qt::blue));
    EXPECT_TRUE(t.tile.TakeSnapshot().isEmpty()) << "no recorder index";
    t.tile.m_deviceIndex = device->GetDeviceIndex();
    const QString path = t.tile.TakeSnapshot();
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(QImage(path).size(), QSize(704, 480));
}

TEST(CCameoSub, SlotImageFillsItsBandWithTheCaptionOnTop)
{
    CCameoSub strip;
    strip.resize(160, 600);
    strip.ClearSlot(-1);
    strip.SetSlotImage(Solid(160, 120, QColor(200, 200, 0)), QStringLiteral("12:00:01"), false, 3);
    const QPixmap canvas = strip.Canvas();
    EXPECT_TRUE(Near(At(canvas, 80, 359), Qt::black, 10)) << "slot 2 untouched";
    EXPECT_TRUE(Near(At(canvas, 3, 365), QColor(100, 100, 64), 30)) << "navy over yellow at half opacity";
    EXPECT_TRUE(Near(At(canvas, 80, 400), QColor(200, 200, 0), 10)) << "picture below the caption band";
    EXPECT_TRUE(Near(At(canvas, 80, 470), QColor(200, 200, 0), 10)) << "low in the picture";
    EXPECT_TRUE(Near(At(canvas, 80, 478), Qt::gray, 40)) << "the band's frame";
    EXPECT_TRUE(Near(At(canvas, 0, 420), Qt::gray, 40)) << "gray frame";
    EXPECT_TRUE(Near(At(canvas, 80, 480), Qt::black, 10)) << "slot 4 untouched";
}

TEST(CCameoSub, SelectionFramesEverySlotThatFits)
{
    const struct
    {
        int height;
        int framedSlots;
    } cases[] = {{360, 3}, {239, 1}};
    for (const auto& c : cases) {
        CCameoSub strip;
        strip.resize(160, c.height);
        strip.ClearSlot(-1);
        strip.SelectSlot(2);
        const QPixmap canvas = strip.Canvas();
        for (int slot = 0; slot < c.framedSlots; ++slot) {
            const QColor frame = At(canvas, 80, slot * 120);
            EXPECT_TRUE(Near(frame, slot == 2 ? QColor(Qt::red) : QColor(Qt::gray), 40))
                << c.height << " slot " << slot;
        }
        if (c.height == 239) {
            EXPECT_FALSE(Near(At(canvas, 80, 120), Qt::red, 40)) << "slot 1 is not framed on a strip of 239";
            EXPECT_FALSE(Near(At(canvas, 80, 120), Qt::gray, 40));
        }
    }
}

TEST(CCameoSub, FixedCanvasSurvivesResizing)
{
    CCameoSub strip;
    strip.resize(160, 1);
    strip.SetFixedCanvas(true);
    QPixmap canvas(160, 31200);
    canvas.fill(Qt::black);
    strip.SetCanvas(canvas);
    strip.SetSlotImage(Solid(160, 120, Qt::green), QStringLiteral("t"), true, 0);
    strip.resize(160, 240);
    const QPixmap after = strip.Canvas();
    EXPECT_EQ(after.size(), QSize(160, 31200));
    EXPECT_TRUE(Near(At(after, 80, 60), Qt::green, 10));
    EXPECT_TRUE(Near(At(after, 0, 60), Qt::red, 40)) << "selected frame";
}

TEST(CCameoSub, RefreshRunsUntilDisabled)
{
    CCameoSub strip;
    EXPECT_TRUE(strip.IsRefreshing());
    strip.EnableUpdate(false);
    EXPECT_FALSE(strip.IsRefreshing());
    strip.EnableUpdate(true);
    EXPECT_TRUE(strip.IsRefreshing());
}

} // namespace
