#include "session/audiopipeline.h"

#include "session/sessionthread.h"

AudioPipeline::AudioPipeline(const char* name)
    : queue(lock, name)
{}

AudioPipeline::~AudioPipeline() = default;
