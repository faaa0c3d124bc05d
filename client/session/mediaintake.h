#pragma once
// The helpers of a recorder session's media pipeline: the session threads and playback
// schedulers made at login, which scheduler a reply belongs to, the playback queues fed from the
// intake (with the per-second markers and the throttle that slows the recorder when the queues
// grow), the quick search's picture and the step timer's next museum or thumbnail search step.
#include <QString>

#include <atomic>
#include <memory>

#include "session/audiopipeline.h"
#include "session/channelstate.h"
#include "session/lastpictures.h"
#include "session/liveframerecord.h"
#include "session/playbackslot.h"
#include "session/qthreadhelper.h"

class CModuleDecoder;
class CModulePlayback;
class PlaybackHost;
class SessionLink;
class SessionRecording;
struct PlaybackFrame;
struct PlaybackState;
struct SearchState;

// What the media intake asks of its session: its name and hub slot, and the next search step's
// playback request.
class MediaIntakeHost
{
public:
    virtual QString GetDvrName() const = 0;
    virtual int GetDeviceIndex() const = 0;
    virtual bool RequestPlayback(int time, int mode) = 0;

protected:
    ~MediaIntakeHost() = default;
};

class MediaIntake
{
public:
    // The session threads' procedures and what they are handed.
    struct Procedures
    {
        CQThreadHelper::ThreadProc live;
        CQThreadHelper::ThreadProc search;
        CQThreadHelper::ThreadProc liveAudio;
        CQThreadHelper::ThreadProc playbackAudio;
        void* owner;
    };
    // What the intake reads and writes of its session besides its own state: `link` gives the
    // playback connection the throttle slows, `recording` the event backup's wish for live
    // video, `channelCount` the channels of the login.
    struct Session
    {
        MediaIntakeHost& host;
        PlaybackHost& schedulerHost;
        Procedures procedures;
        ChannelStates& channels;
        PlaybackSlots& playbackSlots;
        SearchState& search;
        PlaybackState& playback;
        const SessionLink& link;
        const SessionRecording& recording;
        const std::atomic<int>& playbackGrid;
        const std::atomic<int>& channelCount;
    };

    explicit MediaIntake(const Session& session);
    ~MediaIntake();

    // The playback tag after `current` (1 to 100).
    static int NextPlaybackTag(int current);
    void StartMediaThreads();
    void CreateSchedulers();
    bool ChannelTakesPart(int ch) const;
    // Whether a live recording or a running event backup needs the channel's live video.
    bool LiveNeededByRecording(int ch) const;
    CModulePlayback* SchedulerForKind(int channel, int kind) const;
    // The step timer goes on with the museum or thumbnail search.
    void ActOnSearchStep();
    bool SearchRecordOn(int channel, bool museum, bool thumbnail) const;
    // The first played frame closes the loading notice and titles the playback view.
    void MarkPlaybackViewStarted();
    void ShowQuickSearchFrame(const PlaybackFrame& frame);
    void AppendPlaybackRecord(int slot, LiveFrameRecordPtr record);
    void QueueSecondMarkers(int count, int kind, int date, int time, int tag);
    void ThrottlePlaybackStream(int count, bool searching);
    int ProcessorLoad() const;

    // The playback rate last asked of the recorder (the throttle's state).
    std::atomic<int> rateState{0};
    // The quick search's decoder, made at login; the last picture of each live channel.
    std::unique_ptr<CModuleDecoder> searchDecoder;
    LastPictures lastPictures;
    // The two sound paths (the channels' and slots' own queues sit in their state).
    AudioPipeline liveAudio{"live audio"};
    AudioPipeline playbackAudio{"playback audio"};

private:
    const Session m_s;
};
