#pragma once
#include <QDeadlineTimer>
#include <QTest>

#include <functional>

// Runs the event loop until the condition holds or a generous limit passes.
inline bool WaitFor(const std::function<bool()>& condition, int limitMs = 30000)
{
    QDeadlineTimer deadline(limitMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}
