#include "validation/caddgroupdialog.h"

#include "validation/validationformlayout.h"
#include "validation/validationhub.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

CAddGroupDialog::CAddGroupDialog(ValidationHub& hub, QWidget* parent)
    : CPopupDialog(parent)
    , m_hub(hub)
    , m_name(new QLineEdit(this))
    , m_description(new QLineEdit(this))
    , m_ok(new QPushButton(QStringLiteral("OK"), this))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Validation User Group"));
    m_name->setObjectName(QStringLiteral("groupName"));
    m_description->setObjectName(QStringLiteral("description"));
    m_ok->setObjectName(QStringLiteral("okButton"));
    QFormLayout* form = ValidationFormLayout::Frame(this, m_ok, m_cancel);
    form->addRow(QStringLiteral("Group Name"), m_name);
    form->addRow(QStringLiteral("Description"), m_description);
    connect(m_ok, &QPushButton::clicked, this, &CAddGroupDialog::onOKButtonClicked);
    connect(m_cancel, &QPushButton::clicked, this, &CAddGroupDialog::onCancelButtonClicked);
}

void CAddGroupDialog::SetGroup(bool readOnly)
{
    m_name->setText(name);
    m_description->setText(description);
    m_name->setEnabled(!readOnly);
    m_description->setEnabled(!readOnly);
    ValidationFormLayout::ShowButtons(m_ok, m_cancel, readOnly);
}

void CAddGroupDialog::onOKButtonClicked()
{
    if (m_name->text().isEmpty()) {
        m_hub.ShowWarning(QStringLiteral("Warning"), QStringLiteral("Input group name"));
        return;
    }
    name = m_name->text();
    description = m_description->text();
    done(QDialog::Accepted);
}

void CAddGroupDialog::onCancelButtonClicked()
{
    done(QDialog::Rejected);
}
