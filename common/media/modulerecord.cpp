#include "common/media/modulerecord.h"
#include "common/commonlog.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

#include <cerrno>
#include <cstring>

namespace {

void PutU32(char* p, quint32 v)
{
    qToLittleEndian<quint32>(v, p);
}

void PutU64(char* p, quint64 v)
{
    qToLittleEndian<quint64>(v, p);
}

int SecondOfDay(int time)
{
    return (time / 10000) * 3600 + (time / 100 % 100) * 60 + time % 100;
}

// Index file position of the entry of second s.
qint64 EntryPos(int second)
{
    return qint64(second + 32) * ModuleRecord::kEntrySize;
}

// Format word of the index header, by the stream kind of the recording's first frame.
quint32 FormatWord(int streamKind)
{
    quint32 word = 0x3000003u;
    word += (streamKind == 1 || streamKind == 5) ? (4u << 28) : (2u << 28);
    if (streamKind == 2)
        word += 0x200u;
    else if (streamKind == 3 || streamKind == 4)
        word += 0x400u;
    return word;
}

// Sets the hour-mask bit and the minute-mask bit of the given second in a 512-byte header.
void MarkSecond(char* header, int second)
{
    const int hour = second / 3600;
    const int minute = second / 60 % 60;
    const quint32 hours = qFromLittleEndian<quint32>(header + 16) | (1u << hour);
    PutU32(header + 16, hours);
    char* minutes = header + 24 + hour * 8;
    PutU64(minutes, qFromLittleEndian<quint64>(minutes) | (quint64(1) << minute));
}

// A 16-byte index entry pointing at a frame-header block.
QByteArray Entry(qint64 offset)
{
    QByteArray e(ModuleRecord::kEntrySize, '\0');
    const quint64 o = quint64(offset);
    PutU64(e.data(), o);
    PutU32(e.data() + 8, quint32(o & 0xFFFFFFFFu));
    PutU32(e.data() + 12, quint32(o >> 32) | 0x80000000u);
    return e;
}

// Files are unbuffered and written until every byte landed: a disk that fills up takes part of
// a write, and only the next write names the reason (no space left).
bool WriteAll(QFile& f, const char* data, qint64 size)
{
    while (size > 0) {
        const qint64 written = f.write(data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool WriteAll(QFile& f, const QByteArray& bytes)
{
    return WriteAll(f, bytes.constData(), bytes.size());
}

} // namespace

// The frame-header buffers are made when a channel first records: a session owns three writers
// from the moment its recorder enters the site book, and most never record.
ModuleRecord::ModuleRecord() = default;

ModuleRecord::~ModuleRecord()
{
    for (int c = 0; c < kChannels; ++c)
        FlushChannel(c);
}

bool ModuleRecord::IsValidDate(int date)
{
    if (date <= 0)
        return false;
    const int year = date / 10000;
    return year >= 1 && year <= 9999 && QDate(year, date / 100 % 100, date % 100).isValid();
}

bool ModuleRecord::IsValidTime(int time)
{
    return time >= 0 && time / 10000 < 24 && time / 100 % 100 < 60 && time % 100 < 60;
}

quint64 ModuleRecord::PackTime(int date, int time)
{
    const quint64 year = quint64(date / 10000);
    const quint64 month = quint64(date / 100 % 100);
    const quint64 day = quint64(date % 100);
    return (year << 36) | ((month & 0xF) << 32) | ((day & 0x1F) << 27)
           | ((quint64(SecondOfDay(time)) & 0x1FFFF) << 10);
}

int ModuleRecord::State(int channel) const
{
    if (channel < 0 || channel >= kChannels)
        return -1;
    return m_channels[channel].state;
}

bool ModuleRecord::MakePath(const QString& path)
{
    if (path.isEmpty())
        return false;
    QDir().mkpath(path);
    return QFileInfo(path).isDir();
}

QString ModuleRecord::SafePathComponent(const QString& name, int maxBytes)
{
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        const bool bad = c.unicode() < 0x20 || c.unicode() == 0x7F || c == QLatin1Char('/')
                         || c == QLatin1Char('\\') || c == QLatin1Char(':') || c == QLatin1Char('*')
                         || c == QLatin1Char('?') || c == QLatin1Char('"') || c == QLatin1Char('<')
                         || c == QLatin1Char('>') || c == QLatin1Char('|');
        out.append(bad ? QLatin1Char('_') : c);
    }
    out = out.trimmed();
    if (out.isEmpty() || out == QLatin1String(".") || out == QLatin1String(".."))
        return QStringLiteral("_");
    const QByteArray whole = out.toUtf8();
    if (whole.size() <= maxBytes)
        return out;
    // Three CJK characters take nine bytes: a name of 200 characters may not fit in 255.
    const QString mark = QLatin1Char('~')
                         + QString::fromLatin1(
                             QCryptographicHash::hash(whole, QCryptographicHash::Sha1).toHex().left(8));
    const int budget = qMax(0, maxBytes - mark.size());
    int bytes = 0;
    int end = 0;
    while (end < out.size()) {
        // A surrogate pair is one character: it is kept or cut whole.
        const bool pair = out.at(end).isHighSurrogate() && end + 1 < out.size()
                          && out.at(end + 1).isLowSurrogate();
        const int size = pair ? 4 : out.mid(end, 1).toUtf8().size();
        if (bytes + size > budget)
            break;
        bytes += size;
        end += pair ? 2 : 1;
    }
    return out.left(end).trimmed() + mark;
}

bool ModuleRecord::StartRecord(int channel, int date, int startTime, const QString& folder, int recorderIndex,
                               int archiveKind)
{
    if (channel < 0 || channel >= kChannels) {
        qCDebug(lcMedia) << "ModuleRecord::StartRecord: channel out of range" << channel;
        return false;
    }
    if (!IsValidTime(startTime)) {
        qCDebug(lcMedia) << "ModuleRecord::StartRecord: invalid start time" << startTime << "channel" << channel;
        return false;
    }
    if (folder.isEmpty()
        || folder.split(QRegularExpression(QStringLiteral("[/\\\\]"))).contains(QStringLiteral(".."))) {
        qCDebug(lcMedia) << "ModuleRecord::StartRecord: refused folder" << folder;
        return false;
    }

    // A recording that was running ends here: its last second gets its entry.
    FlushChannel(channel);

    Channel& ch = m_channels[channel];
    if (ch.headers.empty())
        ch.headers.assign(size_t(kSlotsPerSecond) * kSlotSize, '\0');
    ch.date = date;
    ch.startTime = startTime;
    ch.folder = folder;
    ch.state = 1;
    ch.lastKeyOffset = -1;
    ch.lastKeySize = -1;
    ch.headerCount = 0;
    ch.dropLogged = false;
    ch.failure = WriteFailure();
    m_recorderIndex = recorderIndex;
    m_archiveKind = archiveKind;
    m_noRefresh = false;
    if (!MakePath(folder))
        qCDebug(lcMedia) << "ModuleRecord::StartRecord: cannot create" << folder;
    return true;
}

QString ModuleRecord::DayFolder(const Channel& ch) const
{
    return QDir::cleanPath(ch.folder) + QLatin1Char('/') + QString::asprintf("%08d", ch.date);
}

QString ModuleRecord::FileName(const char* prefix, const Channel& ch, int channel) const
{
    const int t = ch.startTime;
    return DayFolder(ch) + QLatin1Char('/')
           + QString::asprintf("%s%02d%02d%02d.%03d", prefix, t / 10000, t / 100 % 100, t % 100, channel + 1);
}

bool ModuleRecord::BeginFiles(int channel, int second, int streamKind)
{
    const Channel& ch = m_channels[channel];
    const char* const prefixes[] = {"ih", "h", "a0", "a3"};
    for (const char* p : prefixes)
        QFile::remove(FileName(p, ch, channel));

    QFile index(FileName("ih", ch, channel));
    if (!index.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        Fail(channel, index);
        return false;
    }
    // Header, then empty entries for the seconds of the day up to the one before the second
    // before the first recorded: that one gets the entry of the (empty) block at the video
    // file's start when the first frame is written, offset 0 with the top flag.
    const int leading = second > 0 ? second - 1 : 0;
    QByteArray head(kIndexHeaderSize + leading * kEntrySize, '\0');
    PutU32(head.data(), FormatWord(streamKind));
    PutU32(head.data() + 8, quint32(EntryPos(second)));
    MarkSecond(head.data(), second);
    if (second > 1)
        qCDebug(lcMedia) << "Backup start null" << leading;
    if (!WriteAll(index, head) || !index.flush()) {
        Fail(channel, index);
        return false;
    }

    QFile video(FileName("h", ch, channel));
    if (!video.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        Fail(channel, video);
        return false;
    }
    return true;
}

// Appends the buffered frame headers of the pending second (the one whose entry lies at the
// index file's end) to the video file and writes that second's entry.
bool ModuleRecord::WritePendingSecond(int channel, QFile& index, QFile& video, qint64 indexSize)
{
    Channel& ch = m_channels[channel];
    const qint64 blockStart = video.size();
    // The entry points at the block's start, also for the empty block before a recording's
    // first frame (offset 0 with the top flag).
    const QByteArray entry = Entry(blockStart);
    if (ch.headerCount > 0) {
        video.seek(blockStart);
        if (!WriteAll(video, ch.headers.data(), ch.headerCount * kSlotSize) || !video.flush()) {
            Fail(channel, video);
            video.resize(blockStart);
            return false;
        }
    }
    index.seek(indexSize);
    if (!WriteAll(index, entry) || !index.flush()) {
        Fail(channel, index);
        index.resize(indexSize);
        video.resize(blockStart);
        return false;
    }
    ch.headerCount = 0;
    return true;
}

bool ModuleRecord::StopRecord(int channel)
{
    if (channel < 0 || channel >= kChannels)
        return true;
    FlushChannel(channel);
    m_channels[size_t(channel)].state = 0;
    return !m_channels[size_t(channel)].failure.IsSet();
}

ModuleRecord::WriteFailure ModuleRecord::Failure(int channel) const
{
    if (channel < 0 || channel >= kChannels)
        return WriteFailure();
    return m_channels[size_t(channel)].failure;
}

bool ModuleRecord::IsDiskFull(const QFile& file)
{
    // Qt words these errors itself; the comparison is with its own wording.
    const QString reason = file.errorString();
    return reason == qt_error_string(ENOSPC) || reason == qt_error_string(EDQUOT);
}

QString ModuleRecord::FailureText(const QString& recorder, const WriteFailure& failure)
{
    if (failure.diskFull)
        return QStringLiteral("%1 stopped: the disk is full. %2 could not be written.")
            .arg(recorder, QDir::toNativeSeparators(failure.file));
    return QStringLiteral("%1 stopped: %2 could not be written (%3).")
        .arg(recorder, QDir::toNativeSeparators(failure.file), failure.reason);
}

void ModuleRecord::Fail(int channel, const QFile& file)
{
    Channel& ch = m_channels[size_t(channel)];
    if (ch.failure.IsSet())
        return;
    Fail(channel, file.fileName(), file.errorString());
    ch.failure.diskFull = IsDiskFull(file);
}

void ModuleRecord::Fail(int channel, const QString& path, const QString& reason)
{
    Channel& ch = m_channels[size_t(channel)];
    if (ch.failure.IsSet())
        return;
    qCDebug(lcMedia) << "ModuleRecord: cannot write" << path << reason << "- channel" << channel << "stops";
    ch.failure.file = path;
    ch.failure.reason = reason;
    ch.failure.diskFull = false;
}

void ModuleRecord::FlushChannel(int channel)
{
    Channel& ch = m_channels[channel];
    if (ch.state != 2 || ch.lastKeyOffset < 0 || ch.headerCount == 0 || ch.failure.IsSet())
        return;
    QFile index(FileName("ih", ch, channel));
    QFile video(FileName("h", ch, channel));
    if (!index.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        Fail(channel, index);
        ch.headerCount = 0;
        return;
    }
    if (!video.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        Fail(channel, video);
        ch.headerCount = 0;
        return;
    }
    const qint64 indexSize = index.size();
    if (indexSize < EntryPos(0) || indexSize % kEntrySize != 0 || indexSize >= EntryPos(kSecondsPerDay)) {
        Fail(channel, index.fileName(), QStringLiteral("the index file has an unexpected size"));
        ch.headerCount = 0;
        return;
    }
    WritePendingSecond(channel, index, video, indexSize);
    ch.headerCount = 0;
}

void ModuleRecord::FillSlot(Channel& ch, int channel, int date, int time, int frameType, int streamKind,
                            qint64 dataOffset, int size, quint8 marker)
{
    char* slot = ch.headers.data() + ch.headerCount * kSlotSize;
    std::memset(slot, 0, kSlotSize);
    PutU32(slot + 0, 511);
    PutU32(slot + 4, (quint32(size) << 9) | (quint32(channel) & 0x1F));
    PutU32(slot + 8, 0x01000000u | ((streamKind == 4 || streamKind == 5) ? 0x08000000u : 0u));
    PutU32(slot + 16, 0x50u | ((quint32(frameType) & 3u) << 1));
    PutU64(slot + 20, quint64(dataOffset));
    PutU64(slot + 28, quint64(ch.lastKeyOffset));
    PutU32(slot + 36, (quint32(ch.lastKeySize) & 0xFFFFFFu) | (marker == 0 ? 0x02000000u : 0u));
    PutU64(slot + 44, PackTime(date, time));
    ++ch.headerCount;
}

qint64 ModuleRecord::OnRecordData(int channel, int date, int time, int frameType, int streamKind, const void* data,
                                  int size, quint8 marker, int flag)
{
    Q_UNUSED(flag);
    if (channel < 0 || channel >= kChannels) {
        qCDebug(lcMedia) << "ModuleRecord::OnRecordData: channel out of range" << channel;
        return 0;
    }
    Channel& ch = m_channels[channel];
    if (ch.state == 0 || ch.failure.IsSet())
        return 0;
    if (!IsValidDate(date) || !IsValidTime(time)) {
        qCDebug(lcMedia) << "ModuleRecord::OnRecordData: invalid date or time" << date << time << "channel"
                         << channel;
        return 0;
    }
    if (!data || size <= 0 || size > kMaxFrameSize) {
        qCDebug(lcMedia) << "ModuleRecord::OnRecordData: no frame data or size out of range" << size << "channel"
                         << channel;
        return 0;
    }

    // A new day starts a new pair of files at the next key frame; the old day keeps its last
    // second.
    if (ch.state == 2 && date != ch.date) {
        FlushChannel(channel);
        ch.state = 1;
    }

    const int second = SecondOfDay(time);
    bool started = false;
    if (ch.state == 1) {
        if (frameType != 1)
            return 0;
        const int previousDate = ch.date;
        ch.date = date;
        ch.lastKeyOffset = -1;
        ch.lastKeySize = -1;
        ch.headerCount = 0;
        ch.dropLogged = false;
        if (!MakePath(DayFolder(ch)))
            Fail(channel, DayFolder(ch), QStringLiteral("the folder cannot be created"));
        if (ch.failure.IsSet() || !BeginFiles(channel, second, streamKind)) {
            qCDebug(lcMedia) << "ModuleRecord: recording of channel" << channel << "not started";
            ch.date = previousDate;
            return 0;
        }
        ch.state = 2;
        started = true;
    }

    const qint64 result = WriteFrame(channel, date, time, frameType, streamKind, static_cast<const char*>(data),
                                     size, marker);
    if (started && result == 0) {
        // The key frame that began the recording did not land: wait for the next one.
        ch.state = 1;
        return 0;
    }
    if (started && !m_noRefresh && m_refresh)
        m_refresh(m_recorderIndex, m_archiveKind);
    return result;
}

qint64 ModuleRecord::WriteFrame(int channel, int date, int time, int frameType, int streamKind, const char* data,
                                int size, quint8 marker)
{
    Channel& ch = m_channels[channel];
    const int second = SecondOfDay(time);
    QFile index(FileName("ih", ch, channel));
    QFile video(FileName("h", ch, channel));
    if (!index.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        Fail(channel, index);
        return 0;
    }
    if (!video.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
        Fail(channel, video);
        return 0;
    }

    const qint64 indexSize = index.size();
    if (indexSize < EntryPos(0) || indexSize % kEntrySize != 0 || indexSize > EntryPos(kSecondsPerDay)) {
        Fail(channel, index.fileName(), QStringLiteral("the index file has an unexpected size"));
        return 0;
    }

    if (indexSize < EntryPos(second)) {
        // First frame of a new second: mark it in the masks, write the previous second's block
        // and entry, and empty entries for the seconds without frames in between.
        char header[kIndexHeaderSize];
        index.seek(0);
        if (index.read(header, kIndexHeaderSize) != kIndexHeaderSize) {
            Fail(channel, index.fileName(), QStringLiteral("its header cannot be read"));
            return 0;
        }
        MarkSecond(header, second);
        index.seek(0);
        if (!WriteAll(index, header, kIndexHeaderSize)) {
            Fail(channel, index);
            return 0;
        }
        if (!WritePendingSecond(channel, index, video, indexSize))
            return 0;
        const qint64 gapStart = indexSize + kEntrySize;
        const qint64 gap = (EntryPos(second) - gapStart) / kEntrySize;
        if (gap > 0) {
            qCDebug(lcMedia) << "Backup Null" << gap;
            index.seek(gapStart);
            if (!WriteAll(index, QByteArray(int(gap * kEntrySize), '\0')) || !index.flush()) {
                Fail(channel, index);
                index.resize(gapStart);
                return 0;
            }
        }
        ch.dropLogged = false;
    }

    if (ch.headerCount >= kSlotsPerSecond) {
        if (!ch.dropLogged) {
            qCDebug(lcMedia) << "ModuleRecord: more than" << kSlotsPerSecond << "frames in second" << time
                             << "of channel" << channel << "- dropping the rest of it";
            ch.dropLogged = true;
        }
        return 0;
    }

    const qint64 offset = video.size();
    video.seek(offset);
    if (!WriteAll(video, data, size) || !video.flush()) {
        Fail(channel, video);
        video.resize(offset);
        return 0;
    }
    if (frameType == 1) {
        ch.lastKeyOffset = offset;
        ch.lastKeySize = size;
    }
    FillSlot(ch, channel, date, time, frameType, streamKind, offset, size, marker);
    return video.size();
}
