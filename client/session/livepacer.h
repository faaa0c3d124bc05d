#pragma once
// The pacing of one live channel: each frame is released its delay after the previous one, never
// more than a second late; the first frame goes at once. The lag this adds is bounded in time:
// while the video queued behind the frame covers more than the pacing window (a tenth of a
// second: room for the network's unevenness, no more), frames are released at once until the
// queue is back within it. Further behind than kCatchUpMs, the channel's queue skips to its
// newest key frame (LiveFrameQueue::SetCatchUp).
#include <QElapsedTimer>

class LivePacer
{
public:
    static constexpr int kMaxWaitMs = 1000;
    static constexpr int kWindowMs = 100;
    static constexpr int kCatchUpMs = 300;

    // True when video covering `queuedMs` waits behind the frame: released without pacing.
    static bool Lagging(qint64 queuedMs) { return queuedMs > kWindowMs; }
    // Milliseconds to wait before releasing a frame `delayMs` after the one released
    // `sinceLastMs` ago, with `queuedMs` of video queued behind it; below 1 means release now.
    static int WaitFor(int delayMs, qint64 sinceLastMs, qint64 queuedMs);

    // The wait for the next frame by the pacer's clock (0 for the first frame).
    int NextWait(int delayMs, qint64 queuedMs) const;
    // The frame has been released (after its wait): the next delay counts from now.
    void MarkReleased() { m_sinceLast.start(); }

private:
    QElapsedTimer m_sinceLast;
};
