#pragma once
// What the validation console needs of the main window and the site book. The shell implements
// it with an adapter; tests pass a fake.
#include <QString>
#include <QStringList>

class ValidationAccount;

class ValidationHub
{
public:
    virtual ~ValidationHub() = default;

    // A box that waits for the user (the shared message box).
    virtual void ShowMessage(const QString& title, const QString& text) = 0;
    // The warning box of a refused request (one OK button).
    virtual void ShowWarning(const QString& title, const QString& text) = 0;
    // Ends the program (a second login of the same account).
    virtual void CloseMainWindow() = 0;
    // True from the first step of the main window's close.
    virtual bool IsClosing() const = 0;
    // The validation-connected flag that the account tree's menu reads.
    virtual void SetValidationConnected(bool connected) = 0;
    virtual bool IsValidationConnected() const = 0;
    // The local-change marker: raised before the console's own requests, lowered when their
    // replies are handled; the console does not close while it is above 0.
    virtual int LocalChange() const = 0;
    virtual void SetLocalChange(int value) = 0;

    // The site book side of pushed groups and recorders.
    virtual void SiteBookAddGroup(const ValidationAccount& group, int parentId) = 0;
    virtual void SiteBookAddDvr(const ValidationAccount& dvr, int parentId) = 0;
    // Moves the recorder under the group with that id, or adds it there when the site book
    // lacks it.
    virtual void SiteBookMoveDvr(const ValidationAccount& dvr, int groupId) = 0;
    // A recorder or group the server has changed: found by its id, it takes the new name and,
    // for a recorder, the new connection and rights.
    virtual void SiteBookModifyDvr(const ValidationAccount& dvr) = 0;
    virtual void SiteBookModifyGroup(const ValidationAccount& group) = 0;
    virtual void SiteBookDeleteGroup(int id) = 0;
    virtual void SiteBookDeleteDvr(int id) = 0;
    // Rebuilds the site book from the central server's reply, then reloads the e-map and
    // favorites books.
    virtual void SiteBookLoadServer(const QString& text) = 0;

    // The program directory (no trailing separator).
    virtual QString ProgramDirectory() const = 0;
    // The login the form kept last time, in SaveServerLogin's order; empty texts (or "none")
    // where nothing was kept.
    virtual QStringList SavedServerLogin() const = 0;
    // Keeps the login form's values and writes account.dat: database server address and port,
    // validation server address and port, account name, save flag, further flag.
    virtual void SaveServerLogin(const QString& dbHost, const QString& dbPort, const QString& validationHost,
                                 const QString& validationPort, const QString& account, const QString& saveFlag,
                                 const QString& furtherFlag) = 0;
};
