#include "ui/viewertreehost.h"
#include "ui/cmsgdlg.h"
#include "ui/csearchcontrol.h"
#include "ui/cviewerdlg.h"
#include "ui/hpcameo.h"
#include "ui/viewertiles.h"

int ViewerTreeHost::SelectedTile() const
{
    const QVector<int> selected = m_dialog.Tiles().SelectedCameos();
    return selected.isEmpty() ? -1 : selected.first();
}

void ViewerTreeHost::CloseRemoteTile(int)
{
    // This program opens no recorder connection: no tile is fed by one.
}

void ViewerTreeHost::StopPlayback()
{
    m_dialog.ControlBar()->OnStopAll();
}

bool ViewerTreeHost::OpenInTile(const QString& folder, const QString& name, int tile)
{
    if (tile < 0 || tile >= ViewerTiles::kTileCount)
        return false;
    const bool opened = m_dialog.Tiles().OpenFile(tile, folder + name);
    m_dialog.SetPlayFlag(tile, opened);
    return opened;
}

void ViewerTreeHost::ResetAllTiles()
{
    for (int tile = 0; tile < ViewerTiles::kTileCount; ++tile) {
        m_dialog.Grid()->ClearCameo(tile);
        m_dialog.SetPlayFlag(tile, false);
    }
    m_dialog.Tiles().RedrawAll();
}

void ViewerTreeHost::SetSplitTiles(int tiles)
{
    // The layout codes of one, four and nine tiles.
    const int code = tiles <= 1 ? 0 : (tiles <= 4 ? 1 : 4);
    m_dialog.SetSplitMode(code, true, false);
}

void ViewerTreeHost::RedrawTiles()
{
    m_dialog.Tiles().RedrawAll();
}

void ViewerTreeHost::ShowBuffering(bool show)
{
    if (show)
        m_dialog.WaitBox()->ShowMessage(1, QStringLiteral("BUFFERING"), WaitBoxStyle::TileView, 4);
    else
        m_dialog.WaitBox()->Step();
}

int ViewerTreeHost::TileAtGlobal(const QPoint& globalPoint) const
{
    HPCameo* grid = m_dialog.Grid();
    if (!grid->PtInWindow(globalPoint))
        return -1;
    return m_dialog.Tiles().CameoFromPoint(grid->mapFromGlobal(globalPoint));
}
