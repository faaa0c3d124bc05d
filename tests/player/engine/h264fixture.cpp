#include "h264fixture.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace h264fixture {

QString Folder()
{
    // One folder per test process: ctest runs the suite's tests as parallel processes, which
    // must not rewrite each other's fixtures while they read them.
    static const QString parent = [] {
        const QString path = QStringLiteral(ZENT_BINARY_DIR "/fixtures/player_engine");
        QDir().mkpath(path);
        return path;
    }();
    static QTemporaryDir folder(parent + QStringLiteral("/run-XXXXXX"));
    return folder.path();
}

namespace {

QString RunFfmpeg(const QStringList& arguments)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-y"} + arguments);
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0)
        return QString::fromLocal8Bit(ffmpeg.readAllStandardError()) + QStringLiteral(" (ffmpeg failed)");
    return QString();
}

// Start of the next start code (three or four bytes) at or after from; -1 when none.
int NextStart(const QByteArray& data, int from, int* codeLength)
{
    for (int i = from; i + 3 <= data.size(); ++i) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) {
            const bool four = i > from && data[i - 1] == 0;
            *codeLength = four ? 4 : 3;
            return four ? i - 1 : i;
        }
    }
    return -1;
}

// NAL units without their start codes.
QList<QByteArray> SplitNals(const QByteArray& data)
{
    QList<QByteArray> nals;
    int codeLength = 0;
    int at = NextStart(data, 0, &codeLength);
    while (at >= 0) {
        const int begin = at + codeLength;
        int nextLength = 0;
        const int next = NextStart(data, begin, &nextLength);
        QByteArray nal = data.mid(begin, next < 0 ? -1 : next - begin);
        while (nal.endsWith('\0'))
            nal.chop(1);
        nals << nal;
        at = next;
        codeLength = nextLength;
    }
    return nals;
}

} // namespace

Stream Make(const QString& name, const QString& source, int width, int height, int frames, int keyInterval)
{
    Stream stream;
    stream.width = width;
    stream.height = height;
    const QString h264 = Folder() + "/" + name + ".264";
    const QString raw = Folder() + "/" + name + ".rgb";
    stream.error = RunFfmpeg({"-f",         "lavfi",
                              "-i",         QString("%1=size=%2x%3:rate=10").arg(source).arg(width).arg(height),
                              "-frames:v",  QString::number(frames),
                              "-c:v",       "libx264",
                              "-profile:v", "baseline",
                              "-g",         QString::number(keyInterval),
                              "-bf",        "0",
                              "-b:v",       "800k",
                              "-qmin",      "34",
                              "-qmax",      "34",
                              "-bsf:v",     "filter_units=remove_types=6",
                              h264});
    if (stream.error.isEmpty())
        stream.error = RunFfmpeg(
            {"-i", h264, "-f", "rawvideo", "-pix_fmt", "rgb24", "-sws_flags", "neighbor", raw});
    if (!stream.error.isEmpty())
        return stream;
    QFile in(h264);
    QFile reference(raw);
    if (!in.open(QIODevice::ReadOnly) || !reference.open(QIODevice::ReadOnly)) {
        stream.error = QStringLiteral("fixture unreadable");
        return stream;
    }
    stream.rgb = reference.readAll();
    // Access units: parameter sets travel with the slice that follows them.
    QByteArray unit;
    for (const QByteArray& nal : SplitNals(in.readAll())) {
        unit += QByteArray("\0\0\0\1", 4) + nal;
        const int type = nal.isEmpty() ? 0 : (nal[0] & 0x1F);
        if (type == 1 || type == 5) {
            stream.units << unit;
            unit.clear();
        }
    }
    return stream;
}

QByteArray ReverseWords(QByteArray payload)
{
    for (int i = 0; i + 4 <= payload.size(); i += 4) {
        char* word = payload.data() + i;
        std::swap(word[0], word[3]);
        std::swap(word[1], word[2]);
    }
    return payload;
}

QByteArray ToBgra(const QByteArray& rgb)
{
    QByteArray out;
    out.reserve(rgb.size() / 3 * 4);
    for (int i = 0; i + 3 <= rgb.size(); i += 3) {
        out += rgb[i + 2];
        out += rgb[i + 1];
        out += rgb[i];
        out += char(255);
    }
    return out;
}

} // namespace h264fixture
