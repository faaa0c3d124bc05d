#include "session/playbackslot.h"

#include "session/moduleplayback.h"
#include "session/sessionthread.h"

PlaybackSlot::PlaybackSlot() = default;
PlaybackSlot::~PlaybackSlot() = default;
