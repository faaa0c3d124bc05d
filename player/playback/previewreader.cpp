#include "playback/previewreader.h"
#include "engine/sizecode.h"
#include "playback/framehandoff.h"
#include "playback/playbacklog.h"
#include "playback/previewsink.h"
#include "playback/secondblock.h"

#include <QFile>

PreviewReader::PreviewReader(PreviewSink& sink)
    : m_sink(sink)
{}

PreviewReader::~PreviewReader()
{
    Join();
}

void PreviewReader::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

void PreviewReader::StartPreview(const RecordingPaths& paths, bool layout512, int firstSecond, int position,
                                 int preview)
{
    Join();
    m_thread = std::thread([this, paths, layout512, firstSecond, position, preview] {
        Read(paths, layout512, firstSecond, position, preview);
    });
}

void PreviewReader::Read(const RecordingPaths& paths, bool layout512, int firstSecond, int position, int preview)
{
    if (preview < 0 || preview >= kPreviews)
        return;
    bool shown = false;
    QFile index(paths.indexPath);
    if (paths.IndexBased() && layout512 && position >= 0 && index.open(QIODevice::ReadOnly)) {
        const qint64 size = index.size();
        qint64 pos = (qint64(firstSecond) + position + 32) * IndexLayout::kEntry512;
        if (pos + IndexLayout::kEntry512 > size)
            pos -= IndexLayout::kEntry512;
        if (pos >= IndexLayout::kHeader512 && pos + IndexLayout::kEntry512 <= size)
            shown = ReadPicture(paths, pos, size, preview);
    }
    if (!shown)
        m_sink.ShowPreview(preview, 0, 0, QString());
}

bool PreviewReader::ReadPicture(const RecordingPaths& paths, qint64 entryPos, qint64 indexSize, int preview)
{
    QFile index(paths.indexPath);
    if (!index.open(QIODevice::ReadOnly))
        return false;
    // From the position on, the first second with data whose block holds a key frame.
    SecondBlock walk;
    QFile data;
    for (qint64 pos = entryPos; pos + IndexLayout::kEntry512 <= indexSize; pos += IndexLayout::kEntry512) {
        const SecondBlock::Outcome outcome = walk.Read(paths, index, pos, data);
        if (outcome == SecondBlock::Outcome::NoData)
            continue;
        if (outcome == SecondBlock::Outcome::Unreadable)
            return false;
        const FrameBlock& block = walk.Block();
        int key = -1;
        for (int i = 0; i < block.Count() && key < 0; ++i) {
            if (block.Header(i).key && block.Header(i).mark == FrameBlock::kOrdinary)
                key = i;
        }
        if (key < 0)
            continue;
        const FrameHeader& h = block.Header(key);
        const qint64 keyAt = h.keyOffset >= 0 ? h.keyOffset : h.dataOffset;
        const int keyLength = h.keyLength > 0 ? h.keyLength : h.dataLength;
        if (keyLength <= 0 || keyAt < 0 || keyAt > data.size() - keyLength)
            return false;
        const QByteArray keyBytes = SecondBlock::ReadAt(data, keyAt, keyLength);
        m_buffer.assign(keyBytes.begin(), keyBytes.end());
        int result = m_buffer.empty() ? 0 : m_sink.DecodePreview(preview, m_buffer.data(), int(m_buffer.size()));
        if (!SizeCode::HasPicture(result))
            return false;
        if (h.dataOffset != keyAt && h.dataLength > 0 && h.dataOffset <= data.size() - h.dataLength) {
            const QByteArray frame = SecondBlock::ReadAt(data, h.dataOffset, h.dataLength);
            m_buffer.assign(frame.begin(), frame.end());
            if (!m_buffer.empty()) {
                const int second = m_sink.DecodePreview(preview, m_buffer.data(), int(m_buffer.size()));
                if (SizeCode::HasPicture(second))
                    result = second;
            }
        }
        int width = 0, height = 0;
        FrameHandOff::SplitSize(result, width, height);
        const QString caption = QStringLiteral("%1:%2:%3")
                                    .arg(h.secondOfDay / 3600, 2, 10, QLatin1Char('0'))
                                    .arg(h.secondOfDay / 60 % 60, 2, 10, QLatin1Char('0'))
                                    .arg(h.secondOfDay % 60, 2, 10, QLatin1Char('0'));
        m_sink.ShowPreview(preview, width, height, caption);
        return true;
    }
    return false;
}
