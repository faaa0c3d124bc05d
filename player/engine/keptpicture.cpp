#include "engine/keptpicture.h"

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

struct KeptPicture::Scaler
{
    SwsContext* context = nullptr;
    // Aligned rows for a tile the scaler cannot write straight into; kept between pictures.
    std::unique_ptr<uint8_t, decltype(&av_free)> rows{nullptr, &av_free};
    size_t rowsSize = 0;
    ~Scaler() { sws_freeContext(context); }
    uint8_t* Rows(size_t size)
    {
        if (size > rowsSize) {
            rows.reset(static_cast<uint8_t*>(av_malloc(size)));
            rowsSize = rows ? size : 0;
        }
        return rows.get();
    }
};

namespace {

// Row alignment the scaler's vector code writes at full speed.
constexpr int kRowAlign = 16;

void CopyPlane(const uint8_t* from, int fromStride, int width, int height, std::vector<uint8_t>& to)
{
    to.resize(size_t(width) * size_t(height));
    for (int row = 0; row < height; ++row)
        std::memcpy(to.data() + size_t(row) * size_t(width), from + size_t(row) * size_t(fromStride),
                    size_t(width));
}

} // namespace

KeptPicture::KeptPicture()
    : m_whole(std::make_unique<Scaler>())
{
    m_fields[0] = std::make_unique<Scaler>();
    m_fields[1] = std::make_unique<Scaler>();
}

KeptPicture::~KeptPicture() = default;

bool KeptPicture::Assign(const PlaneView& view, bool weave, const PictureAdjust& adjust)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_width = m_height = 0;
    m_hold.reset();
    const int width = view.width;
    const int height = view.height;
    if (width <= 0 || height <= 0 || width % 2 || height % 2 || (weave && height % 4))
        return false;
    for (int plane = 0; plane < 3; ++plane) {
        if (!view.planes[plane] || view.strides[plane] < (plane == 0 ? width : width / 2))
            return false;
    }
    m_hold = view.hold;
    if (m_hold) {
        for (int plane = 0; plane < 3; ++plane) {
            m_planes[plane] = view.planes[plane];
            m_strides[plane] = view.strides[plane];
        }
    } else {
        CopyPlane(view.planes[0], view.strides[0], width, height, m_luma);
        CopyPlane(view.planes[1], view.strides[1], width / 2, height / 2, m_cb);
        CopyPlane(view.planes[2], view.strides[2], width / 2, height / 2, m_cr);
        const uint8_t* const copies[3] = {m_luma.data(), m_cb.data(), m_cr.data()};
        for (int plane = 0; plane < 3; ++plane) {
            m_planes[plane] = copies[plane];
            m_strides[plane] = plane == 0 ? width : width / 2;
        }
    }
    m_width = width;
    m_height = height;
    m_weave = weave;
    m_fullRange = view.fullRange;
    m_adjust = adjust;
    return true;
}

void KeptPicture::Clear()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_width = m_height = 0;
    m_hold.reset();
}

bool KeptPicture::IsEmpty() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_width == 0;
}

int KeptPicture::Width() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_width;
}

int KeptPicture::Height() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_height;
}

int KeptPicture::WholeConversions() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_wholeConversions;
}

int KeptPicture::ScaledConversions() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_scaledConversions;
}

bool KeptPicture::ConvertWhole(uint8_t* bgra, int64_t capacity)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_width == 0 || !bgra || int64_t(m_width) * m_height * 4 > capacity)
        return false;
    // The library's own step first (point sampling, 24-bit), so that the bytes are the ones a
    // decode with an output would have given.
    const AVPixelFormat format = m_fullRange ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P;
    m_whole->context = sws_getCachedContext(m_whole->context, m_width, m_height, format, m_width, m_height,
                                            AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr, nullptr);
    if (!m_whole->context)
        return false;
    m_rgb.resize(size_t(m_width) * size_t(m_height) * 3);
    const uint8_t* const planes[4] = {m_planes[0], m_planes[1], m_planes[2], nullptr};
    const int strides[4] = {m_strides[0], m_strides[1], m_strides[2], 0};
    uint8_t* const out[4] = {m_rgb.data(), nullptr, nullptr, nullptr};
    const int outStrides[4] = {m_width * 3, 0, 0, 0};
    if (sws_scale(m_whole->context, planes, strides, 0, m_height, out, outStrides) != m_height)
        return false;
    PackPicture(m_rgb.data(), m_width, m_height, bgra, m_weave, m_adjust);
    ++m_wholeConversions;
    return true;
}

bool KeptPicture::ScaleField(Scaler& scaler, const uint8_t* const planes[3], const int strides[3],
                             const QRect& source, uint8_t* out, int width, int height, int stride)
{
    // The scaler's fast road needs an even width (an odd one makes it interpolate chroma for
    // every pixel, several times the work) and rows on 16-byte boundaries. A tile that does not
    // give both is scaled into aligned rows of our own, one column wider when its width is odd,
    // and copied into place without that column: the picture's right edge moves by less than
    // one of the tile's pixels.
    const bool direct = width % 2 == 0 && stride % kRowAlign == 0
                        && reinterpret_cast<uintptr_t>(out) % kRowAlign == 0;
    const int scaledWidth = direct ? width : (width + 1) & ~1;
    const AVPixelFormat format = m_fullRange ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P;
    scaler.context = sws_getCachedContext(scaler.context, source.width(), source.height(), format, scaledWidth,
                                          height, AV_PIX_FMT_BGRA, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!scaler.context)
        return false;
    const size_t chroma = size_t(source.top() / 2) * size_t(strides[1]) + size_t(source.left() / 2);
    const uint8_t* const from[4] = {planes[0] + size_t(source.top()) * size_t(strides[0]) + size_t(source.left()),
                                    planes[1] + chroma, planes[2] + chroma, nullptr};
    const int fromStrides[4] = {strides[0], strides[1], strides[2], 0};
    if (direct) {
        uint8_t* const to[4] = {out, nullptr, nullptr, nullptr};
        const int toStrides[4] = {stride, 0, 0, 0};
        return sws_scale(scaler.context, from, fromStrides, 0, source.height(), to, toStrides) == height;
    }
    const int rowBytes = (scaledWidth * 4 + kRowAlign - 1) / kRowAlign * kRowAlign;
    uint8_t* rows = scaler.Rows(size_t(rowBytes) * size_t(height));
    if (!rows)
        return false;
    uint8_t* const to[4] = {rows, nullptr, nullptr, nullptr};
    const int toStrides[4] = {rowBytes, 0, 0, 0};
    if (sws_scale(scaler.context, from, fromStrides, 0, source.height(), to, toStrides) != height)
        return false;
    for (int row = 0; row < height; ++row)
        std::memcpy(out + size_t(row) * size_t(stride), rows + size_t(row) * size_t(rowBytes), size_t(width) * 4);
    return true;
}

bool KeptPicture::ScaleInto(const QRect& source, uint8_t* out, int width, int height, int stride)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_width == 0 || !out || width <= 0 || height <= 0 || stride < width * 4)
        return false;
    QRect area = source.intersected(QRect(0, 0, m_width, m_height));
    // 4:2:0 chroma serves two rows and two columns: start on an even pixel (on a multiple of 4
    // rows when woven, an even row of each field).
    const int align = m_weave ? 3 : 1;
    area.setLeft(area.left() & ~1);
    area.setTop(area.top() & ~align);
    if (area.width() < 2 || area.height() < 2 * (align + 1) / 2)
        return false;
    bool ok = true;
    if (!m_weave) {
        ok = ScaleField(*m_fields[0], m_planes, m_strides, area, out, width, height, stride);
    } else {
        // Each field scaled to its rows of the tile: the even rows from the first, the odd ones
        // from the second, as the woven picture puts them.
        const int fieldHeight = m_height / 2;
        const QRect fieldArea(area.left(), area.top() / 2, area.width(), std::max(1, area.height() / 2));
        for (int field = 0; field < 2 && ok; ++field) {
            const int rows = field == 0 ? (height + 1) / 2 : height / 2;
            if (rows == 0)
                continue;
            const uint8_t* const planes[3] = {
                m_planes[0] + size_t(field) * size_t(fieldHeight) * size_t(m_strides[0]),
                m_planes[1] + size_t(field) * size_t(fieldHeight / 2) * size_t(m_strides[1]),
                m_planes[2] + size_t(field) * size_t(fieldHeight / 2) * size_t(m_strides[2])};
            ok = ScaleField(*m_fields[field], planes, m_strides, fieldArea, out + size_t(field) * size_t(stride),
                            width, rows, 2 * stride);
        }
    }
    if (!ok)
        return false;
    if (!m_adjust.IsNeutral()) {
        uint8_t table[256];
        m_adjust.Table(table);
        for (int row = 0; row < height; ++row) {
            uint8_t* pixel = out + size_t(row) * size_t(stride);
            for (int x = 0; x < width; ++x, pixel += 4) {
                pixel[0] = table[pixel[0]];
                pixel[1] = table[pixel[1]];
                pixel[2] = table[pixel[2]];
            }
        }
    }
    ++m_scaledConversions;
    return true;
}
