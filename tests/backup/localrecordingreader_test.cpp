// Reading a recording second by second, as the convert job does: the minute table from the
// index header, the pictures of each second with their key flag and time, and the files or
// records that are passed over.
#include "backup/localrecordingreader.h"
#include "backup/support/recording_fixture.h"
#include "common/support/decoder_streams.h"

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

class ReaderTest : public ::testing::Test
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

    QTemporaryDir m_dir;
};

TEST_F(ReaderTest, ReadsTheTimesAndPicturesOfEachSecond)
{
    const Recording r = Make(120000);
    LocalRecordingReader reader;
    ASSERT_TRUE(reader.Open(r.folder, r.fileName));
    EXPECT_EQ(reader.Channel(), 2); // "....003"
    EXPECT_EQ(reader.StartTime(), 120000);
    EXPECT_EQ(reader.EndTime(), 120000);
    EXPECT_EQ(reader.FirstSecond(), 12 * 3600);
    EXPECT_TRUE(reader.MinutePresent(12 * 60));
    EXPECT_FALSE(reader.MinutePresent(12 * 60 + 1));
    EXPECT_FALSE(reader.MinutePresent(11 * 60 + 59));
    for (int second = 0; second < 3; ++second) {
        const QVector<LocalRecordingReader::Frame> frames = reader.ReadSecond(12 * 3600 + second);
        ASSERT_EQ(frames.size(), 10) << second;
        for (int i = 0; i < 10; ++i) {
            EXPECT_EQ(frames[i].data, Pictures().frames[second * 10 + i]) << second << "/" << i;
            EXPECT_EQ(frames[i].key, i == 0);
            EXPECT_EQ(frames[i].date, 20261209);
            EXPECT_EQ(frames[i].time, 120000 + second);
        }
    }
    EXPECT_TRUE(reader.ReadSecond(12 * 3600 + 3).isEmpty());
    EXPECT_TRUE(reader.ReadSecond(-1).isEmpty());
    EXPECT_TRUE(reader.ReadSecond(86400).isEmpty());
}

TEST_F(ReaderTest, SpansMinutesFromFirstToLast)
{
    const Recording r = Make(95958, 40); // 09:59:58 .. 10:00:01
    LocalRecordingReader reader;
    ASSERT_TRUE(reader.Open(r.folder, r.fileName));
    // Each minute's time carries the seconds of the first written entry.
    EXPECT_EQ(reader.StartTime(), 95958);
    EXPECT_EQ(reader.EndTime(), 100058);
    EXPECT_EQ(reader.FirstSecond(), 9 * 3600 + 59 * 60);
    // Seconds of the first minute before the recording began are empty, not the first second.
    EXPECT_TRUE(reader.ReadSecond(9 * 3600 + 59 * 60).isEmpty());
    EXPECT_TRUE(reader.ReadSecond(9 * 3600 + 59 * 60 + 1).isEmpty());
    const QVector<LocalRecordingReader::Frame> first = reader.ReadSecond(9 * 3600 + 59 * 60 + 58);
    ASSERT_EQ(first.size(), 10);
    EXPECT_EQ(first[0].data, Pictures().frames[0]);
    EXPECT_EQ(first[0].time, 95958);
    EXPECT_EQ(reader.ReadSecond(9 * 3600 + 59 * 60 + 59).size(), 10);
    EXPECT_EQ(reader.ReadSecond(10 * 3600 + 1).size(), 10);
}

TEST_F(ReaderTest, MidnightIsASecondLikeAnyOther)
{
    const Recording r = Make(0, 20);
    LocalRecordingReader reader;
    ASSERT_TRUE(reader.Open(r.folder, r.fileName));
    EXPECT_EQ(reader.FirstSecond(), 0);
    const QVector<LocalRecordingReader::Frame> frames = reader.ReadSecond(0);
    ASSERT_EQ(frames.size(), 10);
    EXPECT_EQ(frames[0].time, 0);
    EXPECT_TRUE(frames[0].key);
}

TEST_F(ReaderTest, RefusesWhatIsNotARecording)
{
    const Recording r = Make(120000);
    // Copies of the files under other names, and an index cut to its header.
    QFile::copy(r.folder + r.fileName, r.folder + "x120000.003");
    QFile::copy(r.folder + "i" + r.fileName, r.folder + "ix120000.003");
    QFile::copy(r.folder + r.fileName, r.folder + "h130000.003");
    QFile::copy(r.folder + "i" + r.fileName, r.folder + "ih130000.003");
    QFile cut(r.folder + "ih130000.003");
    ASSERT_TRUE(cut.resize(512));
    struct Case
    {
        const char* name;
        bool opens;
    };
    const Case cases[] = {{"x120000.003", false}, {"h130000.003", false}, {"h140000.003", false}};
    for (const Case& c : cases) {
        LocalRecordingReader reader;
        EXPECT_EQ(reader.Open(r.folder, QString::fromLatin1(c.name)), c.opens) << c.name;
    }
}

TEST_F(ReaderTest, PictureRunningPastTheDataFileIsPassedOver)
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

    LocalRecordingReader reader;
    ASSERT_TRUE(reader.Open(r.folder, r.fileName));
    const QVector<LocalRecordingReader::Frame> frames = reader.ReadSecond(12 * 3600 + 1);
    ASSERT_EQ(frames.size(), 9);
    EXPECT_EQ(frames[0].data, Pictures().frames[10]);
    EXPECT_EQ(frames[1].data, Pictures().frames[12]);
}

} // namespace
