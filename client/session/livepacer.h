#pragma once
// The pacing of one live channel: each frame is released its delay after the previous one,
// 3 ms early and never more than a second late. The first frame goes at once.
#include <QElapsedTimer>

class LivePacer
{
public:
    static constexpr int kMaxWaitMs = 1000;
    static constexpr int kEarlyMs = 3;

    // Milliseconds to wait before releasing a frame `delayMs` after the one released
    // `sinceLastMs` ago; below 1 means release now.
    static int WaitFor(int delayMs, qint64 sinceLastMs);

    // The wait for the next frame by the pacer's clock (0 for the first frame).
    int NextWait(int delayMs) const;
    // The frame has been released (after its wait): the next delay counts from now.
    void MarkReleased() { m_sinceLast.start(); }

private:
    QElapsedTimer m_sinceLast;
};
