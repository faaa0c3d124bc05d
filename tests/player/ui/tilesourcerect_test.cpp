#include "ui/tilesourcerect.h"

#include <gtest/gtest.h>

TEST(TileSourceRectTest, DoubleWidthPictureIsHalvedOnlyInMultiTileLayouts)
{
    struct Case
    {
        int code;
        int width;
        int height;
        int expectedWidth;
        int expectedHeight;
    };
    const Case cases[] = {
        {1, 672, 576, 336, 272},                          // half of 576 is 288, limited to 272
        {1, 672, 544, 336, 272}, {7, 672, 240, 336, 240}, // 240 lines are not above 272 and stay
        {0, 672, 576, 672, 576},                          // single layout keeps the picture
        {1, 720, 576, 720, 576},                          // only 672-wide pictures
    };
    for (const Case& c : cases) {
        int width = c.width;
        int height = c.height;
        TileSourceRect::ApplyMultiTileRule(c.code, &width, &height);
        EXPECT_EQ(width, c.expectedWidth) << c.code << " " << c.width << "x" << c.height;
        EXPECT_EQ(height, c.expectedHeight) << c.code << " " << c.width << "x" << c.height;
    }
}

TEST(TileSourceRectTest, CropsCaptureBordersButNeverCifPictures)
{
    struct Case
    {
        int width;
        int height;
        QRect expected;
    };
    const Case cases[] = {
        {336, 224, QRect(0, 0, 336, 224)},
        {336, 272, QRect(0, 0, 336, 272)},
        {672, 576, QRect(0, 0, 672, 576)},
        {720, 480, QRect(2, 2, 720 - 14 - 2, 480 - 2)},
        {720, 576, QRect(4, 9, 720 - 14 - 4, 576 - 7 - 9)},
        {352, 288, QRect(4, 9, 352 - 14 - 4, 288 - 7 - 9)},
    };
    for (const Case& c : cases) {
        int panX = 0;
        int panY = 0;
        EXPECT_EQ(TileSourceRect::Compute(c.width, c.height, 1.0f, &panX, &panY), c.expected)
            << c.width << "x" << c.height;
    }
}

TEST(TileSourceRectTest, ZoomedWindowFollowsPanAndIsPulledBackAtTheEdges)
{
    int panX = 100;
    int panY = 50;
    EXPECT_EQ(TileSourceRect::Compute(336, 224, 2.0f, &panX, &panY), QRect(100, 50, 168, 112));
    EXPECT_EQ(panX, 100);

    panX = 500; // beyond the picture: the right edge meets the picture's right edge
    panY = 300;
    EXPECT_EQ(TileSourceRect::Compute(336, 224, 2.0f, &panX, &panY), QRect(168, 112, 168, 112));
    EXPECT_EQ(panX, 168);
    EXPECT_EQ(panY, 112);

    panX = 0;
    panY = 0;
    // 720 / 1.5 = 480 columns from the pan, then the crop.
    EXPECT_EQ(TileSourceRect::Compute(720, 576, 1.5f, &panX, &panY), QRect(4, 9, 480 - 14 - 4, 384 - 7 - 9));
}

TEST(TileSourceRectTest, TinyOrEmptyPicturesNeverGiveAnInvertedArea)
{
    int panX = 0;
    int panY = 0;
    EXPECT_EQ(TileSourceRect::Compute(12, 8, 1.0f, &panX, &panY), QRect(0, 0, 12, 8));
    EXPECT_TRUE(TileSourceRect::Compute(0, 240, 1.0f, &panX, &panY).isNull());
    EXPECT_TRUE(TileSourceRect::Compute(320, -1, 1.0f, &panX, &panY).isNull());
}
