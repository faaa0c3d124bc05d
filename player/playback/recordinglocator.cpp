#include "playback/recordinglocator.h"
#include "playback/playbacklog.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool StartsWith(const QString& name, const char* prefix)
{
    return name.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

bool Readable(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isReadable();
}

// The channel of the last three characters, 1..99 in the name; -1 when they are not digits.
int ChannelOfName(const QString& name)
{
    if (name.size() < 3)
        return -1;
    const QString digits = name.right(3);
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    }
    return digits.toInt() - 1;
}

} // namespace

QString RecordingLocator::Join(const QString& folder, const QString& relative)
{
    return QDir::cleanPath(folder + QLatin1Char('/') + relative);
}

RecordingPaths RecordingLocator::Locate(const QString& folder, const QString& fileName)
{
    RecordingPaths p;
    QString dir = QDir::cleanPath(folder);
    QString name = fileName;
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        p.error = QStringLiteral("not a file name: %1").arg(fileName);
        return p;
    }
    p.owner = RecorderMedia::HasOwnerMarker(Join(dir, QStringLiteral("../.owner")));

    if (!StartsWith(name, "intra_idx.") && StartsWith(name, "i"))
        name = name.mid(1);

    if (StartsWith(name, "stream_000.")) {
        const QString day = RecorderMedia::ReadDayList(Join(dir, QStringLiteral("../day.lst")));
        if (day.isEmpty()) {
            p.silent = true;
            p.error = QStringLiteral("no day list beside %1").arg(fileName);
            return p;
        }
        dir = Join(dir, QStringLiteral("../") + day);
        const QString rest = name.mid(int(qstrlen("stream_000.")));
        if (name.endsWith(QLatin1String("_hd"), Qt::CaseInsensitive))
            name = QStringLiteral("hd_idx.") + rest.left(3);
        else
            name = QStringLiteral("intra_idx.") + name.right(3);
    }

    p.folder = dir;
    p.name = name;
    p.dataPath = Join(dir, name);
    p.indexPath = Join(dir, QLatin1Char('i') + name);
    p.channel = ChannelOfName(name);

    if (StartsWith(name, "intra_idx.")) {
        p.kind = RecordingKind::RecorderMedia;
        p.indexPath = Join(dir, name);
        const QString first = Join(dir, QStringLiteral("../stream/stream_000.001"));
        const QString own = Join(dir, QStringLiteral("../stream/stream_000") + name.right(4));
        p.dataPath = (p.owner || !Readable(own)) ? first : own;
    } else if (StartsWith(name, "hd_idx.")) {
        p.kind = RecordingKind::RecorderMediaHd;
        p.indexPath = Join(dir, name);
        p.dataPath = Join(dir, QStringLiteral("../stream/stream_000") + name.right(4) + QStringLiteral("_hd"));
    } else if (StartsWith(name, "h")) {
        p.kind = RecordingKind::ClientFile;
    } else {
        p.kind = RecordingKind::FrameList;
        // Its frames carry their own channel; the name's gives the camera title.
        if (p.channel >= 0 && p.channel <= 15) {
            p.info = RecorderMedia::ReadDvrInfo(Join(dir, QStringLiteral("DvrInfo.ini")), p.channel);
            p.cameraTitle = RecorderMedia::CameraTitleOrDefault(p.info, p.channel);
        }
        return p;
    }
    if (p.channel < 0 || p.channel > 15) {
        p.kind = RecordingKind::None;
        p.error = QStringLiteral("no video channel in the name %1").arg(fileName);
        return p;
    }
    p.info = RecorderMedia::ReadDvrInfo(Join(dir, QStringLiteral("DvrInfo.ini")), p.channel);
    p.cameraTitle = RecorderMedia::CameraTitleOrDefault(p.info, p.channel);
    return p;
}

AudioSource RecordingLocator::ChooseAudio(const RecordingPaths& paths, bool layout512)
{
    AudioSource a;
    if (paths.IsRecorderMedia()) {
        if (!layout512) {
            if (paths.channel >= 0 && paths.channel < 4)
                a.kind = AudioKind::ChannelFiles;
            return a;
        }
        const QString index = Join(paths.folder, QStringLiteral("intra_idx.000"));
        if (!Readable(index))
            return a;
        QString stream = Join(paths.folder, QStringLiteral("../stream/stream_000.000"));
        if (!Readable(stream) && paths.kind == RecordingKind::RecorderMedia)
            stream = Join(paths.folder, QStringLiteral("../stream/stream_000.001"));
        a.kind = AudioKind::MediaStream;
        a.path = stream;
        a.indexPath = index;
        return a;
    }
    if (paths.kind != RecordingKind::ClientFile || !layout512 || paths.name.size() < 10)
        return a;
    const QString tail = paths.name.right(10);
    const struct
    {
        QString name;
        AudioKind kind;
    } candidates[] = {
        {QStringLiteral("ah") + tail, AudioKind::ClientAh},
        {QStringLiteral("ah") + tail.left(7) + QStringLiteral("000"), AudioKind::ClientAh000},
        {QStringLiteral("a0") + tail, AudioKind::ClientA0},
        {QStringLiteral("a1") + tail, AudioKind::ClientA1},
        {QStringLiteral("a2") + tail, AudioKind::ClientA2},
        {QStringLiteral("a3") + tail, AudioKind::ClientA3},
    };
    const int start = StartSecondOfTail(tail);
    for (const auto& c : candidates) {
        const QString path = Join(paths.folder, c.name);
        if (Readable(path)) {
            a.kind = c.kind;
            a.path = path;
            a.startSecond = start;
            return a;
        }
    }
    return a;
}

int RecordingLocator::StartSecondOfTail(const QString& tail)
{
    bool ok = false;
    const int hhmmss = tail.left(6).toInt(&ok);
    if (!ok || hhmmss < 0)
        return 0;
    const int h = hhmmss / 10000, m = hhmmss / 100 % 100, s = hhmmss % 100;
    if (h > 23 || m > 59 || s > 59)
        return 0;
    return h * 3600 + m * 60 + s;
}

int RecordingLocator::CompareNames(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive);
}
