// A local-file grid playing recordings that the project's writer made from ffmpeg's H.264:
// the cell shows the recording's pictures with its dates and times, the playback bar's codes
// reach every cell, and names and files that are not recordings open nothing.
#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <vector>

#include "common/media/modulerecord.h"
#include "common/support/decoder_streams.h"
#include "shell/ccameo.h"
#include "shell/support/grid_fixture.h"

namespace {

constexpr int kDate = 20261210;
constexpr int kWaitMs = 30000;

// Writes the stream on channel 4 (index 3) from startTime on, ten frames a second, a key frame
// at the start of every second; returns the day folder.
QString WriteRecording(const QString& root, const decoder_streams::Stream& stream, int startTime)
{
    {
        ModuleRecord writer;
        if (!writer.StartRecord(3, kDate, startTime, root, 0, ModuleRecord::RecordLive))
            return {};
        for (int i = 0; i < stream.frames.size(); ++i) {
            const QByteArray& f = stream.frames[i];
            writer.OnRecordData(3, kDate, startTime + i / 10, i % 10 == 0 ? 1 : 2, 2, f.constData(), f.size(), 1,
                                0);
        }
    }
    return root + QStringLiteral("/20261210");
}

class LocalGridTest : public GridTest
{
protected:
    void SetUp() override
    {
        GridTest::SetUp();
        ASSERT_TRUE(m_files.isValid());
        grid = NewGrid(CameoKind::Local, 4);
        grid->resize(320, 240);
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid));
    }

    bool WaitForTime(int cell, int time)
    {
        return QTest::qWaitFor([&] { return grid->GetCell(cell).osdTime == time; }, kWaitMs);
    }

    QTemporaryDir m_files;
    CCameo* grid = nullptr;
};

TEST_F(LocalGridTest, RecordingPlaysInTheSelectedCellWithItsTimes)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(160, 120, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QString folder = WriteRecording(m_files.path(), stream, 120000);
    ASSERT_TRUE(QFile::exists(folder + "/h120000.004"));

    grid->OpenLocalFile(folder, QStringLiteral("h120000.004"));
    const CameoCell opened = grid->GetCell(0);
    EXPECT_EQ(opened.recorder, CCameo::kLocalRecorder);
    EXPECT_EQ(opened.channel, 3);
    EXPECT_EQ(opened.localFolder, folder);
    EXPECT_EQ(opened.localDataFile, "h120000.004");
    EXPECT_EQ(opened.localIndexFile, "ih120000.004");
    const LocalPlaybackCell* playback = grid->GetLocalPlayback(0);
    ASSERT_NE(playback, nullptr);
    EXPECT_EQ(playback->GetFirstTime(), 120000);

    // Every second of the recording shows in turn, with the recording's date.
    for (int time : {120000, 120001, 120002})
        ASSERT_TRUE(WaitForTime(0, time)) << "never showed " << time;
    const CameoCell shown = grid->GetCell(0);
    EXPECT_EQ(shown.osdDate, kDate);
    EXPECT_FALSE(shown.picture.isNull());
    EXPECT_GT(shown.picture.width(), 10) << "still the blank placeholder";
    EXPECT_EQ(shown.playbackControl, PlaybackControl::Forward);

    // The composed grid shows the picture in cell 0 (a grey test pattern, not black).
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QImage back = grid->GetBackBuffer();
            const QColor c = back.pixelColor(back.width() / 4, back.height() / 4);
            return c.red() + c.green() + c.blue() > 60;
        },
        kWaitMs));

    // Restart goes back to the first time and plays again.
    grid->OnPlaybackCtrl(int(PlaybackControl::Restart));
    ASSERT_TRUE(WaitForTime(0, 120000));
    ASSERT_TRUE(WaitForTime(0, 120002));
}

// A local recording's pictures are converted once each at most, straight to the size of the cell
// that shows them (160 x 120 here, from a 352 x 240 stream), and only when the grid composes.
TEST_F(LocalGridTest, ShownPicturesAreConvertedOnceAtTheCellsSize)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QString folder = WriteRecording(m_files.path(), stream, 120000);
    grid->OpenLocalFile(folder, QStringLiteral("h120000.004"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return grid->GetLocalDecodedCount() >= 10 && grid->GetCell(0).fitted; }, kWaitMs));
    const CameoCell shown = grid->GetCell(0);
    EXPECT_EQ(shown.picture.size(), QSize(160, 120));
    EXPECT_EQ(shown.picture.format(), QImage::Format_RGB32);
    EXPECT_EQ(shown.fittedRect, QRect(0, 0, 160, 120)) << "a local file fills its cell";
    const qint64 conversions = grid->GetConversionCount();
    EXPECT_GE(conversions, 1);
    EXPECT_LE(conversions, grid->GetLocalDecodedCount()) << "no picture converted twice";
    EXPECT_LE(conversions, grid->GetCompositionCount() + 1) << "the first at once, the others when composed";
}

// Collects the areas the grid is asked to paint.
class PaintAreas : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            areas.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
    int Within(const QRect& r) const
    {
        return int(std::count_if(areas.begin(), areas.end(), [&](const QRect& a) { return r.contains(a); }));
    }
    std::vector<QRect> areas;
};

// A composition in which only one cell's picture changed has the screen repaint that cell alone:
// the grid's outer frame, drawn alike into every composition, does not widen it to the grid.
TEST_F(LocalGridTest, TheScreenRepaintsOnlyTheCellThatChanged)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(160, 120, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QString folder = WriteRecording(m_files.path(), stream, 120000);
    PaintAreas paints;
    grid->installEventFilter(&paints);
    grid->OpenLocalFile(folder, QStringLiteral("h120000.004"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return paints.Within(QRect(0, 0, 160, 120)) >= 3; }, kWaitMs))
        << paints.areas.size() << " repaints, none of cell 0 alone";
    grid->removeEventFilter(&paints);
}

// A recording dragged from a file list (its path and name) onto a cell plays in that cell.
TEST_F(LocalGridTest, ADroppedRecordingPlaysInTheCellItWasDroppedOn)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(160, 120, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QString folder = WriteRecording(m_files.path(), stream, 93000);
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        out << folder + QStringLiteral("/h093000.004") << QStringLiteral("h093000.004");
    }
    QMimeData data;
    data.setData(QStringLiteral("application/filedrag"), payload);
    const QPoint cell3(240, 180); // 320 x 240 in four cells: cell 3 is the lower right one
    QDragEnterEvent enter(cell3, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(cell3, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &drop);

    EXPECT_EQ(grid->GetSelectedCell(), 3);
    const CameoCell opened = grid->GetCell(3);
    EXPECT_EQ(opened.recorder, CCameo::kLocalRecorder);
    EXPECT_EQ(opened.localDataFile, "h093000.004");
    for (int time : {93000, 93001})
        ASSERT_TRUE(WaitForTime(3, time)) << "never showed " << time;
    EXPECT_EQ(grid->GetCell(0).recorder, -1) << "the other cells stay empty";
}

TEST_F(LocalGridTest, PauseAndFastForwardReachEveryCellAndTheDisplay)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(160, 120, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QString folder = WriteRecording(m_files.path(), stream, 80000);
    grid->OpenLocalFile(folder, QStringLiteral("h080000.004"));
    ASSERT_TRUE(WaitForTime(0, 80000));

    grid->OnPlaybackCtrl(int(PlaybackControl::Pause));
    for (int cell = 0; cell < 4; ++cell)
        EXPECT_EQ(grid->GetCell(cell).playbackControl, PlaybackControl::Pause) << cell;
    grid->OnPlaybackCtrl(int(PlaybackControl::Pause));
    EXPECT_EQ(grid->GetCell(0).playbackControl, PlaybackControl::Forward);

    grid->OnPlaybackCtrl(int(PlaybackControl::FastForward));
    grid->OnPlaybackCtrl(int(PlaybackControl::FastForward));
    EXPECT_EQ(grid->GetCell(0).playbackControl, PlaybackControl::FastForward);
    EXPECT_EQ(grid->GetCell(0).speed, 3);
    EXPECT_TRUE(grid->GetLocalPlayback(0)->IsKeyFramesOnly());
    // Fast forward still shows the key frames of the following seconds.
    ASSERT_TRUE(WaitForTime(0, 80002));
}

// The grid keeps moving after each playback control: what the grid shows (its grab) must go on
// changing after the control, picture after picture, not only the cell's time behind it.
TEST_F(LocalGridTest, TheGridKeepsMovingAfterEachPlaybackControl)
{
    struct Case
    {
        const char* name;
        std::vector<PlaybackControl> controls;
    };
    const Case cases[] = {
        {"pause then play", {PlaybackControl::Pause, PlaybackControl::Pause}},
        {"fast forward", {PlaybackControl::FastForward}},
        {"restart", {PlaybackControl::Restart}},
    };
    const decoder_streams::Stream& stream = decoder_streams::Make(160, 120, 300, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QString folder = WriteRecording(m_files.path(), stream, 70000);
    for (const Case& c : cases) {
        // Each case in a grid of its own, playing from the start.
        grid = NewGrid(CameoKind::Local, 4);
        grid->resize(320, 240);
        grid->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(grid));
        grid->OpenLocalFile(folder, QStringLiteral("h070000.004"));
        ASSERT_TRUE(WaitForTime(0, 70001)) << c.name;
        for (PlaybackControl control : c.controls)
            grid->OnPlaybackCtrl(int(control));
        // Three new pictures in a row, each seen on the grid's own paint.
        QImage shown = grid->grab().toImage();
        for (int change = 0; change < 3; ++change) {
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    const QImage now = grid->grab().toImage();
                    if (now == shown)
                        return false;
                    shown = now;
                    return true;
                },
                kWaitMs))
                << c.name << ": the grid stopped after " << change << " new pictures";
        }
    }
}

// Damaged recordings play what is left: a data file cut short (its last second's records and
// frames gone) and frames overwritten with garbage decode to nothing and are passed over.
TEST_F(LocalGridTest, DamagedRecordingPlaysWhatIsLeft)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(160, 120, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QString folder = WriteRecording(m_files.path(), stream, 150000);
    QFile data(folder + "/h150000.004");
    ASSERT_TRUE(data.open(QIODevice::ReadWrite));
    const qint64 size = data.size();
    // Garbage over the middle of the second second's frames, then the file loses its tail.
    int secondStart = 0;
    for (int i = 0; i < 10; ++i)
        secondStart += stream.frames[i].size();
    secondStart += 10 * 336; // the first second's frame records follow its frames
    ASSERT_TRUE(data.seek(secondStart + stream.frames[10].size() + 8));
    data.write(QByteArray(200, '\x5a'));
    ASSERT_TRUE(data.resize(size - 11 * 336));
    data.close();

    grid->OpenLocalFile(folder, QStringLiteral("h150000.004"));
    ASSERT_TRUE(WaitForTime(0, 150000));
    ASSERT_TRUE(WaitForTime(0, 150001));
    // The third second's block is gone: the playback passes on to the end of the day and the
    // grid still answers.
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid->GetLocalPlayback(0)->GetPosition() >= 86400; }, kWaitMs));
    EXPECT_EQ(grid->GetCell(0).osdTime, 150001);
    grid->OnPlaybackCtrl(int(PlaybackControl::Restart));
    ASSERT_TRUE(WaitForTime(0, 150000));
}

TEST_F(LocalGridTest, NamesAndFilesThatAreNotRecordingsOpenNothing)
{
    QDir(m_files.path()).mkpath("day");
    const QString folder = m_files.path() + "/day";
    QFile small(folder + "/ih100000.001");
    ASSERT_TRUE(small.open(QIODevice::WriteOnly));
    small.write(QByteArray(512, '\0'));
    small.close();

    grid->OpenLocalFile(folder, QStringLiteral("x100000.001"));
    EXPECT_EQ(grid->GetCell(0).recorder, -1) << "a name not starting with h is refused";

    // An index of exactly 512 bytes and a missing index: the cell is bound, nothing plays, and
    // no file is created.
    for (const char* name : {"h100000.001", "h110000.002"}) {
        grid->OpenLocalFile(folder, QLatin1String(name));
        EXPECT_EQ(grid->GetCell(0).recorder, CCameo::kLocalRecorder) << name;
        EXPECT_FALSE(grid->GetLocalPlayback(0)->IsRunning()) << name;
    }
    EXPECT_FALSE(QFile::exists(folder + "/ih110000.002"));
    EXPECT_FALSE(QFile::exists(folder + "/h110000.002"));

    // A live grid has no local cells.
    CCameo* live = NewGrid(CameoKind::Live, 4);
    live->OpenLocalFile(folder, QStringLiteral("h100000.001"));
    EXPECT_EQ(live->GetCell(0).recorder, -1);
    EXPECT_EQ(live->GetLocalPlayback(0), nullptr);
}

} // namespace
