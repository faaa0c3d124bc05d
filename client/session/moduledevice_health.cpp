// The health side of the session: the playback information answer (a health answer, the
// recording times, or the recorded range and days) and the network status pop-up of the
// recorder. The health window itself is kept by SessionHealth.
//
// Everything here runs on the user-interface thread.
#include "session/moduledevice.h"
#include "session/playbackview.h"

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

} // namespace

void CModuleDevice::OnRecvPlaybackInfo(int firstDate, int firstTime, int lastDate, int lastTime, int dayCount,
                                       int* days)
{
    if (m_deviceIndex < 0)
        return;
    if (dayCount == kHealthAnswer || dayCount == kRecordTimesAnswer) {
        m_recordInfo.SetTexts(firstDate, firstTime, lastDate, lastTime);
        if (dayCount == kHealthAnswer)
            m_health.ShowAnswer(m_link.liveNetwork.get(), GetDvrName(), m_recordInfo);
        return;
    }
    m_recordInfo.range = {{firstDate, firstTime, lastDate, lastTime}};
    // The playback intake keeps its frames within the same range.
    m_playback.recordedRange = m_recordInfo.range;
    qCDebug(lcSession) << "Last Time" << lastTime;
    // A recorder that reports more days than the list holds (or fewer than none) is cut to it.
    const int count = days ? std::clamp(dayCount, 0, kMaxRecordDays) : 0;
    m_recordInfo.days.fill(-1, kMaxRecordDays);
    for (int i = 0; i < count; ++i)
        m_recordInfo.days[i] = days[i];
    m_playback.recordDayCount = count;
    // The playback window takes the answer over (and with it the box); without one the box that
    // waited for it closes.
    if (m_playback.view)
        m_lists.recorderWait->Settle();
    else
        m_lists.SettleRecorderWait();
    if (m_playback.view)
        m_playback.view->SetPlaybackInfo(m_deviceIndex,
                                         m_playback.playDate.load() != -1 || m_playback.playTime.load() != -1);
}

void CModuleDevice::ShowNetworkStatus()
{
    if (m_deviceIndex < 0)
        return;
    if (SessionHub* hub = SessionHub::Instance())
        hub->ShowNetworkStatus(m_deviceIndex);
}

QString CModuleDevice::GetFirmwareVersion() const
{
    return m_link.liveNetwork ? m_link.liveNetwork->GetVersionText() : QString();
}
