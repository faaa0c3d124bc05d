// A tile's playback engine over client recordings written by the client's own writer: opening,
// the frames handed to the video engine in order (key frames first where a seek lands inside a
// group of pictures), pacing, seeks by time and to the nearest minute, stepping back, the play
// operations' refusals, the fast speeds and damaged files.
#include "playback/searchview.h"
#include "support/clientrecording.h"
#include "support/playbackfakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
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

// The control bar sets the speed of each fast press (1..5, then 1 again; it stops the tile
// before, so only the bar knows the tile's fast state); the tile paces by the speed it holds.
TEST_F(TileTest, FastSpeedsSetTheCadence)
{
    Record(TenPerSecond(80510, 12), 10);
    Make(true); // every pause lasts until the next operation stops it
    ASSERT_TRUE(Open());
    const struct
    {
        int speed;
        int pause;
    } presses[] = {{1, 500}, {2, 333}, {3, 250}, {4, 200}, {5, 150}, {1, 500}, {0, 500}, {9, 150}};
    for (const auto& p : presses) {
        const int before = clock->Pauses().size();
        view->SetFastSpeed(p.speed);
        view->StopPlayback();
        view->FastForward();
        ASSERT_TRUE(WaitUntil([&] { return clock->Pauses().size() > before; })) << p.speed;
        EXPECT_EQ(view->FastSpeed(), std::clamp(p.speed, 1, 5));
        EXPECT_EQ(clock->Pauses().last(), p.pause) << "speed " << p.speed;
    }
    // A fast press without a new speed keeps the one the tile holds.
    const int before = clock->Pauses().size();
    view->FastForward();
    ASSERT_TRUE(WaitUntil([&] { return clock->Pauses().size() > before; }));
    EXPECT_EQ(clock->Pauses().last(), 150);
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
        // A stop of a tile on which nothing runs only answers the box.
        {"stop at start", Setup::Start, &CSearchView::StopPlayback, true, PlayState::Start},
        {"stop at end", Setup::End, &CSearchView::StopPlayback, true, PlayState::End},
        {"stop paused", Setup::Paused, &CSearchView::StopPlayback, true, PlayState::Paused},
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

// With a frame rate of 5 a tile may show 5 of a second's 10 frames, and skipping lands on key
// frames only; a second holding one key frame or none (common: the client writes whatever
// group the recorder sends) is played frame by frame rather than divided by its key count.
TEST_F(TileTest, SecondsWithOneKeyFrameOrNoneAreNotSkippedThrough)
{
    Record(TenPerSecond(80510, 3), 20); // keys at frames 0 and 20: 08:05:11 has none
    host.frameRate = 5;
    Make();
    ASSERT_TRUE(Open());
    view->PlayForward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::End);
    const QVector<QByteArray> shown = sink.Shown();
    ASSERT_EQ(shown.size(), recording.units.size());
    for (int i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], recording.units[i]) << "frame " << i;
}

namespace {

struct PaceCase
{
    int split;       // tiles of the layout
    int keyInterval; // frames from key frame to key frame
    int streamKind;  // 2: the index asks for stepping from key frame to key frame
    int tileRate;    // the tile's frame rate setting
    int fastSpeed;   // 0: play forward; else fast forward at this speed
    double rate;     // recorded seconds per second of the player's clock
};

} // namespace

// Whatever share of a second's frames a layout shows, the recording's clock moves against the
// player's own (steady) clock at the recorded speed in play, and at the speed's rate in fast
// forward (one recorded second every 500, 333, 250, 200 or 150 ms).
TEST_F(TileTest, EveryLayoutAndSpeedPlaysAtItsRate)
{
    const PaceCase cases[] = {{1, 30, 1, 30, 0, 1.0}, {1, 10, 1, 15, 0, 1.0},         {4, 30, 1, 15, 0, 1.0},
                              {4, 10, 1, 15, 0, 1.0}, {4, 7, 1, 30, 0, 1.0},          {16, 10, 1, 15, 0, 1.0},
                              {16, 15, 1, 1, 0, 1.0}, {1, 3, 2, 15, 0, 1.0},          {4, 3, 2, 15, 0, 1.0},
                              {4, 10, 2, 15, 0, 1.0}, {9, 10, 2, 30, 0, 1.0},         {16, 3, 2, 15, 0, 1.0},
                              {4, 10, 1, 15, 1, 2.0}, {4, 10, 2, 15, 2, 3.0},         {16, 10, 1, 15, 3, 4.0},
                              {1, 10, 1, 15, 4, 5.0}, {16, 3, 2, 15, 5, 1000.0 / 150}};
    for (const PaceCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "split " << c.split << ", key every " << c.keyInterval << ", kind "
                                        << c.streamKind << ", rate " << c.tileRate << ", fast " << c.fastSpeed);
        QTemporaryDir dir;
        recording = WriteClientRecording(dir.path(), PerSecond(80510, 4, 30), c.keyInterval, c.streamKind);
        ASSERT_TRUE(recording.error.isEmpty()) << recording.error.toStdString();
        host.split = c.split;
        host.frameRate = c.tileRate;
        {
            std::lock_guard<std::mutex> lock(host.mutex);
            host.timeReports.clear();
        }
        Make();
        host.clockNow = [this] { return clock->NowMs(); };
        ASSERT_TRUE(Open());
        if (c.fastSpeed > 0) {
            view->SetFastSpeed(c.fastSpeed);
            view->FastForward();
        } else {
            view->PlayForward();
        }
        WaitIdle();
        host.clockNow = nullptr;
        QVector<QPair<qint64, QString>> reports;
        {
            std::lock_guard<std::mutex> lock(host.mutex);
            reports = host.timeReports;
        }
        // Each new second of the recording is reported as its first frame is shown.
        ASSERT_EQ(reports.size(), 3);
        EXPECT_EQ(reports.first().second, QString("080511"));
        EXPECT_EQ(reports.last().second, QString("080513"));
        const double played = double(reports.last().first - reports.first().first);
        EXPECT_NEAR(played, 2000 / c.rate, 2) << "ms of the clock for two recorded seconds";
        view.reset();
    }
}

namespace {

// Moves a client recording's video data `shift` bytes further into its file (a sparse hole
// before it) and rewrites every offset into it as the client's writer stores them in a file
// that large: an index entry (16 bytes from byte 512) holds the block's offset in bytes 0-7
// and again in 8-15 with bit 31 of the high word set; a frame-header slot (336 bytes, header
// mark 511 or 497) holds its frame's offset in bytes 20-27 and its key frame's in 28-35
// (-1 when none).
void MoveVideoData(const QString& dataPath, const QString& indexPath, qint64 shift)
{
    QFile index(indexPath);
    ASSERT_TRUE(index.open(QIODevice::ReadWrite));
    QByteArray entries = index.readAll();
    QVector<qint64> blocks;
    for (int at = 512; at + 16 <= entries.size(); at += 16) {
        const quint64 offset = qFromLittleEndian<quint64>(entries.constData() + at);
        if (offset == 0)
            continue;
        blocks << qint64(offset);
        const quint64 moved = offset + quint64(shift);
        qToLittleEndian<quint64>(moved, entries.data() + at);
        qToLittleEndian<quint32>(quint32(moved), entries.data() + at + 8);
        qToLittleEndian<quint32>(quint32(moved >> 32) | 0x80000000u, entries.data() + at + 12);
    }
    ASSERT_FALSE(blocks.isEmpty());
    ASSERT_TRUE(index.seek(0));
    ASSERT_EQ(index.write(entries), entries.size());

    QFile data(dataPath);
    ASSERT_TRUE(data.open(QIODevice::ReadWrite));
    QByteArray video = data.readAll();
    int moved = 0;
    for (const qint64 block : blocks) {
        for (qint64 at = block; at + 56 <= video.size() && at < block + 40 * 336; at += 336) {
            const quint32 mark = qFromLittleEndian<quint32>(video.constData() + at);
            if (mark != 511 && mark != 497)
                break;
            const auto put = [&video](qint64 pos, qint64 value) {
                const quint64 le = qToLittleEndian(quint64(value));
                std::memcpy(video.data() + pos, &le, sizeof le);
            };
            put(at + 20, qFromLittleEndian<qint64>(video.constData() + at + 20) + shift);
            const qint64 key = qFromLittleEndian<qint64>(video.constData() + at + 28);
            if (key != -1)
                put(at + 28, key + shift);
            ++moved;
        }
    }
    ASSERT_GT(moved, 0);
    ASSERT_TRUE(data.resize(0));
    ASSERT_TRUE(data.resize(shift)); // a hole: takes no room on disk
    ASSERT_TRUE(data.seek(shift));
    ASSERT_EQ(data.write(video), video.size());
}

} // namespace

// A recording that has grown past 4 GiB: every offset the tile follows lies above 32 bits,
// with the writer's flag bit in the index entry's high word.
TEST_F(TileTest, OffsetsPastFourGigabytesOpenSeekAndStep)
{
    Record(TenPerSecond(80510, 3), 20);
    MoveVideoData(recording.folder + "/" + recording.dataName, recording.folder + "/i" + recording.dataName,
                  (qint64(1) << 32) + 4096);
    Make();
    ASSERT_TRUE(Open()) << view->LastError().toStdString();
    ASSERT_FALSE(sink.Shown().isEmpty());
    EXPECT_EQ(sink.Shown().last(), recording.units[0]);

    const struct
    {
        const char* name;
        std::function<void(CSearchView&)> op;
        int frame; // last frame shown
        const char* time;
    } steps[] = {
        {"seek into a group begun a second earlier", [](CSearchView& v) { v.GoToTime("080511"); }, 10, "080511"},
        {"step forward", [](CSearchView& v) { v.StepForward(); }, 11, "080511"},
        {"step back to the key frame", [](CSearchView& v) { v.StepBackward(); }, 0, "080510"},
        {"seek to position 2", [](CSearchView& v) { v.SeekToFrame(2); }, 20, "080512"},
        {"first", [](CSearchView& v) { v.GoFirst(); }, 0, "080510"},
        {"last", [](CSearchView& v) { v.GoLast(); }, 20, "080512"},
    };
    for (const auto& s : steps) {
        s.op(*view);
        WaitIdle();
        ASSERT_FALSE(sink.Shown().isEmpty()) << s.name;
        EXPECT_EQ(sink.Shown().last(), recording.units[s.frame]) << s.name;
        EXPECT_EQ(view->GetCurrentTimeString(), QString(s.time)) << s.name;
    }

    // The whole day in order from the first frame, key frames read from past 4 GiB.
    view->GoFirst();
    sink.Clear();
    view->PlayForward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::End);
    const QVector<QByteArray> shown = sink.Shown();
    ASSERT_EQ(shown.size(), recording.units.size() - 1);
    for (int i = 0; i < shown.size(); ++i)
        EXPECT_EQ(shown[i], recording.units[i + 1]) << "frame " << i + 1;
}
