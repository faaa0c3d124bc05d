// The protocol engine against the recorder simulator, over plain TCP and TLS: the login chain in
// order (from the simulator's log), the connection states, the kind of keep-alive poll, refused
// models and logins, a recorder that closes, and live video end to end. The network module is
// not there: the tests send the login on state 1 themselves.
#include "net/nettypemirel.h"
#include "net/support/engine_dvrsim.h"
#include "net/support/engine_testutil.h"

#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <vector>

using namespace enginetest;

namespace {

class EngineSim : public ::testing::TestWithParam<bool>
{
protected:
    bool Tls() const { return GetParam(); }

    // Starts the simulator and an engine that logs in on state 1.
    void Start(QStringList options, bool expectConnect = true)
    {
        if (Tls()) {
            ASSERT_TRUE(enginetest::Tls().ok) << "openssl could not make a test certificate";
            options += enginetest::Tls().SimOptions();
        }
        sim = std::make_unique<EngineDvrSim>(options);
        QString error;
        ASSERT_TRUE(sim->Start(&error)) << error.toStdString();
        engine = std::make_unique<CNetTypeMirel>(nullptr, Tls());
        engine->SetKeepAliveInterval(keepAliveMs);
        QObject::connect(engine.get(), &CNetTypeMirel::OnNetState, [this](int state) {
            states.push_back(state);
            if (state == 1)
                engine->SendLogin(false);
        });
        const bool connected = engine->OnConnect("127.0.0.1", sim->Port(), "admin", "1234", Tls());
        if (expectConnect) {
            ASSERT_TRUE(connected);
        }
    }

    bool Reached(int state) const
    {
        for (int s : states)
            if (s == state)
                return true;
        return false;
    }

    int keepAliveMs = CNetTypeMirel::kKeepAliveIntervalMs;
    std::vector<int> states;
    std::unique_ptr<EngineDvrSim> sim;
    std::unique_ptr<CNetTypeMirel> engine;
};

TEST_P(EngineSim, LoginChainInOrder)
{
    Start({"--channels", "3", "--titles", "Door,Yard,Gate", "--ptz", "NONE,PELCO-D,NONE", "--disk-total", "2000",
           "--disk-used", "500"});
    ASSERT_TRUE(WaitFor([&] { return Reached(3); }));
    EXPECT_EQ(engine->GetNetState(), 2);
    ASSERT_GE(states.size(), 3u);
    EXPECT_EQ(states[0], 1);
    EXPECT_EQ(states[1], 2);
    EXPECT_EQ(states[2], 3);

    const QList<QJsonObject> messages = sim->Messages();
    QList<int> commands;
    for (const QJsonObject& m : messages)
        commands.append(m.value("cmd").toInt());
    const QList<int> chain{0x01, 0x1C, 0x2E, 0x06, 0x06, 0x06, 0x73, 0x99, 0x22, 0x47};
    ASSERT_GE(commands.size(), chain.size());
    EXPECT_EQ(commands.mid(0, chain.size()), chain);
    // One login only, also under TLS (where the socket thread sends it after the handshake).
    EXPECT_EQ(commands.count(0x01), 1);
    EXPECT_EQ(messages[0].value("hex").toString().toStdString(), "0000001400a1010000180000000504"
                                                                 "61646d696e"
                                                                 "31323334");
    EXPECT_EQ(messages[3].value("hex").toString().toStdString(), "00000009"
                                                                 "00a10600000d0000"
                                                                 "00");
    EXPECT_EQ(messages[5].value("hex").toString().toStdString(), "00000009"
                                                                 "00a10600000d0000"
                                                                 "02");

    EXPECT_EQ(engine->GetChannelCount(), 3);
    EXPECT_EQ(engine->GetModelClass(), 1);
    EXPECT_EQ(engine->GetModelCode(), 1);
    EXPECT_EQ(engine->GetCameraTitle(0).toStdString(), "Door");
    EXPECT_EQ(engine->GetCameraTitle(2).toStdString(), "Gate");
    EXPECT_FALSE(engine->IsPtzChannel(0));
    EXPECT_TRUE(engine->IsPtzChannel(1));
    EXPECT_TRUE(engine->IsPresent(2));
    EXPECT_EQ(engine->GetCameraMap(2), 2);
    EXPECT_EQ(engine->GetDiskText().toStdString(), "500.00 GB (25%)");
    EXPECT_GT(engine->GetRecvBytes(), 0);
    EXPECT_GT(engine->GetSentBytes(), 0);
    EXPECT_FALSE(engine->OnConnect("127.0.0.1", sim->Port(), "admin", "1234", Tls()));
}

TEST_P(EngineSim, PollsWithStatusBeforeFirmware330)
{
    keepAliveMs = 50;
    Start({"--firmware", "3.29"});
    ASSERT_TRUE(WaitFor([&] { return sim->Commands().count(0x22) >= 4; }));
    EXPECT_EQ(sim->Commands().count(0xAE), 0);
    EXPECT_EQ(engine->GetExtendedStatus(0), -1);
    // Every tick clears the byte counters: what is counted now is less than all that was sent.
    int sentTotal = 0;
    for (const QJsonObject& m : sim->Messages())
        sentTotal += m.value("total").toInt();
    EXPECT_LT(engine->GetSentBytes(), sentTotal);
    // Every later status reply is state 3; the stored state stays 2.
    ASSERT_TRUE(WaitFor([&] {
        int threes = 0;
        for (int s : states)
            threes += s == 3;
        return threes >= 3;
    }));
    EXPECT_EQ(engine->GetNetState(), 2);
}

TEST_P(EngineSim, PollsWithExtendedStatusFromFirmware330)
{
    keepAliveMs = 50;
    Start({"--firmware", "3.30"});
    ASSERT_TRUE(WaitFor([&] { return sim->Commands().count(0xAE) >= 4; }));
    // Each extended poll is answered by 0xAF, after which the engine asks for the status.
    const QList<int> commands = sim->Commands();
    const int first = commands.indexOf(0x99);
    ASSERT_GE(first, 0);
    for (int i = first + 1; i < commands.size(); ++i) {
        if (commands[i] == 0x22) {
            EXPECT_EQ(commands[i - 1], 0xAE) << "status request " << i << " not after an extended poll";
        }
    }
    EXPECT_EQ(commands[first + 1], 0xAE);
    EXPECT_EQ(engine->GetExtendedStatus(0), 0);
}

TEST_P(EngineSim, ModelWithoutAcceptedClassIsDisconnected)
{
    Start({"--fail", "model-class-reject"});
    ASSERT_TRUE(WaitFor([&] { return Reached(-1); }));
    EXPECT_EQ(states, (std::vector<int>{1, -1}));
    const QList<int> commands = sim->Commands();
    EXPECT_EQ(commands, (QList<int>{0x01, 0x1C}));
    EXPECT_EQ(engine->GetModelClass(), -1);
}

TEST_P(EngineSim, RefusedLoginClosesTheConnection)
{
    Start({"--fail", "refuse-login"});
    ASSERT_TRUE(WaitFor([&] { return Reached(-1); }));
    EXPECT_EQ(states, (std::vector<int>{1, -1}));
    EXPECT_EQ(sim->Commands(), QList<int>{0x01});
    EXPECT_TRUE(engine->GetLoginDone());
    EXPECT_TRUE(WaitFor([&] { return !sim->Events("disconnect").isEmpty(); }));
}

TEST_P(EngineSim, RecorderClosingAfterTheStatusStopsThePoll)
{
    keepAliveMs = 50;
    Start({"--fail", "close-after-status"});
    ASSERT_TRUE(WaitFor([&] { return Reached(-1); }));
    EXPECT_TRUE(Reached(2));
    EXPECT_EQ(engine->GetNetState(), -1);
    const int sent = sim->Commands().size();
    Settle(300);
    EXPECT_EQ(sim->Commands().size(), sent);
    // A new connect is possible again.
    EXPECT_TRUE(engine->OnConnect("127.0.0.1", sim->Port(), "admin", "1234", Tls()));
}

// A recorder that stops answering after its first status reply (the socket stays open) is taken
// for gone after three silent poll periods, exactly as one that closes.
TEST_P(EngineSim, SilentRecorderIsTreatedAsLostAfterThreePolls)
{
    keepAliveMs = 50;
    Start({"--fail", "silent-after-status"});
    ASSERT_TRUE(WaitFor([&] { return Reached(-1); }));
    EXPECT_TRUE(Reached(2));
    EXPECT_EQ(engine->GetNetState(), -1);
    // Two unanswered polls went out before the third silent period ended it.
    EXPECT_EQ(sim->Commands().count(0x22), 1 + (CNetTypeMirel::kSilentPollsAllowed - 1));
    EXPECT_TRUE(engine->OnConnect("127.0.0.1", sim->Port(), "admin", "1234", Tls()));
}

// A recorder that answers keeps its connection however many polls pass.
TEST_P(EngineSim, AnsweringRecorderStaysConnectedOverManyPolls)
{
    keepAliveMs = 50;
    Start({});
    ASSERT_TRUE(WaitFor([&] { return Reached(2); }));
    Settle(50 * 8);
    EXPECT_EQ(engine->GetNetState(), 2);
    EXPECT_FALSE(Reached(-1));
}

TEST_P(EngineSim, RecorderClosingAtOnce)
{
    Start({"--fail", "close-at-once"}, false);
    EXPECT_TRUE(WaitFor([&] { return engine->GetNetState() == -1 && !sim->Events("disconnect").isEmpty(); }));
    EXPECT_FALSE(Reached(2));
}

TEST_P(EngineSim, LiveVideoEndToEnd)
{
    Start({"--channels", "2", "--fps", "30"});
    ASSERT_TRUE(WaitFor([&] { return engine->GetNetState() == 2; }));
    std::vector<char> buffer(CNetTypeMirel::kLiveFrameBufferSize);
    int frames = 0;
    bool startCode = false;
    QObject::connect(engine.get(), &CNetTypeMirel::OnNetLiveVideo,
                     [&](int ch, int size, int, int, int, int, bool, int, int) {
                         EXPECT_EQ(ch, 1);
                         EXPECT_GT(size, 4);
                         startCode = startCode || QByteArray(buffer.data(), 4) == Hex("00 00 00 01")
                                     || QByteArray(buffer.data(), 3) == Hex("00 00 01");
                         ++frames;
                     });
    engine->SendLiveStart(1, 30, 1, buffer.data(), false);
    ASSERT_TRUE(WaitFor([&] { return frames >= 5; }));
    EXPECT_TRUE(startCode);
    EXPECT_TRUE(sim->Commands().contains(0x87));
    engine->SendLiveStop(1);
    EXPECT_FALSE(engine->IsLiveRequested(1));
}

INSTANTIATE_TEST_SUITE_P(Kinds, EngineSim, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "tls" : "plain"; });

TEST(EngineConnect, RefusesBadPortsAtOnceAndReportsClosedPortsLater)
{
    // Made before the engine: its destruction may still report a state.
    std::vector<int> states;
    CNetTypeMirel engine(nullptr, false);
    QObject::connect(&engine, &CNetTypeMirel::OnNetState, [&](int state) { states.push_back(state); });
    EXPECT_FALSE(engine.OnConnect("127.0.0.1", 0, "admin", "", false));
    EXPECT_FALSE(engine.OnConnect("127.0.0.1", 70000, "admin", "", false));
    EXPECT_TRUE(states.empty());

    // A closed port: the connect starts, returns at once, and ends in the failure report.
    RawPeer closed(false);
    const quint16 port = closed.Port();
    closed.close();
    EXPECT_TRUE(engine.OnConnect("127.0.0.1", port, "admin", "", false));
    EXPECT_TRUE(engine.IsConnecting());
    ASSERT_TRUE(WaitFor([&] { return !states.empty(); }));
    EXPECT_EQ(states, std::vector<int>{CNetTypeMirel::kConnectFailedState});
    EXPECT_EQ(engine.GetNetState(), -1);
    EXPECT_FALSE(engine.IsConnecting());
}

TEST(EngineConnect, CalledOffConnectReportsNothingAndTheNextOneConnects)
{
    // Made before the engine: its destruction may still report a state.
    std::vector<int> states;
    CNetTypeMirel engine(nullptr, false);
    QObject::connect(&engine, &CNetTypeMirel::OnNetState, [&](int state) { states.push_back(state); });
    RawPeer closed(false);
    const quint16 port = closed.Port();
    closed.close();
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", port, "admin", "", false));
    engine.CancelConnect();
    EXPECT_FALSE(engine.IsConnecting());

    RawPeer peer(false);
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", peer.Port(), "admin", "1234", false));
    ASSERT_TRUE(WaitFor([&] { return engine.GetNetState() == 1; }));
    EXPECT_EQ(states, std::vector<int>{1}) << "the called-off attempt left no failure report";
    // Disconnecting while a connect is under way calls it off as well.
    engine.Disconnect();
    ASSERT_TRUE(WaitFor([&] { return engine.GetNetState() == -1; }));
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", port, "admin", "", false));
    engine.Disconnect();
    EXPECT_FALSE(engine.IsConnecting());
    RawPeer third(false);
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", third.Port(), "admin", "1234", false));
    ASSERT_TRUE(WaitFor([&] { return engine.GetNetState() == 1; }));
    EXPECT_EQ(std::count(states.begin(), states.end(), CNetTypeMirel::kConnectFailedState), 0);
}

TEST(EngineSimSwitch, ConnectWithTheOtherSocketKind)
{
    ASSERT_TRUE(enginetest::Tls().ok);
    EngineDvrSim sim(enginetest::Tls().SimOptions());
    QString error;
    ASSERT_TRUE(sim.Start(&error)) << error.toStdString();
    std::vector<int> states;
    CNetTypeMirel engine(nullptr, false); // built plain, asked for TLS
    QObject::connect(&engine, &CNetTypeMirel::OnNetState, [&](int state) { states.push_back(state); });
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", sim.Port(), "admin", "1234", true));
    ASSERT_TRUE(WaitFor([&] { return engine.GetNetState() == 2; }));
    EXPECT_EQ(sim.Commands().count(0x01), 1);
    engine.Disconnect();
    EXPECT_EQ(engine.GetNetState(), -1);
    EXPECT_EQ(states.back(), -1);
}

} // namespace
