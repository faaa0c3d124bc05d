#pragma once
// The main window's side of the side panels: a grid a camera control pop-up took to single view
// goes back to its split, and health events go to the validation console's event log.
#include "panels/panelshub.h"

class ClientSessionHub;
class MainWindow;

class PanelsHubAdapter : public PanelsHub
{
public:
    PanelsHubAdapter(MainWindow& window, ClientSessionHub& sessions)
        : m_window(window)
        , m_sessions(sessions)
    {}

    void RestoreGridSplit(int cameoIndex) override;
    void AddEventLog(const QString& name, const QString& text) override;

private:
    MainWindow& m_window;
    ClientSessionHub& m_sessions;
};
