// Channel H.264 decoder: pictures against ffmpeg's own decode, size codes, brightness and
// contrast, the recorder wrapper repair and slice renumbering, mode 3 frame tracking, and
// refusal of short or broken frames.
#include "common/media/moduledecoder.h"
#include "common/support/decoder_streams.h"

#include <QLoggingCategory>
#include <QMutex>
#include <QStringList>

#include <gtest/gtest.h>

#include "harness/messagecapture.h"

#include <cmath>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using decoder_streams::Stream;

Bytes ToBytes(const QByteArray& a)
{
    return Bytes(a.begin(), a.end());
}

int Decode(CModuleDecoder& decoder, Bytes frame, int mode, int width = 0, int height = 0, bool decodeOnly = false)
{
    return decoder.OnDecode(frame.data(), int(frame.size()), mode, width, height, decodeOnly);
}

// Rows of the decoder's picture compared with ffmpeg's rgb24 output of the same frame; returns
// the count of differing bytes.
int CompareWithReference(const QImage& picture, const Stream& stream, int frameIndex)
{
    const int rowBytes = stream.width * 3;
    const qsizetype offset = qsizetype(frameIndex) * rowBytes * stream.height;
    if (picture.width() != stream.width || picture.height() != stream.height
        || picture.format() != QImage::Format_RGB888
        || offset + rowBytes * stream.height > stream.referenceRgb.size())
        return -1;
    int differing = 0;
    for (int y = 0; y < stream.height; ++y) {
        const uchar* ours = picture.constScanLine(y);
        const char* theirs = stream.referenceRgb.constData() + offset + qsizetype(y) * rowBytes;
        for (int x = 0; x < rowBytes; ++x)
            differing += ours[x] != uchar(theirs[x]);
    }
    return differing;
}

// Mean and spread of the picture's bytes at the places where the base picture holds values
// between 20 and 150, far from both ends, so that clipping does not hide a change.
void Statistics(const QImage& picture, const QImage& base, double& mean, double& spread)
{
    double sum = 0, squares = 0;
    qint64 count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const uchar* row = picture.constScanLine(y);
        const uchar* baseRow = base.constScanLine(y);
        for (int x = 0; x < picture.width() * 3; ++x) {
            if (baseRow[x] < 20 || baseRow[x] > 150)
                continue;
            sum += row[x];
            squares += double(row[x]) * row[x];
            ++count;
        }
    }
    mean = count ? sum / count : 0;
    spread = count ? std::sqrt(squares / count - mean * mean) : 0;
}

using MessageLog = MessageCapture;

class DecoderTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(decoder.OpenDecoder()); }

    static const Stream& Stream704()
    {
        const Stream& s = decoder_streams::Make(704, 480);
        EXPECT_TRUE(s.error.isEmpty()) << s.error.toStdString();
        return s;
    }

    CModuleDecoder decoder;
};

TEST(ModuleDecoderClosed, RefusesUntilOpenedAndAfterClose)
{
    CModuleDecoder decoder;
    Bytes frame{0x00, 0x00, 0x00, 0x01, 0x65, 0x88};
    EXPECT_EQ(decoder.OnDecode(frame.data(), int(frame.size()), 2, 0, 0, false), -1);
    EXPECT_TRUE(decoder.GetImage().isNull());
    EXPECT_FALSE(decoder.CloseDecoder());

    ASSERT_TRUE(decoder.OpenDecoder());
    EXPECT_EQ(decoder.OnDecode(frame.data(), 0, 2, 0, 0, false), -2);
    EXPECT_EQ(decoder.OnDecode(frame.data(), -5, 0, 0, 0, false), -2);
    // Open and not yet decoded: the black 10 x 10 picture.
    const QImage picture = decoder.GetImage();
    ASSERT_EQ(picture.size(), QSize(10, 10));
    EXPECT_EQ(picture.format(), QImage::Format_RGB888);
    EXPECT_EQ(picture.pixel(5, 5), qRgb(0, 0, 0));

    EXPECT_TRUE(decoder.CloseDecoder());
    EXPECT_EQ(decoder.OnDecode(frame.data(), int(frame.size()), 2, 0, 0, false), -1);
    EXPECT_TRUE(decoder.GetImage().isNull());
}

TEST(ModuleDecoderSizeCode, PacksWidthAndHeight)
{
    struct Case
    {
        int w, h, code;
    };
    const Case cases[] = {{704, 480, 704480},    {1920, 1080, 19201080}, {352, 240, 352240},
                          {1280, 1000, 1281000}, {1280, 1001, 12801001}, {720, 576, 720576}};
    for (const Case& c : cases)
        EXPECT_EQ(CModuleDecoder::SizeCode(c.w, c.h), c.code) << c.w << "x" << c.h;
}

// Every access unit decodes in the modes that pass plain streams through, and each picture
// equals ffmpeg's decode through the same fast bilinear scaler.
struct StreamCase
{
    int width, height, mode, code;
};

class DecoderStreamTest : public ::testing::TestWithParam<StreamCase>
{};

TEST_P(DecoderStreamTest, EveryFrameEqualsFfmpegDecode)
{
    const StreamCase c = GetParam();
    const Stream& stream = decoder_streams::Make(c.width, c.height);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    ASSERT_EQ(stream.frames.size(), 30);
    ASSERT_EQ(stream.referenceRgb.size(), qsizetype(30) * c.width * c.height * 3);

    CModuleDecoder decoder;
    ASSERT_TRUE(decoder.OpenDecoder());
    for (int i = 0; i < stream.frames.size(); ++i) {
        ASSERT_EQ(Decode(decoder, ToBytes(stream.frames[i]), c.mode), c.code) << "frame " << i;
        ASSERT_EQ(CompareWithReference(decoder.GetImage(), stream, i), 0) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Streams, DecoderStreamTest,
                         ::testing::Values(StreamCase{704, 480, 2, 704480}, StreamCase{704, 480, 0, 704480},
                                           StreamCase{704, 480, 1, 704480}, StreamCase{1920, 1080, 2, 19201080}));

TEST_F(DecoderTest, PictureIsReadUnderItsLockAsTheGridDoes)
{
    const Stream& stream = Stream704();
    ASSERT_FALSE(stream.frames.isEmpty());
    ASSERT_EQ(Decode(decoder, ToBytes(stream.frames[0]), 2), 704480);
    QImage copy;
    {
        // A grid holds its cells lock, then the picture lock, while it copies the picture.
        QMutexLocker picture(decoder.GetPictureLock());
        copy = decoder.GetImage();
    }
    // The copy is the grid's: later frames do not change it.
    ASSERT_EQ(Decode(decoder, ToBytes(stream.frames[1]), 2), 704480);
    EXPECT_EQ(CompareWithReference(copy, stream, 0), 0);
    EXPECT_EQ(CompareWithReference(decoder.GetImage(), stream, 1), 0);
}

TEST_F(DecoderTest, DecodeOnlyKeepsThePicture)
{
    const Stream& stream = Stream704();
    ASSERT_FALSE(stream.frames.isEmpty());
    EXPECT_EQ(Decode(decoder, ToBytes(stream.frames[0]), 2, 0, 0, true), 704480);
    EXPECT_EQ(decoder.GetImage().size(), QSize(10, 10));
    EXPECT_EQ(Decode(decoder, ToBytes(stream.frames[1]), 2), 704480);
    EXPECT_EQ(CompareWithReference(decoder.GetImage(), stream, 1), 0);
}

TEST_F(DecoderTest, SizeCodeEqualToThePayloadSizeIsRefused)
{
    // A key frame followed by zero bytes up to 704480 bytes still decodes; its size code then
    // equals the payload size.
    const Stream& stream = Stream704();
    ASSERT_FALSE(stream.frames.isEmpty());
    Bytes frame = ToBytes(stream.frames[0]);
    ASSERT_LT(frame.size(), 704480u);
    frame.resize(704480, 0x00);
    EXPECT_EQ(Decode(decoder, frame, 2), -14);
    frame.resize(704481, 0x00);
    EXPECT_EQ(Decode(decoder, frame, 2), 704480);
}

TEST_F(DecoderTest, RequestedSizeScalesThePicture)
{
    const Stream& stream = Stream704();
    ASSERT_FALSE(stream.frames.isEmpty());
    EXPECT_EQ(Decode(decoder, ToBytes(stream.frames[0]), 2, 352, 240), 352240);
    EXPECT_EQ(decoder.GetImage().size(), QSize(352, 240));
    // Rows whose bytes are not a multiple of four.
    EXPECT_EQ(Decode(decoder, ToBytes(stream.frames[0]), 2, 351, 241), -11);
    EXPECT_EQ(Decode(decoder, ToBytes(stream.frames[0]), 2, 351, 241), 351241);
    EXPECT_EQ(decoder.GetImage().size(), QSize(351, 241));
    EXPECT_NE(decoder.GetImage().pixel(175, 120), qRgb(0, 0, 0));
    // Only one of the two set: the decoded size.
    CModuleDecoder other;
    ASSERT_TRUE(other.OpenDecoder());
    EXPECT_EQ(Decode(other, ToBytes(stream.frames[0]), 2, 352, 0), 704480);
    EXPECT_EQ(other.GetImage().size(), QSize(704, 480));
}

// A recorder declares its picture size; a stream above 4096 x 2304 pixels is refused before the
// decoder allocates for it, and no requested size converts to more pixels than that.
TEST_F(DecoderTest, PicturesAboveTheSizeLimitAreRefused)
{
    struct Case
    {
        int width;
        int height;
        int expected;
    };
    const Case cases[] = {
        {4096, 2304, CModuleDecoder::SizeCode(4096, 2304)}, // exactly the limit
        {4096, 2320, CModuleDecoder::ErrCodec},             // 16 rows more
        {4672, 2160, CModuleDecoder::ErrCodec},             // wider, fewer rows, more pixels
    };
    for (const Case& c : cases) {
        const Stream& stream = decoder_streams::Make(c.width, c.height, 2, 2);
        ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
        CModuleDecoder fresh;
        ASSERT_TRUE(fresh.OpenDecoder());
        EXPECT_EQ(Decode(fresh, ToBytes(stream.frames[0]), 2), c.expected) << c.width << "x" << c.height;
        if (c.expected < 0) {
            EXPECT_LT(qint64(fresh.GetImage().width()) * fresh.GetImage().height(), 100 * 100)
                << "no picture of the refused size";
        }
    }

    const Stream& small = Stream704();
    EXPECT_EQ(Decode(decoder, ToBytes(small.frames[0]), 2, 8192, 4320), CModuleDecoder::ErrConvert);
    EXPECT_EQ(Decode(decoder, ToBytes(small.frames[0]), 2, 4096, 2304), CModuleDecoder::SizeCode(4096, 2304));
}

TEST_F(DecoderTest, SizeChangeCostsOneFrame)
{
    const Stream& small = Stream704();
    const Stream& large = decoder_streams::Make(1920, 1080);
    ASSERT_TRUE(large.error.isEmpty()) << large.error.toStdString();
    EXPECT_EQ(Decode(decoder, ToBytes(small.frames[0]), 2), 704480);
    EXPECT_EQ(Decode(decoder, ToBytes(large.frames[0]), 2), -11);
    EXPECT_EQ(decoder.GetImage().size(), QSize(1920, 1080));
    EXPECT_EQ(decoder.GetImage().pixel(960, 540), qRgb(0, 0, 0)) << "black until the new size's first picture";
    EXPECT_EQ(Decode(decoder, ToBytes(large.frames[1]), 2), 19201080);
    EXPECT_EQ(CompareWithReference(decoder.GetImage(), large, 1), 0);
}

TEST_F(DecoderTest, BrightnessAndContrastMoveThePicture)
{
    const Stream& stream = Stream704();
    ASSERT_FALSE(stream.frames.isEmpty());
    const Bytes key = ToBytes(stream.frames[0]);

    ASSERT_EQ(Decode(decoder, key, 2), 704480);
    ASSERT_EQ(CompareWithReference(decoder.GetImage(), stream, 0), 0);
    const QImage base = decoder.GetImage().copy();

    struct Setting
    {
        int brightness, contrast;
    };
    auto measure = [&](Setting s, double& mean, double& spread) {
        decoder.SetBrightness(0, s.brightness);
        decoder.SetContrast(0, s.contrast);
        EXPECT_EQ(decoder.GetBrightness(0), s.brightness);
        EXPECT_EQ(decoder.GetContrast(0), s.contrast);
        ASSERT_EQ(Decode(decoder, key, 2), 704480);
        Statistics(decoder.GetImage(), base, mean, spread);
    };
    double mean0, spread0, mean, spread;
    Statistics(base, base, mean0, spread0);
    ASSERT_GT(spread0, 10);

    measure({30, 0}, mean, spread);
    EXPECT_GT(mean, mean0 + 20);
    measure({-30, 0}, mean, spread);
    EXPECT_LT(mean, mean0 - 20);
    measure({0, 50}, mean, spread);
    EXPECT_GT(spread, spread0 * 1.3);
    measure({0, -50}, mean, spread);
    EXPECT_LT(spread, spread0 * 0.7);

    // Values beyond the panel's range are held to -100 to 100 (factor 0 to 2).
    double meanHeld, spreadHeld;
    measure({100, 100}, meanHeld, spreadHeld);
    measure({5000, 5000}, mean, spread);
    EXPECT_EQ(mean, meanHeld);
    EXPECT_EQ(spread, spreadHeld);
    measure({-100000, -100000}, mean, spread);
    measure({-100, -100}, meanHeld, spreadHeld);
    EXPECT_EQ(mean, meanHeld);
    EXPECT_EQ(spread, spreadHeld);

    // Back to 0 and 0: ffmpeg's picture again.
    measure({0, 0}, mean, spread);
    EXPECT_EQ(CompareWithReference(decoder.GetImage(), stream, 0), 0);

    // A second open on an open decoder clears the values and blacks the picture.
    decoder.SetBrightness(0, 40);
    decoder.SetContrast(0, 20);
    ASSERT_TRUE(decoder.OpenDecoder());
    EXPECT_EQ(decoder.GetBrightness(0), 0);
    EXPECT_EQ(decoder.GetContrast(0), 0);
    EXPECT_EQ(decoder.GetImage().pixel(100, 100), qRgb(0, 0, 0));
}

// --- The recorder's wrapper around real frames -----------------------------------------------

// Wraps an access unit the way a recorder does. The wrapper unit is 00 00 01 06, the kind at
// byte 4 (0x90 first form), flags at byte 7 and the 23-bit length at bytes 9 to 11 (the top bit
// of byte 9 set, which the length ignores); byte 5 (payload size 54), the stop bit at byte 60
// and the absence of 00 00 pairs make the unit a well-formed SEI for the decoder, and the frame
// itself starts behind the words where the repair looks for a slice (renumbering is tested on
// its own below: it rewrites bits that libx264's slice headers use otherwise). The frame
// is padded to the length unit (8 bytes first form, 4 second) and followed by bytes that are
// not part of the frame; stored frames have every 32-bit word reversed.
Bytes Wrap(const QByteArray& unit, bool firstForm, bool reversed, int seiPayload = 54)
{
    const unsigned char kind = firstForm ? 0x90 : 0x91;
    const unsigned char flags = firstForm ? 0x10 : 0x01;
    Bytes frame{0x00, 0x00,  0x01, 0x06, kind, static_cast<unsigned char>(seiPayload),
                0x5A, flags, 0x5A, 0x80, 0x00, 0x00};
    frame.resize(6 + seiPayload, 0x5A);
    frame.push_back(0x80);
    frame.insert(frame.end(), unit.begin(), unit.end());
    const size_t step = firstForm ? 8 : 4;
    while (frame.size() % step)
        frame.push_back(0x00);
    const size_t value = frame.size() / step;
    frame[9] = static_cast<unsigned char>(0x80 | (value >> 16));
    frame[10] = static_cast<unsigned char>(value >> 8);
    frame[11] = static_cast<unsigned char>(value);
    if (reversed) {
        for (size_t i = 0; i + 4 <= frame.size(); i += 4) {
            std::swap(frame[i], frame[i + 3]);
            std::swap(frame[i + 1], frame[i + 2]);
        }
    }
    const Bytes tail{0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x00, 0x01, 0x41, 0xFF, 0xFF};
    frame.insert(frame.end(), tail.begin(), tail.end());
    return frame;
}

struct WrapCase
{
    bool firstForm, reversed;
};

class DecoderWrapTest : public ::testing::TestWithParam<WrapCase>
{};

TEST_P(DecoderWrapTest, WrappedFramesDecodeToFfmpegPictures)
{
    const WrapCase c = GetParam();
    const Stream& stream = decoder_streams::Make(704, 480);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    CModuleDecoder decoder;
    ASSERT_TRUE(decoder.OpenDecoder());
    for (int i = 0; i < stream.frames.size(); ++i) {
        // Mixed with plain frames: the repair is per frame.
        const Bytes frame = (i % 3 == 2) ? ToBytes(stream.frames[i])
                                         : Wrap(stream.frames[i], c.firstForm, c.reversed);
        ASSERT_EQ(Decode(decoder, frame, 0), 704480) << "frame " << i;
        ASSERT_EQ(CompareWithReference(decoder.GetImage(), stream, i), 0) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, DecoderWrapTest,
                         ::testing::Values(WrapCase{true, false}, WrapCase{true, true}, WrapCase{false, false},
                                           WrapCase{false, true}));

// Recorder streams carry 4-bit frame numbers and 5-bit order counts; their slices start in the
// words where the repair looks. Wrapped so, every frame still decodes to ffmpeg's picture: the
// renumbering writes the numbers the frames already carry, in the right bits.
int SeiPayloadPuttingSliceInWord(const QByteArray& unit)
{
    const int p = unit.indexOf(QByteArray::fromHex("00000141"));
    const int i = unit.indexOf(QByteArray::fromHex("00000165"));
    const int q = p < 0 ? i : (i < 0 ? p : qMin(p, i));
    for (int word = 5; word <= 14 && q >= 0; ++word) {
        const int payload = 4 * word - 7 - q; // the unit starts at 6 + payload + 1
        if (payload >= 6)
            return payload;
    }
    return 54;
}

class DecoderRecorderStreamTest : public ::testing::TestWithParam<WrapCase>
{
protected:
    void SetUp() override
    {
        const Stream& s = decoder_streams::Make(704, 480, 30, 10, true);
        ASSERT_TRUE(s.error.isEmpty()) << s.error.toStdString();
        stream = &s;
        frames = decoder_streams::Renumber(s.frames, decoder_streams::Numbering::FrameNum4Poc5);
        ASSERT_EQ(frames.size(), 30);
        ASSERT_TRUE(decoder.OpenDecoder());
    }
    Bytes Wrapped(int i) const
    {
        return Wrap(frames[i], GetParam().firstForm, GetParam().reversed, SeiPayloadPuttingSliceInWord(frames[i]));
    }
    const Stream* stream = nullptr;
    QList<QByteArray> frames;
    CModuleDecoder decoder;
};

TEST_P(DecoderRecorderStreamTest, RenumberedFramesDecodeToFfmpegPictures)
{
    int sliceInWords = 0;
    for (int i = 0; i < frames.size(); ++i) {
        sliceInWords += SeiPayloadPuttingSliceInWord(frames[i]) != 54;
        ASSERT_EQ(Decode(decoder, Wrapped(i), 0), 704480) << "frame " << i;
        ASSERT_EQ(CompareWithReference(decoder.GetImage(), *stream, i), 0) << "frame " << i;
    }
    EXPECT_GE(sliceInWords, 28) << "the P slices and the later IDR slices start inside words 5 to 14";
}

TEST_P(DecoderRecorderStreamTest, DroppedFramesLeaveNoGap)
{
    // Frames 4 and 5 are lost on the way; the frames after them still decode, with the
    // numbers continuing where the last decoded frame left off.
    for (int i = 0; i < frames.size(); ++i) {
        if (i == 4 || i == 5)
            continue;
        Bytes frame = Wrapped(i);
        ASSERT_EQ(decoder.OnDecode(frame.data(), int(frame.size()), 0, 0, 0, false), 704480) << "frame " << i;
        if (i == 6) {
            // In stream order after the repair, the P slice header follows its start in word 5.
            // Frame 6 carried frame_num 6; as the fourth P slice decoded after the IDR slice it
            // now carries frame_num 4 and order count 8.
            EXPECT_EQ(frame[24], 0x9A);
            EXPECT_EQ(frame[25], 0x88);
        }
    }
    // From the next IDR picture on, the pictures are ffmpeg's again.
    EXPECT_EQ(CompareWithReference(decoder.GetImage(), *stream, 29), 0);
}

INSTANTIATE_TEST_SUITE_P(Forms, DecoderRecorderStreamTest,
                         ::testing::Values(WrapCase{true, false}, WrapCase{true, true}, WrapCase{false, false},
                                           WrapCase{false, true}));

// Streams with four-byte start codes and 10-bit frame numbers, decoded in mode 3.
TEST_F(DecoderTest, Mode3DecodesAStreamInStep)
{
    const Stream& s = decoder_streams::Make(704, 480, 30, 10, true);
    ASSERT_TRUE(s.error.isEmpty()) << s.error.toStdString();
    const QList<QByteArray> frames = decoder_streams::Renumber(s.frames, decoder_streams::Numbering::FrameNum10);
    ASSERT_EQ(frames.size(), 30);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(Decode(decoder, ToBytes(frames[i]), 3), 704480) << "frame " << i;
        ASSERT_EQ(CompareWithReference(decoder.GetImage(), s, i), 0) << "frame " << i;
    }
    EXPECT_EQ(Decode(decoder, ToBytes(frames[4]), 3), -11) << "frame 4 again";
    {
        MessageLog log;
        EXPECT_EQ(Decode(decoder, ToBytes(frames[6]), 3), -12) << "frame 5 missing";
        EXPECT_TRUE(log.Text().contains("not sync")) << log.Text().toStdString();
    }
    for (int i = 7; i < 10; ++i)
        EXPECT_EQ(Decode(decoder, ToBytes(frames[i]), 3), -10) << "frame " << i;
    for (int i = 10; i < frames.size(); ++i) {
        ASSERT_EQ(Decode(decoder, ToBytes(frames[i]), 3), 704480) << "frame " << i;
        ASSERT_EQ(CompareWithReference(decoder.GetImage(), s, i), 0) << "frame " << i;
    }
}

// Mode 1 streams: P slices (0x61, slice_type 0) with a 10-bit frame_num right behind the first
// three header bits. The count written equals the numbers they carry, so pictures stay
// ffmpeg's; after lost frames the count closes the gap.
TEST_F(DecoderTest, Mode1StreamDecodesAndDroppedFramesLeaveNoGap)
{
    const Stream& s = decoder_streams::Make(704, 480, 30, 10, true);
    ASSERT_TRUE(s.error.isEmpty()) << s.error.toStdString();
    const QList<QByteArray> frames = decoder_streams::Renumber(s.frames,
                                                               decoder_streams::Numbering::PType0FrameNum10);
    ASSERT_EQ(frames.size(), 30);
    ASSERT_TRUE(frames[1].startsWith(QByteArray::fromHex("0000000161")));
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(Decode(decoder, ToBytes(frames[i]), 1), 704480) << "frame " << i;
        ASSERT_EQ(CompareWithReference(decoder.GetImage(), s, i), 0) << "frame " << i;
    }
    for (int i = 10; i < frames.size(); ++i) {
        if (i == 13 || i == 14)
            continue;
        Bytes frame = ToBytes(frames[i]);
        ASSERT_EQ(decoder.OnDecode(frame.data(), int(frame.size()), 1, 0, 0, false), 704480) << "frame " << i;
        if (i == 15) {
            // Carried 5, written 3: the third P slice after the key frame.
            EXPECT_EQ(frame[5] & 0x1F, 0x00);
            EXPECT_EQ(frame[6] >> 3, 0x03);
        }
    }
}

// --- The wrapper repair, byte by byte ----------------------------------------------------------

// Decodes a hand-made frame in mode 0 and returns the result; frame holds the bytes afterwards.
int DecodeInPlace(CModuleDecoder& decoder, Bytes& frame, int mode = 0)
{
    return decoder.OnDecode(frame.data(), int(frame.size()), mode, 0, 0, false);
}

// A 64-byte first-form frame in stream order, length value 8 (64 bytes), flags 0x10, with a
// P slice start in word 5 whose header begins 9B FF.
Bytes FirstFormP()
{
    return {0x00, 0x00, 0x01, 0x06, 0x90, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00,
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x41, 0x9B, 0xFF, 0x12, 0x34, 0x00, 0x00, 0x00, 0x00,
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
}

// The same frame with an IDR slice start in word 6; its header's second byte is given.
Bytes FirstFormIdr(unsigned char second)
{
    return {0x00, 0x00, 0x01, 0x06, 0x90, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00,   0x00, 0x00,
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x65, 0x88, second, 0xFF, 0x55,
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   0x00, 0x00,
            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   0x00, 0x00};
}

bool IsDecodeFailure(int result)
{
    return result == -998 || result == -999;
}

TEST_F(DecoderTest, PSlicesAreRenumberedAfterAnIdrSlice)
{
    // Every frame carries 9B FF; expected after the repair: frame_num n in bit 0 of the first
    // byte and bits 7..5 of the second, order count 2n in bits 4..0; 1 to 15, then 0.
    struct Step
    {
        unsigned char first, second;
    };
    const Step steps[] = {{0x9A, 0x22}, {0x9A, 0x44}, {0x9A, 0x66}, {0x9A, 0x88}, {0x9A, 0xAA}, {0x9A, 0xCC},
                          {0x9A, 0xEE}, {0x9B, 0x10}, {0x9B, 0x32}, {0x9B, 0x54}, {0x9B, 0x76}, {0x9B, 0x98},
                          {0x9B, 0xBA}, {0x9B, 0xDC}, {0x9B, 0xFE}, {0x9A, 0x00}, {0x9A, 0x22}};

    Bytes idr = FirstFormIdr(0xFF);
    EXPECT_TRUE(IsDecodeFailure(DecodeInPlace(decoder, idr)));
    for (size_t n = 0; n < sizeof steps / sizeof steps[0]; ++n) {
        Bytes frame = FirstFormP();
        EXPECT_TRUE(IsDecodeFailure(DecodeInPlace(decoder, frame)));
        EXPECT_EQ(frame[7], 0x11) << "flags 0x10 become 0x11";
        EXPECT_EQ(frame[24], steps[n].first) << "P slice " << n + 1;
        EXPECT_EQ(frame[25], steps[n].second) << "P slice " << n + 1;
        EXPECT_EQ(frame[26], 0x12);
    }
    // An IDR slice starts the count again.
    Bytes again = FirstFormIdr(0xFF);
    DecodeInPlace(decoder, again);
    Bytes frame = FirstFormP();
    DecodeInPlace(decoder, frame);
    EXPECT_EQ(frame[24], 0x9A);
    EXPECT_EQ(frame[25], 0x22);
}

TEST_F(DecoderTest, IdrSliceNumbersAreCleared)
{
    struct Case
    {
        unsigned char second, secondAfter, thirdAfter;
    };
    const Case cases[] = {{0xFF, 0x84, 0x1F}, {0xFB, 0x83, 0x07}, {0x04, 0x04, 0x1F}, {0x00, 0x00, 0x07}};
    for (const Case& c : cases) {
        Bytes frame = FirstFormIdr(c.second);
        DecodeInPlace(decoder, frame);
        EXPECT_EQ(frame[28], 0x88);
        EXPECT_EQ(frame[29], c.secondAfter) << int(c.second);
        EXPECT_EQ(frame[30], c.thirdAfter) << int(c.second);
        EXPECT_EQ(frame[31], 0x55);
    }
}

TEST_F(DecoderTest, StoredFrameIsRestoredToStreamOrder)
{
    // FirstFormP with every 32-bit word reversed, as a recorder stores it; a part word at the
    // end (AA BB) stays as it is and lies beyond the stated length anyway.
    Bytes stored{0x06, 0x01, 0x00, 0x00, 0x10, 0x00, 0x00, 0x90, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x41, 0x01, 0x00, 0x00, 0x34, 0x12, 0xFF, 0x9B,
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xAA, 0xBB};
    EXPECT_TRUE(IsDecodeFailure(DecodeInPlace(decoder, stored)));
    const Bytes expected{0x00, 0x00, 0x01, 0x06, 0x90, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x41, 0x9A, 0x22, 0x12, 0x34};
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 28), expected);
    EXPECT_EQ(stored[64], 0xAA);
    EXPECT_EQ(stored[65], 0xBB);
}

TEST_F(DecoderTest, SecondFormIsRepairedOnlyWithFlags001)
{
    // Second form (kind 0x91), flags 0x01, length value 16 (x 4 = 64 bytes): flags become 0x02.
    Bytes frame = FirstFormP();
    frame[4] = 0x91;
    frame[7] = 0x01;
    frame[11] = 0x10;
    DecodeInPlace(decoder, frame);
    EXPECT_EQ(frame[7], 0x02);
    EXPECT_EQ(frame[25], 0x22);

    // Flags 0x05: no repair of the flags and no cut, the slice is renumbered all the same.
    Bytes other = FirstFormP();
    other[4] = 0x91;
    other[7] = 0x05;
    other[11] = 0xFF;
    DecodeInPlace(decoder, other);
    EXPECT_EQ(other[7], 0x05);
    EXPECT_EQ(other[25], 0x44);

    // First form with flags 0x13 (bits 0 and 1 not clear): flags stay.
    Bytes first = FirstFormP();
    first[7] = 0x13;
    DecodeInPlace(decoder, first);
    EXPECT_EQ(first[7], 0x13);
}

TEST_F(DecoderTest, WrongStatedLengthsAreRefusedUntouched)
{
    struct Case
    {
        const char* name;
        Bytes frame;
        int result;
    };
    const Bytes p = FirstFormP();
    auto with = [&](std::initializer_list<std::pair<int, unsigned char>> changes) {
        Bytes f = p;
        for (const auto& change : changes)
            f.at(size_t(change.first)) = change.second;
        return f;
    };
    auto stored = [](Bytes f) {
        for (size_t i = 0; i + 4 <= f.size(); i += 4) {
            std::swap(f[i], f[i + 3]);
            std::swap(f[i + 1], f[i + 2]);
        }
        return f;
    };
    const Case cases[] = {
        {"first form, 72 of 64 bytes", with({{11, 0x09}}), -7},
        {"first form, top bit of byte 9 ignored, huge", with({{9, 0xFF}, {10, 0xFF}, {11, 0xFF}}), -7},
        {"first form, length 0", with({{11, 0x00}}), -7},
        {"second form, 68 of 64 bytes", with({{4, 0x91}, {7, 0x01}, {11, 0x11}}), -8},
        {"stored first form, 72 of 64", stored(with({{11, 0x09}})), -4},
        {"stored second form, 68 of 64", stored(with({{4, 0x91}, {7, 0x01}, {11, 0x11}})), -5},
        {"stream order, only the start", Bytes{0x00, 0x00, 0x01, 0x06}, -7},
        {"stream order, 11 bytes first form", Bytes(p.begin(), p.begin() + 11), -7},
        {"stream order, 8 bytes second form", Bytes{0x00, 0x00, 0x01, 0x06, 0x91, 0x00, 0x00, 0x01}, -8},
        {"stored, 7 bytes", Bytes{0x06, 0x01, 0x00, 0x00, 0x10, 0x00, 0x00}, -4},
        {"stored, 8 bytes second form", Bytes{0x06, 0x01, 0x00, 0x00, 0x01, 0x00, 0x00, 0x91}, -5},
        {"stored, 11 bytes", Bytes{0x06, 0x01, 0x00, 0x00, 0x10, 0x00, 0x00, 0x90, 0x08, 0x00, 0x00}, -4},
    };
    for (const Case& c : cases) {
        Bytes frame = c.frame;
        EXPECT_EQ(DecodeInPlace(decoder, frame), c.result) << c.name;
        EXPECT_EQ(frame, c.frame) << c.name << ": bytes changed";
    }
}

TEST_F(DecoderTest, SliceBeyondTheStatedLengthIsNotRewritten)
{
    // Length value 3 (24 bytes): the slice start in word 5 is inside, its header is not.
    Bytes frame = FirstFormP();
    frame[11] = 0x03;
    const Bytes before = frame;
    DecodeInPlace(decoder, frame);
    EXPECT_EQ(frame[7], 0x11);
    EXPECT_EQ(Bytes(frame.begin() + 8, frame.end()), Bytes(before.begin() + 8, before.end()));
}

TEST_F(DecoderTest, Mode1RenumbersPSlicesInTenBits)
{
    const Bytes p{0x00, 0x00, 0x00, 0x01, 0x61, 0xE0, 0x07, 0xAB, 0xCD};
    const Bytes idr{0x00, 0x00, 0x00, 0x01, 0x65, 0x88, 0x84};
    struct Step
    {
        unsigned char b5, b6;
    };
    // Count 1, 2, ..., 33: bits 4..0 of byte 5 and 7..3 of byte 6 carry it, the rest stays.
    std::vector<Step> expected;
    for (int n = 1; n <= 33; ++n)
        expected.push_back(
            {static_cast<unsigned char>(0xE0 | (n >> 5)), static_cast<unsigned char>(0x07 | ((n & 0x1F) << 3))});
    EXPECT_EQ(expected[0].b5, 0xE0);
    EXPECT_EQ(expected[0].b6, 0x0F);
    EXPECT_EQ(expected[32].b5, 0xE1);
    EXPECT_EQ(expected[32].b6, 0x0F);
    for (size_t n = 0; n < expected.size(); ++n) {
        Bytes frame = p;
        EXPECT_TRUE(IsDecodeFailure(DecodeInPlace(decoder, frame, 1)));
        EXPECT_EQ(frame[5], expected[n].b5) << n + 1;
        EXPECT_EQ(frame[6], expected[n].b6) << n + 1;
        EXPECT_EQ(frame[7], 0xAB);
    }
    // Any other unit starts again; data without a four-byte start code are left alone.
    Bytes key = idr;
    DecodeInPlace(decoder, key, 1);
    EXPECT_EQ(key, idr);
    Bytes frame = p;
    DecodeInPlace(decoder, frame, 1);
    EXPECT_EQ(frame[6], 0x0F);
    Bytes threeByte{0x00, 0x00, 0x01, 0x61, 0xE0, 0x07, 0xAB};
    const Bytes threeBefore = threeByte;
    DecodeInPlace(decoder, threeByte, 1);
    EXPECT_EQ(threeByte, threeBefore);

    // Too short to hold the bits: refused untouched.
    Bytes shortP{0x00, 0x00, 0x00, 0x01, 0x61, 0xE0};
    EXPECT_EQ(DecodeInPlace(decoder, shortP, 1), -2);
    EXPECT_EQ(shortP, (Bytes{0x00, 0x00, 0x00, 0x01, 0x61, 0xE0}));
    Bytes startOnly{0x00, 0x00, 0x00, 0x01};
    EXPECT_EQ(DecodeInPlace(decoder, startOnly, 1), -2);
}

TEST_F(DecoderTest, Mode1CountWrapsAfter1023)
{
    const Bytes p{0x00, 0x00, 0x00, 0x01, 0x61, 0xE0, 0x07, 0xAB};
    Bytes frame;
    for (int n = 1; n <= 1024; ++n) {
        frame = p;
        DecodeInPlace(decoder, frame, 1);
        if (n == 1023) {
            EXPECT_EQ(frame[5], 0xFF);
            EXPECT_EQ(frame[6], 0xFF);
        }
    }
    EXPECT_EQ(frame[5], 0xE0);
    EXPECT_EQ(frame[6], 0x07);
}

// A P slice with four-byte start code and the 10-bit frame number f.
Bytes Mode3P(int f)
{
    return {0x00,
            0x00,
            0x00,
            0x01,
            0x41,
            static_cast<unsigned char>(0x9A | ((f >> 9) & 1)),
            static_cast<unsigned char>((f >> 1) & 0xFF),
            static_cast<unsigned char>((f & 1) << 7 | 0x20),
            0x11};
}

TEST_F(DecoderTest, Mode3TracksFrameNumbers)
{
    const Stream& stream = Stream704();
    ASSERT_FALSE(stream.frames.isEmpty());
    const Bytes key = ToBytes(stream.frames[0]);

    EXPECT_EQ(Decode(decoder, Mode3P(1), 3), -10) << "not in step before a key frame";
    EXPECT_EQ(Decode(decoder, key, 3), 704480);
    EXPECT_EQ(Decode(decoder, Mode3P(0), 3), -11) << "the key frame's number again";
    {
        MessageLog log;
        EXPECT_EQ(Decode(decoder, Mode3P(2), 3), -12);
        EXPECT_TRUE(log.Text().contains("not sync")) << log.Text().toStdString();
        EXPECT_TRUE(log.Text().contains("2")) << log.Text().toStdString();
    }
    EXPECT_EQ(Decode(decoder, Mode3P(1), 3), -10) << "out of step after the gap";
    EXPECT_EQ(Decode(decoder, key, 3), 704480);
    EXPECT_EQ(Decode(decoder, Mode3P(513), 3), -12) << "the bit in byte 5 is worth 512";
    EXPECT_EQ(Decode(decoder, key, 3), 704480);

    Bytes shortP{0x00, 0x00, 0x00, 0x01, 0x41, 0x9A, 0x00};
    EXPECT_EQ(Decode(decoder, shortP, 3), -2);
    EXPECT_EQ(Decode(decoder, Mode3P(1), 3), -10) << "a refused frame puts it out of step";
    EXPECT_EQ(Decode(decoder, Bytes{0x00, 0x00, 0x00, 0x01}, 3), -2);
}

// --- Anything else: an error code, never a crash ------------------------------------------------

TEST_F(DecoderTest, GarbageAndTruncatedFramesGiveErrorCodes)
{
    const Stream& stream = Stream704();
    ASSERT_GT(stream.frames.size(), 2);
    auto acceptable = [](int r) { return r > 1000 || (r < 0 && r != -1 && r >= -999); };

    std::mt19937 random(20261209);
    for (int mode = 0; mode <= 4; ++mode) {
        for (int round = 0; round < 40; ++round) {
            const int size = 1 + int(random() % 300);
            Bytes frame(size);
            for (auto& b : frame)
                b = static_cast<unsigned char>(random());
            // Half of them look like a recorder wrapper or a start code.
            if (round % 2 && size >= 4) {
                const Bytes starts[] = {
                    {0x00, 0x00, 0x01, 0x06}, {0x06, 0x01, 0x00, 0x00}, {0x00, 0x00, 0x00, 0x01}};
                const Bytes& s = starts[round % 3];
                std::copy(s.begin(), s.end(), frame.begin());
            }
            const int r = Decode(decoder, frame, mode);
            EXPECT_TRUE(acceptable(r)) << "mode " << mode << " size " << size << " result " << r;
        }
        // Real frames cut short at many places.
        for (int i = 0; i < 3; ++i) {
            const QByteArray unit = stream.frames[i];
            for (int cut = 1; cut < unit.size(); cut += 1 + unit.size() / 23) {
                const int r = Decode(decoder, ToBytes(unit.left(cut)), mode);
                EXPECT_TRUE(acceptable(r))
                    << "mode " << mode << " frame " << i << " cut " << cut << " result " << r;
            }
        }
    }
    // After all that, the decoder still decodes a key frame correctly (a garbage picture of
    // another size would cost one frame first).
    int r = Decode(decoder, ToBytes(stream.frames[0]), 2);
    if (r == -11)
        r = Decode(decoder, ToBytes(stream.frames[0]), 2);
    EXPECT_EQ(r, 704480);
    EXPECT_EQ(CompareWithReference(decoder.GetImage(), stream, 0), 0);
}

// --- Conversion on demand: pictures converted once, at the size a cell shows ----------------

// Bytes of a RGB32 picture that differ from ffmpeg's BGRA frame `frameIndex`, or -1 when the
// sizes do not fit.
int CompareWithScaled(const QImage& picture, const QByteArray& reference, int frameIndex)
{
    const int rowBytes = picture.width() * 4;
    const qsizetype offset = qsizetype(frameIndex) * rowBytes * picture.height();
    if (picture.format() != QImage::Format_RGB32 || offset + rowBytes * picture.height() > reference.size())
        return -1;
    int differing = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const uchar* ours = picture.constScanLine(y);
        const char* theirs = reference.constData() + offset + qsizetype(y) * rowBytes;
        for (int x = 0; x < rowBytes; ++x)
            differing += ours[x] != uchar(theirs[x]);
    }
    return differing;
}

class OnDemandDecoderTest : public DecoderTest
{
protected:
    void SetUp() override
    {
        DecoderTest::SetUp();
        decoder.SetConvertOnDemand(true);
    }

    bool ConvertLocked(QImage& target, int width, int height, int cropRows = 0)
    {
        QMutexLocker picture(decoder.GetPictureLock());
        return decoder.ConvertInto(target, width, height, cropRows);
    }
    QImage FullLocked()
    {
        QMutexLocker picture(decoder.GetPictureLock());
        return decoder.GetImage();
    }
};

struct CellSizeCase
{
    int width, height, cropRows;
};

class OnDemandCellSizeTest : public OnDemandDecoderTest, public ::testing::WithParamInterface<CellSizeCase>
{};

TEST_P(OnDemandCellSizeTest, CellPictureEqualsFfmpegScaledDecode)
{
    const CellSizeCase c = GetParam();
    const Stream& stream = Stream704();
    constexpr int kFrames = 12; // past the first key frame interval
    QString error;
    const QByteArray reference = decoder_streams::ScaledReference(stream, c.width, c.height, c.cropRows, kFrames,
                                                                  error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    QImage cell;
    for (int i = 0; i < kFrames; ++i) {
        ASSERT_EQ(Decode(decoder, ToBytes(stream.frames[i]), 2), 704480) << "frame " << i;
        ASSERT_TRUE(ConvertLocked(cell, c.width, c.height, c.cropRows)) << "frame " << i;
        ASSERT_EQ(cell.size(), QSize(c.width, c.height));
        EXPECT_EQ(CompareWithScaled(cell, reference, i), 0) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, OnDemandCellSizeTest,
                         ::testing::Values(CellSizeCase{176, 120, 0}, CellSizeCase{320, 240, 0},
                                           CellSizeCase{704, 480, 0}, CellSizeCase{1280, 960, 0},
                                           CellSizeCase{320, 236, 8}));

TEST_F(OnDemandDecoderTest, FullPictureIsConvertedOnlyWhenAskedAndEqualsTheEagerOne)
{
    const Stream& stream = Stream704();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(Decode(decoder, ToBytes(stream.frames[i]), 2), 704480);
        // Asked twice: the second read gives the same picture without converting again.
        const QImage first = FullLocked();
        EXPECT_EQ(CompareWithReference(first, stream, i), 0) << "frame " << i;
        const QImage again = FullLocked();
        EXPECT_EQ(again.constBits(), first.constBits()) << "frame " << i;
    }
    // Frames decoded without anyone asking are never converted: the next request gives the
    // latest picture, not an earlier one.
    for (int i = 3; i < 8; ++i)
        ASSERT_EQ(Decode(decoder, ToBytes(stream.frames[i]), 2), 704480);
    EXPECT_EQ(CompareWithReference(FullLocked(), stream, 7), 0);
}

// A cell that asks for every picture gets them converted as they are decoded; whatever the
// order of asking, skipping and resizing, each cell picture is the newest frame at the size
// asked for, and a picture kept elsewhere is never written into.
TEST_F(OnDemandDecoderTest, PicturesConvertedAheadAreTheNewestAtTheSizeAsked)
{
    const Stream& stream = Stream704();
    constexpr int kFrames = 30;
    ASSERT_GE(stream.frames.size(), kFrames);
    QString error;
    const QByteArray small = decoder_streams::ScaledReference(stream, 176, 120, 0, kFrames, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    const QByteArray large = decoder_streams::ScaledReference(stream, 320, 236, 8, kFrames, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    struct Step
    {
        int frame;
        bool ask;
        bool large;
    };
    std::vector<Step> steps;
    for (int i = 0; i < 14; ++i)
        steps.push_back({i, true, false}); // long enough to be converted ahead
    steps.push_back({14, false, false});   // decoded, not asked for
    steps.push_back({15, true, false});
    for (int i = 16; i < 22; ++i)
        steps.push_back({i, true, true}); // the cell is resized
    for (int i = 22; i < kFrames; ++i)
        steps.push_back({i, true, false});
    QImage cell;
    QImage kept;
    QImage keptContent;
    int handedOver = 0; // pictures that arrived in another buffer than the cell's own
    for (const Step& step : steps) {
        ASSERT_EQ(Decode(decoder, ToBytes(stream.frames[step.frame]), 2), 704480) << "frame " << step.frame;
        if (!step.ask)
            continue;
        const int width = step.large ? 320 : 176;
        const int height = step.large ? 236 : 120;
        const bool ownBuffer = cell.size() == QSize(width, height) && cell.isDetached();
        const uchar* before = cell.constBits();
        ASSERT_TRUE(ConvertLocked(cell, width, height, step.large ? 8 : 0)) << "frame " << step.frame;
        handedOver += ownBuffer && cell.constBits() != before;
        ASSERT_EQ(cell.size(), QSize(width, height));
        EXPECT_EQ(CompareWithScaled(cell, step.large ? large : small, step.frame), 0) << "frame " << step.frame;
        if (step.frame == 12) {
            kept = cell;
            keptContent = cell.copy();
        }
    }
    EXPECT_EQ(kept, keptContent) << "a picture held elsewhere keeps its content";
    EXPECT_GT(handedOver, 0) << "pictures were converted ahead";
}

TEST_F(OnDemandDecoderTest, CellPictureIsWrittenInPlaceUnlessShared)
{
    const Stream& stream = Stream704();
    QImage cell;
    ASSERT_EQ(Decode(decoder, ToBytes(stream.frames[0]), 2), 704480);
    ASSERT_TRUE(ConvertLocked(cell, 176, 120));
    const uchar* buffer = cell.constBits();
    ASSERT_EQ(Decode(decoder, ToBytes(stream.frames[1]), 2), 704480);
    ASSERT_TRUE(ConvertLocked(cell, 176, 120));
    EXPECT_EQ(cell.constBits(), buffer) << "the cell's own buffer is reused";

    // A copy held elsewhere (a snapshot, a composer) keeps its picture: the next conversion
    // goes into a new buffer.
    const QImage held = cell;
    const QImage heldContent = cell.copy();
    ASSERT_EQ(Decode(decoder, ToBytes(stream.frames[2]), 2), 704480);
    ASSERT_TRUE(ConvertLocked(cell, 176, 120));
    EXPECT_NE(cell.constBits(), held.constBits());
    EXPECT_EQ(held, heldContent);
    EXPECT_NE(cell, held);
}

TEST_F(OnDemandDecoderTest, NothingToConvertBeforeAPictureAfterASizeChangeOrWhenEager)
{
    QImage cell;
    EXPECT_FALSE(ConvertLocked(cell, 176, 120)) << "no picture yet";
    const Stream& small = Stream704();
    const Stream& large = decoder_streams::Make(1920, 1080);
    ASSERT_TRUE(large.error.isEmpty()) << large.error.toStdString();
    ASSERT_EQ(Decode(decoder, ToBytes(small.frames[0]), 2), 704480);
    EXPECT_TRUE(ConvertLocked(cell, 176, 120));
    // The first picture of a new size is not shown (black), as when converting at once.
    EXPECT_EQ(Decode(decoder, ToBytes(large.frames[0]), 2), CModuleDecoder::ErrSameFrame);
    EXPECT_FALSE(ConvertLocked(cell, 176, 120));
    EXPECT_EQ(FullLocked().pixel(960, 540), qRgb(0, 0, 0));
    EXPECT_EQ(Decode(decoder, ToBytes(large.frames[1]), 2), 19201080);
    EXPECT_TRUE(ConvertLocked(cell, 176, 120));
    EXPECT_EQ(CompareWithReference(FullLocked(), large, 1), 0);

    // Bad sizes and crops that leave nothing are refused.
    EXPECT_FALSE(ConvertLocked(cell, 0, 120));
    EXPECT_FALSE(ConvertLocked(cell, 176, -1));
    EXPECT_FALSE(ConvertLocked(cell, 176, 120, 1080));

    CModuleDecoder eager;
    ASSERT_TRUE(eager.OpenDecoder());
    ASSERT_EQ(Decode(eager, ToBytes(small.frames[0]), 2), 704480);
    QMutexLocker picture(eager.GetPictureLock());
    EXPECT_FALSE(eager.ConvertInto(cell, 176, 120));
}

TEST_F(OnDemandDecoderTest, BrightnessReachesTheCellPicture)
{
    const Stream& stream = Stream704();
    const Bytes key = ToBytes(stream.frames[0]);
    QImage plain, brighter;
    ASSERT_EQ(Decode(decoder, key, 2), 704480);
    ASSERT_TRUE(ConvertLocked(plain, 352, 240));
    decoder.SetBrightness(0, 30);
    ASSERT_EQ(Decode(decoder, key, 2), 704480);
    ASSERT_TRUE(ConvertLocked(brighter, 352, 240));
    qint64 sumPlain = 0, sumBrighter = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 352; ++x) {
            sumPlain += qGray(plain.pixel(x, y));
            sumBrighter += qGray(brighter.pixel(x, y));
        }
    EXPECT_GT(sumBrighter, sumPlain + qint64(352) * 240 * 20);
}

// A full-size copy for someone who asks now and then (a recorder's last picture of a channel)
// is the newest frame, pixel for pixel as ffmpeg scales it, and leaves the cell's conversions
// as they were: the cell keeps getting its pictures converted ahead at its own size.
TEST_F(OnDemandDecoderTest, CopyOfTheLastPictureLeavesTheCellsConversionsAlone)
{
    const Stream& stream = Stream704();
    constexpr int kFrames = 24;
    ASSERT_GE(stream.frames.size(), kFrames);
    QString error;
    const QByteArray small = decoder_streams::ScaledReference(stream, 176, 120, 0, kFrames, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    const QByteArray full = decoder_streams::ScaledReference(stream, 704, 480, 0, kFrames, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    {
        QMutexLocker picture(decoder.GetPictureLock());
        EXPECT_TRUE(decoder.CopyPicture(QSize(1280, 720)).isNull()) << "no picture yet";
    }
    QImage cell;
    int handedOver = 0;
    for (int i = 0; i < kFrames; ++i) {
        ASSERT_EQ(Decode(decoder, ToBytes(stream.frames[i]), 2), 704480) << "frame " << i;
        const bool ownBuffer = cell.size() == QSize(176, 120) && cell.isDetached();
        const uchar* before = cell.constBits();
        ASSERT_TRUE(ConvertLocked(cell, 176, 120)) << "frame " << i;
        handedOver += ownBuffer && cell.constBits() != before;
        EXPECT_EQ(CompareWithScaled(cell, small, i), 0) << "frame " << i;
        if (i % 3 != 2)
            continue;
        QImage copy;
        {
            QMutexLocker picture(decoder.GetPictureLock());
            copy = decoder.CopyPicture(QSize(1280, 720));
        }
        ASSERT_EQ(copy.size(), QSize(704, 480)) << "frame " << i;
        EXPECT_EQ(CompareWithScaled(copy, full, i), 0) << "frame " << i;
    }
    EXPECT_GT(handedOver, kFrames / 2) << "the cell's pictures were still converted ahead";

    // Within a smaller bound: scaled down with the picture's aspect.
    QMutexLocker picture(decoder.GetPictureLock());
    EXPECT_EQ(decoder.CopyPicture(QSize(352, 352)).size(), QSize(352, 240));
    EXPECT_TRUE(decoder.CopyPicture(QSize()).isNull());
}

} // namespace
