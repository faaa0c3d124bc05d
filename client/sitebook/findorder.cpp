#include "sitebook/findorder.h"

#include <algorithm>

int FindOrder::Next(int start, int lastFound, int slotCount, const std::function<bool(int)>& matches)
{
    for (int slot = std::max(0, start); slot < slotCount; ++slot) {
        if (matches(slot))
            return slot;
    }
    if (lastFound > 0) {
        for (int slot = 0; slot < std::min(lastFound, slotCount); ++slot) {
            if (matches(slot))
                return slot;
        }
    }
    return -1;
}
