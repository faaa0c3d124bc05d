#include "engine/decoderchain.h"

#include "engine/enginelog.h"
#include "engine/livecontrolhost.h"
#include "engine/picturepack.h"
#include "engine/sizecode.h"

#include <QCoreApplication>
#include <QDir>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kFrameMagic = 0x06010000;  // 00 00 01 06 read little-endian
constexpr uint32_t kStoredMagic = 0x106;      // the same, every word byte-reversed
constexpr uint32_t kIdrStart = 0x65010000;    // 00 00 01 65
constexpr uint32_t kNonIdrStart = 0x41010000; // 00 00 01 41
constexpr int kHeaderBytes = 20;
constexpr int kQueuedHeader = 104;
// 24-bit output of one decode, at most 2560 x 1440.
constexpr int kDecodeOutputBytes = kMaxPictureWidth * kMaxPictureHeight * 3;

uint32_t ReadWord(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

void WriteWord(uint8_t* bytes, uint32_t word)
{
    bytes[0] = uint8_t(word);
    bytes[1] = uint8_t(word >> 8);
    bytes[2] = uint8_t(word >> 16);
    bytes[3] = uint8_t(word >> 24);
}

void ReverseWords(uint8_t* data, int length)
{
    for (int i = 0; i + 4 <= length; i += 4) {
        std::swap(data[i], data[i + 3]);
        std::swap(data[i + 1], data[i + 2]);
    }
}

int LengthField(const uint8_t* frame)
{
    return (frame[9] & 0x7F) << 16 | frame[10] << 8 | frame[11];
}

// A frame that begins with a start code of its own but is not the recorder's wrapper
// (00 00 01 06): a bare access unit, as recorders of the later stream kinds send their frames
// and as the client records them.
bool BareAccessUnit(const uint8_t* frame, int length)
{
    if (length < 5 || frame[0] != 0 || frame[1] != 0)
        return false;
    if (frame[2] == 0 && frame[3] == 1)
        return true;
    return frame[2] == 1 && frame[3] != 0x06;
}

bool ValidTile(int tile)
{
    return tile >= 0 && tile < kEngineTiles;
}

} // namespace

DecoderLibraries DecoderLibraries::Defaults()
{
    DecoderLibraries libraries;
    const QString programFolder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                               : QString();
    if (!programFolder.isEmpty())
        libraries.h264Candidates << QDir(programFolder).filePath(QStringLiteral("libKRO_SDK_H264_Dec.so"));
    libraries.h264Candidates << QStringLiteral("KRO_SDK_H264_Dec");
    return libraries;
}

DecoderChain::DecoderChain(const LiveControlHost* host)
    : m_host(host)
{
    m_lastWidth.fill(kMaxPictureWidth);
    m_lastHeight.fill(kMaxPictureHeight);
}

DecoderChain::~DecoderChain() = default;

void DecoderChain::Load(const DecoderLibraries& libraries)
{
    m_libraries = libraries;
    if (!libraries.wedramodName.isEmpty())
        m_wedramod.Load(libraries.wedramodName, QString(), 26);
    if (!libraries.wedraPath.isEmpty()) {
        const QString libFolder = QDir::current().filePath(QStringLiteral("lib"));
        m_wedra.Load(libraries.wedraPath, libFolder, 27);
    }
    m_hasWedra = m_wedra.IsLoaded();
    if (!m_hasWedra)
        LoadH264();
}

void DecoderChain::LoadH264()
{
    std::lock_guard<std::mutex> guard(m_loadLock);
    if (m_h264.IsLoaded())
        return;
    if (!m_h264.Load(m_libraries.h264Candidates)) {
        qCWarning(lcPlayerEngine) << "no H.264 decoder library: H.264 frames make no picture";
        return;
    }
    for (int context = 0; context < kH264Contexts; ++context) {
        if (!m_h264.InitContext(context))
            qCWarning(lcPlayerEngine) << "H.264 Decoder Init Error !" << context;
        m_slices[size_t(context)].Empty();
    }
}

void DecoderChain::WedraLost()
{
    // The next frames go to the H.264 library, which was never loaded while "Wedra" was there.
    m_hasWedra = false;
    LoadH264();
}

bool DecoderChain::HasWedra() const
{
    return m_hasWedra.load();
}

bool DecoderChain::HasH264() const
{
    return m_h264.IsLoaded();
}

void DecoderChain::ReleaseH264Contexts()
{
    for (auto& lock : m_tileLocks)
        lock.lock();
    m_h264.Release();
    for (auto& lock : m_tileLocks)
        lock.unlock();
}

void DecoderChain::SetPictureBuffers(std::function<uint8_t*(int)> pictureOf)
{
    m_pictureOf = std::move(pictureOf);
}

void DecoderChain::SetTileInfo(int tile, const TileDecodeInfo& info)
{
    if (!ValidTile(tile))
        return;
    std::lock_guard<std::mutex> guard(m_tileLocks[size_t(tile)]);
    m_info[size_t(tile)] = info;
}

void DecoderChain::SetBrightness(int tile, int value)
{
    if (ValidTile(tile))
        m_brightness[size_t(tile)] = value;
}

void DecoderChain::SetContrast(int tile, int value)
{
    if (ValidTile(tile))
        m_contrast[size_t(tile)] = value;
}

int DecoderChain::Brightness(int tile) const
{
    return ValidTile(tile) ? m_brightness[size_t(tile)] : 0;
}

int DecoderChain::Contrast(int tile) const
{
    return ValidTile(tile) ? m_contrast[size_t(tile)] : 0;
}

void DecoderChain::SetLastSize(int tile, int width, int height)
{
    if (!ValidTile(tile))
        return;
    m_lastWidth[size_t(tile)] = width;
    m_lastHeight[size_t(tile)] = height;
}

int DecoderChain::LastWidth(int tile) const
{
    return ValidTile(tile) ? m_lastWidth[size_t(tile)] : kMaxPictureWidth;
}

int DecoderChain::LastHeight(int tile) const
{
    return ValidTile(tile) ? m_lastHeight[size_t(tile)] : kMaxPictureHeight;
}

uint8_t* DecoderChain::DecodeBuffer(int tile)
{
    auto& buffer = m_decodeBuffers[size_t(tile)];
    if (!buffer)
        buffer = MakeZeroedBuffer(size_t(kPictureBufferBytes));
    return buffer.get();
}

LineDeinterlacer& DecoderChain::Deinterlacer(int tile)
{
    auto& deinterlacer = m_deinterlacers[size_t(tile)];
    if (!deinterlacer)
        deinterlacer = std::make_unique<LineDeinterlacer>();
    return *deinterlacer;
}

void DecoderChain::ClearPicture(int context)
{
    if (context < 0 || context >= kEngineTiles || !m_pictureOf)
        return;
    if (uint8_t* picture = m_pictureOf(context))
        std::memset(picture, 0, size_t(kPictureBufferBytes));
}

int DecoderChain::DecodeFrame(uint8_t* frame, int length, uint8_t* output, int tile, int headerCheck,
                              int continuation)
{
    if (!ValidTile(tile) || !output)
        return -1;
    // "Wedra" also answers a call without frame data (the tile's current picture).
    if (HasWedra())
        return DecodeWithWedra(frame, length, output, headerCheck, tile);
    if (!frame || length <= 0)
        return -1;
    std::lock_guard<std::mutex> guard(m_tileLocks[size_t(tile)]);
    return DecodeLocked(frame, length, output, tile, 0, continuation, nullptr, nullptr);
}

bool DecoderChain::CanKeepPictures() const
{
    return !HasWedra() && m_h264.CanKeepPictures();
}

int DecoderChain::DecodeFrame(uint8_t* frame, int length, uint8_t* output, int tile, int headerCheck,
                              int continuation, KeptPicture* keep, bool* kept)
{
    if (kept)
        *kept = false;
    if (!keep || !kept || !CanKeepPictures())
        return DecodeFrame(frame, length, output, tile, headerCheck, continuation);
    if (!ValidTile(tile) || !output || !frame || length <= 0)
        return -1;
    std::lock_guard<std::mutex> guard(m_tileLocks[size_t(tile)]);
    return DecodeLocked(frame, length, output, tile, 0, continuation, keep, kept);
}

int DecoderChain::Keep(int result, int context, bool weave, KeptPicture* keep, bool* kept)
{
    if (!SizeCode::IsPicture(result) || result == SizeCode::kKeepSize)
        return result;
    PlaneView view;
    PictureAdjust adjust;
    adjust.brightness = Brightness(context);
    adjust.contrast = Contrast(context);
    if (!m_h264.Planes(context, &view) || !keep->Assign(view, weave, adjust))
        return -3;
    *kept = true;
    return result;
}

int DecoderChain::DecodeLocked(uint8_t* frame, int length, uint8_t* output, int tile, int headerCheck,
                               int continuation, KeptPicture* keep, bool* kept)
{
    uint8_t* decodeBuffer = DecodeBuffer(tile);
    if (!decodeBuffer)
        return -1;
    if (m_info[size_t(tile)].recordMark1F1) {
        const int result = DecodeH264Plain(frame, length, decodeBuffer, tile);
        if (SizeCode::HasPicture(result) && length > kHeaderBytes) {
            ConvertPicture(result, tile, decodeBuffer, output, false);
            if (SizeCode::Height(result) == 480)
                Deinterlacer(tile).DeinterlacePicture(output, SizeCode::Width(result), 480, 1);
        }
        return result;
    }
    // Bare access units carry the encoder's own frame numbers: no header to read, no slice
    // header to renumber, and progressive pictures of 480 lines are no field pairs.
    if (BareAccessUnit(frame, length)) {
        if (keep)
            return Keep(m_h264.Decode(tile, frame, length, nullptr, 0), tile, false, keep, kept);
        const int result = DecodeH264Plain(frame, length, decodeBuffer, tile);
        if (SizeCode::HasPicture(result) && length > kHeaderBytes)
            ConvertPicture(result, tile, decodeBuffer, output, false);
        return result;
    }
    // Too short for the length field: only the header test and the short-frame rule apply.
    if (length < 12)
        return DecodeH264Field(frame, length, decodeBuffer, tile, continuation);
    if (ReadWord(frame) == kStoredMagic)
        ReverseWords(frame, length);

    int result = 0;
    if (frame[4] == 0x90) {
        const int fieldLength = int(std::min<int64_t>(int64_t(LengthField(frame)) * 8, length));
        if ((frame[7] & 0x10) && !(frame[7] & 0x03))
            frame[7] = uint8_t((frame[7] | 0x01) & ~0x02);
        result = DecodeH264Field(frame, fieldLength, decodeBuffer, tile, continuation);
        if (SizeCode::HasPicture(result) && fieldLength > kHeaderBytes)
            ConvertPicture(result, tile, decodeBuffer, output, false);
        return result;
    }

    // The first field's length, held within the frame.
    const int firstLength = int(std::min<int64_t>(int64_t(LengthField(frame)) * 4, length));
    const int kind = frame[7] & 0x07;
    const bool fieldPair = kind == 1 && ReadWord(frame) == kFrameMagic;
    // The decoder is always told a single field; the kind read before decides the road.
    frame[7] = uint8_t((frame[7] & ~0x05) | 0x02);
    (void)headerCheck;
    if (fieldPair && firstLength > kHeaderBytes && firstLength < length)
        return DecodeFieldPair(frame, length, firstLength, output, tile, continuation);
    if (keep && firstLength > kHeaderBytes)
        return Keep(DecodeH264Field(frame, firstLength, nullptr, tile, continuation, 0), tile, false, keep, kept);
    result = DecodeH264Field(frame, firstLength, decodeBuffer, tile, continuation);
    // A header-only frame has cleared the picture: the decode buffer holds nothing of it.
    if (SizeCode::HasPicture(result) && firstLength > kHeaderBytes)
        ConvertPicture(result, tile, decodeBuffer, output, false);
    return result;
}

int DecoderChain::DecodeFieldPair(uint8_t* frame, int length, int firstLength, uint8_t* output, int tile,
                                  int continuation)
{
    uint8_t* decodeBuffer = DecodeBuffer(tile);
    const int first = DecodeH264Field(frame, firstLength, decodeBuffer, tile, continuation);
    if (!SizeCode::HasPicture(first))
        return first;
    const int width = SizeCode::Width(first);
    const int height = SizeCode::Height(first);
    const int64_t fieldBytes = int64_t(width) * height * 3;
    // Both fields must fit the 32-bit picture they are woven into.
    if (width > kMaxPictureWidth || 2 * height > kMaxPictureHeight)
        return -6;
    const int second = DecodeH264Field(frame + firstLength, length - firstLength, decodeBuffer + fieldBytes,
                                       tile + kEngineTiles, continuation, int(kPictureBufferBytes - fieldBytes));
    if (!SizeCode::HasPicture(second) || SizeCode::Width(second) != width || SizeCode::Height(second) != height)
        std::memcpy(decodeBuffer + fieldBytes, decodeBuffer, size_t(fieldBytes));
    const int woven = SizeCode::Encode(width, 2 * height);
    ConvertPicture(woven, tile, decodeBuffer, output, true);
    return woven;
}

int DecoderChain::DecodeH264Plain(const uint8_t* frame, int length, uint8_t* decodeBuffer, int context)
{
    if (length <= kHeaderBytes) {
        ClearPicture(context);
        return SizeCode::kDefault;
    }
    return m_h264.Decode(context, frame, length, decodeBuffer, kDecodeOutputBytes);
}

int DecoderChain::DecodeH264Field(uint8_t* frame, int length, uint8_t* decodeBuffer, int context, int continuation)
{
    return DecodeH264Field(frame, length, decodeBuffer, context, continuation, kDecodeOutputBytes);
}

int DecoderChain::DecodeH264Field(uint8_t* frame, int length, uint8_t* decodeBuffer, int context, int continuation,
                                  int capacity)
{
    if (!frame || length < 4 || ReadWord(frame) != kFrameMagic)
        return -7;
    if (length <= kHeaderBytes) {
        ClearPicture(context);
        return SizeCode::kDefault;
    }
    // The slice start, in the 32-bit words 5 to 14, with the word after it inside the frame.
    int slice = -1;
    uint32_t sliceStart = 0;
    for (int word = 5; word <= 14 && (word + 2) * 4 <= length; ++word) {
        const uint32_t value = ReadWord(frame + word * 4);
        if (value == kIdrStart || value == kNonIdrStart) {
            slice = word;
            sliceStart = value;
            break;
        }
    }
    if (slice < 0)
        return -4;

    int& counter = m_frameCounter[size_t(context)];
    uint8_t* header = frame + (slice + 1) * 4;
    uint32_t word = ReadWord(header);
    if (sliceStart == kIdrStart) {
        word &= (word & 0x400) ? 0xFF1F84FFu : 0xFF0787FFu;
        counter = 0;
    } else {
        if (!continuation)
            counter = 0;
        counter = (counter + 1) % 16;
        word = (word & 0xFFFF00FEu) | uint32_t(counter) << 9 | uint32_t(counter & 7) << 13
               | uint32_t(counter) >> 3;
    }
    WriteWord(header, word);

    const int start = frame[20] != 0 ? 24 : 20;
    if (length - start < 4)
        return -4;
    SliceStore& store = m_slices[size_t(context)];
    const bool ownStart = frame[start] == 0 && frame[start + 1] == 0 && frame[start + 2] == 0
                          && frame[start + 3] == 1;
    if (ownStart) {
        const int result = m_h264.Decode(context, frame + start, length - start, decodeBuffer, capacity);
        if (result == SizeCode::kKeepSize || SizeCode::IsPicture(result))
            store.Keep(frame + start, length - start);
        else
            store.Empty();
        return result;
    }
    // A frame that leans on the last stored one: replay that first, then give the three-byte
    // start code its leading zero.
    if (!continuation && !store.IsEmpty())
        m_h264.Decode(context, store.Data(), store.Length(), decodeBuffer, capacity);
    frame[start - 1] = 0;
    return m_h264.Decode(context, frame + start - 1, length - start + 1, decodeBuffer, capacity);
}

int DecoderChain::DecodeQueuedH264(const uint8_t* frame, int length, uint8_t* output, int tile, int convert)
{
    if (!ValidTile(tile) || !frame || !output)
        return -1;
    if (length == kQueuedHeader) {
        std::memset(output, 0, size_t(kPictureBufferBytes));
        return SizeCode::kDefault;
    }
    if (length < kQueuedHeader)
        return -2;
    std::lock_guard<std::mutex> guard(m_tileLocks[size_t(tile)]);
    uint8_t* decodeBuffer = DecodeBuffer(tile);
    if (!decodeBuffer)
        return -1;
    const int result = m_h264.Decode(tile, frame + kQueuedHeader, length - kQueuedHeader, decodeBuffer,
                                     kDecodeOutputBytes);
    if (!SizeCode::IsPicture(result) || result == SizeCode::kKeepSize || convert != 1)
        return result;
    const int width = SizeCode::Width(result);
    const int height = SizeCode::Height(result);
    // Recorders put the two fields of a D1 picture one above the other; only those are woven.
    const bool weave = width == 720 && (height == 480 || height == 576);
    ConvertPicture(result, tile, decodeBuffer, output, weave);
    return result;
}

int DecoderChain::DecodeQueuedH264(const uint8_t* frame, int length, uint8_t* output, int tile, KeptPicture* keep,
                                   bool* kept)
{
    if (kept)
        *kept = false;
    if (!keep || !kept || !CanKeepPictures() || length <= kQueuedHeader)
        return DecodeQueuedH264(frame, length, output, tile, 1);
    if (!ValidTile(tile) || !frame || !output)
        return -1;
    std::lock_guard<std::mutex> guard(m_tileLocks[size_t(tile)]);
    const int result = m_h264.Decode(tile, frame + kQueuedHeader, length - kQueuedHeader, nullptr, 0);
    const bool weave = SizeCode::IsPicture(result) && SizeCode::Width(result) == 720
                       && (SizeCode::Height(result) == 480 || SizeCode::Height(result) == 576);
    return Keep(result, tile, weave, keep, kept);
}

void DecoderChain::ConvertPicture(int size, int context, const uint8_t* source, uint8_t* destination, bool weave)
{
    const int width = SizeCode::Width(size);
    const int height = SizeCode::Height(size);
    if (!source || !destination || width <= 0 || height <= 0 || width > kMaxPictureWidth
        || height > kMaxPictureHeight)
        return;
    PictureAdjust adjust;
    adjust.brightness = context < kEngineTiles ? Brightness(context) : 0;
    adjust.contrast = context < kEngineTiles ? Contrast(context) : 0;
    PackPicture(source, width, height, destination, weave, adjust);
}

int DecoderChain::WedraMode(int tile, int headerCheck) const
{
    (void)headerCheck;
    if (tile >= kEngineTiles)
        return 6;
    const int capture = m_host ? m_host->ExportCaptureMode() : -1;
    if (capture >= 0)
        return capture;
    if (m_host && !m_host->IsTileShown(tile))
        return 4;
    return m_host && m_host->LayoutCode() != 0 ? 2 : 0;
}

int DecoderChain::DecodeWithWedra(uint8_t* frame, int length, uint8_t* output, int headerCheck, int tile)
{
    if (tile < 0 || tile >= kH264Contexts || !output)
        return -1;
    const int baseTile = tile % kEngineTiles;
    TileDecodeInfo info;
    {
        std::lock_guard<std::mutex> tileGuard(m_tileLocks[size_t(baseTile)]);
        info = m_info[size_t(baseTile)];
    }
    const bool companion = info.recordMark1F1 && info.companionFrame;
    WedraLibrary& library = companion ? m_wedramod : m_wedra;
    std::lock_guard<std::mutex> guard(m_wedraLock);
    if (!library.IsLoaded())
        return companion ? -1 : -999;
    const int mode = WedraMode(tile, headerCheck);
    // An entry point that is missing frees the library; without "Wedra" the H.264 library takes over.
    auto lost = [&] {
        if (&library == &m_wedra)
            WedraLost();
        return -123;
    };
    if (tile < kEngineTiles) {
        if (!library.SetBrightness(Brightness(tile), tile) || !library.SetContrast(Contrast(tile), tile))
            return lost();
    }
    if (!frame || length <= 0) {
        if (!library.GetDecodeBuffer(output, tile))
            return lost();
        return SizeCode::Encode(LastWidth(baseTile), LastHeight(baseTile));
    }
    int option = (companion || info.recordMark1F1 || info.streamFlags) ? 2 : 0;
    int callMode = mode;
    if (tile >= kEngineTiles) {
        option = headerCheck == 1 ? 2 : 0;
        callMode = 6;
    }
    int result = 0;
    if (!library.DecodeSplit(frame, length, output, tile, option, callMode, &result))
        return lost();
    if (result == length)
        return result;
    if (option == 2 && result > 100000 && SizeCode::Height(result) == 480 && info.recordMark1F1
        && SizeCode::Width(result) <= kMaxPictureWidth)
        Deinterlacer(baseTile).DeinterlacePicture(output, SizeCode::Width(result), 480, 1);
    if (option == 0 && result > 100000 && result <= 10000000) {
        const int height = SizeCode::Height(result);
        if (height < 400)
            result = SizeCode::Encode(SizeCode::Width(result), int(height * 0.97f + 0.5f));
    }
    return result;
}
