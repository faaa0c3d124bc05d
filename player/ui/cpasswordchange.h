#pragma once
// Changes the administrator password after checking the old one; ends with OK once written.
#include <QDialog>

class AdminPassword;
class PasswordHost;
class QLineEdit;

class CPasswordChange : public QDialog
{
    Q_OBJECT
public:
    CPasswordChange(AdminPassword* account, PasswordHost* host, QWidget* parent = nullptr);

    QLineEdit* oldEdit() const { return m_old; }
    QLineEdit* newEdit() const { return m_new; }
    void OnOk();

private:
    AdminPassword* m_account;
    PasswordHost* m_host;
    QLineEdit* m_old;
    QLineEdit* m_new;
};
