#pragma once
// A tile's last H.264 picture kept as the library decoded it (4:2:0 planes), so that the display
// converts it once, straight to the tile's size, and the whole 32-bit picture is made only when
// something reads the tile's picture buffer (a still, an export, a redraw from the buffer).
#include "engine/picturepack.h"

#include <QRect>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

struct SwsContext;

struct PlaneView
{
    const uint8_t* planes[3] = {nullptr, nullptr, nullptr};
    int strides[3] = {0, 0, 0};
    int width = 0;
    int height = 0;
    bool fullRange = false; // luma 0..255 rather than 16..235
    // When set, the planes stay valid as long as it is held (the decoder's own buffers, shared);
    // otherwise only until the decoder's next picture.
    std::shared_ptr<const void> hold;
};

class KeptPicture
{
public:
    KeptPicture();
    ~KeptPicture();
    KeptPicture(const KeptPicture&) = delete;
    KeptPicture& operator=(const KeptPicture&) = delete;

    // Takes the planes: shares the view's hold, or copies them when it has none. weave: the
    // picture holds two fields one above the other, shown woven.
    // False for an odd size (4:2:0 needs even sizes), or a woven height not a multiple of 4.
    bool Assign(const PlaneView& view, bool weave, const PictureAdjust& adjust);
    void Clear();
    bool IsEmpty() const;
    int Width() const;
    int Height() const;

    // The whole picture as the engine's 32-bit picture (blue, green, red, 255; woven; brightness
    // and contrast applied): the same bytes as the library's 24-bit picture through PackPicture.
    bool ConvertWhole(uint8_t* bgra, int64_t capacity);
    // The source rectangle (picture coordinates, woven) scaled to width x height, 32-bit, into
    // out with stride bytes per row; brightness and contrast applied after scaling.
    bool ScaleInto(const QRect& source, uint8_t* out, int width, int height, int stride);
    // Conversions made so far (whole pictures, scaled pictures), for tests and benchmarks.
    int WholeConversions() const;
    int ScaledConversions() const;

private:
    struct Scaler;
    bool ScaleField(Scaler& scaler, const uint8_t* const planes[3], const int strides[3], const QRect& source,
                    uint8_t* out, int width, int height, int stride);

    mutable std::mutex m_lock;
    // The planes shown: the held decoder buffers, or the copies below.
    const uint8_t* m_planes[3] = {nullptr, nullptr, nullptr};
    int m_strides[3] = {0, 0, 0};
    std::shared_ptr<const void> m_hold;
    std::vector<uint8_t> m_luma, m_cb, m_cr;
    std::vector<uint8_t> m_rgb; // the whole-picture step's 24-bit rows
    int m_width = 0;
    int m_height = 0;
    bool m_weave = false;
    bool m_fullRange = false;
    PictureAdjust m_adjust;
    std::unique_ptr<Scaler> m_whole;
    std::unique_ptr<Scaler> m_fields[2];
    int m_wholeConversions = 0;
    int m_scaledConversions = 0;
};
