// Mu-law codec and 32-bit word swap: edge values from the G.711 tables, a full round trip of
// every code, and the swap over whole and partial words.
#include "common/media/mulaw.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

namespace {

struct DecodeCase
{
    quint8 code;
    int linear;
};

// Values worked out by hand from the decoding rule (u = ~code, t = ((u & 15) << 3) + 132,
// t <<= segment, sign from bit 7 of u).
const DecodeCase kDecodeCases[] = {
    {0xFF, 0},   {0x7F, 0},    {0x00, -32124}, {0x80, 32124}, {0xFE, 8},     {0x7E, -8},
    {0xF0, 120}, {0x70, -120}, {0xEF, 132},    {0x6F, -132},  {0x8F, 16764}, {0x0F, -16764},
};

TEST(MuLaw, DecodeEdgeTable)
{
    for (const auto& c : kDecodeCases)
        EXPECT_EQ(MuLawToLinear(c.code), c.linear) << "code 0x" << std::hex << int(c.code);
}

struct EncodeCase
{
    int sample;
    quint8 code;
};

const EncodeCase kEncodeCases[] = {
    {0, 0xFF},      // 0 + 33 lies in segment 0, (33 >> 1) & 15 = 0
    {-32768, 0x00}, // clipped magnitude + bias = 8192: above every bound
    {32767, 0x80},  // the same on the positive side
    {-32767, 0x00}, // -32767 >> 2 = -8192: clipped as well
    {1, 0xFF},      // 1 >> 2 = 0
    {-1, 0x7E},     // -1 >> 2 = -1: magnitude 1 + 33 = 34, segment 0, nibble 1 -> 0x01 ^ 0x7F
    {8, 0xFE},      // 2 + 33 = 35 -> nibble 1 -> 0x01 ^ 0xFF
    {-8, 0x7E},     // -2 -> 35 -> 0x01 ^ 0x7F
    {132, 0xEF},    // 33 + 33 = 66, segment 1, (66 >> 2) & 15 = 0 -> 0x10 ^ 0xFF
    {32124, 0x80},  // 8031 + 33 = 8064, segment 7, (8064 >> 8) & 15 = 15 -> 0x7F ^ 0xFF
    {-32124, 0x00},
};

TEST(MuLaw, EncodeEdgeTable)
{
    for (const auto& c : kEncodeCases)
        EXPECT_EQ(LinearToMuLaw(c.sample), c.code) << "sample " << c.sample;
}

// Decoding then encoding gives every code back, except where two codes decode to the same
// value: G.711 mu-law has a positive and a negative zero (0xFF and 0x7F), and 0 encodes as the
// positive one. No other pair of codes shares a value, so 0x7F is the only exception.
TEST(MuLaw, RoundTripOfEveryCode)
{
    std::set<int> values;
    std::set<int> mismatches;
    for (int code = 0; code < 256; ++code) {
        const int linear = MuLawToLinear(quint8(code));
        values.insert(linear);
        if (LinearToMuLaw(linear) != code)
            mismatches.insert(code);
    }
    EXPECT_EQ(values.size(), 255u); // 256 codes, one shared value
    EXPECT_EQ(MuLawToLinear(0x7F), MuLawToLinear(0xFF));
    EXPECT_EQ(mismatches, std::set<int>({0x7F}));
    EXPECT_EQ(LinearToMuLaw(MuLawToLinear(0x7F)), 0xFF);
}

// Encoding keeps the sign and the order of the samples.
TEST(MuLaw, EncodeKeepsSignAndOrder)
{
    int last = -32768;
    for (int s = -32768; s <= 32767; s += 7) {
        const int back = MuLawToLinear(LinearToMuLaw(s));
        EXPECT_EQ(back < 0, s < 0) << s; // -1 >> 2 is still -1, so every negative sample stays negative
        EXPECT_GE(back, last) << s;
        last = back;
    }
}

TEST(SwapWords, EightBytes)
{
    std::array<unsigned char, 8> b = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08};
    SwapWords(b.data(), 8);
    const std::array<unsigned char, 8> want = {0x04, 0x03, 0x02, 0x01, 0x08, 0x07, 0x06, 0x05};
    EXPECT_EQ(b, want);
}

TEST(SwapWords, OddWordCountUsesTheTail)
{
    std::array<unsigned char, 12> b = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    SwapWords(b.data(), 12);
    const std::array<unsigned char, 12> want = {4, 3, 2, 1, 8, 7, 6, 5, 12, 11, 10, 9};
    EXPECT_EQ(b, want);
}

TEST(SwapWords, LengthRoundsUpToWholeWords)
{
    // 6 bytes touch two whole words; the third word is left alone.
    std::array<unsigned char, 12> b = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    SwapWords(b.data(), 6);
    const std::array<unsigned char, 12> want = {4, 3, 2, 1, 8, 7, 6, 5, 9, 10, 11, 12};
    EXPECT_EQ(b, want);
}

TEST(SwapWords, NothingForEmptyOrNull)
{
    std::array<unsigned char, 4> b = {1, 2, 3, 4};
    SwapWords(b.data(), 0);
    SwapWords(b.data(), -4);
    SwapWords(nullptr, 8);
    const std::array<unsigned char, 4> want = {1, 2, 3, 4};
    EXPECT_EQ(b, want);
}

TEST(SwapWords, TwiceRestores)
{
    std::array<unsigned char, 20> b{};
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<unsigned char>(i * 13 + 1);
    const auto orig = b;
    SwapWords(b.data(), 20);
    EXPECT_NE(b, orig);
    SwapWords(b.data(), 20);
    EXPECT_EQ(b, orig);
}

} // namespace
