// The audio readers: recorder media audio blocks by their three kinds and their byte order, the
// bounds of the accumulation buffer, and a tile's forward play with a client "a0" file and the
// one-second step of an "ah" file.
#include "playback/audioreader.h"
#include "playback/searchview.h"
#include "support/clientrecording.h"
#include "support/mediabytes.h"
#include "support/playbackfakes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

TEST(AudioBlocks, LayoutByLength)
{
    const struct
    {
        int length, codec, head, stride, taken;
    } cases[] = {
        {16416, 4, 28, 1024, 1024},
        {8212, 6, 16, 512, 512},
        {5188, 9, 4, 324, 320},
        {100, 9, 4, 324, 320},
    };
    for (const auto& c : cases) {
        const AudioBlockLayout l = AudioReader::BlockLayout(c.length);
        EXPECT_EQ(l.codec, c.codec) << c.length;
        EXPECT_EQ(l.head, c.head) << c.length;
        EXPECT_EQ(l.stride, c.stride) << c.length;
        EXPECT_EQ(l.taken, c.taken) << c.length;
    }
}

TEST(AudioBlocks, ChannelPartsAndBounds)
{
    // An 8212-byte block: 16 bytes of head, then 512 bytes per channel, channel c filled with c.
    QByteArray block(8212, '\0');
    block[0] = 0x06;
    block[1] = 0x01;
    for (int c = 0; c < 16; ++c)
        block.replace(16 + 512 * c, 512, QByteArray(512, char(c + 1)));
    EXPECT_TRUE(AudioReader::BlockSwapped(block));
    std::vector<quint8> fill(AudioReader::kFillCapacity);
    int count = 0;
    ASSERT_TRUE(AudioReader::AppendChannel(block, 2, fill, count));
    EXPECT_EQ(count, 512);
    EXPECT_EQ(fill[0], 3);
    EXPECT_EQ(fill[511], 3);
    ASSERT_TRUE(AudioReader::AppendChannel(block, 15, fill, count));
    EXPECT_EQ(fill[512], 16);
    EXPECT_FALSE(AudioReader::AppendChannel(block, 16, fill, count));
    EXPECT_FALSE(AudioReader::AppendChannel(block, -1, fill, count));

    // A block of another length holds 324-byte strides: channel 15 needs 4 + 15 x 324 + 320.
    const QByteArray shortBlock(4 + 15 * 324 + 319, '\0');
    EXPECT_TRUE(AudioReader::AppendChannel(shortBlock, 14, fill, count));
    EXPECT_FALSE(AudioReader::AppendChannel(shortBlock, 15, fill, count));

    // The fill never grows past its room.
    int full = AudioReader::kFillCapacity - 100;
    EXPECT_FALSE(AudioReader::AppendChannel(block, 0, fill, full));
    EXPECT_EQ(full, AudioReader::kFillCapacity - 100);

    QByteArray plain(8212, '\0');
    EXPECT_FALSE(AudioReader::BlockSwapped(plain));
    plain[2] = 1;
    plain[3] = 6;
    EXPECT_TRUE(AudioReader::BlockSwapped(plain)); // 00 00 01 06
}

TEST(AudioBlocks, SignedAndClientKinds)
{
    quint8 b[3] = {0, 128, 255};
    AudioReader::MakeSigned(b, 3);
    EXPECT_EQ(b[0], 128);
    EXPECT_EQ(b[1], 0);
    EXPECT_EQ(b[2], 127);
    EXPECT_EQ(AudioReader::BytesPerSecond(int(AudioKind::ClientA3)), 16000);
    EXPECT_EQ(AudioReader::BytesPerSecond(int(AudioKind::ClientA0)), 8000);
    EXPECT_EQ(AudioReader::CodecOfKind(int(AudioKind::ClientA0)), 6);
    EXPECT_EQ(AudioReader::CodecOfKind(int(AudioKind::ClientA1)), 4);
    EXPECT_EQ(AudioReader::CodecOfKind(int(AudioKind::ClientA2)), 9);
    EXPECT_EQ(AudioReader::CodecOfKind(int(AudioKind::ClientA3)), 16);
}

namespace {

QByteArray Seconds(int count, int bytesPerSecond)
{
    QByteArray b;
    for (int s = 0; s < count; ++s)
        for (int i = 0; i < bytesPerSecond; ++i)
            b.append(char(s * 31 + i % 97));
    return b;
}

} // namespace

TEST(TileAudio, ForwardPlayReadsTheA0FileSecondBySecond)
{
    QTemporaryDir root;
    const ClientRecording rec = WriteClientRecording(root.path(), TenPerSecond(80510, 3), 10);
    ASSERT_TRUE(rec.error.isEmpty());
    const QByteArray audioBytes = Seconds(3, 8000);
    Write(rec.folder + "/a0080510.003", audioBytes);
    FakeFrameSink sink;
    FakeHost host;
    FakeAudioSink audio;
    FakeClock clock(true); // video waits after its first frame until stopped
    auto view = std::make_unique<CSearchView>(0, sink, host, audio, clock);
    ASSERT_TRUE(view->OpenFile({rec.dataName, rec.folder, 0, 0}));
    EXPECT_EQ(view->GetAudioKind(), AudioKind::ClientA0);
    EXPECT_EQ(view->AudioOn(), 1);
    ASSERT_TRUE(view->StartAudio());
    view->PlayForward();
    ASSERT_TRUE(WaitUntil([&] { return audio.Count() == 6; }));
    view->StopPlayback();
    ASSERT_EQ(audio.blocks.size(), 6); // the file ends after three seconds
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(audio.blocks[i], audioBytes.mid(i * 4000, 4000)) << i;
        EXPECT_EQ(audio.codecs[i], 6);
    }
}

TEST(TileAudio, AhSecondPlaysInTwoHalvesMadeSignedAndSwapped)
{
    QTemporaryDir root;
    const ClientRecording rec = WriteClientRecording(root.path(), TenPerSecond(80510, 2), 10);
    ASSERT_TRUE(rec.error.isEmpty());
    const QByteArray audioBytes = Seconds(3, 8000);
    Write(rec.folder + "/ah080510.003", audioBytes);
    FakeFrameSink sink;
    FakeHost host;
    FakeAudioSink audio;
    FakeClock clock;
    CSearchView view(0, sink, host, audio, clock);
    ASSERT_TRUE(view.OpenFile({rec.dataName, rec.folder, 0, 0}));
    EXPECT_EQ(view.GetAudioKind(), AudioKind::ClientAh);
    ASSERT_TRUE(view.StartAudio());
    view.PlayAudioSecond("080511");
    ASSERT_TRUE(WaitUntil([&] { return audio.Count() == 2; }));
    // Second 1 of the recording: 8000 bytes from 1 x 8000 + 4000, signed, words reversed.
    const QByteArray want = SignedReversedWords(audioBytes.mid(8000 + 4000, 8000));
    EXPECT_EQ(audio.blocks[0], want.left(4000));
    EXPECT_EQ(audio.blocks[1], want.mid(4000));
    EXPECT_EQ(audio.codecs[0], 6);
    EXPECT_TRUE(clock.Pauses().contains(450));
}

TEST(TileAudio, AudioSwitchedWhilePlayStartsEachSecond)
{
    // The play thread starts the audio of every new second while the user switches audio off
    // and on: neither may join or replace the other's reader.
    QTemporaryDir root;
    const ClientRecording rec = WriteClientRecording(root.path(), TenPerSecond(80510, 10), 10);
    ASSERT_TRUE(rec.error.isEmpty());
    Write(rec.folder + "/ah080510.003", Seconds(11, 8000));
    FakeFrameSink sink;
    FakeHost host;
    FakeAudioSink audio;
    FakeClock clock;
    CSearchView view(0, sink, host, audio, clock);
    ASSERT_TRUE(view.OpenFile({rec.dataName, rec.folder, 0, 0}));
    for (int round = 0; round < 5; ++round) {
        view.GoFirst();
        ASSERT_TRUE(view.StartAudio());
        view.PlayForward();
        for (int i = 0; i < 20; ++i) {
            view.WaitAudioReady();
            view.StartAudio();
        }
        ASSERT_TRUE(WaitUntil([&] { return !view.IsRunning(); }));
        view.Join();
        EXPECT_EQ(view.State(), PlayState::End);
    }
    EXPECT_GT(audio.Count(), 0);
}
