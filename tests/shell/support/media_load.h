#pragma once
// Processor samples for the hub's load counter: each sample advances the busy and idle times so
// that the load between two samples is the percent the test chose.
#include <QByteArray>
#include <atomic>
#include <memory>

#include "platform/cpuload.h"

class MediaLoad
{
public:
    // A counter whose every sample is `percent` busy since the one before; Set changes it.
    platform::CpuLoad Counter();
    void Set(int percent) { m_state->percent = percent; }

private:
    struct State
    {
        std::atomic<int> percent{0};
        quint64 busy = 0;
        quint64 idle = 0;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};
