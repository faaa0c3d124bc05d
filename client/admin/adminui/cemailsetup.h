#pragma once
// "Email Setup": the outgoing mail server (server, port, TLS, user authentication, user name,
// password). OK stores the settings in the main window and rewrites smtp.dat; a file that
// cannot be written is reported in the dialog, which stays open with the old file unchanged.
#include "widgets/cpopupdialog.h"

class MailHub;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CEmailSetup : public CPopupDialog
{
    Q_OBJECT
public:
    CEmailSetup(MailHub& hub, QWidget* parent = nullptr);

    QLineEdit* ServerEdit() const { return m_server; }
    QLineEdit* PortEdit() const { return m_port; }
    QCheckBox* SslBox() const { return m_ssl; }
    QCheckBox* AuthBox() const { return m_auth; }
    QLineEdit* UserEdit() const { return m_user; }
    QLineEdit* PasswordEdit() const { return m_password; }
    QPushButton* OkButton() const { return m_ok; }
    QLabel* ErrorLabel() const { return m_error; }

public slots:
    void onClickAuth();
    void onOKButtonClicked();

private:
    MailHub& m_hub;
    QLineEdit* m_server;
    QLineEdit* m_port;
    QCheckBox* m_ssl;
    QCheckBox* m_auth;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QPushButton* m_ok;
    QLabel* m_error;
};
