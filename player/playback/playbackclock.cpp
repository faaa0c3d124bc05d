#include "playback/playbackclock.h"
#include "playback/stopsignal.h"

#include <chrono>

qint64 SteadyPlaybackClock::NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool SteadyPlaybackClock::Pause(int ms, StopSignal& stop)
{
    return stop.WaitFor(ms);
}
