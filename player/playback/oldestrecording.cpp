#include "playback/oldestrecording.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

// Sub-folders deeper than this are not searched (a loop through hard links cannot exist, but a
// hostile tree should not exhaust the stack either).
constexpr int kMaxDepth = 32;

void Search(const QString& folder, OldestRecording& record, int depth)
{
    if (depth > kMaxDepth)
        return;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.isSymLink())
            continue;
        if (info.isDir()) {
            Search(info.filePath(), record, depth + 1);
            continue;
        }
        if (!info.isFile() || !OldestRecordingFinder::IsWriterDataFile(info.fileName()))
            continue;
        const qint64 written = info.lastModified().toMSecsSinceEpoch();
        if (!record.Found() || written < record.lastWrite) {
            record.folder = info.absolutePath() + QLatin1Char('/');
            record.name = info.fileName();
            record.lastWrite = written;
        }
    }
}

} // namespace

bool OldestRecordingFinder::IsWriterDataFile(const QString& name)
{
    if (name.size() != 11)
        return false;
    const QChar letter = name.at(0);
    if (letter != QLatin1Char('x') && letter != QLatin1Char('s'))
        return false;
    if (name.at(7) != QLatin1Char('.'))
        return false;
    for (int i = 1; i < 11; ++i) {
        if (i != 7 && (name.at(i) < QLatin1Char('0') || name.at(i) > QLatin1Char('9')))
            return false;
    }
    return true;
}

void OldestRecordingFinder::FindOldestRecording(const QString& folder, OldestRecording& record)
{
    Search(folder, record, 0);
}
