// The request side of the session: the senders the rest of the client calls (each a guard
// around one network module operation), remote playback control with its tag and speed, the
// backup capacity and console intake, local recording toggles, and the console and e-map
// forwarders. The record lists and index scan are in moduledevice_lists.cpp, the searches in
// moduledevice_search.cpp.
//
// Everything here runs on the user-interface thread.
#include "session/mediaintake.h"
#include "session/moduledevice.h"
#include "session/playbackview.h"
#include "session/recordlistintake.h"
#include "session/requestpacing.h"
#include "session/sessionlink.h"

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
#include "session/sessiondefaults.h"
#include "session/sessionhub.h"
#include "session/sessionlog.h"
#include "session/sessionrecording.h"
#include "session/sitebook.h"
#include "session/slotreceivebuffers.h"
#include "session/thumbnailsearchpopup.h"

using namespace SessionDefaults;

namespace {

constexpr int kStopTag = 999;
constexpr int kPlaybackRateRun = 64;
constexpr int kFirstFastSpeed = 2;
constexpr int kLastFastSpeed = 8;

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
    return m_link.liveNetwork && IsLoggedIn();
}

int CModuleDevice::LiveChannelCount() const
{
    return m_link.liveNetwork ? std::clamp(m_link.liveNetwork->GetChannelCount(), 0, int(kChannels)) : 0;
}

// =============================================================================================
// Backup windows and health check

EventBackupHost* CModuleDevice::GetEventBackupHost() const
{
    return m_recording->EventHost();
}

ScheduleBackupHost* CModuleDevice::GetScheduleBackupHost() const
{
    return m_recording->ScheduleHost();
}

RemoteCDBackupHost* CModuleDevice::GetRemoteCDBackupHost() const
{
    return m_recording->RemoteCDHost();
}

void CModuleDevice::ShowEventBackup()
{
    m_recording->ShowBackupWindow(SessionRecording::BackupWindow::Event);
}

void CModuleDevice::ShowRemoteCDBackup()
{
    m_recording->ShowBackupWindow(SessionRecording::BackupWindow::RemoteCD);
}

void CModuleDevice::ShowScheduleBackup()
{
    m_recording->ShowBackupWindow(SessionRecording::BackupWindow::Schedule);
}

void CModuleDevice::ShowHealthCheck(bool quiet)
{
    if (!m_health.Exists())
        return;
    if (!quiet) {
        if (SessionHub* hub = SessionHub::Instance())
            hub->ShowMessageBox(QStringLiteral("Health Check"), QStringLiteral("Loading..."), QString());
    }
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendConsoleLock(quiet ? 2 : 1);
}

void CModuleDevice::OnTimerStatus()
{
    if (!m_health.Exists() || !m_link.liveNetwork)
        return;
    m_link.liveNetwork->SendConsoleLock(2);
}

// =============================================================================================
// Record lists and index requests

// A time list of storage slot 0 remembers the day and clears the 17 minute maps; each reply
// asks for the next slot, list and channel by itself.
void CModuleDevice::SendTimeRecList(int day, int slot)
{
    if (!LiveReady() || !m_buffers.List())
        return;
    if (slot == 0) {
        // The day's lists start: the box that waits for them ends with them or with the limit.
        m_lists.recorderWait->Arm();
        m_lists.Chain().date = day;
        for (PlaybackSlot& s : m_slots) {
            if (s.minuteTable)
                std::memset(s.minuteTable.get(), 0, kMinutesPerDay);
        }
    }
    qCDebug(lcSession) << "get timelist" << day << slot;
    m_lists.recorderWait->Continue();
    m_link.liveNetwork->SendTimeRecList(day, slot, m_buffers.List());
}

void CModuleDevice::SendEventRecList(int day, int slot)
{
    if (!LiveReady() || !m_buffers.List())
        return;
    qCDebug(lcSession) << "event list" << day << slot;
    m_lists.recorderWait->Continue();
    m_link.liveNetwork->SendEventRecList(day, slot, m_buffers.List());
}

void CModuleDevice::SendIntraIndexRequest(int day, int channel, int slot, int kind, int flag)
{
    if (!LiveReady())
        return;
    char* indexBuffer = m_buffers.Slots().Index(channel);
    if (!indexBuffer) {
        qCDebug(lcSession) << "SendIntraIndexRequest: no index buffer for channel" << channel;
        return;
    }
    m_lists.Chain().day = day;
    m_lists.AwaitIndex(channel, kind);
    m_lists.recorderWait->Continue();
    m_link.liveNetwork->SendIntraIndexRequest(day, channel, slot, indexBuffer, kind, quint8(flag));
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
    m_link.liveNetwork->SendPTZControl(quint8(channel), quint8(code), quint8(speed), preset);
}

void CModuleDevice::SendPtzControl(int channel, int command, int value, int value2)
{
    if (!LiveReady() || !ValidChannel(channel) || !(m_link.masks.ptz.load() & (1u << channel)))
        return;
    m_link.liveNetwork->SendPTZControl(quint8(channel), quint8(command), quint8(value), value2);
}

void CModuleDevice::SendRelayControl(int relay, int on)
{
    if (LiveReady())
        m_link.liveNetwork->SendRelayControl(relay, on);
}

void CModuleDevice::SetLiveOutputChannel(int channel)
{
    if (!LiveReady())
        return;
    if (!ValidChannel(channel)) {
        qCDebug(lcSession) << "SetLiveOutputChannel: channel out of range" << channel;
        return;
    }
    m_link.liveNetwork->SetLiveOutputChannel(quint8(channel));
}

void CModuleDevice::SendLiveOutput()
{
    if (LiveReady())
        m_link.liveNetwork->SendLiveOutput();
}

// =============================================================================================
// Configuration, firmware, recorder media backup and talk-back (the module checks the login)

void CModuleDevice::SetConfigData()
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SetConfigData();
}

void CModuleDevice::SetFirmwareData()
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SetFirmwareData();
}

void CModuleDevice::SendCDMediaCheck(int mediaKind)
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendCDMediaCheck(quint8(mediaKind));
}

void CModuleDevice::SendCDBackupPrepare(int discNumber, int mediaKind)
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendCDBackupPrepare(quint8(discNumber), quint8(mediaKind));
}

// The audio flag is 0xFFFF with audio.
void CModuleDevice::SendCDBackupStart(int startDate, int startTime, int finishDate, int finishTime,
                                      int channelBits, int audioFlag, int mediaKind)
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendCDBackupStart(startDate, startTime, finishDate, finishTime, quint16(channelBits),
                                              quint16(audioFlag), quint8(mediaKind));
}

void CModuleDevice::SendCDListBackupStart(const QVector<RequestBuilder::ListBackupEntry>& list, int mediaKind)
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendCDListBackupStart(list, quint8(mediaKind));
}

void CModuleDevice::SendCDBackupStop(int mediaKind)
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendCDBackupStop(quint8(mediaKind));
}

void CModuleDevice::SendCDBackupClose()
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendCDBackupClose();
}

void CModuleDevice::SendCDMediaErase(int mediaKind)
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendCDMediaErase(quint8(mediaKind));
}

void CModuleDevice::SendTalkStart()
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendTalkStart();
}

void CModuleDevice::SendTalkStop()
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendTalkStop();
}

// On the live connection; every frame carries the request number and arrives in `receiveBuffer`.
void CModuleDevice::SendBackupPlaybackCtrl(int requestNumber, quint16 channelMask, int date, int time,
                                           char* receiveBuffer)
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendPlaybackCtrlExt(2, quint8(requestNumber), quint16(ModeCode(PlaybackMode::Forward)),
                                                0, 0, channelMask, date, time, 1, receiveBuffer, 0);
}

void CModuleDevice::SendBackupPlaybackStop(char* receiveBuffer)
{
    if (m_link.liveNetwork)
        m_link.liveNetwork->SendPlaybackCtrlExt(0, 0, quint16(ModeCode(PlaybackMode::Stop)), 0, 0, 0xFFFF, 0, 0, 0,
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
    if (!m_link.playbackNetwork)
        return;
    PlayingChannels playing;
    const int n = LiveChannelCount();
    if (m_search.AnyOn()) {
        // During a search only the quick search pop-up's channel plays.
        const QuickSearchPopup* popup = QuickSearchPopup::Instance();
        const int channel = popup ? popup->GetChannel() : -1;
        if (m_search.quickMode.load() == 0 || channel < 0 || channel >= n) {
            qCDebug(lcSession) << "Playback control: no search pop-up holds the search channel";
            return;
        }
        playing.mask = 1u << channel;
        playing.count = 1;
        playing.single = channel;
    }
    for (int ch = 0; ch < n && !m_search.AnyOn(); ++ch) {
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
    m_playback.mode = mode;
    ResetChannelRequests(mode);
    const int tag = m_media.NextPlaybackTag(m_playback.seq.load());
    m_playback.seq.store(tag);
    ClampToRecordedRange(m_playback.recordedRange, date, time);
    // A control pressed before the first picture of this request arrives goes on from here, not
    // from where an earlier playback or a search had been; played pictures move it on.
    if (date > 0 && time >= 0 && time <= 235959) {
        m_playback.playDate = date;
        m_playback.playTime = time;
    }

    // The recorder whose playback is controlled is the one heard, and it streams at full rate
    // again.
    if (SessionHub* hub = SessionHub::Instance())
        hub->SetAudioDeviceIndex(m_deviceIndex);
    m_media.rateState.store(kPlaybackRateRun);
    m_link.playbackNetwork->SendPlaybackRate(kPlaybackRateRun);

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
                       << m_link.playbackNetwork->IsConnected();

    // The one playing channel's sound is asked for when it is the playback audio channel.
    const int audio = m_playback.audioChannel;
    const quint8 audioByte = (playing.count == 1 && playing.single >= 0 && playing.single == audio)
                                 ? quint8(audio + 1)
                                 : quint8(0);
    m_link.playbackNetwork->SendPlaybackCtrlExt(2, quint8(tag), quint16(ModeCode(mode)), quint8(speedSent),
                                                audioByte, quint16(playing.mask), date, time, quint8(rate),
                                                m_buffers.PlaybackBuffer(), keyOnly);
}

void CModuleDevice::SendPlaybackCtrlStopSec()
{
    m_playback.mode = PlaybackMode::Stop;
    ResetChannelRequests(PlaybackMode::Stop);
    m_playback.seq.store(kStopTag);
    qCDebug(lcSession) << "Stop Playback";
    if (m_link.playbackNetwork)
        m_link.playbackNetwork->SendPlaybackCtrlExt(0, 0, quint16(ModeCode(PlaybackMode::Stop)), 0, 0, 0xFFFF, 0,
                                                    0, 0, m_buffers.PlaybackBuffer(), 1);
}

void CModuleDevice::SetPlaybackCtrl(PlaybackMode mode)
{
    if (mode == PlaybackMode::Stop) {
        SendPlaybackCtrlStopSec();
        if (m_pacing) {
            m_pacing->Batcher().Clear();
            m_pacing->Batcher().ResetInFlight();
        }
    } else if (IsFastPlayback(mode)) {
        int speed = mode == m_playback.mode ? m_playback.speed + 1 : kFirstFastSpeed;
        // The fast speeds run 2 to 8; a speed left at 0 (or below) by a plain play starts at 2.
        if (speed < kFirstFastSpeed || speed > kLastFastSpeed)
            speed = kFirstFastSpeed;
        m_playback.speed = speed;
        SendPlaybackCtrlExtSec(mode, speed, m_playback.playDate.load(), m_playback.playTime.load());
    } else {
        m_playback.speed = 0;
        SendPlaybackCtrlExtSec(mode, 0, m_playback.playDate.load(), m_playback.playTime.load());
    }
    const int grid = m_playbackGrid.load();
    if (SessionHub* hub = SessionHub::Instance(); hub && grid >= 0)
        hub->RedrawCameo(grid);
}

void CModuleDevice::ResendPlaybackCtrl()
{
    if (m_playback.mode.load() == PlaybackMode::Stop)
        SendPlaybackCtrlStopSec();
    else
        SendPlaybackCtrlExtSec(m_playback.mode, m_playback.speed, m_playback.playDate.load(),
                               m_playback.playTime.load());
}

bool CModuleDevice::RequestPlayback(int time, int mode)
{
    const int date = m_playback.playDate.load();
    switch (time) {
    case -2: SetThumnailSearch(m_search.savedChannel, m_search.savedDate, m_search.savedTime); return true;
    case -3: SetMuseumSearch(m_search.savedChannel, m_search.savedDate, m_search.savedTime); return true;
    case -4: SetQuickSearch(m_search.savedChannel, m_search.savedDate, m_search.savedTime); return true;
    default: break;
    }
    // Anything else must be a time of the day: a pick that found nothing asks for nothing.
    if (time < 0 || time > 235959) {
        qCDebug(lcSession) << "RequestPlayback: no time" << time;
        return false;
    }
    if (m_search.thumbnailMode.load() != 0) {
        ThumbnailSearchPopup* popup = ThumbnailSearchPopup::Instance();
        CModulePlayback* p = m_search.Scheduler(SearchState::Popup::Thumbnail);
        if (p && popup && p->StartPlayback(date, time, SchedulerKind::Thumbnail, popup->GetPlayState()))
            return true;
        CModulePlayback* own = popup ? GetPlayback(popup->GetChannel()) : nullptr;
        return own && own->StartPlayback(date, time, SchedulerKind::Playback, -1);
    }
    if (m_search.museumMode.load() != 0) {
        MuseumSearchPopup* popup = MuseumSearchPopup::Instance();
        CModulePlayback* p = m_search.Scheduler(SearchState::Popup::Museum);
        if (!p || !popup)
            return false;
        // Without the day's index the scheduler knows no recorded minute; the request is kept
        // for the index's arrival instead of being refused now and overtaken by it then.
        if (m_search.museumIndexAwaited) {
            m_search.museumAwaitedTime = time;
            return true;
        }
        return p->StartPlayback(date, time, SchedulerKind::Museum, popup->GetPlayState());
    }
    if (mode != kTimeLineSeek) {
        SendPlaybackCtrlStopSec();
        m_playback.mode = PlaybackMode(mode);
        m_playback.speed = 0;
        SendPlaybackCtrlExtSec(PlaybackMode(mode), 0, date, time);
        return true;
    }
    if (m_search.quickMode.load() != 0) {
        SendPlaybackCtrlStopSec();
        CModulePlayback* p = m_search.Scheduler(SearchState::Popup::Quick);
        return p && p->StartPlayback(date, time, SchedulerKind::Thumbnail, ModeCode(m_playback.mode.load()));
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
    m_playback.audioChannel = channel;
    SendPlaybackCtrlExtSec(m_playback.mode, m_playback.speed, m_playback.playDate.load(),
                           m_playback.playTime.load());
    return true;
}

bool CModuleDevice::StopPlaybackAudio()
{
    if (!LiveReady() || m_playback.audioChannel == -1)
        return false;
    m_playback.audioChannel = -1;
    SendPlaybackCtrlExtSec(m_playback.mode, m_playback.speed, m_playback.playDate.load(),
                           m_playback.playTime.load());
    return true;
}

void CModuleDevice::SetPlaybackVisible(int channel, bool visible)
{
    if (CModulePlayback* p = GetPlayback(channel))
        p->SetContinuous(visible);
}

void CModuleDevice::SetPlaybackView(PlaybackView* view)
{
    m_playback.view = view;
}

bool CModuleDevice::HasRecordDay(int date) const
{
    const auto end = m_recordInfo.days.begin() + m_playback.recordDayCount;
    return date > 0 && std::find(m_recordInfo.days.begin(), end, date) != end;
}

// The play-request state becomes 2.
void CModuleDevice::ChoosePlayStart(int date, int time)
{
    m_playback.requestState = 2;
    m_playback.playDate = date;
    m_playback.timeListDate = date;
    m_playback.playTime = time;
}

void CModuleDevice::ClearPlayStart()
{
    m_playback.playDate = -1;
    m_playback.playTime = -1;
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
        if (RemoteConsole* console = m_link.ShowingConsole())
            console->startRemoteConsole();
    } else {
        if (hub) {
            hub->ShowMessageBox(QString(), QStringLiteral("Don't have permision."), QString());
            hub->ShowMessageBox(QString(), QString(), QStringLiteral("stop"));
        }
        m_link.RefuseRemoteConsole();
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
    m_recording->ToggleRecord(index);
}

// =============================================================================================
// Console and e-map forwarders

void CModuleDevice::SendConsoleMode(int value)
{
    if (m_link.ConsoleShowsThisRecorder() && m_link.liveNetwork)
        m_link.liveNetwork->SendConsoleMode(quint8(value));
}

void CModuleDevice::RequestConsoleData(int value)
{
    if (m_link.liveNetwork && m_buffers.Console())
        m_link.liveNetwork->SendConsoleDataRequest(value, m_buffers.Console());
}

void CModuleDevice::SendMousePos(int x, int y, int button, int flag)
{
    if (m_link.ConsoleShowsThisRecorder() && m_link.liveNetwork)
        m_link.liveNetwork->SendMousePos(x, y, button, flag);
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
        m_channels[size_t(camera)].ownX = kOwnDefaultX;
        m_channels[size_t(camera)].ownY = kOwnDefaultY;
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
    if (m_deviceIndex == -1 || !m_link.ConsoleShowsThisRecorder())
        return;
    if (SessionHub* hub = SessionHub::Instance())
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
    qCDebug(lcSession) << "console data" << layoutSize << word20 << word22 << word24 << word26 << word32 << word34;
    if (RemoteConsole* console = m_link.ShowingConsole())
        console->OnRecvGuiData(layoutSize, word20, word22, word24, word26, word32, word34);
}

void CModuleDevice::OnRecvAsyncEvent()
{
    if (m_deviceIndex == -1 || !m_link.ConsoleShowsThisRecorder())
        return;
    if (RemoteConsole* console = m_link.ShowingConsole())
        console->OnAsyncEvent();
}

void CModuleDevice::OnRecvConsoleLockCanceled()
{
    if (m_deviceIndex == -1 || !m_link.ConsoleShowsThisRecorder())
        return;
    if (RemoteConsole* console = m_link.ShowingConsole())
        console->OnConsoleLockCanceled();
}
