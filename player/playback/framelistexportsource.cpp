#include "playback/framelistexportsource.h"

#include "engine/sizecode.h"
#include "playback/aviexportrules.h"
#include "playback/playbacklog.h"

#include <QVector>

#include <algorithm>

namespace {

QString TwoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

FrameListExportSource::FrameListExportSource(Decoder decoder)
    : m_decoder(std::move(decoder))
{}

bool FrameListExportSource::Load(const QString& indexPath, const QString& dataPath)
{
    m_entries.clear();
    m_decoded = -1;
    m_data.close();
    VideoInfoHeader header;
    QVector<VideoInfoFile> files;
    if (!VideoInfoIndex::Read(indexPath, header, files))
        return false;
    qint64 fields = 0;
    for (int file = 0; file < files.size(); ++file) {
        const QVector<VideoInfoFrame>& frames = files[file].frames;
        int group = -1; // a group does not reach into the next file
        for (int frame = 0; frame < frames.size() && int(m_entries.size()) < kMaxEntries; ++frame) {
            Entry e;
            e.file = file;
            e.frame = frame;
            e.offset = frames[frame].offset;
            e.length = frames[frame].length;
            e.code = frames[frame].code;
            fields += e.code;
            e.fields = fields;
            if (frames[frame].key)
                group = int(m_entries.size());
            e.group = group;
            m_entries.push_back(e);
        }
    }
    if (m_entries.empty())
        return false;
    m_header = header;
    m_data.setFileName(dataPath);
    return true;
}

std::pair<int, int> FrameListExportSource::Pair(int entry) const
{
    if (entry < 0 || entry >= EntryCount())
        return {-1, -1};
    return {m_entries[size_t(entry)].file, m_entries[size_t(entry)].frame};
}

int FrameListExportSource::Find(int file, int frame) const
{
    const auto at = std::find_if(m_entries.begin(), m_entries.end(),
                                 [&](const Entry& e) { return e.file == file && e.frame == frame; });
    return at == m_entries.end() ? -1 : int(at - m_entries.begin());
}

int FrameListExportSource::FrameCode(int entry) const
{
    return entry >= 0 && entry < EntryCount() ? m_entries[size_t(entry)].code : 0;
}

int FrameListExportSource::Rate() const
{
    QVector<int> codes;
    codes.reserve(EntryCount());
    for (const Entry& e : m_entries)
        codes.append(e.code);
    return AviExportRules::EntryModeRate(codes, m_header.fiftyFields);
}

int FrameListExportSource::SecondOfDay(int entry) const
{
    if (entry < 0 || entry >= EntryCount())
        return -1;
    const double rate = m_header.fiftyFields ? 50.0 : 59.94;
    const int start = m_header.hour * 3600 + m_header.minute * 60 + m_header.second;
    return start + int(double(m_entries[size_t(entry)].fields) / rate);
}

QString FrameListExportSource::TimeDigits(int entry) const
{
    const int s = SecondOfDay(entry);
    if (s < 0)
        return QStringLiteral("000000");
    return TwoDigits(s / 3600) + TwoDigits(s / 60 % 60) + TwoDigits(s % 60);
}

QString FrameListExportSource::TimeText(int entry) const
{
    const QString digits = TimeDigits(entry);
    return digits.left(2) + QLatin1Char(':') + digits.mid(2, 2) + QLatin1Char(':') + digits.mid(4, 2);
}

QString FrameListExportSource::DateText(int) const
{
    return QStringLiteral("%1/%2/%3")
        .arg(TwoDigits(m_header.month), TwoDigits(m_header.day))
        .arg(m_header.year, 4, 10, QLatin1Char('0'));
}

FrameListExportSource::Read FrameListExportSource::Decode(int entry, QImage* picture)
{
    const Entry& e = m_entries[size_t(entry)];
    if (e.length <= 0)
        return Read::NoPicture;
    if (e.length > kMaxFrameBytes)
        return Read::DataError;
    if (!m_data.isOpen() && !m_data.open(QIODevice::ReadOnly))
        return Read::DataError;
    if (e.offset < 0 || e.offset + e.length > m_data.size() || !m_data.seek(e.offset))
        return Read::DataError;
    m_buffer.resize(size_t(e.length));
    if (m_data.read(reinterpret_cast<char*>(m_buffer.data()), e.length) != e.length)
        return Read::DataError;
    QImage decoded;
    const int result = m_decoder(m_buffer.data(), e.length, decoded);
    if (!SizeCode::HasPicture(result) || decoded.isNull()) {
        qCDebug(lcPlayerPlayback) << "export: no picture from entry" << entry << "result" << result;
        return Read::NoPicture;
    }
    if (picture)
        *picture = decoded;
    return Read::Picture;
}

FrameListExportSource::Read FrameListExportSource::DecodeEntry(int entry, QImage& picture)
{
    if (entry < 0 || entry >= EntryCount())
        return Read::DataError;
    const int group = m_entries[size_t(entry)].group;
    // A frame before its file's first key frame has nothing to be decoded against.
    if (group < 0)
        return Read::NoPicture;
    // Go on from the last decoded entry when it lies in the same group before this one;
    // otherwise start again at the group's key frame.
    int from = group;
    if (m_decoded >= group && m_decoded < entry && m_entries[size_t(m_decoded)].group == group)
        from = m_decoded + 1;
    for (int at = from; at < entry; ++at) {
        m_decoded = -1;
        if (Decode(at, nullptr) == Read::DataError)
            return Read::DataError;
        m_decoded = at;
    }
    m_decoded = -1;
    const Read read = Decode(entry, &picture);
    if (read != Read::DataError)
        m_decoded = entry;
    return read;
}
