#include "sitebook/sitebookhub.h"

#include <atomic>

namespace {
std::atomic<SiteBookHub*> g_siteBookHub{nullptr};
}

SiteBookHub* SiteBookHub::Instance()
{
    return g_siteBookHub.load();
}

void SiteBookHub::Install(SiteBookHub* hub)
{
    g_siteBookHub.store(hub);
}
