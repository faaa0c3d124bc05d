// The session's media intake without a recorder: the live drop rule on a flooded queue, frame
// delays and marks, the queue bound, the playback tag sequence and the fast playback speed.
#include <QThread>

#include "session/liveframerecord.h"
#include "session/support/moduledevice_testaccess.h"
#include "session/support/session_fixture.h"

namespace {

// A predicted (0) or key (1) frame without payload at the given tick.
void Frame(CModuleDevice* device, int ch, int type, int tick)
{
    device->OnRecvLiveVideo(ch, 0, 2, 20260101, 120000, type, false, tick, 0);
}

} // namespace

TEST_F(SessionTest, LiveDropRuleStartsAbove45QueuedAndStopsBelowTheFrameRate)
{
    CModuleDevice* device = AddRecorder("flood", ClosedPort());
    ASSERT_GE(device->GetDeviceIndex(), 0);
    CModuleDeviceTestAccess::SetLiveFrameRate(*device, 0, 10);

    // 46 frames queue; the drop starts when a frame arrives while 46 are queued (3 x 15 = 45).
    for (int i = 0; i < 46; ++i)
        Frame(device, 0, 0, 1000 + i);
    EXPECT_EQ(CModuleDeviceTestAccess::GetLiveQueueCount(*device, 0), 46);
    EXPECT_FALSE(CModuleDeviceTestAccess::IsLiveDropping(*device, 0));
    Frame(device, 0, 0, 2000);
    EXPECT_TRUE(CModuleDeviceTestAccess::IsLiveDropping(*device, 0));
    EXPECT_EQ(CModuleDeviceTestAccess::GetLiveQueueCount(*device, 0), 46)
        << "the predicted frame that started dropping is discarded";
    Frame(device, 0, 1, 2001);
    EXPECT_EQ(CModuleDeviceTestAccess::GetLiveQueueCount(*device, 0), 47) << "key frames pass";
    Frame(device, 0, 3, 2002);
    EXPECT_EQ(CModuleDeviceTestAccess::GetLiveQueueCount(*device, 0), 48) << "any type other than 0 passes";

    // The consumer takes all but 10: still dropping at 10 queued (not below the rate).
    while (CModuleDeviceTestAccess::GetLiveQueueCount(*device, 0) > 10)
        CModuleDeviceTestAccess::TakeLiveRecord(*device, 0);
    Frame(device, 0, 0, 2003);
    EXPECT_EQ(CModuleDeviceTestAccess::GetLiveQueueCount(*device, 0), 10);
    EXPECT_TRUE(CModuleDeviceTestAccess::IsLiveDropping(*device, 0));
    CModuleDeviceTestAccess::TakeLiveRecord(*device, 0);
    Frame(device, 0, 0, 2004);
    EXPECT_FALSE(CModuleDeviceTestAccess::IsLiveDropping(*device, 0)) << "9 queued is below the frame rate";
    EXPECT_EQ(CModuleDeviceTestAccess::GetLiveQueueCount(*device, 0), 10);

    // Another channel is not affected by channel 0's backlog.
    Frame(device, 1, 0, 10);
    EXPECT_EQ(CModuleDeviceTestAccess::GetLiveQueueCount(*device, 1), 1);
}

TEST_F(SessionTest, LiveDropRuleUsesTheFrameRateWhenAbove15)
{
    CModuleDevice* device = AddRecorder("fast", ClosedPort());
    CModuleDeviceTestAccess::SetLiveFrameRate(*device, 2, 30);
    for (int i = 0; i < 91; ++i)
        Frame(device, 2, 0, 1 + i);
    EXPECT_FALSE(CModuleDeviceTestAccess::IsLiveDropping(*device, 2)) << "90 queued is not above 3 x 30";
    Frame(device, 2, 0, 200);
    EXPECT_TRUE(CModuleDeviceTestAccess::IsLiveDropping(*device, 2));
}

struct DelayCase
{
    const char* name;
    int previousTick; // 0: first frame of the channel
    int tick;
    int delay;
};

class LiveDelayTest : public SessionTest, public ::testing::WithParamInterface<DelayCase>
{};

TEST_P(LiveDelayTest, DelayIsTheTickDifferenceBoundedToOneSecond)
{
    const DelayCase& c = GetParam();
    CModuleDevice* device = AddRecorder("delays", ClosedPort());
    if (c.previousTick != 0) {
        Frame(device, 5, 1, c.previousTick);
        CModuleDeviceTestAccess::TakeLiveRecord(*device, 5);
    }
    Frame(device, 5, 0, c.tick);
    LiveFrameRecordPtr r = CModuleDeviceTestAccess::TakeLiveRecord(*device, 5);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->delay, c.delay);
}

INSTANTIATE_TEST_SUITE_P(Ticks, LiveDelayTest,
                         ::testing::Values(DelayCase{"First", 0, 5000, 0}, DelayCase{"Normal", 5000, 5033, 33},
                                           DelayCase{"Late", 5000, 7500, 1000},
                                           DelayCase{"Backwards", 5000, 4000, 0}),
                         [](const ::testing::TestParamInfo<DelayCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SessionTest, LiveFrameFieldsTypePlusTenIsAMarkedKeyFrame)
{
    CModuleDevice* device = AddRecorder("fields", ClosedPort());
    device->OnRecvLiveVideo(3, 0, 2, 20260315, 101502, 11, true, 77, 9);
    LiveFrameRecordPtr r = CModuleDeviceTestAccess::TakeLiveRecord(*device, 3);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->channel, 3);
    EXPECT_EQ(r->frameType, 1);
    EXPECT_EQ(r->marked, 1);
    EXPECT_EQ(r->kind, 2);
    EXPECT_EQ(r->date, 20260315);
    EXPECT_EQ(r->time, 101502);
    EXPECT_EQ(r->decodeOnly, 1);
    EXPECT_EQ(r->sequence, 9);
    EXPECT_EQ(r->size, 0) << "a frame of size 0 is queued without payload";
    EXPECT_FALSE(r->payload);

    // A channel out of range is dropped.
    device->OnRecvLiveVideo(16, 0, 2, 0, 0, 1, false, 1, 0);
    device->OnRecvLiveVideo(-1, 0, 2, 0, 0, 1, false, 1, 0);
    for (int ch = 0; ch < 16; ++ch)
        EXPECT_EQ(CModuleDeviceTestAccess::GetLiveQueueCount(*device, ch), 0);
}

TEST_F(SessionTest, LiveQueueIsBoundedWhenNothingTakesFromIt)
{
    CModuleDevice* device = AddRecorder("bound", ClosedPort());
    for (int i = 0; i < LiveFrameQueue::kBound + 50; ++i) {
        auto r = std::make_unique<LiveFrameRecord>();
        r->channel = 4;
        r->sequence = i;
        CModuleDeviceTestAccess::AppendLiveRecord(*device, std::move(r));
    }
    EXPECT_EQ(CModuleDeviceTestAccess::GetLiveQueueCount(*device, 4), LiveFrameQueue::kBound);
    LiveFrameRecordPtr first = CModuleDeviceTestAccess::TakeLiveRecord(*device, 4);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->sequence, 50) << "the oldest records went first";
}

TEST(LiveFrameRecordTest, PayloadIsAnOwnedCopyWithSixteenSpareBytes)
{
    const char data[] = "abcdef";
    LiveFrameRecord r;
    r.CopyPayload(data, 6);
    ASSERT_TRUE(r.HasPayload());
    EXPECT_EQ(r.size, 6);
    EXPECT_NE(r.payload.get(), data);
    EXPECT_EQ(QByteArray(r.payload.get(), 6), QByteArray("abcdef"));
    EXPECT_EQ(QByteArray(r.payload.get() + 6, 16), QByteArray(16, '\0'));
    r.CopyPayload(data, 0);
    EXPECT_FALSE(r.HasPayload());
    EXPECT_EQ(r.size, 0);
}

struct TagCase
{
    const char* name;
    int current;
    int next;
};

class PlaybackTagTest : public ::testing::TestWithParam<TagCase>
{};

TEST_P(PlaybackTagTest, NextTag)
{
    EXPECT_EQ(CModuleDeviceTestAccess::NextPlaybackTag(GetParam().current), GetParam().next);
}

INSTANTIATE_TEST_SUITE_P(Tags, PlaybackTagTest,
                         ::testing::Values(TagCase{"First", 1, 2}, TagCase{"Middle", 57, 58},
                                           TagCase{"Wrap", 100, 1}, TagCase{"AfterStop", 999, 1},
                                           TagCase{"AboveHundred", 101, 1}, TagCase{"Zero", 0, 1}),
                         [](const ::testing::TestParamInfo<TagCase>& info) {
                             return std::string(info.param.name);
                         });

struct SpeedCase
{
    const char* name;
    int speed;
    int code;
};

class SpeedCodeTest : public SessionTest, public ::testing::WithParamInterface<SpeedCase>
{};

TEST_P(SpeedCodeTest, FastSpeedOutsideTwoToEightRunsAsTwo)
{
    CModuleDevice* device = AddRecorder("speed", ClosedPort());
    CModuleDeviceTestAccess::SetPlaybackMode(*device, PlaybackMode::FastForward, GetParam().speed);
    EXPECT_EQ(device->GetSpeedCode(SchedulerKind::Playback), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Speeds, SpeedCodeTest,
                         ::testing::Values(SpeedCase{"Zero", 0, 2}, SpeedCase{"Two", 2, 2},
                                           SpeedCase{"Five", 5, 5}, SpeedCase{"Eight", 8, 8},
                                           SpeedCase{"Nine", 9, 2}),
                         [](const ::testing::TestParamInfo<SpeedCase>& info) {
                             return std::string(info.param.name);
                         });
