#pragma once
// Which part of a decoded picture a tile shows: the multi-tile reduction of double-width pictures,
// the zoomed window at the tile's pan offsets, and the crop of the borders that analogue captures
// carry. Widget-free.
#include <QRect>

class TileSourceRect
{
public:
    // Pictures this wide carry no capture border and are never cropped.
    static constexpr int kCifWidth = 336;
    static constexpr int kTwoCifWidth = 672;
    static constexpr int kMultiTileMaxHeight = 272;

    // In a layout of more than one tile a double-width picture is shown from its left half and at
    // most 272 lines of its first field.
    static void ApplyMultiTileRule(int layoutCode, int* width, int* height);
    // The source rectangle (top-down rows) for a picture of the given size at zoom and pan. A pan
    // that would run past the picture's right or bottom edge is moved back, and the moved value is
    // written back through the pointers so that the tile keeps it.
    static QRect Compute(int width, int height, float zoom, int* panX, int* panY);
};
