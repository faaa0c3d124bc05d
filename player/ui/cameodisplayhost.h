#pragma once
// What the tile display needs of the main dialog and the tiles' players. The main dialog
// implements it; tests give a fake. Called from the display thread, the players' threads and the
// user-interface thread, so implementations answer from thread-safe state.
#include "ui/osdcontent.h"

#include <cstdint>
#include <optional>

class CameoDisplayHost
{
public:
    virtual ~CameoDisplayHost() = default;

    // In the single-tile layout the tile that shows a picture becomes the main dialog's current one.
    virtual void SetCurrentTile(int tile) = 0;
    // The main dialog marks the tile as playing.
    virtual bool IsTilePlaying(int tile) const = 0;
    // The tile's player shows its current frame again; false when it has no data to show.
    virtual bool ShowCurrentFrame(int tile) = 0;
    // What the tile's player reports for the OSD; none without a player.
    virtual std::optional<OsdPlayerText> PlayerText(int tile) const = 0;
    // An export capturing the tile's channel takes the picture instead of the screen; true when it did.
    virtual bool CaptureForExport(int tile, int channel, const uint8_t* picture, int width, int height,
                                  int fromDecoder, int date, int time) = 0;
    // Whether an export may take the tile's picture now: only then is a picture that the display
    // would scale straight to its tile converted whole for CaptureForExport.
    virtual bool MayCaptureForExport(int /*tile*/, int /*channel*/) const { return true; }
    // The main dialog holds presenting back (while it rebuilds its windows).
    virtual bool HoldsPresenting() const = 0;
    // The engine draws through the display front (DirectDraw in use and wanted).
    virtual bool IsDirectDraw() const = 0;
};
