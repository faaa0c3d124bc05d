#include "ui/directdisplay.h"

#include "ui/windowcanvas.h"

DirectDisplay::DirectDisplay() = default;

DirectDisplay::~DirectDisplay()
{
    Release();
}

int DirectDisplay::Init(WindowCanvas* window, int width, int height)
{
    if (!window || m_window) {
        return -1;
    }
    m_window = window;
    m_backWidth = width;
    m_backHeight = height;
    // The composition always takes the canvas's 32-bit layout; only the frame surface follows the
    // screen's format.
    int result = m_composition.Create(width, height,
                                      m_preferVideoMemory ? SurfaceMemory::Video : SurfaceMemory::System,
                                      SurfacePixelFormat::Rgb32());
    if (result != 0 && m_preferVideoMemory) {
        result = m_composition.Create(width, height, SurfaceMemory::System, SurfacePixelFormat::Rgb32());
    }
    if (result != 0) {
        m_window = nullptr;
        return result;
    }
    return 0;
}

void DirectDisplay::Release()
{
    m_composition.Release();
    m_window = nullptr;
}

int DirectDisplay::Present()
{
    if (!m_window || !m_composition.IsCreated()) {
        return kDisplayFailed;
    }
    if (m_window->TakeLost()) {
        return kSurfaceLost;
    }
    m_window->Put(QPoint(0, 0), m_composition.Image());
    return 0;
}

void DirectDisplay::Clear(const QColor& colour)
{
    m_composition.FillColour(colour);
    if (m_window) {
        m_window->Fill(colour);
    }
}

int DirectDisplay::SurfaceCount() const
{
    return (m_window ? 1 : 0) + (m_composition.IsCreated() ? 1 : 0);
}
