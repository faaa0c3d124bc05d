#include "session/channelstate.h"

#include "common/media/moduledecoder.h"
#include "session/livedecodeworker.h"
#include "session/sessionthread.h"

ChannelState::ChannelState() = default;
ChannelState::~ChannelState() = default;
