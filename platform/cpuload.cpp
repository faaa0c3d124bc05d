#include "cpuload.h"
#include "platform/platformlog.h"

#include <QDebug>
#include <QFile>
#include <QList>

#include <algorithm>

namespace platform {

const char* const CpuLoad::kCounterName = "\\Processor(_Total)\\% Processor Time";

namespace {

QByteArray ReadProcStat()
{
    QFile file(QStringLiteral("/proc/stat"));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    // /proc files report no size; read until the end.
    return file.readAll();
}

} // namespace

CpuLoad::CpuLoad()
    : m_source(&ReadProcStat)
{}

CpuLoad::CpuLoad(std::function<QByteArray()> source)
    : m_source(std::move(source))
{}

bool CpuLoad::Open()
{
    CpuTimes probe;
    m_open = m_source && ParseStat(m_source(), &probe);
    if (!m_open)
        qCWarning(lcPlatform) << "CpuLoad: processor counters cannot be read";
    return m_open;
}

bool CpuLoad::AddCounter(const QString& name)
{
    if (!m_open)
        return false;
    if (name != QLatin1String(kCounterName)) {
        qCWarning(lcPlatform) << "CpuLoad: unknown counter" << name;
        return false;
    }
    m_counter = true;
    return true;
}

bool CpuLoad::Collect()
{
    if (!m_open || !m_counter)
        return false;
    CpuTimes sample;
    if (!ParseStat(m_source(), &sample)) {
        qCDebug(lcPlatform) << "CpuLoad: sample without a valid cpu line";
        return false;
    }
    m_previous = m_last;
    m_last = sample;
    if (m_samples < 2)
        ++m_samples;
    return true;
}

double CpuLoad::Read() const
{
    if (m_samples < 2)
        return 0.0;
    return LoadBetween(m_previous, m_last);
}

int CpuLoad::SamplePercent()
{
    Collect();
    return static_cast<int>(Read()); // truncation toward zero
}

bool CpuLoad::ParseStat(const QByteArray& text, CpuTimes* out)
{
    if (!out)
        return false;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.isEmpty() || fields.first() != "cpu")
            continue;
        // user nice system idle iowait irq softirq steal [guest guest_nice]; guest time is
        // already part of user and nice, so only the first eight are summed.
        if (fields.size() < 5)
            return false;
        quint64 values[8] = {};
        const int count = std::min(int(fields.size()) - 1, 8);
        quint64 total = 0;
        for (int i = 0; i < count; ++i) {
            bool ok = false;
            values[i] = fields[i + 1].toULongLong(&ok);
            if (!ok)
                return false;
            if (total + values[i] < total) // overflow: not a sensible sample
                return false;
            total += values[i];
        }
        out->idle = values[3] + values[4];
        out->total = total;
        return true;
    }
    return false;
}

double CpuLoad::LoadBetween(const CpuTimes& earlier, const CpuTimes& later)
{
    if (later.total <= earlier.total || later.idle < earlier.idle)
        return 0.0;
    const quint64 total = later.total - earlier.total;
    const quint64 idle = later.idle - earlier.idle;
    if (idle >= total)
        return 0.0;
    return 100.0 * double(total - idle) / double(total);
}

} // namespace platform
