#pragma once
// The engine's millisecond clock (the multimedia clock of the frame records' arrival times), an
// interface so that tests can step time by hand.
#include <cstdint>

class EngineClock
{
public:
    virtual ~EngineClock() = default;
    virtual uint32_t Now() const = 0;
};

// Milliseconds since the clock was made, monotonic.
class SteadyEngineClock : public EngineClock
{
public:
    SteadyEngineClock();
    uint32_t Now() const override;

private:
    int64_t m_startNs;
};
