// The decoder chain on ffmpeg-made H.264 wrapped into the recorder payload, compared with
// ffmpeg's own decode, and its header tests and slice-header rewrites on hand-written bytes.
#include "h264fixture.h"
#include "player/support/recorderpayload.h"

#include "engine/decoderchain.h"
#include "engine/keptpicture.h"
#include "engine/linedeinterlacer.h"
#include "engine/picturepack.h"
#include "engine/sizecode.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

struct ChainFixture : ::testing::Test
{
    void SetUp() override
    {
        chain.Load(DecoderLibraries::Defaults());
        ASSERT_TRUE(chain.HasH264()) << "the H.264 decoder library lies beside the tests";
        ASSERT_FALSE(chain.HasWedra());
        for (auto& picture : pictures)
            picture.assign(size_t(kPictureBufferBytes), 0x55);
        chain.SetPictureBuffers([this](int tile) { return pictures[size_t(tile)].data(); });
    }

    uint8_t* Picture(int tile) { return pictures[size_t(tile)].data(); }

    // The tile's picture as bytes, width x height x 4.
    QByteArray Shown(int tile, int width, int height)
    {
        return QByteArray(reinterpret_cast<const char*>(Picture(tile)), width * height * 4);
    }

    DecoderChain chain;
    std::vector<uint8_t> pictures[kEngineTiles];
};

const h264fixture::Stream& FieldStream()
{
    static const h264fixture::Stream stream = h264fixture::Make("field_a", "testsrc2", 352, 240, 4, 1);
    return stream;
}

const h264fixture::Stream& SecondFieldStream()
{
    static const h264fixture::Stream stream = h264fixture::Make("field_b", "smptebars", 352, 240, 4, 1);
    return stream;
}

QByteArray ReferencePicture(const h264fixture::Stream& stream, int index)
{
    const int bytes = stream.width * stream.height * 3;
    return stream.rgb.mid(index * bytes, bytes);
}

// Rows of a and b taken in turn: the picture two fields make.
QByteArray Weave(const QByteArray& first, const QByteArray& second, int width)
{
    const int row = width * 3;
    QByteArray woven;
    for (int r = 0; r * row < first.size(); ++r)
        woven += first.mid(r * row, row) + second.mid(r * row, row);
    return woven;
}

int Decode(DecoderChain& chain, QByteArray& frame, uint8_t* output, int tile, int continuation = 0)
{
    return chain.DecodeFrame(reinterpret_cast<uint8_t*>(frame.data()), frame.size(), output, tile, 0,
                             continuation);
}

} // namespace

TEST(SizeCode, EncodesAndReadsBothForms)
{
    struct Case
    {
        int width, height, code;
    };
    const Case cases[] = {{336, 224, 336224}, {720, 480, 720480}, {1920, 1080, 19201080}, {2560, 1440, 25601440}};
    for (const Case& c : cases) {
        EXPECT_EQ(SizeCode::Encode(c.width, c.height), c.code);
        EXPECT_EQ(SizeCode::Width(c.code), c.width);
        EXPECT_EQ(SizeCode::Height(c.code), c.height);
    }
    EXPECT_FALSE(SizeCode::IsPicture(999));
    EXPECT_TRUE(SizeCode::IsPicture(1000));
}

TEST_F(ChainFixture, SingleFieldFramesDecodeAsFfmpegDoes)
{
    const auto& stream = FieldStream();
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    ASSERT_EQ(stream.units.size(), 4);
    for (int i = 0; i < stream.units.size(); ++i) {
        QByteArray frame = recorder_payload::Wrap(stream.units[i], 2);
        const QByteArray sent = frame;
        EXPECT_EQ(Decode(chain, frame, Picture(3), 3), 352240) << "picture " << i;
        // The slice-header rewrite leaves these pictures as the encoder made them.
        EXPECT_EQ(frame.mid(24), sent.mid(24));
        EXPECT_TRUE(Shown(3, 352, 240) == h264fixture::ToBgra(ReferencePicture(stream, i))) << "picture " << i;
    }
}

TEST(SizeCode, EveryPositiveSizeIsAPicture)
{
    struct Case
    {
        int code;
        bool picture;
    };
    // Narrow pictures (below 300 pixels wide) are pictures; status values and sizes without a
    // height are not.
    const Case cases[] = {{176144, true},   {64048, true}, {16016, true},  {300001, true}, {336224, true},
                          {19201080, true}, {-5, false},   {-1, false},    {0, false},     {4, false},
                          {999, false},     {1000, false}, {300000, false}};
    for (const Case& c : cases)
        EXPECT_EQ(SizeCode::HasPicture(c.code), c.picture) << c.code;
}

TEST_F(ChainFixture, NarrowPicturesAreConverted)
{
    struct Case
    {
        const char* name;
        int width;
        int height;
    };
    const Case cases[] = {{"qcif", 176, 144}, {"narrow", 64, 48}, {"w288", 288, 96}};
    for (const Case& c : cases) {
        const auto stream = h264fixture::Make(QString::fromLatin1(c.name), QStringLiteral("testsrc2"), c.width,
                                              c.height, 1, 1);
        ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
        QByteArray frame = recorder_payload::Wrap(stream.units[0], 2);
        std::memset(Picture(4), 0x55, size_t(kPictureBufferBytes));
        EXPECT_EQ(Decode(chain, frame, Picture(4), 4), SizeCode::Encode(c.width, c.height)) << c.name;
        EXPECT_TRUE(Shown(4, c.width, c.height) == h264fixture::ToBgra(ReferencePicture(stream, 0))) << c.name;
    }
}

TEST_F(ChainFixture, StoredByteOrderIsReversedBeforeDecoding)
{
    const auto& stream = FieldStream();
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    QByteArray frame = h264fixture::ReverseWords(recorder_payload::Wrap(stream.units[0], 2));
    ASSERT_EQ(uint8_t(frame[0]), 0x06);
    ASSERT_EQ(uint8_t(frame[1]), 0x01);
    EXPECT_EQ(Decode(chain, frame, Picture(0), 0), 352240);
    EXPECT_TRUE(Shown(0, 352, 240) == h264fixture::ToBgra(ReferencePicture(stream, 0)));
}

TEST_F(ChainFixture, FieldPairIsWoven)
{
    const auto& first = FieldStream();
    const auto& second = SecondFieldStream();
    ASSERT_TRUE(first.error.isEmpty() && second.error.isEmpty());
    QByteArray frame = recorder_payload::Wrap(first.units[0], 1) + recorder_payload::Wrap(second.units[0], 2);
    EXPECT_EQ(Decode(chain, frame, Picture(5), 5), 352480);
    const QByteArray expected = Weave(ReferencePicture(first, 0), ReferencePicture(second, 0), 352);
    EXPECT_TRUE(Shown(5, 352, 480) == h264fixture::ToBgra(expected));
}

TEST_F(ChainFixture, FailedSecondFieldShowsTheFirstInBothHalves)
{
    const auto& first = FieldStream();
    ASSERT_TRUE(first.error.isEmpty());
    QByteArray broken = recorder_payload::Wrap(first.units[0], 2);
    std::memset(broken.data() + 20, 0xEE, size_t(broken.size() - 20)); // no slice start: -4
    QByteArray frame = recorder_payload::Wrap(first.units[0], 1) + broken;
    EXPECT_EQ(Decode(chain, frame, Picture(6), 6), 352480);
    const QByteArray expected = Weave(ReferencePicture(first, 0), ReferencePicture(first, 0), 352);
    EXPECT_TRUE(Shown(6, 352, 480) == h264fixture::ToBgra(expected));
}

TEST_F(ChainFixture, HeaderErrors)
{
    // No 00 00 01 06: -7. A header without a slice start in words 5 to 14: -4.
    QByteArray noMagic(64, '\0');
    EXPECT_EQ(Decode(chain, noMagic, Picture(1), 1), -7);
    QByteArray noSlice(64, '\0');
    noSlice[2] = 1;
    noSlice[3] = 6;
    noSlice[7] = 2;
    noSlice[11] = 16;
    EXPECT_EQ(Decode(chain, noSlice, Picture(1), 1), -4);
    // A slice start in word 15 is past the search.
    noSlice[62] = 1;
    noSlice[63] = 0x65;
    EXPECT_EQ(Decode(chain, noSlice, Picture(1), 1), -4);
    // Short frames never read past their end.
    for (int length = 1; length < 12; ++length) {
        QByteArray tiny = QByteArray::fromHex("0000010600000002000000050000000000000000").left(length);
        const int result = Decode(chain, tiny, Picture(1), 1);
        EXPECT_TRUE(result == -7 || result == SizeCode::kDefault) << length;
    }
}

TEST_F(ChainFixture, TwentyByteFrameClearsThePicture)
{
    QByteArray frame = QByteArray::fromHex("0000010600000002000000050000000000000000");
    ASSERT_EQ(frame.size(), 20);
    EXPECT_EQ(Decode(chain, frame, Picture(2), 2), 336224);
    EXPECT_EQ(Picture(2)[0], 0);
    EXPECT_EQ(Picture(2)[kPictureBufferBytes - 1], 0);
    EXPECT_EQ(Picture(3)[0], 0x55) << "other tiles untouched";
}

// Frame-number rewriting after a slice start in word 5: the word after it, little-endian.
struct Rewrite
{
    const char* slice;
    const char* wordBefore;
    int continuation;
    const char* wordAfter;
};

QByteArray SliceFrame(const char* slice, const char* word)
{
    QByteArray frame = QByteArray::fromHex("00000106000000020000000a0000000000000000");
    frame += QByteArray::fromHex(slice) + QByteArray::fromHex(word) + QByteArray(8, '\x11');
    return frame;
}

TEST_F(ChainFixture, SliceHeaderRewrites)
{
    // clang-format off
    const Rewrite cases[] = {
        // IDR with bit 10 set: AND 0xFF1F84FF; without: AND 0xFF0787FF.
        {"00000165", "ffffffff", 0, "ff841fff"},
        {"00000165", "fffbffff", 0, "ff8307ff"},
        // Non-IDR without continuation: the counter restarts at 1.
        {"00000141", "ffffffff", 0, "fe22ffff"},
        {"00000141", "00000000", 0, "00220000"},
    };
    // clang-format on
    for (const Rewrite& c : cases) {
        QByteArray frame = SliceFrame(c.slice, c.wordBefore);
        Decode(chain, frame, Picture(4), 4);
        EXPECT_EQ(frame.mid(24, 4).toHex(), QByteArray(c.wordAfter)) << c.slice << " " << c.wordBefore;
    }
}

TEST_F(ChainFixture, FrameCounterWrapsAfterSixteen)
{
    QByteArray idr = SliceFrame("00000165", "ffffffff");
    Decode(chain, idr, Picture(7), 7);
    // Counter n goes to bits 9..12, its low three bits to 13..15 and its top bit to bit 0.
    const char* expected[] = {"fe22ffff", "fe44ffff", "fe66ffff", "fe88ffff", "feaaffff", "feccffff",
                              "feeeffff", "ff10ffff", "ff32ffff", "ff54ffff", "ff76ffff", "ff98ffff",
                              "ffbaffff", "ffdcffff", "fffeffff", "fe00ffff"};
    for (int n = 0; n < 16; ++n) {
        QByteArray frame = SliceFrame("00000141", "ffffffff");
        Decode(chain, frame, Picture(7), 7, 1);
        EXPECT_EQ(frame.mid(24, 4).toHex(), QByteArray(expected[n])) << "frame " << n + 1;
    }
}

TEST_F(ChainFixture, ConvertPictureAppliesBrightnessContrastAndWeave)
{
    chain.SetBrightness(0, 10);
    chain.SetContrast(0, 64);
    // c + 10 + (64 c >> 7), limited to 0..255; written blue, green, red, 255.
    const uint8_t rgb[] = {100, 200, 10};
    uint8_t out[4] = {};
    chain.ConvertPicture(SizeCode::Encode(1, 1), 0, rgb, out, false);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(out), 4).toHex(), QByteArray("19ffa0ff"));
    chain.SetContrast(0, -200);
    chain.ConvertPicture(SizeCode::Encode(1, 1), 0, rgb, out, false);
    // red 100 + 10 - 157 and green 200 + 10 - 313 limited at 0; blue 10 + 10 - 16.
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(out), 4).toHex(), QByteArray("040000ff"));
    // Contexts above 15 use neither.
    chain.ConvertPicture(SizeCode::Encode(1, 1), 20, rgb, out, false);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(out), 4).toHex(), QByteArray("0ac864ff"));

    const uint8_t rows[] = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
    uint8_t woven[16] = {};
    chain.ConvertPicture(SizeCode::Encode(1, 4), 20, rows, woven, true);
    EXPECT_EQ(woven[0], 1);
    EXPECT_EQ(woven[4], 3);
    EXPECT_EQ(woven[8], 2);
    EXPECT_EQ(woven[12], 4);
}

TEST(DecoderChainWithoutLibrary, EveryH264DecodeGivesMinusOne)
{
    DecoderChain chain;
    DecoderLibraries none;
    none.wedramodName.clear();
    none.h264Candidates = QStringList{QStringLiteral("/nonexistent/libKRO_SDK_H264_Dec.so")};
    chain.Load(none);
    EXPECT_FALSE(chain.HasH264());
    QByteArray frame = SliceFrame("00000165", "ffffffff");
    std::vector<uint8_t> picture(static_cast<size_t>(kPictureBufferBytes));
    EXPECT_EQ(chain.DecodeFrame(reinterpret_cast<uint8_t*>(frame.data()), frame.size(), picture.data(), 0, 0, 0),
              -1);
    QByteArray queued(200, '\0');
    EXPECT_EQ(chain.DecodeQueuedH264(reinterpret_cast<const uint8_t*>(queued.constData()), queued.size(),
                                     picture.data(), 0, 1),
              -1);
}

TEST_F(ChainFixture, QueuedRoadDecodesAfterItsHeader)
{
    const auto& stream = FieldStream();
    ASSERT_TRUE(stream.error.isEmpty());
    QByteArray queued = QByteArray(104, '\x7f') + stream.units[0];
    EXPECT_EQ(chain.DecodeQueuedH264(reinterpret_cast<const uint8_t*>(queued.constData()), queued.size(),
                                     Picture(8), 8, 1),
              352240);
    EXPECT_TRUE(Shown(8, 352, 240) == h264fixture::ToBgra(ReferencePicture(stream, 0)));
    // Exactly the header: an empty picture of the default size; shorter: refused.
    QByteArray header(104, '\0');
    EXPECT_EQ(chain.DecodeQueuedH264(reinterpret_cast<const uint8_t*>(header.constData()), 104, Picture(8), 8, 1),
              336224);
    EXPECT_EQ(Picture(8)[0], 0);
    EXPECT_LT(chain.DecodeQueuedH264(reinterpret_cast<const uint8_t*>(header.constData()), 103, Picture(8), 8, 1),
              999);
}

TEST_F(ChainFixture, WholePictureKindIsDeinterlacedAt480Lines)
{
    // A recording of whole H.264 pictures (record mark 0x1F1): a 480-line picture is decoded as
    // it is and then deinterlaced, compared with ffmpeg's decode after the same deinterlacer.
    const auto stream = h264fixture::Make("whole480", "testsrc2", 352, 480, 2, 2);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    TileDecodeInfo info;
    info.recordMark1F1 = true;
    chain.SetTileInfo(9, info);
    QByteArray frame = stream.units[0];
    EXPECT_EQ(Decode(chain, frame, Picture(9), 9), 352480);
    QByteArray expected = h264fixture::ToBgra(ReferencePicture(stream, 0));
    LineDeinterlacer reference;
    reference.DeinterlacePicture(reinterpret_cast<uint8_t*>(expected.data()), 352, 480, 1);
    EXPECT_TRUE(Shown(9, 352, 480) == expected);
    // 240 lines are not deinterlaced.
    const auto& field = FieldStream();
    frame = field.units[0];
    EXPECT_EQ(Decode(chain, frame, Picture(9), 9), 352240);
    EXPECT_TRUE(Shown(9, 352, 240) == h264fixture::ToBgra(ReferencePicture(field, 0)));
}

TEST_F(ChainFixture, PlainAccessUnitsDecodeAsFfmpegDoes)
{
    // Recorders of the later stream kinds send bare H.264 access units, and the client records
    // them as received: no wrapper, the encoder's own frame numbers, predicted pictures. Each
    // must give ffmpeg's picture, a 480-line one untouched by the field deinterlacer.
    struct Case
    {
        const char* name;
        int width;
        int height;
        QByteArray prefix; // what the recorder puts before the access unit's first NAL unit
    };
    const Case cases[] = {
        {"plain240", 352, 240, QByteArray()},
        {"plain480", 352, 480, QByteArray()},
        // an access unit delimiter behind a three-byte start code
        {"plainaud", 320, 240, QByteArray::fromHex("00000109f0")},
    };
    for (const Case& c : cases) {
        const auto stream = h264fixture::Make(QString::fromLatin1(c.name), QStringLiteral("testsrc2"), c.width,
                                              c.height, 6, 3);
        ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
        ASSERT_EQ(stream.units.size(), 6) << c.name;
        for (int i = 0; i < stream.units.size(); ++i) {
            QByteArray frame = c.prefix + stream.units[i];
            std::memset(Picture(5), 0x55, size_t(kPictureBufferBytes));
            EXPECT_EQ(Decode(chain, frame, Picture(5), 5, i % 3 == 0 ? 0 : 1), SizeCode::Encode(c.width, c.height))
                << c.name << " picture " << i;
            EXPECT_TRUE(Shown(5, c.width, c.height) == h264fixture::ToBgra(ReferencePicture(stream, i)))
                << c.name << " picture " << i;
        }
    }
}

TEST_F(ChainFixture, PicturesAbove2560x1440AreRefusedByTheLibrary)
{
    const auto stream = h264fixture::Make("toowide", "testsrc2", 2576, 64, 1, 1);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    QByteArray queued = QByteArray(104, '\0') + stream.units[0];
    const int result = chain.DecodeQueuedH264(reinterpret_cast<const uint8_t*>(queued.constData()), queued.size(),
                                              Picture(10), 10, 1);
    EXPECT_LT(result, 999);
    EXPECT_EQ(Picture(10)[0], 0x55) << "nothing written";
}

namespace {

// A frame placed flush against a page that may not be read or written: a decoder that goes past
// the frame's end stops the test at once instead of reading what happens to lie behind it.
class GuardedFrame
{
public:
    explicit GuardedFrame(const QByteArray& bytes)
    {
        const size_t page = size_t(sysconf(_SC_PAGESIZE));
        const size_t dataPages = (size_t(bytes.size()) + page - 1) / page;
        m_mapped = (dataPages + 1) * page;
        void* mapped = mmap(nullptr, m_mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) {
            m_mapped = 0;
            return;
        }
        m_base = static_cast<uint8_t*>(mapped);
        if (mprotect(m_base + dataPages * page, page, PROT_NONE) != 0)
            return;
        m_frame = m_base + dataPages * page - size_t(bytes.size());
        std::memcpy(m_frame, bytes.constData(), size_t(bytes.size()));
    }
    ~GuardedFrame()
    {
        if (m_base)
            munmap(m_base, m_mapped);
    }
    GuardedFrame(const GuardedFrame&) = delete;
    GuardedFrame& operator=(const GuardedFrame&) = delete;

    uint8_t* Frame() const { return m_frame; }

private:
    uint8_t* m_base = nullptr;
    uint8_t* m_frame = nullptr;
    size_t m_mapped = 0;
};

} // namespace

// The length field of a frame may claim more than the frame holds: the first field is then the
// whole frame, never more, whatever the kind.
TEST_F(ChainFixture, FirstFieldLengthIsHeldWithinTheFrame)
{
    const auto& stream = FieldStream();
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    // The H.264 part of a frame: the parameter sets behind their start codes, the slice's
    // start code on a 32-bit word, the whole a multiple of four bytes.
    const QByteArray body = recorder_payload::Wrap(stream.units[0], 2).mid(20);
    const int frameBytes = 20 + body.size();
    ASSERT_EQ(frameBytes % 4, 0);
    const int frameWords = frameBytes / 4;
    const QByteArray expected = h264fixture::ToBgra(ReferencePicture(stream, 0));

    struct Case
    {
        const char* name;
        uint8_t byte4; // 0x90: length in 8-byte units; else 4-byte units
        uint8_t kind;  // byte 7: 1 a field pair, 2 a single field
        int lengthField;
    };
    const Case cases[] = {
        {"single field, as long as the frame", 0x00, 2, frameWords},
        {"single field, one word more than the frame", 0x00, 2, frameWords + 1},
        {"single field, the longest length", 0x00, 2, 0x7FFFFF},
        {"field pair, first field the whole frame", 0x00, 1, frameWords},
        {"field pair, first field one word more than the frame", 0x00, 1, frameWords + 1},
        {"field pair, first field the longest length", 0x00, 1, 0x7FFFFF},
        {"eight-byte units, one unit more than the frame", 0x90, 2, frameBytes / 8 + 1},
        {"eight-byte units, the longest length", 0x90, 2, 0x7FFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The header as the recorder writes it: 00 00 01 06, byte 4, kind in byte 7, the length
        // field big-endian in bytes 9..11, byte 20 (the first byte of the H.264 part) zero.
        QByteArray header = QByteArray::fromHex("00000106"
                                                "00000000"
                                                "00000000"
                                                "00000000"
                                                "00000000");
        header[4] = char(c.byte4);
        header[7] = char(c.kind);
        header[9] = char((c.lengthField >> 16) & 0x7F);
        header[10] = char((c.lengthField >> 8) & 0xFF);
        header[11] = char(c.lengthField & 0xFF);
        GuardedFrame frame(header + body);
        ASSERT_NE(frame.Frame(), nullptr);
        std::memset(Picture(6), 0x55, size_t(kPictureBufferBytes));
        // One field of 352 x 240, not woven: the frame holds no second field.
        EXPECT_EQ(chain.DecodeFrame(frame.Frame(), frameBytes, Picture(6), 6, 0, 0), 352240);
        EXPECT_TRUE(Shown(6, 352, 240) == expected);
    }
}

// Decodes that keep their picture unconverted give, once converted whole, the bytes the decode
// into the picture buffer gives: on both roads, with the tile's brightness and contrast, and
// woven for the two fields a D1 recorder picture stacks. The picture buffer is not touched.
TEST_F(ChainFixture, KeptPicturesConvertToTheSameBytes)
{
    ASSERT_TRUE(chain.CanKeepPictures());
    const auto d1 = h264fixture::Make("kept_d1", "testsrc2", 720, 480, 1, 1);
    ASSERT_TRUE(d1.error.isEmpty()) << d1.error.toStdString();
    const auto& field = FieldStream();
    ASSERT_TRUE(field.error.isEmpty());
    // The stacked fields of the D1 picture, woven: its first 240 rows, then its last 240.
    const QByteArray d1Rgb = ReferencePicture(d1, 0);
    const QByteArray wovenD1 = Weave(d1Rgb.left(d1Rgb.size() / 2), d1Rgb.mid(d1Rgb.size() / 2), 720);
    struct Case
    {
        const char* name;
        bool queued;
        const h264fixture::Stream* stream;
        QByteArray expectedRgb;
        int brightness;
        int contrast;
    };
    const Case cases[] = {
        {"direct road", false, &field, ReferencePicture(field, 0), 0, 0},
        {"direct road, brightness and contrast", false, &field, ReferencePicture(field, 0), 12, 30},
        {"queued road", true, &field, ReferencePicture(field, 0), 0, 0},
        {"queued road, a D1 picture is woven", true, &d1, wovenD1, -20, 0},
    };
    int tile = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        chain.SetBrightness(tile, c.brightness);
        chain.SetContrast(tile, c.contrast);
        KeptPicture kept;
        bool wasKept = false;
        int result = 0;
        if (c.queued) {
            const QByteArray frame = QByteArray(104, '\0') + c.stream->units[0];
            result = chain.DecodeQueuedH264(reinterpret_cast<const uint8_t*>(frame.constData()), frame.size(),
                                            Picture(tile), tile, &kept, &wasKept);
        } else {
            QByteArray frame = recorder_payload::Wrap(c.stream->units[0], 2);
            result = chain.DecodeFrame(reinterpret_cast<uint8_t*>(frame.data()), frame.size(), Picture(tile), tile,
                                       0, 0, &kept, &wasKept);
        }
        EXPECT_EQ(result, SizeCode::Encode(c.stream->width, c.stream->height));
        EXPECT_TRUE(wasKept);
        EXPECT_EQ(Picture(tile)[0], 0x55) << "the picture buffer was written";
        // The engine's conversion of the expected 24-bit picture, byte by byte.
        std::vector<uint8_t> expected(size_t(c.stream->width) * size_t(c.stream->height) * 4);
        PictureAdjust adjust;
        adjust.brightness = c.brightness;
        adjust.contrast = c.contrast;
        PackPicture(reinterpret_cast<const uint8_t*>(c.expectedRgb.constData()), c.stream->width, c.stream->height,
                    expected.data(), false, adjust);
        std::vector<uint8_t> whole(expected.size() + 4, 0x55);
        ASSERT_TRUE(kept.ConvertWhole(whole.data(), int64_t(whole.size())));
        EXPECT_TRUE(std::memcmp(whole.data(), expected.data(), expected.size()) == 0);
        EXPECT_EQ(whole[expected.size()], 0x55) << "written past the picture";
        // Too small a buffer is refused, not overrun.
        EXPECT_FALSE(kept.ConvertWhole(whole.data(), int64_t(expected.size()) - 1));
        ++tile;
    }
}

// Scaling a kept picture writes exactly the asked size into the rows asked, and nothing else,
// and shows the picture: odd widths and rows that do not start on the scaler's alignment (a
// tile at any place of the window) included.
TEST_F(ChainFixture, KeptPictureScalesIntoItsRectangleOnly)
{
    const auto& field = FieldStream();
    ASSERT_TRUE(field.error.isEmpty());
    KeptPicture kept;
    bool wasKept = false;
    QByteArray frame = recorder_payload::Wrap(field.units[0], 2);
    ASSERT_TRUE(SizeCode::IsPicture(chain.DecodeFrame(reinterpret_cast<uint8_t*>(frame.data()), frame.size(),
                                                      Picture(1), 1, 0, 0, &kept, &wasKept)));
    ASSERT_TRUE(wasKept);
    std::vector<uint8_t> whole(size_t(352) * 240 * 4);
    ASSERT_TRUE(kept.ConvertWhole(whole.data(), int64_t(whole.size())));
    const QImage source(whole.data(), 352, 240, 352 * 4, QImage::Format_RGB32);
    struct Case
    {
        int x, y, width, height;
    };
    // Aligned and even; odd width at an odd place; odd width, odd height, one pixel from the edge.
    const Case cases[] = {{12, 20, 88, 60}, {11, 21, 87, 59}, {1, 3, 177, 121}};
    const int stride = 200 * 4;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " at " << c.x << "," << c.y);
        std::vector<uint8_t> canvas(size_t(stride) * 130, 0x55);
        uint8_t* at = canvas.data() + c.y * stride + c.x * 4;
        ASSERT_TRUE(kept.ScaleInto(QRect(0, 0, 352, 240), at, c.width, c.height, stride));
        const QImage expected = source.scaled(c.width, c.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        double difference = 0;
        for (int y = 0; y < 130; ++y) {
            for (int x = 0; x < 200; ++x) {
                const bool inside = x >= c.x && x < c.x + c.width && y >= c.y && y < c.y + c.height;
                const uint8_t* pixel = canvas.data() + y * stride + x * 4;
                if (!inside) {
                    ASSERT_EQ(pixel[0] | pixel[1] << 8 | pixel[2] << 16 | pixel[3] << 24, 0x55555555)
                        << x << "," << y;
                    continue;
                }
                ASSERT_EQ(pixel[3], 0xFF) << x << "," << y;
                const QRgb want = expected.pixel(x - c.x, y - c.y);
                difference += std::abs(pixel[0] - qBlue(want)) + std::abs(pixel[1] - qGreen(want))
                              + std::abs(pixel[2] - qRed(want));
            }
        }
        // The same picture as a plain smooth scaling of the whole: the scalers differ only at the
        // pattern's sharp coloured edges (about 7 of 255 on average); a misplaced row, column or
        // colour gives several times that.
        EXPECT_LT(difference / (3.0 * c.width * c.height), 10.0);
    }
    std::vector<uint8_t> small(size_t(88) * 4 * 60);
    EXPECT_FALSE(kept.ScaleInto(QRect(0, 0, 352, 240), small.data(), 88, 60, 88 * 4 - 1))
        << "a stride below the width";
}

// A kept picture is held, not copied: it stays the picture it was while its tile decodes the
// pictures after it, and after the chain and its decoder library are gone.
TEST(KeptPictureLifetime, OutlivesTheDecodesAfterItAndTheChain)
{
    const auto& field = FieldStream();
    ASSERT_TRUE(field.error.isEmpty()) << field.error.toStdString();
    ASSERT_GE(field.units.size(), 4);
    auto chain = std::make_unique<DecoderChain>();
    chain->Load(DecoderLibraries::Defaults());
    ASSERT_TRUE(chain->CanKeepPictures());
    std::vector<uint8_t> output(static_cast<size_t>(kPictureBufferBytes));
    const size_t bytes = size_t(field.width) * size_t(field.height) * 4;
    const auto decode = [&](int index, KeptPicture& into) {
        QByteArray frame = recorder_payload::Wrap(field.units[index], 2);
        bool wasKept = false;
        const int result = chain->DecodeFrame(reinterpret_cast<uint8_t*>(frame.data()), frame.size(),
                                              output.data(), 3, 0, 0, &into, &wasKept);
        return SizeCode::IsPicture(result) && wasKept;
    };
    const auto expected = [&](int index) {
        std::vector<uint8_t> packed(bytes);
        PackPicture(reinterpret_cast<const uint8_t*>(ReferencePicture(field, index).constData()), field.width,
                    field.height, packed.data(), false, PictureAdjust());
        return packed;
    };
    const auto whole = [&](KeptPicture& picture) {
        std::vector<uint8_t> converted(bytes);
        EXPECT_TRUE(picture.ConvertWhole(converted.data(), int64_t(converted.size())));
        return converted;
    };
    KeptPicture first;
    ASSERT_TRUE(decode(0, first));
    const std::vector<uint8_t> firstBytes = expected(0);
    ASSERT_EQ(whole(first), firstBytes);
    for (int index = 1; index < 4; ++index) {
        SCOPED_TRACE(index);
        KeptPicture next;
        ASSERT_TRUE(decode(index, next));
        ASSERT_NE(expected(index), firstBytes) << "the stream's pictures differ";
        EXPECT_EQ(whole(next), expected(index));
        EXPECT_EQ(whole(first), firstBytes);
    }
    chain.reset();
    EXPECT_EQ(whole(first), firstBytes);
    std::vector<uint8_t> scaled(size_t(100) * 60 * 4);
    EXPECT_TRUE(first.ScaleInto(QRect(0, 0, field.width, field.height), scaled.data(), 100, 60, 100 * 4));
}
