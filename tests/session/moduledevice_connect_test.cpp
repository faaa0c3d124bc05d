// Connecting a session: every purpose after login and after a failed connect, the order of the
// two connections, and the texts of the shared message box.
#include <QDir>
#include <QJsonObject>
#include <QSet>

#include <ostream>

#include "harness/testcertificate.h"
#include "net/certificatestore.h"
#include "net/modulenetwork.h"
#include "session/support/moduledevice_testaccess.h"
#include "session/support/session_fixture.h"

namespace {

const QString kBoxTitle = QStringLiteral("DVR Connection");
const QString kConnecting = QStringLiteral("Network Connecting...");

int CountCmd(const QList<QJsonObject>& messages, int cmd, int conn)
{
    int n = 0;
    for (const QJsonObject& m : messages) {
        if (m.value("cmd").toInt() == cmd && m.value("conn").toInt() == conn)
            ++n;
    }
    return n;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// After login

struct AfterLoginCase
{
    int purpose;
    bool optionFlag;            // the recorder grants management rights
    std::vector<BoxCall> boxes; // every box call, in order
    std::vector<int> accountCodes;
    std::vector<int> firmwareCodes;
    int liveStartsWithAudio; // 0x87 with byte 17 = 0 (the purpose's own live start)
    int consoleLocks;        // 0x96 requests
    int fileBegins;          // 0x0F requests
};

void PrintTo(const AfterLoginCase& c, std::ostream* os)
{
    *os << "purpose " << c.purpose << (c.optionFlag ? " with management rights" : "");
}

class SessionAfterLogin : public SessionTest, public ::testing::WithParamInterface<AfterLoginCase>
{};

TEST_P(SessionAfterLogin, DoesWhatThePurposeAsks)
{
    const AfterLoginCase& c = GetParam();
    QStringList options{"--channels", "4", "--level", "0x10"};
    if (c.optionFlag)
        options << "--option-flag";
    SessionDvrSim* sim = StartSim(options);
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("rec", sim->Port());

    device->StartConnect(c.purpose);
    ASSERT_TRUE(WaitFor([device] { return device->IsLoggedIn(); }));
    EXPECT_EQ(device->GetConnectResult(), ConnectResult::Done);
    // Let the requests of the purpose reach the simulator.
    WaitFor([&] { return int(sim->Messages(0x87).size()) >= 4 + c.liveStartsWithAudio; }, 3000);
    WaitFor(
        [&] {
            return int(sim->Messages(0x96).size()) >= c.consoleLocks
                   && int(sim->Messages(0x0F).size()) >= c.fileBegins;
        },
        3000);

    EXPECT_EQ(hub->boxCalls, c.boxes);
    EXPECT_EQ(hub->accountCodes, c.accountCodes);
    EXPECT_EQ(hub->firmwareCodes, c.firmwareCodes);

    const QList<QJsonObject> starts = sim->Messages(0x87);
    int loginStarts = 0, audioStarts = 0;
    for (const QJsonObject& m : starts) {
        const QByteArray bytes = QByteArray::fromHex(m.value("hex").toString().toLatin1());
        ASSERT_EQ(bytes.size(), 24);
        if (bytes.at(17) == 1)
            ++loginStarts;
        else
            ++audioStarts;
    }
    EXPECT_EQ(loginStarts, 4) << "every permitted channel starts at login";
    EXPECT_EQ(audioStarts, c.liveStartsWithAudio);
    EXPECT_EQ(int(sim->Messages(0x96).size()), c.consoleLocks);
    EXPECT_EQ(int(sim->Messages(0x0F).size()), c.fileBegins);
}

const std::vector<BoxCall> kOpenBox{{kBoxTitle, kConnecting, ""}};

std::vector<BoxCall> With(std::vector<BoxCall> a, const std::vector<BoxCall>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Purposes, SessionAfterLogin,
    ::testing::Values(
        AfterLoginCase{0, false, With(kOpenBox, {{"", "Login success", ""}, {"", "", "auto"}}), {}, {}, 0, 0, 0},
        AfterLoginCase{1, false, With(kOpenBox, {{"", "Login success", ""}, {"", "", "auto"}}), {}, {}, 4, 0, 0},
        AfterLoginCase{
            2,
            false,
            With(kOpenBox, {{"", "Login success", ""},
                            {"", "", "exit"},
                            {"Remote Configuration", "Information Loading\nPress CLOSE or ESC to cancel", ""},
                            {"", "Don't have permision.", "stop"}}),
            {},
            {},
            0,
            0,
            0},
        AfterLoginCase{
            2,
            true,
            With(kOpenBox, {{"", "Login success", ""},
                            {"", "", "exit"},
                            {"Remote Configuration", "Information Loading\nPress CLOSE or ESC to cancel", ""}}),
            {},
            {},
            0,
            0,
            1},
        AfterLoginCase{
            3,
            false,
            With(kOpenBox,
                 {{"", "Login success", ""}, {"", "", "exit"}, {"Remote Playback", "Information Loading", ""}}),
            {},
            {},
            0,
            1,
            0},
        AfterLoginCase{4, false, {}, {}, {}, 0, 0, 0},
        AfterLoginCase{5, false, With(kOpenBox, {{"", "Login success", ""}, {"", "", "exit"}}), {}, {}, 0, 0, 0},
        AfterLoginCase{6, false, {}, {}, {}, 0, 0, 0},
        AfterLoginCase{7, false, {{"", "Login success", ""}, {"", "", "exit"}}, {-2}, {}, 0, 0, 0},
        AfterLoginCase{7, true, {{"", "Login success", ""}, {"", "", "exit"}}, {1}, {}, 0, 0, 1},
        AfterLoginCase{8, false, {{"", "Login success", ""}, {"", "", "exit"}}, {}, {-2}, 0, 0, 0},
        AfterLoginCase{8, true, {{"", "Login success", ""}, {"", "", "exit"}}, {}, {2}, 0, 0, 0},
        AfterLoginCase{9, false, With(kOpenBox, {{"", "Login success", ""}}), {}, {}, 0, 0, 0},
        AfterLoginCase{11, false, With(kOpenBox, {{"", "Login success", ""}, {"", "", "exit"}}), {}, {}, 4, 0, 0},
        AfterLoginCase{
            13,
            false,
            With(kOpenBox,
                 {{"", "Login success", ""}, {"", "", "exit"}, {"Remote Playback", "Information Loading", ""}}),
            {},
            {},
            0,
            1,
            0},
        // Delayed connects are silent: no box opens, the text only changes.
        AfterLoginCase{1000, false, {{"", "Login success", ""}}, {}, {}, 0, 0, 0}));

// ---------------------------------------------------------------------------------------------
// After a failed connect

struct FailedConnectCase
{
    int purpose;
    std::vector<BoxCall> boxes;
    std::vector<int> accountCodes;
    std::vector<int> firmwareCodes;
};

void PrintTo(const FailedConnectCase& c, std::ostream* os)
{
    *os << "purpose " << c.purpose;
}

class SessionConnectFails : public SessionTest, public ::testing::WithParamInterface<FailedConnectCase>
{};

TEST_P(SessionConnectFails, ReportsByPurpose)
{
    const FailedConnectCase& c = GetParam();
    CModuleDevice* device = AddRecorder("nobody", ClosedPort());
    device->StartConnect(c.purpose);
    ASSERT_TRUE(WaitFor([device] { return device->GetConnectResult() == ConnectResult::Failed; }));
    EXPECT_FALSE(device->IsLoggedIn());
    EXPECT_EQ(hub->boxCalls, c.boxes);
    EXPECT_EQ(hub->accountCodes, c.accountCodes);
    EXPECT_EQ(hub->firmwareCodes, c.firmwareCodes);
}

const std::vector<BoxCall> kConnectFail{{kBoxTitle, kConnecting, ""}, {"", "Connect fail", ""}, {"", "", "stop"}};

INSTANTIATE_TEST_SUITE_P(
    Purposes, SessionConnectFails,
    ::testing::Values(FailedConnectCase{0, kConnectFail, {}, {}}, FailedConnectCase{1, kConnectFail, {}, {}},
                      FailedConnectCase{2, kConnectFail, {}, {}}, FailedConnectCase{3, kConnectFail, {}, {}},
                      FailedConnectCase{4, {}, {}, {}}, FailedConnectCase{5, kConnectFail, {}, {}},
                      FailedConnectCase{6, {}, {}, {}}, FailedConnectCase{7, {}, {-1}, {}},
                      FailedConnectCase{8, {}, {}, {-1}},
                      FailedConnectCase{9, {{kBoxTitle, kConnecting, ""}}, {}, {}},
                      FailedConnectCase{11, kConnectFail, {}, {}}, FailedConnectCase{13, kConnectFail, {}, {}},
                      FailedConnectCase{1500, {}, {}, {}}));

// ---------------------------------------------------------------------------------------------
// Connection order and the session's state

TEST_F(SessionTest, PlaybackConnectionComesFirstAndLiveOneCarriesLive)
{
    SessionDvrSim* sim = StartSim({"--channels", "2"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("order", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x87).size() >= 2; }));

    const QList<QJsonObject> connects = sim->Events("connect");
    ASSERT_EQ(connects.size(), 2);
    const int first = connects.at(0).value("conn").toInt();
    const int second = connects.at(1).value("conn").toInt();
    const QList<QJsonObject> messages = sim->Messages();
    // The first connection logs in before the second one is even accepted.
    const QList<QJsonObject> log = sim->Log();
    int firstLogin = -1, secondConnect = -1;
    for (int i = 0; i < log.size(); ++i) {
        const QJsonObject& o = log.at(i);
        if (firstLogin < 0 && o.value("cmd").toInt() == 1 && o.value("conn").toInt() == first
            && !o.contains("event"))
            firstLogin = i;
        if (secondConnect < 0 && o.value("event").toString() == "connect" && o.value("conn").toInt() == second)
            secondConnect = i;
    }
    ASSERT_GE(firstLogin, 0);
    EXPECT_LT(firstLogin, secondConnect);
    // Live video is asked for on the second (live) connection only.
    EXPECT_EQ(CountCmd(messages, 0x87, first), 0);
    EXPECT_EQ(CountCmd(messages, 0x87, second), 2);
    EXPECT_EQ(CountCmd(messages, 0x01, first), 1);
    EXPECT_EQ(CountCmd(messages, 0x01, second), 1);
}

TEST_F(SessionTest, LoginBuildsChannelItemsAndDisconnectRemovesThem)
{
    SessionDvrSim* sim = StartSim({"--channels", "3", "--titles", "Door,Yard,Gate"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("items", sim->Port());
    EXPECT_EQ(device->GetChannelCount(7), -1);
    ASSERT_TRUE(ConnectAndLogin(device, 0));

    EXPECT_EQ(device->GetChannelCount(5), 3);
    EXPECT_TRUE(hub->IsAnyDeviceConnected());
    ASSERT_EQ(device->childCount(), 3);
    const QStringList titles{"Door", "Yard", "Gate"};
    for (int ch = 0; ch < 3; ++ch) {
        QTreeWidgetItem* item = device->GetCameraItem(ch);
        ASSERT_TRUE(item);
        const SiteBook* record = SiteBook::FromItem(item);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->kind, "camera");
        EXPECT_EQ(record->channel, ch);
        EXPECT_EQ(record->index, device->GetDeviceIndex());
        EXPECT_EQ(record->name, titles.at(ch));
        EXPECT_EQ(item->text(0), titles.at(ch));
        EXPECT_TRUE(device->GetLiveDecoder(ch));
        EXPECT_TRUE(device->IsLiveWanted(ch));
    }
    EXPECT_FALSE(device->GetCameraItem(3));
    EXPECT_TRUE(device->GetSearchDecoder());

    device->GetCameoRoute(1)->liveGrid = 2;
    device->SetPlaybackGrid(4);
    EXPECT_TRUE(device->Disconnect());
    ASSERT_TRUE(WaitFor([device] { return !device->IsLoggedIn(); }));
    EXPECT_EQ(device->childCount(), 0);
    EXPECT_FALSE(device->GetLiveDecoder(0));
    EXPECT_FALSE(device->GetSearchDecoder());
    EXPECT_EQ(device->GetCameoRoute(1)->liveGrid.load(), -1);
    EXPECT_EQ(device->GetPlaybackGrid(), -1);
    EXPECT_FALSE(device->IsLiveWanted(0));
    EXPECT_FALSE(hub->IsAnyDeviceConnected());
}

TEST_F(SessionTest, LoggedInRecorderRunsThePurposeAtOnce)
{
    SessionDvrSim* sim = StartSim({"--channels", "2"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("again", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    hub->boxCalls.clear();

    device->StartConnect(9);
    EXPECT_TRUE(hub->boxCalls.empty()) << "purpose 9 on a logged-in recorder does nothing";

    device->StartConnect(2);
    ASSERT_GE(hub->boxCalls.size(), 1u);
    EXPECT_EQ(hub->boxCalls.front().title, "Remote Configuration");
    EXPECT_EQ(sim->Events("connect").size(), 2) << "no new connection";
}

// ---------------------------------------------------------------------------------------------
// Failure texts

struct FailureTextCase
{
    const char* name;
    QStringList simOptions;
    QString text;
};

void PrintTo(const FailureTextCase& c, std::ostream* os)
{
    *os << c.name;
}

class SessionFailureText : public SessionTest, public ::testing::WithParamInterface<FailureTextCase>
{};

TEST_P(SessionFailureText, ShowsOneTextAndEnablesClose)
{
    const FailureTextCase& c = GetParam();
    SessionDvrSim* sim = StartSim(c.simOptions);
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("fails", sim->Port());
    device->StartConnect(0);
    ASSERT_TRUE(WaitFor([&] { return hub->boxCalls.size() >= 3; }));
    // Nothing more arrives for this attempt.
    WaitFor([] { return false; }, 700);
    const std::vector<BoxCall> expected{{kBoxTitle, kConnecting, ""}, {"", c.text, ""}, {"", "", "stop"}};
    EXPECT_EQ(hub->boxCalls, expected);
    EXPECT_FALSE(device->IsLoggedIn());
    EXPECT_EQ(device->childCount(), 0) << "no channel item without a login";
}

INSTANTIATE_TEST_SUITE_P(
    Switches, SessionFailureText,
    ::testing::Values(FailureTextCase{"full", {"--fail", "close-at-once"}, "Connection full"},
                      FailureTextCase{"refused", {"--fail", "refuse-login"}, "Login fail"},
                      FailureTextCase{"closedAfterLogin", {"--fail", "close-after-login"}, "Login fail"}),
    [](const ::testing::TestParamInfo<FailureTextCase>& info) { return std::string(info.param.name); });

TEST_F(SessionTest, TlsHandshakeFailureIsAConnectFailure)
{
    // A TLS client against a plain recorder: the socket connects, the handshake never completes.
    SessionDvrSim* sim = StartSim({"--channels", "1"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("tls", sim->Port(), 1);
    device->StartConnect(0);
    ASSERT_TRUE(WaitFor([&] { return hub->boxCalls.size() >= 3; }));
    WaitFor([] { return false; }, 700);
    const std::vector<BoxCall> expected{{kBoxTitle, kConnecting, ""}, {"", "Connect fail", ""}, {"", "", "stop"}};
    EXPECT_EQ(hub->boxCalls, expected);
    EXPECT_EQ(device->GetConnectResult(), ConnectResult::Failed);
}

// A recorder that takes both connections and never answers: the attempt ends as a failed connect
// at the time limit (the box gets its Close button) and both half-open connections are closed.
TEST_F(SessionTest, SilentRecorderEndsAsAFailedConnectAtTheTimeLimit)
{
    SessionDvrSim* sim = StartSim({"--channels", "1", "--fail", "silent"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("silent", sim->Port());
    CModuleDeviceTestAccess::SetLoginTimeLimit(*device, 1500);
    device->StartConnect(0);
    ASSERT_TRUE(WaitFor([&] { return hub->boxCalls.size() >= 3; }));
    const std::vector<BoxCall> expected{{kBoxTitle, kConnecting, ""}, {"", "Connect fail", ""}, {"", "", "stop"}};
    EXPECT_EQ(hub->boxCalls, expected);
    EXPECT_EQ(device->GetConnectResult(), ConnectResult::Failed);
    EXPECT_FALSE(device->IsLoggedIn());
    EXPECT_TRUE(WaitFor([&] { return sim->Events(QStringLiteral("disconnect")).size() == 2; }))
        << "both connections closed";
    EXPECT_EQ(sim->Events(QStringLiteral("connect")).size(), 2);
    // The login went out and was never answered; nothing else is reported for this attempt.
    EXPECT_EQ(sim->Commands().count(0x01), 2);
    WaitFor([] { return false; }, 500);
    EXPECT_EQ(hub->boxCalls, expected);
}

TEST_F(SessionTest, LostConnectionTellsTheManagers)
{
    SessionDvrSim* sim = StartSim({"--channels", "1", "--option-flag"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("managed", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 7));
    EXPECT_EQ(hub->accountCodes, std::vector<int>{1});
    device->Disconnect();
    ASSERT_TRUE(WaitFor([device] { return !device->IsLoggedIn(); }));
    EXPECT_EQ(hub->accountCodes, (std::vector<int>{1, 3}));
}

TEST_F(SessionTest, TlsLoginAndTlsRefusal)
{
    const TestCertificate certificate = MakeTestCertificate(ProgramDir(), QStringLiteral("secure"));
    ASSERT_TRUE(certificate.ok);
    const QStringList tls = certificate.SimOptions();
    SessionDvrSim* good = StartSim(QStringList{"--channels", "2"} + tls);
    ASSERT_TRUE(good);
    CModuleDevice* device = AddRecorder("secure", good->Port(), 1);
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    EXPECT_EQ(good->Events("tls").size(), 2) << "both connections are encrypted";
    device->Disconnect();
    ASSERT_TRUE(WaitFor([device] { return !device->IsLoggedIn(); }));

    // A refused login after a completed handshake is a login failure, not a connect failure.
    SessionDvrSim* refusing = StartSim(QStringList{"--channels", "2", "--fail", "refuse-login"} + tls);
    ASSERT_TRUE(refusing);
    CModuleDevice* other = AddRecorder("refused", refusing->Port(), 1);
    hub->boxCalls.clear();
    other->StartConnect(0);
    ASSERT_TRUE(WaitFor([&] { return hub->boxCalls.size() >= 3; }));
    WaitFor([] { return false; }, 700);
    const std::vector<BoxCall> expected{{kBoxTitle, kConnecting, ""}, {"", "Login fail", ""}, {"", "", "stop"}};
    EXPECT_EQ(hub->boxCalls, expected);
}

// A recorder that presents a certificate other than the remembered one. The user is asked once
// for both connections of the session and takes longer over it than the login time limit.
class SessionChangedCertificate : public SessionTest, public ::testing::WithParamInterface<CertificateAnswer>
{};

TEST_P(SessionChangedCertificate, AsksOnceAndLogsInOnlyWhenTrusted)
{
    const bool trust = GetParam().trust;
    const TestCertificate known = MakeTestCertificate(ProgramDir(), QStringLiteral("known"));
    const TestCertificate offered = MakeTestCertificate(ProgramDir(), QStringLiteral("offered"));
    ASSERT_TRUE(known.ok && offered.ok);
    SessionDvrSim* sim = StartSim(QStringList{"--channels", "2"} + offered.SimOptions());
    ASSERT_TRUE(sim);
    const QString peer = CertificateStore::PeerKey(QStringLiteral("127.0.0.1"), quint16(sim->Port()));
    CertificateStore store(
        QDir(hub->ProgramDirectory()).filePath(QString::fromLatin1(CertificateStore::kFileName)));
    ASSERT_TRUE(store.Remember(peer, CertificateStore::Fingerprint(known.cert)));

    CModuleDevice* device = AddRecorder("gate", sim->Port(), 1);
    const int timeLimitMs = 300;
    CModuleDeviceTestAccess::SetLoginTimeLimit(*device, timeLimitMs);
    int loginsWhileAsked = -1;
    hub->answerCertificate = [&] {
        EXPECT_TRUE(WaitFor([&] { return device->GetLiveNetwork()->AwaitsCertificateAnswer(); }))
            << "the live connection waits for the same answer";
        WaitFor([] { return false; }, 2 * timeLimitMs);
        loginsWhileAsked = sim->Commands().count(0x01);
        return trust;
    };
    device->StartConnect(0);
    if (trust) {
        ASSERT_TRUE(WaitFor([device] { return device->IsLoggedIn(); }));
    } else {
        ASSERT_TRUE(WaitFor([&] { return hub->boxCalls.size() >= 3; }));
    }
    WaitFor([] { return false; }, 700);

    EXPECT_EQ(hub->certificateQuestions, std::vector<QString>{QStringLiteral("gate (%1)").arg(peer)});
    EXPECT_EQ(loginsWhileAsked, 0);
    EXPECT_EQ(device->IsLoggedIn(), trust);
    EXPECT_EQ(sim->Commands().count(0x01), trust ? 2 : 0);
    EXPECT_EQ(store.Remembered(peer), CertificateStore::Fingerprint(trust ? offered.cert : known.cert));
    if (trust) {
        for (const BoxCall& call : hub->boxCalls)
            EXPECT_NE(call.text, QStringLiteral("Connect fail"));
        device->Disconnect();
        ASSERT_TRUE(WaitFor([device] { return !device->IsLoggedIn(); }));
    } else {
        const std::vector<BoxCall> expected{
            {kBoxTitle, kConnecting, ""}, {"", "Connect fail", ""}, {"", "", "stop"}};
        EXPECT_EQ(hub->boxCalls, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, SessionChangedCertificate, BothCertificateAnswers(), CertificateAnswerName);

TEST_F(SessionTest, RemoteConfigurationByFirmwareVersion)
{
    struct Row
    {
        const char* firmware;
        const char* level;
        const char* refusal; // null: the console starts
    };
    const char* noRight = "The recorder supports remote configuration, but this login has no right to it (its "
                          "level lacks bit 0x10).\nLog in with an account that may configure the recorder.";
    const Row rows[] = {{"3.28", "0x10", nullptr},       {"4.05", "0x10", nullptr},
                        {"3.27", "0x10", "Not Support"}, {"2.99", "0x10", "Not Support"},
                        {"4.05", "0x0F", noRight},       {"3.28", "0", noRight},
                        {"3.27", "0", "Not Support"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.firmware) + " level " + row.level);
        SessionDvrSim* sim = StartSim(
            {"--channels", "1", "--option-flag", "--level", row.level, "--firmware", row.firmware});
        ASSERT_TRUE(sim);
        CModuleDevice* device = AddRecorder(QString("cfg") + row.firmware + row.level, sim->Port());
        ASSERT_TRUE(ConnectAndLogin(device, 0));
        hub->boxCalls.clear();
        device->StartConnect(2);
        if (!row.refusal) {
            EXPECT_TRUE(WaitFor([&] { return sim->Messages(0x0F).size() >= 1; }));
            EXPECT_EQ(hub->boxCalls.size(), 1u);
        } else {
            ASSERT_EQ(hub->boxCalls.size(), 2u);
            EXPECT_EQ(hub->boxCalls.back(), (BoxCall{"", row.refusal, "stop"}));
            EXPECT_TRUE(sim->Messages(0x0F).isEmpty());
        }
        device->Disconnect();
        ASSERT_TRUE(WaitFor([device] { return !device->IsLoggedIn(); }));
    }
}
