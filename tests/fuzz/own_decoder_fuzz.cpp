// libFuzzer target for the engine's own decoder: framing, start codes, picture headers,
// macroblock codes, coefficient events and layered pictures, with the post-filters and every
// output routine.
//
// Input:
//   byte 0   bit 0 layered, bits 1-2 the post-filter, bit 3 the family, bits 4-6 the output routine
//   byte 1   the slot (0..63, larger values test the slot check)
//   then frames until the input ends: 2-byte length n (little-endian), n bytes
// Each frame is handed over in a buffer of exactly its size. One decoder serves the whole input,
// so delta pictures find the references earlier frames left.
#include "engine/videodecoder.h"
#include "fuzz/support/fuzzinput.h"

#include <cstdint>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static std::unique_ptr<VideoDecoder> decoder = [] {
        auto made = std::make_unique<VideoDecoder>();
        made->Init(336, 272);
        return made;
    }();
    FuzzInput input(data, size);
    const int flags = input.Byte();
    const int slot = input.Byte() % 70;
    decoder->Set(0, 5, (flags >> 4) & 7);
    // The largest picture: 672 x 544 at 4 bytes per pixel.
    static std::vector<uint8_t> output(672 * 544 * 4);
    while (!input.AtEnd()) {
        const QByteArray frame = input.Take(input.Word16());
        std::vector<uint8_t> exact(frame.begin(), frame.end());
        decoder->Decode(exact.data(), int(exact.size()), output.data(), int64_t(output.size()), slot, flags & 1,
                        (flags >> 1) & 3, (flags >> 3) & 1);
    }
    return 0;
}
