#include "playback/framelistaudio.h"
#include "playback/playbackaudiosink.h"
#include "playback/playbacklog.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace {

// Up to `size` bytes at `pos`, never past the file's end; empty when nothing lies there.
QByteArray ReadUpTo(QFile& file, qint64 pos, qint64 size)
{
    if (pos < 0 || size <= 0 || pos >= file.size() || !file.seek(pos))
        return {};
    return file.read(std::min(size, file.size() - pos));
}

// Exactly `size` bytes at `pos`, or nothing.
QByteArray ReadExactly(QFile& file, qint64 pos, qint64 size)
{
    const QByteArray bytes = ReadUpTo(file, pos, size);
    return bytes.size() == size ? bytes : QByteArray();
}

void Hand(PlaybackAudioSink& sink, const QByteArray& bytes, int codec)
{
    sink.PlayAudio(reinterpret_cast<const quint8*>(bytes.constData()), bytes.size(), codec);
}

int Bits(quint32 value)
{
    int n = 0;
    for (; value; value &= value - 1)
        ++n;
    return n;
}

} // namespace

QString FrameListAudio::Stem(const QString& dataName)
{
    // The writer names its data "<letter><hhmmss>.<channel>": the seven characters before the
    // extension name the recording.
    const int dot = dataName.lastIndexOf(QLatin1Char('.'));
    if (dot < 7)
        return {};
    return dataName.mid(dot - 7, 7);
}

ListAudioFormat FrameListAudio::ParseHead(const QByteArray& head, qint64 fileLength, int channel)
{
    ListAudioFormat format;
    const auto* b = reinterpret_cast<const uchar*>(head.constData());
    if (head.size() < 32 || qFromLittleEndian<quint32>(b + 4) != kMark) {
        // No mark: the whole file is raw audio.
        format.kind = ListAudioKind::Raw;
        format.playable = fileLength > 0;
        return format;
    }
    const quint32 kind = qFromLittleEndian<quint32>(b + 8);
    format.mask = qFromLittleEndian<quint16>(b + 18);
    format.dataStart = qint64(qFromLittleEndian<quint32>(b + 28)) + 48;
    if (format.dataStart > fileLength)
        return format;
    const bool inMask = channel >= 0 && channel < 16 && (format.mask & (1u << channel)) != 0;
    format.rank = inMask ? Bits(format.mask & ((1u << channel) - 1)) : 0;
    switch (kind) {
    case 1:
        format.kind = ListAudioKind::OneChannel;
        format.playable = true;
        break;
    case 2:
        if (format.mask <= 14) {
            format.kind = ListAudioKind::OneChannel;
            format.playable = true;
            break;
        }
        format.kind = ListAudioKind::FourChannels;
        format.channels = 4;
        format.playable = inMask && format.rank < 4;
        break;
    case 4:
        format.kind = ListAudioKind::Interleaved;
        format.channels = Bits(format.mask);
        format.playable = inMask;
        break;
    default: break; // a kind of no known layout plays nothing
    }
    return format;
}

bool FrameListAudio::Open(const QString& folder, const QString& dataName, int channel)
{
    Close();
    const QString stem = Stem(dataName);
    if (stem.isEmpty())
        return false;
    const QString base = folder + QLatin1Char('/') + QLatin1Char('a') + stem;
    QFile file(base + QStringLiteral(".a"));
    if (!file.open(QIODevice::ReadOnly)) {
        file.setFileName(base + QStringLiteral(".au"));
        if (!file.open(QIODevice::ReadOnly))
            return false;
    }
    const ListAudioFormat format = ParseHead(file.read(kHeadBytes), file.size(), channel);
    if (!format.playable) {
        qCDebug(lcPlayerPlayback) << "audio file" << file.fileName() << "holds no sound for channel" << channel;
        return false;
    }
    m_path = file.fileName();
    m_format = format;
    return true;
}

void FrameListAudio::Close()
{
    m_path.clear();
    m_format = ListAudioFormat();
}

void FrameListAudio::Sync(int s, PlaybackAudioSink& sink, const std::function<bool()>& sameSecond) const
{
    if (!IsOpen() || s < 0)
        return;
    switch (m_format.kind) {
    case ListAudioKind::Raw: SyncRaw(s, sink); break;
    case ListAudioKind::OneChannel: SyncOne(s, sink, sameSecond); break;
    case ListAudioKind::FourChannels: SyncFour(s, sink, sameSecond); break;
    case ListAudioKind::Interleaved: SyncInterleaved(s, sink); break;
    }
}

void FrameListAudio::SyncRaw(qint64 s, PlaybackAudioSink& sink) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = ReadUpTo(file, (s + 1) * 2000, 2000);
    file.close();
    for (int at = 0; at < bytes.size(); at += 1000)
        Hand(sink, bytes.mid(at, 1000), int(ListAudioKind::Raw));
}

void FrameListAudio::SyncOne(qint64 s, PlaybackAudioSink& sink, const std::function<bool()>& sameSecond) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const qint64 at = s * 4000 + m_format.dataStart;
    for (int piece = 0; piece < 2; ++piece) {
        if (piece == 1 && !sameSecond())
            return;
        const QByteArray bytes = ReadExactly(file, at + piece * 2000, 2000);
        if (bytes.isEmpty())
            return;
        Hand(sink, bytes, int(ListAudioKind::OneChannel));
    }
}

void FrameListAudio::SyncFour(qint64 s, PlaybackAudioSink& sink, const std::function<bool()>& sameSecond) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const qint64 at = s * 16000 + m_format.dataStart + m_format.rank;
    for (int piece = 0; piece < 2; ++piece) {
        if (piece == 1 && !sameSecond())
            return;
        const QByteArray bytes = ReadUpTo(file, at + piece * 8000, 8000);
        QByteArray kept;
        kept.reserve(2000);
        for (int i = 0; i < bytes.size(); i += 4)
            kept.append(bytes.at(i));
        if (kept.size() < 2000)
            return;
        Hand(sink, kept, int(ListAudioKind::FourChannels));
    }
}

void FrameListAudio::SyncInterleaved(qint64 s, PlaybackAudioSink& sink) const
{
    const int channels = m_format.channels;
    if (channels <= 0)
        return;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // One second is 8000 of the channel's bytes; each lies in its channel's block of a round of
    // `channels` blocks.
    const qint64 first = s * 8000;
    const qint64 last = first + 8000;
    const qint64 round = qint64(channels) * kBlockBytes;
    QByteArray collected;
    collected.reserve(8000);
    for (qint64 block = first / kBlockBytes; block * kBlockBytes < last; ++block) {
        const qint64 blockPos = m_format.dataStart + block * round + qint64(m_format.rank) * kBlockBytes;
        const qint64 from = std::max(first, block * kBlockBytes) - block * kBlockBytes;
        const qint64 to = std::min(last, (block + 1) * kBlockBytes) - block * kBlockBytes;
        const QByteArray part = ReadExactly(file, blockPos + from, to - from);
        if (part.isEmpty())
            break; // the file ends within this second
        collected += part;
    }
    file.close();
    for (int at = 0; at < collected.size(); at += kPiece)
        Hand(sink, collected.mid(at, kPiece), int(ListAudioKind::Interleaved));
}
