#include "shell/clientgridhost.h"

#include <QStatusBar>

#include "panels/cptzctrl.h"
#include "panels/cucccontrol.h"
#include "shell/cadjust.h"
#include "shell/childwindowslots.h"
#include "shell/clientsessionhub.h"
#include "shell/mainwindow.h"
#include "sitebook/sitebooktreewidget.h"

ClientGridHost::ClientGridHost(ClientSessionHub& sessions, MainWindow& window)
    : m_sessions(sessions)
    , m_window(window)
{}

int ClientGridHost::GetFreeCameoIndex() const
{
    return m_sessions.GetFreeCameoIndex();
}
bool ClientGridHost::AddCameo(int index, CCameo* cameo)
{
    return m_sessions.AddCameo(index, cameo);
}
bool ClientGridHost::RemoveCameo(int index)
{
    return m_sessions.RemoveCameo(index);
}

RecorderSession* ClientGridHost::GetDevice(int index) const
{
    return m_sessions.GetDevice(index);
}
int ClientGridHost::FindDeviceByName(const QString& name) const
{
    return m_sessions.FindDeviceByName(name);
}
void ClientGridHost::ClearDeviceCells(int deviceIndex, int channel, int kind)
{
    m_sessions.ClearDeviceCells(deviceIndex, channel, kind);
}
void ClientGridHost::StopAllAudio()
{
    m_sessions.StopAllAudio();
}

void ClientGridHost::ShowMessageBox(const QString& title, const QString& text, const QString& option)
{
    m_window.ShowMessageBox(title, text, option);
}

void ClientGridHost::ShowNotice(const QString& text)
{
    constexpr int kNoticeMs = 15000;
    QStatusBar* status = m_window.statusBar();
    status->show();
    status->showMessage(text, kNoticeMs);
}
QString ClientGridHost::ProgramDirectory() const
{
    return m_window.ProgramDirectory();
}

void ClientGridHost::SetActiveCameoIndex(int index)
{
    m_sessions.SetActiveCameoIndex(index);
}
void ClientGridHost::SetFavoriteCameoIndex(int index)
{
    m_sessions.SetFavoriteCameoIndex(index);
}

void ClientGridHost::ShowAdjustValues(int brightness, int contrast, int frameRate)
{
    if (CAdjust* adjust = m_window.GetAdjustPanel())
        adjust->SetValues(brightness, contrast, frameRate);
}

void ClientGridHost::ShowCameraControl(int deviceIndex, int channel, int cameoIndex)
{
    cUccControl* control = m_window.GetUccControl();
    if (!control)
        return;
    control->SetCamera(deviceIndex, channel, cameoIndex);
    control->show();
    control->raise();
}

void ClientGridHost::SetPtzCameo(int deviceIndex, int channel)
{
    if (CPTZCtrl* ptz = m_window.GetPtzCtrl())
        ptz->SetActiveCameo(deviceIndex, channel);
}

void ClientGridHost::AddGridFavorite(const QString& kind, int split, int first, const QString& names,
                                     const QString& channels)
{
    if (SiteBookTreeWidget* book = m_window.GetSiteBookTree())
        book->addFavorite(kind, split, first, names, channels);
}

OsdFlags ClientGridHost::GetOsdFlags() const
{
    return m_window.Settings().GetOsdFlags();
}
void ClientGridHost::SetOsdFlag(OsdFlag flag, quint8 value)
{
    m_window.Settings().SetOsdFlag(flag, value);
}

bool ClientGridHost::IsCtrlHeld() const
{
    return m_window.IsCtrlHeld();
}
bool ClientGridHost::IsShiftHeld() const
{
    return m_window.IsShiftHeld();
}

bool ClientGridHost::IsGridOwnerPopup(CameoKind kind, int slot) const
{
    switch (kind) {
    case CameoKind::Live: return m_window.LiveViewSlots()->IsPopup(slot);
    case CameoKind::Playback: return m_window.SearchViewSlots()->IsPopup(slot);
    case CameoKind::Local: return m_window.SearchLocalViewSlots()->IsPopup(slot);
    }
    return false;
}

void ClientGridHost::ToggleGridOwnerPopup(CameoKind kind, int slot)
{
    switch (kind) {
    case CameoKind::Live: m_window.LiveViewSlots()->Toggle(slot); break;
    case CameoKind::Playback: m_window.SearchViewSlots()->Toggle(slot); break;
    case CameoKind::Local: m_window.SearchLocalViewSlots()->Toggle(slot); break;
    }
}
