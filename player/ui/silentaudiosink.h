#pragma once
// The audio sink of the tile engines while no audio output is attached: blocks are dropped.
#include "playback/playbackaudiosink.h"

class SilentAudioSink : public PlaybackAudioSink
{
public:
    void PlayAudio(const quint8*, int, int) override {}
    void Flush() override {}
    int PendingBlocks() const override { return 0; }
};
