// Grids showing recorders that are logged in (the recorder simulator as peer): placing a
// recorder's channels, live requests of the shown cells, routes moved by a swap, the hand-off
// through the recorder's live decoder, and the composition of online cells.
#include <QAction>
#include <QDate>
#include <QJsonObject>
#include <QTest>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "common/media/moduledecoder.h"
#include "session/cameoroute.h"
#include "session/moduledevice.h"
#include "session/sitebook.h"
#include "session/support/moduledevice_testaccess.h"
#include "shell/ccameo.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "shell/support/grid_online_fixture.h"

namespace {

int CountNear(const QImage& image, const QRect& area, QColor color, int tolerance = 40)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (qAbs(c.red() - color.red()) <= tolerance && qAbs(c.green() - color.green()) <= tolerance
                && qAbs(c.blue() - color.blue()) <= tolerance)
                ++n;
        }
    }
    return n;
}

// The extended playback controls (command 0x95) the simulator received, whole messages.
QList<QByteArray> PlaybackControls(const GridDvrSim* sim)
{
    QList<QByteArray> out;
    for (const QJsonObject& m : sim->Messages(0x95))
        out.append(QByteArray::fromHex(m.value(QStringLiteral("hex")).toString().toLatin1()));
    return out;
}

// The channel mask of a 0x95 message: 16 bits, little-endian, at byte 18.
int ChannelMask(const QByteArray& message)
{
    if (message.size() < 20)
        return -1;
    return quint8(message[18]) | (quint8(message[19]) << 8);
}

} // namespace

TEST_F(GridOnlineTest, StartLiveDevicePlacesTheChannelsAndAsksForTheShownOnes)
{
    CModuleDevice* rec = LoggedInRecorder("Depot");
    ASSERT_NE(rec, nullptr);
    const int r = rec->GetDeviceIndex();
    CCameo* grid = ShownGrid(CameoKind::Live, 64, 16, QSize(640, 480));
    grid->StartLiveDevice(r);

    for (int ch = 0; ch < 4; ++ch) {
        const CameoCell c = grid->GetCell(ch);
        EXPECT_EQ(c.recorder, r);
        EXPECT_EQ(c.channel, ch);
        EXPECT_EQ(c.rememberedChannel, ch);
        EXPECT_EQ(c.liveStarted, 1);
        EXPECT_EQ(rec->GetCameoRoute(ch)->liveGrid.load(), grid->GetCameoIndex());
        EXPECT_EQ(rec->GetCameoRoute(ch)->liveCell.load(), ch);
    }
    EXPECT_FALSE(grid->GetCell(4).IsBound());
    // Half a second later the page is laid out again and the shown channels are asked for.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return rec->IsLiveShown(0) && rec->IsLiveShown(1) && rec->IsLiveShown(2) && rec->IsLiveShown(3); },
        5000));
}

TEST_F(GridOnlineTest, PlacingStartsAtTheSelectedCellAndWraps)
{
    CModuleDevice* rec = LoggedInRecorder("Depot");
    ASSERT_NE(rec, nullptr);
    CCameo* grid = ShownGrid(CameoKind::Live, 16, 16, QSize(640, 480));
    grid->OnSplitMode(14, 1, false); // single view of cell 14, which is selected
    ASSERT_EQ(grid->GetSelectedCell(), 14);
    grid->OnConnectDevice(4, rec->GetDeviceIndex());
    EXPECT_EQ(grid->GetCell(14).channel, 0);
    EXPECT_EQ(grid->GetCell(15).channel, 1);
    EXPECT_EQ(grid->GetCell(0).channel, 2);
    EXPECT_EQ(grid->GetCell(1).channel, 3);
    EXPECT_EQ(grid->GetCell(15).liveStarted, 0) << "a cell off the page does not ask for video";
    EXPECT_EQ(grid->GetCell(14).liveStarted, 1);
}

TEST_F(GridOnlineTest, RebindingStopsTheChannelOnTheRecorderThatShowedIt)
{
    CModuleDevice* a = LoggedInRecorder("A");
    CModuleDevice* b = LoggedInRecorder("B");
    ASSERT_TRUE(a && b);
    CCameo* grid = ShownGrid(CameoKind::Live, 16, 4, QSize(400, 300));
    grid->SetCameoChannel(2, a->GetDeviceIndex(), 0);
    EXPECT_TRUE(a->IsLiveWanted(2));
    grid->SetCameoChannel(1, b->GetDeviceIndex(), 0);
    EXPECT_FALSE(a->IsLiveWanted(2)) << "stopped on the recorder that showed it";
    EXPECT_TRUE(b->IsLiveWanted(1));
    EXPECT_EQ(grid->GetCell(0).recorder, b->GetDeviceIndex());
}

TEST_F(GridOnlineTest, SwapMovesTheRoutesWithTheContents)
{
    CModuleDevice* rec = LoggedInRecorder("Depot");
    ASSERT_NE(rec, nullptr);
    const int r = rec->GetDeviceIndex();
    CCameo* grid = ShownGrid(CameoKind::Live, 16, 4, QSize(400, 300));
    grid->SetCameoChannel(0, r, 0);
    grid->SetCameoChannel(1, r, 3);
    grid->OnSwapCameo(0, 3);
    EXPECT_EQ(rec->GetCameoRoute(0)->liveCell.load(), 3);
    EXPECT_EQ(rec->GetCameoRoute(1)->liveCell.load(), 0);
    EXPECT_EQ(rec->GetCameoRoute(0)->liveGrid.load(), grid->GetCameoIndex());

    CCameo* playback = ShownGrid(CameoKind::Playback, 16, 4, QSize(400, 300));
    playback->SetCameoChannel(2, r, 1);
    playback->OnSwapCameo(1, 2);
    EXPECT_EQ(rec->GetCameoRoute(2)->playbackCell.load(), 2);
    EXPECT_EQ(rec->GetPlaybackGrid(), playback->GetCameoIndex());
}

TEST_F(GridOnlineTest, HandOffTakesTheLiveDecoderPicture)
{
    CModuleDevice* rec = LoggedInRecorder("Depot");
    ASSERT_NE(rec, nullptr);
    ASSERT_NE(rec->GetLiveDecoder(1), nullptr);
    const int r = rec->GetDeviceIndex();
    CCameo* grid = ShownGrid(CameoKind::Live, 16, 4, QSize(400, 300));
    grid->SetCameoChannel(1, r, 0);
    const qint64 blank = grid->GetCell(0).picture.cacheKey();

    EXPECT_EQ(HandOffLiveUntilCounted(grid, r, 1, 0, true), 1); // keep: only counted
    EXPECT_EQ(grid->GetCell(0).picture.cacheKey(), blank);
    EXPECT_EQ(HandOffLiveUntilCounted(grid, r, 1, 0), 1);
    const CameoCell c = grid->GetCell(0);
    EXPECT_TRUE(c.IsBound()) << "an online recorder keeps its cell";
    EXPECT_NE(c.picture.cacheKey(), blank) << "the decoder's picture";
}

TEST_F(GridOnlineTest, OnlineCellShowsNamesAndIsFittedAtFourToThree)
{
    CModuleDevice* rec = LoggedInRecorder("Depot");
    ASSERT_NE(rec, nullptr);
    ASSERT_FALSE(rec->GetCameraTitle(0).isEmpty());
    // Split 1 in 480 x 300: a 4:3 picture is 400 x 300 with bars of 40 pixels.
    CCameo* grid = ShownFreshGrid(1, QSize(480, 300));
    grid->SetCameoChannel(0, rec->GetDeviceIndex(), 0);
    PutPicture(grid, 0, Solid(352, 240, Qt::red));
    grid->OnDrawCameo(-1);
    QImage buffer = grid->GetBackBuffer();
    EXPECT_GT(CountNear(buffer, QRect(60, 40, 360, 220), Qt::red), 360 * 220 * 9 / 10);
    EXPECT_EQ(CountNear(buffer, QRect(5, 100, 30, 100), Qt::black, 0), 30 * 100) << "left bar";
    EXPECT_EQ(CountNear(buffer, QRect(445, 100, 30, 100), Qt::black, 0), 30 * 100) << "right bar";

    const QRect dvrName(4, 278, 120, 20); // bottom-left
    const QRect camera(4, 2, 120, 16);    // top-left, after the cell number
    hub->Settings().SetOsdFlag(OsdFlag::CameoNumber, 0);
    grid->OnDrawCameo(-1);
    buffer = grid->GetBackBuffer();
    EXPECT_GT(CountNear(buffer, dvrName, Qt::white, 60), 10);
    EXPECT_GT(CountNear(buffer, camera, Qt::white, 60), 10);

    hub->Settings().SetOsdFlag(OsdFlag::DvrName, 0);
    hub->Settings().SetOsdFlag(OsdFlag::CameraName, 0);
    grid->OnDrawCameo(-1);
    buffer = grid->GetBackBuffer();
    EXPECT_EQ(CountNear(buffer, dvrName, Qt::white, 60), 0);
    EXPECT_EQ(CountNear(buffer, camera, Qt::white, 60), 0);
}

// A wide camera's picture keeps its 16:9 shape: letterboxed in a 480 x 300 cell (480 x 270 with
// bars of 15 pixels), not squeezed to 4:3 with bars at the sides.
TEST_F(GridOnlineTest, WidePictureIsShownAtSixteenToNine)
{
    CModuleDevice* rec = LoggedInRecorder("Depot");
    ASSERT_NE(rec, nullptr);
    CCameo* grid = ShownFreshGrid(1, QSize(480, 300));
    grid->SetCameoChannel(0, rec->GetDeviceIndex(), 0);
    PutPicture(grid, 0, Solid(1280, 720, Qt::red));
    grid->OnDrawCameo(-1);
    const QImage buffer = grid->GetBackBuffer();
    EXPECT_GT(CountNear(buffer, QRect(5, 100, 30, 100), Qt::red), 30 * 100 * 9 / 10) << "no bar at the left";
    EXPECT_GT(CountNear(buffer, QRect(445, 100, 30, 100), Qt::red), 30 * 100 * 9 / 10) << "no bar at the right";
    EXPECT_GT(CountNear(buffer, QRect(150, 20, 180, 260), Qt::red), 180 * 260 * 9 / 10);
    // Rows 285 to 299 are the bottom bar; the selected cell's frame takes the last few.
    EXPECT_EQ(CountNear(buffer, QRect(150, 286, 180, 8), Qt::black, 0), 180 * 8) << "bottom bar";
}

TEST_F(GridOnlineTest, VideoLossBlanksTheCellAndSaysSo)
{
    CModuleDevice* rec = LoggedInRecorder("Depot", {QStringLiteral("--video-loss"), QStringLiteral("1")});
    ASSERT_NE(rec, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([rec] { return rec->GetVideoLoss(0); }, 5000));
    CCameo* grid = ShownFreshGrid(1, QSize(400, 300));
    grid->SetCameoChannel(0, rec->GetDeviceIndex(), 0);
    PutPicture(grid, 0, Solid(352, 240, Qt::green));
    grid->OnDrawCameo(-1);
    const QImage buffer = grid->GetBackBuffer();
    EXPECT_EQ(CountNear(buffer, QRect(0, 0, 400, 300), Qt::green), 0) << "the picture is blanked";
    EXPECT_GT(CountNear(buffer, QRect(150, 130, 100, 40), Qt::red, 60), 10) << "\"Video loss\" in red";
    EXPECT_EQ(grid->GetCell(0).picture.size(), QSize(10, 10));
}

// Pictures handed through a logged-in recorder's decoder while the grid is destroyed: the
// hand-off takes the grid's cells lock and then the decoder's picture lock.
TEST_F(GridOnlineTest, GridDestroyedWhileItsRecorderHandsPicturesOn)
{
    CModuleDevice* rec = LoggedInRecorder("Depot");
    ASSERT_NE(rec, nullptr);
    const int r = rec->GetDeviceIndex();
    CCameo* grid = ShownGrid(CameoKind::Live, 16, 4, QSize(400, 300));
    const int g = grid->GetCameoIndex();
    for (int cell = 0; cell < 4; ++cell)
        grid->SetCameoChannel(cell, r, cell);

    std::atomic<bool> stop{false};
    std::atomic<long> calls{0};
    std::thread worker([&] {
        while (!stop) {
            for (int ch = 0; ch < 4; ++ch)
                hub->Sessions()->CountCameoFrame(r, ch, g, ch, 0, 0);
            ++calls;
        }
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls.load() > 200; }, 5000));
    DeleteGrid(grid);
    const long after = calls.load();
    EXPECT_TRUE(QTest::qWaitFor([&] { return calls.load() > after + 500; }, 5000));
    stop = true;
    worker.join();
    EXPECT_EQ(hub->Sessions()->GetCameo(g), nullptr);
    EXPECT_EQ(rec->GetCameoRoute(0)->liveGrid.load(), -1) << "the destroyed grid left no route";
}

TEST_F(GridOnlineTest, ImageAdjustReachesTheDecodersOfSelectedOnlineCells)
{
    CModuleDevice* rec = LoggedInRecorder("Depot");
    ASSERT_NE(rec, nullptr);
    CCameo* grid = ShownGrid(CameoKind::Live, 16, 4, QSize(400, 300));
    grid->SetCellBrightness(30);
    EXPECT_EQ(grid->GetAdjustBrightness(), 0) << "no selected online cell: the panel defaults";
    EXPECT_EQ(grid->GetAdjustFrameRate(), 15);

    grid->SetCameoChannel(2, rec->GetDeviceIndex(), 0); // cell 0 is the selected cell
    grid->SetCellBrightness(30);
    grid->SetCellContrast(-20);
    EXPECT_EQ(rec->GetLiveDecoder(2)->GetBrightness(0), 30);
    EXPECT_EQ(rec->GetLiveDecoder(2)->GetContrast(0), -20);
    EXPECT_EQ(grid->GetAdjustBrightness(), 30);
    EXPECT_EQ(grid->GetAdjustContrast(), -20);
    EXPECT_EQ(rec->GetLiveDecoder(1)->GetBrightness(0), 0) << "other channels are left alone";
}

TEST_F(GridOnlineTest, EmapTileFramesItselfRedOnAnEvent)
{
    CModuleDevice* quiet = LoggedInRecorder("Quiet");
    CModuleDevice* alarm = LoggedInRecorder("Alarm", {QStringLiteral("--sensor"), QStringLiteral("1")});
    ASSERT_TRUE(quiet && alarm);
    ASSERT_TRUE(QTest::qWaitFor([alarm] { return alarm->GetSensorState(0); }, 5000));

    struct Case
    {
        CModuleDevice* device;
        QColor frame;
    };
    const Case cases[] = {{quiet, Qt::gray}, {alarm, Qt::red}};
    for (const Case& c : cases) {
        CCameo* tile = NewEmapTile();
        tile->resize(160, 120);
        tile->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tile));
        tile->SetCameoChannel(0, c.device->GetDeviceIndex(), 0);
        // The cell takes the channel's event flags with its next picture; a live tile's
        // hand-off skips a picture while the redraw thread holds the cells, as a stream does.
        const auto framed = [&] {
            hub->Sessions()->CountCameoFrame(c.device->GetDeviceIndex(), 0, tile->GetCameoIndex(), 0, 0, 0);
            tile->OnDrawCameo(-1);
            return tile->GetBackBuffer().pixelColor(0, 60) == c.frame;
        };
        EXPECT_TRUE(QTest::qWaitFor(framed, 5000)) << c.device->GetDvrName().toStdString();
        // No cell number and no selection frame in a tile.
        EXPECT_NE(tile->GetBackBuffer().pixelColor(2, 60), QColor(Qt::cyan));
        DeleteGrid(tile);
    }
}

// The grid's Record action toggles the local recording of the selected cell's channel on its
// recorder: the channel itself in a live grid, channel + 16 (its playback) in a playback grid.
// The composed cell says "REC" in red at its bottom while the mark is set. The simulator's
// pictures do not decode, so the cell is black apart from its texts.
TEST_F(GridOnlineTest, RecordActionTogglesTheRecordMarkOfTheSelectedCell)
{
    CModuleDevice* rec = LoggedInRecorder("Depot");
    ASSERT_NE(rec, nullptr);
    struct Case
    {
        const char* what;
        CameoKind kind;
        int channel;
        int mark;
        int otherMark;
    };
    const Case cases[] = {{"live grid", CameoKind::Live, 2, 2, 18},
                          {"playback grid", CameoKind::Playback, 3, 19, 3}};
    const QRect recText(150, 270, 100, 30); // bottom centre of the one cell
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CCameo* grid = ShownGrid(c.kind, 16, 1, QSize(400, 300));
        grid->SetCameoChannel(c.channel, rec->GetDeviceIndex(), -1); // the selected cell
        ASSERT_FALSE(rec->IsRecordMarked(c.mark));

        grid->GetAction(CCameo::ActionId::Record)->trigger();
        EXPECT_TRUE(rec->IsRecordMarked(c.mark));
        EXPECT_FALSE(rec->IsRecordMarked(c.otherMark));
        grid->OnDrawCameo(-1);
        EXPECT_GT(CountNear(grid->GetBackBuffer(), recText, Qt::red, 60), 10) << "REC is shown";

        grid->GetAction(CCameo::ActionId::Record)->trigger();
        EXPECT_FALSE(rec->IsRecordMarked(c.mark)) << "a second Record ends the recording";
        grid->OnDrawCameo(-1);
        EXPECT_EQ(CountNear(grid->GetBackBuffer(), recText, Qt::red, 60), 0) << "REC is gone";
        DeleteGrid(grid);
    }
}

// A playback grid tells the recorder's playback which channels it shows, and each layout sends
// the playback control again (0x95) for exactly the channels of the shown cells.
TEST_F(GridOnlineTest, PlaybackLayoutSendsTheControlForTheShownChannels)
{
    CModuleDevice* rec = LoggedInRecorder("Depot");
    ASSERT_NE(rec, nullptr);
    const GridDvrSim* sim = Simulator(0);
    CCameo* grid = ShownGrid(CameoKind::Playback, 16, 4, QSize(400, 300));
    grid->OnConnectDevice(4, rec->GetDeviceIndex()); // channels 0..3 in cells 0..3
    ASSERT_EQ(grid->GetCell(3).channel, 3);
    CModuleDeviceTestAccess::SetPlaybackDate(*rec,
                                             QDate::currentDate().year() * 10000
                                                 + QDate::currentDate().month() * 100 + QDate::currentDate().day(),
                                             120000);
    CModuleDeviceTestAccess::SetPlaybackMode(*rec, PlaybackMode::Forward, 0); // playing forward
    rec->SetPlaybackActive(true);

    struct Step
    {
        int first;
        int split;
        int mask;
    };
    const Step steps[] = {
        {0, 1, 0x0001},  // cell 0 alone
        {-1, 1, 0x0002}, // the same split again: the next cell
        {-1, 4, 0x000F}, // all four
    };
    for (const Step& step : steps) {
        const int sent = PlaybackControls(sim).size();
        grid->OnSplitMode(step.first, step.split, false);
        ASSERT_TRUE(QTest::qWaitFor([&] { return PlaybackControls(sim).size() == sent + 1; }, 5000))
            << "split " << step.split;
        EXPECT_EQ(ChannelMask(PlaybackControls(sim).last()), step.mask) << "split " << step.split;
    }
}
