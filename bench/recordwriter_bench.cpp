// Recording writer throughput: 16 channels x 30 frames per second (a 20 KB key frame each
// second, 3 KB frames otherwise) for N simulated seconds, against a plain append of the same
// frame bytes to 16 files kept open, measured in the same run.
//
//   recordwriter_bench [seconds=60] [rounds=3]
#include "common/media/modulerecord.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kChannels = 16;
constexpr int kFps = 30;
constexpr int kKeySize = 20 * 1024;
constexpr int kOtherSize = 3 * 1024;
constexpr int kDate = 20261209;
constexpr int kStartSecond = 10 * 3600;

int HhMmSs(int second)
{
    return (second / 3600) * 10000 + (second / 60 % 60) * 100 + second % 60;
}

struct Result
{
    double seconds = 0;
    qint64 bytes = 0;
    qint64 frames = 0;
};

Result RunWriter(const QByteArray& key, const QByteArray& other, int simSeconds)
{
    QTemporaryDir dir;
    Result res;
    QElapsedTimer t;
    t.start();
    {
        ModuleRecord w;
        const QString folder = dir.path() + "/backup/Record_Live/bench/";
        for (int c = 0; c < kChannels; ++c)
            w.StartRecord(c, kDate, HhMmSs(kStartSecond), folder, 0, ModuleRecord::RecordLive);
        for (int s = 0; s < simSeconds; ++s) {
            const int time = HhMmSs(kStartSecond + s);
            for (int f = 0; f < kFps; ++f) {
                for (int c = 0; c < kChannels; ++c) {
                    const QByteArray& d = f == 0 ? key : other;
                    if (w.OnRecordData(c, kDate, time, f == 0 ? 1 : 2, 2, d.constData(), d.size(), 0, 0) > 0) {
                        res.bytes += d.size();
                        ++res.frames;
                    }
                }
            }
        }
    } // the writer writes the last second here
    res.seconds = t.nsecsElapsed() / 1e9;
    return res;
}

Result RunPlainAppend(const QByteArray& key, const QByteArray& other, int simSeconds)
{
    QTemporaryDir dir;
    Result res;
    QElapsedTimer t;
    t.start();
    {
        std::vector<std::unique_ptr<QFile>> files;
        for (int c = 0; c < kChannels; ++c) {
            files.push_back(std::make_unique<QFile>(dir.path() + QString::asprintf("/plain.%03d", c + 1)));
            if (!files.back()->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                std::fprintf(stderr, "cannot open %s\n", qPrintable(files.back()->fileName()));
                std::exit(1);
            }
        }
        for (int s = 0; s < simSeconds; ++s) {
            for (int f = 0; f < kFps; ++f) {
                for (int c = 0; c < kChannels; ++c) {
                    const QByteArray& d = f == 0 ? key : other;
                    if (files[size_t(c)]->write(d) == d.size()) {
                        res.bytes += d.size();
                        ++res.frames;
                    }
                }
            }
        }
    } // closed here
    res.seconds = t.nsecsElapsed() / 1e9;
    return res;
}

void Quiet(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(msg));
}

} // namespace

int main(int argc, char** argv)
{
    const int simSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    qInstallMessageHandler(&Quiet);

    QByteArray key(kKeySize, '\0'), other(kOtherSize, '\0');
    for (int i = 0; i < key.size(); ++i)
        key[i] = char(i * 7 + 1);
    for (int i = 0; i < other.size(); ++i)
        other[i] = char(i * 13 + 5);

    Result bestWriter, bestPlain;
    bestWriter.seconds = bestPlain.seconds = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const Result p = RunPlainAppend(key, other, simSeconds);
        const Result w = RunWriter(key, other, simSeconds);
        if (p.seconds < bestPlain.seconds)
            bestPlain = p;
        if (w.seconds < bestWriter.seconds)
            bestWriter = w;
    }

    const double mb = 1024.0 * 1024.0;
    std::printf("recordwriter_bench: %d channels x %d fps, %d simulated seconds, best of %d rounds\n", kChannels,
                kFps, simSeconds, rounds);
    std::printf("  plain append : %8.3f s  %9.1f MB/s  %10.0f frames/s  (%lld frames)\n", bestPlain.seconds,
                bestPlain.bytes / mb / bestPlain.seconds, bestPlain.frames / bestPlain.seconds,
                static_cast<long long>(bestPlain.frames));
    std::printf("  ModuleRecord : %8.3f s  %9.1f MB/s  %10.0f frames/s  (%lld frames)\n", bestWriter.seconds,
                bestWriter.bytes / mb / bestWriter.seconds, bestWriter.frames / bestWriter.seconds,
                static_cast<long long>(bestWriter.frames));
    std::printf("  writer time / plain time: %.2f\n", bestWriter.seconds / bestPlain.seconds);
    std::printf("  real-time margin of the writer: %.1f x (%d frames per real second needed)\n",
                (bestWriter.frames / bestWriter.seconds) / (kChannels * kFps), kChannels * kFps);
    return 0;
}
