// The export rules, a time-mode export from a fake tile into a real AVI, and the MP4 copy by
// the ffmpeg program, checked with ffprobe.
#include "playback/aviexportjob.h"
#include "playback/aviexportrules.h"
#include "playback/mp4reencode.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString ProbeValue(const QString& path, const char* stream, const char* entry)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
            {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
             QString::fromLatin1(stream), QStringLiteral("-show_entries"),
             QStringLiteral("stream=") + QString::fromLatin1(entry), QStringLiteral("-of"),
             QStringLiteral("default=noprint_wrappers=1:nokey=1"), path});
    p.waitForFinished(60000);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
}

TEST(AviExportRules, FrameRateRowsHoldTheirRateOfRealFrames)
{
    for (int rate = 1; rate <= 30; ++rate) {
        const QVector<bool> row = AviExportRules::FrameRateRow(rate);
        EXPECT_EQ(row.count(false), rate) << rate;
        EXPECT_FALSE(row.first()) << rate;
    }
    // Rate 7 written out: 01110 11101 11011 11011 10111 01111.
    const QVector<bool> seven = AviExportRules::FrameRateRow(7);
    const char* expected = "011101110111011110111011101111";
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(seven[i], expected[i] == '1') << i;
}

TEST(AviExportRules, SizesPathsProgressAndRates)
{
    EXPECT_EQ(AviExportRules::OutputSize(QSize(1920, 1088)), QSize(1920, 1080));
    EXPECT_EQ(AviExportRules::OutputSize(QSize(704, 240)), QSize(704, 480));
    EXPECT_EQ(AviExportRules::OutputSize(QSize(704, 481)), QSize(704, 480));
    EXPECT_EQ(AviExportRules::AviPath(QStringLiteral("/Data/Exports/Clip.AVI")),
              QStringLiteral("/Data/Exports/clip.avi"));
    EXPECT_EQ(AviExportRules::AviPath(QStringLiteral("/Data/clip")), QStringLiteral("/Data/clip.avi"));
    EXPECT_EQ(AviExportRules::Mp4Path(QStringLiteral("/d/clip.avi")), QStringLiteral("/d/clip.mp4"));
    EXPECT_EQ(AviExportRules::DefaultName(QStringLiteral("/b/AVI"), QDateTime(QDate(2024, 1, 31), QTime(8, 5, 9))),
              QStringLiteral("/b/AVI/20240131_080509"));
    EXPECT_EQ(AviExportRules::Progress(5, 0, 10), 50);
    EXPECT_EQ(AviExportRules::Progress(7, 7, 7), 100); // end = start
    EXPECT_EQ(AviExportRules::Progress(20, 0, 10), 100);
    EXPECT_EQ(AviExportRules::EntryModeRate({}, false), 0);
    EXPECT_EQ(AviExportRules::EntryModeRate({7, 8}, false), 8);
    EXPECT_EQ(AviExportRules::EntryModeRate({7, 7, 8}, false), 8); // 59.94 fields over 7.33 a frame
}

TEST(AviExportRules, WatermarkBlendsWhereTheMarkHasNoRed)
{
    QImage frame(200, 100, QImage::Format_RGB32);
    frame.fill(qRgb(100, 200, 40));
    QImage mark(59, 33, QImage::Format_RGB32);
    mark.fill(qRgb(0, 80, 160));
    mark.setPixel(1, 0, qRgb(255, 0, 0)); // red: left alone
    AviExportRules::ApplyWatermark(frame, mark);
    EXPECT_EQ(frame.pixel(70, 40),
              qRgb(100 * 180 / 256, (200 * 180 + 80 * 75) / 256, (40 * 180 + 160 * 75) / 256));
    EXPECT_EQ(frame.pixel(71, 40), qRgb(100, 200, 40));
    EXPECT_EQ(frame.pixel(69, 40), qRgb(100, 200, 40));
    EXPECT_EQ(frame.pixel(70, 39), qRgb(100, 200, 40));
}

// A tile with a given number of frames per second and a 16,000-byte audio block per second.
class FakeSource : public ExportSource
{
public:
    bool SeekSecond(int) override { return true; }
    int FramesInSecond(int second) override { return emptySecond == second ? 0 : rate; }
    bool DecodeNext(QImage& picture) override
    {
        if (++decoded == errorAt)
            return false;
        picture = QImage(352, 240, QImage::Format_RGB32);
        picture.fill(QColor(decoded % 256, 50, 100));
        return true;
    }
    QByteArray AudioOfSecond(int second) override
    {
        audioSeconds.append(second);
        return QByteArray(16000, char(second));
    }
    QString DateText(int) const override { return QStringLiteral("01/31/2024"); }
    QString TimeText(int second) const override
    {
        return QStringLiteral("08:00:%1").arg(second, 2, 10, QLatin1Char('0'));
    }
    int rate = 7;
    int emptySecond = -1;
    int errorAt = -1;
    int decoded = 0;
    QVector<int> audioSeconds;
};

// Rows of the picture holding a pixel of the given colour, as [first, last]; {-1, -1} for none.
std::pair<int, int> RowsWith(const QImage& image, QRgb colour)
{
    std::pair<int, int> rows{-1, -1};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour) {
                if (rows.first < 0)
                    rows.first = y;
                rows.second = y;
                break;
            }
        }
    }
    return rows;
}

TEST(AviExportJob, OnScreenLinesStartBelowTheirTopsInsideThePicture)
{
    // Width up to 700: 15 high, lines at 20 and 40; wider: 30 high, lines at 20 and 50.
    const struct
    {
        QSize size;
        int pixelSize, secondTop;
    } cases[] = {{{352, 240}, 15, 40}, {{704, 480}, 30, 50}};
    for (const auto& c : cases) {
        FakeSource source;
        CAviWriter writer;
        AviExportOptions options;
        options.osd = true;
        AviExportJob job(source, writer, options);
        QImage grey(c.size, QImage::Format_RGB32);
        grey.fill(qRgb(128, 128, 128));
        const QImage frame = job.RenderFrame(grey, 3);
        ASSERT_EQ(frame.size(), c.size);
        // The black outline lies one pixel around the white text; nothing is drawn above the
        // first line's top, and the white reaches into the second line's band.
        const auto white = RowsWith(frame, qRgb(255, 255, 255));
        const auto black = RowsWith(frame, qRgb(0, 0, 0));
        EXPECT_GE(white.first, 20) << c.pixelSize;
        EXPECT_GE(black.first, 19) << c.pixelSize;
        EXPECT_LT(white.first, 20 + c.pixelSize) << c.pixelSize;
        EXPECT_GE(white.second, c.secondTop) << c.pixelSize;
        EXPECT_LT(white.second, c.secondTop + c.pixelSize + 2) << c.pixelSize;
    }
}

TEST(AviExportJob, SevenFramesASecondForTenSecondsGiveThreeHundredPositions)
{
    QTemporaryDir dir;
    FakeSource source;
    CAviWriter writer;
    writer.Init();
    writer.SetPath(dir.path() + QStringLiteral("/clip.avi"));
    AviExportOptions options;
    options.osd = true;
    options.audio = true;
    AviExportJob job(source, writer, options);
    std::atomic<bool> running{true};
    QVector<int> progress;
    EXPECT_EQ(job.RunTimeMode(0, 10, running, [&](int p) { progress.append(p); }), AviExportResult::Finished);
    EXPECT_EQ(writer.VideoPosition(), 300);
    EXPECT_EQ(source.decoded, 70);
    EXPECT_EQ(source.audioSeconds, (QVector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9})); // the first second too
    EXPECT_EQ(progress.first(), 0);
    EXPECT_EQ(progress.last(), 100);
    const QString path = dir.path() + QStringLiteral("/clip.avi");
    EXPECT_EQ(ProbeValue(path, "v:0", "width"), QStringLiteral("352"));
    EXPECT_EQ(ProbeValue(path, "v:0", "height"), QStringLiteral("240")); // not below half the width
    EXPECT_EQ(ProbeValue(path, "a:0", "codec_name"), QStringLiteral("pcm_s16le"));
    EXPECT_EQ(ProbeValue(path, "a:0", "sample_rate"), QStringLiteral("8000"));
    if (writer.UsedCompressor() == CAviWriter::Compressor::Xvid) {
        EXPECT_EQ(ProbeValue(path, "v:0", "nb_frames"), QStringLiteral("300"));
        EXPECT_EQ(ProbeValue(path, "v:0", "r_frame_rate"), QStringLiteral("30/1"));
    }

    // The MP4 copy: H.264 and AAC, the AVI stays.
    Mp4Reencode reencode;
    if (Mp4Reencode::FindEncoder().isEmpty())
        GTEST_SKIP() << "no ffmpeg on PATH";
    QSignalSpy finished(&reencode, &Mp4Reencode::Finished);
    ASSERT_TRUE(reencode.Start(path));
    ASSERT_TRUE(finished.wait(120000));
    EXPECT_TRUE(finished.at(0).at(0).toBool()) << finished.at(0).at(2).toString().toStdString();
    const QString mp4 = dir.path() + QStringLiteral("/clip.mp4");
    EXPECT_EQ(ProbeValue(mp4, "v:0", "codec_name"), QStringLiteral("h264"));
    EXPECT_EQ(ProbeValue(mp4, "a:0", "codec_name"), QStringLiteral("aac"));
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_FALSE(QFileInfo::exists(mp4 + QStringLiteral(".part")));
}

TEST(AviExportJob, EmptySecondsSkippedDataErrorsAndStops)
{
    QTemporaryDir dir;
    {
        FakeSource source;
        source.emptySecond = 1;
        CAviWriter writer;
        writer.Init();
        writer.SetPath(dir.path() + QStringLiteral("/a.avi"));
        AviExportJob job(source, writer, {});
        std::atomic<bool> running{true};
        EXPECT_EQ(job.RunTimeMode(0, 3, running), AviExportResult::Finished); // does not hang on it
        EXPECT_EQ(writer.VideoPosition(), 60);
        EXPECT_TRUE(source.audioSeconds.isEmpty()); // audio off
    }
    {
        FakeSource source;
        source.errorAt = 20;
        CAviWriter writer;
        writer.Init();
        writer.SetPath(dir.path() + QStringLiteral("/b.avi"));
        AviExportJob job(source, writer, {});
        std::atomic<bool> running{true};
        EXPECT_EQ(job.RunTimeMode(0, 10, running), AviExportResult::DataError);
        EXPECT_TRUE(QFileInfo::exists(dir.path() + QStringLiteral("/b.avi"))); // still finished
    }
    {
        FakeSource source;
        CAviWriter writer;
        writer.Init();
        writer.SetPath(dir.path() + QStringLiteral("/c.avi"));
        AviExportJob job(source, writer, {});
        std::atomic<bool> running{false};
        EXPECT_EQ(job.RunTimeMode(0, 10, running), AviExportResult::TooSmall); // stopped at once: nothing written
        EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/c.avi")));
    }
}

TEST(Mp4Reencode, FailingEncoderIsReported)
{
    if (Mp4Reencode::FindEncoder().isEmpty())
        GTEST_SKIP() << "no ffmpeg on PATH";
    QTemporaryDir dir;
    const QString avi = dir.path() + QStringLiteral("/broken.avi");
    QFile f(avi);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    Mp4Reencode reencode;
    QSignalSpy finished(&reencode, &Mp4Reencode::Finished);
    ASSERT_TRUE(reencode.Start(avi));
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/broken.mp4")));
    EXPECT_FALSE(QFileInfo::exists(dir.path() + QStringLiteral("/broken.mp4.part")));
}

} // namespace
