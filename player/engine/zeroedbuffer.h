#pragma once
// A large zeroed byte buffer taken from the system's zero pages: only the parts written ever
// become resident, so a 2560 x 1440 picture buffer that holds a D1 picture costs the D1 picture.
// Large buffers are mapped directly rather than taken with calloc: once a mapped block has been
// freed, the C library serves blocks of that size from its heap and clears every byte of them,
// which makes the whole buffer resident and costs a pass over it at every allocation.
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

struct ZeroedBufferDeleter
{
    size_t mappedBytes = 0; // 0: the buffer came from calloc

    void operator()(uint8_t* bytes) const
    {
        if (!bytes)
            return;
        if (mappedBytes > 0)
            munmap(bytes, mappedBytes);
        else
            std::free(bytes);
    }
};

using ZeroedBuffer = std::unique_ptr<uint8_t[], ZeroedBufferDeleter>;

// From this size on a buffer is mapped (smaller ones come from calloc as usual).
constexpr size_t kZeroedBufferMapFrom = size_t(256) * 1024;

// Null when the memory is not there.
inline ZeroedBuffer MakeZeroedBuffer(size_t bytes)
{
    if (bytes < kZeroedBufferMapFrom)
        return ZeroedBuffer(static_cast<uint8_t*>(std::calloc(bytes, 1)));
    void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return ZeroedBuffer();
    return ZeroedBuffer(static_cast<uint8_t*>(mapped), ZeroedBufferDeleter{bytes});
}
