// A recording of live video on a disk that fills up: the recording ends at the first failed
// write and the user is told which recorder, which camera, which file and that the disk is full.
#include <QDirIterator>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "backup/support/backup_fixture.h"
#include "common/support/fulldisk.h"
#include "session/moduledevice.h"

namespace {

class RecordingFailureTest : public BackupFixture
{
protected:
    // The first video file of the recorder's live recordings ("h<hhmmss>.001"), once it holds data.
    QString LiveVideoFile() const
    {
        QDirIterator it(ProgramPath(QStringLiteral("backup/Record_Live")), {QStringLiteral("h*.001")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (QFileInfo(path).size() > 0)
                return path;
        }
        return QString();
    }
};

TEST_F(RecordingFailureTest, LiveRecordingStopsAtTheFirstFailedWriteAndSaysWhichFile)
{
    DvrSimProcess* sim = StartSim({"--channels", "1"});
    ASSERT_TRUE(sim);
    CModuleDevice* gate = AddSimRecorder(QStringLiteral("gate"), sim->Port());
    ASSERT_TRUE(Connect(gate, sim));
    gate->SetLiveWanted(0, true);
    ASSERT_TRUE(gate->OnLiveStart(0));
    gate->ToggleRecord(0);
    ASSERT_TRUE(gate->IsRecordMarked(0));
    QString video;
    ASSERT_TRUE(WaitFor([&] { return !(video = LiveVideoFile()).isEmpty(); }));
    hub->boxCalls.clear();
    ASSERT_TRUE(recordtest::MakeDiskFull(video));
    ASSERT_TRUE(WaitFor([&] { return !gate->IsRecordMarked(0); }));
    ASSERT_TRUE(WaitFor([&] { return !hub->boxCalls.isEmpty(); }));
    const QString told = hub->boxCalls.first();
    EXPECT_TRUE(
        told.startsWith(QStringLiteral("Record|The recording of gate camera 1 stopped: the disk is full.")))
        << told.toStdString();
    EXPECT_TRUE(told.contains(QDir::toNativeSeparators(video))) << told.toStdString();
    EXPECT_TRUE(told.endsWith(QStringLiteral("|stop"))) << told.toStdString();
    EXPECT_EQ(hub->boxCalls.size(), 1);
}

} // namespace
