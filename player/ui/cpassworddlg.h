#pragma once
// Asks for the administrator password before a protected command runs: ends with OK only when the
// entry equals the stored password; Change runs CPasswordChange and reloads the stored value.
#include <QDialog>

class AdminPassword;
class PasswordHost;
class QLineEdit;

class CPasswordDlg : public QDialog
{
    Q_OBJECT
public:
    CPasswordDlg(AdminPassword* account, PasswordHost* host, QWidget* parent = nullptr);

    QLineEdit* edit() const { return m_edit; }
    void OnOk();
    void OnChange();

private:
    AdminPassword* m_account;
    PasswordHost* m_host;
    QLineEdit* m_edit;
};
