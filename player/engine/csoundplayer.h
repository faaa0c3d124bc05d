#pragma once
// The sound output: a ring of 30 one-second blocks; playback starts once 4 blocks wait and then
// takes one block per block length (250 ms for 4000 bytes) on a timer; raw mu-law goes to its own
// path in 4000-byte units. The device is an AudioSink, so tests can count the cadence.
#include "engine/audiosink.h"
#include "engine/engineclock.h"

#include <QByteArray>
#include <QObject>

#include <array>
#include <deque>
#include <memory>
#include <mutex>

class QTimer;

class CSoundPlayer : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRingBlocks = 30;
    static constexpr int kBlockBytes = 16000;
    static constexpr int kMuLawUnit = 4000;

    // sink outlives the player; the player lives on the thread whose event loop runs its timer.
    explicit CSoundPlayer(AudioSink* sink, QObject* parent = nullptr);
    ~CSoundPlayer() override;

    // Opens the sink; false when there is no output device.
    bool Init(int samplesPerSecond, int bitsPerSample);
    // A 16-bit linear block; dropped when its ring entry is still in use. Thread-safe.
    void Write(const char* data, int length);
    void WriteMuLaw(const char* data, int length);
    void Flush();

    void SetStartThreshold(int blocks);
    // Blocks waiting in the play list (the readers hold back while more than two wait).
    int WaitingBlocks() const;
    bool IsPlaying() const;

    // One step of the play timer: the next waiting block plays. Public for tests that step time.
    void TimerStep();

private:
    void StartIfReady();

    AudioSink* m_sink;
    QTimer* m_timer;
    mutable std::mutex m_lock;
    std::array<bool, kRingBlocks> m_inUse{};
    std::array<QByteArray, kRingBlocks> m_ring;
    std::deque<int> m_waiting;
    int m_next = 0;
    int m_current = -1;
    bool m_playing = false;
    int m_startThreshold = 4;
    int m_bytesPerSecond = 16000;
    QByteArray m_muLaw;
};
