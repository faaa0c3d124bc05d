#include "validation/account.h"

#include "validation/validationhub.h"
#include "validation/validationsession.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

Account::Account(ValidationSession& session, ValidationHub& hub, QWidget* parent)
    : CPopupDialog(parent)
    , m_session(session)
    , m_hub(hub)
{
    setWindowTitle(QStringLiteral("Server Login"));
    setStyleSheet(QStringLiteral("QPushButton {min-width : 100px;}"));
    auto* grid = new QGridLayout;
    m_dbHost = AddRow(grid, 0, QStringLiteral("Database Server"), QStringLiteral("dbHost"));
    m_dbPort = AddRow(grid, 1, QStringLiteral("Database Port"), QStringLiteral("dbPort"));
    m_validationHost = AddRow(grid, 2, QStringLiteral("Validation Server"), QStringLiteral("validationHost"));
    m_validationPort = AddRow(grid, 3, QStringLiteral("Validation Port"), QStringLiteral("validationPort"));
    m_account = AddRow(grid, 4, QStringLiteral("Account"), QStringLiteral("account"));
    m_password = AddRow(grid, 5, QStringLiteral("Password"), QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_save = new QCheckBox(QStringLiteral("Save login information"), this);
    m_further = new QCheckBox(QStringLiteral("Do not report this login"), this);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addWidget(m_save);
    column->addWidget(m_further);
    column->addLayout(buttons);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &Account::onOKButtonClicked);
    connect(cancel, &QPushButton::clicked, this, &Account::onCancelButtonClicked);
    connect(&m_session, &ValidationSession::ProbeAnswered, this, [this](bool connected) {
        if (connected)
            Login();
    });
    connect(&m_session, &ValidationSession::LoggedIn, this, &QWidget::hide);
}

QLineEdit* Account::AddRow(QGridLayout* grid, int row, const QString& label, const QString& name)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    grid->addWidget(new QLabel(label, this), row, 0);
    grid->addWidget(edit, row, 1);
    return edit;
}

namespace {
bool IsPort(const QString& text)
{
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    return ok && port >= 1 && port <= 65535;
}
} // namespace

QString Account::Refusal() const
{
    if (m_validationHost->text().isEmpty())
        return QStringLiteral("Input server address");
    if (m_validationPort->text().isEmpty())
        return QStringLiteral("Input server port");
    if (!IsPort(m_validationPort->text()))
        return QStringLiteral("The server port must be a number from 1 to 65535.");
    if (m_account->text().isEmpty())
        return QStringLiteral("Input account name");
    if (m_account->text() == QLatin1String("root"))
        return QStringLiteral("Root is an account that can not be used.");
    if (m_password->text().isEmpty())
        return QStringLiteral("Input account password");
    if (!m_dbPort->text().isEmpty() && !IsPort(m_dbPort->text()))
        return QStringLiteral("The database port must be a number from 1 to 65535.");
    return QString();
}

void Account::onOKButtonClicked()
{
    const QString refusal = Refusal();
    if (!refusal.isEmpty()) {
        m_hub.ShowMessage(QStringLiteral("Warring"), refusal);
        return;
    }
    const bool save = m_save->isChecked();
    m_hub.SaveServerLogin(save ? m_dbHost->text() : QString(), save ? m_dbPort->text() : QString(),
                          save ? m_validationHost->text() : QString(), save ? m_validationPort->text() : QString(),
                          save ? m_account->text() : QString(), save ? QStringLiteral("1") : QStringLiteral("0"),
                          m_further->isChecked() ? QStringLiteral("0") : QStringLiteral("1"));
    m_session.ConnectDatabaseServer(m_dbHost->text(), m_dbPort->text());
}

void Account::Login()
{
    m_session.Login(m_account->text(), m_password->text(), m_validationHost->text(),
                    m_validationPort->text().trimmed().toInt());
}

void Account::onCancelButtonClicked()
{
    // The form is opened from the Setup menu: leaving it leaves the program running.
    hide();
}

void Account::Fill(const QStringList& kept)
{
    if (kept.size() < 7 || kept.at(5) != QLatin1String("1"))
        return;
    const auto text = [&kept](int field) {
        return kept.at(field) == QLatin1String("none") ? QString() : kept.at(field);
    };
    m_dbHost->setText(text(0));
    m_dbPort->setText(text(1));
    m_validationHost->setText(text(2));
    m_validationPort->setText(text(3));
    m_account->setText(text(4));
    m_save->setChecked(true);
    m_further->setChecked(kept.at(6) == QLatin1String("0"));
}
