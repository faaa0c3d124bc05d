#include "session/moduleplayback.h"
#include "session/sessionlog.h"

#include <QDate>
#include <QDebug>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr qint64 kLastOffset = std::numeric_limits<qint64>::max();

quint32 Le32(const char* p)
{
    const auto* u = reinterpret_cast<const quint8*>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

quint64 Le64(const char* p)
{
    return quint64(Le32(p)) | quint64(Le32(p + 4)) << 32;
}

// HHMMSS with seconds 0 to 59, or 99 for "the end of the minute" where allowed.
bool ValidTime(int time, bool allowEnd)
{
    if (time < 0)
        return false;
    const int hh = time / 10000;
    const int mm = time / 100 % 100;
    const int ss = time % 100;
    return hh < 24 && mm < 60 && (ss < 60 || (allowEnd && ss == 99));
}

int SecondOfTime(int time)
{
    return time / 10000 * 3600 + time / 100 % 100 * 60 + std::min(time % 100, 59);
}

int TimeOfSecond(int second)
{
    return second / 3600 * 10000 + second / 60 % 60 * 100 + second % 60;
}

int MinuteOfTime(int time)
{
    return time / 10000 * 60 + time / 100 % 100;
}

int TimeOfMinute(int minute, int seconds)
{
    return minute / 60 * 10000 + minute % 60 * 100 + seconds;
}

bool ValidDate(int date)
{
    return date > 0 && QDate(date / 10000, date / 100 % 100, date % 100).isValid();
}

} // namespace

CModulePlayback::CModulePlayback(PlaybackHost* host, QObject* parent)
    : QObject(parent)
    , m_host(host)
    , m_dataBuffer(new char[kDataBufferSize])
    , m_headerBuffer(new char[kHeaderBufferSize])
    , m_secondOffset(kSecondsPerDay, -1)
    , m_secondFile(kSecondsPerDay, 255)
    , m_minutes(new MinuteSlot[kMinutesPerDay])
{
    ClearDay();
    connect(this, &CModulePlayback::SendIntraHeader, this, &CModulePlayback::OnSendIntraHeader,
            Qt::DirectConnection);
    connect(this, &CModulePlayback::SendFrameHeader, this, &CModulePlayback::OnSendFrameHeader,
            Qt::DirectConnection);
    connect(this, &CModulePlayback::SendFrameData, this, &CModulePlayback::OnSendFrameData, Qt::DirectConnection);
}

CModulePlayback::~CModulePlayback() = default;

void CModulePlayback::ClearDay()
{
    m_secondOffset.fill(-1);
    m_secondFile.fill(255);
    for (int i = 0; i < kMinutesPerDay; ++i) {
        MinuteSlot& slot = m_minutes[i];
        slot.hasData = slot.hasEvents = slot.loaded = 0;
        slot.block.fill(-1);
    }
    m_fileFirst.fill(-1);
    m_fileLast.fill(-1);
    m_fileReceived.fill(0);
    m_earliestTime = kNoTime;
    m_latestTime = 0;
    m_latestSecond = -1;
    m_eventIndex = false;
    m_areaSearch = false;
    m_eventFrames = false;
    m_keyPos = -1;
    m_pendingMinute = -1;
    m_ringCount = 0;
    m_ringPos = 0;
    m_currentFile = 0;
    m_dataBufferFilled = false;
    m_dataBufferOffset = -1;
    m_dataBufferSize = 0;
    m_dataPendingOffset = -1;
    m_dataPendingSize = 0;
    m_headerBufferBusy = false;
    m_headerBufferFilled = false;
    m_headerBufferOffset = -1;
    m_headerBufferSize = 0;
    m_skip = false;
    m_state = PlaybackMode::Idle;
}

bool CModulePlayback::Bound() const
{
    return m_host && m_recorder >= 0;
}

bool CModulePlayback::CanSendIndex() const
{
    return Bound() && m_host->IsRecorderRegistered(m_recorder);
}

bool CModulePlayback::CanSendFrames() const
{
    return CanSendIndex() && m_host->IsPlaybackEnabled();
}

bool CModulePlayback::IsBackward() const
{
    return IsBackwardPlayback(m_state.load());
}

bool CModulePlayback::IsFast() const
{
    return IsFastPlayback(m_state.load());
}

int CModulePlayback::SpeedCode() const
{
    return m_host ? m_host->GetSpeedCode(m_kind) : 0;
}

qint64 CModulePlayback::GetSecondOffset(int second) const
{
    return second >= 0 && second < kSecondsPerDay ? m_secondOffset[second] : -1;
}

int CModulePlayback::GetSecondFile(int second) const
{
    return second >= 0 && second < kSecondsPerDay ? m_secondFile[second] : 255;
}

bool CModulePlayback::HasMinuteData(int minute) const
{
    return minute >= 0 && minute < kMinutesPerDay && m_minutes[minute].hasData;
}

bool CModulePlayback::HasMinuteEvents(int minute) const
{
    return minute >= 0 && minute < kMinutesPerDay && m_minutes[minute].hasEvents;
}

bool CModulePlayback::IsMinuteLoaded(int minute) const
{
    return minute >= 0 && minute < kMinutesPerDay && m_minutes[minute].loaded;
}

qint64 CModulePlayback::GetMinuteBlock(int minute, int file) const
{
    if (minute < 0 || minute >= kMinutesPerDay || file < 0 || file >= kIndexFiles)
        return -1;
    return m_minutes[minute].block[size_t(file)];
}

bool CModulePlayback::Bind(int recorderIndex, int channel, SchedulerKind kind)
{
    if (!m_host || !m_host->IsRecorderRegistered(recorderIndex)) {
        qCDebug(lcSession) << "playback scheduler: no recorder" << recorderIndex << "to bind";
        return false;
    }
    if (channel < 0 || channel > kMaxSlot || kind < SchedulerKind::Playback || kind > SchedulerKind::Museum) {
        qCDebug(lcSession) << "playback scheduler: bad channel" << channel << "or kind" << int(kind);
        return false;
    }
    m_recorder = recorderIndex;
    m_channel = channel;
    m_kind = kind;
    m_state = PlaybackMode::Idle;
    return true;
}

bool CModulePlayback::ResetIndex(int date)
{
    ClearDay();
    if (!ValidDate(date)) {
        qCDebug(lcSession) << "playback scheduler: bad index date" << date;
        return false;
    }
    if (!CanSendIndex())
        return false;
    m_date = date;
    if (m_kind == SchedulerKind::Thumbnail)
        m_host->EnterThumbnailMode();
    m_host->SendIntraIndexRequest(date, m_channel, m_kind);
    return true;
}

void CModulePlayback::OnSetIntraIndex(int file, const char* header, int size)
{
    if (file < 0 || file >= kIndexFiles || !header || size < kIndexHeaderSize) {
        qCDebug(lcSession) << "playback scheduler: index header of file" << file << "with" << size
                           << "bytes dropped";
        return;
    }
    const quint32 format = Le32(header);
    m_eventIndex = (format & 0x400u) != 0;
    m_areaSearch = (format & (1u << 30)) != 0;

    for (int h = 0; h < 24; ++h) {
        const quint64 minutes = Le64(header + 24 + 8 * h);
        const quint64 events = Le64(header + 224 + 8 * h);
        for (int m = 0; m < 60; ++m) {
            if (!(minutes >> m & 1u))
                continue;
            const int minute = h * 60 + m;
            MinuteSlot& slot = m_minutes[minute];
            slot.hasData = 1;
            if (events >> m & 1u)
                slot.hasEvents = 1;
            const qint32 block = kIndexHeaderSize + minute * kMinuteBlockSize;
            slot.block[size_t(file)] = block;
            if (m_fileFirst[size_t(file)] < 0 || block < m_fileFirst[size_t(file)])
                m_fileFirst[size_t(file)] = block;
            if (block > m_fileLast[size_t(file)])
                m_fileLast[size_t(file)] = block;
            m_earliestTime = std::min(m_earliestTime, TimeOfMinute(minute, 0));
            // The last recorded minute is playable to its end.
            m_latestTime = std::max(m_latestTime, TimeOfMinute(minute, 59));
        }
    }
    m_latestSecond = m_latestTime > 0 ? SecondOfTime(m_latestTime) : -1;
    m_fileReceived[size_t(file)] = 1;
    qCDebug(lcSession) << "FirstTime" << m_earliestTime << "last" << m_latestTime << "channel" << m_channel
                       << "file" << file;
    m_state = PlaybackMode::Stop;
}

bool CModulePlayback::StartPlayback(int date, int time, SchedulerKind kind, int playState)
{
    Q_UNUSED(playState)
    if (!ValidTime(time, true) || kind < SchedulerKind::Playback || kind > SchedulerKind::Museum) {
        qCDebug(lcSession) << "playback scheduler: bad start" << date << time << "kind" << int(kind);
        return false;
    }
    m_date = date;
    m_time = time;
    m_kind = kind;
    m_jump = true;
    m_audio = m_host && m_channel == m_host->GetChannelCount();
    m_keyPos = -1;

    const int wanted = MinuteOfTime(time);
    int found = -1;
    for (int minute = 0; minute < kMinutesPerDay; ++minute) {
        if (m_minutes[minute].hasData && TimeOfMinute(minute, 0) <= m_latestTime)
            found = minute;
        if (minute >= wanted && found >= 0)
            break;
    }
    if (found < 0) {
        m_state = PlaybackMode::Idle;
        return false;
    }
    m_state = kind == SchedulerKind::Playback ? PlaybackMode::Forward : PlaybackMode::FastForward;
    if (found != wanted)
        m_time = TimeOfMinute(found, found < wanted ? 99 : 0);
    if (SecondOfTime(m_time) > m_latestSecond)
        m_time = m_latestTime;
    m_continuous = true;
    if (!RequestMinute(0))
        ContinueInMinute(MinuteOfTime(m_time));
    return true;
}

bool CModulePlayback::RequestMinute(int fromFile)
{
    return RequestMinuteAt(MinuteOfTime(m_time), fromFile);
}

bool CModulePlayback::RequestMinuteAt(int minute, int fromFile)
{
    if (minute < 0 || minute >= kMinutesPerDay || fromFile < 0)
        return false;
    const MinuteSlot& slot = m_minutes[minute];
    if (slot.loaded)
        return false;
    for (int file = fromFile; file < kIndexFiles; ++file) {
        const qint32 block = slot.block[size_t(file)];
        if (block < 0)
            continue;
        m_pendingMinute = minute;
        emit SendIntraHeader(file, block, block == m_fileLast[size_t(file)] ? -1 : kMinuteBlockSize);
        return true;
    }
    return false;
}

void CModulePlayback::OnSendIntraHeader(int file, int offset, int size)
{
    if (!CanSendIndex())
        return;
    if (m_kind == SchedulerKind::Thumbnail)
        m_host->EnterThumbnailMode();
    m_host->SendIntraHeaderRequest(m_channel, file, offset, size, int(m_kind));
}

void CModulePlayback::OnSetIntraHeader(int file, int size, const char* data)
{
    if (file < 0 || file >= kIndexFiles) {
        qCDebug(lcSession) << "playback scheduler: index block of file" << file << "dropped";
        return;
    }
    const int minute = m_pendingMinute >= 0 ? m_pendingMinute : MinuteOfTime(m_time);
    const int entries = data && size > 0 ? std::min(size, kMinuteBlockSize) / kSecondEntrySize : 0;
    for (int i = 0; i < entries; ++i) {
        const char* e = data + i * kSecondEntrySize;
        if (Le32(e) == 0 && Le32(e + 4) == 0)
            continue;
        const int second = minute * 60 + i;
        if (m_secondOffset[second] >= 0)
            continue;
        m_secondOffset[second] = qint64(quint64(Le32(e + 12) & 0x1FFFFFFFu) << 32 | Le32(e + 8));
        m_secondFile[second] = quint8(file);
    }
    // The same minute may also be in a later index file: take that block first.
    if (RequestMinuteAt(minute, file + 1))
        return;
    m_pendingMinute = -1;
    if (m_state.load() == PlaybackMode::Stop && m_kind == SchedulerKind::Playback)
        return;
    ContinueInMinute(minute);
}

void CModulePlayback::GoToNextMinute(int minute, bool backward)
{
    const int next = backward ? minute - 1 : minute + 1;
    if (next < 0 || next >= kMinutesPerDay) {
        m_state = PlaybackMode::Stop;
        return;
    }
    OnGetNextTime(next / 60, next % 60);
}

int CModulePlayback::FindSecond(int minute, int from, bool backward) const
{
    const int first = minute * 60;
    const int last = first + 59;
    if (backward) {
        for (int s = std::min(from, last); s >= first; --s)
            if (m_secondOffset[s] >= 0)
                return s;
    } else {
        for (int s = std::max(from, first); s <= last; ++s)
            if (m_secondOffset[s] >= 0)
                return s;
    }
    return -1;
}

void CModulePlayback::ContinueInMinute(int minute)
{
    const PlaybackMode state = m_state.load();
    if (state == PlaybackMode::Idle || minute < 0 || minute >= kMinutesPerDay)
        return;
    const bool toEnd = m_time % 100 == 99;
    const bool backward = IsBackward();
    int second;
    if (backward || toEnd) {
        second = FindSecond(minute, minute * 60 + 59, true);
        qCDebug(lcSession) << "time 4" << second;
    } else {
        const int from = MinuteOfTime(m_time) == minute ? SecondOfTime(m_time) : minute * 60;
        second = FindSecond(minute, from, false);
        qCDebug(lcSession) << "time 5" << second;
    }
    if (second >= 0) {
        m_minutes[minute].loaded = 1;
        OnGetFrameHeader(second, false);
        return;
    }
    m_minutes[minute].loaded = 0;
    qCDebug(lcSession) << "time 6" << minute;
    GoToNextMinute(minute, backward);
}

bool CModulePlayback::OnGetNextTime(int hour, int minute)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) {
        m_state = PlaybackMode::Stop;
        return false;
    }
    const bool backward = IsBackward();
    for (int m = hour * 60 + minute; m >= 0 && m < kMinutesPerDay; m += backward ? -1 : 1) {
        if (!m_minutes[m].hasData)
            continue;
        m_time = TimeOfMinute(m, 0);
        qCDebug(lcSession) << "time 1" << m_time;
        if (m_minutes[m].loaded) {
            const int second = FindSecond(m, backward ? m * 60 + 59 : m * 60, backward);
            if (second < 0)
                continue;
            qCDebug(lcSession) << (backward ? "time 2" : "time 3") << second;
            OnGetFrameHeader(second, false);
            return true;
        }
        if (RequestMinute(0))
            return true;
    }
    m_state = PlaybackMode::Stop;
    return false;
}

void CModulePlayback::OnGetFrameHeader(int second, bool prefetch)
{
    const PlaybackMode state = m_state.load();
    if (state == PlaybackMode::Idle || state == PlaybackMode::Stop)
        return;
    if (second < 0 || second >= kSecondsPerDay || second > m_latestSecond) {
        if (!prefetch)
            m_state = PlaybackMode::Stop;
        return;
    }
    const int minute = second / 60;
    const bool backward = IsBackward();

    if (prefetch) {
        if (m_kind != SchedulerKind::Playback || !m_continuous || !m_minutes[minute].loaded
            || m_secondOffset[second] < 0)
            return;
        // One block at a time: the reply carries no offset of its own.
        if (m_headerBufferBusy || (m_headerBufferFilled && m_headerBufferOffset == m_secondOffset[second]))
            return;
        if (!CanSendFrames())
            return;
        m_headerBufferBusy = true;
        m_headerBufferFilled = false;
        m_headerBufferOffset = m_secondOffset[second];
        qCDebug(lcSession) << "send FrameHeader buffer -----------------------" << m_channel;
        m_host->SendFrameListRequest(m_channel, m_secondFile[second], m_headerBufferOffset, kHeaderBlockSize,
                                     int(m_kind) + 6);
        return;
    }

    if (!m_minutes[minute].loaded) {
        m_time = TimeOfMinute(minute, 0);
        if (RequestMinute(0))
            return;
        GoToNextMinute(minute, backward);
        return;
    }
    // A second without frames: the next one in the play direction.
    int s = FindSecond(minute, second, backward);
    if (s < 0) {
        GoToNextMinute(minute, backward);
        return;
    }
    if (s > m_latestSecond) {
        m_state = PlaybackMode::Stop;
        return;
    }
    m_time = TimeOfSecond(s);
    for (RingEntry& e : m_ring)
        e.frameKind = 0;
    m_ringCount = 0;
    m_ringPos = 0;
    m_currentFile = m_secondFile[s];
    m_requestClock.start();
    m_lastRequestAt = 0;
    if (!m_continuous) {
        HandOn(nullptr, 0, m_streamKind);
        return;
    }
    emit SendFrameHeader(m_currentFile, m_secondOffset[s], kHeaderBlockSize);
}

void CModulePlayback::OnSendFrameHeader(int file, qlonglong offset, int size)
{
    if (!(m_headerBufferFilled && m_headerBufferOffset == offset)) {
        if (CanSendFrames())
            m_host->QueueFrameHeader(m_channel, file, offset, size, int(m_kind));
        return;
    }
    ParseHeaders(m_headerBuffer.get(), m_headerBufferSize, m_headerBufferStreamKind);
}

void CModulePlayback::OnSetFrameHeader(int size, int streamKind, const char* data, bool toBuffer)
{
    if (toBuffer) {
        m_headerBufferBusy = false;
        if (!data || size < 1 || size > kHeaderBufferSize) {
            m_headerBufferFilled = false;
            m_headerBufferSize = 0;
            return;
        }
        std::memcpy(m_headerBuffer.get(), data, size_t(size));
        m_headerBufferSize = size;
        m_headerBufferStreamKind = streamKind;
        m_headerBufferFilled = true;
        qCDebug(lcSession) << "recv FrameHeader" << m_channel << size;
        return;
    }
    ParseHeaders(data, data ? size : 0, streamKind);
}

void CModulePlayback::ParseHeaders(const char* data, int size, int streamKind)
{
    m_streamKind = streamKind;
    const bool museum = m_kind == SchedulerKind::Museum && m_museum.IsSet();
    bool matched = false;
    m_museumMatch = false;
    int count = 0;
    while (!matched && count < kRingSize && data && (count + 1) * kHeaderSlotSize <= size) {
        const char* p = data + count * kHeaderSlotSize;
        if (Le32(p) != quint32(kHeaderMarker))
            break;
        RingEntry e;
        e.frameKind = (quint8(p[16]) >> 1) & 3;
        e.posA = qint64(Le64(p + 28));
        e.sizeA = int(Le32(p + 36) & 0xFFFFFFu);
        e.offsetB = qint64(Le64(p + 20));
        e.sizeB = int(Le32(p + 4) >> 9);
        const quint32 flags = Le32(p + 8);
        e.length = int(flags & 0x7FFFFFu);
        e.stamp = Le64(p + 44);
        // Offsets are 64-bit positions in the recorder's files: a frame (or its key frame) that
        // would end beyond the largest one cannot be asked for.
        if (e.offsetB < 0 || e.sizeB < 1 || e.sizeB > kDataBufferSize || e.sizeA > kDataBufferSize
            || e.offsetB > kLastOffset - e.sizeB || e.posA > kLastOffset - e.sizeA) {
            qCDebug(lcSession) << "playback scheduler: frame header" << count << "with offset" << e.offsetB
                               << "size" << e.sizeB << "ends the block";
            break;
        }
        if (!(flags & (1u << 27))) {
            e.key = true;
            if (!m_eventIndex && m_streamKind == 3)
                m_streamKind = 1;
        } else if (m_eventIndex) {
            e.event = 1;
            m_eventFrames = true;
            e.key = e.frameKind != 0;
        } else {
            m_streamKind = 3;
        }
        m_ring[size_t(count)] = e;
        ++count;
        if (museum && HasMotionData(p))
            matched = MatchMuseumArea(p, e.frameKind) == MuseumMatch::Match;
    }
    m_ringCount = count;
    if (museum) {
        m_museumMatch = matched;
        if (!matched) {
            // No change inside the area in this second: the search moves on.
            m_ringPos = 0;
            EmitFrame(-1, 0, 0, false);
            return;
        }
    }
    m_ringPos = IsBackward() ? std::max(count - 1, 0) : 0;
    if (m_requestClock.isValid())
        m_lastRequestAt = m_requestClock.elapsed();
    if (count == 0) {
        // Nothing to show in this second: an empty frame lets the caller move on.
        HandOn(nullptr, 0, m_streamKind);
        return;
    }
    SendFrame(m_ringPos);
}

bool CModulePlayback::HasMotionData(const char* slot)
{
    const quint32 flags = Le32(slot + 8);
    const quint32 kinds = Le32(slot + 16);
    return (flags & (1u << 23)) && !(kinds & ((1u << 13) | (1u << 15)));
}

void CModulePlayback::SetMuseumSearch(int gridFamily, int x1, int y1, int x2, int y2)
{
    if (gridFamily == -1) {
        m_museum.Clear();
        m_museumMatch = false;
        return;
    }
    m_museum.SetArea(gridFamily, x1, y1, x2, y2);
}

MuseumMatch CModulePlayback::MatchMuseumArea(const char* slot, int frameKind)
{
    if (!slot)
        return MuseumMatch::NoMotionData;
    const MuseumMatch result = m_museum.TestFrame(slot + MuseumMatcher::kMotionOffset,
                                                  kHeaderSlotSize - MuseumMatcher::kMotionOffset, frameKind == 1,
                                                  m_areaSearch);
    qCDebug(lcSession) << "museum match" << int(result) << "frame counter" << m_museum.FrameCounter();
    return result;
}

void CModulePlayback::EmitFrame(int file, qint64 offset, int size, bool flag)
{
    m_lastKey = flag;
    emit SendFrameData(file, offset, size, flag);
}

void CModulePlayback::SendSound(const RingEntry& e)
{
    const int ch = m_host ? m_host->GetAudioChannel() : -1;
    if (ch < 0 || ch >= kMaxSlot) {
        EmitFrame(m_currentFile, e.offsetB, 1, false);
        return;
    }
    qint64 at;
    int size;
    if (e.sizeB == 16416) {
        at = qint64(ch) * 1024 + 28;
        size = 1024;
    } else if (e.sizeB == 8212) {
        at = qint64(ch) * 512 + 16;
        size = 512;
    } else {
        at = qint64(ch) * 324 + 4;
        size = 320;
    }
    if (at + size > e.sizeB) {
        qCDebug(lcSession) << "playback scheduler: sound block of" << e.sizeB << "bytes holds no channel" << ch;
        EmitFrame(m_currentFile, e.offsetB, 1, false);
        return;
    }
    EmitFrame(m_currentFile, e.offsetB + at, size, false);
}

void CModulePlayback::SendFrame(int position)
{
    if (!m_continuous) {
        HandOn(nullptr, 0, m_streamKind);
        return;
    }
    if (position < 0 || position >= m_ringCount) {
        qCDebug(lcSession) << "playback scheduler: no frame at ring position" << position;
        return;
    }
    m_ringPos = position;
    const RingEntry* e = &m_ring[size_t(position)];
    if (e->posA == e->offsetB)
        m_keyPos = e->posA;
    if (m_keyPos != e->posA && (e->posA < 0 || e->sizeA < 1)) {
        // A frame whose key frame is unknown cannot be decoded: nothing to show this time.
        qCDebug(lcSession) << "playback scheduler: frame at" << e->offsetB << "without a key frame";
        HandOn(nullptr, 0, m_streamKind);
        return;
    }
    if (m_keyPos != e->posA) {
        if (m_streamKind != 2 && m_streamKind != 3 && !m_eventFrames) {
            // The key frame the entry depends on comes first.
            m_keyPos = e->posA;
            EmitFrame(m_currentFile + kKeyFileOffset, e->posA, e->sizeA, true);
            return;
        }
        int keyAt = -1;
        for (int i = 0; i < m_ringCount; ++i) {
            if (m_ring[size_t(i)].frameKind == 1) {
                keyAt = i;
                break;
            }
        }
        if (keyAt < 0) {
            m_keyPos = -1;
            EmitFrame(m_currentFile + kKeyFileOffset, e->posA, e->sizeA, true);
            return;
        }
        m_ringPos = keyAt;
        e = &m_ring[size_t(keyAt)];
        if (e->posA == e->offsetB)
            m_keyPos = e->posA;
        if (m_keyPos != e->posA) {
            if (e->posA < 0 || e->sizeA < 1) {
                HandOn(nullptr, 0, m_streamKind);
                return;
            }
            m_keyPos = e->posA;
            EmitFrame(m_currentFile + kKeyFileOffset, e->posA, e->sizeA, true);
            return;
        }
    }
    if (m_eventFrames && e->frameKind == 0) {
        EmitFrame(-1, 0, 0, false); // end notice
        return;
    }
    if (m_audio) {
        SendSound(*e);
        return;
    }
    EmitFrame(m_currentFile, e->offsetB, e->sizeB, e->frameKind == 1);
}

void CModulePlayback::OnSendFrameData(int file, qlonglong offset, int size, bool flag)
{
    int requestKind = int(m_kind);
    int f = file;
    if (file >= kKeyFileOffset) {
        f = file - kKeyFileOffset;
        requestKind = int(m_kind) + 3;
    }
    const bool buffered = flag && m_dataBufferFilled && offset == m_dataBufferOffset && size == m_dataBufferSize;
    if (!buffered) {
        if (CanSendFrames()) {
            if (requestKind >= 3) {
                m_dataPendingOffset = offset;
                m_dataPendingSize = size;
            }
            m_host->QueueFrameData(m_channel, f, offset, size, requestKind);
        }
    }
    if (!flag)
        return;
    if (buffered) {
        qCDebug(lcSession) << "Buffering data process ------------------------------------";
        if (CanSendFrames())
            HandOn(m_dataBuffer.get(), m_dataBufferSize, m_dataBufferStreamKind);
    }
    // Fetch the following second's headers ahead.
    const int step = IsFast() && SpeedCode() >= 6 ? 2 : 1;
    const int here = SecondOfTime(m_time);
    const PlaybackMode state = m_state.load();
    if (state == PlaybackMode::Forward || state == PlaybackMode::FastForward)
        OnGetFrameHeader(here + step, true);
    else if (IsBackward())
        OnGetFrameHeader(here - step, true);
}

int CModulePlayback::OnSetFrameData(const char* data, int size, int streamKind, bool toBuffer)
{
    if (size > 0 && !data) {
        qCDebug(lcSession) << "playback scheduler: frame of" << size << "bytes without data";
        size = 0;
    }
    if (toBuffer) {
        if (size >= 1 && size <= kDataBufferSize && size == m_dataPendingSize) {
            std::memcpy(m_dataBuffer.get(), data, size_t(size));
            m_dataBufferFilled = true;
            m_dataBufferOffset = m_dataPendingOffset;
            m_dataBufferSize = size;
            m_dataBufferStreamKind = streamKind;
        } else {
            if (size >= 1)
                qCDebug(lcSession) << "playback scheduler: key frame of" << size << "bytes, asked for"
                                   << m_dataPendingSize;
            m_dataBufferFilled = false;
            m_dataBufferOffset = -1;
            m_dataBufferSize = 0;
            size = 0;
        }
        m_dataPendingOffset = -1;
        m_dataPendingSize = 0;
        // The key frame was asked for because the frame to show needs it: it is handed on at
        // once and stays buffered for the next frame that needs it.
    }
    return HandOn(data, size, streamKind);
}

int CModulePlayback::PacingRate(bool emptyFrame) const
{
    const int batch = m_ringCount;
    if (m_audio) {
        const bool sound = m_host && m_host->GetAudioChannel() >= 0 && m_state.load() == PlaybackMode::Forward;
        return sound ? batch : 1;
    }
    int r = m_host ? m_host->GetPlaybackFps(m_channel) : 1;
    const int split = m_host ? m_host->GetScrMode(m_channel) : 0;
    if (m_streamKind == 2 || m_streamKind == 3 || emptyFrame) {
        if (r > 1)
            r = batch;
        if (IsBackward())
            r = 1;
        if (m_kind == SchedulerKind::Playback && split >= 5)
            r = 1;
        if (m_kind == SchedulerKind::Playback && m_state.load() == PlaybackMode::FastForward)
            r = 1;
    } else if (m_kind == SchedulerKind::Playback && split >= 5) {
        r = 4;
    }
    return r;
}

int CModulePlayback::HandOn(const char* data, int size, int streamKind)
{
    int n = std::max(std::min(m_ringCount, PacingRate(size <= 0)), 1);
    if (!m_continuous)
        n = 1;
    int delay = 1000 / n;
    if (IsFast()) {
        switch (SpeedCode()) {
        case 2: delay = 500; break;
        case 3: delay = 333; break;
        case 4: delay = 250; break;
        case 5: delay = 200; break;
        case 6: delay = 333; break;
        case 7: delay = 285; break;
        case 8: delay = 250; break;
        default: delay = 10; break;
        }
    }
    if (m_jump) {
        if (m_kind == SchedulerKind::Playback)
            delay = kJumpDelay;
        m_jump = false;
    }
    if (m_audio)
        delay = 1;
    if (!m_continuous)
        delay = -1;

    if (!m_host)
        return delay;
    PlaybackFrame frame;
    frame.channel = m_channel;
    frame.data = size > 0 ? data : nullptr;
    frame.size = size;
    frame.streamKind = streamKind;
    frame.date = m_date;
    frame.time = m_time;
    frame.delay = delay;
    frame.skip = m_skip;
    frame.state = m_state.load();
    frame.kind = m_kind;
    frame.key = size > 0 && m_lastKey;
    m_host->OnSetFrameData(frame);
    return delay;
}

void CModulePlayback::NextFrame()
{
    const PlaybackMode state = m_state.load();
    if (!m_host || state == PlaybackMode::Idle)
        return;
    if (m_kind == SchedulerKind::Playback && (!m_host->IsPlaybackEnabled() || state == PlaybackMode::Stop))
        return;

    const int batch = std::max(m_ringCount, 1);
    int rate;
    if (IsFast())
        rate = 1; // the whole batch at once
    else if (m_audio)
        rate = m_host->GetAudioChannel() >= 0 && state == PlaybackMode::Forward ? 30 : 1;
    else
        rate = PacingRate(m_ringCount == 0);
    const int shown = std::max(std::min(rate, batch), 1);
    const int step = std::max(batch / shown, 1);
    const bool backward = IsBackward();

    const int pos = m_ringPos + (backward ? -step : step);
    if (pos >= 0 && pos < m_ringCount) {
        m_skip = !m_continuous;
        if ((m_streamKind == 2 || m_streamKind == 3) && shown < batch) {
            int keyIndex = 0;
            for (int i = 0; i < pos; ++i)
                if (m_ring[size_t(i)].key)
                    ++keyIndex;
            if (keyIndex % step != 0)
                m_skip = true;
        }
        SendFrame(pos);
        return;
    }
    m_skip = !m_continuous;
    const int jump = IsFast() && SpeedCode() >= 6 ? 2 : 1;
    const int next = SecondOfTime(m_time) + (backward ? -jump : jump);
    if (next < 0 || next >= kSecondsPerDay) {
        m_state = PlaybackMode::Stop;
        return;
    }
    OnGetFrameHeader(next, false);
}

void CModulePlayback::SetMode(PlaybackMode state)
{
    switch (state) {
    case PlaybackMode::Idle:
    case PlaybackMode::Stop:
    case PlaybackMode::Forward:
    case PlaybackMode::FastForward:
    case PlaybackMode::Backward:
    case PlaybackMode::FastBackward: break;
    default: qCDebug(lcSession) << "playback scheduler: unknown state" << int(state); return;
    }
    m_state = state;
    if (state == PlaybackMode::Stop)
        m_keyPos = -1;
}
