#include "playback_host.h"

void FakePlaybackHost::Clear()
{
    indexRequests.clear();
    intraHeaders.clear();
    headerQueue.clear();
    dataQueue.clear();
    listRequests.clear();
    frames.clear();
}

void FakePlaybackHost::SendIntraIndexRequest(int date, int channel, SchedulerKind kind)
{
    indexRequests.push_back({date, channel, int(kind)});
}

void FakePlaybackHost::SendIntraHeaderRequest(int channel, int file, qint64 offset, int size, int kind)
{
    intraHeaders.push_back({channel, file, offset, size, kind});
}

void FakePlaybackHost::QueueFrameHeader(int channel, int file, qint64 offset, int size, int requestKind)
{
    headerQueue.push_back({channel, file, offset, size, requestKind});
}

void FakePlaybackHost::QueueFrameData(int channel, int file, qint64 offset, int size, int requestKind)
{
    dataQueue.push_back({channel, file, offset, size, requestKind});
}

bool FakePlaybackHost::SendFrameListRequest(int channel, int file, qint64 offset, int size, int requestKind)
{
    listRequests.push_back({channel, file, offset, size, requestKind});
    return true;
}

void FakePlaybackHost::OnSetFrameData(const PlaybackFrame& frame)
{
    HandedFrame h;
    h.frame = frame;
    if (frame.data && frame.size > 0)
        h.bytes = QByteArray(frame.data, frame.size);
    h.frame.data = nullptr;
    frames.push_back(h);
}
