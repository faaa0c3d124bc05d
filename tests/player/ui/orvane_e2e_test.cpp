// The real program: a recording written by the client's own writer, a first start that keeps
// running, and a second start that hands the recording's path over and ends once the running
// player has opened it.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "common/media/modulerecord.h"
#include "common/support/decoder_streams.h"

namespace {

QString Program()
{
    return QStringLiteral(ZENT_BINARY_DIR "/bin/orvane");
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
    // Under the sanitizers the program's exit code is its own, not a report of Qt's leaks at exit.
    if (!env.contains("ASAN_OPTIONS"))
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
    return env;
}

template <typename Done>
bool WaitFor(Done done, int limitMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs)
        QThread::msleep(20);
    return done();
}

// A one-channel recording of a few seconds in the client layout; the data file's path.
QString WriteRecording(const QString& folder)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(160, 120, 30, 10);
    if (!stream.error.isEmpty())
        return QString();
    ModuleRecord writer;
    const int date = 20261210;
    const int start = 120000;
    if (!writer.StartRecord(2, date, start, folder, 0, ModuleRecord::RecordLive))
        return QString();
    for (int i = 0; i < stream.frames.size(); ++i) {
        const QByteArray& f = stream.frames[i];
        writer.OnRecordData(2, date, start + i / 10, i % 10 == 0 ? 1 : 2, 2, f.constData(), f.size(), 1, 0);
    }
    writer.StopRecord(2);
    return folder + "/20261210/h120000.003";
}

} // namespace

TEST(OrvaneProgram, SecondStartHandsItsPathToTheRunningPlayer)
{
    if (!QFile::exists(Program()))
        GTEST_SKIP() << "orvane is not built";
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    ASSERT_TRUE(QDir().mkpath(home.filePath("run")));
    QFile::setPermissions(home.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString recording = WriteRecording(home.filePath("rec"));
    ASSERT_FALSE(recording.isEmpty());
    ASSERT_TRUE(QFile::exists(recording));

    QProcess first;
    first.setProcessEnvironment(Environment(home));
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(Program(), {});
    ASSERT_TRUE(first.waitForStarted(30000));
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(home.filePath("run/orvane.socket")); }));

    QProcess second;
    second.setProcessEnvironment(Environment(home));
    second.start(Program(), {recording});
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(second.exitCode(), 0);

    // The running player reports the open before it answers the hand-over's last record, so the
    // line is in its output pipe by the time the second start has ended.
    const QString opened = "tile 0 opened \"" + recording + "\"";
    QString log = QString::fromUtf8(first.readAll());
    while (first.waitForReadyRead(0))
        log += QString::fromUtf8(first.readAll());
    EXPECT_TRUE(log.contains(opened)) << "the second start ended before the path was opened:\n"
                                      << log.toStdString();
    WaitFor([&] {
        first.waitForReadyRead(100);
        log += QString::fromUtf8(first.readAll());
        return log.contains(opened);
    });
    EXPECT_TRUE(log.contains(opened)) << log.toStdString();

    // The carried decoder library was written out of the program file into its drive folder.
    EXPECT_EQ(QFileInfo(home.filePath("data/drives/c/Player/KRO_SDK_H264_Dec.dll")).size(), 524288);
    EXPECT_FALSE(QFile::exists(home.filePath("data/drives/c/Player/XviD_Codec.exe")));
    // A start without a path only raises the running player and ends.
    QProcess bare;
    bare.setProcessEnvironment(Environment(home));
    bare.start(Program(), {});
    ASSERT_TRUE(bare.waitForFinished(60000));
    EXPECT_EQ(bare.exitCode(), 0);

    // The file types were written into the data folder at start.
    EXPECT_TRUE(QFile::exists(home.filePath("data/applications/orvane.desktop")));
    EXPECT_TRUE(QFile::exists(home.filePath("data/mime/packages/orvane.xml")));

    first.terminate();
    if (!first.waitForFinished(30000))
        first.kill();
    first.waitForFinished(30000);

    // With the player gone, a start without a running player is the running one itself.
    QProcess alone;
    alone.setProcessEnvironment(Environment(home));
    alone.start(Program(), {});
    ASSERT_TRUE(alone.waitForStarted(30000));
    EXPECT_TRUE(WaitFor([&] { return QFile::exists(home.filePath("run/orvane.socket")); }));
    EXPECT_EQ(alone.state(), QProcess::Running);
    alone.terminate();
    if (!alone.waitForFinished(30000))
        alone.kill();
}
