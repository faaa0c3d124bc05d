// A recording as the client makes it from a recorder's live video: each access unit of an
// ffmpeg-made stream, renumbered as recorders number their frames, inside the recorder's frame
// payload (20 header bytes: 00 00 01 06, the kind in byte 7, the length in 4-byte units in
// bytes 9..11; the parameter sets; the slice start code on a 32-bit word), written by the
// client's own writer. The main dialog opens it in a tile and plays it; the tile then shows
// ffmpeg's own decode of the same stream, and the picture moves.
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <limits>

#include "common/media/modulerecord.h"
#include "common/support/decoder_streams.h"
#include "playback/searchview.h"
#include "player/support/recorderpayload.h"
#include "support/viewerhome.h"
#include "ui/caviconvert.h"
#include "ui/cdlgadjust.h"
#include "ui/cdlgalarm.h"
#include "ui/cmsgdlg.h"
#include "ui/cosdsetupdlg.h"
#include "ui/cpreviewdlg.h"
#include "ui/csearchcontrol.h"
#include "ui/cskinbutton.h"
#include "ui/cskinmenu.h"
#include "ui/cskinslider.h"
#include "ui/ctimeslider.h"
#include "ui/cviewerdlg.h"
#include "ui/hpcameo.h"
#include "ui/skinbitmaps.h"
#include "ui/viewercameohost.h"
#include "ui/viewerplayers.h"
#include "ui/viewerpreviews.h"
#include "ui/viewertiles.h"

namespace {

constexpr int kFrames = 80;
constexpr int kKeyInterval = 10;
constexpr int kDate = 20261210;
constexpr int kStart = 120000;

struct Recording
{
    QString dataPath;
    QString error;
};

// How the recorder sent the frames the client recorded: inside its frame payload, numbered as
// recorders of the first stream kind number them, or as bare access units of the encoder.
enum class StreamForm { Wrapped, Plain };

// Ten frames a second from kStart on channel 3, a key frame every kKeyInterval frames.
Recording WriteRecording(const QString& root, const QList<QByteArray>& units,
                         StreamForm form = StreamForm::Wrapped)
{
    Recording r;
    ModuleRecord writer;
    writer.SetNoRefresh(true);
    if (!writer.StartRecord(2, kDate, kStart, root, 0, ModuleRecord::RecordLive)) {
        r.error = QStringLiteral("StartRecord refused");
        return r;
    }
    for (int i = 0; i < units.size(); ++i) {
        const bool key = i % kKeyInterval == 0;
        const QByteArray payload = form == StreamForm::Wrapped ? recorder_payload::Wrap(units[i]) : units[i];
        if (payload.isEmpty()) {
            r.error = QStringLiteral("frame %1 does not fit the recorder's payload").arg(i);
            return r;
        }
        const int time = kStart + i / 10;
        if (writer.OnRecordData(2, kDate, time, key ? 1 : 0, 1, payload.constData(), payload.size(), 1, 0) <= 0) {
            r.error = QStringLiteral("frame %1 not written").arg(i);
            return r;
        }
    }
    writer.StopRecord(2);
    r.dataPath = QDir(root).filePath(QStringLiteral("20261210/h120000.003"));
    return r;
}

// What a tile shows of a picture that is neither 336 nor 672 pixels wide: the capture border
// is cropped, 2 pixels at the left and top and 14 at the right.
QRect ShownRegion(int width, int height)
{
    return QRect(2, 2, width - 16, height - 2);
}

// Mean difference per colour value between a correctly decoded picture and ffmpeg's decode of
// the same picture scaled to the tile: what the two scalers differ by at the colour bars' edges
// and nothing more. A picture decoded against a wrong reference differs by far more.
constexpr double kSamePicture = 9.0;

// The middle of a picture, away from the OSD's texts along the top and bottom edges.
QRect MiddleOf(const QSize& size)
{
    return QRect(size.width() / 4, size.height() / 4, size.width() / 2, size.height() / 2);
}

double MeanDifference(const QImage& a, const QImage& b, const QRect& area)
{
    qint64 sum = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    }
    return double(sum) / (3.0 * area.width() * area.height());
}

class PlayRecordingTest : public ::testing::Test
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
    }

    void TearDown() override
    {
        if (m_dialog)
            m_dialog->CloseWithoutAsking();
    }

    // The picture of tile 0 as the grid shows it.
    QImage TilePicture() const
    {
        CameoRect rect;
        if (!m_dialog->Grid()->GetCameoRect(0, &rect))
            return QImage();
        const QImage grid = m_dialog->Grid()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return grid.copy(rect.left, rect.top, rect.Width(), rect.Height());
    }

    // A 320 x 240 recording numbered as a recorder numbers it, opened in tile 0, selected, in
    // the one-tile layout.
    void OpenInOneTile()
    {
        const decoder_streams::Stream& stream = decoder_streams::Make(320, 240, kFrames, kKeyInterval, true);
        ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
        const QList<QByteArray> units = decoder_streams::Renumber(stream.frames,
                                                                  decoder_streams::Numbering::FrameNum4Poc5);
        const Recording recording = WriteRecording(m_home.filePath("rec"), units);
        ASSERT_TRUE(recording.error.isEmpty()) << recording.error.toStdString();
        ASSERT_EQ(m_dialog->OpenHandedOverPath(recording.dataPath), 0);
        m_dialog->Tiles().SelectOnly(0);
        m_dialog->SetSplitMode(0, true, false);
    }

    // The reference picture nearest to what tile 0 shows: index and mean difference.
    std::pair<int, double> NearestReference(const QImage& shown, const QByteArray& references) const
    {
        const int bytes = shown.width() * shown.height() * 4;
        std::pair<int, double> best{-1, std::numeric_limits<double>::max()};
        for (int i = 0; (i + 1) * bytes <= references.size(); ++i) {
            const QImage ref(reinterpret_cast<const uchar*>(references.constData()) + i * bytes, shown.width(),
                             shown.height(), QImage::Format_RGB32);
            const double d = MeanDifference(shown, ref, MiddleOf(shown.size()));
            if (d < best.second)
                best = {i, d};
        }
        return best;
    }

    QTemporaryDir m_home;
    std::unique_ptr<CViewerDlg> m_dialog;
    QString m_savePath; // what the export's save dialog answers
};

// ffprobe's view of a file's video stream: "codec,width,height,packets".
QString ProbeVideo(const QString& path)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                {"-v", "error", "-select_streams", "v:0", "-count_packets", "-show_entries",
                 "stream=codec_name,width,height,nb_read_packets", "-of", "csv=p=0", path});
    if (!probe.waitForFinished(60000) || probe.exitCode() != 0)
        return QStringLiteral("ffprobe failed: ") + QString::fromLocal8Bit(probe.readAllStandardError());
    return QString::fromLocal8Bit(probe.readAllStandardOutput()).trimmed();
}

} // namespace

struct PlaySize
{
    int width;
    int height;
    StreamForm form;
};

class PlayRecordingSizes : public PlayRecordingTest, public ::testing::WithParamInterface<PlaySize>
{};

TEST_P(PlayRecordingSizes, RecordedLiveVideoPlaysInItsTileAsFfmpegDecodesIt)
{
    const PlaySize size = GetParam();
    const decoder_streams::Stream& stream = decoder_streams::Make(size.width, size.height, kFrames, kKeyInterval,
                                                                  true);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QList<QByteArray> units = size.form == StreamForm::Wrapped ? decoder_streams::Renumber(
                                        stream.frames, decoder_streams::Numbering::FrameNum4Poc5)
                                                                     : stream.frames;
    ASSERT_EQ(units.size(), kFrames);
    const Recording recording = WriteRecording(m_home.filePath("rec"), units, size.form);
    ASSERT_TRUE(recording.error.isEmpty()) << recording.error.toStdString();

    ASSERT_EQ(m_dialog->OpenHandedOverPath(recording.dataPath), 0);
    ASSERT_TRUE(m_dialog->PlayFlag(0));
    const QSize tile = TilePicture().size();
    ASSERT_FALSE(tile.isEmpty());
    QString error;
    const QByteArray references = decoder_streams::ScaledRegionReference(
        stream, ShownRegion(size.width, size.height), tile.width(), tile.height(), kFrames, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();

    // Opened: playing brings the recording's pictures into the tile.
    m_dialog->ControlBar()->OnPlayForward();
    std::pair<int, double> first{-1, 0};
    const bool shown = QTest::qWaitFor(
        [&] {
            first = NearestReference(TilePicture(), references);
            return first.second < kSamePicture;
        },
        20000);
    if (!shown)
        TilePicture().save(QStringLiteral(ZENT_BINARY_DIR "/playrecording_shown.png"));
    ASSERT_TRUE(shown) << "nearest reference " << first.first << " differs by " << first.second;

    // Playing moves the picture on through the recording; every picture shown on the way,
    // predicted ones included, is the one ffmpeg decodes.
    std::pair<int, double> later{-1, 0};
    double worst = 0;
    const bool moved = QTest::qWaitFor(
        [&] {
            later = NearestReference(TilePicture(), references);
            worst = std::max(worst, later.second);
            return later.first >= first.first + 5 && later.first % kKeyInterval != 0;
        },
        20000);
    if (!moved || worst >= kSamePicture)
        TilePicture().save(QStringLiteral(ZENT_BINARY_DIR "/playrecording_played.png"));
    EXPECT_TRUE(moved) << "nearest reference " << later.first;
    EXPECT_LT(worst, kSamePicture) << "a picture on the way differed by " << worst;

    // Pausing holds the picture.
    m_dialog->ControlBar()->OnPause();
    const bool held = QTest::qWaitFor(
        [&] {
            const QImage a = TilePicture();
            QTest::qWait(300);
            return MeanDifference(a, TilePicture(), MiddleOf(a.size())) == 0.0;
        },
        20000);
    EXPECT_TRUE(held);
}

// The control bar's buttons pressed on a tile that already plays: the tile takes each
// operation again (">>" moves its speed on), answers the "BUFFERING" box once, and the box
// closes with the bar and the grid usable again, also once the engines' own late answers
// have come in.
TEST_F(PlayRecordingTest, ButtonsPressedOnAPlayingTileNeverLeaveTheDialogWaiting)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(176, 144, 300, kKeyInterval, true);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const Recording recording = WriteRecording(
        m_home.filePath("rec"),
        decoder_streams::Renumber(stream.frames, decoder_streams::Numbering::FrameNum4Poc5));
    ASSERT_TRUE(recording.error.isEmpty()) << recording.error.toStdString();
    ASSERT_EQ(m_dialog->OpenHandedOverPath(recording.dataPath), 0);
    m_dialog->Tiles().SelectOnly(0);
    CSearchView* player = m_dialog->Players().Player(0);
    ASSERT_NE(player, nullptr);

    const struct
    {
        int button;
        PlayState state;
        int speed; // 0: not a fast state
    } presses[] = {
        {1101, PlayState::Forward, 0},     {1101, PlayState::Forward, 0},     {1104, PlayState::FastForward, 1},
        {1104, PlayState::FastForward, 2}, {1104, PlayState::FastForward, 3}, {1104, PlayState::FastForward, 4},
        {1104, PlayState::FastForward, 5}, {1104, PlayState::FastForward, 1}, {1102, PlayState::FastBackward, 1},
        {1101, PlayState::Forward, 0},
    };
    int n = 0;
    for (const auto& p : presses) {
        ++n;
        QTest::mouseClick(m_dialog->ControlBar()->Button(p.button), Qt::LeftButton);
        EXPECT_EQ(player->State(), p.state) << "press " << n;
        if (p.speed > 0) {
            EXPECT_EQ(player->FastSpeed(), p.speed) << "press " << n;
            // The tile's OSD writes "x<speed>" beside the fast play marks.
            const std::optional<OsdPlayerText> osd = m_dialog->DisplayHost().PlayerText(0);
            ASSERT_TRUE(osd.has_value());
            EXPECT_EQ(osd->speedStep + 1, p.speed) << "press " << n;
        }
        QCoreApplication::processEvents(); // the engine's queued answers
        EXPECT_FALSE(m_dialog->WaitBox()->isVisible()) << "press " << n;
        EXPECT_TRUE(m_dialog->ControlBar()->isEnabled()) << "press " << n;
        EXPECT_TRUE(m_dialog->ControlBar()->Button(p.button)->isEnabled()) << "press " << n;
        EXPECT_TRUE(m_dialog->Grid()->isEnabled()) << "press " << n;
    }
    m_dialog->ControlBar()->OnPause();
    EXPECT_EQ(player->State(), PlayState::Paused);
}

// Files dropped from a file manager onto the dialog: the first names a recording and opens in
// the tile under the pointer, which alone is selected; the second file is not looked at.
TEST_F(PlayRecordingTest, ADroppedRecordingOpensInTheTileUnderThePointer)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(176, 144, 20, kKeyInterval, true);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const Recording recording = WriteRecording(
        m_home.filePath("rec"),
        decoder_streams::Renumber(stream.frames, decoder_streams::Numbering::FrameNum4Poc5));
    ASSERT_TRUE(recording.error.isEmpty()) << recording.error.toStdString();

    CameoRect fourth;
    ASSERT_TRUE(m_dialog->Grid()->GetCameoRect(3, &fourth));
    const QPoint over = m_dialog->Grid()->mapTo(
        m_dialog.get(), QPoint((fourth.left + fourth.right) / 2, (fourth.top + fourth.bottom) / 2));
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(recording.dataPath), QUrl::fromLocalFile(m_home.filePath("h130000.003"))});
    QDragEnterEvent enter(over, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_dialog.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(over, Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(m_dialog.get(), &drop);

    EXPECT_EQ(m_dialog->SelectedCameos(), QVector<int>({3}));
    EXPECT_TRUE(m_dialog->PlayFlag(3));
    EXPECT_FALSE(m_dialog->PlayFlag(0));
    CSearchView* player = m_dialog->Players().Player(3);
    ASSERT_NE(player, nullptr);
    EXPECT_TRUE(player->IsOpened());
    EXPECT_EQ(player->DataPath(), recording.dataPath);
    EXPECT_EQ(player->GetCurrentTimeString(), QString("120000"));
}

// In the one-tile layout the mouse over the play slider shows the ten previews, each with the
// picture of its tenth of the recording decoded by the previews' own decoder; leaving the
// slider hides them again.
TEST_F(PlayRecordingTest, SliderPreviewsShowTheirPicturesOfTheRecording)
{
    ASSERT_NO_FATAL_FAILURE(OpenInOneTile());
    ASSERT_EQ(m_dialog->CurrentTile(), 0);
    ASSERT_TRUE(m_dialog->PlaySlider()->isVisible());

    emit m_dialog->PlaySlider()->hoverChanged(true);
    ViewerPreviews* previews = m_dialog->Previews();
    EXPECT_TRUE(previews->Shown());
    // Only previews whose number lies within the recording's length (eight seconds) show.
    const int length = m_dialog->PlaySlider()->maximum();
    ASSERT_GT(length, 3);
    for (int i = 0; i < ViewerPreviews::kPreviews; ++i)
        EXPECT_EQ(previews->Preview(i)->isVisible(), i <= length) << i << " of " << length;
    // The recording's seconds hold key frames: the first previews get pictures of its size.
    const bool pictures = QTest::qWaitFor(
        [&] {
            for (int i = 0; i < 3; ++i) {
                if (previews->Preview(i)->Picture().size() != QSize(320, 240))
                    return false;
            }
            return true;
        },
        20000);
    EXPECT_TRUE(pictures);

    emit m_dialog->PlaySlider()->hoverChanged(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !previews->Preview(0)->isVisible(); }, 10000));
    EXPECT_FALSE(previews->Shown());
}

// Waits until tile 0 shows reference picture `expected`; what it showed last otherwise (the
// nearest reference and its difference) in `last`.
bool ShowsReference(int expected, const std::function<QImage()>& picture, const QSize& tile,
                    const std::function<std::pair<int, double>(const QImage&)>& nearest,
                    std::pair<int, double>& last)
{
    return QTest::qWaitFor(
        [&] {
            const QImage now = picture();
            if (now.size() != tile)
                return false;
            last = nearest(now);
            return last.first == expected && last.second < kSamePicture;
        },
        20000);
}

// Opening a recording shows its first picture in the tile at once, before any play.
// Seeking into a second whose frames belong to a group that began in an earlier second shows
// the picture decoded from that group's key frame on, as ffmpeg decodes it.
TEST_F(PlayRecordingTest, OpeningShowsTheFirstPictureAndASeekDecodesFromTheGroupsKeyFrame)
{
    // Ten frames a second and a key frame every 25: seconds 1, 3, 4 and 6 begin inside a group
    // whose key frame lies in an earlier second.
    constexpr int kFrames25 = 80;
    constexpr int kGroup = 25;
    const decoder_streams::Stream& stream = decoder_streams::Make(320, 240, kFrames25, kGroup, true);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const QList<QByteArray> units = decoder_streams::Renumber(stream.frames,
                                                              decoder_streams::Numbering::FrameNum4Poc5);
    ASSERT_EQ(units.size(), kFrames25);

    Recording recording;
    {
        ModuleRecord writer;
        writer.SetNoRefresh(true);
        ASSERT_TRUE(writer.StartRecord(2, kDate, kStart, m_home.filePath("rec"), 0, ModuleRecord::RecordLive));
        for (int i = 0; i < units.size(); ++i) {
            const QByteArray payload = recorder_payload::Wrap(units[i]);
            ASSERT_FALSE(payload.isEmpty()) << i;
            ASSERT_GT(writer.OnRecordData(2, kDate, kStart + i / 10, i % kGroup == 0 ? 1 : 0, 1,
                                          payload.constData(), payload.size(), 1, 0),
                      0)
                << i;
        }
        writer.StopRecord(2);
        recording.dataPath = QDir(m_home.filePath("rec")).filePath(QStringLiteral("20261210/h120000.003"));
    }

    ASSERT_EQ(m_dialog->OpenHandedOverPath(recording.dataPath), 0);
    ASSERT_TRUE(m_dialog->PlayFlag(0));
    m_dialog->Tiles().SelectOnly(0);
    m_dialog->SetSplitMode(0, true, false);
    const QSize tile = TilePicture().size();
    ASSERT_FALSE(tile.isEmpty());
    QString error;
    const QByteArray references = decoder_streams::ScaledRegionReference(
        stream, ShownRegion(320, 240), tile.width(), tile.height(), kFrames25, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    auto picture = [this] { return TilePicture(); };
    auto nearest = [&](const QImage& shown) { return NearestReference(shown, references); };

    std::pair<int, double> last{-1, 0};
    EXPECT_TRUE(ShowsReference(0, picture, tile, nearest, last))
        << "the opened tile shows picture " << last.first << " (difference " << last.second << ")";

    CSearchView* player = m_dialog->Players().Player(0);
    ASSERT_NE(player, nullptr);
    // Each second's first frame, with the group it belongs to beginning in an earlier second.
    const struct
    {
        int second;
        int frame;
    } seeks[] = {{1, 10}, {3, 30}, {6, 60}, {4, 40}};
    for (const auto& seek : seeks) {
        player->SeekToFrame(seek.second);
        EXPECT_TRUE(ShowsReference(seek.frame, picture, tile, nearest, last))
            << "second " << seek.second << " shows picture " << last.first << " (difference " << last.second
            << ")";
    }
}

// A recording named on the command line is opened while the dialog is built, before it is
// shown: the first picture is there when the window appears, without play.
TEST(PlayRecordingStartUp, TheCommandLinesRecordingShowsItsFirstPictureOnOpening)
{
    SkinBitmaps::Init();
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const decoder_streams::Stream& stream = decoder_streams::Make(320, 240, kFrames, kKeyInterval, true);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const Recording recording = WriteRecording(
        home.filePath("rec"), decoder_streams::Renumber(stream.frames, decoder_streams::Numbering::FrameNum4Poc5));
    ASSERT_TRUE(recording.error.isEmpty()) << recording.error.toStdString();

    ViewerEnvironment env;
    env.programPath = home.filePath("orvane");
    env.programFolder = home.path() + "/";
    env.drives = platform::DriveRoot(home.filePath("drives"));
    env.dataFolder = home.filePath("data");
    env.registerFileTypes = false;
    env.askOnExit = false;
    env.pendingPath = recording.dataPath;
    CViewerDlg dialog(env);
    ASSERT_TRUE(dialog.OnInitDialog());
    dialog.show();
    ASSERT_TRUE(dialog.PlayFlag(0));

    CameoRect rect;
    ASSERT_TRUE(dialog.Grid()->GetCameoRect(0, &rect));
    auto picture = [&] {
        const QImage grid = dialog.Grid()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return grid.copy(rect.left, rect.top, rect.Width(), rect.Height());
    };
    const QSize tile = picture().size();
    QString error;
    const QByteArray references = decoder_streams::ScaledRegionReference(
        stream, ShownRegion(320, 240), tile.width(), tile.height(), kFrames, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    std::pair<int, double> last{-1, 0};
    const bool shown = QTest::qWaitFor(
        [&] {
            const QImage now = picture();
            const int bytes = now.width() * now.height() * 4;
            if (references.size() < bytes)
                return false;
            const QImage first(reinterpret_cast<const uchar*>(references.constData()), now.width(), now.height(),
                               QImage::Format_RGB32);
            last = {0, MeanDifference(now, first, MiddleOf(now.size()))};
            return last.second < kSamePicture;
        },
        20000);
    EXPECT_TRUE(shown) << "the tile differs from the first picture by " << last.second;
    EXPECT_EQ(dialog.Players().Player(0)->State(), PlayState::Start);
    dialog.CloseWithoutAsking();
}

// The tools popup's "AVI Convert" opens the export dialog over the selected tile; "Save AVI"
// writes the chosen range into the file the save dialog names (its name lower-cased), thirty
// positions a second of which every third is coded, and the main dialog comes back on Close.
TEST_F(PlayRecordingTest, TheExportDialogWritesTheTilesRangeIntoAnAviFile)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(320, 240, kFrames, kKeyInterval, true);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    const Recording recording = WriteRecording(
        m_home.filePath("rec"),
        decoder_streams::Renumber(stream.frames, decoder_streams::Numbering::FrameNum4Poc5));
    ASSERT_TRUE(recording.error.isEmpty()) << recording.error.toStdString();
    // The recording's sound beside it: a mu-law file, each second one code of its own.
    {
        QFile sound(QFileInfo(recording.dataPath).dir().filePath("a1120000.003"));
        ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
        for (int second = 0; second < 8; ++second)
            sound.write(QByteArray(8000, char(0x10 + second)));
    }
    ASSERT_EQ(m_dialog->OpenHandedOverPath(recording.dataPath), 0);
    m_dialog->Tiles().SelectOnly(0);

    m_dialog->ToolsPopup()->OnAviConvert();
    CAVIConvert* avi = m_dialog->AviExport();
    ASSERT_TRUE(avi->isVisible());
    EXPECT_FALSE(m_dialog->Grid()->isEnabled()); // the main dialog waits for the export dialog
    EXPECT_EQ(avi->RangeStart(), 0);
    EXPECT_EQ(avi->RangeEnd(), 7); // a recording under 20 seconds is chosen whole
    // The preview shows the range's first picture.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !avi->Preview()->pixmap(Qt::ReturnByValue).isNull(); }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return avi->isEnabled(); }, 20000));
    EXPECT_TRUE(avi->AudioBox()->isEnabled()); // the tile has its sound file
    EXPECT_FALSE(avi->AudioBox()->isChecked());

    avi->SetRange(2, 6);
    avi->OsdBox()->setChecked(true);
    avi->AudioBox()->setChecked(true);
    QDir().mkpath(m_home.filePath("out"));
    m_savePath = m_home.filePath("out/Clip.AVI");
    QSignalSpy finished(avi, &CAVIConvert::exportFinished);
    avi->OnSaveAvi();
    EXPECT_EQ(avi->SaveButton()->text(), QString("Stop Save"));
    EXPECT_FALSE(avi->CloseButton()->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() == 1; }, 120000));
    EXPECT_EQ(finished.at(0).at(0).toString(), QString("Save AVI Finish"));
    EXPECT_EQ(avi->SaveButton()->text(), QString("Save AVI"));
    const QString path = m_home.filePath("out/clip.avi");
    EXPECT_EQ(avi->AviPath(), path);
    // Four seconds of 30 positions, every third coded: 40 pictures of the tile's size.
    const QStringList probe = ProbeVideo(path).split(',');
    ASSERT_EQ(probe.size(), 4) << probe.join(',').toStdString();
    EXPECT_TRUE(probe[0] == "mpeg4" || probe[0] == "msvideo1") << probe[0].toStdString();
    EXPECT_EQ(probe[1], "320");
    EXPECT_EQ(probe[2], "240");
    EXPECT_EQ(probe[3], "40");
    // The sound of seconds 2 to 5 as 8 kHz 16-bit mono: each second the linear value of its code.
    QProcess sound;
    sound.start("ffmpeg", {"-v", "error", "-i", path, "-map", "0:a", "-f", "s16le", "-"});
    ASSERT_TRUE(sound.waitForFinished(60000));
    const QByteArray samples = sound.readAllStandardOutput();
    ASSERT_EQ(samples.size(), 4 * 16000);
    for (int k = 0; k < 4; ++k) {
        const int code = 0x10 + 2 + k;
        // G.711: the complemented code's segment and step, the sign in its top bit.
        const int u = ~code & 0xFF;
        const int magnitude = ((((u & 0x0F) << 3) + 0x84) << ((u >> 4) & 7)) - 0x84;
        const int expected = (u & 0x80) ? -magnitude : magnitude;
        const int at = k * 16000 + 2 * 100;
        const int got = qint16(quint8(samples[at]) | (quint8(samples[at + 1]) << 8));
        EXPECT_EQ(got, expected) << "second " << 2 + k;
    }
    // Nothing is left under a temporary name.
    EXPECT_EQ(QDir(m_home.filePath("out")).entryList(QDir::Files), QStringList{"clip.avi"});

    avi->OnClose();
    EXPECT_FALSE(avi->isVisible());
    EXPECT_TRUE(m_dialog->Grid()->isEnabled());
}

// A picture narrower than 300 pixels is shown like any other.
INSTANTIATE_TEST_SUITE_P(Sizes, PlayRecordingSizes,
                         ::testing::Values(PlaySize{320, 240, StreamForm::Wrapped},
                                           PlaySize{176, 144, StreamForm::Wrapped},
                                           PlaySize{320, 240, StreamForm::Plain},
                                           PlaySize{704, 480, StreamForm::Plain}),
                         [](const ::testing::TestParamInfo<PlaySize>& info) {
                             return QStringLiteral("w%1h%2%3")
                                 .arg(info.param.width)
                                 .arg(info.param.height)
                                 .arg(info.param.form == StreamForm::Plain ? QStringLiteral("plain") : QString())
                                 .toStdString();
                         });

// The image adjust panel's brightness reaches the pictures the tile decodes next.
TEST_F(PlayRecordingTest, BrightnessFromTheAdjustPanelBrightensTheNextPictures)
{
    ASSERT_NO_FATAL_FAILURE(OpenInOneTile());
    auto mean = [](const QImage& picture) {
        const QRect area = MiddleOf(picture.size());
        qint64 sum = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x)
                sum += qGray(picture.pixel(x, y));
        }
        return double(sum) / double(area.width() * area.height());
    };
    QImage before;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            before = TilePicture();
            return !before.isNull() && mean(before) > 1.0;
        },
        20000));

    CSkinSlider* brightness = m_dialog->AdjustPanel()->Slider(AdjustSlider::Brightness);
    emit brightness->sliderMoving(1069, 50);
    emit brightness->sliderMoved(1069, 50);
    m_dialog->ControlBar()->OnStepForward();
    QImage after;
    const bool brighter = QTest::qWaitFor(
        [&] {
            after = TilePicture();
            return mean(after) > mean(before) + 20.0;
        },
        20000);
    EXPECT_TRUE(brighter) << "mean grey before " << mean(before) << ", after " << mean(after);
}

namespace {

bool IsGreen(QRgb p)
{
    return qGreen(p) > 200 && qRed(p) < 100 && qBlue(p) < 100;
}

// The pixels that differ between two pictures of the same tile within an area.
QVector<QPoint> Changed(const QImage& before, const QImage& after, const QRect& area)
{
    QVector<QPoint> changed;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y))
                changed << QPoint(x, y);
    return changed;
}

} // namespace

// OSD Setup from the grid's context menu, with Time and Date unticked and green chosen: OK takes
// the date and time off the tile and draws the tile's remaining texts in green.
TEST_F(PlayRecordingTest, OsdSetupChangesWhatTheTilesDraw)
{
    ASSERT_NO_FATAL_FAILURE(OpenInOneTile());
    ASSERT_TRUE(QTest::qWaitFor([&] { return TilePicture().size().width() > 200; }, 10000));
    // The opened picture and its OSD settle before the comparison starts.
    QImage before;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QImage now = TilePicture();
            QImage black(now.size(), QImage::Format_RGB32);
            black.fill(Qt::black);
            const bool same = !now.isNull() && now == before
                              && MeanDifference(now, black, MiddleOf(now.size())) > 1.0;
            before = now;
            return same;
        },
        20000));
    const int w = before.width();
    const QRect dateAndTime(w - 110, 3, 104, 34); // right-aligned at the top right
    const QRect tileNumber(6, 3, 14, 18);         // "1 " at the top left

    QTest::mouseClick(m_dialog->Grid(), Qt::RightButton, {}, QPoint(40, 60));
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_dialog->Grid()->ContextMenu() != nullptr; }, 10000));
    QMenu* menu = m_dialog->Grid()->ContextMenu();
    QAction* setup = nullptr;
    for (QAction* action : menu->actions())
        if (CSkinMenu::CommandOf(action) == HPCameo::kOsdSetupCommand)
            setup = action;
    ASSERT_NE(setup, nullptr);
    bool answered = false;
    QTimer::singleShot(0, [&answered] {
        auto* dialog = qobject_cast<COSDSetupDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->time()->setChecked(false);
        dialog->date()->setChecked(false);
        QTimer::singleShot(0, [] {
            auto* chooser = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(chooser, nullptr);
            chooser->setCurrentColor(QColor(0, 255, 0));
            chooser->accept();
        });
        QPushButton* colour = nullptr;
        QPushButton* ok = nullptr;
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("OSD Color"))
                colour = button;
            else if (button->text().compare(QStringLiteral("OK"), Qt::CaseInsensitive) == 0)
                ok = button;
        }
        ASSERT_TRUE(colour && ok);
        QTest::mouseClick(colour, Qt::LeftButton);
        QTest::mouseClick(ok, Qt::LeftButton);
        answered = dialog->result() == QDialog::Accepted;
    });
    menu->close();
    setup->trigger();
    ASSERT_TRUE(answered);

    // The date and time go: their pixels change, and not into green text.
    QImage after;
    const bool redrawn = QTest::qWaitFor(
        [&] {
            after = TilePicture();
            return after.size() == before.size() && Changed(before, after, dateAndTime).size() > 30
                   && Changed(before, after, tileNumber).size() > 5;
        },
        20000);
    if (!redrawn) {
        before.save(QStringLiteral(ZENT_BINARY_DIR "/osdsetup_before.png"));
        after.save(QStringLiteral(ZENT_BINARY_DIR "/osdsetup_after.png"));
    }
    ASSERT_TRUE(redrawn) << "the tile still draws what it drew before the setup";
    int greenInDateAndTime = 0;
    for (const QPoint& p : Changed(before, after, dateAndTime))
        greenInDateAndTime += IsGreen(after.pixel(p)) ? 1 : 0;
    EXPECT_LT(greenInDateAndTime, 5) << "the date and time are drawn in the new colour instead of going";
    // The tile number stays, in green where it was white.
    int whiteToGreen = 0;
    for (const QPoint& p : Changed(before, after, tileNumber))
        whiteToGreen += (qGray(before.pixel(p)) > 230 && IsGreen(after.pixel(p))) ? 1 : 0;
    EXPECT_GT(whiteToGreen, 5);
}
