// The real backup player program, started as the client starts it: a recording that the
// client's own writer made from a recorder's live video (each access unit inside the recorder's
// frame payload), in a folder whose name holds a blank and letters outside ASCII, handed to the
// running player by a second start through the client's process starter. The running player
// opens it and shows its first picture: each shown picture's mean colour (from the player's
// debug lines) is that of ffmpeg's decode of a picture of the same second.
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "common/support/decoder_streams.h"
#include "platform/process.h"
#include "player/support/orvaneprogram.h"

using namespace orvane_program;

namespace {

constexpr int kFrames = 30;
constexpr int kRate = 10; // frames a second in the recording
constexpr int kDate = 20261210;
constexpr int kStart = 120000;

} // namespace

TEST(OrvaneProgram, AClientRecordingHandedOverAsTheClientStartsThePlayerIsShown)
{
    ASSERT_TRUE(QFile::exists(Program())) << "orvane is not built";
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());

    const decoder_streams::Stream& stream = decoder_streams::Make(320, 240, kFrames, kRate, true);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QList<QByteArray> units = decoder_streams::Renumber(stream.frames,
                                                              decoder_streams::Numbering::FrameNum4Poc5);
    ASSERT_EQ(units.size(), kFrames);
    QString error;
    const QString recording = WriteClientRecording(home.filePath(QStringLiteral("backup of Zoë/Ünïcode")), units,
                                                   2, kDate, kStart, kRate, error);
    ASSERT_FALSE(recording.isEmpty()) << error.toStdString();
    ASSERT_TRUE(recording.endsWith(QStringLiteral("/20261210/h120000.003"))) << recording.toStdString();

    const QProcessEnvironment env = Environment(home.path());
    OwnProcess first;
    first.process.setProcessEnvironment(env);
    first.process.setProcessChannelMode(QProcess::MergedChannels);
    first.process.start(Program(), {});
    ASSERT_TRUE(first.process.waitForStarted(30000));
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(SocketPath(home.path())); }));

    // The second start is the client's: its process starter, the program as it names it, the
    // recording as one argument. It hands the path to the running player and ends by itself.
    const ProcessEnvironment asThePlayerRuns(env);
    ASSERT_TRUE(platform::Process::StartDetached(QStringLiteral("Orvane.exe"), {recording}, ProgramFolder()));

    QString log;
    QList<Shown> shown;
    // The opening shows the recording's first picture, paused, in the tile that opened it.
    const auto readLog = [&] {
        first.process.waitForReadyRead(100);
        log += QString::fromUtf8(first.process.readAll());
        shown = ShownForRecording(log, recording);
        return !shown.isEmpty();
    };
    ASSERT_TRUE(WaitFor(readLog)) << log.toStdString();
    const QStringList faults = ShownFaults(shown, stream, kDate, kStart, kRate);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QStringLiteral("\n")).toStdString();
}
