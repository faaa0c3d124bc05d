#include "ui/directsurface.h"

#include <QPainter>
#include <atomic>
#include <cstring>

namespace {

std::atomic<int> g_nextSurfaceId{1};

QImage::Format ImageFormat(int depthCode)
{
    switch (depthCode) {
    case 8: return QImage::Format_Grayscale8;
    case 15: return QImage::Format_RGB555;
    case 16: return QImage::Format_RGB16;
    case 24: return QImage::Format_RGB888;
    case 32: return QImage::Format_RGB32;
    default: return QImage::Format_Invalid;
    }
}

constexpr int kMaxSurfaceExtent = 8192;

} // namespace

DirectSurface::DirectSurface() = default;

DirectSurface::~DirectSurface()
{
    Release();
}

int DirectSurface::Create(int width, int height, SurfaceMemory memory, const SurfacePixelFormat& format)
{
    Release();
    const QImage::Format imageFormat = ImageFormat(format.depthCode);
    if (width <= 0 || height <= 0 || width > kMaxSurfaceExtent || height > kMaxSurfaceExtent
        || imageFormat == QImage::Format_Invalid) {
        return -1;
    }
    m_image = QImage(width, height, imageFormat);
    if (m_image.isNull()) {
        return -1;
    }
    m_image.fill(Qt::black);
    m_format = format;
    m_memory = memory;
    m_clip = QRect(0, 0, width, height);
    m_id = g_nextSurfaceId++;
    return 0;
}

void DirectSurface::Release()
{
    m_painter.reset();
    m_dcUsers = 0;
    m_image = QImage();
}

QPainter* DirectSurface::GetDC()
{
    if (!IsCreated()) {
        return nullptr;
    }
    if (m_dcUsers++ == 0) {
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setClipRect(m_clip);
    }
    return m_painter.get();
}

void DirectSurface::ReleaseDC()
{
    if (m_dcUsers > 0 && --m_dcUsers == 0) {
        m_painter.reset();
    }
}

QImage* DirectSurface::LockedImage()
{
    return IsCreated() && m_dcUsers == 0 ? &m_image : nullptr;
}

void DirectSurface::SetClip(const QRect& clip)
{
    m_clip = clip.intersected(QRect(0, 0, Width(), Height()));
}

void DirectSurface::FillColour(const QColor& colour)
{
    if (IsCreated() && m_dcUsers == 0) {
        m_image.fill(colour);
    }
}

void DirectSurface::WritePicture(const uint8_t* picture, int width, int height)
{
    if (!IsCreated() || !picture || width <= 0 || height <= 0) {
        return;
    }
    const int rows = std::min(height, Height());
    const int columns = std::min(width, Width());
    const int pitch = Pitch();
    const int sourcePitch = width * 4;
    uint8_t* bits = m_image.bits();
    for (int y = 0; y < rows; ++y) {
        const uint8_t* source = picture + static_cast<size_t>(y) * sourcePitch;
        uint8_t* target = bits + static_cast<size_t>(y) * pitch;
        switch (m_format.depthCode) {
        case 15:
        case 16: {
            auto* out = reinterpret_cast<uint16_t*>(target);
            const bool five = m_format.depthCode == 15;
            for (int x = 0; x < columns; ++x) {
                const uint8_t* pixel = source + x * 4;
                const unsigned blue = pixel[0];
                const unsigned green = pixel[1];
                const unsigned red = pixel[2];
                out[x] = five ? static_cast<uint16_t>((red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3))
                              : static_cast<uint16_t>((red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3));
            }
            break;
        }
        case 24:
            for (int x = 0; x < columns; ++x) {
                target[x * 3] = source[x * 4 + 2];
                target[x * 3 + 1] = source[x * 4 + 1];
                target[x * 3 + 2] = source[x * 4];
            }
            break;
        case 32: std::memcpy(target, source, static_cast<size_t>(columns) * 4); break;
        default: return;
        }
    }
}
