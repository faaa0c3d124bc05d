#pragma once
// Fakes of the interfaces a tile's playback engine is given: a video engine that keeps what it
// is handed, a host that counts message-box steps, an audio output that keeps its blocks, and a
// clock that either runs free (pauses return at once) or holds every pause until a stop.
#include "playback/playbackaudiosink.h"
#include "playback/playbackclock.h"
#include "playback/playbackframesink.h"
#include "playback/playbackhost.h"
#include "playback/stopsignal.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMutex>
#include <QString>
#include <QThread>
#include <QVector>

#include <atomic>
#include <functional>

struct DecodeCall
{
    QByteArray data;
    int mode = 0;
    bool shown = false;
};

class FakeFrameSink : public PlaybackFrameSink
{
public:
    int DecodeFrame(int, quint8* data, int length, int mode, int) override
    {
        QMutexLocker lock(&mutex);
        decodes.append({QByteArray(reinterpret_cast<const char*>(data), length), mode, false});
        return 352 * 1000 + 240;
    }
    void DisplayFrame(const ShownFrame& frame) override
    {
        QMutexLocker lock(&mutex);
        if (!decodes.isEmpty())
            decodes.last().shown = true;
        shown.append(frame);
    }
    void SetPlayState(int, int playState) override { lastState = playState; }
    void AddLiveData(const QueuedFrame& frame) override
    {
        QMutexLocker lock(&mutex);
        queued.append(QByteArray(reinterpret_cast<const char*>(frame.data), frame.length));
        queuedTimes.append(frame.time);
    }
    QVector<DecodeCall> Decodes()
    {
        QMutexLocker lock(&mutex);
        return decodes;
    }
    // The frames that were shown, in order.
    QVector<QByteArray> Shown()
    {
        QMutexLocker lock(&mutex);
        QVector<QByteArray> out;
        for (const auto& d : decodes) {
            if (d.shown)
                out.append(d.data);
        }
        return out;
    }
    QVector<QByteArray> Queued()
    {
        QMutexLocker lock(&mutex);
        return queued;
    }
    void Clear()
    {
        QMutexLocker lock(&mutex);
        decodes.clear();
        shown.clear();
        queued.clear();
        queuedTimes.clear();
    }

    QMutex mutex;
    QVector<DecodeCall> decodes;
    QVector<ShownFrame> shown;
    QVector<QByteArray> queued;
    QVector<int> queuedTimes;
    std::atomic<int> lastState{-1};
};

class FakeHost : public PlaybackHost
{
public:
    void StepMessageBox() override { ++boxSteps; }
    void UpdateGroupTime(int, const QString&) override { ++groupTimes; }
    void LeaveGroup(int) override { ++groupLeaves; }
    void SkipGroup(int) override { ++groupSkips; }
    void UpdatePlaySlider(int) override {}
    int TileFrameRate(int) const override { return frameRate; }
    bool IsTileVisible(int) const override { return visible; }
    int SplitCount() const override { return split; }
    bool StopRequested() const override { return false; }

    std::atomic<int> boxSteps{0};
    std::atomic<int> groupTimes{0};
    std::atomic<int> groupLeaves{0};
    std::atomic<int> groupSkips{0};
    int frameRate = 30;
    bool visible = true;
    int split = 1;
};

class FakeAudioSink : public PlaybackAudioSink
{
public:
    void PlayAudio(const quint8* data, int length, int codec) override
    {
        QMutexLocker lock(&mutex);
        blocks.append(QByteArray(reinterpret_cast<const char*>(data), length));
        codecs.append(codec);
    }
    void Flush() override { ++flushes; }
    int PendingBlocks() const override { return 0; }
    int Count()
    {
        QMutexLocker lock(&mutex);
        return blocks.size();
    }

    QMutex mutex;
    QVector<QByteArray> blocks;
    QVector<int> codecs;
    std::atomic<int> flushes{0};
};

class FakeClock : public PlaybackClock
{
public:
    // hold: every pause lasts until the stop signal rises (the test decides when a worker goes on).
    explicit FakeClock(bool hold = false)
        : m_hold(hold)
    {}
    qint64 NowMs() override { return m_now.load(); }
    bool Pause(int ms, StopSignal& stop) override
    {
        {
            QMutexLocker lock(&mutex);
            pauses.append(ms);
        }
        m_now += ms;
        if (m_hold)
            return stop.WaitFor(120000);
        return stop.IsRaised();
    }
    QVector<int> Pauses()
    {
        QMutexLocker lock(&mutex);
        return pauses;
    }

    QMutex mutex;
    QVector<int> pauses;

private:
    bool m_hold;
    std::atomic<qint64> m_now{1000000};
};

// Waits (generously) until the condition holds; false when it never does.
inline bool WaitUntil(const std::function<bool()>& condition, int limitMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > limitMs)
            return false;
        QThread::msleep(2);
    }
    return true;
}
