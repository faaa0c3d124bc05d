#pragma once
// The work of one search thread of a recorder session (its procedure THREAD_SEARCH): it takes the
// records of its playback slot's queue, keeps those the current search or playback wants, decodes
// them with the channel's playback decoder, hands the picture (or a no-picture notice) to the
// search pop-up or the playback grid, sets the slot's next-step flag, and paces the records by
// their delays while the channels of one day keep together. The slot after the channels carries
// the playback stream's sound instead. Its own state is the pacing clock and the sound it gathers.
#include <QElapsedTimer>

#include <atomic>
#include <functional>

#include "session/channelstate.h"
#include "session/playbackmode.h"
#include "session/playbackslot.h"
#include "session/soundgatherer.h"

class LiveFrameQueue;
class MediaIntake;
class SessionLogin;
struct PermissionMasks;
struct PlaybackState;
struct SearchState;
class SessionThread;
struct LiveFrameRecord;

class SearchWorker
{
public:
    // What a search thread reads and writes of its session.
    struct Session
    {
        PlaybackSlots& playbackSlots;
        ChannelStates& channels;
        SearchState& search;
        PlaybackState& playback;
        const PermissionMasks& masks;
        // The login flag and the channel count.
        const SessionLogin& login;
        // Which channels take part in the playback.
        const MediaIntake& media;
        const std::atomic<int>& playbackGrid;
        int deviceIndex;
    };

    SearchWorker(const Session& session, int index);

    // Runs until the slot's thread is asked to stop, then frees what is still queued.
    void Run();

private:
    struct Modes
    {
        bool museum;
        bool thumbnail;
        bool quick;
        bool operator==(const Modes& o) const
        {
            return museum == o.museum && thumbnail == o.thumbnail && quick == o.quick;
        }
    };
    Modes CurrentModes() const;
    bool Wanted(LiveFrameRecord& r, const Modes& modes);
    bool HeldBackByPlayState(const LiveFrameRecord& r, const Modes& modes, PlaybackMode state);
    void Play(LiveFrameRecord& r, const Modes& modes, int count);
    void DeliverNotice(bool picture, int streamKind, const Modes& modes);
    void DeliverToPopup(bool picture, int streamKind, const Modes& modes);
    bool StepDue() const;
    void Pace(const LiveFrameRecord& r, const Modes& modes, PlaybackMode state, int count);
    void KeepChannelsTogether(const LiveFrameRecord& r, int count);

    const Session m_session;
    const int m_index;
    const SessionThread& m_thread;
    LiveFrameQueue& m_queue;
    SoundGatherer m_sound;
    std::function<void(const char*, int)> m_writeSound;
    bool m_started = false;
    // The pop-up answered the record being handled with no further step.
    bool m_popupFinished = false;
    QElapsedTimer m_clock;
};
