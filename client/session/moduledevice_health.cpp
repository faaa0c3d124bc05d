// The health side of the session: the hidden health window made at the first login, the status
// refresh that feeds it, the health answer that fills its texts and shows it, and the network
// status pop-up of the recorder.
//
// Everything here runs on the user-interface thread.
#include "session/moduledevice.h"

#include <QWidget>

#include <algorithm>

#include "net/modulenetwork.h"
#include "session/recorderwait.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"

namespace {

// What the recorder answers in place of a day count when the answer is health information, or
// only the recording times.
constexpr int kHealthAnswer = -999;
constexpr int kRecordTimesAnswer = -888;
// The level value of a disk array that records by itself rather than in a RAID level.
constexpr int kSmartRecordLevel = 255;

// "YYYY/MM/DD HH:MM:SS" of a recorder date and time.
QString RecordText(int date, int time)
{
    const QString d = QString::asprintf("%08d", date);
    const QString t = QString::asprintf("%06d", time);
    return d.left(4) + QLatin1Char('/') + d.mid(4, 2) + QLatin1Char('/') + d.mid(6) + QLatin1Char(' ') + t.left(2)
           + QLatin1Char(':') + t.mid(2, 2) + QLatin1Char(':') + t.mid(4);
}

} // namespace

void CModuleDevice::CreateHealthCheck()
{
    if (!m_healthCheckWindow) {
        SessionHub* hub = SessionHub::Instance();
        m_healthCheck = hub ? hub->CreateHealthCheck() : nullptr;
        m_healthCheckWindow = m_healthCheck ? m_healthCheck->Widget() : nullptr;
    }
    if (!m_healthCheckWindow || !m_liveNetwork)
        return;
    m_healthCheck->SetDvrName(QStringLiteral("DVR Name : ") + GetDvrName(), m_liveNetwork->GetChannelCount(),
                              m_liveNetwork->GetRelayOutputCount());
}

void CModuleDevice::FeedHealthCheck()
{
    HealthCheckView* health = GetHealthCheck();
    if (!health || !m_liveNetwork)
        return;
    const CModuleNetwork* network = m_liveNetwork.get();
    HealthRecord record;
    record.chipset1 = network->GetExtendedStatus(0);
    record.chipset2 = network->GetExtendedStatus(1);
    record.fanSpeed = network->GetExtendedStatus(2);
    const int relays = std::clamp(network->GetRelayOutputCount(), 0, HealthRecord::kChannels);
    const int channels = std::clamp(m_channelCount.load(), 0, HealthRecord::kChannels);
    const quint32 live = m_maskLive.load();
    for (int ch = 0; ch < channels; ++ch) {
        record.motion[ch] = network->IsMotion(ch) ? 1 : 0;
        record.sensor[ch] = network->IsSensor(ch) ? 1 : 0;
        record.videoLoss[ch] = network->IsVideoLoss(ch) ? 1 : 0;
        if (ch < relays)
            record.relay[ch] = network->IsRelayOn(ch) ? 1 : 0;
        if (!(live & (1u << ch)))
            record.cameraState[ch] = 0xFF;
        else
            record.cameraState[ch] = network->IsChannelActive(ch) ? 0 : 1;
    }
    for (int slot = 0; slot < HealthRecord::kStorageSlots; ++slot)
        record.diskState[slot] = network->GetStorageState(slot);
    health->SetHealthState(record);
}

void CModuleDevice::BuildRecordTexts(int firstDate, int firstTime, int lastDate, int lastTime)
{
    m_earliestRecordText = RecordText(firstDate, firstTime);
    m_latestRecordText = RecordText(lastDate, lastTime);
}

void CModuleDevice::ShowHealthAnswer()
{
    if (SessionHub* hub = SessionHub::Instance()) {
        hub->ShowMessageBox(QString(), QStringLiteral("Completed."), QString());
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
    }
    HealthCheckView* health = GetHealthCheck();
    if (!health || !m_liveNetwork)
        return;
    const CModuleNetwork* network = m_liveNetwork.get();
    QString disk = network->GetDiskText();
    if (network->IsDiskArray()) {
        const int level = network->GetArrayType();
        disk += level == kSmartRecordLevel ? QStringLiteral(" - SMART RECORD")
                                           : QString::asprintf(" - RAID Level%d", level);
    }
    health->Widget()->setWindowTitle(QStringLiteral("Health Check - ") + GetDvrName());
    health->SetRecordInfo(QStringLiteral("Net Address : ") + network->GetHost(),
                          QStringLiteral("Mac Address : ") + network->GetMacText(),
                          QStringLiteral("DVR Version : ") + network->GetVersionText(),
                          QStringLiteral("Earliest Record : ") + m_earliestRecordText,
                          QStringLiteral("Latest Record : ") + m_latestRecordText,
                          QStringLiteral("HDD Usage : ") + disk);
    health->Widget()->show();
}

void CModuleDevice::OnRecvPlaybackInfo(int firstDate, int firstTime, int lastDate, int lastTime, int dayCount,
                                       int* days)
{
    if (m_deviceIndex < 0)
        return;
    if (dayCount == kHealthAnswer || dayCount == kRecordTimesAnswer) {
        BuildRecordTexts(firstDate, firstTime, lastDate, lastTime);
        if (dayCount == kHealthAnswer)
            ShowHealthAnswer();
        return;
    }
    m_recordRange = {{firstDate, firstTime, lastDate, lastTime}};
    // The playback intake keeps its frames within the same range.
    m_recordedRange = m_recordRange;
    qCDebug(lcSession) << "Last Time" << lastTime;
    // A recorder that reports more days than the list holds (or fewer than none) is cut to it.
    const int count = days ? std::clamp(dayCount, 0, kMaxRecordDays) : 0;
    m_recordDays.fill(-1, kMaxRecordDays);
    for (int i = 0; i < count; ++i)
        m_recordDays[i] = days[i];
    m_recordDayCount = count;
    // The playback window takes the answer over (and with it the box); without one the box that
    // waited for it closes.
    if (m_playbackView)
        m_recorderWait->Settle();
    else
        SettleRecorderWait();
    if (m_playbackView)
        m_playbackView->SetPlaybackInfo(m_deviceIndex, m_playDate.load() != -1 || m_playTime.load() != -1);
}

void CModuleDevice::ShowNetworkStatus()
{
    if (m_deviceIndex < 0)
        return;
    if (SessionHub* hub = SessionHub::Instance())
        hub->ShowNetworkStatus(m_deviceIndex);
}
