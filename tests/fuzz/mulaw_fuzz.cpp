// libFuzzer target for the mu-law codec and the word byte swap of audio payloads.
//
// The input is read three ways: as 16-bit little-endian linear samples that are encoded, as
// mu-law bytes that are decoded, and as a payload whose 32-bit words are swapped in place in a
// buffer of its length rounded up to whole words, as the audio paths hand them over. Each
// result is checked against what the codec promises:
//   - a decoded byte encodes to a byte that decodes to the same sample (the two zero codes
//     are one sample);
//   - encoding keeps the sign of the sample: a sample above 3 never gives a negative code,
//     one below -4 never a positive one;
//   - swapping twice gives the payload back, and a swapped word holds its bytes reversed.
// A broken promise aborts, which libFuzzer reports as a crash.
#include "common/media/mulaw.h"
#include "fuzz/support/fuzzinput.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Require(bool promise)
{
    if (!promise)
        std::abort();
}

void CheckSamples(const QByteArray& bytes)
{
    for (int i = 0; i + 1 < bytes.size(); i += 2) {
        const qint16 sample = qint16(quint8(bytes[i]) | (quint8(bytes[i + 1]) << 8));
        const quint8 code = LinearToMuLaw(sample);
        const qint16 back = MuLawToLinear(code);
        if (sample > 3)
            Require(back >= 0);
        if (sample < -4)
            Require(back <= 0);
    }
}

void CheckCodes(const QByteArray& bytes)
{
    for (const char c : bytes) {
        const qint16 sample = MuLawToLinear(quint8(c));
        Require(MuLawToLinear(LinearToMuLaw(sample)) == sample);
    }
}

void CheckSwap(const QByteArray& bytes)
{
    const int n = bytes.size();
    std::vector<unsigned char> buffer(size_t((n + 3) / 4 * 4), 0);
    if (n > 0)
        std::memcpy(buffer.data(), bytes.constData(), size_t(n));
    const std::vector<unsigned char> original = buffer;
    SwapWords(buffer.data(), n);
    for (size_t word = 0; word + 4 <= buffer.size(); word += 4) {
        for (size_t i = 0; i < 4; ++i)
            Require(buffer[word + i] == original[word + 3 - i]);
    }
    SwapWords(buffer.data(), n);
    Require(buffer == original);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const QByteArray bytes = input.Rest();
    CheckSamples(bytes);
    CheckCodes(bytes);
    CheckSwap(bytes);
    return 0;
}
