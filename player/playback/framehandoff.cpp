#include "playback/framehandoff.h"
#include "engine/sizecode.h"
#include "playback/playbackframesink.h"
#include "playback/playbackhost.h"
#include "playback/tilestate.h"

#include <QElapsedTimer>

#include <algorithm>

FrameHandOff::FrameHandOff(TileState& tile, PlaybackFrameSink& sink, PlaybackHost& host)
    : m_tile(tile)
    , m_sink(sink)
    , m_host(host)
{}

void FrameHandOff::SplitSize(int result, int& width, int& height)
{
    const int divisor = result > 10000000 ? 10000 : 1000;
    width = result / divisor;
    height = result % divisor;
}

int FrameHandOff::StepRateTarget(qint64 elapsedMs)
{
    if (elapsedMs >= 1000)
        return 1;
    const qint64 time = elapsedMs <= 0 ? 30 : elapsedMs;
    const qint64 n = 1000 / time;
    if (n <= 1)
        return 1;
    return n < 32 ? int(n - 1) : 30;
}

void FrameHandOff::UpdateStepRate(qint64 elapsedMs)
{
    const int target = StepRateTarget(elapsedMs);
    int estimate = m_tile.stepEstimate.load();
    if (estimate < target)
        ++estimate;
    else if (estimate > target)
        --estimate;
    m_tile.stepEstimate = std::clamp(estimate, 0, 30);
}

void FrameHandOff::ShowState()
{
    m_sink.SetPlayState(m_tile.tile, m_tile.state.load());
}

void FrameHandOff::PutNoData()
{
    // Only recorder-fed tiles are in the hub's map, and the player opens no recorder.
}

void FrameHandOff::DetectEnd()
{
    const int count = m_tile.block.Count();
    const PlayDirection direction = m_tile.Direction();
    const bool backward = direction == PlayDirection::Backward || direction == PlayDirection::FastBackward
                          || m_tile.State() == PlayState::StepBackward;
    const bool forward = direction == PlayDirection::Forward || direction == PlayDirection::FastForward
                         || m_tile.State() == PlayState::StepForward;
    if (backward && m_tile.indexPos <= m_tile.index.firstDataPos && m_tile.headerIndex == 0) {
        m_tile.SetState(PlayState::Start);
    } else if (forward && m_tile.indexPos >= m_tile.index.lastEntryPos && count > 0) {
        // The day ends with the last frame of its last second, not with its first.
        const bool lastHeader = m_tile.headerIndex >= count - 1;
        const bool keyWithFields = m_tile.fieldFlag && m_tile.headerIndex >= 0
                                   && m_tile.block.Header(m_tile.headerIndex).key;
        if (lastHeader || keyWithFields || direction == PlayDirection::FastForward)
            m_tile.SetState(PlayState::End);
    }
}

int FrameHandOff::DecodeIndexedFrame(quint8* data, int length, bool noDisplay)
{
    DetectEnd();
    if (!data || length <= 0 || m_tile.headerIndex < 0 || m_tile.headerIndex >= m_tile.block.Count())
        return -1;
    const FrameHeader& header = m_tile.block.Header(m_tile.headerIndex);
    const bool key = header.key;
    if (m_tile.fieldFlag && header.fieldBit != m_tile.lastFieldBit && !key) {
        m_tile.lastKeyOffset = -1;
        return -1;
    }
    m_tile.emptyFrame = length >= 4 && data[0] == 0xFF && data[1] == 0xFF && data[2] == 0xFF && data[3] == 0xFF;
    if (!m_tile.fieldFlag) {
        // A start code within the last eight bytes begins trailing bytes that are no picture.
        for (int at = std::max(0, length - 8); at <= length - 4; ++at) {
            if (data[at] == 0 && data[at + 1] == 0 && data[at + 2] == 1) {
                if (at > 0)
                    length = at;
                break;
            }
        }
    }
    const bool single = m_host.SplitCount() == 1 && m_host.IsTileVisible(m_tile.tile);
    const int keyPos = m_tile.keyListPos;
    const bool atCurrentKey = keyPos >= 0 && keyPos < m_tile.block.KeyCount()
                              && m_tile.block.KeyList()[size_t(keyPos)] == m_tile.headerIndex;
    QElapsedTimer timer;
    timer.start();
    int result = m_sink.DecodeFrame(m_tile.tile, data, length, m_tile.fieldFlag ? 0 : (single ? 1 : 0),
                                    atCurrentKey ? 0 : 1);
    if (m_tile.fieldFlag) {
        const PlayState s = m_tile.State();
        if (s == PlayState::Start || s == PlayState::End || (key && m_tile.lastDecode == -123))
            result = m_sink.DecodeFrame(m_tile.tile, data, length, 0, atCurrentKey ? 0 : 1);
        m_tile.lastFieldBit = header.fieldBit;
    }
    m_tile.lastDecode = result;
    // Decoding alone only ever lowers the estimate.
    const int target = StepRateTarget(timer.elapsed());
    if (m_tile.stepEstimate.load() > target)
        m_tile.stepEstimate = target;

    if (!SizeCode::HasPicture(result) || noDisplay)
        return -3;
    ShownFrame shown;
    shown.tile = m_tile.tile;
    SplitSize(result, shown.width, shown.height);
    shown.date = header.date;
    shown.time = header.time;
    shown.frameType = int((header.kind >> 1) & 3) == 2 ? 0 : int((header.kind >> 1) & 3);
    shown.playState = m_tile.state.load();
    m_sink.DisplayFrame(shown);
    return result;
}

int FrameHandOff::PutFrame(quint8* data, int length, bool noDisplay, bool decode, int frameType, int delay)
{
    int result = 0;
    if (m_tile.paths.IndexBased() && m_tile.Layout512()) {
        result = decode ? DecodeIndexedFrame(data, length, noDisplay) : -1;
    } else {
        QueuedFrame f;
        f.serverId = m_tile.serverId;
        f.camera = m_tile.tile;
        f.data = data;
        f.length = length;
        f.frameType = frameType & 3;
        f.tile = m_tile.tile;
        f.date = m_tile.CurrentDate().toInt();
        f.time = m_tile.CurrentTime().toInt();
        f.codec = m_tile.paths.IndexBased() ? 1 : 0;
        f.noDisplay = noDisplay ? 1 : 0;
        f.playState = m_tile.state.load();
        f.interval = delay;
        m_sink.AddLiveData(f);
    }
    m_host.UpdatePlaySlider(m_tile.tile);
    return result;
}
