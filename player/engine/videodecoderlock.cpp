#include "engine/videodecoderlock.h"

#include "engine/sizecode.h"
#include "engine/videodecoder.h"

VideoDecoderLock::VideoDecoderLock()
    : m_decoder(std::make_unique<VideoDecoder>())
{}

VideoDecoderLock::~VideoDecoderLock() = default;

int VideoDecoderLock::Init(int width, int height)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_decoder->Init(width, height);
}

void VideoDecoderLock::Free()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_decoder->Free();
}

int VideoDecoderLock::Set(int slot, int setting, int value)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_decoder->Set(slot, setting, value);
}

int VideoDecoderLock::Decode(const uint8_t* frame, int length, uint8_t* output, int outputCapacity, int slot,
                             int layered, int reserved, int filter, int family)
{
    (void)reserved;
    if (length <= 0)
        return SizeCode::kDefault;
    std::lock_guard<std::mutex> guard(m_lock);
    return m_decoder->Decode(frame, length, output, outputCapacity, slot, layered, filter, family);
}
