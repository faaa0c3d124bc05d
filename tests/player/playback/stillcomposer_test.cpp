#include "playback/stillcomposer.h"
#include "playback/stillfile.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ValidateCase
{
    int width, height, bits;
    bool picture;
    qint64 size;
    int expected;
};

TEST(StillComposer, ValidatesInTheOrderSizesBitsPictureSize)
{
    const ValidateCase cases[] = {
        {640, 480, 32, true, 640 * 480 * 4, 0},
        {0, 480, 32, true, 1, -1},
        {640, -1, 0, false, 0, -1},
        {640, 480, 0, false, 0, -2},
        {640, 480, 32, false, 0, -3},
        {640, 480, 32, true, 0, -4},
    };
    for (const ValidateCase& c : cases) {
        EXPECT_EQ(StillComposer::Validate(c.width, c.height, c.bits, c.picture, c.size), c.expected)
            << c.width << "x" << c.height << " bits " << c.bits;
    }
}

TEST(StillComposer, WidePicturesGetTheLargeBoxCentredAboveTheBand)
{
    const QSize area(StillComposer::kPreviewWidth, StillComposer::kPreviewHeight);
    EXPECT_EQ(StillComposer::PictureBox(area, 672), QRect(40, 0, 640, 480));
    EXPECT_EQ(StillComposer::PictureBox(area, 352), QRect(200, 120, 320, 240));
    EXPECT_EQ(StillComposer::PictureBox(area, 400).size(), QSize(320, 240));
}

TEST(StillComposer, ZoomedRegionStartsAtThePanAndStaysInside)
{
    int panX = 100, panY = 50;
    EXPECT_EQ(StillComposer::SourceRegion(640, 480, 2.0f, 2.0f, &panX, &panY), QRect(100, 50, 320, 240));
    panX = 500;
    panY = 50;
    EXPECT_EQ(StillComposer::SourceRegion(640, 480, 2.0f, 2.0f, &panX, &panY), QRect(320, 50, 320, 240));
    EXPECT_EQ(panX, 320);
    panX = 77;
    EXPECT_EQ(StillComposer::SourceRegion(640, 480, 1.0f, 0.5f, &panX, &panY), QRect(0, 0, 640, 480));
    EXPECT_EQ(panX, 77);
}

TEST(StillComposer, MarkBlendsOnlyWhereItsRedIsZero)
{
    QImage page(4, 1, QImage::Format_RGB32);
    page.fill(qRgb(200, 100, 50));
    QImage mark(2, 1, QImage::Format_RGB32);
    mark.setPixel(0, 0, qRgb(0, 60, 140));
    mark.setPixel(1, 0, qRgb(1, 0, 0));
    StillComposer::BlendMark(&page, mark, QPoint(1, 0));
    EXPECT_EQ(page.pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_EQ(page.pixel(1, 0), qRgb(140, 87, 76));
    EXPECT_EQ(page.pixel(2, 0), qRgb(200, 100, 50));
    // A mark reaching past the page is clipped.
    StillComposer::BlendMark(&page, mark, QPoint(3, 0));
    StillComposer::BlendMark(&page, mark, QPoint(-5, 7));
    EXPECT_EQ(page.pixel(3, 0), qRgb(140, 87, 76));
}

TEST(StillComposer, ComposedPageHoldsThePictureInItsBoxOnWhiteAndTheGivenMark)
{
    QImage picture(352, 240, QImage::Format_RGB32);
    picture.fill(qRgb(0, 200, 0));
    QImage mark(2, 1, QImage::Format_RGB32);
    mark.setPixel(0, 0, qRgb(0, 60, 140));
    mark.setPixel(1, 0, qRgb(255, 255, 255));
    const QImage page = StillComposer::Compose(picture, picture.rect(), StillCaption(), mark);
    ASSERT_EQ(page.size(), QSize(720, 560));
    EXPECT_EQ(page.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(210, 130), qRgb(0, 200, 0));
    EXPECT_EQ(page.pixel(199, 130), qRgb(255, 255, 255));
    // The box is (200, 120) 320 x 240: the mark stands at its centre - 30, its bottom - 60.
    EXPECT_EQ(page.pixel(330, 300), qRgb(0, 158, 41));
    EXPECT_EQ(page.pixel(331, 300), qRgb(0, 200, 0));
    EXPECT_EQ(page.pixel(329, 300), qRgb(0, 200, 0));
    // Without a mark nothing is blended there.
    const QImage bare = StillComposer::Compose(picture, picture.rect(), StillCaption(), QImage());
    EXPECT_EQ(bare.pixel(330, 300), qRgb(0, 200, 0));
}

TEST(StillComposer, ValuesNeverWriteOverTheirLabels)
{
    QImage picture(352, 240, QImage::Format_RGB32);
    picture.fill(qRgb(0, 200, 0));
    // Labels of the layout's width and far wider, in both columns.
    for (const QString& label : {QStringLiteral("IP"), QStringLiteral("Camera Name and Number")}) {
        StillCaption bare;
        bare.cameraLabel = label;
        bare.addressLabel = label;
        StillCaption full = bare;
        full.cameraName = QStringLiteral("WWWWWWWW");
        full.address = QStringLiteral("WWWWWWWW");
        const QImage labels = StillComposer::Compose(picture, picture.rect(), bare, QImage());
        const QImage both = StillComposer::Compose(picture, picture.rect(), full, QImage());
        int valueInk = 0;
        for (int y = 480; y < 560; ++y) {
            for (int x = 0; x < 720; ++x) {
                if (both.pixel(x, y) == labels.pixel(x, y))
                    continue;
                ++valueInk;
                ASSERT_EQ(labels.pixel(x, y), qRgb(255, 255, 255))
                    << label.toStdString() << ": the value is drawn over its label at " << x << "," << y;
            }
        }
        EXPECT_GT(valueInk, 0) << label.toStdString();
    }
}

// The rightmost column with ink in rows [top, top + 20) between x from and to.
int RightmostInk(const QImage& page, int top, int from, int to)
{
    int right = -1;
    for (int y = top; y < top + 20; ++y) {
        for (int x = from; x < to; ++x) {
            if (page.pixel(x, y) != qRgb(255, 255, 255))
                right = std::max(right, x);
        }
    }
    return right;
}

TEST(StillComposer, ALabelWiderThanItsPlaceIsShownWhole)
{
    QImage picture(352, 240, QImage::Format_RGB32);
    picture.fill(qRgb(0, 200, 0));
    StillCaption caption;
    caption.cameraLabel = QStringLiteral("Camera Name and Number");
    const QImage page = StillComposer::Compose(picture, picture.rect(), caption, QImage());
    // Second row of the left column (band top 480 + 30): the label runs well past the value's
    // usual place at x 140 and stays left of the right column.
    const int right = RightmostInk(page, 510, 0, StillComposer::kRightColumn);
    EXPECT_GT(right, 200);
    EXPECT_LT(right, StillComposer::kRightColumn - 10);
}

TEST(StillComposer, DefaultNamesCountAndDropSeparators)
{
    EXPECT_EQ(StillComposer::DefaultFileName(QString(), 1, "DVR", "Door"), QString("001 DVR(Door)"));
    EXPECT_EQ(StillComposer::DefaultFileName("/tmp/img", 2, "a/b\\c", "C:am*1?"),
              QString("/tmp/img/002 abc(Cam1)"));
    EXPECT_EQ(StillComposer::DefaultFileName(QString(), 1000, "..", "x"), QString("1000 ..(x)"));
}

TEST(StillComposer, JpegOnlyWhenTheLastThreeLettersAreJpg)
{
    const std::pair<const char*, bool> cases[] = {{"a.jpg", true},   {"A.JPG", true},  {"x.JpG", true},
                                                  {"a.jpeg", false}, {"a.bmp", false}, {"jp", false}};
    for (const auto& [path, jpeg] : cases) {
        EXPECT_EQ(StillComposer::IsJpegPath(path), jpeg) << path;
    }
}

QByteArray Head(const QString& path, int n)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(n) : QByteArray();
}

TEST(StillFile, WritesJpegOrBmpByTheLastThreeLetters)
{
    QTemporaryDir dir;
    QImage page(720, 560, QImage::Format_RGB32);
    page.fill(qRgb(10, 20, 30));
    const QString jpeg = dir.filePath("001 DVR(Cam).JPG");
    const QString bmp = dir.filePath("still.jpeg");
    EXPECT_TRUE(StillFile::Save(page, jpeg).isEmpty());
    EXPECT_TRUE(StillFile::Save(page, bmp).isEmpty());
    EXPECT_EQ(Head(jpeg, 3), QByteArray("\xFF\xD8\xFF"));
    EXPECT_EQ(Head(bmp, 2), QByteArray("BM"));
    QImageReader reader(bmp);
    EXPECT_EQ(reader.format(), QByteArray("bmp"));
    const QImage back = reader.read();
    EXPECT_EQ(back.size(), QSize(720, 560));
    EXPECT_EQ(back.depth() == 24 || back.depth() == 32, true);
    EXPECT_EQ(back.pixel(3, 3), qRgb(10, 20, 30));
    EXPECT_EQ(QImageReader(jpeg).size(), QSize(720, 560));
}

TEST(StillFile, AFailedWriteKeepsTheEarlierFileAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("kept.bmp");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier");
    }
    EXPECT_FALSE(StillFile::Save(QImage(), path).isEmpty());
    EXPECT_EQ(Head(path, 100), QByteArray("earlier"));
    QImage page(8, 8, QImage::Format_RGB32);
    page.fill(Qt::red);
    EXPECT_FALSE(StillFile::Save(page, dir.filePath("missing/folder/x.jpg")).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"kept.bmp"});
}

} // namespace
