#include "engine/linedeinterlacer.h"

#include <cstring>

namespace {

// One 16-bit lane of the blend: the decision is taken on the lane's low byte and applied to both
// of its bytes.
inline void BlendLane(const uint8_t* above, const uint8_t* middle, const uint8_t* below, uint8_t* out)
{
    const int a = above[0] >> 1;
    const int m = middle[0] >> 1;
    const int b = below[0] >> 1;
    const int diff = a - b;
    const int square = uint16_t(diff * diff);
    const int16_t d = int16_t(int16_t((a - m) * (b - m)) - int16_t((square >> 12) * 625));
    if (d > 73) {
        out[0] = uint8_t((above[0] >> 1) + (below[0] >> 1));
        out[1] = uint8_t((above[1] >> 1) + (below[1] >> 1));
    } else {
        out[0] = middle[0];
        out[1] = middle[1];
    }
}

void BlendRow(const uint8_t* above, const uint8_t* middle, const uint8_t* below, uint8_t* out, int rowBytes)
{
    const int whole = rowBytes / 8 * 8;
    for (int i = 0; i < whole; i += 2)
        BlendLane(above + i, middle + i, below + i, out + i);
    // Bytes past the last whole group of eight keep the middle row unfiltered.
    std::memcpy(out + whole, middle + whole, size_t(rowBytes - whole));
}

} // namespace

void LineDeinterlacer::FilterRows(const uint8_t* source, uint8_t* target, int rowBytes, int height)
{
    if (!source || !target || rowBytes <= 0 || height <= 0)
        return;
    const size_t row = size_t(rowBytes);
    std::memcpy(target, source, row);
    if (height < 2)
        return;
    std::memcpy(target + row, source + row, row);
    const int half = height / 2;
    for (int k = 1; k <= half - 1; ++k) {
        const uint8_t* above = source + size_t(2 * k - 2) * row;
        const uint8_t* middle = source + size_t(2 * k - 1) * row;
        const uint8_t* below = source + size_t(2 * k) * row;
        BlendRow(above, middle, below, target + size_t(2 * k) * row, rowBytes);
        std::memcpy(target + size_t(2 * k + 1) * row, below, row);
    }
    // An odd height leaves one row the pairs do not reach: it follows the one-row move down.
    if (height % 2 == 1 && height >= 3)
        std::memcpy(target + size_t(height - 1) * row, source + size_t(height - 2) * row, row);
}

void LineDeinterlacer::DeinterlacePicture(uint8_t* picture, int width, int height, int packing)
{
    if (!picture || width <= 0 || height <= 0)
        return;
    const size_t pixels = size_t(width) * size_t(height);
    if (m_packed.size() < pixels * 3) {
        m_packed.assign(pixels * 3, 0);
        m_filtered.assign(pixels * 3, 0);
    }
    uint8_t* packed = m_packed.data();
    for (size_t i = 0; i < pixels; ++i) {
        packed[3 * i] = picture[4 * i + 2];
        packed[3 * i + 1] = picture[4 * i + 1];
        packed[3 * i + 2] = picture[4 * i];
    }
    const int rowBytes = packing == 1 ? 3 * width : 2 * width;
    const int rows = int(pixels * 3 / size_t(rowBytes));
    const int filteredRows = rows < height ? rows : height;
    FilterRows(packed, m_filtered.data(), rowBytes, filteredRows);
    // Narrow packing filters only the front of the copy; the rest goes back unchanged.
    const size_t done = size_t(filteredRows) * size_t(rowBytes);
    std::memcpy(m_filtered.data() + done, packed + done, pixels * 3 - done);
    const uint8_t* filtered = m_filtered.data();
    for (size_t i = 0; i < pixels; ++i) {
        picture[4 * i] = filtered[3 * i + 2];
        picture[4 * i + 1] = filtered[3 * i + 1];
        picture[4 * i + 2] = filtered[3 * i];
        picture[4 * i + 3] = 255;
    }
}
