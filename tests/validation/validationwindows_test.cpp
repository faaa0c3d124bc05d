// The console's windows over a session that is logged in to the central server simulator:
// tabs by role, the account tree's menus, closing while a change is pending, the login form's
// checks.
#include "fakevalidationhub.h"

#include "admin/waitfor.h"
#include "harness/centralsimprocess.h"
#include "validation/account.h"
#include "validation/validationnoticeview.h"
#include "validation/validationsession.h"
#include "validation/validationusertreeview.h"
#include "validation/validationview.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {
class Windows : public ::testing::Test
{
protected:
    void Start(const QStringList& options = {})
    {
        sim = std::make_unique<CentralSimProcess>(options);
        QString error;
        ASSERT_TRUE(sim->Start(&error)) << error.toStdString();
        login.DatabaseHostEdit()->setText(QStringLiteral("127.0.0.1"));
        login.DatabasePortEdit()->setText(QString::number(sim->HttpPort()));
        login.ValidationHostEdit()->setText(QStringLiteral("127.0.0.1"));
        login.ValidationPortEdit()->setText(QString::number(sim->ValidationPort()));
    }

    void LogIn(const QString& user, const QString& password)
    {
        login.AccountEdit()->setText(user);
        login.PasswordEdit()->setText(password);
        login.onOKButtonClicked();
        ASSERT_TRUE(WaitFor([&] { return view.isVisible() && hub.validationConnected; }));
    }

    QStringList Entries(const QModelIndex& node)
    {
        QMenu menu;
        if (!view.Tree()->BuildMenu(menu, node))
            return {QStringLiteral("(none)")};
        QStringList entries;
        for (QAction* action : menu.actions())
            if (!action->isSeparator())
                entries << action->text() + (action->isEnabled() ? "" : "~");
        return entries;
    }

    std::unique_ptr<CentralSimProcess> sim;
    FakeValidationHub hub;
    ValidationSession session{hub};
    ValidationView view{session, hub};
    Account login{session, hub};
};

TEST_F(Windows, AnAdminSeesFourTabsAndTheMenusOfItsRole)
{
    Start();
    LogIn(QStringLiteral("admin"), QStringLiteral("1234"));
    EXPECT_EQ(view.Tabs()->count(), 4);
    EXPECT_EQ(view.Tabs()->tabText(1), QStringLiteral("Event List"));
    // "~" marks an entry shown greyed.
    // The logged-in account has no log of its own to export; an account that is not logged in
    // has none either.
    EXPECT_EQ(Entries(session.RootIndex()),
              (QStringList{"New Group", "New Account", "New DVR", "Property", "Find DVR", "Import DVR list",
                           "Chatting", "Export Validation log~", "Export DVR Check"}));
    EXPECT_EQ(Entries(session.Tree().FindAccount(2)),
              (QStringList{"New Group", "New Account", "New DVR", "Property", "Delete", "Find DVR",
                           "Import DVR list", "Export DVR Check"}));
    // A "normal" account holds recorders and groups, no accounts.
    EXPECT_EQ(Entries(session.Tree().FindAccount(4)),
              (QStringList{"New Group", "New DVR", "Property", "Delete", "Find DVR", "Import DVR list", "Chatting",
                           "Export Validation log~", "Export DVR Check"}));
    EXPECT_EQ(Entries(session.Tree().FindDvr(3)),
              (QStringList{"Copy DVR", "Property", "Delete", "Export DVR Check"}));
    // Paste DVR is offered once a recorder was copied.
    Entries(session.Tree().FindDvr(3));
    view.Tree()->OnCopyDvr();
    EXPECT_EQ(Entries(session.Tree().FindAccount(4)),
              (QStringList{"New Group", "New DVR", "Paste DVR", "Property", "Delete", "Find DVR",
                           "Import DVR list", "Chatting", "Export Validation log~", "Export DVR Check"}));
    session.Tree().SetOnline(session.Tree().FindAccount(4), true);
    EXPECT_TRUE(Entries(session.Tree().FindAccount(4)).contains("Export Validation log"));

    view.Tabs()->setCurrentIndex(3);
    EXPECT_TRUE(view.OpenLogButton()->isVisibleTo(&view));
    view.Tabs()->setCurrentIndex(2);
    EXPECT_FALSE(view.OpenLogButton()->isVisibleTo(&view));
    ASSERT_TRUE(WaitFor([&] { return view.Notices()->Table()->model()->rowCount() == 3; }));

    // Not connected: no menu at all.
    hub.validationConnected = false;
    EXPECT_EQ(Entries(session.RootIndex()), QStringList{"(none)"});
}

TEST_F(Windows, ANormalAccountSeesThreeTabsAndOnlyProperty)
{
    Start();
    LogIn(QStringLiteral("operator"), QStringLiteral("op"));
    EXPECT_EQ(view.Tabs()->count(), 3);
    EXPECT_EQ(view.OpenLogButton()->geometry().x(), 380);
    EXPECT_EQ(Entries(session.Tree().FindDvr(5)), QStringList{"Property"});
    EXPECT_EQ(Entries(session.RootIndex()), QStringList{});
}

TEST_F(Windows, TheConsoleStaysOpenWhileAChangeIsPending)
{
    Start();
    LogIn(QStringLiteral("admin"), QStringLiteral("1234"));
    hub.localChange = 1;
    QCloseEvent refused;
    QCoreApplication::sendEvent(&view, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_TRUE(view.isVisible());
    hub.localChange = 0;
    view.close();
    EXPECT_FALSE(view.isVisible());
}

struct LoginCase
{
    const char* host;
    const char* port;
    const char* account;
    const char* password;
    const char* refusal;
    const char* dbPort = "";
};

class LoginForm : public Windows, public ::testing::WithParamInterface<LoginCase>
{};

TEST_P(LoginForm, RefusesEmptyFieldsAndRoot)
{
    login.ValidationHostEdit()->setText(QString::fromLatin1(GetParam().host));
    login.ValidationPortEdit()->setText(QString::fromLatin1(GetParam().port));
    login.AccountEdit()->setText(QString::fromLatin1(GetParam().account));
    login.PasswordEdit()->setText(QString::fromLatin1(GetParam().password));
    login.DatabasePortEdit()->setText(QString::fromLatin1(GetParam().dbPort));
    login.onOKButtonClicked();
    EXPECT_EQ(hub.messages, QStringList{QStringLiteral("Warring|") + GetParam().refusal});
    EXPECT_TRUE(hub.savedLogin.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, LoginForm,
    ::testing::Values(LoginCase{"", "1", "a", "p", "Input server address"},
                      LoginCase{"h", "", "a", "p", "Input server port"},
                      LoginCase{"h", "1", "", "p", "Input account name"},
                      LoginCase{"h", "1", "root", "p", "Root is an account that can not be used."},
                      LoginCase{"h", "1", "a", "", "Input account password"},
                      LoginCase{"h", "abc", "a", "p", "The server port must be a number from 1 to 65535."},
                      LoginCase{"h", "70000", "a", "p", "The server port must be a number from 1 to 65535."},
                      LoginCase{"h", "0", "a", "p", "The server port must be a number from 1 to 65535."},
                      LoginCase{"h", "1", "a", "p", "The database port must be a number from 1 to 65535.", "8o"}));

// Cancel leaves the form, not the program.
TEST_F(Windows, CancelOnTheLoginFormClosesOnlyTheForm)
{
    login.show();
    QTest::mouseClick(login.findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
    EXPECT_FALSE(login.isVisible());
    EXPECT_EQ(hub.closes, 0);
}

struct KeptLoginCase
{
    QStringList kept;
    QStringList shown; // database host, its port, validation host, its port, account
    bool save;
    bool further;
};

class KeptLogin : public Windows, public ::testing::WithParamInterface<KeptLoginCase>
{};

TEST_P(KeptLogin, FillsTheFormOnlyWhenItWasKept)
{
    login.Fill(GetParam().kept);
    EXPECT_EQ((QStringList{login.DatabaseHostEdit()->text(), login.DatabasePortEdit()->text(),
                           login.ValidationHostEdit()->text(), login.ValidationPortEdit()->text(),
                           login.AccountEdit()->text()}),
              GetParam().shown);
    EXPECT_TRUE(login.PasswordEdit()->text().isEmpty());
    EXPECT_EQ(login.SaveBox()->isChecked(), GetParam().save);
    EXPECT_EQ(login.FurtherBox()->isChecked(), GetParam().further);
}

INSTANTIATE_TEST_SUITE_P(
    Files, KeptLogin,
    ::testing::Values(
        KeptLoginCase{
            {"db", "8080", "vs", "7000", "lee", "1", "1"}, {"db", "8080", "vs", "7000", "lee"}, true, false},
        KeptLoginCase{
            {"db", "8080", "vs", "7000", "lee", "1", "0"}, {"db", "8080", "vs", "7000", "lee"}, true, true},
        // A field left empty was written as "none".
        KeptLoginCase{{"none", "none", "vs", "7000", "lee", "1", "1"}, {"", "", "vs", "7000", "lee"}, true, false},
        // Not kept: the form stays empty.
        KeptLoginCase{{"none", "none", "none", "none", "none", "0", "1"}, {"", "", "", "", ""}, false, false},
        KeptLoginCase{{}, {"", "", "", "", ""}, false, false}));
} // namespace
