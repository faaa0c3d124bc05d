// AVI export speed: a time-mode export of synthetic 704 × 480 pictures at 30 per second through
// the export job and the AVI writer (Xvid, every third position coded, quality 10,000), beside
// ffmpeg coding the same pictures with the same encoder and settings (libxvid, quantiser 2, a key
// frame every 30 coded frames, FourCC XVID, 10 coded frames per second) from a raw BGRA file.
// Processor time of each (ours in this process, ffmpeg's as a child), best of N rounds, and the
// ratio ours / ffmpeg's (target at most 1.1).
//
//   aviexport_bench [seconds=20] [rounds=3]
#include "playback/aviexportjob.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kWidth = 704;
constexpr int kHeight = 480;
constexpr int kRate = 30;

double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QImage Picture(int index)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kWidth; ++x)
            row[x] = qRgb((x + index * 3) & 0xFF, (y * 2 + index) & 0xFF, ((x ^ y) + index * 5) & 0xFF);
    }
    return image;
}

class BenchSource : public ExportSource
{
public:
    explicit BenchSource(const QVector<QImage>& pictures)
        : m_pictures(pictures)
    {}
    bool SeekSecond(int) override { return true; }
    int FramesInSecond(int) override { return kRate; }
    bool DecodeNext(QImage& picture) override
    {
        picture = m_pictures.at(m_next++ % m_pictures.size());
        return true;
    }
    QByteArray AudioOfSecond(int) override { return QByteArray(); }
    QString DateText(int) const override { return QString(); }
    QString TimeText(int) const override { return QString(); }

private:
    QVector<QImage> m_pictures;
    int m_next = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    if (!CAviWriter::XvidInstalled()) {
        std::fprintf(stderr, "no Xvid encoder in this FFmpeg build\n");
        return 1;
    }
    QTemporaryDir dir;
    QVector<QImage> pictures;
    for (int i = 0; i < kRate; ++i)
        pictures.append(Picture(i));
    // ffmpeg gets exactly the pictures our writer codes: every third of the 30 per second.
    const QString raw = dir.path() + QStringLiteral("/frames.bgra");
    {
        QFile file(raw);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        for (int s = 0; s < seconds; ++s) {
            for (int i = 2; i < kRate; i += 3) {
                const QImage& p = pictures.at(i);
                file.write(reinterpret_cast<const char*>(p.constBits()), p.sizeInBytes());
            }
        }
    }
    double best = 1e9;
    double bestFfmpeg = 1e9;
    for (int round = 0; round < rounds; ++round) {
        BenchSource source(pictures);
        CAviWriter writer;
        writer.Init();
        writer.SetPath(dir.path() + QStringLiteral("/ours.avi"));
        AviExportJob job(source, writer, {});
        std::atomic<bool> running{true};
        const double before = CpuSeconds(RUSAGE_SELF);
        if (job.RunTimeMode(0, seconds, running) != AviExportResult::Finished)
            return 1;
        best = std::min(best, CpuSeconds(RUSAGE_SELF) - before);

        const double childBefore = CpuSeconds(RUSAGE_CHILDREN);
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"), {QStringLiteral("-hide_banner"),
                                                QStringLiteral("-loglevel"),
                                                QStringLiteral("error"),
                                                QStringLiteral("-nostdin"),
                                                QStringLiteral("-y"),
                                                QStringLiteral("-f"),
                                                QStringLiteral("rawvideo"),
                                                QStringLiteral("-pix_fmt"),
                                                QStringLiteral("bgra"),
                                                QStringLiteral("-s"),
                                                QStringLiteral("%1x%2").arg(kWidth).arg(kHeight),
                                                QStringLiteral("-r"),
                                                QStringLiteral("10"),
                                                QStringLiteral("-i"),
                                                raw,
                                                QStringLiteral("-threads"),
                                                QStringLiteral("1"),
                                                QStringLiteral("-c:v"),
                                                QStringLiteral("libxvid"),
                                                QStringLiteral("-qscale:v"),
                                                QStringLiteral("2"),
                                                QStringLiteral("-g"),
                                                QStringLiteral("30"),
                                                QStringLiteral("-vtag"),
                                                QStringLiteral("XVID"),
                                                dir.path() + QStringLiteral("/ffmpeg.avi")});
        if (!ffmpeg.waitForFinished(-1) || ffmpeg.exitCode() != 0)
            return 1;
        bestFfmpeg = std::min(bestFfmpeg, CpuSeconds(RUSAGE_CHILDREN) - childBefore);
    }
    std::printf("export %d s at %dx%d: ours %.3f s processor, ffmpeg %.3f s, ratio %.2f\n", seconds, kWidth,
                kHeight, best, bestFfmpeg, best / bestFfmpeg);
    return 0;
}
