#pragma once
// The line deinterlacer for 480-line pictures whose two fields comb where they differ: moves the
// picture down one row and blends each odd source row with its neighbours where they disagree.
// Each instance has its own work buffers, so tiles deinterlace at the same time safely.
#include <cstdint>
#include <vector>

class LineDeinterlacer
{
public:
    // Deinterlaces a 32-bit picture (blue, green, red, 255; rows packed) in place; packing 1
    // filters rows of 3 x width bytes, else 2 x width.
    void DeinterlacePicture(uint8_t* picture, int width, int height, int packing);

    // The row filter on packed rows of rowBytes bytes (exposed for its tests).
    static void FilterRows(const uint8_t* source, uint8_t* target, int rowBytes, int height);

private:
    std::vector<uint8_t> m_packed;
    std::vector<uint8_t> m_filtered;
};
