// The event and schedule backup windows of a logged-in recorder, against the simulator: made at
// the login, opened from the session, and writing what the recorder sends into the archive.
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonObject>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "backup/ceventbackup.h"
#include "backup/cmodulebackupevent.h"
#include "backup/cmodulebackupschedule.h"
#include "backup/cschedulebackup.h"
#include "backup/listmodel.h"
#include "backup/support/backup_fixture.h"
#include "session/backuphosts.h"
#include "session/recordersession.h"

namespace {

class BackupPagesTest : public BackupFixture
{
protected:
    RecorderSession* ConnectedGate(const QStringList& options)
    {
        sim = StartSim(QStringList{"--channels", "2"} + options);
        if (!sim)
            return nullptr;
        RecorderSession* gate = AddSimRecorder(QStringLiteral("gate"), sim->Port());
        return Connect(gate, sim) ? gate : nullptr;
    }
    // Files below a folder of the program directory, by name.
    QStringList FilesUnder(const QString& relative) const
    {
        QStringList names;
        QDirIterator it(ProgramPath(relative), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            names << it.fileName();
        }
        names.sort();
        return names;
    }

    DvrSimProcess* sim = nullptr;
};

TEST_F(BackupPagesTest, WindowsAreMadeAtLoginAndShownFromTheSession)
{
    RecorderSession* gate = ConnectedGate({});
    ASSERT_TRUE(gate);
    auto* event = dynamic_cast<CModuleBackupEvent*>(gate->GetEventBackupHost());
    auto* schedule = dynamic_cast<CModuleBackupSchedule*>(gate->GetScheduleBackupHost());
    ASSERT_TRUE(event);
    ASSERT_TRUE(schedule);
    EXPECT_TRUE(event->IsRunning());
    EXPECT_TRUE(event->Page()->Form().channelButtons[1]->isEnabled());
    EXPECT_FALSE(event->Page()->Form().channelButtons[2]->isEnabled());
    gate->ShowEventBackup();
    gate->ShowScheduleBackup();
    EXPECT_TRUE(event->isVisible());
    EXPECT_EQ(event->windowTitle(), QStringLiteral("Event Backup - gate"));
    EXPECT_EQ(schedule->windowTitle(), QStringLiteral("Schedule Backup - gate"));
    // Open backup windows never keep the program running after the main window has closed.
    EXPECT_FALSE(event->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_FALSE(schedule->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_EQ(event->Page()->Model()->columnCount(), 7);
    EXPECT_EQ(schedule->Page()->Model()->columnCount(), 8);
}

// A recorder that reports motion on channel 1: a job over the whole week records its live video
// into the event archive, and stopping the page completes the row.
TEST_F(BackupPagesTest, EventBackupRecordsLiveVideoWhileMotionIsReported)
{
    RecorderSession* gate = ConnectedGate({"--motion", "1"});
    ASSERT_TRUE(gate);
    auto* host = dynamic_cast<CModuleBackupEvent*>(gate->GetEventBackupHost());
    ASSERT_TRUE(host);
    CEventBackup* page = host->Page();
    page->Form().channelButtons[0]->setChecked(true);
    page->WeekAll();
    page->OnClickedAdd();
    ASSERT_EQ(page->Model()->rowCount(), 1);
    ListModel* model = page->Model();
    ASSERT_TRUE(WaitFor([&] {
        return model->Text(0, 6) == QStringLiteral("Downloading") && model->Text(0, 5) != QStringLiteral("-")
               && model->Text(0, 5) != QStringLiteral("0 KB");
    }));
    EXPECT_NE(model->Text(0, 4), QStringLiteral("-"));
    EXPECT_TRUE(gate->IsEventRecordMarked(0));
    const QStringList files = FilesUnder(QStringLiteral("backup/EventData/gate"));
    EXPECT_FALSE(files.filter(QRegularExpression(QStringLiteral("^h\\d{6}\\.001$"))).isEmpty())
        << files.join(' ').toStdString();
    EXPECT_TRUE(files.filter(QStringLiteral(".002")).isEmpty()) << files.join(' ').toStdString();
    page->StartBackup();
    EXPECT_EQ(model->Text(0, 6), QStringLiteral("Complete"));
    EXPECT_EQ(page->Form().startButton->text(), QStringLiteral("Start"));
}

// A job due at noon on the day after the recording fetches that day's first seconds over the
// recorder's live connection into the schedule archive.
TEST_F(BackupPagesTest, ScheduleBackupFetchesYesterdayAtItsTime)
{
    RecorderSession* gate = ConnectedGate(
        {"--record-date", "20261207", "--record-start", "000000", "--record-end", "000010"});
    ASSERT_TRUE(gate);
    auto* host = dynamic_cast<CModuleBackupSchedule*>(gate->GetScheduleBackupHost());
    ASSERT_TRUE(host);
    CScheduleBackup* page = host->Page();
    QDateTime now(QDate(2026, 12, 8), QTime(11, 59, 59));
    page->Jobs().SetClock([&now] { return now; });
    ASSERT_TRUE(page->Jobs().AddJobs(0x7F, 1, 0, 2, 120000, [] { return true; }));
    page->OnWakeupTimer();
    now = now.addSecs(1);
    page->OnWakeupTimer();
    ASSERT_TRUE(page->Jobs().IsBusy());
    ListModel* model = page->Model();
    ASSERT_TRUE(WaitFor([&] { return !page->Jobs().IsBusy(); }));
    EXPECT_EQ(model->Text(0, 7), QStringLiteral("Complete"));
    EXPECT_EQ(model->Text(0, 4), QStringLiteral("2026/12/07"));
    EXPECT_EQ(model->Text(1, 7), QStringLiteral("Wait"));
    const QList<QJsonObject> plays = sim->Events(QStringLiteral("playback"));
    ASSERT_FALSE(plays.isEmpty());
    EXPECT_EQ(plays.first().value("date").toInt(), 20261207);
    EXPECT_EQ(plays.first().value("mask").toInt(), 1);
    EXPECT_EQ(plays.first().value("time").toInt(), 0);
    const QStringList files = FilesUnder(QStringLiteral("backup/ScheduleData/gate/20261207"));
    EXPECT_EQ(files, QStringList({"h000000.001", "ih000000.001"}));
}

} // namespace
