// The main dialog with a recording of the player's own writer: opening it marks its time in the
// tile's row of the time search bar, and the tile's engines pace by the frame rate the tile is
// set to.
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "playback/video_info.h"
#include "support/viewerhome.h"
#include "ui/csearchtime.h"
#include "ui/cviewerdlg.h"
#include "ui/hpcameo.h"
#include "ui/skinbitmaps.h"
#include "ui/viewerplayers.h"
#include "ui/viewertiles.h"

namespace {

class OwnRecordingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SkinBitmaps::Init();
        ASSERT_TRUE(m_home.isValid());
        ASSERT_TRUE(m_recordings.isValid());
        m_dialog = std::make_unique<CViewerDlg>(TestViewerEnvironment(m_home));
        m_dialog->OnInitDialog();
    }

    // Writes `frames` frames of channel 2 from the name text's time, `code` fields apart at 50
    // fields a second.
    void Record(const char* name, int frames, int code)
    {
        Video_Info writer;
        for (int i = 0; i < frames; ++i) {
            QByteArray f(64, char(i));
            f[0] = 0;
            f[1] = 0;
            f[2] = char(i % 10 == 0 ? 0x8A : 0x88);
            f[3] = 0;
            ASSERT_EQ(writer.WriteFrame(m_recordings.path() + "/", name, "", f.constData(), f.size(),
                                        i == 0 ? 0 : code, 0, 1),
                      0);
        }
    }

    static bool WaitFor(const std::function<bool()>& condition)
    {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > 60000)
                return false;
            QTest::qWait(5);
        }
        return true;
    }

    QTemporaryDir m_home;
    QTemporaryDir m_recordings;
    std::unique_ptr<CViewerDlg> m_dialog;
};

} // namespace

TEST_F(OwnRecordingTest, OpeningMarksItsTimeInTheTilesRowOfTheTimeBar)
{
    // 13:30:00 for 199 x 100 fields at 50 a second (398 s): cells 270, 271 and 272.
    Record("20261210133000x", 200, 100);
    TimeBarModel& model = m_dialog->TimeBar()->Model();
    ASSERT_TRUE(m_dialog->Tiles().OpenFile(2, m_recordings.filePath("x133000.002")));
    ASSERT_TRUE(WaitFor([&] { return model.Cell(TimeBarModel::Source::File, 2, 270) == 1; }));
    for (int cell = 265; cell < 280; ++cell) {
        const int expected = cell >= 270 && cell <= 272 ? 1 : 0;
        EXPECT_EQ(model.Cell(TimeBarModel::Source::File, 2, cell), expected) << cell;
    }
    for (int tile : {0, 1, 3})
        EXPECT_EQ(model.Cell(TimeBarModel::Source::File, tile, 270), 0) << tile;
    EXPECT_EQ(model.Cell(TimeBarModel::Source::Remote, 2, 270), 0);
    // A tile playing from the file (as the dialog marks a tile it opened a recording in) has
    // its recorded columns drawn blue in its row, the third.
    m_dialog->SetPlayFlag(2, true);
    const QImage bar = m_dialog->TimeBar()->grab().toImage();
    for (int position : {270, 272})
        EXPECT_EQ(QColor(bar.pixel(188 + position, 26 + 2 * 15 + 5)), QColor(0, 0, 255)) << position;
    EXPECT_EQ(QColor(bar.pixel(188 + 273, 26 + 2 * 15 + 5)), QColor(100, 100, 100));
    EXPECT_EQ(QColor(bar.pixel(188 + 270, 26 + 1 * 15 + 5)), QColor(100, 100, 100)); // tile 1's row
}

TEST_F(OwnRecordingTest, TheEnginesPaceByTheTilesOwnFrameRate)
{
    ViewerPlayers& players = m_dialog->Players();
    for (int tile : {0, 5, 15})
        EXPECT_EQ(players.TileFrameRate(tile), 15) << tile; // the grid's starting rate
    m_dialog->Grid()->SetFrameRate(5, 4);
    m_dialog->Grid()->SetFrameRate(15, 30);
    EXPECT_EQ(players.TileFrameRate(5), 4);
    EXPECT_EQ(players.TileFrameRate(15), 30);
    EXPECT_EQ(players.TileFrameRate(0), 15);
    m_dialog->Grid()->SetFrameRate(5, 0); // the grid keeps at least one frame a second
    EXPECT_EQ(players.TileFrameRate(5), 1);
}
