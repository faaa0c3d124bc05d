#include "session/liveframequeue.h"
#include "session/sessionlog.h"

#include <QDebug>
#include <QMutexLocker>

#include <algorithm>

namespace {
constexpr int kKeyFrame = 1;

// Playback records carry marks (-1, -111, ...) in their delay; they cover no time.
qint64 CoveredMs(const LiveFrameRecord& record)
{
    return std::max(record.delay, 0);
}
} // namespace

LiveFrameQueue::LiveFrameQueue(QMutex& lock, const char* name, qint64 byteBound)
    : m_lock(lock)
    , m_name(name)
    , m_byteBound(byteBound)
{}

LiveFrameRecordPtr LiveFrameQueue::PopFrontHeld()
{
    LiveFrameRecordPtr record = std::move(m_records.front());
    m_records.pop_front();
    StoreCountHeld();
    m_bytes -= record->size;
    m_queuedMs -= CoveredMs(*record);
    return record;
}

void LiveFrameQueue::PushBackHeld(LiveFrameRecordPtr record)
{
    m_bytes += record->size;
    m_queuedMs += CoveredMs(*record);
    m_records.push_back(std::move(record));
    StoreCountHeld();
}

void LiveFrameQueue::WaitHeld(QDeadlineTimer deadline)
{
    if (!m_ready)
        m_ready = std::make_unique<QWaitCondition>();
    ++m_waiting;
    m_ready->wait(&m_lock, deadline);
    --m_waiting;
}

void LiveFrameQueue::WakeForRecordsHeld()
{
    if (m_waiting == 0 || (m_wakeAboveMs != kWakeOnAnyRecord && m_queuedMs <= m_wakeAboveMs))
        return;
    ++m_wakes;
    m_ready->wakeAll();
}

bool LiveFrameQueue::MakeRoom(const LiveFrameRecord& incoming, std::vector<LiveFrameRecordPtr>& dropped)
{
    const bool key = incoming.frameType == kKeyFrame;
    if (m_waitForKeyFrame && !key)
        return false;
    m_waitForKeyFrame = false;
    if (m_bytes + incoming.size <= m_byteBound)
        return true;
    // A group at a time: the front record, then everything up to the next key frame.
    while (!m_records.empty() && m_bytes + incoming.size > m_byteBound) {
        dropped.push_back(PopFrontHeld());
        while (!m_records.empty() && m_records.front()->frameType != kKeyFrame)
            dropped.push_back(PopFrontHeld());
    }
    qCDebug(lcSession) << m_name << "queue over" << m_byteBound << "bytes," << dropped.size() << "records dropped";
    if (m_records.empty() && !key) {
        // The predicted frame's reference is gone with the groups before it.
        m_waitForKeyFrame = true;
        return false;
    }
    return true;
}

void LiveFrameQueue::Append(LiveFrameRecordPtr record)
{
    AppendHeld(std::move(record), false);
}

LiveFrameRecordPtr LiveFrameQueue::AppendTakingSpare(LiveFrameRecordPtr record)
{
    return AppendHeld(std::move(record), true);
}

LiveFrameRecordPtr LiveFrameQueue::AppendHeld(LiveFrameRecordPtr record, bool takeSpare)
{
    if (!record)
        return nullptr;
    // Declared before the locker: what is dropped is freed after the lock is released.
    // A vector allocates only when something is dropped; a deque would allocate on every append.
    std::vector<LiveFrameRecordPtr> dropped;
    QMutexLocker locker(&m_lock);
    LiveFrameRecordPtr spare = takeSpare ? TakeSpareHeld() : nullptr;
    InsertHeld(std::move(record), dropped);
    WakeForRecordsHeld();
    return spare;
}

void LiveFrameQueue::InsertHeld(LiveFrameRecordPtr record, std::vector<LiveFrameRecordPtr>& dropped)
{
    if (m_byteBound > 0 && !MakeRoom(*record, dropped)) {
        dropped.push_back(std::move(record));
        return;
    }
    if (int(m_records.size()) >= kBound) {
        dropped.push_back(PopFrontHeld());
        qCDebug(lcSession) << m_name << "queue full, oldest record dropped";
    }
    PushBackHeld(std::move(record));
}

LiveFrameRecordPtr LiveFrameQueue::TakeSpareHeld()
{
    if (m_spares.empty())
        return nullptr;
    LiveFrameRecordPtr spare = std::move(m_spares.back());
    m_spares.pop_back();
    return spare;
}

void LiveFrameQueue::KeepSpareHeld(LiveFrameRecordPtr& finished)
{
    if (!finished || int(m_spares.size()) >= kSpares || finished->capacity > kSpareCapacityLimit)
        return;
    if (m_spares.capacity() == 0)
        m_spares.reserve(kSpares);
    m_spares.push_back(std::move(finished));
}

LiveFrameRecordPtr LiveFrameQueue::TakeFirst()
{
    QMutexLocker locker(&m_lock);
    if (m_records.empty())
        return nullptr;
    return PopFrontHeld();
}

LiveFrameRecordPtr LiveFrameQueue::TakeFirstWaiting(const std::function<bool()>& stop, LiveFrameRecordPtr finished,
                                                    qint64* queuedMsAfter)
{
    // A finished record that is not kept, and skipped ones, are freed after the lock is released.
    std::vector<LiveFrameRecordPtr> skipped;
    QMutexLocker locker(&m_lock);
    KeepSpareHeld(finished);
    while (m_records.empty() && !stop())
        WaitHeld(QDeadlineTimer(QDeadlineTimer::Forever));
    CatchUpHeld(skipped);
    LiveFrameRecordPtr record = m_records.empty() ? nullptr : PopFrontHeld();
    if (queuedMsAfter)
        *queuedMsAfter = m_queuedMs;
    locker.unlock();
    return record;
}

void LiveFrameQueue::CatchUpHeld(std::vector<LiveFrameRecordPtr>& skipped)
{
    if (m_catchUpMs <= 0 || m_queuedMs <= m_catchUpMs)
        return;
    std::size_t newestKey = 0;
    for (std::size_t i = m_records.size(); i-- > 1;) {
        if (m_records.at(i).frameType == kKeyFrame) {
            newestKey = i;
            break;
        }
    }
    if (newestKey == 0)
        return;
    skipped.reserve(newestKey);
    for (std::size_t i = 0; i < newestKey; ++i)
        skipped.push_back(PopFrontHeld());
    m_caughtUp.fetch_add(qint64(newestKey), std::memory_order_relaxed);
    qCDebug(lcSession) << m_name << "behind by more than" << m_catchUpMs << "ms," << newestKey
                       << "frames skipped to the newest key frame";
}

void LiveFrameQueue::WaitUntil(QDeadlineTimer deadline, const std::function<bool()>& done, qint64 wakeAboveMs)
{
    QMutexLocker locker(&m_lock);
    m_wakeAboveMs = wakeAboveMs;
    while (!done() && !deadline.hasExpired())
        WaitHeld(deadline);
    m_wakeAboveMs = kWakeOnAnyRecord;
}

void LiveFrameQueue::WakeConsumer()
{
    QMutexLocker locker(&m_lock);
    if (m_ready) {
        ++m_wakes;
        m_ready->wakeAll();
    }
}

qint64 LiveFrameQueue::QueuedMs() const
{
    QMutexLocker locker(&m_lock);
    return m_queuedMs;
}

qint64 LiveFrameQueue::Bytes() const
{
    QMutexLocker locker(&m_lock);
    return m_bytes;
}

void LiveFrameQueue::Drain()
{
    std::unique_ptr<std::deque<LiveFrameRecordPtr>> rest;
    std::vector<LiveFrameRecordPtr> spares;
    QMutexLocker locker(&m_lock);
    rest = m_records.TakeAll();
    spares.swap(m_spares);
    m_count.store(0, std::memory_order_relaxed);
    m_bytes = 0;
    m_queuedMs = 0;
    m_waitForKeyFrame = false;
    locker.unlock();
}

bool LiveFrameQueue::Admit(int frameRate, bool predicted)
{
    const int queued = Count();
    if (queued > 3 * std::max(frameRate, 15) && !m_dropping.load())
        m_dropping = 1;
    if (queued >= frameRate)
        return !(m_dropping.load() && predicted);
    m_dropping = 0;
    return true;
}
