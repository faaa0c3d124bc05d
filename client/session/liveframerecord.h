#pragma once
// One queued block of received media: a live video frame, a live audio block, a recorded
// (playback) frame with its size-4 "second without data" markers, or a playback audio block.
// The queue that holds it owns it; the thread that takes it from the queue frees it. The payload
// is an owned copy (size + 16 bytes allocated) taken before the receive buffer is reused.
#include <QtGlobal>
#include <memory>

struct LiveFrameRecord
{
    int channel = 0;
    int size = 0;         // payload bytes; 0 without payload (4 without payload: a marker)
    int kind = 0;         // stream kind, or the audio coding of a live audio block
    int playbackType = 0; // frame type of a playback frame
    int date = 0;         // YYYYMMDD
    int time = 0;         // HHMMSS
    int tag = 0;          // playback tag of the request the block answers
    std::unique_ptr<char[]> payload;
    int capacity = 0;      // bytes the payload's memory holds, spare bytes included
    quint8 decodeOnly = 0; // decode, but do not show
    int delay = 0;         // live: ms since the channel's previous frame; playback: pacing delay
    int frameType = 0;     // live: 1 key frame, 0 predicted; playback: the mode at arrival
    int sequence = 0;
    int searchKind = 0; // 2 museum search, 1 thumbnail search, 0 otherwise
    quint8 marked = 0;  // the recorder sent the frame type plus 10
    quint8 spare = 0;

    // Copies `bytes` bytes of `source` into the payload, followed by 16 zero bytes; the memory
    // is reused when it is large enough, else a new one is made. Without memory the record
    // keeps no payload and size 0 (it is still queued); size below 1 gives no payload.
    void CopyPayload(const char* source, int bytes);
    // Back to a blank record that keeps its payload's memory for the next copy.
    void Recycle();
    bool HasPayload() const { return payload != nullptr && size > 0; }
};

using LiveFrameRecordPtr = std::unique_ptr<LiveFrameRecord>;
