// The own decoder's output routines: colour tables, pixel formats, geometry and the odd rows of
// two-layer pictures, against values worked out by hand from the colour constants.
#include "engine/decoderoutput.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Planes
{
    Planes(int width, int height, uint8_t y, uint8_t cb, uint8_t cr)
        : luma(size_t(width * height), y)
        , cbPlane(size_t(width * height / 4), cb)
        , crPlane(size_t(width * height / 4), cr)
    {}
    YCbCrPlanes View() const { return {luma.data(), cbPlane.data(), crPlane.data()}; }
    std::vector<uint8_t> luma, cbPlane, crPlane;
};

std::vector<uint8_t> Convert(OutputRoutine routine, const OutputGeometry& geometry,
                             const std::vector<YCbCrPlanes>& planes)
{
    std::vector<uint8_t> out(size_t(DecoderOutput::OutputBytes(routine, geometry)), 0xAB);
    DecoderOutput output;
    EXPECT_TRUE(output.Convert(routine, geometry, planes.data(), out.data(), int64_t(out.size())));
    return out;
}

} // namespace

TEST(DecoderOutput, WhiteAndBlackInEveryFormat)
{
    struct Case
    {
        OutputRoutine routine;
        std::vector<uint8_t> white, black;
    };
    const Case cases[] = {
        {OutputRoutine::Bgr24, {255, 255, 255}, {0, 0, 0}},
        {OutputRoutine::Bgr24Too, {255, 255, 255}, {0, 0, 0}},
        {OutputRoutine::Rgb24, {255, 255, 255}, {0, 0, 0}},
        {OutputRoutine::Bgrx32, {255, 255, 255, 0}, {0, 0, 0, 0}},
        {OutputRoutine::Rgbx32, {255, 255, 255, 0}, {0, 0, 0, 0}},
        {OutputRoutine::Rgb565, {0xFF, 0xFF}, {0, 0}},
        {OutputRoutine::Bgr565, {0xFF, 0xFF}, {0, 0}},
    };
    const OutputGeometry geometry{2, 2, 1, false, false};
    for (const Case& c : cases) {
        const Planes white(2, 2, 255, 128, 128);
        const Planes black(2, 2, 0, 128, 128);
        const auto w = Convert(c.routine, geometry, {white.View()});
        const auto b = Convert(c.routine, geometry, {black.View()});
        EXPECT_EQ(std::vector<uint8_t>(w.begin(), w.begin() + long(c.white.size())), c.white) << int(c.routine);
        EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + long(c.black.size())), c.black) << int(c.routine);
    }
}

TEST(DecoderOutput, ColourTables)
{
    // Cr 255: (127 x 1.5 limited to 127) x 1.4013... = 177 red, x -0.7136... = -90 green.
    // Cb 0: (-128 x 1.5 limited to -128) x 1.7734... = -226 blue, x -0.3444... = 44 green.
    const OutputGeometry geometry{2, 2, 1, false, false};
    const auto red = Convert(OutputRoutine::Rgb24, geometry, {Planes(2, 2, 50, 128, 255).View()});
    EXPECT_EQ(std::vector<uint8_t>(red.begin(), red.begin() + 3), (std::vector<uint8_t>{227, 0, 50}));
    const auto green = Convert(OutputRoutine::Rgb24, geometry, {Planes(2, 2, 200, 0, 128).View()});
    EXPECT_EQ(std::vector<uint8_t>(green.begin(), green.begin() + 3), (std::vector<uint8_t>{200, 244, 0}));
    // 5-6-5: red 227 -> 28 in bits 11..15, green 0, blue 50 -> 6.
    const auto packed = Convert(OutputRoutine::Rgb565, geometry, {Planes(2, 2, 50, 128, 255).View()});
    EXPECT_EQ(packed[0] | packed[1] << 8, 28 << 11 | 6);
    const auto swapped = Convert(OutputRoutine::Bgr565, geometry, {Planes(2, 2, 50, 128, 255).View()});
    EXPECT_EQ(swapped[0] | swapped[1] << 8, 6 << 11 | 28);
}

TEST(DecoderOutput, SizesAndCapacity)
{
    const OutputGeometry single{336, 224, 1, false, false};
    EXPECT_EQ(DecoderOutput::OutputBytes(OutputRoutine::Bgrx32, single), 336 * 224 * 4);
    EXPECT_EQ(DecoderOutput::OutputBytes(OutputRoutine::Rgb565, single), 336 * 224 * 2);
    const OutputGeometry layered{336, 224, 2, true, false};
    EXPECT_EQ(DecoderOutput::OutputBytes(OutputRoutine::Bgrx32, layered), 672 * 448 * 4);
    const Planes planes(336, 224, 10, 128, 128);
    const YCbCrPlanes view = planes.View();
    std::vector<uint8_t> small(size_t(336 * 224 * 4 - 1));
    DecoderOutput output;
    EXPECT_FALSE(output.Convert(OutputRoutine::Bgrx32, single, &view, small.data(), int64_t(small.size())));
}

TEST(DecoderOutput, VerticalFlip)
{
    Planes planes(2, 4, 0, 128, 128);
    for (int x = 0; x < 2; ++x)
        planes.luma[size_t(x)] = 200; // row 0 bright
    const auto out = Convert(OutputRoutine::Bgr24, {2, 4, 1, false, true}, {planes.View()});
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[3 * 2 * 3], 200) << "row 0 lands on the last row";
}

TEST(DecoderOutput, TwoLayerOddRows)
{
    // Layer 0 rows 10, 20; layer 1 rows 30, 40 (2 x 2 planes): output 4 x 4, even rows from the
    // layers (layer 0 even columns, layer 1 odd), odd rows filled.
    Planes layer0(2, 2, 0, 128, 128), layer1(2, 2, 0, 128, 128);
    layer0.luma = {10, 10, 20, 20};
    layer1.luma = {30, 30, 40, 40};
    const OutputGeometry geometry{2, 2, 2, true, false};
    const auto copy = Convert(OutputRoutine::Bgr24, geometry, {layer0.View(), layer1.View()});
    const auto average = Convert(OutputRoutine::Rgb24, geometry, {layer0.View(), layer1.View()});
    const int row = 4 * 3;
    struct Case
    {
        int row, column, copyValue, averageValue;
    };
    // Row 1 copies row 2 (routine 0) or averages rows 0 and 2; row 3 copies row 2 in both.
    const Case cases[] = {{0, 0, 10, 10}, {0, 1, 30, 30}, {2, 0, 20, 20}, {2, 1, 40, 40},
                          {1, 0, 20, 15}, {1, 1, 40, 35}, {3, 0, 20, 20}, {3, 1, 40, 40}};
    for (const Case& c : cases) {
        EXPECT_EQ(copy[size_t(c.row * row + c.column * 3)], c.copyValue) << c.row << "," << c.column;
        EXPECT_EQ(average[size_t(c.row * row + c.column * 3)], c.averageValue) << c.row << "," << c.column;
    }
}

TEST(DecoderOutput, FourLayersFillEveryPixel)
{
    Planes layers[4] = {{2, 2, 1, 128, 128}, {2, 2, 2, 128, 128}, {2, 2, 3, 128, 128}, {2, 2, 4, 128, 128}};
    const auto out = Convert(OutputRoutine::Bgrx32, {2, 2, 4, true, false},
                             {layers[0].View(), layers[1].View(), layers[2].View(), layers[3].View()});
    // Pixel (r, c) of store k at row 2r + (k >> 1), column 2c + (k & 1).
    const int expected[4][4] = {{1, 2, 1, 2}, {3, 4, 3, 4}, {1, 2, 1, 2}, {3, 4, 3, 4}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(out[size_t((r * 4 + c) * 4)], expected[r][c]) << r << "," << c;
}
