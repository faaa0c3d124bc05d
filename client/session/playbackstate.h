#pragma once
// What a recorder session keeps of its remote playback: whether the playback window plays it,
// the play mode, speed and tag, the date and time played, the recorded range the playback
// information gave, the sound channel, the view, the day count and chosen day of the lists, and
// the play-request state. Fields read by the search threads are atomics.
#include <array>
#include <atomic>

#include <QtGlobal>

#include "session/playbackmode.h"

class PlaybackView;

struct PlaybackState
{
    std::atomic<quint8> active{0};
    std::atomic<PlaybackMode> mode{PlaybackMode::Idle};
    std::atomic<int> speed{0};
    std::atomic<int> seq{1};
    std::atomic<int> playDate{-1};
    std::atomic<int> playTime{-1};
    std::array<int, 4> recordedRange{{0, 0, 0, 0}};
    int audioChannel = -1;
    PlaybackView* view = nullptr;
    int recordDayCount = 0;
    int timeListDate = -1;
    int requestState = 0;
};
