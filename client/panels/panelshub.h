#pragma once
// What the side panels and pop-ups reach of the main window beyond the recorder table: the grid
// a camera control pop-up took to single view, and the program's event log. The main window
// implements it and installs itself; without a hub both calls do nothing.
#include <QString>

class PanelsHub
{
public:
    virtual ~PanelsHub() = default;

    // The grid returns from single view to the split it showed before, when it still exists and
    // shows single view.
    virtual void RestoreGridSplit(int cameoIndex) = 0;
    virtual void AddEventLog(const QString& name, const QString& text) = 0;

    static PanelsHub* Instance();
    static void Install(PanelsHub* hub);
};
