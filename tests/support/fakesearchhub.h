#pragma once
// A search hub for tests: plain widgets stand in for the playback grids (16 cells, the recorder
// they were last given), and window slots, tab bar and backup player calls are recorded. It
// installs itself while it lives and gives the previous hub back.
#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "search/searchhub.h"

class FakeSearchHub : public SearchHub
{
public:
    static constexpr int kGridCells = 16;

    FakeSearchHub();
    ~FakeSearchHub() override;
    FakeSearchHub(const FakeSearchHub&) = delete;
    FakeSearchHub& operator=(const FakeSearchHub&) = delete;

    // What a stand-in grid was asked to do.
    struct Grid
    {
        int kind = 0;
        int ownerSlot = -1;
        int recorder = -1;
        int closeAlls = 0;
        QList<int> codes;
    };

    QWidget* CreatePlaybackGrid(QWidget* owner, int kind, int ownerSlot) override;
    int GridCellCount(const QWidget* grid) const override { return m_grids.contains(grid) ? kGridCells : 0; }
    int GridRecorder(const QWidget* grid) const override;
    void GridShowRecorder(QWidget* grid, int deviceIndex) override;
    void GridCloseAll(QWidget* grid) override;
    void GridPlaybackControl(QWidget* grid, int code) override;

    bool IsSearchViewPopup(int slot) const override { return popupSlots.contains(slot); }
    bool IsSearchLocalViewPopup(int slot) const override { return popupSlots.contains(slot); }
    void deleteSearchView(int slot) override { calls << QStringLiteral("delete search %1").arg(slot); }
    void deleteSearchLocalView(int slot) override { calls << QStringLiteral("delete local %1").arg(slot); }
    void DockSearchView(int slot) override { calls << QStringLiteral("dock search %1").arg(slot); }
    void DockSearchLocalView(int slot) override { calls << QStringLiteral("dock local %1").arg(slot); }
    void SetupTabBar(bool subWindowView) override
    {
        calls << QStringLiteral("tab bar %1").arg(int(subWindowView));
    }

    // Records the file; answers with playerStarts.
    bool StartBackupPlayer(const QString& file) override;
    SearchTime* GetSearchTime() const override { return searchTime; }

    // The record of a grid this hub made; null for any other widget.
    const Grid* GridOf(const QWidget* grid) const;

    QList<int> popupSlots;
    QStringList calls;
    QStringList playerFiles;
    bool playerStarts = true;
    SearchTime* searchTime = nullptr;

private:
    SearchHub* m_previous = nullptr;
    QMap<const QWidget*, Grid> m_grids;
};
