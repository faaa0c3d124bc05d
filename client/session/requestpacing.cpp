#include "session/requestpacing.h"

#include <QDebug>
#include <QTimer>

#include "net/modulenetwork.h"
#include "session/sessiondefaults.h"
#include "session/sessionlog.h"
#include "session/slotreceivebuffers.h"

using namespace SessionDefaults;

RequestPacing::RequestPacing(QObject& owner, RequestPacingHost& host, const SlotReceiveBuffers& buffers)
    : m_session(host)
    , m_buffers(buffers)
    , m_sendTimer(new QTimer(&owner))
    , m_searchStepTimer(new QTimer(&owner))
    , m_statusTimer(new QTimer(&owner))
{
    QObject::connect(m_sendTimer, &QTimer::timeout, &owner, [&host] { host.timerSendPlayback(); });
    QObject::connect(m_searchStepTimer, &QTimer::timeout, &owner, [&host] { host.timerPlayback01(); });
    // The status timer's slot (the periodic status requests) comes with the session requests.
}

void RequestPacing::Start(bool playbackActive)
{
    m_batcher.ResetInFlight();
    m_searchStepTimer->stop();
    m_sendTimer->stop();
    m_pacing = true;
    SetPlaybackActive(playbackActive);
}

void RequestPacing::Stop()
{
    m_pacing = false;
    m_sendTimer->stop();
    m_statusTimer->stop();
    m_searchStepTimer->stop();
}

void RequestPacing::SetPlaybackActive(bool on)
{
    if (!on || !m_pacing) {
        // What was asked for the playback that ended is not sent later.
        m_batcher.TakeBatch([] { return false; });
        m_searchStepTimer->stop();
        m_sendTimer->stop();
        return;
    }
    if (!m_searchStepTimer->isActive())
        m_searchStepTimer->start(kTimerIntervalMs);
    if (!m_sendTimer->isActive())
        m_sendTimer->start(kTimerIntervalMs);
}

void RequestPacing::Queue(const PlaybackRequestBatcher::Request& request, bool playbackActive)
{
    m_batcher.Queue(request);
    if (playbackActive)
        return;
    QMetaObject::invokeMethod(
        m_sendTimer,
        [this] {
            if (m_pacing && !m_sendTimer->isActive())
                m_sendTimer->start(kTimerIntervalMs);
        },
        Qt::QueuedConnection);
}

void RequestPacing::SendTurn()
{
    // Without playback the turn only drops what was asked meanwhile; the timer then rests.
    if (!m_session.IsPlaybackActive()) {
        m_sendTimer->stop();
        m_batcher.TakeBatch([] { return false; });
        return;
    }
    if (!m_batcher.ReadyForBatch(m_session.GetDvrName()))
        return;
    const PlaybackRequestBatcher::Batch batch = m_batcher.TakeBatch(
        [this] { return m_session.IsLoggedIn() && m_session.IsPlaybackActive(); });
    // Single requests are answered at once by the network module, which may call back into the
    // playback side: they go out without the request lock held.
    SendSingleFrameRequests(batch.singles);
    if (batch.entries > 0) {
        qCDebug(lcSession) << "SSF Count" << batch.entries;
        // Only what went out is waited for.
        CModuleNetwork* live = m_session.GetLiveNetwork();
        if (live && live->SendFrameListRequest(batch.entries, m_batcher.Buffer()))
            m_batcher.MarkSent(batch.requests);
    }
}

void RequestPacing::SendSingleFrameRequests(const std::vector<PlaybackRequestBatcher::Request>& singles)
{
    for (const PlaybackRequestBatcher::Request& r : singles) {
        CModuleNetwork* live = m_session.GetLiveNetwork();
        if (!live)
            break;
        const quint64 offset = quint64(r.offset);
        live->SendFrameRequest(r.channel, r.frameByte, int(quint32(offset & 0xFFFFFFFFu)),
                               int(quint32(offset >> 32)), r.size, m_buffers.DataBelow6(r.channel),
                               r.requestNumber);
    }
}
