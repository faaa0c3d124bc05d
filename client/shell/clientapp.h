#pragma once
// The client's composition root. It makes the services behind the program-wide interfaces (the
// recorder hub with the recorder and grid tables, the grids' host, the adapters of the search,
// e-map, panels, site book and console skin interfaces, the backup window factory), attaches the
// recorder hub to the main window, installs every interface with a guard, starts the window, and
// at the end shuts the window down while everything is still installed, then drops the guards in
// reverse order.
//
// The program makes it with its own main window; tests compose a main window of their own kind
// (the window outlives the composition).
#include <cstddef>
#include <memory>
#include <vector>

#include "shell/hubinstallguard.h"

class BackupWindowFactory;
class ClientGridHost;
class ClientSessionHub;
class EmapHubAdapter;
class MainWindow;
class MessageBoxState;
class PanelsHubAdapter;
class SearchHubAdapter;
class SiteBookHubAdapter;
class SkinImageAdapter;

class ClientApp
{
public:
    // Makes and composes the program's main window.
    ClientApp();
    // Composes a window made elsewhere, which must outlive this object.
    explicit ClientApp(MainWindow& window);
    ~ClientApp();
    ClientApp(const ClientApp&) = delete;
    ClientApp& operator=(const ClientApp&) = delete;

    MainWindow& Window() { return m_window; }
    ClientSessionHub& Sessions() { return *m_sessions; }
    ClientGridHost& Grids() { return *m_grids; }

private:
    ClientApp(std::unique_ptr<MainWindow> owned, std::nullptr_t);
    void Install();

    std::unique_ptr<MainWindow> m_owned;
    MainWindow& m_window;
    std::unique_ptr<ClientSessionHub> m_sessions;
    std::unique_ptr<ClientGridHost> m_grids;
    std::unique_ptr<SearchHubAdapter> m_search;
    std::unique_ptr<EmapHubAdapter> m_emap;
    std::unique_ptr<PanelsHubAdapter> m_panels;
    std::unique_ptr<SiteBookHubAdapter> m_siteBook;
    std::unique_ptr<SkinImageAdapter> m_skins;
    std::unique_ptr<BackupWindowFactory> m_backupWindows;
    // In install order; dropped from the back.
    std::vector<HubInstallGuard> m_guards;
};
