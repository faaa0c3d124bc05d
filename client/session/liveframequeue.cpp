#include "session/liveframequeue.h"

#include <QDebug>
#include <QMutexLocker>

#include <algorithm>

LiveFrameQueue::LiveFrameQueue(QMutex& lock, const char* name)
    : m_lock(lock)
    , m_name(name)
{
}

void LiveFrameQueue::Append(LiveFrameRecordPtr record)
{
    if (!record)
        return;
    QMutexLocker locker(&m_lock);
    if (int(m_records.size()) >= kBound) {
        m_records.pop_front();
        qDebug() << m_name << "queue full, oldest record dropped";
    }
    m_records.push_back(std::move(record));
}

LiveFrameRecordPtr LiveFrameQueue::TakeFirst()
{
    QMutexLocker locker(&m_lock);
    if (m_records.empty())
        return nullptr;
    LiveFrameRecordPtr record = std::move(m_records.front());
    m_records.pop_front();
    return record;
}

int LiveFrameQueue::Count() const
{
    QMutexLocker locker(&m_lock);
    return int(m_records.size());
}

void LiveFrameQueue::Drain()
{
    std::deque<LiveFrameRecordPtr> rest;
    QMutexLocker locker(&m_lock);
    rest.swap(m_records);
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
