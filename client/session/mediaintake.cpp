#include "session/mediaintake.h"

#include <QDebug>
#include <QTime>

#include "common/media/moduledecoder.h"
#include "net/modulenetwork.h"
#include "session/moduledevice.h"
#include "session/moduleplayback.h"
#include "session/museumsearchpopup.h"
#include "session/playbackview.h"
#include "session/quicksearchpopup.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"
#include "session/sessionrecording.h"
#include "session/sessionthread.h"
#include "session/thumbnailsearchpopup.h"

namespace {

constexpr int kThrottleRecordsPerChannel = 30;
constexpr int kRateSlow = 1;
constexpr int kRateFull = 64;

} // namespace

MediaIntake::MediaIntake(CModuleDevice& session)
    : m_s(session)
{}

MediaIntake::~MediaIntake() = default;

int MediaIntake::NextPlaybackTag(int current)
{
    // A stop leaves 999; anything outside 1..100 starts again at 1, so the first playback after
    // a stop carries tag 1 and is never taken for a stale one.
    if (current < 1 || current >= 100)
        return 1;
    return current + 1;
}

void MediaIntake::ConnectMediaIntake(CModuleNetwork* network, bool playbackConnection)
{
    if (!network)
        return;
    if (playbackConnection) {
        QObject::connect(network, &CModuleNetwork::SetRecvPlaybackVideo, &m_s,
                         &CModuleDevice::OnRecvPlaybackVideoSec);
        QObject::connect(network, &CModuleNetwork::SetRecvPlaybackAudio, &m_s,
                         &CModuleDevice::OnRecvPlaybackAudioSec);
        QObject::connect(network, &CModuleNetwork::SetRecvFrameHeader, &m_s, &CModuleDevice::OnRecvFrameHeader);
        QObject::connect(network, &CModuleNetwork::SetRecvFrameData, &m_s, &CModuleDevice::OnRecvFrameData);
    } else {
        QObject::connect(network, &CModuleNetwork::SetRecvLiveVideo, &m_s, &CModuleDevice::OnRecvLiveVideo);
        QObject::connect(network, &CModuleNetwork::SetRecvLiveAudio, &m_s, &CModuleDevice::OnRecvLiveAudio);
        QObject::connect(network, &CModuleNetwork::SetRecvPlaybackVideo, &m_s,
                         &CModuleDevice::OnRecvPlaybackVideo);
        QObject::connect(network, &CModuleNetwork::SetRecvIntraHeader, &m_s, &CModuleDevice::OnRecvIntraHeader);
        QObject::connect(network, &CModuleNetwork::SetRecvPlaybackInfo, &m_s, &CModuleDevice::OnRecvPlaybackInfo);
        // Frame requests that the playback connection refused go out on this one.
        QObject::connect(network, &CModuleNetwork::SetRecvFrameHeader, &m_s, &CModuleDevice::OnRecvFrameHeader);
        QObject::connect(network, &CModuleNetwork::SetRecvFrameData, &m_s, &CModuleDevice::OnRecvFrameData);
    }
}

void MediaIntake::StartMediaThreads()
{
    const int n = m_s.m_login.channelCount.load();
    for (int s = 0; s < CModuleDevice::kSlots; ++s) {
        m_s.m_slots[s].lastSecond = -1;
        m_s.m_slots[s].pacingDelay = 1;
    }
    rateState = 0;
    for (int ch = 0; ch < n; ++ch)
        m_s.m_channels[ch].liveThread->Start(&CModuleDevice::THREAD_LIVE, &m_s, ch);
    for (int s = 0; s <= n && s < CModuleDevice::kSlots; ++s)
        m_s.m_slots[s].searchThread->Start(&CModuleDevice::THREAD_SEARCH, &m_s, s);
    // The audio threads are only told to stop at a disconnect; one still draining is waited for
    // before it is started again.
    liveAudio.thread->Start(&CModuleDevice::THREAD_LIVE_AUDIO, &m_s, 0);
    playbackAudio.thread->Start(&CModuleDevice::THREAD_PLAYBACK_AUDIO, &m_s, 0);
}

void MediaIntake::CreateSchedulers()
{
    const int n = m_s.m_login.channelCount.load();
    for (int s = 0; s <= n && s < CModuleDevice::kSlots; ++s) {
        if (m_s.m_slots[s].scheduler)
            continue;
        auto scheduler = std::make_unique<CModulePlayback>(&m_s, nullptr);
        if (!scheduler->Bind(m_s.m_deviceIndex, s, SchedulerKind::Playback)) {
            qCDebug(lcSession) << m_s.GetDvrName() << "playback scheduler of slot" << s << "not bound";
            continue;
        }
        m_s.m_slots[s].scheduler = std::move(scheduler);
    }
}

bool MediaIntake::ChannelTakesPart(int ch) const
{
    if (!m_s.ValidChannel(ch))
        return false;
    return (m_s.m_playbackGrid.load() >= 0 && m_s.m_channels[ch].route.playbackCell.load() >= 0)
           || m_s.m_channels[ch].searchRecordMark.load() != 0;
}

bool MediaIntake::LiveNeededByRecording(int ch) const
{
    if (!m_s.ValidChannel(ch))
        return false;
    if (m_s.m_channels[size_t(ch)].liveRecordMark.load() != 0)
        return true;
    return m_s.m_recording->EventBackupNeedsLive(ch);
}

CModulePlayback* MediaIntake::SchedulerForKind(int channel, int kind) const
{
    // The reply's kind is the asking scheduler's (plus 3 for its buffer, 6 for the prefetch):
    // the channel's own for remote playback, the quick search pop-up's while it searches.
    if (channel < 0 || channel >= CModuleDevice::kSlots || kind < 0 || kind > 8)
        return nullptr;
    const auto boundTo = [channel](CModulePlayback* p) { return p && p->GetChannel() == channel ? p : nullptr; };
    if (kind % 3 == int(SchedulerKind::Thumbnail) && m_s.m_search.thumbnailMode.load() != 0)
        return boundTo(m_s.m_search.Scheduler(SearchState::Popup::Thumbnail));
    if (kind % 3 == int(SchedulerKind::Museum) && m_s.m_search.museumMode.load() != 0)
        return boundTo(m_s.m_search.Scheduler(SearchState::Popup::Museum));
    if (kind % 3 == int(SchedulerKind::Thumbnail) && m_s.m_search.quickMode.load() != 0)
        return boundTo(m_s.m_search.Scheduler(SearchState::Popup::Quick));
    if (kind % 3 != 0)
        return nullptr;
    return m_s.m_slots[channel].scheduler.get();
}

bool MediaIntake::SearchRecordOn(int channel, bool museum, bool thumbnail) const
{
    // In the museum and thumbnail searches the pop-up's record button decides.
    if (museum) {
        const MuseumSearchPopup* popup = MuseumSearchPopup::Instance();
        return popup && popup->GetRecordFlag();
    }
    if (thumbnail) {
        const ThumbnailSearchPopup* popup = ThumbnailSearchPopup::Instance();
        return popup && popup->GetRecordFlag();
    }
    return m_s.m_channels[size_t(channel)].searchRecordMark.load() != 0;
}

void MediaIntake::MarkPlaybackViewStarted()
{
    if (!m_s.m_playback.view || m_s.m_playback.view->IsPlaybackStarted())
        return;
    SessionHub* hub = SessionHub::Instance();
    if (hub && hub->MessageTitle() == QLatin1String("Remote Playback"))
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
    qCDebug(lcSession) << "Finish Search" << QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    m_s.m_playback.view->MarkPlaybackStarted(m_s.GetDvrName());
}

void MediaIntake::ShowQuickSearchFrame(const PlaybackFrame& frame)
{
    // A key frame the quick search asked for (a seek or a thumbnail) is decoded at once with the
    // search decoder and handed to the pop-up as a copy.
    if (!m_s.ValidChannel(frame.channel) || frame.size <= 0 || !searchDecoder)
        return;
    m_s.m_slots[size_t(frame.channel)].lastPlayDate = frame.date;
    m_s.m_slots[size_t(frame.channel)].lastPlayTime = frame.time;
    m_s.m_playback.playDate = frame.date;
    m_s.m_playback.playTime = frame.time;
    const int result = searchDecoder->OnDecode(reinterpret_cast<unsigned char*>(const_cast<char*>(frame.data)),
                                               frame.size, frame.streamKind, 0, 0, frame.skip);
    QuickSearchPopup* popup = QuickSearchPopup::Instance();
    if (result > 1000 && !frame.skip && popup)
        popup->SetCameoImage(m_s.m_deviceIndex, frame.channel + CModuleDevice::kChannels,
                             SearchState::TimeText(frame.time), searchDecoder->GetImage());
}

void MediaIntake::AppendPlaybackRecord(int slot, LiveFrameRecordPtr record)
{
    if (slot < 0 || slot >= CModuleDevice::kSlots || !record)
        return;
    m_s.m_slots[size_t(slot)].queue.Append(std::move(record));
}

void MediaIntake::QueueSecondMarkers(int count, int kind, int date, int time, int tag)
{
    for (int c = 0; c < count; ++c) {
        if (!ChannelTakesPart(c))
            continue;
        auto marker = std::make_unique<LiveFrameRecord>();
        marker->channel = c;
        marker->size = 4;
        marker->kind = kind;
        marker->date = date;
        marker->time = time;
        marker->tag = tag;
        marker->frameType = ModeCode(m_s.m_playback.mode.load());
        AppendPlaybackRecord(c, std::move(marker));
    }
}

void MediaIntake::ThrottlePlaybackStream(int count, bool searching)
{
    // More than 30 records per shown channel queued slows the recorder down.
    int shown = 1;
    if (!searching)
        for (int c = 0; c < count; ++c)
            shown += ChannelTakesPart(c) ? 1 : 0;
    const int limit = kThrottleRecordsPerChannel * shown;
    int backlog = 0;
    for (int c = 0; c < count; ++c)
        backlog += m_s.m_slots[size_t(c)].queue.Count();
    if (!m_s.m_link.playbackNetwork)
        return;
    if (backlog > limit) {
        if (rateState.load() != kRateSlow) {
            rateState = kRateSlow;
            m_s.m_link.playbackNetwork->SendPlaybackRate(kRateSlow);
        }
    } else if (backlog < limit && rateState.load() == kRateSlow) {
        rateState = kRateFull;
        m_s.m_link.playbackNetwork->SendPlaybackRate(kRateFull);
    }
}

int MediaIntake::ProcessorLoad() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetProcessorLoad() : 0;
}

void MediaIntake::ActOnSearchStep()
{
    CModulePlayback* scheduler = m_s.m_search.thumbnailMode.load() != 0
                                     ? m_s.m_search.Scheduler(SearchState::Popup::Thumbnail)
                                 : m_s.m_search.museumMode.load() != 0
                                     ? m_s.m_search.Scheduler(SearchState::Popup::Museum)
                                     : nullptr;
    if (!scheduler)
        return;
    const int step = m_s.m_search.step.load();
    if (SearchState::IsPlayCode(step) || step == SearchState::kStepNextFrame)
        scheduler->NextFrame();
    else if (step >= 0)
        m_s.RequestPlayback(step, int(PlaybackMode::Forward));
}
