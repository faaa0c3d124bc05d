#pragma once
// A panels hub for tests: it records the grids a camera control pop-up gives back and the event
// log rows instead of reaching the main window. It installs itself while it lives and gives the
// previous hub back.
#include <QString>
#include <QStringList>
#include <vector>

#include "panels/panelshub.h"

class FakePanelsHub : public PanelsHub
{
public:
    FakePanelsHub();
    ~FakePanelsHub() override;
    FakePanelsHub(const FakePanelsHub&) = delete;
    FakePanelsHub& operator=(const FakePanelsHub&) = delete;

    void RestoreGridSplit(int cameoIndex) override { restoredGrids.push_back(cameoIndex); }
    // Each row as "name|text".
    void AddEventLog(const QString& name, const QString& text) override
    {
        eventLog << name + QLatin1Char('|') + text;
    }

    std::vector<int> restoredGrids;
    QStringList eventLog;

private:
    PanelsHub* m_previous = nullptr;
};
