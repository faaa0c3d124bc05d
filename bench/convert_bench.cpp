// MP4 conversion speed: a recording of the client recording layout (written from an H.264
// stream that ffmpeg makes) converted by the convert job, beside ffmpeg converting the same
// stream, in the same run:
//  - without the overlay, beside "ffmpeg -c copy";
//  - with the date and time burned in, beside an ffmpeg re-encode through the same two drawtext
//    filters at the same bit rate and key-frame spacing.
// Each figure is reported as a ratio (ours / ffmpeg's; below 1 means faster), best of N rounds.
//
//   convert_bench [seconds=20] [rounds=3]
#include "backup/convertjob.h"
#include "backup/recordingconvertsource.h"
#include "common/media/cmuxer.h"
#include "common/media/modulerecord.h"
#include "common/media/timeoverlay.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kFps = 25;
constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kDate = 20261209;
constexpr int kStart = 100000;

bool Ffmpeg(const QStringList& arguments)
{
    QProcess p;
    p.start("ffmpeg", QStringList{"-hide_banner", "-loglevel", "error", "-y"} + arguments);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QList<QByteArray> SplitAccessUnits(const QByteArray& stream)
{
    // Each access unit of libx264's output starts with an access unit delimiter, a parameter
    // set or a slice whose first_mb is 0; the delimiter (type 9) is asked for below.
    QList<QByteArray> units;
    int start = -1;
    for (int i = 0; i + 4 < stream.size(); ++i) {
        if (stream[i] == 0 && stream[i + 1] == 0 && stream[i + 2] == 0 && stream[i + 3] == 1
            && (stream[i + 4] & 0x1F) == 9) {
            if (start >= 0)
                units.append(stream.mid(start, i - start));
            start = i;
        }
    }
    if (start >= 0)
        units.append(stream.mid(start));
    return units;
}

int HhMmSs(int second)
{
    return (second / 3600) * 10000 + (second / 60 % 60) * 100 + second % 60;
}

double Best(int rounds, const std::function<void()>& run)
{
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        run();
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    QTemporaryDir dir;
    const QString stream = dir.filePath("in.264");
    if (!Ffmpeg({"-f", "lavfi", "-i",
                 QStringLiteral("testsrc2=size=%1x%2:rate=%3").arg(kWidth).arg(kHeight).arg(kFps), "-frames:v",
                 QString::number(seconds * kFps), "-c:v", "libx264", "-bf", "0", "-g", QString::number(kFps),
                 "-x264-params", "aud=1", "-f", "h264", stream})) {
        std::fprintf(stderr, "ffmpeg could not make the stream\n");
        return 1;
    }
    QFile in(stream);
    in.open(QIODevice::ReadOnly);
    const QList<QByteArray> units = SplitAccessUnits(in.readAll());
    const QString base = dir.path() + "/backup/Record_Live/bench/";
    {
        ModuleRecord writer;
        writer.StartRecord(0, kDate, kStart, base, 0, ModuleRecord::RecordLive);
        const int startSecond = 10 * 3600;
        for (int i = 0; i < units.size(); ++i)
            writer.OnRecordData(0, kDate, HhMmSs(startSecond + i / kFps), i % kFps == 0 ? 1 : 2, 2,
                                units[i].constData(), units[i].size(), 1, 0);
    }
    const QString folder = base + QString::number(kDate) + "/";
    const QString name = QString::asprintf("h%06d.001", kStart);
    const QString font = TimeOverlay::FontFile(dir.path());

    auto ours = [&](bool overlay) {
        ConvertJob::Options o;
        o.outputPath = dir.filePath(overlay ? "ours_osd.mp4" : "ours.mp4");
        o.formatName = "mp4";
        o.timeOverlay = overlay;
        o.fontFile = font;
        ConvertJob job(o);
        RecordingConvertSource source;
        job.Run(source, folder, name, nullptr, nullptr);
    };
    const QString drawtext = QStringLiteral("drawtext=text='12/09/2026':fontfile='%1':fontsize=36:x=10:y=10:"
                                            "fontcolor=white:shadowcolor=black:shadowx=5:shadowy=5,"
                                            "drawtext=text='10\\:00\\:00':fontfile='%1':fontsize=36:x=10:y=60:"
                                            "fontcolor=white:shadowcolor=black:shadowx=5:shadowy=5")
                                 .arg(font);
    const QString bitRate = QString::number(CMuxer::ChooseBitRate(kWidth, kHeight, kFps));

    const double copyOurs = Best(rounds, [&] { ours(false); });
    const double copyFfmpeg = Best(rounds, [&] {
        Ffmpeg(
            {"-f", "h264", "-r", QString::number(kFps), "-i", stream, "-c", "copy", dir.filePath("ffmpeg.mp4")});
    });
    const double osdOurs = Best(rounds, [&] { ours(true); });
    const double osdFfmpeg = Best(rounds, [&] {
        Ffmpeg({"-f", "h264", "-r", QString::number(kFps), "-i", stream, "-vf", drawtext, "-c:v", "libx264",
                "-b:v", bitRate, "-g", QString::number(kFps), "-bf", "0", dir.filePath("ffmpeg_osd.mp4")});
    });

    std::printf("convert %d s of %dx%d at %d fps (%d pictures), best of %d rounds\n", seconds, kWidth, kHeight,
                kFps, int(units.size()), rounds);
    std::printf("  without overlay: ours / ffmpeg -c copy          = %.2f\n", copyOurs / copyFfmpeg);
    std::printf("  with overlay:    ours / ffmpeg drawtext re-encode = %.2f\n", osdOurs / osdFfmpeg);
    std::printf("  overlay cost:    ours with / ours without        = %.1f\n", osdOurs / copyOurs);
    return 0;
}
