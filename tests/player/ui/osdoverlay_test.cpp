#include "ui/osdoverlay.h"

#include "ui/osdpainter.h"

#include <QImage>
#include <QPainter>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A picture of many colours (black and white among them), different for each seed, so that an
// OSD pixel left out or a picture pixel covered shows.
QImage Picture(int seed, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(400, 300, format);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int v = (x * 7 + y * 13 + seed * 31) % 256;
            const int c = (x * y + seed * 17) % 5 == 0 ? 255 * (seed % 2) : v;
            image.setPixel(x, y, qRgb(c, (v * 3) % 256, 255 - v));
        }
    }
    return image;
}

// What a painter drawing the OSD over the picture gives: clipped to the tile, origin at its corner.
QImage Painted(const OsdPainter& osd, const OsdContent& content, QImage image)
{
    QPainter painter(&image);
    painter.setClipRect(content.rect);
    painter.translate(content.rect.topLeft());
    OsdContent local = content;
    local.rect = QRect(QPoint(0, 0), content.rect.size());
    osd.DrawOsd(painter, local);
    return image;
}

QImage Overlaid(OsdOverlay& overlay, const OsdPainter& osd, const OsdContent& content, QImage image)
{
    overlay.Draw(osd, content, image);
    return image;
}

OsdContent PlayingFile()
{
    OsdContent content;
    content.tile = 5;
    content.rect = QRect(37, 21, 256, 180);
    content.multiTile = true;
    content.layoutCode = 7;
    content.mark = 5;
    content.date = 20261210;
    content.time = 101530;
    content.fileTile = true;
    content.player = OsdPlayerText{};
    content.player->recorderName = QStringLiteral("Depot");
    content.player->cameraText = QStringLiteral("Gate");
    return content;
}

struct Kind
{
    const char* name;
    std::function<void(OsdContent&, OsdStyle&)> change;
};

} // namespace

// Each kind of OSD, laid over pictures by the overlay, gives the pixels painting it gives: inside
// the tile and (untouched) outside it, in each 32-bit layout, on a tile at a corner of the image.
TEST(OsdOverlayTest, GivesThePixelsPaintingGives)
{
    const Kind kinds[] = {
        {"playing file", [](OsdContent&, OsdStyle&) {}},
        {"selected", [](OsdContent& c, OsdStyle&) { c.selected = true; }},
        {"single tile, paused",
         [](OsdContent& c, OsdStyle&) {
             c.multiTile = false;
             c.layoutCode = 0;
             c.mark = 4;
         }},
        {"fast forward x3",
         [](OsdContent& c, OsdStyle&) {
             c.mark = 8;
             c.player->speedStep = 2;
         }},
        {"second line of a large grid, remote, sound",
         [](OsdContent& c, OsdStyle&) {
             c.layoutCode = 12;
             c.player->remote = true;
             c.player->audio = 2;
         }},
        {"data error", [](OsdContent& c, OsdStyle&) { c.player->requestResult = 2; }},
        {"no data", [](OsdContent& c, OsdStyle&) { c.mark = kMarkNoData; }},
        {"camera with events and recording",
         [](OsdContent& c, OsdStyle&) {
             c.mark = -1;
             c.fileTile = false;
             c.player.reset();
             c.camera = OsdCamera{QStringLiteral("Yard"), QStringLiteral("CAM 3"), false, true, true, true};
             c.liveRecordState = 1;
         }},
        {"covert camera, yellow text",
         [](OsdContent& c, OsdStyle& s) {
             c.mark = -1;
             c.camera = OsdCamera{QStringLiteral("Yard"), QStringLiteral("CAM 3"), true, false, false, false};
             s.textColour = qRgb(255, 255, 0);
         }},
        {"nothing but the border",
         [](OsdContent& c, OsdStyle& s) {
             c.mark = -1;
             c.player.reset();
             s = OsdStyle{false, false, false, false, false, false, qRgb(255, 255, 255)};
         }},
        {"tile at the image's corner", [](OsdContent& c, OsdStyle&) { c.rect = QRect(144, 120, 256, 180); }},
        {"small tile", [](OsdContent& c, OsdStyle&) { c.rect = QRect(0, 0, 40, 30); }},
    };
    for (const QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied}) {
        for (const Kind& kind : kinds) {
            SCOPED_TRACE(kind.name);
            SCOPED_TRACE(int(format));
            OsdContent content = PlayingFile();
            OsdStyle style;
            kind.change(content, style);
            OsdPainter osd;
            osd.SetOptions(style);
            OsdOverlay overlay;
            for (int seed = 1; seed <= 3; ++seed) {
                const QImage picture = Picture(seed, format);
                const QImage expected = Painted(osd, content, picture);
                ASSERT_NE(expected, picture); // the OSD drew something
                EXPECT_EQ(Overlaid(overlay, osd, content, picture), expected) << "picture " << seed;
            }
            EXPECT_EQ(overlay.Renders(), 1);
        }
    }
}

// The overlay is drawn again exactly when something it shows changes, and each picture after a
// change carries the new OSD.
TEST(OsdOverlayTest, IsDrawnAgainOnlyWhenWhatItShowsChanges)
{
    struct Step
    {
        const char* name;
        std::function<void(OsdContent&, OsdStyle&, OsdEventWords&)> change;
        bool drawnAgain;
    };
    const Step steps[] = {
        {"first picture", [](OsdContent&, OsdStyle&, OsdEventWords&) {}, true},
        {"next picture, same OSD", [](OsdContent&, OsdStyle&, OsdEventWords&) {}, false},
        {"next second", [](OsdContent& c, OsdStyle&, OsdEventWords&) { c.time = 101531; }, true},
        {"next day", [](OsdContent& c, OsdStyle&, OsdEventWords&) { c.date = 20261211; }, true},
        {"same again", [](OsdContent&, OsdStyle&, OsdEventWords&) {}, false},
        {"tile moved, same size", [](OsdContent& c, OsdStyle&, OsdEventWords&) { c.rect.moveTo(60, 40); }, false},
        {"tile resized", [](OsdContent& c, OsdStyle&, OsdEventWords&) { c.rect.setWidth(300); }, true},
        {"paused", [](OsdContent& c, OsdStyle&, OsdEventWords&) { c.mark = 4; }, true},
        {"selected", [](OsdContent& c, OsdStyle&, OsdEventWords&) { c.selected = true; }, true},
        {"tile number", [](OsdContent& c, OsdStyle&, OsdEventWords&) { c.tile = 6; }, true},
        {"camera text",
         [](OsdContent& c, OsdStyle&, OsdEventWords&) { c.player->cameraText = QStringLiteral("Dock"); }, true},
        {"sound", [](OsdContent& c, OsdStyle&, OsdEventWords&) { c.player->audio = 1; }, true},
        {"text colour", [](OsdContent&, OsdStyle& s, OsdEventWords&) { s.textColour = qRgb(0, 255, 0); }, true},
        {"date hidden", [](OsdContent&, OsdStyle& s, OsdEventWords&) { s.showDate = false; }, true},
        {"camera of a recorder",
         [](OsdContent& c, OsdStyle&, OsdEventWords&) {
             c.mark = -1;
             c.camera = OsdCamera{QStringLiteral("Yard"), QStringLiteral("CAM 3"), false, true, false, true};
         },
         true},
        {"event words", [](OsdContent&, OsdStyle&, OsdEventWords& w) { w.motion = QStringLiteral("MOVE"); }, true},
        {"camera's event", [](OsdContent& c, OsdStyle&, OsdEventWords&) { c.camera->sensor = true; }, true},
        {"same again", [](OsdContent&, OsdStyle&, OsdEventWords&) {}, false},
    };
    OsdContent content = PlayingFile();
    OsdStyle style;
    OsdEventWords words;
    OsdPainter osd;
    OsdOverlay overlay;
    int renders = 0;
    int seed = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.change(content, style, words);
        osd.SetOptions(style);
        osd.SetEventWords(words);
        const QImage picture = Picture(++seed);
        EXPECT_EQ(Overlaid(overlay, osd, content, picture), Painted(osd, content, picture));
        renders += step.drawnAgain ? 1 : 0;
        EXPECT_EQ(overlay.Renders(), renders);
    }
}

// A tile reaching past the image, or an image of another layout, is painted as before.
TEST(OsdOverlayTest, TilesPastTheImageAndOtherLayoutsArePainted)
{
    OsdPainter osd;
    OsdOverlay overlay;
    OsdContent past = PlayingFile();
    past.rect = QRect(300, 200, 256, 180);
    EXPECT_EQ(Overlaid(overlay, osd, past, Picture(1)), Painted(osd, past, Picture(1)));
    const OsdContent content = PlayingFile();
    const QImage wide = Picture(2).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(Overlaid(overlay, osd, content, wide), Painted(osd, content, wide));
}
