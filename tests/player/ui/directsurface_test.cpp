#include "ui/directsurface.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <vector>

namespace {

// One 32-bit picture pixel as the engine writes it: blue, green, red, 255.
std::vector<uint8_t> Picture(int width, int height, uint8_t blue, uint8_t green, uint8_t red)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < bytes.size(); i += 4) {
        bytes[i] = blue;
        bytes[i + 1] = green;
        bytes[i + 2] = red;
        bytes[i + 3] = 255;
    }
    return bytes;
}

uint16_t Word(const DirectSurface& surface, int x, int y)
{
    const uchar* row = surface.Image().constScanLine(y);
    return static_cast<uint16_t>(row[x * 2] | row[x * 2 + 1] << 8);
}

} // namespace

TEST(SurfacePixelFormatTest, DepthCodeFromMasks)
{
    struct Case
    {
        int bits;
        bool rgb;
        uint32_t red;
        uint32_t green;
        uint32_t blue;
        int depth;
    };
    const Case cases[] = {
        {16, true, 0xF800, 0x07E0, 0x001F, 16}, // green six bits wide: 5-6-5
        {16, true, 0x7C00, 0x03E0, 0x001F, 15}, // 5-5-5
        {24, true, 0xFF0000, 0x00FF00, 0x0000FF, 24},
        {32, true, 0xFF0000, 0x00FF00, 0x0000FF, 32},
        {32, false, 0, 0, 0, 0},
        {8, true, 0, 0, 0, 8},
        {12, true, 0xF00, 0x0F0, 0x00F, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SurfacePixelFormat::FromMasks(c.bits, c.rgb, c.red, c.green, c.blue).depthCode, c.depth)
            << c.bits << " bits";
    }
    const SurfacePixelFormat f565 = SurfacePixelFormat::FromMasks(16, true, 0xF800, 0x07E0, 0x001F);
    EXPECT_EQ(f565.redShift, 11);
    EXPECT_EQ(f565.greenShift, 5);
    EXPECT_EQ(f565.greenBits, 6);
    EXPECT_EQ(f565.blueBits, 5);
}

TEST(DirectSurfaceTest, WritesPicturesInTheSurfaceDepth)
{
    // blue 0x18, green 0xFC, red 0xF8
    const std::vector<uint8_t> picture = Picture(4, 2, 0x18, 0xFC, 0xF8);
    struct Case
    {
        SurfacePixelFormat format;
        uint16_t expected;
    };
    const Case cases[] = {
        // 5-6-5: (0xF8 >> 3) << 11 | (0xFC >> 2) << 5 | (0x18 >> 3) = 0xF800 | 0x07E0 | 0x0003
        {SurfacePixelFormat::FromMasks(16, true, 0xF800, 0x07E0, 0x001F), 0xFFE3},
        // 5-5-5: (0xF8 >> 3) << 10 | (0xFC >> 3) << 5 | (0x18 >> 3) = 0x7C00 | 0x03E0 | 0x0003
        {SurfacePixelFormat::FromMasks(16, true, 0x7C00, 0x03E0, 0x001F), 0x7FE3},
    };
    for (const Case& c : cases) {
        DirectSurface surface;
        ASSERT_EQ(surface.Create(8, 4, SurfaceMemory::System, c.format), 0);
        surface.WritePicture(picture.data(), 4, 2);
        EXPECT_EQ(Word(surface, 0, 0), c.expected) << c.format.depthCode;
        EXPECT_EQ(Word(surface, 3, 1), c.expected) << c.format.depthCode;
        EXPECT_EQ(Word(surface, 4, 1), 0) << "outside the picture";
        EXPECT_EQ(Word(surface, 0, 2), 0) << "outside the picture";
    }

    DirectSurface rgb24;
    ASSERT_EQ(
        rgb24.Create(4, 2, SurfaceMemory::System, SurfacePixelFormat::FromMasks(24, true, 0xFF0000, 0xFF00, 0xFF)),
        0);
    rgb24.WritePicture(picture.data(), 4, 2);
    const uchar* row = rgb24.Image().constScanLine(1);
    EXPECT_EQ(row[9], 0xF8); // red first
    EXPECT_EQ(row[10], 0xFC);
    EXPECT_EQ(row[11], 0x18);
}

TEST(DirectSurfaceTest, NarrowPictureIsCopiedWholeOnA32BitSurface)
{
    std::vector<uint8_t> picture = Picture(5, 3, 1, 2, 3);
    picture[4 * 4] = 0x77;               // last pixel of the first row
    picture[(2 * 5 + 4) * 4 + 2] = 0x55; // red of the last pixel
    DirectSurface surface;
    ASSERT_EQ(surface.Create(64, 8, SurfaceMemory::Video, SurfacePixelFormat::Rgb32()), 0);
    surface.WritePicture(picture.data(), 5, 3);
    EXPECT_EQ(surface.Image().pixel(4, 0) & 0xFFFFFF, 0x030277u);
    EXPECT_EQ(surface.Image().pixel(4, 2) & 0xFFFFFF, 0x550201u);
    EXPECT_EQ(surface.Image().pixel(5, 0) & 0xFFFFFF, 0u);
}

TEST(DirectSurfaceTest, PicturesLargerThanTheSurfaceAreCutAndBadSizesRefused)
{
    const std::vector<uint8_t> picture = Picture(16, 16, 9, 9, 9);
    DirectSurface surface;
    ASSERT_EQ(surface.Create(8, 8, SurfaceMemory::Either, SurfacePixelFormat::Rgb32()), 0);
    surface.WritePicture(picture.data(), 16, 16); // must not write past the surface
    EXPECT_EQ(surface.Image().pixel(7, 7) & 0xFFFFFF, 0x090909u);
    EXPECT_NE(surface.Create(0, 8, SurfaceMemory::Either, SurfacePixelFormat::Rgb32()), 0);
    EXPECT_NE(surface.Create(8, 8, SurfaceMemory::Either, SurfacePixelFormat()), 0);
    EXPECT_FALSE(surface.IsCreated());
}

TEST(DirectSurfaceTest, DeviceContextIsNestedAndClipKeptInside)
{
    DirectSurface surface;
    ASSERT_EQ(surface.Create(10, 10, SurfaceMemory::Either, SurfacePixelFormat::Rgb32()), 0);
    QPainter* first = surface.GetDC();
    QPainter* second = surface.GetDC();
    EXPECT_EQ(first, second);
    surface.ReleaseDC();
    EXPECT_TRUE(first->isActive());
    surface.ReleaseDC();
    surface.SetClip(QRect(-5, 2, 40, 4));
    EXPECT_EQ(surface.Clip(), QRect(0, 2, 10, 4));
    DirectSurface other;
    ASSERT_EQ(other.Create(2, 2, SurfaceMemory::Either, SurfacePixelFormat::Rgb32()), 0);
    EXPECT_NE(other.Id(), surface.Id());
}
