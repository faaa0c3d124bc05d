// The convert source that reads a recording's files itself: the times and minutes it reports,
// where reading starts, the recordings it refuses, and the frames it hands to the job (counted
// by the job, read back from the file the job wrote).
#include "backup/convertjob.h"
#include "backup/recordingconvertsource.h"
#include "backup/support/recording_fixture.h"
#include "common/support/decoder_streams.h"
#include "common/support/mediaprobe.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

using recording_fixture::Recording;

const decoder_streams::Stream& Pictures()
{
    return decoder_streams::Make(320, 240, 40, 10);
}

class RecordingSourceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(Pictures().error.isEmpty());
    }
    Recording Make(int startTime, int pictures = 30, int channel = 2)
    {
        const Recording r = recording_fixture::Write(m_dir.path(), Pictures().frames.mid(0, pictures), 20261209,
                                                     startTime, channel, 10, 10);
        EXPECT_TRUE(r.error.isEmpty()) << qPrintable(r.error);
        return r;
    }
    // Converts through the source; the frames the job got, and the packets of the file.
    int Convert(const Recording& r, const QString& fileName, int* packets = nullptr)
    {
        ConvertJob::Options o;
        o.outputPath = m_dir.filePath(fileName + ".mp4");
        ConvertJob job(o);
        job.Run(m_source, r.folder, fileName, nullptr, nullptr);
        if (packets)
            *packets = mediaprobe::Run(o.outputPath).packets.size();
        return int(job.FramesRead());
    }

    QTemporaryDir m_dir;
    RecordingConvertSource m_source;
};

TEST_F(RecordingSourceTest, ReportsTheRecordedMinutesAndWhereReadingStarts)
{
    const Recording r = Make(95958, 40); // 09:59:58 .. 10:00:01
    ASSERT_TRUE(m_source.OpenLocalFile(r.folder, r.fileName));
    // Each minute's time carries the seconds of the first written entry.
    EXPECT_EQ(m_source.StartTime(), 95958);
    EXPECT_EQ(m_source.EndTime(), 100058);
    EXPECT_EQ(m_source.FirstSecond(), 9 * 3600 + 59 * 60);
    EXPECT_TRUE(m_source.MinutePresent(9 * 60 + 59));
    EXPECT_TRUE(m_source.MinutePresent(10 * 60));
    EXPECT_FALSE(m_source.MinutePresent(10 * 60 + 1));
    EXPECT_FALSE(m_source.MinutePresent(9 * 60 + 58));
    int packets = 0;
    EXPECT_EQ(Convert(r, r.fileName, &packets), 40) << "every picture once, none of them twice";
    EXPECT_EQ(packets, 40);
}

TEST_F(RecordingSourceTest, MidnightIsASecondLikeAnyOther)
{
    const Recording r = Make(0, 20);
    ASSERT_TRUE(m_source.OpenLocalFile(r.folder, r.fileName));
    EXPECT_EQ(m_source.FirstSecond(), 0);
    EXPECT_EQ(m_source.StartTime(), 0);
    EXPECT_EQ(Convert(r, r.fileName), 20);
}

TEST_F(RecordingSourceTest, RefusesWhatIsNotARecording)
{
    const Recording r = Make(120000);
    // Copies of the files under other names, and an index cut to its header.
    QFile::copy(r.folder + r.fileName, r.folder + "x120000.003");
    QFile::copy(r.folder + "i" + r.fileName, r.folder + "ix120000.003");
    QFile::copy(r.folder + r.fileName, r.folder + "h130000.003");
    QFile::copy(r.folder + "i" + r.fileName, r.folder + "ih130000.003");
    QFile cut(r.folder + "ih130000.003");
    ASSERT_TRUE(cut.resize(512));
    for (const char* name : {"x120000.003", "h130000.003", "h140000.003", "h120000.0x3"}) {
        EXPECT_FALSE(m_source.OpenLocalFile(r.folder, QString::fromLatin1(name))) << name;
        EXPECT_EQ(m_source.FirstSecond(), -1) << name;
    }
    EXPECT_TRUE(m_source.OpenLocalFile(r.folder, r.fileName));
}

TEST_F(RecordingSourceTest, PictureRunningPastTheDataFileIsPassedOver)
{
    const Recording r = Make(120000);
    // The second 12:00:01's index entry (bytes 8..15, top three bits flags) gives its block of
    // 336-byte records; record 1's word 1 carries the size from bit 9 on.
    QFile index(r.folder + "i" + r.fileName);
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    ASSERT_TRUE(index.seek(512 + 16 * (12 * 3600 + 1) + 8));
    const quint64 block = qFromLittleEndian<quint64>(index.read(8).constData()) & ((quint64(1) << 61) - 1);
    QFile data(r.folder + r.fileName);
    ASSERT_TRUE(data.open(QIODevice::ReadWrite));
    ASSERT_TRUE(data.seek(qint64(block) + 336 + 4));
    const QByteArray huge = QByteArray::fromHex("00feffff"); // size 0x7FFFFF << 9, little-endian
    ASSERT_EQ(data.write(huge), 4);
    data.close();

    int packets = 0;
    EXPECT_EQ(Convert(r, r.fileName, &packets), 29);
    EXPECT_EQ(packets, 29);
}

} // namespace
