// The session object itself: registration, folders, status queries before login, small helpers
// and the destruction of sessions while they connect and after reconnects.
#include <QJsonObject>
#include <QSignalSpy>

#include "net/modulenetwork.h"
#include "net/nettypemirel.h"

#include "session/support/moduledevice_testaccess.h"
#include "session/support/session_fixture.h"

TEST_F(SessionTest, FolderTakesNoSlotAndRecorderRegisters)
{
    CModuleDevice folder(nullptr, -1);
    EXPECT_EQ(folder.GetDeviceIndex(), -1);
    folder.StartConnect(0);
    EXPECT_EQ(hub->boxCalls, std::vector<BoxCall>{}) << "a folder never connects";

    CModuleDevice* a = AddRecorder("a", 1);
    CModuleDevice* b = AddRecorder("b", 1);
    EXPECT_EQ(a->GetDeviceIndex(), 0);
    EXPECT_EQ(b->GetDeviceIndex(), 1);
    EXPECT_EQ(hub->GetDevice(1), b);
    DeleteRecorder(a);
    EXPECT_EQ(hub->GetDevice(0), nullptr);
    EXPECT_EQ(hub->FindDeviceByName("b"), 1);
}

TEST_F(SessionTest, QueriesBeforeLogin)
{
    CModuleDevice* device = AddRecorder("idle", 1);
    EXPECT_EQ(device->GetChannelCount(3), -1);
    EXPECT_FALSE(device->GetChannelActive(0));
    EXPECT_EQ(device->GetCameraTitle(0), QString());
    EXPECT_EQ(device->GetAlarmOutCount(), 0);
    EXPECT_EQ(device->GetModelCode(), -1);
    EXPECT_EQ(device->GetModelType(), -1);
    EXPECT_FALSE(device->GetMotionState(0));
    EXPECT_FALSE(device->IsPtzChannel(0));
    EXPECT_FALSE(device->StartLiveAudio(0));
    EXPECT_EQ(device->GetChannelFps(16), 30) << "channel count (0) plus 16";
    EXPECT_EQ(device->GetChannelFps(0), 15);
    EXPECT_EQ(device->GetChannelFps(-5), 15);
    EXPECT_EQ(device->GetScrMode(17), 16);
    EXPECT_EQ(device->GetCameoRoute(16), nullptr);
    ASSERT_TRUE(device->GetCameoRoute(15));
    EXPECT_EQ(device->GetCameoRoute(15)->liveGrid.load(), -1);
    EXPECT_EQ(device->GetPlaybackGrid(), -1);
    const QImage black = device->GetChannelImage(0);
    EXPECT_EQ(black.size(), QSize(10, 10));
    EXPECT_EQ(black.pixelColor(5, 5), QColor(Qt::black));
}

TEST(SessionDayOfWeek, SundayIsZero)
{
    EXPECT_EQ(CModuleDevice::DayOfWeek(20240107), 0);
    EXPECT_EQ(CModuleDevice::DayOfWeek(20240106), 6);
    EXPECT_EQ(CModuleDevice::DayOfWeek(20240108), 1);
    EXPECT_EQ(CModuleDevice::DayOfWeek(20241399), 0) << "not a date";
}

TEST_F(SessionTest, LoadSiteBookInfoReadsPositions)
{
    CModuleDevice* device = AddRecorder("map", 1);
    SiteBook* record = RecordOf(device);
    record->emapPath = "/maps/floor.png";
    record->emapPos = "0.5;0.25;";
    record->emapCameraPos[1] = "";
    record->emapCameraPos[2] = "0.1;0.2;";
    record->emapCameraPath[2] = "/maps/cam2.png";
    device->LoadSiteBookInfo();
    EXPECT_EQ(device->GetEmapPath(), "/maps/floor.png");
    EXPECT_FLOAT_EQ(device->GetEmapCameraX(0), 0.5f);
    EXPECT_FLOAT_EQ(device->GetEmapCameraY(0), 0.25f);
    for (int ch = 1; ch < 16; ++ch) {
        EXPECT_FLOAT_EQ(device->GetEmapCameraX(ch), -1.0f) << ch;
        EXPECT_FLOAT_EQ(device->GetEmapCameraY(ch), -1.0f) << ch;
    }
    EXPECT_FLOAT_EQ(device->GetCameraOwnX(1), 0.452077f);
    EXPECT_FLOAT_EQ(device->GetCameraOwnY(1), 0.262222f);
    EXPECT_FLOAT_EQ(device->GetCameraOwnX(2), 0.1f);
    EXPECT_FLOAT_EQ(device->GetCameraOwnY(2), 0.2f);
    EXPECT_EQ(device->GetCameraEmapPath(2), "/maps/cam2.png");

    auto* emap = new QTreeWidgetItem(device);
    auto* emapRecord = new SiteBook();
    emapRecord->kind = "emapList";
    SiteBook::SetOnItem(emap, emapRecord);
    device->UpdateSiteBookItem(emap);
    EXPECT_EQ(emapRecord->index, device->GetDeviceIndex());
    EXPECT_EQ(emapRecord->emapPath, "/maps/floor.png");
}

TEST_F(SessionTest, DestroyedWhileConnecting)
{
    SessionDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    // Destroyed while the live connect waits for its turn.
    CModuleDevice* first = AddRecorder("first", sim->Port());
    first->StartConnect(0);
    ASSERT_TRUE(WaitFor([&] { return CModuleDeviceTestAccess::IsConnecting(*first); }));
    DeleteRecorder(first);
    // Destroyed while logging in on the live connection.
    CModuleDevice* second = AddRecorder("second", sim->Port());
    second->StartConnect(0);
    ASSERT_TRUE(WaitFor([&] { return second->IsSocketConnected(); }));
    DeleteRecorder(second);
    // Let anything still queued for them run into nothing.
    WaitFor([] { return false; }, 800);
    CModuleDevice* third = AddRecorder("third", sim->Port());
    EXPECT_TRUE(ConnectAndLogin(third, 0));
}

TEST_F(SessionTest, ReconnectedSeveralTimes)
{
    SessionDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("again", sim->Port());
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(ConnectAndLogin(device, 1));
        EXPECT_EQ(device->childCount(), 4);
        device->SetPlaybackActive(true);
        device->QueueFrameData(round % 4, 0, 0, 50000, 0);
        WaitFor([&] { return CModuleDeviceTestAccess::GetQueuedRequestCount(*device) == 0; });
        // Let live frames flow into the connections' buffers for a moment.
        WaitFor([] { return false; }, 300);
        device->Disconnect();
        ASSERT_TRUE(WaitFor([device] { return !device->IsLoggedIn(); }));
        EXPECT_EQ(device->childCount(), 0);
    }
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    DeleteRecorder(device);
}

TEST_F(SessionTest, PlaybackConnectionForgetsBuffersFreedWhenTheLiveOneDrops)
{
    SessionDvrSim* sim = StartSim({"--channels", "2"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("drop", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    CModuleNetwork* playback = device->GetPlaybackNetwork();
    ASSERT_TRUE(playback);
    ASSERT_TRUE(WaitFor([playback] { return playback->IsConnected(); }));

    // One frame-header request of 100 bytes for slot 0 (tag 0), written out by hand.
    const QByteArray entry = FromHex("00000000 00 640000 0000000000000000 00000000 64000000");
    QSignalSpy headers(playback, &CModuleNetwork::SetRecvFrameHeader);
    ASSERT_TRUE(playback->SendFrameListRequest(1, entry.constData()));
    ASSERT_TRUE(WaitFor([&] { return headers.count() >= 1; }));
    EXPECT_EQ(headers.at(0).at(0).toInt(), 0);
    EXPECT_EQ(headers.at(0).at(1).toInt(), 100) << "the header went into the session's buffer";

    // The live connection goes down on its own; the playback connection stays up.
    CNetTypeMirel* liveEngine = device->GetLiveNetwork()->findChild<CNetTypeMirel*>();
    ASSERT_TRUE(liveEngine);
    liveEngine->Disconnect();
    ASSERT_TRUE(WaitFor([device] { return !device->IsLoggedIn(); }));
    ASSERT_TRUE(playback->IsConnected());

    // The same reply now finds no buffer: the session's buffers were unregistered before they
    // were freed, so nothing is written into freed memory.
    headers.clear();
    const int before = sim->Messages(0x66).size();
    ASSERT_TRUE(playback->SendFrameListRequest(1, entry.constData()));
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x66).size() > before; }));
    WaitFor([] { return false; }, 500);
    for (const QList<QVariant>& args : headers)
        EXPECT_NE(args.at(1).toInt(), 100);
}

TEST_F(SessionTest, RecorderMadeWhenTheTableIsFullNeverConnects)
{
    CModuleDevice filler(nullptr, -1);
    for (int i = 0; i < RecorderTable::kSlots; ++i)
        ASSERT_TRUE(hub->AddDevice(i, &filler));
    {
        CModuleDevice late(nullptr, 0);
        EXPECT_EQ(late.GetDeviceIndex(), -1);
        late.StartConnect(0);
        WaitFor([] { return false; }, 300);
        EXPECT_TRUE(hub->boxCalls.empty());
        EXPECT_EQ(late.GetLiveNetwork(), nullptr);
    }
    // Destroying it left the table alone.
    for (int i = 0; i < RecorderTable::kSlots; ++i)
        EXPECT_TRUE(hub->RemoveDevice(i)) << i;
}

TEST_F(SessionTest, DestroyedFromInsideItsOwnLoginFailure)
{
    SessionDvrSim* sim = StartSim({"--channels", "2", "--fail", "refuse-login"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("gone", sim->Port());
    const int index = device->GetDeviceIndex();
    // The failure report reaches the hub while the connection is still inside its socket's
    // notification; the hub drops the recorder right there.
    hub->onBox = [&](const BoxCall& call) {
        if (call.option == "stop" && device) {
            CModuleDevice* doomed = device;
            device = nullptr;
            DeleteRecorder(doomed);
        }
    };
    device->StartConnect(0);
    ASSERT_TRUE(WaitFor([&] { return device == nullptr; }));
    hub->onBox = nullptr;
    // Let the connections go.
    WaitFor([] { return false; }, 500);
    EXPECT_EQ(hub->GetDevice(index), nullptr);
    ASSERT_TRUE(WaitFor([&] { return sim->Events("disconnect").size() >= 2; }));
}
