#include "shell/clientapp.h"

#include "backup/backupwindowfactory.h"
#include "backup/convertsource.h"
#include "search/searchmuseum.h"
#include "search/searchthumnail.h"
#include "search/searchtime.h"
#include "session/museumsearchpopup.h"
#include "session/quicksearchpopup.h"
#include "session/thumbnailsearchpopup.h"
#include "shell/clientgridhost.h"
#include "shell/clientsessionhub.h"
#include "shell/emaphubadapter.h"
#include "shell/gridconvertsource.h"
#include "shell/mainwindow.h"
#include "shell/messageboxstate.h"
#include "shell/panelshubadapter.h"
#include "shell/searchhubadapter.h"
#include "shell/sitebookhubadapter.h"
#include "shell/skinimageadapter.h"

namespace {

void InstallMainWindow(MainWindow* window)
{
    g_pMainWindow = window;
}

MainWindow* InstalledMainWindow()
{
    return g_pMainWindow;
}

} // namespace

ClientApp::ClientApp()
    : ClientApp(std::make_unique<MainWindow>(), nullptr)
{}

ClientApp::ClientApp(MainWindow& window)
    : m_window(window)
{
    Install();
}

ClientApp::ClientApp(std::unique_ptr<MainWindow> owned, std::nullptr_t)
    : m_owned(std::move(owned))
    , m_window(*m_owned)
{
    Install();
}

void ClientApp::Install()
{
    m_sessions = std::make_unique<ClientSessionHub>(m_window);
    m_grids = std::make_unique<ClientGridHost>(*m_sessions, m_window);
    m_search = std::make_unique<SearchHubAdapter>(m_window, *m_sessions);
    m_emap = std::make_unique<EmapHubAdapter>(m_window, *m_sessions);
    m_panels = std::make_unique<PanelsHubAdapter>(m_window, *m_sessions);
    m_siteBook = std::make_unique<SiteBookHubAdapter>(m_window);
    m_skins = std::make_unique<SkinImageAdapter>(*m_sessions);
    m_backupWindows = std::make_unique<BackupWindowFactory>();

    // Everything the window starts from here on, the sessions of its site book included, may
    // use every interface at once.
    m_window.AttachSessions(m_sessions.get());
    m_guards.emplace_back([this] { m_window.AttachSessions(nullptr); });
    m_guards.push_back(HubInstallGuard::For<MainWindow>(&m_window, &InstallMainWindow, &InstalledMainWindow));
    m_guards.push_back(
        HubInstallGuard::For<SessionHub>(m_sessions.get(), &SessionHub::Install, &SessionHub::Instance));
    m_guards.push_back(
        HubInstallGuard::For<SiteBookHub>(m_siteBook.get(), &SiteBookHub::Install, &SiteBookHub::Instance));
    m_guards.push_back(HubInstallGuard::For<SearchHub>(m_search.get(), &SearchHub::Install, &SearchHub::Instance));
    m_guards.push_back(HubInstallGuard::For<MessageBoxHub>(&m_window.Messages(), &MessageBoxHub::Install,
                                                           &MessageBoxHub::Instance));
    m_guards.push_back(HubInstallGuard::For<BackupHostFactory>(m_backupWindows.get(), &BackupHostFactory::Install,
                                                               &BackupHostFactory::Instance));
    m_guards.push_back(HubInstallGuard::For<EmapHub>(m_emap.get(), &EmapHub::Install, &EmapHub::Instance));
    m_guards.push_back(HubInstallGuard::For<PanelsHub>(m_panels.get(), &PanelsHub::Install, &PanelsHub::Instance));
    m_guards.push_back(
        HubInstallGuard::For<SkinImageHub>(m_skins.get(), &SkinImageHub::Install, &SkinImageHub::Instance));
    m_guards.push_back(HubInstallGuard::For<GridHost>(m_grids.get(), &GridHost::Install, &GridHost::Instance));
    // Convert windows read their recordings through a hidden local-file grid.
    ConvertSource::InstallFactory([](QWidget* owner) { return std::make_unique<GridConvertSource>(owner); });
    m_guards.emplace_back([] { ConvertSource::InstallFactory(nullptr); });
    m_guards.push_back(HubInstallGuard::For<MuseumSearchPopup>(
        m_window.GetSearchMuseum(), &MuseumSearchPopup::Install, &MuseumSearchPopup::Instance));
    m_guards.push_back(HubInstallGuard::For<ThumbnailSearchPopup>(
        m_window.GetSearchThumbnail(), &ThumbnailSearchPopup::Install, &ThumbnailSearchPopup::Instance));
    m_guards.push_back(HubInstallGuard::For<QuickSearchPopup>(m_window.GetSearchTime(), &QuickSearchPopup::Install,
                                                              &QuickSearchPopup::Instance));

    m_window.Start();
}

ClientApp::~ClientApp()
{
    // The window's children and sessions report to the interfaces while they go.
    m_window.Shutdown();
    while (!m_guards.empty())
        m_guards.pop_back();
}
