#include "ui/surfacepixelformat.h"

namespace {

void ShiftAndWidth(uint32_t mask, int* shift, int* width)
{
    *shift = 0;
    *width = 0;
    if (mask == 0) {
        return;
    }
    while ((mask & 1u) == 0) {
        mask >>= 1;
        ++*shift;
    }
    // The width is the mask shifted down, as a value (31 for five bits, 63 for six).
    *width = static_cast<int>(mask);
}

int Bits(int widthValue)
{
    int bits = 0;
    while (widthValue > 0) {
        bits += widthValue & 1;
        widthValue >>= 1;
    }
    return bits;
}

} // namespace

SurfacePixelFormat SurfacePixelFormat::FromMasks(int bitsPerPixel, bool rgb, uint32_t redMask, uint32_t greenMask,
                                                 uint32_t blueMask)
{
    SurfacePixelFormat format;
    if (bitsPerPixel <= 8) {
        format.depthCode = bitsPerPixel == 8 ? 8 : 0;
        return format;
    }
    if (!rgb) {
        return format;
    }
    int redWidth = 0;
    int greenWidth = 0;
    int blueWidth = 0;
    ShiftAndWidth(redMask, &format.redShift, &redWidth);
    ShiftAndWidth(greenMask, &format.greenShift, &greenWidth);
    ShiftAndWidth(blueMask, &format.blueShift, &blueWidth);
    format.redBits = Bits(redWidth);
    format.greenBits = Bits(greenWidth);
    format.blueBits = Bits(blueWidth);
    switch (bitsPerPixel) {
    case 16:
        // Three five-bit masks shifted down add up to 3 x 31 = 93.
        format.depthCode = redWidth + greenWidth + blueWidth == 93 ? 15 : 16;
        break;
    case 24:
    case 32: format.depthCode = bitsPerPixel; break;
    default: format.depthCode = 0; break;
    }
    return format;
}
