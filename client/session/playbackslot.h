#pragma once
// What a recorder session keeps for one playback slot (a channel, or the search slot after the
// channels): its playback queue (with the lock it is built around), its search thread and
// scheduler, its frame rate, the pacing of its frames, the date and time of the last second it
// played, the flag that asks for the next search step, its minute map of the day and its screen
// mode. Fields read by the search threads are atomics.
#include <QMutex>
#include <QtGlobal>

#include <array>
#include <atomic>
#include <memory>

#include "session/liveframequeue.h"

class CModulePlayback;
class SessionThread;

struct PlaybackSlot
{
    PlaybackSlot();
    ~PlaybackSlot();
    PlaybackSlot(const PlaybackSlot&) = delete;
    PlaybackSlot& operator=(const PlaybackSlot&) = delete;

    // The recorded frames between the playback intake and the search thread (declared before
    // the thread, which takes from it).
    QMutex queueLock;
    LiveFrameQueue queue;
    std::atomic<int> rate;
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

// The playback slots of one session: one per channel and the search slot after them.
inline constexpr int kSessionSlots = 16 + 1;
using PlaybackSlots = std::array<PlaybackSlot, kSessionSlots>;
