#include "adminui/caccountinfo.h"
#include "adminui/modalmessages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char* const kSlotNames[AccountSet::kSlots] = {"ADMIN1", "ADMIN2", "USER1", "USER2",
                                                    "USER3",  "USER4",  "USER5", "USER6"};
}

CAccountInfo::CAccountInfo(ModalMessages& messages, QWidget* parent)
    : CPopupDialog(parent)
    , m_messages(messages)
{
    setWindowTitle(tr("Account Information"));
    setStyleSheet(QStringLiteral("QPushButton {min-width : 100px;}"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 30, 10, 10);
    // One row per slot, the boxes, ids and passwords each in a column of their own.
    auto* rows = new QGridLayout;
    layout->addLayout(rows);
    for (int slot = 0; slot < AccountSet::kSlots; ++slot) {
        auto* box = new QCheckBox(QString::fromLatin1(kSlotNames[slot]), this);
        box->setMinimumWidth(70);
        auto* id = new QLineEdit(this);
        id->setPlaceholderText(tr("User ID"));
        id->setEnabled(false);
        auto* password = new QLineEdit(this);
        password->setPlaceholderText(tr("Password"));
        password->setEchoMode(QLineEdit::Password);
        password->setEnabled(false);
        rows->addWidget(box, slot, 0);
        rows->addWidget(id, slot, 1);
        rows->addWidget(password, slot, 2);
        m_boxes[size_t(slot)] = box;
        m_ids[size_t(slot)] = id;
        m_passwords[size_t(slot)] = password;
        connect(box, &QCheckBox::clicked, this, &CAccountInfo::OnCheckAccount);
    }
    m_ok = new QPushButton(tr("OK"), this);
    auto* cancel = new QPushButton(tr("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &CAccountInfo::onOKButtonClicked);
    connect(cancel, &QPushButton::clicked, this, &CAccountInfo::onCancelButtonClicked);
}

void CAccountInfo::OnCheckAccount()
{
    for (int slot = 0; slot < AccountSet::kSlots; ++slot) {
        const bool on = m_boxes[size_t(slot)]->isChecked();
        m_ids[size_t(slot)]->setEnabled(on);
        m_passwords[size_t(slot)]->setEnabled(on);
    }
}

void CAccountInfo::onOKButtonClicked()
{
    AccountSet accounts;
    bool any = false;
    for (int slot = 0; slot < AccountSet::kSlots; ++slot) {
        if (!m_boxes[size_t(slot)]->isChecked())
            continue;
        any = true;
        accounts.ids[size_t(slot)] = m_ids[size_t(slot)]->text();
        accounts.passwords[size_t(slot)] = m_passwords[size_t(slot)]->text();
        if (accounts.ids[size_t(slot)].isEmpty()) {
            m_messages.ShowModalMessage(tr("Account"), tr("Input user id"));
            return;
        }
        if (accounts.passwords[size_t(slot)].isEmpty()) {
            m_messages.ShowModalMessage(tr("Account"), tr("Input user password"));
            return;
        }
    }
    if (!any) {
        m_messages.ShowModalMessage(tr("Account"), tr("No account selected."));
        return;
    }
    m_accounts = accounts;
    done(1);
}

void CAccountInfo::onCancelButtonClicked()
{
    reject();
}
