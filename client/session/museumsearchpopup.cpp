#include "session/museumsearchpopup.h"

#include <atomic>

namespace {
// Read by the session threads.
std::atomic<MuseumSearchPopup*> g_popup{nullptr};
} // namespace

MuseumSearchPopup* MuseumSearchPopup::Instance()
{
    return g_popup.load();
}

void MuseumSearchPopup::Install(MuseumSearchPopup* popup)
{
    g_popup.store(popup);
}
