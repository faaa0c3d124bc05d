// The receive framing and the send path of the socket thread, against a loopback peer that writes
// raw bytes, plain and TLS. Command 0x2D (asynchronous event, 12 bytes) is the probe: each one that
// gets through the framing raises OnNetAsyncEvent once.
#include "net/nettypemirel.h"
#include "net/recordermessageheader.h"
#include "net/support/engine_testutil.h"

#include <gtest/gtest.h>

#include <memory>

using namespace enginetest;

namespace {

// 0x2D, length 8, total 12.
const char* const kEvent = "00 00 00 08 00 A1 2D 00 00 0C 00 00";

class Framing : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        if (GetParam()) {
            ASSERT_TRUE(Tls().ok) << "openssl could not make a test certificate";
        }
        peer = std::make_unique<RawPeer>(GetParam());
        engine = std::make_unique<CNetTypeMirel>(nullptr, GetParam());
        QObject::connect(engine.get(), &CNetTypeMirel::OnNetAsyncEvent, [this] { ++events; });
        QObject::connect(engine.get(), &CNetTypeMirel::OnNetState, [this](int state) { states.push_back(state); });
        ASSERT_TRUE(engine->OnConnect("127.0.0.1", peer->Port(), "admin", "", GetParam()));
        ASSERT_TRUE(peer->WaitReady());
        ASSERT_EQ(engine->GetNetState(), 1);
        // Under TLS the login goes out once the peer's (first seen) certificate is accepted.
        if (GetParam()) {
            ASSERT_TRUE(WaitFor([&] { return engine->IsTlsHandshakeDone(); }));
        }
    }

    bool Closed() const { return engine->GetNetState() == -1; }

    int events = 0;
    std::vector<int> states;
    std::unique_ptr<RawPeer> peer;
    std::unique_ptr<CNetTypeMirel> engine;
};

TEST_P(Framing, TwoMessagesInOneSegment)
{
    peer->Write(Hex(kEvent) + Hex(kEvent));
    ASSERT_TRUE(WaitFor([&] { return events == 2; }));
    Settle();
    EXPECT_EQ(events, 2);
    EXPECT_FALSE(Closed());
}

TEST_P(Framing, OneMessageOverSeveralSegments)
{
    const QByteArray whole = Hex(kEvent);
    for (int i = 0; i < whole.size() - 1; ++i) {
        peer->Write(whole.mid(i, 1));
        Settle(20);
        EXPECT_EQ(events, 0) << "dispatched after " << i + 1 << " bytes";
    }
    peer->Write(whole.right(1));
    ASSERT_TRUE(WaitFor([&] { return events == 1; }));
    Settle();
    EXPECT_EQ(events, 1);
}

TEST_P(Framing, WrongMarkerIsDroppedAndTheNextMessageFramed)
{
    peer->Write(Hex("00 00 00 08 A1 00 2D 00 00 0C 00 00") + Hex(kEvent));
    ASSERT_TRUE(WaitFor([&] { return events == 1; }));
    Settle();
    EXPECT_EQ(events, 1);
    EXPECT_FALSE(Closed());
}

TEST_P(Framing, LargestMessageFitsTheReceiveBuffer)
{
    // length 40956, total 40960 = 00 A0 00.
    QByteArray big = Hex("00 00 9F FC 00 A1 2D 00 00 00 A0 00");
    big.append(QByteArray(40960 - 12, '\x5A'));
    peer->Write(big + Hex(kEvent));
    ASSERT_TRUE(WaitFor([&] { return events == 2; }));
    EXPECT_FALSE(Closed());
}

struct Rejected
{
    const char* name;
    const char* bytes;
};

class FramingRejects : public ::testing::TestWithParam<std::tuple<bool, Rejected>>
{};

TEST_P(FramingRejects, ClosesTheConnection)
{
    const bool tls = std::get<0>(GetParam());
    const Rejected& c = std::get<1>(GetParam());
    if (tls) {
        ASSERT_TRUE(Tls().ok);
    }
    int events = 0;
    RawPeer peer(tls);
    CNetTypeMirel engine(nullptr, tls);
    QObject::connect(&engine, &CNetTypeMirel::OnNetAsyncEvent, [&] { ++events; });
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", peer.Port(), "admin", "", tls));
    ASSERT_TRUE(peer.WaitReady());
    // A good message first, so the bad one is met in the middle of a stream.
    peer.Write(Hex(kEvent) + Hex(c.bytes) + Hex(kEvent));
    ASSERT_TRUE(WaitFor([&] { return engine.GetNetState() == -1; })) << c.name;
    EXPECT_EQ(events, 1) << c.name;
}

const Rejected kRejected[] = {
    {"length 0", "00 00 00 00 00 A1 2D 00 00 04 00 00"},
    {"length 7", "00 00 00 07 00 A1 2D 00 00 0B 00 00"},
    {"length 40957", "00 00 9F FD 00 A1 2D 00 00 01 A0 00"},
    {"length far beyond", "7F FF FF F0 00 A1 2D 00 00 00 00 00"},
    {"total 13 in a 12-byte message", "00 00 00 08 00 A1 2D 00 00 0D 00 00"},
    {"total 11 in a 12-byte message", "00 00 00 08 00 A1 2D 00 00 0B 00 00"},
};

INSTANTIATE_TEST_SUITE_P(Lengths, FramingRejects,
                         ::testing::Combine(::testing::Bool(), ::testing::ValuesIn(kRejected)),
                         [](const auto& info) {
                             std::string name = std::string(std::get<0>(info.param) ? "tls_" : "plain_")
                                                + std::get<1>(info.param).name;
                             for (char& ch : name)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return name;
                         });

TEST(FramingTls, FewerThanSevenBytesNeverStartAMessage)
{
    ASSERT_TRUE(Tls().ok);
    int events = 0;
    RawPeer peer(true);
    CNetTypeMirel engine(nullptr, true);
    QObject::connect(&engine, &CNetTypeMirel::OnNetAsyncEvent, [&] { ++events; });
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", peer.Port(), "admin", "", true));
    ASSERT_TRUE(peer.WaitReady());
    // Six bytes that hold a complete (and invalid) length field: nothing may happen yet.
    peer.Write(Hex(kEvent) + Hex("00 00 00 00 00 A1"));
    ASSERT_TRUE(WaitFor([&] { return events == 1; }));
    Settle(300);
    EXPECT_EQ(engine.GetNetState(), 1);
    // The seventh byte starts the message, whose length is then refused.
    peer.Write(Hex("2D"));
    EXPECT_TRUE(WaitFor([&] { return engine.GetNetState() == -1; }));
}

TEST_P(Framing, SentRequestCarriesItsLength)
{
    // The login goes out on state 1 (under TLS the thread already sent it after the handshake).
    engine->SendLogin(false);
    engine->SendTalkStart(); // 12 bytes
    engine->SendLiveStop(3); // 16 bytes
    const QByteArray expected = Hex("00 00 00 10 00 A1 01 00 00 14 00 00 00 05 00 61 64 6D 69 6E"
                                    "00 00 00 08 00 A1 3F 00 00 0C 00 00"
                                    "00 00 00 0C 00 A1 04 00 00 10 00 00 08 00 00 00");
    ASSERT_TRUE(WaitFor([&] { return peer->Received().size() >= expected.size(); }));
    Settle();
    EXPECT_EQ(peer->Received().toHex(' ').toStdString(), expected.toHex(' ').toStdString());
    EXPECT_EQ(engine->GetSentBytes(), expected.size());
}

TEST_P(Framing, PlaybackControlFormFollowsTheStreamValue)
{
    if (!GetParam())
        engine->SendLogin(false);
    ASSERT_TRUE(WaitFor([&] { return peer->Received().size() >= 20; }));
    const int before = peer->Received().size();
    std::vector<char> buffer(CNetTypeMirel::kPlaybackBufferSize);
    engine->SendPlaybackCtrlExt(2, 7, 16, 0, 1, 0x000F, 20261209, 120000, 1, buffer.data(), 0);
    engine->SendPlaybackCtrlExt(2, 7, 16, 0, 1, 0x000F, 20261209, 120000, 1, buffer.data(), 1);
    // 32 bytes (length 28), then 36 bytes (length 32) with f repeated at 34.
    const QByteArray expected = Hex("00 00 00 1C 00 A1 95 00 00 20 00 00 02 07 10 00 00 01 0F 00"
                                    "59 29 35 01 C0 D4 01 00 01 02 00 00"
                                    "00 00 00 20 00 A1 95 00 00 24 00 00 02 07 10 00 00 01 0F 00"
                                    "59 29 35 01 C0 D4 01 00 01 02 00 00 00 00 0F 00");
    ASSERT_TRUE(WaitFor([&] { return peer->Received().size() >= before + expected.size(); }));
    EXPECT_EQ(peer->Received().mid(before).toHex(' ').toStdString(), expected.toHex(' ').toStdString());
}

TEST_P(Framing, RecorderClosingReportsDisconnected)
{
    peer.reset();
    ASSERT_TRUE(WaitFor([&] { return Closed(); }));
    ASSERT_FALSE(states.empty());
    EXPECT_EQ(states.back(), -1);
}

// Fifty messages and half of one arrive in one write, the rest of the last one later: every
// message of a large read is framed, and the part left over is framed whole with the bytes that
// complete it.
TEST_P(Framing, ManyMessagesInOneWriteAndTheRestOfOneLater)
{
    const QByteArray one = Hex(kEvent);
    QByteArray burst;
    for (int i = 0; i < 50; ++i)
        burst += one;
    peer->Write(burst + one.left(5));
    ASSERT_TRUE(WaitFor([&] { return events == 50; }));
    peer->Write(one.mid(5));
    ASSERT_TRUE(WaitFor([&] { return events == 51; }));
    Settle();
    EXPECT_EQ(events, 51);
    EXPECT_FALSE(Closed());
}

INSTANTIATE_TEST_SUITE_P(Kinds, Framing, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "tls" : "plain"; });

TEST(FramingHeader, FieldsOfAHandWrittenHeader)
{
    const QByteArray m = Hex("00 00 00 14 00 A1 87 05 03 18 00 00");
    const RecorderMessageHeader h = RecorderMessageHeader::FromBytes(m.constData());
    EXPECT_EQ(h.Length(), 20u);
    EXPECT_TRUE(h.HasMarker());
    EXPECT_EQ(h.Command(), 0x87);
    EXPECT_EQ(h.Status(), 5);
    EXPECT_EQ(h.SubCode(), 3);
    EXPECT_EQ(h.Total(), 24);
    char composed[12];
    RecorderMessageHeader::Compose(composed, 0x87, 3, 24);
    EXPECT_EQ(QByteArray(composed, 12), Hex("00 00 00 00 00 A1 87 00 03 18 00 00"));
}

} // namespace
