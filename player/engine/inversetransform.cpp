#include "engine/inversetransform.h"

namespace {

// 2048 x sqrt(2) x cos(k pi / 16)
constexpr int W1 = 2841;
constexpr int W2 = 2676;
constexpr int W3 = 2408;
constexpr int W5 = 1609;
constexpr int W6 = 1108;
constexpr int W7 = 565;

// x / sqrt(2) as 181 / 256, in 64 bits: broken streams can carry coefficients whose sums would
// overflow 32 bits here.
int HalfRootTwo(int64_t value)
{
    return int((181 * value + 128) >> 8);
}

int16_t Clip(int value)
{
    return int16_t(value < -256 ? -256 : (value > 255 ? 255 : value));
}

void Row(int16_t* row)
{
    int x1 = row[4] * 2048, x2 = row[6], x3 = row[2], x4 = row[1], x5 = row[7], x6 = row[5], x7 = row[3];
    if (!(x1 | x2 | x3 | x4 | x5 | x6 | x7)) {
        const int16_t dc = int16_t(row[0] * 8);
        for (int i = 0; i < 8; ++i)
            row[i] = dc;
        return;
    }
    int x0 = row[0] * 2048 + 128;
    int x8 = W7 * (x4 + x5);
    x4 = x8 + (W1 - W7) * x4;
    x5 = x8 - (W1 + W7) * x5;
    x8 = W3 * (x6 + x7);
    x6 = x8 - (W3 - W5) * x6;
    x7 = x8 - (W3 + W5) * x7;
    x8 = x0 + x1;
    x0 -= x1;
    x1 = W6 * (x3 + x2);
    x2 = x1 - (W2 + W6) * x2;
    x3 = x1 + (W2 - W6) * x3;
    x1 = x4 + x6;
    x4 -= x6;
    x6 = x5 + x7;
    x5 -= x7;
    x7 = x8 + x3;
    x8 -= x3;
    x3 = x0 + x2;
    x0 -= x2;
    x2 = HalfRootTwo(x4 + x5);
    x4 = HalfRootTwo(x4 - x5);
    row[0] = int16_t((x7 + x1) >> 8);
    row[1] = int16_t((x3 + x2) >> 8);
    row[2] = int16_t((x0 + x4) >> 8);
    row[3] = int16_t((x8 + x6) >> 8);
    row[4] = int16_t((x8 - x6) >> 8);
    row[5] = int16_t((x0 - x4) >> 8);
    row[6] = int16_t((x3 - x2) >> 8);
    row[7] = int16_t((x7 - x1) >> 8);
}

void Column(int16_t* column)
{
    int x1 = column[8 * 4] * 256, x2 = column[8 * 6], x3 = column[8 * 2], x4 = column[8 * 1], x5 = column[8 * 7],
        x6 = column[8 * 5], x7 = column[8 * 3];
    if (!(x1 | x2 | x3 | x4 | x5 | x6 | x7)) {
        const int16_t value = Clip((column[0] + 32) >> 6);
        for (int i = 0; i < 8; ++i)
            column[8 * i] = value;
        return;
    }
    int x0 = column[0] * 256 + 8192;
    int x8 = W7 * (x4 + x5) + 4;
    x4 = (x8 + (W1 - W7) * x4) >> 3;
    x5 = (x8 - (W1 + W7) * x5) >> 3;
    x8 = W3 * (x6 + x7) + 4;
    x6 = (x8 - (W3 - W5) * x6) >> 3;
    x7 = (x8 - (W3 + W5) * x7) >> 3;
    x8 = x0 + x1;
    x0 -= x1;
    x1 = W6 * (x3 + x2) + 4;
    x2 = (x1 - (W2 + W6) * x2) >> 3;
    x3 = (x1 + (W2 - W6) * x3) >> 3;
    x1 = x4 + x6;
    x4 -= x6;
    x6 = x5 + x7;
    x5 -= x7;
    x7 = x8 + x3;
    x8 -= x3;
    x3 = x0 + x2;
    x0 -= x2;
    x2 = HalfRootTwo(x4 + x5);
    x4 = HalfRootTwo(x4 - x5);
    column[8 * 0] = Clip((x7 + x1) >> 14);
    column[8 * 1] = Clip((x3 + x2) >> 14);
    column[8 * 2] = Clip((x0 + x4) >> 14);
    column[8 * 3] = Clip((x8 + x6) >> 14);
    column[8 * 4] = Clip((x8 - x6) >> 14);
    column[8 * 5] = Clip((x0 - x4) >> 14);
    column[8 * 6] = Clip((x3 - x2) >> 14);
    column[8 * 7] = Clip((x7 - x1) >> 14);
}

} // namespace

namespace InverseTransform {

void Apply(int16_t block[64])
{
    for (int i = 0; i < 8; ++i)
        Row(block + 8 * i);
    for (int i = 0; i < 8; ++i)
        Column(block + i);
}

} // namespace InverseTransform
