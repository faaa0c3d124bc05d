#include "ui/osdpainter.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

const QRect kTile(20, 10, 240, 180);

QImage Blank()
{
    QImage image(300, 220, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

QImage Draw(const OsdContent& content, const OsdStyle& options = OsdStyle())
{
    QImage image = Blank();
    OsdPainter osd;
    osd.SetOptions(options);
    QPainter painter(&image);
    osd.DrawOsd(painter, content);
    return image;
}

OsdContent FileTile(int mark)
{
    OsdContent content;
    content.tile = 3;
    content.rect = kTile;
    content.mark = mark;
    content.fileTile = true;
    content.date = 20261210;
    content.time = 101530;
    content.player = OsdPlayerText{};
    content.player->dataPath = QStringLiteral("/media/backup/h080510.003");
    return content;
}

int CountColour(const QImage& image, const QRect& area, QRgb colour)
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            count += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

QRgb White()
{
    return qRgb(255, 255, 255);
}

// The glyph's box: base x = right - 28, rows from bottom - 30 over 16 lines.
QRect GlyphBox()
{
    return QRect(kTile.left() + kTile.width() - 28 - 6, kTile.top() + kTile.height() - 30, 32, 17);
}

} // namespace

TEST(OsdPainterTest, BorderAlwaysAndSelectionFrameOnlyInMultiTileLayouts)
{
    OsdContent content = FileTile(-1);
    const QRect leftEdge(kTile.left() - 1, kTile.top() + 40, 3, 40);
    const QRect selectBand(kTile.left() + 2, kTile.top() + 40, 2, 40);
    const QImage plain = Draw(content);
    EXPECT_GT(CountColour(plain, leftEdge, OsdPainter::kBorderColour.rgb()), 0);
    EXPECT_EQ(CountColour(plain, selectBand, OsdPainter::kSelectColour.rgb()), 0);

    content.selected = true;
    EXPECT_EQ(CountColour(Draw(content), selectBand, OsdPainter::kSelectColour.rgb()), 0);
    content.multiTile = true;
    EXPECT_EQ(CountColour(Draw(content), selectBand, OsdPainter::kSelectColour.rgb()), 80);
}

TEST(OsdPainterTest, PlaybackMarkShowsLocalBadgeGlyphAndDateOnlyWithAFrameMark)
{
    const QRect badge(kTile.left() + 8, kTile.top() + 5, 120, 20);
    OsdContent none = FileTile(-1);
    const QImage withoutMark = Draw(none);
    EXPECT_EQ(CountColour(withoutMark, badge, OsdPainter::kPlaybackColour.rgb()), 0);
    EXPECT_EQ(CountColour(withoutMark, GlyphBox(), White()), 0);

    const QImage playing = Draw(FileTile(5));
    EXPECT_GT(CountColour(playing, badge, OsdPainter::kPlaybackColour.rgb()), 0);
    EXPECT_GT(CountColour(playing, GlyphBox(), White()), 0);
    const QRect dateArea(kTile.right() - 100, kTile.top() + 5, 92, 30);
    EXPECT_GT(CountColour(playing, dateArea, White()), 0);

    OsdStyle quiet;
    quiet.showDate = false;
    quiet.showTime = false;
    EXPECT_EQ(CountColour(Draw(FileTile(5), quiet), dateArea, White()), 0);
}

TEST(OsdPainterTest, GlyphsFollowThePlayStateTable)
{
    const int base = kTile.left() + kTile.width() - 28;
    const int middle = kTile.top() + kTile.height() - 30 + 8;
    struct Case
    {
        int mark;
        std::vector<int> lit;  // columns (from the base) lit at the middle row
        std::vector<int> dark; // columns left unlit
    };
    const std::vector<Case> cases = {
        {0, {-5, 2}, {12}}, {1, {-5, 2}, {12}}, {2, {2, 13}, {-5}}, {3, {2}, {-5, 12}}, {4, {5, 10}, {-5, 1}},
        {5, {2}, {-5, 12}}, {6, {2, 12}, {-5}}, {7, {2, 14}, {-5}}, {8, {2, 12}, {-5}},
    };
    for (const Case& c : cases) {
        QImage image = Blank();
        OsdPainter osd;
        QPainter painter(&image);
        ASSERT_TRUE(osd.DrawPlayStateGlyph(painter, kTile, c.mark, 1));
        painter.end();
        for (int column : c.lit) {
            EXPECT_EQ(image.pixel(base + column, middle) & 0xFFFFFF, White() & 0xFFFFFF)
                << "mark " << c.mark << " column " << column;
        }
        for (int column : c.dark) {
            EXPECT_NE(image.pixel(base + column, middle) & 0xFFFFFF, White() & 0xFFFFFF)
                << "mark " << c.mark << " column " << column;
        }
    }
    QImage image = Blank();
    OsdPainter osd;
    QPainter painter(&image);
    EXPECT_FALSE(osd.DrawPlayStateGlyph(painter, kTile, 9, 0));
    EXPECT_FALSE(osd.DrawPlayStateGlyph(painter, kTile, -1, 0));
}

TEST(OsdPainterTest, FastPlayShowsTheSpeedFactor)
{
    const QRect speedArea(kTile.left() + kTile.width() - 48, kTile.top() + kTile.height() - 30, 19, 20);
    auto speedPixels = [&](int speedStep) {
        QImage image = Blank();
        OsdPainter osd;
        QPainter painter(&image);
        osd.DrawPlayStateGlyph(painter, kTile, 8, speedStep);
        painter.end();
        return image.copy(speedArea);
    };
    // "x2" for speed step 1, different pixels for step 2 ("x3"), none for plain forward play.
    EXPECT_GT(CountColour(speedPixels(1), QRect(0, 0, 19, 20), White()), 0);
    EXPECT_NE(speedPixels(1), speedPixels(2));
    QImage forward = Blank();
    {
        OsdPainter osd;
        QPainter painter(&forward);
        osd.DrawPlayStateGlyph(painter, kTile, 5, 1);
    }
    EXPECT_EQ(CountColour(forward.copy(speedArea), QRect(0, 0, 19, 20), White()), 0);
}

TEST(OsdPainterTest, NoDataIsCentredAndDrawsNoGlyph)
{
    const QImage image = Draw(FileTile(kMarkNoData));
    const QRect centre(kTile.center().x() - 40, kTile.center().y() - 16, 80, 20);
    EXPECT_GT(CountColour(image, centre, White()), 0);
    EXPECT_EQ(CountColour(image, GlyphBox(), White()), 0);
}

TEST(OsdPainterTest, FileTileNamesTheFileWhenThePlayerHasNoRecorderName)
{
    const QRect nameArea(kTile.left() + 8, kTile.bottom() - 30, 150, 26);
    OsdContent content = FileTile(4);
    EXPECT_GT(CountColour(Draw(content), nameArea, White()), 0);
    OsdStyle noName;
    noName.showRecorderName = false;
    EXPECT_EQ(CountColour(Draw(content, noName), nameArea, White()), 0);
}

TEST(OsdPainterTest, RecordingBadgeNeedsACameraAndMovesLeftOfTheGlyph)
{
    OsdContent content = FileTile(5);
    content.liveRecordState = 2;
    const QRect recArea(kTile.right() - 80, kTile.bottom() - 25, 50, 20);
    EXPECT_EQ(CountColour(Draw(content), recArea, OsdPainter::kSelectColour.rgb()), 0);
    content.camera = OsdCamera{};
    EXPECT_GT(CountColour(Draw(content), recArea, OsdPainter::kSelectColour.rgb()), 0);
    content.camera->covert = true;
    EXPECT_EQ(CountColour(Draw(content), recArea, OsdPainter::kSelectColour.rgb()), 0);
}
