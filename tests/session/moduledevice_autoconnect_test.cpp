// Automatic connects against recorders that misbehave: the favorite's automatic connect asks
// again every few seconds, and those repeats must neither start a second attempt nor give the
// running one more time, so connect plus login keep one time limit. A favorite whose recorder
// stopped and came back shows its cells again.
#include <QTimer>

#include <csignal>
#include <sys/types.h>

#include "common/support/decoder_streams.h"
#include "net/modulenetwork.h"
#include "net/nettypemirel.h"
#include "session/support/moduledevice_testaccess.h"
#include "session/support/session_fixture.h"
#include "shell/ccameo.h"

namespace {

constexpr int kLimitMs = 1500;
// Faster than the limit, as the program's 5-second tick is faster than its 10-second limit.
constexpr int kTickMs = 400;

struct StuckCase
{
    const char* name;
    const char* failMode;
};

void PrintTo(const StuckCase& c, std::ostream* os)
{
    *os << c.name;
}

class StuckRecorderTest : public SessionTest, public ::testing::WithParamInterface<StuckCase>
{};

TEST_P(StuckRecorderTest, RepeatedAutomaticConnectEndsAtTheTimeLimit)
{
    SessionDvrSim* sim = StartSim({"--channels", "1", "--fail", GetParam().failMode});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("stuck", sim->Port());
    CModuleDeviceTestAccess::SetLoginTimeLimit(*device, kLimitMs);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [device] {
        if (!device->IsLoggedIn())
            device->StartConnect(ConnectPurpose::Favorite);
    });
    device->StartConnect(ConnectPurpose::Favorite);
    tick.start(kTickMs);
    ASSERT_TRUE(WaitFor([&] { return device->GetConnectResult() == ConnectResult::Failed; }, 20000))
        << "the attempt never ended while the automatic connect repeated";
    EXPECT_FALSE(device->IsLoggedIn());
    EXPECT_TRUE(WaitFor([&] { return sim->Events(QStringLiteral("disconnect")).size() >= 2; }))
        << "the half-open connections were closed";
    // The next tick tries again: a second attempt reaches the recorder.
    EXPECT_TRUE(WaitFor([&] { return sim->Events(QStringLiteral("connect")).size() >= 4; }, 20000))
        << "no new attempt after the failed one";
    tick.stop();
}

const StuckCase kStuckCases[] = {
    {"Silent", "silent"},
    {"TrickledLogin", "stall-login"},
};

INSTANTIATE_TEST_SUITE_P(AutoConnect, StuckRecorderTest, ::testing::ValuesIn(kStuckCases),
                         [](const auto& info) { return std::string(info.param.name); });

void SetKeepAlive(CModuleDevice* device, int ms)
{
    for (CModuleNetwork* network : {device->GetLiveNetwork(), device->GetPlaybackNetwork()}) {
        if (auto* engine = network ? network->findChild<CNetTypeMirel*>() : nullptr)
            engine->SetKeepAliveInterval(ms);
    }
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

} // namespace
