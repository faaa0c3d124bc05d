#include "validation/cwaitdlg.h"

CWaitDlg::CWaitDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    // The size of the main window's "Please wait..." label, whose place it takes.
    setFixedSize(200, 80);
}

CWaitDlg* CWaitDlg::CreateHidden(QWidget* owner)
{
    auto* dialog = new CWaitDlg(owner);
    dialog->hide();
    return dialog;
}
