#pragma once
// What a recorder session keeps for one playback slot (a channel, or the search slot after the
// channels): its search thread and scheduler, the pacing of its frames, the date and time of the
// last second it played, the flag that asks for the next search step, its minute map of the day
// and its screen mode. Fields read by the search threads are atomics.
#include <QtGlobal>

#include <atomic>
#include <memory>

class CModulePlayback;
class SessionThread;

struct PlaybackSlot
{
    PlaybackSlot();
    ~PlaybackSlot();
    PlaybackSlot(const PlaybackSlot&) = delete;
    PlaybackSlot& operator=(const PlaybackSlot&) = delete;

    std::unique_ptr<SessionThread> searchThread;
    std::unique_ptr<CModulePlayback> scheduler;
    std::atomic<int> lastSecond{0};
    int pacingDelay = 0;
    std::atomic<int> lastPlayDate{0};
    std::atomic<int> lastPlayTime{0};
    std::atomic<quint8> nextSearchFrame{0};
    // Made when a list first marks a minute of the slot.
    std::unique_ptr<quint8[]> minuteTable;
    int scrMode = 0;
};
