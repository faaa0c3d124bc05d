#include "net/nettypemirel.h"

#include "net/mirelfields.h"

#include "common/media/mulaw.h"
#include "net/commandcode.h"
#include "net/filetransfer.h"
#include "net/hubservices.h"
#include "net/listkind.h"
#include "net/netlog.h"
#include "net/netrecvthread.h"
#include "net/recordermessageheader.h"
#include "net/requestbuilder.h"

#include <QAbstractSocket>
#include <QDebug>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {

using H = RecorderMessageHeader;

constexpr quint32 kTagLpcm = 0x6C70636Du; // 'lpcm' as a four-character constant
constexpr quint32 kTagUlaw = 0x756C6177u; // 'ulaw'

} // namespace

using mirelfields::PieceFits;
using mirelfields::ValidChannel;

// ---------------------------------------------------------------------------------------------
// Media

qint64 CNetTypeMirel::OnFrame(char* message, int total)
{
    if (total < 40) {
        qCDebug(lcNet) << "CNetTypeMirel: frame message too short" << total;
        return 0;
    }
    switch (H::U8(message, 36)) {
    case 0:
        if ((H::U8(message, 12) & 0x50) == 0x50) {
            OnLiveAudio(message, total);
            return total;
        }
        return OnLiveVideo(message, total);
    case 1: OnPlaybackFrame(message, total); return total;
    default: return 0;
    }
}

void CNetTypeMirel::OnLiveAudio(const char* message, int total)
{
    const int channel = H::S8(message, 14);
    if (channel != m_audioChannel || !m_liveAudioBuffer)
        return;
    if (!ValidChannel(channel)) {
        qCDebug(lcNet) << "CNetTypeMirel: live audio channel out of range" << channel;
        return;
    }
    const qint64 frameSize = H::S32(message, 16);
    int from = 0;
    qint64 length = 0;
    int codec = 0;
    const bool tagged = total >= 48 && H::U32(message, 40) == 0x00A00100u && frameSize != 344;
    if (tagged) {
        const quint32 tag = H::U32(message, 44);
        if (tag == kTagLpcm)
            codec = 0;
        else if (tag == kTagUlaw)
            codec = 1;
        else {
            qCDebug(lcNet) << "CNetTypeMirel: live audio with unknown tag" << Qt::hex << tag;
            return;
        }
        from = 64;
        length = frameSize - 24;
    } else if (frameSize == 344) {
        from = 64;
        length = 320;
        codec = 2;
    } else if (frameSize > 1024) {
        from = 68;
        length = 1024;
        codec = m_extendedAudio ? 0 : 1;
    } else {
        from = 56;
        length = 512;
        codec = 0;
    }
    if (length < 0 || length > kLiveAudioBufferSize || from + length > total) {
        qCDebug(lcNet) << "CNetTypeMirel: live audio block of" << length << "bytes at" << from
                       << "does not fit the message of" << total << "or the audio buffer";
        return;
    }
    std::memcpy(m_liveAudioBuffer, message + from, size_t(length));
    if (codec != 2 && m_modelTypeIndex != 0 && m_modelTypeIndex != 2 && m_modelTypeIndex != 4)
        SwapWords(m_liveAudioBuffer, int(length)); // whole words stay inside the 2000 bytes
    emit OnNetLiveAudio(m_cameraMap[size_t(channel)], int(length), codec, H::S32(message, 28), H::S32(message, 24),
                        H::S32(message, 32));
}

int CNetTypeMirel::OnLiveVideo(const char* message, int total)
{
    const int channel = H::S8(message, 14);
    if (!ValidChannel(channel) || channel >= std::max(m_channelCount, 1)) {
        qCDebug(lcNet) << "CNetTypeMirel: live video channel out of range" << channel;
        return 0;
    }
    LiveChannel& live = m_live[size_t(channel)];
    if (!m_liveRequested[size_t(channel)]) {
        live.firstFrame = -1;
        return 0;
    }
    const qint64 size = H::S32(message, 16);
    const qint64 offset = H::S32(message, 20);
    const qint64 length = total - 40;
    if (offset != live.received || !PieceFits(offset, length, size)) {
        qCDebug(lcNet) << "CNetTypeMirel: live piece at" << offset << "of" << length << "bytes, frame" << size
                       << ", expected offset" << live.received << "- reassembly restarts";
        live.received = 0;
        return 0;
    }
    live.received = int(offset + length);
    if (size <= live.assembly.size())
        std::memcpy(live.assembly.data() + offset, message + 40, size_t(length));
    if (offset + length != size)
        return 0;
    live.received = 0;
    if (size > live.assembly.size() || !live.target) {
        qCDebug(lcNet) << "CNetTypeMirel: live frame of" << size << "bytes on channel" << channel
                       << "exceeds the frame buffer or has no buffer, dropped";
        return 0;
    }

    const int type = H::U8(message, 15) + ((H::U8(message, 39) & 0x10) ? 10 : 0);
    const bool decodeOnly = (H::U8(message, 39) & 0x01) != 0;
    const int frameId = H::U8(message, 13);
    const int sequence = H::S8(message, 38);
    if (type == 1) {
        live.frameId = frameId;
        live.sequence = sequence;
    } else if (type == 0) {
        if (frameId != live.frameId) {
            live.frameId = -1;
            return 0;
        }
        if (m_streamKind == 2 || m_streamKind == 3) {
            if (sequence == 0) {
                live.sequence = 0;
            } else if (sequence == live.sequence + 1) {
                live.sequence = sequence;
            } else {
                live.frameId = -1;
                return 0;
            }
        }
    } else {
        return 0;
    }

    if (live.firstFrame == 0 || decodeOnly)
        live.firstFrame = 1;
    else if (live.firstFrame != 1)
        return 0;
    std::memcpy(live.target, live.assembly.constData(), size_t(size));
    emit OnNetLiveVideo(channel, int(size), m_streamKind, H::S32(message, 28), H::S32(message, 24), type,
                        decodeOnly, H::S32(message, 32), sequence);
    return int(size);
}

void CNetTypeMirel::OnPlaybackFrame(const char* message, int total)
{
    const int channel = H::S8(message, 14);
    const qint64 size = H::S32(message, 16);
    const qint64 offset = H::S32(message, 20);
    const qint64 length = total - 40;
    const int valueA = H::S32(message, 28);
    const int valueB = H::S32(message, 24);
    const int playbackValue = H::S8(message, 37);
    if (size == 4) {
        emit OnNetPlaybackVideo(channel, 4, m_streamKind, valueA, valueB, playbackValue, false, 0, 0);
        return;
    }
    if (!m_playbackBuffer) {
        qCDebug(lcNet) << "CNetTypeMirel: playback frame without a playback buffer dropped";
        return;
    }
    if (offset != m_playbackReceived || !PieceFits(offset, length, size)) {
        qCDebug(lcNet) << "CNetTypeMirel: playback piece at" << offset << "of" << length << "bytes, frame" << size
                       << ", expected offset" << m_playbackReceived;
        m_playbackReceived = 0;
        return;
    }
    m_playbackReceived = int(offset + length);
    if (offset + length <= kPlaybackBufferSize)
        std::memcpy(m_playbackBuffer + offset, message + 40, size_t(length));
    if (offset + length != size)
        return;
    m_playbackReceived = 0;
    if (size > kPlaybackBufferSize) {
        qCDebug(lcNet) << "CNetTypeMirel: playback frame of" << size << "bytes exceeds the buffer";
        return;
    }
    if (channel < 0 || channel > m_channelCount || channel >= kSlots) {
        qCDebug(lcNet) << "CNetTypeMirel: playback channel out of range" << channel;
        return;
    }
    if (channel == m_channelCount) {
        emit OnNetPlaybackAudio(int(size), m_streamKind, valueA, valueB, playbackValue);
        return;
    }
    const int baseType = H::U8(message, 15);
    const int type = baseType + ((H::U8(message, 39) & 0x10) ? 10 : 0);
    const int frameId = H::U8(message, 13);
    if (baseType == 1) {
        m_playbackFrameId = frameId;
    } else if (baseType == 0 && frameId != m_playbackFrameId) {
        return;
    }
    emit OnNetPlaybackVideo(channel, int(size), m_streamKind, valueA, valueB, playbackValue,
                            (H::U8(message, 39) & 0x01) != 0, char(type), char(H::S8(message, 38)));
}

// ---------------------------------------------------------------------------------------------
// Lists and index

void CNetTypeMirel::OnList(const char* message, int total, bool withData)
{
    if (total < 28) {
        qCDebug(lcNet) << "CNetTypeMirel: list message too short" << total;
        return;
    }
    const int channel = H::S32(message, 12);
    const ListKind kind = static_cast<ListKind>(H::U8(message, 16));
    const bool failed = withData && H::ReadStatus(message) != 0;
    if (failed)
        qCDebug(lcNet) << "_SEND_INFO_FILE error" << H::ReadStatus(message) << H::ReadSubCode(message)
                       << H::U8(message, 17) << qint64(channel) - 10;
    if (kind == ListKind::IntraIndex) {
        OnIndexList(message, total, withData, failed);
        return;
    }
    void (CNetTypeMirel::*signal)(int, int) = nullptr;
    switch (kind) {
    case ListKind::TimeList: signal = &CNetTypeMirel::OnNetTimeRecList; break;
    case ListKind::EventList:
    case ListKind::ExtendedEventList: signal = &CNetTypeMirel::OnNetEventRecList; break;
    case ListKind::AudioList: signal = &CNetTypeMirel::OnNetAudioRecList; break;
    default: return;
    }
    if (!m_listBuffer) {
        qCDebug(lcNet) << "CNetTypeMirel: list piece without a list buffer dropped";
        return;
    }
    if (!withData || failed) {
        emit(this->*signal)(channel, 0);
        return;
    }
    const qint64 size = H::S32(message, 20);
    const qint64 offset = H::S32(message, 24);
    const qint64 length = total - 28;
    if (!PieceFits(offset, length, size)) {
        qCDebug(lcNet) << "CNetTypeMirel: list piece at" << offset << "of" << length << "bytes outside the list of"
                       << size << "dropped";
        emit OnNetListRefused(int(kind));
        return;
    }
    if (size <= kListBufferSize)
        std::memcpy(m_listBuffer + offset, message + 28, size_t(length));
    if (offset + length != size)
        return;
    if (size > kListBufferSize) {
        qCDebug(lcNet) << "CNetTypeMirel: list of" << size << "bytes exceeds the list buffer";
        emit OnNetListRefused(int(kind));
        emit(this->*signal)(channel, 0);
        return;
    }
    emit(this->*signal)(channel, int(size));
}

void CNetTypeMirel::OnIndexList(const char* message, int total, bool withData, bool failed)
{
    const int channel = H::S32(message, 12);
    const int sub = H::ReadSubCode(message);
    int stream = 0;
    int slot = sub;
    if (sub >= 220) {
        stream = 6;
        slot = sub - 220;
    } else if (sub >= 200) {
        stream = 2;
        slot = sub - 200;
    } else if (sub >= 100) {
        stream = 1;
        slot = sub - 100;
    }
    if (slot > m_channelCount)
        slot -= m_channelCount + 1;
    if (slot < 0 || slot >= kSlots || slot > m_channelCount) {
        qCDebug(lcNet) << "CNetTypeMirel: index reply for slot" << slot << "dropped";
        return;
    }
    FrameSlot& s = m_slots[size_t(slot)];
    if (!s.index) {
        qCDebug(lcNet) << "CNetTypeMirel: index reply without an index buffer dropped";
        return;
    }
    const bool header = channel >= 10;
    if (!withData || failed) {
        if (failed)
            qCDebug(lcNet) << (header ? "intra header error" : "intra index error");
        if (header)
            emit OnNetIntraHeader(channel - 10, slot, 0, 0, stream);
        else
            emit OnNetIntraIndex(channel, slot, 0, stream);
        return;
    }
    const qint64 size = H::S32(message, 20);
    const qint64 offset = H::S32(message, 24);
    const qint64 length = total - 28;
    if (!PieceFits(offset, length, size)) {
        qCDebug(lcNet) << "CNetTypeMirel: index piece at" << offset << "of" << length
                       << "bytes outside the index of" << size << "dropped";
        emit OnNetListRefused(int(ListKind::IntraIndex));
        return;
    }
    const int limit = header ? 960 : 512;
    const bool fits = offset + length <= limit;
    if (fits)
        std::memcpy(s.index + offset, message + 28, size_t(length));
    if (offset + length != size)
        return;
    if (header)
        emit OnNetIntraHeader(channel - 10, slot, 0, fits ? int(size) : 960, stream);
    else
        emit OnNetIntraIndex(channel, slot, int(std::min<qint64>(size, 512)), stream);
}

void CNetTypeMirel::OnFrameReply(const char* message, int total)
{
    if (total < 16) {
        qCDebug(lcNet) << "CNetTypeMirel: frame reply too short" << total;
        return;
    }
    int code = H::S32(message, 12);
    int kind = 0;
    if (code >= 8000) {
        kind = 7;
        code -= 8000;
    } else if (code >= 1000) {
        kind = code / 1000;
        code -= kind * 1000;
    }
    if (code < 0) {
        qCDebug(lcNet) << "CNetTypeMirel: frame reply with channel code" << code << "dropped";
        return;
    }
    const bool isData = code >= 100;
    const int slot = isData ? code - 100 : code;
    if (slot >= kSlots || slot > m_channelCount) {
        qCDebug(lcNet) << "CNetTypeMirel: frame reply for slot" << slot << "dropped";
        return;
    }
    FrameSlot& s = m_slots[size_t(slot)];
    const quint8 status = H::ReadStatus(message);
    const int sub = H::ReadSubCode(message);
    if (status != 0) {
        qCDebug(lcNet) << "error ------------ " << status;
        if (sub >= 200) {
            if (isData)
                emit OnNetFrameData(slot, 0, m_streamKind, kind);
            else
                emit OnNetFrameHeader(slot, 0, m_streamKind, kind);
        }
        return;
    }
    if (sub != 200)
        return;
    if (total < 36) {
        qCDebug(lcNet) << "CNetTypeMirel: frame piece too short" << total;
        return;
    }
    const qint64 offset = H::S32(message, 28);
    const qint64 size = H::S32(message, 32);
    const qint64 length = total - 36;
    const char* piece = message + 36;

    if (!isData) {
        if (kind >= 6) {
            if (!s.header2 || length > kFrameHeaderBufferSize) {
                qCDebug(lcNet) << "CNetTypeMirel: frame header piece of" << length << "bytes without room dropped";
                return;
            }
            std::memcpy(s.header2, piece, size_t(length));
            emit OnNetFrameHeader(slot, int(length), m_streamKind, kind);
            return;
        }
        if (size == 0) {
            emit OnNetFrameHeader(slot, 0, m_streamKind, kind);
            return;
        }
        if (!s.header || !PieceFits(offset, length, size)) {
            qCDebug(lcNet) << "CNetTypeMirel: frame header piece at" << offset << "of" << length << "bytes, header"
                           << size << "dropped";
            return;
        }
        if (offset == 0)
            s.headerReceived = 0;
        if (offset == s.headerReceived && offset + length < kFrameHeaderBufferSize) {
            std::memcpy(s.header + offset, piece, size_t(length));
            s.headerReceived += int(length);
        } else {
            // Only pieces that continue where the last one ended count: overlapping or repeated
            // pieces could otherwise add up to the size around a gap nobody wrote.
            s.headerReceived = -1;
        }
        if (offset + length != size)
            return;
        // An incomplete header is reported as such, never with its announced size.
        emit OnNetFrameHeader(slot, s.headerReceived == size ? int(size) : 0, m_streamKind, kind);
        return;
    }

    char* target = kind < 6 ? s.data : s.data2;
    if (!target || !PieceFits(offset, length, size)) {
        qCDebug(lcNet) << "CNetTypeMirel: frame data piece at" << offset << "of" << length << "bytes, frame"
                       << size << "dropped";
        return;
    }
    if (offset == 0)
        s.dataReceived = 0;
    if (offset == s.dataReceived && offset + length < kFrameDataBufferSize) {
        std::memcpy(target + offset, piece, size_t(length));
        s.dataReceived += int(length);
    } else {
        s.dataReceived = -1;  // as for the header: a gap or an overlap spoils the whole frame
    }
    if (offset + length != size)
        return;
    emit OnNetFrameData(slot, s.dataReceived == size ? int(size) : 0, m_streamKind, kind);
}

void CNetTypeMirel::OnPlaybackInfo(char* message, int total)
{
    if (total < 32) {
        qCDebug(lcNet) << "CNetTypeMirel: playback information too short" << total;
        return;
    }
    int count = std::min((total - 32) / 4, kPlaybackInfoMaxDays);
    // The day list is padded with -1 up to the largest count a recorder may report.
    for (int i = 0; i < kPlaybackInfoMaxDays; ++i)
        m_playbackDays[size_t(i)] = i < count ? H::S32(message, 32 + 4 * i) : -1;
    const int sub = H::ReadSubCode(message);
    if (sub == 1)
        count = -999;
    else if (sub == 2)
        count = -888;
    emit OnNetPlaybackDataInfo(H::S32(message, 12), H::S32(message, 16), H::S32(message, 20), H::S32(message, 24),
                               count, m_playbackDays.data());
}

void CNetTypeMirel::OnConsoleData(const char* message, int total)
{
    if (total < 40) {
        qCDebug(lcNet) << "CNetTypeMirel: console data too short" << total;
        return;
    }
    if (!m_consoleBuffer) {
        qCDebug(lcNet) << "CNetTypeMirel: console data without a console buffer dropped";
        return;
    }
    const qint64 whole = H::S32(message, 12);
    const qint64 offset = H::S32(message, 16);
    const qint64 length = total - 40;
    if (!PieceFits(offset, length, whole) || offset + length > kConsoleBufferSize) {
        qCDebug(lcNet) << "CNetTypeMirel: console piece at" << offset << "of" << length
                       << "bytes outside the data of" << whole << "dropped";
        return;
    }
    std::memcpy(m_consoleBuffer + offset, message + 40, size_t(length));
    if (offset + length != whole)
        return;
    emit OnNetGuiData(int(whole), H::U16(message, 20), H::U16(message, 22), H::U16(message, 24),
                      H::U16(message, 26), H::U16(message, 32), H::U16(message, 34));
}

void CNetTypeMirel::OnMediaState(const char* message, int total)
{
    if (total < 16) {
        qCDebug(lcNet) << "CNetTypeMirel: media state too short" << total;
        return;
    }
    short first = H::S16(message, 12);
    short second = H::S16(message, 14);
    if (total != 16) {
        second = 0;
        if (first == 0) {
            first = -1;
        } else if (first > 1) {
            second = first;
            first = 32;
        }
    }
    emit OnNetCDMedia(first, second);
}
