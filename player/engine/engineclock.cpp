#include "engine/engineclock.h"

#include <chrono>

namespace {
int64_t SteadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

SteadyEngineClock::SteadyEngineClock()
    : m_startNs(SteadyNs())
{}

uint32_t SteadyEngineClock::Now() const
{
    return uint32_t((SteadyNs() - m_startNs) / 1000000);
}
