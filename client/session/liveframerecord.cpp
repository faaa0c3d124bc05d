#include "session/liveframerecord.h"

#include <cstring>
#include <new>

void LiveFrameRecord::CopyPayload(const char* source, int bytes)
{
    payload.reset();
    if (bytes < 1 || !source) {
        size = 0;
        return;
    }
    payload.reset(new (std::nothrow) char[size_t(bytes) + 16]);
    if (!payload) {
        size = 0;
        return;
    }
    std::memcpy(payload.get(), source, size_t(bytes));
    std::memset(payload.get() + bytes, 0, 16);
    size = bytes;
}
