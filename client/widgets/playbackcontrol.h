#pragma once
// Playback control codes, one set for a recorder's remote playback and a grid's local playback.
// The values go over the wire and between the panels and windows as they are; a recorder
// scheduler's state word uses the same codes for its modes.
enum class PlaybackControl {
    Idle = 0,
    Pause = 2,
    Stop = 4,
    Forward = 16,
    FastForward = 32,
    Backward = 256,
    FastBackward = 512,
    // Local playback only: start again from the first recorded time.
    Restart = 4096
};
