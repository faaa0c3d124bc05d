#include "session/playbackrequestbatcher.h"
#include "session/sessionlog.h"

#include <QDebug>
#include <QMutexLocker>
#include <QString>

#include <algorithm>

namespace {

void PutLe32(char* p, quint32 v)
{
    for (int b = 0; b < 4; ++b)
        p[b] = char((v >> (8 * b)) & 0xFF);
}

} // namespace

// The batch buffer comes with the first batch: every recorder of the site book owns a batcher,
// and most never play back.
PlaybackRequestBatcher::PlaybackRequestBatcher() = default;

void PlaybackRequestBatcher::Queue(const Request& request)
{
    QMutexLocker lock(&m_lock);
    m_requests.push_back(request);
}

void PlaybackRequestBatcher::Clear()
{
    QMutexLocker lock(&m_lock);
    m_requests.clear();
}

int PlaybackRequestBatcher::QueuedCount() const
{
    QMutexLocker lock(&m_lock);
    return int(m_requests.size());
}

void PlaybackRequestBatcher::LowerInFlight()
{
    int n = m_inFlight.load();
    while (n > 0 && !m_inFlight.compare_exchange_weak(n, n - 1)) {
    }
}

bool PlaybackRequestBatcher::ReadyForBatch(const QString& recorderName)
{
    if (m_inFlight.load() <= 0)
        return true;
    if (!m_sentClock.isValid() || m_sentClock.elapsed() < kReplyTimeoutMs)
        return false;
    qCDebug(lcSession) << recorderName << "frame replies overdue:" << m_inFlight.load() << "given up after"
                       << kReplyTimeoutMs << "ms";
    m_inFlight = 0;
    return true;
}

quint32 PlaybackRequestBatcher::Tag(const Request& request)
{
    const int data = request.kind == int(Kind::FrameData) ? 100 : 0;
    return quint32(request.requestNumber * 1000 + request.channel + data);
}

int PlaybackRequestBatcher::WriteEntries(quint32 tag, int frameByte, qint64 offset, int size, char* out)
{
    int written = 0;
    int start = 0;
    do {
        const int length = std::min(kPieceSize, size - start);
        char* e = out + size_t(written) * kEntrySize;
        PutLe32(e, tag);
        e[4] = char(frameByte & 0xFF);
        e[5] = char(length & 0xFF);
        e[6] = char((length >> 8) & 0xFF);
        e[7] = char((length >> 16) & 0xFF);
        const quint64 pieceOffset = quint64(offset + start);
        PutLe32(e + 8, quint32(pieceOffset & 0xFFFFFFFFu));
        PutLe32(e + 12, quint32(pieceOffset >> 32));
        PutLe32(e + 16, quint32(start));
        PutLe32(e + 20, quint32(size));
        ++written;
        start += kPieceSize;
    } while (start < size);
    return written;
}

PlaybackRequestBatcher::Batch PlaybackRequestBatcher::TakeBatch(const std::function<bool()>& playing)
{
    Batch batch;
    QMutexLocker lock(&m_lock);
    if (!m_buffer && !m_requests.empty())
        m_buffer.reset(new char[size_t(kEntries) * kEntrySize]());
    while (!m_requests.empty()) {
        const Request r = m_requests.front();
        if (!playing()) {
            m_requests.pop_front();
            continue;
        }
        if ((r.kind != int(Kind::FrameData) && r.kind != int(Kind::FrameHeader)) || r.channel < 0
            || r.channel >= kSlots) {
            qCDebug(lcSession) << "playback request of kind" << r.kind << "for channel" << r.channel << "dropped";
            m_requests.pop_front();
            continue;
        }
        if (r.kind == int(Kind::FrameData) && r.frameByte < 0) {
            batch.singles.push_back(r);
            m_requests.pop_front();
            continue;
        }
        if (r.size <= 0) {
            qCDebug(lcSession) << "playback request of" << r.size << "bytes dropped";
            m_requests.pop_front();
            continue;
        }
        const int pieces = PieceCount(r.size);
        if (pieces > kEntries) {
            qCDebug(lcSession) << "playback request of" << r.size << "bytes exceeds one batch; dropped";
            m_requests.pop_front();
            continue;
        }
        // What does not fit waits for the next tick.
        if (batch.entries + pieces > kEntries)
            break;
        batch.entries += WriteEntries(Tag(r), r.frameByte, r.offset, r.size,
                                      m_buffer.get() + size_t(batch.entries) * kEntrySize);
        ++batch.requests;
        m_requests.pop_front();
    }
    return batch;
}

void PlaybackRequestBatcher::MarkSent(int requests)
{
    m_inFlight = requests;
    m_sentClock.start();
}
