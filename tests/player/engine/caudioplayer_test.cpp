// Audio decoding by type, gathering, refusals and the sound output's cadence, on a fake sink; the
// G.726 decoders against ffmpeg's decoders of the same ffmpeg-made streams.
#include "h264fixture.h"

#include "engine/caudioplayer.h"
#include "engine/g726decoder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

namespace {

class FakeSink : public AudioSink
{
public:
    bool Open(int, int) override { return open; }
    void PlayBlock(const QByteArray& block) override { played.push_back(block); }
    void PlayMuLaw(const QByteArray& bytes) override { muLaw.push_back(bytes); }
    void Stop() override { ++stops; }

    bool open = true;
    std::vector<QByteArray> played, muLaw;
    int stops = 0;
};

QByteArray Block(int size, char fill)
{
    return QByteArray(size, fill);
}

qint16 SampleAt(const QByteArray& pcm, int index)
{
    return qFromLittleEndian<qint16>(pcm.constData() + 2 * index);
}

QString RunFfmpeg(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-y"} + arguments);
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0)
        return QString::fromLocal8Bit(ffmpeg.readAllStandardError()) + " (ffmpeg failed)";
    return QString();
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Correlation of a and b over count samples, b shifted by lag.
double Correlation(const std::vector<int>& a, const std::vector<int>& b, int lag, int count)
{
    double ab = 0, aa = 0, bb = 0;
    for (int i = 0; i < count; ++i) {
        const double x = a[size_t(i + lag)], y = b[size_t(i)];
        ab += x * y;
        aa += x * x;
        bb += y * y;
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

} // namespace

TEST(CAudioPlayer, GatheringAndRefusals)
{
    FakeSink sink;
    CAudioPlayer player(&sink);
    ASSERT_EQ(player.Init(), 0);
    player.Sound().SetStartThreshold(100); // count blocks without playing them
    CSoundPlayer& sound = player.Sound();
    struct Step
    {
        const char* what;
        int serverId;
        int type;
        int length;
        int waitingAfter;
    };
    // clang-format off
    const Step steps[] = {
        {"another source plays nothing", 3, 9, 4000, 0},
        {"4-bit G.726: 1000 bytes gather", -999, 1, 1000, 0},
        {"the second 1000 make 2000: two halves", -999, 1, 1000, 2},
        {"mu-law 3000 gathers", -999, 4, 3000, 2},
        {"mu-law 3000 more: 4000 decoded, 2000 stay", -999, 4, 3000, 4},
        {"mu-law 3000 more: 5000, 4000 decoded", -999, 4, 3000, 6},
        {"mu-law block of exactly 4000", -999, 9, 4000, 8},
        {"mu-law block too short is refused", -999, 9, 3999, 8},
        {"16-bit block of 8000", -999, 16, 8000, 10},
        {"16-bit block too short is refused", -999, 16, 7999, 10},
        {"16-bit half: only its first 4000 bytes", -999, 8, 8000, 11},
        {"unsigned 8-bit: as many samples as bytes", -999, 6, 4000, 13},
        {"2-bit G.726 of 1000 bytes", -999, 0, 1000, 15},
        {"2-bit G.726 short block is refused", -999, 0, 999, 15},
        {"unknown type", -999, 3, 4000, 15},
    };
    // clang-format on
    for (const Step& step : steps) {
        const QByteArray block = Block(step.length, '\x55');
        EXPECT_TRUE(player.PlayAudio(step.serverId, 0, block.constData(), block.size(), step.type).isEmpty());
        EXPECT_EQ(sound.WaitingBlocks(), step.waitingAfter) << step.what;
    }
    // A huge gathered block decodes every whole unit and keeps the rest, never overflowing.
    const QByteArray huge = Block(25000, '\x11');
    player.PlayAudio(-999, 0, huge.constData(), huge.size(), 4);
    EXPECT_EQ(sound.WaitingBlocks(), 15 + 12) << "2000 carried + 25000 = 6 units of 4000, 3000 carried";
}

TEST(CAudioPlayer, DecodedSamples)
{
    FakeSink sink;
    CAudioPlayer player(&sink);
    ASSERT_EQ(player.Init(), 0);
    // While an export runs, types 4, 6, 8 and 9 come back decoded instead of played.
    const QByteArray muLaw = QByteArray::fromHex("ff00807f") + Block(3996, '\xff');
    const QByteArray decoded = player.PlayAudio(-999, 0, muLaw.constData(), muLaw.size(), 9, true);
    ASSERT_EQ(decoded.size(), 8000);
    EXPECT_EQ(SampleAt(decoded, 0), 0);
    EXPECT_EQ(SampleAt(decoded, 1), -32124);
    EXPECT_EQ(SampleAt(decoded, 2), 32124);
    EXPECT_EQ(SampleAt(decoded, 3), 0);
    EXPECT_EQ(player.Sound().WaitingBlocks(), 0);
    const QByteArray pcm8 = QByteArray::fromHex("00807fff");
    const QByteArray wide = player.PlayAudio(-999, 0, pcm8.constData(), pcm8.size(), 6, true);
    ASSERT_EQ(wide.size(), 8);
    EXPECT_EQ(SampleAt(wide, 0), -32768);
    EXPECT_EQ(SampleAt(wide, 1), 0);
    EXPECT_EQ(SampleAt(wide, 2), -256);
    EXPECT_EQ(SampleAt(wide, 3), 32512);
    // G.726 is played, not returned, even during an export.
    const QByteArray g726 = Block(2000, '\x00');
    EXPECT_TRUE(player.PlayAudio(-999, 0, g726.constData(), g726.size(), 1, true).isEmpty());
}

TEST(CAudioPlayer, WithoutAnOutputDeviceNothingPlays)
{
    FakeSink sink;
    sink.open = false;
    CAudioPlayer player(&sink);
    EXPECT_NE(player.Init(), 0);
    EXPECT_FALSE(player.IsReady());
    const QByteArray block = Block(4000, '\x01');
    player.PlayAudio(-999, 0, block.constData(), block.size(), 9);
    EXPECT_EQ(player.Sound().WaitingBlocks(), 0);
}

TEST(CSoundPlayer, StartsAfterFourBlocksAndPlaysOnePerStep)
{
    FakeSink sink;
    CSoundPlayer sound(&sink);
    ASSERT_TRUE(sound.Init(8000, 16));
    const QByteArray blocks[] = {Block(4000, 1), Block(4000, 2), Block(4000, 3), Block(4000, 4), Block(4000, 5)};
    for (int i = 0; i < 3; ++i)
        sound.Write(blocks[i].constData(), blocks[i].size());
    EXPECT_TRUE(sink.played.empty()) << "three blocks wait silently";
    sound.Write(blocks[3].constData(), blocks[3].size());
    ASSERT_EQ(sink.played.size(), 1u);
    EXPECT_EQ(sink.played[0], blocks[0]);
    sound.Write(blocks[4].constData(), blocks[4].size()); // appended while playing
    for (int step = 1; step < 5; ++step) {
        sound.TimerStep();
        ASSERT_EQ(sink.played.size(), size_t(step + 1));
        EXPECT_EQ(sink.played.back(), blocks[step]);
    }
    EXPECT_TRUE(sound.IsPlaying());
    sound.TimerStep();
    EXPECT_FALSE(sound.IsPlaying()) << "the list ran empty";
    EXPECT_EQ(sink.played.size(), 5u);
}

TEST(CSoundPlayer, FullRingDropsAndFlushEmpties)
{
    FakeSink sink;
    CSoundPlayer sound(&sink);
    ASSERT_TRUE(sound.Init(8000, 16));
    sound.SetStartThreshold(100);
    const QByteArray block = Block(4000, 7);
    for (int i = 0; i < 31; ++i)
        sound.Write(block.constData(), block.size());
    EXPECT_EQ(sound.WaitingBlocks(), 30) << "the 31st block finds its ring entry in use";
    sound.Flush();
    EXPECT_EQ(sound.WaitingBlocks(), 0);
    EXPECT_EQ(sink.stops, 1);
    sound.Write(block.constData(), block.size());
    EXPECT_EQ(sound.WaitingBlocks(), 1) << "entries are free again";
}

TEST(CSoundPlayer, MuLawGoesOutIn4000ByteUnits)
{
    FakeSink sink;
    CSoundPlayer sound(&sink);
    ASSERT_TRUE(sound.Init(8000, 16));
    const QByteArray part = Block(3000, 9);
    sound.WriteMuLaw(part.constData(), part.size());
    EXPECT_TRUE(sink.muLaw.empty());
    sound.WriteMuLaw(part.constData(), part.size());
    ASSERT_EQ(sink.muLaw.size(), 1u);
    EXPECT_EQ(sink.muLaw[0].size(), 4000);
}

TEST(CSoundPlayer, TimerPlaysTheQueueToTheEnd)
{
    FakeSink sink;
    CSoundPlayer sound(&sink);
    ASSERT_TRUE(sound.Init(8000, 16));
    const QByteArray block = Block(4000, 3);
    for (int i = 0; i < 6; ++i)
        sound.Write(block.constData(), block.size());
    // Six blocks at one per 250 ms; wait for the condition, not for a time.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !sound.IsPlaying(); }, 60000));
    EXPECT_EQ(sink.played.size(), 6u);
}

struct G726Case
{
    int bits;
    const char* rate;
    int multiplier;
};

class G726AgainstFfmpeg : public ::testing::TestWithParam<G726Case>
{};

TEST_P(G726AgainstFfmpeg, DecodesTheSameSignal)
{
    const G726Case c = GetParam();
    const QString folder = h264fixture::Folder();
    const QString coded = folder + QString("/tone%1.g726").arg(c.bits);
    const QString reference = folder + QString("/tone%1.pcm").arg(c.bits);
    ASSERT_EQ(
        RunFfmpeg({"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=8000:duration=1", "-af", "volume=0.5",
                   "-ar", "8000", "-ac", "1", "-c:a", "g726le", "-b:a", c.rate, "-f", "g726le", coded}),
        QString());
    ASSERT_EQ(RunFfmpeg({"-f", "g726le", "-code_size", QString::number(c.bits), "-ar", "8000", "-i", coded, "-f",
                         "s16le", reference}),
              QString());
    const QByteArray codes = ReadAll(coded);
    const QByteArray pcm = ReadAll(reference);
    ASSERT_GT(codes.size(), 1000);
    G726Decoder decoder(c.bits);
    std::vector<int> ours;
    for (char byte : codes)
        for (int shift = 0; shift < 8; shift += c.bits)
            ours.push_back(decoder.Decode((quint8(byte) >> shift) & ((1 << c.bits) - 1)) * c.multiplier);
    std::vector<int> theirs;
    for (int i = 0; i + 1 < pcm.size(); i += 2)
        theirs.push_back(SampleAt(pcm, i / 2));
    const int count = int(std::min(ours.size(), theirs.size())) - 8;
    ASSERT_GT(count, 4000);
    const double correlation = Correlation(ours, theirs, 0, count);
    EXPECT_GT(correlation, 0.98) << "the same tone";
    // Loudness within 10 %, the Part's gain taken into account.
    double ourEnergy = 0, theirEnergy = 0;
    for (int i = 0; i < count; ++i) {
        ourEnergy += double(ours[size_t(i)]) * ours[size_t(i)];
        theirEnergy += double(theirs[size_t(i)]) * theirs[size_t(i)];
    }
    const double ratio = std::sqrt(ourEnergy / theirEnergy) * 4.0 / c.multiplier;
    EXPECT_NEAR(ratio, 1.0, 0.1);
    int identical = 0;
    for (int i = 0; i < count; ++i)
        identical += ours[size_t(i)] * 4 / c.multiplier == theirs[size_t(i)] ? 1 : 0;
    RecordProperty("correlation", QString::number(correlation, 'f', 5).toStdString());
    RecordProperty("loudness_ratio", QString::number(ratio, 'f', 4).toStdString());
    RecordProperty("identical_samples", QString("%1/%2").arg(identical).arg(count).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Rates, G726AgainstFfmpeg,
                         ::testing::Values(G726Case{4, "32k", 4}, G726Case{2, "16k", 2}));

// Every mu-law code, as the export path decodes a block of them, against ffmpeg's pcm_mulaw
// decoder of the same bytes.
TEST(CAudioPlayer, MuLawBlockDecodesAsFfmpegDoes)
{
    QByteArray codes;
    for (int i = 0; i < 4000; ++i)
        codes += char(i % 256);
    const QString folder = h264fixture::Folder();
    const QString coded = folder + "/allcodes.ulaw";
    const QString reference = folder + "/allcodes.pcm";
    QFile file(coded);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(codes), codes.size());
    file.close();
    ASSERT_EQ(RunFfmpeg({"-f", "mulaw", "-ar", "8000", "-ac", "1", "-i", coded, "-f", "s16le", reference}),
              QString());
    const QByteArray theirs = ReadAll(reference);
    ASSERT_EQ(theirs.size(), 8000);

    FakeSink sink;
    CAudioPlayer player(&sink);
    ASSERT_EQ(player.Init(), 0);
    const QByteArray ours = player.PlayAudio(-999, 0, codes.constData(), codes.size(), 9, true);
    ASSERT_EQ(ours.size(), 8000);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(SampleAt(ours, i), SampleAt(theirs, i)) << "code " << i;
}

// Several reader threads and the export hand audio in at once: the gathering they share loses
// and repeats nothing. Each 300-byte piece completes at most one 4000-byte unit, so the units
// handed back count every byte given.
TEST(CAudioPlayer, ConcurrentCallersShareOneGathering)
{
    FakeSink sink;
    CAudioPlayer player(&sink);
    ASSERT_EQ(player.Init(), 0);
    constexpr int kThreads = 4;
    constexpr int kCalls = 2000;
    constexpr int kPiece = 300;
    const QByteArray piece(kPiece, '\x55');
    std::atomic<int> units{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < kCalls; ++i) {
                const QByteArray back = player.PlayAudio(-999, 0, piece.constData(), piece.size(), 4, true);
                if (!back.isEmpty())
                    units += back.size() == 8000 ? 1 : 1000; // a unit of another size is wrong
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(units.load(), kThreads * kCalls * kPiece / 4000);
}
