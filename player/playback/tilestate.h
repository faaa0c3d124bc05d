#pragma once
// The state of one tile's playback engine that its readers, its play engine and its frame
// hand-off share. An operation always stops the tile's worker before it changes the plain fields,
// so only one thread at a time changes them; the words that the user-interface thread reads
// while a worker runs are atomic, and the current time texts sit behind a lock.
#include "playback/frameblock.h"
#include "playback/framerecord.h"
#include "playback/indexlayout.h"
#include "playback/recordinglocator.h"

#include <QString>
#include <mutex>

#include <atomic>

// Play states, as the control bar, the grid and the video engine know them.
enum class PlayState : int {
    Start = 0,
    StepForward = 1,
    End = 2,
    Backward = 3,
    Paused = 4,
    Forward = 5,
    FastBackward = 6,
    StepBackward = 7,
    FastForward = 8,
    Stopping = 9,
    NoData = 99
};

// Direction of the running operation: 1 play or step forward, -1 backward, 3 and -3 fast, 0 still.
enum class PlayDirection : int { Still = 0, Forward = 1, Backward = -1, FastForward = 3, FastBackward = -3 };

enum class ReadResult : int { Pending = 0, Frame = 1, End = 2 };

struct TileState
{
    static constexpr int kImmediateStep = 999;

    int tile = 0;
    int serverId = -999;

    std::atomic<int> state{int(PlayState::Start)};
    std::atomic<int> direction{int(PlayDirection::Still)};
    std::atomic<int> readResult{int(ReadResult::Pending)};
    std::atomic<int> step{0};
    std::atomic<int> stepEstimate{0}; // frames-per-step estimate, 0..30
    std::atomic<bool> skip{false};
    std::atomic<bool> opened{false};
    std::atomic<bool> frozen{false};
    std::atomic<bool> running{false};
    std::atomic<int> audioOn{0}; // 0 none, 1 source known, 2 playing
    std::atomic<bool> audioRunning{false};
    std::atomic<int> currentSecond{-1};
    std::atomic<int> fastSpeed{1};

    // The opened recording.
    RecordingPaths paths;
    IndexInfo index;
    bool indexLoaded = false;
    AudioSource audio;

    // Reader positions.
    qint64 indexPos = -1;
    FrameBlock block;
    int headerIndex = -1;
    int keyListPos = -1;
    int blockFileNumber = -1;
    qint64 lastKeyOffset = -1;
    FrameRecord record;
    qint64 recordOffset = -1;
    int lastFieldBit = 0;
    int lastDecode = 0;
    bool emptyFrame = false;
    bool fieldFlag = false;

    PlayState State() const { return PlayState(state.load()); }
    void SetState(PlayState s) { state = int(s); }
    PlayDirection Direction() const { return PlayDirection(direction.load()); }
    bool Layout512() const { return index.layout512; }
    bool ClientLayout() const { return paths.kind == RecordingKind::ClientFile; }

    // Date (yyyymmdd) and time (hhmmss) texts of the current frame.
    void SetCurrent(int date, int time)
    {
        std::lock_guard<std::mutex> lock(m_textLock);
        m_date = QString::number(date);
        m_time = QStringLiteral("%1").arg(time, 6, 10, QLatin1Char('0'));
    }
    QString CurrentTime() const
    {
        std::lock_guard<std::mutex> lock(m_textLock);
        return m_time;
    }
    QString CurrentDate() const
    {
        std::lock_guard<std::mutex> lock(m_textLock);
        return m_date;
    }
    void ClearCurrent()
    {
        std::lock_guard<std::mutex> lock(m_textLock);
        m_date.clear();
        m_time = QStringLiteral("000000");
    }

private:
    mutable std::mutex m_textLock;
    QString m_date;
    QString m_time = QStringLiteral("000000");
};
