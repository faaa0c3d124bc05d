#pragma once
// The pixel format of a display surface as the display front writes it: a depth code (8, 15, 16,
// 24, 32, or 0 for a format it cannot write) and each colour's shift and width.
#include <cstdint>

struct SurfacePixelFormat
{
    int depthCode = 0;
    int redShift = 0;
    int redBits = 0;
    int greenShift = 0;
    int greenBits = 0;
    int blueShift = 0;
    int blueBits = 0;

    // Read from the surface description's bit count and masks; rgb is false for formats that are
    // not RGB (YUV overlays and the like), which give depth 0.
    static SurfacePixelFormat FromMasks(int bitsPerPixel, bool rgb, uint32_t redMask, uint32_t greenMask,
                                        uint32_t blueMask);
    static SurfacePixelFormat Rgb32() { return FromMasks(32, true, 0xFF0000, 0x00FF00, 0x0000FF); }
};
