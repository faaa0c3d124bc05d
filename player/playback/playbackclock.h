#pragma once
// The clock that paces a tile's play threads: tick counts and pauses. The steady clock is the
// program's; tests give a clock of their own.
#include <QtGlobal>

class StopSignal;

class PlaybackClock
{
public:
    virtual ~PlaybackClock() = default;
    virtual qint64 NowMs() = 0;
    // Pauses up to ms milliseconds or until the stop signal rises; true when it rose.
    virtual bool Pause(int ms, StopSignal& stop) = 0;
};

class SteadyPlaybackClock : public PlaybackClock
{
public:
    qint64 NowMs() override;
    bool Pause(int ms, StopSignal& stop) override;
};
