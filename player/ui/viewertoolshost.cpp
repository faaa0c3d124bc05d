#include "ui/viewertoolshost.h"
#include "ui/cameocontroller.h"
#include "ui/caviconvert.h"
#include "ui/cviewerdlg.h"
#include "ui/hpcameo.h"
#include "ui/viewerplayers.h"
#include "ui/viewertiles.h"

#include "playback/cclientsetup.h"
#include "playback/searchview.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

int ViewerToolsHost::LastSelectedTile() const
{
    const QVector<int> selected = m_dialog.Tiles().SelectedCameos();
    return selected.isEmpty() ? -1 : selected.last();
}

bool ViewerToolsHost::TilePlaysFile(int tile) const
{
    return m_dialog.Players().IsOpen(tile);
}

bool ViewerToolsHost::AskInstallCodec()
{
    return QMessageBox::question(&m_dialog, QStringLiteral("Orvane"),
                                 QStringLiteral("Do you want to install the video codec?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

void ViewerToolsHost::RevealCodecInstaller()
{
    // The file manager opens the installer's folder; selecting the file itself is not offered.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(m_installer).absolutePath()));
}

void ViewerToolsHost::Beep()
{
    QApplication::beep();
}

void ViewerToolsHost::OpenAviExport(int tile, bool mpeg4Allowed)
{
    CSearchView* player = m_dialog.Players().Player(tile);
    if (!player || !player->IsOpened()) {
        Beep();
        return;
    }
    // The 36-byte index layout cannot be exported; the player's own recordings are, entry by entry.
    if (player->IndexBased() && !player->Layout512()) {
        QMessageBox::information(&m_dialog, QStringLiteral("Orvane"), QStringLiteral("Not supported H.264"));
        return;
    }
    // The export reads the recording on its own: the tile stops playing meanwhile, and so does
    // every other tile that plays a recording.
    if (player->IsRunning())
        player->Pause();
    for (int other = 0; other < CSearchView::kTiles; ++other) {
        CSearchView* playing = m_dialog.Players().Player(other);
        if (playing && playing != player && playing->IsRunning() && playing->State() != PlayState::NoData)
            m_dialog.Players().StopPlayback(other);
    }
    if (!m_dialog.AviExport()->OpenForTile(player, mpeg4Allowed))
        Beep();
}

QString ViewerToolsHost::BackupFolder() const
{
    CClientSetup setup;
    setup.Init(m_dialog.Environment().programFolder);
    return setup.GetBackupFolder();
}

QString ViewerToolsHost::ChooseSavePath(const QString& proposed)
{
    if (m_dialog.Environment().chooseSavePath)
        return m_dialog.Environment().chooseSavePath(proposed);
    return QFileDialog::getSaveFileName(&m_dialog, QStringLiteral("Save AVI"), proposed,
                                        QStringLiteral("AVI Files(*.avi);;All Files(*.*)"));
}

void ViewerToolsHost::EnableMainDialog(bool enable)
{
    m_dialog.EnableMainDialog(enable);
}

void ViewerToolsHost::OpenPrintSave(int tile)
{
    if (!m_dialog.Grid()->Controller().PrintAndSaveTile(tile))
        Beep();
}
