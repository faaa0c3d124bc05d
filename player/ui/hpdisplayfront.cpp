#include "ui/hpdisplayfront.h"

#include "ui/uilog.h"
#include "ui/windowcanvas.h"

#include <QPainter>

HPDisplayFront::HPDisplayFront() = default;

HPDisplayFront::~HPDisplayFront()
{
    Destroy();
}

void HPDisplayFront::Lock()
{
    m_locked = true;
    m_lock.lock();
}

void HPDisplayFront::Unlock()
{
    m_lock.unlock();
    m_locked = false;
}

int HPDisplayFront::Create(WindowCanvas* window, int width, int height, int maxWidth, int maxHeight)
{
    m_window = window;
    m_width = width;
    m_height = height;
    m_maxWidth = maxWidth;
    m_maxHeight = maxHeight;
    return CreateSurfaces();
}

int HPDisplayFront::Resize(WindowCanvas* window, int width, int height)
{
    return Create(window, width, height, m_maxWidth, m_maxHeight);
}

int HPDisplayFront::CreateSurfaces()
{
    ReleaseSurfaces();
    auto display = std::make_unique<DirectDisplay>();
    display->SetScreenFormat(m_screenFormat);
    int result = display->Init(m_window, m_width, m_height);
    if (result != 0) {
        qCWarning(lcPlayerUi) << "display front: display not made" << result;
        return result;
    }
    auto frame = std::make_unique<DirectSurface>();
    result = frame->Create(m_maxWidth, m_maxHeight, SurfaceMemory::Either, m_screenFormat);
    if (result != 0) {
        qCWarning(lcPlayerUi) << "display front: frame surface not made" << result;
        return result;
    }
    m_display = std::move(display);
    m_frame = std::move(frame);
    return 0;
}

void HPDisplayFront::ReleaseSurfaces()
{
    m_frame.reset();
    m_display.reset();
}

int HPDisplayFront::Restore()
{
    int result = CreateSurfaces();
    if (result == 0) {
        // Each pixel of the widest picture needs at least two bytes of a frame surface row.
        if (m_frame->Pitch() < 2 * m_maxWidth) {
            result = kDisplayFailed;
        }
    }
    if (result != 0) {
        ReleaseSurfaces();
        return result;
    }
    m_display->Composition().FillColour(Qt::black);
    return 0;
}

int HPDisplayFront::Draw(const uint8_t* picture, int width, int height)
{
    if (!IsCreated() && Restore() != 0) {
        return kDisplayFailed;
    }
    m_frame->WritePicture(picture, width, height);
    return 0;
}

int HPDisplayFront::Blit(const QRect& source, const QRect& tile)
{
    if (!IsCreated()) {
        return kDisplayFailed;
    }
    QPainter* painter = m_display->Composition().GetDC();
    if (!painter) {
        return kDisplayFailed;
    }
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawImage(tile, m_frame->Image(), source);
    m_display->Composition().ReleaseDC();
    return 0;
}

int HPDisplayFront::Present()
{
    if (!m_display) {
        return kDisplayFailed;
    }
    const int result = m_display->Present();
    if (result == kSurfaceLost) {
        qCDebug(lcPlayerUi) << "display front: surface lost, restoring";
        return Restore();
    }
    return result;
}

void HPDisplayFront::Clear(const QColor& colour)
{
    if (!IsCreated() && Restore() != 0) {
        return;
    }
    m_display->Clear(colour);
}

void HPDisplayFront::Destroy()
{
    ReleaseSurfaces();
}

QPainter* HPDisplayFront::CompositionDC()
{
    return m_display ? m_display->Composition().GetDC() : nullptr;
}

QImage* HPDisplayFront::CompositionImage()
{
    return m_display ? m_display->Composition().LockedImage() : nullptr;
}

void HPDisplayFront::ReleaseCompositionDC()
{
    if (m_display) {
        m_display->Composition().ReleaseDC();
    }
}
