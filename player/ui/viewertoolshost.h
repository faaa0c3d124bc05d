#pragma once
// The tools popup's view of the main dialog: the selected tiles, the codec question, the beep
// and the still dialog of a tile.
#include "ui/aviexporthost.h"
#include "ui/toolspopuphost.h"

#include <functional>

class CViewerDlg;

class ViewerToolsHost : public ToolsPopupHost, public AviExportHost
{
public:
    // installerPath: the codec installer the program writes out at start-up.
    ViewerToolsHost(CViewerDlg& dialog, QString installerPath)
        : m_dialog(dialog)
        , m_installer(std::move(installerPath))
    {}

    int LastSelectedTile() const override;
    bool TilePlaysFile(int tile) const override;
    bool AskInstallCodec() override;
    void RevealCodecInstaller() override;
    void SetXvidFlag(bool installed) override { m_xvid = installed; }
    void Beep() override;
    void OpenAviExport(int tile, bool mpeg4Allowed) override;
    void OpenPrintSave(int tile) override;
    // AviExportHost
    QString BackupFolder() const override;
    QString ChooseSavePath(const QString& proposed) override;
    void EnableMainDialog(bool enable) override;
    bool XvidFlag() const override { return m_xvid; }

private:
    CViewerDlg& m_dialog;
    QString m_installer;
    bool m_xvid = false;
};
