#include "session/searchcontrol.h"

#include <QMutexLocker>

#include "common/media/moduledecoder.h"
#include "session/moduleplayback.h"

void SearchControl::ClearSearchSteps()
{
    for (PlaybackSlot& slot : m_slots)
        slot.nextSearchFrame = 0;
    m_search.step = -1;
}

QSize SearchControl::ChannelPictureSize(int channel)
{
    CModuleDecoder* decoder = channel >= 0 && channel < int(m_channels.size())
                                  ? m_channels[size_t(channel)].playbackDecoder.get()
                                  : nullptr;
    if (!decoder)
        return QSize();
    QMutexLocker lock(decoder->GetPictureLock());
    return decoder->GetImage().size();
}

void SearchControl::RememberSearchStart(int channel, int date, int time)
{
    m_search.savedChannel = channel;
    m_search.savedDate = date;
    m_search.savedTime = time;
    for (ChannelState& channel : m_channels)
        channel.searchRecordMark = 0;
}

CModulePlayback* SearchControl::MakeSearchScheduler(SearchState::Popup popup)
{
    std::unique_ptr<CModulePlayback>& slot = m_search.SchedulerSlot(popup);
    if (!slot && m_deviceIndex >= 0)
        slot = std::make_unique<CModulePlayback>(&m_schedulerHost, nullptr);
    return m_search.Scheduler(popup);
}
