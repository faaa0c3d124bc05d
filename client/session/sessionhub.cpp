#include "session/sessionhub.h"

#include <atomic>

namespace {
std::atomic<SessionHub*> g_sessionHub{nullptr};
}

SessionHub* SessionHub::Instance()
{
    return g_sessionHub.load();
}

void SessionHub::Install(SessionHub* hub)
{
    g_sessionHub.store(hub);
    HubServices::Install(hub);
}
