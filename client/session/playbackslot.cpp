#include "session/playbackslot.h"

#include "session/moduleplayback.h"
#include "session/sessiondefaults.h"
#include "session/sessionthread.h"

PlaybackSlot::PlaybackSlot()
    : queue(queueLock, "playback")
    , rate(SessionDefaults::kDefaultRate)
{}
PlaybackSlot::~PlaybackSlot() = default;
