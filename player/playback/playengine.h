#pragma once
// The play state machine of one tile: the operations the control bar, the full-screen bar, the
// grid and the time search call, and the worker thread that plays, steps or seeks. Every
// operation first stops the running worker, so at most one worker runs per tile; a refused
// operation only steps the main dialog's timed message box, so that the box closes when every
// selected tile has answered.
//
// The worker paces frames by the clock it is given: the recorded frame rate for forward play
// (the time spent reading and decoding subtracted), one second per record backwards in the
// 224-byte layout, and 500, 333, 250, 200 or 150 ms per second shown in fast play.
#include <QString>

#include <functional>
#include <thread>

class AudioReader;
class FrameHandOff;
class FrameListReader;
class MediaReader;
class PlaybackClock;
class PlaybackHost;
class StopSignal;
struct TileState;

class PlayEngine
{
public:
    static constexpr int kFastSpeeds = 5;

    PlayEngine(TileState& tile, MediaReader& reader, FrameListReader& list, FrameHandOff& handOff,
               AudioReader& audio, PlaybackHost& host, PlaybackClock& clock, StopSignal& stop);
    ~PlayEngine();
    PlayEngine(const PlayEngine&) = delete;
    PlayEngine& operator=(const PlayEngine&) = delete;

    void StopPlayback();
    void PlayForward();
    void PlayBackward();
    // Fast play at the tile's fast speed, which the control bar sets before each fast press
    // (it stops the tile first, so only the bar still knows which fast state it was in).
    void FastForward();
    void FastBackward();
    void SetFastSpeed(int speed); // 1..5
    void StepForward();
    void StepBackward();
    void GoFirst();
    void GoLast();
    void Pause();
    void GoToTime(const QString& timeText);
    // Position n as GetPlayPosition reports it (seconds from the first recorded second, or the
    // frame number of a recording read through its frame list).
    void SeekToFrame(int position);

    // Called by forward play of a recording read through its frame list, with audio on, when
    // the frame's second changed: hands that second's audio on.
    void SetListAudioSync(std::function<void()> sync) { m_listAudioSync = std::move(sync); }

    // Milliseconds per step of a fast speed 1..5.
    static int FastInterval(int speed);
    // The wait after the current frame in the running direction, in exact milliseconds (a frame
    // of a 30 fps second lasts 33.3 ms; rounding each one to 33 would play 1 % fast).
    double FrameInterval() const;

    bool IsRunning() const;
    // Waits until the worker has ended (for callers that must not return before, such as tests
    // and shut-down); the user-interface thread never needs it.
    void Join();

private:
    bool Refuse(bool refused);
    void Start(std::function<void()> body);
    void PlayLoop();
    bool ReadNext();
    void StepOnce();
    bool Idle() const;
    bool FrameList() const;
    // The recording read through its frame list: its play loop, single step and seeks.
    void ListPlayLoop();
    void ListStepOnce();
    void ListSeek(bool found);

    TileState& m_tile;
    MediaReader& m_reader;
    FrameListReader& m_list;
    FrameHandOff& m_handOff;
    AudioReader& m_audio;
    PlaybackHost& m_host;
    PlaybackClock& m_clock;
    StopSignal& m_stop;
    std::function<void()> m_listAudioSync;
    std::thread m_worker;
};
