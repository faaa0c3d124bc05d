#include "ui/vieweraudiooutput.h"
#include "ui/uilog.h"

#include "engine/caudioplayer.h"
#include "engine/qtaudiosink.h"
#include "playback/audioplayersink.h"

ViewerAudioOutput::ViewerAudioOutput()
    : m_device(std::make_unique<QtAudioSink>())
    , m_player(std::make_unique<CAudioPlayer>(m_device.get()))
    , m_sink(std::make_unique<AudioPlayerSink>(*m_player))
{
    if (m_player->Init() != 0)
        qCDebug(lcPlayerUi) << "no sound device: recordings play without sound";
}

// The player stops its sound output before the device it writes to goes.
ViewerAudioOutput::~ViewerAudioOutput()
{
    m_sink.reset();
    m_player.reset();
}

bool ViewerAudioOutput::IsReady() const
{
    return m_player->IsReady();
}

void ViewerAudioOutput::PlayAudio(const quint8* data, int length, int codec)
{
    qCDebug(lcPlayerUi, "sound block: %d bytes, codec %d", length, codec);
    m_sink->PlayAudio(data, length, codec);
}

void ViewerAudioOutput::Flush()
{
    m_sink->Flush();
}

int ViewerAudioOutput::PendingBlocks() const
{
    return m_sink->PendingBlocks();
}
