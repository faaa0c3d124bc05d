#include "panels/healthstate.h"

#include <algorithm>

namespace {
constexpr int kDiskError = 2;
}

void HealthState::SetCounts(int channelCount, int relayCount)
{
    m_channelCount = std::clamp(channelCount, 0, kChannels);
    m_relayCount = std::clamp(relayCount, 0, kChannels);
}

QStringList HealthState::Apply(const HealthRecord& record)
{
    m_chipset1 = record.chipset1;
    m_chipset2 = record.chipset2;
    m_fanSpeed = record.fanSpeed;
    for (int ch = 0; ch < m_channelCount; ++ch) {
        m_motion[size_t(ch)] = record.motion[size_t(ch)];
        m_sensor[size_t(ch)] = record.sensor[size_t(ch)];
        m_camera[size_t(ch)] = record.cameraState[size_t(ch)];
        m_video[size_t(ch)] = record.videoLoss[size_t(ch)];
    }
    QStringList events;
    for (int r = 0; r < m_relayCount; ++r) {
        const quint8 now = record.relay[size_t(r)];
        if (now == 1 && now != m_relay[size_t(r)])
            events << QString::asprintf("Relay Event - ch%d", r + 1);
        m_relay[size_t(r)] = now;
    }
    for (int d = 0; d < kDisks; ++d) {
        const int now = record.diskState[size_t(d)];
        if (now == kDiskError && now != m_disk[size_t(d)])
            events << QString::asprintf("HDD Error - no %d", d + 1);
        m_disk[size_t(d)] = now;
    }
    return events;
}

QString HealthState::ChipsetText() const
{
    if (m_chipset1 < 0 || m_chipset2 < 0)
        return QString();
    return QString::asprintf("Chipset Status : %d / %d", m_chipset2, m_chipset1);
}

QString HealthState::FanText() const
{
    return m_fanSpeed < 0 ? QString() : QString::asprintf("Fan RPM : %d", m_fanSpeed);
}
