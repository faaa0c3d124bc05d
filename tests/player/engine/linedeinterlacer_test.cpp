// The line deinterlacer's row filter on hand-made rows, its whole-picture pass, and the mu-law
// expansion the audio path uses.
#include "engine/linedeinterlacer.h"

#include "common/media/mulaw.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Rows of eight bytes: the filter's smallest whole group.
using Row = std::vector<uint8_t>;

std::vector<uint8_t> Rows(const std::vector<Row>& rows)
{
    std::vector<uint8_t> bytes;
    for (const Row& row : rows)
        bytes.insert(bytes.end(), row.begin(), row.end());
    return bytes;
}

Row Filtered(const Row& above, const Row& middle, const Row& below)
{
    // Four source rows: target row 2 is the blend of rows 0, 1 and 2.
    const std::vector<uint8_t> source = Rows({above, middle, below, below});
    std::vector<uint8_t> target(source.size(), 0xEE);
    LineDeinterlacer::FilterRows(source.data(), target.data(), 8, 4);
    return Row(target.begin() + 16, target.begin() + 24);
}

} // namespace

TEST(LineDeinterlacer, BlendDecisionPerLane)
{
    struct Case
    {
        const char* what;
        Row above, middle, below, expected;
    };
    // clang-format off
    const Case cases[] = {
        // a = b = 100, m = 0: (100)(100) = 10000 > 73: the average of above and below.
        {"comb", {200, 10, 200, 10, 200, 10, 200, 10}, {0, 50, 0, 50, 0, 50, 0, 50},
                 {200, 30, 200, 30, 200, 30, 200, 30}, {200, 20, 200, 20, 200, 20, 200, 20}},
        // Equal rows: d = 0, the middle stays.
        {"still", {90, 90, 90, 90, 90, 90, 90, 90}, {90, 91, 92, 93, 94, 95, 96, 97},
                  {90, 90, 90, 90, 90, 90, 90, 90}, {90, 91, 92, 93, 94, 95, 96, 97}},
        // a = 127, m = b = 0: 0 - (16129 >> 12) x 625 < 73: the middle stays.
        {"edge", {254, 0, 254, 0, 254, 0, 254, 0}, {0, 0, 0, 0, 0, 0, 0, 0},
                 {0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0}},
        // Full-scale comb: each byte halved with its low bit dropped: 127 + 127.
        {"full", {255, 255, 255, 255, 255, 255, 255, 255}, {0, 0, 0, 0, 0, 0, 0, 0},
                 {255, 255, 255, 255, 255, 255, 255, 255}, {254, 254, 254, 254, 254, 254, 254, 254}},
        // The decision is the low byte's: a high byte that combs alone is left alone.
        {"low byte decides", {100, 255, 100, 255, 100, 255, 100, 255}, {100, 0, 100, 0, 100, 0, 100, 0},
                             {100, 255, 100, 255, 100, 255, 100, 255}, {100, 0, 100, 0, 100, 0, 100, 0}},
        // Lanes decide independently: only the second lane combs.
        {"lanes", {50, 50, 200, 200, 50, 50, 50, 50}, {50, 50, 0, 0, 50, 50, 50, 50},
                  {50, 50, 200, 200, 50, 50, 50, 50}, {50, 50, 200, 200, 50, 50, 50, 50}},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(Filtered(c.above, c.middle, c.below), c.expected) << c.what;
}

TEST(LineDeinterlacer, RowsMoveDownByOne)
{
    // Still rows (all equal per column): the target is the source one row down, the last source
    // row unused; rows 0 and 1 are copied.
    std::vector<Row> rows;
    for (int r = 0; r < 6; ++r)
        rows.push_back(Row(8, uint8_t(10)));
    std::vector<uint8_t> source = Rows(rows);
    for (int r = 0; r < 6; ++r)
        source[size_t(r * 8 + 7)] = uint8_t(r); // a mark in a lane's high byte, which never decides
    std::vector<uint8_t> target(source.size(), 0xEE);
    LineDeinterlacer::FilterRows(source.data(), target.data(), 8, 6);
    const int expectedMark[] = {0, 1, 1, 2, 3, 4};
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(target[size_t(r * 8 + 7)], expectedMark[r]) << "row " << r;
}

TEST(LineDeinterlacer, HeightTwoCopiesBothRows)
{
    const std::vector<uint8_t> source = Rows({Row(8, 1), Row(8, 2)});
    std::vector<uint8_t> target(16, 0xEE);
    LineDeinterlacer::FilterRows(source.data(), target.data(), 8, 2);
    EXPECT_EQ(target, source);
}

TEST(LineDeinterlacer, PictureKeepsItsPixelFormat)
{
    // A 4 x 4 still picture (each row one colour) comes back moved down one row, alpha 255.
    const int width = 4, height = 4;
    std::vector<uint8_t> picture(size_t(width * height * 4));
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &picture[size_t((r * width + x) * 4)];
            p[0] = uint8_t(10 + r); // blue
            p[1] = 20;
            p[2] = 30;
            p[3] = 0;
        }
    LineDeinterlacer deinterlacer;
    deinterlacer.DeinterlacePicture(picture.data(), width, height, 1);
    // Rows of 12 packed bytes: one whole group of eight, the last four bytes copied unfiltered.
    // Blues per row after the move: row 0 stays, row 1 copies row 1, row 2 blends rows 0..2
    // (still columns keep the middle, row 1), row 3 is row 2.
    const int expectedBlue[] = {10, 11, 11, 12};
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = &picture[size_t((r * width + x) * 4)];
            EXPECT_EQ(p[0], expectedBlue[r]) << r << "," << x;
            EXPECT_EQ(p[1], 20);
            EXPECT_EQ(p[2], 30);
            EXPECT_EQ(p[3], 255);
        }
}

TEST(MuLaw, ExpansionTable)
{
    struct Case
    {
        int code, sample;
    };
    const Case cases[] = {{0xFF, 0}, {0x7F, 0}, {0x00, -32124}, {0x80, 32124}, {0xF0, 120}, {0x70, -120}};
    for (const Case& c : cases)
        EXPECT_EQ(MuLawToLinear(quint8(c.code)), c.sample) << c.code;
}
