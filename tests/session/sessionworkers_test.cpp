// The session's workers built from plain state and fakes of their small interfaces, without a
// session object: the search steps and the record list intake.
#include <QObject>
#include <QString>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

#include "session/channelstate.h"
#include "session/moduleplayback.h"
#include "session/playbackslot.h"
#include "session/playbackstate.h"
#include "session/recordlistintake.h"
#include "session/searchcontrol.h"
#include "session/searchstate.h"
#include "session/sessionlink.h"
#include "session/slotreceivebuffers.h"
#include "session/support/playback_host.h"

namespace {

// ---- search steps

struct SchedulerCase
{
    const char* name;
    SearchState::Popup popup;
    int deviceIndex;
    bool made;
};

std::ostream& operator<<(std::ostream& os, const SchedulerCase& c)
{
    return os << c.name;
}

class SearchControlSchedulers : public ::testing::TestWithParam<SchedulerCase>
{};

TEST_P(SearchControlSchedulers, AreMadeOnceAndOnlyWithAHubSlot)
{
    const SchedulerCase& c = GetParam();
    ChannelStates channels;
    PlaybackSlots playbackSlots;
    SearchState search;
    FakePlaybackHost host;
    const int deviceIndex = c.deviceIndex;
    SearchControl control(channels, playbackSlots, search, host, deviceIndex);

    // No pop-up is open: the scheduler is kept for it, but none is handed out.
    EXPECT_EQ(control.MakeSearchScheduler(c.popup), nullptr);
    CModulePlayback* made = search.SchedulerSlot(c.popup).get();
    EXPECT_EQ(made != nullptr, c.made);
    control.MakeSearchScheduler(c.popup);
    EXPECT_EQ(search.SchedulerSlot(c.popup).get(), made) << "a second search keeps the first scheduler";
    for (SearchState::Popup other :
         {SearchState::Popup::Museum, SearchState::Popup::Thumbnail, SearchState::Popup::Quick}) {
        if (other != c.popup) {
            EXPECT_EQ(search.SchedulerSlot(other), nullptr) << "only the asked search gets a scheduler";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Popups, SearchControlSchedulers,
    ::testing::Values(SchedulerCase{"museum", SearchState::Popup::Museum, 2, true},
                      SchedulerCase{"thumbnail", SearchState::Popup::Thumbnail, 0, true},
                      SchedulerCase{"quick", SearchState::Popup::Quick, 5, true},
                      SchedulerCase{"museum_unregistered", SearchState::Popup::Museum, -1, false},
                      SchedulerCase{"quick_unregistered", SearchState::Popup::Quick, -1, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SearchControl, ASearchStartEndsSearchRecordingsAndStepsAreCleared)
{
    ChannelStates channels;
    PlaybackSlots playbackSlots;
    SearchState search;
    FakePlaybackHost host;
    const int deviceIndex = 1;
    SearchControl control(channels, playbackSlots, search, host, deviceIndex);
    for (ChannelState& channel : channels)
        channel.searchRecordMark = 1;
    channels[4].liveRecordMark = 1;
    for (PlaybackSlot& slot : playbackSlots)
        slot.nextSearchFrame = 1;
    search.step = 120000;

    control.RememberSearchStart(7, 20240105, 93000);
    EXPECT_EQ(search.savedChannel, 7);
    EXPECT_EQ(search.savedDate, 20240105);
    EXPECT_EQ(search.savedTime, 93000);
    for (const ChannelState& channel : channels)
        EXPECT_EQ(channel.searchRecordMark.load(), 0);
    EXPECT_EQ(channels[4].liveRecordMark.load(), 1) << "a live recording goes on";

    control.ClearSearchSteps();
    for (const PlaybackSlot& slot : playbackSlots)
        EXPECT_EQ(slot.nextSearchFrame.load(), 0);
    EXPECT_EQ(search.step.load(), -1);
    // Without a decoder (or a channel) there is no picture to measure.
    EXPECT_TRUE(control.ChannelPictureSize(3).isEmpty());
    EXPECT_TRUE(control.ChannelPictureSize(-1).isEmpty());
    EXPECT_TRUE(control.ChannelPictureSize(16).isEmpty());
}

// ---- record lists

class QuietLinkHost : public SessionLinkHost
{
public:
    QString GetDvrName() const override { return QStringLiteral("fake"); }
    int GetDeviceIndex() const override { return 0; }
    bool IsLoggedIn() const override { return false; }
    bool GetLoginOption() const override { return false; }
    int GetChannelCount() const override { return 16; }
    int LiveChannelCount() const override { return 16; }
    QTreeWidgetItem* GetCameraItem(int) const override { return nullptr; }
    bool OnLiveStart(int) override { return false; }
    bool Disconnect() override { return false; }
    void WireConnection(CModuleNetwork*, bool) override {}
    void ConnectEnded() override {}
};

class QuietListHost : public RecordListHost
{
public:
    QString GetDvrName() const override { return QStringLiteral("fake"); }
    int GetDeviceIndex() const override { return 0; }
    int LiveChannelCount() const override { return 16; }
    void GetIntraIndex(int) override {}
    void SendPlaybackCtrlExtSec(PlaybackMode, int, int, int) override {}
};

// A list intake with its state and a link that has no connections.
struct ListFixture
{
    QObject sessionObject;
    ChannelStates channels;
    PlaybackSlots playbackSlots;
    SearchState search;
    PlaybackState playback;
    SlotReceiveBuffers buffers;
    QString emapPath;
    QuietLinkHost linkHost;
    QuietListHost listHost;
    SessionLink link{linkHost, sessionObject, channels, playback, lists, emapPath};
    RecordListIntake lists{listHost, channels, playbackSlots, search, playback, link, buffers};
};

// One word per minute of the day, little-endian, bit n = channel n (the audio list: any bit).
QByteArray MinuteWords(const std::vector<std::pair<int, quint16>>& marked)
{
    QByteArray list(2 * 1440, '\0');
    for (const auto& [minute, bits] : marked) {
        list[2 * minute] = char(bits & 0xFF);
        list[2 * minute + 1] = char(bits >> 8);
    }
    return list;
}

TEST(RecordListIntake, ATimeListMarksOnlyTheChannelsThatMaySearch)
{
    ListFixture f;
    f.link.masks.search = 0x0003; // channels 1 and 2
    // 00:00 channels 1 and 3; 01:01 channel 2; 23:59 channel 16.
    const QByteArray list = MinuteWords({{0, 0x0005}, {61, 0x0002}, {1439, 0x8000}});
    f.lists.MarkMinuteMasks(list.constData(), list.size(), false);

    ASSERT_NE(f.playbackSlots[0].minuteTable, nullptr);
    ASSERT_NE(f.playbackSlots[1].minuteTable, nullptr);
    EXPECT_EQ(f.playbackSlots[0].minuteTable[0], 1);
    EXPECT_EQ(f.playbackSlots[0].minuteTable[61], 0);
    EXPECT_EQ(f.playbackSlots[1].minuteTable[61], 1);
    EXPECT_EQ(f.playbackSlots[1].minuteTable[0], 0);
    EXPECT_EQ(f.playbackSlots[2].minuteTable, nullptr) << "channel 3 may not search";
    EXPECT_EQ(f.playbackSlots[15].minuteTable, nullptr) << "channel 16 may not search";
    EXPECT_EQ(f.playbackSlots[16].minuteTable, nullptr) << "a time list marks no sound";
}

TEST(RecordListIntake, AnAudioListMarksTheSoundSlotWhateverTheChannel)
{
    ListFixture f;
    f.link.masks.search = 0;
    const QByteArray list = MinuteWords({{600, 0x0100}, {601, 0}, {1000, 0x0001}});
    f.lists.MarkMinuteMasks(list.constData(), list.size(), true);

    ASSERT_NE(f.playbackSlots[16].minuteTable, nullptr);
    EXPECT_EQ(f.playbackSlots[16].minuteTable[600], 1);
    EXPECT_EQ(f.playbackSlots[16].minuteTable[601], 0);
    EXPECT_EQ(f.playbackSlots[16].minuteTable[1000], 1);
    for (int ch = 0; ch < kSessionChannels; ++ch)
        EXPECT_EQ(f.playbackSlots[size_t(ch)].minuteTable, nullptr);
}

} // namespace
