#pragma once
// The frame sink of the tile engines while no video engine is attached: frames are taken and
// dropped, decodes make no picture. The tiles then show their empty picture.
#include "playback/playbackframesink.h"

class IdleFrameSink : public PlaybackFrameSink
{
public:
    int DecodeFrame(int, const quint8*, int, int, int) override { return 0; }
    void DisplayFrame(const ShownFrame&) override {}
    void SetPlayState(int, int) override {}
    void AddLiveData(const QueuedFrame&) override {}
};
