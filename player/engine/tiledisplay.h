#pragma once
// Where the video engine puts decoded pictures: the tile display draws a 32-bit picture (blue,
// green, red, 255 per pixel, rows top-down, width x height x 4 bytes) with its OSD on a tile.
// The player's tile display implements it; tests give a fake that records what was shown.
#include "engine/liveframe.h"

#include <cstdint>
#include <vector>

class TileDisplay
{
public:
    virtual ~TileDisplay() = default;

    // Draws the picture of frame (its width and height) on the tile; frame may be changed (the
    // multi-tile size rule). useDirectDraw as HPLiveControl::IsDirectDraw; fromDecoder 1 from
    // the display thread, 0 from redraws. May run on any thread: the display hands the picture
    // to the user-interface thread itself. Result 0.
    virtual int DisplayFrame(int tile, LiveFrame& frame, const uint8_t* picture, int useDirectDraw,
                             int fromDecoder) = 0;
    // Redraws the listed tiles (all 16 for RedrawAll) from what they last showed.
    virtual void RedrawCameos(const std::vector<int>& tiles) = 0;
};
