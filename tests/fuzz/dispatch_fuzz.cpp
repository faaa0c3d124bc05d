// libFuzzer target for the protocol engine's receive side: the socket thread's framing (plain TCP
// and TLS), the dispatcher with every reply parser, and the settings and firmware file transfer.
//
// Input: byte 0 chooses the set-up, the rest is what the recorder sends.
//   bit 0     1: TLS framing (the bytes handed over as a TLS session delivers them);
//             0: plain framing (the bytes written into a connected local socket the engine reads)
//   bits 1-2  the file transfer that is running: 0 download for the account manager, 1 download
//             for the configuration console, 2 settings upload, 3 firmware upload
//   bits 3-7  the bytes arrive in pieces of this many times 61 bytes (0: all at once), so that
//             messages are split across reads
// After the framing the same bytes go once more straight to the dispatcher as one message whose
// length fields agree with its size, so that every reply parser sees arbitrary bodies.
//
// Every input gets a fresh engine set up like a logged-in session: 16 channels, firmware 3.31,
// every channel present, live video requested on channels 0 and 1, live audio on channel 0, and
// every reply buffer (list, playback, console, each slot's index and frame buffers) handed in at
// its documented capacity. Nothing of one input reaches the next.
#include "fuzz/support/fuzzapplication.h"
#include "fuzz/support/fuzzinput.h"
#include "net/hubservices.h"
#include "net/netrecvthread.h"
#include "net/nettypemirel.h"

#include <QAbstractSocket>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr int kPieceUnit = 61;
// Live video is started on these channels only: each start makes the engine a 512 KB assembly
// buffer, and the other channels' frames take the same path up to the live-requested gate.
constexpr int kLiveChannels = 2;
constexpr std::array<int, 4> kTransferKinds = {0, 99, 1, 2};

// The hub the transfer reaches: a program directory of its own with a settings file to upload and
// a firmware package.
class FuzzHub : public HubServices
{
public:
    FuzzHub()
    {
        QFile firmware(FirmwarePath());
        if (firmware.open(QIODevice::WriteOnly))
            firmware.write(QByteArray(70000, '\x5A'));
    }
    QString ProgramDirectory() const override { return m_dir.path(); }
    QString FirmwarePath() const override { return m_dir.path() + QStringLiteral("/firmware.zip"); }
    void SetFirmwareState(int, int) override {}
    void SetAccountManagerState(int, int) override {}
    void SetFirmwareProgress(int, qint64, qint64) override {}
    void ShowMessageBox(const QString&, const QString&, const QString&) override {}
    // A changed certificate is refused, as a user who is not sure would: the session ends.
    bool TrustChangedCertificate(const QString&, const QString&, const QString&) override { return false; }

    // The settings upload reads download.ini, which a download of another input may have written.
    void WriteSettingsFile() const
    {
        QFile settings(ProgramDirectory() + QStringLiteral("/download.ini"));
        if (settings.open(QIODevice::WriteOnly | QIODevice::Truncate))
            settings.write(QByteArray(40000, 'S'));
    }

private:
    QTemporaryDir m_dir;
};

// The buffers a session hands in, made once: the engine only writes into them.
struct ReplyBuffers
{
    struct Slot
    {
        std::vector<char> header = std::vector<char>(CNetTypeMirel::kFrameHeaderBufferSize);
        std::vector<char> data = std::vector<char>(CNetTypeMirel::kFrameDataBufferSize);
        std::vector<char> header2 = std::vector<char>(CNetTypeMirel::kFrameHeaderBufferSize);
        std::vector<char> data2 = std::vector<char>(CNetTypeMirel::kFrameDataBufferSize);
        std::vector<char> index = std::vector<char>(CNetTypeMirel::kIndexBufferSize);
    };
    std::vector<char> live = std::vector<char>(CNetTypeMirel::kLiveFrameBufferSize);
    std::vector<char> audio = std::vector<char>(CNetTypeMirel::kLiveAudioBufferSize);
    std::vector<char> list = std::vector<char>(CNetTypeMirel::kListBufferSize);
    std::vector<char> playback = std::vector<char>(CNetTypeMirel::kPlaybackBufferSize);
    std::vector<char> console = std::vector<char>(CNetTypeMirel::kConsoleBufferSize);
    std::vector<Slot> slotBuffers = std::vector<Slot>(CNetTypeMirel::kSlots);
};

FuzzHub* g_hub = nullptr;
ReplyBuffers* g_buffers = nullptr;

// Header of a message of m.size() bytes: length, markers, command, status 0, sub-code 0, total.
void WriteHeader(std::vector<char>& m, quint8 command)
{
    qToBigEndian<quint32>(quint32(m.size() - 4), m.data());
    m[4] = 0x00;
    m[5] = char(0xA1);
    m[6] = char(command);
    m[7] = 0;
    m[8] = 0;
    m[9] = char(m.size() & 0xFF);
    m[10] = char((m.size() >> 8) & 0xFF);
    m[11] = char((m.size() >> 16) & 0xFF);
}

void Dispatch(CNetTypeMirel& engine, std::vector<char>& m)
{
    engine.OnRecvData(m.data(), int(m.size()));
}

// The login chain's replies: model information (raw code 0x11, 16 channels, firmware 3.31), an
// identity camera map and a status with every channel present.
void LogIn(CNetTypeMirel& engine)
{
    engine.OnSocketConnected();
    std::vector<char> model(100, 0);
    WriteHeader(model, 0x1D);
    model[12] = 0x11;
    model[14] = 16;
    model[41] = 3;
    model[42] = 31;
    Dispatch(engine, model);
    std::vector<char> map(12, 0);
    WriteHeader(map, 0x74);
    map[7] = 1;
    Dispatch(engine, map);
    std::vector<char> status(56, 0);
    WriteHeader(status, 0x23);
    status[24] = status[25] = status[26] = status[27] = char(0xFF);
    Dispatch(engine, status);
}

void HandInBuffers(CNetTypeMirel& engine, ReplyBuffers& b)
{
    for (int ch = 0; ch < kLiveChannels; ++ch)
        engine.SendLiveStart(ch, 30, 1, b.live.data(), true);
    engine.SendLiveAudioStart(0, b.audio.data());
    engine.SendTimeRecList(0, 0, b.list.data());
    engine.SendPlaybackCtrlExt(0, 0, 0, 0, 0, 0, 0, 0, 0, b.playback.data(), 0);
    engine.SendConsoleDataRequest(0, b.console.data());
    for (int slot = 0; slot < CNetTypeMirel::kSlots; ++slot) {
        ReplyBuffers::Slot& s = b.slotBuffers[size_t(slot)];
        engine.SetFrameBuffers(slot, s.header.data(), s.data.data(), s.header2.data(), s.data2.data());
        engine.SendIntraIndexRequest(0, slot, slot, s.index.data(), 0, 0);
    }
}

void StartTransfer(CNetTypeMirel& engine, int kind)
{
    if (kind == 1)
        g_hub->WriteSettingsFile();
    const char* name = kind == 2 ? "dvr_upgrade_auto.zip" : "conf/setup.ini";
    engine.SendFileBegin(kind, name, kind == 2 ? 70000 : kind == 1 ? 40000 : 0);
}

// Plain framing: the engine's socket takes one end of a connected local socket pair; each piece
// is written into the other end and the socket is made to read it, as its readyRead would.
class PlainFeed
{
public:
    explicit PlainFeed(CNetTypeMirel& engine)
        : m_socket(engine.Thread()->Socket())
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, m_ends) != 0) {
            m_ends[0] = m_ends[1] = -1;
            return;
        }
        // What the engine sends back is never read; it must not fill the pair.
        const int room = 1 << 20;
        ::setsockopt(m_ends[0], SOL_SOCKET, SO_SNDBUF, &room, sizeof room);
        ::setsockopt(m_ends[1], SOL_SOCKET, SO_SNDBUF, &room, sizeof room);
        ::fcntl(m_ends[1], F_SETFL, ::fcntl(m_ends[1], F_GETFL) | O_NONBLOCK);
        if (!m_socket->setSocketDescriptor(m_ends[0], QAbstractSocket::ConnectedState)) {
            ::close(m_ends[0]);
            m_ends[0] = -1;
        }
    }
    ~PlainFeed()
    {
        // Closed without the polite wait, so that the engine's destructor has nothing to wait for.
        if (m_socket->state() != QAbstractSocket::UnconnectedState)
            m_socket->abort();
        if (m_ends[1] >= 0)
            ::close(m_ends[1]);
    }
    PlainFeed(const PlainFeed&) = delete;
    PlainFeed& operator=(const PlainFeed&) = delete;

    void Feed(const QByteArray& piece)
    {
        if (m_ends[0] < 0 || piece.isEmpty() || m_socket->state() != QAbstractSocket::ConnectedState)
            return;
        Drain();
        int written = 0;
        while (written < piece.size()) {
            const ssize_t n = ::write(m_ends[1], piece.constData() + written, size_t(piece.size() - written));
            if (n <= 0)
                return;
            written += int(n);
        }
        // A local pair delivers the whole piece at once: one read takes it and emits readyRead.
        m_socket->waitForReadyRead(1000);
    }

private:
    void Drain()
    {
        char sink[4096];
        while (::read(m_ends[1], sink, sizeof sink) > 0) {
        }
    }

    QAbstractSocket* m_socket;
    int m_ends[2] = {-1, -1};
};

// The stream as one message: its length fields are made to agree with its size.
void DispatchWhole(CNetTypeMirel& engine, const QByteArray& stream)
{
    if (stream.size() < 12)
        return;
    std::vector<char> message(stream.constData(), stream.constData() + stream.size());
    const char status = message[7];
    const char sub = message[8];
    WriteHeader(message, quint8(message[6]));
    message[7] = status;
    message[8] = sub;
    Dispatch(engine, message);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Core);
    g_hub = new FuzzHub;
    HubServices::Install(g_hub);
    g_buffers = new ReplyBuffers;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > size_t(CNetTypeMirel::kRecvBufferSize) + 1)
        return 0;
    FuzzInput input(data, size);
    const quint8 setup = input.Byte();
    const bool tls = (setup & 0x01) != 0;
    const int transferKind = kTransferKinds[size_t((setup >> 1) & 0x03)];
    const int pieceSize = (setup >> 3) * kPieceUnit;
    const QByteArray stream = input.Rest();

    auto engine = std::make_unique<CNetTypeMirel>(nullptr, tls);
    std::unique_ptr<PlainFeed> plain;
    if (!tls)
        plain = std::make_unique<PlainFeed>(*engine);
    LogIn(*engine);
    HandInBuffers(*engine, *g_buffers);
    StartTransfer(*engine, transferKind);

    const int step = pieceSize > 0 ? pieceSize : std::max(1, stream.size());
    for (int at = 0; at < stream.size(); at += step) {
        if (tls)
            engine->Thread()->FeedReceivedBytes(stream.mid(at, step));
        else
            plain->Feed(stream.mid(at, step));
    }
    DispatchWhole(*engine, stream);
    plain.reset();
    engine.reset();
    return 0;
}
