#include "shell/searchhubadapter.h"

#include "session/recordersession.h"
#include "shell/ccameo.h"
#include "shell/childwindowslots.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"

namespace {

constexpr int kPlaybackGridCells = 16;

CCameo* AsCameo(QWidget* grid)
{
    return qobject_cast<CCameo*>(grid);
}

const CCameo* AsCameo(const QWidget* grid)
{
    return qobject_cast<const CCameo*>(grid);
}

} // namespace

QWidget* SearchHubAdapter::CreatePlaybackGrid(QWidget* owner, int kind, int ownerSlot)
{
    auto* grid = new CCameo(owner);
    grid->setParent(owner);
    grid->SetOwnerSlot(ownerSlot);
    grid->InitCameo(kind, kPlaybackGridCells, -1);
    grid->OnSplitMode(0, kPlaybackGridCells, false);
    grid->OnDrawCameo(-1);
    if (owner && owner->metaObject()->indexOfSlot("OnSelectDate()") >= 0)
        QObject::connect(grid, SIGNAL(OnSelectDate()), owner, SLOT(OnSelectDate()));
    return grid;
}

int SearchHubAdapter::GridCellCount(const QWidget* grid) const
{
    const CCameo* cameo = AsCameo(grid);
    return cameo ? cameo->GetCellCount() : 0;
}

int SearchHubAdapter::GridRecorder(const QWidget* grid) const
{
    const CCameo* cameo = AsCameo(grid);
    return cameo ? cameo->GetPlaybackRecorder() : -1;
}

void SearchHubAdapter::GridShowRecorder(QWidget* grid, int deviceIndex)
{
    CCameo* cameo = AsCameo(grid);
    RecorderSession* device = m_sessions.GetDevice(deviceIndex);
    if (!cameo || !device)
        return;
    // A recorder that is not logged in yet fills the grid when its login completes.
    const int channels = device->GetChannelCount(cameo->GetCameoIndex());
    if (channels > 0) {
        cameo->CloseAllCameo();
        cameo->OnConnectDevice(channels, deviceIndex);
    }
}

void SearchHubAdapter::GridCloseAll(QWidget* grid)
{
    if (CCameo* cameo = AsCameo(grid))
        cameo->CloseAllCameo();
}

void SearchHubAdapter::GridPlaybackControl(QWidget* grid, int code)
{
    if (CCameo* cameo = AsCameo(grid))
        cameo->OnPlaybackCtrl(code);
}

bool SearchHubAdapter::IsSearchViewPopup(int slot) const
{
    return m_window.SearchViewSlots()->IsPopup(slot);
}

bool SearchHubAdapter::IsSearchLocalViewPopup(int slot) const
{
    return m_window.SearchLocalViewSlots()->IsPopup(slot);
}

void SearchHubAdapter::deleteSearchView(int slot)
{
    m_window.SearchViewSlots()->Release(slot);
}

void SearchHubAdapter::deleteSearchLocalView(int slot)
{
    m_window.SearchLocalViewSlots()->Release(slot);
}

void SearchHubAdapter::DockSearchView(int slot)
{
    m_window.SearchViewSlots()->Dock(slot);
}

void SearchHubAdapter::DockSearchLocalView(int slot)
{
    m_window.SearchLocalViewSlots()->Dock(slot);
}

void SearchHubAdapter::SetupTabBar(bool subWindowView)
{
    m_window.SetupTabBar(subWindowView);
}

bool SearchHubAdapter::StartBackupPlayer(const QString& file)
{
    return m_window.StartBackupPlayer(file);
}

SearchTime* SearchHubAdapter::GetSearchTime() const
{
    return m_window.GetSearchTime();
}
