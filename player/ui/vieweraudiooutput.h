#pragma once
// The sound of the tiles' recordings: the audio player over the default sound device. A machine
// without a sound device is a normal state: the blocks are then dropped and the player stays
// silent.
#include "playback/playbackaudiosink.h"

#include <memory>

class AudioPlayerSink;
class CAudioPlayer;
class QtAudioSink;

class ViewerAudioOutput : public PlaybackAudioSink
{
public:
    // Opens the default sound device; made on the user-interface thread, whose event loop paces
    // the sound output.
    ViewerAudioOutput();
    ~ViewerAudioOutput() override;

    bool IsReady() const;

    // PlaybackAudioSink, from the tiles' reader and play threads.
    void PlayAudio(const quint8* data, int length, int codec) override;
    void Flush() override;
    int PendingBlocks() const override;

private:
    std::unique_ptr<QtAudioSink> m_device;
    std::unique_ptr<CAudioPlayer> m_player;
    std::unique_ptr<AudioPlayerSink> m_sink;
};
