// A recording made by the client and played by the backup player, end to end: the client's own
// writer records a recorder's live video into the recorder's folder, the site book lists it
// under the recorder, and a double click on it starts the real player program through the
// client's process starter. A player already runs offscreen (a process of this test), so the
// started one hands the path over to it and ends; the running player opens the recording and
// reports each picture it shows, which must be ffmpeg's decode of the same second.
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItemIterator>

#include "common/support/decoder_streams.h"
#include "player/support/orvaneprogram.h"
#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "shell/support/sitebook_shellfixture.h"

using namespace orvane_program;

namespace {

constexpr int kFrames = 30;
constexpr int kRate = 10; // frames a second in the recording
constexpr int kDate = 20261210;
constexpr int kStart = 120000;
constexpr int kChannel = 2;  // the third camera: the recording ends in ".003"
constexpr int kLiveKind = 2; // the archive refresh's number for the live recordings

QTreeWidgetItem* RecordingItem(QTreeWidgetItem* under, const QString& path)
{
    for (QTreeWidgetItemIterator it(under->treeWidget()); *it; ++it) {
        const SiteBook* record = SiteBook::FromItem(*it);
        if (record && record->kind == QLatin1String("archiveData") && record->path == path)
            return *it;
    }
    return nullptr;
}

class SiteBookPlayerTest : public OnMainWindow<SiteBookTreeTest>
{};

} // namespace

TEST_F(SiteBookPlayerTest, ADoubleClickedClientRecordingIsShownByThePlayer)
{
    ASSERT_TRUE(QFile::exists(Program())) << "orvane is not built";
    // The player lies in the client's program directory, as the two are installed.
    ASSERT_TRUE(QFile::link(Program(), programDir.filePath(QStringLiteral("orvane"))));
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());

    const decoder_streams::Stream& stream = decoder_streams::Make(320, 240, kFrames, kRate, true);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QList<QByteArray> units = decoder_streams::Renumber(stream.frames,
                                                              decoder_streams::Numbering::FrameNum4Poc5);
    ASSERT_EQ(units.size(), kFrames);

    // A recorder whose name holds a blank and letters outside ASCII; the client's writer records
    // into its live recording folder, and the book lists what is there.
    CModuleDevice* gate = AddRecorder(QStringLiteral("Gate Zoë"));
    tree->AddRecorderChildren(gate);
    QString error;
    const QString recording = WriteClientRecording(gate->RecordingFolder(QStringLiteral("Record_Live")), units,
                                                   kChannel, kDate, kStart, kRate, error);
    ASSERT_FALSE(recording.isEmpty()) << error.toStdString();
    // The client refreshes the recorder's live recordings once a recording has ended.
    gate->UpdateArchiveItems(nullptr, kLiveKind);
    QTreeWidgetItem* item = RecordingItem(gate, recording);
    ASSERT_NE(item, nullptr) << "the book lists " << recording.toStdString();

    const QProcessEnvironment env = Environment(home.path());
    OwnProcess running;
    running.process.setProcessEnvironment(env);
    running.process.setProcessChannelMode(QProcess::MergedChannels);
    running.process.start(Program(), {});
    ASSERT_TRUE(running.process.waitForStarted(30000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(SocketPath(home.path())); }, 60000));

    // The player the client starts runs in the same offscreen home.
    const ProcessEnvironment asThePlayerRuns(env);
    tree->resize(400, 400);
    tree->show();
    tree->expandAll();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tree.get()));
    tree->scrollToItem(item);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, tree->visualItemRect(item).center());

    QString log;
    QList<Shown> shown;
    // The opening shows the recording's first picture, paused, in the tile that opened it.
    const auto readLog = [&] {
        log += QString::fromUtf8(running.process.readAll());
        shown = ShownForRecording(log, recording);
        return !shown.isEmpty();
    };
    ASSERT_TRUE(QTest::qWaitFor(readLog, 60000)) << log.toStdString();
    EXPECT_TRUE(tree->PendingPlayerCommand().isEmpty());
    const QStringList faults = ShownFaults(shown, stream, kDate, kStart, kRate);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QStringLiteral("\n")).toStdString();
}
