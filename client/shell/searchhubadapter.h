#pragma once
// The main window's side of the search windows: their playback grids (grids are the shell's) and,
// for the rest, the main window's own slots, tab bar, backup player and quick search pop-up.
#include "search/searchhub.h"

class ClientSessionHub;
class MainWindow;

class SearchHubAdapter : public SearchHub
{
public:
    SearchHubAdapter(MainWindow& window, ClientSessionHub& sessions)
        : m_window(window)
        , m_sessions(sessions)
    {}

    QWidget* CreatePlaybackGrid(QWidget* owner, int kind, int ownerSlot) override;
    int GridCellCount(const QWidget* grid) const override;
    int GridRecorder(const QWidget* grid) const override;
    void GridShowRecorder(QWidget* grid, int deviceIndex) override;
    void GridCloseAll(QWidget* grid) override;
    void GridPlaybackControl(QWidget* grid, int code) override;

    bool IsSearchViewPopup(int slot) const override;
    bool IsSearchLocalViewPopup(int slot) const override;
    void deleteSearchView(int slot) override;
    void deleteSearchLocalView(int slot) override;
    void DockSearchView(int slot) override;
    void DockSearchLocalView(int slot) override;
    void SetupTabBar(bool subWindowView) override;
    bool StartBackupPlayer(const QString& file) override;
    SearchTime* GetSearchTime() const override;

private:
    MainWindow& m_window;
    ClientSessionHub& m_sessions;
};
