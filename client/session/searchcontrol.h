#pragma once
// The small steps the session's searches share: the museum, thumbnail and quick search
// schedulers made on first use, the search steps cleared, where a search starts, and the size
// of a channel's last played picture (the museum search's area is in its pixels).
#include <QSize>

#include "session/channelstate.h"
#include "session/playbackslot.h"
#include "session/searchstate.h"

class CModulePlayback;
class PlaybackHost;

class SearchControl
{
public:
    // `schedulerHost` serves the search schedulers made here; `deviceIndex` is the session's hub
    // slot (-1: none, and then no scheduler is made).
    SearchControl(ChannelStates& channels, PlaybackSlots& playbackSlots, SearchState& search,
                  PlaybackHost& schedulerHost, const int& deviceIndex)
        : m_channels(channels)
        , m_slots(playbackSlots)
        , m_search(search)
        , m_schedulerHost(schedulerHost)
        , m_deviceIndex(deviceIndex)
    {}

    // The search's scheduler, made on first use; null without its pop-up or a hub slot.
    CModulePlayback* MakeSearchScheduler(SearchState::Popup popup);
    void ClearSearchSteps();
    // The size of the channel's last played picture (none before the first).
    QSize ChannelPictureSize(int channel);
    // Keeps where a search starts and ends every search recording before it does.
    void RememberSearchStart(int channel, int date, int time);

private:
    ChannelStates& m_channels;
    PlaybackSlots& m_slots;
    SearchState& m_search;
    PlaybackHost& m_schedulerHost;
    const int& m_deviceIndex;
};
