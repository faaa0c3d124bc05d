#pragma once
// The pacing of a recorder session's requests while it is logged in: the playback frame
// requests gathered by the batcher and sent by the 10 ms send timer, the search step timer that
// moves the museum and thumbnail searches on, and the status timer. The request timers run only
// while playback is active: an idle session polls nothing.
#include <QString>

#include <vector>

#include "session/playbackrequestbatcher.h"

class CModuleNetwork;
class QObject;
class QTimer;
class SlotReceiveBuffers;

// What the pacing asks of its session: its state, the connection the requests go out on, and
// the two timed turns (sending the gathered requests, stepping the searches on).
class RequestPacingHost
{
public:
    virtual QString GetDvrName() const = 0;
    virtual bool IsLoggedIn() const = 0;
    virtual bool IsPlaybackActive() const = 0;
    virtual CModuleNetwork* GetLiveNetwork() const = 0;
    virtual void timerSendPlayback() = 0;
    virtual void timerPlayback01() = 0;

protected:
    ~RequestPacingHost() = default;
};

class RequestPacing
{
public:
    // The timers are children of `owner` (the session) and run on its thread; single frame
    // requests are answered into the slots' buffers.
    RequestPacing(QObject& owner, RequestPacingHost& host, const SlotReceiveBuffers& buffers);

    PlaybackRequestBatcher& Batcher() { return m_batcher; }
    const PlaybackRequestBatcher& Batcher() const { return m_batcher; }

    // At login: nothing is in flight, the timers start as the playback state says.
    void Start(bool playbackActive);
    // The session's threads stop: no timer runs any more.
    void Stop();
    void SetPlaybackActive(bool on);
    // Queues a frame request; a request while no playback runs wakes the send timer on the
    // window thread, whose next turn drops it.
    void Queue(const PlaybackRequestBatcher::Request& request, bool playbackActive);
    // One turn of the send timer.
    void SendTurn();

private:
    void SendSingleFrameRequests(const std::vector<PlaybackRequestBatcher::Request>& singles);

    RequestPacingHost& m_session;
    const SlotReceiveBuffers& m_buffers;
    PlaybackRequestBatcher m_batcher;
    QTimer* m_sendTimer = nullptr;
    QTimer* m_searchStepTimer = nullptr;
    QTimer* m_statusTimer = nullptr;
    bool m_pacing = false; // logged in: the request timers may run
};
