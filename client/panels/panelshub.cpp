#include "panels/panelshub.h"

#include <atomic>

namespace {
std::atomic<PanelsHub*> g_panelsHub{nullptr};
}

PanelsHub* PanelsHub::Instance()
{
    return g_panelsHub.load();
}

void PanelsHub::Install(PanelsHub* hub)
{
    g_panelsHub.store(hub);
}
