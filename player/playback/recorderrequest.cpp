#include "playback/recorderrequest.h"

#include <QtEndian>

namespace {

void PutLe32(QByteArray* frame, int at, quint32 value)
{
    qToLittleEndian<quint32>(value, reinterpret_cast<uchar*>(frame->data() + at));
}

} // namespace

QByteArray RecorderRequest::Bare(int command, int length, int byte8)
{
    QByteArray frame(length, '\0');
    frame[6] = char(command);
    frame[8] = char(byte8 & 0xFF);
    frame[9] = char(length & 0xFF);
    frame[10] = char((length >> 8) & 0xFF);
    frame[11] = char((length >> 16) & 0xFF);
    return frame;
}

QByteArray RecorderRequest::PlayAudioClip(int channel)
{
    QByteArray frame = Bare(48, 16);
    PutLe32(&frame, 12, quint32(channel));
    return frame;
}

QByteArray RecorderRequest::LiveAudioStop(int channel)
{
    QByteArray frame = Bare(62, 14);
    qToLittleEndian<quint16>(quint16(channel >= 0 && channel < 16 ? 1u << channel : 0u),
                             reinterpret_cast<uchar*>(frame.data() + 12));
    return frame;
}

std::optional<QByteArray> RecorderRequest::FileData(int channel, const QVector<FileDataEntry>& entries)
{
    if (channel < 0 || channel >= 16 || entries.size() > kMaxFileDataEntries) {
        return std::nullopt;
    }
    QByteArray frame = Bare(66, 12 + 16 * entries.size(), channel);
    int at = 12;
    for (const FileDataEntry& entry : entries) {
        PutLe32(&frame, at, entry.requestNumber);
        PutLe32(&frame, at + 4, entry.fileOffset);
        PutLe32(&frame, at + 8, entry.block);
        PutLe32(&frame, at + 12, entry.channel);
        at += 16;
    }
    return frame;
}

QByteArray RecorderRequest::Search(const SearchRequest& request)
{
    QByteArray frame = Bare(32, 36, request.kind);
    PutLe32(&frame, 12, request.requestId);
    frame[16] = char(request.part & 0xFF);
    frame[17] = char(request.tile & 0xFF);
    const bool noTime = request.time == QLatin1String("0") || request.time.startsWith(QLatin1Char('x'));
    frame[18] = char(noTime ? 1 : 0);
    frame[19] = char(request.channel & 0xFF);
    bool ok = false;
    const quint32 date = request.date.toUInt(&ok);
    PutLe32(&frame, 20, ok ? date : 0);
    const quint32 time = noTime ? 0 : request.time.mid(1, 6).toUInt(&ok);
    PutLe32(&frame, 24, ok ? time : 0);
    PutLe32(&frame, 28, request.position);
    PutLe32(&frame, 32, quint32(request.entrySize));
    return frame;
}

std::optional<QByteArray> RecorderRequest::Framed(QByteArray frame)
{
    if (frame.size() < 12 || frame.size() > kMaxFrame) {
        return std::nullopt;
    }
    bool bare = true;
    for (int i = 0; i < 6; ++i) {
        bare = bare && frame[i] == '\0';
    }
    if (bare) {
        qToBigEndian<quint32>(quint32(frame.size() - 4), reinterpret_cast<uchar*>(frame.data()));
        frame[4] = '\0';
        frame[5] = char(0xA1);
    }
    return frame;
}

QByteArray RecorderRequest::ControlPacket(int command, int peer)
{
    QByteArray packet(8, '\0');
    packet[0] = char(0x55);
    packet[1] = char(command);
    packet[2] = char((peer >> 8) & 0xFF);
    packet[3] = char(peer & 0xFF);
    char check = 0;
    for (int i = 1; i <= 6; ++i) {
        check = char(check ^ packet[i]);
    }
    packet[7] = check;
    return packet;
}
