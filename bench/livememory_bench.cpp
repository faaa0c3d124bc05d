// Memory of live video that a recorder controls: sixteen channels of one recorder shown in a
// 16-cell grid (the site book's favorite, opened by the auto-connect as an operator would have
// it), fed by the recorder simulator with three streams in turn: a D1 stream (the reference), a
// stream whose pictures exceed the largest size decoded (refused), and key frames only at the
// largest size (large frames that pile up when decoding falls behind). Each case runs in a child
// process of its own; the figure is its peak resident memory, compared with the reference's.
//
// Usage: livememory_bench [seconds per case]     (default 30)
#include "shell/clientapp.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct Stream
{
    const char* name;
    int width;
    int height;
    int keyInterval; // 1: every frame a key frame
    int frames;
};

const Stream kStreams[] = {
    {"D1 704x480 (reference)", 704, 480, 30, 60},
    {"8192x4320, above the size limit", 8192, 4320, 30, 4},
    {"4096x2304 key frames only", 4096, 2304, 1, 10},
};

QString MakeStream(const QString& folder, const Stream& s)
{
    const QString path =
        QStringLiteral("%1/live-%2x%3-g%4.h264").arg(folder).arg(s.width).arg(s.height).arg(s.keyInterval);
    if (QFile::exists(path))
        return path;
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-hide_banner",
                  "-loglevel",
                  "error",
                  "-y",
                  "-f",
                  "lavfi",
                  "-i",
                  QStringLiteral("testsrc2=size=%1x%2:rate=30").arg(s.width).arg(s.height),
                  "-frames:v",
                  QString::number(s.frames),
                  "-c:v",
                  "libx264",
                  "-preset",
                  "ultrafast",
                  "-pix_fmt",
                  "yuv420p",
                  "-g",
                  QString::number(s.keyInterval),
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

bool WriteBooks(const QString& dir, int port)
{
    QFile book(dir + QStringLiteral("/sitebook.xml"));
    QFile favorites(dir + QStringLiteral("/favorites.xml"));
    if (!book.open(QIODevice::WriteOnly) || !favorites.open(QIODevice::WriteOnly))
        return false;
    book.write(
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n"
                       " <device name=\"Bench\" addr=\"127.0.0.1\" port=\"%1\" id=\"admin\" password=\"1234\" "
                       "quality=\"2\" use_ssl=\"0\"/>\n</zent>\n")
            .arg(port)
            .toUtf8());
    QByteArray names, channels;
    for (int c = 0; c < 16; ++c) {
        names += "Bench;";
        channels += QByteArray::number(c) + ';';
    }
    favorites.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n"
                    " <favorites_item name=\"All\" cameomode=\"1600\" favoritesdevice=\""
                    + names + "\" favoriteschannel=\"" + channels
                    + "\" favoritesmode=\"autoConnectOn\"/>\n</zent>\n");
    return true;
}

// The child: the main window in the current directory, for the given time; prints the peak
// resident memory in KB.
int RunChild(int argc, char** argv, int seconds)
{
    QApplication app(argc, argv);
    auto* client = new ClientApp;
    QTimer::singleShot(seconds * 1000, &app, [&] {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%ld\n", usage.ru_maxrss);
        std::fflush(stdout);
        app.quit();
    });
    const int rc = app.exec();
    delete client;
    return rc;
}

// Peak resident memory in MB of one case, or a negative value when it could not run.
double RunCase(const QString& program, const QString& simulator, const QString& stream, int seconds)
{
    QTemporaryDir dir;
    QProcess sim;
    sim.start(QStringLiteral("/usr/bin/python3"),
              {simulator, "--port", "0", "--channels", "16", "--video", stream, "--fps", "30"});
    sim.setReadChannel(QProcess::StandardOutput);
    if (!sim.waitForReadyRead(30000) || !sim.canReadLine())
        sim.waitForReadyRead(5000);
    const QByteArray line = sim.readLine().trimmed();
    if (!line.startsWith("LISTENING "))
        return -1;
    if (!WriteBooks(dir.path(), line.mid(10).toInt()))
        return -1;
    QProcess child;
    child.setWorkingDirectory(dir.path());
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(program, {QStringLiteral("--child"), QString::number(seconds)});
    const bool finished = child.waitForFinished((seconds + 120) * 1000);
    sim.terminate();
    sim.waitForFinished(5000);
    if (!finished || child.exitCode() != 0)
        return -1;
    return child.readAllStandardOutput().trimmed().toDouble() / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && QByteArray(argv[1]) == "--child")
        return RunChild(argc, argv, std::max(1, std::atoi(argv[2])));

    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 30;
    const QString program = QCoreApplication::applicationFilePath();
    const QString simulator = QStringLiteral(ZENT_SOURCE_DIR "/tools/dvrsim/dvrsim");
    const QString folder = QStringLiteral(ZENT_BINARY_DIR "/bench-streams");
    QDir().mkpath(folder);

    double reference = 0;
    for (const Stream& s : kStreams) {
        const QString stream = MakeStream(folder, s);
        if (stream.isEmpty()) {
            std::printf("%-34s ffmpeg could not make the stream\n", s.name);
            continue;
        }
        const double peak = RunCase(program, simulator, stream, seconds);
        if (peak < 0) {
            std::printf("%-34s the run failed\n", s.name);
            continue;
        }
        if (reference == 0)
            reference = peak;
        std::printf("%-34s peak %7.1f MB  (%.2f x the reference)\n", s.name, peak, peak / reference);
        std::fflush(stdout);
    }
    return 0;
}
