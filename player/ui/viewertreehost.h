#pragma once
// The backup folder tree's view of the main dialog: opening recordings in tiles, the layouts it
// chooses, the wait box while a CD backup is copied, and the tile under a drop.
#include "ui/cbackuptree.h"

class CViewerDlg;

class ViewerTreeHost : public BackupTreeHost, public BackupDropTarget
{
public:
    explicit ViewerTreeHost(CViewerDlg& dialog)
        : m_dialog(dialog)
    {}

    int SelectedTile() const override;
    void CloseRemoteTile(int tile) override;
    void StopPlayback() override;
    bool OpenInTile(const QString& folder, const QString& name, int tile) override;
    void ResetAllTiles() override;
    void SetSplitTiles(int tiles) override;
    void RedrawTiles() override;
    void ShowBuffering(bool show) override;
    int TileAtGlobal(const QPoint& globalPoint) const override;

private:
    CViewerDlg& m_dialog;
};
