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
#include <QPair>
#include <QString>
#include <QThread>
#include <QVector>
#include <mutex>

#include <atomic>
#include <functional>
#include <thread>

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
        std::lock_guard<std::mutex> lock(mutex);
        decodes.append({QByteArray(reinterpret_cast<const char*>(data), length), mode, false});
        return 352 * 1000 + 240;
    }
    void DisplayFrame(const ShownFrame& frame) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!decodes.isEmpty())
            decodes.last().shown = true;
        shown.append(frame);
    }
    void SetPlayState(int, int playState) override { lastState = playState; }
    void AddLiveData(const QueuedFrame& frame) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        queued.append(QByteArray(reinterpret_cast<const char*>(frame.data), frame.length));
        queuedTimes.append(frame.time);
        queuedThreads.append(std::this_thread::get_id());
        QueuedFrame kept = frame;
        kept.data = nullptr; // valid only during the call
        queuedFrames.append(kept);
    }
    QVector<DecodeCall> Decodes()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return decodes;
    }
    // The frames that were shown, in order.
    QVector<QByteArray> Shown()
    {
        std::lock_guard<std::mutex> lock(mutex);
        QVector<QByteArray> out;
        for (const auto& d : decodes) {
            if (d.shown)
                out.append(d.data);
        }
        return out;
    }
    QVector<QByteArray> Queued()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return queued;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(mutex);
        decodes.clear();
        shown.clear();
        queued.clear();
        queuedTimes.clear();
        queuedFrames.clear();
        queuedThreads.clear();
    }
    QVector<QueuedFrame> QueuedFrames()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return queuedFrames;
    }
    // The threads the frames were queued from, in order.
    QVector<std::thread::id> QueuedThreads()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return queuedThreads;
    }

    std::mutex mutex;
    QVector<DecodeCall> decodes;
    QVector<ShownFrame> shown;
    QVector<QByteArray> queued;
    QVector<int> queuedTimes;
    QVector<QueuedFrame> queuedFrames;
    QVector<std::thread::id> queuedThreads;
    std::atomic<int> lastState{-1};
};

class FakeHost : public PlaybackHost
{
public:
    void StepMessageBox() override { ++boxSteps; }
    void UpdateGroupTime(int, const QString& time) override
    {
        ++groupTimes;
        if (clockNow) {
            std::lock_guard<std::mutex> lock(mutex);
            timeReports.append({clockNow(), time});
        }
    }
    void LeaveGroup(int) override { ++groupLeaves; }
    void SkipGroup(int) override { ++groupSkips; }
    void UpdatePlaySlider(int) override {}
    void MarkTimeBar(int tile, int firstCell, int count) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        marks.append({tile, firstCell, count});
    }
    int TileFrameRate(int) const override { return frameRate; }
    bool IsTileVisible(int) const override { return visible; }
    int SplitCount() const override { return split; }
    bool StopRequested() const override { return false; }

    std::atomic<int> boxSteps{0};
    std::atomic<int> groupTimes{0};
    std::atomic<int> groupLeaves{0};
    std::atomic<int> groupSkips{0};
    std::mutex mutex;
    QVector<QVector<int>> marks; // {tile, first cell, count} of every time bar marking
    // When set: each reported frame time with the clock's reading at the report.
    std::function<qint64()> clockNow;
    QVector<QPair<qint64, QString>> timeReports;
    int frameRate = 30;
    bool visible = true;
    int split = 1;
};

class FakeAudioSink : public PlaybackAudioSink
{
public:
    void PlayAudio(const quint8* data, int length, int codec) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        blocks.append(QByteArray(reinterpret_cast<const char*>(data), length));
        codecs.append(codec);
    }
    void Flush() override { ++flushes; }
    int PendingBlocks() const override { return 0; }
    int Count()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return blocks.size();
    }

    std::mutex mutex;
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
            std::lock_guard<std::mutex> lock(mutex);
            pauses.append(ms);
        }
        m_now += ms;
        if (m_hold)
            return stop.WaitFor(120000);
        return stop.IsRaised();
    }
    // A deep copy: the worker appends while tests read.
    QVector<int> Pauses()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return QVector<int>(pauses.begin(), pauses.end());
    }

    std::mutex mutex;
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
