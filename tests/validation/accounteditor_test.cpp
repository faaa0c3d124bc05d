// New Account and Property of account nodes through the account tree's menu, against the central
// server simulator: the dialog's level by place, the request, the reply's node and the line.
#include "fakevalidationhub.h"

#include "admin/waitfor.h"
#include "core/validationaccount.h"
#include "harness/centralsimprocess.h"
#include "sitebook/support/sitebook_modal.h"
#include "validation/account.h"
#include "validation/caddvalidationuser.h"
#include "validation/validationsession.h"
#include "validation/validationusertreeview.h"
#include "validation/validationview.h"
#include "widgets/messagedlg.h"

#include <QAction>
#include <QComboBox>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {
class AccountEditor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString error;
        ASSERT_TRUE(sim.Start(&error)) << error.toStdString();
        login.DatabaseHostEdit()->setText(QStringLiteral("127.0.0.1"));
        login.DatabasePortEdit()->setText(QString::number(sim.HttpPort()));
        login.ValidationHostEdit()->setText(QStringLiteral("127.0.0.1"));
        login.ValidationPortEdit()->setText(QString::number(sim.ValidationPort()));
        login.AccountEdit()->setText(QStringLiteral("admin"));
        login.PasswordEdit()->setText(QStringLiteral("1234"));
        login.onOKButtonClicked();
        ASSERT_TRUE(WaitFor([&] { return view.isVisible() && hub.validationConnected; }));
    }

    // Runs the menu entry of the node; `act` handles the account dialog it opens.
    bool Run(const QModelIndex& node, const QString& entry, std::function<void(CAddValidationUser*)> act)
    {
        QMenu menu;
        if (!view.Tree()->BuildMenu(menu, node))
            return false;
        for (QAction* action : menu.actions()) {
            if (action->text() != entry)
                continue;
            auto driver = OnNextDialog<CAddValidationUser>(std::move(act));
            action->trigger();
            return driver->Done();
        }
        return false;
    }

    QStringList Bodies(const QString& path, const QString& method)
    {
        QStringList bodies;
        for (const QJsonObject& request : sim.Requests(path))
            if (request.value("method").toString() == method)
                bodies << QString::fromUtf8(
                    QJsonDocument(request.value("body").toObject()).toJson(QJsonDocument::Compact));
        return bodies;
    }

    CentralSimProcess sim;
    FakeValidationHub hub;
    ValidationSession session{hub};
    ValidationView view{session, hub};
    Account login{session, hub};
};

TEST_F(AccountEditor, ANewAccountIsSentAndItsNodeComesWithTheReply)
{
    QStringList offered;
    ASSERT_TRUE(Run(session.RootIndex(), QStringLiteral("New Account"), [&](CAddValidationUser* dialog) {
        for (int i = 0; i < dialog->AuthorityCombo()->count(); ++i)
            offered << dialog->AuthorityCombo()->itemText(i);
        dialog->UserIdEdit()->setText(QStringLiteral("lee"));
        dialog->PasswordEdit()->setText(QStringLiteral("pw"));
        dialog->NameEdit()->setText(QStringLiteral("Lee"));
        dialog->EmailEdit()->setText(QStringLiteral("lee@example.com"));
        dialog->DescriptionEdit()->setText(QStringLiteral("Day shift"));
        dialog->OkButton()->click();
    }));
    // The logged-in account is an "admin": it makes super and normal users.
    EXPECT_EQ(offered, (QStringList{"Super User", "Normal User"}));
    ASSERT_TRUE(WaitFor([&] { return session.Tree().FindAccount(6).isValid(); }));
    const QModelIndex node = session.Tree().FindAccount(6);
    EXPECT_EQ(node.parent(), QModelIndex(session.RootIndex()));
    EXPECT_EQ(node.data().toString(), QStringLiteral("lee"));
    EXPECT_EQ(node.siblingAtColumn(1).data().toString(), QStringLiteral("Super User"));
    EXPECT_EQ(
        Bodies(QStringLiteral("/account"), QStringLiteral("POST")),
        QStringList{R"({"description":"Day shift","email":"lee@example.com","name":"Lee",)"
                    R"("parent_id":"1","password":"pw","report_mail":"true","type":"super","user_id":"lee"})"});
    ASSERT_TRUE(WaitFor([&] { return sim.Lines().contains(QStringLiteral("addaccount;1;6;lee;pw;;;;;;;;;")); }));
    EXPECT_EQ(hub.localChange, 0);
}

TEST_F(AccountEditor, UnderAGroupOfTheAdminTheLevelIsTheAdminsAndCancelSendsNothing)
{
    QStringList offered;
    ASSERT_TRUE(Run(session.Tree().FindAccount(2), QStringLiteral("New Account"), [&](CAddValidationUser* dialog) {
        for (int i = 0; i < dialog->AuthorityCombo()->count(); ++i)
            offered << dialog->AuthorityCombo()->itemText(i);
        dialog->UserIdEdit()->setText(QStringLiteral("lee"));
        dialog->CancelButton()->click();
    }));
    EXPECT_EQ(offered, (QStringList{"Super User", "Normal User"}));
    EXPECT_TRUE(Bodies(QStringLiteral("/account"), QStringLiteral("POST")).isEmpty());
    EXPECT_EQ(hub.localChange, 0);
}

TEST_F(AccountEditor, PropertyChangesAnAccountAfterTheAuthorityQuestion)
{
    const QModelIndex operatorNode = session.Tree().FindAccount(4);
    ASSERT_TRUE(operatorNode.isValid());
    QString userIdShown;
    bool userIdEnabled = true;
    ASSERT_TRUE(Run(operatorNode, QStringLiteral("Property"), [&](CAddValidationUser* dialog) {
        userIdShown = dialog->UserIdEdit()->text();
        userIdEnabled = dialog->UserIdEdit()->isEnabled();
        dialog->AuthorityCombo()->setCurrentIndex(0); // Super User
        dialog->DescriptionEdit()->setText(QStringLiteral("Promoted"));
        auto question = OnNextDialog<MessageDlg>([](MessageDlg* box) { box->onOkButtonClicked(); });
        dialog->OkButton()->click();
    }));
    EXPECT_EQ(userIdShown, QStringLiteral("operator"));
    EXPECT_FALSE(userIdEnabled);
    ASSERT_TRUE(WaitFor([&] {
        return session.Tree().FindAccount(4).siblingAtColumn(1).data().toString() == QStringLiteral("Super User");
    }));
    EXPECT_EQ(session.Tree().FindAccount(4).siblingAtColumn(3).data().toString(), QStringLiteral("Promoted"));
    const QStringList puts = Bodies(QStringLiteral("/account"), QStringLiteral("PUT"));
    ASSERT_EQ(puts.size(), 1);
    EXPECT_TRUE(puts[0].contains(QStringLiteral(R"("id":"4")"))) << puts[0].toStdString();
    EXPECT_TRUE(puts[0].contains(QStringLiteral(R"("type":"super")"))) << puts[0].toStdString();
    ASSERT_TRUE(
        WaitFor([&] { return sim.Lines().contains(QStringLiteral("modifyaccount;1;4;operator;op;;;;;;;;;")); }));
}

TEST_F(AccountEditor, PropertyOfTheOwnAccountOnlyShowsIt)
{
    bool okHidden = false;
    QString closeText;
    ASSERT_TRUE(Run(session.RootIndex(), QStringLiteral("Property"), [&](CAddValidationUser* dialog) {
        okHidden = dialog->OkButton()->isHidden();
        closeText = dialog->CancelButton()->text();
        dialog->CancelButton()->click();
    }));
    EXPECT_TRUE(okHidden);
    EXPECT_EQ(closeText, QStringLiteral("Close"));
    EXPECT_TRUE(Bodies(QStringLiteral("/account"), QStringLiteral("PUT")).isEmpty());
}

TEST_F(AccountEditor, ARefusedAddShowsItsBoxAndAddsNoNode)
{
    ASSERT_TRUE(sim.SetFail(QStringLiteral("/account"), QStringLiteral("fail")));
    ASSERT_TRUE(Run(session.RootIndex(), QStringLiteral("New Account"), [&](CAddValidationUser* dialog) {
        dialog->UserIdEdit()->setText(QStringLiteral("lee"));
        dialog->PasswordEdit()->setText(QStringLiteral("pw"));
        dialog->OkButton()->click();
    }));
    ASSERT_TRUE(WaitFor([&] { return !hub.warnings.isEmpty(); }));
    EXPECT_EQ(hub.warnings, QStringList{QStringLiteral("Warring|Account registration error")});
    EXPECT_FALSE(session.Tree().FindAccount(6).isValid());
    EXPECT_EQ(hub.localChange, 0);
}
} // namespace
