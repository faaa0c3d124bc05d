#pragma once
// What an e-map window reaches of the main window hub: the live tiles (grids are the hub's),
// its place in the multi-document area, and the site book tree that keeps the e-map entries.
// The main window implements it and installs itself; without a hub the window works on its own
// (no tiles, no docking).
#include <QObject>
#include <functional>

class EmapTile;
class QWidget;
class SiteBookTreeWidget;

class EmapHub
{
public:
    virtual ~EmapHub() = default;

    // A new tile, a child of the window; onHidden runs (while context lives) when the tile's own
    // menu hides it. Null when no grid can be made.
    virtual EmapTile* CreateEmapTile(QWidget* window, QObject* context, std::function<void()> onHidden) = 0;
    // Stops and clears every e-map tile whose first cell shows the recorder's channel.
    virtual void StopEmapTiles(int recorder, int channel) = 0;

    virtual bool IsEmapViewPopup(int slot) const = 0;
    virtual void ToggleEmapPopup(int slot) = 0;
    virtual void DockEmapView(int slot) = 0;
    virtual void deleteEmapView(int slot) = 0;
    virtual void ResetEmapFlag() = 0;
    // A maximised docked window switches the multi-document area to its sub-window view.
    virtual void SetupTabBar(bool subWindowView) = 0;

    virtual SiteBookTreeWidget* EmapSiteBook() const = 0;

    static EmapHub* Instance();
    static void Install(EmapHub* hub);
};
