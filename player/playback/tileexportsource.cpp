#include "playback/tileexportsource.h"

#include "engine/sizecode.h"
#include "playback/playbacklog.h"
#include "playback/secondblock.h"

#include "common/media/mulaw.h"

#include <QFile>

#include <algorithm>

namespace {

// A group spans a few seconds; recorders start a new one at least every few dozen.
constexpr int kSecondsBack = 120;

QString TwoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

TileExportSource::TileExportSource(const RecordingPaths& paths, const IndexInfo& index, Decoder decoder,
                                   const AudioSource& audio)
    : m_paths(paths)
    , m_index(index)
    , m_decoder(std::move(decoder))
    , m_audio(audio)
{}

bool TileExportSource::ExportsAudio(AudioKind kind)
{
    return kind == AudioKind::ClientA0 || kind == AudioKind::ClientA1 || kind == AudioKind::ClientA2
           || kind == AudioKind::ClientA3;
}

std::vector<TileExportSource::Frame> TileExportSource::ReadSecond(int second) const
{
    std::vector<Frame> frames;
    QFile index(m_paths.indexPath);
    if (second < 0 || !index.open(QIODevice::ReadOnly))
        return frames;
    const qint64 pos = (qint64(m_index.firstSecond) + second + 32) * IndexLayout::kEntry512;
    SecondBlock walk;
    QFile data;
    if (walk.Read(m_paths, index, pos, data) != SecondBlock::Outcome::Read)
        return frames;
    const FrameBlock& block = walk.Block();
    for (int i = 0; i < block.Count(); ++i) {
        const FrameHeader& h = block.Header(i);
        if (h.mark == FrameBlock::kOrdinary && h.dataLength > 0)
            frames.push_back({h, data.fileName()});
    }
    return frames;
}

bool TileExportSource::Decode(const Frame& frame, QImage* picture)
{
    QFile data(frame.path);
    if (!data.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = SecondBlock::ReadAt(data, frame.header.dataOffset, frame.header.dataLength);
    if (bytes.isEmpty())
        return false;
    m_buffer.assign(bytes.begin(), bytes.end());
    QImage decoded;
    const int result = m_decoder(m_buffer.data(), int(m_buffer.size()), !frame.header.key, decoded);
    if (!SizeCode::HasPicture(result) || decoded.isNull())
        return false;
    if (picture)
        *picture = decoded;
    return true;
}

void TileExportSource::PrimeGroup(qint64 keyOffset, int second)
{
    // The seconds back to the one holding the group's key frame, then its frames in order.
    std::vector<std::vector<Frame>> earlier;
    bool found = false;
    for (int s = second - 1; s >= 0 && s >= second - kSecondsBack && !found; --s) {
        std::vector<Frame> frames = ReadSecond(s);
        for (const Frame& f : frames)
            found = found || f.header.dataOffset == keyOffset;
        earlier.push_back(std::move(frames));
    }
    if (!found)
        return;
    for (auto it = earlier.rbegin(); it != earlier.rend(); ++it) {
        for (const Frame& f : *it) {
            if (f.header.dataOffset == keyOffset || f.header.keyOffset == keyOffset)
                Decode(f, nullptr);
        }
    }
}

bool TileExportSource::SeekSecond(int second)
{
    m_current = -1;
    m_frames.clear();
    m_next = 0;
    m_primed = false;
    return second >= 0 && second <= Length();
}

int TileExportSource::FramesInSecond(int second)
{
    if (second != m_current) {
        // Frames the export did not take are decoded all the same: later ones refer to them.
        for (; m_next < m_frames.size(); ++m_next)
            Decode(m_frames[m_next], nullptr);
        m_frames = ReadSecond(second);
        m_current = second;
        m_next = 0;
        if (!m_frames.empty())
            m_date = m_frames.front().header.date;
        if (!m_primed && !m_frames.empty()) {
            const FrameHeader& first = m_frames.front().header;
            if (!first.key && first.keyOffset >= 0)
                PrimeGroup(first.keyOffset, second);
            m_primed = true;
        }
    }
    return int(m_frames.size());
}

bool TileExportSource::DecodeNext(QImage& picture)
{
    if (m_next >= m_frames.size())
        return false;
    const Frame frame = m_frames[m_next++];
    QImage decoded;
    if (Decode(frame, &decoded))
        m_last = decoded;
    else
        qCDebug(lcPlayerPlayback) << "export: no picture from the frame at" << frame.header.dataOffset;
    // A frame that gives no picture repeats the last one; without any, the data is in error.
    if (m_last.isNull())
        return false;
    picture = m_last;
    return true;
}

QByteArray TileExportSource::AudioOfSecond(int second)
{
    // One second is 8,000 samples: 8,000 bytes in the 8-bit files, 16,000 in the "a3" file,
    // second s of the recording (counted from the start time in the name) at s times that.
    constexpr int kSamples = 8000;
    if (!ExportsAudio(m_audio.kind) || second < 0)
        return QByteArray();
    const qint64 s = qint64(m_index.firstSecond) + second - m_audio.startSecond;
    QFile file(m_audio.path);
    if (s < 0 || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    const bool wide = m_audio.kind == AudioKind::ClientA3;
    const int bytes = wide ? 2 * kSamples : kSamples;
    const QByteArray raw = SecondBlock::ReadAt(file, s * bytes, bytes);
    if (raw.isEmpty() || wide)
        return raw;
    QByteArray block(2 * kSamples, '\0');
    for (int i = 0; i < kSamples; ++i) {
        const quint8 code = quint8(raw[i]);
        const qint16 sample = m_audio.kind == AudioKind::ClientA0 ? qint16((int(code) - 128) * 256)
                                                                  : MuLawToLinear(code);
        block[2 * i] = char(sample & 0xFF);
        block[2 * i + 1] = char((sample >> 8) & 0xFF);
    }
    return block;
}

QString TileExportSource::DateText(int) const
{
    const int year = m_date / 10000;
    const int month = m_date / 100 % 100;
    const int day = m_date % 100;
    return QStringLiteral("%1/%2/%3").arg(TwoDigits(month), TwoDigits(day)).arg(year, 4, 10, QLatin1Char('0'));
}

QString TileExportSource::TimeText(int second) const
{
    const int s = std::clamp(m_index.firstSecond + second, 0, IndexLayout::kSecondsPerDay - 1);
    return QStringLiteral("%1:%2:%3").arg(TwoDigits(s / 3600), TwoDigits(s / 60 % 60), TwoDigits(s % 60));
}
