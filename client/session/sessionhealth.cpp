#include "session/sessionhealth.h"

#include <algorithm>

#include "net/modulenetwork.h"
#include "session/healthcheckview.h"
#include "session/recordinfo.h"
#include "session/sessionhub.h"

namespace {

// The level value of a disk array that records by itself rather than in a RAID level.
constexpr int kSmartRecordLevel = 255;

} // namespace

void SessionHealth::Create(const QString& dvrName, const CModuleNetwork* network)
{
    if (!m_window) {
        SessionHub* hub = SessionHub::Instance();
        m_view = hub ? hub->CreateHealthCheck() : nullptr;
        m_window = m_view ? m_view->Widget() : nullptr;
    }
    if (!m_window || !network)
        return;
    m_view->SetDvrName(QStringLiteral("DVR Name : ") + dvrName, network->GetChannelCount(),
                       network->GetRelayOutputCount());
}

void SessionHealth::Feed(const CModuleNetwork* network, int channelCount, quint32 liveMask)
{
    HealthCheckView* health = View();
    if (!health || !network)
        return;
    HealthRecord record;
    record.chipset1 = network->GetExtendedStatus(0);
    record.chipset2 = network->GetExtendedStatus(1);
    record.fanSpeed = network->GetExtendedStatus(2);
    const int relays = std::clamp(network->GetRelayOutputCount(), 0, HealthRecord::kChannels);
    const int channels = std::clamp(channelCount, 0, HealthRecord::kChannels);
    for (int ch = 0; ch < channels; ++ch) {
        record.motion[ch] = network->IsMotion(ch) ? 1 : 0;
        record.sensor[ch] = network->IsSensor(ch) ? 1 : 0;
        record.videoLoss[ch] = network->IsVideoLoss(ch) ? 1 : 0;
        if (ch < relays)
            record.relay[ch] = network->IsRelayOn(ch) ? 1 : 0;
        if (!(liveMask & (1u << ch)))
            record.cameraState[ch] = 0xFF;
        else
            record.cameraState[ch] = network->IsChannelActive(ch) ? 0 : 1;
    }
    for (int slot = 0; slot < HealthRecord::kStorageSlots; ++slot)
        record.diskState[slot] = network->GetStorageState(slot);
    health->SetHealthState(record);
}

void SessionHealth::ShowAnswer(const CModuleNetwork* network, const QString& dvrName, const RecordInfo& info)
{
    if (SessionHub* hub = SessionHub::Instance()) {
        hub->ShowMessageBox(QString(), QStringLiteral("Completed."), QString());
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
    }
    HealthCheckView* health = View();
    if (!health || !network)
        return;
    QString disk = network->GetDiskText();
    if (network->IsDiskArray()) {
        const int level = network->GetArrayType();
        disk += level == kSmartRecordLevel ? QStringLiteral(" - SMART RECORD")
                                           : QString::asprintf(" - RAID Level%d", level);
    }
    health->Widget()->setWindowTitle(QStringLiteral("Health Check - ") + dvrName);
    health->SetRecordInfo(QStringLiteral("Net Address : ") + network->GetHost(),
                          QStringLiteral("Mac Address : ") + network->GetMacText(),
                          QStringLiteral("DVR Version : ") + network->GetVersionText(),
                          QStringLiteral("Earliest Record : ") + info.earliestText,
                          QStringLiteral("Latest Record : ") + info.latestText,
                          QStringLiteral("HDD Usage : ") + disk);
    health->Widget()->show();
}
