#include "ui/viewercameohost.h"
#include "ui/csearchtime.h"
#include "ui/cviewerdlg.h"
#include "ui/searchviewcameoplayer.h"
#include "ui/viewerplayers.h"

#include "playback/searchview.h"

#include <QAudioDeviceInfo>
#include <QMessageBox>

ViewerCameoHost::ViewerCameoHost(CViewerDlg& dialog)
    : m_dialog(dialog)
{}

ViewerCameoHost::~ViewerCameoHost() = default;

void ViewerCameoHost::AttachPlayers(ViewerPlayers* players)
{
    m_players = players;
    for (int t = 0; t < 16; ++t)
        m_cameoPlayers[t] = std::make_unique<SearchViewCameoPlayer>(*players->Player(t));
}

CameoPlayer* ViewerCameoHost::Player(int tile)
{
    return tile >= 0 && tile < 16 ? m_cameoPlayers[tile].get() : nullptr;
}

void ViewerCameoHost::SetTilePlaying(int tile, bool playing)
{
    m_dialog.SetPlayFlag(tile, playing);
}

bool ViewerCameoHost::IsTilePlaying(int tile) const
{
    return m_dialog.PlayFlag(tile);
}

void ViewerCameoHost::SetPlaybackTile(int tile)
{
    m_dialog.SetPlayFlag(tile, true);
}

void ViewerCameoHost::SetAudioButton(bool)
{
    // The Live Audio button stays hidden in this dialog; its check state has nowhere to show.
}

void ViewerCameoHost::ShowAdjustValues(int, int, int, int)
{
    // pending: CDlgAdjust
}

void ViewerCameoHost::FollowTimeBar(int tile)
{
    m_dialog.TimeBar()->SetCurrentTile(tile);
}

void ViewerCameoHost::OnAudioOn()
{
    m_dialog.OnAudioOn();
}

void ViewerCameoHost::OnAudioOff()
{
    m_dialog.OnAudioOff();
}

bool ViewerCameoHost::HasAudioDevice() const
{
    return !QAudioDeviceInfo::defaultOutputDevice().isNull();
}

void ViewerCameoHost::ShowMessage(const QString& textKey, const QString& captionKey)
{
    QMessageBox::information(&m_dialog, Text(captionKey), Text(textKey));
}

QString ViewerCameoHost::Text(const QString& key) const
{
    return m_dialog.Language().GetText(key);
}

QString ViewerCameoHost::ProgramDirectory() const
{
    return m_dialog.ProgramFolder();
}

void ViewerCameoHost::SetCurrentTile(int tile)
{
    QMetaObject::invokeMethod(
        &m_dialog, [this, tile] { m_dialog.SetCurrentTile(tile); }, Qt::QueuedConnection);
}

bool ViewerCameoHost::ShowCurrentFrame(int tile)
{
    CSearchView* view = m_players ? m_players->Player(tile) : nullptr;
    if (!view || !view->IsOpened())
        return false;
    view->ShowCurrentFrame();
    return true;
}

std::optional<OsdPlayerText> ViewerCameoHost::PlayerText(int tile) const
{
    CSearchView* view = m_players ? m_players->Player(tile) : nullptr;
    if (!view || !view->IsOpened())
        return std::nullopt;
    OsdPlayerText text;
    text.recorderName = view->RecorderName();
    text.cameraText = view->CameraTitle();
    text.dataPath = view->DataPath();
    text.audio = view->AudioOn();
    return text;
}
