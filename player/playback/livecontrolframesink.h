#pragma once
// The tile players' frame sink over the player's video engine: direct decodes into the tile's
// picture buffer, shown through the engine and kept as the tile's last frame, and queued frames
// for the engine's display thread. Calls for one tile come from one thread at a time (the tile's
// worker or the user-interface thread while the worker is stopped).
#include "playback/playbackframesink.h"

#include "engine/liveframe.h"

#include <array>
#include <memory>

class HPLiveControl;

class LiveControlFrameSink : public PlaybackFrameSink
{
public:
    static constexpr int kTiles = 16;

    explicit LiveControlFrameSink(HPLiveControl& engine);
    ~LiveControlFrameSink() override;

    int DecodeFrame(int tile, quint8* data, int length, int mode, int notCurrentKey) override;
    void DisplayFrame(const ShownFrame& frame) override;
    void SetPlayState(int tile, int playState) override;
    void AddLiveData(const QueuedFrame& frame) override;

private:
    HPLiveControl& m_engine;
    // Each tile's own frame record: what it decoded last, kept as its last frame when shown.
    std::array<std::unique_ptr<LiveFrame>, kTiles> m_frames;
};
