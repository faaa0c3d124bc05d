#pragma once
// One tile of the player's sixteen-tile grid: where its picture comes from and how it is shown.
#include <QString>
#include <cstdint>

// Source id of a tile that plays a file from disk, and of a tile without a source.
constexpr int kFileSourceId = -999;
constexpr int kNoSourceId = -1;
constexpr int kCameoCount = 16;

struct CameoItem
{
    int index = 0;
    int assigned = 0;
    int visible = 0;
    // The engine's own decoder waits for a key frame before it shows this tile again.
    int restart = 1;
    int serverId = kNoSourceId;
    int camera = -1;
    int sourceId = kNoSourceId;
    int channel = -1;
    int streaming = 0;
    int frameRate = 15;
    int adjust1 = 0;
    int adjust2 = 0;
    int adjust3 = 0;
    float zoom = 1.0f;
    int panX = 0;
    int panY = 0;
    // 0 off, 1 start at the next key frame, 2 recording.
    int liveRecordState = 0;
    uint32_t recordTick = 0;
    int recordTime = 0;
    int recordDate = 0;
    QString recordPath;
    int fileTile = 0;

    // Back to the empty state, keeping the tile's own number.
    void Reset(int tileIndex);
    bool IsEmpty() const { return assigned == 0; }
};

inline bool IsCameoIndex(int tile)
{
    return tile >= 0 && tile < kCameoCount;
}
