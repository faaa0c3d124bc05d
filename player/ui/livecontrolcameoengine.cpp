#include "ui/livecontrolcameoengine.h"

#include "engine/hplivecontrol.h"
#include "ui/cameoitem.h"

LiveControlCameoEngine::LiveControlCameoEngine(HPLiveControl* engine, bool frontFailed)
    : m_engine(engine)
    , m_frontFailed(frontFailed)
{}

void LiveControlCameoEngine::ClearFrameBuffer(int tile)
{
    m_engine->ClearFrameBuffer(tile);
}

void LiveControlCameoEngine::ClearLastFrame(int tile)
{
    m_engine->SetLastFrame(tile, nullptr);
}

void LiveControlCameoEngine::DemoteQueuedFrames()
{
    m_engine->DemoteQueuedFrames();
}

void LiveControlCameoEngine::RedrawAll()
{
    m_engine->RedrawAll();
}

void LiveControlCameoEngine::RedrawCameos(const std::vector<int>& tiles)
{
    m_engine->RedrawCameos(tiles);
}

void LiveControlCameoEngine::RedrawCameo(int tile)
{
    m_engine->RedrawCameo(tile);
}

void LiveControlCameoEngine::SetOwnDecoderSetting(int tile, int kind, int value)
{
    if (!IsCameoIndex(tile)) {
        return;
    }
    if (kind == kOwnDecoderBrightness) {
        m_engine->SetBrightness(tile, value);
    } else if (kind == kOwnDecoderContrast) {
        m_engine->SetContrast(tile, value);
    }
}

void LiveControlCameoEngine::SetFilter(int tile, int value)
{
    if (IsCameoIndex(tile)) {
        m_engine->SetFilter(tile, value);
    }
}

void LiveControlCameoEngine::RedecodeLastFrame(int)
{
    // Only a tile fed by a recorder client is decoded again from its last frame; this program
    // opens none, and file tiles are shown again by their players on the redraw that follows.
}

bool LiveControlCameoEngine::IsDirectDrawUsed() const
{
    return m_engine->IsDirectDraw() != 0;
}

void LiveControlCameoEngine::SetDirectXWanted(bool wanted)
{
    m_engine->SetDirectXWanted(wanted ? 1 : 0);
}

bool LiveControlCameoEngine::LastPicture(int tile, QImage* picture, int* date, int* time) const
{
    if (!IsCameoIndex(tile)) {
        return false;
    }
    const LiveFrame frame = m_engine->LastFrame(tile);
    if (frame.width <= 0 || frame.height <= 0 || frame.width > kMaxPictureWidth
        || frame.height > kMaxPictureHeight) {
        return false;
    }
    // Asked only once the tile has shown a picture: asking makes the buffer.
    const uint8_t* buffer = m_engine->GetFrameBuffer(tile);
    if (!buffer)
        return false;
    *picture = QImage(buffer, frame.width, frame.height, frame.width * 4, QImage::Format_RGB32).copy();
    *date = frame.date;
    *time = frame.time;
    return !picture->isNull();
}
