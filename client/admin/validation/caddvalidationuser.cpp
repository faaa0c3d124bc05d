#include "validation/caddvalidationuser.h"

#include "core/validationaccount.h"
#include "core/validationline.h"
#include "validation/caddvalidationuser_emailcc.h"
#include "validation/emailcclist.h"
#include "validation/validationformlayout.h"
#include "validation/validationhub.h"
#include "widgets/messagedlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

CAddValidationUser::CAddValidationUser(ValidationHub& hub, QWidget* parent)
    : CPopupDialog(parent)
    , m_hub(hub)
    , m_userId(new QLineEdit(this))
    , m_password(new QLineEdit(this))
    , m_authority(new QComboBox(this))
    , m_name(new QLineEdit(this))
    , m_email(new QLineEdit(this))
    , m_report(new QCheckBox(QStringLiteral("Report Email"), this))
    , m_emailCc(new QPushButton(QStringLiteral("Email cc"), this))
    , m_description(new QLineEdit(this))
    , m_ok(new QPushButton(QStringLiteral("OK"), this))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Validation User Account"));
    m_password->setEchoMode(QLineEdit::Password);
    m_report->setChecked(true);
    SetAuthorityChoices(0, Authority::None);

    QFormLayout* form = ValidationFormLayout::Frame(this, m_ok, m_cancel);
    form->addRow(QStringLiteral("User Name"), m_userId);
    form->addRow(QStringLiteral("Password"), m_password);
    form->addRow(QStringLiteral("Authority"), m_authority);
    form->addRow(QStringLiteral("Name"), m_name);
    form->addRow(QStringLiteral("Email"), m_email);
    auto* mail = new QHBoxLayout;
    mail->addWidget(m_report);
    mail->addStretch();
    mail->addWidget(m_emailCc);
    form->addRow(QString(), mail);
    form->addRow(QStringLiteral("Description"), m_description);
    connect(m_emailCc, &QPushButton::clicked, this, &CAddValidationUser::onEmailCC);
    connect(m_ok, &QPushButton::clicked, this, &CAddValidationUser::onOKButtonClicked);
    connect(m_cancel, &QPushButton::clicked, this, &CAddValidationUser::onCancelButtonClicked);
    setMinimumWidth(360);
}

void CAddValidationUser::SetAuthorityChoices(int level, Authority current)
{
    m_authority->clear();
    m_authority->addItems(ValidationAuthority::Choices(level));
    earlierAuthority = Authority::None;
    if (current == Authority::None || level <= 0)
        return;
    const int index = ValidationAuthority::ChoiceIndex(level, current);
    if (index >= 0)
        m_authority->setCurrentIndex(index);
    earlierAuthority = current;
}

void CAddValidationUser::SetAccount(const ValidationAccount& account, int level, int lock)
{
    modifyMode = true;
    m_userId->setText(account.user_id);
    m_userId->setEnabled(false);
    m_userId->setReadOnly(lock == 1);
    m_password->setText(account.password);
    m_description->setText(account.description);
    m_name->setText(account.name);
    emailCC = account.email;
    m_email->setText(EmailCcList::MainAddress(account.email));
    m_report->setChecked(account.report_mail == QLatin1String("true"));
    const Authority kind = ValidationAuthority::FromType(account.type, Authority(lock));
    if (level != ValidationAuthority::kViewLevel) {
        m_emailCc->setEnabled(true);
        ValidationFormLayout::ShowButtons(m_ok, m_cancel, false);
        SetAuthorityChoices(level, kind);
        return;
    }
    m_authority->clear();
    const QString text = ValidationAuthority::Text(kind);
    if (!text.isEmpty())
        m_authority->addItem(text);
    for (QWidget* field : std::initializer_list<QWidget*>{m_userId, m_password, m_authority, m_name, m_email,
                                                          m_report, m_emailCc, m_description})
        field->setEnabled(false);
    ValidationFormLayout::ShowButtons(m_ok, m_cancel, true);
}

void CAddValidationUser::onEmailCC()
{
    if (emailCC.isEmpty())
        emailCC = m_email->text();
    if (emailCC.isEmpty()) {
        m_hub.ShowWarning(QStringLiteral("Warning"), QStringLiteral("Empty email address"));
        return;
    }
    CAddValidationUser_emailCC list(this);
    list.SetEmails(emailCC);
    list.setModal(true);
    if (list.exec() == QDialog::Accepted)
        emailCC = list.Result();
}

bool CAddValidationUser::ConfirmAuthorityChange()
{
    MessageDlg box(this, MessageDlg::Question);
    box.SetText(QStringLiteral("Validation"),
                QStringLiteral("The authority has changed.\nDo you want to continue?"));
    box.setModal(true);
    return box.exec() == 1;
}

void CAddValidationUser::onOKButtonClicked()
{
    const QString userId = m_userId->text();
    const QString pass = m_password->text();
    const Authority chosen = ValidationAuthority::FromText(m_authority->currentText());
    if (modifyMode && earlierAuthority != Authority::None && earlierAuthority != chosen
        && !ConfirmAuthorityChange())
        return;
    if (userId.isEmpty()) {
        m_hub.ShowMessage(QStringLiteral("Validation"), QStringLiteral("Input user name"));
        return;
    }
    if (pass.isEmpty()) {
        m_hub.ShowMessage(QStringLiteral("Validation"), QStringLiteral("Input user password"));
        return;
    }
    // The validation line relays both in fields ended by ";", one line each.
    if (!ValidationLine::IsSafeField(userId) || !ValidationLine::IsSafeField(pass)) {
        m_hub.ShowMessage(QStringLiteral("Validation"),
                          QStringLiteral("The user name and the password can not hold \";\" or a line break."));
        return;
    }
    user_id = userId;
    password = pass;
    authority = chosen;
    description = m_description->text();
    name = m_name->text();
    email = EmailCcList::AccountEmail(m_email->text(), emailCC);
    if (emailCC.isEmpty())
        emailCC = m_email->text();
    report_mail = m_report->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    done(QDialog::Accepted);
}

void CAddValidationUser::onCancelButtonClicked()
{
    done(QDialog::Rejected);
}
