#include "engine/picturepack.h"

#include <QtEndian>

#include <cstddef>

namespace {

uint8_t Clamp(int value)
{
    return uint8_t(value < 0 ? 0 : (value > 255 ? 255 : value));
}

// One row of 24-bit red, green, blue as 32-bit blue, green, red, 255.
void RepackRow(const uint8_t* in, uint8_t* out, int width)
{
    for (int x = 0; x < width; ++x, in += 3, out += 4) {
        // A little-endian word puts blue first.
        qToLittleEndian<quint32>(0xFF000000u | uint32_t(in[0]) << 16 | uint32_t(in[1]) << 8 | uint32_t(in[2]),
                                 out);
    }
}

// The same with every value through the brightness and contrast table.
void AdjustRow(const uint8_t* in, uint8_t* out, int width, const uint8_t* table)
{
    for (int x = 0; x < width; ++x, in += 3, out += 4) {
        out[0] = table[in[2]];
        out[1] = table[in[1]];
        out[2] = table[in[0]];
        out[3] = 255;
    }
}

} // namespace

void PictureAdjust::Table(uint8_t table[256]) const
{
    for (int c = 0; c < 256; ++c)
        table[c] = Clamp(c + brightness + ((contrast * c) >> 7));
}

void PackPicture(const uint8_t* rgb, int width, int height, uint8_t* bgra, bool weave, const PictureAdjust& adjust)
{
    // Without brightness or contrast every value stays as it is: the rows are only repacked.
    uint8_t table[256];
    if (!adjust.IsNeutral())
        adjust.Table(table);
    const int half = height / 2;
    for (int row = 0; row < height; ++row) {
        const int target = weave ? (row < half ? 2 * row : 2 * (row - half) + 1) : row;
        if (target >= height)
            continue;
        const uint8_t* in = rgb + size_t(row) * size_t(width) * 3;
        uint8_t* out = bgra + size_t(target) * size_t(width) * 4;
        if (adjust.IsNeutral())
            RepackRow(in, out, width);
        else
            AdjustRow(in, out, width, table);
    }
}
