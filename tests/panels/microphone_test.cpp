// The talk-back microphone: the level of captured buffers, the meter's bar, and what a recorder
// receives while the operator talks (and does not receive otherwise).
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QtEndian>

#include <cstring>

#include "panels/audioinfo.h"
#include "panels/microphone.h"
#include "panels/renderarea.h"
#include "panels/support/panels_fixture.h"
#include "session/moduledevice.h"
#include "session/recordersession.h"

namespace {

QAudioFormat Format(int bits, QAudioFormat::SampleType type,
                    QAudioFormat::Endian order = QAudioFormat::LittleEndian)
{
    QAudioFormat f;
    f.setSampleRate(8000);
    f.setChannelCount(1);
    f.setSampleSize(bits);
    f.setSampleType(type);
    f.setByteOrder(order);
    f.setCodec(QStringLiteral("audio/pcm"));
    return f;
}

TEST(AudioInfoLevel, LargestMagnitudeByFormat)
{
    struct Case
    {
        int bits;
        QAudioFormat::SampleType type;
        quint32 max;
    };
    // clang-format off
    const Case cases[] = {
        {8, QAudioFormat::SignedInt, 127}, {8, QAudioFormat::UnSignedInt, 255},
        {16, QAudioFormat::SignedInt, 32767}, {16, QAudioFormat::UnSignedInt, 65535},
        {32, QAudioFormat::SignedInt, 2147483647u}, {32, QAudioFormat::UnSignedInt, 4294967295u},
        {32, QAudioFormat::Float, 2147483647u}, {16, QAudioFormat::Float, 0}, {24, QAudioFormat::SignedInt, 0},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(AudioInfo::MaxAmplitude(Format(c.bits, c.type)), c.max) << c.bits << " " << int(c.type);
}

TEST(AudioInfoLevel, PeakOfABufferAsAShareOfFullScale)
{
    struct Case
    {
        const char* what;
        QAudioFormat format;
        QByteArray bytes;
        double level;
    };
    const QAudioFormat s16 = Format(16, QAudioFormat::SignedInt);
    // clang-format off
    const Case cases[] = {
        {"silence", s16, QByteArray::fromHex("000000000000"), 0.0},
        {"full scale", s16, QByteArray::fromHex("0000ff7f"), 1.0},
        {"most negative is bounded", s16, QByteArray::fromHex("0080"), 1.0},
        {"half, negative", s16, QByteArray::fromHex("0100" "01c0"), 16383.0 / 32767.0},
        {"odd byte left out", s16, QByteArray::fromHex("0040ff"), 16384.0 / 32767.0},
        {"big-endian", Format(16, QAudioFormat::SignedInt, QAudioFormat::BigEndian), QByteArray::fromHex("4000"),
         16384.0 / 32767.0},
        {"8-bit unsigned as it is", Format(8, QAudioFormat::UnSignedInt), QByteArray::fromHex("80ff00"), 1.0},
        {"8-bit signed", Format(8, QAudioFormat::SignedInt), QByteArray::fromHex("c0"), 64.0 / 127.0},
        {"float half", Format(32, QAudioFormat::Float), QByteArray::fromHex("0000003f"), 0.5},
        {"unmeasurable", Format(24, QAudioFormat::SignedInt), QByteArray::fromHex("ffffff"), 0.0},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_NEAR(AudioInfo::PeakLevel(c.format, c.bytes.constData(), c.bytes.size()), c.level, 1e-6) << c.what;
}

TEST(AudioInfoLevel, WritingMeasuresAndHandsTheSamplesOn)
{
    AudioInfo info(Format(16, QAudioFormat::SignedInt));
    QByteArray handed;
    info.SetSink([&](const char* data, qint64 length) { handed.append(data, int(length)); });
    int updates = 0;
    QObject::connect(&info, &AudioInfo::update, [&] { ++updates; });
    info.start();
    const QByteArray pcm = QByteArray::fromHex("0000ff7f");
    EXPECT_EQ(info.write(pcm), pcm.size());
    EXPECT_DOUBLE_EQ(info.level(), 1.0);
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(handed, pcm);
    char buffer[8];
    EXPECT_EQ(info.read(buffer, sizeof buffer), -1); // write-only
}

TEST(AudioInfoLevel, MeterBarIsAtMostOneHundredEightyPixels)
{
    struct Case
    {
        int width;
        double level;
        int bar;
    };
    for (const Case& c : {Case{191, 0.0, 0}, Case{191, 0.5, 95}, Case{191, 1.0, 180}, Case{100, 1.0, 100}})
        EXPECT_EQ(RenderArea::BarWidth(c.width, c.level), c.bar) << c.width << " " << c.level;

    RenderArea meter;
    meter.resize(191, 20);
    const auto redAt = [&](int x) { return meter.grab().toImage().pixelColor(x, 10) == QColor(Qt::red); };
    meter.setLevel(0.0);
    EXPECT_FALSE(redAt(5));
    meter.setLevel(1.0);
    EXPECT_TRUE(redAt(5));
    EXPECT_TRUE(redAt(179));
    EXPECT_FALSE(redAt(181));
}

class MicrophoneTest : public PanelsOnlineTest
{};

TEST_F(MicrophoneTest, WithoutAnInputDeviceTheMicButtonIsOffAndNothingIsCaptured)
{
    microphone mic;
    auto* button = mic.findChild<QPushButton*>(QStringLiteral("pushButton_1"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "Mic");
    EXPECT_EQ(button->isEnabled(), mic.HasInput());
    if (!mic.HasInput()) {
        EXPECT_FALSE(mic.IsCapturing());
    }
    EXPECT_EQ(microphone::TalkBackRecorder(), -1);
}

TEST_F(MicrophoneTest, SamplesReachTheRecorderOnlyWhileTalking)
{
    RecorderSession* device = LoggedInRecorder(QStringLiteral("Gate"));
    ASSERT_NE(device, nullptr);
    microphone mic;
    if (mic.HasInput())
        GTEST_SKIP() << "a real input device would add its own samples";
    mic.AddDevice(QStringLiteral("Gate"), device->GetDeviceIndex());
    EXPECT_EQ(microphone::TalkBackRecorder(), device->GetDeviceIndex());

    // 0, 1000, -1000, 20000, -20000, 100 as 16-bit little-endian samples.
    const QByteArray pcm = QByteArray::fromHex("0000"
                                               "e803"
                                               "18fc"
                                               "204e"
                                               "e0b1"
                                               "6400");
    mic.LevelDevice()->start();
    mic.LevelDevice()->write(pcm); // not talking yet
    mic.on_pushButton_1_clicked();
    EXPECT_TRUE(mic.IsTalking());
    mic.LevelDevice()->start();
    mic.LevelDevice()->write(pcm);
    mic.on_pushButton_1_clicked();
    EXPECT_FALSE(mic.IsTalking());
    mic.LevelDevice()->start();
    mic.LevelDevice()->write(pcm); // no longer talking

    // Start, one audio message, stop: each sample doubled (with clipping) and mu-law coded.
    const QByteArray start = QByteArray::fromHex("0000000800a13f00000c0000");
    const QByteArray audio = QByteArray::fromHex("0000002a00a12900002e0000"
                                                 "50000000"
                                                 "06000000"
                                                 "00000000"
                                                 "00000000000000000000000000000000"
                                                 "ffbf3f8000eb");
    const QByteArray stop = QByteArray::fromHex("0000000800a14000000c0000");
    QList<QByteArray> talk;
    const bool arrived = QTest::qWaitFor(
        [&] {
            talk = Received(Simulator(0), 0x3F) + Received(Simulator(0), 0x29) + Received(Simulator(0), 0x40);
            return talk.size() >= 3;
        },
        10000);
    EXPECT_TRUE(arrived);
    EXPECT_EQ(talk, QList<QByteArray>({start, audio, stop}));
    QList<int> order;
    for (int command : Simulator(0)->Commands()) {
        if (command == 0x3F || command == 0x29 || command == 0x40)
            order << command;
    }
    EXPECT_EQ(order, QList<int>({0x3F, 0x29, 0x40}));
}

TEST_F(MicrophoneTest, ChoosingAnotherRecorderWhileTalkingMovesTheTalk)
{
    RecorderSession* first = LoggedInRecorder(QStringLiteral("A"));
    RecorderSession* second = LoggedInRecorder(QStringLiteral("B"));
    ASSERT_TRUE(first && second);
    microphone mic;
    mic.AddDevice(QStringLiteral("A"), first->GetDeviceIndex());
    mic.AddDevice(QStringLiteral("B"), second->GetDeviceIndex());
    mic.on_pushButton_1_clicked();
    ASSERT_TRUE(mic.IsTalking());
    mic.findChild<QComboBox*>(QStringLiteral("comboBox"))->setCurrentIndex(1);
    EXPECT_EQ(microphone::TalkBackRecorder(), second->GetDeviceIndex());
    EXPECT_EQ(AwaitReceived(Simulator(0), 0x40, 1).size(), 1);
    EXPECT_EQ(AwaitReceived(Simulator(1), 0x3F, 1).size(), 1);
    EXPECT_EQ(Received(Simulator(0), 0x3F).size(), 1);

    // Leaving by index: a recorder of the same name stays.
    mic.AddDevice(QStringLiteral("A"), 77);
    mic.RemoveDevice(QStringLiteral("A"), first->GetDeviceIndex());
    auto* list = mic.findChild<QComboBox*>(QStringLiteral("comboBox"));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemData(1).toInt(), 77);
}

} // namespace
