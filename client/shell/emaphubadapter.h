#pragma once
// The main window's side of the e-map windows: the live tiles of their camera icons (grids are
// the shell's) and, for the rest, the main window's own e-map slots, tab bar and site book.
#include "emap/emaphub.h"

class ClientSessionHub;
class MainWindow;

class EmapHubAdapter : public EmapHub
{
public:
    EmapHubAdapter(MainWindow& window, ClientSessionHub& sessions)
        : m_window(window)
        , m_sessions(sessions)
    {}

    EmapTile* CreateEmapTile(QWidget* window, QObject* context, std::function<void()> onHidden) override;
    void StopEmapTiles(int recorder, int channel) override;

    bool IsEmapViewPopup(int slot) const override;
    void ToggleEmapPopup(int slot) override;
    void DockEmapView(int slot) override;
    void deleteEmapView(int slot) override;
    void ResetEmapFlag() override;
    void SetupTabBar(bool subWindowView) override;
    SiteBookTreeWidget* EmapSiteBook() const override;

private:
    MainWindow& m_window;
    ClientSessionHub& m_sessions;
};
