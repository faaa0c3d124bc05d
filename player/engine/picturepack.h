#pragma once
// The engine's 24- to 32-bit step: red, green, blue rows into blue, green, red, 255 rows, each
// component through the tile's brightness and contrast, two stacked fields woven on request.
#include <cstdint>

struct PictureAdjust
{
    int brightness = 0;
    int contrast = 0; // gain in 1/128 steps added to 1

    bool IsNeutral() const { return brightness == 0 && contrast == 0; }
    // table[c] = c + brightness + (contrast x c) / 128, limited to 0..255.
    void Table(uint8_t table[256]) const;
};

// Woven: the first half's rows become the even rows, the second half's the odd ones.
void PackPicture(const uint8_t* rgb, int width, int height, uint8_t* bgra, bool weave,
                 const PictureAdjust& adjust);
