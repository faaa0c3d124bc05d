#include "session/liveframebatch.h"

#include <algorithm>

#include "session/liveframequeue.h"

void LiveFrameBatch::SetReading(bool reading)
{
    m_reading = reading;
    if (reading)
        return;
    for (LiveFrameQueue* queue : m_staged)
        queue->Publish();
    m_staged.clear();
}

LiveFrameRecordPtr LiveFrameBatch::Append(LiveFrameQueue& queue, LiveFrameRecordPtr record)
{
    if (!m_reading)
        return queue.AppendTakingSpare(std::move(record));
    if (std::find(m_staged.begin(), m_staged.end(), &queue) == m_staged.end())
        m_staged.push_back(&queue);
    return queue.StageTakingSpare(std::move(record));
}
