#include "engine/displayloop.h"

#include "engine/enginelog.h"
#include "engine/livecontrolhost.h"
#include "engine/liveframequeues.h"
#include "engine/poolliveframe.h"
#include "engine/sizecode.h"

#include <algorithm>

DisplayLoop::DisplayLoop(LiveFrameQueues& queues, pool_LiveFrame& pool, LiveControlHost& host, EngineClock& clock,
                         DisplayLoopTarget& target)
    : m_queues(queues)
    , m_pool(pool)
    , m_host(host)
    , m_clock(clock)
    , m_target(target)
    , m_lastShow(clock.Now() - 100)
{
    m_keyGroup.fill(-999);
}

bool DisplayLoop::Step(bool wait)
{
    if (m_host.IsClosing() || m_queues.IsStopped())
        return false;
    LiveFrame* frame = m_queues.Take();
    if (!frame) {
        // The queue ran empty: what the batch rule held back is shown now, or it would wait for
        // frames that may never come.
        ShowPending();
        if (!wait)
            return true;
        frame = m_queues.WaitAndTake();
        if (!frame)
            return !(m_host.IsClosing() || m_queues.IsStopped());
    }
    Process(frame);
    return true;
}

void DisplayLoop::GiveBack(LiveFrame*& frame)
{
    m_pool.GiveBack(frame);
}

bool DisplayLoop::DecodeAndKeep(int tile, LiveFrame& frame, int fieldMode)
{
    const int result = m_target.DecodeQueued(tile, frame, fieldMode);
    if (result < SizeCode::kKeepSize) {
        m_skip[size_t(tile)] = true;
        qCDebug(lcPlayerEngine, "Decoding Error 0x%x", unsigned(result));
        return false;
    }
    if (result == SizeCode::kKeepSize) {
        frame.width = m_target.LastWidth(tile);
        frame.height = m_target.LastHeight(tile);
    } else {
        frame.width = SizeCode::Width(result);
        frame.height = SizeCode::Height(result);
        m_target.SetLastSize(tile, frame.width, frame.height);
    }
    m_target.KeepLastFrame(tile, frame);
    return true;
}

void DisplayLoop::Process(LiveFrame* frame)
{
    if (!frame)
        return;
    // Only file tiles have a source in this program: a recorder id without a client is dropped.
    if (frame->serverId != kFileServerId) {
        GiveBack(frame);
        return;
    }
    const int tile = m_host.FindCameo(frame->serverId, frame->camera, frame->mark >= 0);
    if (tile < 0 || tile >= kTiles) {
        qCDebug(lcPlayerEngine, "Cameo Not Found %d %d", frame->serverId, frame->camera);
        GiveBack(frame);
        return;
    }
    const size_t t = size_t(tile);
    if (m_queues.DisplayCount() > kDropAbove)
        m_skip[t] = true;
    if (frame->frameType == 1) {
        m_skip[t] = false;
        m_keyGroup[t] = frame->keyGroup;
    }
    if (m_skip[t] && frame->frameType != 1 && frame->keyGroup == m_keyGroup[t]) {
        GiveBack(frame);
        return;
    }
    if (m_host.IsRestartPending(tile) && frame->codec == FrameCodec::Own) {
        if (frame->frameType != 1) {
            GiveBack(frame);
            return;
        }
        m_host.ClearRestart(tile);
    }
    if (m_host.IsStreaming(tile) && frame->mark == -1) {
        GiveBack(frame);
        return;
    }

    if (!m_host.IsTileShown(tile)) {
        // A hidden tile still decodes H.264, so that its decoder keeps its reference pictures.
        if (frame->codec == FrameCodec::H264)
            DecodeAndKeep(tile, *frame, 0);
        GiveBack(frame);
        return;
    }
    const int fieldMode = m_host.LayoutCode() == 0 && frame->fieldHint > 0 ? 1 : 0;
    if (frame->frameType == 2) {
        frame->width = m_target.LastWidth(tile);
        frame->height = m_target.LastHeight(tile);
        m_target.KeepLastFrame(tile, *frame);
    } else if (!DecodeAndKeep(tile, *frame, fieldMode)) {
        GiveBack(frame);
        return;
    }
    if (frame->noDisplay) {
        GiveBack(frame);
        return;
    }
    if (m_pending[t])
        GiveBack(m_pending[t]);
    m_pending[t] = frame;
    BatchRule();
}

void DisplayLoop::BatchRule()
{
    const int waiting = m_queues.DisplayCount();
    const uint32_t wait = uint32_t(std::clamp(waiting - 10, 0, 60));
    const uint32_t now = m_clock.Now();
    if (waiting > kShowAtMost || now - m_lastShow <= wait)
        return;
    m_lastShow = now;
    ShowPending();
}

void DisplayLoop::ShowPending()
{
    for (int tile = 0; tile < kTiles; ++tile) {
        LiveFrame*& frame = m_pending[size_t(tile)];
        if (!frame)
            continue;
        if (m_host.IsTileShown(tile))
            m_target.Show(tile, *frame);
        GiveBack(frame);
    }
}

void DisplayLoop::DropPending()
{
    for (LiveFrame*& frame : m_pending)
        if (frame)
            GiveBack(frame);
}

bool DisplayLoop::HasPending(int tile) const
{
    return tile >= 0 && tile < kTiles && m_pending[size_t(tile)];
}
