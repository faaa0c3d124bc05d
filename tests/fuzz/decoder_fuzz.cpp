// libFuzzer target for the decoder's repair of the recorder's frame wrapping: mode 0 (the
// recorder's wrapper unit in stream or stored byte order, its stated length and the first slice's
// renumbering), mode 1 (10-bit frame numbers of P slices rewritten) and mode 3 (frame numbers
// followed, an empty P slice decoded when a frame gives no picture), then libavcodec on the
// repaired bytes. Frames are decoded only (decodeOnly), never converted to a picture.
//
// Input:
//   byte 0   the mode: bits 0-1 index into modes 0, 1, 3 and 2 (2 repairs nothing)
//   then frames until the input ends: 2-byte length n (little-endian), n bytes
// Each frame is handed over in a buffer of exactly its size, as the frame queues hold them.
//
// Every input gets a freshly opened decoder; nothing of one input reaches the next.
#include "common/media/moduledecoder.h"
#include "fuzz/support/fuzzapplication.h"
#include "fuzz/support/fuzzinput.h"

extern "C" {
#include <libavutil/log.h>
}

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr std::array<int, 4> kModes = {0, 1, 3, 2};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Core);
    // libavcodec's complaints about broken streams are what most inputs give.
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const int mode = kModes[size_t(input.Byte() & 0x03)];
    CModuleDecoder decoder;
    if (!decoder.OpenDecoder())
        return 0;
    while (!input.AtEnd()) {
        const QByteArray frame = input.Take(input.Word16());
        std::vector<unsigned char> bytes(size_t(frame.size()));
        if (!bytes.empty())
            std::memcpy(bytes.data(), frame.constData(), bytes.size());
        decoder.OnDecode(bytes.data(), int(bytes.size()), mode, 0, 0, true);
    }
    return 0;
}
