#include "ui/viewertoolshost.h"
#include "ui/cameocontroller.h"
#include "ui/cviewerdlg.h"
#include "ui/hpcameo.h"
#include "ui/viewerplayers.h"
#include "ui/viewertiles.h"

#include <QApplication>
#include <QDesktopServices>
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

void ViewerToolsHost::OpenAviExport(int, bool)
{
    // pending: CAVIConvert (the popup's AVI button stays grey until the export dialog is built)
}

void ViewerToolsHost::OpenPrintSave(int tile)
{
    if (!m_dialog.Grid()->Controller().PrintAndSaveTile(tile))
        Beep();
}
