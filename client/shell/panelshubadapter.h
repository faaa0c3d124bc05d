#pragma once
// The main window's side of the side panels: a grid a camera control pop-up took to single view
// goes back to its split, and health events go to the validation console's event log.
#include "panels/panelshub.h"

class MainWindow;

class PanelsHubAdapter : public PanelsHub
{
public:
    explicit PanelsHubAdapter(MainWindow& window)
        : m_window(window)
    {}

    void RestoreGridSplit(int cameoIndex) override;
    void AddEventLog(const QString& name, const QString& text) override;

private:
    MainWindow& m_window;
};
