// The engine's own decoder on frames made by the test encoder: framing, key and delta pictures,
// coefficients through the transform, layered pictures, settings and every error path; and the
// transform's accuracy against a floating-point inverse DCT.
#include "ownencoder.h"

#include "engine/inversetransform.h"
#include "engine/videodecoder.h"
#include "engine/videodecoderlock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

constexpr int kColumns = 21; // 336 / 16
constexpr int kRows = 14;    // 224 / 16
constexpr int kHeight224 = 1;

// Luma DC of macroblock (mx, my) in the test pictures.
int DcOf(int mx, int my)
{
    return (mx * 11 + my * 7) % 200 + 20;
}

// A key picture whose macroblocks carry only DCs (neutral chroma).
void KeyLayer(OwnEncoder& encoder, int type = 2, int layerCode = 0)
{
    encoder.PictureHeader(true, type, layerCode);
    for (int my = 0; my < kRows; ++my)
        for (int mx = 0; mx < kColumns; ++mx) {
            encoder.KeyMacroblock(0, 0);
            for (int j = 0; j < 4; ++j)
                encoder.Dc(DcOf(mx, my));
            encoder.Dc(128);
            encoder.Dc(128);
        }
    encoder.EndCode();
}

struct DecoderFixture : ::testing::Test
{
    void SetUp() override
    {
        ASSERT_EQ(decoder.Init(336, 272), 0);
        ASSERT_EQ(decoder.Set(0, 5, 2), 0); // 24-bit red, green, blue: grey levels read directly
        output.assign(size_t(672 * 448 * 3), 0xAB);
    }

    int Decode(const QByteArray& frame, int slot = 0, int layered = 0, int filter = 0)
    {
        return decoder.Decode(reinterpret_cast<const uint8_t*>(frame.constData()), frame.size(), output.data(),
                              int64_t(output.size()), slot, layered, filter, 1);
    }

    // Grey level of pixel (x, y) of a picture width pixels wide.
    int Grey(int x, int y, int width = 336) const { return output[size_t((y * width + x) * 3)]; }

    VideoDecoder decoder;
    std::vector<uint8_t> output;
};

} // namespace

TEST_F(DecoderFixture, KeyPictureOfDcOnlyBlocks)
{
    OwnEncoder encoder;
    KeyLayer(encoder);
    EXPECT_EQ(Decode(encoder.Frame(kHeight224)), 336224);
    for (int my = 0; my < kRows; ++my)
        for (int mx = 0; mx < kColumns; ++mx)
            for (int y : {0, 9, 15})
                for (int x : {0, 7, 8, 15})
                    ASSERT_EQ(Grey(mx * 16 + x, my * 16 + y), DcOf(mx, my)) << mx << "," << my;
    EXPECT_EQ(decoder.Set(0, 8, 0), 2) << "picture type";
    EXPECT_EQ(decoder.Set(0, 9, 0), 1) << "layer count";
}

TEST_F(DecoderFixture, HeightComesFromTheTrailer)
{
    const int heights[] = {240, 224, 256, 272};
    for (int code = 0; code < 4; ++code) {
        OwnEncoder encoder;
        encoder.PictureHeader(true, 2, 0);
        for (int mb = 0; mb < kColumns * (heights[code] / 16); ++mb) {
            encoder.KeyMacroblock(0, 0);
            for (int j = 0; j < 6; ++j)
                encoder.Dc(128);
        }
        encoder.EndCode();
        EXPECT_EQ(Decode(encoder.Frame(code)), 336000 + heights[code]);
    }
}

TEST_F(DecoderFixture, CoefficientsGoThroughMatrixAndTransform)
{
    // Macroblock 0: its top-left luma block carries DC 100 and the events (run 0, level 3) and
    // (last, run 1, level -2): positions 1 and 3 of the zigzag, raster 1 and 16. Picture type 1
    // takes matrix A (11 at 1, 13 at 16) with shift 0.
    OwnEncoder encoder;
    encoder.PictureHeader(true, 1, 0);
    for (int mb = 0; mb < kColumns * kRows; ++mb) {
        encoder.KeyMacroblock(0, mb == 0 ? 8 : 0);
        encoder.Dc(100);
        if (mb == 0)
            encoder.Events(OwnEncoder::Class::Intra, {{false, 0, 3}, {true, 1, -2}});
        for (int j = 1; j < 4; ++j)
            encoder.Dc(100);
        encoder.Dc(128);
        encoder.Dc(128);
    }
    encoder.EndCode();
    ASSERT_EQ(Decode(encoder.Frame(kHeight224)), 336224);
    int16_t block[64] = {};
    block[0] = 800;
    block[1] = 3 * 11;
    block[16] = -2 * 13;
    // The intra class gives (0, 0, 3) the code "1110" and (1, 1, 1) "001111": levels above 1
    // with a run go through the escape.
    InverseTransform::Apply(block);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(Grey(x, y), std::clamp<int>(block[y * 8 + x], 0, 255)) << x << "," << y;
    EXPECT_EQ(Grey(8, 0), 100) << "the block beside it is flat";
}

TEST_F(DecoderFixture, DeltaPicturesPredictFromTheLastKeyPicture)
{
    OwnEncoder delta;
    delta.PictureHeader(false, 2, 0);
    for (int mb = 0; mb < kColumns * kRows; ++mb)
        delta.SkippedMacroblock();
    delta.EndCode();
    EXPECT_EQ(uint32_t(Decode(delta.Frame(kHeight224))), VideoDecoder::kNoReference) << "no key picture yet";

    OwnEncoder key;
    KeyLayer(key);
    ASSERT_EQ(Decode(key.Frame(kHeight224)), 336224);
    // An inter macroblock with a DC-only luma block adds to the key picture.
    OwnEncoder changed;
    changed.PictureHeader(false, 2, 0);
    changed.CodedMacroblock(0, 8, false);                     // inter, chroma 0, top-left luma block coded
    changed.Events(OwnEncoder::Class::Inter, {{true, 0, 5}}); // DC 5
    for (int mb = 1; mb < kColumns * kRows; ++mb)
        changed.SkippedMacroblock();
    changed.EndCode();
    ASSERT_EQ(Decode(changed.Frame(kHeight224)), 336224);
    EXPECT_EQ(Grey(0, 0), DcOf(0, 0) + 5);
    EXPECT_EQ(Grey(8, 0), DcOf(0, 0));
    // The next delta picture predicts from the key picture again, not from the previous one;
    // brightness and contrast apply to what it shows.
    ASSERT_EQ(decoder.Set(0, 2, 10), 0);
    ASSERT_EQ(decoder.Set(0, 3, 64), 0);
    ASSERT_EQ(Decode(delta.Frame(kHeight224)), 336224);
    const int p = DcOf(0, 0);
    EXPECT_EQ(Grey(0, 0), std::min(255, p + ((p * 64) >> 7) + 10));
    // Another slot keeps its own reference.
    EXPECT_EQ(uint32_t(Decode(delta.Frame(kHeight224), 3)), VideoDecoder::kNoReference);
}

TEST_F(DecoderFixture, TwoLayerPicture)
{
    // Layer 0 the DC picture; layer 1 a key difference of +20 on every luma block: stores 0 and
    // 1 take base + 10 and base + 20; the output is 672 x 448, odd rows the average of their
    // neighbours (24-bit routine 2).
    OwnEncoder encoder;
    KeyLayer(encoder, 2, 1);
    encoder.PictureHeader(true, 2, 1);
    for (int mb = 0; mb < kColumns * kRows; ++mb) {
        encoder.CodedMacroblock(0, 15, false); // mode value 0, all four luma blocks
        for (int j = 0; j < 4; ++j)
            encoder.Events(OwnEncoder::Class::Inter, {{true, 0, 20}});
    }
    encoder.EndCode();
    const QByteArray frame = encoder.Frame(kHeight224);
    ASSERT_EQ(Decode(frame, 0, 1), 672448);
    const int base = DcOf(0, 0);
    EXPECT_EQ(Grey(0, 0, 672), base + 10);
    EXPECT_EQ(Grey(1, 0, 672), base + 20);
    EXPECT_EQ(Grey(0, 1, 672), base + 10);
    EXPECT_EQ(decoder.Set(0, 9, 0), 2);
    // Without layered only layer 0 is decoded, at the plain size.
    ASSERT_EQ(Decode(frame, 0, 0), 336224);
    EXPECT_EQ(Grey(0, 0), base);
}

TEST_F(DecoderFixture, FramingErrors)
{
    OwnEncoder good;
    KeyLayer(good);
    const QByteArray frame = good.Frame(kHeight224);
    struct Case
    {
        const char* what;
        QByteArray bytes;
        uint32_t result;
    };
    QByteArray empty = frame;
    empty[4] = char(0x80);
    empty[5] = 0;
    QByteArray firstWord = frame;
    firstWord[1] = 1;
    QByteArray trailer = frame;
    trailer[trailer.size() - 4] = 1;
    const Case cases[] = {
        {"empty mark at byte 4", empty, 0},
        {"first word not 0", firstWord, VideoDecoder::kNoPicture},
        {"trailer low bits", trailer, VideoDecoder::kBadHeader},
        {"five bytes", frame.left(5), VideoDecoder::kNoPicture},
        {"no start code", QByteArray(64, '\0'), VideoDecoder::kNoPicture},
    };
    for (const Case& c : cases)
        EXPECT_EQ(uint32_t(Decode(c.bytes)), c.result) << c.what;
    EXPECT_EQ(Decode(frame, 64), VideoDecoder::kBadSlot);
    EXPECT_EQ(Decode(frame, -1), VideoDecoder::kBadSlot);
    VideoDecoder fresh;
    EXPECT_EQ(uint32_t(fresh.Decode(reinterpret_cast<const uint8_t*>(frame.constData()), frame.size(), nullptr, 0,
                                    0, 0, 0, 1)),
              VideoDecoder::kNotInitialised);
}

TEST_F(DecoderFixture, HeaderAndCodeErrors)
{
    // An end code first, a header whose marker bit is 0, a picture header where the end code
    // belongs, a coefficient code of nine zeros, and a run past the block's end.
    OwnEncoder endFirst;
    endFirst.EndCode();
    OwnEncoder badMarker;
    badMarker.StartCode();
    badMarker.Bits("000000000000000");
    OwnEncoder twoHeaders;
    twoHeaders.PictureHeader(true, 2, 0);
    for (int mb = 0; mb < kColumns * kRows; ++mb) {
        twoHeaders.KeyMacroblock(0, 0);
        for (int j = 0; j < 6; ++j)
            twoHeaders.Dc(128);
    }
    twoHeaders.PictureHeader(true, 2, 0);
    OwnEncoder brokenCode;
    brokenCode.PictureHeader(true, 2, 0);
    brokenCode.KeyMacroblock(0, 8);
    brokenCode.Dc(100);
    brokenCode.BrokenCode();
    OwnEncoder longRun;
    longRun.PictureHeader(true, 2, 0);
    longRun.KeyMacroblock(0, 8);
    longRun.Dc(100);
    longRun.Events(OwnEncoder::Class::Intra, {{false, 40, 1}, {true, 40, 1}});
    struct Case
    {
        const char* what;
        QByteArray frame;
        uint32_t result;
    };
    const Case cases[] = {
        {"end code first", endFirst.Frame(kHeight224), VideoDecoder::kNoPicture},
        {"marker bit", badMarker.Frame(kHeight224), VideoDecoder::kBadHeader},
        {"header instead of end code", twoHeaders.Frame(kHeight224), VideoDecoder::kBadHeader},
        {"nine leading zeros", brokenCode.Frame(kHeight224), VideoDecoder::kCoefficientError},
        {"run past 63", longRun.Frame(kHeight224), VideoDecoder::kCoefficientError},
    };
    for (const Case& c : cases)
        EXPECT_EQ(uint32_t(Decode(c.frame)), c.result) << c.what;
}

TEST_F(DecoderFixture, TruncatedFramesNeverReadPastTheirEnd)
{
    OwnEncoder encoder;
    KeyLayer(encoder);
    const QByteArray frame = encoder.Frame(kHeight224);
    for (int length = 0; length < frame.size(); length += 7) {
        // A copy of exactly that length, so that a sanitizer catches any read past it.
        std::vector<uint8_t> cut(frame.begin(), frame.begin() + length);
        const int result = decoder.Decode(cut.data(), length, output.data(), int64_t(output.size()), 0, 1, 1, 1);
        EXPECT_TRUE(result <= 0 || result == 336224) << length;
    }
}

TEST_F(DecoderFixture, SettingsAreChecked)
{
    struct Case
    {
        int slot, setting, value, result;
    };
    const Case cases[] = {{0, 2, 127, 0}, {0, 2, 128, -1}, {0, 3, -127, 0}, {0, 3, -128, -1},
                          {0, 4, 1, 0},   {0, 5, 6, 0},    {0, 5, 7, -1},   {0, 6, 1, 0},
                          {0, 7, -5, 0},  {0, 1, 1, 0},    {0, 10, 1, -1},  {64, 2, 0, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(decoder.Set(c.slot, c.setting, c.value), c.result) << c.setting << " " << c.value;
}

TEST_F(DecoderFixture, LumaOnlyAndFlip)
{
    decoder.Set(0, 4, 1);
    decoder.Set(0, 6, 1);
    OwnEncoder encoder;
    encoder.PictureHeader(true, 2, 0);
    for (int mb = 0; mb < kColumns * kRows; ++mb) {
        encoder.KeyMacroblock(0, 0);
        for (int j = 0; j < 4; ++j)
            encoder.Dc(mb == 0 ? 200 : 50);
        encoder.Dc(0); // strong chroma, dropped by the luma-only setting
        encoder.Dc(255);
    }
    encoder.EndCode();
    ASSERT_EQ(Decode(encoder.Frame(kHeight224)), 336224);
    // Flipped: macroblock 0 lands at the bottom; grey because chroma stayed 128.
    const int bottom = 223;
    EXPECT_EQ(output[size_t(bottom * 336 * 3)], 200);
    EXPECT_EQ(output[size_t(bottom * 336 * 3 + 1)], 200);
    EXPECT_EQ(output[size_t(bottom * 336 * 3 + 2)], 200);
    EXPECT_EQ(Grey(0, 0), 50);
}

TEST_F(DecoderFixture, PostFilterSharpens)
{
    OwnEncoder encoder;
    KeyLayer(encoder);
    ASSERT_EQ(Decode(encoder.Frame(kHeight224), 0, 0, 2), 336224);
    // Inside a flat block the kernel 0, -1, 0 / -1, 5, -1 / 0, -1, 0 leaves the value; at the
    // edge between two macroblocks of different DCs the step gets steeper.
    EXPECT_EQ(Grey(4, 4), DcOf(0, 0));
    const int left = DcOf(0, 0), right = DcOf(1, 0);
    EXPECT_EQ(Grey(15, 4), std::clamp(5 * left - 3 * left - right, 0, 255));
    EXPECT_EQ(Grey(0, 0), DcOf(0, 0)) << "the first row is not filtered";
}

TEST(VideoDecoderLock, EmptyLengthGivesTheDefaultSize)
{
    VideoDecoderLock lock;
    ASSERT_EQ(lock.Init(336, 272), 0);
    EXPECT_EQ(lock.Decode(nullptr, 0, nullptr, 0, 0, 0, 0, 0, 1), 336224);
}

TEST(InverseTransform, AccuracyAgainstFloatingPoint)
{
    // Blocks of coefficients from the exact forward DCT of random pixels in -256..255, rounded;
    // the integer transform must stay within 1 of the exact inverse, with a small mean error.
    std::mt19937 random(1180);
    std::uniform_int_distribution<int> pixel(-256, 255);
    double squared = 0;
    int peak = 0;
    const int blocks = 2000;
    for (int n = 0; n < blocks; ++n) {
        double pixels[64];
        for (double& p : pixels)
            p = pixel(random) / double(1 + n % 4); // smoother blocks too
        double coefficients[64];
        for (int v = 0; v < 8; ++v)
            for (int u = 0; u < 8; ++u) {
                double sum = 0;
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 8; ++x)
                        sum += pixels[y * 8 + x] * std::cos((2 * x + 1) * u * M_PI / 16)
                               * std::cos((2 * y + 1) * v * M_PI / 16);
                const double cu = u ? 1 : M_SQRT1_2, cv = v ? 1 : M_SQRT1_2;
                coefficients[v * 8 + u] = std::round(sum * cu * cv / 4);
            }
        int16_t block[64];
        for (int i = 0; i < 64; ++i)
            block[i] = int16_t(std::clamp(coefficients[i], -2048.0, 2047.0));
        InverseTransform::Apply(block);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                double exact = 0;
                for (int v = 0; v < 8; ++v)
                    for (int u = 0; u < 8; ++u) {
                        const double cu = u ? 1 : M_SQRT1_2, cv = v ? 1 : M_SQRT1_2;
                        exact += cu * cv * coefficients[v * 8 + u] * std::cos((2 * x + 1) * u * M_PI / 16)
                                 * std::cos((2 * y + 1) * v * M_PI / 16);
                    }
                exact = std::clamp(std::round(exact / 4), -256.0, 255.0);
                const int error = std::abs(block[y * 8 + x] - int(exact));
                peak = std::max(peak, error);
                squared += double(error) * error;
            }
    }
    EXPECT_LE(peak, 1);
    EXPECT_LT(squared / (blocks * 64.0), 0.06);
}

TEST(InverseTransform, ExtremeCoefficientsStayInRange)
{
    // Broken streams reach the transform with every coefficient at a limit; the sums inside must
    // not overflow and every result stays clipped.
    for (int pattern = 0; pattern < 4; ++pattern) {
        int16_t block[64];
        for (int i = 0; i < 64; ++i)
            block[i] = int16_t(((i + pattern) % (pattern + 2)) ? 2047 : -2048);
        InverseTransform::Apply(block);
        for (int16_t value : block) {
            EXPECT_GE(value, -256);
            EXPECT_LE(value, 255);
        }
    }
}
