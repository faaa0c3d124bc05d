#include "shell/gridhost.h"

#include <atomic>

namespace {
std::atomic<GridHost*> g_host{nullptr};
} // namespace

GridHost* GridHost::Instance()
{
    return g_host.load();
}

void GridHost::Install(GridHost* host)
{
    g_host.store(host);
}
