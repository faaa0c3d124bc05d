#include "ui/viewerwaitboxhost.h"
#include "ui/caviconvert.h"
#include "ui/csearchcontrol.h"
#include "ui/cviewerdlg.h"

QRect ViewerWaitBoxHost::MainDialogRect() const
{
    return m_dialog.frameGeometry();
}

void ViewerWaitBoxHost::EnableMainDialog(bool enable)
{
    m_dialog.EnableMainDialog(enable);
}

void ViewerWaitBoxHost::EnableControlBar(bool enable)
{
    m_dialog.ControlBar()->setEnabled(enable);
}

QVector<int> ViewerWaitBoxHost::SelectedCameos() const
{
    return m_dialog.SelectedCameos();
}

void ViewerWaitBoxHost::CancelWaitBox(CancelAction action, int tile)
{
    m_dialog.CancelWaitBox(action, tile);
}

bool ViewerWaitBoxHost::ExportRunning() const
{
    return m_dialog.AviExport() && m_dialog.AviExport()->IsRunning();
}
