// Converting recordings made by the client's recording writer into MP4 and AVI files, with and
// without the date and time burned in; ffprobe reads back what was written.
#include "backup/convertjob.h"
#include "backup/recordingconvertsource.h"
#include "backup/support/recording_fixture.h"
#include "common/media/timeoverlay.h"
#include "common/support/decoder_streams.h"
#include "common/support/fulldisk.h"
#include "common/support/mediaprobe.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

using recording_fixture::Recording;

constexpr int kFps = 10;

const decoder_streams::Stream& Pictures()
{
    return decoder_streams::Make(320, 240, 40, kFps);
}

std::vector<int> KeyPositions(const mediaprobe::Probe& probe)
{
    std::vector<int> keys;
    for (int i = 0; i < probe.packets.size(); ++i) {
        if (probe.packets[i].key)
            keys.push_back(i);
    }
    return keys;
}

class ConvertJobTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(Pictures().error.isEmpty());
    }
    Recording Make(int startTime, int pictures)
    {
        const Recording r = recording_fixture::Write(m_dir.path(), Pictures().frames.mid(0, pictures), 20261209,
                                                     startTime, 0, kFps, kFps);
        EXPECT_TRUE(r.error.isEmpty()) << qPrintable(r.error);
        return r;
    }
    ConvertJob::Options Options(const QString& name, const char* format, bool overlay) const
    {
        ConvertJob::Options o;
        o.outputPath = m_dir.filePath(name);
        o.formatName = QString::fromLatin1(format);
        o.timeOverlay = overlay;
        o.fontFile = TimeOverlay::FontFile(m_dir.path());
        return o;
    }

    QTemporaryDir m_dir;
    RecordingConvertSource m_source;
};

struct ConvertCase
{
    const char* format;
    bool overlay;
    const char* probedName;
};

TEST_F(ConvertJobTest, WritesEveryPictureOfTheRecording)
{
    const Recording r = Make(120000, 40);
    const ConvertCase cases[] = {
        {"mp4", false, "mov,mp4,m4a,3gp,3g2,mj2"},
        {"avi", false, "avi"},
        {"mp4", true, "mov,mp4,m4a,3gp,3g2,mj2"},
        {"avi", true, "avi"},
    };
    for (const ConvertCase& c : cases) {
        const QString name = QStringLiteral("%1%2.%3").arg(r.fileName).arg(c.overlay ? "osd" : "").arg(c.format);
        ConvertJob job(Options(name, c.format, c.overlay));
        EXPECT_EQ(job.Run(m_source, r.folder, r.fileName, nullptr, nullptr), ConvertJob::Result::Written)
            << qPrintable(name);
        EXPECT_EQ(job.FramesRead(), 40);
        EXPECT_EQ(job.FramesTranscoded(), c.overlay ? 40 : 0);
        EXPECT_EQ(job.PacketsMuxed(), 40);
        const mediaprobe::Probe probe = mediaprobe::Run(m_dir.filePath(name));
        ASSERT_TRUE(probe.error.isEmpty()) << qPrintable(probe.error);
        EXPECT_EQ(probe.formatName, QString::fromLatin1(c.probedName));
        EXPECT_EQ(probe.codecName, "h264");
        EXPECT_EQ(probe.packets.size(), 40) << qPrintable(name);
        EXPECT_EQ(probe.decodedFrames, 40) << qPrintable(name);
        // Recorded key frames start each second; the re-encode puts one every fps pictures.
        EXPECT_EQ(KeyPositions(probe), (std::vector<int>{0, 10, 20, 30})) << qPrintable(name);
        for (int i = 1; i < probe.packets.size(); ++i)
            EXPECT_GT(probe.packets[i].dts, probe.packets[i - 1].dts) << qPrintable(name) << " packet " << i;
    }
}

TEST_F(ConvertJobTest, BurnsTheRecordingsDateAndTimeIn)
{
    const Recording r = Make(120000, 20);
    ConvertJob plain(Options("plain.mp4", "mp4", false));
    ConvertJob osd(Options("osd.mp4", "mp4", true));
    ASSERT_EQ(plain.Run(m_source, r.folder, r.fileName, nullptr, nullptr), ConvertJob::Result::Written);
    ASSERT_EQ(osd.Run(m_source, r.folder, r.fileName, nullptr, nullptr), ConvertJob::Result::Written);
    QString error;
    const QByteArray a = mediaprobe::GreyPictures(m_dir.filePath("osd.mp4"), &error);
    ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
    const QByteArray b = mediaprobe::GreyPictures(m_dir.filePath("plain.mp4"), &error);
    ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
    ASSERT_EQ(a.size(), b.size());
    for (int picture : {0, 19}) {
        EXPECT_GT(mediaprobe::RegionDifference(a, b, 320, 240, picture, 10, 12, 200, 30), 20.0);
        EXPECT_GT(mediaprobe::RegionDifference(a, b, 320, 240, picture, 10, 62, 150, 30), 20.0);
        EXPECT_LT(mediaprobe::RegionDifference(a, b, 320, 240, picture, 10, 150, 300, 80), 6.0);
    }
    // The text is the recording's own time: ffmpeg draws "12:00:00" the same way over the plain
    // run's first second, and a wrong time differs more.
    const QString font = TimeOverlay::FontFile(m_dir.path());
    auto drawn = [&](const char* time) {
        const QString filter = QStringLiteral("drawtext=text='12/09/2026':fontfile='%1':fontsize=36:x=10:y=10:"
                                              "fontcolor=white:shadowcolor=black:shadowx=5:shadowy=5,"
                                              "drawtext=text='%2':fontfile='%1':fontsize=36:x=10:y=60:"
                                              "fontcolor=white:shadowcolor=black:shadowx=5:shadowy=5")
                                   .arg(font, QString::fromLatin1(time));
        const QString out = m_dir.filePath(
            QStringLiteral("drawn%1.yuv").arg(QString::fromLatin1(time).remove('\\')));
        EXPECT_TRUE(decoder_streams::RunFfmpeg({"-i", m_dir.filePath("plain.mp4"), "-frames:v", "10", "-vf",
                                                filter, "-f", "rawvideo", "-pix_fmt", "gray", out})
                        .isEmpty());
        QFile file(out);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray right = drawn("12\\:00\\:00");
    const QByteArray wrong = drawn("12\\:09\\:08");
    ASSERT_EQ(right.size(), 10 * 320 * 240);
    for (int picture : {0, 5, 9}) {
        const double toRight = mediaprobe::RegionDifference(a, right, 320, 240, picture, 10, 55, 200, 50);
        const double toWrong = mediaprobe::RegionDifference(a, wrong, 320, 240, picture, 10, 55, 200, 50);
        EXPECT_LT(toRight * 2, toWrong) << picture;
        EXPECT_LT(mediaprobe::RegionDifference(a, right, 320, 240, picture, 10, 5, 220, 45), 8.0) << picture;
    }
}

TEST_F(ConvertJobTest, RecordingFromMidnightKeepsItsFirstSecond)
{
    const Recording r = Make(0, 30);
    ConvertJob job(Options("midnight.mp4", "mp4", false));
    EXPECT_EQ(job.Run(m_source, r.folder, r.fileName, nullptr, nullptr), ConvertJob::Result::Written);
    EXPECT_EQ(job.FramesRead(), 30);
    EXPECT_EQ(mediaprobe::Run(m_dir.filePath("midnight.mp4")).packets.size(), 30);
}

TEST_F(ConvertJobTest, ReportsWhatItCouldNotWrite)
{
    const Recording r = Make(120000, 20);
    ConvertJob missing(Options("missing.mp4", "mp4", false));
    EXPECT_EQ(missing.Run(m_source, r.folder, "h130000.001", nullptr, nullptr), ConvertJob::Result::NotOpened);
    EXPECT_FALSE(QFile::exists(m_dir.filePath("missing.mp4")));

    // Pictures that are not H.264: no stream is recognised, so no file.
    QList<QByteArray> junk;
    for (int i = 0; i < 20; ++i)
        junk.append(QByteArray(200, char(i)));
    const Recording bad = recording_fixture::Write(m_dir.path() + "/junk", junk, 20261209, 80000, 0, kFps, kFps);
    ASSERT_TRUE(bad.error.isEmpty());
    ConvertJob job(Options("junk.mp4", "mp4", false));
    EXPECT_EQ(job.Run(m_source, bad.folder, bad.fileName, nullptr, nullptr), ConvertJob::Result::NoFile);
    EXPECT_FALSE(QFile::exists(m_dir.filePath("junk.mp4")));

    // An output folder that is not there: the pictures were good, the file could not be made.
    ConvertJob::Options nowhere = Options("x.mp4", "mp4", false);
    nowhere.outputPath = m_dir.filePath("no/such/folder/x.mp4");
    ConvertJob unwritable(nowhere);
    EXPECT_EQ(unwritable.Run(m_source, r.folder, r.fileName, nullptr, nullptr), ConvertJob::Result::NoFile);
}

// Writes that fail part way (the file system takes no more bytes): no file of the target's name,
// nothing left beside it, and the reason for the user.
TEST_F(ConvertJobTest, FailedWritesLeaveNothingAndSayWhy)
{
    const Recording r = Make(120000, 40);
    const QString out = m_dir.filePath("out/cut.mp4");
    ASSERT_TRUE(QDir().mkpath(m_dir.filePath("out")));
    ConvertJob::Options options = Options("cut.mp4", "mp4", false);
    options.outputPath = out;
    ConvertJob job(options);
    ConvertJob::Result result;
    {
        recordtest::FileSizeLimit limit(16384);
        ASSERT_TRUE(limit.IsSet());
        result = job.Run(m_source, r.folder, r.fileName, nullptr, nullptr);
    }
    EXPECT_EQ(result, ConvertJob::Result::NoFile);
    EXPECT_EQ(job.ErrorText(), out + QStringLiteral(" could not be written (File too large)"));
    EXPECT_TRUE(QDir(m_dir.filePath("out")).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // An output folder that is not there says so as well.
    ConvertJob::Options nowhere = Options("x.mp4", "mp4", false);
    nowhere.outputPath = m_dir.filePath("no/such/folder/x.mp4");
    ConvertJob unwritable(nowhere);
    EXPECT_EQ(unwritable.Run(m_source, r.folder, r.fileName, nullptr, nullptr), ConvertJob::Result::NoFile);
    EXPECT_TRUE(unwritable.ErrorText().startsWith(nowhere.outputPath + QStringLiteral(" could not be written")))
        << unwritable.ErrorText().toStdString();
}

TEST_F(ConvertJobTest, StopsBetweenSecondsAndFinishesTheFile)
{
    const Recording r = Make(120000, 40);
    int asked = 0;
    ConvertJob job(Options("stopped.mp4", "mp4", false));
    // Stop once two seconds were read.
    EXPECT_EQ(job.Run(
                  m_source, r.folder, r.fileName, [&asked] { return ++asked > 2; }, nullptr),
              ConvertJob::Result::Stopped);
    EXPECT_EQ(job.FramesRead(), 20);
    EXPECT_EQ(mediaprobe::Run(m_dir.filePath("stopped.mp4")).packets.size(), 20);
}

TEST_F(ConvertJobTest, ProgressFollowsTheSecondRead)
{
    const Recording r = Make(95958, 40); // minutes 09:59 and 10:00; times 095958 .. 100058
    std::vector<int> values;
    ConvertJob job(Options("progress.mp4", "mp4", false));
    job.Run(m_source, r.folder, r.fileName, nullptr, [&values](int percent) { values.push_back(percent); });
    EXPECT_EQ(job.FramesRead(), 40) << "every picture once, also those of the first, partial minute";
    // One report per second of each recorded minute.
    ASSERT_EQ(values.size(), 120u);
    EXPECT_EQ(values.front(), 0);  // 09:59:00 lies before the start time
    EXPECT_EQ(values[58], 0);      // 09:59:58, the start
    EXPECT_EQ(values[59], 1);      // one second of sixty
    EXPECT_EQ(values[118], 100);   // 10:00:58, the end
    EXPECT_EQ(values.back(), 101); // past the end, not clamped
}

TEST_F(ConvertJobTest, ProgressOfAOneMinuteRecordingMovesUpToAHundred)
{
    // Both times lie in minute 12:00, four seconds from 12:00:30 on.
    const Recording r = Make(120030, 40);
    std::vector<int> values;
    ConvertJob job(Options("minute.mp4", "mp4", false));
    ASSERT_EQ(
        job.Run(m_source, r.folder, r.fileName, nullptr, [&values](int percent) { values.push_back(percent); }),
        ConvertJob::Result::Written);
    ASSERT_EQ(values.size(), 60u);
    EXPECT_EQ(values[30], 0);  // 12:00:30, the start
    EXPECT_EQ(values[31], 3);  // one second of the 29 left in the minute
    EXPECT_EQ(values[44], 48); // 14 of 29
    EXPECT_EQ(values[59], 100);
    for (size_t i = 1; i < values.size(); ++i)
        EXPECT_GE(values[i], values[i - 1]) << "second " << i;
}

struct PercentCase
{
    int current, start, end, percent;
};

TEST(ConvertJobPercent, ShareOfTheSpanReached)
{
    const PercentCase cases[] = {
        {100, 100, 200, 0},   {150, 100, 200, 50}, {199, 100, 200, 99}, {200, 100, 200, 100},
        {300, 100, 200, 200}, {50, 100, 200, 0},   {150, 100, 100, 0},  {150, 100, 50, 0},
    };
    for (const PercentCase& c : cases)
        EXPECT_EQ(ConvertJob::Percent(c.current, c.start, c.end), c.percent)
            << c.current << " " << c.start << " " << c.end;
}

} // namespace
