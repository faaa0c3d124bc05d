#pragma once
// "Account Information": up to eight client accounts (ADMIN1, ADMIN2, USER1..USER6), each switched
// on by its check box, with a user id and a password. OK refuses a checked row without an id or a
// password, and a dialog with no row checked; the accepted accounts are read with Accounts().
#include <array>

#include "managers/accountset.h"
#include "widgets/cpopupdialog.h"

class ModalMessages;
class QCheckBox;
class QLineEdit;
class QPushButton;

class CAccountInfo : public CPopupDialog
{
    Q_OBJECT
public:
    CAccountInfo(ModalMessages& messages, QWidget* parent = nullptr);

    const AccountSet& Accounts() const { return m_accounts; }
    QCheckBox* Box(int slot) const { return m_boxes.at(size_t(slot)); }
    QLineEdit* IdEdit(int slot) const { return m_ids.at(size_t(slot)); }
    QLineEdit* PasswordEdit(int slot) const { return m_passwords.at(size_t(slot)); }
    QPushButton* OkButton() const { return m_ok; }

public slots:
    void OnCheckAccount();
    void onOKButtonClicked();
    void onCancelButtonClicked();

private:
    ModalMessages& m_messages;
    std::array<QCheckBox*, AccountSet::kSlots> m_boxes{};
    std::array<QLineEdit*, AccountSet::kSlots> m_ids{};
    std::array<QLineEdit*, AccountSet::kSlots> m_passwords{};
    QPushButton* m_ok;
    AccountSet m_accounts;
};
