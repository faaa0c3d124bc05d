#include "playback/audioreader.h"
#include "playback/channelfileaudio.h"
#include "playback/frameblock.h"
#include "playback/indexlayout.h"
#include "playback/playbackaudiosink.h"
#include "playback/playbackclock.h"
#include "playback/playbacklog.h"
#include "playback/recordermedia.h"
#include "playback/tilestate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

QByteArray ReadAt(QFile& file, qint64 pos, qint64 size)
{
    if (pos < 0 || size <= 0 || pos > file.size() - size || !file.seek(pos))
        return {};
    QByteArray bytes = file.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}

bool IsClientFileKind(int kind)
{
    return kind == int(AudioKind::ClientA0) || kind == int(AudioKind::ClientA1) || kind == int(AudioKind::ClientA2)
           || kind == int(AudioKind::ClientA3);
}

} // namespace

AudioReader::AudioReader(TileState& tile, PlaybackAudioSink& sink, PlaybackClock& clock)
    : m_tile(tile)
    , m_sink(sink)
    , m_clock(clock)
    , m_fill(size_t(kFillCapacity))
{}

AudioReader::~AudioReader()
{
    Stop();
}

int AudioReader::BytesPerSecond(int kind)
{
    return kind == int(AudioKind::ClientA3) ? 2 * kSecondBytes : kSecondBytes;
}

int AudioReader::CodecOfKind(int kind)
{
    switch (AudioKind(kind)) {
    case AudioKind::ClientA0: return 6;
    case AudioKind::ClientA1: return 4;
    case AudioKind::ClientA2: return 9;
    case AudioKind::ClientA3: return 16;
    default: return 6;
    }
}

AudioBlockLayout AudioReader::BlockLayout(int blockLength)
{
    if (blockLength == 16416)
        return {4, 28, 1024, 1024};
    if (blockLength == 8212)
        return {6, 16, 512, 512};
    return {9, 4, 324, 320};
}

bool AudioReader::BlockSwapped(const QByteArray& block)
{
    if (block.size() < 4)
        return false;
    const auto* b = reinterpret_cast<const quint8*>(block.constData());
    return (b[0] == 0 && b[1] == 0 && b[2] == 1 && b[3] == 6)
           || (b[0] == 6 && b[1] == 1 && b[2] == 0 && b[3] == 0);
}

bool AudioReader::AppendChannel(const QByteArray& block, int channel, std::vector<quint8>& fill, int& fillCount)
{
    if (channel < 0 || channel > 15)
        return false;
    const AudioBlockLayout layout = BlockLayout(block.size());
    const qint64 at = layout.head + qint64(channel) * layout.stride;
    if (at + layout.taken > block.size() || fillCount < 0 || fillCount + layout.taken > int(fill.size()))
        return false;
    std::memcpy(fill.data() + fillCount, block.constData() + at, size_t(layout.taken));
    fillCount += layout.taken;
    return true;
}

void AudioReader::MakeSigned(quint8* data, int length)
{
    for (int i = 0; i < length; ++i)
        data[i] = quint8(data[i] - 128);
}

bool AudioReader::Playing() const
{
    return !m_stop.IsRaised() && m_tile.State() == PlayState::Forward && m_tile.audioOn.load() == 2;
}

void AudioReader::Hand(const quint8* data, int length, int codec)
{
    m_sink.PlayAudio(data, length, codec);
}

void AudioReader::JoinThread()
{
    if (m_thread.joinable())
        m_thread.join();
}

void AudioReader::Stop()
{
    std::lock_guard<std::mutex> lock(m_control);
    StopLocked();
}

void AudioReader::StopLocked()
{
    m_stop.Raise();
    JoinThread();
    m_tile.audioRunning = false;
}

void AudioReader::Flush()
{
    m_sink.Flush();
}

void AudioReader::ClearFill()
{
    m_fillCount = 0;
}

void AudioReader::WaitReady()
{
    if (m_tile.audioOn.load() == 0)
        return;
    m_tile.audioOn = 1;
    Stop();
}

bool AudioReader::StartAudio()
{
    if (m_tile.audioOn.load() == 0)
        return false;
    std::lock_guard<std::mutex> lock(m_control);
    StopLocked();
    m_stop.Clear();
    m_tile.audioOn = 2;
    ClearFill();
    const int kind = int(m_tile.audio.kind);
    int second = std::max(0, m_tile.currentSecond.load());
    if (IsClientFileKind(kind))
        second = std::max(0, second - m_tile.audio.startSecond);
    m_audioMs = qint64(second) * 1000;
    if (IsClientFileKind(kind) || kind == int(AudioKind::MediaStream)) {
        m_tile.audioRunning = true;
        m_thread = std::thread([this, second] { ReaderLoop(second); });
    }
    return true;
}

void AudioReader::ReaderLoop(int second)
{
    const bool flush = m_tile.audio.kind == AudioKind::MediaStream ? MediaSecondLoop(second)
                                                                   : ClientSecondLoop(second);
    if (flush) {
        m_sink.Flush();
        m_clock.Pause(10, m_stop);
    }
    m_tile.audioRunning = false;
}

bool AudioReader::ClientSecondLoop(int second)
{
    const int kind = int(m_tile.audio.kind);
    const int bytes = BytesPerSecond(kind);
    const int codec = CodecOfKind(kind);
    while (Playing()) {
        QFile file(m_tile.audio.path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray data = ReadAt(file, qint64(second) * bytes, bytes);
        file.close();
        if (data.isEmpty())
            return false; // the file ends here
        for (int half = 0; half < 2; ++half) {
            if (!Playing())
                return false;
            Hand(reinterpret_cast<const quint8*>(data.constData()) + half * bytes / 2, bytes / 2, codec);
        }
        ++second;
        m_audioMs = qint64(second) * 1000;
        while (m_sink.PendingBlocks() > 2) {
            if (!Playing())
                return true;
            m_clock.Pause(5, m_stop);
        }
    }
    return false;
}

bool AudioReader::ReadMediaSecond(int second, int& codec)
{
    QFile index(m_tile.audio.indexPath);
    if (!index.open(QIODevice::ReadOnly))
        return false;
    const qint64 pos = (qint64(second) + 32) * IndexLayout::kEntry512;
    // The last entry of the index has no second after it to end its audio.
    if (pos + 2 * IndexLayout::kEntry512 > index.size())
        return false;
    const IndexEntry entry = IndexLayout::ParseEntry16(ReadAt(index, pos, IndexLayout::kEntry512), false);
    index.close();
    if (!entry.hasData)
        return true; // a second without audio
    QFile stream(m_tile.audio.path);
    if (!stream.open(QIODevice::ReadOnly)) {
        const QString name = QFileInfo(m_tile.audio.path).fileName();
        if (!name.startsWith(QLatin1String("stream_"), Qt::CaseInsensitive) || entry.fileNumber < 0)
            return false;
        const QDir dir = QFileInfo(m_tile.audio.path).dir();
        stream.setFileName(dir.filePath(RecorderMedia::StreamName3(entry.fileNumber, name.right(4))));
        if (!stream.open(QIODevice::ReadOnly)) {
            stream.setFileName(dir.filePath(RecorderMedia::StreamName6(entry.fileNumber, name.right(4))));
            if (!stream.open(QIODevice::ReadOnly))
                return false;
        }
    }
    if (entry.offset >= stream.size())
        return true;
    const QByteArray headers = ReadAt(
        stream, entry.offset,
        std::min<qint64>(qint64(kHeadersPerSecond) * FrameBlock::kLongStride, stream.size() - entry.offset));
    int at = 0;
    int stride = FrameBlock::kShortStride;
    for (int i = 0; i < kHeadersPerSecond && at + FrameBlock::kShortStride <= headers.size(); ++i, at += stride) {
        const FrameHeader h = FrameBlock::ParseHeader(headers.constData() + at, false);
        if (h.flags & 0x1000000u)
            stride = FrameBlock::kLongStride;
        if (h.mark != FrameBlock::kOrdinary)
            continue;
        const int length = int(h.lengthWord >> 9);
        if (length <= 0 || length > kMaxBlockLength || h.dataOffset < 0 || h.dataOffset > stream.size() - length)
            break;
        const QByteArray block = ReadAt(stream, h.dataOffset, length);
        if (block.isEmpty())
            break;
        m_swap = BlockSwapped(block);
        codec = BlockLayout(length).codec;
        AppendChannel(block, m_tile.paths.channel, m_fill, m_fillCount);
    }
    return true;
}

bool AudioReader::MediaSecondLoop(int second)
{
    int codec = 9;
    while (Playing()) {
        if (!ReadMediaSecond(second, codec))
            return true;
        while (m_fillCount >= kSecondBytes && Playing()) {
            quint8* data = m_fill.data();
            if (codec == 6)
                MakeSigned(data, kSecondBytes);
            if (m_swap)
                SwapDwordBytes(data, kSecondBytes, kSecondBytes);
            Hand(data, kHalf, codec);
            Hand(data + kHalf, kHalf, codec);
            m_fillCount -= kSecondBytes;
            std::memmove(data, data + kSecondBytes, size_t(m_fillCount));
            m_audioMs = m_audioMs + 1000;
        }
        ++second;
        while (m_sink.PendingBlocks() > 2) {
            if (!Playing())
                return true;
            m_clock.Pause(5, m_stop);
        }
    }
    return true;
}

void AudioReader::PlayAudioSecond(const QString& timeText)
{
    if (m_tile.audioOn.load() == 0)
        return;
    const AudioKind kind = m_tile.audio.kind;
    if (kind != AudioKind::ClientAh && kind != AudioKind::ClientAh000 && kind != AudioKind::ChannelFiles)
        return;
    int second = IndexLayout::SecondOfText(timeText);
    if (second < 0)
        return;
    std::lock_guard<std::mutex> lock(m_control);
    if (kind == AudioKind::ChannelFiles) {
        StopLocked();
        m_stop.Clear();
        const qint64 start = ChannelFileAudio::MinuteStart(m_tile.paths.indexPath, m_tile.paths.dataPath, second);
        if (start < 0)
            return;
        m_tile.audioRunning = true;
        m_thread = std::thread([this, start, second] {
            StepChannelFiles(start, second);
            m_tile.audioRunning = false;
        });
        return;
    }
    second = std::max(0, second - m_tile.audio.startSecond);
    // The block facts are taken here, on the play thread that owns them.
    const bool stepped = m_tile.block.Stepped();
    const bool large = m_tile.index.LargeBlock();
    StopLocked();
    m_stop.Clear();
    m_tile.audioRunning = true;
    m_thread = std::thread([this, second, stepped, large] {
        StepSecond(second, stepped, large);
        m_tile.audioRunning = false;
    });
}

void AudioReader::StepSecond(int second, bool stepped, bool large)
{
    QFile file(m_tile.audio.path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const int channel = std::clamp(m_tile.paths.channel, 0, 15);
    std::vector<quint8> data;
    int codec = 6;
    if (m_tile.audio.kind == AudioKind::ClientAh) {
        if (stepped) {
            const QByteArray bytes = ReadAt(file, qint64(second) * 16000, 16000);
            if (bytes.isEmpty())
                return;
            const auto* p = reinterpret_cast<const quint8*>(bytes.constData());
            for (int quarter = 0; quarter < 4; ++quarter) {
                if (quarter == 2 && m_clock.Pause(450, m_stop))
                    return;
                Hand(p + quarter * kHalf, kHalf, 8);
            }
            return;
        }
        const QByteArray bytes = ReadAt(file, qint64(second) * kSecondBytes + kHalf, kSecondBytes);
        if (bytes.isEmpty())
            return;
        data.assign(bytes.begin(), bytes.end());
        MakeSigned(data.data(), kSecondBytes);
        SwapDwordBytes(data.data(), kSecondBytes, kSecondBytes);
    } else {
        const int blockSize = large ? 16384 : 8192;
        const int blocks = large ? 8 : 16;
        const int part = large ? 1024 : 512;
        const int at = large ? channel * 1024 : channel * 512 + 56;
        const qint64 first = qint64(second) * 1000 / (large ? 128 : 64);
        codec = large ? 4 : 6;
        for (int i = 0; i < blocks; ++i) {
            const QByteArray block = ReadAt(file, (first + i) * blockSize, blockSize);
            if (block.isEmpty() || at + part > block.size())
                break;
            data.insert(data.end(), block.begin() + at, block.begin() + at + part);
        }
        if (int(data.size()) < kSecondBytes)
            return;
        data.resize(kSecondBytes);
        if (!large) {
            MakeSigned(data.data(), kSecondBytes);
            SwapDwordBytes(data.data(), kSecondBytes, kSecondBytes);
        }
    }
    m_audioMs = qint64(second) * 1000;
    Hand(data.data(), kHalf, codec);
    if (m_clock.Pause(450, m_stop))
        return;
    Hand(data.data() + kHalf, kHalf, codec);
    m_audioMs = qint64(second + 1) * 1000;
}

bool AudioReader::VideoBehind() const
{
    const AudioKind kind = m_tile.audio.kind;
    if (kind != AudioKind::MediaStream && kind != AudioKind::ClientA0 && kind != AudioKind::ClientA1
        && kind != AudioKind::ClientA2)
        return false;
    const int count = std::max(1, m_tile.block.Count());
    int second = std::max(0, m_tile.currentSecond.load());
    if (kind != AudioKind::MediaStream)
        second = std::max(0, second - m_tile.audio.startSecond);
    const qint64 videoMs = qint64(std::max(0, m_tile.headerIndex)) * (1000 / count) + qint64(second) * 1000;
    return videoMs + 500 < m_audioMs.load();
}

void AudioReader::StepChannelFiles(qint64 start, int second)
{
    const int channel = std::clamp(m_tile.paths.channel, 0, 3);
    const QByteArray audio = ChannelFileAudio::CollectSecond(m_tile.paths.dataPath, start, second, channel);
    const auto* data = reinterpret_cast<const quint8*>(audio.constData());
    const int length = audio.size();
    if (length <= kHalf) {
        if (length > 0)
            Hand(data, length, 5);
        return;
    }
    Hand(data, kHalf, 5);
    if (m_clock.Pause(450, m_stop))
        return;
    const int middle = std::min(kHalf, length - kHalf);
    Hand(data + kHalf, middle, 5);
    if (length > 2 * kHalf) {
        if (m_clock.Pause(450, m_stop))
            return;
        Hand(data + 2 * kHalf, length - 2 * kHalf, 5);
    }
}
