#include "engine/decoderoutput.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr double kChromaGain = 1.5;

int Clamp(int value)
{
    return value < 0 ? 0 : (value > 255 ? 255 : value);
}

bool Is16Bit(OutputRoutine routine)
{
    return routine == OutputRoutine::Rgb565 || routine == OutputRoutine::Bgr565;
}

uint16_t Pack565(int high, int middle, int low)
{
    return uint16_t((high >> 3) << 11 | (middle >> 2) << 5 | (low >> 3));
}

} // namespace

DecoderOutput::DecoderOutput()
{
    for (int value = 0; value < 256; ++value) {
        const double chroma = std::clamp((value - 128) * kChromaGain, -128.0, 127.0);
        m_crToRed[value] = int(chroma * 1.4013377926421404);
        m_crToGreen[value] = int(chroma * -0.7136038186157518);
        m_cbToGreen[value] = int(chroma * -0.34441087613293053);
        m_cbToBlue[value] = int(chroma * 1.7734138972809665);
    }
}

int DecoderOutput::BytesPerPixel(OutputRoutine routine)
{
    switch (routine) {
    case OutputRoutine::Bgrx32:
    case OutputRoutine::Rgbx32: return 4;
    case OutputRoutine::Rgb565:
    case OutputRoutine::Bgr565: return 2;
    default: return 3;
    }
}

int64_t DecoderOutput::OutputBytes(OutputRoutine routine, const OutputGeometry& geometry)
{
    const int scale = geometry.layered && geometry.layers > 1 ? 2 : 1;
    return int64_t(geometry.width) * scale * geometry.height * scale * BytesPerPixel(routine);
}

void DecoderOutput::Pixel(int y, int cb, int cr, int* red, int* green, int* blue) const
{
    *red = Clamp(y + m_crToRed[cr]);
    *green = Clamp(y + m_crToGreen[cr] + m_cbToGreen[cb]);
    *blue = Clamp(y + m_cbToBlue[cb]);
}

void DecoderOutput::Store(OutputRoutine routine, uint8_t* at, int red, int green, int blue)
{
    switch (routine) {
    case OutputRoutine::Bgr24:
    case OutputRoutine::Bgr24Too: at[0] = uint8_t(blue), at[1] = uint8_t(green), at[2] = uint8_t(red); break;
    case OutputRoutine::Rgb24: at[0] = uint8_t(red), at[1] = uint8_t(green), at[2] = uint8_t(blue); break;
    case OutputRoutine::Bgrx32:
        at[0] = uint8_t(blue), at[1] = uint8_t(green), at[2] = uint8_t(red), at[3] = 0;
        break;
    case OutputRoutine::Rgbx32:
        at[0] = uint8_t(red), at[1] = uint8_t(green), at[2] = uint8_t(blue), at[3] = 0;
        break;
    case OutputRoutine::Rgb565: {
        const uint16_t word = Pack565(red, green, blue);
        at[0] = uint8_t(word), at[1] = uint8_t(word >> 8);
        break;
    }
    case OutputRoutine::Bgr565: {
        const uint16_t word = Pack565(blue, green, red);
        at[0] = uint8_t(word), at[1] = uint8_t(word >> 8);
        break;
    }
    }
}

void DecoderOutput::FillOddRows(OutputRoutine routine, uint8_t* output, int outWidth, int outHeight)
{
    const int bpp = BytesPerPixel(routine);
    const size_t rowBytes = size_t(outWidth) * size_t(bpp);
    for (int row = 1; row < outHeight; row += 2) {
        uint8_t* out = output + size_t(row) * rowBytes;
        const uint8_t* above = out - rowBytes;
        if (row + 1 >= outHeight) {
            std::memcpy(out, above, rowBytes);
            continue;
        }
        const uint8_t* below = out + rowBytes;
        if (routine == OutputRoutine::Bgr24 || routine == OutputRoutine::Bgr24Too) {
            std::memcpy(out, below, rowBytes);
        } else if (Is16Bit(routine)) {
            for (int x = 0; x < outWidth; ++x) {
                const int a = above[2 * x] | above[2 * x + 1] << 8;
                const int b = below[2 * x] | below[2 * x + 1] << 8;
                const int high = (((a >> 11) & 31) + ((b >> 11) & 31)) >> 1;
                const int middle = (((a >> 5) & 63) + ((b >> 5) & 63)) >> 1;
                const int low = ((a & 31) + (b & 31)) >> 1;
                const int word = high << 11 | middle << 5 | low;
                out[2 * x] = uint8_t(word);
                out[2 * x + 1] = uint8_t(word >> 8);
            }
        } else {
            // Per byte; the fourth byte of a 32-bit pixel is left as it was.
            for (int x = 0; x < outWidth; ++x)
                for (int c = 0; c < 3; ++c)
                    out[x * bpp + c] = uint8_t((above[x * bpp + c] + below[x * bpp + c]) >> 1);
        }
    }
}

bool DecoderOutput::Convert(OutputRoutine routine, const OutputGeometry& geometry, const YCbCrPlanes* planes,
                            uint8_t* output, int64_t outputCapacity) const
{
    const int width = geometry.width;
    const int height = geometry.height;
    if (!planes || !output || width <= 0 || height <= 0 || width % 2 || height % 2)
        return false;
    const bool layered = geometry.layered && geometry.layers > 1;
    if (layered && geometry.layers != 2 && geometry.layers != 4)
        return false;
    if (OutputBytes(routine, geometry) > outputCapacity)
        return false;
    const int bpp = BytesPerPixel(routine);
    const int count = layered ? geometry.layers : 1;
    const int outWidth = layered ? 2 * width : width;
    const int outHeight = layered ? 2 * height : height;
    const int chromaWidth = width / 2;
    for (int k = 0; k < count; ++k) {
        const YCbCrPlanes& plane = planes[k];
        if (!plane.luma || !plane.cb || !plane.cr)
            return false;
        for (int r = 0; r < height; ++r) {
            const int sourceRow = geometry.flip ? height - 1 - r : r;
            const int outRow = layered ? 2 * sourceRow + (k >> 1) : sourceRow;
            uint8_t* out = output + size_t(outRow) * size_t(outWidth) * size_t(bpp);
            const uint8_t* luma = plane.luma + size_t(r) * size_t(width);
            const uint8_t* cb = plane.cb + size_t(r / 2) * size_t(chromaWidth);
            const uint8_t* cr = plane.cr + size_t(r / 2) * size_t(chromaWidth);
            for (int c = 0; c < width; ++c) {
                int red, green, blue;
                Pixel(luma[c], cb[c / 2], cr[c / 2], &red, &green, &blue);
                const int outColumn = layered ? 2 * c + (k & 1) : c;
                Store(routine, out + size_t(outColumn) * size_t(bpp), red, green, blue);
            }
        }
    }
    if (layered && count == 2)
        FillOddRows(routine, output, outWidth, outHeight);
    return true;
}
