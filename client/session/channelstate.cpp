#include "session/channelstate.h"

#include "common/media/moduledecoder.h"
#include "session/livedecodeworker.h"
#include "session/sessiondefaults.h"
#include "session/sessionthread.h"

ChannelState::ChannelState()
    : liveQueue(liveQueueLock, "live", LiveFrameQueue::kLiveByteBound)
    , liveRate(SessionDefaults::kDefaultRate)
    , playbackRate(SessionDefaults::kDefaultRate)
{}
ChannelState::~ChannelState() = default;
