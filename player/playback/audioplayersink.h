#pragma once
// The tile players' audio sink over the player's audio player: every block is played as read
// from disk (recorder id -999, camera 0), flushes drop what waits, and the backlog is the sound
// output's list of waiting blocks.
#include "playback/playbackaudiosink.h"

class CAudioPlayer;

class AudioPlayerSink : public PlaybackAudioSink
{
public:
    explicit AudioPlayerSink(CAudioPlayer& player);

    void PlayAudio(const quint8* data, int length, int codec) override;
    void Flush() override;
    int PendingBlocks() const override;

private:
    CAudioPlayer& m_player;
};
