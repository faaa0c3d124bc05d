// The recorder session's side of the thumbnail search against the simulator's recorded day: a
// stand-in pop-up asks for the next hour after each picture, as the first level of the search
// does, and the times and pictures the session hands over are checked.
#include <gtest/gtest.h>

#include <QTest>

#include <atomic>
#include <vector>

#include "search/support/recorded_day.h"
#include "search/support/standin_popup.h"
#include "session/thumbnailsearchpopup.h"

namespace {

class HourlyPopup : public ThumbnailSearchPopup
{
public:
    struct Seen
    {
        QString time;
        bool picture;
        int channel;
    };

    void SetSearchInfo(int deviceIndex, int channel, int date, int time) override
    {
        info = {deviceIndex, channel, date, time};
    }
    int SetCameoImage(int /*deviceIndex*/, int channel, const QString& timeText, const QImage& picture) override
    {
        seen.Append({timeText, !picture.isNull(), channel});
        const int hour = timeText.left(2).toInt() + 1;
        if (++pictures >= 3 || hour > 23) {
            done = true;
            return -1;
        }
        return hour * 10000;
    }
    void OnRecorderLost() override { lost = true; }
    int GetPlayState() const override { return 32; }
    int GetChannel() const override { return 1; }
    bool GetRecordFlag() const override { return false; }
    int GetSpeedCode() const override { return 2; }

    std::vector<int> info;
    std::atomic<bool> done{false};
    std::atomic<bool> lost{false};
    LockedLog<Seen> seen;

private:
    int pictures = 0; // on the search thread only
};

using ThumbnailSession = StandInPopupTest<ThumbnailSearchPopup, HourlyPopup>;

} // namespace

TEST_F(ThumbnailSession, FirstPictureOfTheDayThenEachHourAsked)
{
    RecorderSession* device = LoggedInRecorder(
        QStringLiteral("Hall"), RecordedDayOptions(QStringLiteral("083000"), QStringLiteral("115959"), 10));
    ASSERT_TRUE(device);
    ASSERT_TRUE(OpenRemoteSearch(*hub, device, 20240205, 100000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return device->IsPlaybackActive(); }, 30000));

    ThumbnailSearchPopup::Install(&popup);
    device->SetPlaybackCtrl(PlaybackMode::Stop);
    device->SetThumnailSearch(1, 20240205, 101500);
    EXPECT_EQ(popup.info, (std::vector<int>{device->GetDeviceIndex(), 1, 20240205, 101500}));
    EXPECT_TRUE(device->IsThumbnailMode());
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup.done.load(); }, 60000));

    const auto seen = popup.seen.Entries();
    ASSERT_EQ(seen.size(), 3u);
    // The day's first picture, then the hours the pop-up asked for.
    EXPECT_EQ(seen[0].time, QStringLiteral("08:30:00"));
    EXPECT_EQ(seen[1].time, QStringLiteral("09:00:00"));
    EXPECT_EQ(seen[2].time, QStringLiteral("10:00:00"));
    for (const HourlyPopup::Seen& s : seen) {
        EXPECT_TRUE(s.picture) << s.time.toStdString();
        EXPECT_EQ(s.channel, 17) << "channel 1 of playback";
    }

    // The connection drops: the pop-up is told and the search mode ends.
    device->Disconnect();
    EXPECT_TRUE(QTest::qWaitFor([&] { return popup.lost.load(); }, 10000));
    EXPECT_FALSE(device->IsThumbnailMode());
}
