#include "session/moduleplayback.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/playback_host.h"

namespace {

constexpr int kDate = 20240107;

void Put(QByteArray& b, int at, const char* hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    b.replace(at, bytes.size(), bytes);
}

void PutLe(QByteArray& b, int at, quint64 v, int n)
{
    for (int i = 0; i < n; ++i)
        b[at + i] = char(v >> (8 * i) & 0xFF);
}

// Index file 0: minutes 10:30 and 10:31 (10:31 with events); file 1: minutes 10:31 and 10:33.
QByteArray IndexHeader0()
{
    QByteArray h(512, '\0');
    Put(h, 0, "03000023");           // format word
    Put(h, 104, "000000c000000000"); // hour 10 minute mask: bits 30, 31
    Put(h, 304, "0000008000000000"); // hour 10 event mask: bit 31
    return h;
}

QByteArray IndexHeader1()
{
    QByteArray h(512, '\0');
    Put(h, 0, "03000023");
    Put(h, 104, "0000008002000000"); // bits 31, 33
    return h;
}

// Minute 10:30 in file 0: seconds 10, 15 (an offset above 4 GB), 16 and 20.
QByteArray Minute1030()
{
    QByteArray m(960, '\0');
    Put(m, 10 * 16,
        "0010000000000000"
        "00100000"
        "00000080");
    Put(m, 15 * 16,
        "0004000001000000"
        "00040000"
        "01000080");
    Put(m, 16 * 16,
        "0060000000000000"
        "00600000"
        "00000080");
    Put(m, 20 * 16,
        "0020000000000000"
        "00200000"
        "00000080");
    return m;
}

// Three frame headers of one second: a key frame of 1000 bytes at 0x5000, then frames of 200
// bytes at 0x5400 and 150 bytes at 0x5500 that depend on it; the fourth slot has no marker.
QByteArray ThreeFrameHeaders()
{
    QByteArray b(13440, '\0');
    Put(b, 0,
        "ff010000"
        "02d00700"
        "00000001"
        "00000000"
        "52000000"
        "0050000000000000"
        "0050000000000000"
        "e8030000"
        "00000000"
        "0000000000000000"
        "00000000");
    Put(b, 336,
        "ff010000"
        "02900100"
        "00000001"
        "00000000"
        "50000000"
        "0054000000000000"
        "0050000000000000"
        "e8030000"
        "00000000"
        "0000000000000000"
        "00000000");
    Put(b, 672,
        "ff010000"
        "022c0100"
        "00000001"
        "00000000"
        "50000000"
        "0055000000000000"
        "0050000000000000"
        "e8030000"
        "00000000"
        "0000000000000000"
        "00000000");
    return b;
}

// One header slot written field by field at the table's byte positions.
void Slot(QByteArray& b, int i, int size, bool bit27, int frameType, qint64 offsetB, qint64 posA, int sizeA)
{
    const int at = i * 336;
    PutLe(b, at + 0, 511, 4);
    PutLe(b, at + 4, quint64(size) << 9 | 2u, 4);
    PutLe(b, at + 8, 0x01000000u | (bit27 ? 0x08000000u : 0u), 4);
    PutLe(b, at + 16, 0x50u | quint32(frameType) << 1, 4);
    PutLe(b, at + 20, quint64(offsetB), 8);
    PutLe(b, at + 28, quint64(posA), 8);
    PutLe(b, at + 36, quint32(sizeA), 4);
}

struct SchedulerFixture : ::testing::Test
{
    FakePlaybackHost host;
    CModulePlayback pb{&host};

    void SetUp() override { ASSERT_TRUE(pb.Bind(4, 2, SchedulerKind::Playback)); }

    void LoadDay()
    {
        ASSERT_TRUE(pb.ResetIndex(kDate));
        const QByteArray h0 = IndexHeader0();
        const QByteArray h1 = IndexHeader1();
        pb.OnSetIntraIndex(0, h0.constData(), h0.size());
        pb.OnSetIntraIndex(1, h1.constData(), h1.size());
        host.Clear();
    }

    // Plays from 10:30:15 up to the first frame header request.
    void StartAt103015()
    {
        LoadDay();
        ASSERT_TRUE(pb.StartPlayback(kDate, 103015, SchedulerKind::Playback, -1));
        const QByteArray m = Minute1030();
        pb.OnSetIntraHeader(0, m.size(), m.constData());
        ASSERT_EQ(host.headerQueue.size(), 1u);
    }
};

} // namespace

TEST_F(SchedulerFixture, BindChecksRecorderChannelAndKind)
{
    CModulePlayback s(&host);
    EXPECT_FALSE(s.Bind(7, 0, SchedulerKind::Playback)); // not in the hub
    EXPECT_FALSE(s.Bind(4, -1, SchedulerKind::Playback));
    EXPECT_FALSE(s.Bind(4, 17, SchedulerKind::Playback));
    EXPECT_FALSE(s.Bind(4, 0, SchedulerKind(3)));
    EXPECT_EQ(s.GetRecorderIndex(), -1);
    EXPECT_FALSE(s.ResetIndex(kDate)); // unbound: nothing asked
    EXPECT_TRUE(host.indexRequests.empty());
    EXPECT_TRUE(s.Bind(4, 16, SchedulerKind::Museum));
    EXPECT_EQ(s.GetChannel(), 16);
    EXPECT_EQ(s.GetKind(), SchedulerKind::Museum);
    EXPECT_EQ(s.GetState(), PlaybackMode::Idle);
}

TEST_F(SchedulerFixture, ResetIndexAsksForTheDay)
{
    EXPECT_TRUE(pb.ResetIndex(kDate));
    ASSERT_EQ(host.indexRequests.size(), 1u);
    EXPECT_EQ(host.indexRequests[0].date, kDate);
    EXPECT_EQ(host.indexRequests[0].channel, 2);
    EXPECT_EQ(host.indexRequests[0].kind, 0);
    EXPECT_EQ(host.thumbnailEntered, 0);

    EXPECT_FALSE(pb.ResetIndex(20241332)); // no such day
    EXPECT_FALSE(pb.ResetIndex(-5));
    EXPECT_EQ(host.indexRequests.size(), 1u);

    CModulePlayback thumb(&host);
    ASSERT_TRUE(thumb.Bind(4, 1, SchedulerKind::Thumbnail));
    EXPECT_TRUE(thumb.ResetIndex(kDate));
    EXPECT_EQ(host.thumbnailEntered, 1);
    EXPECT_EQ(host.indexRequests.back().kind, 1);

    host.registered.clear(); // the recorder left the hub
    EXPECT_FALSE(pb.ResetIndex(kDate));
    EXPECT_EQ(host.indexRequests.size(), 2u);
}

TEST_F(SchedulerFixture, IndexHeadersFillTheMinuteTables)
{
    LoadDay();
    EXPECT_EQ(pb.GetState(), PlaybackMode::Stop);
    EXPECT_EQ(pb.GetEarliestTime(), 103000);
    EXPECT_EQ(pb.GetLatestTime(), 103359);
    EXPECT_TRUE(pb.HasMinuteData(630));
    EXPECT_TRUE(pb.HasMinuteData(631));
    EXPECT_FALSE(pb.HasMinuteData(632));
    EXPECT_TRUE(pb.HasMinuteData(633));
    EXPECT_FALSE(pb.HasMinuteEvents(630));
    EXPECT_TRUE(pb.HasMinuteEvents(631));
    EXPECT_FALSE(pb.IsEventIndex());
    EXPECT_FALSE(pb.IsAreaSearch());
    // Blocks at 512 + minute x 960 in the files that hold the minute.
    EXPECT_EQ(pb.GetMinuteBlock(630, 0), 605312);
    EXPECT_EQ(pb.GetMinuteBlock(630, 1), -1);
    EXPECT_EQ(pb.GetMinuteBlock(631, 0), 606272);
    EXPECT_EQ(pb.GetMinuteBlock(631, 1), 606272);
    EXPECT_EQ(pb.GetMinuteBlock(633, 1), 608192);
    EXPECT_FALSE(pb.IsMinuteLoaded(630));
}

TEST_F(SchedulerFixture, IndexFlagsComeFromTheFormatWord)
{
    QByteArray h = IndexHeader0();
    Put(h, 0, "03040063"); // 0x63000403: event index (0x400) and area search (bit 30)
    pb.OnSetIntraIndex(0, h.constData(), h.size());
    EXPECT_TRUE(pb.IsEventIndex());
    EXPECT_TRUE(pb.IsAreaSearch());
}

TEST_F(SchedulerFixture, AnEmptyIndexPlaysNothing)
{
    ASSERT_TRUE(pb.ResetIndex(kDate));
    const QByteArray h(512, '\0');
    pb.OnSetIntraIndex(0, h.constData(), h.size());
    EXPECT_EQ(pb.GetEarliestTime(), 999999);
    EXPECT_EQ(pb.GetLatestTime(), 0);
    EXPECT_FALSE(pb.StartPlayback(kDate, 120000, SchedulerKind::Playback, -1));
    EXPECT_EQ(pb.GetState(), PlaybackMode::Idle);
    EXPECT_TRUE(host.intraHeaders.empty());
}

TEST_F(SchedulerFixture, BadIndexInputIsIgnored)
{
    const QByteArray h = IndexHeader0();
    pb.OnSetIntraIndex(9, h.constData(), h.size()); // no such storage slot
    pb.OnSetIntraIndex(-1, h.constData(), h.size());
    pb.OnSetIntraIndex(0, h.constData(), 100); // short header
    pb.OnSetIntraIndex(0, nullptr, 512);
    EXPECT_EQ(pb.GetState(), PlaybackMode::Idle);
    EXPECT_EQ(pb.GetEarliestTime(), 999999);
    EXPECT_EQ(pb.GetSecondOffset(-1), -1);
    EXPECT_EQ(pb.GetSecondOffset(86400), -1);
    EXPECT_EQ(pb.GetSecondFile(86400), 255);
    EXPECT_EQ(pb.GetMinuteBlock(1440, 0), -1);
    EXPECT_EQ(pb.GetMinuteBlock(0, 9), -1);

    LoadDay();
    EXPECT_FALSE(pb.StartPlayback(kDate, 246000, SchedulerKind::Playback, -1));
    EXPECT_FALSE(pb.StartPlayback(kDate, 106060, SchedulerKind::Playback, -1));
    EXPECT_FALSE(pb.StartPlayback(kDate, 103000, SchedulerKind(5), -1));
    EXPECT_EQ(pb.GetState(), PlaybackMode::Stop);
    const QByteArray m = Minute1030();
    pb.OnSetIntraHeader(12, m.size(), m.constData());
    EXPECT_EQ(pb.GetSecondOffset(630 * 60 + 15), -1);
    EXPECT_TRUE(host.intraHeaders.empty());
}

TEST_F(SchedulerFixture, StartTimesPickTheMinuteAndItsIndexBlock)
{
    struct Case
    {
        int asked;
        int time; // where playback starts
        PlaybackCall block;
    };
    const Case cases[] = {
        {103015, 103015, {2, 0, 605312, 960, 0}}, // a minute with data
        {103230, 103199, {2, 0, 606272, -1, 0}},  // none at 10:32: the end of 10:31, file 0's last block
        {90000, 103000, {2, 0, 605312, 960, 0}},  // before the first minute: its start
        {120000, 103399, {2, 1, 608192, -1, 0}},  // after the last minute: its end, only in file 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        CModulePlayback s(&host);
        ASSERT_TRUE(s.Bind(4, 2, SchedulerKind::Playback));
        ASSERT_TRUE(s.ResetIndex(kDate));
        const QByteArray h0 = IndexHeader0();
        const QByteArray h1 = IndexHeader1();
        s.OnSetIntraIndex(0, h0.constData(), h0.size());
        s.OnSetIntraIndex(1, h1.constData(), h1.size());
        host.Clear();
        ASSERT_TRUE(s.StartPlayback(kDate, c.asked, SchedulerKind::Playback, -1));
        EXPECT_EQ(s.GetState(), PlaybackMode::Forward);
        EXPECT_EQ(s.GetTime(), c.time);
        ASSERT_EQ(host.intraHeaders.size(), 1u);
        EXPECT_EQ(host.intraHeaders[0], c.block);
    }
}

TEST_F(SchedulerFixture, AMinuteInTwoFilesIsMergedAndPlayedFromItsEnd)
{
    LoadDay();
    ASSERT_TRUE(pb.StartPlayback(kDate, 103230, SchedulerKind::Playback, -1)); // starts at the end of 10:31
    QByteArray a(960, '\0');
    Put(a, 5 * 16,
        "0080000000000000"
        "00800000"
        "00000080");
    Put(a, 40 * 16,
        "0090000000000000"
        "00900000"
        "00000080");
    QByteArray b(960, '\0');
    Put(b, 40 * 16,
        "00a0000000000000"
        "00a00000"
        "00000080"); // the second is known already
    Put(b, 50 * 16,
        "00b0000000000000"
        "00b00000"
        "00000080");

    pb.OnSetIntraHeader(0, a.size(), a.constData());
    // File 1 holds the minute too: its block is asked for first, nothing else happens.
    ASSERT_EQ(host.intraHeaders.size(), 2u);
    EXPECT_EQ(host.intraHeaders[1], (PlaybackCall{2, 1, 606272, 960, 0}));
    EXPECT_TRUE(host.headerQueue.empty());

    pb.OnSetIntraHeader(1, b.size(), b.constData());
    const int m = 631 * 60;
    EXPECT_EQ(pb.GetSecondOffset(m + 5), 0x8000);
    EXPECT_EQ(pb.GetSecondFile(m + 5), 0);
    EXPECT_EQ(pb.GetSecondOffset(m + 40), 0x9000);
    EXPECT_EQ(pb.GetSecondFile(m + 40), 0);
    EXPECT_EQ(pb.GetSecondOffset(m + 50), 0xB000);
    EXPECT_EQ(pb.GetSecondFile(m + 50), 1);
    EXPECT_TRUE(pb.IsMinuteLoaded(631));
    // The last second of the minute that has frames.
    EXPECT_EQ(pb.GetTime(), 103150);
    ASSERT_EQ(host.headerQueue.size(), 1u);
    EXPECT_EQ(host.headerQueue[0], (PlaybackCall{2, 1, 0xB000, 13440, 0}));
}

TEST_F(SchedulerFixture, PlaysHeadersAndFramesWithTheirDelays)
{
    StartAt103015();
    EXPECT_EQ(pb.GetSecondOffset(630 * 60 + 15), 0x100000400LL);
    EXPECT_EQ(pb.GetSecondOffset(630 * 60 + 11), -1);
    EXPECT_TRUE(pb.IsMinuteLoaded(630));
    EXPECT_EQ(pb.GetTime(), 103015);
    EXPECT_EQ(host.headerQueue[0], (PlaybackCall{2, 0, 0x100000400LL, 13440, 0}));

    const QByteArray headers = ThreeFrameHeaders();
    pb.OnSetFrameHeader(headers.size(), 1, headers.constData(), false);
    EXPECT_EQ(pb.GetRingCount(), 3);
    ASSERT_EQ(host.dataQueue.size(), 1u);
    EXPECT_EQ(host.dataQueue[0], (PlaybackCall{2, 0, 0x5000, 1000, 0}));
    // A key frame fetches the next second's headers ahead.
    ASSERT_EQ(host.listRequests.size(), 1u);
    EXPECT_EQ(host.listRequests[0], (PlaybackCall{2, 0, 0x6000, 13440, 6}));

    const QByteArray key(1000, 'k');
    EXPECT_EQ(pb.OnSetFrameData(key.constData(), key.size(), 1, false), 9999); // first after the jump
    ASSERT_EQ(host.frames.size(), 1u);
    const PlaybackFrame& f = host.frames[0].frame;
    EXPECT_EQ(f.channel, 2);
    EXPECT_EQ(f.size, 1000);
    EXPECT_EQ(host.frames[0].bytes, key);
    EXPECT_EQ(f.date, kDate);
    EXPECT_EQ(f.time, 103015);
    EXPECT_EQ(f.state, PlaybackMode::Forward);
    EXPECT_EQ(f.kind, SchedulerKind::Playback);
    EXPECT_TRUE(f.key);
    EXPECT_FALSE(f.skip);

    pb.NextFrame();
    EXPECT_EQ(host.dataQueue.back(), (PlaybackCall{2, 0, 0x5400, 200, 0}));
    const QByteArray p1(200, 'p');
    EXPECT_EQ(pb.OnSetFrameData(p1.constData(), p1.size(), 1, false), 333); // 3 frames in the second
    EXPECT_FALSE(host.frames.back().frame.key);

    pb.NextFrame();
    EXPECT_EQ(host.dataQueue.back(), (PlaybackCall{2, 0, 0x5500, 150, 0}));

    // The prefetched block arrives; past the batch the next second is served from it.
    QByteArray next(13440, '\0');
    Slot(next, 0, 500, false, 1, 0x7000, 0x7000, 500);
    pb.OnSetFrameHeader(next.size(), 1, next.constData(), true);
    pb.NextFrame();
    EXPECT_EQ(pb.GetTime(), 103016);
    EXPECT_EQ(host.headerQueue.size(), 1u);
    EXPECT_EQ(pb.GetRingCount(), 1);
    EXPECT_EQ(host.dataQueue.back(), (PlaybackCall{2, 0, 0x7000, 500, 0}));
}

TEST_F(SchedulerFixture, WithoutAPrefetchedBlockTheNextSecondIsQueued)
{
    StartAt103015();
    const QByteArray headers = ThreeFrameHeaders();
    pb.OnSetFrameHeader(headers.size(), 1, headers.constData(), false);
    pb.NextFrame();
    pb.NextFrame();
    pb.NextFrame(); // past the batch; the prefetch never came
    EXPECT_EQ(pb.GetTime(), 103016);
    ASSERT_EQ(host.headerQueue.size(), 2u);
    EXPECT_EQ(host.headerQueue[1], (PlaybackCall{2, 0, 0x6000, 13440, 0}));
    pb.NextFrame(); // empty ring of second 16: on to 10:30:20, the next second with frames
    EXPECT_EQ(pb.GetTime(), 103020);
    EXPECT_EQ(host.headerQueue.back(), (PlaybackCall{2, 0, 0x2000, 13440, 0}));
}

TEST_F(SchedulerFixture, AHeaderBlockWithoutMarkerGivesAnEmptyRing)
{
    StartAt103015();
    QByteArray block(13440, '\0');
    Put(block, 0, "fe010000"); // 510
    pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
    EXPECT_EQ(pb.GetRingCount(), 0);
    EXPECT_TRUE(host.dataQueue.empty());
    ASSERT_EQ(host.frames.size(), 1u); // an empty frame lets playback move on
    EXPECT_EQ(host.frames[0].frame.size, 0);
}

TEST_F(SchedulerFixture, AFrameSizeBeyondTheBufferEndsTheRing)
{
    StartAt103015();
    QByteArray block(13440, '\0');
    Slot(block, 0, 1000, false, 1, 0x5000, 0x5000, 1000);
    Slot(block, 1, 600000, false, 0, 0x5400, 0x5000, 1000); // larger than any receive buffer
    Slot(block, 2, 100, false, 0, 0x5500, 0x5000, 1000);
    pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
    EXPECT_EQ(pb.GetRingCount(), 1);
    // A short block (size below one slot) is no ring either.
    pb.OnSetFrameHeader(335, 1, block.constData(), false);
    EXPECT_EQ(pb.GetRingCount(), 0);
}

// A frame header whose frame, or whose key frame, would end beyond the largest 64-bit file
// offset ends the ring like a negative offset does: nothing could ask for it (its offset plus a
// piece's position in it would not be an offset).
struct OffsetCase
{
    const char* name;
    qint64 offsetB;
    int sizeB;
    qint64 posA;
    int sizeA;
    int ringCount; // of three slots, the middle one being the case
};

void PrintTo(const OffsetCase& c, std::ostream* os)
{
    *os << c.name;
}

struct HeaderOffsetTest : SchedulerFixture, ::testing::WithParamInterface<OffsetCase>
{};

TEST_P(HeaderOffsetTest, FramesThatEndBeyondTheLastOffsetEndTheRing)
{
    const OffsetCase& c = GetParam();
    StartAt103015();
    QByteArray block(13440, '\0');
    Slot(block, 0, 1000, false, 1, 0x5000, 0x5000, 1000);
    Slot(block, 1, c.sizeB, false, 0, c.offsetB, c.posA, c.sizeA);
    Slot(block, 2, 100, false, 0, 0x5500, 0x5000, 1000);
    pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
    EXPECT_EQ(pb.GetRingCount(), c.ringCount);
}

constexpr qint64 kLast = std::numeric_limits<qint64>::max();

INSTANTIATE_TEST_SUITE_P(
    Offsets, HeaderOffsetTest,
    ::testing::Values(OffsetCase{"frame_at_the_last_offset", kLast, 400, kLast, 400, 1},
                      OffsetCase{"frame_ending_one_past_the_last_offset", kLast - 399, 400, 0x5000, 1000, 1},
                      OffsetCase{"frame_ending_at_the_last_offset", kLast - 400, 400, 0x5000, 1000, 3},
                      OffsetCase{"key_frame_ending_past_the_last_offset", 0x5400, 200, kLast - 100, 40000, 1},
                      OffsetCase{"key_frame_ending_at_the_last_offset", 0x5400, 200, kLast - 40000, 40000, 3},
                      OffsetCase{"no_key_frame_known", 0x5400, 200, -1, 0, 3}),
    [](const ::testing::TestParamInfo<OffsetCase>& info) { return std::string(info.param.name); });

TEST_F(SchedulerFixture, KeyFrameIsFetchedFirstAndKeptInTheBuffer)
{
    StartAt103015();
    QByteArray block(13440, '\0');
    Slot(block, 0, 200, false, 0, 0x5400, 0x5000, 1000); // needs the key frame at 0x5000
    Slot(block, 1, 150, false, 0, 0x5500, 0x5000, 1000);
    pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
    ASSERT_EQ(host.dataQueue.size(), 1u);
    EXPECT_EQ(host.dataQueue[0], (PlaybackCall{2, 0, 0x5000, 1000, 3})); // into the buffer
    EXPECT_EQ(pb.GetKeyFramePosition(), 0x5000);

    const QByteArray key(1000, 'K');
    pb.OnSetFrameData(key.constData(), key.size(), 1, true);
    ASSERT_EQ(host.frames.size(), 1u); // shown at once
    EXPECT_EQ(host.frames[0].bytes, key);
    EXPECT_TRUE(host.frames[0].frame.key);

    pb.NextFrame();
    EXPECT_EQ(host.dataQueue.back(), (PlaybackCall{2, 0, 0x5500, 150, 0}));

    // The key frame is needed again: it comes from the buffer without a request.
    pb.SetMode(PlaybackMode::Stop);
    EXPECT_EQ(pb.GetKeyFramePosition(), -1);
    pb.SetMode(PlaybackMode::Forward);
    const size_t queued = host.dataQueue.size();
    pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
    EXPECT_EQ(host.dataQueue.size(), queued);
    ASSERT_EQ(host.frames.size(), 2u);
    EXPECT_EQ(host.frames[1].bytes, key);
}

TEST_F(SchedulerFixture, AFrameWithoutAKnownKeyFrameIsNotAskedFor)
{
    StartAt103015();
    QByteArray block(13440, '\0');
    Slot(block, 0, 1000, false, 1, 0x5000, 0x5000, 1000);
    Slot(block, 1, 200, false, 0, 0x5400, -1, 0); // no key frame recorded before it
    pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
    ASSERT_EQ(host.dataQueue.size(), 1u);
    pb.NextFrame();
    EXPECT_EQ(host.dataQueue.size(), 1u);
    ASSERT_EQ(host.frames.size(), 1u); // an empty frame instead
    EXPECT_EQ(host.frames[0].frame.size, 0);
}

TEST_F(SchedulerFixture, ABufferedReplyOfTheWrongSizeIsNotKept)
{
    StartAt103015();
    QByteArray block(13440, '\0');
    Slot(block, 0, 200, false, 0, 0x5400, 0x5000, 1000);
    pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
    const QByteArray shortKey(999, 'K');
    pb.OnSetFrameData(shortKey.constData(), shortKey.size(), 1, true);
    ASSERT_EQ(host.frames.size(), 1u);
    EXPECT_EQ(host.frames[0].frame.size, 0);
    // Asked again, it is requested again.
    pb.SetMode(PlaybackMode::Stop);
    pb.SetMode(PlaybackMode::Forward);
    pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
    EXPECT_EQ(host.dataQueue.back(), (PlaybackCall{2, 0, 0x5000, 1000, 3}));
}

TEST(SchedulerDelays, TableOfModesRatesAndSpeeds)
{
    struct Case
    {
        int state;
        int streamKind;
        int fps;
        int split;
        int speed;
        bool continuous;
        int delay;
    };
    const Case cases[] = {
        {16, 1, 15, 0, 0, true, 125},                                 // 8 frames in the second
        {16, 1, 2, 0, 0, true, 500},                                  // at 2 frames a second
        {16, 1, 0, 0, 0, true, 1000},   {16, 1, 15, 5, 0, true, 250}, // a large split shows 4 a second
        {16, 2, 15, 0, 0, true, 125},   {16, 3, 15, 0, 0, true, 125}, // the whole batch
        {16, 3, 1, 0, 0, true, 1000},   {16, 3, 15, 5, 0, true, 1000},
        {256, 3, 15, 0, 0, true, 1000}, // backward key frames: one a second
        {256, 1, 15, 0, 0, true, 125},  {32, 1, 15, 0, 2, true, 500},
        {32, 1, 15, 0, 3, true, 333},   {512, 1, 15, 0, 4, true, 250},
        {32, 1, 15, 0, 5, true, 200},   {32, 1, 15, 0, 6, true, 333},
        {32, 1, 15, 0, 7, true, 285},   {512, 1, 15, 0, 8, true, 250},
        {32, 1, 15, 0, 9, true, 10},    {32, 1, 15, 0, 0, true, 10},
        {16, 1, 15, 0, 0, false, -1}, // one frame at a time
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.state << " kind " << c.streamKind << " fps " << c.fps << " split "
                                        << c.split << " speed " << c.speed << " cont " << c.continuous);
        FakePlaybackHost host;
        host.fps = c.fps;
        host.scrMode = c.split;
        host.speed = c.speed;
        CModulePlayback pb(&host);
        ASSERT_TRUE(pb.Bind(4, 2, SchedulerKind::Playback));
        ASSERT_TRUE(pb.ResetIndex(kDate));
        const QByteArray h0 = IndexHeader0();
        pb.OnSetIntraIndex(0, h0.constData(), h0.size());
        ASSERT_TRUE(pb.StartPlayback(kDate, 103015, SchedulerKind::Playback, -1));
        const QByteArray m = Minute1030();
        pb.OnSetIntraHeader(0, m.size(), m.constData());
        pb.SetMode(PlaybackMode(c.state));
        pb.SetContinuous(c.continuous);
        QByteArray block(13440, '\0');
        for (int i = 0; i < 8; ++i)
            Slot(block, i, 100, c.streamKind == 3, 1, 0x5000 + i * 0x100, 0x5000 + i * 0x100, 100);
        pb.OnSetFrameHeader(block.size(), c.streamKind, block.constData(), false);
        ASSERT_EQ(pb.GetRingCount(), 8);
        const QByteArray frame(100, 'f');
        pb.OnSetFrameData(frame.constData(), frame.size(), c.streamKind, false); // takes the jump
        EXPECT_EQ(pb.OnSetFrameData(frame.constData(), frame.size(), c.streamKind, false), c.delay);
    }
}

TEST(SchedulerSound, TheSoundSchedulerAsksForItsChannelsPart)
{
    struct Case
    {
        int audioChannel;
        int blockSize;
        qint64 offset;
        int size;
    };
    const Case cases[] = {
        {1, 1296, 0x5000 + 324 + 4, 320},
        {3, 1296, 0x5000 + 3 * 324 + 4, 320},
        {1, 16416, 0x5000 + 1024 + 28, 1024},
        {2, 8212, 0x5000 + 2 * 512 + 16, 512},
        {-1, 1296, 0x5000, 1}, // no audio channel
        {15, 1296, 0x5000, 1}, // the block holds no part for channel 15
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.audioChannel << " " << c.blockSize);
        FakePlaybackHost host;
        host.audioChannel = c.audioChannel;
        CModulePlayback pb(&host);
        ASSERT_TRUE(pb.Bind(4, 4, SchedulerKind::Playback)); // the channel count: the playback stream's sound
        ASSERT_TRUE(pb.ResetIndex(kDate));
        const QByteArray h0 = IndexHeader0();
        pb.OnSetIntraIndex(0, h0.constData(), h0.size());
        ASSERT_TRUE(pb.StartPlayback(kDate, 103015, SchedulerKind::Playback, -1));
        const QByteArray m = Minute1030();
        pb.OnSetIntraHeader(0, m.size(), m.constData());
        QByteArray block(13440, '\0');
        Slot(block, 0, c.blockSize, false, 1, 0x5000, 0x5000, c.blockSize);
        pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
        ASSERT_EQ(host.dataQueue.size(), 1u);
        EXPECT_EQ(host.dataQueue[0], (PlaybackCall{4, 0, c.offset, c.size, 0}));
        EXPECT_TRUE(host.listRequests.empty());
        const QByteArray part(c.size, 's');
        EXPECT_EQ(pb.OnSetFrameData(part.constData(), part.size(), 1, false), 1); // no pacing
    }
}

TEST(SchedulerDayEdges, ForwardPastTheLastSecondStops)
{
    FakePlaybackHost host;
    CModulePlayback pb(&host);
    ASSERT_TRUE(pb.Bind(4, 0, SchedulerKind::Playback));
    ASSERT_TRUE(pb.ResetIndex(kDate));
    QByteArray h(512, '\0');
    Put(h, 208, "0000000000000008"); // hour 23, minute 59
    pb.OnSetIntraIndex(0, h.constData(), h.size());
    EXPECT_EQ(pb.GetLatestTime(), 235959);
    ASSERT_TRUE(pb.StartPlayback(kDate, 235959, SchedulerKind::Playback, -1));
    ASSERT_EQ(host.intraHeaders.size(), 1u);
    EXPECT_EQ(host.intraHeaders[0], (PlaybackCall{0, 0, 1381952, -1, 0})); // the file's last block
    QByteArray m(960, '\0');
    Put(m, 59 * 16,
        "0001000000000000"
        "00010000"
        "00000080");
    pb.OnSetIntraHeader(0, m.size(), m.constData());
    ASSERT_EQ(host.headerQueue.size(), 1u);
    EXPECT_EQ(host.headerQueue[0], (PlaybackCall{0, 0, 0x100, 13440, 0}));
    QByteArray block(13440, '\0');
    Slot(block, 0, 100, false, 1, 0x10, 0x10, 100);
    pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
    const QByteArray f(100, 'x');
    pb.OnSetFrameData(f.constData(), f.size(), 1, false);
    pb.NextFrame();
    EXPECT_EQ(pb.GetState(), PlaybackMode::Stop);
}

TEST(SchedulerDayEdges, BackwardBeforeMidnightStops)
{
    FakePlaybackHost host;
    CModulePlayback pb(&host);
    ASSERT_TRUE(pb.Bind(4, 0, SchedulerKind::Playback));
    ASSERT_TRUE(pb.ResetIndex(kDate));
    QByteArray h(512, '\0');
    Put(h, 24, "0100000000000000"); // hour 0, minute 0
    Put(h, 32, "0100000000000000"); // hour 1, minute 0
    pb.OnSetIntraIndex(0, h.constData(), h.size());
    ASSERT_TRUE(pb.StartPlayback(kDate, 10, SchedulerKind::Playback, -1));
    EXPECT_EQ(host.intraHeaders[0], (PlaybackCall{0, 0, 512, 960, 0}));
    pb.SetMode(PlaybackMode::Backward);
    QByteArray m(960, '\0');
    Put(m, 0,
        "0002000000000000"
        "00020000"
        "00000080");
    Put(m, 5 * 16,
        "0003000000000000"
        "00030000"
        "00000080");
    pb.OnSetIntraHeader(0, m.size(), m.constData());
    // Backward: the last second of the minute that has frames.
    EXPECT_EQ(host.headerQueue.back(), (PlaybackCall{0, 0, 0x300, 13440, 0}));
    EXPECT_EQ(pb.GetTime(), 5);
    QByteArray block(13440, '\0');
    Slot(block, 0, 100, false, 1, 0x10, 0x10, 100);
    Slot(block, 1, 100, false, 1, 0x20, 0x20, 100);
    pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
    EXPECT_EQ(pb.GetRingPosition(), 1); // backward starts at the last frame
    EXPECT_EQ(host.dataQueue.back(), (PlaybackCall{0, 0, 0x20, 100, 0}));
    pb.NextFrame();
    EXPECT_EQ(host.dataQueue.back(), (PlaybackCall{0, 0, 0x10, 100, 0}));
    pb.NextFrame(); // second 4 has nothing: back to second 0
    EXPECT_EQ(pb.GetTime(), 0);
    EXPECT_EQ(host.headerQueue.back(), (PlaybackCall{0, 0, 0x200, 13440, 0}));
    pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
    pb.NextFrame();
    pb.NextFrame(); // before 00:00:00
    EXPECT_EQ(pb.GetState(), PlaybackMode::Stop);
}

TEST_F(SchedulerFixture, NothingGoesOutWhilePlaybackIsDisabled)
{
    LoadDay();
    host.enabled = false;
    ASSERT_TRUE(pb.StartPlayback(kDate, 103015, SchedulerKind::Playback, -1));
    EXPECT_EQ(host.intraHeaders.size(), 1u); // the index still loads
    const QByteArray m = Minute1030();
    pb.OnSetIntraHeader(0, m.size(), m.constData());
    EXPECT_TRUE(host.headerQueue.empty());
    pb.NextFrame();
    EXPECT_TRUE(host.headerQueue.empty());
    EXPECT_TRUE(host.dataQueue.empty());
}

TEST_F(SchedulerFixture, StateWordTransitions)
{
    EXPECT_EQ(pb.GetState(), PlaybackMode::Idle);
    LoadDay();
    EXPECT_EQ(pb.GetState(), PlaybackMode::Stop);
    ASSERT_TRUE(pb.StartPlayback(kDate, 103015, SchedulerKind::Playback, -1));
    EXPECT_EQ(pb.GetState(), PlaybackMode::Forward);
    for (PlaybackMode s : {PlaybackMode::FastForward, PlaybackMode::Backward, PlaybackMode::FastBackward,
                           PlaybackMode::Stop, PlaybackMode::Forward}) {
        pb.SetMode(s);
        EXPECT_EQ(pb.GetState(), s);
    }
    pb.SetMode(PlaybackMode(7)); // not a state
    EXPECT_EQ(pb.GetState(), PlaybackMode::Forward);
    pb.SetMode(PlaybackMode::Stop);
    const size_t before = host.headerQueue.size();
    pb.NextFrame(); // stopped remote playback does not go on
    EXPECT_EQ(host.headerQueue.size(), before);

    CModulePlayback thumb(&host);
    ASSERT_TRUE(thumb.Bind(4, 2, SchedulerKind::Thumbnail));
    ASSERT_TRUE(thumb.ResetIndex(kDate));
    const QByteArray h0 = IndexHeader0();
    thumb.OnSetIntraIndex(0, h0.constData(), h0.size());
    ASSERT_TRUE(thumb.StartPlayback(kDate, 103015, SchedulerKind::Thumbnail, -1));
    EXPECT_EQ(thumb.GetState(), PlaybackMode::FastForward); // searches start fast forward
}

TEST(SchedulerFastModes, HighSpeedCodesSkipASecond)
{
    struct Case
    {
        int speed;
        qint64 nextHeader; // header block of the second after the batch
        int time;
    };
    const Case cases[] = {
        {5, 0x6000, 103016}, // one second on
        {6, 0x2000, 103020}, // two seconds on (10:30:17 is empty, so 10:30:20)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.speed);
        FakePlaybackHost host;
        host.speed = c.speed;
        CModulePlayback pb(&host);
        ASSERT_TRUE(pb.Bind(4, 2, SchedulerKind::Playback));
        ASSERT_TRUE(pb.ResetIndex(kDate));
        const QByteArray h0 = IndexHeader0();
        pb.OnSetIntraIndex(0, h0.constData(), h0.size());
        ASSERT_TRUE(pb.StartPlayback(kDate, 103015, SchedulerKind::Playback, -1));
        pb.SetMode(PlaybackMode::FastForward);
        const QByteArray m = Minute1030();
        pb.OnSetIntraHeader(0, m.size(), m.constData());
        const QByteArray headers = ThreeFrameHeaders();
        pb.OnSetFrameHeader(headers.size(), 1, headers.constData(), false);
        pb.NextFrame(); // fast modes take the whole batch as one step
        EXPECT_EQ(pb.GetTime(), c.time);
        EXPECT_EQ(host.headerQueue.back(), (PlaybackCall{2, 0, c.nextHeader, 13440, 0}));
    }
}

TEST_F(SchedulerFixture, OneFrameAtATimeHandsOnEmptyFramesToDecodeOnly)
{
    StartAt103015();
    const QByteArray headers = ThreeFrameHeaders();
    pb.OnSetFrameHeader(headers.size(), 1, headers.constData(), false);
    const QByteArray key(1000, 'k');
    pb.OnSetFrameData(key.constData(), key.size(), 1, false);
    pb.SetContinuous(false);
    const size_t queued = host.dataQueue.size();
    pb.NextFrame();
    EXPECT_EQ(host.dataQueue.size(), queued);
    ASSERT_EQ(host.frames.size(), 2u);
    EXPECT_EQ(host.frames[1].frame.size, 0);
    EXPECT_EQ(host.frames[1].frame.delay, -1);
    EXPECT_TRUE(host.frames[1].frame.skip);
}

namespace {

// Motion data at byte 56 of a header slot: version 2, 32-bit rows, an 8 x 6 grid with the cells
// of columns 2..4, rows 1..3 set.
void PutMotion(QByteArray& b, int slot)
{
    const int at = slot * 336;
    PutLe(b, at + 8, 0x01800000u, 4); // bit 23: the frame carries motion data
    Put(b, at + 56,
        "02000806"
        "00000000"
        "1c000000"
        "1c000000"
        "1c000000"
        "00000000"
        "00000000");
}

struct MuseumScheduler : SchedulerFixture
{
    void SetUp() override { ASSERT_TRUE(pb.Bind(4, 2, SchedulerKind::Museum)); }

    // Walks to 10:30:15 of the loaded day in museum kind, up to the header request.
    void SearchAt103015()
    {
        LoadDay();
        ASSERT_TRUE(pb.StartPlayback(kDate, 103015, SchedulerKind::Museum, 32));
        EXPECT_EQ(pb.GetState(), PlaybackMode::FastForward) << "a search starts fast";
        const QByteArray m = Minute1030();
        pb.OnSetIntraHeader(0, m.size(), m.constData());
        ASSERT_EQ(host.headerQueue.size(), 1u);
        EXPECT_EQ(host.headerQueue[0].kind, 2);
    }
};

} // namespace

TEST_F(MuseumScheduler, ChangeInsideTheAreaStopsTheBlockAndSendsItsFrame)
{
    SearchAt103015();
    pb.SetMuseumSearch(0, 2, 1, 5, 4);
    QByteArray block(13440, '\0');
    Slot(block, 0, 1000, false, 1, 0x5000, 0x5000, 1000); // key frame, counter 0
    Slot(block, 1, 200, false, 0, 0x5400, 0x5000, 1000);  // counter 1
    Slot(block, 2, 150, false, 0, 0x5500, 0x5000, 1000);
    PutMotion(block, 0);
    PutMotion(block, 1);
    PutMotion(block, 2);
    pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
    EXPECT_TRUE(pb.GetMuseumMatch());
    EXPECT_EQ(pb.GetRingCount(), 2) << "the parse stops at the matching frame";
    ASSERT_EQ(host.dataQueue.size(), 1u);
    EXPECT_EQ(host.dataQueue[0], (PlaybackCall{2, 0, 0x5000, 1000, 2}));
}

TEST_F(MuseumScheduler, NoChangeInsideTheAreaEndsTheSecondWithANotice)
{
    struct Case
    {
        const char* what;
        bool motion;
        int x1, y1, x2, y2;
    } cases[] = {
        {"motion elsewhere", true, 5, 3, 8, 6},
        {"no motion data", false, 2, 1, 5, 4},
    };
    for (const Case& c : cases) {
        host.Clear();
        SearchAt103015();
        pb.SetMuseumSearch(0, c.x1, c.y1, c.x2, c.y2);
        QByteArray block(13440, '\0');
        Slot(block, 0, 1000, false, 1, 0x5000, 0x5000, 1000);
        Slot(block, 1, 200, false, 0, 0x5400, 0x5000, 1000);
        if (c.motion) {
            PutMotion(block, 0);
            PutMotion(block, 1);
        }
        pb.OnSetFrameHeader(block.size(), 1, block.constData(), false);
        EXPECT_FALSE(pb.GetMuseumMatch()) << c.what;
        ASSERT_EQ(host.dataQueue.size(), 1u) << c.what;
        EXPECT_EQ(host.dataQueue[0], (PlaybackCall{2, -1, 0, 0, 2})) << c.what << ": the end notice";
    }
}

TEST_F(MuseumScheduler, WithoutAnAreaTheBlockPlaysAsUsual)
{
    SearchAt103015();
    pb.SetMuseumSearch(0, 2, 1, 5, 4);
    pb.SetMuseumSearch(-1, 0, 0, 0, 0);
    EXPECT_FALSE(pb.IsMuseumRequest());
    const QByteArray headers = ThreeFrameHeaders();
    pb.OnSetFrameHeader(headers.size(), 1, headers.constData(), false);
    EXPECT_EQ(pb.GetRingCount(), 3);
    ASSERT_EQ(host.dataQueue.size(), 1u);
    EXPECT_EQ(host.dataQueue[0], (PlaybackCall{2, 0, 0x5000, 1000, 2}));
}
