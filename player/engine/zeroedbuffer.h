#pragma once
// A large zeroed byte buffer taken from the system's zero pages: only the parts written ever
// become resident, so a 2560 x 1440 picture buffer that holds a D1 picture costs the D1 picture.
#include <cstdint>
#include <cstdlib>
#include <memory>

struct FreeDeleter
{
    void operator()(uint8_t* bytes) const { std::free(bytes); }
};

using ZeroedBuffer = std::unique_ptr<uint8_t[], FreeDeleter>;

// Null when the memory is not there.
inline ZeroedBuffer MakeZeroedBuffer(size_t bytes)
{
    return ZeroedBuffer(static_cast<uint8_t*>(std::calloc(bytes, 1)));
}
