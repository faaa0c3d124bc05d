#include "engine/videodecoder.h"

#include "engine/inversetransform.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// clang-format off
const uint8_t kZigzag[64] = {
    0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5,
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6, 7, 14, 21, 28,
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// The default intra quantiser matrix of ISO/IEC 13818-2.
const uint8_t kDefaultIntra[64] = {
    8, 16, 19, 22, 26, 27, 29, 34,   16, 16, 22, 24, 27, 29, 34, 37,
    19, 22, 26, 27, 29, 34, 34, 38,  22, 22, 26, 27, 29, 34, 37, 40,
    22, 26, 27, 29, 32, 35, 40, 48,  26, 27, 29, 32, 35, 40, 48, 58,
    26, 27, 29, 34, 38, 46, 56, 69,  27, 29, 35, 38, 46, 56, 69, 83};
const uint8_t kMatrixA[64] = {
    8, 11, 13, 15, 17, 18, 19, 23,   11, 11, 15, 16, 18, 19, 23, 25,
    13, 15, 17, 18, 19, 23, 23, 25,  15, 15, 17, 18, 19, 23, 25, 27,
    15, 17, 18, 19, 22, 23, 27, 32,  17, 18, 19, 22, 23, 27, 32, 40,
    17, 18, 19, 23, 25, 32, 37, 48,  18, 19, 23, 25, 32, 37, 48, 60};
const uint8_t kMatrixB[64] = {
    8, 22, 26, 30, 34, 36, 38, 46,   22, 22, 30, 32, 36, 38, 46, 50,
    26, 30, 34, 36, 38, 46, 46, 50,  30, 30, 34, 36, 38, 46, 50, 54,
    30, 34, 36, 38, 44, 46, 54, 64,  34, 36, 38, 44, 46, 54, 64, 80,
    34, 36, 38, 46, 50, 64, 74, 96,  36, 38, 46, 50, 64, 74, 96, 120};
const uint8_t kMatrixC[64] = {
    8, 18, 24, 48, 100, 100, 100, 100,      18, 22, 26, 68, 100, 100, 100, 100,
    24, 26, 56, 100, 100, 100, 100, 100,    48, 68, 100, 100, 100, 100, 100, 100,
    100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100,
    100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100};
const uint8_t kMatrixD[64] = {
    8, 8, 8, 8, 8, 8, 12, 12,        8, 8, 8, 8, 11, 12, 12, 16,
    8, 8, 8, 11, 12, 12, 16, 16,     8, 8, 11, 12, 12, 16, 16, 17,
    8, 11, 11, 13, 13, 16, 17, 17,   11, 11, 13, 13, 16, 17, 17, 19,
    11, 13, 13, 16, 17, 19, 19, 19,  13, 13, 17, 17, 19, 19, 19, 19};
const uint8_t kMatrixE[64] = {
    8, 11, 12, 13, 16, 16, 19, 22,   11, 12, 13, 16, 17, 19, 22, 24,
    12, 13, 16, 17, 19, 22, 24, 26,  13, 16, 17, 19, 22, 24, 26, 27,
    16, 17, 19, 22, 24, 26, 27, 29,  17, 19, 22, 24, 26, 27, 29, 32,
    19, 22, 24, 26, 27, 29, 32, 32,  22, 24, 26, 27, 29, 32, 32, 32};
// clang-format on

constexpr int kHeights[4] = {240, 224, 256, 272};
constexpr int kLayerCounts[4] = {1, 2, 4, 4};
constexpr int kRepeatSet = 66;
constexpr int kDifferenceSets[2] = {65, 67};

uint8_t Clamp(int value)
{
    return uint8_t(value < 0 ? 0 : (value > 255 ? 255 : value));
}

const uint8_t* Matrix(bool firstFamily, bool chroma, int type)
{
    if (firstFamily) {
        if (chroma)
            return kMatrixC;
        if (type == 1 || type == 4 || type == 6)
            return kMatrixA;
        return type == 3 ? kMatrixB : kDefaultIntra;
    }
    if (type == 0)
        return kMatrixD;
    return (type == 1 || type == 4 || type == 5) ? kMatrixE : kDefaultIntra;
}

int Shift(bool firstFamily, bool difference, bool chroma, int type)
{
    if (!firstFamily)
        return difference ? 1 : 0;
    const bool strong = type == 0 || type == 4 || type == 5;
    if (chroma)
        return difference ? 1 : 0;
    return (strong ? 1 : 0) + (difference ? 1 : 0);
}

int ReadLe16(const uint8_t* bytes)
{
    return bytes[0] | bytes[1] << 8;
}

uint32_t ReadLe32(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

} // namespace

VideoDecoder::VideoDecoder() = default;

int VideoDecoder::Init(int width, int height)
{
    Free();
    if (width <= 0 || height <= 0 || width % 16 || height % 16)
        return -1;
    const size_t luma = size_t(width) * size_t(height);
    try {
        m_sets.resize(kStoreSets);
        for (StoreSet& set : m_sets) {
            set.work.assign(luma * 3 / 2, 0);
            set.planes.luma.assign(luma, 0);
            set.planes.cb.assign(luma / 4, 128);
            set.planes.cr.assign(luma / 4, 128);
        }
        for (Planes& store : m_layerStores) {
            store.luma.assign(luma, 0);
            store.cb.assign(luma / 4, 128);
            store.cr.assign(luma / 4, 128);
        }
        m_filterCopy.assign(luma + 1, 0);
    } catch (const std::bad_alloc&) {
        Free();
        return -1;
    }
    m_maxWidth = width;
    m_maxHeight = height;
    m_initialised = true;
    return 0;
}

void VideoDecoder::Free()
{
    m_sets.clear();
    m_sets.shrink_to_fit();
    for (Planes& store : m_layerStores)
        store = Planes{};
    m_filterCopy.clear();
    m_initialised = false;
}

int VideoDecoder::Set(int slot, int setting, int value)
{
    if (setting == 5) {
        if (value < 0 || value > 6)
            return -1;
        m_routine = value;
        return 0;
    }
    if (slot < 0 || slot >= kSlots)
        return -1;
    Settings& settings = m_settings[size_t(slot)];
    switch (setting) {
    case 1: settings.unused = value > 0; return 0;
    case 2:
        if (value < -127 || value > 127)
            return -1;
        settings.brightness = value;
        return 0;
    case 3:
        if (value < -127 || value > 127)
            return -1;
        settings.contrast = value;
        return 0;
    case 4: settings.lumaOnly = value > 0; return 0;
    case 6: settings.flip = value > 0; return 0;
    case 7: settings.multiplier = value < 0 ? 0 : value; return 0;
    case 8: return m_headers[size_t(slot)].type;
    case 9: return m_headers[size_t(slot)].layers;
    default: return -1;
    }
}

uint32_t VideoDecoder::ReadHeader(int slot, int heightCode)
{
    Header& header = m_headers[size_t(slot)];
    m_reader.Skip(4);
    const uint32_t keyBits = m_reader.Read(2);
    m_reader.Skip(1);
    if (m_reader.Read(1) != 1)
        return kBadHeader;
    const int type = int(m_reader.Read(3));
    const int format = int(m_reader.Read(4));
    if (m_reader.Exhausted())
        return kBadHeader;
    const int width = (format & 8) ? 336 : 320;
    const int height = kHeights[heightCode];
    if (width > m_maxWidth || height > m_maxHeight)
        return kBadHeader;
    header.type = type;
    header.key = keyBits & 1;
    header.layers = kLayerCounts[(format >> 1) & 3];
    header.width = width;
    header.height = height;
    return 0;
}

// The next start code must open a picture header.
uint32_t VideoDecoder::NextLayer(int slot, int heightCode)
{
    if (!m_reader.FindStartCode())
        return kNoPicture;
    if (m_reader.Peek(5) & 1)
        return kNoPicture;
    return ReadHeader(slot, heightCode);
}

// The next start code must be an end code.
uint32_t VideoDecoder::ExpectEndCode()
{
    if (!m_reader.FindStartCode())
        return kNoPicture;
    if (!(m_reader.Peek(5) & 1))
        return kBadHeader;
    m_reader.Skip(11);
    return 0;
}

int VideoDecoder::Decode(const uint8_t* frame, int length, uint8_t* output, int64_t outputCapacity, int slot,
                         int layered, int filter, int family)
{
    if (!m_initialised)
        return int(kNotInitialised);
    if (slot < 0 || slot >= kSlots)
        return kBadSlot;
    // The framing needs the word at byte 4 and a whole trailer.
    if (!frame || length < 6)
        return int(kNoPicture);
    if (ReadLe16(frame + 4) == 128)
        return 0;
    if (ReadLe16(frame) != 0)
        return int(kNoPicture);
    const uint32_t trailer = ReadLe32(frame + length - 4);
    if (trailer & 0xFFFF)
        return int(kBadHeader);
    const int heightCode = int((trailer >> 25) & 3);

    m_errors = 0;
    m_reader.Reset(frame, length);
    if (const uint32_t error = NextLayer(slot, heightCode))
        return int(error);
    const bool firstFamily = family != 0;
    const Header& header = m_headers[size_t(slot)];
    Layer base;
    base.index = 0;
    base.firstFamily = firstFamily;
    base.set = &m_sets[size_t(slot)];
    base.out = &m_sets[size_t(slot)].planes;
    uint32_t result = DecodeLayer(slot, base);
    if (result != 1)
        return int(result);
    if (const uint32_t error = ExpectEndCode())
        return int(error);

    const int layers = header.layers;
    const bool isLayered = layered && layers > 1;
    if (isLayered) {
        for (int index = 1; index < layers; ++index) {
            if (const uint32_t error = NextLayer(slot, heightCode))
                return int(error);
            Layer layer;
            layer.index = index;
            layer.firstFamily = firstFamily;
            if (index == 2) {
                layer.set = &m_sets[kRepeatSet];
                layer.out = &m_sets[kRepeatSet].planes;
                layer.repeat = firstFamily && m_reader.Peek(32) == 0xFFFFFFFFu;
            } else {
                layer.difference = true;
                layer.set = &m_sets[size_t(kDifferenceSets[index / 2])];
                layer.base = index == 1 ? &m_sets[size_t(slot)].planes : &m_sets[kRepeatSet].planes;
                layer.lower = &m_layerStores[size_t(index - 1)];
                layer.upper = &m_layerStores[size_t(index)];
            }
            result = DecodeLayer(slot, layer);
            if (result != 1)
                return int(result);
            if (const uint32_t error = ExpectEndCode())
                return int(error);
        }
    }

    const int width = header.width;
    const int height = header.height;
    if (filter >= 1 && filter <= 3)
        PostFilter(isLayered ? m_layerStores[0].luma : m_sets[size_t(slot)].planes.luma, width, height, filter);
    if (output) {
        const Settings& settings = m_settings[size_t(slot)];
        OutputGeometry geometry{width, height, isLayered ? layers : 1, isLayered, settings.flip};
        YCbCrPlanes planes[4];
        if (isLayered) {
            for (int k = 0; k < layers; ++k)
                planes[k] = {m_layerStores[size_t(k)].luma.data(), m_layerStores[size_t(k)].cb.data(),
                             m_layerStores[size_t(k)].cr.data()};
        } else {
            const Planes& own = m_sets[size_t(slot)].planes;
            planes[0] = {own.luma.data(), own.cb.data(), own.cr.data()};
        }
        m_output.Convert(OutputRoutine(m_routine), geometry, planes, output, outputCapacity);
    }
    return (height + width * 1000) * (isLayered ? 2 : 1);
}

int VideoDecoder::ChromaCode()
{
    const uint32_t ahead = m_reader.Peek(3);
    if (ahead & 4) {
        m_reader.Skip(1);
        return 0;
    }
    if (ahead == 0) {
        m_errors |= kChromaCodeError;
        return 0;
    }
    m_reader.Skip(3);
    return int(ahead);
}

int VideoDecoder::ModeCode()
{
    const uint32_t ahead = m_reader.Peek(6);
    if (ahead & 0x20) {
        m_reader.Skip(1);
        return 0;
    }
    if ((ahead >> 3) == 3 || (ahead >> 3) == 2) {
        m_reader.Skip(3);
        return (ahead >> 3) == 3 ? 1 : 2;
    }
    if ((ahead >> 2) == 3 || (ahead >> 2) == 2) {
        m_reader.Skip(4);
        return (ahead >> 2) == 3 ? 3 : 4;
    }
    if (ahead >= 5 && ahead <= 7) {
        m_reader.Skip(6);
        return int(ahead);
    }
    m_errors |= kModeCodeError;
    return 0;
}

int VideoDecoder::KeyLumaCode()
{
    const uint32_t ahead = m_reader.Peek(5);
    if (ahead >= 16) {
        m_reader.Skip(1);
        return 15;
    }
    if (ahead == 15) {
        m_errors |= kKeyLumaCodeError;
        return 0;
    }
    m_reader.Skip(5);
    return int(ahead);
}

int VideoDecoder::InterLumaCode()
{
    const uint32_t ahead = m_reader.Peek(5);
    if (ahead >= 16) {
        m_reader.Skip(1);
        return 0;
    }
    if (ahead == 0) {
        m_errors |= kInterLumaCodeError;
        return 0;
    }
    m_reader.Skip(5);
    return int(ahead);
}

bool VideoDecoder::ReadModeAndPattern(const Layer& layer, Mode* mode, int* pattern)
{
    if (!layer.difference) {
        if (layer.key) {
            if (layer.repeat) {
                m_reader.Skip(1);
                *mode = Mode::Copy;
                *pattern = 0;
                return true;
            }
            *mode = Mode::Intra;
            const int chroma = ChromaCode();
            *pattern = chroma | KeyLumaCode() << 2;
            return m_errors == 0;
        }
    } else if (layer.key) {
        *mode = Mode::Intra;
        if (m_reader.Read(1)) {
            *pattern = 0;
            return true;
        }
        const int code = ModeCode();
        *pattern = code | InterLumaCode() << 2;
        return m_errors == 0;
    }
    // A delta picture: a leading 1 marks a macroblock without coefficients.
    if (m_reader.Read(1)) {
        *mode = layer.repeat ? Mode::Copy : Mode::Inter;
        *pattern = 0;
        return true;
    }
    const int code = ModeCode();
    const bool intra = code & 4;
    *mode = intra ? Mode::Intra : Mode::Inter;
    const int luma = intra ? KeyLumaCode() : InterLumaCode();
    *pattern = (code & 3) | luma << 2;
    return m_errors == 0;
}

bool VideoDecoder::ReadBlock(const Layer& layer, Mode mode, bool coded, bool chroma, int16_t* block,
                             bool* transformed)
{
    std::memset(block, 0, 64 * sizeof(int16_t));
    *transformed = false;
    int position = 0;
    bool dcFromEvent = true;
    CoefficientClass codeClass = CoefficientClass::Inter;
    if (!layer.difference && mode == Mode::Intra) {
        // The layer decoder's intra blocks always carry an 8-bit DC.
        block[0] = int16_t(m_reader.Read(8) * 8);
        position = 1;
        dcFromEvent = false;
        codeClass = CoefficientClass::Intra;
    }
    if (!coded)
        return true;
    const int type = m_headers[size_t(layer.slot)].type;
    const uint8_t* matrix = Matrix(layer.firstFamily, chroma, type);
    const int shift = Shift(layer.firstFamily, layer.difference, chroma, type);
    const int multiplier = layer.difference ? 0 : m_settings[size_t(layer.slot)].multiplier;
    bool first = true;
    for (;;) {
        CoefficientEvent event;
        if (!m_code.Read(m_reader, codeClass, &event) || m_reader.Exhausted()) {
            m_errors |= CoefficientCode::kCodeError;
            return false;
        }
        if (first && dcFromEvent && event.run == 0) {
            first = false;
            block[0] = int16_t(std::clamp(event.level * 8, -2048, 2047));
            position = 1;
            if (event.last)
                return true;
            continue;
        }
        first = false;
        position += event.run;
        // A run past the last coefficient is a broken block, not a block to guess at.
        if (position > 63) {
            m_errors |= CoefficientCode::kCodeError;
            return false;
        }
        const int at = kZigzag[position];
        int value = (event.level * matrix[at]) >> shift;
        if (multiplier)
            value = int16_t(value * multiplier);
        block[at] = int16_t(std::clamp(value, -2048, 2047));
        *transformed = true;
        ++position;
        if (event.last)
            return true;
        if (position > 63) {
            m_errors |= CoefficientCode::kCodeError;
            return false;
        }
    }
}

uint32_t VideoDecoder::DecodeLayer(int slot, Layer& layer)
{
    const Header& header = m_headers[size_t(slot)];
    layer.slot = slot;
    layer.key = header.key;
    if (!layer.key && !layer.set->referenceValid)
        return kNoReference;
    if (layer.key)
        layer.set->referenceValid = true;
    const int columns = header.width / 16;
    const int rows = header.height / 16;
    const bool lumaOnly = m_settings[size_t(slot)].lumaOnly;
    int16_t block[64];
    for (int my = 0; my < rows; ++my) {
        for (int mx = 0; mx < columns; ++mx) {
            Mode mode = Mode::Inter;
            int pattern = 0;
            if (!ReadModeAndPattern(layer, &mode, &pattern) || m_reader.Exhausted())
                return m_errors ? m_errors : kBadHeader;
            uint8_t* work = layer.set->work.data() + size_t(my * columns + mx) * 6 * 64;
            for (int j = 0; j < 6; ++j, work += 64) {
                const int plane = j < 4 ? 0 : j - 3;
                const int x = j < 4 ? mx * 16 + (j >= 2 ? 8 : 0) : mx * 8;
                const int y = j < 4 ? my * 16 + (j % 2 ? 8 : 0) : my * 8;
                bool transformed = false;
                if (mode != Mode::Copy) {
                    const bool coded = pattern & (1 << (5 - j));
                    if (!ReadBlock(layer, mode, coded, plane != 0, block, &transformed))
                        return m_errors;
                    if (transformed)
                        InverseTransform::Apply(block);
                }
                if (plane != 0 && lumaOnly) {
                    FillChroma(layer, plane, x, y);
                    continue;
                }
                if (layer.difference)
                    ReconstructDifference(layer, mode, plane, x, y, block, transformed, work);
                else
                    ReconstructBlock(slot, layer, mode, plane, x, y, block, transformed, work);
            }
        }
    }
    return m_errors ? m_errors : 1;
}

void VideoDecoder::FillChroma(const Layer& layer, int plane, int x, int y)
{
    const int stride = m_headers[size_t(layer.slot)].width / 2;
    auto fill = [&](Planes* planes, uint8_t value) {
        uint8_t* target = (plane == 1 ? planes->cb : planes->cr).data();
        for (int r = 0; r < 8; ++r)
            std::memset(target + size_t(y + r) * size_t(stride) + size_t(x), value, 8);
    };
    if (layer.difference) {
        fill(layer.lower, 0);
        fill(layer.upper, 0);
    } else {
        fill(layer.out, 128);
    }
}

namespace {
uint8_t* PlaneOf(std::vector<uint8_t>& luma, std::vector<uint8_t>& cb, std::vector<uint8_t>& cr, int plane)
{
    return (plane == 0 ? luma : (plane == 1 ? cb : cr)).data();
}
} // namespace

void VideoDecoder::ReconstructBlock(int slot, const Layer& layer, Mode mode, int plane, int x, int y,
                                    int16_t* block, bool transformed, uint8_t* work)
{
    const Header& header = m_headers[size_t(slot)];
    const int stride = plane == 0 ? header.width : header.width / 2;
    Planes& own = m_sets[size_t(slot)].planes;
    uint8_t* out = PlaneOf(layer.out->luma, layer.out->cb, layer.out->cr, plane) + size_t(y) * size_t(stride)
                   + size_t(x);
    const uint8_t* layerZero = PlaneOf(own.luma, own.cb, own.cr, plane) + size_t(y) * size_t(stride) + size_t(x);
    const int dc = block[0] >> 3;
    for (int r = 0; r < 8; ++r) {
        uint8_t* row = out + size_t(r) * size_t(stride);
        const uint8_t* zeroRow = layerZero + size_t(r) * size_t(stride);
        uint8_t* workRow = work + r * 8;
        for (int c = 0; c < 8; ++c) {
            const int v = transformed ? block[r * 8 + c] : dc;
            if (mode == Mode::Copy) {
                row[c] = zeroRow[c];
                if (layer.key)
                    workRow[c] = zeroRow[c];
            } else if (layer.key) {
                row[c] = workRow[c] = Clamp(v);
            } else if (mode == Mode::Intra) {
                row[c] = Clamp(v);
            } else if (transformed || dc != 0) {
                row[c] = Clamp(workRow[c] + v);
            } else {
                row[c] = workRow[c];
            }
        }
        const Settings& settings = m_settings[size_t(slot)];
        if (plane == 0 && !layer.repeat && (settings.brightness || settings.contrast))
            for (int c = 0; c < 8; ++c)
                row[c] = Clamp(row[c] + ((row[c] * settings.contrast) >> 7) + settings.brightness);
    }
}

void VideoDecoder::ReconstructDifference(const Layer& layer, Mode mode, int plane, int x, int y,
                                         const int16_t* block, bool transformed, uint8_t* work)
{
    const Header& header = m_headers[size_t(layer.slot)];
    const int stride = plane == 0 ? header.width : header.width / 2;
    const size_t offset = size_t(y) * size_t(stride) + size_t(x);
    Planes& base = *const_cast<Planes*>(layer.base);
    const uint8_t* in = PlaneOf(base.luma, base.cb, base.cr, plane) + offset;
    uint8_t* lower = PlaneOf(layer.lower->luma, layer.lower->cb, layer.lower->cr, plane) + offset;
    uint8_t* upper = PlaneOf(layer.upper->luma, layer.upper->cb, layer.upper->cr, plane) + offset;
    const int dc = int16_t(block[0]) >> 3;
    for (int r = 0; r < 8; ++r) {
        const size_t row = size_t(r) * size_t(stride);
        for (int c = 0; c < 8; ++c) {
            uint8_t& w = work[r * 8 + c];
            const int b = in[row + size_t(c)];
            int d = 0;
            bool keepBase = false;
            if (layer.key) {
                d = transformed ? block[r * 8 + c] : dc;
                w = uint8_t(d);
                keepBase = !transformed && dc == 0;
            } else if (mode == Mode::Intra) {
                d = transformed ? block[r * 8 + c] : 0;
                keepBase = !transformed;
            } else {
                d = int8_t(w) + (transformed ? block[r * 8 + c] : 0);
            }
            if (keepBase) {
                lower[row + size_t(c)] = upper[row + size_t(c)] = uint8_t(b);
            } else {
                lower[row + size_t(c)] = Clamp(b + (d >> 1));
                upper[row + size_t(c)] = Clamp(b + d);
            }
        }
    }
}

void VideoDecoder::PostFilter(std::vector<uint8_t>& luma, int width, int height, int filter)
{
    const size_t pixels = size_t(width) * size_t(height);
    if (luma.size() < pixels || m_filterCopy.size() < pixels + 1)
        return;
    std::memcpy(m_filterCopy.data(), luma.data(), pixels);
    // The last column's right neighbour is the next row's first pixel; one spare byte keeps the
    // last row but one inside the copy.
    m_filterCopy[pixels] = m_filterCopy[pixels - 1];
    const uint8_t* p = m_filterCopy.data();
    for (int r = 1; r < height - 1; ++r) {
        for (int c = 1; c < width; ++c) {
            const size_t at = size_t(r) * size_t(width) + size_t(c);
            const int up = p[at - size_t(width)], down = p[at + size_t(width)], left = p[at - 1],
                      right = p[at + 1];
            int sum = 0;
            if (filter == 1) {
                sum = ((p[at] * 6 + 1) >> 1) + ((-up + 1) >> 1) + ((-down + 1) >> 1) + ((-left + 1) >> 1)
                      + ((-right + 1) >> 1);
            } else if (filter == 2) {
                sum = p[at] * 5 - up - down - left - right;
            } else {
                const int upLeft = p[at - size_t(width) - 1], upRight = p[at - size_t(width) + 1];
                const int downLeft = p[at + size_t(width) - 1], downRight = p[at + size_t(width) + 1];
                sum = p[at] * 9 - up - down - left - right - upLeft - upRight - downLeft - downRight;
            }
            luma[at] = Clamp(sum);
        }
    }
}
