// Processor time of the player's video engine on the queued road (decode through our H.264
// library, weave and 32-bit conversion on the display thread) for 1, 4 and 16 tiles of a D1
// 30 fps recording, against ffmpeg decoding the same stream to 32-bit pictures on one thread in
// the same run; and the memory each playing tile adds. Reports ratios, never absolute times.
//
//   build/bin/player_engine_bench [frames, default 150]
#include "engine/hplivecontrol.h"
#include "engine/livecontrolhost.h"
#include "engine/tiledisplay.h"
#include "playerbenchsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

using playerbench::ChildSeconds;
using playerbench::Ffmpeg;
using playerbench::ProcessSeconds;
using playerbench::ResidentKb;

namespace {

class BenchHost : public LiveControlHost
{
public:
    bool IsClosing() const override { return false; }
    int LayoutCode() const override { return 3; }
    int FindCameo(int serverId, int camera, bool) const override
    {
        return serverId == -999 && camera >= 0 && camera < 16 ? camera : -1;
    }
    bool IsTileShown(int) const override { return true; }
    bool IsRestartPending(int) const override { return false; }
    void ClearRestart(int) override {}
    bool IsStreaming(int) const override { return false; }
    int ExportCaptureMode() const override { return -1; }
};

class CountingDisplay : public TileDisplay
{
public:
    int DisplayFrame(int, LiveFrame&, const uint8_t*, int, int) override
    {
        ++shown;
        return 0;
    }
    void RedrawCameos(const std::vector<int>&) override {}
    std::atomic<int> shown{0};
};

// Access units of an Annex B stream: each picture with the parameter sets before it.
QList<QByteArray> Units(const QByteArray& stream)
{
    QList<QByteArray> units;
    QByteArray unit;
    for (const QByteArray& nal : playerbench::Nals(stream)) {
        unit += QByteArray("\0\0\0\1", 4) + nal;
        if (playerbench::IsSlice(nal)) {
            units << unit;
            unit.clear();
        }
    }
    return units;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int frames = argc > 1 ? QByteArray(argv[1]).toInt() : 150;
    QTemporaryDir folder;
    const QString stream = folder.filePath(QStringLiteral("d1.264"));
    if (!Ffmpeg({"-f", "lavfi", "-i", "testsrc2=size=720x480:rate=30", "-frames:v", QString::number(frames),
                 "-c:v", "libx264", "-profile:v", "baseline", "-g", "30", "-bf", "0", "-b:v", "2M", stream})) {
        std::fprintf(stderr, "ffmpeg could not make the stream\n");
        return 1;
    }
    QFile in(stream);
    in.open(QIODevice::ReadOnly);
    const QList<QByteArray> units = Units(in.readAll());

    const double childBefore = ChildSeconds();
    Ffmpeg({"-threads", "1", "-filter_threads", "1", "-i", stream, "-vf", "format=bgra", "-f", "null", "-"});
    const double ffmpegPerFrame = (ChildSeconds() - childBefore) / units.size();
    std::printf("ffmpeg: %d pictures decoded to 32-bit\n", int(units.size()));

    for (int tiles : {1, 4, 16}) {
        BenchHost host;
        CountingDisplay display;
        const long before = ResidentKb();
        HPLiveControl engine(&host, &display);
        engine.Init();
        const double start = ProcessSeconds();
        for (const QByteArray& unit : units) {
            const QByteArray frame = QByteArray(104, '\0') + unit;
            for (int tile = 0; tile < tiles; ++tile) {
                // Hold back while the display thread is behind, so that no frame is dropped.
                while (engine.QueuedFrames() > 8)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                engine.AddLiveData(-999, tile, reinterpret_cast<const uint8_t*>(frame.constData()), frame.size(),
                                   unit.contains(QByteArray("\0\0\1\x65", 4)) ? 1 : 0, tile, 0, 0, 20260101,
                                   120000, 1, 0, 5, 33);
            }
        }
        while (engine.QueuedFrames() > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        engine.Shutdown();
        const double perFrame = (ProcessSeconds() - start) / (double(units.size()) * tiles);
        const long perTileKb = (ResidentKb() - before) / tiles;
        std::printf("%2d tiles: processor time per picture %.2f x ffmpeg's, %d shown of %d, %ld kB per tile\n",
                    tiles, perFrame / ffmpegPerFrame, display.shown.load(), int(units.size()) * tiles, perTileKb);
    }
    return 0;
}
