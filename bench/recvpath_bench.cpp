// Throughput of the plain receive path (socket thread framing + engine dispatch) from a loopback
// socket, beside the raw loopback read throughput of the same bytes in the same run.
//
// A writer thread plays the recorder: it accepts one connection and writes a prepared stream of
// messages as fast as the socket takes them. Two streams are measured: single-piece live frames
// of 1,400 bytes (the assembly path, every message completes a frame) and bare 12-byte
// asynchronous events (the per-message cost). The reference reads the same bytes with a
// QTcpSocket into a fixed buffer on the same event loop, without framing.
//
//   recvpath_bench [messages-of-1400-bytes] [events-of-12-bytes]
#include "net/nettypemirel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QtEndian>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

namespace {

void Header(char* m, int total, quint8 command)
{
    std::memset(m, 0, 12);
    qToBigEndian<quint32>(quint32(total - 4), m);
    m[5] = char(0xA1);
    m[6] = char(command);
    m[9] = char(total & 0xFF);
    m[10] = char((total >> 8) & 0xFF);
    m[11] = char((total >> 16) & 0xFF);
}

// n single-piece key frames of `total` bytes on channels 0..3, then one 0x2D as the end mark.
QByteArray FrameStream(int n, int total)
{
    QByteArray s(n * total + 12, '\0');
    const int payload = total - 40;
    for (int i = 0; i < n; ++i) {
        char* m = s.data() + i * total;
        Header(m, total, 0x29);
        m[13] = char(i & 0xFF);
        m[14] = char(i % 4);
        m[15] = 1; // key frame
        qToLittleEndian<quint32>(quint32(payload), m + 16);
        for (int k = 40; k < total; k += 97)
            m[k] = char(i + k);
    }
    Header(s.data() + n * total, 12, 0x2D);
    return s;
}

QByteArray EventStream(int n)
{
    QByteArray s(n * 12, '\0');
    for (int i = 0; i < n; ++i)
        Header(s.data() + i * 12, 12, 0x2D);
    return s;
}

// A loopback listener whose thread accepts one connection and writes `bytes` to it.
class Writer
{
public:
    explicit Writer(const QByteArray& bytes)
        : m_bytes(bytes)
    {
        m_listen = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(m_listen, 1);
        socklen_t len = sizeof a;
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_thread = std::thread([this] {
            const int fd = ::accept(m_listen, nullptr, nullptr);
            const char* p = m_bytes.constData();
            qint64 left = m_bytes.size();
            while (left > 0) {
                const ssize_t n = ::send(fd, p, size_t(std::min<qint64>(left, 1 << 20)), MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                p += n;
                left -= n;
            }
            // Keep the connection until the reader is done, so it sees no early close.
            char sink[256];
            while (::recv(fd, sink, sizeof sink, 0) > 0) {
            }
            ::close(fd);
        });
    }
    ~Writer()
    {
        m_thread.join();
        ::close(m_listen);
    }
    quint16 Port() const { return m_port; }

private:
    QByteArray m_bytes;
    int m_listen = -1;
    quint16 m_port = 0;
    std::thread m_thread;
};

struct Result
{
    double seconds = 0;
    qint64 messages = 0;
    qint64 bytes = 0;
};

Result RunEngine(const QByteArray& stream, int expectedFrames, int expectedEvents)
{
    Writer writer(stream);
    CNetTypeMirel engine(nullptr, false);
    std::vector<char> frame(CNetTypeMirel::kLiveFrameBufferSize);
    int frames = 0;
    int events = 0;
    QObject::connect(&engine, &CNetTypeMirel::OnNetLiveVideo, [&] { ++frames; });
    QObject::connect(&engine, &CNetTypeMirel::OnNetAsyncEvent, [&] { ++events; });
    QObject::connect(&engine, &CNetTypeMirel::OnNetState, [&](int state) {
        if (state != 1)
            return;
        // A logged-in recorder of four present channels, each asked for live video.
        std::vector<char> model(100, 0);
        Header(model.data(), 100, 0x1D);
        model[12] = 0x11;
        model[14] = 4;
        engine.OnRecvData(model.data(), 100);
        std::vector<char> status(56, 0);
        Header(status.data(), 56, 0x23);
        status[24] = 0x0F;
        status[26] = 0x0F;
        engine.OnRecvData(status.data(), 56);
        for (int ch = 0; ch < 4; ++ch)
            engine.SendLiveStart(ch, 30, 1, frame.data(), false);
    });
    QElapsedTimer clock;
    clock.start();
    if (!engine.OnConnect("127.0.0.1", writer.Port(), "bench", "", false)) {
        std::fprintf(stderr, "connect failed\n");
        return {};
    }
    while (frames < expectedFrames || events < expectedEvents) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        if (engine.GetNetState() == -1) {
            std::fprintf(stderr, "connection closed after %d frames, %d events\n", frames, events);
            break;
        }
    }
    Result r;
    r.seconds = clock.nsecsElapsed() / 1e9;
    r.messages = frames + events;
    r.bytes = stream.size();
    engine.Disconnect();
    return r;
}

Result RunRaw(const QByteArray& stream)
{
    Writer writer(stream);
    QTcpSocket socket;
    qint64 received = 0;
    std::vector<char> sink(1 << 20);
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] {
        qint64 n;
        while ((n = socket.read(sink.data(), qint64(sink.size()))) > 0)
            received += n;
    });
    QElapsedTimer clock;
    clock.start();
    socket.connectToHost("127.0.0.1", writer.Port());
    socket.waitForConnected(3000);
    while (received < stream.size() && socket.state() == QAbstractSocket::ConnectedState)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    Result r;
    r.seconds = clock.nsecsElapsed() / 1e9;
    r.bytes = received;
    socket.disconnectFromHost();
    return r;
}

void Report(const char* name, const Result& engine, const Result& raw)
{
    const double mb = 1024.0 * 1024.0;
    const double engineRate = engine.bytes / mb / engine.seconds;
    const double rawRate = raw.bytes / mb / raw.seconds;
    std::printf("%-22s %10.0f msg/s %9.1f MB/s | raw loopback read %9.1f MB/s | ratio %.2f\n", name,
                engine.messages / engine.seconds, engineRate, rawRate, engineRate / rawRate);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const int frames = argc > 1 ? std::atoi(argv[1]) : 200000;
    const int events = argc > 2 ? std::atoi(argv[2]) : 2000000;

    const QByteArray frameStream = FrameStream(frames, 1400);
    const QByteArray eventStream = EventStream(events);
    // Warm-up of both paths, then the measured runs.
    RunEngine(FrameStream(1000, 1400), 1000, 1);
    RunRaw(FrameStream(1000, 1400));
    const Result frameEngine = RunEngine(frameStream, frames, 1);
    const Result frameRaw = RunRaw(frameStream);
    const Result eventEngine = RunEngine(eventStream, 0, events);
    const Result eventRaw = RunRaw(eventStream);
    std::printf("plain receive path, %d frames of 1400 bytes and %d events of 12 bytes\n", frames, events);
    Report("live frames (1400 B)", frameEngine, frameRaw);
    Report("events (12 B)", eventEngine, eventRaw);
    return 0;
}
