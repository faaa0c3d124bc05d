#include "shell/audiooutput.h"

#include <QIODevice>
#include <gtest/gtest.h>

#include <vector>

namespace {

// A push device that refuses a number of writes, then takes at most `chunk` bytes per write,
// and keeps everything it took.
class SinkDevice : public QIODevice
{
public:
    SinkDevice() { open(QIODevice::WriteOnly); }
    int refuseCalls = 0;
    qint64 chunk = 1 << 30;
    bool fail = false;
    QByteArray taken;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override
    {
        if (fail)
            return -1;
        if (refuseCalls > 0) {
            --refuseCalls;
            return 0;
        }
        const qint64 n = std::min(length, chunk);
        taken.append(data, int(n));
        return n;
    }
};

QByteArray Pattern(int length, char seed)
{
    QByteArray b(length, '\0');
    for (int i = 0; i < length; ++i)
        b[i] = char(seed + i % 7);
    return b;
}

struct AudioFixture : ::testing::Test
{
    AudioOutput out;
    SinkDevice sink;
    void SetUp() override
    {
        out.AttachPushDevice(&sink);
        out.SetChosenRecorder(3);
    }
    void Write(const QByteArray& b, int recorder = 3) { out.WriteAudioOutput(b.constData(), b.size(), recorder); }
};

} // namespace

TEST_F(AudioFixture, OnlyTheChosenRecorderIsHeard)
{
    const QByteArray a = Pattern(320, 'a');
    const QByteArray b = Pattern(320, 'k');
    Write(a, 3);
    Write(b, 5); // dropped
    EXPECT_EQ(sink.taken, a);

    out.SetChosenRecorder(5); // recorder 5 started audio last
    Write(a, 3);              // dropped now
    Write(b, 5);
    EXPECT_EQ(sink.taken, a + b);
    EXPECT_EQ(out.HeldBytes(), 0);
}

TEST_F(AudioFixture, NoChosenRecorderPlaysNothing)
{
    out.SetChosenRecorder(-1);
    Write(Pattern(100, 'a'), 0);
    Write(Pattern(100, 'a'), -2);
    EXPECT_TRUE(sink.taken.isEmpty());
}

TEST_F(AudioFixture, EmptyAndNullBlocksDoNothing)
{
    out.WriteAudioOutput(nullptr, 100, 3);
    out.WriteAudioOutput("xy", 0, 3);
    out.WriteAudioOutput("xy", -5, 3);
    EXPECT_TRUE(sink.taken.isEmpty());
    EXPECT_EQ(out.HeldBytes(), 0);
}

TEST_F(AudioFixture, SoundTheDeviceCannotTakeIsHeldAndSentFirstLater)
{
    const QByteArray a = Pattern(1000, 'a');
    const QByteArray b = Pattern(500, 'p');
    sink.refuseCalls = 2; // the drain before and after appending a
    Write(a);
    EXPECT_TRUE(sink.taken.isEmpty());
    EXPECT_EQ(out.HeldBytes(), 1000);
    Write(b);
    EXPECT_EQ(sink.taken, a + b);
    EXPECT_EQ(out.HeldBytes(), 0);
}

TEST_F(AudioFixture, PartlyTakenSoundKeepsItsOrder)
{
    sink.chunk = 300;
    const QByteArray a = Pattern(1000, 'a');
    const QByteArray b = Pattern(200, 'q');
    Write(a); // 300 taken, 700 held
    EXPECT_EQ(out.HeldBytes(), 700);
    Write(b); // drain 300 before, 300 after
    EXPECT_EQ(sink.taken, (a + b).left(900));
    EXPECT_EQ(out.HeldBytes(), 300);
    out.notified(); // the device's notify sends more of what is held
    EXPECT_EQ(sink.taken, (a + b).left(1200));
    EXPECT_EQ(out.HeldBytes(), 0);
}

TEST_F(AudioFixture, HeldSoundIsFlushedBeforeABlockThatWouldNotFit)
{
    // Fill the period buffer to 30000 bytes while the device takes nothing.
    QByteArray expected;
    sink.refuseCalls = 1000;
    for (int i = 0; i < 10; ++i) {
        const QByteArray block = Pattern(3000, char('a' + i));
        Write(block);
        expected += block;
        ASSERT_LE(out.HeldBytes(), AudioOutput::kPeriodBufferSize);
    }
    ASSERT_EQ(out.HeldBytes(), 30000);
    ASSERT_TRUE(sink.taken.isEmpty());

    // The device takes 1000 bytes a write from now on (after one more refusal).
    sink.refuseCalls = 1;
    sink.chunk = 1000;
    const QByteArray last = Pattern(4000, 'z');
    Write(last);
    expected += last;
    EXPECT_LE(out.HeldBytes(), AudioOutput::kPeriodBufferSize);
    EXPECT_EQ(sink.taken, expected.left(31000)); // all held sound, then the first 1000 of the new block
    EXPECT_EQ(out.HeldBytes(), 3000);
}

TEST_F(AudioFixture, ABlockLargerThanTheBufferGoesStraightThroughAfterHeldSound)
{
    sink.refuseCalls = 2;
    const QByteArray a = Pattern(100, 'a');
    Write(a);
    ASSERT_EQ(out.HeldBytes(), 100);
    sink.chunk = 4096;
    const QByteArray big = Pattern(AudioOutput::kPeriodBufferSize + 5000, 'B');
    Write(big);
    EXPECT_EQ(sink.taken, a + big);
    EXPECT_EQ(out.HeldBytes(), 0);
}

TEST_F(AudioFixture, AFailingDeviceDropsTheSoundWithoutHanging)
{
    sink.fail = true;
    Write(Pattern(1000, 'a'));
    EXPECT_EQ(out.HeldBytes(), 0);
    Write(Pattern(AudioOutput::kPeriodBufferSize + 1, 'b'));
    EXPECT_EQ(out.HeldBytes(), 0);
    EXPECT_TRUE(sink.taken.isEmpty());
}

TEST_F(AudioFixture, ADeviceThatNeverTakesAnythingIsGivenUp)
{
    sink.refuseCalls = 1 << 30;
    Write(Pattern(AudioOutput::kPeriodBufferSize + 1, 'b')); // returns after the stall limit
    EXPECT_TRUE(sink.taken.isEmpty());
    EXPECT_EQ(out.HeldBytes(), 0);
}

TEST_F(AudioFixture, StoppedOutputDropsWrites)
{
    out.stopAudioOutput();
    EXPECT_FALSE(out.HasOutput());
    Write(Pattern(100, 'a'));
    EXPECT_TRUE(sink.taken.isEmpty());
}

TEST(AudioOutputDevice, StartsOnTheMachinesDeviceOrDropsQuietlyWithout)
{
    AudioOutput out;
    out.startAudioOutput();
    out.SetChosenRecorder(1);
    const QAudioFormat f = out.Format();
    if (out.Device().isNull()) {
        // No sound device: a normal state. The wanted format stays and every write is dropped.
        EXPECT_FALSE(out.HasOutput());
        EXPECT_EQ(f.sampleRate(), 8000);
        EXPECT_EQ(f.channelCount(), 1);
        EXPECT_EQ(f.sampleSize(), 16);
        EXPECT_EQ(f.codec(), QStringLiteral("audio/pcm"));
        EXPECT_EQ(f.byteOrder(), QAudioFormat::LittleEndian);
        EXPECT_EQ(f.sampleType(), QAudioFormat::SignedInt);
    } else {
        EXPECT_TRUE(out.Device().isFormatSupported(f));
    }
    std::vector<char> silence(640, 0);
    out.WriteAudioOutput(silence.data(), qint64(silence.size()), 1);
    EXPECT_LE(out.HeldBytes(), AudioOutput::kPeriodBufferSize);
    out.stopAudioOutput();
    EXPECT_FALSE(out.HasOutput());
}
