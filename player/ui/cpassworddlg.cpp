#include "ui/cpassworddlg.h"

#include "playback/adminpassword.h"
#include "ui/passwordhost.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

CPasswordDlg::CPasswordDlg(AdminPassword* account, PasswordHost* host, QWidget* parent)
    : QDialog(parent)
    , m_account(account)
    , m_host(host)
    , m_edit(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Enter Password"));
    m_edit->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(this);
    connect(buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), &QPushButton::clicked, this,
            &CPasswordDlg::OnOk);
    connect(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), &QPushButton::clicked,
            this, &QDialog::reject);
    connect(buttons->addButton(QStringLiteral("Change"), QDialogButtonBox::ActionRole), &QPushButton::clicked,
            this, &CPasswordDlg::OnChange);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Password :"), m_edit);
    layout->addRow(buttons);
    m_account->LoadForPrompt();
}

void CPasswordDlg::OnOk()
{
    if (m_account->Matches(m_edit->text())) {
        accept();
    } else {
        m_host->ShowMessage(QStringLiteral("Invaild password"), QStringLiteral("Notify"));
    }
}

void CPasswordDlg::OnChange()
{
    if (m_host->RunChange(m_account)) {
        m_account->LoadForPrompt();
    }
}
