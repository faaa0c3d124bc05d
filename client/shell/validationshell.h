#pragma once
// The validation console in the main window: the session, the console window and the login
// form, and the adapter through which they reach the main window and the site book.
#include "validation/validationhub.h"

#include <QObject>

class Account;
class CWaitDlg;
class MainWindow;
class ValidationSession;
class ValidationView;

class ValidationShell : public QObject, public ValidationHub
{
    Q_OBJECT
public:
    explicit ValidationShell(MainWindow& window);
    ~ValidationShell() override;

    ValidationSession& Session() const { return *m_session; }
    ValidationView* View() const { return m_view; }
    Account* LoginForm() const { return m_login; }
    // The entry of the Setup menu: the login form until a login succeeded, then the console.
    void ShowConsole();
    void AddEventLog(const QString& name, const QString& text);
    // The main window's wait window, made hidden; the main window owns it.
    CWaitDlg* CreateWaitDialog();

    // ValidationHub.
    void ShowMessage(const QString& title, const QString& text) override;
    void ShowWarning(const QString& title, const QString& text) override;
    void CloseMainWindow() override;
    bool IsClosing() const override;
    void SetValidationConnected(bool connected) override { m_connected = connected; }
    bool IsValidationConnected() const override { return m_connected; }
    int LocalChange() const override { return m_localChange; }
    void SetLocalChange(int value) override { m_localChange = value; }
    void SiteBookAddGroup(const ValidationAccount& group, int parentId) override;
    void SiteBookAddDvr(const ValidationAccount& dvr, int parentId) override;
    void SiteBookMoveDvr(const ValidationAccount& dvr, int groupId) override;
    void SiteBookModifyDvr(const ValidationAccount& dvr) override;
    void SiteBookModifyGroup(const ValidationAccount& group) override;
    void SiteBookDeleteGroup(int id) override;
    void SiteBookDeleteDvr(int id) override;
    void SiteBookLoadServer(const QString& text) override;
    QString ProgramDirectory() const override;
    QStringList SavedServerLogin() const override;
    void SaveServerLogin(const QString& dbHost, const QString& dbPort, const QString& validationHost,
                         const QString& validationPort, const QString& account, const QString& saveFlag,
                         const QString& furtherFlag) override;

private:
    // Whether the central server's site book may replace this computer's.
    enum class ServerBook { NotAsked, Taken, Refused };

    // Asks once, before the first replacement, and keeps the operator's own book as a copy.
    bool AgreeToServerSiteBook();
    QString FreeLocalCopyPath() const;

    MainWindow& m_window;
    ValidationSession* m_session;
    ValidationView* m_view;
    Account* m_login;
    bool m_connected = false;
    int m_localChange = 0;
    bool m_loggedIn = false;
    bool m_loginFilled = false;
    ServerBook m_serverBook = ServerBook::NotAsked;
};
