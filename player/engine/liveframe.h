#pragma once
// One compressed frame on its way from a tile player to a tile: the record the engine's pool hands
// out, the hold and display queues carry and each tile keeps as its last frame.
#include <cstdint>
#include <memory>

#include "engine/zeroedbuffer.h"

// Largest compressed frame a record holds.
constexpr int kLiveFrameCapacity = 1240000;
// Source id of a tile that plays a file from disk; -1 marks no source.
constexpr int kFileServerId = -999;
constexpr int kNoServerId = -1;
// Play-state mark of a frame that carries no data ("No Data" on the tile).
constexpr int kMarkNoData = 99;

enum class FrameCodec : int32_t {
    Own = 0,  // the engine's own block-transform decoder
    H264 = 1, // H.264 through the decoder library
};

struct LiveFrame
{
    LiveFrame();
    LiveFrame(const LiveFrame& other);
    LiveFrame& operator=(const LiveFrame& other);

    // Ids -1, size 336 x 224, mark -1, no data.
    void Clear();
    const uint8_t* Data() const { return data.get(); }
    uint8_t* Data() { return data.get(); }

    int32_t serverId = kNoServerId;
    int32_t camera = kNoServerId;
    int32_t date = 0; // YYYYMMDD
    int32_t time = 0; // HHMMSS
    uint32_t arrival = 0;
    // 1 key frame; 2 not decoded (the tile's picture is shown again with this frame's texts);
    // anything else a delta frame.
    uint8_t frameType = 0;
    int32_t fieldHint = 0;
    int32_t width = 336;
    int32_t height = 224;
    int32_t length = 0;
    int32_t noDisplay = 0;
    int32_t mark = -1;
    int32_t interval = -1;
    int32_t keyGroup = 0;
    FrameCodec codec = FrameCodec::Own;

private:
    ZeroedBuffer data; // kLiveFrameCapacity bytes
};
