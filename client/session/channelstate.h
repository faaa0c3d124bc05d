#pragma once
// What a recorder session keeps for one channel: its live queue (with the lock it is built
// around) and frame rates, the live flags the grids and the live intake set, the time of its last
// live frame, its routes, its recording marks, its decoders, its live thread and decode worker,
// the first recorded minutes of the day's index, and its e-map places. Fields read by the session
// threads are atomics; the rest belong to the user-interface thread.
#include <QMutex>
#include <QString>

#include <array>
#include <atomic>
#include <memory>

#include "session/cameoroute.h"
#include "session/liveframequeue.h"
#include "session/liveframerecord.h"

class CModuleDecoder;
class LiveDecodeWorker;
class SessionThread;

struct ChannelState
{
    static constexpr int kNoMinute = 9999;

    ChannelState();
    ~ChannelState();
    ChannelState(const ChannelState&) = delete;
    ChannelState& operator=(const ChannelState&) = delete;

    // The live frames between the live intake and the channel's live thread (declared before
    // the thread, which takes from it).
    QMutex liveQueueLock;
    LiveFrameQueue liveQueue;
    // Frame rates: the one asked at live start, and the one reported for the channel's playback.
    std::atomic<int> liveRate;
    std::atomic<int> playbackRate;

    // Live state: wanted by a grid, shown, counted, has a picture; the date and time of the last
    // live frame (written as frames arrive, read by the grids' hand-off).
    std::atomic<quint8> liveWanted{0};
    std::atomic<quint8> liveShown{0};
    std::atomic<int> liveCounter{0};
    std::atomic<quint8> hasPicture{0};
    std::atomic<int> liveFrameDate{0};
    std::atomic<int> liveFrameTime{0};
    CameoRoute route;

    // Recording marks: live, search and event recording; where an event recording starts.
    std::atomic<quint8> liveRecordMark{0};
    std::atomic<quint8> searchRecordMark{0};
    std::atomic<quint8> eventRecordMark{0};
    int eventStartDate = 0;
    int eventStartTime = 0;

    // Decoders (made at login), the live thread and its decode worker.
    std::unique_ptr<CModuleDecoder> liveDecoder;
    std::unique_ptr<CModuleDecoder> playbackDecoder;
    std::unique_ptr<SessionThread> liveThread;
    std::unique_ptr<LiveDecodeWorker> liveWorker;
    int prevTick = 0;
    std::atomic<int> liveReceived{0};
    // The next live record, handed back by the channel's queue (user-interface thread).
    LiveFrameRecordPtr spareLiveRecord;

    // The first recorded minute of the day: from the index scan and from the channel's own index.
    int firstMinuteScan = kNoMinute;
    int firstMinuteOwn = kNoMinute;

    // E-map places: on the recorder's e-map and the camera's own, and its e-map image.
    float emapX = 0;
    float emapY = 0;
    float ownX = 0;
    float ownY = 0;
    QString cameraEmapPath;
};

// The channels of one session, handed by reference to the parts that keep or read them.
inline constexpr int kSessionChannels = 16;
using ChannelStates = std::array<ChannelState, kSessionChannels>;
