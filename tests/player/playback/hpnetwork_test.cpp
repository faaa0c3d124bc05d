#include "playback/hpitemcamera.h"
#include "playback/hpitemdvr.h"
#include "playback/hpnetserver.h"
#include "playback/hpnetwork.h"
#include "playback/hubhost.h"

#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(text);
}

struct FakeHub : HubHost
{
    int redraws = 0;
    QVector<int> cleared;
    QVector<QPair<int, QByteArray>> tileReplies;
    QVector<QByteArray> searchReplies;
    int camerasCreated = 0;
    void RedrawAllTiles() override { ++redraws; }
    void ClearTilesOf(int, const QVector<int>& cameras) override { cleared = cameras; }
    void ToTilePlayer(int tile, const QByteArray& reply) override { tileReplies.append({tile, reply}); }
    void ToSearchDialog(const QByteArray& reply) override { searchReplies.append(reply); }
    void CamerasCreated(int count) override { camerasCreated = count; }
};

struct Wire
{
    QVector<QByteArray> written;
    bool writable = true;
    bool failing = false;
};

struct FakeSocket : SocketEngine::PeerSocket
{
    explicit FakeSocket(Wire& wire)
        : wire(wire)
    {}
    bool Writable() override { return wire.writable; }
    qint64 Write(const QByteArray& bytes) override
    {
        if (wire.failing)
            return -1;
        wire.written.append(bytes);
        return bytes.size();
    }
    Wire& wire;
};

// A reply of `size` bytes with the command at byte 6 and the given bytes placed from `at`.
QByteArray Reply(int command, int size, std::initializer_list<std::pair<int, int>> bytes = {})
{
    QByteArray reply(size, '\0');
    reply[6] = char(command);
    for (const auto& [at, value] : bytes)
        reply[at] = char(value);
    return reply;
}

class HPNetworkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hub.Init();
        server = hub.AddServer(4, "Gate");
        server->Attach(hub.Engine().AddPeer(std::make_unique<FakeSocket>(wire)));
    }
    QVector<int> Commands() const
    {
        QVector<int> commands;
        for (const QByteArray& frame : wire.written)
            commands.append(quint8(frame[6]));
        return commands;
    }

    FakeHub host;
    Wire wire; // outlives the hub, whose end disconnects through it
    HPNetwork hub{host};
    HPNetServer* server = nullptr;
};

TEST(HPNetworkIdle, WithoutRecordersEveryLookupYieldsNoneAndNothingIsSent)
{
    FakeHub host;
    HPNetwork hub(host);
    hub.Init();
    EXPECT_FALSE(hub.HasServers());
    EXPECT_EQ(hub.GetServer(0), nullptr);
    EXPECT_EQ(hub.GetServer(-999), nullptr);
    EXPECT_EQ(hub.Engine().Send(1, Hex("000000000000 22 00 00 0c0000")), -1);
    EXPECT_EQ(hub.Engine().DeliverPacket(1, Reply(34, 12)), -1);
    hub.OnHousekeeping();
    EXPECT_EQ(host.redraws, 0);
    EXPECT_FALSE(hub.HousekeepingActive());
    HPNetServer* server = hub.AddServer(2, "R");
    EXPECT_TRUE(hub.HousekeepingActive());
    EXPECT_EQ(hub.AddServer(2, "again"), nullptr);
    hub.RemoveServer(server);
    EXPECT_FALSE(hub.HousekeepingActive());
}

TEST_F(HPNetworkTest, LoginRepliesSetTheStateFromTheRightsByte)
{
    struct Case
    {
        const char* name;
        QByteArray reply;
        int state;
        QVector<int> requests;
    };
    const Case cases[] = {
        {"error byte", Reply(2, 21, {{7, 1}, {20, 2}}), -1, {}},
        {"negative rights", Reply(2, 21, {{20, 0x82}}), -1, {}},
        {"no view right", Reply(2, 21, {{20, 0x01}}), -3, {}},
        {"view right", Reply(2, 21, {{20, 0x06}}), 6, {28, 42}},
        {"too short for the rights byte", Reply(2, 20, {{19, 2}}), -1, {}},
    };
    QByteArray firstRequest;
    for (const Case& c : cases) {
        wire.written.clear();
        EXPECT_EQ(hub.Engine().DeliverPacket(server->Peer(), c.reply), 1) << c.name;
        EXPECT_EQ(server->LoginState(), c.state) << c.name;
        EXPECT_EQ(Commands(), c.requests) << c.name;
        if (!wire.written.isEmpty())
            firstRequest = wire.written[0];
    }
    // The requests leave framed: length - 4 big-endian, 0, 0xA1.
    EXPECT_EQ(firstRequest.toHex(), Hex("00000008 00a1 1c 00 00 0c0000").toHex());
}

TEST_F(HPNetworkTest, ModelReplyCreatesCamerasAndReadsOptionalFieldsOnlyWhenPresent)
{
    QByteArray model = Reply(29, 44, {{12, 0x21}, {14, 4}, {32, 0xF0}, {33, 0xA0}, {41, 2}, {42, 53}, {43, 2}});
    hub.Engine().DeliverPacket(server->Peer(), model);
    EXPECT_EQ(server->ModelKind(), 7);
    EXPECT_EQ(server->CameraCount(), 4);
    EXPECT_EQ(host.camerasCreated, 4);
    ASSERT_NE(server->Camera(3), nullptr);
    EXPECT_EQ(server->Camera(3)->Name(), "Camera");
    EXPECT_EQ(server->CodecVersionFlag(), 1);
    EXPECT_TRUE(server->ProtocolFlag());
    EXPECT_EQ(server->AlarmOutputs(), 2);
    EXPECT_EQ(Commands(), QVector<int>{46});

    const std::pair<int, int> kinds[] = {{5, 5},   {16, 16}, {17, 7}, {18, 4},
                                         {19, 14}, {20, 14}, {21, 5}, {100, 100}};
    for (const auto& [id, kind] : kinds) {
        hub.Engine().DeliverPacket(server->Peer(),
                                   Reply(29, 38, {{12, id}, {14, 8}, {32, 0xFF}, {33, 0xFF}, {34, 0xFF}}));
        EXPECT_EQ(server->ModelKind(), kind) << id;
        EXPECT_EQ(server->CodecVersionFlag(), -1);
        EXPECT_EQ(server->CameraCount(), 4);  // cameras are made once
        EXPECT_EQ(server->AlarmOutputs(), 2); // a 38-byte reply holds no alarm count
    }
    wire.written.clear();
    hub.Engine().DeliverPacket(server->Peer(), Reply(29, 34, {{12, 3}}));
    EXPECT_EQ(server->ModelKind(), 100); // too short: not read
    EXPECT_TRUE(wire.written.isEmpty());
}

TEST_F(HPNetworkTest, CameraNamesAndEventsRenameAndMarkTheCameraItems)
{
    hub.Engine().DeliverPacket(server->Peer(), Reply(29, 35, {{12, 5}, {14, 2}}));
    wire.written.clear();
    QByteArray names = Reply(47, 12) + QByteArray("Front door longer") + QByteArray("Yard\0", 5);
    hub.Engine().DeliverPacket(server->Peer(), names); // the second field is short
    EXPECT_EQ(server->Camera(0)->Name(), "Front door long");
    EXPECT_EQ(server->Camera(1)->Name(), "Camera");
    EXPECT_EQ(host.redraws, 1);
    EXPECT_EQ(Commands(), QVector<int>{34});

    hub.Engine().DeliverPacket(server->Peer(), Reply(7, 12) + Hex("0100") + "MOTN");
    EXPECT_TRUE(server->Camera(1)->HasEvent());
    EXPECT_EQ(server->Camera(1)->EventText(), "MOTN");
    hub.Engine().DeliverPacket(server->Peer(), Reply(7, 12) + Hex("0000") + "NONE");
    EXPECT_FALSE(server->Camera(0)->HasEvent());
    hub.Engine().DeliverPacket(server->Peer(), Reply(7, 12) + Hex("0900") + "MOTN"); // no camera 9
    hub.Engine().DeliverPacket(server->Peer(), Reply(7, 12) + Hex("0000") + "MO");   // short
    EXPECT_FALSE(server->Camera(0)->HasEvent());
}

// A fragment reply: length field, kind byte 12, channel byte 14, total at 16, offset at 20.
QByteArray Fragment(int channel, quint32 total, quint32 offset, int data, int lengthField = -1)
{
    QByteArray reply(32 + data, 'd');
    reply.replace(0, 32, QByteArray(32, '\0'));
    reply[6] = char(41);
    const int length = lengthField < 0 ? reply.size() : lengthField;
    reply[9] = char(length & 0xFF);
    reply[10] = char((length >> 8) & 0xFF);
    reply[11] = char((length >> 16) & 0xFF);
    reply[14] = char(channel);
    for (int i = 0; i < 4; ++i) {
        reply[16 + i] = char((total >> (8 * i)) & 0xFF);
        reply[20 + i] = char((offset >> (8 * i)) & 0xFF);
    }
    return reply;
}

TEST_F(HPNetworkTest, FragmentsArePlacedOnlyInsideTheirAnnouncedFrame)
{
    hub.Engine().DeliverPacket(server->Peer(), Fragment(2, 100, 0, 60));
    EXPECT_EQ(server->AssembledFrames(), 0);
    hub.Engine().DeliverPacket(server->Peer(), Fragment(2, 100, 60, 40));
    EXPECT_EQ(server->AssembledFrames(), 1);
    const struct
    {
        const char* name;
        QByteArray reply;
    } refused[] = {
        {"past the total", Fragment(2, 100, 90, 20)},
        {"offset beyond the total", Fragment(2, 100, 200, 0)},
        {"total above the buffer", Fragment(2, 1240001, 0, 10)},
        {"channel 16", Fragment(16, 10, 0, 10)},
        {"length field beyond the reply", Fragment(2, 10, 0, 10, 400)},
        {"length field below the head", Fragment(2, 10, 0, 10, 20)},
        {"offset near 4 GiB", Fragment(2, 100, 0xFFFFFFF0u, 20)},
    };
    for (const auto& c : refused) {
        hub.Engine().DeliverPacket(server->Peer(), c.reply);
        EXPECT_EQ(server->AssembledFrames(), 1) << c.name;
    }
    hub.Engine().DeliverPacket(server->Peer(), Fragment(15, 1240000, 1239990, 10));
    EXPECT_EQ(server->AssembledFrames(), 2);
}

TEST_F(HPNetworkTest, ClockReplyKeepsTheDifferenceToTheLocalClock)
{
    server->SetClock([] { return QDateTime(QDate(2026, 12, 10), QTime(13, 0)); });
    // 20261210 = 0x0135295a, 133000 = 0x00020788
    hub.Engine().DeliverPacket(server->Peer(), Reply(43, 12) + Hex("5a293501 88070200"));
    EXPECT_TRUE(server->ClockValid());
    EXPECT_EQ(server->ClockDifference(), 1800);
    server->ReqRecorderClock();
    EXPECT_FALSE(server->ClockValid());
    // 20261332 = 0x013529d4: no such day
    hub.Engine().DeliverPacket(server->Peer(), Reply(43, 12) + Hex("d4293501 88070200"));
    EXPECT_FALSE(server->ClockValid());
}

TEST_F(HPNetworkTest, PlaybackAndSearchRepliesGoToTheirTileOrTheSearchDialog)
{
    hub.Engine().DeliverPacket(server->Peer(), Reply(32, 28, {{8, 99}}));
    hub.Engine().DeliverPacket(server->Peer(), Reply(33, 28, {{8, 3}}));
    hub.Engine().DeliverPacket(server->Peer(), Reply(32, 28, {{8, 40}}));
    hub.Engine().DeliverPacket(server->Peer(), Reply(67, 16, {{8, 99}, {12, 5}}));
    hub.Engine().DeliverPacket(server->Peer(), Reply(103, 12, {{8, 99}})); // no channel field
    hub.Engine().DeliverPacket(server->Peer(), Reply(17, 12, {{8, 15}}));
    EXPECT_EQ(host.searchReplies.size(), 1);
    QVector<int> tiles;
    for (const auto& reply : host.tileReplies)
        tiles.append(reply.first);
    EXPECT_EQ(tiles, (QVector<int>{3, 5, 15}));
}

TEST_F(HPNetworkTest, StatusRepliesAndHousekeeping)
{
    hub.Engine().DeliverPacket(server->Peer(), Reply(35, 33));
    EXPECT_TRUE(server->StatusReceived());
    EXPECT_EQ(server->EventFlags(), 0);
    hub.Engine().DeliverPacket(server->Peer(), Reply(35, 34, {{32, 0x05}, {33, 0x80}}));
    EXPECT_EQ(server->EventFlags(), 0x8005);

    hub.OnHousekeeping(); // not logged in yet
    EXPECT_TRUE(wire.written.isEmpty());
    hub.Engine().DeliverPacket(server->Peer(), Reply(2, 21, {{20, 2}}));
    wire.written.clear();
    hub.OnHousekeeping();
    ASSERT_EQ(wire.written.size(), 1);
    EXPECT_EQ(wire.written[0].toHex(), Hex("00000008 00a1 22 00 00 0c0000").toHex());
}

TEST_F(HPNetworkTest, ClosedConnectionsRemoveTheClient)
{
    hub.Engine().DeliverPacket(server->Peer(), Reply(29, 35, {{12, 5}, {14, 2}}));
    const int peer = server->Peer();
    EXPECT_EQ(hub.Engine().DeliverConnectionState(peer, Hex("02000001")), 0); // byte 0 must be 1
    EXPECT_EQ(hub.Engine().DeliverConnectionState(peer, Hex("01000001")), 1);
    EXPECT_EQ(hub.GetServer(4), nullptr);
    EXPECT_EQ(host.cleared, (QVector<int>{0, 1}));
    EXPECT_GE(host.redraws, 1);
    EXPECT_FALSE(hub.Engine().HasPeer(peer));
    EXPECT_EQ(hub.Engine().DeliverPacket(peer, Reply(34, 12)), -1);
}

TEST_F(HPNetworkTest, SocketEngineRefusesWhatItCannotSendWhole)
{
    wire.writable = false;
    EXPECT_EQ(server->ReqStatus(), 0);
    wire.writable = true;
    EXPECT_EQ(hub.Engine().Send(server->Peer(), QByteArray(65537, '\0')), -1);
    EXPECT_EQ(hub.Engine().Send(server->Peer(), QByteArray(65536, '\0')), 65536);
    EXPECT_EQ(server->ReqFileData(0, QVector<FileDataEntry>(99)), -1);
    EXPECT_EQ(server->ReqLiveVideo(1), 0);
    EXPECT_EQ(wire.written.size(), 1);

    QVector<QByteArray> control;
    hub.Engine().SetControlChannel([&control](const QByteArray& packet) {
        control.append(packet);
        return control.size() < 3 ? 0 : 8; // two failed attempts, then sent
    });
    wire.failing = true;
    const int peer = server->Peer();
    EXPECT_EQ(server->ReqStatus(), -1);
    EXPECT_FALSE(hub.Engine().HasPeer(peer));
    ASSERT_EQ(control.size(), 3);
    EXPECT_EQ(control[0].toHex(), Hex("5505 0001 000000 04").toHex());
    EXPECT_EQ(server->ReqStatus(), -1);
}

TEST(HPItemCommon, InsertionOrderAndLookups)
{
    HPItemCommon root(12);
    root.Insert(std::make_unique<HPItemCommon>(5, "group"));
    root.Insert(std::make_unique<HPItemCommon>(8, "map"));
    HPItemCommon* recorder = root.Insert(std::make_unique<HPItemDVR>("R1"));
    root.Insert(std::make_unique<HPItemCommon>(6, "Latest View"), "Latest View");
    root.Insert(std::make_unique<HPItemCommon>(12, "top"));
    root.Insert(std::make_unique<HPItemCommon>(9, "last"));
    QStringList order;
    for (int i = 0; i < root.ChildCount(); ++i)
        order << root.Child(i)->Name();
    EXPECT_EQ(order, (QStringList{"top", "Latest View", "R1", "group", "map", "last"}));

    recorder->Insert(std::make_unique<HPItemCamera>(0));
    auto* camera = static_cast<HPItemCamera*>(recorder->Insert(std::make_unique<HPItemCamera>(7)));
    EXPECT_EQ(root.Find(HPItemCommon::kCamera, 7), camera);
    EXPECT_EQ(root.Find(HPItemCommon::kAnyType, 7), camera);
    EXPECT_EQ(root.Find(HPItemCommon::kCamera, 3), nullptr);
    EXPECT_EQ(root.Collect(HPItemCommon::kCamera).size(), 2u);
    EXPECT_EQ(camera->Serialise(), "CAMERAINDEX\t7");
    EXPECT_FALSE(camera->Visible());
    EXPECT_GT(camera->Serial(), recorder->Serial());
    EXPECT_EQ(camera->Image(), 5);
    camera->connected = true;
    EXPECT_EQ(camera->Image(), 4);
    EXPECT_EQ(recorder->Image(), 3);
    recorder->RemoveChildren();
    EXPECT_EQ(root.Collect(HPItemCommon::kCamera).size(), 0u);
}

} // namespace

namespace {

TEST_F(HPNetworkTest, ARetiredModelDisconnectsAtOnce)
{
    hub.Engine().DeliverPacket(server->Peer(), Reply(2, 21, {{20, 2}}));
    const int peer = server->Peer();
    hub.Engine().DeliverPacket(peer, Reply(29, 35, {{12, HPNetServer::kRetiredModel}, {14, 4}}));
    EXPECT_FALSE(server->Connected());
    EXPECT_EQ(server->LoginState(), 0);
    EXPECT_EQ(server->CameraCount(), 0);
    EXPECT_FALSE(hub.Engine().HasPeer(peer));
}

} // namespace
