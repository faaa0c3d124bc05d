#pragma once
// The image adjust panel's view of the main dialog: the grid's selection and adjust values and
// the video engine's per-tile settings.
#include "playback/imageadjustrules.h"

class HPCameo;
class HPLiveControl;

class ViewerAdjustTarget : public ImageAdjustTarget
{
public:
    ViewerAdjustTarget(HPCameo& grid, HPLiveControl& engine)
        : m_grid(grid)
        , m_engine(engine)
    {}

    QVector<int> SelectedTiles() const override;
    void SetAdjust(int tile, int which, int value) override;
    void SetFrameRate(int tile, int frameRate) override;
    void SetH264Brightness(int tile, int value) override;
    void SetH264Contrast(int tile, int value) override;
    bool IsHandingOff(int tile) const override;
    void RedrawCameo(int tile) override;

private:
    HPCameo& m_grid;
    HPLiveControl& m_engine;
};
