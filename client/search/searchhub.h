#pragma once
// What the search windows reach of the main window: the playback grids they show (the grid class
// lives with the shell), the window slots they give back, the tab bar, the backup player and the
// quick search pop-up. The main window implements it and installs itself; tests install a fake.
#include <QString>

class QWidget;
class SearchTime;

class SearchHub
{
public:
    virtual ~SearchHub() = default;

    // A playback grid as a child of `owner`: kind 1 remote playback, 2 local files; 16 cells
    // laid out in a split of 16 and drawn. Its OnSelectDate() signal reaches the owner's slot of
    // that name when it has one.
    virtual QWidget* CreatePlaybackGrid(QWidget* owner, int kind, int ownerSlot) = 0;
    virtual int GridCellCount(const QWidget* grid) const = 0;
    // The recorder whose playback the grid shows, -1 when none.
    virtual int GridRecorder(const QWidget* grid) const = 0;
    // Closes every cell, then fills the cells with the recorder's channels.
    virtual void GridShowRecorder(QWidget* grid, int deviceIndex) = 0;
    virtual void GridCloseAll(QWidget* grid) = 0;
    // A playback bar code for a local-file grid.
    virtual void GridPlaybackControl(QWidget* grid, int code) = 0;

    virtual bool IsSearchViewPopup(int slot) const = 0;
    virtual bool IsSearchLocalViewPopup(int slot) const = 0;
    virtual void deleteSearchView(int slot) = 0;
    virtual void deleteSearchLocalView(int slot) = 0;
    virtual void DockSearchView(int slot) = 0;
    virtual void DockSearchLocalView(int slot) = 0;
    virtual void SetupTabBar(bool subWindowView) = 0;

    // Starts the backup player with one recorded file; false when it could not be started.
    virtual bool StartBackupPlayer(const QString& file) = 0;
    // The program's one quick search pop-up, null before the main window made it.
    virtual SearchTime* GetSearchTime() const = 0;

    static SearchHub* Instance();
    static void Install(SearchHub* hub);
};
