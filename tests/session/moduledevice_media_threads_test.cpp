// The session threads against the recorder simulator: the live threads fed by hand, the playback
// throttle on the wire, and teardown while the threads run. (The grids, the audio output and
// the processor-load rule are the main window's: those tests sit in the shell suite.)
#include <QTest>
#include <memory>

#include "common/support/decoder_streams.h"
#include "net/modulenetwork.h"
#include "session/liveframerecord.h"
#include "session/moduleplayback.h"
#include "session/support/live_records.h"
#include "session/support/moduledevice_testaccess.h"
#include "session/support/session_fixture.h"

TEST_F(SessionTest, PlaybackThrottleOnTheWireAbove30RecordsPerShownChannel)
{
    SessionDvrSim* sim = StartSim({"--channels", "4", "--login-masks", "0,15,15,15"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("throttle", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(WaitFor([&] { return device->GetPlaybackNetwork()->IsConnected(); }));

    // Channel 0 shown in a playback cell: the limit is 30 x (1 + 1) = 60 queued records.
    device->SetPlaybackGrid(0);
    device->GetCameoRoute(0)->playbackCell = 0;
    device->SetPlaybackActive(true);
    CModuleDeviceTestAccess::SetPlaybackTag(*device, 7);
    CModuleDeviceTestAccess::SetPlaybackMode(*device, PlaybackMode::Forward, 0);
    CModuleDeviceTestAccess::SetRecordedRange(*device, 20260101, 0, 20260101, 235959);
    CModuleDeviceTestAccess::SetPlaybackDate(*device, 20260101, 120000);

    int second = 120000;
    for (int i = 0; i < 120; ++i)
        device->OnRecvPlaybackVideoSec(0, 100, 2, 20260101, ++second, 7, false, 1, 0);
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x8D).size() >= 1; }));
    EXPECT_EQ(CModuleDeviceTestAccess::GetPlaybackRateState(*device), 1);
    // The queue drains; the next block releases the throttle.
    ASSERT_TRUE(WaitFor([&] { return CModuleDeviceTestAccess::GetPlaybackQueueCount(*device, 0) == 0; }, 30000));
    device->OnRecvPlaybackVideoSec(0, 100, 2, 20260101, ++second, 7, false, 1, 0);
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x8D).size() >= 2; }));
    EXPECT_EQ(CModuleDeviceTestAccess::GetPlaybackRateState(*device), 64);

    const QList<QJsonObject> sent = sim->Messages(0x8D);
    ASSERT_EQ(sent.size(), 2) << "sent only on the transitions";
    EXPECT_EQ(sent.at(0).value("hex").toString(), Hex(FromHex("00000010 00a18d00 00 140000 01000000 00000000")));
    EXPECT_EQ(sent.at(1).value("hex").toString(), Hex(FromHex("00000010 00a18d00 00 140000 40000000 00000000")));

    // A block of an older tag, or any block after a stop, is discarded.
    const int queued = CModuleDeviceTestAccess::GetPlaybackQueueCount(*device, 1);
    device->OnRecvPlaybackVideoSec(1, 100, 2, 20260101, ++second, 6, false, 1, 0);
    CModuleDeviceTestAccess::SetPlaybackMode(*device, PlaybackMode::Stop, 0);
    device->OnRecvPlaybackVideoSec(1, 100, 2, 20260101, ++second, 7, false, 1, 0);
    EXPECT_EQ(CModuleDeviceTestAccess::GetPlaybackQueueCount(*device, 1), queued);
}

TEST_F(SessionTest, TeardownWhileThreadsRunFreesEverything)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 30, 10);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    SessionDvrSim* sim = StartSim({"--channels", "4", "--video", stream.path});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("teardown", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    for (int ch = 0; ch < 4; ++ch) {
        // Long delays: the threads are asleep in their pacing when the session goes.
        for (auto& r : StreamRecords(stream, ch, 0, 200)) {
            r->delay = 1000;
            CModuleDeviceTestAccess::AppendLiveRecord(*device, std::move(r));
        }
        device->OnRecvLiveAudio(0, 1500, 1, 20260101, 120000, 0);
    }
    ASSERT_TRUE(WaitFor([&] { return CModuleDeviceTestAccess::GetDecodedFrames(*device, 0) > 0; }));
    ASSERT_TRUE(device->Disconnect());
    ASSERT_TRUE(WaitFor([&] { return !device->IsLoggedIn(); }));
    for (int ch = 0; ch < 4; ++ch) {
        EXPECT_FALSE(CModuleDeviceTestAccess::IsLiveThreadRunning(*device, ch));
        EXPECT_EQ(CModuleDeviceTestAccess::GetLiveQueueCount(*device, ch), 0) << "drained when the thread stopped";
    }
    DeleteRecorder(device);
}

TEST_F(SessionTest, SchedulerFrameRequestGoesOutInPiecesOf32768)
{
    SessionDvrSim* sim = StartSim({"--channels", "4", "--login-masks", "0,15,15,15"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("pieces", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    ASSERT_TRUE(WaitFor([&] { return device->GetPlaybackNetwork()->IsConnected(); }));

    const int before = sim->Messages(0x66).size();
    // Channel 1, file 2, offset 0x100000005, 40000 bytes, header prefetch kind 6.
    ASSERT_TRUE(device->SendFrameListRequest(1, 2, 0x100000005LL, 40000, 6));
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x66).size() > before; }));
    const QByteArray expected = FromHex("00000038 00a16600 c8 3c0000"
                                        // kind x 1000 + channel, file, piece size, file offset,
                                        // piece offset, whole size
                                        "71170000 02 008000 0500000001000000 00000000 409c0000"
                                        "71170000 02 401c00 0580000001000000 00800000 409c0000");
    EXPECT_EQ(sim->Messages(0x66).at(before).value("hex").toString(), Hex(expected));

    EXPECT_FALSE(device->SendFrameListRequest(1, 2, 0, 0, 6)) << "nothing to ask for";
    EXPECT_FALSE(device->SendFrameListRequest(17, 2, 0, 100, 6)) << "no such channel";
    EXPECT_FALSE(device->SendFrameListRequest(1, 2, 0, 100 * 32768, 6)) << "more than 99 pieces";
}
