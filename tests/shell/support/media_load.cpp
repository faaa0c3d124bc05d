#include "shell/support/media_load.h"

platform::CpuLoad MediaLoad::Counter()
{
    std::shared_ptr<State> state = m_state;
    return platform::CpuLoad([state] {
        state->busy += quint64(state->percent.load());
        state->idle += quint64(100 - state->percent.load());
        // user nice system idle iowait irq softirq
        return QByteArray("cpu  ") + QByteArray::number(state->busy) + " 0 0 " + QByteArray::number(state->idle)
               + " 0 0 0 0 0 0\ncpu0 0 0 0 0 0 0 0 0 0 0\n";
    });
}
