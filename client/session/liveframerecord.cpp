#include "session/liveframerecord.h"

#include <cstring>
#include <new>

namespace {
constexpr int kSpareBytes = 16;
} // namespace

void LiveFrameRecord::CopyPayload(const char* source, int bytes)
{
    if (bytes < 1 || !source) {
        payload.reset();
        capacity = 0;
        size = 0;
        return;
    }
    const qint64 needed = qint64(bytes) + kSpareBytes;
    if (!payload || capacity < needed) {
        payload.reset(new (std::nothrow) char[size_t(needed)]);
        capacity = payload ? int(needed) : 0;
    }
    if (!payload) {
        size = 0;
        return;
    }
    std::memcpy(payload.get(), source, size_t(bytes));
    std::memset(payload.get() + bytes, 0, kSpareBytes);
    size = bytes;
}

void LiveFrameRecord::Recycle()
{
    std::unique_ptr<char[]> memory = std::move(payload);
    const int kept = capacity;
    *this = LiveFrameRecord();
    payload = std::move(memory);
    capacity = kept;
}
