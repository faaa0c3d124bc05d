// The administration windows under the offscreen platform, with fakes of the interfaces they
// are given: what each button does, what the tables show, and which input is refused.
#include <gtest/gtest.h>

#include <algorithm>

#include <QCheckBox>
#include <QDir>
#include <QErrorMessage>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include "../mail/scriptserver.h"
#include "../mail/smtptestpeer.h"
#include "../managers/fakerecorderadmin.h"
#include "../waitfor.h"
#include "adminui/caccountinfo.h"
#include "adminui/caccountmanager.h"
#include "adminui/cemailsetup.h"
#include "adminui/cfirmwaremanager.h"
#include "adminui/mailhub.h"
#include "adminui/managertable.h"
#include "adminui/modalmessages.h"
#include "adminui/smtp.h"
#include "backup/listmodel.h"
#include "mail/smtpsendjob.h"
#include "managers/accountrun.h"
#include "managers/firmwarerun.h"
#include "managers/managerrows.h"
#include "screenshot.h"

namespace {

class FakeMailHub : public MailHub
{
public:
    SmtpSettings GetSmtpSettings() const override { return settings; }
    void SetSmtpSettings(const SmtpSettings& s) override
    {
        settings = s;
        ++sets;
    }
    QString ProgramDirectory() const override { return directory; }
    SmtpSettings settings;
    QString directory;
    int sets = 0;
};

class FakeMessages : public ModalMessages
{
public:
    void ShowModalMessage(const QString& title, const QString& text) override { shown << title + "|" + text; }
    QStringList shown;
};

// ---------------------------------------------------------------------------------------------
// Account information

TEST(CAccountInfoTest, RefusesIncompleteRowsAndReturnsOnlyCheckedOnes)
{
    struct Row
    {
        int slot;
        bool checked;
        const char* id;
        const char* password;
    };
    const struct
    {
        const char* name;
        std::vector<Row> rows;
        const char* message; // null: accepted
    } cases[] = {
        {"nothing checked", {{0, false, "typed", "typed"}}, "Account|No account selected."},
        {"no id", {{1, true, "", "pw"}}, "Account|Input user id"},
        {"no password, later rows not examined",
         {{2, true, "u", ""}, {3, true, "", ""}},
         "Account|Input user password"},
        {"accepted", {{0, true, "root", "abc"}, {5, false, "left", "out"}, {7, true, "u6", "pw6"}}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMessages messages;
        CAccountInfo dialog(messages);
        for (int slot = 0; slot < AccountSet::kSlots; ++slot) {
            EXPECT_FALSE(dialog.Box(slot)->isChecked());
            EXPECT_FALSE(dialog.IdEdit(slot)->isEnabled());
        }
        for (const Row& row : c.rows) {
            dialog.IdEdit(row.slot)->setText(row.id);
            dialog.PasswordEdit(row.slot)->setText(row.password);
            if (row.checked)
                QTest::mouseClick(dialog.Box(row.slot), Qt::LeftButton);
        }
        for (const Row& row : c.rows)
            EXPECT_EQ(dialog.IdEdit(row.slot)->isEnabled(), row.checked);
        dialog.open();
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        if (c.message) {
            EXPECT_EQ(messages.shown, QStringList{c.message});
            EXPECT_TRUE(dialog.isVisible());
            continue;
        }
        EXPECT_TRUE(messages.shown.isEmpty());
        EXPECT_EQ(dialog.result(), 1);
        EXPECT_EQ(dialog.Accounts().ids[0], "root");
        EXPECT_EQ(dialog.Accounts().passwords[7], "pw6");
        EXPECT_TRUE(dialog.Accounts().ids[5].isEmpty()); // typed, then unchecked
        EXPECT_TRUE(dialog.Accounts().passwords[5].isEmpty());
    }
}

// ---------------------------------------------------------------------------------------------
// E-mail settings

TEST(CEmailSetupTest, OkWritesSmtpDatAndTheHubsSettings)
{
    QTemporaryDir dir;
    FakeMailHub hub;
    hub.directory = dir.path();
    hub.settings.sender = "old@x";
    CEmailSetup dialog(hub);
    EXPECT_TRUE(dialog.UserEdit()->isEnabled()); // User Auth starts on (the default)
    QTest::mouseClick(dialog.AuthBox(), Qt::LeftButton);
    EXPECT_FALSE(dialog.UserEdit()->isEnabled());
    EXPECT_FALSE(dialog.PasswordEdit()->isEnabled());

    dialog.ServerEdit()->setText("smtp.example.org");
    dialog.PortEdit()->clear();
    QTest::keyClicks(dialog.PortEdit(), "4651234x");
    EXPECT_EQ(dialog.PortEdit()->text(), "465123"); // digits only, at most 999999
    dialog.PortEdit()->setText("587");
    dialog.SslBox()->setChecked(true);
    dialog.open();
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    QFile file(dir.filePath("smtp.dat"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("smtp.example.org\n587\n1\n0\n\n\n"));
    EXPECT_EQ(hub.sets, 1);
    EXPECT_EQ(hub.settings.server, "smtp.example.org");
    EXPECT_EQ(hub.settings.sender, "old@x"); // an empty user name leaves it
}

TEST(CEmailSetupTest, AFailedWriteIsShownAndChangesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("smtp.dat/x"));
    FakeMailHub hub;
    hub.directory = dir.path();
    CEmailSetup dialog(hub);
    dialog.ServerEdit()->setText("s");
    dialog.open();
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.ErrorLabel()->isHidden());
    EXPECT_EQ(hub.sets, 0);
}

// Settings that could never send are refused at OK, with the reason, and nothing is saved.
TEST(CEmailSetupTest, RefusesNoServerOrNoUsablePort)
{
    const struct
    {
        const char* server;
        const char* port;
        const char* message;
    } cases[] = {
        {"", "25", "Enter the SMTP server."},
        {"   ", "25", "Enter the SMTP server."},
        {"smtp.example.org", "", "Enter a port from 1 to 65535."},
        {"smtp.example.org", "0", "Enter a port from 1 to 65535."},
        {"smtp.example.org", "65536", "Enter a port from 1 to 65535."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.server) + "|" + c.port);
        QTemporaryDir dir;
        FakeMailHub hub;
        hub.directory = dir.path();
        CEmailSetup dialog(hub);
        dialog.ServerEdit()->setText(c.server);
        dialog.PortEdit()->setText(c.port);
        dialog.open();
        QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(dialog.ErrorLabel()->isHidden());
        EXPECT_EQ(dialog.ErrorLabel()->text(), c.message);
        EXPECT_EQ(hub.sets, 0);
        EXPECT_FALSE(QFile::exists(dir.filePath("smtp.dat")));
    }
}

// ---------------------------------------------------------------------------------------------
// Send e-mail

TEST(SmtpDialogTest, AttachmentsByKind)
{
    FakeMailHub hub;
    hub.settings.user = "camera";
    const struct
    {
        int kind;
        QStringList list;
    } cases[] = {
        {1, {"/rec/20260101/h120000.001", "/rec/20260101/ih120000.001"}},
        {2, {"/rec/20260101/h120000.001"}},
        {0, {}},
        {7, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        Smtp dialog(hub, nullptr, "/rec/20260101/h120000.001", c.kind);
        EXPECT_EQ(dialog.Attachments(), c.list);
        EXPECT_EQ(dialog.SenderEdit()->text(), "camera");
    }
    EXPECT_EQ(Smtp::IndexFileOf("short"), "ishort");
}

TEST(SmtpDialogTest, SendIsDisabledUntilTheSendEnds)
{
    SmtpTestPeer peer;
    ASSERT_TRUE(peer.Start());
    FakeMailHub hub;
    hub.settings.server = "127.0.0.1";
    hub.settings.port = QString::number(peer.serverPort());
    hub.settings.authentication = false;
    Smtp dialog(hub, nullptr, QString(), 0);
    dialog.SenderEdit()->setText("me@x");
    dialog.RecipientsEdit()->setText("you@y");
    dialog.BodyEdit()->setHtml("<b>hello</b>");
    dialog.show();
    QTest::mouseClick(dialog.SendButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.SendButton()->isEnabled());
    EXPECT_TRUE(dialog.Job()->IsRunning());
    ASSERT_TRUE(WaitFor([&] { return dialog.SendButton()->isEnabled(); }));
    EXPECT_EQ(dialog.LastResult(), "The email was succesfully sent.");
    ASSERT_EQ(peer.Messages().size(), 1);

    // A server that is gone: the error, and the button back.
    peer.close();
    QTest::mouseClick(dialog.SendButton(), Qt::LeftButton);
    ASSERT_TRUE(WaitFor([&] { return dialog.SendButton()->isEnabled(); }));
    EXPECT_EQ(dialog.LastResult(), "Connection Failed");
    EXPECT_TRUE(dialog.isVisible());
    Screenshot("send_email_connection_failed");
}

// A mail that cannot go is refused at the click, in a box of the dialog's own, before anything
// goes on the wire: no connection, no login.
TEST(SmtpDialogTest, RefusesAnUnsendableFormBeforeConnecting)
{
    const struct
    {
        const char* sender;
        const char* recipients;
        const char* message;
    } cases[] = {
        {"me@x", "", "Enter at least one recipient."},
        {"me@x", " ; ;", "Enter at least one recipient."},
        {"Me <me@x>", "Nobody <>", "Enter at least one recipient."},
        {"", "you@y", "Enter the sender's address."},
        {"Me <>", "you@y", "Enter the sender's address."},
        {"me@x", "you@y;a\tb@z", "\"a\tb@z\" is not an address that mail can be sent to."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sender) + "|" + c.recipients);
        SmtpTestPeer peer;
        ASSERT_TRUE(peer.Start());
        FakeMailHub hub;
        hub.settings.server = "127.0.0.1";
        hub.settings.port = QString::number(peer.serverPort());
        hub.settings.authentication = true;
        Smtp dialog(hub, nullptr, QString(), 0);
        dialog.SenderEdit()->setText(c.sender);
        dialog.RecipientsEdit()->setText(c.recipients);
        dialog.show();
        QTest::mouseClick(dialog.SendButton(), Qt::LeftButton);
        auto* box = dialog.findChild<QMessageBox*>();
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->windowTitle(), "Send Email");
        EXPECT_EQ(box->text(), c.message);
        EXPECT_EQ(box->findChild<QCheckBox*>(), nullptr); // no "show this message again"
        EXPECT_EQ(dialog.findChild<QErrorMessage*>(), nullptr);
        EXPECT_TRUE(dialog.SendButton()->isEnabled());
        EXPECT_FALSE(dialog.Job()->IsRunning());
        QCoreApplication::processEvents();
        EXPECT_EQ(peer.Connections(), 0);
        box->close();
    }
}

// What the mail log says while a test runs, debug lines included.
class MailLogCapture
{
public:
    MailLogCapture()
    {
        s_lines.clear();
        QLoggingCategory::setFilterRules(QStringLiteral("zent.mail.debug=true"));
        m_previous = qInstallMessageHandler(&MailLogCapture::Handle);
    }
    ~MailLogCapture()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
    }
    static const QStringList& Lines() { return s_lines; }

private:
    static void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text)
    {
        if (type == QtDebugMsg && qstrcmp(context.category, "zent.mail") == 0)
            s_lines << text;
    }
    static inline QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
};

TEST(SmtpDialogTest, AHostileRefusalIsShownCutAndLoggedWhole)
{
    // 255 lines of 3990 characters: about a megabyte of refusal, inside what a reply may be.
    const struct
    {
        const char* step;
        const char* result;
    } cases[] = {
        {"greeting", "Connection Failed"},
        {"rcpt", "Mail sending failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.step);
        ScriptServer server(QStringLiteral(ZENT_SOURCE_DIR "/tests/admin/mail/smtp_hostile.py"),
                            {c.step, "255", "3990"});
        ASSERT_GT(server.port, 0) << "the hostile server did not start";
        FakeMailHub hub;
        hub.settings.server = "127.0.0.1";
        hub.settings.port = QString::number(server.port);
        hub.settings.authentication = false;
        MailLogCapture log;
        Smtp dialog(hub, nullptr, QString(), 0);
        dialog.SenderEdit()->setText("me@x");
        dialog.RecipientsEdit()->setText("you@y");
        dialog.show();
        QTest::mouseClick(dialog.SendButton(), Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return dialog.SendButton()->isEnabled(); }));
        EXPECT_EQ(dialog.LastResult(), c.result);

        auto* box = dialog.findChild<QErrorMessage*>();
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isVisible());
        auto* shown = box->findChild<QTextEdit*>();
        ASSERT_NE(shown, nullptr);
        const QString text = shown->toPlainText();
        EXPECT_TRUE(text.startsWith(QString::fromLatin1(c.result))) << text.left(200).toStdString();
        EXPECT_TRUE(text.contains("554 line 1 xxxx")) << text.left(200).toStdString();
        EXPECT_TRUE(text.contains("line 4 xxxx"));
        EXPECT_FALSE(text.contains("line 5 "));
        EXPECT_TRUE(text.contains("(251 more lines)"));
        EXPECT_LT(text.size(), 1000);

        // The whole refusal is in the debug log, its last line included.
        const bool logged = std::any_of(log.Lines().begin(), log.Lines().end(), [](const QString& line) {
            return line.contains("line 255 xxxx") && line.size() > 255 * 3990;
        });
        EXPECT_TRUE(logged);
        Screenshot(QStringLiteral("send_email_hostile_%1").arg(c.step));
        box->close();
    }
}

// ---------------------------------------------------------------------------------------------
// Managers

class ManagerWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        admin.names = {{1, "North"}, {2, "South"}, {3, "East"}};
        admin.itemRecorders = {1, 2, 3, 2};
    }
    static QString Cell(ListModel* model, int row, int column)
    {
        return model->data(model->index(row, column), Qt::DisplayRole).toString();
    }
    static int Check(ListModel* model, int row)
    {
        return model->data(model->index(row, 0), Qt::CheckStateRole).toInt();
    }
    FakeRecorderAdmin admin;
};

TEST_F(ManagerWindowTest, FirmwareManagerShowsTheRunAndItsButtons)
{
    CFirmwareManager window(admin);
    EXPECT_EQ(window.windowTitle(), "Firmware Manager");
    window.AddDvrList(nullptr);
    window.AddRecorder(9); // not in the table
    ListModel* model = window.Table().Model();
    ASSERT_EQ(model->rowCount(), 3);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Site");
    EXPECT_EQ(model->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), "Status");
    EXPECT_EQ(Cell(model, 1, 1), "South");
    EXPECT_EQ(Cell(model, 1, 2), "10.0.0.2");
    EXPECT_EQ(Cell(model, 1, 3), "-");

    // With nothing checked "F/W Upgrade" starts nothing.
    window.show();
    QTest::mouseClick(window.StartButton(), Qt::LeftButton);
    EXPECT_FALSE(window.Run().IsBusy());
    EXPECT_TRUE(window.CheckButton()->isEnabled());

    window.OnListClicked(model->index(1, 0));
    window.OnListClicked(model->index(1, 2)); // not a check box
    EXPECT_EQ(Check(model, 1), 2);
    EXPECT_EQ(Check(model, 0), 0);

    window.StartWithPackage("/pkg/dvr_upgrade_x.zip");
    EXPECT_EQ(window.StartButton()->text(), "Stop");
    EXPECT_FALSE(window.CheckButton()->isEnabled());
    EXPECT_FALSE(window.CloseButton()->isEnabled());
    EXPECT_FALSE(window.Table().View()->isEnabled());
    EXPECT_EQ(Cell(model, 1, 3), "Wait");
    window.SetUpgradeState(2, 2);
    ASSERT_TRUE(WaitFor([&] { return !admin.firmwareUploads.isEmpty(); }));
    window.SetProgress(2, 35000, 70000);
    EXPECT_EQ(window.ProgressBar()->value(), 50);
    window.SetProgress(2, 1, 0);
    EXPECT_EQ(window.ProgressBar()->value(), 0);
    window.SetUpgradeState(2, 3);
    window.SetUpgradeState(2, 4);
    EXPECT_EQ(Cell(model, 1, 3), "Finish");
    EXPECT_EQ(window.StartButton()->text(), "F/W Upgrade");
    EXPECT_TRUE(window.CloseButton()->isEnabled());

    // A check run disables all three buttons until it ends.
    QTest::mouseClick(window.CheckButton(), Qt::LeftButton);
    EXPECT_FALSE(window.StartButton()->isEnabled());
    EXPECT_FALSE(window.CheckButton()->isEnabled());
    window.SetUpgradeState(2, -1);
    EXPECT_TRUE(window.StartButton()->isEnabled());
    EXPECT_EQ(Cell(model, 1, 3), "Connect fail");
}

TEST_F(ManagerWindowTest, FirmwareManagerStopCancels)
{
    CFirmwareManager window(admin);
    window.AddDvrList(nullptr);
    window.Rows().SetChecked(0, true);
    window.show();
    window.StartWithPackage("/pkg/p.zip");
    QTest::mouseClick(window.StartButton(), Qt::LeftButton);
    EXPECT_FALSE(window.Run().IsBusy());
    EXPECT_EQ(Cell(window.Table().Model(), 0, 3), "Cancel");
    EXPECT_TRUE(admin.cancel);
}

// With no recorder ticked there is nothing to write the accounts into: "Apply" says so at once
// instead of asking for accounts and then doing nothing.
TEST_F(ManagerWindowTest, AccountManagerRefusesApplyWithNoRecorderTicked)
{
    FakeMessages messages;
    CAccountManager window(admin, messages);
    window.AddDvrList(nullptr);
    window.show();
    QTest::mouseClick(window.StartButton(), Qt::LeftButton);
    EXPECT_EQ(messages.shown, QStringList{"Account Manager|No recorder selected."});
    EXPECT_EQ(window.AccountDialog(), nullptr);
    EXPECT_FALSE(window.Run().IsBusy());
    EXPECT_TRUE(admin.connects.isEmpty());
}

TEST_F(ManagerWindowTest, AccountManagerAsksForAccountsThenRuns)
{
    QTemporaryDir dir;
    admin.programDirectory = dir.path();
    FakeMessages messages;
    CAccountManager window(admin, messages);
    EXPECT_EQ(window.windowTitle(), "Account Manager");
    window.AddDvrList(nullptr);
    window.Rows().SetChecked(2, true);
    window.show();
    QTest::mouseClick(window.StartButton(), Qt::LeftButton);
    CAccountInfo* info = window.AccountDialog();
    ASSERT_NE(info, nullptr);
    QTest::mouseClick(info->Box(1), Qt::LeftButton);
    info->IdEdit(1)->setText("admin2");
    info->PasswordEdit(1)->setText("abc");
    QTest::mouseClick(info->OkButton(), Qt::LeftButton);
    ASSERT_TRUE(window.Run().IsBusy());
    EXPECT_EQ(admin.connects, (QList<QPair<int, int>>{{3, 7}}));
    EXPECT_EQ(window.StartButton()->text(), "Stop");
    EXPECT_FALSE(window.CloseButton()->isEnabled());

    QFile ini(dir.filePath("download.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[PASSWORD_CLIENT]\n");
    ini.close();
    window.SetAccountState(3, 1);
    window.SetAccountState(3, 2);
    ASSERT_TRUE(WaitFor([&] { return !admin.configUploads.isEmpty(); }));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_EQ(ini.readAll(), QByteArray("[PASSWORD_CLIENT]\nclientId1_0=admin2\nclientPasswd1_0=JwomVvntvctJw\n"));
    window.SetAccountState(3, AccountRun::kUploadedCode);
    window.SetAccountState(3, 3);
    EXPECT_EQ(Cell(window.Table().Model(), 2, 3), "Finish");
    EXPECT_EQ(window.StartButton()->text(), "Apply");

    // Cancelling the account dialog starts nothing.
    QTest::mouseClick(window.StartButton(), Qt::LeftButton);
    ASSERT_NE(window.AccountDialog(), nullptr);
    window.AccountDialog()->reject();
    EXPECT_FALSE(window.Run().IsBusy());
    EXPECT_EQ(admin.connects.size(), 1);
}

} // namespace
