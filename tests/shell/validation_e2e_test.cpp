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
#include <QDir>
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
#include "validation/caddgroupdialog.h"
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
                                                                       {"addrEdit", "127.0.0.7"},
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
        EXPECT_EQ(body.value("dvr_host").toString(), QStringLiteral("127.0.0.7"));
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
                                                                   {"addrEdit", "127.0.0.7"},
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

namespace {
// Retypes a field of a dialog as the operator would: everything selected, then the new text.
void Retype(QWidget* dialog, const char* field, const QString& text)
{
    auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(field));
    ASSERT_NE(edit, nullptr) << field;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// What the console changes on the server reaches the site book beside it, and the site book file
// the program writes at its end.
TEST_F(ValidationE2E, ConsoleEditsReachTheSiteBookAndItsFile)
{
    OpenLogin(QString::number(sim.HttpPort()), QStringLiteral("admin"), QStringLiteral("1234"));
    ValidationView* console = shell->View();
    ASSERT_TRUE(WaitFor([&] { return console->isVisible() && shell->IsValidationConnected(); }));
    ValidationSession& session = shell->Session();
    SiteBookTreeWidget* book = hub->GetSiteBookTree();
    ASSERT_TRUE(WaitFor([&] { return SiteBookHas(book, QStringLiteral("Gate")); }));
    const auto property = [&](const QModelIndex& node) {
        QMenu menu;
        if (!console->Tree()->BuildMenu(menu, node))
            return false;
        QAction* entry = Entry(menu, QStringLiteral("Property"));
        if (!entry)
            return false;
        entry->trigger();
        return true;
    };

    auto dvr = OnNextDialog<CAddDvrDialog>([](CAddDvrDialog* dialog) {
        Retype(dialog, "nameEdit", QStringLiteral("Gate North"));
        Retype(dialog, "addrEdit", QStringLiteral("127.0.0.9"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    });
    ASSERT_TRUE(property(session.Tree().FindDvr(3)));
    ASSERT_TRUE(dvr->Done());
    ASSERT_TRUE(WaitFor([&] { return sim.Lines().contains(QStringLiteral("modifydvr;1;3;2;;;;;;;;;")); }));
    ASSERT_TRUE(WaitFor([&] { return SiteBookHas(book, QStringLiteral("Gate North")); }));
    EXPECT_FALSE(SiteBookHas(book, QStringLiteral("Gate")));

    auto group = OnNextDialog<CAddGroupDialog>([](CAddGroupDialog* dialog) {
        Retype(dialog, "groupName", QStringLiteral("Eastside"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    });
    ASSERT_TRUE(property(session.Tree().FindAccount(2)));
    ASSERT_TRUE(group->Done());
    ASSERT_TRUE(WaitFor([&] { return SiteBookHas(book, QStringLiteral("Eastside")); }));
    EXPECT_FALSE(SiteBookHas(book, QStringLiteral("East")));
    hub->GetSiteBookTree()->expandAll();
    Shot(hub.get(), QStringLiteral("sitebook-after-edits"));

    StopHub();
    const QString written = QString::fromUtf8(ReadFile(QStringLiteral("sitebook.xml")));
    EXPECT_TRUE(written.contains(QLatin1String("name=\"Gate North\" addr=\"127.0.0.9\"")))
        << written.toStdString();
    EXPECT_TRUE(written.contains(QLatin1String("name=\"Eastside\""))) << written.toStdString();
    EXPECT_FALSE(written.contains(QLatin1String("name=\"Gate\""))) << written.toStdString();
}
} // namespace

namespace {
// The Setup menu's Validation entry, as the operator reaches it.
void OpenLoginForm(MainWindow* window)
{
    QAction* entry = MenuAction(window->menuBar(), QStringLiteral("Validation"));
    ASSERT_NE(entry, nullptr);
    entry->trigger();
}

// A login kept with "Save login information" comes back in the form on the next start; Cancel
// leaves the form and nothing else.
TEST_F(ValidationE2E, TheFormOffersTheKeptLoginAndCancelLeavesTheProgramRunning)
{
    StopHub();
    // account.dat's lines: database server, its port, account, "0", "0", save flag, validation
    // server, its port, further flag.
    WriteFile(QStringLiteral("account.dat"), "127.0.0.1\n" + QByteArray::number(sim.HttpPort())
                                                 + "\nadmin\n0\n0\n1\n127.0.0.1\n"
                                                 + QByteArray::number(sim.ValidationPort()) + "\n1\n");
    StartHub();
    shell = hub->GetValidationShell();
    hub->show();
    OpenLoginForm(hub.get());
    Account* form = shell->LoginForm();
    ASSERT_TRUE(form->isVisible());
    EXPECT_EQ(form->DatabaseHostEdit()->text(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(form->DatabasePortEdit()->text(), QString::number(sim.HttpPort()));
    EXPECT_EQ(form->ValidationPortEdit()->text(), QString::number(sim.ValidationPort()));
    EXPECT_EQ(form->AccountEdit()->text(), QStringLiteral("admin"));
    EXPECT_TRUE(form->SaveBox()->isChecked());
    EXPECT_TRUE(form->PasswordEdit()->text().isEmpty());
    Shot(form, QStringLiteral("login-form-kept"));

    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(hub->isVisible());
    EXPECT_FALSE(hub->IsClosing());

    // Opened again, the password is all that is left to type.
    OpenLoginForm(hub.get());
    ASSERT_TRUE(form->isVisible());
    QTest::keyClicks(form->PasswordEdit(), QStringLiteral("1234"));
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return shell->View()->isVisible() && shell->IsValidationConnected(); }));
}

struct LocalBookCase
{
    const char* name;
    int answer; // the question box's result: 1 replace, 0 keep
    bool serverBookShown;
};

class LocalSiteBook : public ValidationE2E, public ::testing::WithParamInterface<LocalBookCase>
{};

// The operator's own site book is not replaced by the server's without a question; replaced, it
// is kept as a copy that loads back.
TEST_P(LocalSiteBook, IsReplacedOnlyWhenTheOperatorAgrees)
{
    StopHub();
    WriteFile(QStringLiteral("sitebook.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zent version=\"1.0\">\n"
              "<folder name=\"Depot\" folded=\"no\">\n"
              "<device name=\"Office\" addr=\"127.0.0.1\" port=\"24990\" id=\"admin\" password=\"1234\" "
              "emapPath=\"\" emapPos=\"\"/>\n</folder>\n</zent>\n");
    StartHub();
    shell = hub->GetValidationShell();
    SiteBookTreeWidget* book = hub->GetSiteBookTree();
    ASSERT_TRUE(SiteBookHas(book, QStringLiteral("Office")));

    QString question;
    auto asked = OnNextDialog<MessageDlg>([&](MessageDlg* box) {
        QStringList texts;
        for (QLabel* label : box->findChildren<QLabel*>())
            texts << label->text();
        question = texts.join(QLatin1Char('|'));
        box->done(GetParam().answer);
    });
    OpenLogin(QString::number(sim.HttpPort()), QStringLiteral("admin"), QStringLiteral("1234"));
    ASSERT_TRUE(WaitFor([&] { return shell->View()->isVisible() && shell->IsValidationConnected(); }));
    // The question comes with the server's site book, after the login.
    ASSERT_TRUE(WaitFor([&] { return asked->Done(); }));
    const QString copy = QDir::toNativeSeparators(Path(QStringLiteral("sitebook-local.xml")));
    EXPECT_TRUE(question.contains(copy)) << question.toStdString();
    EXPECT_TRUE(question.contains(QLatin1String("Load SiteBook"))) << question.toStdString();

    if (GetParam().serverBookShown) {
        ASSERT_TRUE(WaitFor([&] { return SiteBookHas(book, QStringLiteral("Gate")); }));
        EXPECT_FALSE(SiteBookHas(book, QStringLiteral("Office")));
        EXPECT_TRUE(ReadFile(QStringLiteral("sitebook-local.xml")).contains("name=\"Office\""));
        // "Load SiteBook" with the copy brings the operator's own book back.
        hub->loadSiteBook(Path(QStringLiteral("sitebook-local.xml")), true);
        EXPECT_TRUE(SiteBookHas(book, QStringLiteral("Office")));
    } else {
        // A reconnect's reload asks no more and replaces nothing.
        ASSERT_TRUE(WaitFor([&] { return sim.Requests(QStringLiteral("/sitebook")).size() == 1; }));
        shell->SiteBookLoadServer(QStringLiteral("{\"result\":\"success\",\"children\":[]}"));
        EXPECT_TRUE(SiteBookHas(book, QStringLiteral("Office")));
        EXPECT_FALSE(SiteBookHas(book, QStringLiteral("Gate")));
        EXPECT_FALSE(FileExists(QStringLiteral("sitebook-local.xml")));
    }
    StopHub();
    EXPECT_TRUE(ReadFile(QStringLiteral("sitebook.xml")).contains("name=\"Office\""));
}

INSTANTIATE_TEST_SUITE_P(Answers, LocalSiteBook,
                         ::testing::Values(LocalBookCase{"Replace", 1, true}, LocalBookCase{"Keep", 0, false}),
                         [](const ::testing::TestParamInfo<LocalBookCase>& info) { return info.param.name; });
} // namespace
