// What the session reads of its connections against the simulator: the failure text of a
// connection that never logged in (plain and TLS), the firmware tool step for the models that need
// it, closing a connection that is up but not logged in, the raw model code, and live video on
// fresh buffers after a disconnect and a new login.
#include <QFile>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <ostream>

#include "harness/testcertificate.h"
#include "net/modulenetwork.h"
#include "session/support/session_fixture.h"

namespace {

const QString kBoxTitle = QStringLiteral("DVR Connection");
const QString kConnecting = QStringLiteral("Network Connecting...");

} // namespace

// ---------------------------------------------------------------------------------------------
// The text of a connection that never logged in

struct LoginFailureCase
{
    const char* name;
    bool tlsRecorder; // the simulator serves TLS
    bool tlsSession;  // the site book entry asks for TLS
    QStringList simOptions;
    QString text;
};

void PrintTo(const LoginFailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class SessionLoginFailureText : public SessionTest, public ::testing::WithParamInterface<LoginFailureCase>
{};

TEST_P(SessionLoginFailureText, ShowsTheTextForWhatHappened)
{
    const LoginFailureCase& c = GetParam();
    QStringList options = c.simOptions;
    if (c.tlsRecorder) {
        const TestCertificate certificate = MakeTestCertificate(ProgramDir(), QStringLiteral("netflags"));
        ASSERT_TRUE(certificate.ok) << "openssl could not make a certificate";
        options += certificate.SimOptions();
    }
    SessionDvrSim* sim = StartSim(options);
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("failing", sim->Port(), c.tlsSession ? 1 : 0);
    device->StartConnect(0);
    ASSERT_TRUE(WaitFor([&] { return hub->boxCalls.size() >= 3; }));
    // Nothing more arrives for this attempt.
    WaitFor([] { return false; }, 700);
    const std::vector<BoxCall> expected{{kBoxTitle, kConnecting, ""}, {"", c.text, ""}, {"", "", "stop"}};
    EXPECT_EQ(hub->boxCalls, expected);
    EXPECT_FALSE(device->IsLoggedIn());
    EXPECT_FALSE(device->IsSocketConnected());
    EXPECT_EQ(device->childCount(), 0) << "no channel item without a login";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SessionLoginFailureText,
    ::testing::Values(
        LoginFailureCase{
            "plainClosedBeforeAnyReply", false, false, {"--fail", "close-at-once"}, "Connection full"},
        LoginFailureCase{"plainModelRefused", false, false, {"--fail", "model-class-reject"}, "Not Support"},
        LoginFailureCase{
            "plainModelFF", false, false, {"--model-code", "0xFF", "--model-class-ff", "3"}, "Not Support"},
        LoginFailureCase{"plainLoginRefused", false, false, {"--fail", "refuse-login"}, "Login fail"},
        LoginFailureCase{"tlsClosedAfterHandshake", true, true, {"--fail", "close-at-once"}, "Connection full"},
        LoginFailureCase{"tlsModelRefused", true, true, {"--fail", "model-class-reject"}, "Not Support"},
        LoginFailureCase{"tlsLoginRefused", true, true, {"--fail", "refuse-login"}, "Login fail"},
        LoginFailureCase{"tlsHandshakeNeverDone", false, true, {}, "Connect fail"}),
    [](const ::testing::TestParamInfo<LoginFailureCase>& info) { return std::string(info.param.name); });

TEST_F(SessionTest, RefusedModelTellsTheFirmwareAndAccountManagersOnly)
{
    SessionDvrSim* sim = StartSim({"--fail", "model-class-reject", "--option-flag"});
    ASSERT_TRUE(sim);
    CModuleDevice* firmware = AddRecorder("fw", sim->Port());
    firmware->StartConnect(8);
    ASSERT_TRUE(WaitFor([&] { return !hub->firmwareCodes.empty(); }));
    CModuleDevice* account = AddRecorder("acc", sim->Port());
    account->StartConnect(7);
    ASSERT_TRUE(WaitFor([&] { return !hub->accountCodes.empty(); }));
    WaitFor([] { return false; }, 500);
    EXPECT_EQ(hub->firmwareCodes, std::vector<int>{-1});
    EXPECT_EQ(hub->accountCodes, std::vector<int>{-1});
    EXPECT_TRUE(hub->boxCalls.empty()) << "the managers show their own state";
}

// ---------------------------------------------------------------------------------------------
// Firmware preparation by model

struct FirmwareCase
{
    const char* name;
    QStringList simOptions;
    bool toolInstalled;     // a firmware tool in the program directory
    std::vector<int> codes; // firmware states, in order
    bool pathIsToolOutput;  // the hub's firmware path becomes the tool's output
};

void PrintTo(const FirmwareCase& c, std::ostream* os)
{
    *os << c.name;
}

class SessionFirmwareByModel : public SessionTest, public ::testing::WithParamInterface<FirmwareCase>
{};

TEST_P(SessionFirmwareByModel, RunsTheToolOnlyForItsModels)
{
    const FirmwareCase& c = GetParam();
    const QString dir = hub->ProgramDirectory();
    const QString chosen = dir + "/chosen_firmware.bin";
    {
        QFile f(chosen);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("firmware package bytes");
    }
    hub->SetFirmwarePath(chosen);
    if (c.toolInstalled) {
        // The tool converts the package given first into the program directory given second.
        const QString tool = dir + "/firmware";
        QFile f(tool);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nmkdir -p \"$2/TempUpgrade\" && cp \"$1\" \"$2/TempUpgrade/dvr_upgrade_auto.zip\"\n");
        f.close();
        ASSERT_TRUE(f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    SessionDvrSim* sim = StartSim(QStringList{"--option-flag", "--channels", "1"} + c.simOptions);
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("upgrade", sim->Port());
    device->StartConnect(8);
    ASSERT_TRUE(WaitFor([&] { return hub->firmwareCodes.size() >= c.codes.size(); }));
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(hub->firmwareCodes, c.codes);
    const QString output = dir + "/TempUpgrade/dvr_upgrade_auto.zip";
    if (c.pathIsToolOutput) {
        EXPECT_EQ(hub->FirmwarePath(), output);
    } else {
        EXPECT_EQ(hub->FirmwarePath(), chosen);
    }
    if (c.toolInstalled && c.pathIsToolOutput) {
        QFile f(output);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("firmware package bytes"));
    } else {
        EXPECT_FALSE(QFile::exists(output)) << "the tool runs only for its models";
    }
    EXPECT_TRUE(device->IsLoggedIn());
    device->Disconnect();
    ASSERT_TRUE(WaitFor([device] { return !device->IsLoggedIn(); }));
}

INSTANTIATE_TEST_SUITE_P(
    Models, SessionFirmwareByModel,
    ::testing::Values(
        FirmwareCase{"plainModel", {}, true, {2}, false},
        FirmwareCase{"code8Sub1641", {"--model-code", "0x18", "--sub-model", "1641"}, true, {2}, false},
        FirmwareCase{"code8Sub1642WithTool", {"--model-code", "0x18", "--sub-model", "1642"}, true, {1, 2}, true},
        FirmwareCase{"code8Sub822WithTool", {"--model-code", "0x18", "--sub-model", "822"}, true, {1, 2}, true},
        // Without the tool the preparation fails at once; the hub already points at the output.
        FirmwareCase{"code8Sub842NoTool", {"--model-code", "0x18", "--sub-model", "842"}, false, {1, -3}, true}),
    [](const ::testing::TestParamInfo<FirmwareCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// A connection that is up but never logs in

TEST_F(SessionTest, DisconnectClosesConnectionsThatNeverLoggedIn)
{
    // A peer that takes connections and never answers.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    std::vector<QTcpSocket*> accepted;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* s = silent.nextPendingConnection())
            accepted.push_back(s);
    });
    CModuleDevice* device = AddRecorder("silent", silent.serverPort());
    device->StartConnect(0);
    ASSERT_TRUE(WaitFor([&] { return accepted.size() >= 2 && device->IsSocketConnected(); }));
    ASSERT_EQ(device->GetLiveNetwork()->GetNetState(), 1);
    ASSERT_EQ(device->GetPlaybackNetwork()->GetNetState(), 1);

    EXPECT_FALSE(device->Disconnect()) << "nothing was logged in";
    EXPECT_EQ(device->GetLiveNetwork()->GetNetState(), -1);
    EXPECT_EQ(device->GetPlaybackNetwork()->GetNetState(), -1);
    EXPECT_TRUE(WaitFor([&] {
        for (QTcpSocket* s : accepted)
            if (s->state() != QAbstractSocket::UnconnectedState)
                return false;
        return true;
    })) << "the peer sees both connections closed";
    WaitFor([] { return false; }, 300);
    // A deliberate close is no login failure.
    const std::vector<BoxCall> expected{{kBoxTitle, kConnecting, ""}};
    EXPECT_EQ(hub->boxCalls, expected);
    EXPECT_FALSE(device->IsSocketConnected());
}

// ---------------------------------------------------------------------------------------------
// Model code and buffers across a reconnect

TEST_F(SessionTest, ModelCodeIsTheRawByteWhileConnected)
{
    SessionDvrSim* sim = StartSim({"--channels", "1", "--model-code", "0x18", "--sub-model", "1642"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("raw", sim->Port());
    EXPECT_EQ(device->GetModelCode(), -1);
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    EXPECT_EQ(device->GetModelCode(), 0x18);
    device->Disconnect();
    ASSERT_TRUE(WaitFor([device] { return !device->IsLoggedIn(); }));
    EXPECT_EQ(device->GetModelCode(), -1);
}

TEST_F(SessionTest, LiveVideoAfterAReconnectLandsInFreshBuffers)
{
    SessionDvrSim* sim = StartSim({"--channels", "2", "--fps", "30"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("again", sim->Port());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(ConnectAndLogin(device, 1));
        int frames = 0;
        const QMetaObject::Connection counting = QObject::connect(
            device->GetLiveNetwork(), &CModuleNetwork::SetRecvLiveVideo,
            [&](int, int size, int, int, int, int, bool, int, int) {
                if (size > 0)
                    ++frames;
            });
        EXPECT_TRUE(WaitFor([&] { return frames >= 10; }));
        QObject::disconnect(counting);
        // Stop while frames are still on their way: whatever arrives after the teardown has
        // released the buffers must not be written into them.
        device->Disconnect();
        ASSERT_TRUE(WaitFor([device] { return !device->IsLoggedIn(); }));
        WaitFor([] { return false; }, 200);
    }
}
