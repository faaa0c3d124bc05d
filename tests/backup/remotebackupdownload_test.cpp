// The remote backup download without a window or a recorder: a fake connection records the
// requests, the test hands in frames and sound blocks, and the files, statuses and requests
// are checked.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "backup/remotebackupdownload.h"
#include "backup/remotebackuplink.h"
#include "common/support/fulldisk.h"

namespace {

using Status = RemoteBackupDownload::Status;

class RecordingLink : public RemoteBackupLink
{
public:
    void SendPlaybackRate(int rate) override { calls << QStringLiteral("rate %1").arg(rate); }
    void SendPlayback(int sequence, int channel, int audio, int date, int begin) override
    {
        calls << QStringLiteral("play %1 ch %2 audio %3 date %4 from %5")
                     .arg(sequence)
                     .arg(channel)
                     .arg(audio)
                     .arg(date)
                     .arg(begin);
    }
    void SendPlaybackStop() override { calls << QStringLiteral("stop"); }
    QStringList Plays() const { return calls.filter(QStringLiteral("play")); }
    QStringList calls;
};

class RemoteBackupDownloadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QObject::connect(&download, &RemoteBackupDownload::ChannelStatus,
                         [this](int channel, Status status) { statuses << qMakePair(channel, status); });
    }
    RemoteBackupDownload::Plan Plan(QVector<int> channels, bool audio) const
    {
        RemoteBackupDownload::Plan plan;
        plan.destination = dir.path() + QStringLiteral("/gate/");
        plan.recorderName = QStringLiteral("gate");
        plan.date = 20261207;
        plan.begin = 0;
        plan.end = 100;
        plan.channels = std::move(channels);
        plan.audio = audio;
        return plan;
    }
    // A frame of the running request; key frames every second.
    void Frame(int channel, int time, int size = 100)
    {
        const QByteArray bytes(size, char(0x40 + channel));
        download.OnVideo(channel, size, 2, 20261207, time, download.Sequence(), time % 100 == 0, time % 100 == 0,
                         1, bytes.constData());
    }
    QString File(const QString& name) const { return dir.path() + QStringLiteral("/gate/20261207/") + name; }
    Status Last(int channel) const
    {
        for (int i = statuses.size() - 1; i >= 0; --i) {
            if (statuses[i].first == channel)
                return statuses[i].second;
        }
        return Status(-1);
    }

    QTemporaryDir dir;
    RecordingLink link;
    RemoteBackupDownload download{link};
    QList<QPair<int, Status>> statuses;
};

TEST_F(RemoteBackupDownloadTest, ChannelsComeOneAfterAnotherIntoTheRecordingLayout)
{
    QSignalSpy ended(&download, &RemoteBackupDownload::Ended);
    ASSERT_TRUE(download.Start(Plan({3, 1}, true)));
    EXPECT_EQ(link.calls, QStringList({"rate 120", "play 1 ch 1 audio 2 date 20261207 from 0"}));
    Frame(1, 0);
    Frame(1, 1);
    Frame(2, 1); // another channel's frame is not written
    EXPECT_EQ(Last(1), Status::Downloading);
    EXPECT_EQ(Last(RemoteBackupDownload::kAudio), Status::Downloading);
    Frame(1, 101); // past the window: channel 2 is done, channel 4 follows
    EXPECT_EQ(Last(1), Status::Finished);
    EXPECT_EQ(link.Plays(), QStringList({"play 1 ch 1 audio 2 date 20261207 from 0",
                                         "play 3 ch 3 audio 4 date 20261207 from 0"}));
    // A frame of the old request is ignored.
    download.OnVideo(3, 100, 2, 20261207, 0, 1, true, 1, 1, QByteArray(100, 'x').constData());
    EXPECT_EQ(Last(3), Status(-1));
    Frame(3, 0);
    Frame(3, 50);
    Frame(3, 40); // earlier than the last: the channel ends
    EXPECT_EQ(Last(3), Status::Finished);
    EXPECT_EQ(Last(RemoteBackupDownload::kAudio), Status::Finished);
    EXPECT_FALSE(download.IsRunning());
    EXPECT_EQ(ended.size(), 1);
    EXPECT_EQ(link.calls.last(), QStringLiteral("stop"));
    for (const char* name : {"h000000.002", "ih000000.002", "h000000.004", "ih000000.004"})
        EXPECT_TRUE(QFileInfo::exists(File(QLatin1String(name)))) << name;
    QFile video(File(QStringLiteral("h000000.002")));
    ASSERT_TRUE(video.open(QIODevice::ReadOnly));
    EXPECT_EQ(video.readAll().count(char(0x41)), 200);
    EXPECT_FALSE(QFileInfo::exists(File(QStringLiteral("h000000.003"))));
}

TEST_F(RemoteBackupDownloadTest, SoundBlocksGoIntoTheChannelsAudioFile)
{
    ASSERT_TRUE(download.Start(Plan({0}, true)));
    QByteArray block(24 + 4, '\0');
    block[24] = char(0x80);
    block[25] = char(0x81);
    block[26] = char(0x7F);
    block[27] = char(0x00);
    download.OnAudio(block.size(), download.Sequence(), block.constData());
    download.OnAudio(10, download.Sequence(), block.constData());               // shorter than its header
    download.OnAudio(block.size(), download.Sequence() + 1, block.constData()); // another request
    QFile sound(File(QStringLiteral("a0000000.001")));
    ASSERT_TRUE(sound.open(QIODevice::ReadOnly));
    EXPECT_EQ(sound.readAll().toHex(), QByteArray("0001ff80"));
}

TEST_F(RemoteBackupDownloadTest, SilenceEndsTheChannel)
{
    ASSERT_TRUE(download.Start(Plan({0, 1}, false)));
    Frame(0, 0);
    download.OnSilent();
    EXPECT_EQ(Last(0), Status::Finished);
    EXPECT_EQ(link.Plays().size(), 2);
    download.OnSilent(); // channel 1 never sent a frame
    EXPECT_EQ(Last(1), Status::Stopped);
    EXPECT_FALSE(download.IsRunning());
}

TEST_F(RemoteBackupDownloadTest, UserStopKeepsWhatWasWrittenAndStopsTheRest)
{
    ASSERT_TRUE(download.Start(Plan({0, 1}, false)));
    Frame(0, 0);
    Frame(0, 1);
    download.Stop();
    EXPECT_FALSE(download.IsRunning());
    EXPECT_EQ(Last(0), Status::Stopped);
    EXPECT_EQ(Last(1), Status::Stopped);
    EXPECT_TRUE(download.FailureText().isEmpty());
    EXPECT_EQ(link.calls.last(), QStringLiteral("stop"));
    EXPECT_GT(QFileInfo(File(QStringLiteral("h000000.001"))).size(), 0);
}

// The disk fills up: the download stops at the first failed write, that channel says so, the
// others are stopped, and the text for the user names the recorder and the file.
TEST_F(RemoteBackupDownloadTest, FullDiskStopsEverythingAndSaysWhichFile)
{
    QSignalSpy ended(&download, &RemoteBackupDownload::Ended);
    ASSERT_TRUE(download.Start(Plan({0, 1}, true)));
    Frame(0, 0);
    ASSERT_TRUE(recordtest::MakeDiskFull(File(QStringLiteral("h000000.001"))));
    Frame(0, 1);
    EXPECT_FALSE(download.IsRunning());
    EXPECT_EQ(ended.size(), 1);
    EXPECT_EQ(Last(0), Status::DiskFull);
    EXPECT_EQ(Last(1), Status::Stopped);
    EXPECT_EQ(Last(RemoteBackupDownload::kAudio), Status::Stopped);
    EXPECT_EQ(link.Plays().size(), 1);
    EXPECT_EQ(download.FailureText(),
              QStringLiteral("The backup of gate stopped: the disk is full. %1 could not be written.")
                  .arg(QDir::toNativeSeparators(File(QStringLiteral("h000000.001")))));
    // Frames still on the way change nothing.
    Frame(0, 2);
    EXPECT_EQ(Last(0), Status::DiskFull);
}

TEST_F(RemoteBackupDownloadTest, NothingToFetchStartsNothing)
{
    EXPECT_FALSE(download.Start(Plan({}, true)));
    EXPECT_FALSE(download.Start(Plan({-1, 16}, false)));
    EXPECT_FALSE(download.IsRunning());
    EXPECT_TRUE(link.calls.isEmpty());
}

} // namespace
