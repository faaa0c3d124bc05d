#pragma once
// Live frame records cut from a test stream, as a recorder numbers them.
#include <vector>

#include "common/support/decoder_streams.h"
#include "session/liveframerecord.h"

// Records `from` to `from + count - 1` of a libx264 stream with a key frame every 10 frames, for
// channel `ch`: every tenth a key frame, sequences counting 0 to 9 from it.
std::vector<LiveFrameRecordPtr> StreamRecords(const decoder_streams::Stream& stream, int ch, int from, int count);
