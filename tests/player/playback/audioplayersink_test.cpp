// The tile players' audio sink over the player's audio player: blocks read from disk are taken
// (recorder id -999) and wait in the sound output, and a flush drops them.
#include "playback/audioplayersink.h"

#include "engine/audiosink.h"
#include "engine/caudioplayer.h"

#include <gtest/gtest.h>

namespace {

class Device : public AudioSink
{
public:
    bool Open(int, int) override { return true; }
    void PlayBlock(const QByteArray&) override { ++blocks; }
    void PlayMuLaw(const QByteArray&) override { ++blocks; }
    void Stop() override {}
    int blocks = 0;
};

} // namespace

TEST(AudioPlayerSink, BlocksWaitAndFlushDropsThem)
{
    Device device;
    CAudioPlayer player(&device);
    ASSERT_EQ(player.Init(), 0);
    AudioPlayerSink sink(player);
    EXPECT_EQ(sink.PendingBlocks(), 0);
    const QByteArray half(4000, '\x10');
    sink.PlayAudio(reinterpret_cast<const quint8*>(half.constData()), half.size(), 6);
    sink.PlayAudio(reinterpret_cast<const quint8*>(half.constData()), half.size(), 6);
    EXPECT_GT(sink.PendingBlocks() + device.blocks, 0);
    sink.PlayAudio(nullptr, 4000, 6); // nothing to play
    sink.Flush();
    EXPECT_EQ(sink.PendingBlocks(), 0);
}
