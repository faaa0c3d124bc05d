// Decode throughput of CModuleDecoder (decode plus conversion to the RGB picture) against
// ffmpeg decoding and converting the same stream with the same scaler, measured in one run.
// Both sides decode on a single thread: the decoder's codec context keeps libavcodec's
// default of one thread, and ffmpeg is run with -threads 1 and -filter_threads 1. ffmpeg's
// time is the rtime its -benchmark option reports (decoding and conversion, without start-up).
//
// Usage: decoder_bench [frames at 704x480] [frames at 1920x1080]
#include "common/media/moduledecoder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 5;

QString RunFfmpeg(const QStringList& arguments, QString* standardError = nullptr)
{
    QProcess process;
    process.start(QStringLiteral("ffmpeg"), QStringList{"-hide_banner", "-nostdin", "-y"} + arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(-1))
        return QStringLiteral("ffmpeg did not run");
    const QString err = QString::fromLocal8Bit(process.readAllStandardError());
    if (standardError)
        *standardError = err;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return err.isEmpty() ? QStringLiteral("ffmpeg failed") : err;
    return QString();
}

// Access units of an Annex B stream, each from its first start code.
QList<QByteArray> SplitAccessUnits(const QByteArray& stream)
{
    QList<QByteArray> units;
    const auto* d = reinterpret_cast<const unsigned char*>(stream.constData());
    const int n = stream.size();
    int unitStart = -1;
    bool hasSlice = false;
    for (int i = 0; i + 3 < n; ++i) {
        if (!(d[i] == 0 && d[i + 1] == 0 && d[i + 2] == 1))
            continue;
        const int start = (i > 0 && d[i - 1] == 0) ? i - 1 : i;
        const int type = d[i + 3] & 0x1F;
        const bool slice = type == 1 || type == 5;
        const bool opens = type == 6 || type == 7 || type == 8 || type == 9
                           || (slice && i + 4 < n && (d[i + 4] & 0x80));
        if (unitStart < 0)
            unitStart = start;
        else if (hasSlice && opens) {
            units.append(stream.mid(unitStart, start - unitStart));
            unitStart = start;
            hasSlice = false;
        }
        hasSlice = hasSlice || slice;
        i += 2;
    }
    if (unitStart >= 0)
        units.append(stream.mid(unitStart));
    return units;
}

// Seconds that CModuleDecoder takes for all frames in one run; -1 when a frame failed.
double TimeDecoder(const QList<QByteArray>& frames, int expectedCode)
{
    std::vector<unsigned char> buffer;
    CModuleDecoder decoder;
    decoder.OpenDecoder();
    QElapsedTimer timer;
    timer.start();
    for (const QByteArray& frame : frames) {
        buffer.assign(frame.begin(), frame.end());
        const int result = decoder.OnDecode(buffer.data(), int(buffer.size()), 2, 0, 0, false);
        if (result != expectedCode) {
            std::fprintf(stderr, "decoder returned %d, expected %d\n", result, expectedCode);
            return -1;
        }
    }
    return timer.nsecsElapsed() / 1e9;
}

// Seconds that ffmpeg reports for decoding and converting the stream in one run.
double TimeFfmpeg(const QString& path)
{
    const QRegularExpression rtime(QStringLiteral("rtime=([0-9.]+)s"));
    QString log;
    const QString error = RunFfmpeg({"-benchmark", "-threads", "1", "-i", path, "-filter_threads", "1", "-pix_fmt",
                                     "rgb24", "-sws_flags", "fast_bilinear", "-f", "null", "-"},
                                    &log);
    const QRegularExpressionMatch match = rtime.match(log);
    if (!error.isEmpty() || !match.hasMatch()) {
        std::fprintf(stderr, "ffmpeg: %s\n", qPrintable(error.isEmpty() ? log : error));
        return -1;
    }
    return match.captured(1).toDouble();
}

bool Measure(const QTemporaryDir& dir, int width, int height, int frameCount)
{
    const QString size = QStringLiteral("%1x%2").arg(width).arg(height);
    const QString path = dir.filePath(QStringLiteral("bench_%1.264").arg(size));
    const QString error = RunFfmpeg({"-loglevel", "error", "-f", "lavfi", "-i",
                                     "testsrc2=size=" + size + ":rate=30", "-frames:v",
                                     QString::number(frameCount), "-c:v", "libx264", "-pix_fmt", "yuv420p", "-bf",
                                     "0", "-g", "30", "-f", "h264", path});
    QFile file(path);
    if (!error.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot make the %s stream: %s\n", qPrintable(size), qPrintable(error));
        return false;
    }
    const QList<QByteArray> frames = SplitAccessUnits(file.readAll());
    if (frames.size() != frameCount) {
        std::fprintf(stderr, "%s: %d access units, expected %d\n", qPrintable(size), int(frames.size()),
                     frameCount);
        return false;
    }

    // The two sides take turns, so that load from elsewhere on the machine meets both alike;
    // the best run of each counts.
    double ours = -1, theirs = -1;
    for (int run = 0; run < kRuns; ++run) {
        const double a = TimeDecoder(frames, CModuleDecoder::SizeCode(width, height));
        const double b = TimeFfmpeg(path);
        if (a <= 0 || b <= 0)
            return false;
        ours = ours < 0 ? a : std::min(ours, a);
        theirs = theirs < 0 ? b : std::min(theirs, b);
    }
    const double oursFps = frameCount / ours;
    const double theirsFps = frameCount / theirs;
    std::printf("%-9s %5d frames  CModuleDecoder %8.1f fps   ffmpeg -threads 1 %8.1f fps   ratio %.2f\n",
                qPrintable(size), frameCount, oursFps, theirsFps, oursFps / theirsFps);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int smallFrames = argc > 1 ? std::max(1, atoi(argv[1])) : 600;
    const int largeFrames = argc > 2 ? std::max(1, atoi(argv[2])) : 300;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    std::printf("decode + fast bilinear conversion to 24-bit RGB, single thread, best of %d runs\n", kRuns);
    bool ok = Measure(dir, 704, 480, smallFrames);
    ok = Measure(dir, 1920, 1080, largeFrames) && ok;
    return ok ? 0 : 1;
}
