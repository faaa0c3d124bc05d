// Tile display cost: D1 pictures (704 x 480, 32 bits) put onto 1, 4 and 16 tiles of a 1024 x 720
// grid with their OSD through the composed road, beside ffmpeg scaling the same pictures to the
// tile's size in the same run ("-threads 1 -filter_threads 1 -vf scale=W:H,format=bgra -f null").
// Reported per layout: processor time per shown frame, ours / ffmpeg's (below 1 means cheaper).
// Decoding is not part of either figure: both start from the decoded pictures; ffmpeg's start-up
// is taken off its figure.
//
//   tiledisplay_bench [frames=300]
#include "benchdisplayhost.h"
#include "playerbenchsupport.h"
#include "ui/cameodisplay.h"
#include "ui/cameodisplayhost.h"
#include "ui/cameogrid.h"
#include "ui/windowcanvas.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <time.h>

using playerbench::ChildSeconds;
using playerbench::Ffmpeg;
using playerbench::ProcessSeconds;

namespace {

constexpr int kWidth = 704;
constexpr int kHeight = 480;
constexpr int kGridWidth = 1024;
constexpr int kGridHeight = 720;

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(30, atoi(argv[1])) : 300;
    QTemporaryDir dir;
    const QString raw = dir.filePath(QStringLiteral("d1.bgra"));
    if (!Ffmpeg({"-f", "lavfi", "-i", QStringLiteral("testsrc2=size=%1x%2:rate=30").arg(kWidth).arg(kHeight),
                 "-frames:v", QString::number(frames), "-pix_fmt", "bgra", "-f", "rawvideo", raw})) {
        std::fprintf(stderr, "ffmpeg could not make the pictures\n");
        return 1;
    }
    QFile file(raw);
    if (!file.open(QIODevice::ReadOnly)) {
        return 1;
    }
    const QByteArray pictures = file.readAll();
    const int frameBytes = kWidth * kHeight * 4;
    if (pictures.size() < frameBytes * frames) {
        return 1;
    }

    std::printf("%-8s %-10s %14s %14s %8s\n", "tiles", "tile size", "ours ms/frame", "ffmpeg ms/frame", "ratio");
    struct Layout
    {
        int code;
        int tiles;
    };
    for (const Layout& layout : {Layout{0, 1}, Layout{1, 4}, Layout{7, 16}}) {
        CameoGrid grid;
        BenchDisplayHost host;
        WindowCanvas canvas;
        canvas.Resize(kGridWidth, kGridHeight);
        CameoDisplay display(&grid, &host, &canvas);
        grid.Layout(kGridWidth, kGridHeight, layout.code, false, false, false);
        for (int tile = 0; tile < kCameoCount; ++tile) {
            grid.Update(tile, [tile](CameoItem& item) {
                item.assigned = 1;
                item.fileTile = 1;
                item.sourceId = kFileSourceId;
                item.channel = tile;
            });
        }
        CameoRect rect;
        grid.GetCameoRect(0, &rect);

        const double start = ProcessSeconds();
        int shown = 0;
        for (int n = 0; n < frames; ++n) {
            for (int tile = 0; tile < layout.tiles; ++tile) {
                LiveFrame frame;
                frame.serverId = kFileServerId;
                frame.camera = tile;
                frame.width = kWidth;
                frame.height = kHeight;
                frame.mark = 5;
                frame.date = 20261210;
                frame.time = 101500;
                display.DisplayFrame(
                    tile, frame, reinterpret_cast<const uint8_t*>(pictures.constData()) + n * frameBytes, 0, 1);
                ++shown;
            }
        }
        const double ours = (ProcessSeconds() - start) / shown;

        // A run over one picture is taken from the run over all, so that ffmpeg's start-up is
        // not counted per picture.
        const QStringList scale{"-threads",
                                "1",
                                "-f",
                                "rawvideo",
                                "-pix_fmt",
                                "bgra",
                                "-s",
                                QStringLiteral("%1x%2").arg(kWidth).arg(kHeight),
                                "-i",
                                raw,
                                "-filter_threads",
                                "1",
                                "-vf",
                                QStringLiteral("scale=%1:%2,format=bgra").arg(rect.Width()).arg(rect.Height())};
        double seconds[2] = {0, 0};
        const QStringList limits[2] = {{"-frames:v", "1"}, {}};
        for (int run = 0; run < 2; ++run) {
            const double childBefore = ChildSeconds();
            if (!Ffmpeg(scale + limits[run] + QStringList{"-f", "null", "-"})) {
                std::fprintf(stderr, "ffmpeg reference failed\n");
                return 1;
            }
            seconds[run] = ChildSeconds() - childBefore;
        }
        const double reference = std::max(1e-9, seconds[1] - seconds[0]) / (frames - 1);
        std::printf("%-8d %4dx%-5d %14.3f %14.3f %8.2f\n", layout.tiles, rect.Width(), rect.Height(), ours * 1000,
                    reference * 1000, ours / reference);
    }
    return 0;
}
