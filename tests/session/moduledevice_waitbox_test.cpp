// Boxes that wait on a recorder: the "Information Loading" box of remote playback ends with the
// recorder's answer, or with a message and an enabled Close button when a record list reply is
// cut, longer than it says or missing. A day chosen again in a window that played before closes
// its box with the first played picture as the first load did.
#include <QJsonObject>

#include "common/support/decoder_streams.h"
#include "net/modulenetwork.h"
#include "session/moduleplayback.h"
#include "session/playbackview.h"
#include "session/support/moduledevice_testaccess.h"
#include "session/support/session_fixture.h"

namespace {

constexpr int kDay = 20260102;

struct ListFaultCase
{
    const char* name;
    const char* failMode;
    const char* message; // a part of the text the box ends with
};

void PrintTo(const ListFaultCase& c, std::ostream* os)
{
    *os << c.name;
}

class ListFaultTest : public SessionTest, public ::testing::WithParamInterface<ListFaultCase>
{};

const BoxCall* LastBoxWith(const std::vector<BoxCall>& calls, const QString& option)
{
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if (it->option == option)
            return &*it;
    return nullptr;
}

TEST_P(ListFaultTest, LoadingBoxEndsWithAMessage)
{
    SessionDvrSim* sim = StartSim(
        {"--channels", "4", "--record-date", QString::number(kDay), "--fail", GetParam().failMode});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("lists", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    hub->keepTitle = true;
    // The limit is shortened so that the test does not sit through it; the rule is the same.
    CModuleDeviceTestAccess::SetRecorderWaitLimit(*device, 1500);

    // What the playback window does when a day is chosen.
    hub->ShowMessageBox(QStringLiteral("Remote Playback"), QStringLiteral("Information Loading"), QString());
    const size_t before = hub->boxCalls.size();
    device->SendTimeRecList(kDay, 0);
    ASSERT_TRUE(WaitFor([&] { return LastBoxWith(hub->boxCalls, QStringLiteral("stop")) != nullptr; }))
        << "the box got no message and no Close button";
    const BoxCall* end = LastBoxWith(hub->boxCalls, QStringLiteral("stop"));
    EXPECT_EQ(end->title, QStringLiteral("Remote Playback"));
    EXPECT_TRUE(end->text.contains(QLatin1String(GetParam().message))) << end->text.toStdString();
    EXPECT_TRUE(end->text.contains(QLatin1String("lists"))) << "the message names the recorder";
    EXPECT_GT(hub->boxCalls.size(), before);

    // Nothing more is asked of the box afterwards (one message, not one per late reply).
    const size_t after = hub->boxCalls.size();
    device->SendTimeRecList(kDay, 0);
    ASSERT_TRUE(WaitFor([&] { return hub->boxCalls.size() > after; }))
        << "a new day's load waits again and ends again";
}

const ListFaultCase kListFaults[] = {
    {"CutReply", "cut-list", "did not answer"},
    {"OverlongReply", "overlong-list", "cannot be read"},
    {"MissingReply", "no-list-reply", "did not answer"},
};

INSTANTIATE_TEST_SUITE_P(Lists, ListFaultTest, ::testing::ValuesIn(kListFaults),
                         [](const auto& info) { return std::string(info.param.name); });

// A playback window that has shown pictures before and holds its chosen day.
class StartedView : public PlaybackView
{
public:
    void SetPlaybackInfo(int, bool) override {}
    void NotifyTimeList() override {}
    bool IsCalendarOpen() const override { return false; }
    bool IsPlaybackStarted() const override { return true; }
    void MarkPlaybackStarted(const QString&) override {}
};

TEST_F(SessionTest, DayChosenAgainClosesItsLoadingBoxWithTheFirstPicture)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    SessionDvrSim* sim = StartSim({"--channels", "4", "--video", stream.path, "--record-date",
                                   QString::number(kDay), "--record-start", "100000", "--record-end", "103000"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("reload", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(WaitFor([&] { return device->GetPlaybackNetwork()->IsConnected(); }));
    hub->keepTitle = true;
    StartedView view;
    device->SetPlaybackView(&view);
    device->SetPlaybackVisible(0, true);
    device->SetPlaybackActive(true);
    CModuleDeviceTestAccess::SetRecordedRange(*device, kDay, 100000, kDay, 103000);
    device->ChoosePlayStart(kDay, 100500);

    // "Select Date" with a day already chosen: the window reloads that day under the box.
    hub->ShowMessageBox(QStringLiteral("Remote Playback"), QStringLiteral("Information Loading"), QString());
    const size_t before = hub->boxCalls.size();
    device->SendTimeRecList(kDay, 0);
    ASSERT_TRUE(WaitFor(
        [&] {
            for (size_t i = before; i < hub->boxCalls.size(); ++i)
                if (hub->boxCalls[i].option == QLatin1String("exit"))
                    return true;
            return false;
        },
        30000))
        << "the loading box stayed up after playback started again";
    EXPECT_FALSE(sim->Events("playback").isEmpty());
    EXPECT_EQ(LastBoxWith(hub->boxCalls, QStringLiteral("stop")), nullptr) << "no message: the recorder answered";
    device->SetPlaybackView(nullptr);
}

// A recorder that takes the play request and sends no picture: the box ends with a message and
// its Close button within the limit instead of waiting for ever.
TEST_F(SessionTest, PlaybackThatSendsNoPictureEndsItsLoadingBoxWithAMessage)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    SessionDvrSim* sim = StartSim({"--channels", "4", "--video", stream.path, "--record-date",
                                   QString::number(kDay), "--record-start", "100000", "--record-end", "103000",
                                   "--fail", "no-playback-frames"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("mute", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(WaitFor([&] { return device->GetPlaybackNetwork()->IsConnected(); }));
    hub->keepTitle = true;
    CModuleDeviceTestAccess::SetRecorderWaitLimit(*device, 1500);
    StartedView view;
    device->SetPlaybackView(&view);
    device->SetPlaybackVisible(0, true);
    device->SetPlaybackActive(true);
    CModuleDeviceTestAccess::SetRecordedRange(*device, kDay, 100000, kDay, 103000);
    device->ChoosePlayStart(kDay, 100500);

    hub->ShowMessageBox(QStringLiteral("Remote Playback"), QStringLiteral("Information Loading"), QString());
    device->SendTimeRecList(kDay, 0);
    ASSERT_TRUE(WaitFor([&] { return LastBoxWith(hub->boxCalls, QStringLiteral("stop")) != nullptr; }, 30000))
        << "the loading box stayed up although no picture came";
    EXPECT_FALSE(sim->Events("playback-unanswered").isEmpty()) << "the play request reached the recorder";
    const BoxCall* end = LastBoxWith(hub->boxCalls, QStringLiteral("stop"));
    EXPECT_TRUE(end->text.contains(QLatin1String("did not answer"))) << end->text.toStdString();
    EXPECT_TRUE(end->text.contains(QLatin1String("mute"))) << "the message names the recorder";
    device->SetPlaybackView(nullptr);
}

} // namespace
