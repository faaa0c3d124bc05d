#include "engine/liveframe.h"

#include <cstring>
#include <new>

LiveFrame::LiveFrame()
    : data(MakeZeroedBuffer(kLiveFrameCapacity))
{
    if (!data)
        throw std::bad_alloc();
}

LiveFrame::LiveFrame(const LiveFrame& other)
    : LiveFrame()
{
    *this = other;
}

LiveFrame& LiveFrame::operator=(const LiveFrame& other)
{
    if (this == &other)
        return *this;
    serverId = other.serverId;
    camera = other.camera;
    date = other.date;
    time = other.time;
    arrival = other.arrival;
    frameType = other.frameType;
    fieldHint = other.fieldHint;
    width = other.width;
    height = other.height;
    length = other.length;
    noDisplay = other.noDisplay;
    mark = other.mark;
    interval = other.interval;
    keyGroup = other.keyGroup;
    codec = other.codec;
    // Only the bytes in use travel; the rest of a record is never read.
    const int used = length < 0 ? 0 : (length > kLiveFrameCapacity ? kLiveFrameCapacity : length);
    std::memcpy(data.get(), other.data.get(), size_t(used));
    return *this;
}

void LiveFrame::Clear()
{
    serverId = kNoServerId;
    camera = kNoServerId;
    date = 0;
    time = 0;
    arrival = 0;
    frameType = 0;
    fieldHint = 0;
    width = 336;
    height = 224;
    length = 0;
    noDisplay = 0;
    mark = -1;
    interval = -1;
    keyGroup = 0;
    codec = FrameCodec::Own;
}
