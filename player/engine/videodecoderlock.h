#pragma once
// The engine's own block-transform decoder behind its one lock: every decode and setting change
// of the engine goes through here, so decoding is serialised across tiles.
#include <cstdint>
#include <memory>
#include <mutex>

class VideoDecoder;

class VideoDecoderLock
{
public:
    VideoDecoderLock();
    ~VideoDecoderLock();

    int Init(int width, int height);
    void Free();
    int Set(int slot, int setting, int value);
    // A length of 0 or less gives 336224 at once; otherwise the decode under the lock. output may
    // be null (nothing converted); outputCapacity bounds what is written.
    int Decode(const uint8_t* frame, int length, uint8_t* output, int outputCapacity, int slot, int layered,
               int reserved, int filter, int family);

private:
    std::mutex m_lock;
    std::unique_ptr<VideoDecoder> m_decoder;
};
