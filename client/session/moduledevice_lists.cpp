// The record list chain and the index scan that fill the 17 minute maps: the time, event and
// audio lists of the storage slots and the index of each channel.
#include "session/moduledevice.h"

#include <QDateTime>
#include <QDebug>
#include <QSettings>
#include <QTime>
#include <utility>

#include <algorithm>
#include <climits>
#include <cstring>

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
#include "session/sitebook.h"
#include "session/slotreceivebuffers.h"
#include "session/thumbnailsearchpopup.h"

namespace {

constexpr int kLastStorageSlot = 8;
constexpr int kAudioTable = 16;
constexpr int kNoMinute = 9999;
constexpr int kAllChannels = 255;
constexpr int kIndexScanKind = 6;
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

// =============================================================================================
// Index search start

void CModuleDevice::GetIntraIndex(int channel)
{
    qCDebug(lcSession) << "Start Search" << QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))
                       << m_search.museumMode.load() << m_search.thumbnailMode.load();
    m_indexChain.day = 0;
    StartIndexSearch(channel);
}

void CModuleDevice::StartIndexSearch(int channel)
{
    m_playback.audioChannel = -1;
    // The index chain starts: whatever box waits for playback ends with it or with the limit.
    m_recorderWait->Arm();
    CModulePlayback* p = nullptr;
    if (channel >= 0) {
        if (channel >= kSlots) {
            qCDebug(lcSession) << "index search: channel out of range" << channel;
            return;
        }
        m_indexChain.channel = channel;
        if (m_search.thumbnailMode.load() != 0) {
            p = m_search.Scheduler(SearchState::Popup::Thumbnail);
            if (p)
                p->Bind(m_deviceIndex, channel, SchedulerKind::Thumbnail);
        } else if (m_search.museumMode.load() != 0) {
            p = m_search.Scheduler(SearchState::Popup::Museum);
            if (p)
                p->Bind(m_deviceIndex, channel, SchedulerKind::Museum);
            m_search.museumIndexAwaited = p != nullptr;
            m_search.museumAwaitedTime = -1;
        } else if (m_search.quickMode.load() != 0) {
            p = m_search.Scheduler(SearchState::Popup::Quick);
            if (p)
                p->Bind(m_deviceIndex, channel, SchedulerKind::Thumbnail);
        } else {
            p = GetPlayback(channel);
        }
    } else {
        m_search.museumMode = 0;
        m_search.thumbnailMode = 0;
        m_indexChain.channel = kAllChannels;
        p = GetPlayback(0);
    }
    if (p)
        p->ResetIndex(m_indexChain.date);
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
    const quint32 allowed = m_masks.search.load();
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
        SendTimeRecList(m_indexChain.date, slot + 1);
    else
        SendEventRecList(m_indexChain.date, 0);
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
    const quint32 allowed = m_masks.search.load();
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
        SendEventRecList(m_indexChain.date, slot + 1);
    else if (m_liveNetwork && m_liveNetwork->IsConnected() && m_listBuffer) {
        m_recorderWait->Continue();
        m_liveNetwork->SendAudioRecList(m_indexChain.date, 0, m_listBuffer.get());
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
            m_liveNetwork->SendAudioRecList(m_indexChain.date, slot + 1, m_listBuffer.get());
        }
        return;
    }
    for (ChannelState& channel : m_channels) {
        channel.firstMinuteScan = kNoMinute;
        channel.firstMinuteOwn = kNoMinute;
    }
    m_indexChain.startTogether = false;
    if (m_liveNetwork && m_slotBuffers->Index(0)) {
        AwaitIndex(0, kIndexScanKind);
        m_recorderWait->Continue();
        m_liveNetwork->SendIntraIndexRequest(m_indexChain.date, 0, 0, m_slotBuffers->Index(0), kIndexScanKind, 1);
    }
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
        m_liveNetwork->SendIntraIndexRequest(m_indexChain.date, channel, slot + 1, m_slotBuffers->Index(channel),
                                             kIndexScanKind, 1);
    } else if (channel < LiveChannelCount()) {
        if (char* next = m_slotBuffers->Index(channel + 1)) {
            AwaitIndex(channel + 1, kIndexScanKind);
            m_recorderWait->Continue();
            m_liveNetwork->SendIntraIndexRequest(m_indexChain.date, channel + 1, 0, next, kIndexScanKind, 1);
        } else
            qCDebug(lcSession) << "index scan stops: no index buffer for channel" << channel + 1;
    } else if (m_playback.view) {
        // The record calendar waits for the day's lists to draw them; otherwise playback starts
        // from the chosen time.
        if (m_playback.view->IsCalendarOpen()) {
            // The calendar draws the day's lists and closes the box itself.
            m_recorderWait->Settle();
            m_playback.view->NotifyTimeList();
        } else
            GetIntraIndex(-1);
    }
}

void CModuleDevice::AwaitIndex(int channel, int kind)
{
    m_indexChain.awaitedIndex.channel = channel;
    m_indexChain.awaitedIndex.kind = kind;
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
    if (m_indexChain.awaitedIndex.channel >= 0) {
        channel = m_indexChain.awaitedIndex.channel;
        kind = m_indexChain.awaitedIndex.kind;
        m_indexChain.awaitedIndex = {};
    }
    const int bytes = std::min(size, int(SlotReceiveBuffers::kIndexBufferSize));
    if (kind == kIndexScanKind) {
        ScanNextIndex(slot, channel, buffer, bytes);
        return;
    }

    const bool thumbnail = m_search.thumbnailMode.load() != 0;
    const bool museum = m_search.museumMode.load() != 0;
    const bool quick = m_search.quickMode.load() != 0;
    if (bytes > 0) {
        CModulePlayback* target = nullptr;
        if (thumbnail && kind == 1)
            target = m_search.Scheduler(SearchState::Popup::Thumbnail);
        else if (museum && kind == 2)
            target = m_search.Scheduler(SearchState::Popup::Museum);
        else if (quick && kind == 1)
            target = m_search.Scheduler(SearchState::Popup::Quick);
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
        SendIntraIndexRequest(m_indexChain.day, channel, slot + 1, kind, kind == 1 ? 1 : 0);
        return;
    }
    FinishIndexChain(channel, thumbnail, museum, quick, kind);
}

void CModuleDevice::FinishIndexChain(int channel, bool thumbnail, bool museum, bool quick, int kind)
{
    const int date = m_playback.playDate.load();
    // The index chain ends here except when the next channel's index follows; the first played
    // picture then ends the wait of the session's own playback.
    const bool nextChannel = kind == 0 && m_indexChain.channel == kAllChannels && channel < LiveChannelCount();
    if (!nextChannel && !(kind == 0 && m_indexChain.channel == kAllChannels))
        m_recorderWait->Settle();
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
    } else if (kind == 0 && m_indexChain.channel != kAllChannels) {
        qCDebug(lcSession) << "temp index recv finish";
    } else if (kind == 0) {
        if (channel < LiveChannelCount()) {
            if (CModulePlayback* next = GetPlayback(channel + 1))
                next->ResetIndex(m_indexChain.day);
            return;
        }
        // Every channel's index is in: the channels start together when their first recorded
        // minutes agree with the day's scan.
        bool together = true;
        for (int ch = 0; ch < kChannels; ++ch)
            together = together && m_channels[size_t(ch)].firstMinuteScan == m_channels[size_t(ch)].firstMinuteOwn;
        m_indexChain.startTogether = together;
        for (CModuleNetwork* network : {m_liveNetwork.get(), m_playbackNetwork.get()}) {
            if (network)
                network->SetSecondStream(together ? 1 : 0);
        }
        m_playback.speed = 0;
        SendPlaybackCtrlExtSec(PlaybackMode::Forward, 0, date, m_playback.playTime.load());
    }
}
