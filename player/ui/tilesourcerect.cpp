#include "ui/tilesourcerect.h"

#include <algorithm>
#include <cmath>

void TileSourceRect::ApplyMultiTileRule(int layoutCode, int* width, int* height)
{
    if (layoutCode == 0 || *width != kTwoCifWidth) {
        return;
    }
    *width = kCifWidth;
    if (*height > kMultiTileMaxHeight) {
        *height = std::min(*height / 2, kMultiTileMaxHeight);
    }
}

QRect TileSourceRect::Compute(int width, int height, float zoom, int* panX, int* panY)
{
    if (width <= 0 || height <= 0) {
        return QRect();
    }
    int left = 0;
    int top = 0;
    int right = width;
    int bottom = height;
    if (zoom > 1.0f) {
        const float visibleWidth = static_cast<float>(width) / zoom;
        const float visibleHeight = static_cast<float>(height) / zoom;
        *panX = std::max(0, *panX);
        *panY = std::max(0, *panY);
        left = *panX;
        top = *panY;
        right = left + static_cast<int>(std::lround(visibleWidth));
        bottom = top + static_cast<int>(std::lround(visibleHeight));
        if (right > width) {
            const int excess = right - width;
            left -= excess;
            *panX -= excess;
            right = width;
        }
        if (bottom > height) {
            const int excess = bottom - height;
            top -= excess;
            *panY -= excess;
            bottom = height;
        }
    }
    if (width != kCifWidth && width != kTwoCifWidth) {
        left += 2;
        top += 2;
        right -= 14;
        if (height == 576 || height == 288) {
            left += 2;
            top += 7;
            bottom -= 7;
        }
    }
    // A picture too small for its crop is shown whole rather than from an empty or inverted area.
    if (right <= left || bottom <= top) {
        return QRect(0, 0, width, height);
    }
    return QRect(left, top, right - left, bottom - top);
}
