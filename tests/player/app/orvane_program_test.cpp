// The real backup player program, started as the client starts it: a recording that the
// client's own writer made from a recorder's live video (each access unit inside the recorder's
// frame payload), in a folder whose name holds a blank and letters outside ASCII, handed to the
// running player by a second start through the client's process starter. The running player
// opens it and shows its first picture: each shown picture's mean colour (from the player's
// debug lines) is that of ffmpeg's decode of a picture of the same second.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "common/media/modulerecord.h"
#include "common/support/decoder_streams.h"
#include "platform/process.h"
#include "player/support/recorderpayload.h"

namespace {

constexpr int kFrames = 30;
constexpr int kRate = 10; // frames a second in the recording
constexpr int kDate = 20261210;
constexpr int kStart = 120000;
// How far a shown picture's mean may lie from ffmpeg's, per colour (the player converts to RGB
// itself, so the two differ by rounding, not by picture).
constexpr int kMeanTolerance = 6;

QString ProgramFolder()
{
    return QStringLiteral(ZENT_BINARY_DIR "/bin");
}

QProcessEnvironment Environment(const QTemporaryDir& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_RUNTIME_DIR", home.filePath("run"));
    env.insert("XDG_DATA_HOME", home.filePath("data"));
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    env.insert("QT_LOGGING_RULES", "orvane.ui.debug=true");
    env.insert("ORVANE_NO_EXIT_QUESTION", "1");
    if (!env.contains("ASAN_OPTIONS"))
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
    return env;
}

// A process of this test, ended when the test ends.
struct OwnProcess
{
    QProcess process;
    ~OwnProcess()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(30000))
            process.kill();
        process.waitForFinished(30000);
    }
};

template <typename Done>
bool WaitFor(Done done, int limitMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs)
        QThread::msleep(20);
    return done();
}

using Colour = std::array<int, 3>;

Colour MeanOf(const QByteArray& rgb, int offset, int pixels)
{
    Colour sum{0, 0, 0};
    const auto* bytes = reinterpret_cast<const unsigned char*>(rgb.constData()) + offset;
    for (int i = 0; i < pixels; ++i) {
        for (int c = 0; c < 3; ++c)
            sum[c] += bytes[i * 3 + c];
    }
    return {sum[0] / pixels, sum[1] / pixels, sum[2] / pixels};
}

struct Shown
{
    int tile = -1;
    int width = 0;
    int height = 0;
    int date = 0;
    int time = 0;
    Colour mean{0, 0, 0};
};

QList<Shown> ShownPictures(const QString& log)
{
    static const QRegularExpression line(QStringLiteral(
        "tile (\\d+) shows (\\d+)x(\\d+) (\\d{8}) (\\d{6}) mean #([0-9a-f]{2})([0-9a-f]{2})([0-9a-f]{2})"));
    QList<Shown> shown;
    auto it = line.globalMatch(log);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        Shown s;
        s.tile = m.captured(1).toInt();
        s.width = m.captured(2).toInt();
        s.height = m.captured(3).toInt();
        s.date = m.captured(4).toInt();
        s.time = m.captured(5).toInt();
        for (int c = 0; c < 3; ++c)
            s.mean[c] = m.captured(6 + c).toInt(nullptr, 16);
        shown << s;
    }
    return shown;
}

} // namespace

TEST(OrvaneProgram, AClientRecordingHandedOverAsTheClientStartsThePlayerIsShown)
{
    const QString program = ProgramFolder() + "/orvane";
    ASSERT_TRUE(QFile::exists(program)) << "orvane is not built";
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    ASSERT_TRUE(QDir().mkpath(home.filePath("run")));
    QFile::setPermissions(home.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    const decoder_streams::Stream& stream = decoder_streams::Make(320, 240, kFrames, kRate, true);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QList<QByteArray> units = decoder_streams::Renumber(stream.frames,
                                                              decoder_streams::Numbering::FrameNum4Poc5);
    ASSERT_EQ(units.size(), kFrames);

    const QString folder = home.filePath(QStringLiteral("backup of Zoë/Ünïcode"));
    {
        ModuleRecord writer;
        writer.SetNoRefresh(true);
        ASSERT_TRUE(writer.StartRecord(2, kDate, kStart, folder, 0, ModuleRecord::RecordLive));
        for (int i = 0; i < kFrames; ++i) {
            const QByteArray payload = recorder_payload::Wrap(units[i]);
            ASSERT_FALSE(payload.isEmpty()) << "frame " << i;
            ASSERT_GT(writer.OnRecordData(2, kDate, kStart + i / kRate, i % kRate == 0 ? 1 : 0, 1,
                                          payload.constData(), payload.size(), 1, 0),
                      0);
        }
        writer.StopRecord(2);
    }
    const QString recording = folder + "/20261210/h120000.003";
    ASSERT_TRUE(QFile::exists(recording));

    OwnProcess first;
    first.process.setProcessEnvironment(Environment(home));
    first.process.setProcessChannelMode(QProcess::MergedChannels);
    first.process.start(program, {});
    ASSERT_TRUE(first.process.waitForStarted(30000));
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(home.filePath("run/orvane.socket")); }));

    // The second start is the client's: its process starter, the program as it names it, the
    // recording as one argument. It hands the path to the running player and ends by itself.
    const QProcessEnvironment env = Environment(home);
    for (const QString& key : env.keys())
        qputenv(key.toLocal8Bit(), env.value(key).toLocal8Bit());
    ASSERT_TRUE(platform::Process::StartDetached(QStringLiteral("Orvane.exe"), {recording}, ProgramFolder()));

    const QRegularExpression opened(QStringLiteral("tile (\\d+) opened \"") + QRegularExpression::escape(recording)
                                    + QLatin1Char('"'));
    QString log;
    QList<Shown> shown;
    int tile = -1;
    const auto readLog = [&] {
        first.process.waitForReadyRead(100);
        log += QString::fromUtf8(first.process.readAll());
        const QRegularExpressionMatch m = opened.match(log);
        if (!m.hasMatch())
            return false;
        tile = m.captured(1).toInt();
        // The opening shows the recording's first picture (a handed-over recording waits,
        // paused, for the user); the blank tiles around it show pictures of no date.
        shown.clear();
        for (const Shown& s : ShownPictures(log))
            if (s.tile == tile && s.date != 0)
                shown << s;
        return !shown.isEmpty();
    };
    ASSERT_TRUE(WaitFor(readLog)) << log.toStdString();

    const int pictureBytes = stream.width * stream.height * 3;
    ASSERT_EQ(stream.referenceRgb.size(), pictureBytes * kFrames);
    for (const Shown& s : shown) {
        EXPECT_EQ(s.width, 320);
        EXPECT_EQ(s.height, 240);
        EXPECT_EQ(s.date, kDate);
        ASSERT_GE(s.time, kStart);
        ASSERT_LT(s.time, kStart + kFrames / kRate);
        // Some picture of that second has this mean colour.
        const int second = s.time - kStart;
        int best = 256;
        for (int i = second * kRate; i < (second + 1) * kRate; ++i) {
            const Colour ref = MeanOf(stream.referenceRgb, i * pictureBytes, stream.width * stream.height);
            int worst = 0;
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(ref[c] - s.mean[c]));
            best = std::min(best, worst);
        }
        EXPECT_LE(best, kMeanTolerance)
            << "second " << second << " mean " << s.mean[0] << "," << s.mean[1] << "," << s.mean[2];
    }
}
