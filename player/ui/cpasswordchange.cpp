#include "ui/cpasswordchange.h"

#include "playback/adminpassword.h"
#include "ui/passwordhost.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

CPasswordChange::CPasswordChange(AdminPassword* account, PasswordHost* host, QWidget* parent)
    : QDialog(parent)
    , m_account(account)
    , m_host(host)
    , m_old(new QLineEdit(this))
    , m_new(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Change Password"));
    m_old->setEchoMode(QLineEdit::Password);
    m_new->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(this);
    connect(buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole), &QPushButton::clicked, this,
            &CPasswordChange::OnOk);
    connect(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), &QPushButton::clicked,
            this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Old Password :"), m_old);
    layout->addRow(QStringLiteral("New Password :"), m_new);
    layout->addRow(buttons);
}

void CPasswordChange::OnOk()
{
    bool writeFailed = false;
    if (m_account->Change(m_old->text(), m_new->text(), &writeFailed)) {
        accept();
    } else if (writeFailed) {
        m_host->ShowMessage(QStringLiteral("The account file %1 could not be written.").arg(m_account->Path()),
                            QStringLiteral("Notify"));
    } else {
        m_host->ShowMessage(QStringLiteral("Invaild password"), QStringLiteral("Notify"));
    }
}
