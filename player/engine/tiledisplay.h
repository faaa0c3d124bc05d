#pragma once
// Where the video engine puts decoded pictures: the tile display draws a 32-bit picture (blue,
// green, red, 255 per pixel, rows top-down, width x height x 4 bytes) with its OSD on a tile.
// The player's tile display implements it; tests give a fake that records what was shown.
#include "engine/liveframe.h"

#include <QRect>

#include <cstdint>
#include <vector>

struct OsdOptions;

// A decoded picture not converted yet: a display scales it straight to its tile, in one
// conversion; Whole() converts it into the tile's 32-bit picture buffer for those that need the
// whole picture (an export, a display without scaling of its own).
class TilePicture
{
public:
    virtual ~TilePicture() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The source rectangle (picture coordinates) scaled to width x height, 32-bit rows of stride
    // bytes, into out; false when it cannot be done (draw from Whole() then).
    virtual bool ScaleInto(const QRect& source, uint8_t* out, int width, int height, int stride) = 0;
    // The whole picture as a 32-bit picture; null when there is none.
    virtual const uint8_t* Whole() = 0;
};

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
    // The same for a picture not converted yet. A display that does not scale it itself draws
    // the whole picture.
    virtual int DisplayPicture(int tile, LiveFrame& frame, TilePicture& picture, int useDirectDraw,
                               int fromDecoder)
    {
        const uint8_t* whole = picture.Whole();
        return whole ? DisplayFrame(tile, frame, whole, useDirectDraw, fromDecoder) : 0;
    }
    // Redraws the listed tiles (all 16 for RedrawAll) from what they last showed.
    virtual void RedrawCameos(const std::vector<int>& tiles) = 0;
    // The engine's OSD options, for the texts drawn over every tile from the next drawing on. A
    // display that draws no OSD has nothing to take.
    virtual void SetOsdOptions(const OsdOptions& options) { (void)options; }
};
