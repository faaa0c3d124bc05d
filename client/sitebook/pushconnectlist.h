#pragma once
// Recorders pushed by the central server while its site book loads, waiting to connect one
// after another: each is queued with a connect code 500 above the previous one, and a code of
// 1000 or more is a plain connect that starts code - 500 ms later, so the recorders connect
// half a second apart instead of all at once. Free of widgets.
#include <utility>
#include <vector>

class PushConnectList
{
public:
    static constexpr int kFirstCode = 1000;
    static constexpr int kStep = 500;

    // The code the next recorder gets.
    int RunningValue() const { return m_running; }
    // Queues a recorder slot with the running value; the value grows by one step.
    void Queue(int slot);
    // The running value grows without queueing (a recorder that is not to connect).
    void Skip() { m_running += kStep; }
    // Hands out the queued pairs (slot, code) and starts over from the first code.
    std::vector<std::pair<int, int>> Take();
    int Count() const { return int(m_pairs.size()); }
    const std::vector<std::pair<int, int>>& Pending() const { return m_pairs; }

private:
    std::vector<std::pair<int, int>> m_pairs;
    int m_running = kFirstCode;
};
