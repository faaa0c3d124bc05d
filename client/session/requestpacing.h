#pragma once
// The pacing of a recorder session's requests while it is logged in: the playback frame
// requests gathered by the batcher and sent by the 10 ms send timer, the search step timer that
// moves the museum and thumbnail searches on, and the status timer. The request timers run only
// while playback is active: an idle session polls nothing.
#include <vector>

#include "session/playbackrequestbatcher.h"

class CModuleDevice;
class QTimer;

class RequestPacing
{
public:
    // The timers are children of the session and call its timer slots.
    explicit RequestPacing(CModuleDevice& session);

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

    CModuleDevice& m_session;
    PlaybackRequestBatcher m_batcher;
    QTimer* m_sendTimer = nullptr;
    QTimer* m_searchStepTimer = nullptr;
    QTimer* m_statusTimer = nullptr;
    bool m_pacing = false; // logged in: the request timers may run
};
