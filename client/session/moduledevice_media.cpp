// The session's media pipeline: live and playback intake into the queues, the worker loops that
// pace, decode and hand pictures and sound on, and the hosting of the channel playback
// schedulers.
#include "session/mediaintake.h"
#include "session/moduledevice.h"
#include "session/playbackview.h"
#include "session/recordlistintake.h"
#include "session/requestpacing.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QTime>

#include <algorithm>
#include <cstring>

#include "common/media/moduledecoder.h"
#include "common/media/modulerecord.h"
#include "common/media/mulaw.h"
#include "net/modulenetwork.h"
#include "session/backuphosts.h"
#include "session/livedecodeworker.h"
#include "session/livepacer.h"
#include "session/moduleplayback.h"
#include "session/museumsearchpopup.h"
#include "session/quicksearchpopup.h"
#include "session/recorderwait.h"
#include "session/searchworker.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"
#include "session/sessionrecording.h"
#include "session/sessionsound.h"
#include "session/sessionthread.h"
#include "session/slotreceivebuffers.h"
#include "session/soundgatherer.h"
#include "session/thumbnailsearchpopup.h"

namespace {

constexpr int kMaxDelayMs = 1000;

} // namespace

// =============================================================================================
// A new connection's replies

void CModuleDevice::WireConnection(CModuleNetwork* network, bool playbackConnection)
{
    if (!network)
        return;
    if (playbackConnection) {
        connect(network, &CModuleNetwork::SetNetworkState, this, &CModuleDevice::OnNetworkStateS);
        connect(network, &CModuleNetwork::SetRecvPlaybackVideo, this, &CModuleDevice::OnRecvPlaybackVideoSec);
        connect(network, &CModuleNetwork::SetRecvPlaybackAudio, this, &CModuleDevice::OnRecvPlaybackAudioSec);
        connect(network, &CModuleNetwork::SetRecvFrameHeader, this, &CModuleDevice::OnRecvFrameHeader);
        connect(network, &CModuleNetwork::SetRecvFrameData, this, &CModuleDevice::OnRecvFrameData);
    } else {
        connect(network, &CModuleNetwork::SetNetworkState, this, &CModuleDevice::OnNetworkState);
        connect(network, &CModuleNetwork::SetUsageNetwork, this, &CModuleDevice::OnUsageNetwork);
        connect(network, &CModuleNetwork::SetRecvLiveVideo, this, &CModuleDevice::OnRecvLiveVideo);
        connect(network, &CModuleNetwork::SetRecvLiveAudio, this, &CModuleDevice::OnRecvLiveAudio);
        connect(network, &CModuleNetwork::SetRecvPlaybackVideo, this, &CModuleDevice::OnRecvPlaybackVideo);
        connect(network, &CModuleNetwork::SetRecvIntraHeader, this, &CModuleDevice::OnRecvIntraHeader);
        connect(network, &CModuleNetwork::SetRecvPlaybackInfo, this, &CModuleDevice::OnRecvPlaybackInfo);
        // Frame requests that the playback connection refused go out on this one.
        connect(network, &CModuleNetwork::SetRecvFrameHeader, this, &CModuleDevice::OnRecvFrameHeader);
        connect(network, &CModuleNetwork::SetRecvFrameData, this, &CModuleDevice::OnRecvFrameData);
        // The record lists, the backup and console replies come on the live connection.
        connect(network, &CModuleNetwork::SetRecvTimeRecList, this, &CModuleDevice::OnRecvTimeRecList);
        connect(network, &CModuleNetwork::SetRecvEventRecList, this, &CModuleDevice::OnRecvEventRecList);
        connect(network, &CModuleNetwork::SetRecvAudioRecList, this, &CModuleDevice::OnRecvAudioRecList);
        connect(network, &CModuleNetwork::SetRecvIntraIndex, this, &CModuleDevice::OnRecvIntraIndex);
        connect(network, &CModuleNetwork::SetRecvListRefused, m_lists.recorderWait, &RecorderWait::Refuse);
        connect(network, &CModuleNetwork::SetRecvBackupCapa, this, &CModuleDevice::OnRecvBackupCapa);
        connect(network, &CModuleNetwork::SetRecvBurningRate, this, &CModuleDevice::OnRecvBurningRate);
        connect(network, &CModuleNetwork::SetRecvCDMedia, this, &CModuleDevice::OnRecvCDMedia);
        connect(network, &CModuleNetwork::SetRecvEraseResult, this, &CModuleDevice::OnRecvEraseResult);
        connect(network, &CModuleNetwork::SetRecvGuiData, this, &CModuleDevice::OnRecvGuiData);
        connect(network, &CModuleNetwork::SetRecvAsyncEvent, this, &CModuleDevice::OnRecvAsyncEvent);
        connect(network, &CModuleNetwork::SetRecvConsoleLockCanceled, this,
                &CModuleDevice::OnRecvConsoleLockCanceled);
        connect(network, &CModuleNetwork::SetRecvConfig, this, &CModuleDevice::SetRecvConfig);
    }
}

// =============================================================================================
// Small accessors

CModulePlayback* CModuleDevice::GetPlayback(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return nullptr;
    return m_slots[slot].scheduler.get();
}

PlaybackMode CModuleDevice::GetChannelPlaybackState(int channel) const
{
    const CModulePlayback* scheduler = GetPlayback(channel);
    return scheduler ? scheduler->GetState() : PlaybackMode::Idle;
}

// =============================================================================================
// Wiring, threads and schedulers

// =============================================================================================
// Live intake

LiveFigures CModuleDevice::GetLiveFigures(int ch) const
{
    LiveFigures figures;
    if (!ValidChannel(ch))
        return figures;
    figures.received = m_channels[size_t(ch)].liveReceived.load(std::memory_order_relaxed);
    if (const LiveDecodeWorker* worker = m_channels[size_t(ch)].liveWorker.get()) {
        figures.decoded = worker->DecodedFrames();
        figures.skippedForLoad = worker->SkippedForLoad();
    }
    figures.queued = m_channels[size_t(ch)].liveQueue.Count();
    figures.queuedMs = m_channels[size_t(ch)].liveQueue.QueuedMs();
    return figures;
}

void CModuleDevice::OnRecvLiveVideo(int channel, int size, int kind, int date, int time, int frameType,
                                    bool decodeOnly, int tick, int sequence)
{
    if (m_deviceIndex < 0)
        return;
    if (!ValidChannel(channel)) {
        qCDebug(lcSession) << GetDvrName() << "live frame of channel" << channel << "dropped";
        return;
    }
    if (size > SessionBuffers::kLiveFrameBufferSize || (size > 0 && !m_buffers.LiveFrame())) {
        qCDebug(lcSession) << GetDvrName() << "live frame of" << size << "bytes does not fit the buffer";
        return;
    }
    quint8 marked = 0;
    if (frameType >= 10) {
        frameType -= 10;
        marked = 1;
    }
    LiveFrameQueue& queue = m_channels[size_t(channel)].liveQueue;
    m_channels[size_t(channel)].liveReceived.fetch_add(1, std::memory_order_relaxed);
    if (!queue.Admit(m_channels[size_t(channel)].liveRate.load(), frameType == 0))
        return;

    // A record the channel's thread has finished with, else a new one.
    LiveFrameRecordPtr record = std::move(m_channels[size_t(channel)].spareLiveRecord);
    if (record)
        record->Recycle();
    else
        record = std::make_unique<LiveFrameRecord>();
    int delay = 0;
    if (m_channels[channel].prevTick != 0)
        delay = std::clamp(tick - m_channels[channel].prevTick, 0, kMaxDelayMs);
    m_channels[channel].prevTick = tick;

    m_channels[size_t(channel)].liveFrameDate = date;
    m_channels[size_t(channel)].liveFrameTime = time;
    record->channel = channel;
    record->kind = kind;
    record->date = date;
    record->time = time;
    record->decodeOnly = decodeOnly ? 1 : 0;
    record->delay = delay;
    record->frameType = frameType;
    record->sequence = sequence;
    record->marked = marked;
    record->CopyPayload(size > 0 ? m_buffers.LiveFrame() : nullptr, size);

    if (record->HasPayload() && m_channels[channel].liveRecordMark.load())
        m_recording->Write(true, channel, date, time, frameType, kind, record->payload.get(), record->size, 0,
                           decodeOnly);
    m_recording->FeedEventBackup(channel, date, time, frameType, kind, record->payload.get(), record->size,
                                 decodeOnly);

    m_channels[size_t(channel)].spareLiveRecord = queue.AppendTakingSpare(std::move(record));

    // A channel no cell shows stops once its first picture is stored, unless something records
    // it: a stop would leave the recording or the event backup without frames.
    if (m_channels[channel].hasPicture.load()) {
        if (!m_channels[channel].liveShown.load() && !m_media.LiveNeededByRecording(channel))
            OnLiveStop(channel);
        m_channels[channel].hasPicture = 0;
    }
}

void CModuleDevice::OnRecvLiveAudio(int channel, int size, int kind, int date, int time, int /*tick*/)
{
    if (m_deviceIndex < 0)
        return;
    if (size > SessionBuffers::kLiveAudioBufferSize || (size > 0 && !m_buffers.LiveAudio())) {
        qCDebug(lcSession) << GetDvrName() << "live audio block of" << size << "bytes does not fit the buffer";
        return;
    }
    auto record = std::make_unique<LiveFrameRecord>();
    record->channel = channel;
    record->kind = kind;
    record->date = date;
    record->time = time;
    record->CopyPayload(size > 0 ? m_buffers.LiveAudio() : nullptr, size);
    m_media.liveAudio.queue.Append(std::move(record));
}

// =============================================================================================
// Playback intake

void CModuleDevice::OnRecvPlaybackVideoSec(int channel, int size, int kind, int date, int time, int tag,
                                           bool decodeOnly, char frameType, char sequence)
{
    if (m_deviceIndex < 0)
        return;
    const int count = m_login.channelCount.load();
    if (!ValidChannel(channel) || channel >= std::max(count, 1)) {
        qCDebug(lcSession) << GetDvrName() << "playback frame of channel" << channel << "dropped";
        return;
    }
    if (size < 0 || size > SlotReceiveBuffers::kFrameBufferSize) {
        qCDebug(lcSession) << GetDvrName() << "playback frame of" << size << "bytes dropped";
        return;
    }
    const PlaybackMode mode = m_playback.mode.load();
    if (mode == PlaybackMode::Stop || tag != m_playback.seq.load()) {
        qCDebug(lcSession) << ">>>>>>>>>>>>>>>>>>>>>>>> skip";
        return;
    }
    const int playDate = m_playback.playDate.load();
    const int playTime = m_playback.playTime.load();
    const auto& r = m_playback.recordedRange;
    if (playDate < r[0] || playDate > r[2] || (playDate == r[2] && r[3] < playTime)
        || (playDate == r[0] && playTime < r[1])) {
        // Playback has run off the recorded range: it stops here.
        SetPlaybackCtrl(PlaybackMode::Stop);
        return;
    }
    if (date != playDate)
        m_playback.playDate = date;

    const bool searching = m_search.AnyOn();
    // The recorder answered the play request: a box still waiting for it closes, also when the
    // window had shown its first picture before (a day chosen again).
    if (!searching)
        m_lists.SettleRecorderWait();
    if (!searching && size > 4)
        m_media.MarkPlaybackViewStarted();
    // A block of size 4 marks a second without data.
    if (time == m_slots[channel].lastSecond.load()) {
        if (size == 4) {
            for (int c = 0; c < count; ++c)
                m_slots[c].pacingDelay = m_slots[c].pacingDelay <= kMaxDelayMs ? m_slots[c].pacingDelay + 33
                                                                               : kMaxDelayMs;
            if (!searching)
                m_media.QueueSecondMarkers(count, kind, date, time, tag);
            return;
        }
    } else {
        if (m_slots[channel].lastSecond.load() == -1)
            m_slots[channel].pacingDelay = 1;
        m_slots[channel].lastSecond = time;
        if (size == 4)
            return;
    }
    m_media.ThrottlePlaybackStream(count, searching);

    auto record = std::make_unique<LiveFrameRecord>();
    record->channel = channel;
    record->kind = kind;
    record->playbackType = int(qint8(frameType));
    record->date = date;
    record->time = time;
    record->tag = tag;
    record->decodeOnly = decodeOnly ? 1 : 0;
    record->delay = m_slots[channel].pacingDelay;
    record->frameType = ModeCode(mode);
    record->searchKind = int(m_search.museumMode.load()      ? SchedulerKind::Museum
                             : m_search.thumbnailMode.load() ? SchedulerKind::Thumbnail
                                                             : SchedulerKind::Playback);
    if (IsFastPlayback(mode))
        record->delay = 1000 / GetSpeedCode(SchedulerKind::Playback);
    m_slots[channel].pacingDelay = 1;
    record->CopyPayload(size > 0 ? m_buffers.PlaybackBuffer() : nullptr, size);

    // Searched frames are recorded while the channel's search recording is on.
    if (record->HasPayload() && m_channels[channel].searchRecordMark.load())
        m_recording->Write(false, channel, date, time, int(qint8(frameType)), kind, record->payload.get(),
                           record->size, quint8(sequence), decodeOnly);
    m_media.AppendPlaybackRecord(channel, std::move(record));
}

void CModuleDevice::OnRecvPlaybackAudioSec(int size, int kind, int date, int time, int tag)
{
    if (m_deviceIndex < 0 || tag != m_playback.seq.load() || m_playback.audioChannel < 0)
        return;
    if (size > SlotReceiveBuffers::kFrameBufferSize) {
        qCDebug(lcSession) << GetDvrName() << "playback audio block of" << size << "bytes dropped";
        return;
    }
    auto record = std::make_unique<LiveFrameRecord>();
    record->channel = m_playback.audioChannel;
    record->kind = kind;
    record->date = date;
    record->time = time;
    record->tag = tag;
    record->CopyPayload(size > 0 ? m_buffers.PlaybackBuffer() : nullptr, size);
    m_media.playbackAudio.queue.Append(std::move(record));
}

void CModuleDevice::OnRecvPlaybackVideo(int channel, int size, int kind, int date, int time, int tag, bool key,
                                        char frameType, char sequence)
{
    // A schedule backup download goes to the schedule backup window; without one it is ignored.
    ScheduleBackupHost* schedule = m_recording->ScheduleHost();
    if (m_deviceIndex < 0 || !schedule)
        return;
    schedule->OnRecvPlaybackVideo(channel, size, kind, date, time, tag, key, frameType, sequence);
}

void CModuleDevice::OnRecvFrameHeader(int channel, int size, int streamKind, int kind)
{
    if (kind < 6 && m_pacing)
        m_pacing->Batcher().LowerInFlight();
    if (m_deviceIndex < 0 || !IsPlaybackActive())
        return;
    CModulePlayback* scheduler = m_media.SchedulerForKind(channel, kind);
    if (!scheduler)
        return;
    const char* header = kind < 6 ? m_buffers.Slots().HeaderBelow6(channel) : m_buffers.Slots().Header6Up(channel);
    if (!header || size < 0 || size > SlotReceiveBuffers::kBlockBufferSize) {
        qCDebug(lcSession) << GetDvrName() << "frame header of" << size << "bytes for slot" << channel
                           << "dropped";
        return;
    }
    scheduler->OnSetFrameHeader(size, streamKind, header, kind == 6);
}

void CModuleDevice::OnRecvFrameData(int channel, int size, int streamKind, int kind)
{
    if (m_deviceIndex < 0 || !IsPlaybackActive())
        return;
    CModulePlayback* scheduler = m_media.SchedulerForKind(channel, kind);
    if (!scheduler)
        return;
    const char* data = kind < 6 ? m_buffers.Slots().DataBelow6(channel) : m_buffers.Slots().Data6Up(channel);
    if (!data || size < 0 || size > SlotReceiveBuffers::kFrameBufferSize) {
        qCDebug(lcSession) << GetDvrName() << "frame of" << size << "bytes for slot" << channel << "dropped";
        return;
    }
    scheduler->OnSetFrameData(data, size, streamKind, kind == 3);
}

void CModuleDevice::OnRecvIntraHeader(int slot, int channel, int value, int size, int kind)
{
    qCDebug(lcSession) << "-----> recv header" << slot << channel << value << size << kind;
    if (m_deviceIndex < 0 || !IsPlaybackActive() || kind != 0)
        return;
    const char* block = channel >= 0 && channel < kSlots ? m_buffers.Slots().Index(channel) : nullptr;
    // As with the index, the reply names no scheduler: the one that asked takes it.
    CModulePlayback* scheduler = nullptr;
    if (m_lists.Chain().awaitedHeader.channel >= 0) {
        scheduler = m_lists.Chain().awaitedHeader.scheduler;
        m_lists.Chain().awaitedHeader = {};
    } else if (channel >= 0 && channel < kSlots) {
        scheduler = m_slots[channel].scheduler.get();
    }
    if (!scheduler || !block)
        return;
    if (size < 0 || size > SlotReceiveBuffers::kIndexBufferSize) {
        qCDebug(lcSession) << GetDvrName() << "index block of" << size << "bytes dropped";
        return;
    }
    scheduler->OnSetIntraHeader(slot, size, block);
}

// =============================================================================================
// PlaybackHost

bool CModuleDevice::IsRecorderRegistered(int recorderIndex) const
{
    SessionHub* hub = SessionHub::Instance();
    return hub && recorderIndex >= 0 && recorderIndex == m_deviceIndex && hub->GetDevice(recorderIndex) == this;
}

bool CModuleDevice::IsPlaybackEnabled() const
{
    return IsPlaybackActive();
}

int CModuleDevice::GetChannelCount() const
{
    return m_login.channelCount.load();
}

int CModuleDevice::GetAudioChannel() const
{
    return m_playback.audioChannel;
}

int CModuleDevice::GetPlaybackFps(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return 15;
    return m_slots[size_t(slot)].rate.load();
}

int CModuleDevice::GetSpeedCode(SchedulerKind kind) const
{
    // The search pop-ups choose their own speed; fast playback with speed 0 (never set) runs as
    // speed 2.
    int speed = m_playback.speed;
    if (kind == SchedulerKind::Museum && MuseumSearchPopup::Instance())
        speed = MuseumSearchPopup::Instance()->GetSpeedCode();
    else if (kind == SchedulerKind::Thumbnail && m_search.thumbnailMode.load() != 0
             && ThumbnailSearchPopup::Instance())
        speed = ThumbnailSearchPopup::Instance()->GetSpeedCode();
    return (speed < 2 || speed > 8) ? 2 : speed;
}

void CModuleDevice::EnterThumbnailMode()
{
    if (!m_search.quickMode.load())
        m_search.thumbnailMode = 1;
}

void CModuleDevice::SendIntraIndexRequest(int date, int channel, SchedulerKind kind)
{
    // The scheduler asks for storage slot 0 of the channel; the list chain walks the further slots
    // with the same day, which the session wrapper remembers.
    SendIntraIndexRequest(date, channel, 0, int(kind), kind == SchedulerKind::Thumbnail ? 1 : 0);
}

void CModuleDevice::SendIntraHeaderRequest(int channel, int file, qint64 offset, int size, int kind)
{
    CModulePlayback* asking = m_media.SchedulerForKind(channel, kind);
    m_lists.Chain().awaitedHeader.channel = asking ? channel : -1;
    m_lists.Chain().awaitedHeader.scheduler = asking;
    GetIntraHeader(kind, channel, file, offset, size, 1, false);
}

bool CModuleDevice::SendFrameListRequest(int channel, int file, qint64 offset, int size, int requestKind)
{
    if (!ValidChannel(channel) && channel != kChannels)
        return false;
    if (size < 1 || offset < 0 || file < 0 || file > 255)
        return false;
    // 99 entries of room; a larger request is refused rather than written past the buffer.
    const int pieces = PlaybackRequestBatcher::PieceCount(size);
    if (pieces > 99) {
        qCDebug(lcSession) << GetDvrName() << "frame request of" << size << "bytes too large";
        return false;
    }
    QByteArray list(pieces * PlaybackRequestBatcher::kEntrySize, '\0');
    PlaybackRequestBatcher::WriteEntries(quint32(requestKind * 1000 + channel), file, offset, size, list.data());
    bool ok = false;
    if (m_link.playbackNetwork)
        ok = m_link.playbackNetwork->SendFrameListRequest(pieces, list.constData());
    if (!ok && m_link.liveNetwork)
        ok = m_link.liveNetwork->SendFrameListRequest(pieces, list.constData());
    return ok;
}

void CModuleDevice::OnSetFrameData(const PlaybackFrame& frame)
{
    if (m_pacing)
        m_pacing->Batcher().LowerInFlight();
    if (!IsPlaybackActive())
        return;
    const int count = m_login.channelCount.load();
    if (frame.channel < 0 || frame.channel > count || frame.channel >= kSlots)
        return;
    if (frame.size > SlotReceiveBuffers::kFrameBufferSize || (frame.size > 0 && !frame.data))
        return;
    if (m_search.quickMode.load() != 0 && frame.kind == SchedulerKind::Thumbnail) {
        m_media.ShowQuickSearchFrame(frame);
        return;
    }
    const bool museum = m_search.museumMode.load() != 0;
    const bool thumbnail = !museum && m_search.thumbnailMode.load() != 0;
    int delay = frame.delay;
    if (museum || thumbnail) {
        // Each search takes its own scheduler's frames; while it walks (rather than plays) its
        // frames are marked, so that none is left for playback once the search has ended.
        if (museum ? frame.kind != SchedulerKind::Museum : frame.kind == SchedulerKind::Museum)
            return;
        if (!SearchState::IsPlayCode(m_search.step.load()))
            delay = museum ? SearchState::kMuseumWalkDelay : SearchState::kThumbnailWalkDelay;
    } else if (m_search.quickMode.load() != 0 || frame.kind != SchedulerKind::Playback) {
        return;
    }
    const bool skip = frame.skip || frame.delay == -1 || frame.size <= 0;

    auto record = std::make_unique<LiveFrameRecord>();
    record->channel = frame.channel;
    record->tag = -1;
    record->frameType = ModeCode(frame.state);
    record->searchKind = int(museum ? SchedulerKind::Museum : SchedulerKind::Thumbnail);
    record->delay = delay == -1 ? 1 : delay;
    if (frame.channel == count && frame.size > 1) {
        // The playback stream's sound joins the live audio queue of the session's audio channel;
        // its slot gets a marker of one byte.
        auto audio = std::make_unique<LiveFrameRecord>();
        audio->channel = m_playback.audioChannel;
        audio->kind = frame.size == 320 ? 2 : 0;
        audio->date = frame.date;
        audio->time = frame.time;
        audio->CopyPayload(frame.data, frame.size);
        m_media.liveAudio.queue.Append(std::move(audio));
        record->size = 1;
        m_media.AppendPlaybackRecord(frame.channel, std::move(record));
        return;
    }

    record->kind = frame.streamKind;
    record->decodeOnly = skip ? 1 : 0;
    record->date = frame.date;
    record->time = frame.time;
    if (frame.size > 1)
        record->CopyPayload(frame.data, frame.size);
    else
        record->size = std::max(frame.size, 0);
    if (record->HasPayload() && ValidChannel(frame.channel)
        && m_media.SearchRecordOn(frame.channel, museum, thumbnail))
        m_recording->Write(false, frame.channel, frame.date, frame.time, frame.key ? 1 : 0, frame.streamKind,
                           record->payload.get(), record->size, 0, skip);
    m_media.AppendPlaybackRecord(frame.channel, std::move(record));
}

// =============================================================================================
// Worker loops

void CModuleDevice::THREAD_LIVE(void* session, int channel)
{
    auto* self = static_cast<CModuleDevice*>(session);
    if (!self || channel < 0 || channel >= kChannels)
        return;
    const SessionThread& thread = *self->m_channels[channel].liveThread;
    LiveFrameQueue& queue = self->m_channels[size_t(channel)].liveQueue;
    LiveDecodeWorker& worker = *self->m_channels[channel].liveWorker;
    LivePacer pacer;
    queue.StopDropping();
    worker.Restart();

    // The record of one turn goes back to the queue with the next turn's take, for reuse.
    LiveFrameRecordPtr r;
    while (thread.ShouldRun()) {
        qint64 queuedMs = 0;
        r = thread.NextRecord(std::move(r), queuedMs);
        if (!r)
            continue;
        if (!worker.PassesSequence(*r))
            continue;
        if (!self->IsLoggedIn() || channel >= self->m_login.channelCount.load())
            continue;
        // The wait ends early once the queue behind the frame grows past the pacing window.
        const int wait = pacer.NextWait(r->delay, queuedMs);
        if (wait >= 1)
            thread.SleepUnlessQueuedOver(wait, LivePacer::kWindowMs);
        pacer.MarkReleased();
        if (!r->HasPayload())
            continue;
        if (!self->m_channels[channel].hasPicture.load())
            r->decodeOnly = 0;
        const int load = self->m_media.ProcessorLoad();
        if (worker.SkipsForLoad(*r, load))
            continue;
        CModuleDecoder* decoder = self->m_channels[channel].liveDecoder.get();
        if (!decoder)
            continue;
        const bool mayShow = (self->m_link.masks.live.load() & (1u << channel)) != 0;
        if (worker.Decode(*r, *decoder, load, self->m_deviceIndex, mayShow)
            == LiveDecodeWorker::Outcome::FirstPicture)
            self->m_channels[channel].hasPicture = 1;
    }
    queue.Drain();
}

void CModuleDevice::THREAD_LIVE_AUDIO(void* session, int)
{
    auto* self = static_cast<CModuleDevice*>(session);
    if (!self)
        return;
    const SessionThread& thread = *self->m_media.liveAudio.thread;
    SoundGatherer input(AudioPipeline::kAudioBufferSize);
    int gatheredKind = 1;
    auto flush = [&](const char* data, int bytes) {
        const QByteArray samples = sessionsound::ToSamples(data, bytes, gatheredKind != 0);
        sessionsound::Write(samples.constData(), samples.size(), self->m_deviceIndex);
    };
    while (thread.ShouldRun()) {
        LiveFrameRecordPtr r = thread.NextRecord();
        if (!r)
            continue;
        if (self->IsLoggedIn() && r->HasPayload() && r->kind >= 0 && r->kind <= 2) {
            // A change of coding flushes what was gathered in the old one.
            if ((r->kind != 0) != (gatheredKind != 0) && input.Count() > 0) {
                flush(input.Data(), input.Count());
                input.Consume(input.Count());
            }
            gatheredKind = r->kind;
            input.Append(r->payload.get(), r->size, flush);
            if (input.Count() >= AudioPipeline::kAudioFlushBytes) {
                flush(input.Data(), input.Count());
                input.Consume(input.Count());
            }
        }
        r.reset();
        thread.SleepWhileRunning(5);
    }
    self->m_media.liveAudio.queue.Drain();
}

void CModuleDevice::THREAD_PLAYBACK_AUDIO(void* session, int)
{
    auto* self = static_cast<CModuleDevice*>(session);
    if (!self)
        return;
    const SessionThread& thread = *self->m_media.playbackAudio.thread;
    SoundGatherer pcm(AudioPipeline::kAudioBufferSize);
    SoundGatherer linear(AudioPipeline::kAudioBufferSize);
    const int recorder = self->m_deviceIndex;
    auto writePcm = [recorder](const char* data, int bytes) { sessionsound::Write(data, bytes, recorder); };
    auto writeLinear = [recorder](const char* data, int bytes) {
        const QByteArray samples = sessionsound::ToSamples(data, bytes, false);
        sessionsound::Write(samples.constData(), samples.size(), recorder);
    };
    while (thread.ShouldRun()) {
        LiveFrameRecordPtr r = thread.NextRecord();
        if (!r)
            continue;
        if (r->tag == self->m_playback.seq.load() && self->IsLoggedIn() && r->HasPayload() && r->size > 24) {
            const char* body = r->payload.get() + 24;
            if (r->size == 664 || r->size == 2072) {
                pcm.Append(body, r->size == 664 ? 640 : 2048, writePcm);
                if (pcm.Count() >= AudioPipeline::kAudioFlushBytes) {
                    writePcm(pcm.Data(), AudioPipeline::kAudioFlushBytes);
                    pcm.Consume(AudioPipeline::kAudioFlushBytes);
                }
            } else {
                linear.Append(body, r->size - 24, writeLinear);
                if (linear.Count() >= AudioPipeline::kAudioFlushBytes) {
                    writeLinear(linear.Data(), AudioPipeline::kAudioFlushBytes);
                    linear.Consume(AudioPipeline::kAudioFlushBytes);
                }
            }
        }
    }
    self->m_media.playbackAudio.queue.Drain();
}

void CModuleDevice::THREAD_SEARCH(void* session, int index)
{
    auto* self = static_cast<CModuleDevice*>(session);
    if (!self || index < 0 || index >= kSlots)
        return;
    const SearchWorker::Session state{self->m_slots,    self->m_channels,     self->m_search,
                                      self->m_playback, self->m_link.masks,   self->m_login,
                                      self->m_media,    self->m_playbackGrid, self->m_deviceIndex};
    SearchWorker(state, index).Run();
}
