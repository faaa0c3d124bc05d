#include "ui/viewercameohost.h"
#include "ui/cdlgadjust.h"
#include "ui/cliveprintmodule.h"
#include "ui/cosdsetupdlg.h"
#include "ui/cpassworddlg.h"
#include "ui/csearchtime.h"
#include "ui/cviewerdlg.h"
#include "ui/liveosdsetuphost.h"
#include "ui/searchviewcameoplayer.h"
#include "ui/systempasswordhost.h"
#include "ui/systemstilldialoghost.h"
#include "ui/uilog.h"
#include "ui/viewerplayers.h"

#include "engine/hplivecontrol.h"
#include "engine/qtaudiosink.h"
#include "playback/adminpassword.h"
#include "playback/searchview.h"

#include <QAudioDeviceInfo>
#include <QDir>
#include <QMessageBox>

ViewerCameoHost::ViewerCameoHost(CViewerDlg& dialog)
    : m_dialog(dialog)
    , m_stills(std::make_unique<SystemStillDialogHost>(
          [&dialog](const QString& key) { return dialog.Language().GetText(key); }, &dialog))
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

void ViewerCameoHost::ShowAdjustValues(int frameRate, int brightness, int contrast, int filter)
{
    if (CDlgAdjust* panel = m_dialog.AdjustPanel())
        panel->SetValues(frameRate, brightness, contrast, filter);
}

void ViewerCameoHost::OpenOsdSetup()
{
    if (!m_engine)
        return;
    LiveOsdSetupHost host(
        m_engine, [this](const QString& key) { return Text(key); }, &m_dialog);
    COSDSetupDlg setup(&host, &m_dialog);
    setup.exec();
}

void ViewerCameoHost::OpenStillDialog(const StillRecord& still)
{
    CLivePrintModule print(still, m_stills.get(), &m_dialog);
    print.exec();
}

void ViewerCameoHost::OpenPasswordDialog()
{
    AdminPassword account(m_dialog.AccountFile());
    SystemPasswordHost host(&m_dialog);
    CPasswordDlg prompt(&account, &host, &m_dialog);
    prompt.exec();
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
    return !QtAudioSink::OutputDevice().isNull();
}

void ViewerCameoHost::ShowMessage(const QString& textKey, const QString& captionKey)
{
    QMessageBox::information(&m_dialog, Text(captionKey), Text(textKey));
}

void ViewerCameoHost::ShowOpenFailure(const QString& path, const QString& reason)
{
    // Whatever the reader found wrong, to the user the file cannot be played: the program's
    // own text with the file's name. The box does not wait (a hand-over or a drop goes on).
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Orvane"),
                                QString::fromLatin1(CSearchView::kCorruptText) + QStringLiteral("\n\n")
                                    + QDir::toNativeSeparators(path),
                                QMessageBox::Ok, &m_dialog);
    box->setObjectName(QStringLiteral("openFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    qCDebug(lcPlayerUi) << "cannot play" << path << reason;
    box->open();
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
    text.speedStep = view->FastSpeed() - 1; // "x1".."x5" beside the fast play marks
    return text;
}

bool ViewerCameoHost::IsDirectDraw() const
{
    return m_engine && m_engine->IsDirectDraw() != 0;
}
