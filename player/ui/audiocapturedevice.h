#pragma once
// The sound input the microphone capture records from: the system's default input in the
// program, a fake in tests (which run without sound devices).
#include <functional>

#include <QByteArray>

class AudioCaptureDevice
{
public:
    virtual ~AudioCaptureDevice() = default;
    // Capture is for talk-back, so it needs an output device as well.
    virtual bool HasOutputDevice() const = 0;
    // Opens the default input for mono PCM at the given rate and sample size.
    virtual bool Open(int samplesPerSecond, int bitsPerSample) = 0;
    // Starts recording into blocks of `blockBytes`; each full block goes to `onBlock`. False
    // when the input cannot take the buffer.
    virtual bool Start(int blockBytes, std::function<void(const QByteArray&)> onBlock) = 0;
    virtual void Stop() = 0;
};
