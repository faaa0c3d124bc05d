#include "validation/caddgroupdialog.h"

#include "validation/validationhub.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CAddGroupDialog::CAddGroupDialog(ValidationHub& hub, QWidget* parent)
    : CPopupDialog(parent)
    , m_hub(hub)
    , m_name(new QLineEdit(this))
    , m_description(new QLineEdit(this))
    , m_ok(new QPushButton(QStringLiteral("OK"), this))
    , m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Validation User Group"));
    setStyleSheet(QStringLiteral("QPushButton {min-width : 100px;}"));
    m_name->setObjectName(QStringLiteral("groupName"));
    m_description->setObjectName(QStringLiteral("description"));
    m_ok->setObjectName(QStringLiteral("okButton"));
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    form->addRow(QStringLiteral("Group Name"), m_name);
    form->addRow(QStringLiteral("Description"), m_description);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addLayout(buttons);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &CAddGroupDialog::onOKButtonClicked);
    connect(m_cancel, &QPushButton::clicked, this, &CAddGroupDialog::onCancelButtonClicked);
}

void CAddGroupDialog::SetGroup(bool readOnly)
{
    m_name->setText(name);
    m_description->setText(description);
    m_name->setEnabled(!readOnly);
    m_description->setEnabled(!readOnly);
    m_ok->setVisible(!readOnly);
    m_cancel->setText(readOnly ? QStringLiteral("Close") : QStringLiteral("Cancel"));
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
