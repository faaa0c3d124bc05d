// Start-up cost of a large site book: the main window is built in a fresh process on a program
// directory whose sitebook.xml holds N recorders, and the time to the first return to the event
// loop and the peak resident memory are compared with the same start on an empty book in the
// same run. Each size runs in a child process of its own, so one start's memory cannot hide in
// another's.
//
// Usage: sitebook_bench [recorders...]      (default: 1000 9999)
#include "shell/clientapp.h"
#include "shell/mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

bool WriteBook(const QString& dir, int recorders)
{
    QFile file(dir + QStringLiteral("/sitebook.xml"));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n");
    for (int i = 0; i < recorders; ++i) {
        QByteArray line = QStringLiteral(
                              "    <device name=\"Recorder %1\" addr=\"10.%2.%3.%4\" port=\"9000\" id=\"admin\" "
                              "password=\"1234\" emapPath=\"\" emapPos=\"\" quality=\"1\" use_ssl=\"0\"")
                              .arg(i)
                              .arg(i / 65536)
                              .arg(i / 256 % 256)
                              .arg(i % 256)
                              .toUtf8();
        for (int c = 0; c < 16; ++c)
            line += QByteArray(" emapCameraPath") + QByteArray::number(c) + "=\"\" emapCameraPos"
                    + QByteArray::number(c) + "=\"\"";
        file.write(line + "/>\n");
    }
    file.write("</zent>\n");
    return file.error() == QFileDevice::NoError;
}

// The child: builds the hub in the current directory and prints "<ms> <peak KB>".
int RunChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    QElapsedTimer clock;
    clock.start();
    auto* client = new ClientApp;
    QTimer::singleShot(0, &app, [&] {
        const qint64 ms = clock.elapsed();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("%lld %ld\n", static_cast<long long>(ms), usage.ru_maxrss);
        std::fflush(stdout);
        app.quit();
    });
    const int rc = app.exec();
    delete client;
    return rc;
}

struct Start
{
    double ms = 0;
    double peakMb = 0;
    bool ok = false;
};

Start RunStart(const QString& program, int recorders)
{
    Start start;
    QTemporaryDir dir;
    if (!dir.isValid() || !WriteBook(dir.path(), recorders))
        return start;
    QProcess child;
    child.setWorkingDirectory(dir.path());
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(program, {QStringLiteral("--child")});
    if (!child.waitForFinished(600000) || child.exitCode() != 0)
        return start;
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 2)
        return start;
    start.ms = fields[0].toDouble();
    start.peakMb = fields[1].toDouble() / 1024.0;
    start.ok = true;
    return start;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && QByteArray(argv[1]) == "--child")
        return RunChild(argc, argv);

    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << std::max(1, std::atoi(argv[i]));
    if (sizes.isEmpty())
        sizes = {1000, 9999};

    const QString program = QCoreApplication::applicationFilePath();
    const Start empty = RunStart(program, 0);
    if (!empty.ok) {
        std::fprintf(stderr, "sitebook_bench: the reference start on an empty book failed\n");
        return 1;
    }
    std::printf("empty book: %.0f ms, peak %.1f MB\n", empty.ms, empty.peakMb);
    for (int n : sizes) {
        const Start s = RunStart(program, n);
        if (!s.ok) {
            std::printf("%5d recorders: the start failed\n", n);
            continue;
        }
        std::printf("%5d recorders: %.0f ms (%.1f x the empty start), peak %.1f MB, %.1f KB per recorder\n", n,
                    s.ms, s.ms / std::max(1.0, empty.ms), s.peakMb, (s.peakMb - empty.peakMb) * 1024.0 / n);
    }
    return 0;
}
