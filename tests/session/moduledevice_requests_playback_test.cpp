// Remote playback control against the simulator: the extended playback control (command 0x95)
// each button sends, the fast speed cycle, the playback tag after a stop, the clamp to the
// recorded range and playback audio. The expected messages are written out byte by byte:
//
//   0..3 length (total - 4, big-endian), 4..7 00 A1 95 00, 8 sub-code 0, 9..11 total (LE)
//   12 start (2) or stop (0), 13 tag, 14 mode (16-bit), 16 speed code, 17 audio channel + 1,
//   18 channel mask (16-bit), 20 date, 24 time, 28 frame rate, 29 = 2, 30..31 zero;
//   the 36-byte form (key frames only, and every stop) adds 32..33 zero and 34 the mask again.
#include <QDir>
#include <QDirIterator>

#include "net/modulenetwork.h"
#include "session/moduledevice.h"
#include "session/support/moduledevice_testaccess.h"
#include "session/support/requests2_support.h"
#include "session/support/session_fixture.h"

namespace {

constexpr int kDay = 20240115; // 0x0134D6F3, on the wire f3 d6 34 01
constexpr int kTime = 20000;   // 02:00:00 = 0x4E20, on the wire 20 4e 00 00

QByteArray PlaybackControls(const SessionDvrSim* sim)
{
    const QList<QByteArray> all = ReceivedMessages(sim, 0x95);
    return all.isEmpty() ? QByteArray() : all.last();
}

class PlaybackControlTest : public SessionTest
{
protected:
    // A logged-in recorder of four channels whose day list spans kDay 01:30:15 to 02:45:59;
    // only channel 1 plays.
    void Open(const QStringList& extra = {})
    {
        QStringList options{"--channels",     "4",      "--record-date", QString::number(kDay),
                            "--record-start", "013015", "--record-end",  "024559"};
        options << extra;
        sim = StartSim(options);
        ASSERT_TRUE(sim);
        device = AddRecorder("play", sim->Port());
        ASSERT_TRUE(ConnectAndLogin(device, 0));
        CModuleDeviceTestAccess::SetRecordedRange(*device, kDay, 13015, kDay, 24559);
        CModuleDeviceTestAccess::SetPlaybackDate(*device, kDay, kTime);
        for (int ch = 0; ch < 4; ++ch)
            device->SetPlaybackVisible(ch, false);
        device->ToggleRecord(16 + 1);
        ASSERT_TRUE(device->IsRecordMarked(17));
    }

    SessionDvrSim* sim = nullptr;
    CModuleDevice* device = nullptr;
};

struct ButtonStep
{
    int code;
    const char* wire; // the 0x95 it sends
    int speed;        // the session's speed afterwards
    int tag;          // the session's tag afterwards
};

TEST_F(PlaybackControlTest, ButtonSequenceOnTheWire)
{
    Open();
    const ButtonStep steps[] = {
        // forward: tag 2, mode 16, one channel: every frame (rate 0)
        {16, "0000001c 00a19500 00200000 02 02 1000 00 00 0200 f3d63401 204e0000 00 02 0000", 0, 2},
        // fast forward four times: speed code 3 on the wire, rate 30; the session's speed 2..5
        {32, "0000001c 00a19500 00200000 02 03 2000 03 00 0200 f3d63401 204e0000 1e 02 0000", 2, 3},
        {32, "0000001c 00a19500 00200000 02 04 2000 03 00 0200 f3d63401 204e0000 1e 02 0000", 3, 4},
        {32, "0000001c 00a19500 00200000 02 05 2000 03 00 0200 f3d63401 204e0000 1e 02 0000", 4, 5},
        {32, "0000001c 00a19500 00200000 02 06 2000 03 00 0200 f3d63401 204e0000 1e 02 0000", 5, 6},
        // fast backward restarts at speed 2
        {512, "0000001c 00a19500 00200000 02 07 0002 03 00 0200 f3d63401 204e0000 1e 02 0000", 2, 7},
        // stop: the 36-byte form with mask ffff, tag 999
        {2, "00000020 00a19500 00240000 00 00 0200 00 00 ffff 00000000 00000000 00 02 00000000 ffff", 2, 999},
        // backward after the stop carries tag 1
        {256, "0000001c 00a19500 00200000 02 01 0001 00 00 0200 f3d63401 204e0000 00 02 0000", 0, 1},
        // the local stop code goes out as it is
        {4, "0000001c 00a19500 00200000 02 02 0400 00 00 0200 f3d63401 204e0000 00 02 0000", 0, 2},
    };
    int sent = ReceivedMessages(sim, 0x95).size();
    for (const ButtonStep& step : steps) {
        device->SetPlaybackCtrl(PlaybackMode(step.code));
        ASSERT_TRUE(WaitFor([&] { return ReceivedMessages(sim, 0x95).size() == sent + 1; }))
            << "code " << step.code;
        ++sent;
        EXPECT_EQ(Hex(PlaybackControls(sim)), Hex(FromHex(step.wire))) << "code " << step.code;
        EXPECT_EQ(device->GetPlaybackSpeed(), step.speed) << "code " << step.code;
        EXPECT_EQ(CModuleDeviceTestAccess::GetPlaybackSequence(*device), step.tag) << "code " << step.code;
    }
    // Every start asked the recorder for its full rate first (0x8D, value 64); the stop did not.
    ASSERT_TRUE(FencePlayback(sim, device));
    int fullRate = 0;
    for (const QByteArray& m : ReceivedMessages(sim, 0x8D)) {
        if (Word32(m, 12) == 64) {
            EXPECT_EQ(Hex(m), Hex(FromHex("00000010 00a18d00 00140000 40000000 00000000")));
            ++fullRate;
        }
    }
    EXPECT_EQ(fullRate, 8);
    EXPECT_EQ(ReceivedMessages(sim, 0x95).size(), sent) << "nothing else went out";
}

// The session's speed after pressing one fast button n times in a row.
struct SpeedCase
{
    const char* name;
    QList<int> presses;
    QList<int> speeds;
};

void PrintTo(const SpeedCase& c, std::ostream* os)
{
    *os << c.name;
}

class SpeedCycleTest : public PlaybackControlTest, public ::testing::WithParamInterface<SpeedCase>
{};

TEST_P(SpeedCycleTest, Speeds)
{
    Open();
    const SpeedCase& c = GetParam();
    QList<int> speeds;
    for (int code : c.presses) {
        device->SetPlaybackCtrl(PlaybackMode(code));
        speeds.append(device->GetPlaybackSpeed());
    }
    EXPECT_EQ(speeds, c.speeds);
}

const SpeedCase kSpeedCases[] = {
    {"FourPressesStepTwoToFive", {32, 32, 32, 32}, {2, 3, 4, 5}},
    {"EightWrapsToTwo", {32, 32, 32, 32, 32, 32, 32, 32}, {2, 3, 4, 5, 6, 7, 8, 2}},
    {"OtherFastModeRestarts", {512, 512, 32, 32, 512}, {2, 3, 2, 3, 2}},
    {"PlainModeResetsToZero", {32, 32, 16, 32}, {2, 3, 0, 2}},
};

INSTANTIATE_TEST_SUITE_P(Requests2, SpeedCycleTest, ::testing::ValuesIn(kSpeedCases),
                         [](const ::testing::TestParamInfo<SpeedCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(PlaybackControlTest, FastPlayAfterPlainRequestRunsAtSpeedTwo)
{
    Open();
    // A play request in a fast mode leaves the speed at 0; the next press of that mode must not
    // run at speed 1.
    ASSERT_TRUE(device->RequestPlayback(kTime, 32));
    EXPECT_EQ(device->GetPlaybackMode(), PlaybackMode::FastForward);
    EXPECT_EQ(device->GetPlaybackSpeed(), 0);
    device->SetPlaybackCtrl(PlaybackMode::FastForward);
    EXPECT_EQ(device->GetPlaybackSpeed(), 2);
}

TEST_F(PlaybackControlTest, PlayFromATimeStopsFirst)
{
    Open();
    ASSERT_TRUE(device->RequestPlayback(13000, 256));
    ASSERT_TRUE(WaitFor([&] { return ReceivedMessages(sim, 0x95).size() == 2; }));
    const QList<QByteArray> controls = ReceivedMessages(sim, 0x95);
    EXPECT_EQ(
        Hex(controls[0]),
        Hex(FromHex("00000020 00a19500 00240000 00 00 0200 00 00 ffff 00000000 00000000 00 02 00000000 ffff")));
    // backward from 01:30:00 (0x32c8), which the day list moves to its first time 01:30:15
    EXPECT_EQ(Hex(controls[1]),
              Hex(FromHex("0000001c 00a19500 00200000 02 01 0001 00 00 0200 f3d63401 d7320000 00 02 0000")));

    // Continuing a search needs its pop-up: nothing goes out without one.
    EXPECT_TRUE(device->RequestPlayback(-2, 0));
    EXPECT_TRUE(device->RequestPlayback(-3, 0));
    EXPECT_TRUE(device->RequestPlayback(-4, 0));
    ASSERT_TRUE(FencePlayback(sim, device));
    EXPECT_EQ(ReceivedMessages(sim, 0x95).size(), 2);
}

TEST_F(PlaybackControlTest, TagWrapsAndRestartsAfterStop)
{
    Open();
    CModuleDeviceTestAccess::SetPlaybackTag(*device, 99);
    device->SetPlaybackCtrl(PlaybackMode::Forward);
    EXPECT_EQ(CModuleDeviceTestAccess::GetPlaybackSequence(*device), 100);
    device->SetPlaybackCtrl(PlaybackMode::Forward);
    EXPECT_EQ(CModuleDeviceTestAccess::GetPlaybackSequence(*device), 1) << "100 wraps to 1";
    device->SetPlaybackCtrl(PlaybackMode::Stop);
    EXPECT_EQ(CModuleDeviceTestAccess::GetPlaybackSequence(*device), 999);
    device->SetPlaybackCtrl(PlaybackMode::Forward);
    EXPECT_EQ(CModuleDeviceTestAccess::GetPlaybackSequence(*device), 1) << "the first request after a stop";
    ASSERT_TRUE(WaitFor([&] { return ReceivedMessages(sim, 0x95).size() == 4; }));
    EXPECT_EQ(quint8(PlaybackControls(sim)[13]), 1);
}

TEST_F(PlaybackControlTest, StopEmptiesTheRequestQueue)
{
    Open();
    device->SetPlaybackCtrl(PlaybackMode::Forward);
    ASSERT_TRUE(WaitFor([&] { return ReceivedMessages(sim, 0x95).size() == 1; }));
    // Queued and stopped in one go: the send timer has no turn in between.
    device->QueueFrameData(1, 0, 0, 1000, 0);
    device->QueueFrameHeader(1, 0, 512, 336, 0);
    ASSERT_EQ(CModuleDeviceTestAccess::GetQueuedRequestCount(*device), 2);
    device->SetPlaybackCtrl(PlaybackMode::Stop);
    EXPECT_EQ(CModuleDeviceTestAccess::GetQueuedRequestCount(*device), 0);
    EXPECT_EQ(CModuleDeviceTestAccess::GetFrameRequestsInFlight(*device), 0);
    ASSERT_TRUE(FencePlayback(sim, device));
    ASSERT_TRUE(FenceLive(sim, device));
    EXPECT_TRUE(ReceivedMessages(sim, 0x66).isEmpty()) << "no frame request went out";
    EXPECT_EQ(ReceivedMessages(sim, 0x95).size(), 2) << "only the stop followed";
}

TEST_F(PlaybackControlTest, NoPlayingChannelSendsNothing)
{
    Open();
    device->ToggleRecord(16 + 1);
    ASSERT_FALSE(device->IsRecordMarked(17));
    device->SetPlaybackCtrl(PlaybackMode::Forward);
    device->SetPlaybackCtrl(PlaybackMode::FastForward);
    ASSERT_TRUE(FencePlayback(sim, device));
    EXPECT_TRUE(ReceivedMessages(sim, 0x95).isEmpty());
    for (const QByteArray& m : ReceivedMessages(sim, 0x8D))
        EXPECT_EQ(Word32(m, 12), kFenceRate);
}

TEST_F(PlaybackControlTest, SeveralChannelsAskFewerFrames)
{
    Open();
    device->ToggleRecord(16 + 0);
    device->ToggleRecord(16 + 3);
    device->SetPlaybackCtrl(PlaybackMode::Forward);
    ASSERT_TRUE(WaitFor([&] { return ReceivedMessages(sim, 0x95).size() == 1; }));
    // channels 0, 1, 3: mask 0x000b, rate 4 at stream quality 1
    EXPECT_EQ(Hex(PlaybackControls(sim)),
              Hex(FromHex("0000001c 00a19500 00200000 02 02 1000 00 00 0b00 f3d63401 204e0000 04 02 0000")));
}

struct ClampCase
{
    const char* name;
    int date;
    int time;
    int wireDate;
    int wireTime;
};

void PrintTo(const ClampCase& c, std::ostream* os)
{
    *os << c.name;
}

class ClampTest : public PlaybackControlTest, public ::testing::WithParamInterface<ClampCase>
{};

TEST_P(ClampTest, DateAndTimeKeptInsideTheDayList)
{
    Open();
    // The day list runs from 10 January 01:30:15 to 15 January 02:45:59.
    CModuleDeviceTestAccess::SetRecordedRange(*device, 20240110, 13015, kDay, 24559);
    const ClampCase& c = GetParam();
    CModuleDeviceTestAccess::SetPlaybackDate(*device, c.date, c.time);
    device->SetPlaybackCtrl(PlaybackMode::Forward);
    ASSERT_TRUE(WaitFor([&] { return ReceivedMessages(sim, 0x95).size() == 1; }));
    const QByteArray m = PlaybackControls(sim);
    EXPECT_EQ(Word32(m, 20), c.wireDate);
    EXPECT_EQ(Word32(m, 24), c.wireTime);
}

const ClampCase kClampCases[] = {
    {"LaterTimeOnLastDate", kDay, 235000, kDay, 24559},
    {"AfterLastDate", 20240120, 10000, kDay, 10000},
    {"BeforeFirstDate", 20240101, 10000, 20240110, 13015},
    {"InsideTheRange", 20240112, 120000, 20240112, 120000},
    {"EarlierTimeOnFirstDate", 20240110, 5, 20240110, 13015},
};

INSTANTIATE_TEST_SUITE_P(Requests2, ClampTest, ::testing::ValuesIn(kClampCases),
                         [](const ::testing::TestParamInfo<ClampCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(PlaybackControlTest, PlaybackAudioOfTheOnlyPlayingChannel)
{
    Open();
    device->SetPlaybackCtrl(PlaybackMode::Forward);
    ASSERT_TRUE(device->StartPlaybackAudio(1));
    EXPECT_EQ(hub->GetAudioDeviceIndex(), device->GetDeviceIndex());
    ASSERT_TRUE(WaitFor([&] { return ReceivedMessages(sim, 0x95).size() == 2; }));
    EXPECT_EQ(quint8(PlaybackControls(sim)[17]), 2) << "channel 1 + 1";
    ASSERT_TRUE(device->StopPlaybackAudio());
    ASSERT_TRUE(WaitFor([&] { return ReceivedMessages(sim, 0x95).size() == 3; }));
    EXPECT_EQ(quint8(PlaybackControls(sim)[17]), 0);
    EXPECT_FALSE(device->StopPlaybackAudio()) << "no playback audio channel left";
    EXPECT_FALSE(device->StartPlaybackAudio(16)) << "no such channel";
}

// ---------------------------------------------------------------------------------------------
// Local recording

class RecordToggleTest : public SessionTest
{};

TEST_F(RecordToggleTest, SearchIndexArmsTheSearchWriterOnce)
{
    SessionDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("rec", sim->Port());
    device->ToggleRecord(17);
    EXPECT_TRUE(device->IsRecordMarked(17));
    EXPECT_FALSE(device->IsRecordMarked(1));
    EXPECT_TRUE(QDir(ProgramDir() + "/backup/Record_Search/rec").exists());
    device->ToggleRecord(17);
    EXPECT_FALSE(device->IsRecordMarked(17));
    device->ToggleRecord(32);
    device->ToggleRecord(-1);
    for (int i = 0; i < 32; ++i)
        EXPECT_FALSE(device->IsRecordMarked(i)) << i;
}

TEST_F(RecordToggleTest, LiveRecordingWritesTheChannelFiles)
{
    SessionDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("live rec", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    device->SetLiveWanted(2, true);
    ASSERT_TRUE(device->OnLiveStart(0));
    device->ToggleRecord(2);
    ASSERT_TRUE(device->IsRecordMarked(2));
    const QString folder = ProgramDir() + "/backup/Record_Live/live rec";
    auto files = [&] {
        QStringList names;
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            names << it.fileName();
        }
        return names;
    };
    // The index file "ih<hhmmss>.003" and the video file "h<hhmmss>.003" of channel 2.
    ASSERT_TRUE(WaitFor([&] {
        const QStringList names = files();
        return names.filter(QRegularExpression("^ih\\d{6}\\.003$")).size() == 1
               && names.filter(QRegularExpression("^h\\d{6}\\.003$")).size() == 1;
    })) << files().join(",").toStdString();

    device->ToggleRecord(2);
    EXPECT_FALSE(device->IsRecordMarked(2));
}

} // namespace
