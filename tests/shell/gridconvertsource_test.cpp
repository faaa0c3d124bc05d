// Conversion through the hidden one-cell local-file grid: the grid reads the recording in
// convert mode (no playback thread, no pacing) and hands every frame to the job; ffprobe reads
// back what was written.
#include "backup/caviconvert.h"
#include "backup/convertjob.h"
#include "backup/support/recording_fixture.h"
#include "common/media/timeoverlay.h"
#include "common/support/decoder_streams.h"
#include "common/support/mediaprobe.h"
#include "shell/ccameo.h"
#include "shell/gridconvertsource.h"
#include "shell/localplaybackcell.h"
#include "shell/support/mainwin_fixture.h"
#include "sitebook/support/sitebook_modal.h"
#include "widgets/messagedlg.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <QWidget>

#include <vector>

namespace {

using recording_fixture::Recording;

class GridConvertTest : public MainWinTest
{
protected:
    void SetUp() override
    {
        MainWinTest::SetUp();
        StartHub();
        ASSERT_TRUE(Pictures().error.isEmpty());
        m_source = std::make_unique<GridConvertSource>(hub.get());
    }
    void TearDown() override
    {
        m_source.reset();
        StopHub();
        MainWinTest::TearDown();
    }
    static const decoder_streams::Stream& Pictures() { return decoder_streams::Make(320, 240, 40, 10); }
    Recording Make(int startTime, int pictures, const QString& sub = "rec")
    {
        const Recording r = recording_fixture::Write(
            programDir.path() + "/" + sub, Pictures().frames.mid(0, pictures), 20261209, startTime, 3, 10, 10);
        EXPECT_TRUE(r.error.isEmpty()) << qPrintable(r.error);
        return r;
    }
    ConvertJob::Options Options(const QString& name, bool overlay) const
    {
        ConvertJob::Options o;
        o.outputPath = programDir.path() + "/" + name;
        o.formatName = "mp4";
        o.timeOverlay = overlay;
        o.fontFile = TimeOverlay::FontFile(programDir.path());
        return o;
    }

    std::unique_ptr<GridConvertSource> m_source;
};

TEST_F(GridConvertTest, GridReadsEveryFrameForTheJob)
{
    const Recording r = Make(95958, 40); // a partial first minute, into the next
    for (bool overlay : {false, true}) {
        const QString name = overlay ? "osd.mp4" : "plain.mp4";
        ConvertJob job(Options(name, overlay));
        EXPECT_EQ(job.Run(*m_source, r.folder, r.fileName, nullptr, nullptr), ConvertJob::Result::Written);
        EXPECT_EQ(job.FramesRead(), 40);
        EXPECT_FALSE(m_source->Grid()->IsConvertMode()) << "the mode ends with the run";
        const LocalPlaybackCell* cell = m_source->Grid()->GetLocalPlayback(0);
        ASSERT_NE(cell, nullptr);
        EXPECT_FALSE(cell->IsRunning()) << "no playback thread in convert mode";
        EXPECT_EQ(m_source->StartTime(), 95958);
        const mediaprobe::Probe probe = mediaprobe::Run(programDir.path() + "/" + name);
        ASSERT_TRUE(probe.error.isEmpty()) << qPrintable(probe.error);
        EXPECT_EQ(probe.codecName, "h264");
        EXPECT_EQ(probe.packets.size(), 40);
        EXPECT_EQ(probe.decodedFrames, 40);
        std::vector<int> keys;
        for (int i = 0; i < probe.packets.size(); ++i) {
            if (probe.packets[i].key)
                keys.push_back(i);
        }
        EXPECT_EQ(keys, (std::vector<int>{0, 10, 20, 30})) << qPrintable(name);
    }
}

TEST_F(GridConvertTest, MidnightSecondIsConverted)
{
    const Recording r = Make(0, 20);
    ConvertJob job(Options("midnight.mp4", false));
    EXPECT_EQ(job.Run(*m_source, r.folder, r.fileName, nullptr, nullptr), ConvertJob::Result::Written);
    EXPECT_EQ(job.FramesRead(), 20);
}

TEST_F(GridConvertTest, RecordingTheGridCannotOpenIsNotConvertedFromTheLastOne)
{
    const Recording good = Make(120000, 20);
    ConvertJob first(Options("first.mp4", false));
    ASSERT_EQ(first.Run(*m_source, good.folder, good.fileName, nullptr, nullptr), ConvertJob::Result::Written);
    // The cell still holds the first recording; names it would not open are refused.
    for (const char* name : {"x120000.004", "h130000.004", "h120000.abc"}) {
        ConvertJob job(Options(QStringLiteral("%1.mp4").arg(name), false));
        EXPECT_EQ(job.Run(*m_source, good.folder, QString::fromLatin1(name), nullptr, nullptr),
                  ConvertJob::Result::NotOpened)
            << name;
        EXPECT_EQ(job.FramesRead(), 0);
    }
}

TEST_F(GridConvertTest, TileThatPlaysARecordingConvertsItInAWindowOfItsOwn)
{
    const Recording r = Make(120000, 30);
    auto tile = std::make_unique<CCameo>(hub.get());
    tile->InitCameo(int(CameoKind::Local), 4, -1);
    tile->OpenLocalFile(r.folder, r.fileName);
    ASSERT_EQ(tile->GetCell(0).localDataFile, r.fileName);

    QStringList listed;
    QString finished;
    // The window runs modally: Start, then the closing box, then the window is closed.
    auto start = OnNextDialog<CAVIConvert>([&listed](CAVIConvert* window) {
        for (int row = 0; row < window->Model()->rowCount(); ++row)
            listed << window->Model()->data(window->Model()->index(row, 1)).toString();
        const QList<QPushButton*> buttons = window->findChildren<QPushButton*>();
        for (QPushButton* b : buttons) {
            if (b->text() == "Start")
                b->click();
        }
    });
    auto box = OnNextDialog<MessageDlg>(
        [&finished](MessageDlg* dialog) {
            if (QLabel* label = dialog->findChild<QLabel*>())
                finished = label->text();
            dialog->done(0);
            QTimer::singleShot(0, [] {
                const QWidgetList all = QApplication::topLevelWidgets();
                for (QWidget* w : all) {
                    if (auto* window = qobject_cast<CAVIConvert*>(w); window && window->isVisible())
                        window->close();
                }
            });
        },
        120000);
    tile->OnAviAction();
    EXPECT_TRUE(start->Done());
    EXPECT_TRUE(box->Done());
    EXPECT_EQ(listed, QStringList{r.fileName});
    EXPECT_EQ(finished, "MP4 Convert Finish");
    EXPECT_EQ(mediaprobe::Run(r.folder + r.fileName + ".mp4").packets.size(), 30);
    tile.reset();
}

} // namespace
