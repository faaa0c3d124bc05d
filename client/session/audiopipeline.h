#pragma once
// One sound path of a recorder session (the live sound, or the playback stream's): the queue
// between the intake and the sound thread, the lock the queue is built around, and the thread.
#include <QMutex>

#include <memory>

#include "session/liveframequeue.h"

class SessionThread;

struct AudioPipeline
{
    // The sound threads' gathering buffers and the sizes they hand on at once.
    static constexpr int kAudioBufferSize = 9000;
    static constexpr int kAudioFlushBytes = 4000;
    static constexpr int kSearchAudioFlushBytes = 8000;

    explicit AudioPipeline(const char* name);
    ~AudioPipeline();
    AudioPipeline(const AudioPipeline&) = delete;
    AudioPipeline& operator=(const AudioPipeline&) = delete;

    // Declared before the thread, which takes from the queue.
    QMutex lock;
    LiveFrameQueue queue;
    std::unique_ptr<SessionThread> thread;
};
