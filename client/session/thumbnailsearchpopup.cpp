#include "session/thumbnailsearchpopup.h"

#include <atomic>

namespace {
// Read by the session threads.
std::atomic<ThumbnailSearchPopup*> g_popup{nullptr};
} // namespace

ThumbnailSearchPopup* ThumbnailSearchPopup::Instance()
{
    return g_popup.load();
}

void ThumbnailSearchPopup::Install(ThumbnailSearchPopup* popup)
{
    g_popup.store(popup);
}
