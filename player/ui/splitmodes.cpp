#include "ui/splitmodes.h"

namespace {
constexpr int kTiles[] = {1, 4, 6, 7, 9, 10, 13, 16, 25, 36, 49, 64};
constexpr int kCodes = 12;
} // namespace

int SplitModes::TileCount(int code)
{
    return code >= 0 && code < kCodes ? kTiles[code] : 1;
}

int SplitModes::CodeOfButton(int id, LayoutOwner owner)
{
    for (int code = 0; code < kCodes; ++code) {
        if (kButtonIds[code] != id)
            continue;
        if (code >= 9 && owner == LayoutOwner::MainDialog)
            return -1;
        return code;
    }
    return -1;
}

int SplitModes::ButtonOfCode(int code)
{
    return code >= 0 && code < kCodes ? kButtonIds[code] : -1;
}
