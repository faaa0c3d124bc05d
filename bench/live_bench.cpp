// Live video end to end: the recorder simulator streams a D1 H.264 stream (704 x 480, about
// 3 Mbit/s) on every channel, and the client (its main window shown at its default size on the
// offscreen screen, opening the site book's favorite as an operator would) decodes and shows it
// in a grid. A last case plays a D1 30 fps recording from the disk in the local backup window.
// In the same run ffmpeg decodes the same stream with one thread, once as it is and once scaled
// to the size of the case's cells (-vf scale=W:H -pix_fmt bgra); the client's processor time
// per decoded frame is reported as a ratio of each. Beside the decoded frames the grids count
// their conversions (pictures converted for a cell) and compositions (grid pictures composed).
//
// Each case runs the client in a child process of its own and reports, over its measuring
// window: processor time per decoded frame (÷ ffmpeg's), share of a core, context switches a
// second, decoded ÷ received frames and resident memory per channel (above an empty main
// window). The longest time the window thread was away from its event loop is measured in a few
// seconds after that window: the probe's own wake-ups are not in the processor time. Two cases also stop the
// whole client for one second (SIGSTOP, at a random point of the stream) and measure the time back to live: until every channel
// has read the video sent meanwhile and its queue is back within the pacing window; the frames
// each channel decoded on the way are counted (dec/ch).
//
// The processor-load rule is held off through the hub's processor counter (it reads 0 %).
//
// A busy machine: with a third argument, that many processes spinning at the client's priority
// keep the processors busy from a second before the stall until the client is back to live.
//
// Usage: live_bench [seconds of measuring per case (default 15)] [case number from 1 (default all)]
//                   [spinning processes around the stall (default 0)]
#include "common/media/modulerecord.h"
#include "session/livepacer.h"
#include "session/recordersession.h"
#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/clientapp.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr int kStreamFrames = 300; // ten seconds at 30 fps, looped by the simulator
constexpr int kWarmUpSeconds = 3;
constexpr int kProbeSeconds = 3; // the window thread's latency, after the processor window

struct Case
{
    const char* name;
    int recorders;  // 16 channels each, or `channels` on one recorder
    int channels;   // shown cells
    double fps;     // what the simulator streams
    bool fixedRate; // the simulator ignores the rate the client asks
    bool stall;     // stop the client for a second after measuring
    bool local;     // a recording on the disk instead of recorders
};

const Case kCases[] = {
    {"1 ch x 30 fps", 1, 1, 30, true, false, false},
    {"4 ch x 30 fps", 1, 4, 30, true, false, false},
    {"16 ch x 30 fps", 1, 16, 30, true, true, false},
    {"64 ch (4 x 16) x 30 fps", 4, 64, 30, true, false, false},
    {"16 ch, the rate asked (5 fps)", 1, 16, 30, false, true, false},
    {"16 ch idle (0.1 fps)", 1, 16, 0.1, true, false, false},
    {"64 ch idle (0.1 fps)", 4, 64, 0.1, true, false, false},
    {"local file, D1 30 fps", 0, 1, 30, true, false, true},
};
constexpr int kLocalRepeats = 6; // the recording holds the stream this many times (a minute)

double CpuSeconds(const rusage& u)
{
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long ResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

QString MakeStream(const QString& folder)
{
    const QString path = folder + QStringLiteral("/live-d1-3mbit.h264");
    if (QFile::exists(path))
        return path;
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"), {"-hide_banner",
                                            "-loglevel",
                                            "error",
                                            "-y",
                                            "-f",
                                            "lavfi",
                                            "-i",
                                            "testsrc2=size=704x480:rate=30",
                                            "-frames:v",
                                            QString::number(kStreamFrames),
                                            "-c:v",
                                            "libx264",
                                            "-preset",
                                            "veryfast",
                                            "-b:v",
                                            "3M",
                                            "-maxrate",
                                            "3M",
                                            "-bufsize",
                                            "1M",
                                            "-pix_fmt",
                                            "yuv420p",
                                            "-g",
                                            "30",
                                            "-bf",
                                            "0",
                                            "-bsf:v",
                                            "h264_mp4toannexb",
                                            "-f",
                                            "h264",
                                            path});
    if (!ffmpeg.waitForFinished(600000) || ffmpeg.exitCode() != 0)
        return QString();
    return path;
}

// ffmpeg's processor time per frame for one-thread decoding of the stream, five passes in one
// run (the stream written five times over into one file: a raw stream cannot be looped), so
// that its start-up weighs little; with a cell size, the pictures are also scaled to it as the
// grid does.
double FfmpegCpuPerFrame(const QString& stream, QSize cell = QSize())
{
    constexpr int kPasses = 5;
    QFile in(stream);
    QFile out(stream + QStringLiteral(".x5"));
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return -1;
    const QByteArray bytes = in.readAll();
    for (int i = 0; i < kPasses; ++i)
        out.write(bytes);
    out.close();
    rusage before{}, after{};
    getrusage(RUSAGE_CHILDREN, &before);
    QProcess ffmpeg;
    QStringList args{"-hide_banner",    "-loglevel", "error", "-nostdin",    "-threads", "1",
                     "-filter_threads", "1",         "-i",    out.fileName()};
    if (cell.isValid())
        args << "-vf" << QStringLiteral("scale=%1:%2").arg(cell.width()).arg(cell.height()) << "-pix_fmt"
             << "bgra";
    args << "-f"
         << "null"
         << "-";
    ffmpeg.start(QStringLiteral("ffmpeg"), args);
    if (!ffmpeg.waitForFinished(600000) || ffmpeg.exitCode() != 0 || !ffmpeg.readAllStandardError().isEmpty())
        return -1;
    getrusage(RUSAGE_CHILDREN, &after);
    return (CpuSeconds(after) - CpuSeconds(before)) / (kPasses * kStreamFrames);
}

// ---------------------------------------------------------------------------------------------
// The child: the client

struct Totals
{
    qint64 received = 0;
    qint64 decoded = 0;
    qint64 skipped = 0;
    qint64 maxQueuedMs = 0;
    qint64 queued = 0;
    qint64 conversions = 0;
    qint64 compositions = 0;
};

// The access units of an H.264 elementary stream: a new one starts at each slice that follows a
// slice, or at a parameter set that follows one.
QList<QByteArray> SplitFrames(const QByteArray& stream)
{
    QList<QByteArray> frames;
    QByteArray current;
    bool hasSlice = false;
    int at = stream.indexOf(QByteArray("\x00\x00\x01", 3));
    while (at >= 0) {
        int next = stream.indexOf(QByteArray("\x00\x00\x01", 3), at + 3);
        int end = next < 0 ? stream.size() : next;
        if (next > 0 && stream[next - 1] == 0)
            --end; // a four-byte start code belongs to the next unit
        const int start = at > 0 && stream[at - 1] == 0 ? at - 1 : at;
        const int type = at + 3 < stream.size() ? stream[at + 3] & 0x1F : 0;
        const bool slice = type == 1 || type == 5;
        if (hasSlice && (slice || type == 7 || type == 9)) {
            frames.append(current);
            current.clear();
            hasSlice = false;
        }
        current += stream.mid(start, end - start);
        hasSlice = hasSlice || slice;
        at = next;
    }
    if (!current.isEmpty())
        frames.append(current);
    return frames;
}

// A recording of the stream played kLocalRepeats times at 30 frames a second, as the client
// writes it, on channel 1 of the day folder; its data file name, or an empty text.
QString WriteRecording(const QString& root, const QString& streamPath)
{
    QFile in(streamPath);
    if (!in.open(QIODevice::ReadOnly))
        return QString();
    const QList<QByteArray> frames = SplitFrames(in.readAll());
    if (frames.isEmpty())
        return QString();
    constexpr int kDate = 20261210;
    constexpr int kStart = 120000;
    ModuleRecord writer;
    if (!writer.StartRecord(0, kDate, kStart, root, 0, ModuleRecord::RecordLive))
        return QString();
    int n = 0;
    for (int r = 0; r < kLocalRepeats; ++r) {
        for (const QByteArray& f : frames) {
            const int second = n / 30;
            const int time = kStart + (second / 60) * 100 + second % 60;
            const bool key = f.contains(QByteArray("\x00\x00\x01\x65", 4));
            if (writer.OnRecordData(0, kDate, time, key ? 1 : 2, 2, f.constData(), f.size(), 1, 0) < 0)
                return QString();
            ++n;
        }
    }
    writer.StopRecord(0);
    return QStringLiteral("h120000.001");
}

// The grids' counts of the hub's table, and the cell size of the grid with the most cells shown.
void SumGrids(ClientSessionHub& hub, Totals& t, QSize* cell = nullptr)
{
    int mostShown = 0;
    for (int i = 0; i < MainWindow::kCameoSlots; ++i) {
        CCameo* grid = hub.GetCameo(i);
        if (!grid)
            continue;
        t.conversions += grid->GetConversionCount();
        t.compositions += grid->GetCompositionCount();
        if (grid->GetKind() == CameoKind::Local)
            t.decoded += grid->GetLocalDecodedCount();
        const int n = int(std::sqrt(double(std::max(1, grid->GetSplit()))));
        if (cell && grid->isVisible() && grid->GetSplit() > mostShown) {
            mostShown = grid->GetSplit();
            *cell = QSize(grid->width() / n, grid->height() / n);
        }
    }
}

Totals Sum(ClientSessionHub& hub, int recorders, int channelsEach, std::vector<qint64>* receivedEach = nullptr)
{
    Totals t;
    SumGrids(hub, t);
    for (int r = 0; r < recorders; ++r) {
        RecorderSession* device = hub.GetDevice(r);
        for (int ch = 0; device && ch < channelsEach; ++ch) {
            const LiveFigures f = device->GetLiveFigures(ch);
            t.received += f.received;
            t.decoded += f.decoded;
            t.skipped += f.skippedForLoad;
            t.maxQueuedMs = std::max(t.maxQueuedMs, f.queuedMs);
            t.queued += f.queued;
            if (receivedEach)
                receivedEach->push_back(f.received);
        }
    }
    return t;
}

// Samples the window thread every 5 ms once started: the longest gap between two samples (less
// the 5 ms) is the longest time it was away from its event loop. A gap of more than 900 ms is
// the stall that the parent causes; after it, the time back to live is measured.
class Probe : public QObject
{
public:
    Probe(ClientSessionHub& hub, int recorders, int channelsEach, double fps, bool stall)
        : m_hub(hub)
        , m_recorders(recorders)
        , m_channelsEach(channelsEach)
        , m_fps(fps)
        , m_stall(stall)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] { Sample(); });
        m_clock.start();
    }
    void StartMeasuring()
    {
        m_measuring = true;
        m_longestGapMs = 0;
        m_lastMs = -1;
        m_timer.start(5);
    }
    void SetChannelRate(double fps) { m_fps = fps; }
    void StopMeasuring()
    {
        m_measuring = false;
        m_measured = true;
        // Only a stall after this needs the samples.
        if (!m_stall)
            m_timer.stop();
        // What has arrived so far: the stall may come before the next sample.
        m_lastReceived.clear();
        if (m_stall)
            Sum(m_hub, m_recorders, m_channelsEach, &m_lastReceived);
    }
    qint64 LongestGapMs() const { return m_longestGapMs; }
    qint64 BackToLiveMs() const { return m_backToLiveMs; }
    qint64 PeakQueuedMs() const { return m_peakQueuedMs; }
    // Frames decoded from the end of the stall until back to live, over all channels.
    qint64 CatchUpDecoded() const { return m_catchUpDecoded; }
    bool Stalled() const { return m_stallSeen; }

private:
    void Sample()
    {
        const qint64 now = m_clock.elapsed();
        const qint64 gap = m_lastMs < 0 ? 0 : now - m_lastMs;
        m_lastMs = now;
        if (gap > 900 && m_measured && !m_stallSeen) {
            m_stallSeen = true;
            m_resumedAt = now;
            m_stallMs = gap;
            m_backlogBase = m_lastReceived;
            m_catchUpDecoded = -Sum(m_hub, m_recorders, m_channelsEach).decoded;
        } else if (m_measuring && gap > m_longestGapMs) {
            m_longestGapMs = gap;
        }
        if (!m_stall || !m_measured)
            return;
        std::vector<qint64> received;
        const Totals t = Sum(m_hub, m_recorders, m_channelsEach, &received);
        if (m_stallSeen && m_backToLiveMs < 0) {
            m_peakQueuedMs = std::max(m_peakQueuedMs, t.maxQueuedMs);
            // Every channel has read what the recorder sent during the stall (90 % of it, the
            // rest may still be on its way) and its queue is back within the pacing window.
            const qint64 sentDuringStall = qint64(m_fps * m_stallMs / 1000.0 * 0.9);
            bool caughtUp = received.size() == m_backlogBase.size();
            for (size_t i = 0; caughtUp && i < received.size(); ++i)
                caughtUp = received[i] - m_backlogBase[i] >= sentDuringStall;
            if (caughtUp && !LivePacer::Lagging(t.maxQueuedMs)) {
                m_backToLiveMs = now - m_resumedAt;
                m_catchUpDecoded += t.decoded;
            }
        }
        m_lastReceived = std::move(received);
    }

    ClientSessionHub& m_hub;
    const int m_recorders;
    const int m_channelsEach;
    double m_fps;
    const bool m_stall;
    bool m_measured = false; // the stall comes after the measuring window
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastMs = -1;
    bool m_measuring = false;
    qint64 m_longestGapMs = 0;
    bool m_stallSeen = false;
    qint64 m_resumedAt = 0;
    qint64 m_stallMs = 0;
    qint64 m_backToLiveMs = -1;
    qint64 m_peakQueuedMs = 0;
    qint64 m_catchUpDecoded = 0;
    std::vector<qint64> m_backlogBase;
    std::vector<qint64> m_lastReceived;
};

// Prints one line: cpu wall decoded received skipped ctxsw longestGapMs rssKb conversions
// compositions cellWidth cellHeight; a stall adds: backToLiveMs peakQueuedMs
int RunChild(int argc, char** argv)
{
    const int recorders = std::atoi(argv[2]);
    const int channelsEach = std::atoi(argv[3]);
    const double fps = std::atof(argv[4]);
    const int seconds = std::atoi(argv[5]);
    const bool stall = std::atoi(argv[6]) != 0;
    const QString localStream = argc > 7 ? QString::fromLocal8Bit(argv[7]) : QString();
    QApplication app(argc, argv);
    auto* client = new ClientApp;
    MainWindow* hub = &client->Window();
    // What the user sees: the window at its default size, so that the grids have cells.
    hub->show();
    // Processor samples that never advance: the load reads 0 % and no frame is skipped for it.
    hub->SetCpuLoad(platform::CpuLoad([] { return QByteArray("cpu  0 0 0 1000 0 0 0 0 0 0\n"); }));
    ClientSessionHub& sessions = client->Sessions();
    Probe probe(sessions, recorders, channelsEach, fps, stall);
    CCameo* localGrid = nullptr;
    if (!localStream.isEmpty()) {
        const QString file = WriteRecording(QDir::currentPath(), localStream);
        const int slot = hub->exeSearchLocalView();
        QWidget* window = slot >= 0 ? hub->SearchLocalViewSlots()->Window(slot) : nullptr;
        localGrid = window ? window->findChild<CCameo*>() : nullptr;
        if (file.isEmpty() || !localGrid) {
            std::printf("the local recording could not be made or opened\n");
            return 1;
        }
        // Played once its window has its size.
        QTimer::singleShot(500, localGrid, [localGrid, file] {
            localGrid->OpenLocalFile(QDir::currentPath() + QStringLiteral("/20261210"), file);
        });
    }

    rusage startUsage{};
    Totals startTotals;
    QElapsedTimer wall;
    QElapsedTimer sinceStart;
    sinceStart.start();
    struct Window
    {
        double cpu = 0, seconds = 0;
        Totals end;
        long csw = 0;
    } window;
    // After the processor window, the window thread's latency for a few seconds; then the line.
    const auto finishProbing = [&] {
        probe.StopMeasuring();
        const Totals& end = window.end;
        QSize cell;
        Totals grids;
        SumGrids(sessions, grids, &cell);
        std::printf("MEASURED %.4f %.4f %lld %lld %lld %ld %lld %ld %lld %lld %d %d\n", window.cpu, window.seconds,
                    end.decoded - startTotals.decoded,
                    // Frames still queued at the end are neither decoded nor lost yet.
                    end.received - startTotals.received - (end.queued - startTotals.queued),
                    end.skipped - startTotals.skipped, window.csw, probe.LongestGapMs(), ResidentKb(),
                    end.conversions - startTotals.conversions, end.compositions - startTotals.compositions,
                    cell.width(), cell.height());
        std::fflush(stdout);
        if (!stall)
            app.quit();
    };
    const auto finishMeasuring = [&] {
        rusage endUsage{};
        getrusage(RUSAGE_SELF, &endUsage);
        window.end = Sum(sessions, recorders, channelsEach);
        window.seconds = wall.elapsed() / 1000.0;
        window.cpu = CpuSeconds(endUsage) - CpuSeconds(startUsage);
        window.csw = (endUsage.ru_nvcsw + endUsage.ru_nivcsw) - (startUsage.ru_nvcsw + startUsage.ru_nivcsw);
        // The rate the recorders actually send, for the time back to live.
        probe.SetChannelRate((window.end.received - startTotals.received) / std::max(0.001, window.seconds)
                             / std::max(1, recorders * channelsEach));
        // An idle case runs no probe: nothing would keep the window thread busy.
        if (fps < 1) {
            finishProbing();
            return;
        }
        probe.StartMeasuring();
        QTimer::singleShot(kProbeSeconds * 1000, &app, finishProbing);
    };
    const auto startMeasuring = [&] {
        getrusage(RUSAGE_SELF, &startUsage);
        startTotals = Sum(sessions, recorders, channelsEach);
        wall.start();
        QTimer::singleShot(seconds * 1000, &app, finishMeasuring);
    };
    // Measuring starts a few seconds after every channel has received its first frame (the
    // favorite connects its recorders one after another), or after a minute at the latest.
    QTimer ready;
    QObject::connect(&ready, &QTimer::timeout, &app, [&] {
        bool all = localGrid == nullptr || localGrid->GetLocalDecodedCount() > 0;
        for (int r = 0; all && r < recorders; ++r) {
            RecorderSession* device = sessions.GetDevice(r);
            for (int ch = 0; all && ch < channelsEach; ++ch)
                all = device && device->GetLiveFigures(ch).received > 0;
        }
        if (all || sinceStart.elapsed() > 60000) {
            ready.stop();
            QTimer::singleShot(kWarmUpSeconds * 1000, &app, startMeasuring);
        }
    });
    ready.start(250);
    QTimer stallWait;
    if (stall) {
        // The parent stops the process for a second after the line above; the probe sees it.
        QObject::connect(&stallWait, &QTimer::timeout, &app, [&] {
            if (probe.BackToLiveMs() >= 0 || sinceStart.elapsed() > 180000) {
                stallWait.stop();
                std::printf("STALL %lld %lld %lld\n", probe.Stalled() ? probe.BackToLiveMs() : -1LL,
                            probe.PeakQueuedMs(), probe.CatchUpDecoded());
                std::fflush(stdout);
                app.quit();
            }
        });
        stallWait.start(50);
    }
    const int rc = app.exec();
    delete client;
    return rc;
}

// ---------------------------------------------------------------------------------------------
// The parent

bool WriteBooks(const QString& dir, const std::vector<int>& ports, int channelsEach)
{
    QFile book(dir + QStringLiteral("/sitebook.xml"));
    QFile favorites(dir + QStringLiteral("/favorites.xml"));
    if (!book.open(QIODevice::WriteOnly) || !favorites.open(QIODevice::WriteOnly))
        return false;
    QByteArray devices, names, channels;
    for (size_t r = 0; r < ports.size(); ++r) {
        devices += QStringLiteral(
                       " <device name=\"R%1\" addr=\"127.0.0.1\" port=\"%2\" id=\"admin\" password=\"1234\" "
                       "quality=\"2\" use_ssl=\"0\"/>\n")
                       .arg(r)
                       .arg(ports[r])
                       .toUtf8();
        for (int c = 0; c < channelsEach; ++c) {
            names += "R" + QByteArray::number(qulonglong(r)) + ';';
            channels += QByteArray::number(c) + ';';
        }
    }
    book.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n" + devices + "</zent>\n");
    const int cells = int(ports.size()) * channelsEach;
    if (cells > 0)
        favorites.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n"
                        " <favorites_item name=\"Bench\" cameomode=\""
                        + QByteArray::number(cells * 100) + "\" favoritesdevice=\"" + names
                        + "\" favoriteschannel=\"" + channels + "\" favoritesmode=\"autoConnectOn\"/>\n</zent>\n");
    else
        favorites.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n</zent>\n");
    return true;
}

struct Result
{
    bool ok = false;
    double cpu = 0, wall = 0;
    qint64 decoded = 0, received = 0, skipped = 0, ctxsw = 0, longestGapMs = 0;
    long rssKb = 0;
    qint64 backToLiveMs = -1, peakQueuedMs = 0, catchUpDecoded = 0;
    qint64 conversions = 0, compositions = 0;
    QSize cell;
};

// Processes that only spin, for as long as the object lives.
class Spinners
{
public:
    explicit Spinners(int count)
    {
        const pid_t parent = ::getpid();
        for (int i = 0; i < count; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                // Gone with the benchmark, also when it is interrupted.
                ::prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (::getppid() != parent)
                    ::_exit(0);
                for (volatile unsigned n = 0;; n = n + 1) {
                }
            }
            if (pid > 0)
                m_pids.push_back(pid);
        }
    }
    ~Spinners()
    {
        for (pid_t pid : m_pids) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    Spinners(const Spinners&) = delete;
    Spinners& operator=(const Spinners&) = delete;

private:
    std::vector<pid_t> m_pids;
};

Result RunCase(const QString& program, const QString& simulator, const QString& stream, const Case& c, int seconds,
               int spinners = 0)
{
    Result result;
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QProcess>> sims;
    std::vector<int> ports;
    const int channelsEach = c.local ? 0 : c.channels / std::max(1, c.recorders);
    for (int r = 0; r < c.recorders; ++r) {
        auto sim = std::make_unique<QProcess>();
        QStringList args{simulator, "--port", "0",     "--channels",          QString::number(channelsEach),
                         "--video", stream,   "--fps", QString::number(c.fps)};
        if (c.fixedRate)
            args << "--fixed-live-rate";
        sim->setStandardErrorFile(QProcess::nullDevice());
        sim->start(QStringLiteral("/usr/bin/python3"), args);
        sim->setReadChannel(QProcess::StandardOutput);
        if (!sim->waitForReadyRead(30000) || !sim->canReadLine())
            sim->waitForReadyRead(5000);
        const QByteArray line = sim->readLine().trimmed();
        if (!line.startsWith("LISTENING "))
            return result;
        ports.push_back(line.mid(10).toInt());
        sims.push_back(std::move(sim));
    }
    if (!WriteBooks(dir.path(), ports, channelsEach))
        return result;

    QProcess child;
    child.setWorkingDirectory(dir.path());
    child.setStandardErrorFile(QProcess::nullDevice());
    QStringList childArgs{"--child",
                          QString::number(c.recorders),
                          QString::number(channelsEach),
                          QString::number(c.fps),
                          QString::number(seconds),
                          c.stall ? "1" : "0"};
    if (c.local)
        childArgs << stream;
    child.start(program, childArgs);
    QByteArray out;
    bool stopped = false;
    std::unique_ptr<Spinners> busy;
    QElapsedTimer limit;
    limit.start();
    while (child.state() != QProcess::NotRunning
           && limit.elapsed() < (kWarmUpSeconds + kProbeSeconds + seconds + 240) * 1000) {
        child.waitForReadyRead(200);
        out += child.readAllStandardOutput();
        if (c.stall && out.contains("MEASURED") && !stopped) {
            stopped = true;
            if (spinners > 0) {
                busy = std::make_unique<Spinners>(spinners);
                ::usleep(1000 * 1000);
            }
            // At a random point of the stream's one-second groups of pictures: where the newest
            // key frame falls in the backlog decides how much of it must be decoded.
            ::usleep(useconds_t(QRandomGenerator::global()->bounded(1000)) * 1000);
            // One second without the client: nothing runs, everything the recorder sends waits.
            ::kill(pid_t(child.processId()), SIGSTOP);
            ::usleep(1000 * 1000);
            ::kill(pid_t(child.processId()), SIGCONT);
        }
    }
    busy.reset();
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished(5000);
    }
    out += child.readAllStandardOutput();
    for (auto& sim : sims) {
        sim->terminate();
        sim->waitForFinished(5000);
    }
    for (const QByteArray& line : out.split('\n')) {
        QTextStream in(line);
        QString word;
        in >> word;
        if (word == "MEASURED") {
            int cellWidth = 0;
            int cellHeight = 0;
            in >> result.cpu >> result.wall >> result.decoded >> result.received >> result.skipped >> result.ctxsw
                >> result.longestGapMs >> result.rssKb >> result.conversions >> result.compositions >> cellWidth
                >> cellHeight;
            result.cell = QSize(cellWidth, cellHeight);
            result.ok = true;
        } else if (word == "STALL") {
            in >> result.backToLiveMs >> result.peakQueuedMs >> result.catchUpDecoded;
        }
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 6 && QByteArray(argv[1]) == "--child")
        return RunChild(argc, argv);

    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 15;
    const int only = argc > 2 ? std::atoi(argv[2]) : 0;
    const int spinners = argc > 3 ? std::max(0, std::atoi(argv[3])) : 0;
    const QString program = QCoreApplication::applicationFilePath();
    const QString simulator = QStringLiteral(ZENT_SOURCE_DIR "/tools/dvrsim/dvrsim");
    const QString folder = QStringLiteral(ZENT_BINARY_DIR "/bench-streams");
    QDir().mkpath(folder);
    const QString stream = MakeStream(folder);
    if (stream.isEmpty()) {
        std::printf("ffmpeg could not make the stream\n");
        return 1;
    }
    const double reference = FfmpegCpuPerFrame(stream);
    if (reference <= 0) {
        std::printf("ffmpeg could not decode the stream\n");
        return 1;
    }
    std::printf("ffmpeg -threads 1: %.3f ms of processor time per D1 frame\n", reference * 1000);
    if (spinners > 0)
        std::printf("stall cases: %d processes spin from a second before the stall (%d processors)\n", spinners,
                    QThread::idealThreadCount());
    std::printf("\n");

    // An empty main window: the memory that is not the channels'.
    const Case empty{"no recorder", 0, 0, 30, true, false, false};
    const Result base = RunCase(program, simulator, stream, empty, 5);
    std::printf("%-30s %9s %9s %11s %8s %8s %9s %8s %8s %7s %8s %8s %8s %8s\n", "case", "cpu/frame", "vs decode",
                "vs dec+scale", "core", "csw/s", "dec/recv", "conv/dec", "comp/s", "ui max", "MB/ch", "to live",
                "peak q", "dec/ch");
    std::map<std::pair<int, int>, double> scaled; // ffmpeg decoding and scaling, by cell size
    for (const Case& c : kCases) {
        if (only > 0 && &c != &kCases[only - 1])
            continue;
        const Result r = RunCase(program, simulator, stream, c, seconds, c.stall ? spinners : 0);
        if (!r.ok || r.wall <= 0) {
            std::printf("%-30s the run failed\n", c.name);
            continue;
        }
        const double perFrame = r.decoded > 0 ? r.cpu / r.decoded : 0;
        char perFrameText[32] = "-";
        char ratio[32] = "-";
        char scaledRatio[32] = "-";
        if (r.decoded > 0) {
            std::snprintf(perFrameText, sizeof perFrameText, "%.3f ms", perFrame * 1000);
            std::snprintf(ratio, sizeof ratio, "%.2f x", perFrame / reference);
            if (r.cell.width() > 0 && r.cell.height() > 0) {
                const auto key = std::make_pair(r.cell.width(), r.cell.height());
                if (!scaled.count(key))
                    scaled[key] = FfmpegCpuPerFrame(stream, r.cell);
                if (scaled[key] > 0)
                    std::snprintf(scaledRatio, sizeof scaledRatio, "%.2f x %dx%d", perFrame / scaled[key],
                                  r.cell.width(), r.cell.height());
            }
        }
        char gap[32] = "-";
        if (c.fps >= 1)
            std::snprintf(gap, sizeof gap, "%lld ms", r.longestGapMs);
        char live[32] = "-";
        if (c.stall)
            std::snprintf(live, sizeof live, "%lld ms", r.backToLiveMs);
        char peak[32] = "-";
        if (c.stall)
            std::snprintf(peak, sizeof peak, "%lld ms", r.peakQueuedMs);
        // Frames each channel decoded on its way back to live.
        char catchUp[32] = "-";
        if (c.stall && r.backToLiveMs >= 0)
            std::snprintf(catchUp, sizeof catchUp, "%.1f", double(r.catchUpDecoded) / c.channels);
        const double mbPerChannel = base.ok ? (r.rssKb - base.rssKb) / 1024.0 / c.channels : 0;
        std::printf("%-30s %9s %9s %11s %7.1f%% %8.0f %9.3f %8.2f %8.1f %7s %8.1f %8s %8s %8s\n", c.name,
                    perFrameText, ratio, scaledRatio, 100 * r.cpu / r.wall, r.ctxsw / r.wall,
                    r.received > 0 ? double(r.decoded) / r.received : 0.0,
                    r.decoded > 0 ? double(r.conversions) / r.decoded : 0.0, r.compositions / r.wall, gap,
                    mbPerChannel, live, peak, catchUp);
        std::fflush(stdout);
    }
    return 0;
}
