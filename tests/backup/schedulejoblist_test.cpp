// The schedule backup jobs with a clock of the test's own: when a job falls due, which request
// goes out, what the frames of the download do to the rows and the files, and how a download
// ends.
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

#include <gtest/gtest.h>

#include "common/support/fulldisk.h"

#include "backup/backupitem.h"
#include "backup/listmodel.h"
#include "backup/schedulebackupsession.h"
#include "backup/schedulejoblist.h"

namespace {

constexpr int kTuesday = 1 << 2;
constexpr int kAllDays = 0x7F;

class RecordingSession : public ScheduleBackupSession
{
public:
    QString CameraTitle(int channel) const override { return QStringLiteral("CAM%1").arg(channel + 1); }
    QString RecorderName() const override { return QStringLiteral("gate"); }
    void ShowFailure(const QString& text) override { failures << text; }
    QStringList failures;
    void SendBackupPlaybackCtrl(int requestNumber, quint16 channelMask, int date, int begin, char* buffer) override
    {
        buffers.push_back(buffer);
        calls << QStringLiteral("play %1 mask %2 date %3 from %4")
                     .arg(requestNumber)
                     .arg(channelMask)
                     .arg(date)
                     .arg(begin);
    }
    void SendBackupPlaybackStop(char*) override { calls << QStringLiteral("stop"); }
    QStringList Plays() const { return calls.filter(QStringLiteral("play")); }
    QStringList calls;
    std::vector<char*> buffers; // the receive buffer each play request gave
};

class ScheduleJobListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        jobs.SetupModel();
        jobs.SetDestination(folder.path() + QStringLiteral("/gate/"), -1);
        jobs.SetClock([this] { return now; });
        jobs.Reset();
    }
    // Tuesday 2026-12-08 at the given time.
    static QDateTime Tuesday(int h, int m, int s) { return QDateTime(QDate(2026, 12, 8), QTime(h, m, s)); }
    void At(const QDateTime& moment)
    {
        now = moment;
        jobs.OnWakeupTimer();
    }
    bool Add(int days, quint32 channels, int begin, int end, int download)
    {
        return jobs.AddJobs(days, channels, begin, end, download, [] { return true; });
    }
    QString Status(int row) const { return model.Text(row, ScheduleJobList::ColStatus); }
    // A video frame of the running download; its bytes are a marker of the frame.
    void Frame(int channel, int time, int size = 100, bool key = true)
    {
        std::fill(jobs.FrameBuffer(), jobs.FrameBuffer() + size, char(0x40 + channel));
        jobs.OnRecvPlaybackVideo(channel, size, 0, 20261207, time, jobs.RequestNumber(), key, key ? 1 : 0, 0);
    }

    QTemporaryDir folder;
    QDateTime now;
    ListModel model;
    RecordingSession session;
    ScheduleJobList jobs{model, session};
};

TEST_F(ScheduleJobListTest, RowTexts)
{
    ASSERT_TRUE(Add(kTuesday, 1u << 4, 10000, 20000, 20000));
    ASSERT_EQ(model.rowCount(), 1);
    const QStringList want{"Ch - 05 (CAM5)", "Tue", "01:00:00", "02:00:00", "-", "02:00:00", "-", "Wait"};
    for (int c = 0; c < ScheduleJobList::kColumns; ++c)
        EXPECT_EQ(model.Text(0, c), want[c]) << c;
}

TEST_F(ScheduleJobListTest, DueExactlyAtTheDownloadStartOnItsDay)
{
    ASSERT_TRUE(Add(kTuesday, 1, 0, 235959, 20000));
    At(Tuesday(1, 59, 59));
    EXPECT_TRUE(session.Plays().isEmpty());
    At(Tuesday(2, 0, 0));
    EXPECT_EQ(session.Plays(), QStringList({"play 1 mask 1 date 20261207 from 0"}));
    EXPECT_TRUE(jobs.IsBusy());
}

// A recorder's page that never downloads keeps no frame buffer (it is several megabytes, and
// every recorder has a page from its first login on); the first download gets one.
TEST_F(ScheduleJobListTest, TheFrameBufferIsMadeForTheFirstDownload)
{
    ASSERT_TRUE(Add(kTuesday, 1, 0, 235959, 20000));
    At(Tuesday(1, 59, 59));
    EXPECT_FALSE(jobs.HasFrameBuffer()) << "armed with a job that is not due yet";
    At(Tuesday(2, 0, 0));
    ASSERT_EQ(session.buffers.size(), 1u);
    EXPECT_TRUE(jobs.HasFrameBuffer());
    EXPECT_NE(session.buffers[0], nullptr);
    EXPECT_EQ(session.buffers[0], jobs.FrameBuffer()) << "the frames arrive where the list reads them";
    // Every byte of the largest frame is writable.
    std::fill(session.buffers[0], session.buffers[0] + ScheduleJobList::kFrameBufferSize, char(1));
}

TEST_F(ScheduleJobListTest, NotOnOtherDays)
{
    ASSERT_TRUE(Add(kTuesday, 1, 0, 235959, 20000));
    At(QDateTime(QDate(2026, 12, 9), QTime(1, 59, 59)));
    At(QDateTime(QDate(2026, 12, 9), QTime(2, 0, 0)));
    EXPECT_TRUE(session.Plays().isEmpty());
}

// A timer that fires late still sees every second it passed over.
TEST_F(ScheduleJobListTest, ASlippedTimerMissesNoJob)
{
    ASSERT_TRUE(Add(kTuesday, 1, 0, 235959, 20000));
    At(Tuesday(1, 59, 58));
    At(Tuesday(2, 0, 3));
    EXPECT_EQ(session.Plays().size(), 1);
}

// The list wakes itself at the start of the second the next waiting job falls due, at most
// kLongestWakeupMs after a look, and not at all while no job waits.
TEST_F(ScheduleJobListTest, WakesAtTheNextDueSecondAndNotWhileNothingWaits)
{
    constexpr int kWednesday = 1 << 3;
    const QDateTime wednesday(QDate(2026, 12, 9), QTime(0, 0, 3));
    struct Case
    {
        const char* name;
        int days; // 0: no job
        int download;
        QDateTime look;
        int wantMs;
    };
    const Case cases[] = {
        {"no job", 0, 0, Tuesday(2, 59, 55).addMSecs(250), -1},
        {"due in under five seconds", kTuesday, 30000, Tuesday(2, 59, 55).addMSecs(250), 4750},
        {"due in the next second", kTuesday, 30000, Tuesday(2, 59, 59).addMSecs(900), 100},
        {"due in an hour", kTuesday, 30000, Tuesday(2, 0, 0).addMSecs(250),
         ScheduleJobList::kLongestWakeupMs - 250},
        {"due on another day", kWednesday, 30000, Tuesday(2, 59, 55).addMSecs(250),
         ScheduleJobList::kLongestWakeupMs - 250},
        {"due after midnight", kWednesday, 3, wednesday.addSecs(-5).addMSecs(500), 4500},
    };
    for (const Case& c : cases) {
        jobs.Reset();
        EXPECT_EQ(jobs.NextWakeupMs(), -1) << c.name;
        if (c.days != 0) {
            ASSERT_TRUE(Add(c.days, 1, 0, 235959, c.download)) << c.name;
            EXPECT_EQ(jobs.NextWakeupMs(), 1000) << c.name << ": a new job is looked at within a second";
        }
        At(c.look);
        EXPECT_EQ(jobs.NextWakeupMs(), c.wantMs) << c.name;
    }
    jobs.Stop();
    EXPECT_EQ(jobs.NextWakeupMs(), -1) << "stopped";
    jobs.Start();
    EXPECT_EQ(jobs.NextWakeupMs(), 1000) << "started again with a waiting job";
}

// Woken only by its own timer, the list starts a job at the start of its second, as a look every
// second would, and stops waking once no job waits.
TEST_F(ScheduleJobListTest, ItsOwnWakeupsStartAJobAtTheStartOfItsSecond)
{
    ASSERT_TRUE(Add(kTuesday, 1, 0, 10, 30000));
    now = Tuesday(2, 58, 0).addMSecs(300);
    int looks = 0;
    while (session.Plays().isEmpty() && looks < 1000) {
        ASSERT_GE(jobs.NextWakeupMs(), 0);
        now = now.addMSecs(jobs.NextWakeupMs()); // the timer fires
        jobs.OnWakeupTimer();
        ++looks;
    }
    EXPECT_EQ(now, Tuesday(3, 0, 0));
    EXPECT_LE(looks, 2 + 120 * 1000 / ScheduleJobList::kLongestWakeupMs);
    Frame(0, 11); // past the window: done, and next week's copy waits
    ASSERT_FALSE(jobs.IsBusy());
    ASSERT_EQ(Status(1), QStringLiteral("Wait"));
    EXPECT_EQ(jobs.NextWakeupMs(), 1000);
    jobs.RemoveAllRows();
    now = now.addSecs(1);
    jobs.OnWakeupTimer();
    EXPECT_EQ(jobs.NextWakeupMs(), -1);
}

// A job added after a stretch with no job waiting is due from then on: the seconds passed over
// while nothing waited are not caught up on.
TEST_F(ScheduleJobListTest, AJobAddedLaterDoesNotCatchUpOnEarlierSeconds)
{
    At(Tuesday(8, 0, 0));
    EXPECT_EQ(jobs.NextWakeupMs(), -1);
    ASSERT_TRUE(Add(kTuesday, 1u << 0, 0, 10, 100000)); // 10:00:00, passed at noon
    ASSERT_TRUE(Add(kTuesday, 1u << 1, 0, 10, 120001));
    At(Tuesday(12, 0, 1));
    EXPECT_EQ(session.Plays(), QStringList({"play 1 mask 2 date 20261207 from 0"}));
}

TEST_F(ScheduleJobListTest, JobsOfOneWindowShareOneRequest)
{
    ASSERT_TRUE(Add(kTuesday, (1u << 0) | (1u << 3), 10000, 20000, 30000));
    At(Tuesday(2, 59, 59));
    At(Tuesday(3, 0, 0));
    EXPECT_EQ(session.Plays(), QStringList({"play 1 mask 9 date 20261207 from 10000"}));
}

// Jobs due together with different windows are fetched one after the other, each with its own
// window; so are jobs that fall due while a download runs.
TEST_F(ScheduleJobListTest, OtherWindowsAndJobsDueWhileBusyWaitTheirTurn)
{
    ASSERT_TRUE(Add(kTuesday, 1u << 0, 10000, 10010, 30000));
    ASSERT_TRUE(Add(kTuesday, 1u << 1, 40000, 40010, 30000));
    ASSERT_TRUE(Add(kTuesday, 1u << 2, 50000, 50010, 30005));
    At(Tuesday(2, 59, 59));
    At(Tuesday(3, 0, 0));
    At(Tuesday(3, 0, 5));
    EXPECT_EQ(session.Plays(), QStringList({"play 1 mask 1 date 20261207 from 10000"}));
    EXPECT_EQ(Status(2), QStringLiteral("Wait"));
    Frame(0, 10005);
    Frame(0, 10011);
    EXPECT_EQ(session.Plays(),
              QStringList({"play 1 mask 1 date 20261207 from 10000", "play 3 mask 2 date 20261207 from 40000"}));
    Frame(1, 40011);
    Frame(2, 50011); // past the third window: that download ends too
    EXPECT_EQ(session.Plays().size(), 3);
    EXPECT_EQ(session.Plays().last(), QStringLiteral("play 5 mask 4 date 20261207 from 50000"));
}

TEST_F(ScheduleJobListTest, FramesWriteTheWindowAndTheEndClosesTheJob)
{
    ASSERT_TRUE(Add(kTuesday, 1u << 1, 10000, 10002, 20000));
    At(Tuesday(1, 59, 59));
    At(Tuesday(2, 0, 0));
    Frame(1, 5959); // before the window: skipped, the download goes on
    EXPECT_TRUE(jobs.IsBusy());
    EXPECT_EQ(Status(0), QStringLiteral("Wait"));
    Frame(1, 10000);
    EXPECT_EQ(Status(0), QStringLiteral("Downloading"));
    EXPECT_EQ(model.Text(0, ScheduleJobList::ColDate), QStringLiteral("2026/12/07"));
    Frame(1, 10001, 2048);
    EXPECT_EQ(model.Text(0, ScheduleJobList::ColSize), QStringLiteral("2 KB"));
    Frame(1, 10003);
    EXPECT_FALSE(jobs.IsBusy());
    EXPECT_EQ(Status(0), QStringLiteral("Complete"));
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(Status(1), QStringLiteral("Wait"));
    EXPECT_EQ(model.Item(1)->downloadStart, 20000);
    EXPECT_EQ(session.calls.last(), QStringLiteral("stop"));
    // The frames of the window went into the recording layout under the destination.
    const QString day = folder.path() + QStringLiteral("/gate/20261207/");
    QFile video(day + QStringLiteral("h010000.002"));
    ASSERT_TRUE(video.open(QIODevice::ReadOnly)) << video.fileName().toStdString();
    const QByteArray bytes = video.readAll();
    EXPECT_EQ(bytes.count(char(0x41)), 100 + 2048);
    EXPECT_TRUE(QFile::exists(day + QStringLiteral("ih010000.002")));
    // Frames after the end belong to no download.
    Frame(1, 10001);
    EXPECT_EQ(model.Text(1, ScheduleJobList::ColSize), QStringLiteral("-"));
}

// The disk fills up during a download of two channels: it ends at the first failed write, the
// failed channel's row says so, the other is "Stopped", nothing is "Complete", and the user is
// told which recorder and which file. The job comes back for its next day.
TEST_F(ScheduleJobListTest, FullDiskEndsTheDownloadWithoutComplete)
{
    ASSERT_TRUE(Add(kTuesday, (1u << 0) | (1u << 1), 10000, 10010, 20000));
    At(Tuesday(1, 59, 59));
    At(Tuesday(2, 0, 0));
    Frame(0, 10000);
    Frame(1, 10000);
    ASSERT_EQ(Status(0), QStringLiteral("Downloading"));
    const QString video = folder.path() + QStringLiteral("/gate/20261207/h010000.002");
    ASSERT_TRUE(recordtest::MakeDiskFull(video));
    Frame(1, 10001);
    EXPECT_FALSE(jobs.IsBusy());
    EXPECT_EQ(Status(0), QStringLiteral("Stopped"));
    EXPECT_EQ(Status(1), QStringLiteral("Disk full"));
    EXPECT_EQ(model.Item(1)->state, JobState::Failed);
    ASSERT_EQ(session.failures.size(), 1);
    EXPECT_TRUE(session.failures[0].contains(QStringLiteral("gate"))) << session.failures[0].toStdString();
    EXPECT_TRUE(session.failures[0].contains(QDir::toNativeSeparators(video)))
        << session.failures[0].toStdString();
    EXPECT_TRUE(session.failures[0].contains(QStringLiteral("the disk is full")));
    EXPECT_EQ(session.calls.last(), QStringLiteral("stop"));
    ASSERT_EQ(model.rowCount(), 4);
    EXPECT_EQ(Status(2), QStringLiteral("Wait"));
    EXPECT_EQ(Status(3), QStringLiteral("Wait"));
    // Frames still on the way belong to no download.
    Frame(0, 10002);
    EXPECT_EQ(Status(0), QStringLiteral("Stopped"));
}

TEST_F(ScheduleJobListTest, OnlyEndMarksGiveNoData)
{
    ASSERT_TRUE(Add(kTuesday, 1, 10000, 10002, 20000));
    At(Tuesday(1, 59, 59));
    At(Tuesday(2, 0, 0));
    Frame(0, 10000, 4);
    EXPECT_EQ(Status(0), QStringLiteral("Downloading"));
    Frame(0, 10003, 4);
    EXPECT_EQ(Status(0), QStringLiteral("No data"));
    EXPECT_EQ(model.Item(0)->state, JobState::Complete);
}

TEST_F(ScheduleJobListTest, FramesAreIgnoredUnlessBusyOrOfAnotherRequest)
{
    ASSERT_TRUE(Add(kTuesday, 1, 10000, 10002, 20000));
    Frame(0, 10001);
    EXPECT_EQ(Status(0), QStringLiteral("Wait"));
    At(Tuesday(1, 59, 59));
    At(Tuesday(2, 0, 0));
    jobs.OnRecvPlaybackVideo(0, 100, 0, 20261207, 10001, jobs.RequestNumber() + 1, true, 1, 0);
    EXPECT_EQ(Status(0), QStringLiteral("Wait"));
    jobs.OnRecvPlaybackVideo(0, 100, 0, 20261207, 10003, jobs.RequestNumber() + 1, true, 1, 0);
    EXPECT_TRUE(jobs.IsBusy());
}

TEST_F(ScheduleJobListTest, SilenceOrALostConnectionEndsTheDownload)
{
    for (int ending = 0; ending < 2; ++ending) {
        model.Clear();
        ASSERT_TRUE(Add(kTuesday, 1, 10000, 10002, 20000));
        At(Tuesday(1, 59, 59));
        At(Tuesday(2, 0, 0));
        ASSERT_TRUE(jobs.IsBusy()) << ending;
        Frame(0, 10000);
        if (ending == 0)
            jobs.OnDownloadSilent();
        else
            jobs.OnConnectionLost();
        EXPECT_FALSE(jobs.IsBusy()) << ending;
        EXPECT_EQ(Status(0), QStringLiteral("Complete")) << ending;
        EXPECT_EQ(model.rowCount(), 2) << ending;
    }
}

TEST_F(ScheduleJobListTest, StoppingDuringADownloadCompletesTheRow)
{
    ASSERT_TRUE(Add(kTuesday, 1, 10000, 10002, 20000));
    ASSERT_TRUE(Add(kTuesday, 2, 10000, 10002, 40000));
    At(Tuesday(1, 59, 59));
    At(Tuesday(2, 0, 0));
    Frame(0, 10000, 4);
    jobs.Stop();
    EXPECT_EQ(Status(0), QStringLiteral("Complete"));
    EXPECT_EQ(Status(1), QStringLiteral("Stop"));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_FALSE(jobs.IsBusy());
    EXPECT_EQ(session.calls.last(), QStringLiteral("stop"));
    jobs.Start();
    EXPECT_EQ(Status(1), QStringLiteral("Wait"));
    EXPECT_EQ(Status(0), QStringLiteral("Complete"));
}

TEST_F(ScheduleJobListTest, RequestNumberWrapsAfterOneHundred)
{
    ASSERT_TRUE(Add(kAllDays, 1, 10000, 10002, 20000));
    QDateTime day = Tuesday(1, 59, 59);
    for (int i = 0; i < 51; ++i) {
        At(day);
        At(day.addSecs(1));
        ASSERT_TRUE(jobs.IsBusy()) << i;
        jobs.OnConnectionLost();
        // A new start looks at the clock afresh instead of walking the whole day in between.
        jobs.Stop();
        jobs.Start();
        day = day.addDays(1);
    }
    // Two steps a download: 1, 3, ..., 99, then 101 wraps to 0 at the 51st.
    EXPECT_TRUE(session.Plays().last().startsWith(QStringLiteral("play 0 ")))
        << session.Plays().last().toStdString();
}

} // namespace
