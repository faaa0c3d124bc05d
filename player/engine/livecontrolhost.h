#pragma once
// What the video engine needs of the main dialog and the tile grid: their state read by the
// engine's threads. The grid and the main dialog implement it; tests give a fake.

class LiveControlHost
{
public:
    virtual ~LiveControlHost() = default;

    // The main dialog is closing: the engine's threads end and frames are no longer taken.
    virtual bool IsClosing() const = 0;
    // Split layout code of the main dialog (0 = one tile).
    virtual int LayoutCode() const = 0;
    // The tile that plays (serverId, camera); playback true for a frame with a play-state mark
    // (a file or playback tile), false for a live pair. -1 when no tile does.
    virtual int FindCameo(int serverId, int camera, bool playback) const = 0;
    // The tile is assigned and visible in the current layout.
    virtual bool IsTileShown(int tile) const = 0;
    // The grid asked the tile to restart at the next key frame of the engine's own decoder.
    virtual bool IsRestartPending(int tile) const = 0;
    virtual void ClearRestart(int tile) = 0;
    // The tile streams live and takes no frame without a play-state mark.
    virtual bool IsStreaming(int tile) const = 0;
    // -1 while no export captures pictures; else 0 with the Xvid codec installed, 1 without.
    virtual int ExportCaptureMode() const = 0;
};
