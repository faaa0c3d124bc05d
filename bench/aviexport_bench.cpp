// AVI export speed, in two parts, each beside the ffmpeg command line doing the same job with the
// same encoder and settings (libxvid, quantiser 2, a key frame every 30 coded frames, FourCC XVID,
// 10 coded frames per second out of 30 pictures per second, one thread):
//   encode  synthetic 704 × 480 pictures through the export job and the AVI writer, against
//           ffmpeg coding the same pictures from a raw BGRA file;
//   export  a D1 (720 × 480) 30 fps H.264 recording decoded through the player's decoder chain
//           (as the export dialog decodes it) and written through the export job and the AVI
//           writer, against ffmpeg decoding the same stream and coding every third picture.
// Processor time of each (ours in this process, ffmpeg's as a child), best of N rounds, and the
// ratio ours / ffmpeg's (target at most 1.1), for the whole run and for each second after the
// first (both sides' start-up taken off).
//
//   aviexport_bench [seconds=20] [rounds=3]
#include "../tests/common/support/decoder_streams.h"
#include "../tests/player/engine/h264fixture.h"
#include "../tests/player/support/recorderpayload.h"

#include "engine/decoderchain.h"
#include "engine/sizecode.h"
#include "playback/aviexportjob.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

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

// A recording of 30 pictures a second, every second the same pictures.
class SourceBase : public ExportSource
{
public:
    bool SeekSecond(int) override { return true; }
    int FramesInSecond(int) override { return kRate; }
    QByteArray AudioOfSecond(int) override { return QByteArray(); }
    QString DateText(int) const override { return QString(); }
    QString TimeText(int) const override { return QString(); }
};

class PictureSource : public SourceBase
{
public:
    explicit PictureSource(const QVector<QImage>& pictures)
        : m_pictures(pictures)
    {}
    bool DecodeNext(QImage& picture) override
    {
        picture = m_pictures.at(m_next++ % m_pictures.size());
        return true;
    }

private:
    QVector<QImage> m_pictures;
    int m_next = 0;
};

// The recorder frame payloads of one second decoded as the export dialog decodes them: a copy of
// the frame (the chain rewrites it), the chain's 32-bit picture copied out as the picture.
class DecodingSource : public SourceBase
{
public:
    explicit DecodingSource(const QList<QByteArray>& frames)
        : m_frames(frames)
        , m_picture(size_t(kPictureBufferBytes), 0)
    {
        m_chain.Load(DecoderLibraries::Defaults());
        m_chain.SetPictureBuffers([this](int) { return m_picture.data(); });
    }
    bool Ready() const { return m_chain.HasH264(); }
    bool DecodeNext(QImage& picture) override
    {
        const int index = m_next++ % m_frames.size();
        const QByteArray& frame = m_frames.at(index);
        m_buffer.assign(frame.begin(), frame.end());
        const int result = m_chain.DecodeFrame(m_buffer.data(), int(m_buffer.size()), m_picture.data(), 0, 0,
                                               index == 0 ? 0 : 1);
        if (!SizeCode::HasPicture(result)) {
            std::fprintf(stderr, "frame %d of %d bytes gave %d\n", index, int(frame.size()), result);
            return false;
        }
        picture = QImage(m_picture.data(), SizeCode::Width(result), SizeCode::Height(result), QImage::Format_RGB32)
                      .copy();
        return true;
    }

private:
    QList<QByteArray> m_frames;
    DecoderChain m_chain;
    std::vector<uint8_t> m_picture;
    std::vector<uint8_t> m_buffer;
    int m_next = 0;
};

// Ours: the processor time of one export of `seconds` from the source; negative on failure.
double Export(ExportSource& source, const QString& path, int seconds)
{
    CAviWriter writer;
    writer.Init();
    writer.SetPath(path);
    AviExportJob job(source, writer, {});
    std::atomic<bool> running{true};
    const double before = CpuSeconds(RUSAGE_SELF);
    const AviExportResult result = job.RunTimeMode(0, seconds, running);
    if (result != AviExportResult::Finished) {
        std::fprintf(stderr, "our export ended with %d\n", int(result));
        return -1;
    }
    return CpuSeconds(RUSAGE_SELF) - before;
}

// ffmpeg's processor time for one run; negative on failure.
double Ffmpeg(const QStringList& input, const QString& output)
{
    const QStringList encode{"-threads", "1",  "-c:v",  "libxvid", "-qscale:v", "2",
                             "-g",       "30", "-vtag", "XVID",    "-r",        "10"};
    const double before = CpuSeconds(RUSAGE_CHILDREN);
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"}
                                               + input + QStringList{"-filter_threads", "1"} + encode
                                               + QStringList{output});
    if (!ffmpeg.waitForFinished(-1) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", ffmpeg.readAllStandardError().constData());
        return -1;
    }
    return CpuSeconds(RUSAGE_CHILDREN) - before;
}

// Best processor time of ours and of ffmpeg over the rounds, for the whole run and for one
// second; the difference is the cost of the other seconds, without either side's start-up
// (ffmpeg's loading of its libraries and probing, our encoder's set-up). Reports both ratios.
bool Compare(const char* what, int seconds, int rounds, const QSize& size,
             const std::function<double(int seconds)>& ours, const std::function<double(int seconds)>& theirs)
{
    double best[2][2] = {{1e9, 1e9}, {1e9, 1e9}}; // [whole, one second][ours, ffmpeg]
    for (int round = 0; round < rounds; ++round) {
        for (int run = 0; run < 2; ++run) {
            const int length = run == 0 ? seconds : 1;
            const double a = ours(length);
            const double b = theirs(length);
            if (a < 0 || b < 0)
                return false;
            best[run][0] = std::min(best[run][0], a);
            best[run][1] = std::min(best[run][1], b);
        }
    }
    std::printf("%-7s %3d s at %dx%d: ours %.3f s processor, ffmpeg %.3f s, ratio %.2f", what, seconds,
                size.width(), size.height(), best[0][0], best[0][1], best[0][0] / best[0][1]);
    if (seconds > 1) {
        const double oursPerSecond = (best[0][0] - best[1][0]) / (seconds - 1);
        const double theirsPerSecond = (best[0][1] - best[1][1]) / (seconds - 1);
        std::printf("; each further second: ours %.1f ms, ffmpeg %.1f ms, ratio %.2f", oursPerSecond * 1e3,
                    theirsPerSecond * 1e3, oursPerSecond / theirsPerSecond);
    }
    std::printf("\n");
    return true;
}

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

    // Encoding only. ffmpeg reads the 30 pictures a second and codes every third, as we do.
    QVector<QImage> pictures;
    for (int i = 0; i < kRate; ++i)
        pictures.append(Picture(i));
    // Input files of the whole run and of one second.
    auto rawFile = [&](int length) {
        const QString path = dir.path() + QStringLiteral("/frames%1.bgra").arg(length);
        QFile file(path);
        if (!file.exists() && file.open(QIODevice::WriteOnly)) {
            for (int s = 0; s < length; ++s) {
                for (const QImage& p : pictures)
                    file.write(reinterpret_cast<const char*>(p.constBits()), p.sizeInBytes());
            }
        }
        return path;
    };
    auto rawInput = [&](int length) {
        return QStringList{
            "-f", "rawvideo", "-pix_fmt", "bgra",         "-s", QStringLiteral("%1x%2").arg(kWidth).arg(kHeight),
            "-r", "30",       "-i",       rawFile(length)};
    };
    const bool encoded = Compare(
        "encode", seconds, rounds, QSize(kWidth, kHeight),
        [&](int length) {
            PictureSource source(pictures);
            return Export(source, dir.path() + QStringLiteral("/ours.avi"), length);
        },
        [&](int length) { return Ffmpeg(rawInput(length), dir.path() + QStringLiteral("/ffmpeg.avi")); });
    if (!encoded)
        return 1;

    // The whole export: a second of D1 H.264 (a key picture, then 29 predicted) numbered as a
    // recorder numbers it and in the recorder's frame payload, repeated.
    const h264fixture::Stream stream = h264fixture::Make("export_d1", "testsrc2", 720, 480, kRate, kRate);
    const QList<QByteArray> units = stream.error.isEmpty() ? decoder_streams::Renumber(
                                        stream.units, decoder_streams::Numbering::FrameNum4Poc5)
                                                           : QList<QByteArray>();
    if (units.size() != kRate) {
        std::fprintf(stderr, "no D1 stream: %s\n", qPrintable(stream.error));
        return 1;
    }
    QList<QByteArray> frames;
    for (const QByteArray& unit : units)
        frames << recorder_payload::Wrap(unit, 2);
    auto h264Input = [&](int length) {
        const QString path = dir.path() + QStringLiteral("/export%1.264").arg(length);
        QFile file(path);
        if (!file.exists() && file.open(QIODevice::WriteOnly)) {
            for (int s = 0; s < length; ++s) {
                for (const QByteArray& unit : units)
                    file.write(unit);
            }
        }
        return QStringList{"-threads", "1", "-f", "h264", "-framerate", "30", "-i", path};
    };
    {
        DecodingSource probe(frames);
        if (!probe.Ready()) {
            std::fprintf(stderr, "the H.264 decoder library is not beside the program\n");
            return 1;
        }
    }
    const bool exported = Compare(
        "export", seconds, rounds, QSize(720, 480),
        [&](int length) {
            DecodingSource source(frames);
            return Export(source, dir.path() + QStringLiteral("/ours.avi"), length);
        },
        [&](int length) { return Ffmpeg(h264Input(length), dir.path() + QStringLiteral("/ffmpeg.avi")); });
    if (!exported)
        return 1;
    return 0;
}
