// The AVI writer checked by ffprobe: codec and FourCC, rate, coded frame count, PCM audio.
#include "playback/caviwriter.h"

#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// "key=value" lines of ffprobe for one stream selector.
QMap<QString, QString> Probe(const QString& path, const char* stream)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_packets"),
             QStringLiteral("-select_streams"), QString::fromLatin1(stream), QStringLiteral("-show_entries"),
             QStringLiteral("stream=codec_name,codec_tag_string,r_frame_rate,nb_read_packets,"
                            "sample_rate,channels,width,height,nb_frames,duration"),
             QStringLiteral("-of"), QStringLiteral("default=noprint_wrappers=1"), path});
    p.waitForFinished(60000);
    QMap<QString, QString> values;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            values.insert(QString::fromLatin1(line.left(eq)), QString::fromLatin1(line.mid(eq + 1)));
    }
    return values;
}

QImage Picture(int w, int h, int shade)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(shade % 256, 100, 200 - shade % 200));
    return image;
}

TEST(CAviWriter, XvidEveryThirdPositionWithPcmAudio)
{
    if (!CAviWriter::XvidInstalled())
        GTEST_SKIP() << "no Xvid encoder in this build";
    QTemporaryDir dir;
    CAviWriter writer;
    writer.Init();
    writer.SetPath(dir.path() + QStringLiteral("/clip.avi"));
    writer.SetQuality(10000);
    writer.SetFrameRate(30);
    const QImage first = Picture(705, 240, 0);
    ASSERT_EQ(writer.Open(first, true), 0);
    EXPECT_EQ(writer.FrameSize(), QSize(704, 240));
    for (int second = 0; second < 3; ++second) {
        ASSERT_EQ(writer.WriteAudio(QByteArray(CAviWriter::kAudioBlock, char(second))), 0);
        for (int slot = 0; slot < 30; ++slot) {
            // Seven real frames a second, the rest repeats: every coded position still holds
            // the latest picture.
            const QImage picture = Picture(352, 120, second * 30 + slot);
            ASSERT_EQ(writer.WriteFrame(slot % 4 == 0 ? &picture : nullptr, slot % 4 != 0), 0);
        }
    }
    EXPECT_EQ(writer.VideoPosition(), 90);
    EXPECT_EQ(writer.CodedFrames(), 30);
    EXPECT_EQ(writer.AudioPosition(), 3);
    ASSERT_TRUE(writer.Close());
    EXPECT_FALSE(QFileInfo::exists(writer.Path() + QStringLiteral(".part")));

    const auto video = Probe(writer.Path(), "v:0");
    EXPECT_EQ(video.value(QStringLiteral("codec_name")), QStringLiteral("mpeg4"));
    EXPECT_EQ(video.value(QStringLiteral("codec_tag_string")), QStringLiteral("XVID"));
    EXPECT_EQ(video.value(QStringLiteral("r_frame_rate")), QStringLiteral("30/1"));
    EXPECT_EQ(video.value(QStringLiteral("width")), QStringLiteral("704"));
    // Ninety positions (three seconds at 30), thirty of them coded; the empty ones between
    // are not read as packets.
    EXPECT_EQ(video.value(QStringLiteral("nb_frames")), QStringLiteral("90"));
    EXPECT_EQ(video.value(QStringLiteral("duration")).toDouble(), 3.0);
    EXPECT_EQ(video.value(QStringLiteral("nb_read_packets")).toInt(), 30);
    const auto audio = Probe(writer.Path(), "a:0");
    EXPECT_EQ(audio.value(QStringLiteral("codec_name")), QStringLiteral("pcm_s16le"));
    EXPECT_EQ(audio.value(QStringLiteral("sample_rate")), QStringLiteral("8000"));
    EXPECT_EQ(audio.value(QStringLiteral("channels")), QStringLiteral("1"));
}

TEST(CAviWriter, VideoOneAtTenDecimatesAThirtyFeed)
{
    QTemporaryDir dir;
    CAviWriter writer;
    writer.Init();
    writer.SetPath(dir.path() + QStringLiteral("/clip.avi"));
    writer.SetFrameRate(30);
    writer.SetUseMsvc(true);
    const QImage picture = Picture(322, 242, 10);
    ASSERT_EQ(writer.Open(picture, false), 0);
    EXPECT_EQ(writer.FrameRate(), 10);
    EXPECT_EQ(writer.FrameSize(), QSize(320, 240));
    for (int i = 0; i < 60; ++i)
        ASSERT_EQ(writer.WriteFrame(i == 0 ? &picture : nullptr, i != 0), 0);
    EXPECT_EQ(writer.CodedFrames(), 20);
    EXPECT_EQ(writer.WriteAudio(QByteArray(CAviWriter::kAudioBlock, 0)), -1); // opened without audio
    ASSERT_TRUE(writer.Close());
    const auto video = Probe(writer.Path(), "v:0");
    EXPECT_EQ(video.value(QStringLiteral("codec_name")), QStringLiteral("msvideo1"));
    EXPECT_EQ(video.value(QStringLiteral("r_frame_rate")), QStringLiteral("10/1"));
    EXPECT_EQ(video.value(QStringLiteral("nb_read_packets")), QStringLiteral("20"));
}

TEST(CAviWriter, SettersStatesAndFailures)
{
    CAviWriter writer;
    writer.Init();
    writer.SetQuality(20000);
    writer.SetFrameRate(0);
    EXPECT_EQ(writer.FrameRate(), 10);
    EXPECT_EQ(writer.WriteFrame(nullptr, true), -1); // closed
    writer.SetPath(QStringLiteral("/nonexistent-folder/x/clip.avi"));
    EXPECT_EQ(writer.Open(Picture(64, 64, 0), false), -1);
    EXPECT_EQ(writer.State(), 0);
    EXPECT_FALSE(writer.Close());
    QTemporaryDir dir;
    writer.SetPath(dir.path() + QStringLiteral("/a.avi"));
    ASSERT_EQ(writer.Open(Picture(64, 64, 0), false), 0);
    EXPECT_EQ(writer.Open(Picture(64, 64, 0), false), 1); // only from closed
    writer.CloseIfOpen();
    EXPECT_EQ(writer.State(), 0);
}

} // namespace
