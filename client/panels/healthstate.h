#pragma once
// What the health window keeps of a recorder's status refreshes: per-channel marks, relay and
// disk states and the three readings. Applying a refresh reports the events worth logging: a relay
// that came on and a disk that became faulty, each once per change. Widget-free.
#include <QString>
#include <QStringList>
#include <array>

#include "session/healthcheckview.h"

class HealthState
{
public:
    static constexpr int kChannels = HealthRecord::kChannels;
    static constexpr int kDisks = HealthRecord::kDisks;

    // Counts outside 0..16 are bounded to it.
    void SetCounts(int channelCount, int relayCount);
    // Takes the refresh and gives the event texts it caused, in order.
    QStringList Apply(const HealthRecord& record);

    int ChannelCount() const { return m_channelCount; }
    int RelayCount() const { return m_relayCount; }
    quint8 Motion(int ch) const { return m_motion[size_t(ch)]; }
    quint8 Sensor(int ch) const { return m_sensor[size_t(ch)]; }
    quint8 Relay(int ch) const { return m_relay[size_t(ch)]; }
    quint8 VideoLoss(int ch) const { return m_video[size_t(ch)]; }
    int CameraState(int ch) const { return m_camera[size_t(ch)]; }
    int DiskState(int disk) const { return m_disk[size_t(disk)]; }
    int Chipset1() const { return m_chipset1; }
    int Chipset2() const { return m_chipset2; }
    int FanSpeed() const { return m_fanSpeed; }
    // "Chipset Status : %d / %d" (second reading first) or empty while either is unknown.
    QString ChipsetText() const;
    // "Fan RPM : %d" or empty while unknown.
    QString FanText() const;

private:
    int m_channelCount = 0;
    int m_relayCount = 0;
    std::array<quint8, kChannels> m_motion{};
    std::array<quint8, kChannels> m_sensor{};
    std::array<quint8, kChannels> m_relay{};
    std::array<quint8, kChannels> m_video{};
    std::array<int, kChannels> m_camera{};
    std::array<int, kDisks> m_disk{};
    int m_chipset1 = 0;
    int m_chipset2 = 0;
    int m_fanSpeed = 0;
};
