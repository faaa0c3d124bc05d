#include "session/recordlistintake.h"

#include <QDebug>

#include <algorithm>
#include <cstring>
#include <utility>

#include "net/modulenetwork.h"
#include "session/moduleplayback.h"
#include "session/museumsearchpopup.h"
#include "session/playbackstate.h"
#include "session/playbackview.h"
#include "session/quicksearchpopup.h"
#include "session/recorderwait.h"
#include "session/searchstate.h"
#include "session/sessionbuffers.h"
#include "session/sessionhub.h"
#include "session/sessionlink.h"
#include "session/sessionlog.h"

namespace {

constexpr int kAudioTable = 16;
constexpr int kMinutesPerDay = 1440;
constexpr int kNoMinute = 9999;
constexpr int kAllChannels = 255;
constexpr int kHourMasksAt = 24;

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

// The first recorded minute (HHMM) of an index's hour masks; kNoMinute without one.
int FirstRecordedMinute(const char* index, int size)
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

} // namespace

quint8* RecordListIntake::WritableMinuteTable(int slot)
{
    auto& table = m_slots[size_t(slot)].minuteTable;
    if (!table)
        table.reset(new quint8[kMinutesPerDay]());
    return table.get();
}

CModulePlayback* RecordListIntake::GetPlayback(int slot) const
{
    return slot >= 0 && slot < kSessionSlots ? m_slots[size_t(slot)].scheduler.get() : nullptr;
}

void RecordListIntake::FeedIndex(int channel, int kind, const char* buffer, int bytes, int slot, bool thumbnail,
                                 bool museum, bool quick)
{
    CModulePlayback* target = nullptr;
    if (thumbnail && kind == 1)
        target = m_search.Scheduler(SearchState::Popup::Thumbnail);
    else if (museum && kind == 2)
        target = m_search.Scheduler(SearchState::Popup::Museum);
    else if (quick && kind == 1)
        target = m_search.Scheduler(SearchState::Popup::Quick);
    else if (kind == 0 && GetPlayback(channel)) {
        if (channel < kSessionChannels) {
            const int first = FirstRecordedMinute(buffer, bytes);
            if (first < m_channels[size_t(channel)].firstMinuteOwn)
                m_channels[size_t(channel)].firstMinuteOwn = first;
        }
        target = GetPlayback(channel);
    }
    if (target)
        target->OnSetIntraIndex(slot, buffer, bytes);
}

bool RecordListIntake::ListSlotValid(int slot, const char* what) const
{
    if (slot < 0 || slot > kLastStorageSlot) {
        qCDebug(lcSession) << what << "for storage slot out of range dropped" << slot;
        return false;
    }
    return true;
}

void RecordListIntake::MarkMinuteMasks(const char* list, int size, bool audio)
{
    const int entries = std::min(size, int(SessionBuffers::kListBufferSize)) / 2;
    const quint32 allowed = m_link.masks.search.load();
    for (int i = 0; i < entries; ++i) {
        const int minute = i % kMinutesPerDay;
        const quint16 bits = Le16(list + 2 * i);
        if (audio) {
            if (bits != 0)
                WritableMinuteTable(kAudioTable)[minute] = 1;
            continue;
        }
        for (int ch = 0; ch < kSessionChannels; ++ch) {
            if ((bits & (1u << ch)) && (allowed & (1u << ch)))
                WritableMinuteTable(ch)[minute] |= 1;
        }
    }
}

void RecordListIntake::MarkEventMinutes(const char* list, int size)
{
    // An hour table of 24 words, then event records of 10 bytes (or, after the long-form mark,
    // of 20 bytes with three masks): hour, minute and the channel masks of motion, sensor (and
    // video loss).
    const int bytes = std::min(size, int(SessionBuffers::kListBufferSize));
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
    const quint32 allowed = m_link.masks.search.load();
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
            for (int ch = 0; ch < kSessionChannels; ++ch) {
                if ((bits & (1u << ch)) && (allowed & (1u << ch)))
                    WritableMinuteTable(ch)[index] |= kFlags[k];
            }
        }
    }
}

void RecordListIntake::ScanNextIndex(int slot, int channel, const char* buffer, int bytes)
{
    // The day's index scan: the first recorded minute of every channel, storage slot after
    // storage slot and channel after channel.
    if (buffer && bytes > 0 && channel < kSessionChannels) {
        const int first = FirstRecordedMinute(buffer, bytes);
        if (first < m_channels[size_t(channel)].firstMinuteScan)
            m_channels[size_t(channel)].firstMinuteScan = first;
    }
    if (!m_link.liveNetwork)
        return;
    if (slot < kLastStorageSlot) {
        AwaitIndex(channel, kIndexScanKind);
        recorderWait->Continue();
        m_link.liveNetwork->SendIntraIndexRequest(m_chain.date, channel, slot + 1, m_buffers.Index(channel),
                                                  kIndexScanKind, 1);
    } else if (channel < m_host.LiveChannelCount()) {
        if (char* next = m_buffers.Index(channel + 1)) {
            AwaitIndex(channel + 1, kIndexScanKind);
            recorderWait->Continue();
            m_link.liveNetwork->SendIntraIndexRequest(m_chain.date, channel + 1, 0, next, kIndexScanKind, 1);
        } else
            qCDebug(lcSession) << "index scan stops: no index buffer for channel" << channel + 1;
    } else if (m_playback.view) {
        // The record calendar waits for the day's lists to draw them; otherwise playback starts
        // from the chosen time.
        if (m_playback.view->IsCalendarOpen()) {
            // The calendar draws the day's lists and closes the box itself.
            recorderWait->Settle();
            m_playback.view->NotifyTimeList();
        } else
            m_host.GetIntraIndex(-1);
    }
}

void RecordListIntake::AwaitIndex(int channel, int kind)
{
    m_chain.awaitedIndex.channel = channel;
    m_chain.awaitedIndex.kind = kind;
}

void RecordListIntake::FinishIndexChain(int channel, bool thumbnail, bool museum, bool quick, int kind)
{
    const int date = m_playback.playDate.load();
    // The index chain ends here except when the next channel's index follows; the first played
    // picture then ends the wait of the session's own playback.
    const bool nextChannel = kind == 0 && m_chain.channel == kAllChannels && channel < m_host.LiveChannelCount();
    if (!nextChannel && !(kind == 0 && m_chain.channel == kAllChannels))
        recorderWait->Settle();
    if (thumbnail && kind == 1) {
        qCDebug(lcSession) << "Thumbnail Index recv finish";
        CModulePlayback* p = m_search.Scheduler(SearchState::Popup::Thumbnail);
        if (!p || !p->StartPlayback(date, 0, SchedulerKind::Thumbnail, -1)) {
            if (CModulePlayback* own = GetPlayback(channel))
                own->StartPlayback(date, 0, SchedulerKind::Playback, -1);
        }
    } else if (museum && kind == 2) {
        MuseumSearchPopup* popup = MuseumSearchPopup::Instance();
        const int asked = std::exchange(m_search.museumAwaitedTime, -1);
        m_search.museumIndexAwaited = false;
        if (CModulePlayback* p = m_search.Scheduler(SearchState::Popup::Museum); p && popup)
            p->StartPlayback(date, asked >= 0 ? asked : m_playback.playTime.load(), SchedulerKind::Museum,
                             popup->GetPlayState());
    } else if (quick && kind == 1) {
        qCDebug(lcSession) << "//////////////////////// finish info";
        if (QuickSearchPopup* popup = QuickSearchPopup::Instance())
            popup->OnFinishInfo();
    } else if (kind == 0 && m_chain.channel != kAllChannels) {
        qCDebug(lcSession) << "temp index recv finish";
    } else if (kind == 0) {
        if (channel < m_host.LiveChannelCount()) {
            if (CModulePlayback* next = GetPlayback(channel + 1))
                next->ResetIndex(m_chain.day);
            return;
        }
        // Every channel's index is in: the channels start together when their first recorded
        // minutes agree with the day's scan.
        bool together = true;
        for (int ch = 0; ch < kSessionChannels; ++ch)
            together = together && m_channels[size_t(ch)].firstMinuteScan == m_channels[size_t(ch)].firstMinuteOwn;
        m_chain.startTogether = together;
        for (CModuleNetwork* network : {m_link.liveNetwork.get(), m_link.playbackNetwork.get()}) {
            if (network)
                network->SetSecondStream(together ? 1 : 0);
        }
        m_playback.speed = 0;
        m_host.SendPlaybackCtrlExtSec(PlaybackMode::Forward, 0, date, m_playback.playTime.load());
    }
}

void RecordListIntake::StartIndexSearch(int channel)
{
    m_playback.audioChannel = -1;
    // The index chain starts: whatever box waits for playback ends with it or with the limit.
    recorderWait->Arm();
    CModulePlayback* p = nullptr;
    if (channel >= 0) {
        if (channel >= kSessionSlots) {
            qCDebug(lcSession) << "index search: channel out of range" << channel;
            return;
        }
        m_chain.channel = channel;
        if (m_search.thumbnailMode.load() != 0) {
            p = m_search.Scheduler(SearchState::Popup::Thumbnail);
            if (p)
                p->Bind(m_host.GetDeviceIndex(), channel, SchedulerKind::Thumbnail);
        } else if (m_search.museumMode.load() != 0) {
            p = m_search.Scheduler(SearchState::Popup::Museum);
            if (p)
                p->Bind(m_host.GetDeviceIndex(), channel, SchedulerKind::Museum);
            m_search.museumIndexAwaited = p != nullptr;
            m_search.museumAwaitedTime = -1;
        } else if (m_search.quickMode.load() != 0) {
            p = m_search.Scheduler(SearchState::Popup::Quick);
            if (p)
                p->Bind(m_host.GetDeviceIndex(), channel, SchedulerKind::Thumbnail);
        } else {
            p = GetPlayback(channel);
        }
    } else {
        m_search.museumMode = 0;
        m_search.thumbnailMode = 0;
        m_chain.channel = kAllChannels;
        p = GetPlayback(0);
    }
    if (p)
        p->ResetIndex(m_chain.date);
}

void RecordListIntake::OnRecorderWaitEnded(int why)
{
    // The box that waited gets a message and its Close button; the window behind it is usable
    // again once it is closed.
    SessionHub* hub = SessionHub::Instance();
    if (!hub)
        return;
    const QString text =
        RecorderWait::End(why) == RecorderWait::End::Refused
            ? QStringLiteral("%1 sent a record list that cannot be read.").arg(m_host.GetDvrName())
            : QStringLiteral("%1 did not answer within %2 seconds.")
                  .arg(m_host.GetDvrName())
                  .arg(RecorderWait::kLimitMs / 1000);
    const QString title = hub->MessageTitle().isEmpty() ? QStringLiteral("Remote Playback") : hub->MessageTitle();
    qCDebug(lcSession) << text;
    hub->ShowMessageBox(title, text, QStringLiteral("stop"));
}

void RecordListIntake::SettleRecorderWait()
{
    if (!recorderWait->IsWaiting())
        return;
    recorderWait->Settle();
    SessionHub* hub = SessionHub::Instance();
    if (hub && hub->MessageTitle() == QLatin1String("Remote Playback"))
        hub->ShowMessageBox(QString(), QString(), QStringLiteral("exit"));
}
