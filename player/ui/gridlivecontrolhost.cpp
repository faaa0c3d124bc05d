#include "ui/gridlivecontrolhost.h"

#include "ui/cameogrid.h"

GridLiveControlHost::GridLiveControlHost(CameoGrid* grid, std::function<bool()> isClosing,
                                         std::function<int()> exportCaptureMode)
    : m_grid(grid)
    , m_isClosing(std::move(isClosing))
    , m_exportCaptureMode(std::move(exportCaptureMode))
{}

bool GridLiveControlHost::IsClosing() const
{
    return m_isClosing && m_isClosing();
}

int GridLiveControlHost::LayoutCode() const
{
    return m_grid->LayoutCode();
}

int GridLiveControlHost::FindCameo(int serverId, int camera, bool playback) const
{
    return playback ? m_grid->FindCameo(serverId, camera) : m_grid->FindLiveCameo(serverId, camera);
}

bool GridLiveControlHost::IsTileShown(int tile) const
{
    const std::optional<CameoItem> item = m_grid->GetCameo(tile);
    return item && item->assigned && item->visible;
}

bool GridLiveControlHost::IsRestartPending(int tile) const
{
    const std::optional<CameoItem> item = m_grid->GetCameo(tile);
    return item && item->restart;
}

void GridLiveControlHost::ClearRestart(int tile)
{
    m_grid->Update(tile, [](CameoItem& item) { item.restart = 0; });
}

bool GridLiveControlHost::IsStreaming(int tile) const
{
    const std::optional<CameoItem> item = m_grid->GetCameo(tile);
    return item && item->streaming;
}

int GridLiveControlHost::ExportCaptureMode() const
{
    return m_exportCaptureMode ? m_exportCaptureMode() : -1;
}
