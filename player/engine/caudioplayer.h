#pragma once
// Decodes an audio block by its type into 16-bit linear samples at 8000 per second and plays it
// through the sound output: G.726 at 2 and 4 bits, G.711 mu-law, unsigned 8-bit and signed 16-bit
// PCM. Only sources read from disk (server id -999) play. Thread-safe: the tile players' reader
// threads and the export call it.
#include "engine/csoundplayer.h"
#include "engine/g726decoder.h"

#include <QByteArray>

#include <memory>
#include <mutex>
#include <vector>

enum class AudioType : int {
    G726_16k = 0,
    G726_32k = 1,
    G726_32kAlt = 2,
    MuLawGathered = 4,
    MuLawRaw = 5,
    Pcm8Unsigned = 6,
    Pcm16Half = 8,
    MuLawBlock = 9,
    Pcm16 = 16,
};

class CAudioPlayer
{
public:
    static constexpr int kOutputBytes = 30000;
    static constexpr int kGatherBytes = 10000;

    // sink outlives the player.
    explicit CAudioPlayer(AudioSink* sink);
    ~CAudioPlayer();

    // Opens the output; 0 when ready, -1 without an output device (the player stays silent).
    int Init();
    bool IsReady() const;
    // Decodes and plays one block. While exportRunning is set, types 4, 6, 8 and 9 are returned
    // decoded (a copy the caller owns) instead of played; otherwise the result is empty. Blocks
    // too short for their type's fixed size are refused; gathered types decode every whole unit
    // and carry the rest.
    QByteArray PlayAudio(int serverId, int camera, const char* data, int length, int type,
                         bool exportRunning = false);
    // Drops queued sound and the gathered rest (seeks, stops, speed changes).
    void Flush();

    CSoundPlayer& Sound() { return *m_sound; }

private:
    // The decoded 16-bit blocks one input block makes (none while a unit is still gathering).
    std::vector<QByteArray> Decode(const char* data, int length, int type);
    QByteArray DecodeTwoBit(const char* data);
    QByteArray DecodeFourBit(const char* data);
    void Play(const QByteArray& decoded, bool firstHalfOnly);

    std::mutex m_lock;
    std::unique_ptr<CSoundPlayer> m_sound;
    G726Decoder m_g726Two;
    G726Decoder m_g726Four;
    QByteArray m_gather;
    QByteArray m_heldBack; // the 2-bit stream's 32 samples carried to the next sub-block
    bool m_ready = false;
};
