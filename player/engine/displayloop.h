#pragma once
// The display thread's rules for one queued frame: find its tile, drop delta frames while the
// queue is long, decode, keep it as the tile's last frame and show the newest frame per tile in
// batches. Widget-free and clock-driven, so the rules are tested with a fake decoder.
#include "engine/engineclock.h"
#include "engine/liveframe.h"

#include <array>
#include <cstdint>

class LiveControlHost;
class LiveFrameQueues;
class pool_LiveFrame;

// What the loop needs of the engine around it.
class DisplayLoopTarget
{
public:
    virtual ~DisplayLoopTarget() = default;
    // Decodes the frame into the tile's picture buffer: a size code, 999 (size kept) or an error.
    virtual int DecodeQueued(int tile, LiveFrame& frame, int fieldMode) = 0;
    virtual void KeepLastFrame(int tile, const LiveFrame& frame) = 0;
    virtual void Show(int tile, LiveFrame& frame) = 0;
    virtual int LastWidth(int tile) const = 0;
    virtual int LastHeight(int tile) const = 0;
    virtual void SetLastSize(int tile, int width, int height) = 0;
};

class DisplayLoop
{
public:
    static constexpr int kTiles = 16;
    // Above this many waiting frames a tile drops delta frames up to its next key frame.
    static constexpr int kDropAbove = 64;
    // Nothing is shown while more than this many frames wait.
    static constexpr int kShowAtMost = 32;

    DisplayLoop(LiveFrameQueues& queues, pool_LiveFrame& pool, LiveControlHost& host, EngineClock& clock,
                DisplayLoopTarget& target);

    // Takes and handles one queued frame; when the queue is empty, shows the pending frames and
    // (wait set) sleeps until a frame comes or the queues stop. False once stopped or closing.
    bool Step(bool wait);
    // Handles one frame taken from the display queue (given back or kept as pending).
    void Process(LiveFrame* frame);
    // Shows every pending frame of a shown tile now; the others are given back.
    void ShowPending();
    // Gives every pending frame back (the loop ends).
    void DropPending();

    bool HasPending(int tile) const;

private:
    void GiveBack(LiveFrame*& frame);
    bool DecodeAndKeep(int tile, LiveFrame& frame, int fieldMode);
    void BatchRule();

    LiveFrameQueues& m_queues;
    pool_LiveFrame& m_pool;
    LiveControlHost& m_host;
    EngineClock& m_clock;
    DisplayLoopTarget& m_target;
    std::array<LiveFrame*, kTiles> m_pending{};
    std::array<bool, kTiles> m_skip{};
    std::array<int, kTiles> m_keyGroup;
    uint32_t m_lastShow;
};
