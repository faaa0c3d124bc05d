// The network module on its own (inert module, relays) and against the recorder simulator
// (gating, accessors, storage-state answers, transfers end to end).
#include "net/modulenetwork.h"
#include "net/nettypemirel.h"
#include "net/support/requests_dvrsim.h"
#include "net/support/requests_fakehub.h"
#include "net/support/requests_reference.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

bool WriteFile(const QString& path, const QByteArray& data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Every state the module passed on, in order.
struct StateLog
{
    explicit StateLog(CModuleNetwork* m)
    {
        QObject::connect(m, &CModuleNetwork::SetNetworkState, [this](int s) { states.append(s); });
    }
    QList<int> states;
};

class ModuleNetworkSimTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath("program");
        QDir(dir.path()).mkpath("recorder");
        hub = std::make_unique<RequestsFakeHub>(dir.filePath("program"), dir.filePath("program/fw.zip"));
    }

    void TearDown() override
    {
        module.reset(); // the connection goes before the simulator
        sim.reset();
    }

    // Starts a simulator with these options and a module connected to it (not yet logged in).
    void StartAndConnect(const QStringList& options)
    {
        sim = std::make_unique<RequestsDvrSim>(QStringList{"--data-dir", dir.filePath("recorder")} + options,
                                               dir.filePath("sim.log"));
        QString error;
        ASSERT_TRUE(sim->Start(&error)) << error.toStdString();
        module = std::make_unique<CModuleNetwork>(0, 3, false);
        states = std::make_unique<StateLog>(module.get());
        module->SetConnectInfo("127.0.0.1", sim->Port(), "admin", "1234", false);
        ASSERT_TRUE(module->OnConnect());
        // Back here the moment the socket is up (state 1, the login sent): the login's reply
        // can only be read in a later turn of the event loop.
        QEventLoop loop;
        QObject::connect(module.get(), &CModuleNetwork::SetNetworkState, &loop, [&loop](int state) {
            if (state == 1 || state == CNetTypeMirel::kConnectFailedState)
                loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        ASSERT_TRUE(states->states.contains(1));
    }

    // ... and waits for the login chain to finish, including the disk information (state 3).
    void StartAndLogIn(const QStringList& options)
    {
        StartAndConnect(options);
        ASSERT_TRUE(RequestsWaitFor([this] { return states->states.contains(2); })) << "no login";
        ASSERT_TRUE(RequestsWaitFor([this] { return states->states.contains(3); })) << "no disk information";
        ASSERT_TRUE(module->IsConnected());
    }

    QString Program(const QString& name) const { return dir.filePath("program/" + name); }
    QString Upload(const QString& name) const { return dir.filePath("recorder/uploads/" + name); }

    QTemporaryDir dir;
    std::unique_ptr<RequestsFakeHub> hub;
    std::unique_ptr<RequestsDvrSim> sim;
    std::unique_ptr<CModuleNetwork> module;
    std::unique_ptr<StateLog> states;
};

// Calls every request of the module once; buffers are large enough for any reply.
void CallEveryRequest(CModuleNetwork& m, std::vector<char>& buffer)
{
    char* b = buffer.data();
    m.SendLiveStart(0, 30, 1, b, false);
    m.SendLiveStop(0);
    m.SendLiveAudioStart(0, b);
    m.SendLiveAudioStop();
    m.SendPlaybackRate(64);
    m.SendPlaybackCtrlExt(2, 1, 16, 0, 0, 1, 20261209, 120000, 1, b, 0);
    m.SendConsoleLock(0);
    m.SendConsoleLockState(true);
    m.SendConsoleDataRequest(0, b);
    m.SendTimeRecList(20261209, 1, b);
    m.SendEventRecList(20261209, 1, b);
    m.SendAudioRecList(20261209, 1, b);
    m.SendIntraHeaderRequest(20261209, 0, 1, 0, 13440, b, 0);
    m.SendIntraIndexRequest(20261209, 0, 1, b, 0, 0);
    m.SendFrameRequest(0, -1, 0, 0, 100, b, 0);
    m.SendFrameRequest(0, 1, 0, 0, 100, b, 0);
    m.SendFrameListRequest(1, QByteArray(24, '\0').constData());
    m.SendBackupCapaRequest(20261201, 0, 20261209, 235959, 1, 0xFFFF);
    m.SendPTZControl(1, 2, 3, 4);
    m.SendRelayControl(0, 1);
    m.SendMousePos(10, 20, 1, 0);
    m.SendConsoleMode(1);
    m.SendCameraTitle(0, "Gate");
    m.SendTalkStart();
    char audio[320] = {};
    m.SendTalkAudio(audio, int(sizeof audio));
    m.SendTalkStop();
    m.SendLiveOutput();
    m.SetLiveOutputChannel(1);
    m.SendCDMediaCheck(0);
    m.SendCDMediaErase(0);
    m.SendCDBackupPrepare(1, 0);
    m.SendCDBackupStart(20261201, 0, 20261209, 235959, 1, 0xFFFF, 0);
    m.SendCDBackupStop(0);
    m.SendCDBackupClose();
    m.SendCDListBackupStart({RequestBuilder::ListBackupEntry{}}, 0);
    m.RequestConfigFile(0);
    m.SetConfigData();
    m.SetFirmwareData();
}

} // namespace

TEST(ModuleNetworkTest, InertModuleSendsNoLoginButPassesTheState)
{
    CModuleNetwork m(1, 7, false);
    EXPECT_EQ(m.findChild<CNetTypeMirel*>(), nullptr);
    EXPECT_EQ(m.GetRecorderIndex(), 7);
    StateLog log(&m);
    m.OnNetworkState(1);
    EXPECT_EQ(log.states, QList<int>{1});
    EXPECT_FALSE(m.IsLoginSent());
    EXPECT_FALSE(m.OnConnect());
    EXPECT_FALSE(m.Disconnect()); // never connected

    m.OnNetworkState(2);
    EXPECT_TRUE(m.IsConnected());
    // Requests of a connected inert module go nowhere and answer nothing.
    QStringList answers;
    QObject::connect(&m, &CModuleNetwork::SetRecvTimeRecList,
                     [&](int a, int b) { answers << QString("time %1 %2").arg(a).arg(b); });
    QObject::connect(&m, &CModuleNetwork::SetRecvFrameData, [&](int, int, int, int) { answers << "frame"; });
    std::vector<char> buffer(CNetTypeMirel::kListBufferSize);
    CallEveryRequest(m, buffer);
    EXPECT_TRUE(answers.isEmpty());
    EXPECT_FALSE(m.SendFrameListRequest(1, buffer.data()));
    EXPECT_EQ(m.GetModelCode(), -1);
    EXPECT_FALSE(m.IsFirmware328());
    // Disconnecting an inert module succeeds without doing anything.
    EXPECT_TRUE(m.Disconnect());
    EXPECT_TRUE(m.IsConnected());
    m.OnNetworkState(-1);
    EXPECT_FALSE(m.IsConnected());
    EXPECT_EQ(log.states, (QList<int>{1, 2, -1}));
}

TEST(ModuleNetworkTest, EngineSignalsAreRelayedUnchanged)
{
    CModuleNetwork m(0, 0, false);
    CNetTypeMirel* e = m.findChild<CNetTypeMirel*>();
    ASSERT_NE(e, nullptr);

    QStringList got;
    auto add = [&got](const QString& s) { got << s; };
    int days[3] = {20261208, 20261209, -1};
    _SEND_BACKUP_CAPA capa{};
    QObject::connect(&m, &CModuleNetwork::SetNetworkState, [&](int s) { add(QString("state %1").arg(s)); });
    QObject::connect(&m, &CModuleNetwork::SetRecvLiveVideo,
                     [&](int a, int b, int c, int d, int f, int g, bool h, int i, int j) {
                         add(QString("live video %1 %2 %3 %4 %5 %6 %7 %8 %9")
                                 .arg(a)
                                 .arg(b)
                                 .arg(c)
                                 .arg(d)
                                 .arg(f)
                                 .arg(g)
                                 .arg(h)
                                 .arg(i)
                                 .arg(j));
                     });
    QObject::connect(&m, &CModuleNetwork::SetRecvLiveAudio, [&](int a, int b, int c, int d, int f, int g) {
        add(QString("live audio %1 %2 %3 %4 %5 %6").arg(a).arg(b).arg(c).arg(d).arg(f).arg(g));
    });
    QObject::connect(&m, &CModuleNetwork::SetRecvPlaybackInfo, [&](int a, int b, int c, int d, int f, int* p) {
        add(QString("playback info %1 %2 %3 %4 %5 %6").arg(a).arg(b).arg(c).arg(d).arg(f).arg(p == days));
    });
    QObject::connect(&m, &CModuleNetwork::SetRecvPlaybackVideo,
                     [&](int a, int b, int c, int d, int f, int g, bool h, char i, char j) {
                         add(QString("playback video %1 %2 %3 %4 %5 %6 %7 %8 %9")
                                 .arg(a)
                                 .arg(b)
                                 .arg(c)
                                 .arg(d)
                                 .arg(f)
                                 .arg(g)
                                 .arg(h)
                                 .arg(int(i))
                                 .arg(int(j)));
                     });
    QObject::connect(&m, &CModuleNetwork::SetRecvPlaybackAudio, [&](int a, int b, int c, int d, int f) {
        add(QString("playback audio %1 %2 %3 %4 %5").arg(a).arg(b).arg(c).arg(d).arg(f));
    });
    QObject::connect(&m, &CModuleNetwork::SetRecvGuiData, [&](int a, int b, int c, int d, int f, int g, int h) {
        add(QString("gui %1 %2 %3 %4 %5 %6 %7").arg(a).arg(b).arg(c).arg(d).arg(f).arg(g).arg(h));
    });
    QObject::connect(&m, &CModuleNetwork::SetRecvConsoleLockCanceled, [&] { add("lock canceled"); });
    QObject::connect(&m, &CModuleNetwork::SetRecvAsyncEvent, [&] { add("async"); });
    QObject::connect(&m, &CModuleNetwork::SetRecvTimeRecList,
                     [&](int a, int b) { add(QString("time %1 %2").arg(a).arg(b)); });
    QObject::connect(&m, &CModuleNetwork::SetRecvEventRecList,
                     [&](int a, int b) { add(QString("event %1 %2").arg(a).arg(b)); });
    QObject::connect(&m, &CModuleNetwork::SetRecvAudioRecList,
                     [&](int a, int b) { add(QString("audio %1 %2").arg(a).arg(b)); });
    QObject::connect(&m, &CModuleNetwork::SetRecvBackupCapa,
                     [&](_SEND_BACKUP_CAPA* p) { add(QString("capa %1").arg(p == &capa)); });
    QObject::connect(&m, &CModuleNetwork::SetRecvIntraIndex, [&](int a, int b, int c, int d) {
        add(QString("index %1 %2 %3 %4").arg(a).arg(b).arg(c).arg(d));
    });
    QObject::connect(&m, &CModuleNetwork::SetRecvIntraHeader, [&](int a, int b, int c, int d, int f) {
        add(QString("header %1 %2 %3 %4 %5").arg(a).arg(b).arg(c).arg(d).arg(f));
    });
    QObject::connect(&m, &CModuleNetwork::SetRecvFrameHeader, [&](int a, int b, int c, int d) {
        add(QString("frame header %1 %2 %3 %4").arg(a).arg(b).arg(c).arg(d));
    });
    QObject::connect(&m, &CModuleNetwork::SetRecvFrameData, [&](int a, int b, int c, int d) {
        add(QString("frame data %1 %2 %3 %4").arg(a).arg(b).arg(c).arg(d));
    });
    QObject::connect(&m, &CModuleNetwork::SetRecvCDMedia,
                     [&](short a, short b) { add(QString("media %1 %2").arg(a).arg(b)); });
    QObject::connect(&m, &CModuleNetwork::SetRecvEraseResult,
                     [&](char a) { add(QString("erase %1").arg(int(a))); });
    QObject::connect(&m, &CModuleNetwork::SetRecvBurningRate, [&](char a, char b, char c, char d) {
        add(QString("burning %1 %2 %3 %4").arg(int(a)).arg(int(b)).arg(int(c)).arg(int(d)));
    });
    QObject::connect(&m, &CModuleNetwork::SetRecvConfig, [&] { add("config"); });

    emit e->OnNetState(3);
    emit e->OnNetLiveVideo(1, 2, 3, 4, 5, 6, true, 8, 9);
    emit e->OnNetLiveAudio(-1, 320, 2, 20261209, 120000, 7);
    emit e->OnNetPlaybackDataInfo(20261201, 1, 20261209, 2, 2, days);
    emit e->OnNetPlaybackVideo(4, 4, 1, 2, 3, 99, false, char(-2), char(5));
    emit e->OnNetPlaybackAudio(512, 1, 2, 3, 4);
    emit e->OnNetGuiData(1000, 1, 2, 3, 4, 1920, 1080);
    emit e->OnNetConsoleLockCanceled();
    emit e->OnNetAsyncEvent();
    emit e->OnNetTimeRecList(3, 24480);
    emit e->OnNetEventRecList(4, 0);
    emit e->OnNetAudioRecList(8, 1440);
    emit e->OnNetBackupCapa(&capa);
    emit e->OnNetIntraIndex(2, 5, 512, 6);
    emit e->OnNetIntraHeader(2, 5, 0, 960, 1);
    emit e->OnNetFrameHeader(7, 13440, 1, 6);
    emit e->OnNetFrameData(7, -1, 0, 2);
    emit e->OnNetCDMedia(-1, 32);
    emit e->OnNetEraseResult(char(1));
    emit e->OnNetBurningResult(char(0), char(55), char(2), char(1));
    emit e->OnConfigDataResult();

    const QStringList expected{
        "state 3",
        "live video 1 2 3 4 5 6 1 8 9",
        "live audio -1 320 2 20261209 120000 7",
        "playback info 20261201 1 20261209 2 2 1",
        "playback video 4 4 1 2 3 99 0 -2 5",
        "playback audio 512 1 2 3 4",
        "gui 1000 1 2 3 4 1920 1080",
        "lock canceled",
        "async",
        "time 3 24480",
        "event 4 0",
        "audio 8 1440",
        "capa 1",
        "index 2 5 512 6",
        "header 2 5 0 960 1",
        "frame header 7 13440 1 6",
        "frame data 7 -1 0 2",
        "media -1 32",
        "erase 1",
        "burning 0 55 2 1",
        "config",
    };
    EXPECT_EQ(got, expected);

    // The states that the module keeps: 2 logs in, -1 logs out.
    emit e->OnNetState(2);
    EXPECT_TRUE(m.IsConnected());
    emit e->OnNetState(-1);
    EXPECT_FALSE(m.IsConnected());
}

TEST_F(ModuleNetworkSimTest, NothingGoesOutBeforeTheLogin)
{
    // The socket is up: state 1 has been passed on and the login is out, but the login chain
    // runs only once the event loop turns again. Until then the module is not logged in.
    StartAndConnect({});
    EXPECT_EQ(states->states, QList<int>{1});
    EXPECT_TRUE(module->IsLoginSent());
    EXPECT_FALSE(module->IsConnected());

    QStringList answers;
    QObject::connect(module.get(), &CModuleNetwork::SetRecvTimeRecList, [&](int, int) { answers << "time"; });
    QObject::connect(module.get(), &CModuleNetwork::SetRecvIntraIndex,
                     [&](int, int, int, int) { answers << "index"; });
    QObject::connect(module.get(), &CModuleNetwork::SetRecvFrameData,
                     [&](int, int, int, int) { answers << "frame"; });
    std::vector<char> buffer(CNetTypeMirel::kListBufferSize);
    WriteFile(Program("download.ini"), "x");
    WriteFile(hub->firmwarePath, "y");
    CallEveryRequest(*module, buffer);
    EXPECT_FALSE(module->SendFrameListRequest(1, buffer.data()));
    EXPECT_TRUE(answers.isEmpty());     // no empty answers while not logged in either
    EXPECT_FALSE(module->Disconnect()); // and the socket is left alone

    // The login chain still completes on the same connection; everything the recorder received
    // up to the disk information is the chain itself, so nothing of the calls above went out.
    ASSERT_TRUE(RequestsWaitFor([this] { return states->states.contains(3); }));
    const QList<int> chain{0x01, 0x1C, 0x2E, 0x06, 0x73, 0x99, 0xAE, 0x22, 0x47};
    const QList<int> received = sim->Commands();
    EXPECT_EQ(received.first(), 0x01);
    EXPECT_TRUE(received.contains(0x47));
    for (int cmd : received)
        EXPECT_TRUE(chain.contains(cmd)) << "unexpected command " << cmd;
    EXPECT_TRUE(sim->Events("disconnect").isEmpty());
    EXPECT_EQ(ReadFile(Program("download.ini")), QByteArray("x")); // no download was started
}

TEST_F(ModuleNetworkSimTest, AccessorsAfterLogin)
{
    EXPECT_EQ(CModuleNetwork(0, 0, false).GetModelCode(), -1);
    StartAndLogIn({"--channels", "6", "--firmware", "3.29", "--titles", "Gate,Yard,Hall,Dock,Roof,Lane",
                   "--relays", "2", "--version", "1.2.3.4", "--mac", "00:1C:84:12:34:56", "--ptz",
                   "NONE,PELCO-D"});
    EXPECT_EQ(module->GetChannelCount(), 6);
    EXPECT_EQ(module->GetModelCode(), 1);
    EXPECT_EQ(module->GetModelType(), 1);
    EXPECT_EQ(module->GetModelGroup(), 0);
    EXPECT_EQ(module->GetRelayOutputCount(), 2);
    EXPECT_EQ(module->GetVersionText(), "1.02.03.04");
    EXPECT_EQ(module->GetMacText(), "00:1C:84:12:34:56");
    EXPECT_EQ(module->GetDiskText(), "500.00 GB (25%)");
    EXPECT_EQ(module->GetCameraTitle(0), "Gate");
    EXPECT_EQ(module->GetCameraTitle(5), "Lane");
    EXPECT_FALSE(module->IsPtzChannel(0));
    EXPECT_TRUE(module->IsPtzChannel(1));
    EXPECT_EQ(module->GetFirmwareMajor(), 3);
    EXPECT_EQ(module->GetFirmwareMinor(), 29);
    EXPECT_TRUE(module->IsFirmware328());
    EXPECT_TRUE(module->IsPresent(5));
    EXPECT_TRUE(module->GetLoginMaskBit(0, 5));
    EXPECT_FALSE(module->GetLoginMaskBit(3, 5)); // only the first three masks

    // After a disconnect the guarded accessors fall back.
    EXPECT_TRUE(module->Disconnect());
    EXPECT_FALSE(module->IsConnected());
    EXPECT_EQ(module->GetModelCode(), -1);
    EXPECT_EQ(module->GetModelType(), -1);
    EXPECT_EQ(module->GetModelGroup(), -1);
    EXPECT_EQ(module->GetRelayOutputCount(), -1);
    EXPECT_TRUE(module->GetVersionText().isEmpty());
    EXPECT_TRUE(module->GetCameraTitle(0).isEmpty());
    EXPECT_TRUE(RequestsWaitFor([this] { return states->states.contains(-1); }));
}

TEST_F(ModuleNetworkSimTest, FirmwareVersionAndModelGroup)
{
    struct Case
    {
        const char* firmware;
        const char* code;
        bool at328;
        int group;
    };
    const Case cases[] = {
        {"3.27", "0x11", false, 0},
        {"3.28", "0x1D", true, 1}, // reduced code 13
        {"4.05", "0x1F", true, 2}, // a later major with a smaller minor; reduced code 15
        {"2.99", "0x11", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firmware);
        module.reset();
        sim.reset();
        StartAndLogIn({"--firmware", c.firmware, "--model-code", c.code});
        EXPECT_EQ(module->IsFirmware328(), c.at328);
        EXPECT_EQ(module->GetModelGroup(), c.group);
    }
}

TEST_F(ModuleNetworkSimTest, EmptyStorageSlotIsAnsweredWithoutAMessage)
{
    // One disk: storage slot 0 holds data, slot 1 nothing.
    StartAndLogIn({"--disks", "1"});
    QStringList answers;
    QObject::connect(module.get(), &CModuleNetwork::SetRecvTimeRecList,
                     [&](int a, int b) { answers << QString("time %1 %2").arg(a).arg(b); });
    QObject::connect(module.get(), &CModuleNetwork::SetRecvEventRecList,
                     [&](int a, int b) { answers << QString("event %1 %2").arg(a).arg(b); });
    QObject::connect(module.get(), &CModuleNetwork::SetRecvAudioRecList,
                     [&](int a, int b) { answers << QString("audio %1 %2").arg(a).arg(b); });
    QObject::connect(module.get(), &CModuleNetwork::SetRecvIntraIndex, [&](int a, int b, int c, int d) {
        answers << QString("index %1 %2 %3 %4").arg(a).arg(b).arg(c).arg(d);
    });
    QObject::connect(module.get(), &CModuleNetwork::SetRecvIntraHeader, [&](int a, int b, int c, int d, int e) {
        answers << QString("header %1 %2 %3 %4 %5").arg(a).arg(b).arg(c).arg(d).arg(e);
    });
    std::vector<char> buffer(CNetTypeMirel::kListBufferSize);
    const int before = sim->Commands().count(0x20);
    module->SendTimeRecList(20261209, 1, buffer.data());
    module->SendEventRecList(20261209, 1, buffer.data());
    module->SendAudioRecList(20261209, 1, buffer.data());
    module->SendIntraIndexRequest(20261209, 4, 1, buffer.data(), 6, 1);
    module->SendIntraHeaderRequest(20261209, 4, 1, 0, 13440, buffer.data(), 2);
    EXPECT_EQ(answers, (QStringList{"time 1 0", "event 1 0", "audio 1 0", "index 1 4 0 6", "header 1 4 0 0 2"}));

    // Slot 0 goes to the recorder; once it is in the log, nothing else was sent for slot 1.
    module->SendTimeRecList(20261209, 0, buffer.data());
    ASSERT_TRUE(RequestsWaitFor([&] { return sim->Commands().count(0x20) > before; }));
    QList<QJsonObject> lists;
    for (const QJsonObject& o : sim->Messages())
        if (o.value("cmd").toInt() == 0x20)
            lists.append(o);
    ASSERT_EQ(lists.size(), before + 1);
    // Bytes 12..17 of the request: slot 0, list kind 0x15, low byte 0.
    EXPECT_EQ(lists.last().value("hex").toString().mid(24, 12).toUpper(), "000000001500");
}

TEST_F(ModuleNetworkSimTest, SettingsAndFirmwareTravelBothWaysByteIdentical)
{
    StartAndLogIn({});
    QSignalSpy config(module.get(), &CModuleNetwork::SetRecvConfig);
    for (int size : {0, 1, 32768, 32769}) {
        SCOPED_TRACE(size);
        const QByteArray data = RequestsPattern(size);
        const int crcEvents = sim->Events("crc").size();
        const int actions = sim->Events("config-action").size();

        // Upload download.ini; the recorder stores it and serves it from then on.
        ASSERT_TRUE(WriteFile(Program("download.ini"), data));
        module->SetConfigData();
        ASSERT_TRUE(RequestsWaitFor([&] { return sim->Events("config-action").size() > actions; }));
        const QJsonObject crc = sim->Events("crc").value(crcEvents);
        EXPECT_TRUE(crc.value("ok").toBool());
        EXPECT_EQ(crc.value("client").toInt(), RequestsReferenceCrc(data));
        EXPECT_EQ(ReadFile(Upload("conf/setup.ini")), data);

        // Download for the account manager (kind 0) and for the console (kind 99).
        hub->accountStates.clear();
        QFile::remove(Program("download.ini"));
        module->RequestConfigFile(0);
        ASSERT_TRUE(RequestsWaitFor([&] { return !hub->accountStates.isEmpty(); }));
        EXPECT_EQ(hub->accountStates, QList<int>{2});
        EXPECT_EQ(ReadFile(Program("download.ini")), data);

        const int signalled = config.count();
        module->RequestConfigFile(99);
        ASSERT_TRUE(RequestsWaitFor([&] { return config.count() > signalled; }));
        EXPECT_EQ(ReadFile(Program("config.ini")), data);

        // Firmware package.
        hub->firmwareStates.clear();
        hub->progress.clear();
        ASSERT_TRUE(WriteFile(hub->firmwarePath, data));
        module->SetFirmwareData();
        ASSERT_TRUE(RequestsWaitFor([&] { return !hub->firmwareStates.isEmpty(); }));
        EXPECT_EQ(hub->firmwareStates, QList<int>{3});
        ASSERT_TRUE(RequestsWaitFor([&] { return sim->Events("crc").size() > crcEvents + 1; }));
        EXPECT_TRUE(sim->Events("crc").last().value("ok").toBool());
        EXPECT_EQ(ReadFile(Upload("dvr_upgrade_auto.zip")), data);
        if (size > 0) {
            ASSERT_FALSE(hub->progress.isEmpty());
            EXPECT_EQ(hub->progress.last(), qMakePair(qint64(size), qint64(size)));
        }
    }
    EXPECT_TRUE(module->IsConnected());
}

TEST_F(ModuleNetworkSimTest, RecorderReportsAWrongCrc)
{
    StartAndLogIn({"--fail", "wrong-crc"});
    const QByteArray data = RequestsPattern(40000);
    ASSERT_TRUE(WriteFile(Program("download.ini"), data));
    module->SetConfigData();
    ASSERT_TRUE(RequestsWaitFor([&] { return !sim->Events("config-action").isEmpty(); }));
    const QJsonObject crc = sim->Events("crc").value(0);
    EXPECT_FALSE(crc.value("ok").toBool());
    // The client's CRC is the right one; the recorder's verdict is what is wrong.
    EXPECT_EQ(crc.value("client").toInt(), RequestsReferenceCrc(data));
    EXPECT_EQ(crc.value("computed").toInt(), RequestsReferenceCrc(data) ^ 0xFFFF);
    EXPECT_FALSE(sim->Events("config-action").first().value("ok").toBool());
    // The refusal comes back as a result line only; the connection stays up.
    EXPECT_TRUE(module->IsConnected());
}

TEST_F(ModuleNetworkSimTest, DroppedConnectionDuringDownloadWritesNoFile)
{
    StartAndLogIn({"--fail", "drop-during-transfer"});
    WriteFile(Program("download.ini"), "old");
    module->RequestConfigFile(0);
    ASSERT_TRUE(RequestsWaitFor([&] { return states->states.contains(-1); }));
    EXPECT_FALSE(module->IsConnected());
    EXPECT_FALSE(QFile::exists(Program("download.ini"))); // the old copy went, no new one came
    EXPECT_FALSE(hub->accountStates.contains(2));
    EXPECT_FALSE(sim->Events("drop-during-transfer").isEmpty());
}

TEST_F(ModuleNetworkSimTest, DroppedConnectionDuringUploadSendsNoStat)
{
    StartAndLogIn({"--fail", "drop-during-transfer"});
    ASSERT_TRUE(WriteFile(hub->firmwarePath, RequestsPattern(70000)));
    module->SetFirmwareData();
    ASSERT_TRUE(RequestsWaitFor([&] { return states->states.contains(-1); }));
    EXPECT_FALSE(module->IsConnected());
    EXPECT_FALSE(hub->firmwareStates.contains(3));
    EXPECT_TRUE(sim->Events("crc").isEmpty());
    EXPECT_EQ(sim->Commands().count(0x11), 0);
    // Requests after the drop put nothing on the wire.
    const int count = sim->Messages().size();
    module->SendLiveStop(0);
    EXPECT_EQ(sim->Messages().size(), count);
}

TEST_F(ModuleNetworkSimTest, DestroyedWhileLoggedInSaysNothingMore)
{
    StartAndLogIn({});
    const QList<int> before = states->states;
    module.reset(); // closes the connection on the way out
    EXPECT_EQ(states->states, before);
    EXPECT_TRUE(RequestsWaitFor([this] { return !sim->Events("disconnect").isEmpty(); }));
}

// --- closing a connection that never logged in, and what an attempt leaves behind -----------------

TEST_F(ModuleNetworkSimTest, AbortClosesAConnectionThatIsNotLoggedIn)
{
    StartAndConnect({});
    ASSERT_EQ(states->states, QList<int>{1});
    EXPECT_EQ(module->GetNetState(), 1);
    EXPECT_FALSE(module->Disconnect()); // logging out needs a login
    EXPECT_TRUE(module->Abort());
    EXPECT_TRUE(RequestsWaitFor([this] { return states->states.contains(-1); }));
    EXPECT_EQ(module->GetNetState(), -1);
    EXPECT_FALSE(module->IsConnected());
    EXPECT_TRUE(RequestsWaitFor([this] { return !sim->Events("disconnect").isEmpty(); }));
    EXPECT_FALSE(module->Abort()) << "nothing left to close";
    EXPECT_FALSE(states->states.contains(2));
}

TEST_F(ModuleNetworkSimTest, AbortAlsoClosesALoggedInConnection)
{
    StartAndLogIn({});
    EXPECT_EQ(module->GetNetState(), 2);
    EXPECT_TRUE(module->Abort());
    EXPECT_FALSE(module->IsConnected());
    EXPECT_TRUE(RequestsWaitFor([this] { return states->states.contains(-1); }));
    EXPECT_FALSE(module->Disconnect());
}

TEST(ModuleNetworkTest, InertOrUnconnectedModuleHasNothingToAbort)
{
    CModuleNetwork inert(1, 0, false);
    EXPECT_FALSE(inert.Abort());
    EXPECT_EQ(inert.GetNetState(), -1);
    EXPECT_EQ(inert.GetModelCheck(), 0);
    EXPECT_FALSE(inert.GetLoginDone());
    EXPECT_FALSE(inert.IsTlsHandshakeDone());
    EXPECT_FALSE(inert.IsFirmwareToolModel());
    EXPECT_FALSE(inert.IsFurtherCapable());
    inert.DropBuffers(); // harmless without an engine
    CModuleNetwork idle(0, 0, false);
    EXPECT_FALSE(idle.Abort());
    EXPECT_EQ(idle.GetRawModelCode(), -1);
}

TEST_F(ModuleNetworkSimTest, ModelFlagsAndAttemptOutcomeAreRelayed)
{
    struct Case
    {
        const char* name;
        QStringList options;
        int rawCode;
        bool firmwareTool;
        bool further;
    };
    const Case cases[] = {
        {"tool model", {"--model-code", "0x18", "--sub-model", "1642"}, 0x18, true, false},
        {"plain model", {"--model-code", "0x18", "--sub-model", "1641"}, 0x18, false, false},
        {"3.44 with bit 20", {"--firmware", "3.44", "--features", "0x100000"}, 0x11, false, true},
        {"3.44 without bit 20", {"--firmware", "3.44"}, 0x11, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        module.reset();
        sim.reset();
        StartAndLogIn(c.options);
        EXPECT_EQ(module->GetRawModelCode(), c.rawCode);
        EXPECT_EQ(module->IsFirmwareToolModel(), c.firmwareTool);
        EXPECT_EQ(module->IsFurtherCapable(), c.further);
        EXPECT_TRUE(module->GetLoginDone());
        EXPECT_EQ(module->GetModelCheck(), 1);
        EXPECT_FALSE(module->IsTlsHandshakeDone());
        EXPECT_TRUE(module->Disconnect());
        EXPECT_EQ(module->GetRawModelCode(), -1) << "only while logged in";
    }
}

TEST_F(ModuleNetworkSimTest, RefusedModelIsReadableAfterTheDisconnect)
{
    StartAndConnect({"--fail", "model-class-reject"});
    ASSERT_TRUE(RequestsWaitFor([this] { return states->states.contains(-1); }));
    EXPECT_EQ(states->states, (QList<int>{1, -1}));
    EXPECT_TRUE(module->GetLoginDone());
    EXPECT_EQ(module->GetModelCheck(), CNetTypeMirel::kModelRefused);
}

TEST_F(ModuleNetworkSimTest, RecorderClosingBeforeAnyReplyLeavesNoLoginReply)
{
    StartAndConnect({"--fail", "close-at-once"});
    ASSERT_TRUE(RequestsWaitFor([this] { return states->states.contains(-1); }));
    EXPECT_FALSE(module->GetLoginDone());
    EXPECT_EQ(module->GetModelCheck(), 0);
}

TEST_F(ModuleNetworkSimTest, DroppedBuffersTakeNoLateReply)
{
    StartAndLogIn({"--record-date", "20261209"});
    std::vector<char> index(CNetTypeMirel::kIndexBufferSize, char(0x5A));
    std::vector<char> list(CNetTypeMirel::kListBufferSize, char(0x5A));
    int indexes = 0;
    QList<int> lists;
    QObject::connect(module.get(), &CModuleNetwork::SetRecvIntraIndex, [&](int, int, int, int) { ++indexes; });
    QObject::connect(module.get(), &CModuleNetwork::SetRecvTimeRecList, [&](int, int size) { lists << size; });
    module->SendIntraIndexRequest(20261209, 0, 0, index.data(), 0, 0);
    module->DropBuffers();
    // The recorder answers in order: once the list has come, the index reply has been handled.
    module->SendTimeRecList(20261209, 0, list.data());
    ASSERT_TRUE(RequestsWaitFor([&] { return !lists.isEmpty(); }));
    EXPECT_GT(lists.first(), 0);
    EXPECT_EQ(indexes, 0);
    EXPECT_EQ(std::count(index.begin(), index.end(), char(0x5A)), qint64(index.size()));
}
