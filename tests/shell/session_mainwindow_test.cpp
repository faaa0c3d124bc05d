// Sessions against the recorder simulator with the real main window as their hub: live video
// reaching the grid cells, the processor-load rule, live and playback sound through the one
// audio output, playback cells, a grid that asked for a recorder before its login, and a
// favorite whose recorder stopped and came back.
#include <QSet>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>
#include <sys/types.h>

#include "common/support/decoder_streams.h"
#include "net/modulenetwork.h"
#include "net/nettypemirel.h"
#include "session/liveframerecord.h"
#include "session/moduleplayback.h"
#include "session/support/live_records.h"
#include "session/support/moduledevice_testaccess.h"
#include "session/support/session_fixture_on.h"
#include "shell/audiooutput.h"
#include "shell/ccameo.h"
#include "shell/support/composedwindow.h"
#include "shell/support/media_load.h"
#include "shell/support/media_sink.h"
#include "shell/support/shell_sessionhub.h"

using SessionTest = SessionTestOn<ComposedWindow<ShellSessionHub>>;

namespace {

constexpr int kLimitMs = 1500;
// Faster than the limit, as the program's 5-second tick is faster than its 10-second limit.
constexpr int kTickMs = 400;

bool HasColour(const QImage& picture)
{
    if (picture.isNull() || picture.width() <= 10)
        return false;
    for (int y = 0; y < picture.height(); y += 7)
        for (int x = 0; x < picture.width(); x += 7)
            if (picture.pixelColor(x, y).value() > 40)
                return true;
    return false;
}

void SetKeepAlive(CModuleDevice* device, int ms)
{
    for (CModuleNetwork* network : {device->GetLiveNetwork(), device->GetPlaybackNetwork()}) {
        if (auto* engine = network ? network->findChild<CNetTypeMirel*>() : nullptr)
            engine->SetKeepAliveInterval(ms);
    }
}

} // namespace

TEST_F(SessionTest, LiveVideoOfFourChannelsReachesDecodersAndGridCells)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    SessionDvrSim* sim = StartSim({"--channels", "4", "--video", stream.path, "--fps", "15"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("live4", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    for (int ch = 0; ch < 4; ++ch)
        EXPECT_TRUE(CModuleDeviceTestAccess::IsLiveThreadRunning(*device, ch));

    auto grid = std::make_unique<CCameo>(nullptr);
    grid->InitCameo(int(CameoKind::Live), 16, 4);
    grid->resize(400, 300);
    grid->show();
    grid->StartLiveDevice(device->GetDeviceIndex());

    int counted[4] = {0, 0, 0, 0};
    const bool allCounted = WaitFor(
        [&] {
            grid->OnFPSTimer();
            bool all = true;
            for (int cell = 0; cell < 4; ++cell) {
                counted[cell] += grid->GetCellFps(cell);
                all = all && counted[cell] > 2;
            }
            return all;
        },
        30000);
    EXPECT_TRUE(allCounted) << counted[0] << " " << counted[1] << " " << counted[2] << " " << counted[3];
    for (int ch = 0; ch < 4; ++ch) {
        SCOPED_TRACE(ch);
        EXPECT_GT(CModuleDeviceTestAccess::GetDecodedFrames(*device, ch), 2);
        EXPECT_TRUE(HasColour(CModuleDeviceTestAccess::GetLastPicture(*device, ch)))
            << "the first picture went to the last-picture slot";
        const CameoCell cell = grid->GetCell(ch);
        EXPECT_EQ(cell.channel, ch);
        EXPECT_TRUE(HasColour(cell.picture)) << "the decoder's picture reached the cell";
        // 400 x 300 in four cells: 200 x 150, which 4:3 fills. The picture was converted at
        // that size, not at the stream's 352 x 240.
        EXPECT_TRUE(cell.fitted);
        EXPECT_EQ(cell.fittedRect, QRect(0, 0, 200, 150));
        EXPECT_EQ(cell.picture.size(), QSize(200, 150));
        EXPECT_EQ(cell.picture.format(), QImage::Format_RGB32);
    }

    // Wider cells (320 x 150) keep 4:3: 200 x 150 centred, 60 pixels of black each side; the
    // pictures that follow are converted at that size and the screen shows them there.
    grid->resize(640, 300);
    const bool refitted = WaitFor(
        [&] {
            for (int ch = 0; ch < 4; ++ch) {
                const CameoCell cell = grid->GetCell(ch);
                if (!cell.fitted || cell.fittedRect != QRect(60, 0, 200, 150)
                    || cell.picture.size() != QSize(200, 150))
                    return false;
            }
            return true;
        },
        30000);
    EXPECT_TRUE(refitted);
    grid->RequestRedraw();
    const bool shown = WaitFor(
        [&] {
            const QImage screen = grid->GetFrontBuffer();
            return screen.size() == QSize(640, 300) && HasColour(screen.copy(60 + 20, 20, 160, 110))
                   && HasColour(screen.copy(320 + 60 + 20, 150 + 20, 160, 110));
        },
        30000);
    EXPECT_TRUE(shown) << "the composed screen shows the pictures of cells 0 and 3";
    const QImage screen = grid->GetFrontBuffer();
    EXPECT_EQ(screen.pixel(30, 75), qRgb(0, 0, 0)) << "the margin left of a 4:3 picture is black";
    grid.reset();
}

TEST_F(SessionTest, AboveSeventyPercentOnlyKeyFramesAreDecodedUntilAKeyFrameBelowFifty)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    // No live right: the recorder sends no live video, the test feeds the queue itself.
    SessionDvrSim* sim = StartSim({"--channels", "4", "--login-masks", "0,15,15,15"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("load", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(CModuleDeviceTestAccess::IsLiveThreadRunning(*device, 1));

    MediaLoad load;
    hub->SetCpuLoad(load.Counter());
    auto setLoad = [&](int percent) {
        load.Set(percent);
        hub->OnTimerGetCPU();
        ASSERT_EQ(hub->GetProcessorLoad(), percent);
    };
    auto feed = [&](int from, int count) {
        for (auto& r : StreamRecords(stream, 1, from, count))
            CModuleDeviceTestAccess::AppendLiveRecord(*device, std::move(r));
        ASSERT_TRUE(WaitFor([&] { return CModuleDeviceTestAccess::GetLiveQueueCount(*device, 1) == 0; }));
        QTest::qWait(50); // the last record taken is handled
    };

    // The thread may still be decoding the last record taken: wait for the count, then check
    // that no more than that was decoded.
    auto decoded = [&](int expected) {
        WaitFor([&] { return CModuleDeviceTestAccess::GetDecodedFrames(*device, 1) >= expected; }, 5000);
        return CModuleDeviceTestAccess::GetDecodedFrames(*device, 1);
    };

    // Normal load: all 10 frames of a group decode.
    setLoad(20);
    feed(0, 10);
    EXPECT_EQ(decoded(10), 10);
    EXPECT_EQ(CModuleDeviceTestAccess::GetSkippedForLoad(*device, 1), 0);

    // 75 %: of the next group only the key frame decodes.
    setLoad(75);
    feed(10, 10);
    EXPECT_EQ(decoded(11), 11);
    // The first skipped frame breaks the sequence; the rest of the group goes with it.
    EXPECT_EQ(CModuleDeviceTestAccess::GetSkippedForLoad(*device, 1), 1);

    // 60 %: still only the key frame, because no key frame was decoded below 50 %.
    setLoad(60);
    feed(20, 10);
    EXPECT_EQ(decoded(12), 12);
    EXPECT_EQ(CModuleDeviceTestAccess::GetSkippedForLoad(*device, 1), 2);

    // 40 %: the key frame ends the overload, its group decodes whole.
    setLoad(40);
    feed(30, 10);
    EXPECT_EQ(decoded(22), 22);
    EXPECT_EQ(CModuleDeviceTestAccess::GetSkippedForLoad(*device, 1), 2);

    // 70 % is not above 70.
    setLoad(70);
    feed(40, 10);
    EXPECT_EQ(decoded(32), 32);

    // A gap in the sequence numbers drops every predicted frame up to the next key frame.
    setLoad(20);
    {
        std::vector<LiveFrameRecordPtr> group = StreamRecords(stream, 1, 50, 10);
        group.erase(group.begin() + 5); // sequence 5 never arrives
        for (auto& r : group)
            CModuleDeviceTestAccess::AppendLiveRecord(*device, std::move(r));
        ASSERT_TRUE(WaitFor([&] { return CModuleDeviceTestAccess::GetLiveQueueCount(*device, 1) == 0; }));
        QTest::qWait(50);
    }
    EXPECT_EQ(decoded(37), 37) << "sequences 0 to 4 only";
    feed(60, 10);
    EXPECT_EQ(decoded(47), 47) << "the key frame starts over";
}

TEST_F(SessionTest, LiveAudioIsHeardOnlyFromTheChosenRecorder)
{
    SessionDvrSim* sim = StartSim({"--channels", "4", "--login-masks", "0,15,15,15"});
    ASSERT_TRUE(sim);
    CModuleDevice* a = AddRecorder("audioA", sim->Port());
    CModuleDevice* b = AddRecorder("audioB", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(a, 0));
    ASSERT_TRUE(ConnectAndLogin(b, 0));
    MediaSink sink;
    hub->GetAudioOutput()->AttachPushDevice(&sink);

    // Blocks of 2000 mu-law bytes; two gather 4000 bytes, which go out as 8000 bytes of samples.
    auto blocks = [](CModuleDevice* device, int n) {
        for (int i = 0; i < n; ++i)
            device->OnRecvLiveAudio(0, 2000, 1, 20260101, 120000, 0);
    };
    auto drained = [&] {
        return WaitFor([&] {
            return CModuleDeviceTestAccess::GetLiveAudioQueueCount(*a) == 0
                   && CModuleDeviceTestAccess::GetLiveAudioQueueCount(*b) == 0;
        });
    };

    hub->Sessions()->SetAudioDeviceIndex(a->GetDeviceIndex());
    blocks(a, 2);
    blocks(b, 2);
    ASSERT_TRUE(WaitFor([&] { return sink.Written() >= 8000; }));
    ASSERT_TRUE(drained());
    QTest::qWait(100);
    EXPECT_EQ(sink.Written(), 8000) << "recorder B is not chosen";

    hub->Sessions()->SetAudioDeviceIndex(b->GetDeviceIndex());
    blocks(a, 2);
    blocks(b, 2);
    ASSERT_TRUE(WaitFor([&] { return sink.Written() >= 16000; }));
    ASSERT_TRUE(drained());
    QTest::qWait(100);
    EXPECT_EQ(sink.Written(), 16000) << "recorder A is no longer chosen";

    // 3999 gathered bytes stay until the next block; the buffer never overflows: a block that
    // would not fit flushes what is held first.
    b->OnRecvLiveAudio(0, 1999, 1, 20260101, 120000, 0);
    b->OnRecvLiveAudio(0, 2000, 1, 20260101, 120000, 0);
    ASSERT_TRUE(drained());
    QTest::qWait(100);
    EXPECT_EQ(sink.Written(), 16000) << "3999 bytes produce no output";
    b->OnRecvLiveAudio(0, 2000, 1, 20260101, 120000, 0);
    ASSERT_TRUE(WaitFor([&] { return sink.Written() >= 16000 + 2 * 5999; }));
    EXPECT_EQ(sink.Written(), 16000 + 2 * 5999) << "all gathered bytes go out";
    hub->GetAudioOutput()->AttachPushDevice(nullptr);

    // Starting live audio makes a recorder the chosen one.
    ASSERT_TRUE(a->StartLiveAudio(0));
    EXPECT_EQ(hub->GetAudioDeviceIndex(), a->GetDeviceIndex());
    ASSERT_TRUE(b->StartLiveAudio(2));
    EXPECT_EQ(hub->GetAudioDeviceIndex(), b->GetDeviceIndex());
}

TEST_F(SessionTest, PlaybackFromATimeReachesThePlaybackCell)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    SessionDvrSim* sim = StartSim(
        {"--channels", "4", "--video", stream.path, "--record-date", "20260102", "--login-masks", "0,15,15,15"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("playback", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(WaitFor([&] { return device->GetPlaybackNetwork()->IsConnected(); }));
    ASSERT_NE(CModuleDeviceTestAccess::GetPlayback(*device, 0), nullptr) << "schedulers are made at login";
    ASSERT_NE(CModuleDeviceTestAccess::GetPlayback(*device, 4), nullptr)
        << "and one for the playback stream's sound";
    EXPECT_EQ(CModuleDeviceTestAccess::GetPlayback(*device, 5), nullptr);

    auto grid = std::make_unique<CCameo>(nullptr);
    grid->InitCameo(int(CameoKind::Playback), 16, 4);
    grid->resize(400, 300);
    grid->show();
    grid->SetCameoChannel(0, device->GetDeviceIndex(), 0);
    ASSERT_EQ(device->GetPlaybackGrid(), grid->GetCameoIndex());
    CModuleDeviceTestAccess::GetPlayback(*device, 0)->SetContinuous(true);
    device->SetPlaybackActive(true);
    CModuleDeviceTestAccess::SetRecordedRange(*device, 20260102, 0, 20260102, 235959);
    CModuleDeviceTestAccess::SetPlaybackDate(*device, 20260102, 100000);

    device->SendPlaybackCtrlExtSec(PlaybackMode::Forward, 0, 20260102, 100000);
    ASSERT_TRUE(WaitFor([&] { return !sim->Events("playback").isEmpty(); }));
    const QJsonObject asked = sim->Events("playback").last();
    EXPECT_EQ(asked.value("tag").toInt(), CModuleDeviceTestAccess::GetPlaybackSequence(*device));
    EXPECT_EQ(asked.value("mode").toInt(), 16);

    EXPECT_TRUE(WaitFor([&] { return HasColour(grid->GetCell(0).picture); }, 30000))
        << "recorded pictures reached the playback cell";
    grid.reset();
}

// Every control continues from the picture shown: the played seconds move the session's play
// time, so fast forward, pause and play again go out with the time the cell shows, not the time
// playback was first asked for.
TEST_F(SessionTest, PlaybackControlsContinueFromTheShownTime)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    SessionDvrSim* sim = StartSim({"--channels", "4", "--video", stream.path, "--record-date", "20260102"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("controls", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(WaitFor([&] { return device->GetPlaybackNetwork()->IsConnected(); }));

    auto grid = std::make_unique<CCameo>(nullptr);
    grid->InitCameo(int(CameoKind::Playback), 16, 4);
    grid->resize(400, 300);
    grid->show();
    grid->SetCameoChannel(0, device->GetDeviceIndex(), 0);
    CModuleDeviceTestAccess::GetPlayback(*device, 0)->SetContinuous(true);
    device->SetPlaybackActive(true);
    CModuleDeviceTestAccess::SetRecordedRange(*device, 20260102, 0, 20260102, 235959);
    device->ChoosePlayStart(20260102, 100000);
    ASSERT_TRUE(device->RequestPlayback(100000, int(PlaybackMode::Forward)));
    ASSERT_TRUE(WaitFor([&] { return device->GetChannelPlayTime(0) >= 100002; }, 30000))
        << "two recorded seconds were played";
    EXPECT_GE(device->GetPlaybackTime(), 100002) << "the session's play time follows the played seconds";

    const auto lastStart = [&] {
        for (int i = sim->Events("playback").size() - 1; i >= 0; --i) {
            const QJsonObject e = sim->Events("playback").at(i);
            if (e.value("a").toInt() == 2)
                return e;
        }
        return QJsonObject();
    };
    const int before = sim->Events("playback").size();
    device->SetPlaybackCtrl(PlaybackMode::FastForward);
    ASSERT_TRUE(WaitFor([&] { return sim->Events("playback").size() > before; }));
    EXPECT_EQ(lastStart().value("mode").toInt(), 32);
    EXPECT_GE(lastStart().value("time").toInt(), 100002) << "fast forward goes on from the shown picture";

    device->SetPlaybackCtrl(PlaybackMode::Stop);
    ASSERT_TRUE(WaitFor([&] { return device->GetPlaybackMode() == PlaybackMode::Stop; }));
    const int shown = device->GetPlaybackTime();
    const int beforePlay = sim->Events("playback").size();
    device->SetPlaybackCtrl(PlaybackMode::Forward);
    ASSERT_TRUE(WaitFor([&] { return sim->Events("playback").size() > beforePlay; }));
    EXPECT_EQ(lastStart().value("mode").toInt(), 16);
    EXPECT_GE(lastStart().value("time").toInt(), 100002) << "play after a pause goes on from the shown picture";
    EXPECT_GE(lastStart().value("time").toInt(), shown);

    // A search hands playback back at the time it showed last; a control pressed at once goes on
    // from there.
    ASSERT_TRUE(device->RequestPlayback(120000, int(PlaybackMode::Forward)));
    device->SetPlaybackCtrl(PlaybackMode::Stop);
    const int beforeHandBack = sim->Events("playback").size();
    device->SetPlaybackCtrl(PlaybackMode::Forward);
    ASSERT_TRUE(WaitFor([&] { return sim->Events("playback").size() > beforeHandBack; }));
    EXPECT_GE(lastStart().value("time").toInt(), 120000) << "play after a hand-back goes on from the handed time";
    grid.reset();
}

struct PlaybackSoundCase
{
    const char* name;
    int size; // block size, 24-byte head included
    int blocks;
    qint64 written;
};

class PlaybackSoundTest : public SessionTest, public ::testing::WithParamInterface<PlaybackSoundCase>
{};

TEST_P(PlaybackSoundTest, BlocksGatherAndGoOutWithoutOverrun)
{
    const PlaybackSoundCase& c = GetParam();
    SessionDvrSim* sim = StartSim({"--channels", "4", "--login-masks", "0,15,15,15"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("sound", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    MediaSink sink;
    hub->GetAudioOutput()->AttachPushDevice(&sink);
    hub->Sessions()->SetAudioDeviceIndex(device->GetDeviceIndex());
    CModuleDeviceTestAccess::SetPlaybackTag(*device, 5);
    CModuleDeviceTestAccess::SetPlaybackAudioChannel(*device, 0);

    device->OnRecvPlaybackAudioSec(c.size, 2, 20260101, 120000, 4); // an older tag
    for (int i = 0; i < c.blocks; ++i)
        device->OnRecvPlaybackAudioSec(c.size, 2, 20260101, 120000, 5);
    ASSERT_TRUE(WaitFor([&] {
        return CModuleDeviceTestAccess::GetPlaybackAudioQueueCount(*device) == 0 && sink.Written() >= c.written;
    }));
    QTest::qWait(100);
    EXPECT_EQ(sink.Written(), c.written);
    hub->GetAudioOutput()->AttachPushDevice(nullptr);
}

// 664: 640 bytes of 16-bit sound each, 7 blocks gather 4480 and the first 4000 go out.
// 2072: 2048 each. 1000: 976 bytes of 8-bit sound each, 4000 of them become 8000 bytes.
// 20024: 20000 bytes of 8-bit sound, more than the 9000-byte buffer: it goes in pieces, 18000
// bytes are played as 36000 bytes of samples and 2000 wait for more.
INSTANTIATE_TEST_SUITE_P(Blocks, PlaybackSoundTest,
                         ::testing::Values(PlaybackSoundCase{"Pcm664", 664, 7, 4000},
                                           PlaybackSoundCase{"Pcm2072", 2072, 2, 4000},
                                           PlaybackSoundCase{"Linear1000", 1000, 5, 8000},
                                           PlaybackSoundCase{"Oversized", 20024, 1, 36000}),
                         [](const ::testing::TestParamInfo<PlaybackSoundCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SessionTest, GridThatAskedBeforeLoginTakesTheRecorder)
{
    SessionDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    auto grid = std::make_unique<CCameo>(nullptr);
    grid->InitCameo(int(CameoKind::Live), 4, -1);
    const int gridIndex = grid->GetCameoIndex();
    ASSERT_GE(gridIndex, 0);
    CModuleDevice* device = AddRecorder("grid", sim->Port());
    EXPECT_EQ(device->GetChannelCount(gridIndex), -1);
    ASSERT_TRUE(ConnectAndLogin(device, 11));
    QSet<int> cells;
    for (int ch = 0; ch < 4; ++ch) {
        EXPECT_EQ(device->GetCameoRoute(ch)->liveGrid.load(), gridIndex) << ch;
        cells.insert(device->GetCameoRoute(ch)->liveCell.load());
    }
    EXPECT_EQ(cells.size(), 4);
    EXPECT_FALSE(cells.contains(-1));
    EXPECT_EQ(device->GetChannelCount(gridIndex), 4) << "the remembered grid is forgotten";
    device->Disconnect();
    ASSERT_TRUE(WaitFor([device] { return !device->IsLoggedIn(); }));
    grid.reset();
}

TEST_F(SessionTest, FavoriteWhoseRecorderStoppedAndCameBackShowsItsCellsAgain)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 15, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    SessionDvrSim* sim = StartSim({"--channels", "4", "--video", stream.path, "--fps", "15"});
    ASSERT_TRUE(sim);
    const qint64 pid = sim->ProcessId();
    ASSERT_GT(pid, 0);
    CModuleDevice* device = AddRecorder("back", sim->Port());
    CModuleDeviceTestAccess::SetLoginTimeLimit(*device, kLimitMs);

    auto grid = std::make_unique<CCameo>(nullptr);
    grid->InitCameo(int(CameoKind::Live), 4, -1);
    grid->resize(400, 300);
    grid->show();
    const int gridIndex = grid->GetCameoIndex();
    // The automatic connect: the favorite opens at once, and again at each tick while its
    // recorder is not logged in.
    const auto openFavorite = [&] { grid->OpenFavorite(400, QStringLiteral("back"), QStringLiteral("0"), true); };
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (!device->IsLoggedIn())
            openFavorite();
    });
    openFavorite();
    tick.start(kTickMs);
    const auto showsLive = [&](int afterTime) {
        const CameoCell cell = grid->GetCell(0);
        return device->IsLoggedIn() && cell.recorder == device->GetDeviceIndex() && cell.channel == 0
               && device->GetCameoRoute(0)->liveGrid.load() == gridIndex && !cell.picture.isNull()
               && cell.osdTime > 0 && cell.osdTime != afterTime;
    };
    ASSERT_TRUE(WaitFor([&] { return showsLive(-1); }, 30000)) << "the favorite's cell never showed live video";
    SetKeepAlive(device, 300);

    // The recorder's process stops: the session notices, and the reconnects of the ticks end at
    // the time limit while it stays stopped.
    ASSERT_EQ(::kill(pid_t(pid), SIGSTOP), 0);
    ASSERT_TRUE(WaitFor([&] { return !device->IsLoggedIn(); }, 20000)) << "the stopped recorder was not noticed";
    const int shownBefore = grid->GetCell(0).osdTime;
    const bool failed = WaitFor([&] { return device->GetConnectResult() == ConnectResult::Failed; }, 20000);
    ::kill(pid_t(pid), SIGCONT);
    ASSERT_TRUE(failed) << "the reconnect to the stopped recorder never ended";

    // It comes back: the next tick logs in again and the cell shows new live pictures.
    EXPECT_TRUE(WaitFor([&] { return showsLive(shownBefore); }, 40000))
        << "the favorite's cell stayed black after the recorder came back";
    tick.stop();
    grid.reset();
}
