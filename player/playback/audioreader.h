#pragma once
// The audio readers of a tile: the reader thread of forward play ("a0".."a3" files of client
// recordings, audio blocks of recorder backup media), the one-second audio step of "ah"
// recordings, and the read of one second for export. Audio goes to the audio output in halves of
// 4000 bytes (16,000-byte seconds of 16-bit audio in quarters).
//
// Lengths from the files are bounded before any copy: a block longer than the largest audio
// block kind is skipped, a channel's part is taken only when it lies inside its block, and the
// accumulation buffer has room for the most one second of blocks can add.
#include "playback/stopsignal.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

class PlaybackAudioSink;
class PlaybackClock;
struct TileState;

// How one audio block of recorder media holds its 16 channels.
struct AudioBlockLayout
{
    int codec = 9;
    int head = 4;
    int stride = 324;
    int taken = 320;
};

class AudioReader
{
public:
    static constexpr int kSecondBytes = 8000;
    static constexpr int kHalf = 4000;
    static constexpr int kMaxBlockLength = 16416;
    static constexpr int kHeadersPerSecond = 33;
    // The fill left from one second (below 8000) plus what 33 blocks can add.
    static constexpr int kFillCapacity = kSecondBytes + kHeadersPerSecond * 1024;

    AudioReader(TileState& tile, PlaybackAudioSink& sink, PlaybackClock& clock);
    ~AudioReader();
    AudioReader(const AudioReader&) = delete;
    AudioReader& operator=(const AudioReader&) = delete;

    // Starts the tile's audio at its current second (audio-on 2); refused without a source.
    bool StartAudio();
    // Stops the audio (audio-on 1) and waits for the reader to end.
    void WaitReady();
    // Ends the reader and the audio step.
    void Stop();
    void Flush();
    void ClearFill();
    // Forward play reached a new second: audio kinds played a second at a time start it.
    void PlayAudioSecond(const QString& timeText);
    // Video lies more than 500 ms behind the audio that was handed on.
    bool VideoBehind() const;

    static AudioBlockLayout BlockLayout(int blockLength);
    // Appends the channel's part of a block to fill (bounded by its capacity); false when the
    // part does not lie inside the block or the fill has no room.
    static bool AppendChannel(const QByteArray& block, int channel, std::vector<quint8>& fill, int& fillCount);
    // True when the block's first word marks byte-reversed words.
    static bool BlockSwapped(const QByteArray& block);
    static void MakeSigned(quint8* data, int length);
    // Bytes per second and codec of the client audio kinds.
    static int BytesPerSecond(int kind);
    static int CodecOfKind(int kind);

private:
    void ReaderLoop(int second);
    bool ClientSecondLoop(int second);
    bool MediaSecondLoop(int second);
    bool ReadMediaSecond(int second, int& codec);
    void StepSecond(int second, bool stepped, bool large);
    void StepChannelFiles(qint64 start, int second);
    bool Playing() const;
    void Hand(const quint8* data, int length, int codec);
    void JoinThread();
    void StopLocked();

    TileState& m_tile;
    PlaybackAudioSink& m_sink;
    PlaybackClock& m_clock;
    StopSignal m_stop;
    // The user-interface thread (audio on and off) and the play thread (a new second) both start
    // and stop the reader: one at a time.
    std::mutex m_control;
    std::thread m_thread;
    std::vector<quint8> m_fill;
    int m_fillCount = 0;
    bool m_swap = false;
    std::atomic<qint64> m_audioMs{0};
};
