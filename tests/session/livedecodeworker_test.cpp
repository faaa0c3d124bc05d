// The live channel's decode step without a recorder: the frame chain of stream kinds 2 and 3,
// the processor-load rule with its two thresholds, and the channel's last picture (bounded for a
// large stream, converted from the decoder's newest frame when asked for).
#include <gtest/gtest.h>

#include "common/media/moduledecoder.h"
#include "common/support/decoder_streams.h"

#include "session/cameoroute.h"
#include "session/lastpictures.h"
#include "session/livedecodeworker.h"
#include "session/liveframerecord.h"

#include <cstring>

namespace {

LiveFrameRecord Frame(int kind, int frameType, int sequence)
{
    LiveFrameRecord r;
    r.kind = kind;
    r.frameType = frameType;
    r.sequence = sequence;
    return r;
}

class LiveDecodeWorkerTest : public ::testing::Test
{
protected:
    CameoRoute route;
    LastPictures pictures;
    LiveDecodeWorker worker{2, route, pictures};
};

} // namespace

TEST_F(LiveDecodeWorkerTest, BrokenChainIsDroppedUntilTheNextKeyFrame)
{
    struct Step
    {
        int kind, frameType, sequence;
        bool passes;
    };
    const Step steps[] = {
        {2, 1, 5, true},                    // key frame starts the chain at 5
        {2, 0, 6, true},  {2, 0, 8, false}, // 7 is missing
        {2, 0, 9, false},                   // still broken
        {3, 0, 0, true},                    // sequence 0 always joins
        {3, 0, 1, true},  {2, 0, -4, true}, // negative numbers are not checked
        {1, 0, 40, true},                   // other stream kinds carry no chain
        {2, 1, 20, true},                   // a key frame starts again
        {2, 0, 21, true},
    };
    for (const Step& s : steps)
        EXPECT_EQ(worker.PassesSequence(Frame(s.kind, s.frameType, s.sequence)), s.passes)
            << "kind " << s.kind << " sequence " << s.sequence;
}

TEST_F(LiveDecodeWorkerTest, LoadAboveSeventySkipsPredictedFramesUntilItFallsBelowFifty)
{
    const LiveFrameRecord predicted = Frame(2, 0, 1);
    const LiveFrameRecord key = Frame(2, 1, 0);
    EXPECT_FALSE(worker.SkipsForLoad(predicted, 70));
    EXPECT_TRUE(worker.SkipsForLoad(predicted, 71));
    EXPECT_TRUE(worker.SkipsForLoad(predicted, 40)) << "the overload holds until a key frame is decoded";
    EXPECT_FALSE(worker.SkipsForLoad(key, 99)) << "key frames are always decoded";
    EXPECT_EQ(worker.SkippedForLoad(), 2);
    // A skipped frame breaks the chain: the next predicted frame is taken only after a key frame.
    EXPECT_FALSE(worker.PassesSequence(Frame(2, 0, 2)));
    worker.Restart();
    EXPECT_FALSE(worker.SkipsForLoad(predicted, 40)) << "a new run starts without overload";
}

// Sixteen channels of key frames at the largest size must not each keep a full-size converted
// picture for the last-picture slot: the slot gives the picture at a bounded size, converted
// from the decoded frame.
TEST_F(LiveDecodeWorkerTest, FirstPictureOfALargeStreamIsKeptAtABoundedSize)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(4096, 2304, 2, 1);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    CModuleDecoder decoder;
    ASSERT_TRUE(decoder.OpenDecoder());
    decoder.SetConvertOnDemand(true);
    pictures.Reset();
    ASSERT_TRUE(pictures.AwaitsFirst(2));

    LiveFrameRecord r = Frame(2, 1, 0);
    r.CopyPayload(stream.frames.at(0).constData(), stream.frames.at(0).size());
    ASSERT_EQ(worker.Decode(r, decoder, 0, 0, true), LiveDecodeWorker::Outcome::FirstPicture);
    const QImage slot = pictures.Get(2);
    EXPECT_EQ(slot.size(), QSize(1280, 720)) << "bounded, with the stream's aspect";
    bool lit = false;
    for (int y = 0; y < slot.height() && !lit; y += 37)
        for (int x = 0; x < slot.width() && !lit; x += 37)
            lit = slot.pixelColor(x, y).value() > 40;
    EXPECT_TRUE(lit) << "the slot holds the converted picture, not a black one";
    EXPECT_EQ(decoder.GetPictureSize(), QSize(4096, 2304));
}

TEST_F(LiveDecodeWorkerTest, FirstPictureOfASmallStreamKeepsItsSize)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(352, 240, 2, 1);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    CModuleDecoder decoder;
    ASSERT_TRUE(decoder.OpenDecoder());
    decoder.SetConvertOnDemand(true);
    pictures.Reset();
    LiveFrameRecord r = Frame(2, 1, 0);
    r.CopyPayload(stream.frames.at(0).constData(), stream.frames.at(0).size());
    ASSERT_EQ(worker.Decode(r, decoder, 0, 0, true), LiveDecodeWorker::Outcome::FirstPicture);
    EXPECT_EQ(pictures.Get(2).size(), QSize(352, 240));
}

// The slot keeps no picture of its own once the first has arrived: what it gives is the newest
// decoded frame, pixel for pixel as ffmpeg converts it; closing the channel brings the
// placeholder back, and the next first picture is awaited again.
TEST_F(LiveDecodeWorkerTest, SlotGivesTheNewestDecodedPictureUntilTheChannelCloses)
{
    const decoder_streams::Stream& stream = decoder_streams::Make(704, 480, 12, 6);
    ASSERT_TRUE(stream.error.isEmpty()) << stream.error.toStdString();
    QString error;
    const QByteArray reference = decoder_streams::ScaledReference(stream, 704, 480, 0, 12, error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    CModuleDecoder decoder;
    ASSERT_TRUE(decoder.OpenDecoder());
    decoder.SetConvertOnDemand(true);
    pictures.Reset();
    const qsizetype frameBytes = qsizetype(704) * 480 * 4;
    for (int i = 0; i < 12; ++i) {
        LiveFrameRecord r = Frame(2, i % 6 == 0 ? 1 : 0, i);
        r.CopyPayload(stream.frames.at(i).constData(), stream.frames.at(i).size());
        const LiveDecodeWorker::Outcome expected = i == 0 ? LiveDecodeWorker::Outcome::FirstPicture
                                                          : LiveDecodeWorker::Outcome::Delivered;
        ASSERT_EQ(worker.Decode(r, decoder, 0, 0, true), expected) << "frame " << i;
        EXPECT_FALSE(pictures.AwaitsFirst(2)) << "frame " << i;
        if (i % 4 != 0 && i != 11)
            continue;
        const QImage slot = pictures.Get(2);
        ASSERT_EQ(slot.size(), QSize(704, 480)) << "frame " << i;
        ASSERT_EQ(slot.format(), QImage::Format_RGB32);
        int differing = 0;
        for (int y = 0; y < 480; ++y)
            differing += std::memcmp(slot.constScanLine(y),
                                     reference.constData() + i * frameBytes + qsizetype(y) * 704 * 4, 704 * 4)
                         != 0;
        EXPECT_EQ(differing, 0) << "rows differing from ffmpeg's frame " << i;
    }
    pictures.Store(2, LastPictures::Placeholder());
    EXPECT_TRUE(LastPictures::IsPlaceholder(pictures.Get(2)));
    EXPECT_TRUE(pictures.AwaitsFirst(2));
    EXPECT_TRUE(LastPictures::IsPlaceholder(pictures.Get(3))) << "other channels keep their placeholder";
}
