#pragma once
// The video engine's view of the grid and the main dialog: the grid's tiles answer from the grid's
// state, the main dialog's closing flag and export mode through the two callbacks it gives.
#include "engine/livecontrolhost.h"

#include <functional>

class CameoGrid;

class GridLiveControlHost : public LiveControlHost
{
public:
    GridLiveControlHost(CameoGrid* grid, std::function<bool()> isClosing, std::function<int()> exportCaptureMode);

    bool IsClosing() const override;
    int LayoutCode() const override;
    int FindCameo(int serverId, int camera, bool playback) const override;
    bool IsTileShown(int tile) const override;
    bool IsRestartPending(int tile) const override;
    void ClearRestart(int tile) override;
    bool IsStreaming(int tile) const override;
    int ExportCaptureMode() const override;

private:
    CameoGrid* m_grid;
    std::function<bool()> m_isClosing;
    std::function<int()> m_exportCaptureMode;
};
