// Buffers handed to the engine are forgotten when its connection goes down (and on DropBuffers):
// a reply that arrives afterwards writes nothing into them and emitted nothing. The caller may
// free its buffers once it has seen the disconnect. Also: the outcome of a connection attempt
// (model check, TLS handshake, login reply) stays readable after the disconnect.
#include "net/nettypemirel.h"
#include "net/support/engine_testutil.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace enginetest;

namespace {

void Feed(CNetTypeMirel& engine, QByteArray message)
{
    engine.OnRecvData(message.data(), message.size());
}

QByteArray Pattern(int n, char seed)
{
    QByteArray p(n, '\0');
    for (int i = 0; i < n; ++i)
        p[i] = char(seed + i * 5);
    return p;
}

// Model information 0x1D (100 bytes): raw code 0x11, four channels, firmware 3.29.
QByteArray ModelReply()
{
    QByteArray b(88, '\0');
    Put8(b, 0, 0x11);
    Put8(b, 2, 4);
    Put8(b, 41 - 12, 3);
    Put8(b, 42 - 12, 29);
    return Message(0x1D, b);
}

// Status 0x23 (56 bytes): every channel present (24) and with video (26).
QByteArray StatusReply()
{
    QByteArray b(44, '\0');
    Put16(b, 24 - 12, 0xFFFF);
    Put16(b, 26 - 12, 0xFFFF);
    return Message(0x23, b);
}

// 0x29: flags 12, frame id 13, channel 14, type 15, size 16, offset 20, live/playback 36.
QByteArray FramePiece(int channel, int type, int size, const QByteArray& payload, bool playback,
                      quint8 flags12 = 0)
{
    QByteArray b(28, '\0');
    Put8(b, 0, flags12);
    Put8(b, 1, 3);
    Put8(b, 2, quint8(channel));
    Put8(b, 3, quint8(type));
    Put32(b, 4, quint32(size));
    Put32(b, 8, 0);
    Put8(b, 24, playback ? 1 : 0);
    return Message(0x29, b + payload);
}

// 0x20/0x21 list reply: 12 channel, 16 kind, 20 size, 24 offset, data from 28.
QByteArray ListPiece(int channel, quint8 kind, const QByteArray& data, quint8 sub = 0)
{
    QByteArray b(16, '\0');
    Put32(b, 0, quint32(channel));
    Put8(b, 4, kind);
    Put32(b, 8, quint32(data.size()));
    Put32(b, 12, 0);
    return Message(0x21, b + data, 0, sub);
}

// 0x67 frame reply, sub-code 200: 12 channel code, 28 offset, 32 size, data from 36.
QByteArray FrameReply(int code, const QByteArray& data)
{
    QByteArray b(24, '\0');
    Put32(b, 0, quint32(code));
    Put32(b, 16, 0);
    Put32(b, 20, quint32(data.size()));
    return Message(0x67, b + data, 0, 200);
}

// 0xA9 console data: 12 whole size, 16 offset, data from 40.
QByteArray ConsolePiece(const QByteArray& data)
{
    QByteArray b(28, '\0');
    Put32(b, 0, quint32(data.size()));
    Put32(b, 4, 0);
    return Message(0xA9, b + data);
}

enum class Mode { Kept, Dropped, Disconnected };

struct BufferCase
{
    const char* name;
    Mode mode;
};

void PrintTo(const BufferCase& c, std::ostream* os)
{
    *os << c.name;
}

class LateReplies : public ::testing::TestWithParam<BufferCase>
{
protected:
    static constexpr char kSentinel = char(0x5A);

    std::vector<char> Buffer(int size) { return std::vector<char>(size_t(size), kSentinel); }
    static bool Untouched(const std::vector<char>& b)
    {
        for (char c : b)
            if (c != kSentinel)
                return false;
        return true;
    }
};

TEST_P(LateReplies, WriteIntoHandedBuffersOnlyWhileTheyAreKept)
{
    const Mode mode = GetParam().mode;
    // Everything the engine's signals reach outlives the engine (its destructor disconnects).
    std::vector<int> states;
    int emitted = 0;
    std::vector<char> live = Buffer(CNetTypeMirel::kLiveFrameBufferSize);
    std::vector<char> audio = Buffer(CNetTypeMirel::kLiveAudioBufferSize);
    std::vector<char> list = Buffer(CNetTypeMirel::kListBufferSize);
    std::vector<char> index = Buffer(CNetTypeMirel::kIndexBufferSize);
    std::vector<char> header = Buffer(CNetTypeMirel::kFrameHeaderBufferSize);
    std::vector<char> data = Buffer(CNetTypeMirel::kFrameDataBufferSize);
    std::vector<char> header2 = Buffer(CNetTypeMirel::kFrameHeaderBufferSize);
    std::vector<char> data2 = Buffer(CNetTypeMirel::kFrameDataBufferSize);
    std::vector<char> playback = Buffer(CNetTypeMirel::kPlaybackBufferSize);
    std::vector<char> console = Buffer(CNetTypeMirel::kConsoleBufferSize);
    RawPeer peer(false);
    CNetTypeMirel engine(nullptr, false);
    QObject::connect(&engine, &CNetTypeMirel::OnNetState, [&](int s) { states.push_back(s); });
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", peer.Port(), "admin", "1234", false));
    ASSERT_TRUE(peer.WaitReady());

    // Logged in with four present channels and the identity camera map.
    Feed(engine, ModelReply());
    Feed(engine, Hex("00 00 00 08 00 A1 74 01 00 0C 00 00"));
    Feed(engine, StatusReply());
    ASSERT_EQ(engine.GetNetState(), 2);

    engine.SendLiveStart(2, 30, 1, live.data(), false);
    engine.SendLiveAudioStart(1, audio.data());
    engine.SendTimeRecList(20261209, 0, list.data());
    engine.SendIntraIndexRequest(20261209, 2, 1, index.data(), 0, 0);
    engine.SetFrameBuffers(1, header.data(), data.data(), header2.data(), data2.data());
    engine.SendPlaybackCtrlExt(2, 1, 16, 0, 0, 1, 20261209, 120000, 1, playback.data(), 0);
    engine.SendConsoleDataRequest(0, console.data());

    if (mode == Mode::Dropped) {
        engine.DropBuffers();
    } else if (mode == Mode::Disconnected) {
        engine.Disconnect();
        ASSERT_TRUE(WaitFor([&] { return engine.GetNetState() == -1; }));
        EXPECT_EQ(states.back(), -1);
    }

    const auto count = [&emitted](auto&&...) { ++emitted; };
    QObject::connect(&engine, &CNetTypeMirel::OnNetLiveVideo, count);
    QObject::connect(&engine, &CNetTypeMirel::OnNetLiveAudio, count);
    QObject::connect(&engine, &CNetTypeMirel::OnNetTimeRecList, count);
    QObject::connect(&engine, &CNetTypeMirel::OnNetIntraIndex, count);
    QObject::connect(&engine, &CNetTypeMirel::OnNetFrameHeader, count);
    QObject::connect(&engine, &CNetTypeMirel::OnNetFrameData, count);
    QObject::connect(&engine, &CNetTypeMirel::OnNetPlaybackVideo, count);
    QObject::connect(&engine, &CNetTypeMirel::OnNetGuiData, count);

    // One whole reply for every buffer.
    Feed(engine, FramePiece(2, 1, 600, Pattern(600, 1), false)); // live key frame
    Feed(engine, FramePiece(1, 0, 32, Hex("00 01 A0 00 77 61 6C 75") + QByteArray(16, '\0') + Pattern(8, 2), false,
                            0x50));                             // live audio
    Feed(engine, ListPiece(0, 0x15, Pattern(300, 3)));          // time list
    Feed(engine, ListPiece(1, 0x12, Pattern(200, 4), 2));       // index, slot 2
    Feed(engine, FrameReply(1, Pattern(100, 5)));               // header, slot 1
    Feed(engine, FrameReply(101, Pattern(700, 6)));             // data, slot 1
    Feed(engine, FrameReply(6001, Pattern(50, 7)));             // header kind 6
    Feed(engine, FrameReply(7101, Pattern(60, 8)));             // data kind 7
    Feed(engine, FramePiece(0, 1, 400, Pattern(400, 9), true)); // playback frame
    Feed(engine, ConsolePiece(Pattern(500, 10)));               // console data

    const std::vector<const std::vector<char>*> buffers{&live, &audio,   &list,  &index,    &header,
                                                        &data, &header2, &data2, &playback, &console};
    if (mode == Mode::Kept) {
        // The replies are good ones: every buffer is written and every reply signalled.
        EXPECT_EQ(emitted, 10);
        for (size_t i = 0; i < buffers.size(); ++i)
            EXPECT_FALSE(Untouched(*buffers[i])) << "buffer " << i;
    } else {
        EXPECT_EQ(emitted, 0);
        for (size_t i = 0; i < buffers.size(); ++i)
            EXPECT_TRUE(Untouched(*buffers[i])) << "buffer " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, LateReplies,
                         ::testing::Values(BufferCase{"kept", Mode::Kept}, BufferCase{"dropped", Mode::Dropped},
                                           BufferCase{"disconnected", Mode::Disconnected}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LateRepliesFreed, FreedBuffersAreNeverWrittenAfterTheDisconnect)
{
    // The caller frees its buffers once it has seen the disconnect (a sanitizer build reports any
    // write into them).
    auto list = std::make_unique<char[]>(CNetTypeMirel::kListBufferSize);
    auto playback = std::make_unique<char[]>(CNetTypeMirel::kPlaybackBufferSize);
    int emitted = 0;
    RawPeer peer(false);
    CNetTypeMirel engine(nullptr, false);
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", peer.Port(), "admin", "1234", false));
    ASSERT_TRUE(peer.WaitReady());
    Feed(engine, ModelReply());
    Feed(engine, StatusReply());
    engine.SendTimeRecList(20261209, 0, list.get());
    engine.SendPlaybackCtrlExt(2, 1, 16, 0, 0, 1, 20261209, 120000, 1, playback.get(), 0);
    QObject::connect(&engine, &CNetTypeMirel::OnNetState, [&](int s) {
        if (s == -1) {
            list.reset();
            playback.reset();
        }
    });
    engine.Disconnect();
    ASSERT_TRUE(WaitFor([&] { return engine.GetNetState() == -1; }));
    ASSERT_FALSE(list);
    QObject::connect(&engine, &CNetTypeMirel::OnNetTimeRecList, [&](int, int) { ++emitted; });
    QObject::connect(&engine, &CNetTypeMirel::OnNetPlaybackVideo, [&](auto&&...) { ++emitted; });
    Feed(engine, ListPiece(0, 0x15, Pattern(300, 3)));
    Feed(engine, FramePiece(0, 1, 400, Pattern(400, 9), true));
    EXPECT_EQ(emitted, 0);
}

// --- outcome of a connection attempt -------------------------------------------------------------

TEST(AttemptOutcome, ModelCheckIsKeptUntilTheNextConnect)
{
    RawPeer peer(false);
    CNetTypeMirel engine(nullptr, false);
    EXPECT_EQ(engine.GetModelCheck(), 0);
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", peer.Port(), "admin", "1234", false));
    ASSERT_TRUE(peer.WaitReady());
    // Raw code 0x30: no accepted model class; the engine closes the connection.
    QByteArray refused = ModelReply();
    refused[12] = char(0x30);
    Feed(engine, refused);
    ASSERT_TRUE(WaitFor([&] { return engine.GetNetState() == -1; }));
    EXPECT_EQ(engine.GetModelCheck(), CNetTypeMirel::kModelRefused);

    RawPeer second(false);
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", second.Port(), "admin", "1234", false));
    EXPECT_EQ(engine.GetModelCheck(), 0) << "a new attempt starts without a verdict";
    ASSERT_TRUE(WaitFor([&] { return engine.GetNetState() == 1; }));
    Feed(engine, ModelReply());
    EXPECT_EQ(engine.GetModelCheck(), 1);
    EXPECT_EQ(engine.GetNetState(), 1);
}

TEST(AttemptOutcome, LoginReplyIsForgottenByTheNextConnect)
{
    RawPeer peer(false);
    CNetTypeMirel engine(nullptr, false);
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", peer.Port(), "admin", "1234", false));
    ASSERT_TRUE(peer.WaitReady());
    Feed(engine, Message(0x02, QByteArray(20, '\0'), 1)); // refused: the engine closes
    ASSERT_TRUE(WaitFor([&] { return engine.GetNetState() == -1; }));
    EXPECT_TRUE(engine.GetLoginDone());
    RawPeer second(false);
    ASSERT_TRUE(engine.OnConnect("127.0.0.1", second.Port(), "admin", "1234", false));
    EXPECT_FALSE(engine.GetLoginDone());
}

struct ModelFlagCase
{
    const char* name;
    quint8 code;
    qint32 subModel;
    quint8 major, minor;
    quint32 features;
    bool firmwareTool;
    bool further;
};

void PrintTo(const ModelFlagCase& c, std::ostream* os)
{
    *os << c.name;
}

class ModelFlags : public ::testing::TestWithParam<ModelFlagCase>
{};

TEST_P(ModelFlags, FirmwareToolModelAndFurtherCapability)
{
    const ModelFlagCase& c = GetParam();
    CNetTypeMirel engine(nullptr, false);
    QByteArray m = ModelReply();
    m[12] = char(c.code);
    m[41] = char(c.major);
    m[42] = char(c.minor);
    for (int i = 0; i < 4; ++i) {
        m[28 + i] = char(quint32(c.subModel) >> (8 * i));
        m[44 + i] = char(c.features >> (8 * i));
    }
    Feed(engine, m);
    EXPECT_EQ(engine.GetModelCheck(), 1);
    EXPECT_EQ(engine.IsFirmwareToolModel(), c.firmwareTool);
    EXPECT_EQ(engine.IsFurtherCapable(), c.further);
}

INSTANTIATE_TEST_SUITE_P(Models, ModelFlags,
                         ::testing::Values(ModelFlagCase{"code8sub1642", 0x18, 1642, 3, 29, 0, true, false},
                                           ModelFlagCase{"code8sub422", 0x18, 422, 3, 29, 0, true, false},
                                           ModelFlagCase{"code8sub822", 0x18, 822, 3, 29, 0, true, false},
                                           ModelFlagCase{"code8sub842", 0x18, 842, 3, 29, 0, true, false},
                                           ModelFlagCase{"code8sub1641", 0x18, 1641, 3, 29, 0, false, false},
                                           ModelFlagCase{"code9sub1642", 0x19, 1642, 3, 29, 0, false, false},
                                           ModelFlagCase{"fw344bit20", 0x11, 0, 3, 44, 1u << 20, false, true},
                                           ModelFlagCase{"fw344NoBit20", 0x11, 0, 3, 44, 0, false, false},
                                           ModelFlagCase{"fw343bit20", 0x11, 0, 3, 43, 1u << 20, false, false},
                                           ModelFlagCase{"fw400bit20", 0x11, 0, 4, 0, 1u << 20, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AttemptOutcome, TlsHandshakeCompletion)
{
    ASSERT_TRUE(Tls().ok) << "openssl could not make a test certificate";
    CNetTypeMirel engine(nullptr, true);
    EXPECT_FALSE(engine.IsTlsHandshakeDone());

    // A plain peer: the socket connects, the handshake never completes.
    {
        RawPeer plain(false);
        ASSERT_TRUE(engine.OnConnect("127.0.0.1", plain.Port(), "admin", "1234", true));
        ASSERT_TRUE(plain.WaitReady());
        Settle(300);
        EXPECT_FALSE(engine.IsTlsHandshakeDone());
        engine.Disconnect();
        ASSERT_TRUE(WaitFor([&] { return engine.GetNetState() == -1; }));
        EXPECT_FALSE(engine.IsTlsHandshakeDone());
    }

    // A TLS peer: done once encrypted, and still readable after the disconnect.
    {
        RawPeer secure(true);
        ASSERT_TRUE(engine.OnConnect("127.0.0.1", secure.Port(), "admin", "1234", true));
        ASSERT_TRUE(secure.WaitReady());
        ASSERT_TRUE(WaitFor([&] { return engine.IsTlsHandshakeDone(); }));
        engine.Disconnect();
        ASSERT_TRUE(WaitFor([&] { return engine.GetNetState() == -1; }));
        EXPECT_TRUE(engine.IsTlsHandshakeDone());
    }

    // Plain TCP never reports a handshake.
    CNetTypeMirel plainEngine(nullptr, false);
    RawPeer peer(false);
    ASSERT_TRUE(plainEngine.OnConnect("127.0.0.1", peer.Port(), "admin", "1234", false));
    ASSERT_TRUE(peer.WaitReady());
    EXPECT_FALSE(plainEngine.IsTlsHandshakeDone());
}

} // namespace
