// The event backup jobs: the per-frame window test, adding with the overlap rule, progress
// reports, start and stop, and live video kept on exactly while some armed job wants it.
#include <QStringList>

#include <gtest/gtest.h>

#include "backup/backupitem.h"
#include "backup/eventbackupsession.h"
#include "backup/eventjoblist.h"
#include "backup/listmodel.h"

namespace {

constexpr int kMonday = 1 << 1;
constexpr int kAllDays = 0x7F;

class RecordingSession : public EventBackupSession
{
public:
    QString CameraTitle(int channel) const override { return QStringLiteral("CAM%1").arg(channel + 1); }
    void StartLive(int channel) override { calls << QStringLiteral("start %1").arg(channel); }
    void StopLive(int channel) override { calls << QStringLiteral("stop %1").arg(channel); }
    void ClearEventRecordMarks() override { calls << QStringLiteral("clear"); }
    QString RecorderName() const override { return QStringLiteral("gate"); }
    void ShowEventFailure(const QString& text) override { told << text; }
    QStringList calls;
    QStringList told;
};

class EventJobListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        jobs.SetupModel();
        jobs.SetRunning(true);
    }
    QString Status(int row) const { return model.Text(row, EventJobList::ColStatus); }
    int State(int row) const { return int(model.Item(row)->state); }
    bool Add(int days, quint32 channels, int begin, int end, bool answer = true)
    {
        return jobs.AddJobs(days, channels, begin, end, [this, answer] {
            ++questions;
            return answer;
        });
    }

    ListModel model;
    RecordingSession session;
    EventJobList jobs{model, session};
    int questions = 0;
};

TEST_F(EventJobListTest, WindowEndsAreInsideTheJob)
{
    ASSERT_TRUE(Add(kMonday, 1u << 2, 80000, 180000));
    const struct
    {
        int channel, time, weekDay;
        bool inside;
    } cases[] = {
        {2, 80000, 1, true},   {2, 180000, 1, true},  {2, 180001, 1, false}, {2, 75959, 1, false},
        {2, 120000, 2, false}, {1, 120000, 1, false}, {2, 120000, 7, false}, {2, 120000, -1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(jobs.IsBackupTime(c.channel, c.time, c.weekDay), c.inside) << c.channel << " " << c.time;
}

TEST_F(EventJobListTest, RowTextsAndOneRowPerChannelInOrder)
{
    ASSERT_TRUE(Add(kMonday | 1, (1u << 2) | 1u, 90000, 100000));
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.Text(0, EventJobList::ColChannel), QStringLiteral("Ch - 01 (CAM1)"));
    EXPECT_EQ(model.Text(1, EventJobList::ColChannel), QStringLiteral("Ch - 03 (CAM3)"));
    EXPECT_EQ(model.Text(0, EventJobList::ColWeek), QStringLiteral("Sun/Mon"));
    EXPECT_EQ(model.Text(0, EventJobList::ColBegin), QStringLiteral("09:00:00"));
    EXPECT_EQ(model.Text(0, EventJobList::ColEnd), QStringLiteral("10:00:00"));
    EXPECT_EQ(model.Text(0, EventJobList::ColStart), QStringLiteral("-"));
    EXPECT_EQ(model.Text(0, EventJobList::ColSize), QStringLiteral("-"));
    EXPECT_EQ(Status(0), QStringLiteral("Wait"));
    EXPECT_EQ(session.calls, QStringList({"start 0", "start 2"}));
}

TEST_F(EventJobListTest, RefusalsAreSilent)
{
    EXPECT_FALSE(Add(0, 1, 0, 10));
    EXPECT_FALSE(Add(kMonday, 0, 0, 10));
    EXPECT_FALSE(Add(kMonday, 1, 10, 10));
    EXPECT_FALSE(Add(kMonday, 1, 20, 10));
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(questions, 0);
}

TEST_F(EventJobListTest, OverlapRule)
{
    const struct
    {
        int listedBegin, listedEnd, begin, end;
        bool conflict;
    } cases[] = {
        {80000, 180000, 90000, 100000, false},  // strictly inside the listed window
        {120000, 140000, 100000, 120000, true}, // touching ends count
        {120000, 140000, 140000, 150000, true},  {120000, 140000, 110000, 130000, true},
        {120000, 140000, 100000, 110000, false}, {120000, 140000, 120000, 130000, true},
        {100000, 110000, 90000, 120000, true}, // the new window covers the listed one
    };
    for (const auto& c : cases) {
        model.Clear();
        questions = 0;
        ASSERT_TRUE(Add(kMonday, 1, c.listedBegin, c.listedEnd));
        Add(kMonday, 1, c.begin, c.end, false);
        EXPECT_EQ(questions, c.conflict ? 1 : 0) << c.begin << "-" << c.end;
        EXPECT_EQ(model.rowCount(), c.conflict ? 1 : 2) << c.begin << "-" << c.end;
    }
}

TEST_F(EventJobListTest, YesRemovesEveryConflictingRowAfterOneQuestion)
{
    ASSERT_TRUE(Add(kMonday, 1, 100000, 110000));
    ASSERT_TRUE(Add(kMonday, 1, 120000, 130000));
    ASSERT_TRUE(Add(kMonday, 2, 100000, 110000)); // another channel: no conflict
    ASSERT_TRUE(Add(kMonday, 1, 90000, 140000, true));
    EXPECT_EQ(questions, 1);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.Item(0)->channel, 1);
    EXPECT_EQ(model.Item(1)->begin, 90000);
}

TEST_F(EventJobListTest, NoLeavesTheTableUnchanged)
{
    ASSERT_TRUE(Add(kMonday, 1, 100000, 110000));
    EXPECT_FALSE(Add(kMonday, 3, 100000, 120000, false));
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.Item(0)->begin, 100000);
}

TEST_F(EventJobListTest, FullTableAddsNothingUnlessACompleteRowMakesRoom)
{
    for (int i = 0; i < 101; ++i) {
        ASSERT_TRUE(Add(kMonday, 1, 10 * i, 10 * i + 5));
    }
    ASSERT_EQ(model.rowCount(), 101);
    Add(kMonday, 1, 5000, 5005);
    EXPECT_EQ(model.rowCount(), 101);
    // An end report completes row 3; its re-armed copy takes the place of the first complete row.
    jobs.OnEventResult(0, 20260105, 32, 1, 4096);
    jobs.OnEventResult(0, 20260105, 32, 1, -1);
    EXPECT_EQ(model.rowCount(), 101);
    EXPECT_EQ(model.Item(100)->begin, 30);
    EXPECT_EQ(model.Item(100)->state, JobState::Wait);
}

TEST_F(EventJobListTest, ProgressReportsDriveTheRow)
{
    ASSERT_TRUE(Add(kMonday, 1, 80000, 180000));
    jobs.OnEventResult(0, 20260105, 93015, 1, 2048 * 1024);
    EXPECT_EQ(Status(0), QStringLiteral("Downloading"));
    EXPECT_EQ(model.Text(0, EventJobList::ColStart), QStringLiteral("2026/01/05  09:30:15"));
    EXPECT_EQ(model.Text(0, EventJobList::ColSize), QStringLiteral("2.00 MB"));
    EXPECT_EQ(model.Item(0)->startDate, 20260105);
    jobs.OnEventResult(0, 20260105, 93020, 1, 512 * 1024);
    EXPECT_EQ(model.Text(0, EventJobList::ColSize), QStringLiteral("512 KB"));
    // A report outside the window, or of another day, touches nothing.
    jobs.OnEventResult(0, 20260105, 190000, 1, 1);
    jobs.OnEventResult(0, 20260106, 93030, 2, 1);
    EXPECT_EQ(model.Text(0, EventJobList::ColSize), QStringLiteral("512 KB"));
    jobs.OnEventResult(0, 20260105, 93100, 1, -1);
    EXPECT_EQ(Status(0), QStringLiteral("Complete"));
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(Status(1), QStringLiteral("Wait"));
    EXPECT_EQ(model.Item(1)->begin, 80000);
    EXPECT_EQ(model.Item(1)->weekDays, kMonday);
}

// With a waiting row listed before the recording one, the end report closes the recording row.
TEST_F(EventJobListTest, EndReportTakesTheRecordingRowFirst)
{
    ASSERT_TRUE(Add(kMonday, 1, 80000, 90000));
    ASSERT_TRUE(Add(kMonday, 1, 100000, 110000));
    jobs.OnEventResult(0, 20260105, 103000, 1, 1024);
    ASSERT_EQ(State(1), int(JobState::Downloading));
    jobs.OnEventResult(0, 20260105, 103001, 1, -1);
    EXPECT_EQ(State(0), int(JobState::Wait));
    EXPECT_EQ(State(1), int(JobState::Complete));
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.Item(2)->begin, 100000);
}

// The first write that fails stops the page: its row says why, a row recording elsewhere is
// stopped (never complete), waiting rows stop, and the user is told once which file.
TEST_F(EventJobListTest, FailedWriteStopsThePageAndNeverShowsComplete)
{
    const struct
    {
        bool diskFull;
        const char* status;
        const char* text;
    } cases[] = {
        {true, "Disk full",
         "The event backup of gate camera 2 stopped: the disk is full. /b/h083000.002 could not "
         "be written."},
        {false, "Write failed",
         "The event backup of gate camera 2 stopped: /b/h083000.002 could not be written "
         "(Permission denied)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        jobs.Reset();
        jobs.SetRunning(true);
        session.told.clear();
        ASSERT_TRUE(Add(kMonday, 0b111, 80000, 90000));
        jobs.OnEventResult(0, 20260105, 83000, 1, 1024);
        jobs.OnEventResult(1, 20260105, 83000, 1, 1024);
        ModuleRecord::WriteFailure failure;
        failure.file = QStringLiteral("/b/h083000.002");
        failure.reason = QStringLiteral("Permission denied");
        failure.diskFull = c.diskFull;
        session.calls.clear();
        EXPECT_TRUE(jobs.OnWriteFailure(1, 83001, 1, failure));
        EXPECT_FALSE(jobs.IsRunning());
        EXPECT_EQ(Status(0), QStringLiteral("Stopped"));
        EXPECT_EQ(State(0), int(JobState::Failed));
        EXPECT_EQ(Status(1), QString::fromLatin1(c.status));
        EXPECT_EQ(State(1), int(JobState::Failed));
        EXPECT_EQ(Status(2), QStringLiteral("Stop"));
        ASSERT_EQ(model.rowCount(), 3);
        EXPECT_EQ(session.calls, QStringList({"stop 0", "stop 1", "stop 2"}));
        EXPECT_EQ(session.told, QStringList({QString::fromLatin1(c.text)}));
        for (int channel = 0; channel < 3; ++channel)
            EXPECT_FALSE(jobs.IsBackupTime(channel, 83002, 1));
        // A report of another channel's failure that was on its way changes nothing.
        EXPECT_FALSE(jobs.OnWriteFailure(0, 83001, 1, failure));
        EXPECT_EQ(Status(0), QStringLiteral("Stopped"));
        EXPECT_EQ(session.told.size(), 1);
    }
}

// A recording whose very first write fails leaves its waiting row failed too.
TEST_F(EventJobListTest, FailureBeforeTheFirstReportFailsTheWaitingRow)
{
    ASSERT_TRUE(Add(kMonday, 1, 80000, 90000));
    ModuleRecord::WriteFailure failure;
    failure.file = QStringLiteral("/b/ih083000.001");
    failure.diskFull = true;
    EXPECT_TRUE(jobs.OnWriteFailure(0, 83000, 1, failure));
    EXPECT_EQ(Status(0), QStringLiteral("Disk full"));
    EXPECT_EQ(model.rowCount(), 1);
    jobs.Start();
    EXPECT_EQ(Status(0), QStringLiteral("Disk full"));
}

// Live video of a channel stops only when no armed row of it is left.
TEST_F(EventJobListTest, RemovingOneOfTwoArmedRowsKeepsTheOtherArmed)
{
    ASSERT_TRUE(Add(kMonday, 1, 80000, 90000));
    ASSERT_TRUE(Add(kMonday, 1, 100000, 110000));
    EXPECT_EQ(session.calls, QStringList({"start 0"}));
    jobs.RemoveRow(0);
    EXPECT_EQ(session.calls, QStringList({"start 0"}));
    EXPECT_TRUE(jobs.IsLiveStarted(0));
    EXPECT_TRUE(jobs.IsBackupTime(0, 103000, 1));
    jobs.RemoveRow(0);
    EXPECT_EQ(session.calls, QStringList({"start 0", "stop 0"}));
    EXPECT_FALSE(jobs.IsLiveStarted(0));
}

TEST_F(EventJobListTest, StopAndStart)
{
    ASSERT_TRUE(Add(kMonday, 1, 80000, 90000));
    ASSERT_TRUE(Add(kMonday, 2, 80000, 90000));
    jobs.OnEventResult(1, 20260105, 83000, 1, 10);
    jobs.Stop();
    EXPECT_EQ(Status(0), QStringLiteral("Stop"));
    EXPECT_EQ(Status(1), QStringLiteral("Complete"));
    EXPECT_FALSE(jobs.IsBackupTime(0, 83000, 1));
    EXPECT_EQ(session.calls, QStringList({"start 0", "start 1", "stop 0", "stop 1"}));
    session.calls.clear();
    ASSERT_TRUE(Add(kMonday, 4, 80000, 90000));
    EXPECT_EQ(Status(2), QStringLiteral("Stop"));
    EXPECT_TRUE(session.calls.isEmpty());
    jobs.Start();
    EXPECT_EQ(Status(0), QStringLiteral("Wait"));
    EXPECT_EQ(Status(1), QStringLiteral("Complete"));
    EXPECT_EQ(Status(2), QStringLiteral("Wait"));
    EXPECT_EQ(session.calls, QStringList({"start 0", "start 2"}));
}

TEST_F(EventJobListTest, RemoveCompleteAndAll)
{
    ASSERT_TRUE(Add(kAllDays, 0x7, 80000, 90000));
    jobs.OnEventResult(1, 20260105, 83000, 1, 10);
    jobs.OnEventResult(1, 20260105, 83001, 1, -1);
    ASSERT_EQ(model.rowCount(), 4);
    jobs.RemoveCompleteRows();
    EXPECT_EQ(model.rowCount(), 3);
    session.calls.clear();
    jobs.RemoveAllRows();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(session.calls, QStringList({"stop 0", "stop 2", "stop 1"}));
}

} // namespace
