#include "session/searchstate.h"

#include "session/moduleplayback.h"
#include "session/museumsearchpopup.h"
#include "session/quicksearchpopup.h"
#include "session/thumbnailsearchpopup.h"

SearchState::SearchState() = default;
SearchState::~SearchState() = default;

bool SearchState::IsPlayCode(int step)
{
    return step == -15 || step == -115 || step == -25 || step == -125;
}

PlaybackMode SearchState::PlayCodeMode(int step)
{
    switch (step) {
    case -15: return PlaybackMode::Forward;
    case -115: return PlaybackMode::FastForward;
    case -25: return PlaybackMode::Backward;
    case -125: return PlaybackMode::FastBackward;
    default: return PlaybackMode::Idle;
    }
}

QString SearchState::TimeText(int time)
{
    return QString::asprintf("%02d:%02d:%02d", time / 10000, (time / 100) % 100, time % 100);
}

bool SearchState::AnyOn() const
{
    return museumMode.load() != 0 || thumbnailMode.load() != 0 || quickMode.load() != 0;
}

CModulePlayback* SearchState::Scheduler(Popup popup) const
{
    // Each search's scheduler exists while its pop-up does.
    switch (popup) {
    case Popup::Quick: return QuickSearchPopup::Instance() ? quickScheduler.get() : nullptr;
    case Popup::Museum: return MuseumSearchPopup::Instance() ? museumScheduler.get() : nullptr;
    case Popup::Thumbnail: return ThumbnailSearchPopup::Instance() ? thumbnailScheduler.get() : nullptr;
    }
    return nullptr;
}

std::unique_ptr<CModulePlayback>& SearchState::SchedulerSlot(Popup popup)
{
    return popup == Popup::Museum      ? museumScheduler
           : popup == Popup::Thumbnail ? thumbnailScheduler
                                       : quickScheduler;
}
