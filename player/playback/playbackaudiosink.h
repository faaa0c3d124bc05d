#pragma once
// The player's audio output as a tile's audio readers see it. Called from reader threads.
#include <QtGlobal>

class PlaybackAudioSink
{
public:
    virtual ~PlaybackAudioSink() = default;
    // One block of a recording's audio, recorder id -999, codec number of the audio output.
    virtual void PlayAudio(const quint8* data, int length, int codec) = 0;
    // Drops what waits to be played.
    virtual void Flush() = 0;
    // Blocks waiting in the sound output's play list.
    virtual int PendingBlocks() const = 0;
};
