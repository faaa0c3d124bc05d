#include "playback/audioplayersink.h"

#include "engine/caudioplayer.h"

AudioPlayerSink::AudioPlayerSink(CAudioPlayer& player)
    : m_player(player)
{}

void AudioPlayerSink::PlayAudio(const quint8* data, int length, int codec)
{
    if (!data || length <= 0)
        return;
    m_player.PlayAudio(-999, 0, reinterpret_cast<const char*>(data), length, codec);
}

void AudioPlayerSink::Flush()
{
    m_player.Flush();
}

int AudioPlayerSink::PendingBlocks() const
{
    return m_player.Sound().WaitingBlocks();
}
