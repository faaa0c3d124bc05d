// The audio threads' gatherer: what it flushes when a block would not fit, and a block larger
// than the whole buffer.
#include <QByteArray>
#include <QList>

#include <gtest/gtest.h>

#include "session/soundgatherer.h"

namespace {

// Keeps every block the gatherer hands on.
struct Flushed
{
    QList<QByteArray> blocks;
    SoundGatherer::Flush Keep()
    {
        return [this](const char* data, int bytes) { blocks.append(QByteArray(data, bytes)); };
    }
};

} // namespace

TEST(SoundGathererTest, FlushesWhatItHoldsBeforeABlockThatWouldNotFit)
{
    Flushed out;
    const SoundGatherer::Flush flush = out.Keep();
    const QList<QByteArray>& flushed = out.blocks;
    SoundGatherer gatherer(8);
    gatherer.Append("abcde", 5, flush);
    gatherer.Append("fgh", 3, flush);
    EXPECT_TRUE(flushed.isEmpty()) << "exactly full is not flushed yet";
    gatherer.Append("ij", 2, flush);
    ASSERT_EQ(flushed.size(), 1);
    EXPECT_EQ(flushed.at(0), QByteArray("abcdefgh"));
    EXPECT_EQ(QByteArray(gatherer.Data(), gatherer.Count()), QByteArray("ij"));

    gatherer.Consume(1);
    EXPECT_EQ(QByteArray(gatherer.Data(), gatherer.Count()), QByteArray("j"));
    gatherer.Consume(5);
    EXPECT_EQ(gatherer.Count(), 0);
}

TEST(SoundGathererTest, BlockLargerThanTheBufferGoesInBufferSizedPieces)
{
    Flushed out;
    const SoundGatherer::Flush flush = out.Keep();
    SoundGatherer gatherer(4);
    gatherer.Append("xy", 2, flush);
    gatherer.Append("0123456789", 10, flush);
    EXPECT_EQ(out.blocks, (QList<QByteArray>{"xy", "0123", "4567"}));
    EXPECT_EQ(QByteArray(gatherer.Data(), gatherer.Count()), QByteArray("89"));
}
