// A tile's playback engine over client recordings written by the client's own writer: opening,
// the frames handed to the video engine in order (key frames first where a seek lands inside a
// group of pictures), pacing, seeks by time and to the nearest minute, stepping back, the play
// operations' refusals, the fast speeds and damaged files.
#include "playback/searchview.h"
#include "support/clientrecording.h"
#include "support/playbackfakes.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

class TileTest : public ::testing::Test
{
protected:
    void Record(const QVector<int>& times, int keyInterval)
    {
        recording = WriteClientRecording(root.path(), times, keyInterval);
        ASSERT_TRUE(recording.error.isEmpty()) << recording.error.toStdString();
    }
    void Make(bool holdClock = false)
    {
        clock = std::make_unique<FakeClock>(holdClock);
        view = std::make_unique<CSearchView>(3, sink, host, audio, *clock);
    }
    bool Open() { return view->OpenFile({recording.dataName, recording.folder + "/", 3, 0}); }
    void WaitIdle()
    {
        ASSERT_TRUE(WaitUntil([&] { return !view->IsRunning(); }));
        view->Join();
    }

    QTemporaryDir root;
    ClientRecording recording;
    FakeFrameSink sink;
    FakeHost host;
    FakeAudioSink audio;
    std::unique_ptr<FakeClock> clock;
    std::unique_ptr<CSearchView> view;
};

} // namespace

TEST_F(TileTest, OpeningShowsTheFirstFrameAtTheStart)
{
    Record(TenPerSecond(80510, 3), 10);
    Make();
    EXPECT_EQ(view->GetPlayRange(), 0);
    EXPECT_EQ(view->GetPlayPosition(), -1);
    ASSERT_TRUE(Open()) << view->LastError().toStdString();
    EXPECT_EQ(view->State(), PlayState::Start);
    EXPECT_TRUE(view->Layout512());
    EXPECT_EQ(view->Channel(), 2);
    EXPECT_EQ(view->ServerId(), -999);
    EXPECT_EQ(view->CameraTitle(), QString("CAM-03"));
    EXPECT_EQ(view->GetCurrentTimeString(), QString("080510"));
    EXPECT_EQ(view->GetPlayRange(), 2);
    EXPECT_EQ(view->GetPlayPosition(), 0);
    ASSERT_EQ(sink.Shown().size(), 1);
    EXPECT_EQ(sink.Shown().first(), recording.units.first());
    EXPECT_EQ(sink.Decodes().first().mode, 1); // one tile, visible
}

TEST_F(TileTest, IndexNameOpensTheSameRecording)
{
    Record(TenPerSecond(80510, 2), 10);
    Make();
    ASSERT_TRUE(view->OpenFile({"i" + recording.dataName, recording.folder, 3, 0}));
    EXPECT_EQ(view->DataPath(), recording.folder + "/" + recording.dataName);
    EXPECT_EQ(sink.Shown().first(), recording.units.first());
}

TEST_F(TileTest, PlayForwardHandsEveryFramePacedAndEndsAtTheLastFrame)
{
    Record(TenPerSecond(80510, 3), 10);
    Make();
    ASSERT_TRUE(Open());
    view->PlayForward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::End);
    const QVector<QByteArray> shown = sink.Shown();
    ASSERT_EQ(shown.size(), recording.units.size());
    for (int i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], recording.units[i]) << "frame " << i;
    EXPECT_EQ(view->GetCurrentTimeString(), QString("080512"));
    EXPECT_EQ(view->GetPlayPosition(), 2);
    // Ten frames a second: 100 ms apart (the fake clock spends nothing on reading).
    const QVector<int> pauses = clock->Pauses();
    ASSERT_FALSE(pauses.isEmpty());
    for (int p : pauses)
        EXPECT_EQ(p, 100);
    EXPECT_GE(host.groupTimes.load(), 2);
    EXPECT_EQ(host.groupLeaves.load(), 1);

    // At the end a further play forward is refused and only steps the box.
    const int steps = host.boxSteps;
    view->PlayForward();
    EXPECT_FALSE(view->IsRunning());
    EXPECT_EQ(host.boxSteps.load(), steps + 1);
    EXPECT_EQ(sink.Shown().size(), shown.size());
}

TEST_F(TileTest, SeekInsideAGroupDecodesItsKeyFrameFirst)
{
    Record(TenPerSecond(80510, 3), 20); // 08:05:11 has no key frame of its own
    Make();
    ASSERT_TRUE(Open());
    sink.Clear();
    view->GoToTime("080511");
    // The key frame and every frame of the group up to the one shown, in order: a predicted
    // frame refers to the one before it.
    const QVector<DecodeCall> decodes = sink.Decodes();
    ASSERT_EQ(decodes.size(), 11);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(decodes[i].data, recording.units[i]) << i;
        EXPECT_EQ(decodes[i].shown, i == 10) << i;
    }
    EXPECT_EQ(view->State(), PlayState::Paused);
    EXPECT_EQ(view->GetCurrentTimeString(), QString("080511"));
}

TEST_F(TileTest, SeekToTheNearestMinuteWithData)
{
    QVector<int> times = TenPerSecond(102700, 1) + TenPerSecond(103300, 1);
    Record(times, 10);
    Make();
    ASSERT_TRUE(Open());
    const struct
    {
        const char* seek;
        const char* shown;
        int frame;
    } cases[] = {
        {"103015", "102700", 0},  // both three minutes away: the earlier wins
        {"103200", "103300", 10}, // one minute after, five before
        {"103300", "103300", 10}, {"102700", "102700", 0},  {"240000", "103300", 10},
        {"000000", "102700", 0},  {"235000", "103300", 10}, {"010000", "102700", 0},
    };
    for (const auto& c : cases) {
        sink.Clear();
        view->GoToTime(c.seek);
        EXPECT_EQ(view->GetCurrentTimeString(), QString(c.shown)) << c.seek;
        ASSERT_FALSE(sink.Shown().isEmpty()) << c.seek;
        EXPECT_EQ(sink.Shown().last(), recording.units[c.frame]) << c.seek;
    }
}

TEST_F(TileTest, StepBackGoesFromKeyFrameToKeyFrame)
{
    Record(TenPerSecond(80510, 3), 10);
    Make();
    ASSERT_TRUE(Open());
    view->GoLast();
    EXPECT_EQ(view->State(), PlayState::End);
    EXPECT_EQ(sink.Shown().last(), recording.units[20]);
    for (int frame : {10, 0}) {
        view->StepBackward();
        WaitIdle();
        EXPECT_EQ(sink.Shown().last(), recording.units[frame]);
    }
    EXPECT_EQ(view->State(), PlayState::Start);
    const int shown = sink.Shown().size();
    view->StepBackward(); // refused at the start
    WaitIdle();
    EXPECT_EQ(sink.Shown().size(), shown);
    view->StepForward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::StepForward);
    EXPECT_EQ(sink.Shown().last(), recording.units[1]);
}

TEST_F(TileTest, FastForwardShowsOneFrameASecond)
{
    Record(TenPerSecond(80510, 4), 10);
    Make();
    ASSERT_TRUE(Open());
    view->FastForward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::End);
    const QVector<QByteArray> shown = sink.Shown();
    ASSERT_EQ(shown.size(), 4);
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(shown[s], recording.units[s * 10]);
    for (int p : clock->Pauses())
        EXPECT_EQ(p, 500);
}

TEST_F(TileTest, FastSpeedsFollowThePresses)
{
    Record(TenPerSecond(80510, 10), 10);
    Make(true); // every pause lasts until the next operation stops it
    ASSERT_TRUE(Open());
    const int expected[] = {500, 333, 250, 200, 150, 500};
    for (int press = 0; press < 6; ++press) {
        const int before = clock->Pauses().size();
        view->FastForward();
        ASSERT_TRUE(WaitUntil([&] { return clock->Pauses().size() > before; })) << press;
        EXPECT_EQ(view->FastSpeed(), press % 5 + 1);
        EXPECT_EQ(clock->Pauses().last(), expected[press]) << "press " << press + 1;
    }
    view->Pause();
    EXPECT_EQ(view->State(), PlayState::Paused);
    EXPECT_FALSE(view->IsRunning());
    EXPECT_EQ(sink.lastState.load(), int(PlayState::Paused));
}

namespace {

enum class Setup { Start, End, Paused, Frozen };

struct OperationCase
{
    const char* name;
    Setup setup;
    void (CSearchView::*op)();
    bool refused;
    PlayState after; // once the worker has ended
};

} // namespace

TEST_F(TileTest, OperationsAndTheirRefusals)
{
    Record(TenPerSecond(80510, 2), 10);
    const OperationCase cases[] = {
        {"forward", Setup::Start, &CSearchView::PlayForward, false, PlayState::End},
        {"backward", Setup::Start, &CSearchView::PlayBackward, true, PlayState::Start},
        {"fast forward", Setup::Start, &CSearchView::FastForward, false, PlayState::End},
        {"fast backward", Setup::Start, &CSearchView::FastBackward, true, PlayState::Start},
        {"step forward", Setup::Start, &CSearchView::StepForward, false, PlayState::StepForward},
        {"step backward", Setup::Start, &CSearchView::StepBackward, true, PlayState::Start},
        {"first", Setup::Start, &CSearchView::GoFirst, true, PlayState::Start},
        {"last", Setup::Start, &CSearchView::GoLast, false, PlayState::End},
        {"pause", Setup::Start, &CSearchView::Pause, true, PlayState::Start},
        {"forward at end", Setup::End, &CSearchView::PlayForward, true, PlayState::End},
        {"backward at end", Setup::End, &CSearchView::PlayBackward, false, PlayState::Start},
        {"fast forward at end", Setup::End, &CSearchView::FastForward, true, PlayState::End},
        {"fast backward at end", Setup::End, &CSearchView::FastBackward, false, PlayState::Start},
        {"step forward at end", Setup::End, &CSearchView::StepForward, true, PlayState::End},
        {"last at end", Setup::End, &CSearchView::GoLast, true, PlayState::End},
        {"first at end", Setup::End, &CSearchView::GoFirst, false, PlayState::Start},
        {"pause at end", Setup::End, &CSearchView::Pause, true, PlayState::End},
        {"pause paused", Setup::Paused, &CSearchView::Pause, false, PlayState::Paused},
        {"forward frozen", Setup::Frozen, &CSearchView::PlayForward, false, PlayState::End},
        {"backward frozen", Setup::Frozen, &CSearchView::PlayBackward, true, PlayState::Paused},
        {"fast forward frozen", Setup::Frozen, &CSearchView::FastForward, true, PlayState::Paused},
        {"step forward frozen", Setup::Frozen, &CSearchView::StepForward, true, PlayState::Paused},
        {"first frozen", Setup::Frozen, &CSearchView::GoFirst, true, PlayState::Paused},
        {"last frozen", Setup::Frozen, &CSearchView::GoLast, true, PlayState::Paused},
    };
    for (const auto& c : cases) {
        Make();
        ASSERT_TRUE(Open()) << c.name;
        if (c.setup == Setup::End)
            view->GoLast();
        if (c.setup == Setup::Paused || c.setup == Setup::Frozen)
            view->GoToTime("080511");
        view->SetFrozen(c.setup == Setup::Frozen);
        const PlayState before = view->State();
        const int steps = host.boxSteps;
        const int decodes = sink.Decodes().size();
        (view.get()->*c.op)();
        WaitIdle();
        if (c.refused) {
            EXPECT_EQ(host.boxSteps.load(), steps + 1) << c.name;
            EXPECT_EQ(sink.Decodes().size(), decodes) << c.name;
            EXPECT_EQ(view->State(), before) << c.name;
        } else {
            EXPECT_GE(host.boxSteps.load(), steps + 1) << c.name;
        }
        EXPECT_EQ(view->State(), c.after) << c.name;
        view.reset();
        sink.Clear();
    }
}

TEST_F(TileTest, SeekToFramePositionsBySecond)
{
    Record(TenPerSecond(80510, 3), 10);
    Make();
    ASSERT_TRUE(Open());
    view->SeekToFrame(1);
    EXPECT_EQ(view->State(), PlayState::Paused);
    EXPECT_EQ(view->GetPlayPosition(), 1);
    EXPECT_EQ(sink.Shown().last(), recording.units[10]);
    view->SeekToFrame(500); // past the end: the last entry
    EXPECT_EQ(view->GetPlayPosition(), 2);
    EXPECT_EQ(sink.Shown().last(), recording.units[20]);
}

namespace {

void Truncate(const QString& path, qint64 size)
{
    QFile f(path);
    ASSERT_TRUE(f.resize(size));
}

void Overwrite(const QString& path, qint64 at, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(at));
    f.write(bytes);
}

// Writes the bytes at the given distance after every frame header mark "ff 01 00 00" of a file.
void OverwriteAfterEveryMark(const QString& path, qint64 distance, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QByteArray all = f.readAll();
    const QByteArray mark("\xff\x01\0\0", 4);
    int marks = 0;
    for (int at = all.indexOf(mark); at >= 0; at = all.indexOf(mark, at + 1), ++marks) {
        ASSERT_TRUE(f.seek(at + distance));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    ASSERT_GT(marks, 0);
}

} // namespace

TEST_F(TileTest, DamagedRecordingsGiveErrorsNotCrashes)
{
    const struct
    {
        const char* name;
        std::function<void(const QString& data, const QString& index)> damage;
        bool opens;
    } cases[] = {
        {"index missing", [](const QString&, const QString& index) { QFile::remove(index); }, false},
        {"index header only", [](const QString&, const QString& index) { Truncate(index, 512); }, false},
        {"index cut short", [](const QString&, const QString& index) { Truncate(index, 100); }, false},
        {"data missing", [](const QString& data, const QString&) { QFile::remove(data); }, false},
        {"data empty", [](const QString& data, const QString&) { Truncate(data, 0); }, false},
        {"data cut in the first frame", [](const QString& data, const QString&) { Truncate(data, 300); }, false},
        {"entries point past the data",
         [](const QString&, const QString& index) {
             QByteArray far(16, '\x7f');
             for (int s = 0; s < 3; ++s)
                 Overwrite(index, (8 * 3600 + 5 * 60 + 10 + s + 32) * 16, far);
         },
         false},
        {"frame lengths beyond any frame",
         [](const QString& data, const QString&) {
             OverwriteAfterEveryMark(data, 4, QByteArray("\xff\xff\xff\xff", 4));
         },
         true},
        {"garbage headers",
         [](const QString& data, const QString&) { OverwriteAfterEveryMark(data, 20, QByteArray(32, '\xee')); },
         true},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        recording = WriteClientRecording(dir.path(), TenPerSecond(80510, 3), 10);
        ASSERT_TRUE(recording.error.isEmpty());
        const QString data = recording.folder + "/" + recording.dataName;
        c.damage(data, recording.folder + "/i" + recording.dataName);
        Make();
        const bool opened = Open();
        EXPECT_EQ(opened, c.opens) << c.name;
        if (!opened) {
            EXPECT_FALSE(view->LastError().isEmpty()) << c.name;
            EXPECT_FALSE(view->IsOpened()) << c.name;
        }
        // Whatever opened plays to an end without reading outside its files.
        view->PlayForward();
        WaitIdle();
        view->GoToTime("080511");
        view->StepBackward();
        WaitIdle();
        view->FastBackward();
        WaitIdle();
        view.reset();
        sink.Clear();
    }
}

// A predicted picture shown again (a redraw, a seek into its group) is decoded after its key
// frame and every picture of the group before it, each hidden: decoded straight after the key
// frame it would refer to the wrong picture and show broken blocks.
TEST_F(TileTest, ShowingTheCurrentFrameAgainDecodesItsGroupFromTheKeyFrame)
{
    Record(TenPerSecond(80510, 2), 10);
    Make();
    ASSERT_TRUE(Open());
    for (int i = 0; i < 4; ++i) {
        view->StepForward();
        WaitIdle();
    }
    ASSERT_EQ(sink.Shown().last(), recording.units[4]);
    sink.Clear();
    view->ShowCurrentFrame();
    const QVector<DecodeCall> decodes = sink.Decodes();
    QStringList seen;
    for (const auto& d : decodes)
        seen << QString::number(recording.units.indexOf(d.data)) + (d.shown ? "s" : "");
    EXPECT_EQ(seen.join(","), QString("0,1,2,3,4s"));
}
