// The engine's calls into a "Wedra" decoder library, against a stand-in library that records
// them: decode modes and options by layout and recording, the size rules, the deinterlacer, and
// the hand-over to the H.264 library when an entry point is missing.
#include "enginefakes.h"
#include "h264fixture.h"
#include "player/support/recorderpayload.h"

#include "engine/decoderchain.h"
#include "engine/linedeinterlacer.h"
#include "engine/sizecode.h"

#include <QLibrary>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

QString FakeLibrary(const char* name)
{
    return QStringLiteral(ZENT_BINARY_DIR "/bin/testlibs/lib%1.so").arg(QLatin1String(name));
}

struct FakeControls
{
    explicit FakeControls(const QString& path)
        : library(path)
    {
        library.load();
        setResult = reinterpret_cast<void (*)(int)>(library.resolve("Fake_SetResult"));
        inits = reinterpret_cast<int (*)()>(library.resolve("Fake_Inits"));
        lastCall = reinterpret_cast<void (*)(int*, int*, int*)>(library.resolve("Fake_LastCall"));
        brightness = reinterpret_cast<int (*)(int)>(library.resolve("Fake_Brightness"));
    }
    QLibrary library;
    void (*setResult)(int) = nullptr;
    int (*inits)() = nullptr;
    void (*lastCall)(int*, int*, int*) = nullptr;
    int (*brightness)(int) = nullptr;
};

struct WedraFixture : ::testing::Test
{
    WedraFixture()
        : chain(&host)
        , controls(FakeLibrary("fakewedra"))
    {}
    void SetUp() override
    {
        ASSERT_TRUE(controls.setResult && controls.inits && controls.lastCall && controls.brightness);
        DecoderLibraries libraries;
        libraries.wedramodName.clear();
        libraries.wedraPath = FakeLibrary("fakewedra");
        libraries.h264Candidates = DecoderLibraries::Defaults().h264Candidates;
        chain.Load(libraries);
        picture.assign(size_t(kPictureBufferBytes), 0);
    }
    int Decode(int tile, int length = 100)
    {
        frame.assign(size_t(length), 1);
        return chain.DecodeFrame(frame.data(), length, picture.data(), tile, 0, 0);
    }

    FakeHost host;
    DecoderChain chain;
    FakeControls controls;
    std::vector<uint8_t> frame, picture;
};

} // namespace

TEST_F(WedraFixture, LoadsAndTurnsTheH264LibraryOff)
{
    EXPECT_TRUE(chain.HasWedra());
    EXPECT_FALSE(chain.HasH264());
    EXPECT_GE(controls.inits(), 27);
}

TEST_F(WedraFixture, ModeAndOptionByLayoutAndRecording)
{
    controls.setResult(720480);
    struct Case
    {
        const char* what;
        int layout;
        bool shown;
        int capture;
        bool mark1F1;
        bool streamFlags;
        int mode;
        int option;
    };
    const Case cases[] = {
        {"one tile", 0, true, -1, false, false, 0, 0},
        {"several tiles", 2, true, -1, false, false, 2, 0},
        {"hidden tile", 2, false, -1, false, false, 4, 0},
        {"export with Xvid", 2, true, 0, false, false, 0, 0},
        {"export without Xvid", 2, true, 1, false, false, 1, 0},
        {"whole pictures", 2, true, -1, true, false, 2, 2},
        {"stream flags", 2, true, -1, false, true, 2, 2},
    };
    for (const Case& c : cases) {
        host.layout = c.layout;
        host.shown[3] = c.shown;
        host.captureMode = c.capture;
        TileDecodeInfo info;
        info.recordMark1F1 = c.mark1F1;
        info.streamFlags = c.streamFlags;
        chain.SetTileInfo(3, info);
        Decode(3);
        int tile = -1, option = -1, mode = -1;
        controls.lastCall(&tile, &option, &mode);
        EXPECT_EQ(tile, 3) << c.what;
        EXPECT_EQ(mode, c.mode) << c.what;
        EXPECT_EQ(option, c.option) << c.what;
    }
    chain.SetBrightness(3, 17);
    Decode(3);
    EXPECT_EQ(controls.brightness(3), 17);
}

TEST_F(WedraFixture, SizeRules)
{
    struct Case
    {
        int result;
        int length;
        int expected;
    };
    const Case cases[] = {
        {720240, 100, 720233},     // option 0, under 400 lines: x 0.97, rounded
        {720480, 100, 720480},     // 400 lines or more: unchanged
        {100, 100, 100},           // the input length: nothing decoded
        {19201080, 100, 19201080}, // above 10,000,000: unchanged
    };
    for (const Case& c : cases) {
        controls.setResult(c.result);
        EXPECT_EQ(Decode(0, c.length), c.expected) << c.result;
    }
}

TEST_F(WedraFixture, WholePictureKindIsDeinterlaced)
{
    controls.setResult(352480);
    TileDecodeInfo info;
    info.recordMark1F1 = true;
    chain.SetTileInfo(2, info);
    ASSERT_EQ(Decode(2), 352480);
    std::vector<uint8_t> expected(size_t(352 * 480 * 4));
    for (int row = 0; row < 480; ++row)
        std::memset(expected.data() + size_t(row) * 352 * 4, row % 2 ? 200 : 20, 352 * 4);
    LineDeinterlacer reference;
    reference.DeinterlacePicture(expected.data(), 352, 480, 1);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), picture.begin()));
    // Whole pictures with the companion's mark need the companion library, which is absent.
    info.companionFrame = true;
    chain.SetTileInfo(2, info);
    EXPECT_EQ(Decode(2), -1);
}

TEST_F(WedraFixture, NoFrameDataCopiesTheLibrarysPicture)
{
    chain.SetLastSize(5, 720, 480);
    EXPECT_EQ(chain.DecodeFrame(nullptr, 0, picture.data(), 5, 0, 0), 720480);
    EXPECT_EQ(picture[0], 0x77);
}

TEST(WedraMissingEntryPoint, HandsOverToTheH264Library)
{
    FakeHost host;
    DecoderChain chain(&host);
    DecoderLibraries libraries;
    libraries.wedramodName.clear();
    libraries.wedraPath = FakeLibrary("fakewedra_nobuffer");
    libraries.h264Candidates = DecoderLibraries::Defaults().h264Candidates;
    chain.Load(libraries);
    ASSERT_TRUE(chain.HasWedra());
    std::vector<uint8_t> picture(static_cast<size_t>(kPictureBufferBytes));
    EXPECT_EQ(chain.DecodeFrame(nullptr, 0, picture.data(), 0, 0, 0), -123);
    EXPECT_FALSE(chain.HasWedra());
    EXPECT_TRUE(chain.HasH264());
    const auto stream = h264fixture::Make("handover", "testsrc2", 352, 240, 1, 1);
    ASSERT_TRUE(stream.error.isEmpty());
    QByteArray frame = recorder_payload::Wrap(stream.units[0], 2);
    EXPECT_EQ(chain.DecodeFrame(reinterpret_cast<uint8_t*>(frame.data()), frame.size(), picture.data(), 0, 0, 0),
              352240);
}
