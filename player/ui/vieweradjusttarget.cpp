#include "ui/vieweradjusttarget.h"
#include "ui/hpcameo.h"

#include "engine/hplivecontrol.h"

QVector<int> ViewerAdjustTarget::SelectedTiles() const
{
    QVector<int> selected;
    m_grid.GetSelectedCameos(selected);
    return selected;
}

void ViewerAdjustTarget::SetAdjust(int tile, int which, int value)
{
    switch (which) {
    case 1: m_grid.SetAdjust1(tile, value); break;
    case 2: m_grid.SetAdjust2(tile, value); break;
    case 3: m_grid.SetAdjust3(tile, value); break;
    default: break;
    }
}

void ViewerAdjustTarget::SetFrameRate(int tile, int frameRate)
{
    m_grid.SetFrameRate(tile, frameRate);
}

void ViewerAdjustTarget::SetH264Brightness(int tile, int value)
{
    m_engine.SetBrightness(tile, value);
}

void ViewerAdjustTarget::SetH264Contrast(int tile, int value)
{
    m_engine.SetContrast(tile, value);
}

bool ViewerAdjustTarget::IsHandingOff(int) const
{
    // Tiles here play files; none is handed over between a recorder's stream and a file, so a
    // redraw has nothing to race.
    return false;
}

void ViewerAdjustTarget::RedrawCameo(int tile)
{
    m_engine.RedrawCameo(tile);
}
