#include "playback/livecontrolframesink.h"

#include "engine/hplivecontrol.h"

#include <cstring>

LiveControlFrameSink::LiveControlFrameSink(HPLiveControl& engine)
    : m_engine(engine)
{}

LiveControlFrameSink::~LiveControlFrameSink() = default;

int LiveControlFrameSink::DecodeFrame(int tile, quint8* data, int length, int mode, int notCurrentKey)
{
    if (tile < 0 || tile >= kTiles || !data || length <= 0 || length > kLiveFrameCapacity)
        return -1;
    auto& frame = m_frames[size_t(tile)];
    if (!frame)
        frame = std::make_unique<LiveFrame>();
    // The record keeps the frame as read; the decoder may rewrite its input.
    std::memcpy(frame->Data(), data, size_t(length));
    frame->length = length;
    frame->serverId = kFileServerId;
    frame->camera = tile;
    frame->codec = FrameCodec::H264;
    frame->interval = -1;
    uint8_t* picture = m_engine.TileBuffer(tile);
    if (!picture)
        return -1;
    return m_engine.DecodeFrame(data, length, picture, tile, mode, notCurrentKey);
}

void LiveControlFrameSink::DisplayFrame(const ShownFrame& shown)
{
    if (shown.tile < 0 || shown.tile >= kTiles || !m_frames[size_t(shown.tile)])
        return;
    LiveFrame& frame = *m_frames[size_t(shown.tile)];
    frame.width = shown.width;
    frame.height = shown.height;
    frame.date = shown.date;
    frame.time = shown.time;
    frame.frameType = uint8_t(shown.frameType);
    frame.mark = shown.playState;
    m_engine.SetLastFrame(shown.tile, &frame);
    m_engine.DisplayFrame(shown.tile, frame, m_engine.TileBuffer(shown.tile), m_engine.IsDirectDraw(), 0);
}

void LiveControlFrameSink::SetPlayState(int tile, int playState)
{
    if (tile < 0 || tile >= kTiles)
        return;
    LiveFrame last = m_engine.LastFrame(tile);
    last.mark = playState;
    m_engine.SetLastFrame(tile, &last);
    m_engine.RedrawCameo(tile);
}

void LiveControlFrameSink::AddLiveData(const QueuedFrame& f)
{
    m_engine.AddLiveData(f.serverId, f.camera, f.data, f.length, f.frameType, f.tile, f.fieldHint, f.reserved,
                         f.date, f.time, f.codec, f.noDisplay, f.playState, f.interval);
}
