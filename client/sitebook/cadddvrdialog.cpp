#include "sitebook/cadddvrdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "session/sitebook.h"
#include "sitebook/cadddvrpermission.h"
#include "sitebook/recorderfieldrules.h"
#include "widgets/messagedlg.h"

namespace {

constexpr int kLabelWidth = 70;

// Digits only, a few more than a port has: a number out of range stays in the edit as typed and
// is refused with a message at OK, rather than losing a digit silently while it is typed.
constexpr int kPortDigits = 6;

QLabel* NewSeparator(QWidget* parent)
{
    auto* line = new QLabel(parent);
    line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    return line;
}

} // namespace

CAddDvrDialog::CAddDvrDialog(QWidget* parent)
    : CPopupDialog(parent)
{
    setWindowTitle(QStringLiteral("SiteBook"));
    setStyleSheet(QStringLiteral("QPushButton {min-width : 100px;}"));

    auto* column = new QVBoxLayout(this);
    const auto addRow = [this, column](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setMinimumWidth(kLabelWidth);
        auto* row = new QHBoxLayout;
        row->addWidget(label);
        row->addWidget(field);
        column->addLayout(row);
    };
    const auto newEdit = [this](const char* objectName) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(objectName));
        return edit;
    };

    m_pName = newEdit("nameEdit");
    m_pAddr = newEdit("addrEdit");
    m_pPort = newEdit("portEdit");
    m_pPort->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(kPortDigits)), m_pPort));
    m_pId = newEdit("idEdit");
    m_pPassword = newEdit("passwordEdit");
    m_pPassword->setEchoMode(QLineEdit::Password);
    addRow(QStringLiteral("DVR Name"), m_pName);
    addRow(QStringLiteral("Address"), m_pAddr);
    addRow(QStringLiteral("Port"), m_pPort);
    addRow(QStringLiteral("ID"), m_pId);
    addRow(QStringLiteral("Password"), m_pPassword);

    m_pSsl = new QCheckBox(QStringLiteral("Use Secure Connection (SSL)"), this);
    m_pSsl->setObjectName(QStringLiteral("sslCheck"));
    column->addWidget(m_pSsl);

    m_pQuality = new QComboBox(this);
    m_pQuality->setObjectName(QStringLiteral("qualityCombo"));
    m_pQuality->setMinimumWidth(kLabelWidth);
    m_pQuality->addItem(QStringLiteral("Normal"));
    m_pQuality->addItem(QStringLiteral("Low"));
    m_pQuality->setCurrentIndex(0);
    addRow(QStringLiteral("Net-Bandwidth"), m_pQuality);

    column->addWidget(NewSeparator(this));
    m_pPermission = new QPushButton(QStringLiteral("Permission"), this);
    m_pPermission->setObjectName(QStringLiteral("permissionButton"));
    m_pPermission->hide();
    column->addWidget(m_pPermission);
    m_pPermissionLine = NewSeparator(this);
    m_pPermissionLine->hide();
    column->addWidget(m_pPermissionLine);

    m_pOk = new QPushButton(QStringLiteral("OK"), this);
    m_pOk->setObjectName(QStringLiteral("okButton"));
    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pCancel->setObjectName(QStringLiteral("cancelButton"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pOk);
    buttons->addWidget(m_pCancel);
    column->addLayout(buttons);

    // Enter in any field submits, as in the folder dialog.
    m_pOk->setDefault(true);
    connect(m_pOk, &QPushButton::clicked, this, &CAddDvrDialog::onOKButtonClicked);
    connect(m_pCancel, &QPushButton::clicked, this, &CAddDvrDialog::onCancelButtonClicked);
    connect(m_pPermission, &QPushButton::clicked, this, &CAddDvrDialog::onShowPermission);
}

void CAddDvrDialog::SetFieldsReadOnly(bool readOnly)
{
    for (QLineEdit* edit : {m_pName, m_pAddr, m_pPort, m_pId, m_pPassword})
        edit->setReadOnly(readOnly);
}

void CAddDvrDialog::SetSslLocked(bool lockedBox)
{
    m_pSsl->setAttribute(Qt::WA_TransparentForMouseEvents, lockedBox);
    m_pSsl->setFocusPolicy(lockedBox ? Qt::NoFocus : Qt::StrongFocus);
}

void CAddDvrDialog::setSiteBook(SiteBook* record)
{
    if (!record)
        return;
    if (record->name.startsWith(QLatin1Char('@'))) {
        SetFieldsReadOnly(true);
        record->name.remove(0, 1);
        locked = 1;
        SetSslLocked(true);
    } else {
        SetFieldsReadOnly(false);
        locked = 0;
    }

    originalName = record->name;
    m_pName->setText(record->name);
    m_pAddr->setText(record->addr);
    m_pPort->setText(record->port);
    m_pId->setText(record->id);
    m_pPassword->setText(record->password);
    m_pSsl->setChecked(record->use_ssl != 0);

    permissionLive = record->permissionLive;
    permissionSearch = record->permissionSearch;
    permissionPtz = record->permissionPtz;
    permissionBackup = record->permissionBackup;
    permissionConfig = record->permissionConfig ? 1 : 0;

    m_pQuality->setCurrentIndex(record->quality == 2 ? 1 : 0);
}

void CAddDvrDialog::setEditable(bool flag)
{
    editableSet = 1;
    if (flag) {
        for (QLineEdit* edit : {m_pName, m_pAddr, m_pPort, m_pId, m_pPassword}) {
            edit->setEnabled(true);
            edit->setReadOnly(false);
        }
        m_pPermission->setEnabled(true);
        m_pOk->show();
        m_pCancel->setText(QStringLiteral("Cancel"));
    } else {
        SetFieldsReadOnly(true);
        m_pPermission->setEnabled(false);
        SetSslLocked(true);
    }
    m_pPermission->show();
    m_pPermissionLine->show();
}

void CAddDvrDialog::onShowPermission()
{
    CAddDvrPermission dialog(this);
    dialog.SetPermission(permissionLive, permissionPtz, permissionSearch, permissionBackup, permissionConfig);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    permissionLive = dialog.live;
    permissionSearch = dialog.search;
    permissionPtz = dialog.ptz;
    permissionBackup = dialog.backup;
    permissionConfig = dialog.config;
}

void CAddDvrDialog::Refuse(const QString& text, QLineEdit* field)
{
    MessageDlg box(this, MessageDlg::Fixed);
    box.SetText(QStringLiteral("SiteBook"), text);
    box.exec();
    if (field && !field->isReadOnly()) {
        field->setFocus();
        field->selectAll();
    }
}

void CAddDvrDialog::onOKButtonClicked()
{
    // Leading and trailing blanks are no part of a name or an address.
    const QString plainName = m_pName->text().trimmed();
    name = locked ? QStringLiteral("@") : QString();
    name += plainName;
    addr = m_pAddr->text().trimmed();
    port = m_pPort->text();
    id = m_pId->text();
    password = m_pPassword->text();
    use_ssl = m_pSsl->isChecked() ? 1 : 0;

    const struct
    {
        const QString& value;
        const char* text;
        QLineEdit* edit;
    } required[] = {
        {plainName, "Input dvr name", m_pName},
        {addr, "Input dvr Address", m_pAddr},
        {port, "Input dvr port", m_pPort},
        {id, "Input user id", m_pId},
        {password, "Input user password", m_pPassword},
    };
    for (const auto& field : required) {
        if (field.value.isEmpty()) {
            Refuse(QLatin1String(field.text), field.edit);
            return;
        }
    }
    if (!RecorderFieldRules::IsHostAddress(addr)) {
        Refuse(RecorderFieldRules::AddressRefusal(), m_pAddr);
        return;
    }
    const int portNumber = RecorderFieldRules::PortNumber(port);
    if (portNumber == 0) {
        Refuse(RecorderFieldRules::PortRefusal(), m_pPort);
        return;
    }
    port = QString::number(portNumber);
    if (plainName != originalName && m_nameTaken && m_nameTaken(plainName)) {
        Refuse(QStringLiteral("A recorder named \"%1\" is already in the site book.").arg(plainName), m_pName);
        return;
    }

    quality = m_pQuality->currentIndex() + 1;
    done(1);
}

void CAddDvrDialog::onCancelButtonClicked()
{
    done(0);
}
