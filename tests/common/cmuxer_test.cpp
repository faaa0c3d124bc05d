// The MP4 muxer and the re-encode with the time-stamp overlay: pictures made by ffmpeg are
// pushed in, and ffprobe reads back what was written.
#include "common/commonlog.h"
#include "common/media/cmuxer.h"
#include "common/media/timeoverlay.h"
#include "common/support/decoder_streams.h"
#include "common/support/fulldisk.h"
#include "common/support/mediaprobe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavutil/log.h>
}

#include <array>
#include <atomic>
#include <cstdarg>
#include <cstring>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using decoder_streams::Stream;

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kKeyInterval = 25;

const Stream& TestStream(int frames = 90)
{
    return decoder_streams::Make(kWidth, kHeight, frames, kKeyInterval);
}

MuxPacket Picture(const QByteArray& bytes, bool key, int fps)
{
    MuxPacket p = MuxPacket::FromBytes(bytes.constData(), bytes.size());
    p.pts = -1;
    p.duration = 1;
    p.fps = fps;
    p.keyFrame = key;
    return p;
}

void PushFrames(CMuxer& muxer, const Stream& stream, int first, int count, int fps)
{
    for (int i = first; i < first + count && i < stream.frames.size(); ++i)
        muxer.PushPacket(Picture(stream.frames[i], i % kKeyInterval == 0, fps));
}

void ExpectIncreasing(const mediaprobe::Probe& probe)
{
    for (int i = 1; i < probe.packets.size(); ++i)
        EXPECT_GT(probe.packets[i].dts, probe.packets[i - 1].dts) << "packet " << i;
}

// Key packets' positions in the written stream.
std::vector<int> KeyPositions(const mediaprobe::Probe& probe)
{
    std::vector<int> keys;
    for (int i = 0; i < probe.packets.size(); ++i) {
        if (probe.packets[i].key)
            keys.push_back(i);
    }
    return keys;
}

class MuxerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(TestStream().error.isEmpty()) << qPrintable(TestStream().error);
    }
    QString Out(const QString& name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
};

// clang-format off
struct BitRateCase { int width; int height; int fps; int bitRate; };
const BitRateCase kBitRates[] = {
    {1920, 1080, 30, 3145728},
    {2560, 1440,  8, 2097152},
    { 704,  480, 30,  262144}, // below 720 wide: the smallest row
    {2560, 1440,  5, 1048576},
    {2560, 1440, 11, 4194304},
    {1920, 1080,  6, 2097152},
    {1280,  720, 10,  524288},
    {1280,  719, 30,  524288}, // one line short of 720p
    { 720,  480,  5,  131072},
    { 720,  480, 25,  524288},
    { 320,  240,  1,   98304},
    { 320,  240,  0,   98304},
    { 320,  240, 30,  262144},
};
// clang-format on

TEST(MuxerBitRate, FirstRowWhoseMinimumsHold)
{
    for (const BitRateCase& c : kBitRates)
        EXPECT_EQ(CMuxer::ChooseBitRate(c.width, c.height, c.fps), c.bitRate)
            << c.width << "x" << c.height << "@" << c.fps;
}

struct ContainerCase
{
    const char* format;
    const char* probedName;
    int fps;
};

TEST_F(MuxerTest, WritesEveryPictureIntoTheContainer)
{
    const ContainerCase cases[] = {
        {"mp4", "mov,mp4,m4a,3gp,3g2,mj2", 25}, {"avi", "avi", 25}, {"mp4", "mov,mp4,m4a,3gp,3g2,mj2", 7}};
    for (const ContainerCase& c : cases) {
        const QString path = Out(QStringLiteral("out%1.%2").arg(c.fps).arg(c.format));
        QString probeFile;
        {
            CMuxer muxer(path, QString::fromLatin1(c.format));
            probeFile = muxer.TempFilePath(QStringLiteral("264"));
            muxer.Start();
            PushFrames(muxer, TestStream(), 0, 90, c.fps);
            muxer.Stop();
            EXPECT_TRUE(muxer.WroteFile()) << c.format;
            EXPECT_FALSE(muxer.IsRunning());
        }
        EXPECT_FALSE(QFile::exists(probeFile)) << "the probe file is removed";
        const mediaprobe::Probe probe = mediaprobe::Run(path);
        ASSERT_TRUE(probe.error.isEmpty()) << qPrintable(probe.error);
        EXPECT_EQ(probe.formatName, QString::fromLatin1(c.probedName));
        EXPECT_EQ(probe.codecName, "h264");
        EXPECT_EQ(probe.width, kWidth);
        EXPECT_EQ(probe.height, kHeight);
        // The first key picture (the one probed) is written too: the first group decodes.
        EXPECT_EQ(probe.packets.size(), 90) << c.format;
        EXPECT_EQ(probe.decodedFrames, 90) << c.format;
        ASSERT_FALSE(probe.packets.isEmpty());
        EXPECT_TRUE(probe.packets.first().key);
        EXPECT_EQ(KeyPositions(probe), (std::vector<int>{0, 25, 50, 75}));
        ExpectIncreasing(probe);
    }
}

TEST_F(MuxerTest, PicturesAreSpacedByTheChannelsFrameRate)
{
    // Pictures without a time of their own last 1000 / fps milliseconds, 33 when the rate is
    // unknown.
    const struct
    {
        int fps;
        int milliseconds;
        const char* frameRate;
    } cases[] = {{25, 40, "25/1"}, {7, 142, "500/71"}, {0, 33, "1000/33"}};
    for (const auto& c : cases) {
        const QString path = Out(QStringLiteral("rate%1.mp4").arg(c.fps));
        {
            CMuxer muxer(path, "mp4");
            muxer.Start();
            PushFrames(muxer, TestStream(), 0, 70, c.fps);
            muxer.Stop();
        }
        const mediaprobe::Probe probe = mediaprobe::Run(path);
        ASSERT_TRUE(probe.error.isEmpty()) << qPrintable(probe.error);
        ASSERT_EQ(probe.packets.size(), 70);
        for (int i = 0; i < probe.packets.size(); ++i)
            EXPECT_NEAR(probe.Milliseconds(i), i * c.milliseconds, 0.5) << c.fps << " packet " << i;
        EXPECT_EQ(probe.frameRate, QString::fromLatin1(c.frameRate)) << c.fps;
    }
}

TEST_F(MuxerTest, ShortRunStillBecomesAFile)
{
    const int counts[] = {1, 20, 60, 61};
    for (int count : counts) {
        const QString path = Out(QStringLiteral("short%1.mp4").arg(count));
        CMuxer muxer(path, "mp4");
        muxer.Start();
        PushFrames(muxer, TestStream(), 0, count, 25);
        muxer.Stop();
        EXPECT_TRUE(muxer.WroteFile()) << count;
        const mediaprobe::Probe probe = mediaprobe::Run(path);
        ASSERT_TRUE(probe.error.isEmpty()) << count << qPrintable(probe.error);
        EXPECT_EQ(probe.packets.size(), count);
    }
}

TEST_F(MuxerTest, IgnoresPicturesBeforeStartAndBeforeTheFirstKey)
{
    const QString path = Out("late.mp4");
    CMuxer muxer(path, "mp4");
    PushFrames(muxer, TestStream(), 0, 10, 25); // not started: ignored
    muxer.Start();
    PushFrames(muxer, TestStream(), 1, 5, 25); // no key picture yet: dropped
    PushFrames(muxer, TestStream(), 25, 40, 25);
    muxer.Stop();
    PushFrames(muxer, TestStream(), 0, 10, 25); // stopped: ignored
    const mediaprobe::Probe probe = mediaprobe::Run(path);
    ASSERT_TRUE(probe.error.isEmpty()) << qPrintable(probe.error);
    EXPECT_EQ(probe.packets.size(), 40);
    EXPECT_EQ(probe.decodedFrames, 40);
}

TEST_F(MuxerTest, NoKeyPictureGivesNoFile)
{
    const QString path = Out("none.mp4");
    CMuxer muxer(path, "mp4");
    muxer.Start();
    PushFrames(muxer, TestStream(), 1, 20, 25);
    muxer.Stop();
    EXPECT_FALSE(muxer.WroteFile());
    EXPECT_FALSE(QFile::exists(path));
    muxer.Stop(); // a second stop of a stopped muxer does nothing
}

// The id of a process that has ended: a conversion killed in the middle leaves this behind.
qint64 EndedProcessId()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

QStringList FilesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

// Killed conversions left their probe streams and partial outputs in the output folder; the next
// conversion there removes them, and only them: user files that merely look alike, and the
// temporaries of conversions still running (this process, or another live one) stay.
TEST_F(MuxerTest, TheNextConversionRemovesWhatKilledOnesLeft)
{
    const QString ended = QString::number(EndedProcessId());
    const QString self = QString::number(QCoreApplication::applicationPid());
    const QStringList stale = {
        "zent-convert-" + ended + "-5d0f8a3e-19c4-4b7a-9e21-0c6d2f4b8a11.264",
        "ch01.mp4.zent-convert-" + ended + "-7e2a9c44-8b13-4f0e-a5d6-3b9e1c0f7d22.part",
        "5d0f8a3e-19c4-4b7a-9e21-0c6d2f4b8a11.264", // what older builds named them
        "ch02.mp4.7e2a9c44-8b13-4f0e-a5d6-3b9e1c0f7d22.part",
    };
    const QStringList kept = {
        "zent-convert-1-0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d.264",            // a live process
        "zent-convert-" + self + "-1a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d.264", // a muxer of this one
        "ch03.mp4",
        "notes.264",
        "holiday.part",
        "zent-convert-notes.txt",
        "5d0f8a3e-19c4-4b7a-9e21-0c6d2f4b8a11.txt",
    };
    for (const QString& name : stale + kept) {
        QFile f(Out(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << qPrintable(name);
        f.write("left");
    }
    const QString path = Out("next.mp4");
    {
        CMuxer muxer(path, "mp4");
        // Its own temporaries say what they are and whose they are.
        const QString tag = "zent-convert-" + self + "-";
        EXPECT_TRUE(QFileInfo(muxer.TempFilePath("264")).fileName().startsWith(tag));
        EXPECT_TRUE(QFileInfo(muxer.PartFilePath()).fileName().startsWith("next.mp4." + tag));
        muxer.Start();
        PushFrames(muxer, TestStream(), 0, 30, 25);
        muxer.Stop();
        EXPECT_TRUE(muxer.WroteFile());
    }
    QStringList expected = kept;
    expected << "next.mp4";
    expected.sort();
    EXPECT_EQ(FilesIn(m_dir.path()), expected);
}

// The output goes under a temporary name beside the target, and so do the probe files; the
// target gets its name only when the file is whole.
TEST_F(MuxerTest, WritesBesideTheTargetAndRenamesWhenWhole)
{
    const QString path = Out("whole.mp4");
    CMuxer muxer(path, "mp4");
    EXPECT_EQ(QFileInfo(muxer.TempFilePath(QStringLiteral("264"))).absolutePath(), m_dir.path());
    EXPECT_EQ(QFileInfo(muxer.PartFilePath()).absolutePath(), m_dir.path());
    EXPECT_NE(muxer.PartFilePath(), path);
    muxer.Start();
    PushFrames(muxer, TestStream(), 0, 70, 25);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(muxer.PartFilePath()); }, 20000));
    EXPECT_FALSE(QFile::exists(path));
    muxer.Stop();
    EXPECT_TRUE(muxer.WroteFile());
    EXPECT_FALSE(muxer.Failed());
    EXPECT_FALSE(QFile::exists(muxer.PartFilePath()));
    EXPECT_EQ(mediaprobe::Run(path).packets.size(), 70);
}

// Messages of the media category while a muxer runs.
QStringList g_mediaWarnings;
void KeepWarnings(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (type == QtWarningMsg)
        g_mediaWarnings << text;
}

// A full disk: the muxer stops at its first failed write, says so once, removes what it wrote
// and leaves an older file of the target's name as it was.
TEST_F(MuxerTest, FullDiskStopsAtTheFirstFailedWriteAndLeavesNoFile)
{
    const QString path = Out("full.mp4");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older file");
    }
    QString probeFile;
    {
        CMuxer muxer(path, "mp4");
        probeFile = muxer.TempFilePath(QStringLiteral("264"));
        ASSERT_TRUE(recordtest::MakeDiskFull(muxer.PartFilePath()));
        g_mediaWarnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(KeepWarnings);
        muxer.Start();
        PushFrames(muxer, TestStream(), 0, 90, 25);
        muxer.Stop();
        qInstallMessageHandler(previous);
        EXPECT_TRUE(muxer.Failed());
        EXPECT_TRUE(muxer.DiskFull());
        EXPECT_FALSE(muxer.WroteFile());
        EXPECT_EQ(muxer.ErrorText(), path + QStringLiteral(" could not be written (the disk is full)"));
        EXPECT_FALSE(QFileInfo::exists(muxer.PartFilePath()));
        EXPECT_EQ(g_mediaWarnings.filter(QStringLiteral("cannot write")).size(), 1)
            << g_mediaWarnings.join('\n').toStdString();
        EXPECT_TRUE(g_mediaWarnings.filter(QStringLiteral("Error muxing")).isEmpty());
        // Pictures after the failure are not taken.
        PushFrames(muxer, TestStream(), 0, 10, 25);
        EXPECT_FALSE(muxer.IsRunning());
    }
    EXPECT_FALSE(QFile::exists(probeFile));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("an older file"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList({"full.mp4"}));
}

TEST_F(MuxerTest, UnreadableKeyPictureIsProbedAgainWithTheNext)
{
    const QString path = Out("reprobe.mp4");
    CMuxer muxer(path, "mp4");
    muxer.Start();
    const QByteArray garbage(64, char(0x55));
    muxer.PushPacket(Picture(garbage, true, 25));
    EXPECT_EQ(muxer.State() & CMuxer::Recognised, 0);
    PushFrames(muxer, TestStream(), 0, 30, 25);
    EXPECT_NE(muxer.State() & CMuxer::Recognised, 0);
    muxer.Stop();
    const mediaprobe::Probe probe = mediaprobe::Run(path);
    ASSERT_TRUE(probe.error.isEmpty()) << qPrintable(probe.error);
    EXPECT_EQ(probe.packets.size(), 30);
}

TEST_F(MuxerTest, RestartsForASecondFileAfterStop)
{
    CMuxer muxer(Out("first.mp4"), "mp4");
    muxer.Start();
    PushFrames(muxer, TestStream(), 0, 30, 25);
    muxer.Stop();
    muxer.Start();
    EXPECT_TRUE(muxer.IsRunning());
    muxer.Stop();
    const mediaprobe::Probe probe = mediaprobe::Run(Out("first.mp4"));
    EXPECT_EQ(probe.packets.size(), 30);
}

// ---- re-encode ----

struct Codecs
{
    AVCodecContext* decoder = nullptr;
    AVCodecContext* encoder = nullptr;
    qint64 pictures = 0;
    std::array<FilterSlot, 2> filters;
    ~Codecs()
    {
        avcodec_free_context(&decoder);
        avcodec_free_context(&encoder);
    }
};

QString Font()
{
    return TimeOverlay::FontFile(QStringLiteral("/nonexistent"));
}

// Re-encodes the stream's pictures (with the overlay when filterCount is 2), drains the encoder
// and writes the result through a muxer.
void Reencode(const Stream& stream, int count, int fps, int filterCount, const QString& path,
              int* failures = nullptr)
{
    Codecs codecs;
    codecs.filters[0].description = TimeOverlay::DateDescription(20261209, Font());
    codecs.filters[1].description = TimeOverlay::TimeDescription(123456, Font());
    std::vector<uint8_t> buffer(CMuxer::kTranscodeBufferSize);
    CMuxer muxer(path, "mp4");
    muxer.Start();
    auto push = [&](int size, int flags) {
        MuxPacket p = MuxPacket::FromBytes(reinterpret_cast<const char*>(buffer.data()), size);
        p.pts = -1;
        p.duration = 1;
        p.fps = fps;
        p.keyFrame = flags == 1;
        muxer.PushPacket(p);
    };
    for (int i = 0; i < count; ++i) {
        int size = 0, flags = 0;
        const int ret = CMuxer::TranscodeVideo(
            &codecs.decoder, &codecs.encoder, reinterpret_cast<const uint8_t*>(stream.frames[i].constData()),
            stream.frames[i].size(), fps, codecs.filters.data(), filterCount, nullptr, buffer.data(),
            int(buffer.size()), &size, &flags, &codecs.pictures);
        if (ret != 0 && failures)
            ++*failures;
        if (ret == 0 && size > 0)
            push(size, flags);
    }
    CMuxer::FlushEncoder(codecs.encoder);
    int size = 0, flags = 0;
    while (CMuxer::DrainEncoder(codecs.encoder, buffer.data(), int(buffer.size()), &size, &flags) > 0)
        push(size, flags);
    muxer.Stop();
}

TEST_F(MuxerTest, ReencodeKeepsEveryPictureWithKeysAtTheFrameRate)
{
    const int rates[] = {10, 15};
    for (int fps : rates) {
        const QString path = Out(QStringLiteral("osd%1.mp4").arg(fps));
        int failures = 0;
        Reencode(TestStream(), 60, fps, 2, path, &failures);
        EXPECT_EQ(failures, 0);
        const mediaprobe::Probe probe = mediaprobe::Run(path);
        ASSERT_TRUE(probe.error.isEmpty()) << qPrintable(probe.error);
        EXPECT_EQ(probe.codecName, "h264");
        EXPECT_EQ(probe.packets.size(), 60) << "the encoder is drained";
        EXPECT_EQ(probe.decodedFrames, 60);
        std::vector<int> expected;
        for (int i = 0; i < 60; i += fps)
            expected.push_back(i);
        EXPECT_EQ(KeyPositions(probe), expected) << fps;
        ExpectIncreasing(probe);
    }
}

TEST_F(MuxerTest, OverlayDrawsIntoTheTopLeftOnly)
{
    const QString with = Out("with.mp4");
    const QString without = Out("without.mp4");
    Reencode(TestStream(), 30, 15, 2, with);
    Reencode(TestStream(), 30, 15, 0, without);
    QString error;
    const QByteArray a = mediaprobe::GreyPictures(with, &error);
    ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
    const QByteArray b = mediaprobe::GreyPictures(without, &error);
    ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
    ASSERT_EQ(a.size(), qsizetype(30) * kWidth * kHeight);
    ASSERT_EQ(b.size(), a.size());
    for (int picture : {0, 14, 29}) {
        // Date at y = 10, time at y = 60, 36-point text: both lines differ from the plain run.
        EXPECT_GT(mediaprobe::RegionDifference(a, b, kWidth, kHeight, picture, 10, 12, 200, 30), 20.0);
        EXPECT_GT(mediaprobe::RegionDifference(a, b, kWidth, kHeight, picture, 10, 62, 150, 30), 20.0);
        // Below the text the pictures agree up to the encoder's noise.
        EXPECT_LT(mediaprobe::RegionDifference(a, b, kWidth, kHeight, picture, 10, 150, 300, 80), 6.0);
    }
}

TEST_F(MuxerTest, PictureHeldByTheDecoderLeavesTheOutputUntouched)
{
    // A decoder that works on several pictures at once gives the first one back only later.
    Codecs codecs;
    codecs.decoder = avcodec_alloc_context3(avcodec_find_decoder(AV_CODEC_ID_H264));
    ASSERT_NE(codecs.decoder, nullptr);
    codecs.decoder->thread_count = 4;
    codecs.decoder->thread_type = FF_THREAD_FRAME;
    ASSERT_EQ(avcodec_open2(codecs.decoder, nullptr, nullptr), 0);
    std::vector<uint8_t> buffer(1024);
    int size = -7, flags = -7;
    const QByteArray& first = TestStream().frames[0];
    const int ret = CMuxer::TranscodeVideo(
        &codecs.decoder, &codecs.encoder, reinterpret_cast<const uint8_t*>(first.constData()), first.size(), 10,
        codecs.filters.data(), 0, nullptr, buffer.data(), int(buffer.size()), &size, &flags, &codecs.pictures);
    EXPECT_EQ(ret, 0);
    EXPECT_EQ(size, -7);
    EXPECT_EQ(flags, -7);
    EXPECT_EQ(codecs.encoder, nullptr);
    EXPECT_EQ(codecs.pictures, 0);
}

TEST_F(MuxerTest, KeyPacketLargerThanTheBufferIsRefused)
{
    Codecs codecs;
    std::vector<uint8_t> buffer(16, 0xAB);
    int size = -7, flags = -7;
    int result = 0;
    // The encoder answers once its look-ahead has filled; the first answer is the key picture.
    for (int i = 0; i < 60 && result == 0 && size == -7; ++i) {
        result = CMuxer::TranscodeVideo(&codecs.decoder, &codecs.encoder,
                                        reinterpret_cast<const uint8_t*>(TestStream().frames[i].constData()),
                                        TestStream().frames[i].size(), 10, codecs.filters.data(), 0, nullptr,
                                        buffer.data(), int(buffer.size()), &size, &flags, &codecs.pictures);
    }
    if (result == 0 && size == -7) {
        CMuxer::FlushEncoder(codecs.encoder);
        result = CMuxer::EncodeFrame(codecs.encoder, buffer.data(), int(buffer.size()), &size, &flags);
    }
    EXPECT_EQ(result, -1);
    EXPECT_EQ(size, -7);
    EXPECT_EQ(flags, -7);
    EXPECT_EQ(buffer, std::vector<uint8_t>(16, 0xAB));
}

TEST_F(MuxerTest, NoFrameRateEncodesAtOnePerSecond)
{
    const int rates[] = {0, -5};
    for (int fps : rates) {
        Codecs codecs;
        std::vector<uint8_t> buffer(CMuxer::kTranscodeBufferSize);
        int size = 0, flags = 0;
        CMuxer::TranscodeVideo(&codecs.decoder, &codecs.encoder,
                               reinterpret_cast<const uint8_t*>(TestStream().frames[0].constData()),
                               TestStream().frames[0].size(), fps, codecs.filters.data(), 0, nullptr,
                               buffer.data(), int(buffer.size()), &size, &flags, &codecs.pictures);
        ASSERT_NE(codecs.encoder, nullptr);
        EXPECT_EQ(codecs.encoder->gop_size, 1);
        EXPECT_EQ(codecs.encoder->time_base.den, 1);
        // libx264 keeps the rate in whole kilobits.
        EXPECT_EQ(codecs.encoder->bit_rate / 1000, 98304 / 1000);
    }
}

TEST_F(MuxerTest, NewPictureSizeRebuildsGraphsAndEncoder)
{
    const Stream& small = decoder_streams::Make(176, 144, 10, 5);
    ASSERT_TRUE(small.error.isEmpty());
    Codecs codecs;
    codecs.filters[0].description = TimeOverlay::DateDescription(20260101, Font());
    codecs.filters[1].description = TimeOverlay::TimeDescription(10101, Font());
    std::vector<uint8_t> buffer(CMuxer::kTranscodeBufferSize);
    auto feed = [&](const QByteArray& frame) {
        int size = 0, flags = 0;
        return CMuxer::TranscodeVideo(&codecs.decoder, &codecs.encoder,
                                      reinterpret_cast<const uint8_t*>(frame.constData()), frame.size(), 10,
                                      codecs.filters.data(), 2, nullptr, buffer.data(), int(buffer.size()), &size,
                                      &flags, &codecs.pictures);
    };
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(feed(TestStream().frames[i]), 0);
    ASSERT_NE(codecs.encoder, nullptr);
    EXPECT_EQ(codecs.encoder->width, kWidth);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(feed(small.frames[i]), 0);
    ASSERT_NE(codecs.encoder, nullptr);
    EXPECT_EQ(codecs.encoder->width, 176);
    EXPECT_EQ(codecs.encoder->height, 144);
    for (const FilterSlot& slot : codecs.filters) {
        ASSERT_NE(slot.source, nullptr);
        EXPECT_EQ(slot.source->outputs[0]->w, 176);
    }
}

// ---- overlay text ----

struct QuoteCase
{
    const char* value;
    const char* quoted;
};

TEST(TimeOverlayText, QuotesForBothLevelsOfTheGraphSyntax)
{
    const QuoteCase cases[] = {
        {"/usr/share/fonts/DejaVuSans.ttf", "'/usr/share/fonts/DejaVuSans.ttf'"},
        {"12:34:56", "'12\\:34\\:56'"},
        {"C:\\Fonts\\Arial.ttf", "'C\\:\\\\Fonts\\\\Arial.ttf'"},
        {"it's", "'it\\'\\''s'"},
        {"a,b[1];c", "'a,b[1];c'"},
    };
    for (const QuoteCase& c : cases)
        EXPECT_EQ(TimeOverlay::QuoteFilterValue(QString::fromLatin1(c.value)), QString::fromLatin1(c.quoted))
            << c.value;
}

TEST(TimeOverlayText, DateAsMonthDayYearAndTimeWithEscapedColons)
{
    EXPECT_EQ(TimeOverlay::DateDescription(20261209, "/f.ttf"),
              QByteArray("drawtext=text='12/09/2026':fontfile='/f.ttf':fontsize=36:x=10:y=10:fontcolor=white:"
                         "shadowcolor=black:shadowx=5:shadowy=5"));
    EXPECT_EQ(TimeOverlay::TimeDescription(70809, "/f.ttf"),
              QByteArray("drawtext=text='07\\:08\\:09':fontfile='/f.ttf':fontsize=36:x=10:y=60:fontcolor=white:"
                         "shadowcolor=black:shadowx=5:shadowy=5"));
}

TEST(TimeOverlayText, FontOfTheProgramDirectoryComesFirst)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString system = TimeOverlay::FontFile(dir.path());
    ASSERT_FALSE(system.isEmpty()) << "fontconfig finds a sans font";
    EXPECT_TRUE(QFileInfo(system).isFile());
    ASSERT_TRUE(QFile::copy(system, dir.filePath("Arial.ttf")));
    EXPECT_EQ(TimeOverlay::FontFile(dir.path()), dir.filePath("Arial.ttf"));
}

// Counts drawtext's notes that it fell back to a font of fontconfig's choice.
std::atomic<int> g_fontFallbacks{0};

void CountFallbacks(void*, int, const char* format, va_list)
{
    if (format && strstr(format, "Using \"%s\""))
        ++g_fontFallbacks;
}

TEST(TimeOverlayText, GraphLoadsAFontWhosePathNeedsEscaping)
{
    av_log_set_callback(CountFallbacks);
    g_fontFallbacks = 0;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString font = dir.filePath("it's a:font,[1];\\x.ttf");
    ASSERT_TRUE(QFile::copy(Font(), font));
    AVFrame* frame = av_frame_alloc();
    frame->width = 320;
    frame->height = 240;
    AVFilterGraph* graph = nullptr;
    AVFilterContext* source = nullptr;
    AVFilterContext* sink = nullptr;
    EXPECT_EQ(CMuxer::InitFilterGraph(&graph, &source, &sink,
                                      TimeOverlay::TimeDescription(235959, font).constData(), frame),
              0);
    EXPECT_NE(graph, nullptr);
    EXPECT_EQ(g_fontFallbacks.load(), 0) << "the font was loaded from its own path";
    avfilter_graph_free(&graph);
    // The check above can fail: a file that is not there makes drawtext fall back.
    EXPECT_EQ(CMuxer::InitFilterGraph(
                  &graph, &source, &sink,
                  TimeOverlay::TimeDescription(235959, dir.filePath("missing.ttf")).constData(), frame),
              0);
    EXPECT_EQ(g_fontFallbacks.load(), 1);
    avfilter_graph_free(&graph);
    // Back to the routing every program of this library has.
    commonlog::RouteFfmpegLog();
    av_frame_free(&frame);
}

} // namespace
