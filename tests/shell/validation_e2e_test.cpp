// End to end: the main window against the central server simulator. The operator opens the
// validation login from the Setup menu, logs in, sees the console with the account tree, and
// adds a recorder under a group from the tree's menu; the recorder reaches the tree, the
// validation server's line and the site book. A wrong password and an unreachable server end in
// their boxes. With ZENT_SHOT_DIR set, the windows are saved as pictures there.
#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGuiApplication>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "admin/waitfor.h"
#include "harness/centralsimprocess.h"
#include "shell/support/mainwin_fixture.h"
#include "shell/validationshell.h"
#include "sitebook/cadddvrdialog.h"
#include "sitebook/cadddvrpermission.h"
#include "sitebook/sitebooktreewidget.h"
#include "sitebook/support/sitebook_modal.h"
#include "validation/account.h"
#include "validation/caddvalidationuser.h"
#include "validation/cwaitdlg.h"
#include "validation/validationsession.h"
#include "validation/validationusertreeview.h"
#include "validation/validationview.h"
#include "widgets/messagedlg.h"

namespace {
QAction* MenuAction(QMenuBar* bar, const QString& text)
{
    for (QAction* top : bar->actions())
        if (QMenu* menu = top->menu())
            for (QAction* action : menu->actions())
                if (action->text() == text)
                    return action;
    return nullptr;
}

void Shot(QWidget* widget, const QString& name)
{
    const QByteArray dir = qgetenv("ZENT_SHOT_DIR");
    if (!dir.isEmpty() && widget)
        widget->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// Closes every message box that opens while it lives, noting "title|texts of its labels", and
// saves the screen with the first box up as a picture when ZENT_SHOT_DIR is set.
class BoxCloser
{
public:
    explicit BoxCloser(const QString& shotName)
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this, shotName] {
            auto* box = qobject_cast<MessageDlg*>(QApplication::activeModalWidget());
            if (!box)
                return;
            QStringList texts;
            for (QLabel* label : box->findChildren<QLabel*>())
                if (!label->text().isEmpty())
                    texts << label->text();
            seen << box->windowTitle() + QLatin1Char('|') + texts.join(QLatin1Char('|'));
            const QByteArray dir = qgetenv("ZENT_SHOT_DIR");
            if (!dir.isEmpty() && seen.size() == 1)
                QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(dir) + QLatin1Char('/')
                                                                     + shotName + QStringLiteral(".png"));
            box->done(0);
        });
        m_poll.start(20);
    }
    QStringList seen;

private:
    QTimer m_poll;
};

bool SiteBookHas(SiteBookTreeWidget* tree, const QString& name)
{
    return !tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).isEmpty();
}

class ValidationE2E : public MainWinTest
{
protected:
    void SetUp() override
    {
        MainWinTest::SetUp();
        QString error;
        ASSERT_TRUE(sim.Start(&error)) << error.toStdString();
        StartHub();
        shell = hub->GetValidationShell();
        ASSERT_NE(shell, nullptr);
    }

    // The Setup menu's entry, then the form filled as the operator would.
    void OpenLogin(const QString& dbPort, const QString& account, const QString& password)
    {
        QAction* entry = MenuAction(hub->menuBar(), QStringLiteral("Validation"));
        ASSERT_NE(entry, nullptr);
        ASSERT_TRUE(entry->isEnabled());
        entry->trigger();
        Account* form = shell->LoginForm();
        ASSERT_TRUE(form->isVisible());
        QTest::keyClicks(form->DatabaseHostEdit(), QStringLiteral("127.0.0.1"));
        QTest::keyClicks(form->DatabasePortEdit(), dbPort);
        QTest::keyClicks(form->ValidationHostEdit(), QStringLiteral("127.0.0.1"));
        QTest::keyClicks(form->ValidationPortEdit(), QString::number(sim.ValidationPort()));
        QTest::keyClicks(form->AccountEdit(), account);
        QTest::keyClicks(form->PasswordEdit(), password);
        Shot(form, QStringLiteral("login-form"));
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    }

    CentralSimProcess sim;
    ValidationShell* shell = nullptr;
};

TEST_F(ValidationE2E, LoginShowsTheTreeAndANewRecorderReachesTreeLineAndSiteBook)
{
    WatchBoxes([&] {
        OpenLogin(QString::number(sim.HttpPort()), QStringLiteral("admin"), QStringLiteral("1234"));
        ValidationView* console = shell->View();
        ASSERT_TRUE(WaitFor([&] { return console->isVisible() && shell->IsValidationConnected(); }));
        EXPECT_FALSE(shell->LoginForm()->isVisible());
        ValidationSession& session = shell->Session();
        ASSERT_TRUE(session.Tree().FindDvr(3).isValid());
        ASSERT_TRUE(WaitFor([&] { return SiteBookHas(hub->GetSiteBookTree(), QStringLiteral("Gate")); }));
        ASSERT_TRUE(WaitFor([&] { return sim.Lines().contains(QStringLiteral("aliveVMS;1;0;;;;;")); }));
        Shot(console, QStringLiteral("console-tree"));

        // The tree's menu on the group "East": New DVR, filled in the recorder entry dialog.
        QMenu menu;
        ASSERT_TRUE(console->Tree()->BuildMenu(menu, session.Tree().FindAccount(2)));
        QAction* newDvr = nullptr;
        for (QAction* action : menu.actions())
            if (action->text() == QLatin1String("New DVR"))
                newDvr = action;
        ASSERT_NE(newDvr, nullptr);
        bool filled = false;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            const QList<std::pair<const char*, const char*>> fields = {{"nameEdit", "Yard"},
                                                                       {"addrEdit", "10.0.0.7"},
                                                                       {"portEdit", "9000"},
                                                                       {"idEdit", "admin"},
                                                                       {"passwordEdit", "1234"}};
            for (const auto& field : fields)
                QTest::keyClicks(dialog->findChild<QLineEdit*>(QLatin1String(field.first)),
                                 QLatin1String(field.second));
            Shot(dialog, QStringLiteral("new-dvr"));
            filled = true;
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
            // A refused entry would leave the dialog up: end it so that the test fails instead.
            if (auto* still = qobject_cast<QDialog*>(dialog); still && still->isVisible())
                still->reject();
        });
        newDvr->trigger();
        ASSERT_TRUE(filled);
        ASSERT_TRUE(WaitFor([&] { return session.Tree().FindDvr(6).isValid(); }));
        EXPECT_EQ(session.Tree().FindDvr(6).parent(), session.Tree().FindAccount(2));
        ASSERT_TRUE(WaitFor([&] { return sim.Lines().contains(QStringLiteral("adddvr;1;6;2;;;;;;;;;")); }));
        const QJsonObject body = sim.Requests(QStringLiteral("/dvr")).at(0).value("body").toObject();
        EXPECT_EQ(body.value("dvr_name").toString(), QStringLiteral("Yard"));
        EXPECT_EQ(body.value("dvr_host").toString(), QStringLiteral("10.0.0.7"));
        EXPECT_EQ(body.value("parent_id").toString(), QStringLiteral("2"));
        ASSERT_TRUE(WaitFor([&] { return SiteBookHas(hub->GetSiteBookTree(), QStringLiteral("Yard")); }));
        console->Tree()->expandAll();
        Shot(console, QStringLiteral("console-added"));
    });
}

// The tree's own commands through the real console: Copy DVR and Paste DVR from the menu, a
// recorder dropped on a group, a file that is not a recorder list, an export that cannot be
// written.
TEST_F(ValidationE2E, CopyPasteMoveAndTheirFailuresInTheConsole)
{
    boxes.clear();
    WatchBoxes([&] {
        OpenLogin(QString::number(sim.HttpPort()), QStringLiteral("admin"), QStringLiteral("1234"));
        ValidationView* console = shell->View();
        ASSERT_TRUE(WaitFor([&] { return console->isVisible() && shell->IsValidationConnected(); }));
        ValidationSession& session = shell->Session();
        ValidationUserTreeView* tree = console->Tree();
        const auto trigger = [&](const QModelIndex& node, const QString& text) {
            QMenu menu;
            if (!tree->BuildMenu(menu, node))
                return false;
            for (QAction* action : menu.actions())
                if (action->text() == text && action->isEnabled()) {
                    action->trigger();
                    return true;
                }
            return false;
        };
        tree->setCurrentIndex(session.Tree().FindDvr(3));
        ASSERT_TRUE(trigger(session.Tree().FindDvr(3), QStringLiteral("Copy DVR")));
        ASSERT_TRUE(trigger(session.Tree().FindAccount(4), QStringLiteral("Paste DVR")));
        ASSERT_TRUE(WaitFor([&] { return session.Tree().FindDvr(6).isValid() && !session.HasPending(); }));
        EXPECT_EQ(session.Tree().FindDvr(6).parent(), session.Tree().FindAccount(4));
        ASSERT_TRUE(WaitFor([&] { return sim.Lines().contains(QStringLiteral("adddvr;1;6;4;;;;;;;;;")); }));

        // Lobby, below the operator and so not in this site book, dropped on the group East.
        ASSERT_FALSE(SiteBookHas(hub->GetSiteBookTree(), QStringLiteral("Lobby")));
        ASSERT_TRUE(tree->MoveNode(session.Tree().FindDvr(5), session.Tree().FindAccount(2)));
        ASSERT_TRUE(WaitFor([&] { return !session.HasPending(); }));
        EXPECT_EQ(session.Tree().FindDvr(5).parent(), session.Tree().FindAccount(2));
        ASSERT_TRUE(WaitFor([&] {
            const QStringList lines = sim.Lines();
            return std::any_of(lines.begin(), lines.end(), [](const QString& line) {
                return line.startsWith(QLatin1String("movedvr;1;5;2;"));
            });
        }));
        EXPECT_TRUE(SiteBookHas(hub->GetSiteBookTree(), QStringLiteral("Lobby")));
        tree->expandAll();
        Shot(console, QStringLiteral("console-moved"));
        EXPECT_TRUE(boxes.isEmpty()) << boxes.join(QLatin1Char('\n')).toStdString();

        WriteFile(QStringLiteral("list.xls"), "not a workbook");
        QMenu menu;
        ASSERT_TRUE(tree->BuildMenu(menu, session.Tree().FindAccount(2)));
        EXPECT_FALSE(tree->ImportFile(Path(QStringLiteral("list.xls"))));
        ASSERT_TRUE(WaitFor([&] { return !boxes.isEmpty(); }));
        EXPECT_EQ(boxes, QStringList{QStringLiteral("Validation|Import file error")});
        EXPECT_TRUE(sim.Requests(QStringLiteral("/account")).isEmpty());

        WriteFile(QStringLiteral("plain"), "x");
        EXPECT_FALSE(
            console->ExportDvrCheckTo(session.Tree().FindAccount(2), Path(QStringLiteral("plain/check.csv"))));
        ASSERT_TRUE(WaitFor([&] { return boxes.size() == 2; }));
        EXPECT_TRUE(boxes[1].startsWith(QStringLiteral("Validation|The file "))) << boxes[1].toStdString();
    });
}

TEST_F(ValidationE2E, AWrongPasswordIsRefusedWithTheServersWords)
{
    BoxCloser closer(QStringLiteral("wrong-password"));
    OpenLogin(QString::number(sim.HttpPort()), QStringLiteral("admin"), QStringLiteral("wrong"));
    ASSERT_TRUE(WaitFor([&] { return !closer.seen.isEmpty(); }));
    ASSERT_EQ(closer.seen.size(), 1);
    EXPECT_TRUE(closer.seen[0].startsWith(QLatin1String("Warning|"))) << closer.seen[0].toStdString();
    EXPECT_TRUE(closer.seen[0].contains(QLatin1String("Login failed: wrong user id or password")));
    EXPECT_FALSE(shell->View()->isVisible());
    EXPECT_TRUE(sim.Lines().isEmpty());
}

TEST_F(ValidationE2E, AnUnreachableServerIsSaidSo)
{
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        closedPort = probe.serverPort();
    }
    BoxCloser closer(QStringLiteral("server-offline"));
    OpenLogin(QString::number(closedPort), QStringLiteral("admin"), QStringLiteral("1234"));
    ASSERT_TRUE(WaitFor([&] { return !closer.seen.isEmpty(); }));
    ASSERT_EQ(closer.seen.size(), 1);
    EXPECT_TRUE(closer.seen[0].startsWith(QLatin1String("Warning|"))) << closer.seen[0].toStdString();
    EXPECT_TRUE(closer.seen[0].contains(QLatin1String("Can not connect to the database server.")));
    EXPECT_FALSE(shell->View()->isVisible());
}
} // namespace

namespace {
QAction* Entry(QMenu& menu, const QString& text)
{
    for (QAction* action : menu.actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

TEST_F(ValidationE2E, AccountsAndRecorderRightsAreEnteredInTheirDialogs)
{
    OpenLogin(QString::number(sim.HttpPort()), QStringLiteral("admin"), QStringLiteral("1234"));
    ValidationView* console = shell->View();
    ASSERT_TRUE(WaitFor([&] { return console->isVisible() && shell->IsValidationConnected(); }));
    ValidationSession& session = shell->Session();
    // The main window's wait window was made at start-up, hidden.
    const QList<CWaitDlg*> waits = hub->findChildren<CWaitDlg*>();
    ASSERT_EQ(waits.size(), 1);
    EXPECT_FALSE(waits[0]->isVisible());

    // New Account on the logged-in account's node, typed in as the operator would.
    QMenu rootMenu;
    ASSERT_TRUE(console->Tree()->BuildMenu(rootMenu, session.RootIndex()));
    QAction* newAccount = Entry(rootMenu, QStringLiteral("New Account"));
    ASSERT_NE(newAccount, nullptr);
    auto account = OnNextDialog<CAddValidationUser>([](CAddValidationUser* dialog) {
        QTest::keyClicks(dialog->UserIdEdit(), QStringLiteral("lee"));
        QTest::keyClicks(dialog->PasswordEdit(), QStringLiteral("pw"));
        QTest::keyClicks(dialog->EmailEdit(), QStringLiteral("lee@example.com"));
        Shot(dialog, QStringLiteral("new-account"));
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    });
    newAccount->trigger();
    ASSERT_TRUE(account->Done());
    ASSERT_TRUE(WaitFor([&] { return session.Tree().FindAccount(6).isValid(); }));
    ASSERT_TRUE(WaitFor([&] { return sim.Lines().contains(QStringLiteral("addaccount;1;6;lee;pw;;;;;;;;;")); }));

    // New DVR on "East" with live video for channels 1 to 4 only.
    QMenu groupMenu;
    ASSERT_TRUE(console->Tree()->BuildMenu(groupMenu, session.Tree().FindAccount(2)));
    QAction* newDvr = Entry(groupMenu, QStringLiteral("New DVR"));
    ASSERT_NE(newDvr, nullptr);
    std::unique_ptr<ModalDriver> rights;
    auto dvr = OnNextDialog<CAddDvrDialog>([&](CAddDvrDialog* dialog) {
        const QList<std::pair<const char*, const char*>> fields = {{"nameEdit", "Yard"},
                                                                   {"addrEdit", "10.0.0.7"},
                                                                   {"portEdit", "9000"},
                                                                   {"idEdit", "admin"},
                                                                   {"passwordEdit", "1234"}};
        for (const auto& field : fields)
            QTest::keyClicks(dialog->findChild<QLineEdit*>(QLatin1String(field.first)),
                             QLatin1String(field.second));
        rights = OnNextDialog<CAddDvrPermission>([](CAddDvrPermission* permission) {
            QTest::mouseClick(permission->AllBox(CAddDvrPermission::Live), Qt::LeftButton);
            for (int channel = 0; channel < 4; ++channel)
                QTest::mouseClick(permission->ChannelBox(CAddDvrPermission::Live, channel), Qt::LeftButton);
            Shot(permission, QStringLiteral("permission"));
            QTest::mouseClick(permission->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
        });
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("permissionButton")), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    });
    newDvr->trigger();
    ASSERT_TRUE(dvr->Done());
    ASSERT_TRUE(rights && rights->Done());
    ASSERT_TRUE(WaitFor([&] { return session.Tree().FindDvr(7).isValid(); }));
    const QJsonObject body = sim.Requests(QStringLiteral("/dvr")).at(0).value("body").toObject();
    EXPECT_EQ(body.value("dvr_permission_live").toString(), QStringLiteral("15"));
    EXPECT_EQ(body.value("dvr_permission_search").toString(), QStringLiteral("65535"));
    EXPECT_EQ(body.value("dvr_permission_config").toString(), QStringLiteral("1"));
    EXPECT_TRUE(boxes.isEmpty()) << boxes.join('\n').toStdString();
}

TEST_F(ValidationE2E, ARefusedAccountIsSaidAndAddsNothing)
{
    OpenLogin(QString::number(sim.HttpPort()), QStringLiteral("admin"), QStringLiteral("1234"));
    ValidationView* console = shell->View();
    ASSERT_TRUE(WaitFor([&] { return console->isVisible() && shell->IsValidationConnected(); }));
    ASSERT_TRUE(sim.SetFail(QStringLiteral("/account"), QStringLiteral("status500")));
    QMenu rootMenu;
    ASSERT_TRUE(console->Tree()->BuildMenu(rootMenu, shell->Session().RootIndex()));
    auto account = OnNextDialog<CAddValidationUser>([](CAddValidationUser* dialog) {
        QTest::keyClicks(dialog->UserIdEdit(), QStringLiteral("lee"));
        QTest::keyClicks(dialog->PasswordEdit(), QStringLiteral("pw"));
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    });
    QString title;
    QString text;
    auto warning = AnswerNextQuestion(QMessageBox::Ok, &title, &text);
    Entry(rootMenu, QStringLiteral("New Account"))->trigger();
    ASSERT_TRUE(account->Done());
    ASSERT_TRUE(WaitFor([&] { return warning->Done(); }));
    EXPECT_EQ(title, QStringLiteral("Warring"));
    EXPECT_EQ(text, QStringLiteral("Account registration error"));
    EXPECT_FALSE(shell->Session().Tree().FindAccount(6).isValid());
    EXPECT_EQ(shell->LocalChange(), 0);
}
} // namespace
