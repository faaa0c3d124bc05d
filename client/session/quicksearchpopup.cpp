#include "session/quicksearchpopup.h"

#include <atomic>

namespace {
// Read by the session threads.
std::atomic<QuickSearchPopup*> g_popup{nullptr};
} // namespace

QuickSearchPopup* QuickSearchPopup::Instance()
{
    return g_popup.load();
}

void QuickSearchPopup::Install(QuickSearchPopup* popup)
{
    g_popup.store(popup);
}
