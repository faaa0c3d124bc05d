#pragma once
// The order in which "Find" walks the recorder table: from the start slot to the last slot,
// then, when an earlier search had a hit, from slot 0 up to (not including) the slot after that
// hit. Hits come in slot order, not in tree order. Free of widgets.
#include <functional>

class FindOrder
{
public:
    // The first slot in that order that matches, or -1.
    static int Next(int start, int lastFound, int slotCount, const std::function<bool(int)>& matches);
};
