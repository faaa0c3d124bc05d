// The request side of the session: the senders the rest of the client calls (each a guard
// around one network module operation), remote playback control with its tag and speed, the
// chain of record lists and the index scan that fill the 17 minute maps, the backup capacity and
// console intake, local recording toggles, and the console and e-map forwarders.
//
// Everything here runs on the user-interface thread.
#include "session/moduledevice.h"

#include <QDateTime>
#include <QDebug>
#include <QSettings>
#include <QTime>

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "common/media/moduledecoder.h"
#include "common/media/modulerecord.h"
#include "net/modulenetwork.h"
#include "net/recordermessageheader.h"
#include "session/backuphosts.h"
#include "session/moduleplayback.h"
#include "session/museumsearchpopup.h"
#include "session/quicksearchpopup.h"
#include "session/recorderwait.h"
#include "session/remoteconsole.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"
#include "session/sitebook.h"
#include "session/slotreceivebuffers.h"
#include "session/thumbnailsearchpopup.h"

namespace {

constexpr int kLastStorageSlot = 8;
constexpr int kAudioTable = 16;
constexpr int kNoMinute = 9999;
constexpr int kAllChannels = 255;
constexpr int kStopTag = 999;
constexpr int kPlaybackRateRun = 64;
constexpr int kIndexScanKind = 6;
constexpr int kHourMasksAt = 24;
constexpr float kOwnPositionX = 0.452077f;
constexpr float kOwnPositionY = 0.262222f;
constexpr int kFirstFastSpeed = 2;
constexpr int kLastFastSpeed = 8;

quint16 Le16(const char* p)
{
    return quint16(quint8(p[0]) | (quint16(quint8(p[1])) << 8));
}

quint32 Le32(const char* p)
{
    return quint32(quint8(p[0])) | (quint32(quint8(p[1])) << 8) | (quint32(quint8(p[2])) << 16)
           | (quint32(quint8(p[3])) << 24);
}

quint64 Le64(const char* p)
{
    return quint64(Le32(p)) | (quint64(Le32(p + 4)) << 32);
}

// The channels whose playback is asked for: those playing continuously or recording their
// playback.
struct PlayingChannels
{
    quint32 mask = 0;
    int count = 0;
    int single = -2; // the one channel when only one plays
};

// Keeps a date and time inside the recorded range of the day list, once the recorder has told it
// (first date, first time, last date, last time).
void ClampToRecordedRange(const std::array<int, 4>& range, int& date, int& time)
{
    const int firstDate = range[0];
    const int firstTime = range[1];
    const int lastDate = range[2];
    const int lastTime = range[3];
    if (firstDate <= 0 || lastDate < firstDate)
        return;
    date = std::clamp(date, firstDate, lastDate);
    if (date == lastDate && time > lastTime)
        time = lastTime;
    if (date == firstDate && time < firstTime)
        time = firstTime;
}

} // namespace

// =============================================================================================
// Guards

bool CModuleDevice::LiveReady() const
{
    return m_liveNetwork && IsLoggedIn();
}

bool CModuleDevice::ConsoleShowsThisRecorder() const
{
    const SessionHub* hub = SessionHub::Instance();
    return IsLoggedIn() && hub && m_deviceIndex >= 0 && hub->ConsoleDeviceIndex() == m_deviceIndex;
}

CModulePlayback* CModuleDevice::SearchScheduler(SearchPopup popup) const
{
    // Each search's scheduler exists while its pop-up does.
    switch (popup) {
    case SearchPopup::Quick: return QuickSearchPopup::Instance() ? m_quickScheduler.get() : nullptr;
    case SearchPopup::Museum: return MuseumSearchPopup::Instance() ? m_museumScheduler.get() : nullptr;
    case SearchPopup::Thumbnail: return ThumbnailSearchPopup::Instance() ? m_thumbnailScheduler.get() : nullptr;
    }
    return nullptr;
}

CModulePlayback* CModuleDevice::MakeSearchScheduler(SearchPopup popup)
{
    std::unique_ptr<CModulePlayback>& slot = popup == SearchPopup::Museum      ? m_museumScheduler
                                             : popup == SearchPopup::Thumbnail ? m_thumbnailScheduler
                                                                               : m_quickScheduler;
    if (!slot && m_deviceIndex >= 0)
        slot = std::make_unique<CModulePlayback>(this, nullptr);
    return SearchScheduler(popup);
}

bool CModuleDevice::SearchModeOn() const
{
    return m_museumMode.load() != 0 || m_thumbnailMode.load() != 0 || m_quickMode.load() != 0;
}

int CModuleDevice::LiveChannelCount() const
{
    return m_liveNetwork ? std::clamp(m_liveNetwork->GetChannelCount(), 0, int(kChannels)) : 0;
}

// =============================================================================================
// Backup windows and health check

void CModuleDevice::ShowEventBackup()
{
    if (!m_eventBackupHost) {
        qCDebug(lcSession) << "ShowEventBackup:" << GetDvrName() << "has no event backup window before its login";
        return;
    }
    m_eventBackupHost->ShowWindow(QStringLiteral("Event Backup - ") + GetDvrName());
}

void CModuleDevice::ShowRemoteCDBackup()
{
    if (!m_remoteCDBackupHost) {
        qCDebug(lcSession) << "ShowRemoteCDBackup:" << GetDvrName()
                           << "has no remote CD backup window before its login";
        return;
    }
    m_remoteCDBackupHost->ShowWindow(QStringLiteral("Remote CD Backup - ") + GetDvrName());
}

void CModuleDevice::ShowScheduleBackup()
{
    if (!m_scheduleBackupHost) {
        qCDebug(lcSession) << "ShowScheduleBackup:" << GetDvrName()
                           << "has no schedule backup window before its login";
        return;
    }
    m_scheduleBackupHost->ShowWindow(QStringLiteral("Schedule Backup - ") + GetDvrName());
}

void CModuleDevice::ShowHealthCheck(bool quiet)
{
    if (!m_healthCheckWindow)
        return;
    if (!quiet) {
        if (SessionHub* hub = SessionHub::Instance())
            hub->ShowMessageBox(QStringLiteral("Health Check"), QStringLiteral("Loading..."), QString());
    }
    if (m_liveNetwork)
        m_liveNetwork->SendConsoleLock(quiet ? 2 : 1);
}

void CModuleDevice::OnTimerStatus()
{
    if (!m_healthCheckWindow || !m_liveNetwork)
        return;
    m_liveNetwork->SendConsoleLock(2);
}

// =============================================================================================
// Record lists and index requests

void CModuleDevice::SendTimeRecList(int day, int slot)
{
    if (!LiveReady() || !m_listBuffer)
        return;
    if (slot == 0) {
        // The day's lists start: the box that waits for them ends with them or with the limit.
        m_recorderWait->Arm();
        m_searchDate = day;
        for (PlaybackSlot& s : m_slots) {
            if (s.minuteTable)
                std::memset(s.minuteTable.get(), 0, kMinutesPerDay);
        }
    }
    qCDebug(lcSession) << "get timelist" << day << slot;
    m_recorderWait->Continue();
    m_liveNetwork->SendTimeRecList(day, slot, m_listBuffer.get());
}

void CModuleDevice::SendEventRecList(int day, int slot)
{
    if (!LiveReady() || !m_listBuffer)
        return;
    qCDebug(lcSession) << "event list" << day << slot;
    m_recorderWait->Continue();
    m_liveNetwork->SendEventRecList(day, slot, m_listBuffer.get());
}

void CModuleDevice::SendIntraIndexRequest(int day, int channel, int slot, int kind, int flag)
{
    if (!LiveReady())
        return;
    char* indexBuffer = m_slotBuffers->Index(channel);
    if (!indexBuffer) {
        qCDebug(lcSession) << "SendIntraIndexRequest: no index buffer for channel" << channel;
        return;
    }
    m_searchDay = day;
    AwaitIndex(channel, kind);
    m_recorderWait->Continue();
    m_liveNetwork->SendIntraIndexRequest(day, channel, slot, indexBuffer, kind, quint8(flag));
}

// =============================================================================================
// Camera, relay and live output

void CModuleDevice::SendUccControl(int channel, int code, int speed, int preset)
{
    if (!LiveReady())
        return;
    if (!ValidChannel(channel)) {
        qCDebug(lcSession) << "SendUccControl: channel out of range" << channel;
        return;
    }
    qCDebug(lcSession) << "2 ------------------------------------------------->" << code;
    m_liveNetwork->SendPTZControl(quint8(channel), quint8(code), quint8(speed), preset);
}

void CModuleDevice::SendPtzControl(int channel, int command, int value, int value2)
{
    if (!LiveReady() || !ValidChannel(channel) || !(m_maskPtz.load() & (1u << channel)))
        return;
    m_liveNetwork->SendPTZControl(quint8(channel), quint8(command), quint8(value), value2);
}

void CModuleDevice::SendRelayControl(int relay, int on)
{
    if (LiveReady())
        m_liveNetwork->SendRelayControl(relay, on);
}

void CModuleDevice::SetLiveOutputChannel(int channel)
{
    if (!LiveReady())
        return;
    if (!ValidChannel(channel)) {
        qCDebug(lcSession) << "SetLiveOutputChannel: channel out of range" << channel;
        return;
    }
    m_liveNetwork->SetLiveOutputChannel(quint8(channel));
}

void CModuleDevice::SendLiveOutput()
{
    if (LiveReady())
        m_liveNetwork->SendLiveOutput();
}

// =============================================================================================
// Configuration, firmware, recorder media backup and talk-back (the module checks the login)

void CModuleDevice::SetConfigData()
{
    if (m_liveNetwork)
        m_liveNetwork->SetConfigData();
}

void CModuleDevice::SetFirmwareData()
{
    if (m_liveNetwork)
        m_liveNetwork->SetFirmwareData();
}

void CModuleDevice::SendCDMediaCheck(int mediaKind)
{
    if (m_liveNetwork)
        m_liveNetwork->SendCDMediaCheck(quint8(mediaKind));
}

void CModuleDevice::SendCDBackupPrepare(int discNumber, int mediaKind)
{
    if (m_liveNetwork)
        m_liveNetwork->SendCDBackupPrepare(quint8(discNumber), quint8(mediaKind));
}

void CModuleDevice::SendCDBackupStart(int startDate, int startTime, int finishDate, int finishTime,
                                      int channelBits, int audioFlag, int mediaKind)
{
    if (m_liveNetwork)
        m_liveNetwork->SendCDBackupStart(startDate, startTime, finishDate, finishTime, quint16(channelBits),
                                         quint16(audioFlag), quint8(mediaKind));
}

void CModuleDevice::SendCDListBackupStart(const QVector<RequestBuilder::ListBackupEntry>& list, int mediaKind)
{
    if (m_liveNetwork)
        m_liveNetwork->SendCDListBackupStart(list, quint8(mediaKind));
}

void CModuleDevice::SendCDBackupStop(int mediaKind)
{
    if (m_liveNetwork)
        m_liveNetwork->SendCDBackupStop(quint8(mediaKind));
}

void CModuleDevice::SendCDBackupClose()
{
    if (m_liveNetwork)
        m_liveNetwork->SendCDBackupClose();
}

void CModuleDevice::SendCDMediaErase(int mediaKind)
{
    if (m_liveNetwork)
        m_liveNetwork->SendCDMediaErase(quint8(mediaKind));
}

void CModuleDevice::SendTalkStart()
{
    if (m_liveNetwork)
        m_liveNetwork->SendTalkStart();
}

void CModuleDevice::SendTalkStop()
{
    if (m_liveNetwork)
        m_liveNetwork->SendTalkStop();
}

void CModuleDevice::SendBackupPlaybackCtrl(int requestNumber, quint16 channelMask, int date, int time,
                                           char* receiveBuffer)
{
    if (m_liveNetwork)
        m_liveNetwork->SendPlaybackCtrlExt(2, quint8(requestNumber), quint16(ModeCode(PlaybackMode::Forward)), 0,
                                           0, channelMask, date, time, 1, receiveBuffer, 0);
}

void CModuleDevice::SendBackupPlaybackStop(char* receiveBuffer)
{
    if (m_liveNetwork)
        m_liveNetwork->SendPlaybackCtrlExt(0, 0, quint16(ModeCode(PlaybackMode::Stop)), 0, 0, 0xFFFF, 0, 0, 0,
                                           receiveBuffer, 0);
}

// =============================================================================================
// Remote playback control

void CModuleDevice::ResetChannelRequests(PlaybackMode mode)
{
    for (int slot = 0; slot < kSlots; ++slot) {
        if (CModulePlayback* p = GetPlayback(slot))
            p->SetMode(mode);
        // A new request starts every channel's second bookkeeping afresh.
        m_slots[size_t(slot)].lastSecond = -1;
    }
}

void CModuleDevice::SendPlaybackCtrlExtSec(PlaybackMode mode, int speed, int date, int time)
{
    if (!m_playbackNetwork)
        return;
    PlayingChannels playing;
    const int n = LiveChannelCount();
    if (SearchModeOn()) {
        // During a search only the quick search pop-up's channel plays.
        const QuickSearchPopup* popup = QuickSearchPopup::Instance();
        const int channel = popup ? popup->GetChannel() : -1;
        if (m_quickMode.load() == 0 || channel < 0 || channel >= n) {
            qCDebug(lcSession) << "Playback control: no search pop-up holds the search channel";
            return;
        }
        playing.mask = 1u << channel;
        playing.count = 1;
        playing.single = channel;
    }
    for (int ch = 0; ch < n && !SearchModeOn(); ++ch) {
        const CModulePlayback* p = GetPlayback(ch);
        if ((p && p->IsContinuous()) || m_channels[size_t(ch)].searchRecordMark.load() != 0) {
            playing.mask |= 1u << ch;
            ++playing.count;
            playing.single = ch;
        }
    }
    if (playing.count == 0)
        return;
    if (playing.count > 1)
        playing.single = -2;

    // The play mode of the session and of every scheduler, and a new tag: frames of earlier
    // requests are dropped on intake.
    m_playbackMode = mode;
    ResetChannelRequests(mode);
    const int tag = NextPlaybackTag(m_playbackSeq.load());
    m_playbackSeq.store(tag);
    ClampToRecordedRange(m_recordedRange, date, time);
    // A control pressed before the first picture of this request arrives goes on from here, not
    // from where an earlier playback or a search had been; played pictures move it on.
    if (date > 0 && time >= 0 && time <= 235959) {
        m_playDate = date;
        m_playTime = time;
    }

    // The recorder whose playback is controlled is the one heard, and it streams at full rate
    // again.
    if (SessionHub* hub = SessionHub::Instance())
        hub->SetAudioDeviceIndex(m_deviceIndex);
    m_rateState.store(kPlaybackRateRun);
    m_playbackNetwork->SendPlaybackRate(kPlaybackRateRun);

    // Key frames only and the frame rate asked for. Speed -1 asks for key frames only, without
    // a single channel; the fast modes ask at speed code 3 with every frame.
    const int quality = GetStreamQuality();
    quint8 keyOnly = (quality == 2 || (playing.count > 4 && quality == 1)) ? 1 : 0;
    int rate = 30;
    if (playing.count == 1)
        rate = 0;
    else if (playing.count <= 9)
        rate = quality == 2 ? 30 : 4;
    if (speed == -1) {
        keyOnly = 1;
        playing.single = -2;
    }
    int speedSent = 0;
    if (IsFastPlayback(mode)) {
        speedSent = 3;
        rate = 30;
    }
    qCDebug(lcSession) << "Playback control" << Qt::hex << playing.mask << Qt::dec << date << time << rate
                       << m_playbackNetwork->IsConnected();

    // The one playing channel's sound is asked for when it is the playback audio channel.
    const int audio = m_playbackAudioChannel;
    const quint8 audioByte = (playing.count == 1 && playing.single >= 0 && playing.single == audio)
                                 ? quint8(audio + 1)
                                 : quint8(0);
    m_playbackNetwork->SendPlaybackCtrlExt(2, quint8(tag), quint16(ModeCode(mode)), quint8(speedSent), audioByte,
                                           quint16(playing.mask), date, time, quint8(rate), PlaybackBuffer(),
                                           keyOnly);
}

void CModuleDevice::SendPlaybackCtrlStopSec()
{
    m_playbackMode = PlaybackMode::Stop;
    ResetChannelRequests(PlaybackMode::Stop);
    m_playbackSeq.store(kStopTag);
    qCDebug(lcSession) << "Stop Playback";
    if (m_playbackNetwork)
        m_playbackNetwork->SendPlaybackCtrlExt(0, 0, quint16(ModeCode(PlaybackMode::Stop)), 0, 0, 0xFFFF, 0, 0, 0,
                                               PlaybackBuffer(), 1);
}

char* CModuleDevice::PlaybackBuffer() const
{
    // The playback stream is assembled in the first frame buffer B, where the playback intake
    // reads it.
    return m_slotBuffers ? m_slotBuffers->Data6Up(0) : nullptr;
}

void CModuleDevice::SetPlaybackCtrl(PlaybackMode mode)
{
    if (mode == PlaybackMode::Stop) {
        SendPlaybackCtrlStopSec();
        if (m_batcher) {
            m_batcher->Clear();
            m_batcher->ResetInFlight();
        }
    } else if (IsFastPlayback(mode)) {
        int speed = mode == m_playbackMode ? m_playbackSpeed + 1 : kFirstFastSpeed;
        // The fast speeds run 2 to 8; a speed left at 0 (or below) by a plain play starts at 2.
        if (speed < kFirstFastSpeed || speed > kLastFastSpeed)
            speed = kFirstFastSpeed;
        m_playbackSpeed = speed;
        SendPlaybackCtrlExtSec(mode, speed, m_playDate.load(), m_playTime.load());
    } else {
        m_playbackSpeed = 0;
        SendPlaybackCtrlExtSec(mode, 0, m_playDate.load(), m_playTime.load());
    }
    const int grid = m_playbackGrid.load();
    if (SessionHub* hub = SessionHub::Instance(); hub && grid >= 0)
        hub->RedrawCameo(grid);
}

void CModuleDevice::ResendPlaybackCtrl()
{
    if (m_playbackMode.load() == PlaybackMode::Stop)
        SendPlaybackCtrlStopSec();
    else
        SendPlaybackCtrlExtSec(m_playbackMode, m_playbackSpeed, m_playDate.load(), m_playTime.load());
}

bool CModuleDevice::RequestPlayback(int time, int mode)
{
    const int date = m_playDate.load();
    switch (time) {
    case -2: SetThumnailSearch(m_savedSearchChannel, m_savedSearchDate, m_savedSearchTime); return true;
    case -3: SetMuseumSearch(m_savedSearchChannel, m_savedSearchDate, m_savedSearchTime); return true;
    case -4: SetQuickSearch(m_savedSearchChannel, m_savedSearchDate, m_savedSearchTime); return true;
    default: break;
    }
    // Anything else must be a time of the day: a pick that found nothing asks for nothing.
    if (time < 0 || time > 235959) {
        qCDebug(lcSession) << "RequestPlayback: no time" << time;
        return false;
    }
    if (m_thumbnailMode.load() != 0) {
        ThumbnailSearchPopup* popup = ThumbnailSearchPopup::Instance();
        CModulePlayback* p = SearchScheduler(SearchPopup::Thumbnail);
        if (p && popup && p->StartPlayback(date, time, SchedulerKind::Thumbnail, popup->GetPlayState()))
            return true;
        CModulePlayback* own = popup ? GetPlayback(popup->GetChannel()) : nullptr;
        return own && own->StartPlayback(date, time, SchedulerKind::Playback, -1);
    }
    if (m_museumMode.load() != 0) {
        MuseumSearchPopup* popup = MuseumSearchPopup::Instance();
        CModulePlayback* p = SearchScheduler(SearchPopup::Museum);
        if (!p || !popup)
            return false;
        // Without the day's index the scheduler knows no recorded minute; the request is kept
        // for the index's arrival instead of being refused now and overtaken by it then.
        if (m_museumIndexAwaited) {
            m_museumAwaitedTime = time;
            return true;
        }
        return p->StartPlayback(date, time, SchedulerKind::Museum, popup->GetPlayState());
    }
    if (mode != kTimeLineSeek) {
        SendPlaybackCtrlStopSec();
        m_playbackMode = PlaybackMode(mode);
        m_playbackSpeed = 0;
        SendPlaybackCtrlExtSec(PlaybackMode(mode), 0, date, time);
        return true;
    }
    if (m_quickMode.load() != 0) {
        SendPlaybackCtrlStopSec();
        CModulePlayback* p = SearchScheduler(SearchPopup::Quick);
        return p && p->StartPlayback(date, time, SchedulerKind::Thumbnail, ModeCode(m_playbackMode.load()));
    }
    return true;
}

bool CModuleDevice::StartPlaybackAudio(int channel)
{
    if (!LiveReady())
        return false;
    if (!ValidChannel(channel)) {
        qCDebug(lcSession) << "StartPlaybackAudio: channel out of range" << channel;
        return false;
    }
    if (SessionHub* hub = SessionHub::Instance())
        hub->SetAudioDeviceIndex(m_deviceIndex);
    m_playbackAudioChannel = channel;
    SendPlaybackCtrlExtSec(m_playbackMode, m_playbackSpeed, m_playDate.load(), m_playTime.load());
    return true;
}

bool CModuleDevice::StopPlaybackAudio()
{
    if (!LiveReady() || m_playbackAudioChannel == -1)
        return false;
    m_playbackAudioChannel = -1;
    SendPlaybackCtrlExtSec(m_playbackMode, m_playbackSpeed, m_playDate.load(), m_playTime.load());
    return true;
}

void CModuleDevice::SetPlaybackVisible(int channel, bool visible)
{
    if (CModulePlayback* p = GetPlayback(channel))
        p->SetContinuous(visible);
}

void CModuleDevice::SetPlaybackView(PlaybackView* view)
{
    m_playbackView = view;
}

bool CModuleDevice::HasRecordDay(int date) const
{
    const auto end = m_recordDays.begin() + m_recordDayCount;
    return date > 0 && std::find(m_recordDays.begin(), end, date) != end;
}

void CModuleDevice::ChoosePlayStart(int date, int time)
{
    m_playRequestState = 2;
    m_playDate = date;
    m_timeListDate = date;
    m_playTime = time;
}

void CModuleDevice::ClearPlayStart()
{
    m_playDate = -1;
    m_playTime = -1;
}

// =============================================================================================
// Searches

void CModuleDevice::SetMuseumSearch(int channel, int date, int time)
{
    MuseumSearchPopup* popup = MuseumSearchPopup::Instance();
    if (!popup || !MakeSearchScheduler(SearchPopup::Museum) || !ValidChannel(channel)) {
        qCDebug(lcSession) << "SetMuseumSearch: no museum search pop-up" << channel << date << time;
        return;
    }
    RememberSearchStart(channel, date, time);
    m_museumMode = 1;
    m_thumbnailMode = 0;
    m_quickMode = 0;
    const QSize picture = ChannelPictureSize(channel);
    const int resolutionClass = picture.width() >= 1901 ? 2 : picture.width() >= 1201 ? 1 : 0;
    const int gridFamily = m_liveNetwork ? m_liveNetwork->GetModelGroup() : -1;
    // 576-line (and 288-line) pictures carry more grid rows than 480-line ones.
    const int videoFormatBit = picture.height() % 288 == 0 && picture.height() > 0 ? 1 : 0;
    popup->SetSearchInfo(m_deviceIndex, channel, date, time, resolutionClass, gridFamily, videoFormatBit);
    if (CModulePlayback* own = GetPlayback(channel))
        popup->SetLatestTime(own->GetLatestTime());
    ClearSearchSteps();
    qCDebug(lcSession) << "museum search start";
    StartIndexSearch(channel);
}

void CModuleDevice::SetThumnailSearch(int channel, int date, int time)
{
    ThumbnailSearchPopup* popup = ThumbnailSearchPopup::Instance();
    if (!popup || !MakeSearchScheduler(SearchPopup::Thumbnail) || !ValidChannel(channel)) {
        qCDebug(lcSession) << "SetThumnailSearch: no thumbnail search pop-up" << channel << date << time;
        return;
    }
    RememberSearchStart(channel, date, time);
    m_thumbnailMode = 1;
    m_museumMode = 0;
    m_quickMode = 0;
    popup->SetSearchInfo(m_deviceIndex, channel, date, time);
    ClearSearchSteps();
    qCDebug(lcSession) << "thumbnail search start";
    qCDebug(lcSession) << "Start Search" << QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))
                       << m_museumMode.load() << m_thumbnailMode.load();
    StartIndexSearch(channel);
}

void CModuleDevice::SetMuseumArea(int gridFamily, int x1, int y1, int x2, int y2)
{
    if (CModulePlayback* p = SearchScheduler(SearchPopup::Museum))
        p->SetMuseumSearch(gridFamily, x1, y1, x2, y2);
}

void CModuleDevice::LeaveMuseumSearch()
{
    if (CModulePlayback* p = SearchScheduler(SearchPopup::Museum)) {
        p->SetMuseumSearch(-1, 0, 0, 0, 0);
        p->SetMode(PlaybackMode::Stop);
    }
    m_museumMode = 0;
    m_museumIndexAwaited = false;
    m_museumAwaitedTime = -1;
    ClearSearchSteps();
}

void CModuleDevice::LeaveThumbnailSearch()
{
    if (CModulePlayback* p = SearchScheduler(SearchPopup::Thumbnail))
        p->SetMode(PlaybackMode::Stop);
    m_thumbnailMode = 0;
    ClearSearchSteps();
}

void CModuleDevice::ClearSearchSteps()
{
    for (PlaybackSlot& slot : m_slots)
        slot.nextSearchFrame = 0;
    m_searchStep = -1;
}

QSize CModuleDevice::ChannelPictureSize(int channel)
{
    CModuleDecoder* decoder = ValidChannel(channel) ? m_channels[size_t(channel)].playbackDecoder.get() : nullptr;
    if (!decoder)
        return QSize();
    QMutexLocker lock(decoder->GetPictureLock());
    return decoder->GetImage().size();
}

void CModuleDevice::SetQuickSearch(int channel, int date, int time)
{
    // The quick search runs in the hub's quick search pop-up (SearchTime::SetSearchInfo, which
    // also keeps the channel); without it no quick search starts.
    QuickSearchPopup* popup = QuickSearchPopup::Instance();
    if (!popup || !MakeSearchScheduler(SearchPopup::Quick) || !ValidChannel(channel)) {
        qCDebug(lcSession) << "SetQuickSearch: no quick search pop-up" << channel << date << time;
        return;
    }
    RememberSearchStart(channel, date, time);
    m_quickMode = 1;
    m_museumMode = 0;
    m_thumbnailMode = 0;
    popup->SetSearchInfo(m_deviceIndex, channel, date, time);
    qCDebug(lcSession) << "Start Search" << QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))
                       << m_museumMode.load() << m_thumbnailMode.load();
    StartIndexSearch(channel);
}

void CModuleDevice::SetSearchRequest(int channel, int date, int time)
{
    m_savedSearchChannel = channel;
    m_savedSearchDate = date;
    m_savedSearchTime = time;
}

int CModuleDevice::GetRecorderKind() const
{
    return GetModelType();
}

void CModuleDevice::RememberSearchStart(int channel, int date, int time)
{
    m_savedSearchChannel = channel;
    m_savedSearchDate = date;
    m_savedSearchTime = time;
    for (ChannelState& channel : m_channels)
        channel.searchRecordMark = 0;
}

void CModuleDevice::GetIntraIndex(int channel)
{
    qCDebug(lcSession) << "Start Search" << QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))
                       << m_museumMode.load() << m_thumbnailMode.load();
    m_searchDay = 0;
    StartIndexSearch(channel);
}

void CModuleDevice::StartIndexSearch(int channel)
{
    m_playbackAudioChannel = -1;
    // The index chain starts: whatever box waits for playback ends with it or with the limit.
    m_recorderWait->Arm();
    CModulePlayback* p = nullptr;
    if (channel >= 0) {
        if (channel >= kSlots) {
            qCDebug(lcSession) << "index search: channel out of range" << channel;
            return;
        }
        m_searchChannel = channel;
        if (m_thumbnailMode.load() != 0) {
            p = SearchScheduler(SearchPopup::Thumbnail);
            if (p)
                p->Bind(m_deviceIndex, channel, SchedulerKind::Thumbnail);
        } else if (m_museumMode.load() != 0) {
            p = SearchScheduler(SearchPopup::Museum);
            if (p)
                p->Bind(m_deviceIndex, channel, SchedulerKind::Museum);
            m_museumIndexAwaited = p != nullptr;
            m_museumAwaitedTime = -1;
        } else if (m_quickMode.load() != 0) {
            p = SearchScheduler(SearchPopup::Quick);
            if (p)
                p->Bind(m_deviceIndex, channel, SchedulerKind::Thumbnail);
        } else {
            p = GetPlayback(channel);
        }
    } else {
        m_museumMode = 0;
        m_thumbnailMode = 0;
        m_searchChannel = kAllChannels;
        p = GetPlayback(0);
    }
    if (p)
        p->ResetIndex(m_searchDate);
}

// =============================================================================================
// Settings arrival

void CModuleDevice::SetRecvConfig()
{
    SessionHub* hub = SessionHub::Instance();
    const QString dir = hub ? hub->ProgramDirectory() : QString();
    QSettings ini(dir + QStringLiteral("/config.ini"), QSettings::IniFormat);
    const QString value = ini.value(QStringLiteral("CLIENT_NETWORK/csConfig"), QStringLiteral("0")).toString();
    if (value == QLatin1String("1")) {
        // The console enters console mode and asks for its first layout; it reads the restart
        // permission from the same file.
        if (RemoteConsole* console = ShowingConsole())
            console->startRemoteConsole();
    } else {
        if (hub) {
            hub->ShowMessageBox(QString(), QStringLiteral("Don't have permision."), QString());
            hub->ShowMessageBox(QString(), QString(), QStringLiteral("stop"));
        }
        RefuseRemoteConsole();
    }
}

// =============================================================================================
// Local recording

bool CModuleDevice::IsRecordMarked(int index) const
{
    if (index >= 0 && index < kChannels)
        return m_channels[size_t(index)].liveRecordMark.load() != 0;
    if (index >= kChannels && index < 2 * kChannels)
        return m_channels[size_t(index - kChannels)].searchRecordMark.load() != 0;
    return false;
}

void CModuleDevice::ToggleRecord(int index)
{
    if (index < 0 || index >= 2 * kChannels) {
        qCDebug(lcSession) << "ToggleRecord: index out of range" << index;
        return;
    }
    const bool live = index < kChannels;
    const int ch = live ? index : index - kChannels;
    std::atomic<quint8>& mark = live ? m_channels[size_t(ch)].liveRecordMark
                                     : m_channels[size_t(ch)].searchRecordMark;
    if (mark.load() != 0) {
        // The intake stops writing at its next frame.
        mark = 0;
        return;
    }
    mark = 1;
    int date = 0;
    int time = 0;
    LastReceived(live, ch, date, time);
    const QString folder = RecordingFolder(live ? QStringLiteral("Record_Live") : QStringLiteral("Record_Search"))
                           + QLatin1Char('/');
    ModuleRecord* writer = live ? m_recordLive.get() : m_recordSearch.get();
    const int kind = live ? ModuleRecord::RecordLive : ModuleRecord::RecordSearch;
    if (!writer || !writer->StartRecord(ch, date, time, folder, m_deviceIndex, kind)) {
        // A writer that refused would write nothing: the mark must not claim a recording.
        qCDebug(lcSession) << "ToggleRecord: recording of" << index << "could not start";
        mark = 0;
    }
}

void CModuleDevice::EndFailedRecording(bool live, int ch)
{
    std::atomic<quint8>& mark = live ? m_channels[size_t(ch)].liveRecordMark
                                     : m_channels[size_t(ch)].searchRecordMark;
    if (mark.exchange(0) == 0)
        return;
    const ModuleRecord* writer = live ? m_recordLive.get() : m_recordSearch.get();
    const QString text = ModuleRecord::FailureText(
        QStringLiteral("The recording of %1 camera %2").arg(GetDvrName()).arg(ch + 1), writer->Failure(ch));
    // The writer may run on a channel's thread: the user is told on the window thread.
    QMetaObject::invokeMethod(
        this,
        [text] {
            if (SessionHub* hub = SessionHub::Instance())
                hub->ShowMessageBox(QStringLiteral("Record"), text, QStringLiteral("stop"));
        },
        Qt::QueuedConnection);
}

void CModuleDevice::LastReceived(bool live, int ch, int& date, int& time) const
{
    date = live ? -1 : m_slots[size_t(ch)].lastPlayDate.load();
    time = live ? -1 : m_slots[size_t(ch)].lastPlayTime.load();
    if (ModuleRecord::IsValidDate(date) && ModuleRecord::IsValidTime(time))
        return;
    // Nothing received on the channel yet: the recording is named after the local clock.
    const QDateTime now = QDateTime::currentDateTime();
    date = now.date().year() * 10000 + now.date().month() * 100 + now.date().day();
    time = now.time().hour() * 10000 + now.time().minute() * 100 + now.time().second();
}

// =============================================================================================
// Console and e-map forwarders

void CModuleDevice::SendConsoleMode(int value)
{
    if (ConsoleShowsThisRecorder() && m_liveNetwork)
        m_liveNetwork->SendConsoleMode(quint8(value));
}

void CModuleDevice::RequestConsoleData(int value)
{
    if (m_liveNetwork && m_consoleBuffer)
        m_liveNetwork->SendConsoleDataRequest(value, m_consoleBuffer.get());
}

void CModuleDevice::SendMousePos(int x, int y, int button, int flag)
{
    if (ConsoleShowsThisRecorder() && m_liveNetwork)
        m_liveNetwork->SendMousePos(x, y, button, flag);
}

void CModuleDevice::SetCameraEmapPath(const QString& path, int camera)
{
    if (!ValidChannel(camera))
        return;
    m_channels[size_t(camera)].cameraEmapPath = path;
    if (SiteBook* record = Record()) {
        record->emapCameraPath[camera] = path;
        SiteBook::SetOnItem(this, record);
    }
}

void CModuleDevice::SetEmapPath(const QString& path)
{
    m_emapPath = path;
    if (SiteBook* record = Record()) {
        record->emapPath = path;
        SiteBook::SetOnItem(this, record);
    }
}

void CModuleDevice::SetEmapDevicePos(int camera, float x, float y)
{
    if (!ValidChannel(camera))
        return;
    m_channels[size_t(camera)].ownX = x;
    m_channels[size_t(camera)].ownY = y;
    SiteBook* record = Record();
    if (!record)
        return;
    record->emapCameraPos[camera].clear();
    const QString text = QString::asprintf("%f;%f;", double(x), double(y));
    if (text == QLatin1String("-1.000000;-1.000000;")) {
        // Taken off its e-map.
        m_channels[size_t(camera)].ownX = kOwnPositionX;
        m_channels[size_t(camera)].ownY = kOwnPositionY;
        m_channels[size_t(camera)].cameraEmapPath.clear();
        record->emapCameraPath[camera].clear();
    } else {
        record->emapCameraPos[camera] = text;
    }
    SiteBook::SetOnItem(this, record);
}

void CModuleDevice::SetEmapCameraPos(int camera, float x, float y)
{
    if (!ValidChannel(camera))
        return;
    m_channels[size_t(camera)].emapX = x;
    m_channels[size_t(camera)].emapY = y;
    SiteBook* record = Record();
    if (!record)
        return;
    QString positions;
    for (int n = 0; n < kChannels; ++n)
        positions += QString::asprintf("%f;%f;", double(m_channels[size_t(n)].emapX),
                                       double(m_channels[size_t(n)].emapY));
    record->emapPos = positions;
    SiteBook::SetOnItem(this, record);
}

// =============================================================================================
// List chain intake

void CModuleDevice::ConnectListIntake(CModuleNetwork* live)
{
    connect(live, &CModuleNetwork::SetRecvTimeRecList, this, &CModuleDevice::OnRecvTimeRecList);
    connect(live, &CModuleNetwork::SetRecvEventRecList, this, &CModuleDevice::OnRecvEventRecList);
    connect(live, &CModuleNetwork::SetRecvAudioRecList, this, &CModuleDevice::OnRecvAudioRecList);
    connect(live, &CModuleNetwork::SetRecvIntraIndex, this, &CModuleDevice::OnRecvIntraIndex);
    connect(live, &CModuleNetwork::SetRecvListRefused, m_recorderWait, &RecorderWait::Refuse);
    connect(live, &CModuleNetwork::SetRecvBackupCapa, this, &CModuleDevice::OnRecvBackupCapa);
    connect(live, &CModuleNetwork::SetRecvBurningRate, this, &CModuleDevice::OnRecvBurningRate);
    connect(live, &CModuleNetwork::SetRecvCDMedia, this, &CModuleDevice::OnRecvCDMedia);
    connect(live, &CModuleNetwork::SetRecvEraseResult, this, &CModuleDevice::OnRecvEraseResult);
    connect(live, &CModuleNetwork::SetRecvGuiData, this, &CModuleDevice::OnRecvGuiData);
    connect(live, &CModuleNetwork::SetRecvAsyncEvent, this, &CModuleDevice::OnRecvAsyncEvent);
    connect(live, &CModuleNetwork::SetRecvConsoleLockCanceled, this, &CModuleDevice::OnRecvConsoleLockCanceled);
    connect(live, &CModuleNetwork::SetRecvConfig, this, &CModuleDevice::SetRecvConfig);
}

bool CModuleDevice::ListSlotValid(int slot, const char* what) const
{
    if (slot < 0 || slot > kLastStorageSlot) {
        qCDebug(lcSession) << what << "for storage slot out of range dropped" << slot;
        return false;
    }
    return true;
}

void CModuleDevice::MarkMinuteMasks(const char* list, int size, bool audio)
{
    const int entries = std::min(size, int(kListBufferSize)) / 2;
    const quint32 allowed = m_maskSearch.load();
    for (int i = 0; i < entries; ++i) {
        const int minute = i % kMinutesPerDay;
        const quint16 bits = Le16(list + 2 * i);
        if (audio) {
            if (bits != 0)
                WritableMinuteTable(kAudioTable)[minute] = 1;
            continue;
        }
        for (int ch = 0; ch < kChannels; ++ch) {
            if ((bits & (1u << ch)) && (allowed & (1u << ch)))
                WritableMinuteTable(ch)[minute] |= 1;
        }
    }
}

void CModuleDevice::OnRecvTimeRecList(int slot, int size)
{
    if (m_deviceIndex == -1 || m_recorderWait->IsRefused())
        return;
    qCDebug(lcSession) << "timelist size" << size;
    if (!ListSlotValid(slot, "time list"))
        return;
    if (size > 0 && m_listBuffer) {
        qCDebug(lcSession) << "time file";
        MarkMinuteMasks(m_listBuffer.get(), size, false);
    }
    if (slot < kLastStorageSlot)
        SendTimeRecList(m_searchDate, slot + 1);
    else
        SendEventRecList(m_searchDate, 0);
}

void CModuleDevice::MarkEventMinutes(const char* list, int size)
{
    // An hour table of 24 words, then event records of 10 bytes (or, after the long-form mark,
    // of 20 bytes with three masks): hour, minute and the channel masks of motion, sensor (and
    // video loss).
    const int bytes = std::min(size, int(kListBufferSize));
    constexpr int kHourTable = 24 * 4;
    static const quint8 kLongMark[4] = {0xA5, 0xA5, 0x55, 0xAA};
    const bool longForm = bytes >= kHourTable + 4 && std::memcmp(list + kHourTable, kLongMark, 4) == 0;
    const int recordSize = longForm ? 20 : 10;
    const int first = longForm ? kHourTable + 4 : kHourTable;
    static const int kShortMasks[] = {4, 6};
    static const int kLongMasks[] = {12, 14, 18};
    static const quint8 kFlags[] = {2, 4, 16};
    const int* maskAt = longForm ? kLongMasks : kShortMasks;
    const int maskCount = longForm ? 3 : 2;
    const quint32 allowed = m_maskSearch.load();
    for (int at = first; bytes >= kHourTable && at < bytes - recordSize; at += recordSize) {
        const int hour = quint8(list[at]);
        const int minute = quint8(list[at + 1]);
        if (hour >= 24 || minute >= 60) {
            qCDebug(lcSession) << "event record with time" << hour << minute << "dropped";
            continue;
        }
        if (Le32(list + 4 * hour) == 0)
            continue;
        const int index = hour * 60 + minute;
        for (int k = 0; k < maskCount; ++k) {
            const quint16 bits = Le16(list + at + maskAt[k]);
            for (int ch = 0; ch < kChannels; ++ch) {
                if ((bits & (1u << ch)) && (allowed & (1u << ch)))
                    WritableMinuteTable(ch)[index] |= kFlags[k];
            }
        }
    }
}

void CModuleDevice::OnRecvEventRecList(int slot, int size)
{
    if (m_deviceIndex == -1 || m_recorderWait->IsRefused())
        return;
    if (!ListSlotValid(slot, "event list"))
        return;
    if (size > 0 && m_listBuffer) {
        qCDebug(lcSession) << "event file";
        MarkEventMinutes(m_listBuffer.get(), size);
    }
    if (slot < kLastStorageSlot)
        SendEventRecList(m_searchDate, slot + 1);
    else if (m_liveNetwork && m_liveNetwork->IsConnected() && m_listBuffer) {
        m_recorderWait->Continue();
        m_liveNetwork->SendAudioRecList(m_searchDate, 0, m_listBuffer.get());
    }
}

void CModuleDevice::OnRecvAudioRecList(int slot, int size)
{
    if (m_deviceIndex == -1 || m_recorderWait->IsRefused())
        return;
    if (!ListSlotValid(slot, "audio list"))
        return;
    if (size > 0 && m_listBuffer) {
        qCDebug(lcSession) << "audio file";
        MarkMinuteMasks(m_listBuffer.get(), size, true);
    }
    if (slot < kLastStorageSlot) {
        if (m_liveNetwork && m_liveNetwork->IsConnected() && m_listBuffer) {
            m_recorderWait->Continue();
            m_liveNetwork->SendAudioRecList(m_searchDate, slot + 1, m_listBuffer.get());
        }
        return;
    }
    for (ChannelState& channel : m_channels) {
        channel.firstMinuteScan = kNoMinute;
        channel.firstMinuteOwn = kNoMinute;
    }
    m_startTogether = false;
    if (m_liveNetwork && m_slotBuffers->Index(0)) {
        AwaitIndex(0, kIndexScanKind);
        m_recorderWait->Continue();
        m_liveNetwork->SendIntraIndexRequest(m_searchDate, 0, 0, m_slotBuffers->Index(0), kIndexScanKind, 1);
    }
}

int CModuleDevice::FirstRecordedMinute(const char* index, int size)
{
    for (int hour = 0; hour < 24; ++hour) {
        const int at = kHourMasksAt + 8 * hour;
        if (at + 8 > size)
            break;
        const quint64 minutes = Le64(index + at);
        for (int minute = 0; minute < 60; ++minute) {
            if (minutes & (quint64(1) << minute))
                return hour * 100 + minute;
        }
    }
    return kNoMinute;
}

void CModuleDevice::ScanNextIndex(int slot, int channel, const char* buffer, int bytes)
{
    // The day's index scan: the first recorded minute of every channel, storage slot after
    // storage slot and channel after channel.
    if (buffer && bytes > 0 && channel < kChannels) {
        const int first = FirstRecordedMinute(buffer, bytes);
        if (first < m_channels[size_t(channel)].firstMinuteScan)
            m_channels[size_t(channel)].firstMinuteScan = first;
    }
    if (!m_liveNetwork)
        return;
    if (slot < kLastStorageSlot) {
        AwaitIndex(channel, kIndexScanKind);
        m_recorderWait->Continue();
        m_liveNetwork->SendIntraIndexRequest(m_searchDate, channel, slot + 1, m_slotBuffers->Index(channel),
                                             kIndexScanKind, 1);
    } else if (channel < LiveChannelCount()) {
        if (char* next = m_slotBuffers->Index(channel + 1)) {
            AwaitIndex(channel + 1, kIndexScanKind);
            m_recorderWait->Continue();
            m_liveNetwork->SendIntraIndexRequest(m_searchDate, channel + 1, 0, next, kIndexScanKind, 1);
        } else
            qCDebug(lcSession) << "index scan stops: no index buffer for channel" << channel + 1;
    } else if (m_playbackView) {
        // The record calendar waits for the day's lists to draw them; otherwise playback starts
        // from the chosen time.
        if (m_playbackView->IsCalendarOpen()) {
            // The calendar draws the day's lists and closes the box itself.
            m_recorderWait->Settle();
            m_playbackView->NotifyTimeList();
        } else
            GetIntraIndex(-1);
    }
}

void CModuleDevice::AwaitIndex(int channel, int kind)
{
    m_awaitedIndex.channel = channel;
    m_awaitedIndex.kind = kind;
}

void CModuleDevice::OnRecvIntraIndex(int slot, int channel, int size, int kind)
{
    if (m_deviceIndex == -1 || m_recorderWait->IsRefused())
        return;
    if (!ListSlotValid(slot, "index"))
        return;
    const char* buffer = m_slotBuffers->Index(channel);
    if (!buffer) {
        qCDebug(lcSession) << "index for channel out of range dropped" << channel;
        return;
    }
    // The reply names the channel and kind only through its sub-code, which without the second
    // stream says channel 0 and kind 0 for every request; the chains ask one index at a time, so
    // the answer belongs to the request that waits. Its data is where the engine put it.
    if (m_awaitedIndex.channel >= 0) {
        channel = m_awaitedIndex.channel;
        kind = m_awaitedIndex.kind;
        m_awaitedIndex = {};
    }
    const int bytes = std::min(size, int(SlotReceiveBuffers::kIndexBufferSize));
    if (kind == kIndexScanKind) {
        ScanNextIndex(slot, channel, buffer, bytes);
        return;
    }

    const bool thumbnail = m_thumbnailMode.load() != 0;
    const bool museum = m_museumMode.load() != 0;
    const bool quick = m_quickMode.load() != 0;
    if (bytes > 0) {
        CModulePlayback* target = nullptr;
        if (thumbnail && kind == 1)
            target = SearchScheduler(SearchPopup::Thumbnail);
        else if (museum && kind == 2)
            target = SearchScheduler(SearchPopup::Museum);
        else if (quick && kind == 1)
            target = SearchScheduler(SearchPopup::Quick);
        else if (kind == 0 && GetPlayback(channel)) {
            if (channel < kChannels) {
                const int first = FirstRecordedMinute(buffer, bytes);
                if (first < m_channels[size_t(channel)].firstMinuteOwn)
                    m_channels[size_t(channel)].firstMinuteOwn = first;
            }
            target = GetPlayback(channel);
        }
        if (target)
            target->OnSetIntraIndex(slot, buffer, bytes);
    }

    if (slot < kLastStorageSlot) {
        SendIntraIndexRequest(m_searchDay, channel, slot + 1, kind, kind == 1 ? 1 : 0);
        return;
    }
    FinishIndexChain(channel, thumbnail, museum, quick, kind);
}

void CModuleDevice::FinishIndexChain(int channel, bool thumbnail, bool museum, bool quick, int kind)
{
    const int date = m_playDate.load();
    // The index chain ends here except when the next channel's index follows; the first played
    // picture then ends the wait of the session's own playback.
    const bool nextChannel = kind == 0 && m_searchChannel == kAllChannels && channel < LiveChannelCount();
    if (!nextChannel && !(kind == 0 && m_searchChannel == kAllChannels))
        m_recorderWait->Settle();
    if (thumbnail && kind == 1) {
        qCDebug(lcSession) << "Thumbnail Index recv finish";
        CModulePlayback* p = SearchScheduler(SearchPopup::Thumbnail);
        if (!p || !p->StartPlayback(date, 0, SchedulerKind::Thumbnail, -1)) {
            if (CModulePlayback* own = GetPlayback(channel))
                own->StartPlayback(date, 0, SchedulerKind::Playback, -1);
        }
    } else if (museum && kind == 2) {
        MuseumSearchPopup* popup = MuseumSearchPopup::Instance();
        const int asked = std::exchange(m_museumAwaitedTime, -1);
        m_museumIndexAwaited = false;
        if (CModulePlayback* p = SearchScheduler(SearchPopup::Museum); p && popup)
            p->StartPlayback(date, asked >= 0 ? asked : m_playTime.load(), SchedulerKind::Museum,
                             popup->GetPlayState());
    } else if (quick && kind == 1) {
        qCDebug(lcSession) << "//////////////////////// finish info";
        if (QuickSearchPopup* popup = QuickSearchPopup::Instance())
            popup->OnFinishInfo();
    } else if (kind == 0 && m_searchChannel != kAllChannels) {
        qCDebug(lcSession) << "temp index recv finish";
    } else if (kind == 0) {
        if (channel < LiveChannelCount()) {
            if (CModulePlayback* next = GetPlayback(channel + 1))
                next->ResetIndex(m_searchDay);
            return;
        }
        // Every channel's index is in: the channels start together when their first recorded
        // minutes agree with the day's scan.
        bool together = true;
        for (int ch = 0; ch < kChannels; ++ch)
            together = together && m_channels[size_t(ch)].firstMinuteScan == m_channels[size_t(ch)].firstMinuteOwn;
        m_startTogether = together;
        for (CModuleNetwork* network : {m_liveNetwork.get(), m_playbackNetwork.get()}) {
            if (network)
                network->SetSecondStream(together ? 1 : 0);
        }
        m_playbackSpeed = 0;
        SendPlaybackCtrlExtSec(PlaybackMode::Forward, 0, date, m_playTime.load());
    }
}

// =============================================================================================
// Backup capacity, recorder media backup and console intake

void CModuleDevice::OnRecvBackupCapa(_SEND_BACKUP_CAPA* message)
{
    if (m_deviceIndex == -1 || !message)
        return;
    const int n = LiveChannelCount();
    const int total = RecorderMessageHeader::ReadTotal(reinterpret_cast<const char*>(message));
    // Only whole entries inside the message count: a reply cut off within its last entry must
    // not take the rest of that entry from whatever follows it in the receive buffer.
    const int entries = std::clamp((total - 16) / 4, 0, 17);
    const quint16 mask = message->channelMask;
    qint64 sum = 0;
    int positive = 0;
    int used = 0;
    for (int i = 0; i <= n && used < entries; ++i) {
        if (!(i < 16 && (mask & (1u << i))) && i != n)
            continue;
        qint32 size = 0;
        std::memcpy(&size, reinterpret_cast<const char*>(message) + 16 + 4 * used, sizeof size);
        ++used;
        emit OnAddBackupCapa(i, n, size);
        if (size > 0) {
            sum += size;
            ++positive;
        }
    }
    emit OnAddBackupCapaAll(mask, n, int(std::min<qint64>(sum, INT_MAX)));
    if (positive == 0) {
        if (SessionHub* hub = SessionHub::Instance())
            hub->ShowMessageBox(QStringLiteral("Remote CD Backup"), QStringLiteral("Not a data"),
                                QStringLiteral("stop"));
    }
}

void CModuleDevice::OnRecvBurningRate(char state, char percent, char discs, char discIndex)
{
    if (m_deviceIndex != -1)
        emit OnBurningRate(state, percent, discs, discIndex);
}

void CModuleDevice::OnRecvCDMedia(short state, short freeMegabytes)
{
    if (m_deviceIndex != -1)
        emit OnSetCDMedia(state, freeMegabytes);
}

void CModuleDevice::OnRecvEraseResult(char result)
{
    if (m_deviceIndex != -1)
        emit OnEraseResult(result);
}

void CModuleDevice::OnRecvGuiData(int layoutSize, int word20, int word22, int word24, int word26, int word32,
                                  int word34)
{
    if (m_deviceIndex == -1 || !ConsoleShowsThisRecorder())
        return;
    if (SessionHub* hub = SessionHub::Instance())
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
    qCDebug(lcSession) << "console data" << layoutSize << word20 << word22 << word24 << word26 << word32 << word34;
    if (RemoteConsole* console = ShowingConsole())
        console->OnRecvGuiData(layoutSize, word20, word22, word24, word26, word32, word34);
}

void CModuleDevice::OnRecvAsyncEvent()
{
    if (m_deviceIndex == -1 || !ConsoleShowsThisRecorder())
        return;
    if (RemoteConsole* console = ShowingConsole())
        console->OnAsyncEvent();
}

void CModuleDevice::OnRecvConsoleLockCanceled()
{
    if (m_deviceIndex == -1 || !ConsoleShowsThisRecorder())
        return;
    if (RemoteConsole* console = ShowingConsole())
        console->OnConsoleLockCanceled();
}
