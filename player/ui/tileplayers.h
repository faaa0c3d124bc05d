#pragma once
// What the playback control bar needs of the sixteen tile engines: whether a tile's engine has
// a recording open, its state and fast speed, stopping it, its play group and running one of
// the play operations.
#include "playback/tilestate.h"

enum class PlayOperation {
    GoFirst,
    GoLast,
    FastBackward,
    FastForward,
    StepBackward,
    StepForward,
    PlayBackward,
    PlayForward,
    Pause,
};

class TilePlayers
{
public:
    virtual ~TilePlayers() = default;
    virtual bool IsOpen(int tile) const = 0;
    virtual PlayState State(int tile) const = 0;
    virtual int FastSpeed(int tile) const = 0;
    virtual void SetFastSpeed(int tile, int speed) = 0;
    virtual void StopPlayback(int tile) = 0;
    virtual void SetPlayGroup(int tile, int group) = 0;
    // Runs the operation; the engine counts its answer on the wait box itself only for its own
    // boxes, the control bar counts one answer per tile.
    virtual void Run(int tile, PlayOperation operation) = 0;
};
