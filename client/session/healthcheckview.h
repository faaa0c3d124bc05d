#pragma once
// What a session feeds to its recorder's health window. The window itself is a dialog of a
// higher layer; the main window makes it (SessionHub::CreateHealthCheck) and the session keeps
// it for its whole life, across disconnects.
#include <QString>
#include <array>

class QWidget;

// One status refresh of a recorder, as the health window takes it.
struct HealthRecord
{
    static constexpr int kChannels = 16;
    static constexpr int kDisks = 10;
    static constexpr int kStorageSlots = 15;

    std::array<quint8, kChannels> motion{};
    std::array<quint8, kChannels> sensor{};
    std::array<quint8, kChannels> relay{};
    // 255 = channel not shown, 1 = not active, 0 = active.
    std::array<int, kChannels> cameraState{};
    std::array<quint8, kChannels> videoLoss{};
    // 1 normal, 2 error, 3 a third state, 0 none; the window uses the first kDisks.
    std::array<int, kStorageSlots> diskState{};
    int chipset1 = -1;
    int chipset2 = -1;
    int fanSpeed = -1;
};

class HealthCheckView
{
public:
    virtual ~HealthCheckView() = default;

    // The window, owned by its Qt parent.
    virtual QWidget* Widget() = 0;
    virtual void SetDvrName(const QString& text, int channelCount, int relayCount) = 0;
    virtual void SetRecordInfo(const QString& address, const QString& mac, const QString& version,
                               const QString& earliest, const QString& latest, const QString& diskUsage) = 0;
    virtual void SetHealthState(const HealthRecord& record) = 0;
};
