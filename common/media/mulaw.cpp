#include "common/media/mulaw.h"

#include <QtEndian>

#include <cstring>

namespace {
// Upper bounds of the eight segments of the biased 14-bit magnitude.
constexpr int kSegmentEnd[8] = {63, 127, 255, 511, 1023, 2047, 4095, 8191};
constexpr int kClip = 8159;
constexpr int kBias = 33;
} // namespace

quint8 LinearToMuLaw(int sample)
{
    int value = sample >> 2; // 14-bit range; arithmetic shift keeps the sign
    int mask;
    if (value < 0) {
        value = -value;
        mask = 0x7F;
    } else {
        mask = 0xFF;
    }
    if (value > kClip)
        value = kClip;
    value += kBias;

    int segment = 0;
    while (segment < 8 && value > kSegmentEnd[segment])
        ++segment;
    if (segment >= 8) // only the clipped maximum lands here
        return quint8(0x7F ^ mask);

    const int code = (segment << 4) | ((value >> (segment + 1)) & 0x0F);
    return quint8(code ^ mask);
}

qint16 MuLawToLinear(quint8 code)
{
    const int u = ~code & 0xFF;
    int t = ((u & 0x0F) << 3) + 132;
    t <<= (u >> 4) & 7;
    return qint16((u & 0x80) ? (132 - t) : (t - 132));
}

void SwapWords(void* data, int n)
{
    if (!data || n <= 0)
        return;
    auto* bytes = static_cast<unsigned char*>(data);
    const int words = int((qint64(n) + 3) / 4);
    int i = 0;
    // Two words at a time, then what is left word by word; the result is the same.
    for (; i + 1 < words; i += 2) {
        quint64 pair;
        std::memcpy(&pair, bytes + i * 4, 8);
        const quint32 lo = qbswap(quint32(pair & 0xFFFFFFFFu));
        const quint32 hi = qbswap(quint32(pair >> 32));
        pair = (quint64(hi) << 32) | lo;
        std::memcpy(bytes + i * 4, &pair, 8);
    }
    for (; i < words; ++i) {
        quint32 word;
        std::memcpy(&word, bytes + i * 4, 4);
        word = qbswap(word);
        std::memcpy(bytes + i * 4, &word, 4);
    }
}
