#pragma once
// What a playback scheduler serves. The same word tells a queued playback frame where it goes
// (the session's remote playback, or the search pop-ups) and comes back with a frame request
// (plus 3 for a frame into the scheduler's own buffer, plus 6 for a prefetched header block).
enum class SchedulerKind : int {
    Playback = 0,
    Thumbnail = 1, // also the quick search
    Museum = 2,
};
