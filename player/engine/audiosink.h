#pragma once
// Where decoded 16-bit mono audio at 8000 samples per second goes: a sound device, or in tests a
// fake that records what it was given and when.
#include <QByteArray>

class AudioSink
{
public:
    virtual ~AudioSink() = default;
    // Opens the device; false when there is none (a normal state: the player stays silent).
    virtual bool Open(int samplesPerSecond, int bitsPerSample) = 0;
    // Plays one block of 16-bit linear samples (little-endian).
    virtual void PlayBlock(const QByteArray& block) = 0;
    // Plays raw G.711 mu-law bytes.
    virtual void PlayMuLaw(const QByteArray& bytes) = 0;
    // Drops whatever was handed over and not yet played.
    virtual void Stop() = 0;
};
