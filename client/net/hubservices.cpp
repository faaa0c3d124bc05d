#include "net/hubservices.h"

#include <atomic>

namespace {
std::atomic<HubServices*> g_hub{nullptr};
}

HubServices* HubServices::Instance()
{
    return g_hub.load();
}

void HubServices::Install(HubServices* hub)
{
    g_hub.store(hub);
}
