#pragma once
// The helpers of a recorder session's media pipeline: the wiring of the two connections' media
// replies, the session threads and playback schedulers made at login, which scheduler a reply
// belongs to, the playback queues fed from the intake (with the per-second markers and the
// throttle that slows the recorder when the queues grow), the quick search's picture and the
// step timer's next museum or thumbnail search step.
#include <atomic>
#include <memory>

#include "session/audiopipeline.h"
#include "session/lastpictures.h"
#include "session/liveframerecord.h"

class CModuleDecoder;
class CModuleDevice;
class CModuleNetwork;
class CModulePlayback;
struct PlaybackFrame;

class MediaIntake
{
public:
    explicit MediaIntake(CModuleDevice& session);
    ~MediaIntake();

    // The playback tag after `current` (1 to 100).
    static int NextPlaybackTag(int current);
    void ConnectMediaIntake(CModuleNetwork* network, bool playbackConnection);
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
    CModuleDevice& m_s;
};
