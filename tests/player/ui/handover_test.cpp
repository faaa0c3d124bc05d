// The hand-over records: Clear, one Append per byte, Open; 8 bytes each, little-endian.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ui/handover.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTextCodec>

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

// A name stored in Latin-1 on disk, on a system whose file names are Latin-1: its bytes are not
// UTF-8, yet the handed-over path names the same file, as the running side's file functions see it.
TEST(PlayerHandOver, ANameWhoseBytesAreNotUtf8StillNamesItsFile)
{
    QTextCodec* const before = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
    const auto restore = qScopeGuard([before] { QTextCodec::setCodecForLocale(before); });
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray raw = QFile::encodeName(dir.path()) + "/caf\xe9 \xe0 n\xfc/h080510.003";
    ASSERT_EQ(::mkdir(raw.left(raw.lastIndexOf('/')).constData(), 0700), 0);
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    HandOverReceiver receiver;
    for (const HandOverRecord& r : HandOverSequence::Encode(raw))
        receiver.Apply(r);
    EXPECT_EQ(QFile::encodeName(receiver.PendingPath()), raw);
    EXPECT_TRUE(QFileInfo::exists(receiver.PendingPath()));
    // The first start's own command line goes the same way.
    receiver.SetPendingPath(QFile::decodeName(raw));
    EXPECT_TRUE(QFileInfo::exists(receiver.PendingPath()));
}
