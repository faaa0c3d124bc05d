// Recordings of live video on a disk that fills up (the live recording, the event backup): the
// recording ends at the first failed write and the user is told which recorder, which camera,
// which file and that the disk is full.
#include <QDirIterator>
#include <QFileInfo>
#include <QPushButton>

#include <gtest/gtest.h>

#include "backup/ceventbackup.h"
#include "backup/cmodulebackupevent.h"
#include "backup/listmodel.h"
#include "backup/support/backup_fixture.h"
#include "common/support/fulldisk.h"
#include "session/cameoroute.h"
#include "session/recordersession.h"

namespace {

class RecordingFailureTest : public BackupFixture
{
protected:
    // Shows the recorder's channel 1 in a grid cell: the session stops the live video of a channel
    // that no cell shows once its first picture is decoded, and with it what records it.
    static void ShowFirstChannel(RecorderSession* device)
    {
        CameoRoute* route = device->GetCameoRoute(0);
        ASSERT_TRUE(route);
        route->liveGrid = 0;
        route->liveCell = 0;
    }

    // The first video file of the recorder's recordings of a kind ("h<hhmmss>.001"), once it holds
    // data.
    QString VideoFile(const QString& kind = QStringLiteral("Record_Live")) const
    {
        QDirIterator it(ProgramPath(QStringLiteral("backup/") + kind), {QStringLiteral("h*.001")}, QDir::Files,
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
    RecorderSession* gate = AddSimRecorder(QStringLiteral("gate"), sim->Port());
    ASSERT_TRUE(Connect(gate, sim));
    ShowFirstChannel(gate);
    gate->SetLiveWanted(0, true);
    ASSERT_TRUE(gate->OnLiveStart(0));
    gate->ToggleRecord(0);
    ASSERT_TRUE(gate->IsRecordMarked(0));
    QString video;
    ASSERT_TRUE(WaitFor([&] { return !(video = VideoFile()).isEmpty(); }));
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

// A recorder reporting motion on channel 1 while the event backup records it: when its file
// stops taking data the row says "Disk full", never "Complete", the page stops, and one message
// names the recorder, the camera and the file.
TEST_F(RecordingFailureTest, EventBackupStopsAtTheFirstFailedWriteAndSaysWhichFile)
{
    DvrSimProcess* sim = StartSim({"--channels", "1", "--motion", "1"});
    ASSERT_TRUE(sim);
    RecorderSession* gate = AddSimRecorder(QStringLiteral("gate"), sim->Port());
    ASSERT_TRUE(Connect(gate, sim));
    ShowFirstChannel(gate);
    auto* host = dynamic_cast<CModuleBackupEvent*>(gate->GetEventBackupHost());
    ASSERT_TRUE(host);
    CEventBackup* page = host->Page();
    page->Form().channelButtons[0]->setChecked(true);
    page->WeekAll();
    page->OnClickedAdd();
    ListModel* model = page->Model();
    ASSERT_EQ(model->rowCount(), 1);
    QString video;
    ASSERT_TRUE(WaitFor([&] { return !(video = VideoFile(QStringLiteral("EventData"))).isEmpty(); }));
    hub->boxCalls.clear();
    ASSERT_TRUE(recordtest::MakeDiskFull(video));
    ASSERT_TRUE(WaitFor([&] { return !page->IsRunning(); }));
    EXPECT_EQ(model->Text(0, EventJobList::ColStatus), QStringLiteral("Disk full"));
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_EQ(page->Form().startButton->text(), QStringLiteral("Start"));
    EXPECT_FALSE(gate->IsEventRecordMarked(0));
    ASSERT_TRUE(WaitFor([&] { return !hub->boxCalls.isEmpty(); }));
    const QString told = hub->boxCalls.first();
    EXPECT_TRUE(told.startsWith(
        QStringLiteral("Event Backup|The event backup of gate camera 1 stopped: the disk is full.")))
        << told.toStdString();
    EXPECT_TRUE(told.contains(QDir::toNativeSeparators(video))) << told.toStdString();
    EXPECT_TRUE(told.endsWith(QStringLiteral("|stop"))) << told.toStdString();
    EXPECT_EQ(hub->boxCalls.size(), 1);
}

} // namespace
