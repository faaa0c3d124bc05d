// The hand-over records: Clear, one Append per byte, Open; 8 bytes each, little-endian.
#include <gtest/gtest.h>

#include "ui/handover.h"

TEST(PlayerHandOver, EncodesThePathByteByByte)
{
    const QVector<HandOverRecord> records = HandOverSequence::Encode(QByteArray("a\xC3\xA9", 3));
    ASSERT_EQ(records.size(), 5);
    EXPECT_EQ(records[0].message, HandOverMessage::Clear);
    EXPECT_EQ(records[1].message, HandOverMessage::Append);
    EXPECT_EQ(records[1].value, 0x61);
    EXPECT_EQ(records[2].value, -61); // 0xC3 as a signed byte widened
    EXPECT_EQ(records[3].value, -87); // 0xA9
    EXPECT_EQ(records[4].message, HandOverMessage::Open);

    // WM_USER+100 = 0x464, then -61 as a 32-bit little-endian value.
    EXPECT_EQ(HandOverSequence::Pack(records[2]), QByteArray("\x64\x04\x00\x00\xC3\xFF\xFF\xFF", 8));
    EXPECT_EQ(HandOverSequence::Pack(records[0]), QByteArray("\x63\x04\x00\x00\x00\x00\x00\x00", 8));
    EXPECT_EQ(HandOverSequence::Pack(records[4]), QByteArray("\x65\x04\x00\x00\x00\x00\x00\x00", 8));
}

TEST(PlayerHandOver, ReceiverRebuildsAPathSplitAcrossReads)
{
    const QString path = QStringLiteral("/home/op/Bäckup/x0101.3");
    QByteArray wire;
    for (const HandOverRecord& r : HandOverSequence::Encode(path.toUtf8()))
        wire += HandOverSequence::Pack(r);

    HandOverReceiver receiver;
    receiver.SetPendingPath(QStringLiteral("old"));
    int opens = 0;
    for (int i = 0; i < wire.size(); i += 5) {
        for (const HandOverRecord& r : receiver.Feed(wire.mid(i, 5)))
            opens += receiver.Apply(r) ? 1 : 0;
    }
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(receiver.PendingPath(), path);

    // A later Open without Clear reuses the pending path.
    EXPECT_TRUE(receiver.Apply({HandOverMessage::Open, 0}));
    EXPECT_EQ(receiver.PendingPath(), path);
}

TEST(PlayerHandOver, ReceiverIgnoresValuesThatAreNoByteAndBoundsThePath)
{
    HandOverReceiver receiver;
    receiver.Apply({HandOverMessage::Append, 0x41});
    receiver.Apply({HandOverMessage::Append, 0x1000});
    receiver.Apply({HandOverMessage::Append, -129});
    receiver.Apply({static_cast<HandOverMessage>(0x400 + 6744), 0x42});
    EXPECT_EQ(receiver.PendingPath(), "A");
    for (int i = 0; i < HandOverReceiver::kMaxPathBytes + 10; ++i)
        receiver.Apply({HandOverMessage::Append, 'b'});
    EXPECT_EQ(receiver.PendingPath().size(), HandOverReceiver::kMaxPathBytes);
    receiver.Apply({HandOverMessage::Clear, 0});
    EXPECT_TRUE(receiver.PendingPath().isEmpty());
}
