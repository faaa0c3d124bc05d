#pragma once
// The central server's login form: the validation server's address and port, the account and
// its password, the database server's address and port, whether to keep the login, and whether
// to leave the further flag off. OK checks the fields, keeps the login and connects; once the
// database server answered, Login() sends the account. Cancel closes only the form.
#include "widgets/cpopupdialog.h"

class QCheckBox;
class QLineEdit;
class ValidationHub;
class ValidationSession;

class Account : public CPopupDialog
{
    Q_OBJECT
public:
    Account(ValidationSession& session, ValidationHub& hub, QWidget* parent = nullptr);

    // The fields a test or the shell fills.
    QLineEdit* ValidationHostEdit() const { return m_validationHost; }
    QLineEdit* ValidationPortEdit() const { return m_validationPort; }
    QLineEdit* AccountEdit() const { return m_account; }
    QLineEdit* PasswordEdit() const { return m_password; }
    QLineEdit* DatabaseHostEdit() const { return m_dbHost; }
    QLineEdit* DatabasePortEdit() const { return m_dbPort; }
    class QCheckBox* SaveBox() const { return m_save; }
    class QCheckBox* FurtherBox() const { return m_further; }

    // Offers the login kept last time (SaveServerLogin's order): only when it was kept with the
    // save flag "1"; "none" stands for a field left empty.
    void Fill(const QStringList& kept);

public slots:
    void onOKButtonClicked();
    void onCancelButtonClicked();
    void Login();

private:
    QLineEdit* AddRow(class QGridLayout* grid, int row, const QString& label, const QString& name);
    // The first empty or refused field's message; empty when all are good.
    QString Refusal() const;

    ValidationSession& m_session;
    ValidationHub& m_hub;
    QLineEdit* m_validationHost = nullptr;
    QLineEdit* m_validationPort = nullptr;
    QLineEdit* m_account = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_dbHost = nullptr;
    QLineEdit* m_dbPort = nullptr;
    QCheckBox* m_save = nullptr;
    QCheckBox* m_further = nullptr;
};
