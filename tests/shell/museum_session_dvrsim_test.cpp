// The recorder session's side of the museum search against the simulator's recorded day with
// motion in a known area: a stand-in pop-up answers each searched picture the way the search
// walks (one second on after a miss, ten after a match), and the seconds the session asks for,
// the matches it reports and the pictures it hands over are checked.
#include <gtest/gtest.h>

#include <QTest>

#include <atomic>
#include <vector>

#include <signal.h>

#include "search/support/recorded_day.h"
#include "search/support/standin_popup.h"
#include "session/museumsearchpopup.h"

namespace {

// Recorded 09:00:00 to 10:59:59; every frame of seconds 20 to 29 of each minute shows motion in
// columns 5..9, rows 4..7 of a 22 x 15 grid.
QStringList DayWithMotion()
{
    return RecordedDayOptions(QStringLiteral("090000"), QStringLiteral("105959"), 10, 1,
                              {QStringLiteral("--motion-cells"), QStringLiteral("5,4,10,8"),
                               QStringLiteral("--motion-grid"), QStringLiteral("22x15"),
                               QStringLiteral("--motion-seconds"), QStringLiteral("20-29")});
}

int Hhmmss(const QString& text)
{
    return text.left(2).toInt() * 10000 + text.mid(3, 2).toInt() * 100 + text.mid(6, 2).toInt();
}

int Step(int hhmmss, int seconds)
{
    const int s = hhmmss / 10000 * 3600 + hhmmss / 100 % 100 * 60 + hhmmss % 100 + seconds;
    return s / 3600 * 10000 + s / 60 % 60 * 100 + s % 60;
}

// Answers pictures on the search thread: the first one (the picture at the opening time) ends
// the opening; once walking, a miss asks for the next second and a match for ten seconds on,
// until the end time.
class WalkingPopup : public MuseumSearchPopup
{
public:
    struct Seen
    {
        int time;
        bool match;
        bool picture;
    };

    void SetSearchInfo(int deviceIndex, int channel, int date, int time, int resolutionClass, int gridFamily,
                       int videoFormatBit) override
    {
        info = {deviceIndex, channel, date, time, resolutionClass, gridFamily, videoFormatBit};
    }
    void SetLatestTime(int hhmmss) override { latest = hhmmss; }
    void SetStreamFlag(quint8 flag) override { streamFlag = flag; }
    quint8 GetStreamFlag() const override { return streamFlag; }
    int SetCameoImage(int /*deviceIndex*/, int channel, const QString& timeText, const QImage& picture,
                      bool match) override
    {
        if (!walking) {
            opened = true;
            return -1;
        }
        seen.Append({Hhmmss(timeText), match, !picture.isNull()});
        lastChannel = channel;
        const int next = Step(Hhmmss(timeText), match ? 10 : 1);
        if (next > endTime) {
            walking = false;
            finished = true;
            return -1;
        }
        return next;
    }
    void OnRecorderLost() override {}
    int GetPlayState() const override { return 32; }
    int GetChannel() const override { return 0; }
    bool GetRecordFlag() const override { return false; }
    int GetSpeedCode() const override { return 2; }

    std::vector<int> info;
    int latest = -1;
    quint8 streamFlag = 0;
    std::atomic<bool> opened{false};
    std::atomic<bool> walking{false};
    std::atomic<bool> finished{false};
    std::atomic<int> endTime{0};
    std::atomic<int> lastChannel{-1};
    LockedLog<Seen> seen;
};

class MuseumSession : public StandInPopupTest<MuseumSearchPopup, WalkingPopup>
{
protected:
    // A recorder logged in to the recorded day whose playback from 10:00:00 started and was then
    // stopped, with the walking pop-up installed; null (with a failure) when a step failed.
    CModuleDevice* StoppedPlayback(const QString& name)
    {
        CModuleDevice* device = LoggedInRecorder(name, DayWithMotion());
        if (!device)
            return nullptr;
        if (!OpenRemoteSearch(*hub, device, 20240205, 100000)) {
            ADD_FAILURE() << "the remote search did not open";
            return nullptr;
        }
        if (!QTest::qWaitFor([&] { return device->IsPlaybackActive(); }, 30000)) {
            ADD_FAILURE() << "playback did not start";
            return nullptr;
        }
        MuseumSearchPopup::Install(&popup);
        device->SetPlaybackCtrl(PlaybackMode::Stop);
        return device;
    }

    // "Search" from 10:00:15 to the end time over the area of channel 0; false when the walk did
    // not reach the end time.
    bool WalkTo(RecorderSession* device, int endTime, int left, int top, int right, int bottom)
    {
        popup.endTime = endTime;
        popup.walking = true;
        device->SetMuseumArea(0, left, top, right, bottom);
        if (!device->RequestPlayback(100015, 16)) {
            ADD_FAILURE() << "the search request was refused";
            return false;
        }
        return QTest::qWaitFor([&] { return popup.finished.load(); }, 60000);
    }
};

} // namespace

TEST_F(MuseumSession, WalkAsksOneSecondOnAfterAMissAndTenAfterAMatch)
{
    RecorderSession* device = StoppedPlayback(QStringLiteral("Hall"));
    ASSERT_TRUE(device);
    device->SetMuseumSearch(0, 20240205, 100015);
    ASSERT_EQ(popup.info.size(), 7u);
    EXPECT_EQ(popup.info[0], device->GetDeviceIndex());
    EXPECT_EQ(popup.info[2], 20240205);
    EXPECT_EQ(popup.info[3], 100015);
    EXPECT_EQ(popup.info[4], 0) << "352 pixels wide: the small resolution class";
    EXPECT_EQ(popup.info[5], 0) << "the simulator's model is of grid family 0";
    EXPECT_TRUE(device->IsMuseumMode());
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup.opened.load(); }, 30000)) << "the opening picture";

    // "Search" from 10:00:15 to 10:01:35 over the area of the motion.
    ASSERT_TRUE(WalkTo(device, 100135, 5, 4, 10, 8));

    std::vector<int> times;
    std::vector<int> matches;
    for (const WalkingPopup::Seen& s : popup.seen.Entries()) {
        times.push_back(s.time);
        if (s.match) {
            matches.push_back(s.time);
            EXPECT_TRUE(s.picture) << "a match comes with its picture, at " << s.time;
        }
    }
    std::vector<int> expected;
    for (int t = 100015; t <= 100135;) {
        expected.push_back(t);
        const bool motion = t % 100 >= 20 && t % 100 <= 29;
        t = Step(t, motion ? 10 : 1);
    }
    EXPECT_EQ(times, expected);
    EXPECT_EQ(matches, (std::vector<int>{100020, 100120}));
    EXPECT_EQ(popup.lastChannel, 16) << "playback channels arrive as channel + 16";

    // Leaving the search stops the museum mode; nothing more reaches the pop-up.
    device->LeaveMuseumSearch();
    EXPECT_FALSE(device->IsMuseumMode());
    const size_t count = popup.seen.Entries().size();
    QTest::qWait(300);
    EXPECT_EQ(popup.seen.Entries().size(), count);
}

TEST_F(MuseumSession, ADifferentAreaFindsNothing)
{
    RecorderSession* device = StoppedPlayback(QStringLiteral("Yard"));
    ASSERT_TRUE(device);
    device->SetMuseumSearch(0, 20240205, 100015);
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup.opened.load(); }, 30000));
    ASSERT_TRUE(WalkTo(device, 100035, 12, 0, 22, 3)); // away from the motion
    const auto seen = popup.seen.Entries();
    EXPECT_EQ(seen.size(), 21u) << "every second from 10:00:15 to 10:00:35";
    for (const WalkingPopup::Seen& s : seen)
        EXPECT_FALSE(s.match) << s.time;
}

// "Search" pressed before the day's index has arrived: the request is taken, and the walk starts
// at the time asked for once the index is in, not at the time playback had reached.
TEST_F(MuseumSession, ARequestBeforeTheIndexWalksFromTheTimeAskedFor)
{
    CModuleDevice* device = StoppedPlayback(QStringLiteral("Gate"));
    ASSERT_TRUE(device);
    popup.endTime = 100020;
    popup.walking = true;
    // The recorder holds its answers until the request has been made.
    const qint64 pid = Simulator(0)->ProcessId();
    ASSERT_EQ(::kill(pid_t(pid), SIGSTOP), 0);
    device->SetMuseumSearch(0, 20240205, 100005);
    device->SetMuseumArea(0, 12, 0, 22, 3); // away from the motion
    const bool taken = device->RequestPlayback(100015, 16);
    ASSERT_EQ(::kill(pid_t(pid), SIGCONT), 0);
    EXPECT_TRUE(taken) << "a request while the index is on its way waits for it";

    ASSERT_TRUE(QTest::qWaitFor([&] { return popup.finished.load(); }, 60000));
    const auto seen = popup.seen.Entries();
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().time, 100015) << "the walk starts where it was asked to";
    for (const WalkingPopup::Seen& s : seen) {
        EXPECT_GE(s.time, 100015) << "nothing from before the time asked for";
        EXPECT_FALSE(s.match) << s.time;
    }
}
