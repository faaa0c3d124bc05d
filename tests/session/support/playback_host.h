#pragma once
// A session stand-in for scheduler tests: it answers the scheduler's questions from plain fields
// and records every request and every frame handed to it.
#include <QByteArray>
#include <QSet>

#include <vector>

#include "session/playbackhost.h"

struct PlaybackCall
{
    int channel;
    int file;
    qint64 offset;
    int size;
    int kind;
    bool operator==(const PlaybackCall& o) const
    {
        return channel == o.channel && file == o.file && offset == o.offset && size == o.size && kind == o.kind;
    }
};

struct HandedFrame
{
    PlaybackFrame frame;
    QByteArray bytes;
};

class FakePlaybackHost : public PlaybackHost
{
public:
    QSet<int> registered{4};
    bool enabled = true;
    int channelCount = 4;
    int audioChannel = -1;
    int fps = 15;
    int scrMode = 0;
    int speed = 0;
    int thumbnailEntered = 0;

    struct IndexCall
    {
        int date, channel, kind;
    };
    std::vector<IndexCall> indexRequests;
    std::vector<PlaybackCall> intraHeaders;
    std::vector<PlaybackCall> headerQueue;
    std::vector<PlaybackCall> dataQueue;
    std::vector<PlaybackCall> listRequests;
    std::vector<HandedFrame> frames;

    void Clear();

    bool IsRecorderRegistered(int recorderIndex) const override { return registered.contains(recorderIndex); }
    bool IsPlaybackEnabled() const override { return enabled; }
    int GetChannelCount() const override { return channelCount; }
    int GetAudioChannel() const override { return audioChannel; }
    int GetPlaybackFps(int) const override { return fps; }
    int GetScrMode(int) const override { return scrMode; }
    int GetSpeedCode(SchedulerKind) const override { return speed; }
    void EnterThumbnailMode() override { ++thumbnailEntered; }
    void SendIntraIndexRequest(int date, int channel, SchedulerKind kind) override;
    void SendIntraHeaderRequest(int channel, int file, qint64 offset, int size, int kind) override;
    void QueueFrameHeader(int channel, int file, qint64 offset, int size, int requestKind) override;
    void QueueFrameData(int channel, int file, qint64 offset, int size, int requestKind) override;
    bool SendFrameListRequest(int channel, int file, qint64 offset, int size, int requestKind) override;
    void OnSetFrameData(const PlaybackFrame& frame) override;
};
