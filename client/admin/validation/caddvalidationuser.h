#pragma once
// Adds, changes or shows one user account of the validation tree: user id, password, authority,
// name, e-mail with its further addresses, report flag and description. The caller reads the
// public fields after exec() returned Accepted.
#include "validation/validationauthority.h"
#include "widgets/cpopupdialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class ValidationAccount;
class ValidationHub;

class CAddValidationUser : public CPopupDialog
{
    Q_OBJECT
public:
    CAddValidationUser(ValidationHub& hub, QWidget* parent = nullptr);

    // Fills the authority combo for a new account under an account of `level`, and selects
    // `current` (remembered as the earlier authority) when it is offered.
    void SetAuthorityChoices(int level, Authority current);
    // Fills the dialog from an account and turns it to modify mode; `level` kViewLevel only
    // shows it. The user id is locked when `lock` is 1.
    void SetAccount(const ValidationAccount& account, int level, int lock);

    QString user_id;
    QString password;
    Authority authority = Authority::None;
    QString description;
    QString name;
    QString email;
    QString report_mail;
    // The further addresses: the main address first, joined by ";".
    QString emailCC;
    bool modifyMode = false;
    Authority earlierAuthority = Authority::None;

    QLineEdit* UserIdEdit() const { return m_userId; }
    QLineEdit* PasswordEdit() const { return m_password; }
    QComboBox* AuthorityCombo() const { return m_authority; }
    QLineEdit* NameEdit() const { return m_name; }
    QLineEdit* EmailEdit() const { return m_email; }
    QCheckBox* ReportCheck() const { return m_report; }
    QPushButton* EmailCcButton() const { return m_emailCc; }
    QLineEdit* DescriptionEdit() const { return m_description; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CancelButton() const { return m_cancel; }

public slots:
    void onEmailCC();
    void onOKButtonClicked();
    void onCancelButtonClicked();

private:
    // Asks whether an authority change goes on (OK and Cancel).
    bool ConfirmAuthorityChange();

    ValidationHub& m_hub;
    QLineEdit* m_userId;
    QLineEdit* m_password;
    QComboBox* m_authority;
    QLineEdit* m_name;
    QLineEdit* m_email;
    QCheckBox* m_report;
    QPushButton* m_emailCc;
    QLineEdit* m_description;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
