#include "ui/cpassworddlg.h"

#include "playback/adminpassword.h"
#include "ui/cpasswordchange.h"
#include "ui/passwordhost.h"

#include <QLineEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Runs the change dialog with the texts a user would type, pressing Ok (or Cancel).
class ScriptedPasswordHost : public PasswordHost
{
public:
    void ShowMessage(const QString& text, const QString& caption) override { messages << caption + ": " + text; }
    bool RunChange(AdminPassword* account) override
    {
        CPasswordChange dialog(account, this);
        dialog.oldEdit()->setText(oldText);
        dialog.newEdit()->setText(newText);
        if (pressOk) {
            dialog.OnOk();
        } else {
            dialog.reject();
        }
        return dialog.result() == QDialog::Accepted;
    }

    QString oldText, newText;
    bool pressOk = true;
    QStringList messages;
};

TEST(CPasswordDlg, WrongEntriesStayOpenAndTheRightOneConfirms)
{
    QTemporaryDir dir;
    AdminPassword account(dir.filePath("KRO/Account.ini"));
    ScriptedPasswordHost host;
    CPasswordDlg dialog(&account, &host);
    EXPECT_EQ(dialog.windowTitle(), QString("Enter Password"));
    for (const char* wrong : {"", "461", "4619x"}) {
        dialog.edit()->setText(wrong);
        dialog.OnOk();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(host.messages,
              QStringList({"Notify: Invaild password", "Notify: Invaild password", "Notify: Invaild password"}));
    dialog.edit()->setText("4619");
    dialog.OnOk();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(CPasswordDlg, ChangeReloadsTheStoredPassword)
{
    QTemporaryDir dir;
    AdminPassword account(dir.filePath("Account.ini"));
    ScriptedPasswordHost host;
    CPasswordDlg dialog(&account, &host);
    host.oldText = "wrong";
    host.newText = "1,2";
    dialog.OnChange();
    EXPECT_EQ(host.messages, QStringList{"Notify: Invaild password"});
    host.oldText = "4619";
    host.pressOk = false; // Cancel changes nothing
    dialog.OnChange();
    EXPECT_TRUE(account.Matches("4619"));
    host.pressOk = true;
    dialog.OnChange();
    dialog.edit()->setText("4619");
    dialog.OnOk();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    dialog.edit()->setText("1,2");
    dialog.OnOk();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace
