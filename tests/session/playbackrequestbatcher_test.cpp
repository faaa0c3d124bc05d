// The playback frame request batcher on its own: the 24-byte entries of a frame cut into pieces
// of 32,768 bytes (written out by hand), the tags, what a batch takes and leaves, and the
// in-flight count.
#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include "session/playbackrequestbatcher.h"

namespace {

using Request = PlaybackRequestBatcher::Request;

Request Frame(int channel, qint64 offset, int size, int requestNumber = 0)
{
    Request r;
    r.channel = channel;
    r.offset = offset;
    r.size = size;
    r.kind = int(PlaybackRequestBatcher::Kind::FrameData);
    r.requestNumber = requestNumber;
    return r;
}

QByteArray Entries(const PlaybackRequestBatcher& batcher, int count)
{
    return QByteArray(batcher.Buffer(), count * PlaybackRequestBatcher::kEntrySize);
}

bool Always()
{
    return true;
}

} // namespace

struct PieceCase
{
    const char* name;
    int size;
    const char* entries; // the entries written out, 24 bytes each
};

void PrintTo(const PieceCase& c, std::ostream* os)
{
    *os << c.name;
}

class BatchPieceTest : public ::testing::TestWithParam<PieceCase>
{};

TEST_P(BatchPieceTest, FrameIsCutIntoPieces)
{
    const PieceCase& c = GetParam();
    // Tag 0x01020304, frame byte 0x21, offset 0x1_0000_0000.
    QByteArray out(4 * PlaybackRequestBatcher::kEntrySize, '\x55');
    const int written = PlaybackRequestBatcher::WriteEntries(0x01020304, 0x21, Q_INT64_C(0x100000000), c.size,
                                                             out.data());
    const QByteArray expected = QByteArray::fromHex(QByteArray(c.entries));
    ASSERT_EQ(written * PlaybackRequestBatcher::kEntrySize, expected.size());
    EXPECT_EQ(out.left(expected.size()).toHex(), expected.toHex());
    EXPECT_EQ(out.mid(expected.size()), QByteArray(out.size() - expected.size(), '\x55'))
        << "nothing past the entries";
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, BatchPieceTest,
    ::testing::Values(PieceCase{"OneByte", 1, "04030201 21 010000 0000000001000000 00000000 01000000"},
                      PieceCase{"ExactlyOnePiece", 32768, "04030201 21 008000 0000000001000000 00000000 00800000"},
                      PieceCase{"OneByteMoreIsTwoPieces", 32769,
                                "04030201 21 008000 0000000001000000 00000000 01800000"
                                "04030201 21 010000 0080000001000000 00800000 01800000"},
                      PieceCase{"ThreePiecesWithARest", 70000,
                                "04030201 21 008000 0000000001000000 00000000 70110100"
                                "04030201 21 008000 0080000001000000 00800000 70110100"
                                "04030201 21 701100 0000010001000000 00000100 70110100"}),
    [](const ::testing::TestParamInfo<PieceCase>& info) { return std::string(info.param.name); });

TEST(PlaybackRequestBatcherTest, TagsTellFrameDataFromHeaders)
{
    Request data = Frame(3, 0, 100, 7);
    Request header = data;
    header.kind = int(PlaybackRequestBatcher::Kind::FrameHeader);
    EXPECT_EQ(PlaybackRequestBatcher::Tag(data), 7103u);
    EXPECT_EQ(PlaybackRequestBatcher::Tag(header), 7003u);
}

TEST(PlaybackRequestBatcherTest, BatchStopsBeforeAFrameThatWouldOverrunIt)
{
    PlaybackRequestBatcher batcher;
    // 333 frames of three pieces fill the 999 entries exactly; the 334th waits, and so does the
    // small one behind it, in order.
    for (int i = 0; i < 334; ++i)
        batcher.Queue(Frame(i % 16, qint64(i) * 100000, 70000));
    batcher.Queue(Frame(0, 0, 100));
    PlaybackRequestBatcher::Batch batch = batcher.TakeBatch(Always);
    EXPECT_EQ(batch.entries, 999);
    EXPECT_EQ(batch.requests, 333);
    EXPECT_EQ(batcher.QueuedCount(), 2) << "the frame that does not fit and all behind it wait";
    batch = batcher.TakeBatch(Always);
    EXPECT_EQ(batch.entries, 4);
    EXPECT_EQ(batch.requests, 2);
    EXPECT_EQ(batcher.QueuedCount(), 0);
}

TEST(PlaybackRequestBatcherTest, SinglesBadRequestsAndIdleTimeAreSortedOut)
{
    PlaybackRequestBatcher batcher;
    Request single = Frame(2, 0, 100, 4);
    single.frameByte = -1;
    Request unknownKind = Frame(1, 0, 100);
    unknownKind.kind = 2;
    batcher.Queue(single);
    batcher.Queue(unknownKind);
    batcher.Queue(Frame(17, 0, 100)); // no such slot
    batcher.Queue(Frame(1, 0, 0));    // nothing to ask for
    batcher.Queue(Frame(1, 0, (PlaybackRequestBatcher::kEntries + 1) * PlaybackRequestBatcher::kPieceSize));
    batcher.Queue(Frame(5, 64, 10, 2));
    PlaybackRequestBatcher::Batch batch = batcher.TakeBatch(Always);
    ASSERT_EQ(batch.singles.size(), 1u);
    EXPECT_EQ(batch.singles[0].channel, 2);
    EXPECT_EQ(batch.requests, 1);
    ASSERT_EQ(batch.entries, 1);
    // Tag 2 x 1000 + 5 + 100 = 2105 (0x839), length 10, offset 64, whole size 10.
    EXPECT_EQ(Entries(batcher, 1).toHex(),
              QByteArray::fromHex("39080000 00 0a0000 4000000000000000 00000000 0a000000").toHex());
    EXPECT_EQ(batcher.QueuedCount(), 0);

    // While playback is off, queued requests go unsent.
    batcher.Queue(Frame(1, 0, 100));
    batch = batcher.TakeBatch([] { return false; });
    EXPECT_EQ(batch.entries, 0);
    EXPECT_TRUE(batch.singles.empty());
    EXPECT_EQ(batcher.QueuedCount(), 0);
}

TEST(PlaybackRequestBatcherTest, InFlightCountWaitsForTheReplies)
{
    PlaybackRequestBatcher batcher;
    EXPECT_TRUE(batcher.ReadyForBatch(QStringLiteral("recorder")));
    batcher.MarkSent(2);
    EXPECT_EQ(batcher.InFlight(), 2);
    batcher.LowerInFlight();
    batcher.LowerInFlight();
    batcher.LowerInFlight();
    EXPECT_EQ(batcher.InFlight(), 0) << "never below zero";
    EXPECT_TRUE(batcher.ReadyForBatch(QStringLiteral("recorder")));
    batcher.Queue(Frame(0, 0, 10));
    batcher.Clear();
    EXPECT_EQ(batcher.QueuedCount(), 0);
}
