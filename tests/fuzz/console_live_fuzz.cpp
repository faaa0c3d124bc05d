// libFuzzer target for the console's light live connection: the byte stream a recorder sends is
// cut into messages by MirelReceiver (in reads of a size the input chooses), and every message is
// handled as the connection handles it: 0x29 pieces gathered into frames by MirelFrameGatherer,
// 0xB7 replies read as a VDA grid and drawn over a small picture.
//
// Input: one byte, the read size (1 to 256), then the stream. Everything is made fresh per input.
#include "console/mirelframegatherer.h"
#include "console/mirelreceiver.h"
#include "console/vdaoverlay.h"
#include "fuzz/support/fuzzapplication.h"

#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

qint32 Le32(const unsigned char* p)
{
    qint32 v;
    std::memcpy(&v, p, 4);
    return v;
}

void Handle(MirelFrameGatherer& gatherer, const unsigned char* m, int length)
{
    if (length < 12)
        std::abort();
    if (m[6] == 0x29) {
        if (auto frame = gatherer.Take(m, length)) {
            if (frame->payload->size() != frame->payloadSize || frame->payloadSize <= 0)
                std::abort();
        }
    } else if (m[6] == 0xB7 && length >= 28) {
        VdaOverlay overlay;
        overlay.Set(Le32(m + 16), Le32(m + 20), Le32(m + 24),
                    QByteArray(reinterpret_cast<const char*>(m) + 28, length - 28));
        QImage picture(64, 48, QImage::Format_RGB32);
        overlay.Draw(picture);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Core);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int piece = 1 + data[0];
    MirelReceiver receiver;
    MirelFrameGatherer gatherer;
    const char* stream = reinterpret_cast<const char*>(data + 1);
    const int length = int(size - 1);
    for (int at = 0; at < length; at += piece) {
        const bool framed = receiver.Feed(stream + at, std::min(piece, length - at),
                                          [&](const unsigned char* m, int n) { Handle(gatherer, m, n); });
        if (!framed)
            break;
    }
    return 0;
}
