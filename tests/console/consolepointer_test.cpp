// The console's mouse rules on a clock the test turns by hand, and the VDA grid overlay.
#include <gtest/gtest.h>

#include "console/consolepointer.h"
#include "console/vdaoverlay.h"

namespace {

struct PointerFixture : ::testing::Test
{
    qint64 now = 10000;
    ConsolePointer pointer{[this] { return now; }};
};

TEST_F(PointerFixture, PressesWithin500MsOfTheLastAreIgnoredWithTheirRelease)
{
    int code = 0;
    now += 500;
    EXPECT_EQ(pointer.Press({1, 1}, PointerButton::Left, &code), PressVerdict::Send);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(pointer.Release(PointerButton::Left));
    now += 400;
    EXPECT_EQ(pointer.Press({1, 1}, PointerButton::Left, &code), PressVerdict::Ignored);
    EXPECT_FALSE(pointer.Release(PointerButton::Left));
    now += 100;
    EXPECT_EQ(pointer.Press({1, 1}, PointerButton::Right, &code), PressVerdict::Send);
    EXPECT_EQ(code, 2);
    EXPECT_FALSE(pointer.Release(PointerButton::Left)) << "only the pressed button's release goes out";
    EXPECT_TRUE(pointer.Release(PointerButton::Right));
}

TEST_F(PointerFixture, FirstPressRightAfterOpeningIsIgnored)
{
    now += 499;
    EXPECT_EQ(pointer.Press({1, 1}, PointerButton::Left, nullptr), PressVerdict::Ignored);
    EXPECT_FALSE(pointer.Release(PointerButton::Left));
}

TEST_F(PointerFixture, RestartZonesRefuseWithoutPermission)
{
    now += 1000;
    pointer.SetRestartZones({QRect(100, 200, 50, 20)}, true);
    struct Case
    {
        QPoint at;
        PressVerdict verdict;
    };
    // Zone edges count as inside.
    const Case cases[] = {{{100, 200}, PressVerdict::Refused},
                          {{150, 220}, PressVerdict::Refused},
                          {{151, 220}, PressVerdict::Send},
                          {{99, 210}, PressVerdict::Send}};
    for (const Case& c : cases) {
        now += 1000;
        EXPECT_EQ(pointer.Press(c.at, PointerButton::Left, nullptr), c.verdict) << c.at.x() << "," << c.at.y();
        pointer.Release(PointerButton::Left);
    }
    pointer.SetRestartZones({QRect(100, 200, 50, 20)}, false);
    now += 1000;
    EXPECT_EQ(pointer.Press({110, 210}, PointerButton::Left, nullptr), PressVerdict::Send) << "permitted";
}

TEST(VdaOverlay, CellsOfThirtyTwoBitRows)
{
    VdaOverlay overlay;
    // 22 columns, 2 rows of 4 bytes: row 0 has every bit set (only 0..21 count), row 1 columns 0 and 21.
    overlay.Set(22, 2, 4,
                QByteArray::fromHex("ffffffff"
                                    "01002000"));
    const QVector<QRectF> cells = overlay.Cells(QSizeF(220, 100));
    ASSERT_EQ(cells.size(), 24);
    EXPECT_EQ(cells.first(), QRectF(2, 2, 6, 46));
    EXPECT_EQ(cells[21], QRectF(212, 2, 6, 46));
    EXPECT_EQ(cells[22], QRectF(2, 52, 6, 46));
    EXPECT_EQ(cells[23], QRectF(212, 52, 6, 46));
}

TEST(VdaOverlay, SixtyFourBitRowsAndShortMasks)
{
    VdaOverlay overlay;
    // 40 columns in 8-byte rows; bit 39 of row 0; row 1 is missing from the mask.
    overlay.Set(40, 2, 8, QByteArray::fromHex("0000000080000000"));
    const QVector<QRectF> cells = overlay.Cells(QSizeF(400, 200));
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells[0], QRectF(392, 2, 6, 96));
    overlay.Set(0, 2, 4, QByteArray::fromHex("ff"));
    EXPECT_TRUE(overlay.Cells(QSizeF(10, 10)).isEmpty());
    overlay.Set(100, 1, 8, QByteArray::fromHex("ffffffffffffffff"));
    EXPECT_EQ(overlay.Cells(QSizeF(100, 10)).size(), 64) << "columns beyond the row word are not drawn";
}

TEST(VdaOverlay, DrawsRedFramesOnThePicture)
{
    VdaOverlay overlay;
    overlay.Set(2, 1, 4, QByteArray::fromHex("02000000"));
    QImage picture(200, 100, QImage::Format_RGB32);
    picture.fill(Qt::black);
    overlay.Draw(picture);
    EXPECT_EQ(QColor(picture.pixel(102, 50)).red(), 255) << "left edge of the column 1 frame";
    EXPECT_EQ(QColor(picture.pixel(2, 50)), QColor(Qt::black)) << "column 0 is clear";
    EXPECT_EQ(QColor(picture.pixel(150, 50)), QColor(Qt::black)) << "inside the frame";
}

} // namespace
