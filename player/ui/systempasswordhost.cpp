#include "ui/systempasswordhost.h"

#include "ui/cpasswordchange.h"

#include <QMessageBox>

SystemPasswordHost::SystemPasswordHost(QWidget* parent)
    : m_parent(parent)
{}

void SystemPasswordHost::ShowMessage(const QString& text, const QString& caption)
{
    QMessageBox::information(m_parent, caption, text, QMessageBox::Ok);
}

bool SystemPasswordHost::RunChange(AdminPassword* account)
{
    CPasswordChange dialog(account, this, m_parent);
    return dialog.exec() == QDialog::Accepted;
}
