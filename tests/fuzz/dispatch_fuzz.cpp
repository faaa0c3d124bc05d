// libFuzzer target for the receive framing and the dispatcher of the protocol engine.
//
// Each input is used twice: as a byte stream cut into messages by the socket thread's framing
// (the TLS path, fed without a socket), and as one message handed straight to the dispatcher
// with its length fields made consistent, so that the reply parsers see arbitrary bodies. The
// engine is set up once like a logged-in session of 16 channels with every reply buffer handed
// in at its documented capacity; it keeps its state between inputs, as a connection would.
#include "net/netrecvthread.h"
#include "net/nettypemirel.h"

#include <QCoreApplication>
#include <QtEndian>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct Harness
{
    Harness()
    {
        static int argc = 1;
        static char name[] = "dispatch_fuzz";
        static char* argv[] = {name, nullptr};
        app = new QCoreApplication(argc, argv);
        engine = new CNetTypeMirel(nullptr, true);

        // Model information: raw code 0x11, 16 channels, firmware 3.31; identity camera map;
        // a status with every channel present.
        std::vector<char> model(100, 0);
        Header(model, 0x1D);
        model[12] = 0x11;
        model[14] = 16;
        model[41] = 3;
        model[42] = 31;
        Dispatch(model);
        std::vector<char> map(12, 0);
        Header(map, 0x74);
        map[7] = 1;
        Dispatch(map);
        std::vector<char> status(56, 0);
        Header(status, 0x23);
        status[24] = status[25] = status[26] = status[27] = char(0xFF);
        Dispatch(status);

        for (int ch = 0; ch < CNetTypeMirel::kMaxChannels; ++ch)
            engine->SendLiveStart(ch, 30, 1, live.data(), true);
        engine->SendLiveAudioStart(0, audio.data());
        engine->SendTimeRecList(0, 0, list.data());
        engine->SendPlaybackCtrlExt(0, 0, 0, 0, 0, 0, 0, 0, 0, playback.data(), 0);
        engine->SendConsoleDataRequest(0, console.data());
        slotBuffers.resize(CNetTypeMirel::kSlots);
        for (int slot = 0; slot < CNetTypeMirel::kSlots; ++slot) {
            Slot& s = slotBuffers[size_t(slot)];
            engine->SetFrameBuffers(slot, s.header.data(), s.data.data(), s.header2.data(), s.data2.data());
            engine->SendIntraIndexRequest(0, slot, slot, s.index.data(), 0, 0);
        }
    }

    static void Header(std::vector<char>& m, quint8 command)
    {
        qToBigEndian<quint32>(quint32(m.size() - 4), m.data());
        m[4] = 0x00;
        m[5] = char(0xA1);
        m[6] = char(command);
        m[9] = char(m.size() & 0xFF);
        m[10] = char((m.size() >> 8) & 0xFF);
        m[11] = char((m.size() >> 16) & 0xFF);
    }

    void Dispatch(std::vector<char>& m) { engine->OnRecvData(m.data(), int(m.size())); }

    struct Slot
    {
        std::vector<char> header = std::vector<char>(CNetTypeMirel::kFrameHeaderBufferSize);
        std::vector<char> data = std::vector<char>(CNetTypeMirel::kFrameDataBufferSize);
        std::vector<char> header2 = std::vector<char>(CNetTypeMirel::kFrameHeaderBufferSize);
        std::vector<char> data2 = std::vector<char>(CNetTypeMirel::kFrameDataBufferSize);
        std::vector<char> index = std::vector<char>(CNetTypeMirel::kIndexBufferSize);
    };

    QCoreApplication* app = nullptr;
    CNetTypeMirel* engine = nullptr;
    std::vector<char> live = std::vector<char>(CNetTypeMirel::kLiveFrameBufferSize);
    std::vector<char> audio = std::vector<char>(CNetTypeMirel::kLiveAudioBufferSize);
    std::vector<char> list = std::vector<char>(CNetTypeMirel::kListBufferSize);
    std::vector<char> playback = std::vector<char>(CNetTypeMirel::kPlaybackBufferSize);
    std::vector<char> console = std::vector<char>(CNetTypeMirel::kConsoleBufferSize);
    std::vector<Slot> slotBuffers;
};

Harness& Instance()
{
    static Harness* harness = new Harness;
    return *harness;
}

void QuietMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(QuietMessages);
    Instance();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Harness& h = Instance();
    if (size > size_t(CNetTypeMirel::kRecvBufferSize))
        return 0;

    // 1. The framing: the input as a received byte stream.
    h.engine->Thread()->FeedReceivedBytes(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    // Leave no partial message behind for the next input.
    h.engine->Thread()->ClearTlsState();

    // 2. The dispatcher: the input as one message whose length fields agree with its size.
    if (size >= 12) {
        std::vector<char> message(reinterpret_cast<const char*>(data),
                                  reinterpret_cast<const char*>(data) + size);
        const quint8 command = message[6];
        const quint8 status = message[7];
        const quint8 sub = message[8];
        Harness::Header(message, command);
        message[7] = char(status);
        message[8] = char(sub);
        h.Dispatch(message);
    }
    return 0;
}
