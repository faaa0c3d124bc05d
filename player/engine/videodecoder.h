#pragma once
// The engine's own block-transform video decoder: pictures of 320 or 336 pixels by 224 to 272
// lines in sixteen (up to 64) independent slots, layered pictures of double width and height
// from two or four layers, a sharpening post-filter, per-slot brightness and contrast, and the
// output routines of DecoderOutput. Not thread-safe: VideoDecoderLock serialises its callers.
#include "engine/coefficientcode.h"
#include "engine/decoderoutput.h"
#include "engine/ownbitreader.h"

#include <array>
#include <cstdint>
#include <vector>

class VideoDecoder
{
public:
    static constexpr int kSlots = 64;
    static constexpr int kStoreSets = 68;
    static constexpr uint32_t kNotInitialised = 0x80000001;
    static constexpr uint32_t kNoReference = 0x80000010;
    static constexpr uint32_t kNoPicture = 0x80000020;
    static constexpr uint32_t kBadHeader = 0x80000040;
    static constexpr uint32_t kChromaCodeError = 0x80010000;
    static constexpr uint32_t kModeCodeError = 0x80020000;
    static constexpr uint32_t kKeyLumaCodeError = 0x80040000;
    static constexpr uint32_t kInterLumaCodeError = 0x80080000;
    static constexpr uint32_t kCoefficientError = 0x80100000;
    static constexpr int kBadSlot = -1;

    VideoDecoder();

    // 0, or -1 when a store cannot be allocated (nothing is kept then).
    int Init(int width, int height);
    void Free();
    bool IsInitialised() const { return m_initialised; }
    int Set(int slot, int setting, int value);
    // Result: (height + width x 1000) x (2 for a layered picture, else 1), 0 for an empty frame,
    // or an error code (negative as int). output may be null.
    int Decode(const uint8_t* frame, int length, uint8_t* output, int64_t outputCapacity, int slot, int layered,
               int filter, int family);

private:
    struct Planes
    {
        std::vector<uint8_t> luma, cb, cr;
    };
    struct StoreSet
    {
        std::vector<uint8_t> work; // block order
        Planes planes;
        bool referenceValid = false;
    };
    struct Header
    {
        int type = 0;
        bool key = false;
        int layers = 1;
        int width = 336;
        int height = 224;
    };
    struct Settings
    {
        int brightness = 0;
        int contrast = 0;
        bool lumaOnly = false;
        bool flip = false;
        int multiplier = 0;
        bool unused = false;
    };
    enum class Mode { Inter, Intra, Copy };
    // What one layer decodes: its store set, the planes it writes or the base it adds to.
    struct Layer
    {
        int index = 0;
        int slot = 0;
        bool key = false;
        bool difference = false;
        bool firstFamily = true;
        bool repeat = false;
        StoreSet* set = nullptr;
        Planes* out = nullptr;        // layer decoder
        const Planes* base = nullptr; // difference-layer decoder
        Planes* lower = nullptr;      // difference-layer decoder: stores b - 1 and b
        Planes* upper = nullptr;
    };

    uint32_t ReadHeader(int slot, int heightCode);
    uint32_t ExpectEndCode();
    uint32_t NextLayer(int slot, int heightCode);
    uint32_t DecodeLayer(int slot, Layer& layer);
    bool ReadModeAndPattern(const Layer& layer, Mode* mode, int* pattern);
    int ChromaCode();
    int ModeCode();
    int KeyLumaCode();
    int InterLumaCode();
    // Reads a block's coefficients; false on a code error. transformed: the block holds more
    // than its DC; dc: the DC coefficient (x 8) otherwise.
    bool ReadBlock(const Layer& layer, Mode mode, bool coded, bool chroma, int16_t* block, bool* transformed);
    void ReconstructBlock(int slot, const Layer& layer, Mode mode, int plane, int x, int y, int16_t* block,
                          bool transformed, uint8_t* work);
    void ReconstructDifference(const Layer& layer, Mode mode, int plane, int x, int y, const int16_t* block,
                               bool transformed, uint8_t* work);
    // The luma-only setting: chroma is read but not kept.
    void FillChroma(const Layer& layer, int plane, int x, int y);
    void PostFilter(std::vector<uint8_t>& luma, int width, int height, int filter);

    bool m_initialised = false;
    int m_maxWidth = 0;
    int m_maxHeight = 0;
    int m_routine = 0;
    uint32_t m_errors = 0;
    OwnBitReader m_reader;
    CoefficientCode m_code;
    DecoderOutput m_output;
    std::vector<StoreSet> m_sets;
    std::array<Planes, 4> m_layerStores;
    std::array<Header, kSlots> m_headers;
    std::array<Settings, kSlots> m_settings;
    std::vector<uint8_t> m_filterCopy;
};
