#pragma once
// What the administrator password dialogs need of the program: a message box and running the
// change dialog modally. SystemPasswordHost gives the real ones; tests give a fake.
#include <QString>

class AdminPassword;

class PasswordHost
{
public:
    virtual ~PasswordHost() = default;

    virtual void ShowMessage(const QString& text, const QString& caption) = 0;
    // Runs the change dialog; true when it wrote a new password.
    virtual bool RunChange(AdminPassword* account) = 0;
};
