// The audio file of the player's own recordings: its 50-byte head (written out by hand: the
// mark 0x11FF55AA at 4, the kind at 8, the channel mask at 18, the data start less 48 at 28) and
// the pieces each kind hands to the audio output for a second.
#include "playback/framelistaudio.h"
#include "support/playbackfakes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A 50-byte head: the first 32 bytes as given, 18 zero bytes after them.
QByteArray Head(const char* first32)
{
    QByteArray head = Hex(first32);
    head.append(QByteArray(18, '\0'));
    return head;
}

// The byte the test files hold at file offset o.
char Pattern(qint64 o)
{
    return char((o * 31 + o / 997) & 0xFF);
}

QByteArray File(const QByteArray& head, qint64 length)
{
    QByteArray bytes = head;
    for (qint64 o = head.size(); o < length; ++o)
        bytes.append(Pattern(o));
    return bytes;
}

QByteArray Bytes(const std::function<qint64(int)>& offsetOf, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out.append(Pattern(offsetOf(i)));
    return out;
}

} // namespace

TEST(FrameListAudioHead, KindMaskAndChannelDecideWhatPlays)
{
    struct Case
    {
        const char* name;
        QByteArray head;
        qint64 length;
        int channel;
        bool playable;
        ListAudioKind kind;
        int channels;
        int rank;
        qint64 dataStart;
    };
    const Case cases[] = {
        {"no mark: raw", Head("00000000 aa55ff10 01000000 00000000 00000f00 00000000 00000000 02000000"), 4000, 5,
         true, ListAudioKind::Raw, 1, 0, 0},
        {"one channel", Head("00000000 aa55ff11 01000000 00000000 00000100 00000000 00000000 02000000"), 4000, 5,
         true, ListAudioKind::OneChannel, 1, 0, 50},
        {"four channels, mask 14: one channel",
         Head("00000000 aa55ff11 02000000 00000000 00000e00 00000000 00000000 10000000"), 4000, 9, true,
         ListAudioKind::OneChannel, 1, 0, 64},
        {"four channels, channel 2 of mask 15",
         Head("00000000 aa55ff11 02000000 00000000 00000f00 00000000 00000000 02000000"), 4000, 2, true,
         ListAudioKind::FourChannels, 4, 2, 50},
        {"four channels, channel 1 missing from mask 0xf0",
         Head("00000000 aa55ff11 02000000 00000000 0000f000 00000000 00000000 02000000"), 4000, 1, false,
         ListAudioKind::Raw, 1, 0, 50},
        {"interleaved, channel 3 third of mask 0x0b",
         Head("00000000 aa55ff11 04000000 00000000 00000b00 00000000 00000000 02000000"), 4000, 3, true,
         ListAudioKind::Interleaved, 3, 2, 50},
        {"interleaved, channel 2 missing from mask 0x0b",
         Head("00000000 aa55ff11 04000000 00000000 00000b00 00000000 00000000 02000000"), 4000, 2, false,
         ListAudioKind::Raw, 1, 0, 50},
        {"unknown kind 3", Head("00000000 aa55ff11 03000000 00000000 00000100 00000000 00000000 02000000"), 4000,
         0, false, ListAudioKind::Raw, 1, 0, 50},
        {"data start past the file",
         Head("00000000 aa55ff11 01000000 00000000 00000100 00000000 00000000 ffffff7f"), 4000, 0, false,
         ListAudioKind::Raw, 1, 0, 0x7fffffffLL + 48},
        {"empty raw file", QByteArray(), 0, 0, false, ListAudioKind::Raw, 1, 0, 0},
    };
    for (const Case& c : cases) {
        const ListAudioFormat f = FrameListAudio::ParseHead(c.head, c.length, c.channel);
        EXPECT_EQ(f.playable, c.playable) << c.name;
        if (!c.playable)
            continue;
        EXPECT_EQ(f.kind, c.kind) << c.name;
        EXPECT_EQ(f.channels, c.channels) << c.name;
        EXPECT_EQ(f.rank, c.rank) << c.name;
        EXPECT_EQ(f.dataStart, c.dataStart) << c.name;
    }
}

TEST(FrameListAudioHead, TheStemIsTheRecordingsLetterAndStartTime)
{
    EXPECT_EQ(FrameListAudio::Stem("x081510.002"), "x081510");
    EXPECT_EQ(FrameListAudio::Stem("s235959.016"), "s235959");
    EXPECT_EQ(FrameListAudio::Stem("x0815.002"), "");
    EXPECT_EQ(FrameListAudio::Stem("noextension"), "");
}

TEST(FrameListAudioSync, EachKindHandsItsSecondInPieces)
{
    const QByteArray kindOne = Head("00000000 aa55ff11 01000000 00000000 00000100 00000000 00000000 02000000");
    const QByteArray kindTwo = Head("00000000 aa55ff11 02000000 00000000 00000f00 00000000 00000000 02000000");
    const QByteArray kindFour = Head("00000000 aa55ff11 04000000 00000000 00000b00 00000000 00000000 02000000");
    struct Case
    {
        const char* name;
        QByteArray head;
        qint64 length;
        int channel;
        int second;
        bool sameSecond;
        QVector<QByteArray> pieces;
        int codec;
    };
    const Case cases[] = {
        {"raw: the second after, in 1000-byte pieces",
         QByteArray(),
         10000,
         0,
         1,
         true,
         {Bytes([](int i) { return 4000 + i; }, 1000), Bytes([](int i) { return 5000 + i; }, 1000)},
         0},
        {"raw: what is left at the file's end",
         QByteArray(),
         9000,
         0,
         3,
         true,
         {Bytes([](int i) { return 8000 + i; }, 1000)},
         0},
        {"raw: past the end nothing", QByteArray(), 9000, 0, 4, true, {}, 0},
        {"one channel: both halves",
         kindOne,
         50 + 3 * 4000,
         0,
         1,
         true,
         {Bytes([](int i) { return 50 + 4000 + i; }, 2000), Bytes([](int i) { return 50 + 6000 + i; }, 2000)},
         1},
        {"one channel: the video moved on, the first half only",
         kindOne,
         50 + 3 * 4000,
         0,
         1,
         false,
         {Bytes([](int i) { return 50 + 4000 + i; }, 2000)},
         1},
        {"one channel: a second cut short plays nothing", kindOne, 50 + 4000 + 1999, 0, 1, true, {}, 1},
        {"four channels: every fourth byte from the channel's place",
         kindTwo,
         50 + 2 * 16000,
         2,
         1,
         true,
         {Bytes([](int i) { return 50 + 16000 + 2 + 4 * qint64(i); }, 2000),
          Bytes([](int i) { return 50 + 16000 + 8000 + 2 + 4 * qint64(i); }, 2000)},
         2},
        {"interleaved: the channel's 512-byte blocks",
         kindFour,
         50 + 3 * 3 * 8000,
         3,
         1,
         true,
         {Bytes(
              [](int i) {
                  const qint64 c = 8000 + i;
                  return 50 + (c / 512 * 3 + 2) * 512 + c % 512;
              },
              4000),
          Bytes(
              [](int i) {
                  const qint64 c = 12000 + i;
                  return 50 + (c / 512 * 3 + 2) * 512 + c % 512;
              },
              4000)},
         4},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        QFile file(dir.path() + "/ax081510.au");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(File(c.head, c.length));
        file.close();
        FrameListAudio audio;
        ASSERT_TRUE(audio.Open(dir.path(), "x081510.004", c.channel)) << c.name;
        EXPECT_EQ(audio.Path(), dir.path() + "/ax081510.au");
        FakeAudioSink sink;
        audio.Sync(c.second, sink, [&] { return c.sameSecond; });
        EXPECT_EQ(sink.blocks, c.pieces) << c.name;
        for (int codec : sink.codecs)
            EXPECT_EQ(codec, c.codec) << c.name;
    }
}

TEST(FrameListAudioSync, TheDotAFileComesFirstAndAMissingFileGivesNoSound)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FrameListAudio audio;
    EXPECT_FALSE(audio.Open(dir.path(), "x081510.002", 1));
    for (const char* name : {"/ax081510.au", "/ax081510.a"}) {
        QFile file(dir.path() + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(File(QByteArray(), 6000));
    }
    ASSERT_TRUE(audio.Open(dir.path(), "x081510.002", 1));
    EXPECT_EQ(audio.Path(), dir.path() + "/ax081510.a");
    audio.Close();
    EXPECT_FALSE(audio.IsOpen());
    FakeAudioSink sink;
    audio.Sync(0, sink, [] { return true; });
    EXPECT_TRUE(sink.blocks.isEmpty());
}
