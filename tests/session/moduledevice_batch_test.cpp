// Playback frame requests sent in batches by the session timer: the 24-byte entries of a large
// frame, the tags, the 999-entry limit and the give-up of a batch whose replies never come.
#include <QJsonObject>

#include "session/playbackrequestbatcher.h"
#include "session/support/moduledevice_testaccess.h"
#include "session/support/session_fixture.h"

namespace {

QByteArray LastBatch(SessionDvrSim* sim)
{
    const QList<QJsonObject> batches = sim->Messages(0x66);
    if (batches.isEmpty())
        return QByteArray();
    return QByteArray::fromHex(batches.last().value("hex").toString().toLatin1());
}

} // namespace

TEST_F(SessionTest, LargeFrameBecomesFourEntries)
{
    SessionDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("batch", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    device->SetPlaybackActive(true);

    // A playback frame of 100,000 bytes at recorder offset 0x1_0000_0010 on channel 3, request 7.
    device->QueueFrameData(3, 0, Q_INT64_C(0x100000010), 100000, 7);
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x66).size() >= 1; }));
    const QByteArray batch = LastBatch(sim);
    // 12 + 4 x 24 = 108 bytes; sub-code 200 (0xC8).
    ASSERT_EQ(batch.size(), 108);
    EXPECT_EQ(Hex(batch.left(12)), Hex(FromHex("00000068 00a16600 c8 6c0000")));
    // tag 7103 = request number 7 x 1000 + channel 3 + 100 (playback frame) = 0x1BBF
    const char* entries[4] = {
        "bf1b0000 00 008000 1000000001000000 00000000 a0860100",
        "bf1b0000 00 008000 1080000001000000 00800000 a0860100",
        "bf1b0000 00 008000 1000010001000000 00000100 a0860100",
        "bf1b0000 00 a00600 1080010001000000 00800100 a0860100",
    };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Hex(batch.mid(12 + 24 * i, 24)), Hex(FromHex(entries[i]))) << "entry " << i;
    EXPECT_EQ(CModuleDeviceTestAccess::GetFrameRequestsInFlight(*device), 1) << "one request went out";
}

TEST_F(SessionTest, SearchFrameTagAndQueuedRecordsWaitForReplies)
{
    SessionDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("search", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    device->SetPlaybackActive(true);

    device->QueueFrameHeader(3, 20, 512, 336, 7);
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x66).size() >= 1; }));
    // tag 7003 = 0x1B5B (search frame: no 100), frame byte 20, length 336 = 0x150
    EXPECT_EQ(Hex(LastBatch(sim)),
              Hex(FromHex("0000002000a16600c8240000 5b1b0000 14 500100 0002000000000000 00000000 50010000")));

    // While the reply is outstanding, further records wait in the list.
    device->QueueFrameHeader(1, 0, 0, 100, 0);
    device->QueueFrameHeader(2, 0, 0, 100, 0);
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(sim->Messages(0x66).size(), 1);
    EXPECT_EQ(CModuleDeviceTestAccess::GetQueuedRequestCount(*device), 2);

    CModuleDeviceTestAccess::LowerFrameRequestCount(*device);
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x66).size() >= 2; }));
    EXPECT_EQ(LastBatch(sim).size(), 12 + 2 * 24);
    EXPECT_EQ(CModuleDeviceTestAccess::GetFrameRequestsInFlight(*device), 2);
}

TEST_F(SessionTest, BatchNeverExceeds999Entries)
{
    // The recorder leaves the requests unanswered: only the test lowers the count in flight.
    SessionDvrSim* sim = StartSim({"--channels", "4", "--fail", "no-frame-reply"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("many", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));

    // 300 frames of four pieces each: 1200 entries. Queued while playback is off, then let go.
    for (int i = 0; i < 300; ++i)
        device->QueueFrameData(i % 4, 0, qint64(i) * 100000, 100000, 0);
    device->SetPlaybackActive(true);
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x66).size() >= 1; }));
    // 249 whole frames (996 entries) fit; the 250th waits for the next batch.
    EXPECT_EQ(LastBatch(sim).size(), 12 + 996 * 24);
    EXPECT_EQ(CModuleDeviceTestAccess::GetFrameRequestsInFlight(*device), 249);
    EXPECT_EQ(CModuleDeviceTestAccess::GetQueuedRequestCount(*device), 51);

    for (int i = 0; i < 249; ++i)
        CModuleDeviceTestAccess::LowerFrameRequestCount(*device);
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x66).size() >= 2; }));
    EXPECT_EQ(LastBatch(sim).size(), 12 + 204 * 24);
    EXPECT_EQ(CModuleDeviceTestAccess::GetQueuedRequestCount(*device), 0);
}

TEST_F(SessionTest, LostReplyIsGivenUpAfterTheTimeOut)
{
    SessionDvrSim* sim = StartSim({"--channels", "2"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("lost", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    device->SetPlaybackActive(true);

    device->QueueFrameData(0, 0, 0, 1000, 0);
    ASSERT_TRUE(WaitFor([&] { return sim->Messages(0x66).size() >= 1; }));
    device->QueueFrameData(1, 0, 0, 1000, 0);
    // Nobody lowers the count (no reply is taken): the next batch still goes after the time-out.
    ASSERT_TRUE(
        WaitFor([&] { return sim->Messages(0x66).size() >= 2; }, PlaybackRequestBatcher::kReplyTimeoutMs + 10000));
    EXPECT_EQ(CModuleDeviceTestAccess::GetQueuedRequestCount(*device), 0);
}

TEST_F(SessionTest, RequestsWithoutPlaybackAreDroppedUnsent)
{
    SessionDvrSim* sim = StartSim({"--channels", "2"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("idle", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    device->QueueFrameData(0, 0, 0, 1000, 0);
    ASSERT_TRUE(WaitFor([&] { return CModuleDeviceTestAccess::GetQueuedRequestCount(*device) == 0; }));
    WaitFor([] { return false; }, 200);
    EXPECT_TRUE(sim->Messages(0x66).isEmpty());
    EXPECT_EQ(CModuleDeviceTestAccess::GetFrameRequestsInFlight(*device), 0);
}
