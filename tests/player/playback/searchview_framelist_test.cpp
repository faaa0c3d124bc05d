// A tile's playback engine over the player's own recordings (written by its recording writer, or
// written out by hand where the writer cannot make the case): opening and the first frame,
// refusal of damaged recordings, stepping across files, play to the end, frames shorter than
// the tile's frame period, seeks to a position and to a time, and the play position queries.
#include "common/support/decoder_streams.h"
#include "engine/audiosink.h"
#include "engine/caudioplayer.h"
#include "playback/audioplayersink.h"
#include "playback/searchview.h"
#include "playback/video_info.h"
#include "support/emptyrunindex.h"
#include "support/playbackfakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

const QString kName = QStringLiteral("20240131081510x"); // channel 2 → x081510.002

QByteArray Frame(int i, bool key)
{
    QByteArray f(200 + 2 * i, char('a' + i % 26));
    f[0] = 0;
    f[1] = 0;
    f[2] = char(key ? 0x8A : 0x88); // channel 2; 0x200 starts a group
    f[3] = 0;
    return f;
}

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Two files of two 8-byte frames each in one index. keyOfFirstFile: the frame of the first
// file's key-frame entry (1: its frame 0 belongs to no group).
QByteArray TwoFileIndex(int keyOfFirstFile)
{
    QByteArray index;
    index += Hex("0400 040000 00   0400 040000 03"); // frame records of file 0
    index += Hex("ffffffff 00000000 10000000 2000 0200 03 00 0100");
    index += keyOfFirstFile == 0 ? Hex("0000 0000 00000000 00000000") : Hex("0100 0600 00000000 00000000");
    index += Hex("0400 040000 03   0400 040000 03"); // frame records of file 1, at 44
    index += Hex("ffffffff 00000000 10000000 2000 0200 03 00 0100"
                 "0000 2c00 00000000 00000000"); // file record of file 1, at 56
    // Header at 88: 2024-01-31 08:15:10, 401, 240, channel index 1, no text, 4 frames, PAL,
    // two file entries (records at 12 and 56), its length 100.
    index += Hex("ffffffff e807 01 1f 08 0f 0a 00 9101 f000 01000000"
                 "0000000000000000000000000000000000000000"
                 "00000000 04000000 04000000 01 00 0000 00000000 02000000"
                 "00000000 00000000 00000000 0c000000"
                 "00000000 00000000 00000000 38000000"
                 "64000000");
    return index;
}

class FrameListTile : public ::testing::Test
{
protected:
    QString Folder() const { return dir.path() + QLatin1Char('/'); }
    // n frames written by the player's writer, a key frame every keyEvery; code(i) ticks each.
    void Record(int n, int keyEvery, const std::function<int(int)>& code, bool fiftyFields = false)
    {
        Video_Info writer;
        for (int i = 0; i < n; ++i) {
            const QByteArray f = Frame(i, i % keyEvery == 0);
            frames.append(f);
            ASSERT_EQ(writer.WriteFrame(Folder(), kName, "Cam 2", f.constData(), f.size(), code(i), 0,
                                        fiftyFields ? 1 : 0),
                      0);
        }
    }
    void WriteTwoFiles(int keyOfFirstFile)
    {
        ASSERT_TRUE(WriteFile(Folder() + "ix081510.002", TwoFileIndex(keyOfFirstFile)));
        ASSERT_TRUE(WriteFile(Folder() + "x081510.002", "AAAAAAAABBBBBBBBCCCCCCCCDDDDDDDD"));
    }
    void Make()
    {
        clock = std::make_unique<FakeClock>();
        view = std::make_unique<CSearchView>(3, sink, host, audio, *clock);
    }
    bool Open(const QString& name = QStringLiteral("x081510.002"))
    {
        return view->OpenFile({name, Folder(), 3, 0});
    }
    void WaitIdle()
    {
        ASSERT_TRUE(WaitUntil([&] { return !view->IsRunning(); }));
        view->Join();
    }

    QTemporaryDir dir;
    QVector<QByteArray> frames;
    FakeFrameSink sink;
    FakeHost host;
    FakeAudioSink audio;
    std::unique_ptr<FakeClock> clock;
    std::unique_ptr<CSearchView> view;
};

} // namespace

TEST_F(FrameListTile, OpeningAWriterRecordingShowsItsFirstFrame)
{
    Record(12, 4, [](int i) { return i == 0 ? 0 : 2; });
    Make();
    for (const QString& name : {QStringLiteral("x081510.002"), QStringLiteral("ix081510.002")}) {
        sink.Clear();
        ASSERT_TRUE(Open(name)) << view->LastError().toStdString();
        EXPECT_TRUE(view->IsOpened());
        EXPECT_FALSE(view->IndexBased());
        EXPECT_EQ(view->State(), PlayState::Start);
        EXPECT_EQ(view->Channel(), 1);
        EXPECT_EQ(view->ServerId(), -999);
        EXPECT_EQ(view->DataPath(), Folder() + "x081510.002");
        EXPECT_EQ(view->IndexPath(), Folder() + "ix081510.002");
        ASSERT_EQ(sink.Queued().size(), 1) << name.toStdString();
        EXPECT_EQ(sink.Queued().first(), frames.first());
        const QueuedFrame f = sink.QueuedFrames().first();
        EXPECT_EQ(f.serverId, -999);
        EXPECT_EQ(f.tile, 3);
        EXPECT_EQ(f.codec, 0); // the engine's own decoder
        EXPECT_EQ(f.frameType, 1);
        EXPECT_EQ(f.date, 20240131);
        EXPECT_EQ(f.time, 81510);
        EXPECT_EQ(view->GetCurrentTimeString(), QString("081510"));
        EXPECT_EQ(view->GetPlayRange(), 11);
        EXPECT_EQ(view->GetPlayPosition(), 0);
    }
}

TEST_F(FrameListTile, DamagedOrEmptyRecordingsAreRefusedWithTheMessage)
{
    Record(3, 3, [](int) { return 2; });
    QFile index(Folder() + "ix081510.002");
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    const QByteArray good = index.readAll();
    index.close();
    QFile data(Folder() + "x081510.002");
    ASSERT_TRUE(data.open(QIODevice::ReadOnly));
    const QByteArray goodData = data.readAll();
    data.close();
    // A header with no file entry: 2024-01-31 08:15:10, 0 frames, 0 entries, length 84.
    const QByteArray noFiles = Hex("ffffffff e807 01 1f 08 0f 0a 00 9101 f000 01000000"
                                   "0000000000000000000000000000000000000000"
                                   "00000000 00000000 00000000 00 00 0000 00000000 00000000"
                                   "00000000 00000000 00000000 00000000"
                                   "54000000");
    ASSERT_EQ(noFiles.size(), 84);
    struct Case
    {
        const char* what;
        QByteArray index;
        QByteArray data;
    };
    const Case cases[] = {
        {"empty index", QByteArray(), goodData},
        {"index cut short", good.left(good.size() - 10), goodData},
        {"header length word beyond the file", good.left(good.size() - 4) + Hex("00100000"), goodData},
        {"no file entry", noFiles, goodData},
        {"first frame beyond the data file", good, goodData.left(10)},
        {"not our layout", QByteArray(300, 'z'), goodData},
        {"a hundred files of frames without data", EmptyRunIndex(100, 65535), goodData},
    };
    Make();
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFile(Folder() + "ix081510.002", c.index)) << c.what;
        ASSERT_TRUE(WriteFile(Folder() + "x081510.002", c.data)) << c.what;
        sink.Clear();
        EXPECT_FALSE(Open()) << c.what;
        EXPECT_EQ(view->LastError(), QString(CSearchView::kCorruptText)) << c.what;
        EXPECT_FALSE(view->IsOpened()) << c.what;
        EXPECT_TRUE(sink.Queued().isEmpty()) << c.what;
        EXPECT_EQ(view->GetPlayRange(), 0) << c.what;
        EXPECT_EQ(view->GetPlayPosition(), -1) << c.what;
    }
    // Without an index at all.
    ASSERT_TRUE(QFile::remove(Folder() + "ix081510.002"));
    EXPECT_FALSE(Open());
    EXPECT_EQ(view->LastError(), QString(CSearchView::kCorruptText));
}

TEST_F(FrameListTile, StepsCrossTheFileBoundaryBothWaysAndStopAtTheEnds)
{
    WriteTwoFiles(0);
    Make();
    ASSERT_TRUE(Open()) << view->LastError().toStdString();
    EXPECT_EQ(view->GetPlayRange(), 3);
    struct Step
    {
        bool forward;
        QVector<QByteArray> handed; // the frames handed on by the step, in order
        int position;
        PlayState state;
    };
    const Step steps[] = {
        {true, {"BBBBBBBB"}, 1, PlayState::StepForward},
        {true, {"CCCCCCCC"}, 2, PlayState::StepForward}, // file 1's key frame
        {true, {"DDDDDDDD"}, 3, PlayState::End},
        {false, {"CCCCCCCC"}, 2, PlayState::StepBackward},
        // Back into file 0: its group's key frame first.
        {false, {"AAAAAAAA", "BBBBBBBB"}, 1, PlayState::StepBackward},
        {false, {"AAAAAAAA"}, 0, PlayState::Start},
    };
    int i = 0;
    for (const Step& s : steps) {
        sink.Clear();
        if (s.forward)
            view->StepForward();
        else
            view->StepBackward();
        WaitIdle();
        EXPECT_EQ(sink.Queued(), s.handed) << "step " << i;
        EXPECT_EQ(view->GetPlayPosition(), s.position) << "step " << i;
        EXPECT_EQ(view->State(), s.state) << "step " << i;
        ++i;
    }
    // At the start a step back is refused and only steps the box.
    const int boxSteps = host.boxSteps;
    sink.Clear();
    view->StepBackward();
    EXPECT_FALSE(view->IsRunning());
    EXPECT_EQ(host.boxSteps.load(), boxSteps + 1);
    EXPECT_TRUE(sink.Queued().isEmpty());
}

TEST_F(FrameListTile, FramesBeforeTheFirstKeyFrameAreNotHandedOn)
{
    WriteTwoFiles(1);
    Make();
    ASSERT_TRUE(Open()) << view->LastError().toStdString();
    EXPECT_TRUE(sink.Queued().isEmpty()); // frame 0 has no group to decode from
    view->StepForward();
    WaitIdle();
    EXPECT_EQ(sink.Queued(), QVector<QByteArray>{"BBBBBBBB"});
    sink.Clear();
    view->StepBackward();
    WaitIdle();
    EXPECT_TRUE(sink.Queued().isEmpty());
    EXPECT_EQ(view->State(), PlayState::Start);
}

TEST_F(FrameListTile, PlayForwardHandsEveryFramePacedAndEndsAtTheLastFrame)
{
    // Two ticks (33.4 ms at 59.94 fields) a frame: no frame is shorter than the 33 ms period.
    Record(12, 4, [](int i) { return i == 0 ? 0 : 2; });
    Make();
    ASSERT_TRUE(Open());
    sink.Clear();
    view->PlayForward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::End);
    EXPECT_EQ(sink.Queued(), frames); // the current frame first, then each one after it
    EXPECT_EQ(view->GetPlayPosition(), 11);
    // The last frame is shown with the end state, the ones before it playing.
    const QVector<QueuedFrame> handed = sink.QueuedFrames();
    EXPECT_EQ(handed.first().playState, int(PlayState::Forward));
    EXPECT_EQ(handed.last().playState, int(PlayState::End));
    const QVector<int> pauses = clock->Pauses();
    ASSERT_EQ(pauses.size(), 11);
    for (int p : pauses)
        EXPECT_EQ(p, 33);
    EXPECT_EQ(host.groupLeaves.load(), 1);
    // At the end a further play forward is refused.
    const int boxSteps = host.boxSteps;
    view->PlayForward();
    EXPECT_FALSE(view->IsRunning());
    EXPECT_EQ(host.boxSteps.load(), boxSteps + 1);

    // Backward play returns to the first frame and stops there.
    sink.Clear();
    view->PlayBackward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::Start);
    EXPECT_EQ(view->GetPlayPosition(), 0);
    ASSERT_FALSE(sink.Queued().isEmpty());
    EXPECT_EQ(sink.Queued().last(), frames.first());
    EXPECT_EQ(sink.QueuedFrames().last().playState, int(PlayState::Start));
}

TEST_F(FrameListTile, FramesShorterThanTheFramePeriodAreSkipped)
{
    // One tick (16.7 ms) a frame against the 33 ms period of 30 frames a second: every second
    // frame is shown; the file's last frame ends the skipping.
    Record(12, 4, [](int i) { return i == 0 ? 0 : 1; });
    Make();
    ASSERT_TRUE(Open());
    sink.Clear();
    view->PlayForward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::End);
    const QVector<QByteArray> expected = {frames[0], frames[2],  frames[4], frames[6],
                                          frames[8], frames[10], frames[11]};
    EXPECT_EQ(sink.Queued(), expected);
}

TEST_F(FrameListTile, AShortDelayIsHandedOnAsTheTilesFramePeriod)
{
    struct Case
    {
        int code;
        int frameRate;
        bool fiftyFields;
        int handed; // ticks
    };
    const Case cases[] = {
        {20, 30, false, 20}, // 333 ms: longer than the period
        {1, 10, false, 5},   // 16.7 ms < 100 ms: 100 x 59.94 x 0.001 = 5.99
        {1, 10, true, 5},    // 20 ms < 100 ms: 100 x 50 x 0.001
        {2, 25, true, 2},    // exactly the 40 ms period
        {3, 5, true, 10},    // 60 ms < 200 ms
    };
    for (const Case& c : cases) {
        QTemporaryDir caseDir;
        Video_Info writer;
        const QByteArray f = Frame(0, true);
        ASSERT_EQ(writer.WriteFrame(caseDir.path() + "/", kName, "", f.constData(), f.size(), c.code, 0,
                                    c.fiftyFields ? 1 : 0),
                  0);
        FakeFrameSink caseSink;
        FakeHost caseHost;
        caseHost.frameRate = c.frameRate;
        FakeClock caseClock;
        CSearchView tile(3, caseSink, caseHost, audio, caseClock);
        ASSERT_TRUE(tile.OpenFile({"x081510.002", caseDir.path(), 3, 0}));
        ASSERT_EQ(caseSink.QueuedFrames().size(), 1);
        EXPECT_EQ(caseSink.QueuedFrames().first().interval, c.handed) << c.code << " at " << c.frameRate;
    }
}

TEST_F(FrameListTile, FrameTimesCountFieldsAtTheRecordingsRate)
{
    // Fifty ticks a frame: one second at 50 fields, 0.834 s at 59.94.
    struct Case
    {
        bool fiftyFields;
        int frame;
        const char* time;
    };
    const Case cases[] = {
        {true, 0, "081510"},  {true, 1, "081511"},  {true, 6, "081516"},
        {false, 1, "081510"}, {false, 2, "081511"}, {false, 6, "081515"},
    };
    for (const Case& c : cases) {
        QTemporaryDir caseDir;
        Video_Info writer;
        for (int i = 0; i < 7; ++i) {
            const QByteArray f = Frame(i, i == 0);
            ASSERT_EQ(writer.WriteFrame(caseDir.path() + "/", kName, "", f.constData(), f.size(), i == 0 ? 0 : 50,
                                        0, c.fiftyFields ? 1 : 0),
                      0);
        }
        FakeFrameSink caseSink;
        FakeClock caseClock;
        CSearchView tile(3, caseSink, host, audio, caseClock);
        ASSERT_TRUE(tile.OpenFile({"x081510.002", caseDir.path(), 3, 0}));
        EXPECT_EQ(tile.GetFrameTimeString(0, c.frame), QString(c.time)) << c.fiftyFields << " frame " << c.frame;
        tile.SeekToFrame(c.frame);
        EXPECT_EQ(tile.GetCurrentTimeString(), QString(c.time)) << c.fiftyFields << " frame " << c.frame;
    }
    Make();
    EXPECT_EQ(view->GetFrameTimeString(0, 0), QString("000000")); // nothing loaded
}

TEST_F(FrameListTile, SeeksToAPositionAndToATime)
{
    // PAL, half a second a frame: frame i at 08:15:10 + i / 2 s; key frames every fourth.
    Record(
        10, 4, [](int i) { return i == 0 ? 0 : 25; }, true);
    Make();
    ASSERT_TRUE(Open());
    struct Position
    {
        int position;
        QVector<int> handed; // frames handed on
        PlayState state;
    };
    const Position positions[] = {
        {5, {4, 5}, PlayState::Paused}, // inside the second group: its key frame first
        {6, {6}, PlayState::Paused},    // same group: no key frame again
        {9, {8, 9}, PlayState::End},
        {0, {0}, PlayState::Start},
    };
    for (const Position& p : positions) {
        sink.Clear();
        view->SeekToFrame(p.position);
        QVector<QByteArray> expected;
        for (int i : p.handed)
            expected.append(frames[i]);
        EXPECT_EQ(sink.Queued(), expected) << "position " << p.position;
        EXPECT_EQ(view->GetPlayPosition(), p.position);
        EXPECT_EQ(view->State(), p.state) << "position " << p.position;
    }
    sink.Clear();
    view->SeekToFrame(10); // beyond the last frame: nothing read
    EXPECT_TRUE(sink.Queued().isEmpty());

    struct Time
    {
        const char* text;
        int frame; // the last frame not after the time
        PlayState state;
    };
    const Time times[] = {
        {"081500", 0, PlayState::Start}, // before the recording: its first frame
        {"081510", 1, PlayState::Paused},   {"081512", 5, PlayState::Paused},
        {"08:15:11", 3, PlayState::Paused}, {"240000", 9, PlayState::End},
    };
    for (const Time& t : times) {
        view->GoToTime(t.text);
        WaitIdle();
        EXPECT_EQ(view->GetPlayPosition(), t.frame) << t.text;
        EXPECT_EQ(view->State(), t.state) << t.text;
        ASSERT_FALSE(sink.Queued().isEmpty());
        EXPECT_EQ(sink.Queued().last(), frames[t.frame]) << t.text;
    }
    view->GoFirst();
    EXPECT_EQ(view->GetPlayPosition(), 0);
    EXPECT_EQ(view->State(), PlayState::Start);
    view->GoLast();
    EXPECT_EQ(view->GetPlayPosition(), 9);
    EXPECT_EQ(view->GetCurrentTimeString(), QString("081514"));
    EXPECT_EQ(view->State(), PlayState::End);
}

TEST_F(FrameListTile, DataCutShortEndsPlayWithoutHandingTheMissingFrames)
{
    Record(6, 3, [](int i) { return i == 0 ? 0 : 2; });
    QFile data(Folder() + "x081510.002");
    ASSERT_TRUE(data.open(QIODevice::ReadWrite));
    ASSERT_TRUE(data.resize(frames[0].size() + frames[1].size() + 5)); // frame 2 cut
    data.close();
    Make();
    ASSERT_TRUE(Open());
    sink.Clear();
    view->PlayForward();
    WaitIdle();
    EXPECT_EQ(sink.Queued(), (QVector<QByteArray>{frames[0], frames[1]}));
    EXPECT_NE(view->State(), PlayState::Forward);
    view->CloseSearch();
    EXPECT_FALSE(view->IsOpened());
}

namespace {

// The byte the audio files of these tests hold at file offset o.
char AudioByte(qint64 o)
{
    return char((o * 13 + o / 509) & 0xFF);
}

QByteArray AudioBytes(qint64 from, int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out.append(AudioByte(from + i));
    return out;
}

} // namespace

TEST_F(FrameListTile, ForwardPlayWithSoundHandsEachSecondsAudioAsTheVideoReachesIt)
{
    // Half a second a frame at 50 fields: frames 0..7 stand in seconds 0, 0, 1, 1, 2, 2, 3, 3.
    Record(
        8, 2, [](int i) { return i == 0 ? 0 : 25; }, true);
    Make();
    ASSERT_TRUE(Open());
    EXPECT_EQ(view->AudioOn(), 0); // no audio file beside the recording

    // The audio file: one channel of 4-bit sound, the data 2 + 48 bytes in, four seconds.
    QByteArray file = Hex("00000000 aa55ff11 01000000 00000000 00000100 00000000 00000000 02000000");
    file.append(QByteArray(18, '\0'));
    for (qint64 o = file.size(); o < 50 + 4 * 4000; ++o)
        file.append(AudioByte(o));
    ASSERT_TRUE(WriteFile(Folder() + "ax081510.a", file));
    ASSERT_TRUE(Open());
    EXPECT_EQ(view->AudioOn(), 1);
    EXPECT_EQ(view->AudioPath(), Folder() + "ax081510.a");

    ASSERT_TRUE(view->StartAudio());
    EXPECT_EQ(view->AudioOn(), 2);
    view->PlayForward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::End);
    QVector<QByteArray> expected;
    for (int s = 0; s < 4; ++s) {
        expected.append(AudioBytes(50 + s * 4000, 2000));
        expected.append(AudioBytes(50 + s * 4000 + 2000, 2000));
    }
    EXPECT_EQ(audio.blocks, expected);
    EXPECT_EQ(audio.codecs, QVector<int>(8, 1));

    // Backward play and play with the sound switched off hand no audio on.
    audio.blocks.clear();
    view->PlayBackward();
    WaitIdle();
    EXPECT_EQ(view->State(), PlayState::Start);
    view->WaitAudioReady();
    EXPECT_EQ(view->AudioOn(), 1);
    view->PlayForward();
    WaitIdle();
    EXPECT_TRUE(audio.blocks.isEmpty());
}

TEST_F(FrameListTile, OpeningMarksTheRecordingsTimeInTheTimeSearchBar)
{
    // One tile opens one recording after another: each opening clears what the row showed of
    // the recording before (when it showed any) and marks its own cells.
    struct Case
    {
        const char* name; // the writer's name text
        const char* data; // the data file it makes
        int frames;
        int code;
        bool fiftyFields;
        int firstCell;
        int count;
        bool clearsFirst;
    };
    const Case cases[] = {
        {"20240131081510x", "x081510.002", 12, 2, false, 165, 1, false},   // 0.37 s from 08:15
        {"20240131000000x", "x000000.002", 200, 100, true, 0, 3, true},    // 398 s
        {"20240131120300x", "x120300.002", 2, 0, true, 241, 0, true},      // no time between its frames
        {"20240131235930x", "x235930.002", 200, 100, true, 479, 1, false}, // past midnight: to the row's end
    };
    Make();
    std::vector<std::unique_ptr<QTemporaryDir>> dirs;
    for (const Case& c : cases) {
        dirs.push_back(std::make_unique<QTemporaryDir>());
        Video_Info writer;
        for (int i = 0; i < c.frames; ++i) {
            const QByteArray f = Frame(i, i % 10 == 0);
            ASSERT_EQ(writer.WriteFrame(dirs.back()->path() + "/", c.name, "", f.constData(), f.size(),
                                        i == 0 ? 0 : c.code, 0, c.fiftyFields ? 1 : 0),
                      0);
        }
        host.marks.clear();
        ASSERT_TRUE(view->OpenFile({c.data, dirs.back()->path() + "/", 3, 0})) << c.name;
        QVector<QVector<int>> expected;
        if (c.clearsFirst)
            expected.append({3, 0, 0});
        expected.append({3, c.firstCell, c.count});
        EXPECT_EQ(host.marks, expected) << c.name;
    }
    host.marks.clear();
    view->CloseSearch();
    EXPECT_EQ(host.marks, (QVector<QVector<int>>{{3, 0, 0}}));
}

TEST_F(FrameListTile, ASeekToATimeRunsOnTheTilesWorker)
{
    Record(12, 4, [](int i) { return i == 0 ? 0 : 2; });
    Make();
    ASSERT_TRUE(Open());
    sink.Clear();
    view->GoToTime("081510"); // every frame lies in that second: the last one
    WaitIdle();
    EXPECT_EQ(view->GetPlayPosition(), 11);
    ASSERT_FALSE(sink.QueuedThreads().isEmpty());
    for (const std::thread::id& id : sink.QueuedThreads())
        EXPECT_NE(id, std::this_thread::get_id());
}

namespace {

// The sound device: keeps the 16-bit blocks the sound output plays.
class RecordingDevice : public AudioSink
{
public:
    bool Open(int, int) override { return true; }
    void PlayBlock(const QByteArray& block) override { played += block; }
    void PlayMuLaw(const QByteArray&) override {}
    void Stop() override {}
    QByteArray played;
};

std::vector<double> Samples(const QByteArray& pcm)
{
    std::vector<double> out;
    for (int i = 0; i + 1 < pcm.size(); i += 2)
        out.push_back(double(qint16(quint8(pcm[i]) | (quint8(pcm[i + 1]) << 8))));
    return out;
}

} // namespace

// The recording's sound made by ffmpeg (a tone as 4-bit G.726 behind the audio file's head)
// comes out of the player's audio output as ffmpeg decodes the same bytes: the whole of it, in
// order.
TEST_F(FrameListTile, TheSoundOfARecordingPlaysAsFfmpegDecodesIt)
{
    Record(
        8, 2, [](int i) { return i == 0 ? 0 : 25; }, true); // seconds 0 to 3
    const QString coded = Folder() + "tone.g726";
    const QString reference = Folder() + "tone.pcm";
    ASSERT_EQ(
        decoder_streams::RunFfmpeg({"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=8000:duration=4", "-ar",
                                    "8000", "-ac", "1", "-c:a", "g726le", "-b:a", "32k", "-f", "g726le", coded}),
        QString());
    ASSERT_EQ(decoder_streams::RunFfmpeg(
                  {"-f", "g726le", "-code_size", "4", "-ar", "8000", "-i", coded, "-f", "s16le", reference}),
              QString());
    QFile codes(coded);
    ASSERT_TRUE(codes.open(QIODevice::ReadOnly));
    // Head: the mark, kind 1, channel mask 2, data from 2 + 48.
    QByteArray file = Hex("00000000 aa55ff11 01000000 00000000 00000200 00000000 00000000 02000000");
    file.append(QByteArray(18, '\0'));
    file.append(codes.readAll());
    ASSERT_EQ(file.size(), 50 + 4 * 4000);
    ASSERT_TRUE(WriteFile(Folder() + "ax081510.au", file));
    QFile pcm(reference);
    ASSERT_TRUE(pcm.open(QIODevice::ReadOnly));
    const std::vector<double> theirs = Samples(pcm.readAll());

    RecordingDevice device;
    CAudioPlayer player(&device);
    ASSERT_EQ(player.Init(), 0);
    AudioPlayerSink output(player);
    FakeClock freeClock;
    CSearchView tile(3, sink, host, output, freeClock);
    ASSERT_TRUE(tile.OpenFile({"x081510.002", Folder(), 3, 0}));
    ASSERT_TRUE(tile.StartAudio());
    tile.PlayForward();
    ASSERT_TRUE(WaitUntil([&] { return !tile.IsRunning(); }));
    tile.Join();
    // The sound output plays what waits, a block per block length.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return device.played.size() >= 4 * 16000 && !player.Sound().IsPlaying(); }, 120000));
    const std::vector<double> ours = Samples(device.played);
    ASSERT_EQ(ours.size(), 4u * 8000u); // four seconds, nothing lost or repeated
    ASSERT_GE(theirs.size(), ours.size());
    double cross = 0, a = 0, b = 0;
    int identical = 0;
    for (size_t i = 0; i < ours.size(); ++i) {
        cross += ours[i] * theirs[i];
        a += ours[i] * ours[i];
        b += theirs[i] * theirs[i];
        identical += ours[i] == theirs[i] ? 1 : 0;
    }
    ASSERT_GT(a, 0);
    EXPECT_GT(cross / std::sqrt(a * b), 0.99);
    RecordProperty("identical_samples", QString("%1/%2").arg(identical).arg(ours.size()).toStdString());
}
