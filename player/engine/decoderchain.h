#pragma once
// Which decoder takes which frame and what the engine does around the H.264 library: frame header
// test, byte-order correction, slice search and frame-number rewriting, field pairs and their
// weave, the slice store, and the 24- to 32-bit conversion with brightness and contrast.
#include "engine/decoderlibraries.h"
#include "engine/h264library.h"
#include "engine/keptpicture.h"
#include "engine/linedeinterlacer.h"
#include "engine/slicestore.h"
#include "engine/tiledecodeinfo.h"
#include "engine/wedralibrary.h"
#include "engine/zeroedbuffer.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class LiveControlHost;

constexpr int kEngineTiles = 16;
constexpr int kMaxPictureWidth = 2560;
constexpr int kMaxPictureHeight = 1440;
// A tile's 32-bit picture buffer, and the 24-bit decode buffer of the same size.
constexpr int kPictureBufferBytes = kMaxPictureWidth * kMaxPictureHeight * 4;

class DecoderChain
{
public:
    explicit DecoderChain(const LiveControlHost* host = nullptr);
    ~DecoderChain();

    // Loads the libraries as the program finds them; "Wedra" turns the H.264 library off.
    void Load(const DecoderLibraries& libraries);
    bool HasWedra() const;
    bool HasH264() const;
    // Releases every H.264 context and frees the H.264 library.
    void ReleaseH264Contexts();

    void SetTileInfo(int tile, const TileDecodeInfo& info);
    void SetBrightness(int tile, int value);
    void SetContrast(int tile, int value);
    int Brightness(int tile) const;
    int Contrast(int tile) const;
    // The tile's last picture size (2560 x 1440 at start), kept by the display thread.
    void SetLastSize(int tile, int width, int height);
    int LastWidth(int tile) const;
    int LastHeight(int tile) const;

    // The direct road. frame may be rewritten in place (byte order, kind, slice header).
    int DecodeFrame(uint8_t* frame, int length, uint8_t* output, int tile, int headerCheck, int continuation);
    int DecodeWithWedra(uint8_t* frame, int length, uint8_t* output, int headerCheck, int tile);
    int DecodeH264Plain(const uint8_t* frame, int length, uint8_t* decodeBuffer, int context);
    int DecodeH264Field(uint8_t* frame, int length, uint8_t* decodeBuffer, int context, int continuation);
    // The queued road (display thread): a 104-byte header, then the H.264 picture.
    int DecodeQueuedH264(const uint8_t* frame, int length, uint8_t* output, int tile, int convert);

    // Whether a decode can keep its picture unconverted for the display (the H.264 library in
    // use keeps pictures).
    bool CanKeepPictures() const;
    // The two roads again, keeping a single-field picture in keep (with the tile's brightness,
    // contrast and weave) instead of converting it into output; *kept tells which was done.
    // Pictures the chain must change as 32-bit pictures (field pairs, the deinterlaced kind) are
    // converted into output as before.
    int DecodeFrame(uint8_t* frame, int length, uint8_t* output, int tile, int headerCheck, int continuation,
                    KeptPicture* keep, bool* kept);
    int DecodeQueuedH264(const uint8_t* frame, int length, uint8_t* output, int tile, KeptPicture* keep,
                         bool* kept);
    void ConvertPicture(int size, int context, const uint8_t* source, uint8_t* destination, bool weave);

    // Where the tile's picture buffer is, for the decodes that clear it (a frame of 20 bytes or
    // less). Unset: nothing is cleared.
    void SetPictureBuffers(std::function<uint8_t*(int tile)> pictureOf);

private:
    uint8_t* DecodeBuffer(int tile);
    LineDeinterlacer& Deinterlacer(int tile);
    int DecodeFieldPair(uint8_t* frame, int length, int firstLength, uint8_t* output, int tile, int continuation);
    int WedraMode(int tile, int headerCheck) const;

    void LoadH264();
    void WedraLost();
    void ClearPicture(int context);
    int DecodeH264Field(uint8_t* frame, int length, uint8_t* decodeBuffer, int context, int continuation,
                        int capacity);
    int DecodeLocked(uint8_t* frame, int length, uint8_t* output, int tile, int headerCheck, int continuation,
                     KeptPicture* keep, bool* kept);
    // After a decode without output: the context's picture into keep.
    int Keep(int result, int context, bool weave, KeptPicture* keep, bool* kept);

    const LiveControlHost* m_host;
    std::function<uint8_t*(int)> m_pictureOf;
    // One lock per tile: it guards the tile's two contexts, slice stores, decode buffer and
    // deinterlacer, so tiles decode in parallel while one tile's roads never overlap.
    std::array<std::mutex, kEngineTiles> m_tileLocks;
    DecoderLibraries m_libraries;
    std::atomic<bool> m_hasWedra{false};
    std::mutex m_loadLock;
    std::mutex m_wedraLock;
    H264Library m_h264;
    WedraLibrary m_wedra;
    WedraLibrary m_wedramod;
    std::array<SliceStore, kH264Contexts> m_slices;
    std::array<int, kH264Contexts> m_frameCounter{};
    std::array<TileDecodeInfo, kEngineTiles> m_info{};
    std::array<int, kEngineTiles> m_brightness{};
    std::array<int, kEngineTiles> m_contrast{};
    std::array<int, kEngineTiles> m_lastWidth{};
    std::array<int, kEngineTiles> m_lastHeight{};
    // Per tile, allocated once at first use.
    std::array<ZeroedBuffer, kEngineTiles> m_decodeBuffers;
    std::array<std::unique_ptr<LineDeinterlacer>, kEngineTiles> m_deinterlacers;
};
