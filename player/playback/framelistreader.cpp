#include "playback/framelistreader.h"
#include "playback/framehandoff.h"
#include "playback/playbackhost.h"
#include "playback/playbacklog.h"
#include "playback/stopsignal.h"
#include "playback/tilestate.h"

#include <QFile>

#include <algorithm>
#include <cmath>

FrameListReader::FrameListReader(TileState& tile, FrameHandOff& handOff, PlaybackHost& host, StopSignal& stop)
    : m_tile(tile)
    , m_handOff(handOff)
    , m_host(host)
    , m_stop(stop)
{}

void FrameListReader::Free()
{
    m_loaded = false;
    m_files.clear();
    m_header = VideoInfoHeader();
    m_file = 0;
    m_frame = 0;
    m_lastGroupFile = -1;
    m_lastGroup = -1;
}

bool FrameListReader::Load(const QString& indexPath, const QString& dataPath)
{
    Free();
    VideoInfoHeader header;
    QVector<VideoInfoFile> files;
    if (!VideoInfoIndex::Read(indexPath, header, files))
        return false;
    qint64 fieldOffset = 0;
    for (const VideoInfoFile& info : files) {
        File f;
        f.info = info;
        f.fieldOffset = fieldOffset;
        const int count = info.frames.size();
        f.group.assign(size_t(count), -1);
        f.fields.assign(size_t(count), 0);
        int group = -1;
        qint64 fields = 0;
        for (int i = 0; i < count; ++i) {
            if (info.frames[i].key)
                group = i;
            // A frame's code is the time since the frame before it (0 for a recording's first).
            fields += info.frames[i].code;
            f.group[size_t(i)] = group;
            f.fields[size_t(i)] = fields;
        }
        fieldOffset += fields;
        m_files.append(f);
    }
    m_header = header;
    m_dataPath = dataPath;
    if (TotalFrames() <= 0) {
        Free();
        return false;
    }
    m_loaded = true;
    return true;
}

int FrameListReader::FrameCount(int file) const
{
    return file >= 0 && file < m_files.size() ? m_files[file].info.frames.size() : 0;
}

int FrameListReader::TotalFrames() const
{
    int total = 0;
    for (const File& f : m_files)
        total += f.info.frames.size();
    return total;
}

int FrameListReader::Position() const
{
    if (!m_loaded)
        return -1;
    const int file = m_file.load();
    int position = 0;
    for (int i = 0; i < file && i < m_files.size(); ++i)
        position += m_files[i].info.frames.size();
    return position + m_frame.load();
}

int FrameListReader::Date() const
{
    return m_header.year * 10000 + m_header.month * 100 + m_header.day;
}

int FrameListReader::DurationSeconds() const
{
    qint64 fields = 0;
    if (!m_files.isEmpty()) {
        const File& last = m_files.last();
        fields = last.fieldOffset + (last.fields.empty() ? 0 : last.fields.back());
    }
    return int(std::ceil(double(fields) / FieldRate()));
}

bool FrameListReader::Valid(int file, int frame) const
{
    return file >= 0 && file < m_files.size() && frame >= 0 && frame < m_files[file].info.frames.size();
}

int FrameListReader::FrameSecond(int file, int frame) const
{
    const int seconds = SecondsFromStart(file, frame);
    return seconds < 0 ? -1 : StartSecond() + seconds;
}

int FrameListReader::SecondsFromStart(int file, int frame) const
{
    if (!Valid(file, frame))
        return -1;
    const File& f = m_files[file];
    const qint64 fields = f.fields[size_t(frame)] + f.fieldOffset;
    return int(double(fields) / FieldRate());
}

QString FrameListReader::FrameTimeString(int file, int frame) const
{
    const int second = FrameSecond(file, frame);
    if (second < 0)
        return QStringLiteral("000000");
    // A recording that runs past midnight keeps counting hours, as its frames' times do.
    return QStringLiteral("%1%2%3")
        .arg(second / 3600, 2, 10, QLatin1Char('0'))
        .arg(second / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(second % 60, 2, 10, QLatin1Char('0'));
}

bool FrameListReader::SeekToPosition(int position)
{
    if (!m_loaded || position < 0)
        return false;
    for (int file = 0; file < m_files.size(); ++file) {
        const int count = m_files[file].info.frames.size();
        if (position < count) {
            m_file = file;
            m_frame = position;
            return true;
        }
        position -= count;
    }
    return false;
}

bool FrameListReader::SeekToTime(const QString& timeText)
{
    QString digits = timeText;
    digits.remove(QLatin1Char(':'));
    bool ok = false;
    const int hhmmss = digits.toInt(&ok);
    if (!m_loaded || !ok || digits.size() != 6 || hhmmss < 0)
        return false;
    const int wanted = hhmmss / 10000 * 3600 + hhmmss / 100 % 100 * 60 + hhmmss % 100;
    int file = 0, frame = 0;
    for (int f = 0; f < m_files.size(); ++f) {
        for (int n = 0; n < m_files[f].info.frames.size(); ++n) {
            if (FrameSecond(f, n) > wanted) {
                m_file = file;
                m_frame = frame;
                return true;
            }
            file = f;
            frame = n;
        }
    }
    m_file = file;
    m_frame = frame;
    return true;
}

bool FrameListReader::SeekToLast()
{
    for (int file = m_files.size() - 1; file >= 0; --file) {
        if (FrameCount(file) > 0) {
            m_file = file;
            m_frame = FrameCount(file) - 1;
            return true;
        }
    }
    return false;
}

bool FrameListReader::Move(int& file, int& frame, int direction) const
{
    if (direction > 0) {
        if (frame + 1 < FrameCount(file)) {
            ++frame;
            return true;
        }
        for (int f = file + 1; f < m_files.size(); ++f) {
            if (FrameCount(f) > 0) {
                file = f;
                frame = 0;
                return true;
            }
        }
        return false;
    }
    if (frame > 0) {
        --frame;
        return true;
    }
    for (int f = file - 1; f >= 0; --f) {
        if (FrameCount(f) > 0) {
            file = f;
            frame = FrameCount(f) - 1;
            return true;
        }
    }
    return false;
}

bool FrameListReader::AtFirst() const
{
    int file = m_file, frame = m_frame;
    return !Move(file, frame, -1);
}

bool FrameListReader::AtLast() const
{
    int file = m_file, frame = m_frame;
    return !Move(file, frame, 1);
}

int FrameListReader::DelayTicks(int file, int frame) const
{
    return Valid(file, frame) ? m_files[file].info.frames[frame].code : 0;
}

double FrameListReader::TicksToMs(int ticks) const
{
    return ticks / FieldRate() * 1000.0;
}

int FrameListReader::FramePeriodMs() const
{
    const int rate = m_host.TileFrameRate(m_tile.tile);
    return rate > 0 ? 1000 / rate : 1000;
}

int FrameListReader::HandedDelay(int ticks) const
{
    const int period = FramePeriodMs();
    if (TicksToMs(ticks) >= period)
        return ticks;
    return int(period * FieldRate() * 0.001);
}

int FrameListReader::NextFrameIndex(int step)
{
    const int direction = step >= 1 ? 1 : -1;
    const bool visible = m_host.IsTileVisible(m_tile.tile);
    const int rate = m_host.TileFrameRate(m_tile.tile);
    const int period = visible && rate > 0 ? 1000 / rate : 1000;
    if (!visible)
        m_lastGroup = -1;
    int file = m_file, frame = m_frame;
    // Forward, the time to a frame is its own delay; backward, the delay of the frame left.
    auto delayOfMove = [&](int fromFile, int fromFrame, int toFile, int toFrame) {
        return direction > 0 ? TicksToMs(DelayTicks(toFile, toFrame)) : TicksToMs(DelayTicks(fromFile, fromFrame));
    };
    const int startFile = file, startFrame = frame;
    if (!Move(file, frame, direction))
        return -1;
    double last = delayOfMove(startFile, startFrame, file, frame);
    double accumulated = last;
    while (accumulated < period && !m_stop.IsRaised()) {
        // Skipping stops at the file's ends.
        const bool atEnd = direction > 0 ? frame + 1 >= FrameCount(file) : frame == 0;
        if (atEnd)
            break;
        const int fromFile = file, fromFrame = frame;
        Move(file, frame, direction);
        last = delayOfMove(fromFile, fromFrame, file, frame);
        accumulated += last;
    }
    if (file != startFile)
        m_lastGroup = -1;
    m_file = file;
    m_frame = frame;
    return std::max(int(last), period);
}

bool FrameListReader::StepOne(int step)
{
    int file = m_file, frame = m_frame;
    if (!Move(file, frame, step >= 1 ? 1 : -1))
        return false;
    if (file != m_file.load())
        m_lastGroup = -1;
    m_file = file;
    m_frame = frame;
    return true;
}

int FrameListReader::HandOn(int file, int frame, bool noDisplay)
{
    const VideoInfoFrame& entry = m_files[file].info.frames[frame];
    if (entry.length <= 0)
        return 1; // a frame without data: nothing to show
    if (entry.length > kMaxFrameBytes)
        return 2;
    QFile data(m_dataPath);
    if (!data.open(QIODevice::ReadOnly) || entry.offset + entry.length > data.size() || !data.seek(entry.offset))
        return 2;
    m_buffer.resize(size_t(entry.length));
    if (data.read(reinterpret_cast<char*>(m_buffer.data()), entry.length) != entry.length)
        return 2;
    data.close();
    m_tile.SetCurrent(Date(), FrameTimeString(file, frame).toInt());
    const int type = m_files[file].group[size_t(frame)] == frame ? 1 : 0;
    m_handOff.PutFrame(m_buffer.data(), entry.length, noDisplay, false, type, HandedDelay(entry.code));
    return 1;
}

int FrameListReader::ReadCurrent()
{
    const int file = m_file, frame = m_frame;
    if (!m_loaded || !Valid(file, frame))
        return 2;
    const int group = m_files[file].group[size_t(frame)];
    // A frame before its file's first key frame cannot be decoded: it is not handed on.
    if (group < 0)
        return 1;
    if ((group != m_lastGroup || file != m_lastGroupFile) && group != frame) {
        const int result = HandOn(file, group, false);
        if (result != 1)
            return result;
    }
    m_lastGroupFile = file;
    m_lastGroup = group;
    return HandOn(file, frame, false);
}
