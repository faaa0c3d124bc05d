#include "playback/secondblock.h"

#include "playback/recordermedia.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QByteArray SecondBlock::ReadAt(QFile& file, qint64 pos, qint64 size)
{
    if (pos < 0 || size <= 0 || pos > file.size() - size || !file.seek(pos))
        return {};
    QByteArray bytes = file.read(size);
    return bytes.size() == size ? bytes : QByteArray();
}

bool SecondBlock::OpenBlockFile(const RecordingPaths& paths, int fileNumber, QFile& file)
{
    const QString name = QFileInfo(paths.dataPath).fileName();
    const QDir streams = QFileInfo(paths.dataPath).dir();
    if (paths.IsRecorderMedia() && fileNumber >= 0 && name.size() >= 7) {
        const QString suffix = name.endsWith(QLatin1String("_hd"), Qt::CaseInsensitive) ? name.right(7)
                                                                                        : name.right(4);
        file.setFileName(streams.filePath(RecorderMedia::StreamName3(fileNumber, suffix)));
        if (file.open(QIODevice::ReadOnly))
            return true;
        file.setFileName(streams.filePath(RecorderMedia::StreamName6(fileNumber, suffix)));
        return file.open(QIODevice::ReadOnly);
    }
    file.setFileName(paths.dataPath);
    return file.open(QIODevice::ReadOnly);
}

SecondBlock::Outcome SecondBlock::Read(const RecordingPaths& paths, QFile& index, qint64 pos, QFile& data)
{
    const bool client = paths.kind == RecordingKind::ClientFile;
    m_block = FrameBlock();
    m_entry = IndexLayout::ParseEntry16(ReadAt(index, pos, IndexLayout::kEntry512), client);
    if (!m_entry.hasData)
        return Outcome::NoData;
    if (data.isOpen())
        data.close();
    if (!OpenBlockFile(paths, m_entry.fileNumber, data) || m_entry.offset < 0 || m_entry.offset >= data.size())
        return Outcome::Unreadable;
    m_block = FrameBlock::Parse(
        ReadAt(data, m_entry.offset, std::min<qint64>(FrameBlock::kReadSize, data.size() - m_entry.offset)),
        client);
    return Outcome::Read;
}
