#pragma once
// Where a tile's playback engine hands its frames: the player's video engine. The engine copies
// what it keeps, so the data pointers are valid only during the call. Calls come from the tile's
// play threads and from the user-interface thread; the video engine locks its own queues.
#include <QtGlobal>

// One compressed frame for the video engine's queue (recordings read frame record by frame
// record), with the values the queue takes in the order it takes them.
struct QueuedFrame
{
    int serverId = -999;
    int camera = 0;
    const quint8* data = nullptr;
    int length = 0;
    int frameType = 0;
    int tile = 0;
    int fieldHint = 0;
    int reserved = 0;
    int date = 0; // yyyymmdd
    int time = 0; // hhmmss
    int codec = 1;
    int noDisplay = 0;
    int playState = 0;
    int interval = 0;
};

// What the tile shows after a direct decode.
struct ShownFrame
{
    int tile = 0;
    int width = 0;
    int height = 0;
    int date = 0;
    int time = 0;
    int frameType = 0;
    int playState = 0;
};

class PlaybackFrameSink
{
public:
    virtual ~PlaybackFrameSink() = default;

    // Decodes one frame (which the decoder may rewrite in place) into the tile's picture buffer
    // (mode 1: the tile fills a one-tile layout; 0 otherwise; notCurrentKey: the frame is not the
    // block's key frame at the key-list position). Returns width x 1000 + height (x 10000 when
    // the height is above 1000), or 0 or less when no picture was made.
    virtual int DecodeFrame(int tile, quint8* data, int length, int mode, int notCurrentKey) = 0;

    // Shows the tile's decoded picture and keeps it as the tile's last frame.
    virtual void DisplayFrame(const ShownFrame& frame) = 0;

    // The tile's play state changed without a new frame (pause): the engine keeps it with the
    // tile's last frame.
    virtual void SetPlayState(int tile, int playState) = 0;

    // Queues a frame for the engine's own display thread to decode and show.
    virtual void AddLiveData(const QueuedFrame& frame) = 0;
};
