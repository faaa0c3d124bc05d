#include "playback/recorderrequest.h"

#include <gtest/gtest.h>

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(text);
}

TEST(RecorderRequest, BareRequestsCarryCommandAndLength)
{
    const std::pair<QByteArray, const char*> cases[] = {
        {RecorderRequest::ModelInformation(), "000000000000 1c 00 00 0c0000"},
        {RecorderRequest::CameraNames(), "000000000000 2e 00 00 0c0000"},
        {RecorderRequest::StatusPoll(), "000000000000 22 00 00 0c0000"},
        {RecorderRequest::RecorderClock(), "000000000000 2a 00 00 0c0000"},
        {RecorderRequest::FileDataStop(), "000000000000 44 00 00 0c0000"},
        {RecorderRequest::PlayAudioClip(3), "000000000000 30 00 00 100000 03000000"},
        {RecorderRequest::LiveAudioStop(9), "000000000000 3e 00 00 0e0000 0002"},
        {RecorderRequest::LiveAudioStop(0), "000000000000 3e 00 00 0e0000 0100"},
    };
    for (const auto& [frame, hex] : cases) {
        EXPECT_EQ(frame.toHex(), Hex(hex).toHex()) << hex;
    }
}

TEST(RecorderRequest, FileDataHoldsAtMost98Entries)
{
    const auto frame = RecorderRequest::FileData(5, {{1, 0x10203040, 2, 5}});
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->toHex(), Hex("000000000000 42 00 05 1c0000 01000000 40302010 02000000 05000000").toHex());
    const auto full = RecorderRequest::FileData(0, QVector<FileDataEntry>(98));
    ASSERT_TRUE(full);
    EXPECT_EQ(full->size(), 12 + 16 * 98);
    EXPECT_EQ(full->mid(9, 3).toHex(), Hex("2c0600").toHex());
    EXPECT_FALSE(RecorderRequest::FileData(0, QVector<FileDataEntry>(99)));
    EXPECT_FALSE(RecorderRequest::FileData(16, {}));
    EXPECT_FALSE(RecorderRequest::FileData(-1, {}));
}

TEST(RecorderRequest, FramingWritesTheHeaderOnceAndRefusesOversizedFrames)
{
    const auto framed = RecorderRequest::Framed(RecorderRequest::StatusPoll());
    ASSERT_TRUE(framed);
    EXPECT_EQ(framed->toHex(), Hex("00000008 00 a1 22 00 00 0c0000").toHex());
    EXPECT_EQ(RecorderRequest::Framed(*framed), framed); // already framed: unchanged
    EXPECT_TRUE(RecorderRequest::Framed(QByteArray(65536, '\0')));
    EXPECT_EQ(RecorderRequest::Framed(QByteArray(65536, '\0'))->left(6).toHex(), Hex("0000fffc00a1").toHex());
    EXPECT_FALSE(RecorderRequest::Framed(QByteArray(65537, '\0')));
    EXPECT_FALSE(RecorderRequest::Framed(QByteArray(11, '\0')));
}

TEST(RecorderRequest, ControlPacketEndsWithTheXorOfItsMiddle)
{
    EXPECT_EQ(RecorderRequest::ControlPacket(5, 0x0102).toHex(), Hex("55050102000000 06").toHex());
    EXPECT_EQ(RecorderRequest::ControlPacket(5, 255).toHex(), Hex("550500ff000000 fa").toHex());
}

} // namespace
