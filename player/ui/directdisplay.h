#pragma once
// A windowed display: the window's canvas stands for the primary surface, an off-screen
// composition surface of the window's size collects the tiles, and presenting copies it onto the
// canvas.
#include "ui/directsurface.h"

#include <cstdint>

class WindowCanvas;

// Results of the display calls, as the display front reports them.
constexpr int32_t kDisplayFailed = static_cast<int32_t>(0x80004005u);
constexpr int32_t kSurfaceLost = static_cast<int32_t>(0x887601C2u);

class DirectDisplay
{
public:
    DirectDisplay();
    ~DirectDisplay();
    DirectDisplay(const DirectDisplay&) = delete;
    DirectDisplay& operator=(const DirectDisplay&) = delete;

    // 0, -1 without a window or when already initialised, or the composition surface's error.
    int Init(WindowCanvas* window, int width, int height);
    void Release();

    DirectSurface& Composition() { return m_composition; }
    // The screen's pixel format, which off-screen surfaces of this display take.
    SurfacePixelFormat ScreenFormat() const { return m_screenFormat; }
    void SetScreenFormat(const SurfacePixelFormat& format) { m_screenFormat = format; }
    // Copies the composition onto the window; kSurfaceLost when the screen changed under it.
    int Present();
    void Clear(const QColor& colour);
    int SurfaceCount() const;

private:
    WindowCanvas* m_window = nullptr;
    DirectSurface m_composition;
    SurfacePixelFormat m_screenFormat = SurfacePixelFormat::Rgb32();
    bool m_preferVideoMemory = true;
    int m_backWidth = 0;
    int m_backHeight = 0;
};
