#include "sitebook/pushconnectlist.h"

void PushConnectList::Queue(int slot)
{
    m_pairs.emplace_back(slot, m_running);
    m_running += kStep;
}

std::vector<std::pair<int, int>> PushConnectList::Take()
{
    std::vector<std::pair<int, int>> taken;
    taken.swap(m_pairs);
    m_running = kFirstCode;
    return taken;
}
