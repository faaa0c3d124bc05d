#pragma once
// What a recorder session keeps of its museum, thumbnail and quick searches, read by the search
// threads as well as the user-interface thread: which search runs, what the museum or thumbnail
// pop-up answered to its last picture, each pop-up's scheduler, the search a pop-up hands to the
// next one it opens, and the museum search's wait for its day index.
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <memory>

#include "session/playbackmode.h"

class CModulePlayback;

struct SearchState
{
    // The search pop-ups, each with a scheduler of its own.
    enum class Popup { Museum, Thumbnail, Quick };
    // Delays that mark a frame queued while a search pop-up walks rather than plays.
    static constexpr int kMuseumWalkDelay = -222;
    static constexpr int kThumbnailWalkDelay = -111;
    // The search step after a decode-only frame: the next frame of the batch.
    static constexpr int kStepNextFrame = -2;

    SearchState();
    ~SearchState();
    SearchState(const SearchState&) = delete;
    SearchState& operator=(const SearchState&) = delete;

    // The pop-up's answers that keep it playing in a mode (-15, -115, -25, -125), and the mode.
    static bool IsPlayCode(int step);
    static PlaybackMode PlayCodeMode(int step);

    // "hh:mm:ss" of a time HHMMSS, as the search pop-ups show it.
    static QString TimeText(int time);

    bool AnyOn() const;
    // The search's scheduler while its pop-up exists, else null.
    CModulePlayback* Scheduler(Popup popup) const;
    // Where the search's scheduler is kept (made at the search's first use).
    std::unique_ptr<CModulePlayback>& SchedulerSlot(Popup popup);

    std::atomic<quint8> museumMode{0};
    std::atomic<quint8> thumbnailMode{0};
    std::atomic<quint8> quickMode{0};
    // What the museum or thumbnail pop-up answered to the last searched picture: the time to
    // fetch next (0 or more), a play code, kStepNextFrame after a decode-only frame.
    std::atomic<int> step{-1};
    // While the museum search's day index is on its way, a play request waits for it: the
    // index's arrival starts the search at the time asked for (-1: none asked).
    bool museumIndexAwaited = false;
    int museumAwaitedTime = -1;
    // The channel, date and time a search pop-up hands to the next search it opens.
    int savedChannel = -1;
    int savedDate = 0;
    int savedTime = 0;

    std::unique_ptr<CModulePlayback> quickScheduler;
    std::unique_ptr<CModulePlayback> museumScheduler;
    std::unique_ptr<CModulePlayback> thumbnailScheduler;
};
