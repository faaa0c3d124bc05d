#pragma once
// The video engine's display front: converts 32-bit pictures into one frame surface, blits them
// onto the composition at each tile's rectangle, and presents the composition to the window.
// Its lock serialises the drawers (display thread, players' threads, user-interface thread) and
// the present loop.
#include "ui/directdisplay.h"

#include <QMutex>
#include <atomic>
#include <memory>

class HPDisplayFront
{
public:
    HPDisplayFront();
    ~HPDisplayFront();
    HPDisplayFront(const HPDisplayFront&) = delete;
    HPDisplayFront& operator=(const HPDisplayFront&) = delete;

    void Lock();
    void Unlock();
    // True while a drawer holds the lock, so that the present loop can skip a pass.
    bool IsLocked() const { return m_locked.load(); }

    // 0, or the negative error of the step that failed.
    int Create(WindowCanvas* window, int width, int height, int maxWidth, int maxHeight);
    int Resize(WindowCanvas* window, int width, int height);
    // Releases and re-creates display and frame surface; the caller pauses first where it may.
    int Restore();
    int Draw(const uint8_t* picture, int width, int height);
    int Blit(const QRect& source, const QRect& tile);
    int Present();
    void Clear(const QColor& colour);
    void Destroy();

    bool IsCreated() const { return m_display && m_frame && m_frame->IsCreated(); }
    // The composition's painter for the OSD; give it back with ReleaseCompositionDC.
    QPainter* CompositionDC();
    void ReleaseCompositionDC();
    // The composition's pixels, written in place under the front's lock; nullptr when there
    // is none or its painter is out.
    QImage* CompositionImage();
    // The screen format that the next Create or Restore gives the frame surface.
    void SetScreenFormat(const SurfacePixelFormat& format) { m_screenFormat = format; }
    const DirectSurface* FrameSurface() const { return m_frame.get(); }
    DirectDisplay* Display() { return m_display.get(); }

private:
    int CreateSurfaces();
    void ReleaseSurfaces();

    std::unique_ptr<DirectDisplay> m_display;
    std::unique_ptr<DirectSurface> m_frame;
    int m_width = 0;
    int m_height = 0;
    int m_maxWidth = 2560;
    int m_maxHeight = 1440;
    WindowCanvas* m_window = nullptr;
    SurfacePixelFormat m_screenFormat = SurfacePixelFormat::Rgb32();
    QMutex m_lock;
    std::atomic<bool> m_locked{false};
};
