// Processor time of the player's whole decode-and-display path for a D1 (720 x 480) 30 fps H.264
// recording (a test pattern with camera noise) played into 1, 4 and 16 tiles of the grid of the
// player's window at its opening size (569 x 468), on both of the engine's roads:
//   queued  frames handed to AddLiveData behind their 104-byte record, as recorder media are
//           played: decoded, converted and shown by the engine's display thread;
//   direct  the recorder frame payload (00 00 01 06 header, parameter sets, slice on a word
//           boundary) decoded on the player's thread through the tile player's frame sink and
//           shown at once, as a client recording is played.
// Both end in the tile display drawing the picture scaled to its tile with the OSD. Beside each
// layout, in the same run, ffmpeg decodes the same stream on one thread and scales it to the
// tile's size ("-threads 1 -filter_threads 1 -vf scale=W:H,format=bgra -f null"), the stream
// looped to as many pictures as the tiles show; its start-up, measured on a run over one picture,
// taken off. Reported: processor time per shown picture, ours / ffmpeg's (the target is at most
// 1.15). A last column gives, in the same round, ffmpeg decoding as many copies of the stream as
// there are tiles side by side in one process on one thread, each scaled to the tile, and ours
// against it: the part of the ratio that is sixteen decoders' memory spread across the caches,
// which ffmpeg pays too.
//
//   player_display_bench [frames=300] [queued|direct|both] [rounds=3] [tiles=all|1|4|16] [ours]
// Each figure is the median of the rounds; the ratio's lowest and highest follow it. "ours" leaves
// ffmpeg out (no ratio), for timing the player's process from outside. Also printed:
// resident memory per playing tile (what the grid, the engine and its tiles added, the first
// round's start-up included) and the share of one core the player takes paused, in the first
// round.
#include "benchdisplayhost.h"
#include "engine/hplivecontrol.h"
#include "engine/sizecode.h"
#include "engine/tiledisplay.h"
#include "playback/livecontrolframesink.h"
#include "player/support/recorderpayload.h"
#include "playerbenchsupport.h"
#include "ui/cameodisplay.h"
#include "ui/cameodisplayhost.h"
#include "ui/cameogrid.h"
#include "ui/cviewerdlg.h"
#include "ui/gridlivecontrolhost.h"
#include "ui/viewergeometry.h"
#include "ui/windowcanvas.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

using playerbench::ChildSeconds;
using playerbench::Ffmpeg;
using playerbench::Median;
using playerbench::ProcessSeconds;

namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 480;
// The grid of the player's window at the size it opens with, as a user first sees it (at one
// tile 569 px wide: an odd width the scaler handles differently from an even one).
const QRect kGridRect = ViewerGeometry::Layout(CViewerDlg::kStartSize).grid;
const int kGridWidth = kGridRect.width();
const int kGridHeight = kGridRect.height();

// The grid's display, counting what reaches it.
class CountingDisplay : public TileDisplay
{
public:
    explicit CountingDisplay(TileDisplay& display)
        : m_display(display)
    {}
    int DisplayFrame(int tile, LiveFrame& frame, const uint8_t* picture, int useDirectDraw,
                     int fromDecoder) override
    {
        ++shown;
        return m_display.DisplayFrame(tile, frame, picture, useDirectDraw, fromDecoder);
    }
    int DisplayPicture(int tile, LiveFrame& frame, TilePicture& picture, int useDirectDraw,
                       int fromDecoder) override
    {
        ++shown;
        return m_display.DisplayPicture(tile, frame, picture, useDirectDraw, fromDecoder);
    }
    void RedrawCameos(const std::vector<int>& tiles) override { m_display.RedrawCameos(tiles); }
    std::atomic<int> shown{0};

private:
    TileDisplay& m_display;
};

struct Unit
{
    QByteArray parameterSets; // each with a four-byte start code
    QByteArray slice;         // without its start code
    bool key = false;
};

QList<Unit> Units(const QByteArray& stream)
{
    QList<Unit> units;
    Unit unit;
    for (const QByteArray& nal : playerbench::Nals(stream)) {
        const int type = nal.isEmpty() ? 0 : nal[0] & 0x1F;
        if (type == 1 || type == 5) {
            unit.slice = nal;
            unit.key = type == 5;
            units << unit;
            unit = Unit();
        } else if (type == 7 || type == 8) {
            unit.parameterSets += QByteArray("\0\0\0\1", 4) + nal;
        }
    }
    return units;
}

// The queued record: 104 bytes the engine skips, then the access unit.
QByteArray QueuedFrame(const Unit& unit)
{
    return QByteArray(104, '\0') + unit.parameterSets + QByteArray("\0\0\0\1", 4) + unit.slice;
}

// The recorder frame payload around the access unit, as the player's tests make it.
QByteArray PayloadFrame(const Unit& unit)
{
    return recorder_payload::Wrap(unit.parameterSets + QByteArray("\0\0\0\1", 4) + unit.slice);
}

struct Layout
{
    int code;
    int tiles;
};

struct Grid
{
    explicit Grid(const Layout& layout)
        : liveHost(
            &grid, [] { return false; }, [] { return -1; })
        , display(&grid, &displayHost, &canvas)
        , counting(display)
    {
        canvas.Resize(kGridWidth, kGridHeight);
        grid.Layout(kGridWidth, kGridHeight, layout.code, false, false, false);
        for (int tile = 0; tile < layout.tiles; ++tile) {
            grid.Update(tile, [tile](CameoItem& item) {
                item.assigned = 1;
                item.fileTile = 1;
                item.sourceId = kFileSourceId;
                item.channel = tile;
            });
        }
    }

    CameoGrid grid;
    BenchDisplayHost displayHost;
    WindowCanvas canvas;
    GridLiveControlHost liveHost;
    CameoDisplay display;
    CountingDisplay counting;
};

// Beside the processor time: resident memory the playing tiles added, and the processor time
// of the player left paused (nothing to show) for two seconds, as a share of one core.
struct Extras
{
    bool measureIdle = false;
    double kbPerTile = 0;
    double idlePercent = -1;
};

// Measures what Extras holds while the engine lives and the tiles have shown their pictures;
// the processor time it took, to be taken off the play's.
double MeasureExtras(long residentBefore, int tiles, Extras* extras)
{
    extras->kbPerTile = double(playerbench::ResidentKb() - residentBefore) / tiles;
    if (!extras->measureIdle)
        return 0;
    const double wall = playerbench::WallSeconds();
    const double start = ProcessSeconds();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const double seconds = ProcessSeconds() - start;
    extras->idlePercent = 100.0 * seconds / (playerbench::WallSeconds() - wall);
    return seconds;
}

double PlayQueued(const QList<Unit>& units, const Layout& layout, int* shown, Extras* extras)
{
    const long residentBefore = playerbench::ResidentKb();
    Grid grid(layout);
    HPLiveControl engine(&grid.liveHost, &grid.counting);
    engine.Init();
    QList<QByteArray> frames;
    for (const Unit& unit : units)
        frames << QueuedFrame(unit);
    const double start = ProcessSeconds();
    for (int n = 0; n < frames.size(); ++n) {
        const QByteArray& frame = frames[n];
        for (int tile = 0; tile < layout.tiles; ++tile) {
            // Hold back while the display thread is behind, so that the drop rule stays off;
            // asleep for about as long as the frames ahead take to show (more than a
            // millisecond each), not waking every millisecond: those wakes are the bench's
            // own cost, which the process's processor time would count as the player's.
            for (int queued = engine.QueuedFrames(); queued > 8; queued = engine.QueuedFrames())
                std::this_thread::sleep_for(std::chrono::milliseconds(queued - 2));
            engine.AddLiveData(kFileServerId, tile, reinterpret_cast<const uint8_t*>(frame.constData()),
                               frame.size(), units[n].key ? 1 : 0, tile, 0, 0, 20261210, 101500, 1, 0, 5, 33);
        }
    }
    while (engine.QueuedFrames() > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const double extra = MeasureExtras(residentBefore, layout.tiles, extras);
    engine.Shutdown();
    const double seconds = ProcessSeconds() - start - extra;
    *shown = grid.counting.shown.load();
    return seconds;
}

double PlayDirect(const QList<Unit>& units, const Layout& layout, int* shown, Extras* extras)
{
    const long residentBefore = playerbench::ResidentKb();
    Grid grid(layout);
    HPLiveControl engine(&grid.liveHost, &grid.counting);
    engine.Init();
    LiveControlFrameSink sink(engine);
    QList<QByteArray> frames;
    for (const Unit& unit : units)
        frames << PayloadFrame(unit);
    const double start = ProcessSeconds();
    for (int n = 0; n < frames.size(); ++n) {
        for (int tile = 0; tile < layout.tiles; ++tile) {
            // The decoder rewrites its input: each tile decodes a copy, as each reads its own.
            QByteArray frame = frames[n];
            const int result = sink.DecodeFrame(tile, reinterpret_cast<quint8*>(frame.data()), frame.size(),
                                                layout.tiles == 1 ? 1 : 0, units[n].key ? 0 : 1);
            if (!SizeCode::HasPicture(result))
                continue;
            ShownFrame picture;
            picture.tile = tile;
            picture.width = SizeCode::Width(result);
            picture.height = SizeCode::Height(result);
            picture.date = 20261210;
            picture.time = 101500;
            picture.frameType = units[n].key ? 1 : 0;
            picture.playState = 5;
            sink.DisplayFrame(picture);
        }
    }
    const double seconds = ProcessSeconds() - start;
    MeasureExtras(residentBefore, layout.tiles, extras);
    engine.Shutdown();
    *shown = grid.counting.shown.load();
    return seconds;
}

// ffmpeg's processor time per picture decoding the stream on one thread and scaling it to the
// tile, the stream played `passes` times over (as many pictures as the tiles show, so that the
// reference is not a short run measured against a long one): a run over one picture is taken
// from the run over all, so that its start-up (loading, probing, the first picture's set-up) is
// not counted per picture. 0 when ffmpeg fails.
double FfmpegSecondsPerPicture(const QString& stream, const CameoRect& rect, int pictures, int passes)
{
    const QStringList output{"-filter_threads", "1", "-vf",
                             QStringLiteral("scale=%1:%2,format=bgra").arg(rect.Width()).arg(rect.Height())};
    const QStringList runs[2] = {
        QStringList{"-threads", "1", "-i", stream} + output + QStringList{"-frames:v", "1"},
        QStringList{"-threads", "1", "-stream_loop", QString::number(passes - 1), "-i", stream} + output};
    double seconds[2] = {0, 0};
    for (int run = 0; run < 2; ++run) {
        const double before = ChildSeconds();
        if (!Ffmpeg(runs[run] + QStringList{"-f", "null", "-"}))
            return 0;
        seconds[run] = ChildSeconds() - before;
    }
    const int total = pictures * passes;
    return total > 1 ? std::max(0.0, seconds[1] - seconds[0]) / (total - 1) : seconds[1];
}

// The same as FfmpegSecondsPerPicture for one ffmpeg process decoding `inputs` copies of the
// stream side by side on one thread, each scaled to the tile: ffmpeg takes their pictures in turn,
// as the engine's display thread takes its tiles' frames, so the figure shows what sixteen
// decoders' memory costs ffmpeg itself. Per picture of any input; 0 when ffmpeg fails.
double FfmpegInterleavedSecondsPerPicture(const QString& stream, const CameoRect& rect, int pictures, int inputs)
{
    QStringList decode;
    for (int input = 0; input < inputs; ++input)
        decode += QStringList{"-threads", "1", "-i", stream};
    decode += QStringList{"-filter_threads", "1"};
    const QString filter = QStringLiteral("scale=%1:%2,format=bgra").arg(rect.Width()).arg(rect.Height());
    double seconds[2] = {0, 0};
    for (int run = 0; run < 2; ++run) {
        // The first run stops each output after one picture: its time is the start-up.
        QStringList outputs;
        for (int input = 0; input < inputs; ++input) {
            outputs += QStringList{"-map", QStringLiteral("%1:v").arg(input)};
            if (run == 0)
                outputs += QStringList{"-frames:v", "1"};
            outputs += QStringList{"-vf", filter, "-f", "null", "-"};
        }
        const double before = ChildSeconds();
        if (!Ffmpeg(decode + outputs))
            return 0;
        seconds[run] = ChildSeconds() - before;
    }
    return pictures > 1 ? std::max(0.0, seconds[1] - seconds[0]) / (double(pictures - 1) * inputs)
                        : seconds[1] / inputs;
}

// Makes the D1 stream with a key picture every keyInterval pictures; empty on failure.
QList<Unit> MakeStream(const QString& path, int frames, int keyInterval)
{
    // Camera noise on the pattern, as a real camera's picture has: a clean synthetic picture
    // decodes several times faster than what users record.
    if (!Ffmpeg({"-f", "lavfi", "-i",
                 QStringLiteral("testsrc2=size=%1x%2:rate=30,noise=alls=12:allf=t").arg(kWidth).arg(kHeight),
                 "-frames:v", QString::number(frames), "-c:v", "libx264", "-profile:v", "baseline", "-g",
                 QString::number(keyInterval), "-bf", "0", "-b:v", "2M", "-bsf:v", "filter_units=remove_types=6",
                 path}))
        return {};
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    return Units(in.readAll());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(30, atoi(argv[1])) : 300;
    const QByteArray roads = argc > 2 ? QByteArray(argv[2]) : QByteArray("both");
    const int rounds = argc > 3 ? std::max(1, atoi(argv[3])) : 3;
    const int onlyTiles = argc > 4 ? atoi(argv[4]) : 0;
    const bool withReference = !(argc > 5 && QByteArray(argv[5]) == "ours");
    QTemporaryDir folder;
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    std::printf("grid %dx%d (the window's at %dx%d); load average %.2f %.2f %.2f on %d processors\n", kGridWidth,
                kGridHeight, CViewerDlg::kStartSize.width(), CViewerDlg::kStartSize.height(), load[0], load[1],
                load[2], int(std::thread::hardware_concurrency()));
    std::printf("%-7s %-6s %-9s %9s %14s %15s %7s %13s %11s %8s %18s %8s\n", "road", "tiles", "tile", "shown",
                "ours ms/pic", "ffmpeg ms/pic", "ratio", "(low-high)", "MB/tile", "paused", "ffmpeg N-in ms/pic",
                "ratio N");
    for (const QByteArray& road : {QByteArray("queued"), QByteArray("direct")}) {
        if (roads != "both" && roads != road)
            continue;
        // The queued road takes a recorder's stream as it is (a key picture a second); the direct
        // road rewrites the slice header of every predicted picture for the recorder's own
        // numbering, which an ffmpeg-made stream does not follow: it plays key pictures only.
        const QString stream = folder.filePath(QString::fromLatin1(road) + QStringLiteral(".264"));
        const QList<Unit> units = MakeStream(stream, frames, road == "queued" ? 30 : 1);
        if (units.isEmpty()) {
            std::fprintf(stderr, "ffmpeg could not make the stream\n");
            return 1;
        }
        // The same pictures in a container ffmpeg can loop (a raw stream cannot seek to its start).
        const QString loopable = folder.filePath(QString::fromLatin1(road) + QStringLiteral(".nut"));
        if (withReference && !Ffmpeg({"-i", stream, "-c", "copy", loopable})) {
            std::fprintf(stderr, "ffmpeg could not copy the stream\n");
            return 1;
        }
        if (road == "direct") {
            for (const Unit& unit : units) {
                if (PayloadFrame(unit).isEmpty()) {
                    std::fprintf(stderr, "the parameter sets do not fit the recorder payload\n");
                    return 1;
                }
            }
        }
        for (const Layout& layout : {Layout{0, 1}, Layout{1, 4}, Layout{7, 16}}) {
            if (onlyTiles > 0 && layout.tiles != onlyTiles)
                continue;
            CameoRect rect;
            {
                CameoGrid grid;
                grid.Layout(kGridWidth, kGridHeight, layout.code, false, false, false);
                grid.GetCameoRect(0, &rect);
            }
            // Rounds of ffmpeg then ours, each ratio taken within its round; the medians are
            // printed, so that one round disturbed by other work on the machine does not decide.
            std::vector<double> references, ourTimes, ratios, interleaved, interleavedRatios;
            int shown = 0;
            Extras extras;
            std::vector<double> kbPerTile;
            for (int round = 0; round < rounds; ++round) {
                extras.measureIdle = round == 0;
                // On a very busy machine the one-picture run can take as long as the whole one
                // (nothing left per picture): measure again rather than end the bench.
                double reference = withReference ? 0 : 1;
                for (int attempt = 0; attempt < 3 && reference <= 0; ++attempt)
                    reference = FfmpegSecondsPerPicture(loopable, rect, units.size(), layout.tiles);
                if (reference <= 0) {
                    std::fprintf(stderr, "ffmpeg reference failed\n");
                    return 1;
                }
                // The tiles' streams side by side in one ffmpeg (one stream: the reference itself).
                double sideBySide = layout.tiles == 1 || !withReference ? reference : 0;
                for (int attempt = 0; attempt < 3 && sideBySide <= 0; ++attempt)
                    sideBySide = FfmpegInterleavedSecondsPerPicture(loopable, rect, units.size(), layout.tiles);
                if (sideBySide <= 0) {
                    std::fprintf(stderr, "ffmpeg with %d inputs failed\n", layout.tiles);
                    return 1;
                }
                const double idle = extras.idlePercent;
                const double seconds = road == "queued" ? PlayQueued(units, layout, &shown, &extras)
                                                        : PlayDirect(units, layout, &shown, &extras);
                if (!extras.measureIdle)
                    extras.idlePercent = idle;
                kbPerTile.push_back(extras.kbPerTile);
                if (shown == 0) {
                    std::fprintf(stderr, "no picture was shown (is the decoder library beside the program?)\n");
                    return 1;
                }
                const double ours = seconds / shown;
                references.push_back(withReference ? reference : 0);
                ourTimes.push_back(ours);
                ratios.push_back(withReference ? ours / reference : 0);
                interleaved.push_back(withReference ? sideBySide : 0);
                interleavedRatios.push_back(withReference ? ours / sideBySide : 0);
            }
            std::printf(
                "%-7s %-6d %4dx%-4d %4d/%-4d %14.3f %15.3f %7.2f  (%.2f-%.2f) %11.1f %7.2f%% %18.3f %8.2f\n",
                road.constData(), layout.tiles, rect.Width(), rect.Height(), shown,
                int(units.size()) * layout.tiles, Median(ourTimes) * 1000, Median(references) * 1000,
                Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()), Median(kbPerTile) / 1024, extras.idlePercent,
                Median(interleaved) * 1000, Median(interleavedRatios));
        }
    }
    return 0;
}
