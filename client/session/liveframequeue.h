#pragma once
// One queue of received media records between the user-interface thread (which appends) and a
// session thread (which takes). The session guards each set of queues with one lock of its own
// (all live channel queues share one, all playback queues another), so a queue is handed the
// lock of its set. A queue never holds more than kBound records: when a consumer stalls the
// oldest record goes.
//
// The live intake also asks the queue whether a frame may join it (the backlog drop rule): while
// the backlog exceeds three times the larger of the channel's frame rate and 15, predicted
// frames are discarded until fewer than frame-rate records are queued.
//
// A live queue is bounded by bytes as well: large key frames at a modest count would otherwise
// grow without limit while its decoder stalls. When a frame would not fit, whole groups of
// pictures go from the front, key frame included, up to the next queued key frame; when no key
// frame is left to start from, the queue is emptied and the predicted frames that follow are
// discarded until the next key frame arrives, so the decoder never gets a picture without its
// reference.
//
// The queue's consumer waits on it instead of polling: Append and WakeConsumer wake it. The wait
// condition is made at the first wait, under the set's lock, so queues never waited on cost
// nothing more.
#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QWaitCondition>

#include <array>
#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "session/liveframerecord.h"

// The records of one queue, in a deque made at the first record: every recorder of the site
// book owns 35 queues from the start, and a std::deque allocates its first block as it is made.
class LiveFrameRecords
{
public:
    bool empty() const { return !m_records || m_records->empty(); }
    std::size_t size() const { return m_records ? m_records->size() : 0; }
    LiveFrameRecordPtr& front() { return m_records->front(); }
    const LiveFrameRecord& at(std::size_t i) const { return *(*m_records)[i]; }
    void pop_front() { m_records->pop_front(); }
    void push_back(LiveFrameRecordPtr record)
    {
        if (!m_records)
            m_records = std::make_unique<std::deque<LiveFrameRecordPtr>>();
        m_records->push_back(std::move(record));
    }
    // Everything queued, handed over whole (the caller frees it outside the lock).
    std::unique_ptr<std::deque<LiveFrameRecordPtr>> TakeAll() { return std::move(m_records); }

private:
    std::unique_ptr<std::deque<LiveFrameRecordPtr>> m_records;
};

class LiveFrameQueue
{
public:
    static constexpr int kBound = 1024;
    // The byte bound of a live channel's queue.
    static constexpr qint64 kLiveByteBound = 8 * 1024 * 1024;

    // byteBound 0: bounded by count only (queues whose records carry no key-frame mark).
    LiveFrameQueue(QMutex& lock, const char* name, qint64 byteBound = 0);
    LiveFrameQueue(const LiveFrameQueue&) = delete;
    LiveFrameQueue& operator=(const LiveFrameQueue&) = delete;

    // Appends under the lock and wakes the consumer; a full queue loses its oldest record first.
    void Append(LiveFrameRecordPtr record);
    // The same, and under the same lock takes a spare record (one its consumer has finished
    // with) for the caller's next frame: null when none is kept.
    LiveFrameRecordPtr AppendTakingSpare(LiveFrameRecordPtr record);
    // The first record, taken under the lock; null when the queue is empty.
    LiveFrameRecordPtr TakeFirst();
    // Waits under the lock until a record is queued or `stop` holds, then takes the first
    // record (null when stopped with nothing queued). `stop` is checked under the lock. A
    // `finished` record is kept as a spare for the producer (or freed), under the same lock;
    // `queuedMsAfter`, when given, receives the time the records left behind cover.
    LiveFrameRecordPtr TakeFirstWaiting(const std::function<bool()>& stop, LiveFrameRecordPtr finished = nullptr,
                                        qint64* queuedMsAfter = nullptr);
    // Waits until `done` holds (checked under the lock at each wake) or the deadline passes.
    // Records appended or published meanwhile wake the consumer only once the queued time
    // exceeds `wakeAboveMs` (kWakeOnAnyRecord: any record; kWakeOnNoRecord: none, a plain
    // pause): a wake whose condition cannot hold yet would only put it back to sleep.
    static constexpr qint64 kWakeOnAnyRecord = -1;
    static constexpr qint64 kWakeOnNoRecord = std::numeric_limits<qint64>::max();
    void WaitUntil(QDeadlineTimer deadline, const std::function<bool()>& done,
                   qint64 wakeAboveMs = kWakeOnAnyRecord);
    // Wakes a waiting consumer so that it checks its conditions again.
    void WakeConsumer();
    // Whether the consumer is waiting now, and the wakes sent to it since the queue was made
    // (for tests of the wake rules).
    bool ConsumerWaits() const
    {
        QMutexLocker locker(&m_lock);
        return m_waiting > 0;
    }
    int WakesSent() const
    {
        QMutexLocker locker(&m_lock);
        return m_wakes;
    }
    // Read without the lock: the producer asks it for every frame.
    int Count() const { return m_count.load(std::memory_order_relaxed); }
    // The count for a caller that already holds the set's lock.
    int CountHeld() const { return int(m_records.size()); }
    // Payload bytes queued.
    qint64 Bytes() const;
    // The time the queued records cover: the sum of their delays after the record before them.
    qint64 QueuedMs() const;
    // The same for a caller that already holds the set's lock (a wait condition).
    qint64 QueuedMsHeld() const { return m_queuedMs; }
    // Empties the queue and lets its spare records go; the records are freed after the lock is
    // released.
    void Drain();

    // Records kept for reuse, and the largest payload memory a kept record may hold.
    static constexpr int kSpares = 4;
    static constexpr int kSpareCapacityLimit = 1024 * 1024;

    // The backlog drop rule for a frame about to be appended: false when it is to be discarded.
    bool Admit(int frameRate, bool predicted);
    bool IsDropping() const { return m_dropping.load() != 0; }
    void StopDropping() { m_dropping = 0; }

    // Catching up (live queues): when more than `lagMs` of video waits at a take and a later key
    // frame is queued, the frames before the newest queued key frame are skipped, so that a
    // channel held up (a stalled machine, a burst from the network) shows live video again
    // after decoding one group of pictures at most, not every frame it missed. 0: never.
    void SetCatchUp(qint64 lagMs) { m_catchUpMs = lagMs; }
    // Frames skipped that way since the queue was made.
    qint64 SkippedToCatchUp() const { return m_caughtUp.load(std::memory_order_relaxed); }

private:
    // Under the lock: makes room for `incoming` bytes by dropping groups of pictures from the
    // front into `dropped`; false when the incoming frame must go too.
    bool MakeRoom(const LiveFrameRecord& incoming, std::vector<LiveFrameRecordPtr>& dropped);
    LiveFrameRecordPtr PopFrontHeld();
    LiveFrameRecordPtr AppendHeld(LiveFrameRecordPtr record, bool takeSpare);
    // Under the lock: a kept spare record, or null.
    LiveFrameRecordPtr TakeSpareHeld();
    // Under the lock: the bounds of Append, then the record at the back (no wake); what the
    // bounds drop goes to `dropped`.
    void InsertHeld(LiveFrameRecordPtr record, std::vector<LiveFrameRecordPtr>& dropped);
    void StoreCountHeld() { m_count.store(int(m_records.size()), std::memory_order_relaxed); }
    // Under the lock: keeps a consumed record for reuse when there is room (else leaves it to
    // the caller, who frees it after the lock).
    void KeepSpareHeld(LiveFrameRecordPtr& finished);
    void PushBackHeld(LiveFrameRecordPtr record);
    // Under the lock: the skip of SetCatchUp, into `skipped`.
    void CatchUpHeld(std::vector<LiveFrameRecordPtr>& skipped);
    // Under the lock: waits for a wake or the deadline, making the condition at the first wait.
    void WaitHeld(QDeadlineTimer deadline);
    // Under the lock, after records came in: wakes a waiting consumer whose wait they may end.
    void WakeForRecordsHeld();

    QMutex& m_lock;
    const char* m_name;
    qint64 m_byteBound = 0;
    qint64 m_bytes = 0;
    qint64 m_queuedMs = 0;
    bool m_waitForKeyFrame = false;
    LiveFrameRecords m_records;
    std::atomic<int> m_count{0};
    std::vector<LiveFrameRecordPtr> m_spares;
    std::atomic<quint8> m_dropping{0};
    qint64 m_catchUpMs = 0;
    std::atomic<qint64> m_caughtUp{0};
    std::unique_ptr<QWaitCondition> m_ready;
    int m_waiting = 0;
    qint64 m_wakeAboveMs = kWakeOnAnyRecord;
    int m_wakes = 0;
};

namespace livequeue_detail {
template <std::size_t... I>
std::array<LiveFrameQueue, sizeof...(I)> Make(QMutex& lock, const char* name, qint64 byteBound,
                                              std::index_sequence<I...>)
{
    return {{((void)I, LiveFrameQueue(lock, name, byteBound))...}};
}
} // namespace livequeue_detail

// N queues sharing one lock.
template <std::size_t N>
std::array<LiveFrameQueue, N> MakeLiveFrameQueues(QMutex& lock, const char* name, qint64 byteBound = 0)
{
    return livequeue_detail::Make(lock, name, byteBound, std::make_index_sequence<N>{});
}
