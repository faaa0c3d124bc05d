#pragma once
// The password dialogs' host on a real screen: the system message box and a modal CPasswordChange.
#include "ui/passwordhost.h"

class QWidget;

class SystemPasswordHost : public PasswordHost
{
public:
    explicit SystemPasswordHost(QWidget* parent);

    void ShowMessage(const QString& text, const QString& caption) override;
    bool RunChange(AdminPassword* account) override;

private:
    QWidget* m_parent;
};
