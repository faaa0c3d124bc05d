// One of the player's own recordings, written at test time by the player's recording writer,
// opened in a tile and exported through the tools popup's "AVI Convert" entry by entry: the
// dialog starts at the frame the tile stands on, runs at the recording's own rate without the
// Audio box, writes the chosen entries with the on-screen lines and the watermark into the AVI
// (and the MP4 copy), and gives the tile back where it stood.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "playback/mp4reencode.h"
#include "playback/searchview.h"
#include "player/support/ownrecording.h"
#include "support/viewerhome.h"
#include "ui/caviconvert.h"
#include "ui/cdlgalarm.h"
#include "ui/cviewerdlg.h"
#include "ui/hpcameo.h"
#include "ui/skinbitmaps.h"
#include "ui/viewerplayers.h"
#include "ui/viewertiles.h"

namespace {

constexpr int kFrames = 24;
constexpr int kKeyEvery = 6;

// Fifteen frames a second: four fields between frames at 59.94, none before the first.
int FifteenPerSecond(int i)
{
    return i == 0 ? 0 : 4;
}

QString Probe(const QString& path, const char* stream, const char* entries)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"),
            {"-v", "error", "-select_streams", QLatin1String(stream), "-count_packets", "-show_entries",
             QStringLiteral("stream=") + QLatin1String(entries), "-of", "csv=p=0", path});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("ffprobe failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// The mean luma of the middle of each picture (away from the on-screen lines at the top left
// and the watermark at the bottom), as ffmpeg decodes the file.
QVector<double> MiddleLumas(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), {"-v", "error", "-i", path, "-map", "0:v", "-vsync", "passthrough", "-vf",
                                       "crop=120:80:150:80", "-f", "rawvideo", "-pix_fmt", "gray", "-"});
    QVector<double> means;
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return means;
    const QByteArray bytes = p.readAllStandardOutput();
    constexpr int kSize = 120 * 80;
    for (int at = 0; at + kSize <= bytes.size(); at += kSize) {
        qint64 sum = 0;
        for (int i = 0; i < kSize; ++i)
            sum += quint8(bytes[at + i]);
        means.append(double(sum) / kSize);
    }
    return means;
}

class ExportOwnRecordingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SkinBitmaps::Init();
        ASSERT_TRUE(m_home.isValid());
        ViewerEnvironment env = TestViewerEnvironment(m_home);
        env.chooseSavePath = [this](const QString&) { return m_savePath; };
        m_dialog = std::make_unique<CViewerDlg>(env);
        ASSERT_TRUE(m_dialog->OnInitDialog());
        m_dialog->show();
        // Recorded on 12/10/2026 from 12:00:00 on channel 1.
        const QString folder = m_home.filePath("Live/20261210") + QLatin1Char('/');
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString error = own_recording::Write(folder, QStringLiteral("20261210120000x"), kFrames, kKeyEvery,
                                                   FifteenPerSecond);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        m_recording = folder + QStringLiteral("x120000.001");
    }

    void TearDown() override
    {
        if (m_dialog)
            m_dialog->CloseWithoutAsking();
    }

    QTemporaryDir m_home;
    QString m_savePath;
    QString m_recording;
    std::unique_ptr<CViewerDlg> m_dialog;
};

} // namespace

TEST_F(ExportOwnRecordingTest, EntriesOfTheTilesRecordingAreWrittenAtItsOwnRate)
{
    ASSERT_EQ(m_dialog->OpenHandedOverPath(m_recording), 0);
    CSearchView* tile = m_dialog->Players().Player(0);
    ASSERT_TRUE(tile->IsOpened());
    ASSERT_FALSE(tile->IndexBased());
    m_dialog->Tiles().SelectOnly(0);
    tile->SeekToFrame(8); // the tile stands on entry 8
    ASSERT_EQ(tile->GetPlayPosition(), 8);

    m_dialog->ToolsPopup()->OnAviConvert();
    CAVIConvert* avi = m_dialog->AviExport();
    ASSERT_TRUE(avi->isVisible()) << "the export refused the player's own recording";
    EXPECT_TRUE(avi->EntryMode());
    EXPECT_EQ(avi->EntryRate(), 15);
    EXPECT_FALSE(m_dialog->Grid()->isEnabled());
    // From the tile's entry to the last entry (fewer than 100 follow it).
    EXPECT_EQ(avi->RangeStart(), 8);
    EXPECT_EQ(avi->RangeEnd(), kFrames - 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !avi->Preview()->pixmap(Qt::ReturnByValue).isNull(); }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return avi->isEnabled(); }, 20000));
    // The preview is entry 8's picture.
    const QImage preview = avi->Preview()->pixmap(Qt::ReturnByValue).toImage();
    EXPECT_NEAR(qGreen(preview.pixel(preview.width() / 2, preview.height() / 2)),
                own_recording::Grey(8, kKeyEvery), 2);
    EXPECT_FALSE(avi->AudioBox()->isEnabled()); // no sound is written entry by entry
    EXPECT_FALSE(avi->AudioBox()->isChecked());

    avi->SetRange(2, 20);
    avi->OsdBox()->setChecked(true);
    avi->MarkBox()->setChecked(true);
    // "Mpeg4" is offered when the encoder program is found and Xvid is there.
    const bool mp4 = avi->Mpeg4Box()->isEnabledTo(avi);
    EXPECT_EQ(mp4, !Mp4Reencode::FindEncoder().isEmpty() && CAviWriter::XvidInstalled());
    avi->Mpeg4Box()->setChecked(mp4);
    ASSERT_TRUE(QDir().mkpath(m_home.filePath("out")));
    m_savePath = m_home.filePath("out/Own.AVI");
    QSignalSpy finished(avi, &CAVIConvert::exportFinished);
    avi->OnSaveAvi();
    EXPECT_EQ(avi->SaveButton()->text(), QString("Stop Save"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 120000));
    EXPECT_EQ(finished.at(0).at(0).toString(), QString("Save AVI Finish"));
    const QString path = m_home.filePath("out/own.avi");
    ASSERT_TRUE(QFileInfo::exists(path));
    if (!CAviWriter::XvidInstalled())
        GTEST_SKIP() << "no Xvid encoder: written with Video 1 at 10 a second";
    // Entries 2 to 19: 18 positions at 15 a second, every third coded; no sound.
    EXPECT_EQ(Probe(path, "v:0", "codec_name,codec_tag_string,width,height,r_frame_rate,nb_read_packets"),
              QStringLiteral("mpeg4,XVID,336,224,15/1,6"));
    EXPECT_EQ(Probe(path, "a", "codec_name"), QString());
    const QVector<double> middles = MiddleLumas(path);
    ASSERT_EQ(middles.size(), 6);
    for (int k = 0; k < middles.size(); ++k) {
        const int entry = 2 + 2 + 3 * k; // coded positions 2, 5, 8, ...
        EXPECT_NEAR(middles[k], own_recording::Grey(entry, kKeyEvery), 2.0) << "picture " << k;
    }
    if (mp4) {
        const QString copy = m_home.filePath("out/own.mp4");
        EXPECT_EQ(Probe(copy, "v:0", "codec_name,width,height"), QStringLiteral("h264,336,224"));
        EXPECT_EQ(Probe(copy, "a", "codec_name"), QString());
    }

    avi->OnClose();
    EXPECT_FALSE(avi->isVisible());
    EXPECT_TRUE(m_dialog->Grid()->isEnabled());
    EXPECT_EQ(tile->GetPlayPosition(), 8);
    EXPECT_EQ(tile->State(), PlayState::Paused);
}

// Opening the export stops every other tile that plays; a tile that is open but still keeps its
// state, and the export tile stands where it was.
TEST_F(ExportOwnRecordingTest, OpeningTheExportStopsEveryOtherPlayingTile)
{
    // A recording long enough (40 s) to be playing still when the export opens.
    const QString folder = m_home.filePath("Live/20261211") + QLatin1Char('/');
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString error = own_recording::Write(folder, QStringLiteral("20261211120000x"), 600, kKeyEvery,
                                               FifteenPerSecond);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    const QString name = QStringLiteral("x120000.001");
    ViewerPlayers& players = m_dialog->Players();
    for (const int t : {0, 1, 2})
        ASSERT_TRUE(players.Open(t, folder, name)) << "tile " << t;
    m_dialog->Tiles().SelectOnly(0);
    players.Player(0)->SeekToFrame(8);
    const PlayState openOnly = players.Player(2)->State();
    players.Player(1)->PlayForward();
    ASSERT_TRUE(QTest::qWaitFor([&] { return players.Player(1)->IsRunning(); }, 20000));

    m_dialog->ToolsPopup()->OnAviConvert();
    ASSERT_TRUE(m_dialog->AviExport()->isVisible());
    EXPECT_FALSE(players.Player(1)->IsRunning());
    EXPECT_EQ(players.Player(1)->State(), PlayState::Stopping);
    EXPECT_EQ(players.Player(2)->State(), openOnly);
    EXPECT_EQ(players.Player(0)->GetPlayPosition(), 8);
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_dialog->AviExport()->isEnabled(); }, 20000));
    m_dialog->AviExport()->OnClose();
}
