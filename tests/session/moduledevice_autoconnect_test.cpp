// Automatic connects against recorders that misbehave: the favorite's automatic connect asks
// again every few seconds, and those repeats must neither start a second attempt nor give the
// running one more time, so connect plus login keep one time limit.
#include <QTimer>

#include "net/modulenetwork.h"
#include "session/support/moduledevice_testaccess.h"
#include "session/support/session_fixture.h"

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

} // namespace
