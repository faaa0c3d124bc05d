#pragma once
// The record lists and the index scan of a recorder session: the time, event and audio lists of
// the storage slots mark the 17 minute maps, the day's index scan finds each channel's first
// recorded minute, and the index chain hands each channel's index to the scheduler that asked
// for it. The chain's position (IndexChain) is this part's own state; the lists arrive through
// the session's list slots.
#include <QString>
#include <QtGlobal>

#include "session/channelstate.h"
#include "session/indexchain.h"
#include "session/playbackmode.h"
#include "session/playbackslot.h"

class CModulePlayback;
class RecorderWait;
class SessionLink;
class SlotReceiveBuffers;
struct PlaybackState;
struct SearchState;

// What the list intake asks of its session: its name and hub slot, the live channel count, and
// the two steps that follow a complete index chain (the next index, the playback start).
class RecordListHost
{
public:
    virtual QString GetDvrName() const = 0;
    virtual int GetDeviceIndex() const = 0;
    virtual int LiveChannelCount() const = 0;
    virtual void GetIntraIndex(int channel) = 0;
    virtual void SendPlaybackCtrlExtSec(PlaybackMode mode, int speed, int date, int time) = 0;

protected:
    ~RecordListHost() = default;
};

class RecordListIntake
{
public:
    // The highest storage slot a list or an index comes from; the index kind of the day's scan.
    static constexpr int kLastStorageSlot = 8;
    static constexpr int kIndexScanKind = 6;

    // `link` gives the permissions and the connections the requests go out on.
    RecordListIntake(RecordListHost& host, ChannelStates& channels, PlaybackSlots& playbackSlots,
                     SearchState& search, PlaybackState& playback, const SessionLink& link,
                     const SlotReceiveBuffers& buffers)
        : m_host(host)
        , m_channels(channels)
        , m_slots(playbackSlots)
        , m_search(search)
        , m_playback(playback)
        , m_link(link)
        , m_buffers(buffers)
    {}

    IndexChain& Chain() { return m_chain; }
    const IndexChain& Chain() const { return m_chain; }

    bool ListSlotValid(int slot, const char* what) const;
    // The minute masks of a time list (per channel, as the search mask allows) or an audio list.
    void MarkMinuteMasks(const char* list, int size, bool audio);
    void MarkEventMinutes(const char* list, int size);
    // The next step of the day's index scan after an index of `slot` and `channel` came in.
    void ScanNextIndex(int slot, int channel, const char* buffer, int bytes);
    // The index request whose answer is awaited (channel -1: none).
    void AwaitIndex(int channel, int kind);
    // Hands a non-scan index to the scheduler that asked for it.
    void FeedIndex(int channel, int kind, const char* buffer, int bytes, int slot, bool thumbnail, bool museum,
                   bool quick);
    void FinishIndexChain(int channel, bool thumbnail, bool museum, bool quick, int kind);
    void StartIndexSearch(int channel);
    // The wait settled: the "Remote Playback" box closes when it is the session's own.
    void SettleRecorderWait();
    // A box waiting on this recorder saw no answer within the limit, or a reply it cannot read.
    void OnRecorderWaitEnded(int why);

    // The wait of the box that stands while the recorder answers the playback information, the
    // day's lists and index, and the first played picture.
    RecorderWait* recorderWait = nullptr;

private:
    // The slot's minute map, made when a list first marks a minute of it.
    quint8* WritableMinuteTable(int slot);
    CModulePlayback* GetPlayback(int slot) const;

    RecordListHost& m_host;
    ChannelStates& m_channels;
    PlaybackSlots& m_slots;
    SearchState& m_search;
    PlaybackState& m_playback;
    const SessionLink& m_link;
    const SlotReceiveBuffers& m_buffers;
    IndexChain m_chain;
};
