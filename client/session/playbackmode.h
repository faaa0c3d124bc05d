#pragma once
// The play mode of remote playback, as the recorder's playback control carries it: the session's
// current mode, the state word of a channel scheduler and the mode stamped on each queued
// playback frame. The fast modes step their speed 2 to 8.
#include <QtGlobal>

enum class PlaybackMode : int {
    Idle = 0,
    Stop = 2,
    Forward = 16,
    FastForward = 32,
    Backward = 256,
    FastBackward = 512,
};

inline bool IsFastPlayback(PlaybackMode mode)
{
    return mode == PlaybackMode::FastForward || mode == PlaybackMode::FastBackward;
}

inline bool IsBackwardPlayback(PlaybackMode mode)
{
    return mode == PlaybackMode::Backward || mode == PlaybackMode::FastBackward;
}

// The mode word as the recorder's playback control and the queued frame records carry it.
inline int ModeCode(PlaybackMode mode)
{
    return int(mode);
}
