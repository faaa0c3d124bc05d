#pragma once
// The playback of one local recording in one grid cell: the recording's files and minute table,
// the playback position, the control code and speed, and the cell's playback thread, which plays
// the recording second by second and paces each second's frames evenly over it.
//
// Threads: the user-interface thread opens recordings and changes controls and positions; the
// cell's thread reads them once per second and once per frame. Waits (pause, pacing) end early
// when the control changes or the grid closes.
#include <QElapsedTimer>
#include <QFile>
#include <QMutex>
#include <QVector>
#include <QWaitCondition>

#include <atomic>
#include <functional>
#include <memory>

#include "common/media/localrecordreader.h"
#include "session/qthreadhelper.h"
#include "shell/playbackcontrol.h"

class LocalPlaybackCell
{
public:
    // Plays one second of the day; the grid reads, decodes and paces its frames there.
    using SecondPlayer = std::function<void(int hour, int minute, int second)>;

    LocalPlaybackCell() = default;
    LocalPlaybackCell(const LocalPlaybackCell&) = delete;
    LocalPlaybackCell& operator=(const LocalPlaybackCell&) = delete;

    // The recording to read; a thread that runs reads it from its next second on.
    void SetFiles(const QString& folder, const QString& dataFile);
    LocalRecordReader Reader() const;

    // Reads the index header and builds the minute table; false when the index cannot be read or
    // holds no more than its header.
    bool LoadIndex(QByteArray& header) const;
    // Builds the minute table from a 512-byte header and places the position at the first minute
    // with data; false for a bad header or a recording without data.
    bool SetIndex(const QByteArray& header, int tag);
    int GetFirstTime() const;
    int GetLastTime() const;
    bool IsMinutePresent(int hour, int minute) const;

    // The data file offset of one second's frame records, -1 when the second has none.
    qint64 ReadEntry(int hour, int minute, int second) const;
    // The frame records at that offset (at most 40).
    QByteArray ReadRecords(qint64 offset) const;
    // The frame records of the second being played; only the playing thread touches them.
    QVector<LocalFrameEntry>& SecondFrames() { return m_secondFrames; }
    // A frame of the recording, read by the playing thread through the data file it keeps open
    // while it plays (closed when it ends).
    QByteArray ReadFrame(const LocalFrameEntry& entry);

    // Position: hour, minute, second of the day; 86400 when playback ran past the day's end.
    void SetPosition(int hour, int minute, int second);
    int GetPosition() const { return m_position.load(); }

    PlaybackControl GetControl() const { return m_control.load(); }
    int GetSpeed() const { return m_speed.load(); }
    bool IsKeyFramesOnly() const { return m_keyOnly.load(); }
    void SetControl(PlaybackControl control);
    void SetSpeed(int speed) { m_speed = speed; }
    void SetKeyFramesOnly(bool on) { m_keyOnly = on; }

    // Date (YYYYMMDD) and time (HHMMSS) of the last frame record read.
    int GetLocalDate() const { return m_localDate.load(); }
    int GetLocalTime() const { return m_localTime.load(); }
    void SetLocalDateTime(int date, int time);

    // The frame interval of a second of frameCount frames, in milliseconds.
    static int FrameInterval(int frameCount, bool keyFramesOnly, int speed);
    // Which frames of a second are shown: all, or with key frames only the second's key frame.
    static bool IsFrameShown(int index, bool keyFramesOnly, int keyIndex);

    // Applies a playback control code to the cells of a grid.
    static void ApplyControl(const QVector<LocalPlaybackCell*>& cells, int control);

    // The cell's thread: false when a thread still runs (it then reads what it reads next).
    bool Start(CQThreadHelper::ThreadProc proc, void* grid, int cell);
    bool IsRunning() const { return m_thread.IsRunning(); }
    // Ends the waits of the thread so that it sees the grid closing; then waits for it.
    void Stop();
    void Wait() { m_thread.WaitThread(); }
    // The thread's loop, until the control is stop or closing is set.
    void Run(const std::atomic<bool>& closing, int cell, const SecondPlayer& playSecond);
    // Spreads a second's frames: after each shown frame, waits the rest of its interval.
    void PaceFrame(int intervalMs, const std::atomic<bool>& closing);
    void RestartClock() { m_clock.restart(); }

private:
    bool WaitFor(int ms, const std::atomic<bool>& closing);
    void Wake();

    mutable QMutex m_filesLock; // reader and minute table, swapped while the thread reads
    LocalRecordReader m_reader;
    std::shared_ptr<const LocalMinuteTable> m_table;

    std::atomic<int> m_position{0};
    std::atomic<PlaybackControl> m_control{PlaybackControl::Idle};
    std::atomic<int> m_speed{0};
    std::atomic<bool> m_keyOnly{false};
    std::atomic<int> m_localDate{0};
    std::atomic<int> m_localTime{0};
    std::atomic<bool> m_stopping{false};

    QMutex m_waitLock;
    QWaitCondition m_wake;
    int m_wakeCount = 0; // under m_waitLock: changes since the thread last waited
    QElapsedTimer m_clock;
    QVector<LocalFrameEntry> m_secondFrames;
    QFile m_frameFile; // the playing thread's
    CQThreadHelper m_thread;
};
