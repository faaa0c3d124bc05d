#pragma once
// One off-screen surface of the display front: memory of a given size and pixel format that
// pictures are written into and that is blitted from. Backed by a QImage in the format's layout.
#include "ui/surfacepixelformat.h"

#include <QImage>
#include <QRect>
#include <memory>

class QPainter;

enum class SurfaceMemory { Video = 0, System = 1, Either = 2 };

class DirectSurface
{
public:
    DirectSurface();
    ~DirectSurface();
    DirectSurface(const DirectSurface&) = delete;
    DirectSurface& operator=(const DirectSurface&) = delete;

    // 0, or -1 when the size is bad or the memory cannot be had.
    int Create(int width, int height, SurfaceMemory memory, const SurfacePixelFormat& format);
    void Release();
    bool IsCreated() const { return !m_image.isNull(); }

    // Nested: the first call begins painting, the last release ends it.
    QPainter* GetDC();
    void ReleaseDC();
    void SetClip(const QRect& clip);
    QRect Clip() const { return m_clip; }
    void FillColour(const QColor& colour);
    // Converts a 32-bit picture (blue, green, red, x; rows top-down) into the top-left of the
    // surface by the surface's depth code. Rows and columns beyond the surface are not written.
    void WritePicture(const uint8_t* picture, int width, int height);

    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    int Pitch() const { return m_image.bytesPerLine(); }
    int Id() const { return m_id; }
    SurfaceMemory Memory() const { return m_memory; }
    const SurfacePixelFormat& Format() const { return m_format; }
    const QImage& Image() const { return m_image; }
    // The surface's memory to write in place, as a locked surface gives it; nullptr when the
    // surface is not created or a painter is open on it.
    QImage* LockedImage();

private:
    QImage m_image;
    SurfacePixelFormat m_format;
    SurfaceMemory m_memory = SurfaceMemory::Either;
    QRect m_clip;
    int m_id = 0;
    std::unique_ptr<QPainter> m_painter;
    int m_dcUsers = 0;
};
