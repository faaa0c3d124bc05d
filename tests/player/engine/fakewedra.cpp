// A stand-in "Wedra" decoder library for the tests of the engine's calls into it: it records how
// it was called and answers what the test told it to. Built twice, once without its buffer entry
// point, to show what a library with a missing entry point does.
#include <cstdint>
#include <cstring>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int g_inits = 0;
int g_result = 0;
int g_lastTile = -1, g_lastOption = -1, g_lastMode = -1;
int g_brightness[32] = {}, g_contrast[32] = {};
} // namespace

FAKE_EXPORT int KRO_Init_Decoder(int)
{
    return ++g_inits;
}

// Writes a 32-bit picture of result's size whose rows alternate between two shades, so that a
// deinterlacing shows.
FAKE_EXPORT int KRO_DecodeH264_Split(const uint8_t*, int, uint8_t* output, int tile, int option, int mode)
{
    g_lastTile = tile;
    g_lastOption = option;
    g_lastMode = mode;
    const int width = g_result > 10000000 ? g_result / 10000 : g_result / 1000;
    const int height = g_result > 10000000 ? g_result % 10000 : g_result % 1000;
    if (output && width > 0 && height > 0 && width <= 2560 && height <= 1440)
        for (int row = 0; row < height; ++row)
            std::memset(output + size_t(row) * size_t(width) * 4, row % 2 ? 200 : 20, size_t(width) * 4);
    return g_result;
}

#ifndef FAKE_WEDRA_WITHOUT_BUFFER
FAKE_EXPORT int KRO_GetDecodeBuffer(uint8_t* output, int)
{
    if (output)
        std::memset(output, 0x77, 16);
    return 0;
}
#endif

FAKE_EXPORT int KRO_SetBrightness(int, int value, int tile)
{
    if (tile >= 0 && tile < 32)
        g_brightness[tile] = value;
    return 0;
}

FAKE_EXPORT int KRO_SetContrast(int, int value, int tile)
{
    if (tile >= 0 && tile < 32)
        g_contrast[tile] = value;
    return 0;
}

// The tests' side.
FAKE_EXPORT void Fake_SetResult(int result)
{
    g_result = result;
}
FAKE_EXPORT int Fake_Inits()
{
    return g_inits;
}
FAKE_EXPORT void Fake_LastCall(int* tile, int* option, int* mode)
{
    *tile = g_lastTile;
    *option = g_lastOption;
    *mode = g_lastMode;
}
FAKE_EXPORT int Fake_Brightness(int tile)
{
    return g_brightness[tile];
}
FAKE_EXPORT int Fake_Contrast(int tile)
{
    return g_contrast[tile];
}
