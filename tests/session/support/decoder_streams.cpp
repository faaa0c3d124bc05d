#include "decoder_streams.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QMutex>
#include <QProcess>

#include <cstdio>

namespace decoder_streams {

QString FixtureFolder()
{
    const QString folder = QStringLiteral(ZENT_BINARY_DIR "/fixtures/decoder");
    QDir().mkpath(folder);
    return folder;
}

QString RunFfmpeg(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("ffmpeg"), QStringList{"-hide_banner", "-loglevel", "error", "-y"} + arguments);
    if (!process.waitForStarted(10000))
        return QStringLiteral("ffmpeg did not start");
    if (!process.waitForFinished(300000))
        return QStringLiteral("ffmpeg did not finish");
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString::fromLocal8Bit(process.readAllStandardError());
    return QString();
}

QList<QByteArray> SplitAccessUnits(const QByteArray& stream)
{
    // Start of every NAL unit (position of its first start-code byte) and its header offset.
    struct Nal { int start; int header; };
    QList<Nal> nals;
    const int n = stream.size();
    const auto* d = reinterpret_cast<const unsigned char*>(stream.constData());
    for (int i = 0; i + 3 < n; ++i) {
        if (d[i] == 0 && d[i + 1] == 0 && d[i + 2] == 1) {
            const int start = (i > 0 && d[i - 1] == 0) ? i - 1 : i;
            nals.append({start, i + 3});
            i += 2;
        }
    }
    QList<QByteArray> units;
    int unitStart = -1;
    bool hasSlice = false;
    for (const Nal& nal : nals) {
        const int type = d[nal.header] & 0x1F;
        const bool slice = type == 1 || type == 5;
        const bool firstSlice = slice && nal.header + 1 < n && (d[nal.header + 1] & 0x80);
        const bool opensUnit = (type == 6 || type == 7 || type == 8 || type == 9) || firstSlice;
        if (unitStart < 0) {
            unitStart = nal.start;
        } else if (hasSlice && opensUnit) {
            units.append(stream.mid(unitStart, nal.start - unitStart));
            unitStart = nal.start;
            hasSlice = false;
        }
        hasSlice = hasSlice || slice;
    }
    if (unitStart >= 0)
        units.append(stream.mid(unitStart));
    return units;
}

namespace {

// Writes by ffmpeg into a private name first, so that test processes running side by side
// never read a half-written fixture.
QString MakeFile(const QString& name, const QStringList& input, const QStringList& output)
{
    const QString path = FixtureFolder() + "/" + name;
    if (QFile::exists(path))
        return QString();
    const QString temporary = path + QStringLiteral(".%1.tmp").arg(QCoreApplication::applicationPid());
    const QString error = RunFfmpeg(input + output + QStringList{temporary});
    if (!error.isEmpty())
        return error;
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
        return QStringLiteral("cannot rename ") + temporary;
    return QString();
}

} // namespace

const Stream& Make(int width, int height, int frames, int keyInterval)
{
    static QMutex lock;
    static QMap<QString, Stream> made;
    QMutexLocker locker(&lock);
    const QString base = QStringLiteral("testsrc2_%1x%2_%3_%4").arg(width).arg(height).arg(frames).arg(keyInterval);
    auto found = made.find(base);
    if (found != made.end())
        return *found;

    Stream stream;
    stream.width = width;
    stream.height = height;
    stream.path = FixtureFolder() + "/" + base + ".264";
    const QString size = QStringLiteral("%1x%2").arg(width).arg(height);
    stream.error = MakeFile(base + ".264",
                            {"-f", "lavfi", "-i", "testsrc2=size=" + size + ":rate=30"},
                            {"-frames:v", QString::number(frames), "-c:v", "libx264", "-pix_fmt", "yuv420p",
                             "-bf", "0", "-g", QString::number(keyInterval), "-bsf:v", "h264_mp4toannexb",
                             "-f", "h264"});
    if (stream.error.isEmpty())
        stream.error = MakeFile(base + ".rgb", {"-i", stream.path},
                                {"-pix_fmt", "rgb24", "-sws_flags", "fast_bilinear", "-f", "rawvideo"});
    if (stream.error.isEmpty()) {
        QFile h264(stream.path);
        QFile rgb(FixtureFolder() + "/" + base + ".rgb");
        if (h264.open(QIODevice::ReadOnly) && rgb.open(QIODevice::ReadOnly)) {
            stream.frames = SplitAccessUnits(h264.readAll());
            stream.referenceRgb = rgb.readAll();
        } else {
            stream.error = QStringLiteral("cannot read the fixture files");
        }
    }
    return *made.insert(base, stream);
}

} // namespace decoder_streams
