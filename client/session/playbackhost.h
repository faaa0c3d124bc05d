#pragma once
// What a remote playback scheduler (CModulePlayback) needs of the session that owns it. The
// session object implements it; tests implement it with a recorder of the calls.
#include <QtGlobal>

#include "session/playbackmode.h"
#include "session/schedulerkind.h"

// One frame (or an empty notice, size 0 or less) that a scheduler hands to its session.
struct PlaybackFrame
{
    int channel = 0;
    const char* data = nullptr; // the frame's bytes, valid only during the call
    int size = 0;
    int streamKind = 0;
    int date = 0;      // YYYYMMDD
    int time = 0;      // HHMMSS
    int delay = 0;     // ms to wait before showing it; 9999 after a jump, -1 single frame, 1 sound
    bool skip = false; // decode only, do not show
    PlaybackMode state = PlaybackMode::Idle; // the scheduler's state when the frame was handed on
    SchedulerKind kind = SchedulerKind::Playback;
    bool key = false; // asked for as a key frame
};

class PlaybackHost
{
public:
    virtual ~PlaybackHost() = default;

    // True when the hub's recorder table holds a session at `recorderIndex`.
    virtual bool IsRecorderRegistered(int recorderIndex) const = 0;
    // The session's playback-enabled flag (set while a remote search view plays the recorder).
    virtual bool IsPlaybackEnabled() const = 0;
    // The recorder's channel count (the scheduler whose channel equals it carries the sound).
    virtual int GetChannelCount() const = 0;
    // The session's playback audio channel, -1 when none.
    virtual int GetAudioChannel() const = 0;
    // The playback frame rate of a channel slot (0 to 16).
    virtual int GetPlaybackFps(int slot) const = 0;
    // The split mode of a channel slot's cell group (0 to 16).
    virtual int GetScrMode(int slot) const = 0;
    // The fast-mode speed code (2 to 8): the session's for remote playback, the search pop-up's
    // for the thumbnail (or quick) and museum searches.
    virtual int GetSpeedCode(SchedulerKind kind) const = 0;
    // A thumbnail or quick search scheduler is about to ask for index data: the session turns
    // its thumbnail mode on unless its quick search mode is on.
    virtual void EnterThumbnailMode() = 0;

    // The day index of a channel (first storage slot; the session walks the others).
    virtual void SendIntraIndexRequest(int date, int channel, SchedulerKind kind) = 0;
    // One minute block (960 bytes, or -1 for a file's last block) of index file `file`.
    virtual void SendIntraHeaderRequest(int channel, int file, qint64 offset, int size, int kind) = 0;
    // Queued and sent in batches by the session timer. `requestKind` comes back with the reply:
    // the scheduler's kind for plain requests, kind + 3 for a frame that goes into the
    // scheduler's buffer. A negative `file` asks for an end notice answered at once.
    virtual void QueueFrameHeader(int channel, int file, qint64 offset, int size, int requestKind) = 0;
    virtual void QueueFrameData(int channel, int file, qint64 offset, int size, int requestKind) = 0;
    // Sent at once (the header prefetch, request kind + 6).
    virtual bool SendFrameListRequest(int channel, int file, qint64 offset, int size, int requestKind) = 0;

    // Hand-over of one played frame to the session's queues.
    virtual void OnSetFrameData(const PlaybackFrame& frame) = 0;
};
