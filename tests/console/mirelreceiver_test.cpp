// Framing of the console's live connection and the gathering of frames from its 0x29 pieces.
// Messages are written out by hand from the header table.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include <vector>

#include "console/mirelframegatherer.h"
#include "console/mirelnetservice.h"
#include "console/mirelreceiver.h"

namespace {

// A message: the 12-byte header (big-endian total - 4, 0x00, kind, command, 0, 0, 24-bit total)
// and `body` from byte 12.
QByteArray Message(int command, const QByteArray& body, int kind = 0xA1)
{
    const int total = 12 + body.size();
    QByteArray m(12, '\0');
    m[0] = char(((total - 4) >> 24) & 0xFF);
    m[1] = char(((total - 4) >> 16) & 0xFF);
    m[2] = char(((total - 4) >> 8) & 0xFF);
    m[3] = char((total - 4) & 0xFF);
    m[5] = char(kind);
    m[6] = char(command);
    m[9] = char(total & 0xFF);
    m[10] = char((total >> 8) & 0xFF);
    m[11] = char((total >> 16) & 0xFF);
    return m + body;
}

struct Collected
{
    std::vector<QByteArray> messages;
    MirelReceiver::Deliver Sink()
    {
        return
            [this](const unsigned char* m, int n) { messages.emplace_back(reinterpret_cast<const char*>(m), n); };
    }
};

TEST(MirelReceiver, DeliversMessagesFromAnyCut)
{
    const QByteArray a = Message(0x02, QByteArray(20, 'a'));
    const QByteArray b = Message(0x1D, QByteArray(88, 'b'));
    const QByteArray stream = a + b + a;
    for (int cut : {1, 5, 6, 7, 13, 1000}) {
        MirelReceiver receiver;
        Collected got;
        for (int at = 0; at < stream.size(); at += cut)
            ASSERT_TRUE(receiver.Feed(stream.constData() + at, std::min(cut, stream.size() - at), got.Sink()));
        ASSERT_EQ(got.messages.size(), 3u) << "cut " << cut;
        EXPECT_EQ(got.messages[0], a);
        EXPECT_EQ(got.messages[1], b);
        EXPECT_EQ(got.messages[2], a);
        EXPECT_EQ(receiver.Received(), 0);
    }
}

TEST(MirelReceiver, NoticesAreSkippedNotDelivered)
{
    const QByteArray alive = Message(0x2A, QByteArray(4, '\0'), 0x01);
    const QByteArray closing = Message(0x00, QByteArray(), 0x11);
    const QByteArray unknown = Message(0x00, QByteArray(3, 'x'), 0x7E);
    const QByteArray login = Message(0x02, QByteArray(20, 'l'));
    MirelReceiver receiver;
    Collected got;
    const QByteArray stream = alive + closing + unknown + login;
    ASSERT_TRUE(receiver.Feed(stream.constData(), stream.size(), got.Sink()));
    ASSERT_EQ(got.messages.size(), 1u);
    EXPECT_EQ(got.messages[0], login);
}

TEST(MirelReceiver, LengthsThatCannotBeFramedCloseTheStream)
{
    struct Case
    {
        const char* what;
        QByteArray prefix;
    };
    const Case cases[] = {
        {"message below 12 bytes", QByteArray::fromHex("00000007 00a1")},
        {"message above 1 MiB", QByteArray::fromHex("000ffffd 00a1")},
        {"notice below its prefix", QByteArray::fromHex("00000001 0001")},
        {"notice above 1 MiB", QByteArray::fromHex("7ffffff0 0011")},
    };
    for (const Case& c : cases) {
        MirelReceiver receiver;
        Collected got;
        EXPECT_FALSE(receiver.Feed(c.prefix.constData(), c.prefix.size(), got.Sink())) << c.what;
        const QByteArray later = Message(0x02, QByteArray(20, 'x'));
        EXPECT_FALSE(receiver.Feed(later.constData(), later.size(), got.Sink())) << c.what;
        EXPECT_TRUE(got.messages.empty()) << c.what;
    }
    // The largest message that fits is taken.
    MirelReceiver receiver;
    Collected got;
    const QByteArray largest = Message(0x29, QByteArray(MirelReceiver::kBufferSize - 12, 'z'));
    ASSERT_TRUE(receiver.Feed(largest.constData(), largest.size(), got.Sink()));
    EXPECT_EQ(got.messages.size(), 1u);
}

// Body bytes 12..39 of a 0x29 piece: flags, channel, frame type, announced size, values at 24/28,
// time at 32, byte 37.
QByteArray PieceHead(int flags, int channel, int type, int size, quint32 stamp)
{
    QByteArray h(28, '\0');
    h[0] = char(flags);
    h[2] = char(channel);
    h[3] = char(type);
    for (int i = 0; i < 4; ++i) {
        h[4 + i] = char((size >> (8 * i)) & 0xFF);
        h[12 + i] = char((0x11223344u >> (8 * i)) & 0xFF); // value at 24
        h[16 + i] = char((0x55667788u >> (8 * i)) & 0xFF); // value at 28
        h[20 + i] = char((stamp >> (8 * i)) & 0xFF);       // 32..35
    }
    h[25] = 0x5A; // byte 37
    return h;
}

QByteArray Payload(int n, int seed)
{
    QByteArray p(n, '\0');
    for (int i = 0; i < n; ++i)
        p[i] = char((i * 7 + seed) & 0xFF);
    return p;
}

std::optional<MirelAVFrame> Feed(MirelFrameGatherer& g, const QByteArray& m)
{
    return g.Take(reinterpret_cast<const unsigned char*>(m.constData()), m.size());
}

TEST(MirelFrameGatherer, FrameOverThreePiecesFromByte32)
{
    // Without 0x40 or 0x80 the payload starts at byte 32: the first piece's bytes 32..39 are payload.
    const QByteArray payload = Payload(3000, 1);
    QByteArray first = Message(0x29, PieceHead(0x01, 3, 1, 3000, 0xFFFF8001).left(20) + payload.left(1000));
    QByteArray second = Message(0x29, QByteArray(20, '\x7f') + payload.mid(1000, 1000));
    QByteArray third = Message(0x29, QByteArray(20, '\x7f') + payload.mid(2000));
    MirelFrameGatherer g;
    EXPECT_FALSE(Feed(g, first));
    EXPECT_FALSE(Feed(g, Message(0x29, QByteArray(31, '\x01')))) << "a 43-byte piece is ignored";
    EXPECT_FALSE(Feed(g, second));
    const auto frame = Feed(g, third);
    ASSERT_TRUE(frame);
    EXPECT_EQ(*frame->payload, payload);
    EXPECT_EQ(frame->payloadSize, 3000);
    EXPECT_EQ(frame->channel, 3);
    EXPECT_EQ(frame->frameType, 1);
    EXPECT_EQ(frame->flags, 0x01);
    EXPECT_FALSE(g.IsOpen());
}

TEST(MirelFrameGatherer, PayloadFromByte40AndTheStamp)
{
    struct Case
    {
        int flags;
        qint64 stamp;
    };
    // 0x40: 32-bit time at 32, sign-extended; 0x80 alone: the 16-bit time at 32.
    const Case cases[] = {{0x41, qint64(qint32(0xFFFF8001))}, {0x81, 0x8001}, {0x50, qint64(qint32(0xFFFF8001))}};
    for (const Case& c : cases) {
        const QByteArray payload = Payload(100, c.flags);
        MirelFrameGatherer g;
        EXPECT_FALSE(Feed(g, Message(0x29, PieceHead(c.flags, 1, 0, 100, 0xFFFF8001) + payload.left(60))));
        const auto frame = Feed(g, Message(0x29, QByteArray(28, '\x7f') + payload.mid(60)));
        ASSERT_TRUE(frame) << c.flags;
        EXPECT_EQ(*frame->payload, payload);
        EXPECT_EQ(frame->stamp, c.stamp) << c.flags;
        EXPECT_EQ(frame->value24, 0x11223344);
        EXPECT_EQ(frame->value28, 0x55667788);
        EXPECT_EQ(frame->byte37, 0x5A);
    }
}

TEST(MirelFrameGatherer, RefusedStartsAndOverlongFrames)
{
    MirelFrameGatherer g;
    // A piece without a frame start in byte 12 (joined in the middle of a frame).
    EXPECT_FALSE(Feed(g, Message(0x29, PieceHead(0x80, 0, 1, 10, 0) + Payload(10, 0))));
    EXPECT_FALSE(g.IsOpen());
    // Announced sizes of 0, below 0 and beyond the cap.
    for (int size : {0, -5, MirelFrameGatherer::kMaxPayload + 1}) {
        EXPECT_FALSE(Feed(g, Message(0x29, PieceHead(0x41, 0, 1, size, 0) + Payload(10, 0))));
        EXPECT_FALSE(g.IsOpen()) << size;
    }
    // A frame that grows past its size is dropped, and the next frame is gathered whole.
    EXPECT_FALSE(Feed(g, Message(0x29, PieceHead(0x41, 0, 1, 50, 0) + Payload(40, 0))));
    EXPECT_FALSE(Feed(g, Message(0x29, QByteArray(28, '\0') + Payload(40, 0))));
    EXPECT_FALSE(g.IsOpen());
    const auto frame = Feed(g, Message(0x29, PieceHead(0x41, 2, 1, 20, 0) + Payload(20, 9)));
    ASSERT_TRUE(frame);
    EXPECT_EQ(*frame->payload, Payload(20, 9));
}

} // namespace

namespace {

TEST(MirelNetService, VdaRepliesTooShortForTheirHeaderAreIgnored)
{
    MirelNetService service;
    QSignalSpy grids(&service, &MirelNetService::didReceiveVdaData);
    // 12 channel, 16 columns, 20 rows, 24 row width, mask from 28.
    QByteArray body(16, '\0');
    body[0] = 7;
    body[4] = 22;
    body[8] = 15;
    body[12] = 4;
    const QByteArray whole = Message(0xB7, body + QByteArray::fromHex("ff0f0000"));
    service.handleVdaData(reinterpret_cast<const unsigned char*>(whole.constData()), 27);
    EXPECT_TRUE(grids.isEmpty());
    service.handleVdaData(reinterpret_cast<const unsigned char*>(whole.constData()), whole.size());
    ASSERT_EQ(grids.size(), 1);
    EXPECT_EQ(grids[0][0].toInt(), 7);
    EXPECT_EQ(grids[0][1].toInt(), 22);
    EXPECT_EQ(grids[0][2].toInt(), 15);
    EXPECT_EQ(grids[0][3].toInt(), 4);
    EXPECT_EQ(grids[0][4].toByteArray(), QByteArray::fromHex("ff0f0000"));
}

TEST(MirelNetService, LiveRequestAdvancesTheSequenceModulo128)
{
    MirelNetService service;
    for (int i = 1; i <= 128; ++i) {
        service.requestStartLive(1, 30, false);
        EXPECT_EQ(service.sequence(), i % 128);
    }
    service.requestModelInfo();
    service.requestVdaData(0);
    EXPECT_EQ(service.sequence(), 0) << "only the live request advances it";
}

} // namespace
