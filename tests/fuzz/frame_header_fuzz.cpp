// libFuzzer target for the decoder chain around the H.264 library: the frame header test, the
// stored byte order, the 8-byte and 4-byte kinds, field pairs, the slice search and rewrite, the
// slice store, and the queued road's 104-byte header; then our H.264 library on what is left.
//
// Input:
//   byte 0   bit 0 the queued road, bit 1 continuation, bit 2 the whole-picture kind (0x1F1)
//   then frames until the input ends: 2-byte length n (little-endian), n bytes
// Each frame is handed over in a buffer of exactly its size (the chain rewrites it in place).
#include "engine/decoderchain.h"
#include "fuzz/support/fuzzapplication.h"
#include "fuzz/support/fuzzinput.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Core);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Never destroyed, like the application: destroying it at the exit would unload the H.264
    // library and the libraries below it, and what their globals still point at would be
    // reported by LeakSanitizer as lost.
    static DecoderChain* const chain = [] {
        auto* made = new DecoderChain();
        made->Load(DecoderLibraries::Defaults());
        return made;
    }();
    static std::vector<uint8_t> picture(static_cast<size_t>(kPictureBufferBytes));
    FuzzInput input(data, size);
    const int flags = input.Byte();
    TileDecodeInfo info;
    info.recordMark1F1 = flags & 4;
    chain->SetTileInfo(1, info);
    while (!input.AtEnd()) {
        const QByteArray frame = input.Take(input.Word16());
        std::vector<uint8_t> exact(frame.begin(), frame.end());
        if (flags & 1)
            chain->DecodeQueuedH264(exact.data(), int(exact.size()), picture.data(), 1, 1);
        else
            chain->DecodeFrame(exact.data(), int(exact.size()), picture.data(), 1, 0, (flags >> 1) & 1);
    }
    return 0;
}
