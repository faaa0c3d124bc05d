// The guards of the session's senders against the simulator: a logged-in session sends each
// request once; a session that is not logged in, lacks the permission or has no window for the
// request sends nothing. Also the e-map forwarders, which write the recorder's entry record.
#include <QFile>

#include <functional>

#include "session/moduledevice.h"
#include "session/support/requests2_support.h"
#include "session/support/session_fixture.h"

namespace {

constexpr int kDay = 20240115;

struct SenderCase
{
    const char* name;
    int command;
    std::function<void(CModuleDevice*)> send;
};

void PrintTo(const SenderCase& c, std::ostream* os)
{
    *os << c.name;
}

const SenderCase kSenders[] = {
    {"TimeList", 0x20, [](CModuleDevice* d) { d->SendTimeRecList(kDay, 0); }},
    {"EventList", 0x20, [](CModuleDevice* d) { d->SendEventRecList(kDay, 0); }},
    {"ChannelIndex", 0x20, [](CModuleDevice* d) { d->SendIntraIndexRequest(kDay, 1, 0, 0, 0); }},
    {"CameraControl", 0x08, [](CModuleDevice* d) { d->SendUccControl(1, 5, 3, 0); }},
    {"PtzControl", 0x08, [](CModuleDevice* d) { d->SendPtzControl(1, 5, 3, 0); }},
    {"RelayControl", 0x27, [](CModuleDevice* d) { d->SendRelayControl(1, 1); }},
    {"LiveOutputChannel", 0xBE, [](CModuleDevice* d) { d->SetLiveOutputChannel(2); }},
    {"LiveOutputRelease", 0xBC, [](CModuleDevice* d) { d->SendLiveOutput(); }},
    {"ConsoleData", 0xA8, [](CModuleDevice* d) { d->RequestConsoleData(0); }},
    {"MediaCheck", 0x35, [](CModuleDevice* d) { d->SendCDMediaCheck(1); }},
    {"TalkStart", 0x3F, [](CModuleDevice* d) { d->SendTalkStart(); }},
};

class SenderTest : public SessionTest, public ::testing::WithParamInterface<SenderCase>
{};

TEST_P(SenderTest, LoggedInSendsItOnce)
{
    const SenderCase& c = GetParam();
    SessionDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("guards", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(FenceLive(sim, device));
    const int before = sim->Messages(c.command).size();
    c.send(device);
    EXPECT_TRUE(WaitFor([&] { return sim->Messages(c.command).size() == before + 1; }));
}

INSTANTIATE_TEST_SUITE_P(Requests2, SenderTest, ::testing::ValuesIn(kSenders),
                         [](const ::testing::TestParamInfo<SenderCase>& info) {
                             return std::string(info.param.name);
                         });

class GuardTest : public SessionTest
{};

TEST_F(GuardTest, RefusedLoginSendsNothing)
{
    SessionDvrSim* sim = StartSim({"--channels", "4", "--user", "admin", "--password", "1234"});
    ASSERT_TRUE(sim);
    CModuleDevice* refused = AddRecorder("refused", sim->Port());
    RecordOf(refused)->password = QStringLiteral("wrong");
    refused->StartConnect(0);
    ASSERT_TRUE(WaitFor([&] { return sim->Events("login").size() >= 2; }));
    ASSERT_FALSE(refused->IsLoggedIn());

    const QList<int> before = [&] {
        QList<int> counts;
        for (const SenderCase& c : kSenders)
            counts << sim->Messages(c.command).size();
        return counts;
    }();
    for (const SenderCase& c : kSenders)
        c.send(refused);
    refused->SetPlaybackCtrl(PlaybackMode::Forward);
    refused->SetPlaybackCtrl(PlaybackMode::Stop);
    EXPECT_FALSE(refused->StartPlaybackAudio(0));

    // A second recorder session logs in and fences; none of the refused session's requests came.
    CModuleDevice* other = AddRecorder("other", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(other, 0));
    ASSERT_TRUE(FenceLive(sim, other));
    int i = 0;
    for (const SenderCase& c : kSenders) {
        const int fence = c.command == 0x27 ? 1 : 0;
        EXPECT_EQ(sim->Messages(c.command).size(), before[i] + fence) << c.name;
        ++i;
    }
    EXPECT_TRUE(sim->Messages(0x95).isEmpty());
}

TEST_F(GuardTest, PermissionAndWindowsWithheld)
{
    SessionDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("withheld", sim->Port());
    // Pan, tilt and zoom only on channel 0.
    RecordOf(device)->permissionPtz = 0x1;
    hub->withoutHealthCheck = true;
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(FenceLive(sim, device));
    const int polls = sim->Messages(0x96).size();
    hub->boxCalls.clear();

    device->SendPtzControl(1, 5, 3, 0);  // no permission on channel 1
    device->SendUccControl(16, 5, 3, 0); // no channel 16
    device->SendConsoleMode(1);          // no console window shows this recorder
    device->SendMousePos(10, 20, 1, 0);
    device->ShowHealthCheck(false); // no health dialog
    device->ShowHealthCheck(true);
    device->OnTimerStatus();
    device->SendPtzControl(0, 5, 3, 0); // allowed: the one camera control that goes out
    ASSERT_TRUE(FenceLive(sim, device));

    const QList<QByteArray> ptz = ReceivedMessages(sim, 0x08);
    ASSERT_EQ(ptz.size(), 1);
    // channel 0, command 5, value 3, then the low byte of the last value three times
    EXPECT_EQ(Hex(ptz[0]), Hex(FromHex("0000000e 00a10800 00120000 00 05 03 000000")));
    EXPECT_TRUE(sim->Messages(0xA6).isEmpty());
    EXPECT_TRUE(sim->Messages(0x9A).isEmpty());
    EXPECT_EQ(sim->Messages(0x96).size(), polls);
    EXPECT_TRUE(hub->boxCalls.empty()) << "no Loading... box without the dialog";
}

TEST_F(GuardTest, ConfigurationArrivalAsksForTheConsoleLayoutOnlyWhenAllowed)
{
    SessionDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("console", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    hub->boxCalls.clear();

    // No config.ini: csConfig reads "0".
    device->SetRecvConfig();
    ASSERT_TRUE(FenceLive(sim, device));
    EXPECT_TRUE(sim->Messages(0xA8).isEmpty());
    const std::vector<BoxCall> refused{{"", "Don't have permision.", ""}, {"", "", "stop"}};
    EXPECT_EQ(hub->boxCalls, refused);

    QFile ini(ProgramDir() + "/config.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[CLIENT_NETWORK]\ncsConfig=1\n");
    ini.close();
    hub->boxCalls.clear();
    device->SetRecvConfig();
    ASSERT_TRUE(FenceLive(sim, device));
    // The console starts from its own window (it sends the console mode and asks for the layout,
    // shown end to end with the shell); without a window showing this recorder nothing is asked.
    EXPECT_TRUE(sim->Messages(0xA8).isEmpty());
    EXPECT_TRUE(sim->Messages(0xA6).isEmpty());
    EXPECT_TRUE(hub->boxCalls.empty());
}

// ---------------------------------------------------------------------------------------------
// E-map forwarders

class EmapForwarderTest : public SessionTest
{};

TEST_F(EmapForwarderTest, PositionsAndPathsReachTheEntry)
{
    CModuleDevice* device = AddRecorder("emap", 1);
    SiteBook* record = RecordOf(device);
    ASSERT_TRUE(record);

    device->SetEmapPath("/maps/site.png");
    EXPECT_EQ(record->emapPath, "/maps/site.png");
    EXPECT_EQ(device->GetEmapPath(), "/maps/site.png");

    device->SetCameraEmapPath("/maps/cam3.png", 3);
    EXPECT_EQ(record->emapCameraPath[3], "/maps/cam3.png");
    device->SetEmapDevicePos(3, 0.25f, 0.5f);
    EXPECT_EQ(record->emapCameraPos[3], "0.250000;0.500000;");
    EXPECT_FLOAT_EQ(device->GetCameraOwnX(3), 0.25f);

    // Taken off its e-map: the default position and no picture.
    device->SetEmapDevicePos(3, -1.0f, -1.0f);
    EXPECT_EQ(record->emapCameraPos[3], "");
    EXPECT_EQ(record->emapCameraPath[3], "");
    EXPECT_EQ(device->GetCameraEmapPath(3), "");
    EXPECT_FLOAT_EQ(device->GetCameraOwnX(3), 0.452077f);
    EXPECT_FLOAT_EQ(device->GetCameraOwnY(3), 0.262222f);

    // The recorder's e-map: always 16 pairs.
    device->LoadSiteBookInfo();
    device->SetEmapCameraPos(1, 0.5f, 0.125f);
    QString expected;
    for (int n = 0; n < 16; ++n)
        expected += n == 1 ? "0.500000;0.125000;" : "-1.000000;-1.000000;";
    EXPECT_EQ(record->emapPos, expected);
    EXPECT_EQ(record->emapPos.split(';', Qt::SkipEmptyParts).size(), 32);

    // Cameras outside 0..15 change nothing.
    device->SetEmapCameraPos(16, 0.1f, 0.1f);
    device->SetEmapDevicePos(16, 0.1f, 0.1f);
    device->SetCameraEmapPath("x", 16);
    EXPECT_EQ(record->emapPos, expected);
}

} // namespace
