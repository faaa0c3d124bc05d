// libFuzzer target for the audio decoding: every audio type's block handling (gathering, fixed
// sizes, the 2-bit stream's held-back samples), the G.726 decoders and the sound output's ring,
// into a sink that only counts.
//
// Input: blocks until the input ends: 1-byte type, 2-byte length n (little-endian), n bytes,
// handed over in a buffer of exactly that size; byte 0 bit 0 says whether an export runs.
#include "engine/caudioplayer.h"
#include "fuzz/support/fuzzapplication.h"
#include "fuzz/support/fuzzinput.h"

#include <cstdint>
#include <vector>

namespace {

class CountingSink : public AudioSink
{
public:
    bool Open(int, int) override { return true; }
    void PlayBlock(const QByteArray& block) override { bytes += block.size(); }
    void PlayMuLaw(const QByteArray& block) override { bytes += block.size(); }
    void Stop() override {}
    qint64 bytes = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzapplication::Start(fuzzapplication::Kind::Core);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CountingSink sink;
    CAudioPlayer player(&sink);
    player.Init();
    FuzzInput input(data, size);
    const bool exporting = input.Byte() & 1;
    while (!input.AtEnd()) {
        const int type = input.Byte() % 20;
        const QByteArray block = input.Take(input.Word16());
        std::vector<char> exact(block.begin(), block.end());
        player.PlayAudio(-999, 0, exact.data(), int(exact.size()), type, exporting);
        player.Sound().TimerStep();
    }
    player.Flush();
    return 0;
}
