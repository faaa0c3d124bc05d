#pragma once
// The playback frame requests of one session: the channel schedulers queue them (under the
// request lock), and the session's 10 ms timer takes them in batches of at most 999 entries of
// 24 bytes. A frame larger than one piece of 32,768 bytes takes one entry per piece. While a
// batch's replies are outstanding nothing more is sent; a batch whose replies have not all come
// after kReplyTimeoutMs is given up, so that one lost reply cannot stop playback for good.
//
// Entry layout (little-endian): tag (request number x 1000 + channel, plus 100 for frame data),
// frame byte, 24-bit piece length, 64-bit data offset of the piece, 32-bit offset of the piece
// in its frame, 32-bit whole frame size.
#include <QElapsedTimer>
#include <QMutex>
#include <QtGlobal>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class PlaybackRequestBatcher
{
public:
    static constexpr int kEntries = 999;
    static constexpr int kEntrySize = 24;
    static constexpr int kPieceSize = 32768;
    static constexpr int kReplyTimeoutMs = 5000;
    static constexpr int kSlots = 17;

    enum class Kind { FrameData = 0, FrameHeader = 1 };

    // One queued request.
    struct Request
    {
        int channel = 0;
        int frameByte = 0; // negative (frame data): a single request answered at once
        qint64 offset = 0;
        int size = 0;
        int kind = 0; // Kind; any other value is dropped unsent
        int requestNumber = 0;
    };

    // What one timer tick takes from the queue.
    struct Batch
    {
        int entries = 0;              // entries written into the batch buffer
        int requests = 0;             // requests those entries carry
        std::vector<Request> singles; // single requests, sent on their own
    };

    PlaybackRequestBatcher();

    void Queue(const Request& request);
    // Empties the queue (a playback stop, the end of the session).
    void Clear();
    int QueuedCount() const;

    int InFlight() const { return m_inFlight.load(); }
    void ResetInFlight() { m_inFlight = 0; }
    // A reply to a batched request has come.
    void LowerInFlight();
    // True when a batch may go: nothing is outstanding, or what is has been given up on.
    bool ReadyForBatch(const QString& recorderName);
    // Takes the queued requests that fit one batch; `playing` is asked for each request, and
    // requests queued while it says no are dropped unsent.
    Batch TakeBatch(const std::function<bool()>& playing);
    // The batch went out: its requests are waited for.
    void MarkSent(int requests);
    const char* Buffer() const { return m_buffer.get(); }

    // Writes the entries of one frame at `out` (room for every piece); returns how many.
    static int WriteEntries(quint32 tag, int frameByte, qint64 offset, int size, char* out);
    static int PieceCount(int size) { return (size + kPieceSize - 1) / kPieceSize; }
    static quint32 Tag(const Request& request);

private:
    mutable QMutex m_lock;
    std::deque<Request> m_requests;
    std::atomic<int> m_inFlight{0};
    QElapsedTimer m_sentClock;
    std::unique_ptr<char[]> m_buffer;
};
