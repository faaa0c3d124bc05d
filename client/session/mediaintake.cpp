#include "session/mediaintake.h"

#include <QDebug>
#include <QTime>

#include "common/media/moduledecoder.h"
#include "net/modulenetwork.h"
#include "session/moduleplayback.h"
#include "session/museumsearchpopup.h"
#include "session/playbackhost.h"
#include "session/playbackstate.h"
#include "session/playbackview.h"
#include "session/quicksearchpopup.h"
#include "session/searchstate.h"
#include "session/sessionhub.h"
#include "session/sessionlink.h"
#include "session/sessionlog.h"
#include "session/sessionrecording.h"
#include "session/sessionthread.h"
#include "session/thumbnailsearchpopup.h"

namespace {

constexpr int kThrottleRecordsPerChannel = 30;
constexpr int kRateSlow = 1;
constexpr int kRateFull = 64;

} // namespace

MediaIntake::MediaIntake(const Session& session)
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

void MediaIntake::StartMediaThreads()
{
    const int n = m_s.channelCount.load();
    for (int s = 0; s < kSessionSlots; ++s) {
        m_s.playbackSlots[s].lastSecond = -1;
        m_s.playbackSlots[s].pacingDelay = 1;
    }
    rateState = 0;
    for (int ch = 0; ch < n; ++ch)
        m_s.channels[ch].liveThread->Start(m_s.procedures.live, m_s.procedures.owner, ch);
    for (int s = 0; s <= n && s < kSessionSlots; ++s)
        m_s.playbackSlots[s].searchThread->Start(m_s.procedures.search, m_s.procedures.owner, s);
    // The audio threads are only told to stop at a disconnect; one still draining is waited for
    // before it is started again.
    liveAudio.thread->Start(m_s.procedures.liveAudio, m_s.procedures.owner, 0);
    playbackAudio.thread->Start(m_s.procedures.playbackAudio, m_s.procedures.owner, 0);
}

void MediaIntake::CreateSchedulers()
{
    const int n = m_s.channelCount.load();
    for (int s = 0; s <= n && s < kSessionSlots; ++s) {
        if (m_s.playbackSlots[s].scheduler)
            continue;
        auto scheduler = std::make_unique<CModulePlayback>(&m_s.schedulerHost, nullptr);
        if (!scheduler->Bind(m_s.host.GetDeviceIndex(), s, SchedulerKind::Playback)) {
            qCDebug(lcSession) << m_s.host.GetDvrName() << "playback scheduler of slot" << s << "not bound";
            continue;
        }
        m_s.playbackSlots[s].scheduler = std::move(scheduler);
    }
}

bool MediaIntake::ChannelTakesPart(int ch) const
{
    if (ch < 0 || ch >= kSessionChannels)
        return false;
    return (m_s.playbackGrid.load() >= 0 && m_s.channels[ch].route.playbackCell.load() >= 0)
           || m_s.channels[ch].searchRecordMark.load() != 0;
}

bool MediaIntake::LiveNeededByRecording(int ch) const
{
    if (ch < 0 || ch >= kSessionChannels)
        return false;
    if (m_s.channels[size_t(ch)].liveRecordMark.load() != 0)
        return true;
    return m_s.recording.EventBackupNeedsLive(ch);
}

CModulePlayback* MediaIntake::SchedulerForKind(int channel, int kind) const
{
    // The reply's kind is the asking scheduler's (plus 3 for its buffer, 6 for the prefetch):
    // the channel's own for remote playback, the quick search pop-up's while it searches.
    if (channel < 0 || channel >= kSessionSlots || kind < 0 || kind > 8)
        return nullptr;
    const auto boundTo = [channel](CModulePlayback* p) { return p && p->GetChannel() == channel ? p : nullptr; };
    if (kind % 3 == int(SchedulerKind::Thumbnail) && m_s.search.thumbnailMode.load() != 0)
        return boundTo(m_s.search.Scheduler(SearchState::Popup::Thumbnail));
    if (kind % 3 == int(SchedulerKind::Museum) && m_s.search.museumMode.load() != 0)
        return boundTo(m_s.search.Scheduler(SearchState::Popup::Museum));
    if (kind % 3 == int(SchedulerKind::Thumbnail) && m_s.search.quickMode.load() != 0)
        return boundTo(m_s.search.Scheduler(SearchState::Popup::Quick));
    if (kind % 3 != 0)
        return nullptr;
    return m_s.playbackSlots[channel].scheduler.get();
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
    return m_s.channels[size_t(channel)].searchRecordMark.load() != 0;
}

void MediaIntake::MarkPlaybackViewStarted()
{
    if (!m_s.playback.view || m_s.playback.view->IsPlaybackStarted())
        return;
    SessionHub* hub = SessionHub::Instance();
    if (hub && hub->MessageTitle() == QLatin1String("Remote Playback"))
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
    qCDebug(lcSession) << "Finish Search" << QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    m_s.playback.view->MarkPlaybackStarted(m_s.host.GetDvrName());
}

void MediaIntake::ShowQuickSearchFrame(const PlaybackFrame& frame)
{
    // A key frame the quick search asked for (a seek or a thumbnail) is decoded at once with the
    // search decoder and handed to the pop-up as a copy.
    if (frame.channel < 0 || frame.channel >= kSessionChannels || frame.size <= 0 || !searchDecoder)
        return;
    m_s.playbackSlots[size_t(frame.channel)].lastPlayDate = frame.date;
    m_s.playbackSlots[size_t(frame.channel)].lastPlayTime = frame.time;
    m_s.playback.playDate = frame.date;
    m_s.playback.playTime = frame.time;
    const int result = searchDecoder->OnDecode(reinterpret_cast<unsigned char*>(const_cast<char*>(frame.data)),
                                               frame.size, frame.streamKind, 0, 0, frame.skip);
    QuickSearchPopup* popup = QuickSearchPopup::Instance();
    if (result > 1000 && !frame.skip && popup)
        popup->SetCameoImage(m_s.host.GetDeviceIndex(), frame.channel + kSessionChannels,
                             SearchState::TimeText(frame.time), searchDecoder->GetImage());
}

void MediaIntake::AppendPlaybackRecord(int slot, LiveFrameRecordPtr record)
{
    if (slot < 0 || slot >= kSessionSlots || !record)
        return;
    m_s.playbackSlots[size_t(slot)].queue.Append(std::move(record));
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
        marker->frameType = ModeCode(m_s.playback.mode.load());
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
        backlog += m_s.playbackSlots[size_t(c)].queue.Count();
    if (!m_s.link.playbackNetwork)
        return;
    if (backlog > limit) {
        if (rateState.load() != kRateSlow) {
            rateState = kRateSlow;
            m_s.link.playbackNetwork->SendPlaybackRate(kRateSlow);
        }
    } else if (backlog < limit && rateState.load() == kRateSlow) {
        rateState = kRateFull;
        m_s.link.playbackNetwork->SendPlaybackRate(kRateFull);
    }
}

int MediaIntake::ProcessorLoad() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetProcessorLoad() : 0;
}

void MediaIntake::ActOnSearchStep()
{
    CModulePlayback* scheduler = m_s.search.thumbnailMode.load() != 0
                                     ? m_s.search.Scheduler(SearchState::Popup::Thumbnail)
                                 : m_s.search.museumMode.load() != 0
                                     ? m_s.search.Scheduler(SearchState::Popup::Museum)
                                     : nullptr;
    if (!scheduler)
        return;
    const int step = m_s.search.step.load();
    if (SearchState::IsPlayCode(step) || step == SearchState::kStepNextFrame)
        scheduler->NextFrame();
    else if (step >= 0)
        m_s.host.RequestPlayback(step, int(PlaybackMode::Forward));
}
