// The session's media pipeline: live and playback intake into the queues, the worker loops that
// pace, decode and hand pictures and sound on, and the hosting of the channel playback
// schedulers.
#include "session/moduledevice.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QThread>

#include <algorithm>
#include <cstring>

#include "net/modulenetwork.h"
#include "common/media/mulaw.h"
#include "common/media/moduledecoder.h"
#include "session/moduleplayback.h"
#include "common/media/modulerecord.h"
#include "session/qthreadhelper.h"
#include "session/sessionhub.h"

namespace {

constexpr int kMaxDelayMs = 1000;
constexpr int kLoadHigh = 70;
constexpr int kLoadLow = 50;
constexpr int kThrottleRecordsPerChannel = 30;
constexpr int kRateSlow = 1;
constexpr int kRateFull = 64;
constexpr int kNoSequence = -999;

bool IsPlaceholder(const QImage& picture)
{
    return picture.width() == 10 && picture.height() == 10;
}

// Appends to a bounded queue: the oldest record goes when the queue is full, so a stalled
// consumer cannot make it grow without limit.
void PushBounded(std::deque<LiveFrameRecordPtr>& queue, LiveFrameRecordPtr record, const char* what)
{
    if (int(queue.size()) >= CModuleDevice::kQueueBound) {
        queue.pop_front();
        qDebug() << what << "queue full, oldest record dropped";
    }
    queue.push_back(std::move(record));
}

// Takes the first record of a queue under its lock; null when the queue is empty.
LiveFrameRecordPtr TakeFirst(QMutex& lock, std::deque<LiveFrameRecordPtr>& queue)
{
    QMutexLocker locker(&lock);
    if (queue.empty())
        return nullptr;
    LiveFrameRecordPtr record = std::move(queue.front());
    queue.pop_front();
    return record;
}

void Drain(QMutex& lock, std::deque<LiveFrameRecordPtr>& queue)
{
    std::deque<LiveFrameRecordPtr> rest;
    {
        QMutexLocker locker(&lock);
        rest.swap(queue);
    }
}

// Sleeps `ms` in small steps, returning early when the run flag is cleared.
template <typename Flag>
void SleepWhileRunning(const Flag& run, int ms)
{
    while (ms > 0 && run.load() != 0) {
        const int step = std::min(ms, 20);
        QThread::msleep(ulong(step));
        ms -= step;
    }
}

// Gathers sound bytes and writes them to the hub's output in blocks.
class SoundGatherer
{
public:
    SoundGatherer(int capacity, int flushAt) : m_buffer(size_t(capacity), 0), m_flushAt(flushAt) {}
    int Count() const { return m_count; }
    int Capacity() const { return int(m_buffer.size()); }
    char* Data() { return m_buffer.data(); }
    // Appends, flushing first what is held when the block would not fit; a block larger than
    // the whole buffer goes in buffer-sized pieces, so nothing is written past it or lost.
    template <typename Flush>
    void Append(const char* data, int bytes, Flush flush)
    {
        while (bytes > 0) {
            if (m_count == Capacity() || m_count + bytes > Capacity()) {
                if (m_count > 0)
                    flush(m_buffer.data(), m_count);
                m_count = 0;
            }
            const int piece = std::min(bytes, Capacity() - m_count);
            std::memcpy(m_buffer.data() + m_count, data, size_t(piece));
            m_count += piece;
            data += piece;
            bytes -= piece;
        }
    }
    // Removes the first n bytes.
    void Consume(int n)
    {
        n = std::clamp(n, 0, m_count);
        std::memmove(m_buffer.data(), m_buffer.data() + n, size_t(m_count - n));
        m_count -= n;
    }
    int FlushAt() const { return m_flushAt; }

private:
    std::vector<char> m_buffer;
    int m_count = 0;
    int m_flushAt;
};

void WriteSound(const char* data, int bytes, int recorder)
{
    if (SessionHub* hub = SessionHub::Instance(); hub && bytes > 0)
        hub->WriteAudioOutput(data, bytes, recorder);
}

// 8-bit linear or mu-law bytes to 16-bit little-endian samples.
QByteArray ToSamples(const char* data, int bytes, bool mulaw)
{
    QByteArray out(bytes * 2, Qt::Uninitialized);
    for (int i = 0; i < bytes; ++i) {
        const qint16 s = mulaw ? MuLawToLinear(quint8(data[i])) : qint16(qint16(qint8(data[i])) * 256);
        out[2 * i] = char(quint16(s) & 0xFF);
        out[2 * i + 1] = char(quint16(s) >> 8);
    }
    return out;
}

} // namespace

// =============================================================================================
// Small accessors

int CModuleDevice::NextPlaybackTag(int current)
{
    // A stop leaves 999; anything outside 1..100 starts again at 1, so the first playback after
    // a stop carries tag 1 and is never taken for a stale one.
    if (current < 1 || current >= 100)
        return 1;
    return current + 1;
}

int CModuleDevice::GetLiveQueueCount(int ch) const
{
    if (!ValidChannel(ch))
        return 0;
    QMutexLocker lock(const_cast<QMutex*>(&m_liveQueueLock));
    return int(m_liveQueues[ch].size());
}

int CModuleDevice::GetPlaybackQueueCount(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return 0;
    QMutexLocker lock(const_cast<QMutex*>(&m_playbackQueueLock));
    return int(m_playbackQueues[slot].size());
}

int CModuleDevice::GetLiveAudioQueueCount() const
{
    QMutexLocker lock(const_cast<QMutex*>(&m_liveAudioLock));
    return int(m_liveAudioQueue.size());
}

int CModuleDevice::GetPlaybackAudioQueueCount() const
{
    QMutexLocker lock(const_cast<QMutex*>(&m_playbackAudioLock));
    return int(m_playbackAudioQueue.size());
}

CModulePlayback* CModuleDevice::GetPlayback(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return nullptr;
    return m_schedulers[slot].get();
}

void CModuleDevice::SetRecordedRange(int firstDate, int firstTime, int lastDate, int lastTime)
{
    m_recordedRange = {firstDate, firstTime, lastDate, lastTime};
}

void CModuleDevice::SetLiveFrameRate(int ch, int fps)
{
    if (ValidChannel(ch))
        m_rates[ch] = fps;
}

QImage CModuleDevice::GetLastPicture(int ch) const
{
    if (!ValidChannel(ch))
        return QImage();
    QMutexLocker lock(&m_imageLock);
    return m_lastPicture[ch].copy();
}

int CModuleDevice::ProcessorLoad() const
{
    SessionHub* hub = SessionHub::Instance();
    return hub ? hub->GetProcessorLoad() : 0;
}

bool CModuleDevice::ChannelTakesPart(int ch) const
{
    if (!ValidChannel(ch))
        return false;
    return (m_playbackGrid.load() >= 0 && m_routes[ch].playbackCell.load() >= 0) || m_searchRecordMark[ch].load() != 0;
}

// =============================================================================================
// Wiring, threads and schedulers

void CModuleDevice::ConnectMediaIntake(CModuleNetwork* network, bool playbackConnection)
{
    if (!network)
        return;
    if (playbackConnection) {
        connect(network, &CModuleNetwork::SetRecvPlaybackVideo, this, &CModuleDevice::OnRecvPlaybackVideoSec);
        connect(network, &CModuleNetwork::SetRecvPlaybackAudio, this, &CModuleDevice::OnRecvPlaybackAudioSec);
        connect(network, &CModuleNetwork::SetRecvFrameHeader, this, &CModuleDevice::OnRecvFrameHeader);
        connect(network, &CModuleNetwork::SetRecvFrameData, this, &CModuleDevice::OnRecvFrameData);
    } else {
        connect(network, &CModuleNetwork::SetRecvLiveVideo, this, &CModuleDevice::OnRecvLiveVideo);
        connect(network, &CModuleNetwork::SetRecvLiveAudio, this, &CModuleDevice::OnRecvLiveAudio);
        connect(network, &CModuleNetwork::SetRecvPlaybackVideo, this, &CModuleDevice::OnRecvPlaybackVideo);
        connect(network, &CModuleNetwork::SetRecvIntraHeader, this, &CModuleDevice::OnRecvIntraHeader);
        // Frame requests that the playback connection refused go out on this one.
        connect(network, &CModuleNetwork::SetRecvFrameHeader, this, &CModuleDevice::OnRecvFrameHeader);
        connect(network, &CModuleNetwork::SetRecvFrameData, this, &CModuleDevice::OnRecvFrameData);
    }
}

void CModuleDevice::StartMediaThreads()
{
    const int n = m_channelCount.load();
    for (int s = 0; s < kSlots; ++s) {
        m_lastSecond[s] = -1;
        m_pacingDelay[s] = 1;
    }
    m_rateState = 0;
    for (int ch = 0; ch < n; ++ch) {
        if (m_liveThreads[ch] && !m_liveRun[ch].load()) {
            m_liveThreads[ch]->WaitThread();
            m_liveRun[ch] = 1;
            if (!m_liveThreads[ch]->StartThread(&CModuleDevice::THREAD_LIVE, this, ch))
                m_liveRun[ch] = 0;
        }
    }
    for (int s = 0; s <= n && s < kSlots; ++s) {
        if (m_searchThreads[s] && !m_searchRun[s].load()) {
            m_searchThreads[s]->WaitThread();
            m_searchRun[s] = 1;
            if (!m_searchThreads[s]->StartThread(&CModuleDevice::THREAD_SEARCH, this, s))
                m_searchRun[s] = 0;
        }
    }
    // The audio threads are only told to stop at a disconnect; one still draining is waited for
    // before it is started again.
    if (m_liveAudioThread && !m_liveAudioRun.load()) {
        m_liveAudioThread->WaitThread();
        m_liveAudioRun = 1;
        if (!m_liveAudioThread->StartThread(&CModuleDevice::THREAD_LIVE_AUDIO, this, 0))
            m_liveAudioRun = 0;
    }
    if (m_playbackAudioThread && !m_playbackAudioRun.load()) {
        m_playbackAudioThread->WaitThread();
        m_playbackAudioRun = 1;
        if (!m_playbackAudioThread->StartThread(&CModuleDevice::THREAD_PLAYBACK_AUDIO, this, 0))
            m_playbackAudioRun = 0;
    }
}

void CModuleDevice::StopMediaThreads()
{
    for (auto& run : m_liveRun)
        run = 0;
    for (auto& run : m_searchRun)
        run = 0;
    m_liveAudioRun = 0;
    m_playbackAudioRun = 0;
    for (auto& t : m_liveThreads)
        if (t)
            t->WaitThread();
    for (auto& t : m_searchThreads)
        if (t)
            t->WaitThread();
    if (m_liveAudioThread)
        m_liveAudioThread->WaitThread();
    if (m_playbackAudioThread)
        m_playbackAudioThread->WaitThread();
}

void CModuleDevice::CreateSchedulers()
{
    const int n = m_channelCount.load();
    for (int s = 0; s <= n && s < kSlots; ++s) {
        if (m_schedulers[s])
            continue;
        auto scheduler = std::make_unique<CModulePlayback>(this, nullptr);
        if (!scheduler->Bind(m_deviceIndex, s, CModulePlayback::KindPlayback)) {
            qDebug() << GetDvrName() << "playback scheduler of slot" << s << "not bound";
            continue;
        }
        m_schedulers[s] = std::move(scheduler);
    }
}

void CModuleDevice::DeleteSchedulers()
{
    for (auto& s : m_schedulers)
        s.reset();
}

// =============================================================================================
// Live intake

void CModuleDevice::AppendLiveRecord(LiveFrameRecordPtr record)
{
    if (!record || !ValidChannel(record->channel))
        return;
    const int ch = record->channel;
    QMutexLocker lock(&m_liveQueueLock);
    PushBounded(m_liveQueues[ch], std::move(record), "live");
}

void CModuleDevice::OnRecvLiveVideo(int channel, int size, int kind, int date, int time, int frameType,
                                    bool decodeOnly, int tick, int sequence)
{
    if (m_deviceIndex < 0)
        return;
    if (!ValidChannel(channel)) {
        qDebug() << GetDvrName() << "live frame of channel" << channel << "dropped";
        return;
    }
    if (size > kLiveFrameBufferSize || (size > 0 && !m_liveFrameBuffer)) {
        qDebug() << GetDvrName() << "live frame of" << size << "bytes does not fit the buffer";
        return;
    }
    quint8 marked = 0;
    if (frameType >= 10) {
        frameType -= 10;
        marked = 1;
    }

    // Drop rule: above three times the larger of the frame rate and 15 queued frames, predicted
    // frames are discarded until fewer than frame-rate frames are queued.
    const int rate = m_rates[channel].load();
    const int queued = GetLiveQueueCount(channel);
    if (queued > 3 * std::max(rate, 15) && !m_liveDrop[channel].load())
        m_liveDrop[channel] = 1;
    if (queued >= rate) {
        if (m_liveDrop[channel].load() && frameType == 0)
            return;
    } else {
        m_liveDrop[channel] = 0;
    }

    auto record = std::make_unique<LiveFrameRecord>();
    int delay = 0;
    if (m_prevTick[channel] != 0)
        delay = std::clamp(tick - m_prevTick[channel], 0, kMaxDelayMs);
    m_prevTick[channel] = tick;

    record->channel = channel;
    record->kind = kind;
    record->date = date;
    record->time = time;
    record->decodeOnly = decodeOnly ? 1 : 0;
    record->delay = delay;
    record->frameType = frameType;
    record->sequence = sequence;
    record->marked = marked;
    record->CopyPayload(size > 0 ? m_liveFrameBuffer.get() : nullptr, size);

    if (record->HasPayload() && m_liveRecordMark[channel].load() && m_recordLive)
        m_recordLive->OnRecordData(channel, date, time, frameType, kind, record->payload.get(), record->size, 0,
                                   decodeOnly ? 1 : 0);
    // The event backup takes frames here once its backup task exists; until then no channel is
    // handed to it.

    AppendLiveRecord(std::move(record));

    if (m_hasPicture[channel].load()) {
        if (!m_liveShown[channel].load())
            OnLiveStop(channel);
        m_hasPicture[channel] = 0;
    }
}

void CModuleDevice::OnRecvLiveAudio(int channel, int size, int kind, int date, int time, int /*tick*/)
{
    if (m_deviceIndex < 0)
        return;
    if (size > kLiveAudioBufferSize || (size > 0 && !m_liveAudioBuffer)) {
        qDebug() << GetDvrName() << "live audio block of" << size << "bytes does not fit the buffer";
        return;
    }
    auto record = std::make_unique<LiveFrameRecord>();
    record->channel = channel;
    record->kind = kind;
    record->date = date;
    record->time = time;
    record->CopyPayload(size > 0 ? m_liveAudioBuffer.get() : nullptr, size);
    QMutexLocker lock(&m_liveAudioLock);
    PushBounded(m_liveAudioQueue, std::move(record), "live audio");
}

// =============================================================================================
// Playback intake

void CModuleDevice::AppendPlaybackRecord(int slot, LiveFrameRecordPtr record)
{
    if (slot < 0 || slot >= kSlots || !record)
        return;
    QMutexLocker lock(&m_playbackQueueLock);
    PushBounded(m_playbackQueues[slot], std::move(record), "playback");
}

void CModuleDevice::OnRecvPlaybackVideoSec(int channel, int size, int kind, int date, int time, int tag,
                                           bool decodeOnly, char frameType, char sequence)
{
    if (m_deviceIndex < 0)
        return;
    const int count = m_channelCount.load();
    if (!ValidChannel(channel) || channel >= std::max(count, 1)) {
        qDebug() << GetDvrName() << "playback frame of channel" << channel << "dropped";
        return;
    }
    if (size < 0 || size > kFrameBufferSize) {
        qDebug() << GetDvrName() << "playback frame of" << size << "bytes dropped";
        return;
    }
    // 1. Stale block.
    if (m_playbackMode == 2 || tag != m_playbackSeq.load()) {
        qDebug() << ">>>>>>>>>>>>>>>>>>>>>>>> skip";
        return;
    }
    // 2. Recorded range.
    const int d = m_playDate.load();
    const int t = m_playTime.load();
    const auto& r = m_recordedRange;
    if (d < r[0] || d > r[2] || (d == r[2] && r[3] < t) || (d == r[0] && t < r[1])) {
        // Playback has run off the recorded range: it stops here.
        SetPlaybackCtrl(2);
        return;
    }
    // 3.
    if (date != d)
        m_playDate = date;

    const bool searching = m_museumMode.load() || m_thumbnailMode.load() || m_quickMode.load();
    // 4. Seconds.
    if (time == m_lastSecond[channel].load()) {
        if (size == 4) {
            for (int c = 0; c < count; ++c)
                m_pacingDelay[c] = m_pacingDelay[c] <= kMaxDelayMs ? m_pacingDelay[c] + 33 : kMaxDelayMs;
            if (!searching) {
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
                    marker->frameType = m_playbackMode;
                    AppendPlaybackRecord(c, std::move(marker));
                }
            }
            return;
        }
    } else {
        if (m_lastSecond[channel].load() == -1)
            m_pacingDelay[channel] = 1;
        m_lastSecond[channel] = time;
        if (size == 4)
            return;
    }

    // 6. Throttle: more than 30 records per shown channel queued slows the recorder down.
    int shown = 1;
    if (!searching)
        for (int c = 0; c < count; ++c)
            shown += ChannelTakesPart(c) ? 1 : 0;
    const int limit = kThrottleRecordsPerChannel * shown;
    int backlog = 0;
    {
        QMutexLocker lock(&m_playbackQueueLock);
        for (int c = 0; c < count; ++c)
            backlog += int(m_playbackQueues[c].size());
    }
    if (m_playbackNetwork) {
        if (backlog > limit) {
            if (m_rateState.load() != kRateSlow) {
                m_rateState = kRateSlow;
                m_playbackNetwork->SendPlaybackRate(kRateSlow);
            }
        } else if (backlog < limit && m_rateState.load() == kRateSlow) {
            m_rateState = kRateFull;
            m_playbackNetwork->SendPlaybackRate(kRateFull);
        }
    }

    // 7. Record.
    auto record = std::make_unique<LiveFrameRecord>();
    record->channel = channel;
    record->kind = kind;
    record->playbackType = int(qint8(frameType));
    record->date = date;
    record->time = time;
    record->tag = tag;
    record->decodeOnly = decodeOnly ? 1 : 0;
    record->delay = m_pacingDelay[channel];
    record->frameType = m_playbackMode;
    record->searchKind = m_museumMode.load() ? 2 : m_thumbnailMode.load() ? 1 : 0;
    if (m_playbackMode == 32 || m_playbackMode == 512)
        record->delay = 1000 / GetSpeedCode(0);
    m_pacingDelay[channel] = 1;
    const char* source = m_frameBufferB[0] ? m_frameBufferB[0].get() : nullptr;
    record->CopyPayload(size > 0 ? source : nullptr, size);

    // 8. Recording of searched frames.
    if (record->HasPayload() && m_searchRecordMark[channel].load() && m_recordSearch)
        m_recordSearch->OnRecordData(channel, date, time, int(qint8(frameType)), kind, record->payload.get(),
                                     record->size, quint8(sequence), decodeOnly ? 1 : 0);
    // 9.
    AppendPlaybackRecord(channel, std::move(record));
}

void CModuleDevice::OnRecvPlaybackAudioSec(int size, int kind, int date, int time, int tag)
{
    if (m_deviceIndex < 0 || tag != m_playbackSeq.load() || m_playbackAudioChannel < 0)
        return;
    if (size > kFrameBufferSize) {
        qDebug() << GetDvrName() << "playback audio block of" << size << "bytes dropped";
        return;
    }
    auto record = std::make_unique<LiveFrameRecord>();
    record->channel = m_playbackAudioChannel;
    record->kind = kind;
    record->date = date;
    record->time = time;
    record->tag = tag;
    const char* source = m_frameBufferB[0] ? m_frameBufferB[0].get() : nullptr;
    record->CopyPayload(size > 0 ? source : nullptr, size);
    QMutexLocker lock(&m_playbackAudioLock);
    PushBounded(m_playbackAudioQueue, std::move(record), "playback audio");
}

void CModuleDevice::OnRecvPlaybackVideo(int, int, int, int, int, int, bool, char, char)
{
    // A schedule backup download is handed to the schedule backup task; without one the block
    // is ignored.
}

CModulePlayback* CModuleDevice::SchedulerForKind(int channel, int kind) const
{
    // Only the channel's own scheduler takes replies here; the search pop-ups' schedulers are
    // not hosted by the session.
    if (channel < 0 || channel >= kSlots || kind % 3 != 0 || kind < 0 || kind > 8)
        return nullptr;
    return m_schedulers[channel].get();
}

void CModuleDevice::OnRecvFrameHeader(int channel, int size, int streamKind, int kind)
{
    if (kind < 6)
        LowerFrameRequestCount();
    if (m_deviceIndex < 0 || !IsPlaybackActive())
        return;
    CModulePlayback* scheduler = SchedulerForKind(channel, kind);
    if (!scheduler)
        return;
    const char* header = kind < 6 ? m_blockBufferA[channel].get() : m_blockBufferB[channel].get();
    if (!header || size < 0 || size > kBlockBufferSize) {
        qDebug() << GetDvrName() << "frame header of" << size << "bytes for slot" << channel << "dropped";
        return;
    }
    scheduler->OnSetFrameHeader(size, streamKind, header, kind == 6);
}

void CModuleDevice::OnRecvFrameData(int channel, int size, int streamKind, int kind)
{
    if (m_deviceIndex < 0 || !IsPlaybackActive())
        return;
    CModulePlayback* scheduler = SchedulerForKind(channel, kind);
    if (!scheduler)
        return;
    const char* data = kind < 6 ? m_frameBufferA[channel].get() : m_frameBufferB[channel].get();
    if (!data || size < 0 || size > kFrameBufferSize) {
        qDebug() << GetDvrName() << "frame of" << size << "bytes for slot" << channel << "dropped";
        return;
    }
    scheduler->OnSetFrameData(data, size, streamKind, kind == 3);
}

void CModuleDevice::OnRecvIntraHeader(int slot, int channel, int value, int size, int kind)
{
    qDebug() << "-----> recv header" << slot << channel << value << size << kind;
    if (m_deviceIndex < 0 || !IsPlaybackActive() || kind != 0)
        return;
    if (channel < 0 || channel >= kSlots || !m_schedulers[channel] || !m_indexBuffers[channel])
        return;
    if (size < 0 || size > kIndexBufferSize) {
        qDebug() << GetDvrName() << "index block of" << size << "bytes dropped";
        return;
    }
    m_schedulers[channel]->OnSetIntraHeader(slot, size, m_indexBuffers[channel].get());
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
    return m_channelCount.load();
}

int CModuleDevice::GetAudioChannel() const
{
    return m_playbackAudioChannel;
}

int CModuleDevice::GetPlaybackFps(int slot) const
{
    if (slot < 0 || slot >= kSlots)
        return 15;
    return m_rates[2 * kChannels + slot].load();
}

int CModuleDevice::GetSpeedCode(int /*kind*/) const
{
    // Fast playback with speed 0 (never set) runs as speed 2.
    const int speed = m_playbackSpeed;
    return (speed < 2 || speed > 8) ? 2 : speed;
}

void CModuleDevice::EnterThumbnailMode()
{
    if (!m_quickMode.load())
        m_thumbnailMode = 1;
}

void CModuleDevice::SendIntraIndexRequest(int date, int channel, int kind)
{
    // The scheduler asks for storage slot 0 of the channel; the list chain walks the further slots
    // with the same day, which the session wrapper remembers.
    SendIntraIndexRequest(date, channel, 0, kind, kind == 1 ? 1 : 0);
}

void CModuleDevice::SendIntraHeaderRequest(int channel, int file, qint64 offset, int size, int kind)
{
    GetIntraHeader(kind, channel, file, offset, size, 1, false);
}

bool CModuleDevice::SendFrameListRequest(int channel, int file, qint64 offset, int size, int requestKind)
{
    if (!ValidChannel(channel) && channel != kChannels)
        return false;
    if (size < 1 || offset < 0 || file < 0 || file > 255)
        return false;
    // 99 entries of room; a larger request is refused rather than written past the buffer.
    const int pieces = (size + kBatchPieceSize - 1) / kBatchPieceSize;
    if (pieces > 99) {
        qDebug() << GetDvrName() << "frame request of" << size << "bytes too large";
        return false;
    }
    QByteArray list(pieces * kBatchEntrySize, '\0');
    for (int i = 0; i < pieces; ++i) {
        const int pieceOffset = i * kBatchPieceSize;
        const int pieceSize = std::min(kBatchPieceSize, size - pieceOffset);
        char* e = list.data() + i * kBatchEntrySize;
        const quint32 code = quint32(requestKind * 1000 + channel);
        const quint64 fileOffset = quint64(offset + pieceOffset);
        for (int b = 0; b < 4; ++b)
            e[b] = char((code >> (8 * b)) & 0xFF);
        e[4] = char(file);
        for (int b = 0; b < 3; ++b)
            e[5 + b] = char((quint32(pieceSize) >> (8 * b)) & 0xFF);
        for (int b = 0; b < 8; ++b)
            e[8 + b] = char((fileOffset >> (8 * b)) & 0xFF);
        for (int b = 0; b < 4; ++b) {
            e[16 + b] = char((quint32(pieceOffset) >> (8 * b)) & 0xFF);
            e[20 + b] = char((quint32(size) >> (8 * b)) & 0xFF);
        }
    }
    bool ok = false;
    if (m_playbackNetwork)
        ok = m_playbackNetwork->SendFrameListRequest(pieces, list.constData());
    if (!ok && m_liveNetwork)
        ok = m_liveNetwork->SendFrameListRequest(pieces, list.constData());
    return ok;
}

void CModuleDevice::OnSetFrameData(const PlaybackFrame& frame)
{
    m_requestsInFlight = std::max(0, m_requestsInFlight.load() - 1);
    if (!IsPlaybackActive())
        return;
    const int count = m_channelCount.load();
    if (frame.channel < 0 || frame.channel > count || frame.channel >= kSlots)
        return;
    if (frame.size > kFrameBufferSize || (frame.size > 0 && !frame.data))
        return;
    // The search pop-ups take their frames themselves; the session plays remote playback only.
    if (m_museumMode.load() || m_thumbnailMode.load() || m_quickMode.load() || frame.kind != 0)
        return;
    bool skip = frame.skip || frame.delay == -1 || frame.size <= 0;

    if (frame.channel == count && frame.size > 1) {
        // The playback stream's sound joins the live audio queue of the session's audio channel.
        const int kind = frame.size == 320 ? 2 : 0;
        auto audio = std::make_unique<LiveFrameRecord>();
        audio->channel = m_playbackAudioChannel;
        audio->kind = kind;
        audio->date = frame.date;
        audio->time = frame.time;
        audio->CopyPayload(frame.data, frame.size);
        {
            QMutexLocker lock(&m_liveAudioLock);
            PushBounded(m_liveAudioQueue, std::move(audio), "live audio");
        }
        auto marker = std::make_unique<LiveFrameRecord>();
        marker->channel = frame.channel;
        marker->size = 1;
        marker->tag = -1;
        marker->frameType = frame.state;
        marker->searchKind = 1;
        marker->delay = frame.delay == -1 ? 1 : frame.delay;
        AppendPlaybackRecord(frame.channel, std::move(marker));
        return;
    }

    auto record = std::make_unique<LiveFrameRecord>();
    record->channel = frame.channel;
    record->kind = frame.streamKind;
    record->decodeOnly = skip ? 1 : 0;
    record->date = frame.date;
    record->time = frame.time;
    record->tag = -1;
    record->frameType = frame.state;
    record->searchKind = 1;
    record->delay = frame.delay == -1 ? 1 : frame.delay;
    if (frame.size > 1)
        record->CopyPayload(frame.data, frame.size);
    else
        record->size = std::max(frame.size, 0);
    if (record->HasPayload() && ValidChannel(frame.channel) && m_searchRecordMark[frame.channel].load()
        && m_recordSearch)
        m_recordSearch->OnRecordData(frame.channel, frame.date, frame.time, frame.key ? 1 : 0, frame.streamKind,
                                     record->payload.get(), record->size, 0, skip ? 1 : 0);
    AppendPlaybackRecord(frame.channel, std::move(record));
}

// =============================================================================================
// Picture hand-off

void CModuleDevice::StoreFirstPicture(int ch, CModuleDecoder* decoder)
{
    QImage picture;
    {
        QMutexLocker lock(decoder->GetPictureLock());
        picture = decoder->GetImage().copy();
    }
    if (picture.isNull())
        return;
    QMutexLocker lock(&m_imageLock);
    m_lastPicture[ch] = picture;
}

void CModuleDevice::DeliverLivePicture(int ch, CModuleDecoder* /*decoder*/, bool decodeOnly, bool recordFlag)
{
    if (decodeOnly || !(m_maskLive.load() & (1u << ch)))
        return;
    SessionHub* hub = SessionHub::Instance();
    if (!hub)
        return;
    const CameoRoute& route = m_routes[ch];
    hub->CountCameoFrame(m_deviceIndex, ch, route.liveGrid.load(), route.liveCell.load(), 0, recordFlag ? 1 : 0);
    hub->CountCameoFrame(m_deviceIndex, ch, route.emapGrid.load(), route.emapCell.load(), 0, recordFlag ? 1 : 0);
}

void CModuleDevice::DeliverSearchNotice(int index, bool picture)
{
    if (!ValidChannel(index) || !(m_maskSearch.load() & (1u << index)))
        return;
    // The museum, thumbnail and quick search pop-ups take their notices themselves; the
    // session's own playback goes to its playback grid.
    if (m_museumMode.load() || m_thumbnailMode.load() || m_quickMode.load())
        return;
    if (SessionHub* hub = SessionHub::Instance())
        hub->CountCameoFrame(m_deviceIndex, index + kChannels, m_playbackGrid.load(),
                             m_routes[index].playbackCell.load(), picture ? 0 : 1, 0);
}

// =============================================================================================
// Worker loops

void CModuleDevice::THREAD_LIVE(void* session, int channel)
{
    auto* self = static_cast<CModuleDevice*>(session);
    if (!self || channel < 0 || channel >= kChannels)
        return;
    auto& run = self->m_liveRun[channel];
    self->m_liveDrop[channel] = 0;
    int lastSequence = kNoSequence;
    bool overload = false;
    bool started = false;
    QElapsedTimer clock;
    qint64 reference = 0;

    while (run.load()) {
        LiveFrameRecordPtr r = TakeFirst(self->m_liveQueueLock, self->m_liveQueues[channel]);
        if (!r) {
            QThread::msleep(1);
            continue;
        }
        // 1. Sequence check for stream kinds 2 and 3.
        if (r->kind == 2 || r->kind == 3) {
            if (r->frameType == 1) {
                lastSequence = r->sequence;
            } else if (r->sequence == lastSequence + 1 || r->sequence == 0) {
                lastSequence = r->sequence;
            } else if (r->sequence > 0) {
                lastSequence = kNoSequence;
                continue;
            }
        }
        // 2.
        if (!self->IsLoggedIn() || channel >= self->m_channelCount.load())
            continue;
        // 3. Pacing: each frame is released its delay after the previous one, 3 ms early, never
        // more than a second late, and without sleeping while the channel catches up.
        if (!started) {
            started = true;
            clock.start();
            reference = clock.elapsed();
        } else {
            int wait = int(r->delay - (clock.elapsed() - reference + 3));
            wait = std::min(wait, kMaxDelayMs);
            if (wait >= 1 && !self->m_liveDrop[channel].load())
                SleepWhileRunning(run, wait);
            clock.restart();
            reference = clock.elapsed();
        }
        // 4. The on-screen display shows the time of the last live frame.
        self->m_lastFrame[channel] = r->time;
        // 5.
        if (!r->HasPayload())
            continue;
        if (!self->m_hasPicture[channel].load())
            r->decodeOnly = 0;
        // 6. Processor-load rule.
        const int load = self->ProcessorLoad();
        if (r->frameType != 1) {
            if (load > kLoadHigh)
                overload = true;
            if (overload) {
                lastSequence = kNoSequence;
                ++self->m_loadSkipped[channel];
                QThread::msleep(1);
                continue;
            }
        }
        CModuleDecoder* decoder = self->m_liveDecoders[channel].get();
        if (!decoder)
            continue;
        // 7.
        const int result = decoder->OnDecode(reinterpret_cast<unsigned char*>(r->payload.get()), r->size, r->kind,
                                             0, 0, r->decodeOnly != 0);
        if (r->frameType == 1 && load < kLoadLow)
            overload = false;
        if (result > 1000) {
            ++self->m_decodedFrames[channel];
            // 8. The first picture after connecting only fills the last-picture slot.
            bool first = false;
            {
                QMutexLocker lock(&self->m_imageLock);
                first = IsPlaceholder(self->m_lastPicture[channel]);
            }
            if (first) {
                self->StoreFirstPicture(channel, decoder);
                self->m_hasPicture[channel] = 1;
            } else {
                self->DeliverLivePicture(channel, decoder, r->decodeOnly != 0, r->marked != 0);
            }
        } else if (result != CModuleDecoder::ErrSameFrame) {
            lastSequence = kNoSequence;
        }
        r.reset();
        QThread::msleep(1);
    }
    Drain(self->m_liveQueueLock, self->m_liveQueues[channel]);
}

void CModuleDevice::THREAD_LIVE_AUDIO(void* session, int)
{
    auto* self = static_cast<CModuleDevice*>(session);
    if (!self)
        return;
    auto& run = self->m_liveAudioRun;
    SoundGatherer input(kAudioBufferSize, kAudioFlushBytes);
    int gatheredKind = 1;
    auto flush = [&](const char* data, int bytes) {
        const QByteArray samples = ToSamples(data, bytes, gatheredKind != 0);
        WriteSound(samples.constData(), samples.size(), self->m_deviceIndex);
    };
    while (run.load()) {
        LiveFrameRecordPtr r = TakeFirst(self->m_liveAudioLock, self->m_liveAudioQueue);
        if (!r) {
            QThread::msleep(1);
            continue;
        }
        if (self->IsLoggedIn() && r->HasPayload() && r->kind >= 0 && r->kind <= 2) {
            // A change of coding flushes what was gathered in the old one.
            if ((r->kind != 0) != (gatheredKind != 0) && input.Count() > 0) {
                flush(input.Data(), input.Count());
                input.Consume(input.Count());
            }
            gatheredKind = r->kind;
            input.Append(r->payload.get(), r->size, flush);
            if (input.Count() >= kAudioFlushBytes) {
                flush(input.Data(), input.Count());
                input.Consume(input.Count());
            }
        }
        r.reset();
        SleepWhileRunning(run, 5);
    }
    Drain(self->m_liveAudioLock, self->m_liveAudioQueue);
}

void CModuleDevice::THREAD_PLAYBACK_AUDIO(void* session, int)
{
    auto* self = static_cast<CModuleDevice*>(session);
    if (!self)
        return;
    auto& run = self->m_playbackAudioRun;
    SoundGatherer pcm(kAudioBufferSize, kAudioFlushBytes);
    SoundGatherer linear(kAudioBufferSize, kAudioFlushBytes);
    const int recorder = self->m_deviceIndex;
    auto writePcm = [recorder](const char* data, int bytes) { WriteSound(data, bytes, recorder); };
    auto writeLinear = [recorder](const char* data, int bytes) {
        const QByteArray samples = ToSamples(data, bytes, false);
        WriteSound(samples.constData(), samples.size(), recorder);
    };
    while (run.load()) {
        LiveFrameRecordPtr r = TakeFirst(self->m_playbackAudioLock, self->m_playbackAudioQueue);
        if (!r) {
            QThread::msleep(1);
            continue;
        }
        if (r->tag == self->m_playbackSeq.load() && self->IsLoggedIn() && r->HasPayload() && r->size > 24) {
            const char* body = r->payload.get() + 24;
            if (r->size == 664 || r->size == 2072) {
                pcm.Append(body, r->size == 664 ? 640 : 2048, writePcm);
                if (pcm.Count() >= kAudioFlushBytes) {
                    writePcm(pcm.Data(), kAudioFlushBytes);
                    pcm.Consume(kAudioFlushBytes);
                }
            } else {
                linear.Append(body, r->size - 24, writeLinear);
                if (linear.Count() >= kAudioFlushBytes) {
                    writeLinear(linear.Data(), kAudioFlushBytes);
                    linear.Consume(kAudioFlushBytes);
                }
            }
        }
        r.reset();
        QThread::msleep(1);
    }
    Drain(self->m_playbackAudioLock, self->m_playbackAudioQueue);
}

void CModuleDevice::THREAD_SEARCH(void* session, int index)
{
    auto* self = static_cast<CModuleDevice*>(session);
    if (!self || index < 0 || index >= kSlots)
        return;
    auto& run = self->m_searchRun[index];
    SoundGatherer sound(kAudioBufferSize, kSearchAudioFlushBytes);
    const int recorder = self->m_deviceIndex;
    auto writeSound = [recorder](const char* data, int bytes) {
        QByteArray swapped(data, bytes);
        SwapWords(swapped.data(), swapped.size() & ~3);
        const QByteArray samples = ToSamples(swapped.constData(), swapped.size(), false);
        WriteSound(samples.constData(), samples.size(), recorder);
    };
    bool started = false;
    QElapsedTimer clock;

    while (run.load()) {
        LiveFrameRecordPtr r = TakeFirst(self->m_playbackQueueLock, self->m_playbackQueues[index]);
        if (!r) {
            QThread::msleep(1);
            continue;
        }
        const bool museum = self->m_museumMode.load() != 0;
        const bool thumbnail = self->m_thumbnailMode.load() != 0;
        const bool quick = self->m_quickMode.load() != 0;
        // 1. Mode filter.
        if (thumbnail) {
            if (r->searchKind != 1)
                continue;
        } else if (museum) {
            qDebug() << "thread museumdata" << r->searchKind;
            if (r->searchKind != 2)
                continue;
        } else if (r->searchKind == 0) {
            if (r->tag != self->m_playbackSeq.load())
                continue;
            if (r->size == 4 && !r->payload) {
                self->m_lastPlayDate[index] = r->date;
                self->m_lastPlayTime[index] = r->time;
                continue;
            }
        } else if (r->searchKind != 1) {
            continue;
        }
        // 2.
        const int count = self->m_channelCount.load();
        if (!self->IsLoggedIn() || !self->IsPlaybackActive() || index > count)
            continue;
        // 3.
        if (r->date >= 0 && r->time >= 0 && (!r->decodeOnly || r->size == 0)) {
            self->m_lastPlayDate[index] = r->date;
            self->m_lastPlayTime[index] = r->time;
        }
        // 4.
        CModulePlayback* scheduler = self->m_schedulers[index].get();
        if (!scheduler)
            continue;
        const int state = scheduler->GetState();
        // 5.
        if (!museum && !thumbnail && !(quick && r->searchKind == 1)) {
            if (r->frameType != state || state == CModulePlayback::StateStop) {
                if (state == CModulePlayback::StateStop) {
                    self->m_stepDone[index] = 0;
                    self->m_nextSearchFrame[index] = 0;
                }
                SleepWhileRunning(run, 5);
                continue;
            }
            if (r->delay == -111 || r->delay == -222) {
                QThread::msleep(1);
                continue;
            }
        }
        // 6.
        bool picture = false;
        if (r->size == 1 || (r->size != 0 && !r->payload))
            continue;
        if (index == count) {
            // 8. The playback stream's sound.
            if (r->HasPayload()) {
                sound.Append(r->payload.get(), r->size, writeSound);
                if (sound.Count() >= kSearchAudioFlushBytes) {
                    writeSound(sound.Data(), kSearchAudioFlushBytes);
                    qDebug() << "Audio Data" << index << r->size << sound.Count() << kSearchAudioFlushBytes;
                    sound.Consume(kSearchAudioFlushBytes);
                }
            }
        } else if (r->size > 0) {
            // 9.
            CModuleDecoder* decoder = index < kChannels ? self->m_playbackDecoders[index].get() : nullptr;
            if (!decoder)
                continue;
            const int result = decoder->OnDecode(reinterpret_cast<unsigned char*>(r->payload.get()), r->size,
                                                 r->kind, 0, 0, r->decodeOnly != 0);
            if (result == CModuleDecoder::ErrSameFrame) {
                r->decodeOnly = 1;
                self->DeliverSearchNotice(index, false);
            } else if (result <= 0) {
                self->DeliverSearchNotice(index, false);
            } else if (result > 1000 && !r->decodeOnly) {
                picture = true;
                self->DeliverSearchNotice(index, true);
            }
        } else {
            self->DeliverSearchNotice(index, false);
        }
        Q_UNUSED(picture)
        // 11.
        // The session timer reads the next-search-frame flag to ask for the next step.
        if (!museum && !thumbnail) {
            const quint8 done = state != CModulePlayback::StateStop ? 1 : 0;
            self->m_stepDone[index] = done;
            self->m_nextSearchFrame[index] = done;
        }
        // 12. Pacing.
        if (!started) {
            started = true;
            QThread::msleep(1);
            clock.start();
        } else if (r->delay == 1) {
            QThread::msleep(1);
        } else {
            const int elapsed = int(clock.elapsed());
            const int wait = r->delay == 9999 ? 1000 : std::clamp(r->delay - elapsed, 1, kMaxDelayMs);
            SleepWhileRunning(run, wait);
            if (!quick && state != CModulePlayback::StateStop) {
                // Keep channels together: wait while another playing channel lags behind.
                for (int j = 0; j < count; ++j) {
                    if (j == index || !self->ChannelTakesPart(j))
                        continue;
                    if (self->m_lastPlayDate[j].load() != r->date)
                        continue;
                    const int mode = self->m_playbackMode;
                    const int other = self->m_lastPlayTime[j].load();
                    if (((mode == 16 || mode == 32) && r->time > other) || ((mode == 256 || mode == 512) && r->time < other)) {
                        SleepWhileRunning(run, 10);
                        break;
                    }
                }
            }
            clock.restart();
        }
        r.reset();
        QThread::msleep(1);
    }
    Drain(self->m_playbackQueueLock, self->m_playbackQueues[index]);
}

LiveFrameRecordPtr CModuleDevice::TakeLiveRecord(int ch)
{
    if (!ValidChannel(ch))
        return nullptr;
    return TakeFirst(m_liveQueueLock, m_liveQueues[ch]);
}
