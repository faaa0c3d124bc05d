#pragma once
// The small steps the session's searches share: the museum, thumbnail and quick search
// schedulers made on first use, the search steps cleared, where a search starts, and the size
// of a channel's last played picture (the museum search's area is in its pixels).
#include <QSize>

#include "session/searchstate.h"

class CModuleDevice;
class CModulePlayback;

class SearchControl
{
public:
    explicit SearchControl(CModuleDevice& session)
        : m_s(session)
    {}

    // The search's scheduler, made on first use; null without its pop-up or a hub slot.
    CModulePlayback* MakeSearchScheduler(SearchState::Popup popup);
    void ClearSearchSteps();
    // The size of the channel's last played picture (none before the first).
    QSize ChannelPictureSize(int channel);
    // Keeps where a search starts and ends every search recording before it does.
    void RememberSearchStart(int channel, int date, int time);

private:
    CModuleDevice& m_s;
};
