#pragma once
// The wait box's view of the main dialog.
#include "ui/waitboxhost.h"

class CViewerDlg;

class ViewerWaitBoxHost : public WaitBoxHost
{
public:
    explicit ViewerWaitBoxHost(CViewerDlg& dialog)
        : m_dialog(dialog)
    {}

    QRect MainDialogRect() const override;
    void EnableMainDialog(bool enable) override;
    void EnableControlBar(bool enable) override;
    bool ExportRunning() const override;
    QVector<int> SelectedCameos() const override;
    void CancelWaitBox(CancelAction action, int tile) override;

private:
    CViewerDlg& m_dialog;
};
