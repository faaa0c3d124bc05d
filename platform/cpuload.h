#pragma once
// The machine's processor load, taken from two samples of the kernel's aggregate processor
// counters in /proc/stat. It keeps the shape of a performance query: open it, add the one
// counter it knows ("\Processor(_Total)\% Processor Time"), collect a sample, read the load
// between the last two samples. The text source can be replaced, so that tests choose the load.
#include <QByteArray>
#include <QString>

#include <functional>

namespace platform {

// The aggregate processor times of one sample, in the kernel's clock ticks.
struct CpuTimes
{
    quint64 idle = 0;  // idle and waiting for input or output
    quint64 total = 0; // every accounted state
};

class CpuLoad
{
public:
    static const char* const kCounterName;

    // Reads the whole text of /proc/stat.
    CpuLoad();
    // Reads the text of a sample from `source` (for example hand-written samples in tests).
    explicit CpuLoad(std::function<QByteArray()> source);

    // The query: Open checks that a sample can be taken, AddCounter accepts only kCounterName.
    bool Open();
    bool AddCounter(const QString& name);
    // Takes a sample; the one before it is kept for the next Read. False when the sample could
    // not be read or parsed (the previous samples stay as they were).
    bool Collect();
    // The load in percent (0 to 100) between the last two samples; 0 until two samples were
    // collected, or when the counters did not advance or went backwards.
    double Read() const;

    // For the hub's once-a-second timer: Collect, then Read truncated toward zero (70.9 is 70).
    // Returns 0 until the query is open and the counter added.
    int SamplePercent();

    // Parses the "cpu " line (the sum over all processors) of a /proc/stat text.
    static bool ParseStat(const QByteArray& text, CpuTimes* out);
    // The load in percent between two samples, 0 when `later` is not after `earlier`.
    static double LoadBetween(const CpuTimes& earlier, const CpuTimes& later);

private:
    std::function<QByteArray()> m_source;
    bool m_open = false;
    bool m_counter = false;
    int m_samples = 0;
    CpuTimes m_previous;
    CpuTimes m_last;
};

} // namespace platform
