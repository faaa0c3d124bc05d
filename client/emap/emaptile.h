#pragma once
// The live tile beside a camera icon: a one-cell live grid that shows one recorder channel.
// The grid belongs to the main window's layer, so the e-map window only sees this face of it.
#include <QRect>

class QWidget;

class EmapTile
{
public:
    virtual ~EmapTile() = default;

    virtual QWidget* Widget() = 0;
    // Binds the cell to the channel, places the tile and starts live video there.
    virtual void ShowChannel(int recorder, int channel, const QRect& geometry) = 0;
    // Hides and clears the tile. The channel's live video keeps running when a live window
    // still shows it, else it stops.
    virtual void CloseTile() = 0;
};
