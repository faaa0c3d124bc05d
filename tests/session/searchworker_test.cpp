// The search thread's step after a picture the decoder could not use: frames of a decode-only
// batch lead up to the picture a museum or thumbnail search asked for, so the thread goes on
// with the batch's next frame by itself; but when the pop-up, told there is no picture, answers
// that its search is finished, that answer stands and the session asks the recorder for nothing
// more.
#include <QMutex>
#include <QMutexLocker>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "session/liveframerecord.h"
#include "session/museumsearchpopup.h"
#include "session/schedulerkind.h"
#include "session/support/moduledevice_testaccess.h"
#include "session/support/session_fixture.h"
#include "session/thumbnailsearchpopup.h"

namespace {

// A day the simulator has not recorded: the search's index chain brings no frames of its own,
// only the records the test queues reach the search thread.
constexpr int kUnrecordedDay = 20200101;
constexpr int kFinished = -1;
constexpr int kNextFrame = -2;

// What reached a pop-up, with the session's search step at that moment (the step the record
// before left behind, as the thread handles one record after another).
struct Seen
{
    bool picture;
    int stepBefore;
};

class SeenLog
{
public:
    void Append(const Seen& seen)
    {
        QMutexLocker lock(&m_lock);
        m_seen.push_back(seen);
    }
    std::vector<Seen> Entries() const
    {
        QMutexLocker lock(&m_lock);
        return m_seen;
    }

private:
    mutable QMutex m_lock;
    std::vector<Seen> m_seen;
};

// Both pop-ups answer every picture with the test's answer and look at the session's step.
struct Answering
{
    int answer = kFinished;
    std::function<int()> step;
    SeenLog seen;

    int Answer(const QImage& picture)
    {
        seen.Append({!picture.isNull(), step ? step() : 0});
        return answer;
    }
};

class AnsweringMuseumPopup : public MuseumSearchPopup, public Answering
{
public:
    void SetSearchInfo(int, int, int, int, int, int, int) override {}
    void SetLatestTime(int) override {}
    void SetStreamFlag(quint8 flag) override { m_flag = flag; }
    quint8 GetStreamFlag() const override { return m_flag; }
    int SetCameoImage(int, int, const QString&, const QImage& picture, bool) override { return Answer(picture); }
    void OnRecorderLost() override {}
    int GetPlayState() const override { return 2; }
    int GetChannel() const override { return 0; }
    bool GetRecordFlag() const override { return false; }
    int GetSpeedCode() const override { return 2; }

private:
    quint8 m_flag = 0;
};

class AnsweringThumbnailPopup : public ThumbnailSearchPopup, public Answering
{
public:
    void SetSearchInfo(int, int, int, int) override {}
    int SetCameoImage(int, int, const QString&, const QImage& picture) override { return Answer(picture); }
    void OnRecorderLost() override {}
    int GetPlayState() const override { return 2; }
    int GetChannel() const override { return 0; }
    bool GetRecordFlag() const override { return false; }
    int GetSpeedCode() const override { return 2; }
};

struct StepCase
{
    const char* name;
    SchedulerKind search; // Museum or Thumbnail
    int answer;           // the pop-up's answer to the unusable picture
    int stepAfter;        // the session's step once the thread has handled it
};

void PrintTo(const StepCase& c, std::ostream* os)
{
    *os << c.name;
}

class SearchWorkerStepTest : public SessionTest, public ::testing::WithParamInterface<StepCase>
{
protected:
    void TearDown() override
    {
        MuseumSearchPopup::Install(m_previousMuseum);
        ThumbnailSearchPopup::Install(m_previousThumbnail);
        SessionTest::TearDown();
    }

    // A record of a decode-only batch whose frame the decoder refuses (four bytes: too short
    // for the stream's header).
    static LiveFrameRecordPtr UnusableBatchFrame(SchedulerKind search, int time)
    {
        auto r = std::make_unique<LiveFrameRecord>();
        r->channel = 0;
        r->kind = 3;
        const char bytes[4] = {0, 0, 0, 0};
        r->CopyPayload(bytes, 4);
        r->date = kUnrecordedDay;
        r->time = time;
        r->decodeOnly = 1;
        r->searchKind = int(search);
        return r;
    }

    MuseumSearchPopup* m_previousMuseum = MuseumSearchPopup::Instance();
    ThumbnailSearchPopup* m_previousThumbnail = ThumbnailSearchPopup::Instance();
    AnsweringMuseumPopup museum;
    AnsweringThumbnailPopup thumbnail;
};

} // namespace

TEST_P(SearchWorkerStepTest, AnswerToAnUnusableBatchFrame)
{
    const StepCase& c = GetParam();
    SessionDvrSim* sim = StartSim({"--channels", "4"});
    ASSERT_TRUE(sim);
    CModuleDevice* device = AddRecorder("steps", sim->Port());
    ASSERT_TRUE(ConnectAndLogin(device, 0));
    device->SetPlaybackActive(true);

    Answering& popup = c.search == SchedulerKind::Museum ? static_cast<Answering&>(museum)
                                                         : static_cast<Answering&>(thumbnail);
    popup.answer = c.answer;
    popup.step = [device] { return CModuleDeviceTestAccess::GetSearchStep(*device); };
    if (c.search == SchedulerKind::Museum) {
        MuseumSearchPopup::Install(&museum);
        device->SetMuseumSearch(0, kUnrecordedDay, 100000);
        ASSERT_TRUE(device->IsMuseumMode());
    } else {
        ThumbnailSearchPopup::Install(&thumbnail);
        device->SetThumnailSearch(0, kUnrecordedDay, 100000);
        ASSERT_TRUE(device->IsThumbnailMode());
    }

    // The second record's pop-up call sees the step the first one left behind.
    CModuleDeviceTestAccess::AppendPlaybackRecord(*device, 0, UnusableBatchFrame(c.search, 100000));
    CModuleDeviceTestAccess::AppendPlaybackRecord(*device, 0, UnusableBatchFrame(c.search, 100001));
    ASSERT_TRUE(WaitFor([&] { return popup.seen.Entries().size() >= 2; }, 30000));
    const std::vector<Seen> seen = popup.seen.Entries();
    EXPECT_FALSE(seen[0].picture);
    EXPECT_FALSE(seen[1].picture);
    EXPECT_EQ(seen[1].stepBefore, c.stepAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Searches, SearchWorkerStepTest,
    ::testing::Values(StepCase{"MuseumFinished", SchedulerKind::Museum, kFinished, kFinished},
                      StepCase{"ThumbnailFinished", SchedulerKind::Thumbnail, kFinished, kFinished},
                      // Any other answer: the batch goes on to the picture that was asked for.
                      StepCase{"MuseumTimeToFetch", SchedulerKind::Museum, 100016, kNextFrame}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });
