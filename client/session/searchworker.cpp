#include "session/searchworker.h"

#include <QDebug>
#include <QMutexLocker>

#include <algorithm>

#include "common/media/moduledecoder.h"
#include "common/media/mulaw.h"
#include "session/audiopipeline.h"
#include "session/mediaintake.h"
#include "session/moduleplayback.h"
#include "session/museumsearchpopup.h"
#include "session/permissionmasks.h"
#include "session/playbackstate.h"
#include "session/quicksearchpopup.h"
#include "session/searchstate.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"
#include "session/sessionlogin.h"
#include "session/sessionsound.h"
#include "session/sessionthread.h"
#include "session/thumbnailsearchpopup.h"

namespace {
constexpr int kMaxDelayMs = 1000;
}

SearchWorker::SearchWorker(const Session& session, int index)
    : m_session(session)
    , m_index(index)
    , m_thread(*session.playbackSlots[size_t(index)].searchThread)
    , m_queue(session.playbackSlots[size_t(index)].queue)
    , m_sound(AudioPipeline::kAudioBufferSize)
{
    const int recorder = session.deviceIndex;
    m_writeSound = [recorder](const char* data, int bytes) {
        QByteArray swapped(data, bytes);
        SwapWords(swapped.data(), swapped.size() & ~3);
        const QByteArray samples = sessionsound::ToSamples(swapped.constData(), swapped.size(), false);
        sessionsound::Write(samples.constData(), samples.size(), recorder);
    };
}

void SearchWorker::Run()
{
    const Session& s = m_session;
    PlaybackSlot& slot = s.playbackSlots[size_t(m_index)];
    while (m_thread.ShouldRun()) {
        LiveFrameRecordPtr r = m_thread.NextRecord();
        if (!r)
            continue;
        const Modes modes = CurrentModes();
        if (!Wanted(*r, modes))
            continue;
        const int count = s.login.channelCount.load();
        if (s.login.loggedIn.load() == 0 || s.playback.active.load() == 0 || m_index > count)
            continue;
        if (r->date >= 0 && r->time >= 0 && (!r->decodeOnly || r->size == 0)) {
            // The channel's and the session's play time: every control and every search
            // hand-back goes on from the picture last shown.
            slot.lastPlayDate = r->date;
            slot.lastPlayTime = r->time;
            s.playback.playDate = r->date;
            s.playback.playTime = r->time;
        }
        CModulePlayback* scheduler = slot.scheduler.get();
        if (!scheduler)
            continue;
        const PlaybackMode state = scheduler->GetState();
        if (HeldBackByPlayState(*r, modes, state))
            continue;
        if (r->size == 1 || (r->size != 0 && !r->payload))
            continue;
        m_popupFinished = false;
        Play(*r, modes, count);
        // The session timer reads the next-search-frame flag to ask for the next step.
        // A decode-only frame is followed by the next one of its batch (the step is set before
        // the flag, so the timer never repeats the previous step for it), unless the pop-up,
        // told of a frame the decoder could not use, answered that its search is finished.
        // A record taken before a search began or ended (playback still going on while a search
        // pop-up opens) steps nothing: the session timer would take its flag as the pop-up's
        // next step and walk one second twice.
        const bool popupSearch = modes.museum || modes.thumbnail;
        const bool modesHeld = CurrentModes() == modes;
        if (popupSearch && r->decodeOnly && modesHeld && !m_popupFinished)
            s.search.step = SearchState::kStepNextFrame;
        if (!modesHeld)
            slot.nextSearchFrame = 0;
        else if (popupSearch)
            slot.nextSearchFrame = StepDue() ? 1 : 0;
        else
            slot.nextSearchFrame = state != PlaybackMode::Stop ? 1 : 0;
        Pace(*r, modes, state, count);
        r.reset();
        m_thread.SleepWhileRunning(1);
    }
    m_queue.Drain();
}

SearchWorker::Modes SearchWorker::CurrentModes() const
{
    const Session& s = m_session;
    return Modes{s.search.museumMode.load() != 0, s.search.thumbnailMode.load() != 0,
                 s.search.quickMode.load() != 0};
}

bool SearchWorker::Wanted(LiveFrameRecord& r, const Modes& modes)
{
    if (modes.thumbnail)
        return r.searchKind == int(SchedulerKind::Thumbnail);
    if (modes.museum) {
        qCDebug(lcSession) << "thread museumdata" << r.searchKind;
        return r.searchKind == int(SchedulerKind::Museum);
    }
    if (r.searchKind == int(SchedulerKind::Playback)) {
        if (r.tag != m_session.playback.seq.load())
            return false;
        if (r.size == 4 && !r.payload) {
            // A second without data still moves the channel's clock.
            PlaybackSlot& slot = m_session.playbackSlots[size_t(m_index)];
            slot.lastPlayDate = r.date;
            slot.lastPlayTime = r.time;
            return false;
        }
        return true;
    }
    return r.searchKind == int(SchedulerKind::Thumbnail);
}

bool SearchWorker::HeldBackByPlayState(const LiveFrameRecord& r, const Modes& modes, PlaybackMode state)
{
    if (modes.museum || modes.thumbnail || (modes.quick && r.searchKind == int(SchedulerKind::Thumbnail)))
        return false;
    if (r.frameType != ModeCode(state) || state == PlaybackMode::Stop) {
        if (state == PlaybackMode::Stop)
            m_session.playbackSlots[size_t(m_index)].nextSearchFrame = 0;
        m_thread.SleepWhileRunning(5);
        return true;
    }
    if (r.delay == SearchState::kThumbnailWalkDelay || r.delay == SearchState::kMuseumWalkDelay) {
        m_thread.SleepWhileRunning(1);
        return true;
    }
    return false;
}

void SearchWorker::Play(LiveFrameRecord& r, const Modes& modes, int count)
{
    if (m_index == count) {
        // The playback stream's sound.
        if (!r.HasPayload())
            return;
        constexpr int flush = AudioPipeline::kSearchAudioFlushBytes;
        m_sound.Append(r.payload.get(), r.size, m_writeSound);
        if (m_sound.Count() >= flush) {
            m_writeSound(m_sound.Data(), flush);
            qCDebug(lcSession) << "Audio Data" << m_index << r.size << m_sound.Count() << flush;
            m_sound.Consume(flush);
        }
        return;
    }
    if (r.size <= 0) {
        DeliverNotice(false, r.kind, modes);
        return;
    }
    CModuleDecoder* decoder = m_index < kSessionChannels
                                  ? m_session.channels[size_t(m_index)].playbackDecoder.get()
                                  : nullptr;
    if (!decoder)
        return;
    const int result = decoder->OnDecode(reinterpret_cast<unsigned char*>(r.payload.get()), r.size, r.kind, 0, 0,
                                         r.decodeOnly != 0);
    if (result == CModuleDecoder::ErrSameFrame) {
        r.decodeOnly = 1;
        DeliverNotice(false, r.kind, modes);
    } else if (result <= 0) {
        DeliverNotice(false, r.kind, modes);
    } else if (result > 1000 && !r.decodeOnly) {
        DeliverNotice(true, r.kind, modes);
    }
}

void SearchWorker::DeliverNotice(bool picture, int streamKind, const Modes& modes)
{
    const Session& s = m_session;
    const int index = m_index;
    if (index >= kSessionChannels || !(s.masks.search.load() & (1u << index)))
        return;
    // A search that began or ended while the frame was decoded does not take it: the picture of
    // a stopped playback is no searched picture, and a searched one no played one.
    if (!(CurrentModes() == modes))
        return;
    // Each search pop-up takes its channel's pictures; the session's own playback goes to its
    // grid.
    if (modes.museum || modes.thumbnail) {
        DeliverToPopup(picture, streamKind, modes);
        return;
    }
    if (modes.quick) {
        QuickSearchPopup* popup = QuickSearchPopup::Instance();
        CModuleDecoder* decoder = s.channels[size_t(index)].playbackDecoder.get();
        if (picture && popup && decoder && popup->GetChannel() == index)
            popup->SetCameoImage(s.deviceIndex, index + kSessionChannels,
                                 SearchState::TimeText(s.playbackSlots[size_t(index)].lastPlayTime.load()),
                                 decoder->GetImage());
        return;
    }
    if (s.search.AnyOn())
        return;
    if (SessionHub* hub = SessionHub::Instance())
        hub->CountCameoFrame(s.deviceIndex, index + kSessionChannels, s.playbackGrid.load(),
                             s.channels[size_t(index)].route.playbackCell.load(), picture ? 0 : 1, 0);
}

void SearchWorker::DeliverToPopup(bool picture, int streamKind, const Modes& modes)
{
    const Session& s = m_session;
    const int index = m_index;
    const QString timeText = SearchState::TimeText(s.playbackSlots[size_t(index)].lastPlayTime.load());
    QImage image;
    if (picture) {
        if (CModuleDecoder* decoder = s.channels[size_t(index)].playbackDecoder.get()) {
            // A shallow copy: the decoder never writes into a picture it has handed out.
            QMutexLocker lock(decoder->GetPictureLock());
            image = decoder->GetImage();
        }
    }
    int step = -999;
    CModulePlayback* scheduler = nullptr;
    if (modes.museum) {
        MuseumSearchPopup* popup = MuseumSearchPopup::Instance();
        scheduler = s.search.Scheduler(SearchState::Popup::Museum);
        if (!popup || !scheduler)
            return;
        popup->SetStreamFlag(quint8(streamKind));
        step = popup->SetCameoImage(s.deviceIndex, index + kSessionChannels, timeText, image,
                                    scheduler->GetMuseumMatch());
    } else {
        ThumbnailSearchPopup* popup = ThumbnailSearchPopup::Instance();
        scheduler = s.search.Scheduler(SearchState::Popup::Thumbnail);
        if (!popup || !scheduler)
            return;
        step = popup->SetCameoImage(s.deviceIndex, index + kSessionChannels, timeText, image);
    }
    // While the pop-up plays, the scheduler goes on in the mode the pop-up chose.
    if (SearchState::IsPlayCode(step))
        scheduler->SetMode(SearchState::PlayCodeMode(step));
    // Neither a time to fetch nor a play code: the pop-up wants no further step.
    m_popupFinished = step < 0 && !SearchState::IsPlayCode(step);
    s.search.step = step;
}

bool SearchWorker::StepDue() const
{
    // Only the pop-up's channel steps the search on: after a time to fetch, a play code or a
    // decode-only frame.
    int channel = -1;
    if (m_session.search.museumMode.load() != 0) {
        if (const MuseumSearchPopup* popup = MuseumSearchPopup::Instance())
            channel = popup->GetChannel();
    } else if (const ThumbnailSearchPopup* popup = ThumbnailSearchPopup::Instance()) {
        channel = popup->GetChannel();
    }
    const int step = m_session.search.step.load();
    return m_index == channel
           && (step >= 0 || step == SearchState::kStepNextFrame || SearchState::IsPlayCode(step));
}

void SearchWorker::Pace(const LiveFrameRecord& r, const Modes& modes, PlaybackMode state, int count)
{
    // A search pop-up that walks takes the next picture at once.
    const bool popupSearch = modes.museum || modes.thumbnail;
    const bool walking = popupSearch && !SearchState::IsPlayCode(m_session.search.step.load());
    // Pacing by the record's delay since the previous one.
    if (walking) {
        m_thread.SleepWhileRunning(1);
    } else if (!m_started) {
        m_started = true;
        m_thread.SleepWhileRunning(1);
        m_clock.start();
    } else if (r.delay == 1) {
        m_thread.SleepWhileRunning(1);
    } else {
        const int elapsed = int(m_clock.elapsed());
        const int wait = r.delay == 9999 ? 1000 : std::clamp(r.delay - elapsed, 1, kMaxDelayMs);
        m_thread.SleepWhileRunning(wait);
        if (!modes.quick && state != PlaybackMode::Stop)
            KeepChannelsTogether(r, count);
        m_clock.restart();
    }
}

void SearchWorker::KeepChannelsTogether(const LiveFrameRecord& r, int count)
{
    // Wait while another playing channel of the same day lags behind.
    for (int j = 0; j < count; ++j) {
        if (j == m_index || !m_session.media.ChannelTakesPart(j))
            continue;
        const PlaybackSlot& other = m_session.playbackSlots[size_t(j)];
        if (other.lastPlayDate.load() != r.date)
            continue;
        const PlaybackMode mode = m_session.playback.mode.load();
        const int otherTime = other.lastPlayTime.load();
        const bool forward = mode == PlaybackMode::Forward || mode == PlaybackMode::FastForward;
        if ((forward && r.time > otherTime) || (IsBackwardPlayback(mode) && r.time < otherTime)) {
            m_thread.SleepWhileRunning(10);
            return;
        }
    }
}
