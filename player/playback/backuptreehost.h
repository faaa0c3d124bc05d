#pragma once
// What the backup folder tree needs of the main dialog to open recordings in tiles. The main
// dialog implements it over its tile grid, control bar, video engine and wait box.
#include <QString>

class BackupTreeHost
{
public:
    virtual ~BackupTreeHost() = default;
    // The tile grid's selected tile, -1 when none.
    virtual int SelectedTile() const = 0;
    // Closes the tile when a recorder connection feeds it and it plays.
    virtual void CloseRemoteTile(int tile) = 0;
    // The control bar's stop of playback.
    virtual void StopPlayback() = 0;
    // Opens the recording (name in folder, folder ending in "/") in the tile; false on failure.
    virtual bool OpenInTile(const QString& folder, const QString& name, int tile) = 0;
    // Resets all 16 tiles, clears their play flags and redraws the grid.
    virtual void ResetAllTiles() = 0;
    // Sets the split that shows this many tiles (1, 4 or 9).
    virtual void SetSplitTiles(int tiles) = 0;
    // The video engine redraws the tiles.
    virtual void RedrawTiles() = 0;
    // The wait box "BUFFERING" while a CD backup is copied.
    virtual void ShowBuffering(bool show) = 0;
};
