// The recorder session's side of the thumbnail search against the simulator's recorded day: a
// stand-in pop-up asks for the next hour after each picture, as the first level of the search
// does, and the times and pictures the session hands over are checked.
#include <gtest/gtest.h>

#include <QMutex>
#include <QTest>

#include <atomic>
#include <vector>

#include "common/support/decoder_streams.h"
#include "session/thumbnailsearchpopup.h"
#include "shell/support/grid_online_fixture.h"

namespace {

// Recorded 08:30:00 to 11:59:59.
QStringList RecordedMorning()
{
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 30, 10);
    EXPECT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    return {QStringLiteral("--video"),        stream.path,
            QStringLiteral("--fps"),          QStringLiteral("10"),
            QStringLiteral("--record-date"),  QStringLiteral("20240205"),
            QStringLiteral("--record-start"), QStringLiteral("083000"),
            QStringLiteral("--record-end"),   QStringLiteral("115959")};
}

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
        QMutexLocker lock(&m_lock);
        seen.push_back({timeText, !picture.isNull(), channel});
        const int hour = timeText.left(2).toInt() + 1;
        if (seen.size() >= 3 || hour > 23) {
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

    std::vector<Seen> Seen_() const
    {
        QMutexLocker lock(&m_lock);
        return seen;
    }

    std::vector<int> info;
    std::atomic<bool> done{false};
    std::atomic<bool> lost{false};

private:
    mutable QMutex m_lock;
    std::vector<Seen> seen;
};

class ThumbnailSession : public GridOnlineTest
{
protected:
    void TearDown() override
    {
        ThumbnailSearchPopup::Install(previous);
        GridOnlineTest::TearDown();
    }

    ThumbnailSearchPopup* previous = ThumbnailSearchPopup::Instance();
    HourlyPopup popup;
};

} // namespace

TEST_F(ThumbnailSession, FirstPictureOfTheDayThenEachHourAsked)
{
    CModuleDevice* device = LoggedInRecorder(QStringLiteral("Hall"), RecordedMorning());
    ASSERT_TRUE(device);
    hub->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(hub.get()));
    hub->StartRemoteSearch(device->GetDeviceIndex(), 20240205, 100000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return device->IsPlaybackActive(); }, 30000));

    ThumbnailSearchPopup::Install(&popup);
    device->SetPlaybackCtrl(PlaybackMode::Stop);
    device->SetThumnailSearch(1, 20240205, 101500);
    EXPECT_EQ(popup.info, (std::vector<int>{device->GetDeviceIndex(), 1, 20240205, 101500}));
    EXPECT_TRUE(device->IsThumbnailMode());
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup.done.load(); }, 60000));

    const auto seen = popup.Seen_();
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
