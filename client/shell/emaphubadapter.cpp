#include "shell/emaphubadapter.h"

#include "shell/childwindowslots.h"
#include "shell/clientsessionhub.h"
#include "shell/emapcameo.h"
#include "shell/mainwindow.h"

EmapTile* EmapHubAdapter::CreateEmapTile(QWidget* window, QObject* context, std::function<void()> onHidden)
{
    auto* tile = new emapCameo(window);
    if (onHidden)
        QObject::connect(tile, &CCameo::OnHide, context, std::move(onHidden));
    return tile;
}

void EmapHubAdapter::StopEmapTiles(int recorder, int channel)
{
    for (int i = 0; i < MainWindow::kCameoSlots; ++i) {
        auto* tile = qobject_cast<emapCameo*>(m_sessions.GetCameo(i));
        if (!tile || tile->ShownRecorder() != recorder || tile->ShownChannel() != channel)
            continue;
        tile->CloseAllCameo();
        // A tile that shows nothing goes, and its icon forgets its line.
        tile->OnHideEmap();
    }
}

bool EmapHubAdapter::IsEmapViewPopup(int slot) const
{
    return m_window.EmapViewSlots()->IsPopup(slot);
}

void EmapHubAdapter::ToggleEmapPopup(int slot)
{
    m_window.EmapViewSlots()->Toggle(slot);
}

void EmapHubAdapter::DockEmapView(int slot)
{
    m_window.EmapViewSlots()->Dock(slot);
}

void EmapHubAdapter::deleteEmapView(int slot)
{
    ChildWindowSlots* windows = m_window.EmapViewSlots();
    if (windows->Window(slot))
        windows->Release(slot);
}

void EmapHubAdapter::ResetEmapFlag()
{
    m_window.ResetEmapFlag();
}

void EmapHubAdapter::SetupTabBar(bool subWindowView)
{
    m_window.SetupTabBar(subWindowView);
}

SiteBookTreeWidget* EmapHubAdapter::EmapSiteBook() const
{
    return m_window.GetSiteBookTree();
}
