#pragma once
// An e-map hub for tests: no live tiles (the grids are the main window's), the site book tree the
// test gives, and a record of the docking and slot calls. It installs itself while it lives and
// gives the previous hub back.
#include <QList>
#include <QStringList>

#include "emap/emaphub.h"

class FakeEmapHub : public EmapHub
{
public:
    FakeEmapHub();
    ~FakeEmapHub() override;
    FakeEmapHub(const FakeEmapHub&) = delete;
    FakeEmapHub& operator=(const FakeEmapHub&) = delete;

    // Counts the request; null, as a hub that can make no grid answers.
    EmapTile* CreateEmapTile(QWidget*, QObject*, std::function<void()>) override
    {
        ++tilesAsked;
        return nullptr;
    }
    void StopEmapTiles(int recorder, int channel) override
    {
        calls << QStringLiteral("stop %1 %2").arg(recorder).arg(channel);
    }
    bool IsEmapViewPopup(int slot) const override { return popupSlots.contains(slot); }
    void ToggleEmapPopup(int slot) override { calls << QStringLiteral("toggle %1").arg(slot); }
    void DockEmapView(int slot) override { calls << QStringLiteral("dock %1").arg(slot); }
    void deleteEmapView(int slot) override { calls << QStringLiteral("delete %1").arg(slot); }
    void ResetEmapFlag() override { calls << QStringLiteral("reset flag"); }
    void SetupTabBar(bool subWindowView) override
    {
        calls << QStringLiteral("tab bar %1").arg(int(subWindowView));
    }
    SiteBookTreeWidget* EmapSiteBook() const override { return siteBook; }

    int tilesAsked = 0;
    QList<int> popupSlots;
    QStringList calls;
    SiteBookTreeWidget* siteBook = nullptr;

private:
    EmapHub* m_previous = nullptr;
};
