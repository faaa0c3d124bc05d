#include "adminui/cemailsetup.h"
#include "adminui/mailhub.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLabel* RowLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setMinimumWidth(100);
    return label;
}
} // namespace

CEmailSetup::CEmailSetup(MailHub& hub, QWidget* parent)
    : CPopupDialog(parent)
    , m_hub(hub)
{
    setWindowTitle(tr("Email Setup"));
    const SmtpSettings settings = hub.GetSmtpSettings();

    m_server = new QLineEdit(settings.server, this);
    m_port = new QLineEdit(settings.port, this);
    m_port->setValidator(new QIntValidator(0, 999999, m_port));
    m_ssl = new QCheckBox(tr("SSL"), this);
    m_ssl->setChecked(settings.secure);
    m_auth = new QCheckBox(tr("User Auth"), this);
    m_auth->setChecked(settings.authentication);
    m_user = new QLineEdit(settings.user, this);
    m_password = new QLineEdit(settings.password, this);
    m_password->setEchoMode(QLineEdit::Password);
    m_ok = new QPushButton(tr("OK"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    m_error = new QLabel(this);
    m_error->setWordWrap(true);
    m_error->hide();

    auto* grid = new QGridLayout;
    grid->addWidget(RowLabel(tr("SMTP Server :"), this), 0, 0);
    grid->addWidget(m_server, 0, 1, 1, 2);
    grid->addWidget(RowLabel(tr("Port :"), this), 1, 0);
    grid->addWidget(m_port, 1, 1);
    grid->addWidget(m_ssl, 1, 2);
    grid->addWidget(m_auth, 2, 0, 1, 3);
    grid->addWidget(RowLabel(tr("User name :"), this), 3, 0);
    grid->addWidget(m_user, 3, 1, 1, 2);
    grid->addWidget(RowLabel(tr("Password :"), this), 4, 0);
    grid->addWidget(m_password, 4, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    // Room for the title bar the pop-up base paints.
    layout->setContentsMargins(10, 30, 10, 10);
    layout->addLayout(grid);
    layout->addWidget(m_error);
    layout->addLayout(buttons);

    connect(m_auth, &QCheckBox::clicked, this, &CEmailSetup::onClickAuth);
    connect(m_ok, &QPushButton::clicked, this, &CEmailSetup::onOKButtonClicked);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    onClickAuth();
}

void CEmailSetup::onClickAuth()
{
    const bool on = m_auth->isChecked();
    m_user->setEnabled(on);
    m_password->setEnabled(on);
}

void CEmailSetup::onOKButtonClicked()
{
    // Settings that name no server or no usable port would only fail at the next send.
    bool portOk = false;
    const int port = m_port->text().trimmed().toInt(&portOk);
    const QString refusal = m_server->text().trimmed().isEmpty()  ? tr("Enter the SMTP server.")
                            : !portOk || port < 1 || port > 65535 ? tr("Enter a port from 1 to 65535.")
                                                                  : QString();
    if (!refusal.isEmpty()) {
        m_error->setText(refusal);
        m_error->show();
        return;
    }
    SmtpSettings settings = m_hub.GetSmtpSettings();
    settings.server = m_server->text();
    settings.port = m_port->text();
    settings.secure = m_ssl->isChecked();
    settings.authentication = m_auth->isChecked();
    settings.user = m_user->text();
    settings.password = m_password->text();
    settings.sender = SmtpSettings::SenderFor(settings.user, settings.server, settings.sender);
    QString error;
    if (!SmtpSettingsFile::Write(m_hub.ProgramDirectory() + QStringLiteral("/smtp.dat"), settings, &error)) {
        m_error->setText(tr("The settings could not be saved (%1).").arg(error));
        m_error->show();
        return;
    }
    m_hub.SetSmtpSettings(settings);
    accept();
}
